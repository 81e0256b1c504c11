// The straight flume of the end-to-end flow tests: 10 m long, 1.5 m wide and 0.3 m deep, its
// bed falling 1 mm per metre and the water surface with it, 30 l/s entering at one end and
// leaving at the other; 10 x 3 columns of 9 cells.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva::test {

inline constexpr double kFlumeQ = 0.03;     // m3/s
inline constexpr double kFlumeWidth = 1.5;  // m
inline constexpr double kFlumeDepth = 0.3;  // m

inline std::string flumeGeometry() {
  std::string s;
  char line[128];
  for (int i = 1; i <= 11; ++i)
    for (int j = 1; j <= 4; ++j) {
      const double x = i - 1.0, y = 0.5 * (j - 1), zb = -0.001 * (i - 1);
      std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, y, zb, zb + kFlumeDepth);
      s += line;
    }
  return s;
}

// The control file of the flume with `extra` data sets, read with a fixed water surface (Y)
// before the flow computation (W).
inline std::string flumeControl(const std::string& extra) {
  return "T Straight flume, 30 l/s\nG 1 14 7 11 1\nF 314 1 1\nF 237 1 0.03\nF 237 2 0.03\n" +
         extra + "F 2 YW\n";
}

inline bool contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

class Flume : public Scratch {
 protected:
  // One whole run of the program on the flume with `extra` data sets; returns its status.
  int runFlume(const std::string& extra) {
    std::filesystem::remove("boogie");
    std::filesystem::remove("tafnor");
    std::filesystem::remove("result.end");
    SetArraysZero();
    setDefaults();
    write("koosurf", flumeGeometry());
    write("control", flumeControl(extra));
    return programMain() & 255;
  }
};

// Every cross-section away from the inflow and outflow slabs, which hold the sources, carries
// `q` m3/s through its downstream faces within 0.5 %, across the flume's area, and its mean
// velocity is q over that area.
inline void expectWaterConserved(double q = kFlumeQ) {
  std::map<long, std::vector<int>> slabs;
  for (int c = 1; c <= NoCells; ++c) slabs[std::lround(Cxcenter[c] * 1000)].push_back(c);
  ASSERT_EQ(slabs.size(), 10u);
  for (auto it = std::next(slabs.begin()); it != std::prev(slabs.end()); ++it) {
    SCOPED_TRACE(it->first / 1000.0);
    double flux = 0, area = 0, uvol = 0, vol = 0;
    for (int c : it->second) {
      const int f = Cflatee[c];
      ASSERT_GT(f, 0);
      flux += Fflux[f];
      area += std::fabs(Fax[f]);
      uvol += Cxvel[c] * Cvol[c];
      vol += Cvol[c];
    }
    EXPECT_NEAR(std::fabs(flux), 1000.0 * q, 0.005 * 1000.0 * q);  // kg/s
    EXPECT_NEAR(area, kFlumeWidth * kFlumeDepth, 0.01 * kFlumeWidth * kFlumeDepth);
    EXPECT_NEAR(uvol / vol, q / area, 0.005 * q / area);
  }
}

// The wide flumes of the friction tests: 3 m wide, 0.3 m deep, cross-sections of 2 m over
// `length` m, the bed and the lid falling `fall` m per metre. Six columns across, narrow at the
// walls: the wall epsilon fixes the mixing length of a wall column by its distance to the wall,
// and a wide wall column mixes far too strongly.
inline constexpr double kWideFlumeWidth = 3.0;  // m
inline constexpr double kWideFlumeDepth = 0.3;  // m

inline std::string wideFlumeGeometry(double length, double fall) {
  const double dx = 2.0;
  const std::vector<double> ys{0.0, 0.25, 0.75, 1.5, 2.25, 2.75, kWideFlumeWidth};
  std::string s;
  char line[128];
  const int nx = static_cast<int>(length / dx) + 1;
  for (int i = 1; i <= nx; ++i)
    for (int j = 1; j <= static_cast<int>(ys.size()); ++j) {
      const double x = dx * (i - 1), zb = -fall * x;
      std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, ys[j - 1], zb,
                    zb + kWideFlumeDepth);
      s += line;
    }
  return s;
}

inline bool isWallFace(int f) { return f > 0 && Fflagflow[f] == -1; }

// Uniform-flow figures of the reach of cross-sections whose centres lie between xFrom and xTo.
struct ReachFigures {
  double dpdx = 0;    // least-squares slope of the cross-section mean pressure, Pa/m
  double meanU = 0;   // volume-weighted mean of u, m/s
  double radius = 0;  // hydraulic radius: wetted volume / wall area, m
  int sections = 0;
};

// Sums the figures over the reach; `eachCell(c)` sees every cell of it as well. Without a free
// surface gravity enters no equation and Cpres holds no hydrostatic part: its fall per metre is
// what drives the flow against the wall friction.
template <class EachCell>
ReachFigures measureReach(double xFrom, double xTo, EachCell&& eachCell) {
  // Cross-sections by the x of their cell centres (mm).
  std::map<long, std::vector<int>> slabs;
  for (int c = 1; c <= NoCells; ++c) slabs[std::lround(Cxcenter[c] * 1000)].push_back(c);
  ReachFigures r;
  double sx = 0, sp = 0, sxx = 0, sxp = 0, vol = 0, uvol = 0, wallArea = 0;
  for (const auto& [xmm, cells] : slabs) {
    const double x = xmm / 1000.0;
    if (x < xFrom || x > xTo) continue;
    double pv = 0, v = 0;
    for (int c : cells) {
      pv += Cpres[c] * Cvol[c];
      v += Cvol[c];
      uvol += Cxvel[c] * Cvol[c];
      for (int f : {Cflates[c], Cflaten[c], Cflateb[c], Cflatet[c]})
        if (isWallFace(f)) wallArea += Farea[f];
      eachCell(c);
    }
    vol += v;
    const double p = pv / v;
    sx += x;
    sp += p;
    sxx += x * x;
    sxp += x * p;
    ++r.sections;
  }
  const int n = r.sections;
  if (n < 3 || vol <= 0 || wallArea <= 0) return r;
  r.dpdx = (n * sxp - sx * sp) / (n * sxx - sx * sx);
  r.meanU = uvol / vol;
  r.radius = vol / wallArea;
  return r;
}

}  // namespace qorva::test
