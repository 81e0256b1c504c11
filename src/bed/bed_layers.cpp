// The layer stack of a bed cell: merging, choosing the pair to merge, removing empty layers,
// splitting, eroding one size from a layer and moving bed between layers. Each call reads and
// writes only the column of one bed cell in BSedDistrib, Bsolidfraction and BlayerTop.
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f400_449.h"
#include "state/options_g.h"

namespace qorva {

namespace {

double& thickness(int layer, int b) { return BSedDistrib[layer][0][b]; }

// Copies thickness, fractions and solid fraction of slot `from` to slot `to`.
void copyLayer(int from, int to, int b) {
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[to][l][b] = BSedDistrib[from][l][b];
  if (Bsolidfraction) Bsolidfraction[to][b] = Bsolidfraction[from][b];
}

}  // namespace

void JoinLayers(int b, int j) {
  if (j < 1) j = 1;
  const int i = j - 1;
  const double ti = thickness(i, b), tj = thickness(j, b);
  for (int l = 1; l <= lnumber; ++l)
    BSedDistrib[i][l][b] =
        (BSedDistrib[j][l][b] * tj + BSedDistrib[i][l][b] * ti) / (ti + tj + 1e-80);
  if (Bsolidfraction)
    Bsolidfraction[i][b] = ((tj + 1e-100) * Bsolidfraction[j][b] +
                            (ti + 1e-100) * Bsolidfraction[i][b]) /
                           (ti + tj + 2e-100);
  thickness(i, b) = ti + tj;
  const int top = BlayerTop[b];
  for (int k = j + 1; k <= top; ++k) copyLayer(k, k - 1, b);
  // The slot freed at the top is empty; its solid fraction stays as it was.
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[top][l][b] = 0.0;
  BlayerTop[b] = top - 1;
}

int FindJoinLayer(int b) {
  const int top = BlayerTop[b];
  const double s = bedgrid::thicknessScale();
  if (thickness(top - 1, b) < 1.5 * s) return top;
  for (int j = 1; j <= top; ++j)
    if (thickness(j, b) + thickness(j - 1, b) < 1e-7) return j;
  // The pair whose grain-size distributions differ least; the lowest wins a tie.
  int best = 1;
  double least = 1e7;
  for (int j = 1; j <= top; ++j) {
    double d = 0;
    for (int l = 1; l <= lnumber; ++l) d += std::fabs(BSedDistrib[j][l][b] - BSedDistrib[j - 1][l][b]);
    if (d < least) {
      least = d;
      best = j;
    }
  }
  return best;
}

int removeZerolayers(int b) {
  if (BlayerTop[b] <= 0) return 0;
  int joins = 0;
  int j = 1;
  for (int looks = 0; looks < 2 * NoBedLayers + 1 && j <= BlayerTop[b]; ++looks) {
    if (thickness(j, b) < 1e-10) {
      JoinLayers(b, j);
      ++joins;
    } else {
      ++j;
    }
  }
  if (thickness(0, b) < 1e-10 && BlayerTop[b] >= 1) JoinLayers(b, 1);
  return joins;
}

void SplitLayers(int b) {
  if (BlayerTop[b] >= NoBedLayers) return;
  if (FlagSplitLayers != 1 && FlagSplitLayers != 2)
    failf(1, "Error for F 434 in control file: %d names no way to split a bed layer, use 1 or 2\n",
          FlagSplitLayers);
  const double s = bedgrid::thicknessScale();
  int j = BlayerTop[b];
  while (j >= 0 && !(thickness(j, b) > 3 * s)) --j;
  if (j < 0) return;
  const int top = BlayerTop[b];
  for (int k = top; k >= j; --k) copyLayer(k, k + 1, b);
  BlayerTop[b] = top + 1;
  const double t = thickness(j, b);
  if (FlagSplitLayers == 1) {
    thickness(j + 1, b) = s;
    thickness(j, b) = t - s;
  } else {
    thickness(j + 1, b) = thickness(j, b) = 0.5 * t;
  }
}

double erodeLayerUnder(int b, int j, int l, double d) {
  const double sf = bedgrid::solidFraction(j, b);
  const double v = thickness(j, b) * sf;
  const double vl = BSedDistrib[j][l][b] * v;
  const double vnew = std::max(v - std::min(vl, -d), 1e-40);
  for (int m = 1; m <= lnumber; ++m)
    BSedDistrib[j][m][b] = m == l ? std::max(d + vl, 0.0) / vnew : BSedDistrib[j][m][b] * v / vnew;
  thickness(j, b) = vnew / sf;
  return -d > vl ? d + vl : -0.0;
}

void MoveSediment(int from, int to, int b, double a) {
  const double tto = thickness(to, b);
  const double sfFrom = Bsolidfraction ? Bsolidfraction[from][b] : SolidFrac;
  const double sfOld = Bsolidfraction ? Bsolidfraction[to][b] : SolidFrac;
  const double sfNew = (sfFrom * a + sfOld * tto) / (tto + a);
  if (Bsolidfraction) Bsolidfraction[to][b] = sfNew;
  for (int l = 1; l <= lnumber; ++l)
    BSedDistrib[to][l][b] = (BSedDistrib[from][l][b] * a * sfFrom + BSedDistrib[to][l][b] * tto * sfOld) /
                            ((tto + a) * sfNew + 1e-20);
  thickness(from, b) -= a;
  thickness(to, b) += a;
}

}  // namespace qorva
