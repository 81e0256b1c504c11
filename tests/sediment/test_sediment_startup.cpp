// The start of a sediment run by hand: the bed layers of a column from the grid's sediment
// thickness, the check of a stack read from a bed file against the grid, and the percentages
// of the continuity table when nothing came in or went out.
#include <cstdio>
#include <string>

#include "bed/bed.h"
#include "sediment/capacity_box.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/options_f350_399.h"
#include "state/options_g.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva::test {
namespace {

class SedimentStartup : public CapacityBox {
 protected:
  // One column 0.3 m deep; the bed at 0 and the non-erodible level `thickness` below it.
  void column(int layers, double thickness) {
    NoBedLayers = layers;
    build({1.0}, {1.0}, {0.3});
    for (int i = 0; i <= 3; ++i)
      for (int j = 0; j <= 3; ++j) {
        zval[i][j][1] = 0;
        Surfaces[3][i][j] = -thickness;
      }
  }
};

// Without a bed file the active layer takes Ta from the top and the rest is shared by the
// layers below it: T = 0.3, Ta = 0.001, five layers 0..4 give 0.299 / 4 to each of 0..3.
// Nothing is written above the stack.
TEST_F(SedimentStartup, LayersShareTheGridThickness) {
  column(5, 0.3);
  const int b = 1;
  BSedDistrib[5][0][b] = 7.0;
  BSedDistrib[5][1][b] = 7.0;
  sedloop::initialBedLayers(0.001);
  for (int k = 0; k <= 3; ++k) {
    EXPECT_NEAR(BSedDistrib[k][0][b], 0.299 / 4, 1e-12) << k;
    EXPECT_EQ(BSedDistrib[k][1][b], 1.0) << k;
  }
  EXPECT_NEAR(BSedDistrib[4][0][b], 0.001, 1e-12);
  EXPECT_EQ(BSedDistrib[5][0][b], 7.0);
  EXPECT_EQ(BSedDistrib[5][1][b], 7.0);
  EXPECT_EQ(BlayerTop[b], 4);
}

// Two layers: the active layer Ta, the rest below; a grid thinner than Ta leaves layer 0 empty.
TEST_F(SedimentStartup, TwoLayersAndAThinGrid) {
  struct Case {
    double T, top, below;
  };
  for (const Case k : {Case{0.3, 0.01, 0.29}, Case{0.004, 0.004, 0.0}}) {
    SCOPED_TRACE(k.T);
    SetArraysZero();
    column(2, k.T);
    sedloop::initialBedLayers(0.01);
    EXPECT_NEAR(BSedDistrib[1][0][1], k.top, 1e-12);
    EXPECT_NEAR(BSedDistrib[0][0][1], k.below, 1e-12);
  }
}

// A stack read from a bed file must match the grid's sediment thickness within 10 % of the
// two together: 1.05 m against a stack of 1.0 m passes, 1.3 m ends the run with -8 unless
// F 310 1 fits the stack to the grid (the difference goes to the lowest layer).
TEST_F(SedimentStartup, StackFromABedFileMatchesTheGrid) {
  struct Case {
    double T;
    int fix;
    int status;  // 0: the run goes on
    double lowest;
  };
  for (const Case k : {Case{1.05, 0, 0, 0.5}, Case{1.3, 0, -8, 0.5}, Case{1.3, 1, 0, 0.8}}) {
    SCOPED_TRACE(testing::Message() << k.T << " F 310 " << k.fix);
    SetArraysZero();
    column(2, k.T);
    FlagReadFracres = 1;
    FlagFixBed = k.fix;
    bedOf(0.5, {1.0});
    int status = 0;
    try {
      sedloop::initialBedLayers(0.01);
    } catch (const RunEnd& e) {
      status = e.status;
    }
    EXPECT_EQ(status, k.status);
    if (status != 0) {
      EXPECT_NE(log().find("is 1.300000 meters. The sum of the thickness of the bed sediment "
                           "layers is 1.000000 meters"),
                std::string::npos)
          << log();
      continue;
    }
    EXPECT_NEAR(BSedDistrib[0][0][1], k.lowest, 1e-12);
    EXPECT_NEAR(BSedDistrib[1][0][1], 0.5, 1e-12);
  }
}

// The layered bed read from fracres or bedres (F 37 3): the files give the slots above the top
// layer of a stack empty, and the top layer is the highest that holds sediment, down to layer
// 0, as the run that wrote the file had it (it used to be the highest slot, empty or not). An
// alldata state keeps its own rule: never below layer 1.
TEST_F(SedimentStartup, TopOfALayeredStackReadFromAFile) {
  struct Case {
    const char* what;
    int filled;  // layers 0..filled - 1 hold 0.2 m each, the slots above are empty
    int fracres, bedres, alldata;
    int top;
  };
  const Case cases[] = {
      {"fracres, every layer", 5, 1, 0, 0, 4},
      {"fracres, two slots empty", 3, 1, 0, 0, 2},
      {"fracres, layer 0 alone", 1, 1, 0, 0, 0},
      {"bedres (F 306), two slots empty", 3, 0, 1, 0, 2},
      {"alldata, layer 0 alone", 1, 0, 0, 1, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    column(5, 0.2 * k.filled);
    FlagTSC = 3;
    FlagReadFracres = k.fracres;
    FlagUseBedres = k.bedres;
    FlagReadAlldata = k.alldata;
    for (int layer = 0; layer < 5; ++layer)
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[layer][l][1] = 0;
    for (int layer = 0; layer < k.filled; ++layer) layerOf(1, layer, 0.2, {1.0});
    sedloop::initialBedLayers(0.01);
    EXPECT_EQ(BlayerTop[1], k.top);
    for (int layer = 0; layer < k.filled; ++layer) EXPECT_EQ(BSedDistrib[layer][0][1], 0.2);
  }
}

// Def,PST is the defect in per cent of the larger of inflow and outflow, 1e-10 kg added so
// that a balance without any turnover still gives a number: a defect of 1e-12 kg gives 1.
TEST_F(SedimentStartup, DefectPercentWithoutTurnover) {
  column(2, 0.3);
  kIn[1] = kUt[1] = kSusp[1] = kLayer2[1] = kBedmove[1] = 0;
  kSuspo[1] = 1e-12;
  sedloop::continuityReport();
  const std::string text = log();
  const std::size_t at = text.find("Def2,PST\n");
  ASSERT_NE(at, std::string::npos) << text;
  int size = 0;
  double v[9] = {};
  ASSERT_EQ(std::sscanf(text.c_str() + at + 9, "%d %lf %lf %lf %lf %lf %lf %lf %lf %lf", &size,
                        &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]),
            10)
      << text;
  EXPECT_EQ(size, 1);
  EXPECT_NEAR(v[5], 1e-12, 1e-18);  // Defect
  EXPECT_NEAR(v[7], 1.0, 1e-5);     // Def,PST
  EXPECT_NEAR(v[8], 1.0, 1e-5);     // Def2,PST
}

// F 385 2: the records of `cohesion` ("i j c1 c0") overwrite the initial value of their
// column; the file missing, or not starting with a record, gives -20 (the loop's message); a
// later record that cannot be read, or names a column without a bed cell, ends the run with the
// file's line.
TEST_F(SedimentStartup, CohesionFile) {
  struct Case {
    const char* text;  // nullptr: no file
    int result;
    int status;        // 0: the run goes on
    const char* message;
  };
  const Case cases[] = {
      {"2 2 5.5 6.5\n", 0, 0, ""},
      {nullptr, -20, 0, ""},
      {"cohesion values\n", -20, 0, ""},
      {"2 2 5.5 6.5\n2 2 1.0\n", 0, 1, "Error in the cohesion file, line 2: "},
      {"2 2 5.5 6.5\n9 9 1.0 1.0\n", 0, 1,
       "Error in the cohesion file, line 2: column (9,9) has no bed cell in the grid\n"},
      {"2 2 5.5 nan\n", -20, 0, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text ? k.text : "no file");
    SetArraysZero();
    std::remove("cohesion");
    std::remove("boogie");
    column(2, 0.3);
    ASSERT_TRUE(Bcohesion.allocate(NoBedLayers + 1LL, NoBCells + 1LL));
    FlagCohesion = 2;
    InitValueCohesion = 3.0;
    if (k.text) write("cohesion", k.text);
    int result = 0, status = 0;
    try {
      result = setInitialCohesive();
    } catch (const RunEnd& e) {
      status = e.status;
    }
    EXPECT_EQ(status, k.status);
    if (status != 0) {
      EXPECT_NE(log().find(k.message), std::string::npos) << log();
      continue;
    }
    EXPECT_EQ(result, k.result);
    if (result == 0) {
      EXPECT_EQ(Bcohesion[1][1], 5.5);
      EXPECT_EQ(Bcohesion[0][1], 6.5);
    }
  }
}

}  // namespace
}  // namespace qorva::test
