// The output dispatcher: which outputs the options select and in which order, the bed-layer
// sections, the bed result file bedres, the numbered names of the result series, the mud
// velocity reset and the ends of a call.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "output/output.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

std::set<std::string> folder() {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
    names.insert(e.path().filename().string());
  return names;
}

void touch(const std::string& name) { std::fclose(std::fopen(name.c_str(), "w")); }

// One water column (2, 2) on the grid lines 1..2 of a G 1 4 4 3 grid with two sizes; block 2
// is skipped and block 3 is the appended two-dimensional block, so neither has bedres lines.
// One bed cell whose bottom cell is cell 1; the flow result of this state has no cells.
class DispatcherTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    handState();
  }

  // Options that change the allocation are set before this.
  static void handState() {
    xnumber = ynumber = 4;
    znumber = 3;
    lnumber = 2;
    MaxCeller = 10;
    MaxFlater = 20;
    MaxPunkter = 20;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");

    NoBlocks = 3;
    block[1].i1 = block[1].i2 = block[1].j1 = block[1].j2 = 2;
    block[1].bcellstart = block[1].bcellend = 1;
    block[2].i1 = block[2].i2 = block[2].j1 = block[2].j2 = 3;
    block[2].skip = 1;
    block[3].i1 = block[3].i2 = block[3].j1 = block[3].j2 = 3;
    block[3].flag2D = 1;
    const double bed[2][2] = {{-0.5, -0.25}, {-0.75, -1.0}};
    for (int i = 1; i <= 2; ++i)
      for (int j = 1; j <= 2; ++j) {
        zval[i][j][1] = bed[i - 1][j - 1];
        zval[i][j][znumber] = 0.125;
        Surfaces[3][i][j] = -2.5;
      }
    zval[2][2][0] = 1;
    Surfaces[1][2][2] = 0.0625;
    Iter = 7;
    MaxDepth = 1.5;
    NoCells = 2;
    NoBCells = 1;
    Bcellt[1] = 1;
    Broughness[1] = 0.05;
    Croughness[1] = 0.1;
    Bedformheight[1] = 0.02;
    const double top[3] = {0.3, 0.6, 0.4}, below[3] = {0.2, 0.25, 0.75};
    for (int l = 0; l <= 2; ++l) {
      BSedDistrib[1][l][1] = top[l];
      BSedDistrib[0][l][1] = below[l];
    }
  }
};

// ---- selection ------------------------------------------------------------------------------

using O = Output;

TEST_F(DispatcherTest, SelectionFollowsTheOutputOptions) {
  struct Case {
    const char* what;
    std::function<void()> set;
    std::vector<O> expected;
  };
  const auto pa = [](int k, int v) { return [k, v] { PrintArrayFlags[k] = v; }; };
  const auto iv = [](int v) { return [v] { FlagInterpolVal = v; }; };
  const std::vector<Case> cases = {
      {"defaults", [] {}, {O::FlowResult, O::BedResult}},
      {"no bed cells yet", [] { NoBCells = 0; }, {O::FlowResult}},
      {"bed arrays missing", [] { Bedformheight.release(); }, {O::FlowResult}},
      {"F 329 0: flow result off", pa(0, 0), {O::BedResult}},
      {"F 329 2 as flow flag: only 1 counts", pa(0, 2), {O::BedResult}},
      {"bed flag 0", pa(1, 0), {O::FlowResult}},
      {"bed flag 2: any positive value", pa(1, 2), {O::FlowResult, O::BedResult}},
      {"bed flag -1", pa(1, -1), {O::FlowResult}},
      {"F 48 7", iv(7), {O::FlowResult, O::TecplotPlan, O::BedResult}},
      {"F 48 8", iv(8), {O::FlowResult, O::TecplotPlan, O::Tecplot3d, O::BedResult}},
      {"F 48 87", iv(87), {O::FlowResult, O::TecplotPlan, O::BedResult}},
      {"F 48 88", iv(88), {O::FlowResult, O::TecplotPlan, O::Tecplot3d, O::BedResult}},
      {"F 48 9", iv(9), {O::FlowResult, O::Tecplot3d, O::BedResult}},
      {"F 48 89", iv(89), {O::FlowResult, O::Tecplot3d, O::BedResult}},
      {"F 48 18", iv(18), {O::FlowResult, O::TecplotPlanPerBlock, O::BedResult}},
      {"F 48 10", iv(10), {O::FlowResult, O::Vtk3d, O::BedResult}},
      {"F 48 90", iv(90), {O::FlowResult, O::Vtk3d, O::BedResult}},
      {"F 48 11", iv(11), {O::FlowResult, O::VtkPlan, O::BedResult}},
      {"F 48 91 of a crash", iv(91), {O::FlowResult, O::VtkPlan, O::BedResult}},
      {"F 48 19", iv(19), {O::FlowResult, O::VtkPlanPerBlock, O::BedResult}},
      {"F 48 13", iv(13), {O::FlowResult, O::CellTable, O::BedResult}},
      {"F 48 22", iv(22), {O::FlowResult, O::BedPoints, O::BedResult}},
      {"F 48 1", iv(1), {O::FlowResult, O::Interpolated, O::BedResult}},
      {"F 48 6", iv(6), {O::FlowResult, O::Interpolated, O::BedResult}},
      {"F 48 17", iv(17), {O::FlowResult, O::WetOutline, O::BedResult}},
      {"F 48 25", iv(25), {O::FlowResult, O::BedResult, O::Habitat}},
      {"F 48 15: binary, nothing more", iv(15), {O::FlowResult, O::BedResult}},
      {"F 48 12: a section code of the interpolation only", iv(12), {O::FlowResult, O::BedResult}},
      {"index 2", pa(2, 1), {O::FlowResult, O::TecplotPlan, O::BedResult}},
      {"index 2 set to 2 is off", pa(2, 2), {O::FlowResult, O::BedResult}},
      {"index 3", pa(3, 1), {O::FlowResult, O::TecplotPlanPerBlock, O::BedResult}},
      {"index 4", pa(4, 1), {O::FlowResult, O::Tecplot3d, O::BedResult}},
      {"index 5", pa(5, 1), {O::FlowResult, O::Vtk3d, O::BedResult}},
      {"index 16", pa(16, 1), {O::FlowResult, O::BedLayerSection, O::BedResult}},
      {"index 6", pa(6, 1), {O::FlowResult, O::VtkPlan, O::BedResult}},
      {"index 7", pa(7, 1), {O::FlowResult, O::VtkPlanPerBlock, O::BedResult}},
      {"index 15", pa(15, 1), {O::FlowResult, O::BedFractions, O::BedResult}},
      {"index 8", pa(8, 1), {O::FlowResult, O::CellTable, O::BedResult}},
      {"index 9", pa(9, 1), {O::FlowResult, O::BedPoints, O::BedResult}},
      {"index 10 = 1", pa(10, 1), {O::FlowResult, O::Interpolated, O::BedResult}},
      {"index 10 = 99", pa(10, 99), {O::FlowResult, O::Interpolated, O::BedResult}},
      {"index 10 = 102: a section file", pa(10, 102), {O::FlowResult, O::BedResult}},
      {"index 10 = 130: grain sizes of the sediment loop", pa(10, 130), {O::FlowResult, O::BedResult}},
      {"F 309", [] { FlagInterpolNew = 1; }, {O::FlowResult, O::Interpolated, O::BedResult}},
      {"index 11", pa(11, 1), {O::FlowResult, O::WetOutline, O::BedResult}},
      {"index 12 any non-zero", pa(12, -3), {O::FlowResult, O::BedResult, O::Habitat}},
      {"index 13 any non-zero", pa(13, 2), {O::FlowResult, O::BedResult, O::SlopingFraction}},
      {"F 212 8", [] { FlagWriteSpecial = 8; }, {O::FlowResult, O::BedResult, O::SlopingFraction}},
      {"index 14 = 1", pa(14, 1), {O::FlowResult, O::BedResult, O::DischargeCheck}},
      {"F 212 9", [] { FlagWriteSpecial = 9; }, {O::FlowResult, O::BedResult, O::DischargeCheck}},
      {"index 14 = 2", pa(14, 2), {O::FlowResult, O::BedResult, O::LevelProfile}},
      {"index 14 = 3", pa(14, 3), {O::FlowResult, O::BedResult, O::LevelProfileAppended}},
      {"index 14 = 4", pa(14, 4), {O::FlowResult, O::BedResult}},
      {"indexes 17 to 50 switch nothing",
       [] {
         for (int k = 17; k <= 50; ++k) PrintArrayFlags[k] = 1;
       },
       {O::FlowResult, O::BedResult}},
      {"everything, in the order of production",
       [] {
         for (int k = 0; k <= 16; ++k) PrintArrayFlags[k] = 1;
       },
       {O::FlowResult, O::TecplotPlan, O::TecplotPlanPerBlock, O::Tecplot3d, O::Vtk3d,
        O::BedLayerSection, O::VtkPlan, O::VtkPlanPerBlock, O::BedFractions, O::CellTable,
        O::BedPoints, O::Interpolated, O::WetOutline, O::BedResult, O::Habitat,
        O::SlopingFraction, O::DischargeCheck}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetArraysZero();
    setDefaults();
    handState();
    c.set();
    EXPECT_EQ(selectedOutputs(), c.expected);
  }
}

TEST_F(DispatcherTest, BedLayerSectionsByLayersAndF449) {
  struct Case {
    const char* what;
    int layers, tracer1, tracer2, barcelona, cross;
    int i1, i2, j1, j2;  // block 1
    std::vector<BedSection> expected;
  };
  const std::vector<Case> cases = {
      {"two layers: none", 2, 0, 0, 0, 0, 2, 30, 2, 24, {}},
      {"middle row", 3, 0, 0, 0, 0, 2, 30, 2, 24, {{3, 0}}},
      {"all layers", 3, 0, -10, 0, 0, 2, 30, 2, 24, {{4, 0}}},
      // 3*24/4 = 18, 24/2+1 = 13, 24/4+2 = 8; 3*30/4 = 22, 30/2+1 = 16, 30/4+2 = 9.
      {"-9 on a long block", 3, 0, -9, 0, 0, 2, 30, 2, 24,
       {{3, 18}, {3, 13}, {3, 8}, {5, 22}, {5, 16}, {5, 9}}},
      {"-9 with j2 = 20 is a range from 0 to -9", 3, 0, -9, 0, 0, 2, 30, 2, 20, {}},
      // 5*30/8 = 18, 3*30/8+2 = 13.
      {"-8", 3, 0, -8, 0, 0, 2, 30, 2, 24,
       {{3, 18}, {3, 13}, {3, 8}, {5, 22}, {5, 18}, {5, 16}, {5, 9}, {5, 13}}},
      {"rows 2 to 4", 4, 2, 4, 0, 0, 2, 30, 2, 24, {{3, 2}, {3, 3}, {3, 4}}},
      {"an empty range", 3, 5, 3, 0, 0, 2, 30, 2, 24, {}},
      {"a range past the block gives the rows of the block", 3, -5, 1000, 0, 0, 2, 5, 2, 3,
       {{3, 0}, {3, 1}, {3, 2}, {3, 3}}},
      {"column line first", 3, 0, 0, 1, 7, 2, 30, 2, 24, {{5, 7}, {3, 0}}},
      {"column line needs both values", 3, 0, 0, 1, 0, 2, 30, 2, 24, {{3, 0}}},
      {"no column line with two layers", 2, 0, 0, 1, 7, 2, 30, 2, 24, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NoBedLayers = c.layers;
    tracerJ1 = c.tracer1;
    tracerJ2 = c.tracer2;
    FlagBarcelona = c.barcelona;
    CrossBarcelona = c.cross;
    block[1].i1 = c.i1;
    block[1].i2 = c.i2;
    block[1].j1 = c.j1;
    block[1].j2 = c.j2;
    const std::vector<BedSection> got = bedLayerSections();
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t n = 0; n < got.size(); ++n) {
      EXPECT_EQ(got[n].writer, c.expected[n].writer) << n;
      EXPECT_EQ(got[n].section, c.expected[n].section) << n;
    }
  }
}

// ---- one call -------------------------------------------------------------------------------

const char* const kBedres =
    "Results from Qorva 2, iter = 7\n"
    "K 4 4 3 2 1    1.50000000000000000 2\n"
    "1 1    0.0 -0.5 0.125 -2.5 0\n"
    "1 2    0.0 -0.25 0.125 -2.5 0\n"
    "2 1    0.0 -0.75 0.125 -2.5 0\n"
    "2 2    1.0 -1 0.125 -2.5 0.0625\n"
    "1 1 0.05 0.1 0.02 0.3 0.6 0.4 0.2 0.25 0.75 \n";

TEST_F(DispatcherTest, DefaultsWriteTheFlowResultAndBedres) {
  mc_v1 = "Written from initial";
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  EXPECT_EQ(folder(), (std::set<std::string>{"bedres.t", "result.end"}));
  EXPECT_EQ(read("bedres.t"), kBedres);
  EXPECT_EQ(mc_message, "have written output files  ");
  EXPECT_EQ(gFlagWriteR, 0);
  EXPECT_EQ(mc_v1, "Written from initial");
}

TEST_F(DispatcherTest, LayeredBedresWritesEveryLayerFromTheTop) {
  SetArraysZero();
  setDefaults();
  NoBedLayers = 3;
  FlagTSC = 3;
  handState();
  const double third[3] = {0.5, 0.1, 0.9};
  for (int l = 0; l <= 2; ++l) BSedDistrib[2][l][1] = third[l];
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  const std::string text = read("bedres.t");
  const std::string last =
      "1 1 0.05 0.1 0.02 0.5 0.1 0.9 0.3 0.6 0.4 0.2 0.25 0.75 \n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);

  // Three layers without the layered sediment bed keep the two-layer form.
  std::filesystem::remove("bedres.t");
  FlagTSC = 0;
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  EXPECT_EQ(read("bedres.t"), kBedres);
}

TEST_F(DispatcherTest, BlockDivisionAndNumberedNames) {
  struct Case {
    int mpi, printRes, printResAlways;
    std::vector<std::string> existing;
    std::set<std::string> written;
  };
  const std::vector<Case> cases = {
      {3, 0, 0, {}, {"bedres.mpi3.t", "result.mpi3"}},
      {0, 1, 0, {}, {"bedres.0000", "result.0000"}},
      {0, 0, 2, {}, {"bedres.0000", "result.0000"}},
      {0, 5, 0, {"bedres.0000", "bedres.0001", "bedres.0002", "bedres.0003", "bedres.0004"},
       {"bedres.0005", "result.0000"}},
      {0, 5, 0, {"bedres.0000", "bedres.0001", "bedres.0003", "result.0000"},
       {"bedres.0002", "result.0001"}},
      {2, 1, 0, {"bedres.0000"}, {"bedres.mpi2.0000", "result.mpi2.0000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mpi * 100 + c.printRes * 10 + c.printResAlways);
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
      std::filesystem::remove_all(e.path());
    for (const std::string& name : c.existing) touch(name);
    FlagMPI = c.mpi;
    PrintRes = c.printRes;
    PrintResAlways = c.printResAlways;
    ASSERT_EQ(endStatus(sprintflow), 1000) << log();
    std::set<std::string> expected = c.written;
    expected.insert(c.existing.begin(), c.existing.end());
    EXPECT_EQ(folder(), expected);
    for (const std::string& name : c.written) {
      if (name.rfind("bedres", 0) == 0) {
        EXPECT_EQ(read(name), kBedres) << name;
      }
    }
  }
}

TEST_F(DispatcherTest, NumberingRuleOfTheSeries) {
  const auto make = [](const std::string& stem, std::initializer_list<const char*> p, int count) {
    for (int n = 0; n < count; ++n) touch(numberedName(stem, p));
  };
  const std::initializer_list<const char*> four = {".000%d", ".00%d", ".0%d", ".%d"};
  const std::initializer_list<const char*> five = {"0000%d.dat", "000%d.dat", "00%d.dat",
                                                   "0%d.dat", "%d.dat"};
  EXPECT_EQ(numberedName("bedres", four), "bedres.0000");
  make("bedres", four, 10);
  EXPECT_EQ(numberedName("bedres", four), "bedres.0010");
  make("bedres", four, 90);
  EXPECT_EQ(numberedName("bedres", four), "bedres.0100");
  make("bedres", four, 900);
  EXPECT_EQ(numberedName("bedres", four), "bedres.1000");
  EXPECT_TRUE(std::filesystem::exists("bedres.0999"));

  // The five-digit series keeps a leading zero from 1000 to 9999.
  make("tarpo_", five, 1000);
  EXPECT_TRUE(std::filesystem::exists("tarpo_00009.dat"));
  EXPECT_TRUE(std::filesystem::exists("tarpo_00010.dat"));
  EXPECT_TRUE(std::filesystem::exists("tarpo_00999.dat"));
  EXPECT_EQ(numberedName("tarpo_", five), "tarpo_01000.dat");

  // When every name up to the last number exists, the last one is written again.
  EXPECT_EQ(numberedName("boogie.spe", {"000%d", "00%d", "0%d", "%d"}, 3), "boogie.spe0000");
  make("boogie.spe", {"000%d", "00%d", "0%d", "%d"}, 3);
  EXPECT_EQ(numberedName("boogie.spe", {"000%d", "00%d", "0%d", "%d"}, 3), "boogie.spe0003");
  touch("boogie.spe0003");
  EXPECT_EQ(numberedName("boogie.spe", {"000%d", "00%d", "0%d", "%d"}, 3), "boogie.spe0003");
}

TEST_F(DispatcherTest, WritersRunInTheOrderOfTheTable) {
  // A writer this version does not have ends the run where it stands in the order: the
  // files before it are written, those after it are not.
  struct Case {
    const char* what;
    std::function<void()> set;
    std::string message;
    std::set<std::string> written;
    // The status text: a writer that has run leaves its own.
    std::string status = "Writing output files";
  };
  const std::vector<Case> cases = {
      {"plan views and the 3-D file come before", [] {
         PrintArrayFlags[2] = PrintArrayFlags[4] = PrintArrayFlags[6] = 1;
         FlagInterpolNew = 1;
       },
       "the interpolated results (print_interres)",
       {"result.end", "tecplot2.dat", "tecplfe.dat", "pav2_00000.vtk"},
       "have written ParaView 2D file  "},
      {"per-block plan views", [] {
         FlagInterpolVal = 18;
         FlagInterpolNew = 1;
       },
       "the interpolated results (print_interres)",
       {"result.end", "tecplot2_n1.dat", "tecplot2_n2.dat", "tecplot2_n3.dat"}},
      {"VTK plan view of a crash", [] {
         FlagInterpolVal = 91;
         FlagInterpolNew = 1;
       },
       "the interpolated results (print_interres)", {"result.end", "pav2_00000.vtk"},
       "have written ParaView 2D file  "},
      {"tables before the interpolated results, the outline after them", [] {
         PrintArrayFlags[16] = PrintArrayFlags[15] = PrintArrayFlags[8] = 1;
         PrintArrayFlags[9] = PrintArrayFlags[11] = PrintArrayFlags[12] = 1;
         FlagInterpolNew = 1;
       },
       "the interpolated results (print_interres)",
       {"result.end", "ParaBed2D.vtk", "fracres.new", "TarpoPkt.dat", "beddata.sim"},
       "have written ParaBed file  "},
      {"interpolated results without the flow result", [] {
         PrintArrayFlags[0] = 0;
         FlagInterpolVal = 3;
       },
       "the interpolated results (print_interres)", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
      std::filesystem::remove_all(e.path());
    SetArraysZero();
    setDefaults();
    handState();
    c.set();
    EXPECT_EQ(endStatus(sprintflow), 1);
    EXPECT_EQ(log(), "Not available in this version: " + c.message + "\n");
    std::set<std::string> expected = c.written;
    expected.insert("boogie");
    EXPECT_EQ(folder(), expected);
    EXPECT_EQ(gFlagWriteR, 1);
    EXPECT_EQ(mc_message, c.status);
  }
}

TEST_F(DispatcherTest, BedresThatCannotBeCreatedEndsTheRun) {
  for (bool numbered : {false, true}) {
    SCOPED_TRACE(numbered);
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
      std::filesystem::remove_all(e.path());
    PrintRes = numbered ? 1 : 0;
    const std::string name = numbered ? "bedres.0000" : "bedres.t";
    // The file is written under a temporary name: a link from that name into a folder that
    // does not exist stops it.
    std::filesystem::create_symlink("no-such-folder/file", name + ".tmp");
    EXPECT_EQ(endStatus(sprintflow), -3);
    EXPECT_EQ(mc_message, "cannot open file '" + name + "' ");
    EXPECT_EQ(read("boogie"), "Error: could not write file '" + name +
                                  "' (No such file or directory); the previous copy is kept.\n");
  }
}

TEST_F(DispatcherTest, MudModelStopsTheBottomCellsOfTheMudBlock) {
  // Block 1 is the mud block with bed cells 1 and 2 (bottom cells 4 and 6); bed cell 3 of
  // block 2 (bottom cell 8) is water.
  NoBlocks = 2;
  block[1].thixo = 1;
  block[1].bcellstart = 1;
  block[1].bcellend = 2;
  block[2].thixo = 0;
  block[2].skip = 0;
  block[2].bcellstart = block[2].bcellend = 3;
  Bcellt[1] = 4;
  Bcellt[2] = 6;
  Bcellt[3] = 8;
  PrintArrayFlags[0] = PrintArrayFlags[1] = 0;
  struct Case {
    int thixo;
    bool reset;
  };
  for (const Case c : {Case{1, true}, Case{2, true}, Case{3, false}, Case{0, false}}) {
    SCOPED_TRACE(c.thixo);
    for (int n = 1; n <= 9; ++n) Cxvel[n] = Cyvel[n] = Czvel[n] = 0.5;
    FlagThixo = c.thixo;
    ASSERT_EQ(endStatus(sprintflow), 1000);
    for (int n = 1; n <= 9; ++n) {
      const double v = c.reset && (n == 4 || n == 6) ? 0.0 : 0.5;
      EXPECT_EQ(Cxvel[n], v) << n;
      EXPECT_EQ(Cyvel[n], v) << n;
      EXPECT_EQ(Czvel[n], v) << n;
    }
  }
}

}  // namespace
}  // namespace qorva
