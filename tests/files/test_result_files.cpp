// The flow result file and the restart from it: the text and binary forms with their names,
// the round trip of result and bedres through a restart on a generated grid, and the
// refusals of files that do not fit the grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "files/files.h"
#include "grid/grid.h"
#include "output/output.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<double> doubles(const std::string& bytes) {
  std::vector<double> v(bytes.size() / sizeof(double));
  std::memcpy(v.data(), bytes.data(), v.size() * sizeof(double));
  return v;
}

void emptyFolder() {
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
    std::filesystem::remove_all(e.path());
}

class ResultFilesTest : public test::Scratch {
 protected:
  // A new run in the same folder: defaults with two sediment sizes plus what `options` sets,
  // the G 1 sizes, small F 65 capacities and all arrays, no log.
  static void freshRun(int xn, int yn, int zn, const std::function<void()>& options = [] {}) {
    SetArraysZero();
    setDefaults();
    lnumber = 2;
    options();
    xnumber = xn;
    ynumber = yn;
    znumber = zn;
    MaxCeller = 40;
    MaxFlater = 80;
    MaxPunkter = 80;
    MaxNester = 5;
    MaxConnFlate = 5;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");
  }

  // Two cells and three surfaces without geometry: enough for the result file.
  static void smallFlow() {
    freshRun(4, 4, 3);
    Title[1] = 'C';
    Title[2] = 'F';
    Title[3] = 'U';
    stimet = 12.5;
    Iter = 40;
    const double res[7] = {0, 0.5, 0.25, 0.125, 1.0, 2.0, 0.003};
    for (int e = 1; e <= 6; ++e) MaxResidual[e] = res[e];
    XksWall = 0.05;
    NoPoints = 12;
    NoCells = NoCells0 = 2;
    NoSurfaces = NoSurfaces0 = 3;
    NoBlocks = NoBlocks0 = 1;
    block[1].cellstart = 1;
    block[1].cellend = 2;
    const double u[3] = {0, 0.125, 1.5}, v[3] = {0, -0.5, 0.0625}, w[3] = {0, 0, -0.001},
                 k[3] = {0, 0.01, 0}, e[3] = {0, 2.5e-4, 0}, p[3] = {0, 1000, -12.75};
    for (int c = 1; c <= 2; ++c) {
      Cxvel[c] = u[c];
      Cyvel[c] = v[c];
      Czvel[c] = w[c];
      Ckinen[c] = k[c];
      Cepsilon[c] = e[c];
      Cpres[c] = p[c];
    }
    Fflux[1] = 0.25;
    Fflux[2] = -3;
    Fflux[3] = 0;
  }

  // A grid from koosurf: grid lines 1..3 x 1..3 one metre apart at the given depth, so 2 x 2
  // columns of znumber - 2 = 2 cells (8 cells), 3 levels of 9 points (27) and 8 horizontal
  // plus 2 x 2 x 3 x 2 side faces (36 surfaces); 4 bed cells.
  static void generate(double depth) {
    std::string koosurf;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j)
        koosurf += strf("%d %d %d.0 %d.0 %lf 0.0\n", i, j, i - 1, j - 1, -depth);
    write("koosurf", koosurf);
    ASSERT_EQ(endStatus([] {
                readKoosurf();
                ASSERT_EQ(Unstructure(), 1);
                metric();
                BedMake();
              }),
              1000)
        << log();
    ASSERT_EQ(NoCells, 8);
    ASSERT_EQ(NoSurfaces, 36);
    ASSERT_EQ(NoPoints, 27);
    ASSERT_EQ(NoBCells, 4);
  }

  // Values with at most nine significant digits, which the text form keeps exactly.
  static double u(int c) { return 0.125 * c; }
  static double v(int c) { return -0.5 * c; }
  static double w(int c) { return c / 1024.0; }
  static double k(int c) { return 0.015625 * c; }
  static double e(int c) { return 0.0078125 * c; }
  static double p(int c) { return 100.25 + c; }
  static double flux(int s) { return 0.0625 * s - 1; }

  static void fillFlow() {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = u(c);
      Cyvel[c] = v(c);
      Czvel[c] = w(c);
      Ckinen[c] = k(c);
      Cepsilon[c] = e(c);
      Cpres[c] = p(c);
    }
    for (int s = 1; s <= NoSurfaces; ++s) Fflux[s] = flux(s);
  }

  // Bed values of the restart file, other than those of the grid generator.
  static void fillBed() {
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) {
        Surfaces[3][i][j] = -2 - 0.125 * i;
        Surfaces[1][i][j] = 0.03125 * j;
      }
    MaxDepth = 1.25;
    for (int n = 1; n <= NoBCells; ++n) {
      Broughness[n] = 0.0625 * n;
      Croughness[Bcellt[n]] = 0.25 * n;
      Bedformheight[n] = 0.5 * n;
      BSedDistrib[1][0][n] = 0.125 * n;
      BSedDistrib[1][1][n] = 0.25;
      BSedDistrib[1][2][n] = 0.75;
      BSedDistrib[0][0][n] = 2.0;
      BSedDistrib[0][1][n] = 0.5;
      BSedDistrib[0][2][n] = 0.5;
    }
  }

  static void clearFlow() {
    for (int c = 0; c < static_cast<int>(Cxvel.size()); ++c)
      Cxvel[c] = Cyvel[c] = Czvel[c] = Ckinen[c] = Cepsilon[c] = Cpres[c] = 0;
    for (int s = 0; s < static_cast<int>(Fflux.size()); ++s) Fflux[s] = 0;
  }

  static void expectFlow(int cells, int surfaces) {
    for (int c = 1; c <= cells; ++c) {
      EXPECT_EQ(Cxvel[c], u(c)) << c;
      EXPECT_EQ(Cyvel[c], v(c)) << c;
      EXPECT_EQ(Czvel[c], w(c)) << c;
      EXPECT_EQ(Ckinen[c], k(c)) << c;
      EXPECT_EQ(Cepsilon[c], e(c)) << c;
      EXPECT_EQ(Cpres[c], p(c)) << c;
    }
    for (int s = 1; s <= surfaces; ++s) EXPECT_EQ(Fflux[s], flux(s)) << s;
  }

  static int restart() { return endStatus(readres); }
};

// ---- writing --------------------------------------------------------------------------------

TEST_F(ResultFilesTest, TextResultLayout) {
  smallFlow();
  print_result(0);
  // The title is printed from position 0, which is empty: C, F and U of the title would be
  // taken for records.
  EXPECT_EQ(read("result.end"),
            " 12.500000 seconds\n"
            "Results, iter = 40\n"
            "Residuals: 0.500000 0.250000 0.125000 1.000000 2.000000 0.003000\n"
            "Roughness : 0.050000\n"
            "U 12 2 3 1 0 0\n"
            " i     u     v     w     k    e     p\n"
            "C 1 1.25000000e-01 -5.00000000e-01 0.00000000e+00 1.00000000e-02 2.50000000e-04 "
            "1.00000000e+03\n"
            "C 2 1.50000000e+00 6.25000000e-02 -1.00000000e-03 0.00000000e+00 0.00000000e+00 "
            "-1.27500000e+01\n"
            "F 1 2.50000000e-01\n"
            "F 2 -3.00000000e+00\n"
            "F 3 0.00000000e+00\n");
}

TEST_F(ResultFilesTest, NamesAndForms) {
  struct Case {
    const char* what;
    std::function<void()> set;
    std::string name;
    bool binary;
  };
  const std::vector<Case> cases = {
      {"plain", [] {}, "result.end", false},
      {"crash grid", [] { FlagCrashGrid = 2; }, "result.csh", false},
      {"crash grid, binary", [] { FlagCrashGrid = 2; FlagInterpolVal = 15; }, "result.csh", true},
      {"F 257 1 is no crash grid", [] { FlagCrashGrid = 1; }, "result.end", false},
      {"P 10", [] { PrintRes = 1; }, "result.0000", false},
      {"P 15", [] { PrintResAlways = 3; }, "result.0000", false},
      {"numbered binary", [] { PrintRes = 1; FlagInterpolVal = 15; }, "result.0000", true},
      {"block division", [] { FlagMPI = 4; }, "result.mpi4", false},
      {"numbered block division", [] { FlagMPI = 4; PrintRes = 2; }, "result.mpi4.0000", false},
      {"binary", [] { FlagInterpolVal = 15; }, "resultb", true},
      {"binary block division", [] { FlagInterpolVal = 15; FlagMPI = 4; }, "resultb", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    emptyFolder();
    smallFlow();
    c.set();
    ASSERT_EQ(endStatus([] { print_result(0); }), 1000);
    ASSERT_TRUE(std::filesystem::exists(c.name));
    const std::string bytes = read(c.name);
    if (!c.binary) {
      EXPECT_EQ(bytes.substr(0, 19), " 12.500000 seconds\n");
      continue;
    }
    // Six fields of cells 0..2, then the fluxes of surfaces 0..3.
    const std::vector<double> d = doubles(bytes);
    ASSERT_EQ(bytes.size(), (6 * 3 + 4) * sizeof(double));
    const std::vector<double> expected = {0, 0.125, 1.5, 0, -0.5, 0.0625, 0, 0, -0.001,
                                          0, 0.01,  0,   0, 2.5e-4, 0,    0, 1000, -12.75,
                                          0, 0.25,  -3,  0};
    EXPECT_EQ(d, expected);
  }
}

TEST_F(ResultFilesTest, NumberedResultsFillTheFirstGap) {
  smallFlow();
  PrintRes = 1;
  for (const char* name : {"result.0000", "result.0001", "result.0003"}) write(name, "x");
  print_result(0);
  print_result(0);
  EXPECT_EQ(read("result.0002").substr(0, 19), " 12.500000 seconds\n");
  EXPECT_EQ(read("result.0004").substr(0, 19), " 12.500000 seconds\n");
  EXPECT_EQ(read("result.0003"), "x");
}

TEST_F(ResultFilesTest, ResultThatCannotBeCreatedEndsTheRun) {
  struct Case {
    std::function<void()> set;
    std::string name, message;
  };
  const std::vector<Case> cases = {
      {[] {}, "result.end", "cannot open file 'result.end' "},
      {[] { FlagMPI = 2; }, "result.mpi2", "cannot open file 'result.mpi2' "},
      {[] { PrintRes = 1; }, "result.0000", "cannot open file 'result.0000' "},
      {[] { FlagInterpolVal = 15; }, "resultb", "cannot open file 'result' "},
      {[] { FlagCrashGrid = 2; }, "result.csh", "cannot open file 'result' "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    emptyFolder();
    smallFlow();
    c.set();
    // The file is written under a temporary name: a link from that name into a folder that
    // does not exist stops it, and the status text goes to the log as well.
    std::filesystem::create_symlink("no-such-folder/file", c.name + ".tmp");
    EXPECT_EQ(endStatus([] { print_result(0); }), -3);
    EXPECT_EQ(mc_message, c.message);
    EXPECT_EQ(log(), "Error: could not write file '" + c.name +
                         "' (No such file or directory); the previous copy is kept.\n");
  }
}

// ---- the restart ----------------------------------------------------------------------------

// The water-flow state of a first run written by the dispatcher with the default options and
// restarted in a second run on a grid whose koosurf is twice as deep: the bed of bedres
// rebuilds the grid, the flow comes back from result.
TEST_F(ResultFilesTest, TextRestartRoundTrip) {
  const auto transient = [] { TimeStep = 2.0; };
  freshRun(6, 6, 4, transient);
  generate(1.0);
  fillFlow();
  fillBed();
  std::vector<double> pz;
  for (int q = 1; q <= NoPoints; ++q) pz.push_back(Pz[q]);
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  // 6 header lines, 8 cells, 36 surfaces.
  const std::string text = read("result.end");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6 + 8 + 36);
  EXPECT_TRUE(contains(text, "\nU 27 8 36 1 0 0\n"));
  std::filesystem::rename("result.end", "result");
  std::filesystem::rename("bedres.t", "bedres");

  freshRun(6, 6, 4, transient);
  generate(2.0);
  std::filesystem::remove("boogie");
  ASSERT_EQ(restart(), 1000) << log();

  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(zval[i][j][1], -1.0);
      EXPECT_EQ(zval[i][j][znumber], 0.0);
      EXPECT_EQ(Surfaces[3][i][j], -2 - 0.125 * i);
      EXPECT_EQ(Surfaces[1][i][j], 0.03125 * j);
    }
  ASSERT_EQ(NoPoints, static_cast<int>(pz.size()));
  for (int q = 1; q <= NoPoints; ++q) EXPECT_EQ(Pz[q], pz[q - 1]) << q;
  EXPECT_EQ(MaxDepth, 1.25);
  expectFlow(8, 36);
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(Broughness[n], 0.0625 * n);
    EXPECT_EQ(Croughness[Bcellt[n]], 0.25 * n);
    EXPECT_EQ(Bedformheight[n], 0.5 * n);
    EXPECT_EQ(BSedDistrib[1][0][n], 0.125 * n);
    EXPECT_EQ(BSedDistrib[1][2][n], 0.75);
    EXPECT_EQ(BSedDistrib[0][0][n], 2.0);
  }
  // The old time level is the read field, so a time step may build on it.
  EXPECT_EQ(FlagOldLevelMade, 1);
  for (int c = 1; c <= 8; ++c) {
    EXPECT_EQ(Cxvel_old[c], u(c));
    EXPECT_EQ(Cyvel_old[c], v(c));
    EXPECT_EQ(Czvel_old[c], w(c));
    EXPECT_EQ(Ckinen_old[c], k(c));
    EXPECT_EQ(Cepsilon_old[c], e(c));
    EXPECT_EQ(Cpres_old[c], p(c));
    // 90 k^2 / epsilon + MinGamma: 90 (c/64)^2 / (c/128) = 2.8125 c, plus 0.001.
    EXPECT_NEAR(Cgamma[c], 2.8125 * c + 0.001, 1e-12);
    EXPECT_EQ(CgammaV[c], Cgamma[c]);
  }
  EXPECT_EQ(FlagReadRes, 1);
  EXPECT_EQ(FlagInitialized, 1);
  EXPECT_EQ(mc_message, " Have finished reading 'result'");
  EXPECT_EQ(mc_program, " Readres-reading results ");
  EXPECT_TRUE(contains(log(), " In readres \n\n"));
  EXPECT_TRUE(contains(log(), "Have read 8 cell values from result file\n"));
}

TEST_F(ResultFilesTest, BinaryRestartRoundTrip) {
  const auto binary = [] { FlagInterpolVal = 15; };
  freshRun(6, 6, 4, binary);
  generate(1.0);
  fillFlow();
  fillBed();
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  EXPECT_EQ(read("resultb").size(), (6 * 9 + 37) * sizeof(double));
  std::filesystem::rename("bedres.t", "bedres");

  freshRun(6, 6, 4, binary);
  generate(2.0);
  clearFlow();
  std::filesystem::remove("boogie");
  ASSERT_EQ(restart(), 1000) << log();
  expectFlow(8, 36);
  EXPECT_EQ(zval[2][2][1], -1.0);
  EXPECT_EQ(FlagReadRes, 0);  // only the text form marks it
  EXPECT_EQ(FlagInitialized, 1);
  EXPECT_FALSE(contains(log(), " In readres "));
  EXPECT_TRUE(contains(log(), "Have read 0 cell values from bedres file\n"));
}

TEST_F(ResultFilesTest, OneLayerBedFile) {
  freshRun(6, 6, 4);
  generate(1.0);
  fillBed();
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  // Letter H and only the first of the two layers on every bed-cell line.
  std::istringstream in(read("bedres.t"));
  std::string line, text;
  for (int n = 1; std::getline(in, line); ++n) {
    if (n == 2) line[0] = 'H';
    if (n > 2 + 9) line = line.substr(0, line.size() - std::string("2.000000 0.500000 0.500000 ").size());
    text += line + "\n";
  }
  write("bedres", text);
  std::filesystem::rename("result.end", "result");

  freshRun(6, 6, 4);
  generate(1.0);
  for (int n = 1; n <= 4; ++n) BSedDistrib[0][0][n] = 7.0;
  ASSERT_EQ(restart(), 1000) << log();
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(BSedDistrib[1][0][n], 0.125 * n);
    EXPECT_EQ(BSedDistrib[1][1][n], 0.25);
    EXPECT_EQ(BSedDistrib[0][0][n], 7.0);
  }
  EXPECT_EQ(FlagInitialized, 1);
}

TEST_F(ResultFilesTest, WithoutBedFileTheGridStays) {
  smallFlow();
  print_result(0);
  std::filesystem::rename("result.end", "result");
  clearFlow();
  ASSERT_EQ(restart(), 1000) << log();
  EXPECT_EQ(Cxvel[2], 1.5);
  EXPECT_EQ(Cpres[2], -12.75);
  EXPECT_EQ(Fflux[2], -3.0);
  // Cell 1: 90 x 0.01^2 / 2.5e-4 = 36, plus MinGamma 0.001.
  EXPECT_NEAR(Cgamma[1], 36.001, 1e-12);
  EXPECT_EQ(log(),
            "Have not used 'bedres' file\n"
            " In readres \n\n"
            "Have read 2 cell values from result file\n");
  EXPECT_EQ(FlagReadRes, 1);
}

// The counts line and the records of the whole result of the small flow (2 cells, 3 surfaces).
const char* const kCounts = "U 12 2 3 1 0 0\n";
const char* const kCell1 = "C 1 1 2 3 1 0.001 5\n";
const char* const kCell2 = "C 2 7 7 7 7 7 7\n";
const char* const kFluxes = "F 1 0.5\nF 2 4.5\nF 3 -1.5\n";

TEST_F(ResultFilesTest, WholeResultIsReadUpToTheLastFlux) {
  smallFlow();
  clearFlow();
  MaxGamma = 20;
  // Lines that are no record are text; after the flux of the last surface nothing is read.
  write("result", std::string(" 0.0 seconds\nResults, iter = 3\n") + kCounts +
                      " i     u     v     w     k    e     p\n" + kCell2 + kCell1 + kFluxes +
                      "C 2 9 9 9 9 9 9\n");
  ASSERT_EQ(restart(), 1000) << log();
  EXPECT_EQ(Cxvel[0], 0.0);
  EXPECT_EQ(Cxvel[1], 1.0);
  EXPECT_EQ(Cpres[1], 5.0);
  EXPECT_EQ(Cgamma[1], 20.0);  // 90 x 1 / 0.001 is held at MaxGamma
  EXPECT_EQ(Cxvel[2], 7.0);
  EXPECT_EQ(Fflux[2], 4.5);
  EXPECT_EQ(Fflux[3], -1.5);
  EXPECT_TRUE(contains(log(), "Have read 2 cell values from result file\n"));
  EXPECT_EQ(FlagInitialized, 1);
}

// A result cut short, with a record that cannot be read, or with a cell or surface missing or
// given twice is refused whole: the flow keeps its values, the log says what is wrong, and the
// run ends.
TEST_F(ResultFilesTest, CutShortOrDamagedResultIsRefused) {
  struct Case {
    const char* what;
    std::string text, message;
  };
  const std::string head = " 0.0 seconds\n";
  const std::string counts = kCounts, cell1 = kCell1, cell2 = kCell2, fluxes = kFluxes;
  const std::vector<Case> cases = {
      {"cut short after a cell", head + counts + cell1,
       "Error reading result file 'result': it holds 1 of its 2 cells (the first missing is 2) and 0 of "
       "its 3 surfaces (the first missing is 1)\n"},
      {"cut short inside the fluxes", head + counts + cell1 + cell2 + "F 1 0.5\nF 2 4.5\n",
       "it holds 2 of its 2 cells (the first missing is 0) and 2 of its 3 surfaces (the first missing "
       "is 3)\n"},
      {"no counts line", head + cell1 + cell2 + fluxes,
       "Error in 'result' file, line 2: a C record before the U line\n"},
      {"nothing but a title", head, "it has no U line with the counts of its grid\n"},
      {"a cell one value short", head + counts + "C 1 1 2 3 1 0.001\n" + cell2 + fluxes,
       "line 3: a C record needs 8 values, the line holds 7\n"},
      {"a cell with a value more", head + counts + "C 1 1 2 3 1 0.001 5 6\n" + cell2 + fluxes,
       "line 3: a C record needs 8 values, the line holds 9\n"},
      {"a value that is not finite", head + counts + "C 1 1 2 nan 1 0.001 5\n" + cell2 + fluxes,
       "line 3: 'nan' in a C record is not a finite number\n"},
      // The writer stopped inside the last record: the line is named for what it lacks, not
      // judged by its first value.
      {"cut inside the last flux", head + counts + cell1 + cell2 + "F 1 0.5\nF 2 4.5\nF 3\n",
       "line 7: an F record needs 3 values, the line holds 2\n"},
      {"a cell twice", head + counts + cell1 + cell1 + cell2 + fluxes,
       "line 4: cell 1 is given a second time\n"},
      {"a cell of another grid", head + counts + cell1 + "C 3 7 7 7 7 7 7\n" + fluxes,
       "line 4: cell 3 of a result of 2 cells\n"},
      {"surface 0", head + counts + cell1 + cell2 + "F 0 1\n" + fluxes,
       "line 5: surface 0 of a result of 3 surfaces\n"},
      {"a second counts line", head + counts + cell1 + counts + cell2 + fluxes,
       "line 4: a second U line\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    emptyFolder();
    smallFlow();
    clearFlow();
    Cxvel[1] = Cxvel[2] = 0.25;
    write("result", c.text);
    // A refused restart ends the run with the input-error status, before any computing.
    ASSERT_EQ(restart(), -1) << log();
    EXPECT_TRUE(contains(log(), c.message)) << log();
    EXPECT_TRUE(contains(log(), "The restart from the 'result' file is refused\n")) << log();
    EXPECT_TRUE(contains(log(), "The run stops: the restart it asks for (task R) was refused")) << log();
    EXPECT_FALSE(contains(log(), "Have read"));
    EXPECT_EQ(Cxvel[1], 0.25);
    EXPECT_EQ(Cxvel[2], 0.25);
    EXPECT_EQ(Fflux[1], 0.0);
    EXPECT_EQ(mc_message.rfind(" Error reading result file", 0), 0u);
    EXPECT_EQ(FlagReadRes, 0);
    EXPECT_EQ(FlagInitialized, 0);
  }
}

TEST_F(ResultFilesTest, ResultOfAnotherGrid) {
  smallFlow();
  clearFlow();
  write("result",
        " 0.0 seconds\n"
        "U 12 5 3 1 0 2\n"
        "C 1 1 2 3 4 5 6\n"
        "C 2 7 7 7 7 7 7\n");
  ASSERT_EQ(restart(), -1);
  EXPECT_EQ(Cxvel[1], 0.0);
  EXPECT_EQ(Cxvel[2], 0.0);
  const std::string text = log();
  EXPECT_TRUE(contains(text,
                       "Error reading result file, array size is not the same as in the grid\n"
                       "Number of cells in grid is 2, and number of cells in result file is 5\n"
                       "No. cells in grid: 2, no. cells in result file: 5\n"
                       "No. connecting surfaces in grid: 0, in result file: 2\n"
                       "MaxDepth = 0.000000\n"
                       "\nAdvice for fixing the problem: \n"))
      << text;
  EXPECT_TRUE(contains(text, "an H at the end of the F 2 data set. Then read this file before "
                             "reading the result file\n"));
  EXPECT_FALSE(contains(text, "Have read"));
  EXPECT_EQ(mc_message.rfind(" Error reading result file", 0), 0u);
  EXPECT_EQ(FlagReadRes, 0);
  EXPECT_EQ(FlagInitialized, 0);

  // Written before the mud block was appended to block 1: the result holds the cells of block
  // 1 only, and its counts are accepted.
  std::filesystem::remove("boogie");
  clearFlow();
  block[1].cellend = 1;
  block[2].thixo = 1;
  write("result", " 0.0 seconds\nU 12 1 3 1 0 0\nC 1 7 7 7 7 7 7\n" + std::string(kFluxes));
  ASSERT_EQ(restart(), 1000) << log();
  EXPECT_EQ(Cxvel[1], 7.0);
  EXPECT_EQ(Cxvel[2], 0.0);
  EXPECT_EQ(FlagReadRes, 1);
  EXPECT_EQ(FlagInitialized, 1);
}

TEST_F(ResultFilesTest, MissingResultLeavesTheFlowAlone) {
  smallFlow();
  for (int mpi : {0, 3}) {
    SCOPED_TRACE(mpi);
    std::filesystem::remove("boogie");
    FlagMPI = mpi;
    const std::string name = mpi ? "result.mpi3" : "result";
    ASSERT_EQ(restart(), 1000);
    EXPECT_EQ(Cxvel[2], 1.5);
    EXPECT_EQ(mc_message, "cannot open file " + name + " ");
    EXPECT_EQ(log(), "Have not used 'bedres' file\n In readres \n\n"
                     "Warning: have not been able to open the file '" + name + "' for reading ");
    EXPECT_EQ(FlagInitialized, 0);
    EXPECT_EQ(FlagReadRes, 0);
  }
}

// The water level read from bedres is also the level of the last surface update, which the
// grid readers keep one index above the surface.
TEST_F(ResultFilesTest, BedFileSetsTheLevelOfTheLastSurfaceUpdate) {
  freshRun(6, 6, 4);
  generate(1.0);
  fillBed();
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) zval[i][j][znumber] = 0.5;
  // Written with 17 decimals: a value with no short decimal form comes back the same double
  // (larger than the 1.5 m of this grid, which the grid generator would take instead).
  MaxDepth = 0.7 * 3;
  ASSERT_NE(MaxDepth, 2.1);
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  std::filesystem::rename("bedres.t", "bedres");

  freshRun(6, 6, 4);
  generate(1.0);
  ASSERT_EQ(zval[2][2][znumber + 1], 0.0);  // koosurf's level
  ASSERT_EQ(restart(), 1000) << log();
  EXPECT_EQ(MaxDepth, 0.7 * 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(zval[i][j][znumber], 0.5);
      EXPECT_EQ(zval[i][j][znumber + 1], 0.5);
    }
}

// A block-division run reads "result.mpi%d" and "bedres.mpi%d"; with task A in the same walk
// FlagMPI counts the divisions and the plain names are read.
TEST_F(ResultFilesTest, BlockDivisionNamesReadUnlessTaskAIsInTheWalk) {
  struct Case {
    int mpi, taskA;
    bool plain;
  };
  for (const Case& c : {Case{0, 0, true}, Case{3, 0, false}, Case{3, 1, true}}) {
    SCOPED_TRACE(strf("F 308 %d, task A %d", c.mpi, c.taskA));
    emptyFolder();
    smallFlow();
    clearFlow();
    FlagMPI = c.mpi;
    FlagMPIkoosurf = c.taskA;
    const std::string rest = std::string("C 2 0 0 0 0 0 0\n") + kFluxes;
    write("result", std::string(" 0.0 seconds\n") + kCounts + "C 1 1 0 0 0 0 0\n" + rest);
    write("result.mpi3", std::string(" 0.0 seconds\n") + kCounts + "C 1 3 0 0 0 0 0\n" + rest);
    ASSERT_EQ(restart(), 1000) << log();
    EXPECT_EQ(Cxvel[1], c.plain ? 1.0 : 3.0);

    // Only the plain bed file exists, with sizes that are not those of the grid.
    std::filesystem::remove("boogie");
    write("bedres", "Results from Qorva 2, iter = 1\nK 9 4 3 2 1 1.0 1\n");
    EXPECT_EQ(restart(), c.plain ? -3 : 1000);
    const std::string first =
        c.plain ? "Error in reading bedres file: array size is not correct\n"
                : "Have not used 'bedres' file\n";
    EXPECT_EQ(log().rfind(first, 0), 0u) << log();
  }
}

TEST_F(ResultFilesTest, BinaryResultMissingOrOfAnotherGrid) {
  smallFlow();
  FlagInterpolVal = 15;
  EXPECT_EQ(restart(), -3);
  EXPECT_EQ(mc_message, "cannot open file 'resultb' ");
  EXPECT_TRUE(contains(log(), " cannot open file 'resultb' for reading "));

  // 2 cells and 3 surfaces need 6 x 3 + 4 values; one short, one too many and none.
  for (int values : {21, 23, 0}) {
    SCOPED_TRACE(values);
    std::filesystem::remove("boogie");
    write("resultb", std::string(values * sizeof(double), '\0'));
    EXPECT_EQ(restart(), -4);
    const std::string text = log();
    EXPECT_TRUE(text.size() >= 28 && text.substr(text.size() - 28) == "Error reading 'resultb' file")
        << text;
    EXPECT_EQ(FlagInitialized, 0);
  }
}

TEST_F(ResultFilesTest, BedFilesThatDoNotFit) {
  struct Case {
    const char* what;
    std::string second;  // the size line
    std::string rows;    // what follows it
    int status;
    std::string message;
  };
  const std::string row = "1 1    0.0    -1.00000000000000     0.00000000000000 -2.0 0.0\n";
  const std::vector<Case> cases = {
      {"sizes", "K 5 6 3 1 4    1.25000000000000000 8\n", "", -3,
       "Error in reading bedres file: array size is not correct\n"
       "Number of bedres grid lines in i direction is 5, and in control file 6.\n"
       "Number of bedres grid lines in k direction is 3, and in control file 4.\n"
       "Number of bedres sediment sizes is 1, and in control file 2.\n"},
      // A line that cannot be read is a damaged file: -1, with the line named.
      {"no size line", "Grid\n", "", -1, "Error in 'bedres' file, line 2: 'Grid' is no format letter\n"},
      {"size line one value short", "K 6 6 4 2 4 1.25\n", "", -1,
       "Error in 'bedres' file, line 2: the second line needs 8 values, the line holds 7\n"},
      {"short grid rows", "K 6 6 4 2 4 1.25 8\n", row + row, -1,
       "Error in 'bedres' file, line 4: the file ends before the grid point (1,3)\n"},
      {"grid row one value short", "K 6 6 4 2 4 1.25 8\n", row + "1 2 0.0 -1.0 0.0 -2.0\n" + row, -1,
       "Error in 'bedres' file, line 4: the grid point line of (1,2) needs 7 values, the line holds 6\n"},
      {"level not finite", "K 6 6 4 2 4 1.25 8\n", "1 1 0.0 inf 0.0 -2.0 0.0\n", -1,
       "Error in 'bedres' file, line 3: 'inf' in the grid point line of (1,1) is not a finite number\n"},
      {"grid point outside", "K 6 6 4 2 4 1.25 8\n", "1 9 0.0 -1.0 0.0 -2.0 0.0\n", -1,
       "Error in 'bedres' file, line 3: grid point 1 9 lies outside the grid\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    emptyFolder();
    freshRun(6, 6, 4);
    generate(1.0);
    std::filesystem::remove("boogie");
    write("bedres", "Results from Qorva 2, iter = 3\n" + c.second + c.rows);
    EXPECT_EQ(restart(), c.status);
    EXPECT_EQ(log(), c.message);
  }
}

TEST_F(ResultFilesTest, BedCellLinesThatDoNotFit) {
  struct Case {
    const char* what;
    std::function<std::string(const std::string&)> change;  // of the last bed-cell line
    std::string message;
  };
  const std::vector<Case> cases = {
      {"a cell past the grid", [](const std::string& l) { return "4 9" + l.substr(3); },
       "Error in 'bedres' file, line 15: bed cell 4 has the cell 9\n"},
      {"cut short", [](const std::string& l) { return l.substr(0, 40); },
       "Error in 'bedres' file, line 15: bed cell 4 needs 11 values, the line holds 6\n"},
      {"a value more", [](const std::string& l) { return l + " 1.0"; },
       "Error in 'bedres' file, line 15: bed cell 4 needs 11 values, the line holds 12\n"},
      {"the line split in two", [](const std::string& l) { return l.substr(0, 40) + "\n" + l.substr(40); },
       "Error in 'bedres' file, line 15: bed cell 4 needs 11 values, the line holds 6\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    emptyFolder();
    freshRun(6, 6, 4);
    generate(1.0);
    fillBed();
    ASSERT_EQ(endStatus(sprintflow), 1000) << log();
    // 2 header lines, 9 grid points, 4 bed cells: the last bed cell is line 15.
    std::istringstream in(read("bedres.t"));
    std::string line, text;
    for (int n = 1; std::getline(in, line); ++n) text += (n == 15 ? c.change(line) : line) + "\n";
    write("bedres", text);
    std::filesystem::remove("boogie");
    EXPECT_EQ(restart(), -1);
    EXPECT_TRUE(contains(log(), c.message)) << log();
  }
}

}  // namespace
}  // namespace qorva
