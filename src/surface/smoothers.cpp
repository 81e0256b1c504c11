// Smoothers of the grid water levels before a rebuild: the corners of the wet/dry boundary of
// block 1 (F 425), the whole surface of the worked blocks (F 154, five variants), and the
// slope-limited smoothing of one block of the transient surface (F 178, F 361).
// Reads zval, xval, yval, pointbed, Bcellt, ant, the cell fields and the options; writes
// zval[..][znumber] and [znumber + 1] and wetdryCornerFlag.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

double& Z(int i, int j) { return zval[i][j][znumber]; }
double& Z1(int i, int j) { return zval[i][j][znumber + 1]; }

// Column (i, j) has cells by its bed cell (smoothNewCorners) or by its bottom cell.
bool bedCellWet(int i, int j) {
  const int b = columnBedCell(i, j);
  return b > 0 && Bcellt[b] != 0;
}
int count(int i, int j) {
  return onPlane(i, j) && ant && static_cast<std::size_t>(i) < ant.dim(0) &&
                 static_cast<std::size_t>(j) < ant.dim(1)
             ? ant[i][j]
             : 0;
}

void markCorners(int i, int j, int value, bool onlyZero) {
  auto& f = wetdryCornerFlag;
  for (int di = -1; di <= 0; ++di)
    for (int dj = -1; dj <= 0; ++dj)
      if (!onlyZero || f[i + di][j + dj] == 0) f[i + di][j + dj] = value;
}

// One in-place pass at the points flagged 2 of the interior i, jFrom..jTo (step dj).
void cornerPass(const GridBlock& k, int jFrom, int jTo, int dj) {
  auto& f = wetdryCornerFlag;
  for (int i = k.i1; i <= k.i2 - 1; ++i)
    for (int j = jFrom; dj > 0 ? j <= jTo : j >= jTo; j += dj) {
      if (f[i][j] != 2) continue;
      double s = 0;
      int n = 0;
      for (auto [a, b] : {std::pair{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}})
        if (f[a][b] == 1 || f[a][b] == 2) s += Z(a, b), ++n;
      if (n > 0) Z1(i, j) = Z(i, j) = 0.5 * (s / n) + 0.5 * Z(i, j);
    }
}

// F 154 1 and 2: the interior points over their four neighbours, the lines' edge points along
// i; value 2 the first and last node lines along j too.
void smoothOneTwo(const GridBlock& k, double a, bool edges) {
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) Z1(i, j) = Z(i, j);
  for (int i = k.i1; i <= k.i2 - 1; ++i) {
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      Z1(i, j) = a / 4 * (Z1(i - 1, j) + Z1(i, j - 1) + Z1(i + 1, j) + Z1(i, j + 1)) +
                 (1 - a) * Z1(i, j);
    for (int j : {k.j1 - 1, k.j2})
      Z1(i, j) = a / 2 * (Z1(i - 1, j) + Z1(i + 1, j)) + (1 - a) * Z1(i, j);
  }
  auto alongJ = [&](int i) {
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      Z1(i, j) = a / 2 * (Z1(i, j - 1) + Z1(i, j + 1)) + (1 - a) * Z1(i, j);
  };
  if (edges) {
    alongJ(k.i1 - 1);
    Z1(k.i1 - 1, k.j1 - 1) = a * Z1(k.i1 - 1, k.j1) + (1 - a) * Z(k.i1 - 1, k.j1 - 1);
    alongJ(k.i2);
  }
  Z1(k.i2, k.j2) = (1 - a) * Z(k.i2, k.j2) + a * Z1(k.i2, k.j2 - 1);
  // The corners keep their level; every other point takes the smoothed one.
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      const bool corner = (i == k.i1 - 1 || i == k.i2) && (j == k.j1 - 1 || j == k.j2);
      if (!corner) Z(i, j) = Z1(i, j);
    }
}

// F 154 3 and 4: only points whose columns have cells, from the copy slot.
void smoothWet(const GridBlock& k, double a, bool edges) {
  auto both = [](int i, int j, double v) { Z(i, j) = Z1(i, j) = v; };
  for (int i = k.i1; i <= k.i2 - 1; ++i) {
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      if (wetColumn(i, j) && wetColumn(i + 1, j) && wetColumn(i, j + 1) &&
          wetColumn(i + 1, j + 1))
        both(i, j, a / 4 * (Z1(i - 1, j) + Z1(i + 1, j) + Z1(i, j - 1) + Z1(i, j + 1)) +
                       (1 - a) * Z1(i, j));
    if (!edges) continue;
    if (wetColumn(i, k.j1) && wetColumn(i + 1, k.j1))
      both(i, k.j1 - 1, a / 2 * (Z1(i - 1, k.j1 - 1) + Z1(i + 1, k.j1 - 1)) +
                            (1 - a) * Z1(i, k.j1 - 1));
    if (wetColumn(i, k.j2) && wetColumn(i + 1, k.j2))
      both(i, k.j2, a / 2 * (Z1(i - 1, k.j2) + Z1(i + 1, k.j2)) + (1 - a) * Z1(i, k.j2));
  }
  if (!edges) return;
  for (auto [line, col] : {std::pair{k.i1 - 1, k.i1}, {k.i2, k.i2}})
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      if (wetColumn(col, j) && wetColumn(col, j + 1))
        both(line, j, a / 2 * (Z1(line, j - 1) + Z1(line, j + 1)) + (1 - a) * Z1(line, j));
}

// F 154 5: along i with a whole-number weight from the pressure below the top cell.
void smoothByPressure(const GridBlock& k, double a) {
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) Z1(i, j) = Z(i, j);
  for (int i = k.i1; i <= k.i2 - 1; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      const int t = columnTop(i, j);
      double k1 = 0;
      // The cell below the top exists only in a column of two or more cells.
      if (const int below = cellBelow(t); below != 0) {
        const double k0 =
            std::trunc((1.5 * Ckdist[t] - Cpres[below] / 9810) / (1.5 * Ckdist[t]));
        k1 = std::max(std::trunc(k0 - 0.05), 0.0);
      }
      const double w = std::trunc(std::trunc(0.5 * k1) + a);
      Z1(i, j) = w / 2 * (Z(i - 1, j) + Z(i + 1, j)) + (1 - w) * Z(i, j);
    }
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) Z(i, j) = Z1(i, j);
}

// Pair tests of the slope-limited smoothing.
bool wetAlongI(int i, int j) {
  return (wetColumn(i, j) && wetColumn(i + 1, j)) ||
         (wetColumn(i, j + 1) && wetColumn(i + 1, j + 1));
}
bool wetAlongJ(int i, int j) {
  return (wetColumn(i, j) && wetColumn(i, j + 1)) ||
         (wetColumn(i + 1, j) && wetColumn(i + 1, j + 1));
}
double distance(int a, int b, int c, int d) {
  return std::hypot(xval[a][b] - xval[c][d], yval[a][b] - yval[c][d]);
}
double Li(int i, int j) { return distance(i - 1, j, i + 1, j); }
double Lj(int i, int j) { return distance(i, j - 1, i, j + 1); }

double halfDepth(int c0) {
  double K = 0;
  upColumn(c0, [&K](int c) { K += Ckdist[c]; });
  return K;
}

// F 178 1: no point above the friction level its subcritical wet columns allow.
void frictionBound(const GridBlock& k) {
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      double Emax = -1e300;
      bool any = false, fast = false;
      for (auto [a, b] : {std::pair{i, j}, {i, j + 1}, {i + 1, j}, {i + 1, j + 1}}) {
        const int c = columnBottom(a, b);
        if (c == 0) continue;
        any = true;
        if (BFroude[Cbed[c]] >= 1) fast = true;
        const int t = topOf(c);
        const double d = 2 * halfDepth(c);
        const double u = Cxvel[t], v = Cyvel[t];
        const double S = (u * u + v * v) * std::pow(Croughness[c], 0.333333) /
                         (std::pow(d, 1.333333) * 26 * 26);
        Emax = std::max(Emax, topFace(t) + S * std::hypot(Cidist[t], Cjdist[t]));
      }
      if (!any || fast) continue;
      Z(i, j) = std::min(Z(i, j), Emax + Z(i, j) - Z1(i, j));
    }
}

// F 178 2: the drop along each edge along i not more than the friction drop.
void frictionDrop(const GridBlock& k) {
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      double U = 0, H = 0, ks = 0;
      int n = 0;
      const int south = columnBottom(i, j), north = columnBottom(i, j + 1);
      for (auto [c, f] : {std::pair{south, south ? Cflaten[south] : 0},
                          {north, north ? Cflates[north] : 0}}) {
        if (c == 0) continue;
        double su = 0, K = 0;
        upColumn(c, [&](int cc) {
          su += (Cxvel[cc] * Fvy[f] + Cyvel[cc] * Fvx[f]) * Ckdist[cc];
          K += Ckdist[cc];
        });
        U += su / K;
        H += K;
        ks += Croughness[c];
        ++n;
      }
      if (n == 0) continue;
      U /= n, H /= n, ks /= n;
      const double q = 2 * U * H, L = distance(i - 1, j, i, j);
      const double dz = Z(i - 1, j) - Z(i, j);
      auto froude = [q](int a, int b) {
        const double v = q / (Z(a, b) - zval[a][b][1] + 1e-20);
        return std::sqrt(v * v * v / (9.81 * q + 1e-20));
      };
      const double F = std::fabs(U) * U * std::pow(ks, 0.333333) /
                       (std::pow(2 * H, 1.333333) * 26 * 26) * L;
      if (dz > 0 && dz > F && froude(i - 1, j) < 1 && froude(i, j) < 1) Z(i - 1, j) -= dz - F;
    }
}

// Clamp of Z(i, j) between its two neighbours a and b, `down` below the lower and `up` above
// the higher.
void clampBetween(double& z, double a, double b, double down, double up) {
  z = std::min(std::max(z, std::min(a, b) - down), std::max(a, b) + up);
}

void clampLinesAlongI(const GridBlock& k, int first, double factor) {
  for (int i = first; i <= k.i2 - 1; i += 2)
    for (int j = k.j1 - 1; j <= k.j2; ++j)
      if (wetAlongI(i, j)) {
        const double s = factor * Li(i, j);
        clampBetween(Z(i, j), Z(i - 1, j), Z(i + 1, j), s, s);
      }
}

void slopeVariant(const GridBlock& k) {
  switch (FlagSurfSmooth) {
    case 1: frictionBound(k); break;
    case 2: frictionDrop(k); break;
    case 3:
      for (int i = k.i1; i <= k.i2; ++i)
        for (int j = k.j1 - 1; j <= k.j2; ++j)
          if (wetAlongI(i, j))
            Z(i, j) = std::min(Z(i, j), (Z(i - 1, j) + Z(i + 1, j)) / 2 + 0.1 * Li(i, j));
      for (int i = k.i1 - 1; i <= k.i2; ++i)
        for (int j = k.j1; j <= k.j2; ++j)
          if (wetAlongJ(i, j))
            Z(i, j) = std::min(Z(i, j), (Z(i, j - 1) + Z(i, j + 1)) / 2 + 0.1 * Lj(i, j));
      break;
    case 4:
    case 5:
      for (int i = k.i1; i <= k.i2; ++i)
        for (int j = k.j1 - 1; j <= k.j2; ++j)
          if (wetAlongI(i, j)) {
            const double s = 0.01 * Li(i, j);
            clampBetween(Z(i, j), Z(i - 1, j), Z(i + 1, j), 3 * s, s);
          }
      for (int i : {k.i1 - 1, k.i1})
        for (int j = k.j1; j <= k.j2; ++j)
          if (wetAlongJ(i, j)) {
            const double s = 0.01 * Lj(i, j);
            clampBetween(Z(i, j), Z(i, j - 1), Z(i, j + 1), 3 * s, s);
          }
      break;
    case 6:
    case 7: {
      const double f = FlagSurfSmooth == 6 ? 0.1 : 0.2;
      clampLinesAlongI(k, k.i1, f);
      clampLinesAlongI(k, k.i1 + 1, f);
      break;
    }
    default: break;
  }
}

}  // namespace

void smoothNewCorners() {
  if (NoBlocks < 1 || !wetdryCornerFlag) return;
  const GridBlock& k = block[1];
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) wetdryCornerFlag[i][j] = 1;
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j)
      if (!bedCellWet(i, j)) markCorners(i, j, 0, false);
  if (FlagSmoothNewCorners == 1) {
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        if (!bedCellWet(i, j) && count(i, j) > 0) markCorners(i, j, 2, true);
  } else if (FlagSmoothNewCorners == 2) {
    auto border = [](int a, int b) { return (a == 0) != (b == 0) && a >= 0 && b >= 0; };
    for (int i = k.i1; i <= k.i2 - 1; ++i)
      for (int j = k.j1; j <= k.j2 - 1; ++j) {
        if (border(count(i, j), count(i + 1, j)))
          wetdryCornerFlag[i][j - 1] = wetdryCornerFlag[i][j] = 2;
        if (border(count(i, j), count(i, j + 1)))
          wetdryCornerFlag[i - 1][j] = wetdryCornerFlag[i][j] = 2;
      }
  } else {
    return;
  }
  for (int pass = 0; pass < 4; ++pass) {
    cornerPass(k, k.j1, k.j2 - 1, 1);
    cornerPass(k, k.j2 - 1, k.j1, -1);
  }
}

void surface_smoother() {
  const double a = SurfSmoothVal;
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    switch (SurfSmoothFlag) {
      case 1:
      case 2: smoothOneTwo(k, a, SurfSmoothFlag == 2); break;
      case 3:
      case 4: smoothWet(k, a, SurfSmoothFlag == 4); break;
      case 5: smoothByPressure(k, a); break;
      default: break;
    }
  }
}

void surface_smoother2(int b) {
  if (b < 1 || b > NoBlocks) return;
  BFroude[0] = 0;
  const GridBlock& k = block[b];
  slopeVariant(k);
  if (FlagSurfSlope == 1)
    for (int i = k.i1; i <= k.i2 - 1; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j)
        if (wetAlongI(i, j)) Z(i, j) = std::min(Z(i, j), Z(i - 1, j) + SurfSlopeVal * Li(i, j));
}

}  // namespace qorva
