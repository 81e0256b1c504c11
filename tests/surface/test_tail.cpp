// The tail of an update on a block of 3 x 3 unit columns, 2 m deep, in a transient run (the
// previous-value arrays exist) and in a steady one: the fields are kept before the grid is
// rebuilt, the rebuild carries them over, and the state of the old grid is reset; a rebuild
// that fails stops the run.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "state/bedcells.h"
#include "pressure/pressure.h"
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

// A regeneration whose levels have not moved changes no field: the cells keep their places,
// the fields and 1/Ap go over unchanged, and the face fluxes are those the flow computes from
// them (with the Rhie-Chow pressure term), not fluxes from the velocities alone. Otherwise a
// settled free surface would upset the flow at every update and the run could never converge.
// In a steady run (no previous time level) grid/ keeps the fields for the transfer itself.
TEST_F(Tail, ARegenerationWithUnchangedLevelsChangesNoField) {
  struct Case {
    const char* name;
    double timeStep;
  };
  for (const Case& k : {Case{"with a time step", 1.0}, Case{"steady", 0.0}}) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    fresh();
    TimeStep = k.timeStep;
    FlagTFS = 2;
    box(4, 4, 4, 2.0);  // faces with a second neighbour on each side
    ASSERT_EQ(static_cast<bool>(Cxvel_old), k.timeStep > 0);
    // Fields that vary in every direction; the pressure has a third derivative, which the
    // pressure term of the fluxes sees (a quadratic pressure gives none).
    for (int c = 1; c <= NoCells; ++c) {
      const double x = Cxcenter[c], y = Cycenter[c], z = Czcenter[c];
      Cxvel[c] = 0.3 + 0.01 * x * x + 0.02 * y;
      Cyvel[c] = 0.01 * x * y;
      Czvel[c] = 0.001 * z * x;
      Cpres[c] = 100 * x * x * x + 40 * y * y * y - 9810 * z + 500 * z * z * z;
      Ckinen[c] = 0.001 * (1 + x);
      Cepsilon[c] = 0.0001 * (1 + y);
      CinvAp[c] = 1e-4 * (1 + 0.1 * c);
    }
    WFStart = 1;
    WFEnd = NoSurfaces;
    invRelaxVelocity = 1 / 0.8;
    waterflow(WFStart, WFEnd);
    const auto fields = {&Cxvel, &Cyvel, &Czvel, &Cpres, &Ckinen, &Cepsilon, &CinvAp, &Fflux};
    std::vector<std::vector<double>> before;
    for (const Table1<double>* f : fields) before.emplace_back(f->data(), f->data() + f->size());
    double pressureTerm = 0;
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fcell1[f] > 0 && Fcell2[f] > 0) {
        const double w = Fdist2[f] / (Fdist1[f] + Fdist2[f]);
        const int a = Fcell1[f], b = Fcell2[f];
        const double V = (w * Cxvel[a] + (1 - w) * Cxvel[b]) * Fax[f] +
                         (w * Cyvel[a] + (1 - w) * Cyvel[b]) * Fay[f] +
                         (w * Czvel[a] + (1 - w) * Czvel[b]) * Faz[f];
        pressureTerm = std::max(pressureTerm, std::fabs(Fflux[f] - 1000 * V));
      }
    ASSERT_GT(pressureTerm, 1e-3);  // kg/s: the fluxes do carry a pressure term

    const int cells = NoCells, surfaces = NoSurfaces;
    computeTailSurf();
    ASSERT_EQ(NoCells, cells);
    ASSERT_EQ(NoSurfaces, surfaces);
    EXPECT_EQ(FlagGridChange, 1);
    int n = 0;
    for (const Table1<double>* f : fields) {
      const std::vector<double>& b = before[n++];
      const int last = f == &Fflux ? NoSurfaces : NoCells;
      double scale = 0;
      for (int m = 1; m <= last; ++m) scale = std::max(scale, std::fabs(b[m]));
      for (int m = 1; m <= last; ++m)
        ASSERT_NEAR((*f)[m], b[m], 1e-13 * scale) << "field " << n << ", entry " << m;
    }
    if (k.timeStep > 0) {
      EXPECT_EQ(Cxvel_old[5], Cxvel[5]);
    }
    EXPECT_EQ(FlagFieldsCarried, 0);
  }
}

// In a steady run whose regeneration changes the cell counts, every column takes its own
// fields. The levels of the grid lines i = 1 and 2 fall from 0 to -1.2 m (0.8 m deep); with the
// cell count of a line following (depth / 1.9 m)^0.6 over two steps, the columns between those
// lines drop from 3 cells to 2, which renumbers every cell after them. The columns that kept
// their count hold exactly their old values, the others their bottom and top values.
TEST_F(Tail, ASteadyRegenerationCarriesTheFieldsOfEveryColumn) {
  SetArraysZero();
  fresh();
  TimeStep = 0;
  FlagTFS = 2;
  box(3, 3, 3, 2.0);
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 0.1 * Cbed[c] + 0.01 * c;
    Cpres[c] = 1000.0 * Cbed[c];
  }
  std::vector<std::vector<double>> u(NoBCells + 1);
  for (int b = 1; b <= NoBCells; ++b)
    for (int c = Bcellt[b]; c > 0; c = Ccellt[c]) u[b].push_back(Cxvel[c]);
  GridDistCoeff = 0.6;
  MaxDepth209 = 1.9;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = -1.2;
  computeTailSurf();
  int changed = 0;
  for (int b = 1; b <= NoBCells; ++b) {
    SCOPED_TRACE(testing::Message() << "bed cell " << b);
    std::vector<double> now;
    for (int c = Bcellt[b]; c > 0; c = Ccellt[c]) now.push_back(Cxvel[c]);
    ASSERT_FALSE(now.empty());
    EXPECT_EQ(now.front(), u[b].front());  // bottom from bottom
    EXPECT_EQ(now.back(), u[b].back());    // top from top
    if (now.size() == u[b].size()) {
      EXPECT_EQ(now, u[b]);
    } else {
      ++changed;
    }
    for (int c = Bcellt[b]; c > 0; c = Ccellt[c]) EXPECT_EQ(Cpres[c], 1000.0 * b);
  }
  EXPECT_EQ(changed, 3);
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
    EXPECT_EQ(CinvAp[1], 5.0);  // carried over a rebuild, not cleared
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
