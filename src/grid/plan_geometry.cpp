// Small predicates of plan geometry: points in a cell's plan or in a quadrilateral, the
// deletion triangle of the survey points, and the angle helpers of the bed routines.
// Reads Px, Py, Cpoint1..Cpoint4, xg, yg, NoGeo, xDelGeo, yDelGeo; writes ig and corner 4 of the
// deletion triangle.
#include <cmath>

#include "grid/grid.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/survey.h"

namespace qorva {

namespace {

// Twice the signed area of (a, b, p): positive when p lies to the left of a -> b.
double side(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

int insideQuadCellGeo(int n, int c) {
  const int p[4] = {Cpoint1[c], Cpoint2[c], Cpoint3[c], Cpoint4[c]};
  const double x = xg[n], y = yg[n];
  // Corners 1..4 run counter-clockwise seen from above: inside is left of every edge.
  for (int k = 0; k < 4; ++k) {
    const int a = p[k], b = p[(k + 1) % 4];
    if (side(Px[a], Py[a], Px[b], Py[b], x, y) <= 0) return 0;
  }
  return 1;
}

int insideQuad(double x, double y, double x1, double y1, double x2, double y2, double x3,
               double y3, double x4, double y4) {
  // Given clockwise: inside is right of every edge.
  const double xs[5] = {x1, x2, x3, x4, x1}, ys[5] = {y1, y2, y3, y4, y1};
  for (int k = 0; k < 4; ++k)
    if (side(xs[k], ys[k], xs[k + 1], ys[k + 1], x, y) >= 0) return 0;
  return 1;
}

int insideTriGeo(int n) {
  const double x = xg[n], y = yg[n];
  for (int k = 2; k <= 4; ++k)
    if (side(xDelGeo[k - 1], yDelGeo[k - 1], xDelGeo[k], yDelGeo[k], x, y) < 0) return 0;
  return 1;
}

int delGeodataValues() {
  if (side(xDelGeo[1], yDelGeo[1], xDelGeo[2], yDelGeo[2], xDelGeo[3], yDelGeo[3]) < 0) return -1;
  xDelGeo[4] = xDelGeo[1];
  yDelGeo[4] = yDelGeo[1];
  if (!ig) return 0;
  const int n = NoGeo;
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
  for (int k = 0; k < n; ++k)
    if (insideTriGeo(k) == 1) ig[k] = 1;
  return 0;
}

double dotproduct(double ax, double ay, double bx, double by) {
  return (ax * bx + ay * by) / (std::sqrt((ax * ax + ay * ay) * (bx * bx + by * by)) + 1e-20);
}

double crossproduct(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double slopeangle(double a, double b, double c, double d, double e) {
  const double m = e * a - b * d;
  return std::asin(std::fabs(m) / (std::sqrt((c * e) * (c * e) + (c * d) * (c * d) + m * m) + 1e-20));
}

}  // namespace qorva
