// Pressure-based level update: every grid node of the water surface moves by the difference
// between the pressure head of the top cells around it and its height above the reference
// level, relaxed, limited by the Froude number and the surface slope. The plain form and the
// variants of the update driver (backwater scaling, Froude damping, the full step swept from
// downstream, pressures regressed over the iterations). Reads Cpres, Bpresavg, Cxvel, Cyvel,
// the reference levels and columns, xval, yval, the regression sums; writes
// zval[..][..][znumber] and [znumber + 1] (and the regression sums by their estimates).
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/update.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {


// Pascal to metres of water.
constexpr double kHead = 0.000101937;

// The four columns around node (i, j), south-west (i, j), north-west (i, j + 1), north-east
// (i + 1, j + 1) and south-east (i + 1, j): `raw` their bottom cells as the grid has them,
// `cell` the top cells that stand for them after absent columns were filled across block
// joints, `n` the number of present ones.
struct Node {
  int raw[4];
  int cell[4];
  int n;
};

enum { SW, NW, NE, SE };

int link(const Table1<int>& to, int c) { return isGridCell(c) && isGridCell(to[c]) ? to[c] : 0; }

// An absent column of a node on a block joint takes the neighbour of a present one: two
// passes, each in the order south-west, north-west, north-east, south-east.
void fillAcrossJoints(int (&c)[4]) {
  for (int pass = 0; pass < 2; ++pass) {
    if (c[SW] == 0) c[SW] = link(Ccells, c[NW]) ? link(Ccells, c[NW]) : link(Ccellw, c[SE]);
    if (c[NW] == 0) c[NW] = link(Ccelln, c[SW]) ? link(Ccelln, c[SW]) : link(Ccellw, c[NE]);
    if (c[NE] == 0) c[NE] = link(Ccelle, c[NW]) ? link(Ccelle, c[NW]) : link(Ccelln, c[SE]);
    if (c[SE] == 0) c[SE] = link(Ccelle, c[SW]) ? link(Ccelle, c[SW]) : link(Ccells, c[NE]);
  }
}

// False for a node with no column around it.
bool gather(int i, int j, Node& q) {
  q.raw[SW] = columnBottom(i, j);
  q.raw[NW] = columnBottom(i, j + 1);
  q.raw[NE] = columnBottom(i + 1, j + 1);
  q.raw[SE] = columnBottom(i + 1, j);
  if (q.raw[SW] + q.raw[NW] + q.raw[NE] + q.raw[SE] < 1) return false;
  for (int k = 0; k < 4; ++k) q.cell[k] = TopBed == 1 ? topOf(q.raw[k]) : q.raw[k];
  if (NoBlocks >= 2) fillAcrossJoints(q.cell);
  q.n = 0;
  for (int k = 0; k < 4; ++k) {
    if (q.cell[k] == 0) continue;
    ++q.n;
    if (TopBed != 1) q.cell[k] = topOf(q.cell[k]);
  }
  return q.n > 0;
}

// Sum of the pressures standing for the node's columns: the top cells' Cpres, or the columns'
// mean pressure Bpresavg (F 233 6 and 7) where the rule allows it.
double pressureSum(const Node& q, bool meanPressure) {
  const bool mean = meanPressure && (FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7) &&
                    Bpresavg && Cbed;
  double P = 0;
  for (int c : q.cell) {
    if (c == 0) continue;
    P += mean ? Bpresavg[Cbed[c]] : Cpres[c];
  }
  return P;
}

// The regressed pressure of the columns of the node's cells.
double regressedSum(const Node& q) {
  double P = 0;
  for (int c : q.cell) {
    if (c == 0) continue;
    const int b = Cbed[c];
    P += PresRegresSumPres[Bkooi[b]][Bkooj[b]];
  }
  return P;
}

// Mean horizontal velocity over the cells `c` (absent ones count 0), divided by n.
void meanVelocity(const int (&c)[4], int n, double& U, double& V) {
  U = V = 0;
  for (int k : c) {
    if (k == 0) continue;
    U += Cxvel[k];
    V += Cyvel[k];
  }
  U /= n;
  V /= n;
}

double distance(int i, int j, int a, int b) {
  const double dx = xval[i][j] - xval[a][b], dy = yval[i][j] - yval[a][b];
  return std::sqrt(dx * dx + dy * dy);
}

// The slope limiter: the move keeps the surface slope to each neighbour node of the block
// within MaxSurfSlope; no move when the bounds of two neighbours exclude each other.
double limitSlope(double dz, int i, int j, double z, const GridBlock& k) {
  double hi = 100000, lo = -100000;
  auto bound = [&](int a, int b) {
    const double zn = zval[a][b][znumber], d = distance(i, j, a, b);
    hi = std::min(hi, zn + d * MaxSurfSlope);
    lo = std::max(lo, zn - d * MaxSurfSlope);
  };
  if (i >= k.i1) bound(i - 1, j);
  if (i < k.i2) bound(i + 1, j);
  if (j < k.j2) bound(i, j + 1);
  if (j >= k.j1) bound(i, j - 1);
  if (lo > hi) return 0;
  return std::max(std::min(dz, hi - z), lo - z);
}

// Weight of the second reference at node (i, j): its share of the distances to the two
// reference columns' bottom cells.
double secondWeight(int i, int j, const SurfaceReference& r) {
  auto d = [i, j](int c) {
    const double dx = xval[i][j] - Cxcenter[c], dy = yval[i][j] - Cycenter[c];
    return std::sqrt(dx * dx + dy * dy);
  };
  const double d1 = d(r.cR), d2 = d(r.cR2);
  return d1 / (d2 + d1 + 1e-20);
}

void moveNode(int i, int j, const GridBlock& k, const NodeRule& rule,
              const SurfaceReference& r) {
  Node q;
  if (!gather(i, j, q)) return;
  const double z = zval[i][j][znumber], zb = zval[i][j][1];
  const double w = rule.twoReferences ? secondWeight(i, j, r) : 0.0;
  const double pref = (1 - w) * GlobPresRef + w * GlobPresRef2;
  const double zref = (1 - w) * GlobZRef + w * GlobZRef2;
  const double P = rule.regression ? regressedSum(q) : pressureSum(q, rule.meanPressure);
  double dz = (P / q.n - pref) * kHead * rule.headScale - (z - zref);
  if (rule.relax) dz *= RelaxSurface * rule.relaxScale;

  double U = 0, V = 0;
  if (rule.froudeLimit || rule.froudeDamping) {
    if (rule.regression) {
      int tops[4];
      for (int m = 0; m < 4; ++m) tops[m] = topOf(q.raw[m]);
      meanVelocity(tops, q.n, U, V);
    } else {
      meanVelocity(q.cell, q.n, U, V);
    }
  }
  if (rule.froudeLimit && FroudeMaxSurface > 0.5 && z > zb)
    dz = std::max(dz, (U * U + V * V) / (FroudeMaxSurface * FroudeMaxSurface * 9.81) - (z - zb));
  // The factor is the speed over the depth, floored at 0.01 where the speed (m/s) reaches the
  // depth (m).
  if (rule.froudeDamping && FlagScaleSurfFroude == 1)
    dz *= std::max(1 - std::sqrt(U * U + V * V) / std::max(z - zb, MinVertDist0), 0.01);
  if (MaxSurfSlope > 0) dz = limitSlope(dz, i, j, z, k);
  zval[i][j][znumber] = z + dz;
  zval[i][j][znumber + 1] = z + dz;
}

// Least-squares value at the present sample of each column's surface pressure, or its mean
// (F 143 2), over the samples since the last update. The sums are taken as doubles: products
// such as the square of the sample sum pass the int range after some three hundred samples. A
// column whose samples all lie at one x keeps its mean.
void regressionEstimate() {
  surf::forEachWorkedColumn([](int i, int j) {
    const double N = PresRegresN[i][j];
    if (N <= 1) return;
    const double Sp = PresRegresSumPres[i][j];
    const double pm = Sp / N;
    if (PresRegres == 2) {
      PresRegresSumPres[i][j] = pm;
      return;
    }
    const double Sx = PresRegresSumX[i][j], Sxx = PresRegresSumXX[i][j];
    const double Sxp = PresRegresSumXPres[i][j];
    const double spread = Sxx - Sx * Sx / N;
    const double slope = spread > 1e-9 * Sxx ? (Sxp - Sp * Sx / N) / spread : 0.0;
    PresRegresSumPres[i][j] = pm + slope * (RegIter - Sx / N);
  });
  if (onPlane(iPres, jPres) && PresRegresSumPres)
    GlobPresRef = PresRegresSumPres[iPres][jPres];
}

}  // namespace

void moveSurfaceNodes(const NodeRule& rule, const SurfaceReference& r) {
  Cpres[0] = 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    const int first = rule.regression ? k.i1 : k.i1 - 1;
    const int jfirst = rule.regression ? k.j1 : k.j1 - 1;
    if (rule.downstreamFirst) {
      for (int i = k.i2; i >= first; --i)
        for (int j = jfirst; j <= k.j2; ++j) moveNode(i, j, k, rule, r);
    } else {
      for (int i = first; i <= k.i2; ++i)
        for (int j = jfirst; j <= k.j2; ++j) moveNode(i, j, k, rule, r);
    }
  }
}

void pressureNodeUpdate(const SurfaceReference& r) {
  Cpres[0] = 0;
  NodeRule rule;
  const bool second = r.cR2 != 0;
  if (PresRegres == 1 || PresRegres == 2) {
    regressionEstimate();
    rule.regression = true;
    rule.twoReferences = second;
    rule.froudeLimit = true;
  } else if (FlagDeltaSurface > 0) {
    rule.relax = false;
    rule.meanPressure = true;
    rule.froudeLimit = true;
    rule.downstreamFirst = true;
  } else if (second) {
    rule.twoReferences = true;
  } else {
    rule.meanPressure = true;
    rule.relaxScale = scaleBackwater2;
    rule.headScale = FlagScaleFreeSource == 3 ? scaleBackwater2 : 1.0;
    rule.froudeLimit = true;
    rule.froudeDamping = true;
  }
  moveSurfaceNodes(rule, r);
}

void computeSurfClassic() {
  SurfaceReference r;
  r.cR = columnBottom(iPres, jPres);
  r.cR2 = jSurf != 0 ? columnBottom(iPres2, jPres2) : 0;
  NodeRule rule;
  // Two references need both columns wet; otherwise the first one holds alone.
  rule.twoReferences = jSurf != 0 && r.cR != 0 && r.cR2 != 0;
  rule.meanPressure = true;
  rule.froudeLimit = true;
  moveSurfaceNodes(rule, r);
}

}  // namespace qorva
