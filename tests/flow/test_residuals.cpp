// Residuals of hand-made equation systems on small box grids against sums worked out by hand:
// the first- and second-order forms, the multi-neighbour forms, the mass defect of the pressure
// correction, the per-cell fields, the reports of large residuals, and the end of the run on a
// norm that was never set, also from inside a parallel region.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "flow/flow.h"
#include "state/cells.h"
#include "state/arrays.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

class Residuals : public test::Scratch {
 protected:
  // Field values by cell, index 0 included (the "no cell" entry).
  static void setField(const std::vector<double>& v) {
    for (std::size_t c = 0; c < v.size(); ++c) Cf[static_cast<long long>(c)] = v[c];
  }
  // A fresh start for the next case of a table: no arrays, default options, no log.
  static void again() {
    SetArraysZero();
    fresh();
  }
  // Status of the run's end, or 1000 when the call returned.
  template <class F>
  static int ending(F f) {
    try {
      f();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// Three cells in a row (1 - 2 - 3, east is +x). Cell 1 has a west coefficient toward "no
// cell", whose term uses Cf[0]; cell 3 is held by the penalty and counts nothing.
//   rc1 = 2*Cf[2] + 1*Cf[0] + 3 - 5*Cf[1] = 4 + 0.5 + 3 - 5 = 2.5
//   rc2 = 1*Cf[3] + 1*Cf[1] + 0 - 3*Cf[2] = 4 + 1 - 6      = -1
void rowOfThree() {
  Cae[1] = 2;
  Caw[1] = 1;
  Csource[1] = 3;
  Cap[1] = 5;
  Cae[2] = 1;
  Caw[2] = 1;
  Cap[2] = 3;
  Cap[3] = 1e20;
  Csource[3] = 1e6;
}

TEST_F(Residuals, FirstOrderSumAddsToTheIterationValueAndKeepsCellFields) {
  makeBox({1, 1, 1}, {1}, {1});
  Equation = 1;
  rowOfThree();
  setField({0.5, 1, 2, 4});
  NormResidual[1] = 2;
  MaxResidual[1] = 0.25;
  Cxvel_res[3] = 7;
  // (2.5 + 1) / 2 added to 0.25.
  EXPECT_DOUBLE_EQ(residual(1, 3), 2.0);
  EXPECT_DOUBLE_EQ(MaxResidual[1], 2.0);
  EXPECT_DOUBLE_EQ(Cxvel_res[1], 0.5);
  EXPECT_DOUBLE_EQ(Cxvel_res[2], -1.0 / 3.0);
  EXPECT_DOUBLE_EQ(Cxvel_res[3], 7);  // fixed cell: its field keeps its value
  EXPECT_FALSE(std::filesystem::exists("boogie"));
}

TEST_F(Residuals, ChunkValueEqualsWhatTheSerialCallAdds) {
  makeBox({1, 1, 1}, {1}, {1});
  rowOfThree();
  setField({0.5, 1, 2, 4});
  NormResidual[5] = 2;
  Equation = 5;
  MaxResidual[5] = 9;
  EXPECT_DOUBLE_EQ(residualN(1, 1) + residualN(2, 3), 1.75);
  EXPECT_DOUBLE_EQ(MaxResidual[5], 9);  // stores nothing
  EXPECT_DOUBLE_EQ(Ckinen_res[1], 0.5);
  EXPECT_DOUBLE_EQ(Ckinen_res[2], -1.0 / 3.0);
}

TEST_F(Residuals, EmptyRangeLeavesTheIterationValue) {
  makeBox({1, 1, 1}, {1}, {1});
  Equation = 2;
  NormResidual[2] = 1;
  MaxResidual[2] = 0.125;
  EXPECT_DOUBLE_EQ(residual(3, 2), 0.125);
  EXPECT_DOUBLE_EQ(residualN(3, 2), 0.0);
}

// Four cells in a row; the second-order scheme adds the cells beyond the neighbours.
//   cell 2: e=3, w=1, ee=4, ww=0
//   rc = 1*Cf[3] + 2*Cf[1] + 0.5*Cf[4] + 4*Cf[0] + 1 - 10*Cf[2]
//      = 3 + 2 + 4 + 2 + 1 - 20 = -8
TEST_F(Residuals, SecondOrderFormAddsTheCellsBeyond) {
  sou[1] = 1;
  makeBox({1, 1, 1, 1}, {1}, {1});
  ASSERT_TRUE(Caee);
  Equation = 1;
  setField({0.5, 1, 2, 3, 8});
  Cae[2] = 1;
  Caw[2] = 2;
  Caee[2] = 0.5;
  Caww[2] = 4;
  Csource[2] = 1;
  Cap[2] = 10;
  NormResidual[1] = 4;
  MaxResidual[1] = 0;
  EXPECT_DOUBLE_EQ(residual(2, 2), 2.0);
  EXPECT_DOUBLE_EQ(Cxvel_res[2], -0.8);
  // With the first-order scheme the same cell loses the 0.5*8 + 4*0.5 = 6.
  sou[1] = 0;
  MaxResidual[1] = 0;
  EXPECT_DOUBLE_EQ(residual(2, 2), 14.0 / 4);
}

// Box of 3 x 2 x 1: cells (i, j) are 1 (0,0), 2 (0,1), 3 (1,0), 4 (1,1), 5 (2,0), 6 (2,1).
// Cell 1 lists cells 3 and 4 on its east side, nothing on its west and south sides, its
// ordinary neighbour 2 on the north side. Cf[q] = q, Cf[0] = 0.5.
struct QnCase {
  const char* name;
  int sou;
  int flagResidual;
  double expected;  // rc of cell 1, norm 1
};

TEST_F(Residuals, MultiNeighbourFormsTakeTheListsInsteadOfTheSides) {
  const QnCase cases[] = {
      // top 1*Cf[0] + east 1*3 + 2*4 + north 1*2 + source 1 - 10*1
      {"first order", 0, 0, 0.5 + 11 + 2 + 1 - 10},
      // plus beyond each listed cell 0.1*Cf[5] + 0.2*Cf[6] and beyond north 2*Cf[0]; the
      // vertical second neighbour (Catt) is not part of this form
      {"second order", 1, 0, 0.5 + 11 + 1.7 + 2 + 1.0 + 1 - 10},
      // with per-cell fields the lists are not used: the ordinary six neighbours
      // e 0.5*3 + w 9*0.5 + n 1*2 + s 5*0.5 + t 1*0.5 + source 1 - 10
      {"fields kept", 0, 1, 1.5 + 4.5 + 2 + 2.5 + 0.5 + 1 - 10},
  };
  for (const QnCase& k : cases) {
    SCOPED_TRACE(k.name);
    again();
    QNFlag = 1;
    sou[1] = k.sou;
    FlagResidual = k.flagResidual;
    makeBox({1, 1, 1}, {1, 1}, {1});
    ASSERT_EQ(Ccelle[1], 3);
    ASSERT_EQ(Ccelle[3], 5);
    ASSERT_EQ(Ccelle[4], 6);
    ASSERT_EQ(Ccelln[1], 2);
    Equation = 1;
    setField({0.5, 1, 2, 3, 4, 5, 6});
    Cncelle[1] = 2;
    Cqncelle[1][0] = 3;
    Cqnae[1][0] = 1;
    Cqnae[1][1] = 2;
    Cncellw[1] = -1;
    Cncells[1] = -1;
    Cncelln[1] = 0;
    Cae[1] = 0.5;
    Caw[1] = 9;
    Can[1] = 1;
    Cas[1] = 5;
    Cat[1] = 1;
    Csource[1] = 1;
    Cap[1] = 10;
    if (k.sou == 1) {
      ASSERT_TRUE(Cqnaee);
      Cqnaee[1][0] = 0.1;
      Cqnaee[1][1] = 0.2;
      Cann[1] = 2;
      Catt[1] = 7;
    }
    NormResidual[1] = 1;
    MaxResidual[1] = 0;
    EXPECT_NEAR(residual(1, 1), std::fabs(k.expected), 1e-12);
  }
}

TEST_F(Residuals, ListCountBeyondItsRowReadsNoFurther) {
  // The lists hold znumber = 3 entries per cell; a count of 5 takes those 3.
  QNFlag = 1;
  FlagResidual = 0;
  makeBox({1, 1, 1, 1, 1}, {1}, {1});
  ASSERT_EQ(Cqnae.dim(1), 3u);
  Equation = 1;
  setField({0, 1, 2, 3, 4, 5});
  Cncelle[1] = 5;
  Cqncelle[1][0] = 2;
  for (int k = 0; k < 3; ++k) Cqnae[1][k] = 1;
  Cap[1] = 1;
  NormResidual[1] = 1;
  // 2 + 3 + 4 - 1
  EXPECT_DOUBLE_EQ(residual(1, 1), 8.0);
}

TEST_F(Residuals, PressureCorrectionCountsTheMassDefectOfEveryCell) {
  makeBox({1, 1, 1}, {1}, {1});
  Equation = 4;
  Csource[1] = -2;
  Csource[2] = 3;
  Csource[3] = 0.5;
  Cap[2] = 1e20;  // no penalty test for the mass defect
  Cae[1] = 100;   // no neighbour terms either
  NormResidual[4] = 2;
  struct Row {
    double defect;
    double serial;
    double chunk;
  };
  // S = 5.5; the serial form takes the net group discharge off, the chunks do not.
  const Row rows[] = {{1.5, (5.5 - 1.5) / 2, 5.5 / 2}, {10, (5.5 - 10) / 2, 5.5 / 2}};
  for (const Row& r : rows) {
    GlobFluxDefect = r.defect;
    MaxResidual[4] = 0;
    EXPECT_DOUBLE_EQ(residual(1, 3), r.serial);
    EXPECT_DOUBLE_EQ(residualN(1, 3), r.chunk);
  }
  EXPECT_DOUBLE_EQ(Cpres_res[1], -2);
  EXPECT_DOUBLE_EQ(Cpres_res[2], 3);
  EXPECT_DOUBLE_EQ(Cpres_res[3], 0.5);
  // Without per-cell fields the net discharge is not taken off.
  FlagResidual = 0;
  MaxResidual[4] = 0;
  EXPECT_DOUBLE_EQ(residual(1, 3), 5.5 / 2);
}

struct ReportCase {
  const char* name;
  int equation;
  double inputErrorLimit;
  std::vector<double> rc;  // residual of cells 1..3 (Cap 1, Cf 0, so rc = Csource)
  std::string log;
};

TEST_F(Residuals, LargeResidualsAreReportedAboveTheLimit) {
  const ReportCase cases[] = {
      // L = 1e12 * 1 / 3: only the momentum bound of 10000 reports
      {"momentum above 10000", 1, 1e12, {20000, 10000, -30000},
       "Large residual for f(1,1) : 20000, value: 0.000000\n"
       "Large residual for f(3,1) : 30000, value: 0.000000\n"},
      // the mass defect has no 10000 bound
      {"mass defect under L", 4, 1e12, {20000, 0, 0}, ""},
      // L = 3 * 1 / 3 = 1, strictly above
      {"mass defect above L", 4, 3, {2, 1, -1.5},
       "Large residual for f(1,4) : 2, value: 0.000000\n"
       "Large residual for f(3,4) : 1.5, value: 0.000000\n"},
      // L never below 0.01
      {"floor of L", 4, 0, {0.02, 0.005, 0},
       "Large residual for f(1,4) : 0.02, value: 0.000000\n"},
  };
  for (const ReportCase& k : cases) {
    SCOPED_TRACE(k.name);
    again();
    FlagResidual = 0;
    makeBox({1, 1, 1}, {1}, {1});
    InputErrorLimit = k.inputErrorLimit;
    Equation = k.equation;
    NormResidual[k.equation] = 1;
    for (int c = 1; c <= 3; ++c) {
      Cap[c] = 1;
      Csource[c] = k.rc[c - 1];
    }
    MaxResidual[k.equation] = 0;
    double sum = 0;
    for (double r : k.rc) sum += std::fabs(r);
    EXPECT_DOUBLE_EQ(residual(1, 3), sum);  // reported residuals still count
    EXPECT_EQ(log(), k.log);
  }
}

TEST_F(Residuals, NoReportsWithCellFieldsOrMultiNeighbourLists) {
  for (int variant = 0; variant < 2; ++variant) {
    again();
    FlagResidual = variant == 0 ? 1 : 0;
    QNFlag = variant;
    makeBox({1, 1, 1}, {1}, {1});
    Equation = 1;
    NormResidual[1] = 1;
    Cap[1] = 1;
    Csource[1] = 1e9;
    residual(1, 1);
    EXPECT_FALSE(std::filesystem::exists("boogie")) << variant;
  }
}

TEST_F(Residuals, CellDumpFollowsTheReportWithDebuggingE) {
  FlagResidual = 0;
  makeBox({1, 1, 1}, {1}, {1});
  debugging = 'E';
  Equation = 1;
  NormResidual[1] = 1;
  Cap[2] = 2;
  Csource[2] = 30000;
  Caw[2] = 0.5;
  Cf[2] = 0;
  Cxvel[2] = 1.5;
  Cpres[2] = 9;
  residual(2, 2);
  const std::string text = log();
  std::vector<std::string> lines;
  for (std::size_t a = 0, b; (b = text.find('\n', a)) != std::string::npos; a = b + 1)
    lines.push_back(text.substr(a, b - a));
  // report, 17 dump lines, the blank line after the last one
  ASSERT_EQ(lines.size(), 19u) << text;
  EXPECT_EQ(lines[0], "Large residual for f(2,1) : 30000, value: 0.000000");
  EXPECT_EQ(lines[1], "Source, ap, anb = 30000 2 0.5 0 0 0 0 0");
  // cells 2, west 1, east 3, north, south, bottom, top (none): 1.5 at cell 2 only
  EXPECT_EQ(lines[5], "X-velocities: 1.5 0 0 0 0 0 0");
  EXPECT_EQ(lines[11], "Pressure: 9 0 0 0 0 0 0");
  // the cell's sides: west and east are inner surfaces (1), the others walls (-1)
  EXPECT_EQ(lines[13], "Eps-data central: 1 1 -1 -1 -1 -1 0.5 0.5 0.5 0");
  EXPECT_EQ(lines[18], "");
}

TEST_F(Residuals, NormNeverSetEndsTheRunAsAFailure) {
  makeBox({1, 1, 1}, {1}, {1});
  Equation = 3;
  NormResidual[3] = 0;
  EXPECT_EQ(ending([] { residual(1, 3); }), 1);
  EXPECT_EQ(log(),
            "Error, residual not set for Equation no. 3\n"
            "This error often occur when inflow discharges are not set.\n\n");
  std::filesystem::remove("boogie");
  // The chunk form keeps the error for its owner, which ends the run; an empty range too.
  EXPECT_EQ(ending([] {
              residualN(2, 1);
              endAfterResidualN();
            }),
            1);
  EXPECT_EQ(log(),
            "Error residual not set for equation 3\n"
            "This error often occurs when the inflow discharge is not set\n"
            "The discharge can be set in the DischargeEditor or on the F 237 data set in the "
            "control file\n"
            "Default discharge groups can be set on the F 314 data set in the control file\n\n");
}

TEST_F(Residuals, NormNeverSetInsideARegionEndsTheRunAfterIt) {
  makeBox({1, 1, 1, 1}, {1}, {1});
  Equation = 6;
  NormResidual[6] = 0;
  int ended = 0;
#pragma omp parallel num_threads(4) reduction(+ : ended)
  {
    try {
      const int c = omp_get_thread_num() + 1;
      residualN(c, c);
    } catch (const RunEnd&) {
      ended += 1;
    }
  }
  EXPECT_EQ(ended, 0);
  const std::string once = "Error residual not set for equation 6\n";
  EXPECT_EQ(log().find(once), 0u);
  EXPECT_EQ(log().find(once, 1), std::string::npos);
  EXPECT_EQ(ending(endAfterResidualN), 1);
  EXPECT_EQ(ending(endAfterResidualN), 1000);  // nothing left pending
}

TEST_F(Residuals, PendingRegionErrorEndsTheInnerIterationAtTheLatest) {
  makeBox({1}, {1}, {1});
  Equation = 6;
  NormResidual[6] = 0;
#pragma omp parallel num_threads(2)
  { residualN(1, 1); }
  EXPECT_EQ(ending([] { printEndWaterSolve(1); }), 1);
}

// The report of an unset norm from a chunk is lost when the log cannot be opened: the run then
// ends as every unwritable log does, with -3, not as if the report stood in the log.
TEST_F(Residuals, UnsetNormWithALogThatCannotBeOpenedEndsWithMinusThree) {
  makeBox({1, 1}, {1}, {1});
  std::filesystem::create_directory("boogie");
  Equation = 5;
  NormResidual[5] = 0;
#pragma omp parallel num_threads(2)
  { residualN(omp_get_thread_num() + 1, omp_get_thread_num() + 1); }
  EXPECT_EQ(ending(endAfterResidualN), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
  EXPECT_EQ(ending(endAfterResidualN), 1000);  // nothing left pending
}

TEST_F(Residuals, LogThatCannotBeOpenedEndsWithMinusThree) {
  FlagResidual = 0;
  makeBox({1}, {1}, {1});
  std::filesystem::create_directory("boogie");
  Equation = 1;
  NormResidual[1] = 1;
  Cap[1] = 1;
  Csource[1] = 1e5;
  EXPECT_EQ(ending([] { residual(1, 1); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
}

}  // namespace
}  // namespace qorva
