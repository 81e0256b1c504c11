// The output dispatcher sprintflow: picks the outputs from F 329, F 48, F 212 and F 309, calls
// their writers in a fixed order and writes the bed result file bedres itself; and the
// numbering rule of the result series. Reads the options, the blocks, zval, Surfaces and the
// bed-cell arrays; writes mc_message, gFlagWriteR and, under the mud model, the velocities of
// the bottom cells of the mud block.
#include <cstdio>
#include <string>
#include <vector>

#include "bed/bed_modes.h"
#include "files/files.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

bool oneOf(int v, std::initializer_list<int> codes) {
  for (int c : codes)
    if (v == c) return true;
  return false;
}

// Any test that is false before the bed cells exist will do: NoBCells stays 0 until the
// grid has been built, and the arrays come with AllocateArrays.
bool bedArraysExist() { return Bcellt && Broughness && Bedformheight && BSedDistrib; }

// The mud model shows its bed at rest: the bottom cells of the mud block lose their velocity.
void resetMudVelocities() {
  if (!plainMudModel()) return;
  if (!Bcellt || !Cxvel) return;
  const long long beds = static_cast<long long>(Bcellt.size());
  const long long cells = static_cast<long long>(Cxvel.size());
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    const GridBlock& k = block[b];
    if (k.thixo <= 0) continue;
    for (int n = k.bcellstart; n <= k.bcellend; ++n) {
      if (n < 0 || n >= beds) continue;
      const int c = Bcellt[n];
      if (c < 0 || c >= cells) continue;
      Cxvel[c] = Cyvel[c] = Czvel[c] = 0.0;
    }
  }
}

// Every block, count and cell number written must lie inside its table: a damaged state ends
// the run with a message instead of a read past a table.
void requireBedTables(bool layered) {
  const char* head = "Error writing bedres file: ";
  if (!zval || !Surfaces || Surfaces.dim(0) < 4 || znumber < 1 ||
      static_cast<long long>(zval.dim(2)) <= znumber)
    failf(1, "%sthe grid arrays of the G 1 sizes do not exist\n", head);
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || k.flag2D != 0) continue;
    if (k.i1 - 1 < 0 || k.j1 - 1 < 0 || k.i2 >= static_cast<long long>(zval.dim(0)) ||
        k.j2 >= static_cast<long long>(zval.dim(1)) ||
        k.i2 >= static_cast<long long>(Surfaces.dim(1)) ||
        k.j2 >= static_cast<long long>(Surfaces.dim(2)))
      failf(1, "%sblock %d with grid lines %d to %d and %d to %d does not lie in the G 1 grid\n",
            head, b, k.i1 - 1, k.i2, k.j1 - 1, k.j2);
  }
  const long long lastBed = static_cast<long long>(Bcellt.size()) - 1;
  if (NoBCells > lastBed || NoBCells >= static_cast<long long>(Broughness.size()) ||
      NoBCells >= static_cast<long long>(Bedformheight.size()) ||
      NoBCells >= static_cast<long long>(BSedDistrib.dim(2)))
    failf(1, "%s%d bed cells, more than the arrays hold\n", head, NoBCells);
  const long long layers = layered ? NoBedLayers : 2;
  if (lnumber < 0 || static_cast<long long>(BSedDistrib.dim(0)) < layers ||
      static_cast<long long>(BSedDistrib.dim(1)) <= lnumber)
    failf(1, "%sthe bed layers of %d sizes do not exist\n", head, lnumber);
  for (int n = 1; n <= NoBCells; ++n)
    if (Bcellt[n] < 0 || Bcellt[n] >= static_cast<long long>(Croughness.size()))
      failf(1, "%sbed cell %d has the cell %d\n", head, n, Bcellt[n]);
}

// Levels, layers and roughness with as many digits as they need: a restart reads back exactly
// the bed the run had (the readers take any number form).
void writeLayer(std::FILE* f, int layer, int n) {
  for (int l = 0; l <= lnumber; ++l)
    std::fprintf(f, "%s ", exactNumber(BSedDistrib[layer][l][n]).c_str());
}

// The bed result file (read back by readres).
void writeBedres() {
  std::string name;
  if (numberedResults())
    name = numberedName(FlagMPI != 0 ? strf("bedres.mpi%d", FlagMPI) : std::string("bedres"),
                        {".000%d", ".00%d", ".0%d", ".%d"});
  else
    name = FlagMPI != 0 ? strf("bedres.mpi%d.t", FlagMPI) : std::string("bedres.t");

  const bool layered = BlayerTop && NoBedLayers > 2 && FlagTSC == 3;
  requireBedTables(layered);

  // Written under a temporary name: a run that ends while it writes keeps the previous file.
  OutFile file(name);
  std::FILE* f = file.get();
  if (!f) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
  std::fprintf(f, "Results from Qorva 2, iter = %d\n", Iter);
  std::fprintf(f, "K %d %d %d %d %d %22.17lf %d\n", xnumber, ynumber, znumber, lnumber, NoBCells,
               MaxDepth, NoCells);
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || k.flag2D != 0) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j)
        std::fprintf(f, "%d %d %6.1lf %s %s %s %s\n", i, j, zval[i][j][0],
                     exactNumber(zval[i][j][1]).c_str(), exactNumber(zval[i][j][znumber]).c_str(),
                     exactNumber(Surfaces[3][i][j]).c_str(),
                     exactNumber(Surfaces[1][i][j]).c_str());
  }
  for (int n = 1; n <= NoBCells; ++n) {
    std::fprintf(f, "%d %d %s %s %s ", n, Bcellt[n], exactNumber(Broughness[n]).c_str(),
                 exactNumber(Croughness[Bcellt[n]]).c_str(), exactNumber(Bedformheight[n]).c_str());
    if (layered) {
      for (int layer = NoBedLayers - 1; layer >= 0; --layer) writeLayer(f, layer, n);
    } else {
      writeLayer(f, 1, n);
      writeLayer(f, 0, n);
    }
    std::fprintf(f, "\n");
  }
  if (!file.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
}

void callBedSection(const BedSection& s) {
  switch (s.writer) {
    case 3: writeParaBed3(1, s.section); break;
    case 4: writeParaBed4(1); break;
    default: writeParaBed5(1, s.section); break;
  }
}

}  // namespace

bool numberedResults() { return PrintRes != 0 || PrintResAlways != 0; }

std::string numberedName(const std::string& stem, std::initializer_list<const char*> patterns,
                         int last) {
  if (patterns.size() == 0) return stem;
  const auto name = [&](int n) {
    std::size_t k = 0;
    long long limit = 10;
    while (k + 1 < patterns.size() && n >= limit) {
      ++k;
      limit *= 10;
    }
    return stem + strf(patterns.begin()[k], n);
  };
  for (int n = 0; n < last; ++n) {
    std::string s = name(n);
    if (!fileExists(s)) return s;
  }
  return name(last);
}

std::vector<Output> selectedOutputs() {
  const auto& pa = PrintArrayFlags;
  const int iv = FlagInterpolVal;
  std::vector<Output> out;
  const auto add = [&out](bool on, Output o) {
    if (on) out.push_back(o);
  };
  add(pa[0] == 1, Output::FlowResult);
  add(pa[2] == 1 || oneOf(iv, {7, 8, 87, 88}), Output::TecplotPlan);
  add(pa[3] == 1 || iv == 18, Output::TecplotPlanPerBlock);
  add(pa[4] == 1 || oneOf(iv, {8, 9, 88, 89}), Output::Tecplot3d);
  add(pa[5] == 1 || iv == 10 || iv == 90, Output::Vtk3d);
  add(pa[16] == 1, Output::BedLayerSection);
  add(pa[6] == 1 || iv == 11 || iv == 91, Output::VtkPlan);
  add(pa[7] == 1 || iv == 19, Output::VtkPlanPerBlock);
  add(pa[15] == 1, Output::BedFractions);
  add(pa[8] == 1 || iv == 13, Output::CellTable);
  add(pa[9] == 1 || iv == 22, Output::BedPoints);
  add((pa[10] >= 1 && pa[10] <= 99) || FlagInterpolNew > 0 || (iv >= 1 && iv <= 6),
      Output::Interpolated);
  add(pa[11] == 1 || iv == 17, Output::WetOutline);
  add(pa[1] > 0 && NoBCells > 0 && bedArraysExist(), Output::BedResult);
  add(pa[12] != 0 || iv == 25, Output::Habitat);
  add(pa[13] != 0 || FlagWriteSpecial == 8, Output::SlopingFraction);
  add(pa[14] == 1 || FlagWriteSpecial == 9, Output::DischargeCheck);
  add(pa[14] == 2, Output::LevelProfile);
  add(pa[14] == 3, Output::LevelProfileAppended);
  return out;
}

std::vector<BedSection> bedLayerSections() {
  std::vector<BedSection> s;
  if (NoBedLayers <= 2) return s;
  const GridBlock& k = block[1];
  const int i1 = k.i1, i2 = k.i2, j1 = k.j1, j2 = k.j2;
  const auto rows = [&] {
    for (int j : {3 * j2 / 4, j2 / 2 + 1, j2 / 4 + j1}) s.push_back({3, j});
  };
  if (FlagBarcelona > 0 && CrossBarcelona > 0) s.push_back({5, CrossBarcelona});
  if (tracerJ2 == 0) {
    s.push_back({3, 0});
  } else if (tracerJ2 == -10) {
    s.push_back({4, 0});
  } else if (tracerJ2 == -9 && j2 > 20) {
    rows();
    for (int i : {3 * i2 / 4, i2 / 2 + 1, i2 / 4 + i1}) s.push_back({5, i});
  } else if (tracerJ2 == -8) {
    rows();
    for (int i : {3 * i2 / 4, 5 * i2 / 8, i2 / 2 + 1, i2 / 4 + i1, 3 * i2 / 8 + i1})
      s.push_back({5, i});
  } else {
    // The writer draws nothing for a row below 0 or past j2, so the range is cut to the rows
    // that can give a file; a wide F 449 range then cannot run away.
    const int from = tracerJ1 < 0 ? 0 : tracerJ1;
    const int to = tracerJ2 > j2 ? j2 : tracerJ2;
    for (int j = from; j <= to; ++j) s.push_back({3, j});
  }
  return s;
}

static void specialFileWarning(const char* name) {
  logf("Warning: could not open the file '%s'; the other outputs are written\n", name);
}

void sprintflow() {
  gFlagWriteR = 1;
  mc_message = "Writing output files";
  resetMudVelocities();

  for (Output o : selectedOutputs()) {
    switch (o) {
      case Output::FlowResult: print_result(0); break;
      case Output::TecplotPlan: print_tecplot2d(0, 0); break;
      case Output::TecplotPlanPerBlock:
        for (int b = 1; b <= NoBlocks; ++b) print_tecplot2d(0, b);
        break;
      case Output::Tecplot3d: print_tecplot3d(0); break;
      case Output::Vtk3d:
        print_paraview3d();
        for (const BedSection& s : bedLayerSections()) callBedSection(s);
        break;
      case Output::BedLayerSection: writeParaBed3(1, 0); break;
      // Through the dispatcher the whole-grid plan view always takes a numbered name, so the
      // plan views of successive print times are all kept.
      case Output::VtkPlan: print_paraview2d(1, 0); break;
      case Output::VtkPlanPerBlock:
        for (int b = 1; b <= NoBlocks; ++b) print_paraview2d(1, b);
        break;
      case Output::BedFractions: print_fracres(0); break;
      case Output::CellTable: writeCellTable(); break;
      case Output::BedPoints:
        if (!writeBedPoints()) specialFileWarning("beddata.sim");
        break;
      case Output::Interpolated: print_interres(1); break;
      case Output::WetOutline:
        if (!writeWetOutline()) specialFileWarning("zebrun");
        break;
      case Output::BedResult: writeBedres(); break;
      // A special table that cannot be opened is reported, and the other outputs still follow.
      case Output::Habitat:
        if (!writeHabitat()) specialFileWarning("habitat");
        break;
      case Output::SlopingFraction:
        if (!writeSlopingFraction()) specialFileWarning("boogie.spe");
        break;
      case Output::DischargeCheck:
        if (!writeDischargeCheck()) specialFileWarning("boogie.spe");
        break;
      case Output::LevelProfile:
        if (!writeLevelProfile(false)) specialFileWarning("boogie.spe");
        break;
      case Output::LevelProfileAppended:
        if (!writeLevelProfile(true)) specialFileWarning("boogie.spe");
        break;
    }
  }

  gFlagWriteR = 0;
  mc_message = "have written output files  ";
}

}  // namespace qorva
