// Straight flat flumes for the end-to-end sediment tests: the whole program runs task S on a
// grid generated from koosurf (task Y), with a flow that the first time step converges
// (F 489) and later steps keep (F 454), and a bed that does not move (F 255 2). That flow is
// one implicit time step from rest: its time term rho u / dt stays in the momentum balance as
// a drag that the pressure gradient carries (in the equilibrium flume as large as the bed
// friction with a time step of 100 s, 1 % of it with 1e4 s). Helpers read the columns of the
// result: depth-averaged concentration and the cells of a column.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva::test {

struct FlumeShape {
  int nx = 60, ny = 2;
  double length = 60, width = 1, depth = 0.3;
};

// "i j x y bed water" for the grid points of a flat flume, i along and j across.
inline std::string flatFlume(const FlumeShape& s) {
  std::string out;
  char line[160];
  for (int i = 1; i <= s.nx + 1; ++i)
    for (int j = 1; j <= s.ny + 1; ++j) {
      const double x = (i - 1) * s.length / s.nx, y = (j - 1) * s.width / s.ny;
      std::snprintf(line, sizeof line, "%d %d %f %f 0.000000 %f\n", i, j, x, y, s.depth);
      out += line;
    }
  return out;
}

// The cells of one water column from the bed up.
// The armouring flume: clear water (0.18 m3/s, 0.3 m deep) over a layered bed of half 2 mm
// gravel and half 0.2 mm sand (F 37 3, an active layer of 5 cm), the bed levels held. The flow
// is solved at the first step by 6000 inner iterations, to the round-off of its face fluxes,
// and held while the bed armours: the sediment equations take every cell's water as balanced,
// so what the fluxes left unbalanced would carry sediment unaccounted. `extra` comes before the
// sizes.
inline std::string armouringFlume(const std::string& extra) {
  return "T Armouring flume\nG 1 43 5 11 2\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\nF 16 0.01\n"
         "F 33 100 20\nF 489 6000\nF 54 0\nF 454 1000\nF 255 2\nF 106 0.05\nF 37 3\nF 134 5\n" +
         extra +
         "F 4 0.5 100 0.01\nK 1 10 50000\nS 1 0.002 0.2\nS 2 0.0002 0.02\nN 0 1 0.5\nN 0 2 0.5\n"
         "F 1 J\nF 2 YS\n";
}

struct Column {
  double x = 0;
  std::vector<int> cells;
};

class SedimentFlume : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }

  // Writes the flume and `control`, runs the program there; returns its status.
  int run(const FlumeShape& shape, const std::string& control) {
    return runOn(flatFlume(shape), control);
  }

  // The same on the grid points of `koosurf` ("i j x y bed water" lines).
  int runOn(const std::string& koosurf, const std::string& control) {
    std::filesystem::remove("boogie");
    SetArraysZero();
    setDefaults();
    write("koosurf", koosurf);
    write("control", control);
    return programMain() & 255;
  }

  // The columns of the middle line across (j of the first bed cells), ordered along x.
  static std::vector<Column> columns() {
    std::map<long, Column> byX;
    for (int b = 1; b <= NoBCells; ++b) {
      const int c0 = Bcellt[b];
      if (c0 < 1 || Bkooj[b] != Bkooj[1]) continue;
      Column col;
      col.x = Cxcenter[c0];
      for (int c = c0; c > 0; c = Ccellt[c]) col.cells.push_back(c);
      byX[std::lround(col.x * 1000)] = col;
    }
    std::vector<Column> out;
    for (auto& [key, col] : byX) out.push_back(col);
    return out;
  }

  // Volume-weighted mean concentration of size l over a column.
  static double columnMean(const Column& col, int l = 1) {
    double m = 0, v = 0;
    for (int c : col.cells) {
      m += Cconc[l][c] * Cvol[c];
      v += Cvol[c];
    }
    return m / v;
  }

  // Runs the flume with control(threads) at 1 and at 8 threads (the F 206 line given) and
  // expects the same concentrations of size 1 in every cell; returns the largest relative
  // difference.
  template <class Control>
  double threadDifference(const FlumeShape& shape, Control control) {
    std::vector<double> first;
    double worst = 0;
    for (const char* threads : {"F 206 1\n", "F 206 8\n"}) {
      SCOPED_TRACE(threads);
      EXPECT_EQ(run(shape, control(std::string(threads))), 1) << log();
      std::vector<double> c(Cconc[1].p + 1, Cconc[1].p + NoCells + 1);
      if (first.empty()) {
        first = c;
        continue;
      }
      EXPECT_EQ(first.size(), c.size());
      for (std::size_t k = 0; k < c.size() && k < first.size(); ++k) {
        EXPECT_NEAR(c[k], first[k], 1e-9 * std::fabs(first[k]) + 1e-30) << "cell " << k + 1;
        worst = std::max(worst, std::fabs(c[k] - first[k]) / (std::fabs(first[k]) + 1e-30));
      }
    }
    return worst;
  }

  // Expects the balance of size l in the last continuity table to close within `share` of what
  // moved (the larger of the bed-layer and bed change); returns the defect over what moved.
  static double expectSizeBalance(int l, double share) {
    const std::vector<double> t = lastTableLine(l);
    EXPECT_EQ(t.size(), 10u) << log();
    if (t.size() != 10u) return 1.0;
    const double moved = std::max(std::fabs(t[3]), std::fabs(t[4]));
    EXPECT_LE(std::fabs(t[5]), share * moved + 1e-12) << "size " << l;
    EXPECT_GT(moved, 0.0) << "size " << l;
    std::printf("[ figures  ] size %d: moved %.6g kg, defect %.2e of it\n", l, moved,
                std::fabs(t[5]) / (moved + 1e-30));
    return std::fabs(t[5]) / (moved + 1e-30);
  }

  // The per-size line of the last continuity table in the log: inflow, outflow, suspension,
  // bed-layer change, bed change, defect, defect2.
  static std::vector<double> lastTableLine(int l = 1) { return tableLine(log(), l); }
  // The same line of the last table in `text`, a log kept from an earlier run.
  static std::vector<double> tableLine(const std::string& text, int l = 1) {
    const std::string head = "Size  Inflow (kg)";
    const std::size_t at = text.rfind(head);
    if (at == std::string::npos) return {};
    std::size_t p = text.find('\n', at) + 1;
    for (int k = 1; k < l; ++k) p = text.find('\n', p) + 1;
    std::vector<double> v(10);
    int size = 0;
    const int n = std::sscanf(text.c_str() + p, "%d %lf %lf %lf %lf %lf %lf %lf %lf %lf", &size,
                              &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]);
    if (n != 10 || size != l) return {};
    return v;
  }
};

}  // namespace qorva::test
