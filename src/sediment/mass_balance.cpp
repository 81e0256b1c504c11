// The mass account of a sediment run: per step the bed-layer and suspended masses, the volume
// of the bed change, the continuity report with its per-size table, the cross-section level
// files of F 522 and the debugging files; at the end the report of the whole run. Reads the
// counters of state/sediment_run.h, the bed layers, Cconc, Cvol, Bedmove, Surfaces and the
// report options; writes kSusp, kLayer2, SumBedChange, SurfacesBM, PrintMaxErrorSuspSed,
// kDefectRatio, Bdefect, MaxResidual (F 1 H), otimeSedimsolve and the files "barcelona",
// "barcelona_wl", "inconc.res" and "bootime".
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "bed/bed_modes.h"
#include "files/files.h"
#include "grid/columns.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f250_299.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva::sedloop {

namespace {

// Statistics of the layered bed (F 37 3) of the last step.
struct LayerStats {
  double sumfrac = 0;  // largest deviation of a layer's fraction sum from 1
  int b = 0, layer = 0;
  double solid = 0;    // mean solid fraction over the layers
  double bsed0 = 0;    // mean total layer thickness per bed cell
  double thick = 0;    // mean grid sediment thickness per bed cell
};
LayerStats stats;

double meanBedmove = 0, extremeBedmove = 0;

double cornerMean(int plane, int i, int j) {
  return 0.25 * (Surfaces[plane][i][j] + Surfaces[plane][i - 1][j] + Surfaces[plane][i][j - 1] +
                 Surfaces[plane][i - 1][j - 1]);
}

double cornerBed(int i, int j) {
  return 0.25 * (zval[i][j][1] + zval[i - 1][j][1] + zval[i][j - 1][1] + zval[i - 1][j - 1][1]);
}

// The kg of a volume of settled bed: solid fraction x 1000 x relative density.
double bedKg() { return SolidFrac * 1000.0 * density; }

void layeredStats() {
  stats = LayerStats{};
  double solid = 0, thickSum = 0, grid = 0;
  long long layers = 0;
  int cells = 0;
  for (int b = WBStart; b <= WBEnd; ++b) {
    ++cells;
    for (int k = 0; k <= BlayerTop[b]; ++k) {
      double s = 0;
      for (int l = 1; l <= lnumber; ++l) s += BSedDistrib[k][l][b];
      const double dev = lnumber >= 1 ? std::fabs(1 - s) : 1.0;
      if (dev > stats.sumfrac) {
        stats.sumfrac = dev;
        stats.b = b;
        stats.layer = k;
      }
      solid += Bsolidfraction ? Bsolidfraction[k][b] : SolidFrac;
      thickSum += BSedDistrib[k][0][b];
      ++layers;
    }
    grid += gridSedimentThickness(Bkooi[b], Bkooj[b]);
  }
  stats.solid = solid / (layers + 1e-20);
  stats.bsed0 = thickSum / (cells + 1e-20);
  stats.thick = grid / (cells + 1e-20);
}

double stackThickness(int b) {
  double s = 0;
  for (int k = BlayerTop[b]; k >= 0; --k) s += BSedDistrib[k][0][b];
  return s;
}

void bedChangeStats() {
  double sum = 0, extreme = 0;
  int n = 0;
  for (int b = WBStart; b <= WBEnd; ++b) {
    if (Bcellt[b] < 1) continue;
    sum += Bedmove[b];
    if (std::fabs(Bedmove[b]) > std::fabs(extreme)) extreme = Bedmove[b];
    ++n;
  }
  meanBedmove = sum / (n + 1e-20);
  extremeBedmove = extreme;
}

void appendLine(const char* name, const std::string& text, int status, const char* failure) {
  File f(name, "a");
  if (!f) failf(status, "%s", failure);
  std::fputs(text.c_str(), f.get());
  f.closeOrEnd(name, status);
}

double defect(int l) { return (kIn[l] - kUt[l]) - (kSusp[l] - kSuspo[l]) - kLayer2[l]; }

}  // namespace

void stepMassSums() {
  if (FlagTSC == 1 || FlagTSC == 2) {
    for (int b = WBStart; b <= WBEnd; ++b) SumBedChange += Bedmove[b] * Barea[b] * bedKg();
  } else if (FlagTSC == 3) {
    layeredStats();
  }
  for (int l = 1; l <= lnumber; ++l) kLayer2[l] = layerMass(l) - kLayer1[l];
  for (int l = 1; l <= lnumber; ++l) {
    double s = 0;
    for (int c = WCStart; c <= WCEnd; ++c) s += Cconc[l][c] * Cvol[c] * 1000.0 * density;
    kSusp[l] = s;
  }
  double bm = 0;
  for (int i = 2; i <= xnumber; ++i)
    for (int j = 2; j <= ynumber; ++j) bm += cornerMean(1, i, j) * armap[i][j];
  SurfacesBM = bm;
  bedChangeStats();
  if (debugging == 'P') {
    otime[52] = omp_get_wtime();
    otime[33] = otime[25];
    for (int k = 34; k <= 52; ++k)
      logf("MORPH: OpenMP %d = %.16g, %16lf\n", k, otime[k] - otime[0], otime[k] - otime[k - 1]);
    logf("Sediment computation time: %lf seconds at %lf seconds\n", otime[52] - otime[34],
         otime[52] - otime[0]);
    otimeSedimsolve += otime[52] - otime[34];
  }
  if (FlagBedDefect == 1 && Bdefect)
    for (int b = WBStart; b <= WBEnd; ++b) Bdefect[b] = Bdefect[b] - stackThickness(b) + Bedmove[b];
  if (FlagDefectRatio >= 1 && FlagDefectRatio <= 3)
    for (int l = 1; l <= lnumber; ++l) {
      const double N = defect(l);
      if (FlagDefectRatio == 1)
        kDefectRatio[l] = N / (kSusp[l] + 1e-20);
      else
        kDefectRatio[l] = std::clamp(N / (kIn[l] + kSusp[l] + kUt[l] + 1e-20),
                                     FlagDefectRatio == 2 ? -1.0 : -10.0,
                                     FlagDefectRatio == 2 ? 1.0 : 10.0);
    }
}

void continuityReport() {
  mc_program = " Continuity check";
  logf("Time: %lf. Continuity: Bedchange %lf kg, Inflow %lf kg, Outflow %lf kg, Volume bed change %lf m3\n",
       stimet, SumBedChange, SumInflow, SumOutflow, SurfacesBM);
  logf("Defect from erosion under non-movable bed: %lf kg\n", kLimDef);
  logf("Bed outflow move defect: %lf kg\n", SumBedMoveDef);
  logf("Susp. volume change defect: %lg kg\n", SuspVolChangeDef);
  if (FlagTSC == 3)
    logf("Max def. fractions: %lg (%d,%d) BSD[0]=%lg, BtopL=%d, delta solidfrac: %lg, AvBedThick %lg, AvSedD0: %lg\n",
         stats.sumfrac, stats.b, stats.layer, stats.b >= 1 ? BSedDistrib[stats.layer][0][stats.b] : 0.0,
         stats.b >= 1 ? BlayerTop[stats.b] : 0, stats.solid - SolidFrac, stats.thick, stats.bsed0);
  logf("Size  Inflow (kg) Outflow  Suspension BedLayerCh  Bedchange  Defect     Defect2    Def,PST    Def2,PST\n");
  PrintMaxErrorSuspSed = 0;
  double firstDefect = 0;
  for (int l = 1; l <= lnumber; ++l) {
    const double d1 = defect(l);
    const double d2 = (kIn[l] - kUt[l]) - (kSusp[l] - kSuspo[l]) - kBedmove[l] * density;
    const double turnover = std::max(std::fabs(kIn[l]), std::fabs(kUt[l])) + 1e-10;
    const double p1 = 100 * d1 / turnover, p2 = 100 * d2 / turnover;
    PrintMaxErrorSuspSed = std::max({PrintMaxErrorSuspSed, p1, p2});
    if (l == 1) firstDefect = d1;
    logf("  %2d %15lg %15lg %15lg %15lg %15lg %10lg %10lg %10lg %10lg\n", l, kIn[l], kUt[l], kSusp[l],
         kLayer2[l], kBedmove[l] * density, d1, d2, p1, p2);
  }
  if (FlagTSC == 3)
    for (int l = 1; l <= lnumber; ++l)
      if (std::fabs(Bvollefttot[l]) > 1e-8) logf("Bvollefttot[%d] = %lf kg\n", l, Bvollefttot[l]);
  if (lnumber == 1 && BedLoadVectorFlag == 1 && firstDefect > 10)
    logf("Possible cause of continuity error: F 78 1. Try F 78 3 instead\n");
  if (FlagBugFind == 1 && std::isnan(SuspVolChangeDef))
    logf("Bugfind: Vol(1) = %lf, Cconc[1][1] = %lf\n", Cvol[1], Cconc[1][1]);
  logf("Average bedchange: %lf, max: %lf\n", meanBedmove, extremeBedmove);
  if (FlagTSC == 3 && std::fabs(stats.sumfrac) > 0.5 && stats.b >= 1) {
    const double t = BSedDistrib[stats.layer][0][stats.b];
    if (!(stats.layer == 0 && t <= 1e-7)) {
      logf("Error sum fractions = %lf. Bedmove[%d] = %le, lb=%d, BlayerTop = %d\n", stats.sumfrac,
           stats.b, Bedmove[stats.b], stats.layer, BlayerTop[stats.b]);
      failf(-4, "BSedDistrib[%d][0][%d] = %le\n", stats.layer, stats.b, t);
    }
  }
}

void stepDebugFiles() {
  if (debugging == 'D' && FlagInspace > 0) {
    std::string line = strf("%lf", stimet);
    for (int l = 1; l <= lnumber; ++l) line += strf(" %lf", kIn[l]);
    appendLine("inconc.res", line + "\n", -1, "Error in opening inconc file\n\n");
  }
  if (debugging == 'H') {
    std::string line = strf("%d ", Iter);
    line += strf("%d %d %d %d ", GlobInnerIter, NoCells, NoSurfaces, NoPoints);
    for (int k = 1; k <= 6; ++k) line += strf("%22.16le ", MaxResidual[k]);
    for (int l = 1; l <= lnumber; ++l) {
      double v = 0;
      for (int c = 1; c <= NoCells; ++c) v += Cvol[c] * Cconc[l][c];
      // The residual table has room for the first sizes only; the line has every size.
      if (6 + l < static_cast<int>(MaxResidual.size())) MaxResidual[6 + l] = v;
      line += strf("%22.16le ", v);
    }
    line += "\n";
    File f("bootime", "a");
    if (!f) {
      mc_message = "cannot open file 'bootime' ";
      endRun(-3);
    }
    std::fputs(line.c_str(), f.get());
    if (!f.close()) {
      mc_message = "cannot open file 'bootime' ";
      endRun(-3);
    }
  }
}

void crossSectionFiles() {
  if (FlagBarcelona <= 0 || NoBlocks < 1) return;
  if (std::fabs(std::fmod(static_cast<double>(Iter), FlagBarcelona)) >= 0.001) return;
  const GridBlock& k = block[1];
  const int i = CrossBarcelona;
  std::string bed = strf("%lf ", stimet), water = bed;
  for (int j = k.j1 - 1; j <= k.j2; ++j) {
    bed += strf("%lf ", zval[i][j][1]);
    water += strf("%lf ", zval[i][j][znumber]);
  }
  appendLine("barcelona", bed + "\n", -1, "Error writing 'barcelona' file\n\n");
  appendLine("barcelona_wl", water + "\n", -1, "Error writing 'barcelona_wl' file\n\n");
}

namespace {

void bedReport() {
  logf("\n2D cell, 3D cell, Bedmove (m), 1/2 cell height (m), Bed shear (Pa), sediment transp. (kg/s/m)\n");
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) continue;
    double q = 0;
    upColumn(c, [&q](int k) {
      q += std::sqrt(Cxvel[k] * Cxvel[k] + Cyvel[k] * Cyvel[k]) * Cconc[0][k] * 2 * Ckdist[k] *
           1000.0 * density;
    });
    logf("%8d %8d %16lg %12lf %16lg %16lg\n", b, c, Bedmove[b], Ckdist[c], 300 * Ckinen[c], q);
  }
}

void surfaceUpdateReport() {
  if (NoNumSurfUpdate > 0) logf("Surface updated %d times\n", NoNumSurfUpdate);
  if (NoNumNoSurfUpdate <= 0) return;
  logf("Surface update failed %d times\n", NoNumNoSurfUpdate);
  if (NoNumNoSurfUpdate > NoNumSurfUpdate / 10) {
    logf("Advice for solving problem of too few surface updates: \n");
    logf("1. Increase the number of inner iterations for each time step: F 33 data set\n");
    logf("2. Decrease relaxation coefficients: K 3 data set\n");
    logf("3. Use multi-grid method: F 168 / K 5 data sets\n");
    logf("4. Increase the residual criteria for updates: F 224 data set\n");
    logf("5. Increase scaling parameters for k and epsilon: F 200 data set\n");
  }
}

void bedStatistics() {
  if (BedStatI1 <= 0 || BedStatNo <= 0 || !bedStatDepth) return;
  logf("\nBed statistics after %d samples\n", BedStatNo);
  logf("i, j, depth [m], orig. bedlevel [m], bedlevel [m], bedlevel deviation [m]\n");
  double depth = 0, dev = 0, K = 0;
  int n = 0;
  for (int i = BedStatI1; i <= BedStatI2; ++i)
    for (int j = BedStatJ1; j <= BedStatJ2; ++j) {
      logf("%d %d %lf %lf %lf %lf\n", i, j, bedStatDepth[i][j] / BedStatNo, Surfaces[0][i][j],
           bedStatBed[i][j] / BedStatNo, bedStatDev[i][j] / BedStatNo);
      depth += bedStatDepth[i][j];
      dev += bedStatDev[i][j];
      K += bedStatK[i][j];
      ++n;
    }
  const double d = static_cast<double>(BedStatNo) * n;
  logf("Average depth: %lf m, Average bed deviation: %lf m\n", depth / d, dev / d);
  logf("Average K factor: %lf\n\n", K / d);
}

// Sum over the columns of the blocks that are neither skipped nor the mud block.
template <class F>
double overColumns(F f) {
  double s = 0;
  forEachColumn([](int b) { return block[b].skip == 0 && block[b].thixo <= 0; },
                [&](int i, int j) { s += f(i, j); });
  return s;
}

}  // namespace

void endOfRunReport() {
  if (debugging == 'B') bedReport();
  logf("Time: %lf seconds\n", stimet);
  logf("Continuity: Bedchange %lg kg, Inflow %lg kg, Outflow %lg kg\n", SumBedChange, SumInflow, SumOutflow);
  logf("BedMoveDefAbs+Move: %lg %lg (kg)\n", BedMoveDefectAbs, BedMoveDefectSum);
  logf("Bed outflow move defect: %lf (kg)\n", SumBedMoveDef);
  logf("Susp. volume change defect: %lg (kg)\n", SuspVolChangeDef);
  surfaceUpdateReport();
  for (int k = 0; k < 27; ++k)
    if (NoErrorsTrekant[k] > 0) logf("NoErrorsTrekant[%d]=%d\n", k, NoErrorsTrekant[k]);
  logf("Grid size: Cells: %d, Surfaces: %d, Points: %d\n", NoCells, NoSurfaces, NoPoints);
  if (i1Iff > 0) {
    double v = 0;
    for (int i = i1Iff; i <= i2Iff; ++i)
      for (int j = j1Iff; j <= j2Iff; ++j) v += Barea[pointbed[i][j]] * Surfaces[1][i][j];
    logf("G 29 data set deposited volume: %lf m3\n", v);
  }
  bedStatistics();
  if (writeConcRes() == 0)
    logf("Have written con2res file \n");
  else
    logf("Could not write con2res file \n");
  if (NoDepthTimeo > 0)
    logf("Time-averaged depth: %lf m, shears: %10.5le %10.5le %10.5le %10.5le Newton\n",
         AvDepthTimeo / NoDepthTimeo, AvShearTimeo1 / NoDepthTimeo, AvShearTimeo2 / NoDepthTimeo,
         AvShearTimeo3 / NoDepthTimeo, AvShearTimeo4 / NoDepthTimeo);
  const double V = overColumns([](int i, int j) {
    return (cornerBed(i, j) - cornerMean(0, i, j)) * armap[i][j];
  });
  logf("Total change in bed levels: %e qubic meters or %e kg\n", V, V * bedKg());
  if (mudFlow() && Surfaces.dim(0) > 6) {
    const double s = overColumns([](int i, int j) { return cornerMean(6, i, j) * armap[i][j]; });
    const double a = overColumns([](int i, int j) { return std::fabs(cornerMean(6, i, j)) * armap[i][j]; });
    logf("Total volume change due to slides: %e m3. Absolute change: %e m3\n", s, a);
  }
  if (FlagBechInt > 0) {
    bechStanddev /= FlagBechInt;
    bechMeasAv /= FlagBechInt;
    logf("Standard deviation measured-computed bed changes: %lf meters. Av. measured: %lf meters.\n\n",
         bechStanddev, bechMeasAv);
  }
  if (debugging == 'P')
    logf("Time: Watersolve: %lf, Sediments: %lf, Slides: %lf, Grid: %lf, Surface: %lf, SlideVert: %lf\n",
         otimeWatersolve, otimeSedimsolve, otimeSlidesolve, otimeGridsolve, otimeSurfsolve,
         otimeSlideVertSolve);
}

}  // namespace qorva::sedloop
