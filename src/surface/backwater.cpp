// The one-dimensional backwater curve of a river reach along block 1 (i runs downstream): from
// the level at the last grid line the level rises line by line upstream by the friction slope
// of each cross-section; the start levels of a level equation from the top pressures; the
// median surface pressure of a discharge group.
// Reads the grid of block 1, the discharge groups, GlobZRef, DischargeArray, W 1, F 36, F 343,
// F 351, F 475, F 477 and the bed layers; writes Bd90, Bedformheight, the top levels
// zval[..][..][znumber] and [znumber + 1] of block 1, Cf at its bottom cells, maxBackwater.
#include <algorithm>
#include <cmath>

#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

// The curve needs block 1 with its grid lines on the structured plane and the cells of a
// generated grid; without them there is nothing to walk.
void requireReach(const char* what) {
  bool ok = NoBlocks >= 1 && zval && Cidist && Cbed && NoCells >= 1;
  if (ok) {
    const GridBlock& k = block[1];
    ok = k.i1 >= 1 && k.j1 >= 1 && onPlane(k.i2, k.j2) && xval &&
         static_cast<std::size_t>(k.i2) < xval.dim(0) &&
         static_cast<std::size_t>(k.j2) < xval.dim(1);
  }
  if (!ok)
    failf(1, "Error: %s needs a grid with block 1 (give a grid task such as Y or U before it)\n",
          what);
  // The step lengths are the cells' lengths: a grid just generated or read has none yet.
  metric();
}

// Level where the curve starts: the reference level, or the W 1 level while none is set.
double startLevel() { return GlobZRef < -1000 ? level : GlobZRef; }

// Discharge (m3/s): that of group 1 once the flow has one, else the W 1 discharge.
double reachDischarge() {
  return DischargeArray[1] >= 1e-10 ? DischargeArray[1] / 1000 : discharge;
}

bool setsLevels() { return FlagTFS == 30 || BlockCasulli == 30; }

double horizontal(int i, int ja, int jb) {
  const double dx = xval[i][jb] - xval[i][ja], dy = yval[i][jb] - yval[i][ja];
  return std::sqrt(dx * dx + dy * dy);
}

// Wetted area (m2) and perimeter (m) of grid line i at level z, over the bed between its points.
struct Section {
  double A = 0, P = 0;
};

Section wetted(int i, double z) {
  const GridBlock& k = block[1];
  Section s;
  for (int j = k.j1; j <= k.j2; ++j) {
    const double L = horizontal(i, j - 1, j);
    const double d0 = z - zval[i][j - 1][1], d1 = z - zval[i][j][1];
    if (d0 > 0 && d1 > 0) {
      s.A += L * (d0 + d1) / 2;
      s.P += std::sqrt(L * L + (d1 - d0) * (d1 - d0));
    } else if (d0 > 0 || d1 > 0) {
      const double d = std::max(d0, d1);
      const double wet = L * d / (d - std::min(d0, d1));
      s.A += wet * d / 2;
      s.P += std::sqrt(wet * wet + d * d);
    }
  }
  return s;
}

// Grain size (m) that 90 % of the layer's sediment is finer than, from the fractions of bed
// cell b, linear in size between the centres of two neighbouring sizes (1 the coarsest).
double d90Of(int b) {
  if (lnumber < 1) return gsize[1];
  const int layer = NoBedLayers == 2 && FlagTSC != 3 ? 1 : BlayerTop[b];
  // A layer the table does not hold has no fractions to read.
  if (layer < 0 || static_cast<std::size_t>(layer) >= BSedDistrib.dim(0) ||
      static_cast<std::size_t>(lnumber) >= BSedDistrib.dim(1))
    return gsize[1];
  const auto f = [layer, b](int l) { return BSedDistrib[layer][l][b]; };
  // X = the fraction finer than the centre of size l.
  double X = f(lnumber) / 2;
  if (X >= 0.9) return gsize[lnumber];
  double finer = f(lnumber);
  for (int l = lnumber - 1; l >= 1; --l) {
    X = f(l) / 2 + finer;
    if (X > 0.9) {
      const double w = 2 * (X - 0.9) / (f(l) + f(l + 1));
      return (1 - w) * gsize[l] + w * gsize[l + 1];
    }
    finer += f(l);
  }
  return gsize[1];
}

void bedD90() {
  const GridBlock& k = block[1];
  if (!Bd90 || !BSedDistrib || !BlayerTop)
    failf(1, "Error: the bed roughness of F 475 %d needs the bed layers, which this run does "
             "not have\n",
          FlagFriction);
  for (int i = k.i2; i >= k.i1 - 1; --i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int c = columnBottom(i, j);
      const int b = c != 0 ? Cbed[c] : 0;
      if (b < 1) continue;
      Bd90[b] = d90Of(b);
      if (FlagFriction == 2 && Bedformheight) Bedformheight[b] = 0;
    }
}

// Strickler coefficient (m^(1/3)/s) of the reach just upstream of line i + 1 at level z.
double strickler(int i, double z) {
  if (FlagFriction != 1 && FlagFriction != 2) return ManningInit;
  const GridBlock& k = block[1];
  const double finest = gsize[std::max(lnumber, 1)];
  double sum = 0;
  int count = 0;
  for (int j = k.j1; j <= k.j2; ++j) {
    const double d0 = z - zval[i][j - 1][1], d1 = z - zval[i][j][1];
    const int c = columnBottom(i + 1, j);
    const int b = c != 0 ? Cbed[c] : 0;
    if (b < 1 || d0 <= 0 || d1 <= 0 || !(Bd90[b] > finest / 2)) continue;
    ++count;
    double d = Bd90[b];
    if (FlagFriction == 2 && Bedformheight) {
      // Bed-form roughness with a bed-form length of 7.3 depths.
      const double D = Bedformheight[b];
      d += 1.1 * D * (1 - std::exp(-6.8493150684931505 * D / (d0 + d1))) * 0.33333333;
    }
    sum += d;
  }
  double d = sum / (count + 1e-20);
  // Without a counted column the mean is 0, which would take all friction away: the finest
  // size stands in, as for the grain roughness.
  if (FlagFriction == 1 || count == 0) d = std::max(finest, d);
  return 26 / (1e-20 + std::pow(d, 0.166666667));
}

// Length (m) of the step from line i + 1 to line i: the length of the middle column between
// them, or the distance of the lines' middle points where that column is dry.
double stepLength(int i) {
  const GridBlock& k = block[1];
  const int jm = (k.j1 + k.j2) / 2;
  const int c = columnBottom(i + 1, jm);
  if (c != 0) return 2 * Cidist[c];
  const double dx = xval[i + 1][jm] - xval[i][jm], dy = yval[i + 1][jm] - yval[i][jm];
  return std::sqrt(dx * dx + dy * dy);
}

// The level z moved up toward where the cross-section of line i flows at the F 351 Froude
// limit, when it flows faster. Lines are looked at through the column just upstream of them;
// the first line of the block, which has none, through the column just downstream.
double froudeLimited(int i, double Q, double z, double R) {
  const double Fl = solverFroudeLimit;
  const int section = std::max(i, block[1].i1);
  const double Fr = computeFroude(section, Q, z);
  if (!(Fr > Fl)) return z;
  const double Fr2 = computeFroude(section, Q, z + R / 2);
  if (Fr2 < Fl) return z + (R / 2) * (Fr - Fl) / (Fr - Fr2 + 1e-20);
  return z + (R / 2) * (Fr - Fl) / (Fr - Fl + 1e-20);
}

// The level-equation values live in the equation's own array, never in the flow field that Cf
// may still designate after the last equation solved.
void ownLevelField() {
  if (!Cf.isOwn()) Cf.pointOwn();
}

void setLine(int i, double z) {
  const GridBlock& k = block[1];
  for (int j = k.j1 - 1; j <= k.j2; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = z;
}

// Start value of the level equation at the columns just downstream of line i: the mean of
// their corner levels.
void columnStartLevels(int i) {
  const GridBlock& k = block[1];
  for (int j = k.j1; j <= k.j2; ++j) {
    const int c = columnBottom(i + 1, j);
    if (c == 0) continue;
    Cf[c] = 0.25 * (zval[i][j - 1][znumber] + zval[i][j][znumber] + zval[i + 1][j][znumber] +
                    zval[i + 1][j - 1][znumber]);
  }
}

}  // namespace

void backwater() {
  requireReach("the backwater curve");
  const GridBlock& k = block[1];
  const double zr = startLevel();
  const double Q = reachDischarge();
  maxBackwater = -zr;
  if (FlagFriction >= 1 && Iter < 2 && k.i2 >= k.i1 - 1) bedD90();
  const bool write = setsLevels();
  if (write) {
    ownLevelField();
    setLine(k.i2, zr);
  }
  if (k.i2 < k.i1) {
    maxBackwater = 0;
    return;
  }
  double z = zr;
  for (int i = k.i2 - 1; i >= k.i1 - 1; --i) {
    const Section s = wetted(i, z);
    if (s.A > 0 && s.P > 0) {
      const double R = s.A / s.P, U = Q / s.A;
      const double M = strickler(i, z);
      const double Sf = U * U / (M * M * std::pow(R, 1.33333));
      z += Sf * stepLength(i);
      if (solverFroude > 0) z = froudeLimited(i, Q, z, R);
    } else {
      // A cross-section without water at the running level carries the discharge nowhere:
      // no friction to climb by, so the level carries on unchanged.
      logf("Warning: the backwater curve finds grid line %d of block 1 dry at level %lf; the "
           "level is kept\n",
           i, z);
    }
    if (write) {
      setLine(i, z);
      columnStartLevels(i);
    }
  }
  maxBackwater = z - zr;
}

void backwaterPres() {
  requireReach("the backwater start levels");
  const GridBlock& k = block[1];
  const double zr = startLevel();
  ownLevelField();
  double p = 0;
  int n = 0;
  for (int j = k.j1; j <= k.j2; ++j) {
    const int c = columnBottom(k.i2, j);
    if (c == 0) continue;
    Cf[c] = 0;
    p += Cpres[topOf(c)];
    ++n;
  }
  p = n > 0 ? p / n : 0.0;
  for (int i = k.i2 - 1; i >= k.i1; --i) {
    double pi = 0, si = 0;
    int m = 0;
    for (int j = k.j1; j <= k.j2; ++j) {
      const int t = columnTop(i, j);
      if (t == 0) continue;
      pi += Cpres[t];
      si += topFace(t);
      ++m;
    }
    // A line without water has no pressure to compare: the next one compares with the last
    // line that had.
    if (m == 0) continue;
    pi /= m;
    si /= m;
    double v = (pi - p) / 9810;
    if (FlagScaleFreeSource > 0) v *= scaleBackwater2;
    v -= si - zr;
    for (int j = k.j1; j <= k.j2; ++j)
      if (const int c = columnBottom(i, j)) Cf[c] = v;
    p = pi;
  }
}

double findMedianPressure(int group) {
  constexpr int kMost = 49;
  double v[kMost];
  int n = 0;
  if (group >= 1 && group <= 9) {
    const DischargeGroup& g = DischargeStruct[group];
    const int surfaces = surf::listedSurfaces(g);
    for (int e = 0; e < surfaces && n < kMost; ++e) {
      const int c = surf::boundaryCell(g.surfaceList[e]);
      if (c != 0 && Ccellt[c] == 0) v[n++] = Cpres[c];
    }
  }
  // Without a surface pressure the head drop of the scaling has no measure; a value made up
  // for it would scale the levels by nothing real.
  if (n == 0)
    failf(1, "Error: the backwater scaling needs the surface pressure of discharge group %d, "
             "which has no face at a top cell\n",
          group);
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int m = 0; m + 1 < n; ++m)
      if (v[m] > v[m + 1]) {
        std::swap(v[m], v[m + 1]);
        swapped = true;
      }
  }
  return v[n / 2];
}

}  // namespace qorva
