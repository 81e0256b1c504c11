// What a flow computation does when it blows up: the flushings of F 219 (the fields restart
// from the previous time level, clamped, or in a steady run from the start values, then the
// remedy of the k-th flushing) and the crash report of a diverged computation.
#include <gtest/gtest.h>

#include <filesystem>

#include <string>

#include "flow/flow.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class Recovery : public Scratch {
 protected:
  // Two cells; a transient run keeps the previous time level.
  static void cells(bool transient) {
    SetArraysZero();
    fresh();
    TimeStep = transient ? 1.0 : 0.0;
    makeBox({1.0, 1.0}, {1.0}, {1.0});
    for (int c = 1; c <= 2; ++c) {
      Cxvel[c] = 50;
      Cyvel[c] = -50;
      Czvel[c] = 9;
      Ckinen[c] = Cepsilon[c] = 1e9;
      Cpres[c] = 1e7;
    }
    relaxPressure = 0.2;
    relaxVelocity = 0.8;
    invRelaxVelocity = 1.25;
    relaxK = relaxEpsilon = 0.5;
  }
  static void oldLevel(double u, double v, double w, double k, double eps) {
    for (int c = 1; c <= 2; ++c) {
      Cxvel_old[c] = u;
      Cyvel_old[c] = v;
      Czvel_old[c] = w;
      Ckinen_old[c] = k;
      Cepsilon_old[c] = eps;
    }
  }
  static void expectFields(double u, double v, double w, double k, double eps) {
    for (int c = 1; c <= 2; ++c) {
      EXPECT_DOUBLE_EQ(Cxvel[c], u);
      EXPECT_DOUBLE_EQ(Cyvel[c], v);
      EXPECT_DOUBLE_EQ(Czvel[c], w);
      EXPECT_DOUBLE_EQ(Ckinen[c], k);
      EXPECT_DOUBLE_EQ(Cepsilon[c], eps);
      EXPECT_EQ(Cpres[c], 0.0);
    }
  }
  static bool halved() {
    return relaxPressure == 0.1 && relaxVelocity == 0.4 && invRelaxVelocity == 2.5 &&
           relaxK == 0.25 && relaxEpsilon == 0.25;
  }
};

// The fields restart from the previous time level with the velocities clamped to 1 m/s
// horizontally and 0.1 m/s vertically, and the pressure at 0.
TEST_F(Recovery, FieldsRestartFromTheClampedOldLevel) {
  struct Row {
    double u, v, w;
    double eu, ev, ew;
  } rows[] = {{3.0, -0.5, -0.4, 1.0, -0.5, -0.1}, {-3.0, 0.7, 0.4, -1.0, 0.7, 0.1},
              {-1.0, 1.0, -0.1, -1.0, 1.0, -0.1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.u);
    cells(true);
    oldLevel(r.u, r.v, r.w, 0.01, 0.002);
    flushFunction(1);
    expectFields(r.eu, r.ev, r.ew, 0.01, 0.002);
    EXPECT_TRUE(halved());
  }
}

// A steady run keeps no previous time level: its fields restart from those it started from,
// here the G 18 record, clamped in the same way.
TEST_F(Recovery, SteadyRunRestartsFromTheStartValues) {
  cells(false);
  ASSERT_FALSE(Cxvel_old);
  UInitNo = 1;
  UInit[1] = {0, 2.0, 0.05, -0.3, 0, 0.01, 0.001};
  flushFunction(1);
  expectFields(1.0, 0.05, -0.1, 0.01, 0.001);
  EXPECT_TRUE(halved());
}

// The remedy by the number of the flushing in the driver call; with F 168 2 or more the fields
// restart at rest with k = epsilon = 1e-4, the previous level too.
TEST_F(Recovery, RemedyOfTheKthFlushing) {
  struct Row {
    const char* name;
    int k;
    int accel, rhieChow;
    bool halves;
    int accelAfter, rhieChowAfter;
  } rows[] = {
      {"first: halving", 1, 0, 0, true, 0, 0},
      {"fourth: the other Rhie-Chow form", 4, 0, 0, false, 0, 7},
      {"fourth, back", 4, 0, 7, false, 0, 0},
      {"fifth with F 168 1: halving", 5, 1, 0, true, 1, 0},
      {"fifth with F 168 2: one level", 5, 2, 0, false, 1, 0},
      {"sixth: halving", 6, 0, 0, true, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    cells(true);
    oldLevel(0.3, 0.2, 0.01, 0.01, 0.002);
    Flag2DAccSolver = r.accel;
    FlagRhieChow = r.rhieChow;
    flushFunction(r.k);
    EXPECT_EQ(halved(), r.halves);
    EXPECT_EQ(Flag2DAccSolver, r.accelAfter);
    EXPECT_EQ(FlagRhieChow, r.rhieChowAfter);
    if (r.accel >= 2) {
      expectFields(0, 0, 0, 1e-4, 1e-4);
      EXPECT_EQ(Cxvel_old[1], 0.0);
      EXPECT_EQ(Ckinen_old[2], 1e-4);
    } else {
      expectFields(0.3, 0.2, 0.01, 0.01, 0.002);
    }
  }
}

// The crash report of a transient run: residuals, the defect of the cell, its column, the time,
// the discharges of the groups up to the first without flow, and the geometry of the cell;
// then the plan view of the failure with the nine default variables and the two residual
// fields, which this version cannot write yet.
TEST_F(Recovery, CrashReport) {
  cells(true);
  Iter = 12;
  for (int e = 1; e <= 6; ++e) MaxResidual[e] = e * 1e9;
  GlobContinuity = 1.5;
  GlobDefMax = 0.75;
  Glob_dmI = 2;
  Cxvel[2] = 1;
  Cyvel[2] = 2;
  Czvel[2] = 3;
  NoBCells = 2;
  Cbed[2] = 2;
  Bkooi[2] = 3;
  Bkooj[2] = 2;
  stimet = 30;
  DischargeArray[1] = 120;
  DischargeArray[2] = 80;
  DischargeArray[3] = 0;
  DischargeArray[4] = 50;
  Croughness[2] = 0.05;
  for (int f = 1; f <= NoSurfaces; ++f) {
    Fvx[f] = Fax[f] / Farea[f];
    Fvy[f] = Fay[f] / Farea[f];
    Fvz[f] = Faz[f] / Farea[f];
  }
  EXPECT_NO_THROW(printAtCrash());
  const std::string expected =
      "Iter: 12, Resid: 1.00e+09 2.00e+09 3.00e+09 4.00e+09 5.00e+09 6.00e+09\n"
      "Cont: 1.50000000e+00, DefMax: 7.50000000e-01, U,V,W(2): 1.00000000e+00 "
      "2.00000000e+00 3.00000000e+00\n"
      "Largest residual is in cell b=2, c=2, i=3, j=2\n"
      "Please look at the ParaView2.vtk file to find out where the problem is\n\n"
      "Time: 30.000000 seconds\n"
      "Water discharge (l/s), group 1: 120.000000\n"
      "Water discharge (l/s), group 2: 80.000000\n"
      "Debugging information: Cell height: 1.000000 meters\n"
      "Horizontal cell distances: 1.000000 1.000000 meters\n"
      "Roughness 0.050000 meters, Neighbour cells (wsentb): 1 0 0 0 0 0\n"
      "Neighbour areas (wsen): 1.000000 1.000000 1.000000 1.000000\n"
      "Bed surface vector components: 0.000000 0.000000 1.000000\n"
      "Bed area components: 0.000000 0.000000 1.000000\n"
      "Have checked grid from cell 1 to 2\n"
      "Have checked grid from surface 1 to 11\n\n";
  EXPECT_EQ(log(), expected);
  // The plan view of the failed field is where the report sends the user (numbered when the
  // results are kept).
  EXPECT_TRUE(std::filesystem::exists("ParaView2.vtk") ||
              std::filesystem::exists("pav2_00000.vtk"));
  ASSERT_EQ(TecStrucNo, 11);
  const std::string letters = "yvmpsuwizRK";
  for (int m = 0; m < 11; ++m) {
    EXPECT_EQ(TecStruc[m].variable, letters[m]);
    EXPECT_EQ(TecStruc[m].level, m < 9 ? 0 : 1);
  }
  EXPECT_EQ(FlagInterpolVal, 91);
}

// A steady run gives neither the time nor the discharges; without numbered bed cells there is
// no column line; a G 24 selection gets the two residual fields added while it has room, and
// none without kept residuals (F 153 0).
TEST_F(Recovery, CrashReportVariants) {
  struct Row {
    const char* name;
    int selected, residual;
    int after;
  } rows[] = {{"nine defaults only", 0, 0, 9},
              {"selection and residuals", 3, 1, 5},
              {"294 selected", 294, 1, 296},
              {"295 selected: no room", 295, 1, 295}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    cells(false);
    Glob_dmI = 1;
    TecStrucNo = r.selected;
    for (int m = 0; m < r.selected; ++m) TecStruc[m].variable = 'v';
    FlagResidual = r.residual;
    EXPECT_NO_THROW(printAtCrash());
    const std::string l = log();
    EXPECT_EQ(l.find("Time:"), std::string::npos);
    EXPECT_EQ(l.find("Water discharge"), std::string::npos);
    EXPECT_EQ(l.find("Largest residual"), std::string::npos);
    EXPECT_NE(l.find("Debugging information: Cell height: 1.000000 meters\n"), std::string::npos);
    EXPECT_EQ(TecStrucNo, r.after);
    if (r.after > r.selected && r.selected > 0) {
      EXPECT_EQ(TecStruc[r.selected].variable, 'R');
      EXPECT_EQ(TecStruc[r.selected + 1].variable, 'K');
    }
  }
}

}  // namespace
}  // namespace qorva::test
