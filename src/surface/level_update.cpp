// The grid water levels from a solved level equation: every node takes the mean of the values
// of the up to four columns around it (a change, or for F 36 9 a level), relaxed and, for a
// falling supercritical surface, damped; or, in the downwind form, the change of the columns
// it lies downstream of. Reads Cf of the columns' bottom cells, Ckdist, BFroude, Cxvel, Cyvel,
// Cxcenter, Cycenter, xval, yval and the options of G 6, F 346, F 466, F 369, F 381, F 36;
// writes zval[..][..][znumber] and [znumber + 1], Surfaces[4], Cf[0], Cpres[0], BFroude[0].
#include <cmath>

#include "files/files.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/level_equations.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

using surf::link;

enum { SW, NW, NE, SE };

// The columns around node (i, j): their bottom cells as the grid has them (`raw`), and after
// a column missing on a block joint was taken from the links of a present one.
struct NodeColumns {
  int raw[4];
  int c[4];
  int n = 0;
};

int either(const Table1<int>& a, int x, const Table1<int>& b, int y) {
  const int first = link(a, x);
  return first != 0 ? first : link(b, y);
}

bool gather(int i, int j, NodeColumns& q) {
  q.raw[SW] = columnBottom(i, j);
  q.raw[NW] = columnBottom(i, j + 1);
  q.raw[NE] = columnBottom(i + 1, j + 1);
  q.raw[SE] = columnBottom(i + 1, j);
  if (q.raw[SW] + q.raw[NW] + q.raw[NE] + q.raw[SE] < 1) return false;
  int* c = q.c;
  for (int k = 0; k < 4; ++k) c[k] = q.raw[k];
  if (c[SW] == 0) c[SW] = either(Ccells, c[NW], Ccellw, c[SE]);
  if (c[NW] == 0) c[NW] = either(Ccelln, c[SW], Ccellw, c[NE]);
  if (c[NE] == 0) c[NE] = either(Ccelle, c[NW], Ccelln, c[SE]);
  if (c[SE] == 0) c[SE] = either(Ccelle, c[SW], Ccells, c[NE]);
  q.n = 0;
  for (int k = 0; k < 4; ++k)
    if (c[k] != 0) ++q.n;
  return true;
}

[[noreturn]] void meanFailed(int i, int j, const NodeColumns& q, double sum) {
  logf("Error in surface update. index = %d, pres = %lf\n", q.n, sum);
  logf("Location i=%d, j=%d, zval[0] = %d, %d, %d, %d\n", i, j, q.raw[0], q.raw[1], q.raw[2],
       q.raw[3]);
  logf("Cpres[i1-4] = %lf %lf %lf %lf\n", Cpres[q.c[0]], Cpres[q.c[1]], Cpres[q.c[2]],
       Cpres[q.c[3]]);
  endRun(-99);
}

// F 346: a falling node over supercritical columns moves by a part of its change.
double froudeFactor(const NodeColumns& q, double nPlus) {
  double F = 0;
  for (int k = 0; k < 4; ++k) F += BFroude[Cbed[q.c[k]]];
  const double Fm = F / nPlus;
  switch (FlagFroudeDamp) {
    case 1: return std::fmax(1 - Fm, 0.0001);
    case 2: return std::fmax(0.5 - Fm, 0.001);
    default: return 1.0;
  }
}

// F 369 1: a level far outside any river, or not a number, stops the run with the state.
void bugCheck(int i, int j) {
  double& z = zval[i][j][znumber];
  if (!(z < -1000 || z > 10000 || std::isnan(z))) return;
  logf("surfaceUpdate: Bug found for z values in grid: (%d,%d), Iter = %d\n", i, j, Iter);
  logf("Z levels: %lf %lf\n", zval[i][j][1], z);
  if (std::isnan(z)) z = 1000;
  WriteAllData();
  print_paraview3d();
  endRun(-1);
}

double nodeLevel(const NodeColumns& q, double z, double m, double relax) {
  if (FlagTFS == 9) {
    double znew = m * (1 - relaxCasulli) + relaxCasulli * z;
    if (FlagFroudeDamp > 0 && znew < z) znew = z - (z - znew) * froudeFactor(q, q.n);
    return znew;
  }
  double dz = m * relax;
  if (FlagFroudeDamp > 0 && dz < 0) dz *= froudeFactor(q, q.n + 1e-20);
  return z + dz;
}

void moveNode(int i, int j, double relax) {
  NodeColumns q;
  if (!gather(i, j, q)) return;
  double sum = 0;
  for (int k = 0; k < 4; ++k) sum += Cf[q.c[k]];
  if (std::isnan(sum) || q.n == 0) meanFailed(i, j, q, sum);
  const double m = sum / q.n;
  const double znew = nodeLevel(q, zval[i][j][znumber], m, relax);
  zval[i][j][znumber] = znew;
  if (Surfaces) Surfaces[4][i][j] = znew - zval[i][j][znumber + 1];
  zval[i][j][znumber + 1] = znew;
  if (FlagBugFind == 1) bugCheck(i, j);
}

template <class F>
void forEachWorkedNode(F f) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) f(i, j);
  }
}

// F 36 9: solved levels whose sum comes within 0.1 % of the summed column heights below the
// top cells are taken for heights rather than levels, and the grid keeps its levels. The
// distance is measured against the size of the sums, so that levels below the datum (a
// negative sum) do not pass as a match on every update.
bool levelsLookLikeHeights() {
  double S1 = 0, S2 = 0;
  surf::forEachWorkedColumn([&](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0) return;
    S1 += Cf[c];
    upColumn(c, [&S2](int k) {
      if (isGridCell(Ccellt[k])) S2 += 2 * Ckdist[k];
    });
  });
  const bool match = std::fabs(S1 - S2) < 0.001 * std::fabs(S1 + S2);
  if (match)
    logf("The solved water levels (sum %lf) match the column heights below the top cells "
         "(sum %lf): the grid levels are kept\n",
         S1, S2);
  return match;
}

}  // namespace

void surfaceUpdate() {
  Cf[0] = 0;
  BFroude[0] = 0;
  Cpres[0] = 0;
  if (FlagTFS == 9 && levelsLookLikeHeights()) return;
  const double relax = RelaxSurface * scaleBackwater2;
  forEachWorkedNode([relax](int i, int j) { moveNode(i, j, relax); });
  if (FlagFlushWaterLevel == 1 && NoBlocks >= 1) {
    const GridBlock& k = block[1];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        double& z = zval[i][j][znumber];
        z = std::fmin(std::fmax(z, FlushWaterLevelMin), FlushWaterLevelMax);
      }
  }
}

void surfaceUpdateDownwind() {
  Cf[0] = 0;
  forEachWorkedNode([](int i, int j) {
    NodeColumns q;
    if (!gather(i, j, q)) return;
    double wsum = 0, fsum = 0;
    for (int k = 0; k < 4; ++k) {
      const int c = q.c[k];
      if (c == 0) continue;
      double w = (xval[i][j] - Cxcenter[c]) * Cxvel[c] + (yval[i][j] - Cycenter[c]) * Cyvel[c];
      w = w > 0 ? w + 1e-10 : 1e-10;
      wsum += w;
      fsum += Cf[c] * w;
    }
    const double z = zval[i][j][znumber] + RelaxSurface * fsum / (wsum + 1e-20);
    zval[i][j][znumber] = z;
    zval[i][j][znumber + 1] = z;
  });
}

}  // namespace qorva
