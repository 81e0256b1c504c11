// The tail of an update on a block of 3 x 3 unit columns, 2 m deep, in a transient run (the
// previous-value arrays exist): the fields are kept before the grid is rebuilt, the rebuild
// carries them over, and the state of the old grid is reset; a rebuild that fails stops the
// run.
#include <filesystem>
#include <string>

#include "state/bedcells.h"
#include "state/log.h"
#include "state/surfaces.h"
#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class Tail : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    TimeStep = 1;
    FlagTFS2 = 1;    // Bdeltah exists
    PresRegres = 1;  // the regression sums exist
    box(3, 3, 2, 2.0);
    cells_ = NoCells;
    // Fields of the moment of the update, and previous values that must not survive.
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = 0.01 * c;
      Cyvel[c] = 0.002 * c;
      Czvel[c] = 0;
      Cpres[c] = 10.0 * c;
      Ckinen[c] = 0.001 * c;
      Cepsilon[c] = 0.0001 * c;
      Cxvel_old[c] = Cyvel_old[c] = Cpres_old[c] = -99;
      CinvAp[c] = 5;
    }
  }
  int cells_ = 0;
};

TEST_F(Tail, FieldsAreKeptBeforeTheRebuildCarriesThemOver) {
  computeTailSurf();
  EXPECT_EQ(FlagGridChange, 1);
  ASSERT_EQ(NoCells, cells_);
  for (int c = 1; c <= NoCells; ++c) {
    SCOPED_TRACE(c);
    // The levels did not move, so every cell keeps its place and its values.
    EXPECT_NEAR(Cxvel[c], 0.01 * c, 1e-12);
    EXPECT_NEAR(Cpres[c], 10.0 * c, 1e-9);
    EXPECT_NEAR(Ckinen[c], 0.001 * c, 1e-12);
    EXPECT_NE(Cxvel_old[c], -99.0);
    EXPECT_EQ(CinvAp[c], 0.0);
  }
  // Face fluxes from the carried velocities alone: 1000 kg/m3 times the mean u of the two
  // cells times the face area, no pressure term.
  const int c = bottom(2, 3), e = bottom(3, 3);
  const int f = Cflatee[c];
  ASSERT_EQ(Fcell2[f] == e || Fcell1[f] == e, true);
  EXPECT_NEAR(Fflux[f], 1000 * 0.5 * (Cxvel[c] + Cxvel[e]) * Farea[f], 1e-9);
}

TEST_F(Tail, RebuildFollowsTheNewLevels) {
  // Grid line (3, 3) rises 0.4 m: the four columns around it carry the rise on their corner.
  zval[3][3][znumber] = 0.4;
  computeTailSurf();
  EXPECT_NEAR(Czcenter[top(3, 3)] + Ckdist[top(3, 3)], 0.1, 1e-12);
  EXPECT_NEAR(Czcenter[top(2, 2)] + Ckdist[top(2, 2)], 0.0, 1e-12);
}

TEST_F(Tail, StateOfTheOldGridIsReset) {
  struct Case {
    const char* name;
    int sediment;  // F 37
    int regen;     // F 166
    bool rebuilt;
  };
  const Case cases[] = {{"water run", 0, 0, true},
                        {"sediment run", 1, 0, false},
                        {"sediment run with F 166 1", 1, 1, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    FlagTSC = k.sediment;
    FlagSurfRegen = k.regen;
    FlagGlobFlux = 1;
    SurfVolDefect = 20.0;
    FlagGridChange = 0;
    for (int b = 1; b <= NoBCells; ++b) Bdeltah[b] = 0.3;
    RegIter = 7;
    PresRegresN[3][3] = 4;
    PresRegresSumPres[3][3] = 12.0;
    for (int c = 1; c <= NoCells; ++c) CinvAp[c] = 5;
    FlagPresSetZero = -1;
    Cpres[1] = 44;
    computeTailSurf();
    EXPECT_EQ(CinvAp[1], k.rebuilt ? 0.0 : 5.0);
    EXPECT_EQ(Bdeltah[1], 0.0);
    EXPECT_NEAR(SurfVolDefect, 20.0 - 18.0, 1e-9);  // 9 columns of 2 m3
    EXPECT_EQ(FlagGridChange, 1);
    EXPECT_EQ(Cpres[1], 0.0);
    EXPECT_EQ(RegIter, 0);
    EXPECT_EQ(PresRegresN[3][3], 0);
    EXPECT_EQ(PresRegresSumPres[3][3], 0.0);
  }
}

TEST_F(Tail, FlushingBandClampsBlockOneLevels) {
  FlagTSC = 1;  // no rebuild: the levels are read as the tail leaves them
  FlagFlushWaterLevel = 1;
  FlushWaterLevelMin = -0.5;
  FlushWaterLevelMax = 0.2;
  zval[2][2][znumber] = zval[2][2][znumber + 1] = 0.5;
  zval[3][3][znumber] = zval[3][3][znumber + 1] = -1.0;
  zval[3][2][znumber] = 0.1;
  computeTailSurf();
  EXPECT_EQ(level(2, 2), 0.2);
  EXPECT_EQ(level(3, 3), -0.5);
  EXPECT_EQ(level(3, 2), 0.1);  // inside the band
  EXPECT_EQ(zval[2][2][znumber + 1], 0.5);
  EXPECT_EQ(zval[3][3][znumber + 1], -1.0);
}

TEST_F(Tail, FailedRebuildStopsTheRun) {
  // F 65 room for five cells only: the generator writes its report and gives up.
  MaxCeller = 5;
  const int s = status([] { computeTailSurf(); });
  EXPECT_EQ(s, 1);
  const std::string l = log();
  EXPECT_NE(l.find("Error: Unstructured arrays are too small. Increase with the F 65 data "
                   "set.\n"),
            std::string::npos)
      << l;
  EXPECT_NE(l.find("the free-surface update stops the run\n"), std::string::npos) << l;
  EXPECT_EQ(FlagGridChange, 0);
}

}  // namespace
}  // namespace qorva
