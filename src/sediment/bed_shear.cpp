// The bed shear prepared for the capacity formulas: k carried to the boundary cells, the shear
// table `bedshear` by the rules of F 499, k raised at shallow outflow cells (F 512), and the
// shear from the roughness layer (F 189). Reads Ckinen, Cxvel, Cyvel, Ckdist, Croughness, the
// neighbour links, Cflateb, Fvz, the discharge groups, zval[..][0], pointbed, Bdepth,
// Bedformheight, Bd90; writes Ckinen (boundary and outflow cells) and bedshear.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/capacity.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace capacity {

double depthFrom(int c) {
  double half = 0;
  upColumn(c, [&half](int k) { half += Ckdist[k]; });
  return 2 * half;
}

}  // namespace capacity

namespace {

// The cell of boundary surface s and the side of that cell it lies on (1 south .. 6 top);
// cell 0 when the surface is outside the tables or has no cell.
void boundaryCell(int s, int& c, int& side) {
  c = side = 0;
  if (s < 1 || static_cast<std::size_t>(s) >= Fcell1.size()) return;
  if (Fcell1[s] > 0) {
    c = Fcell1[s];
    side = Ftype1[s];
  } else {
    c = Fcell2[s];
    side = Ftype2[s];
  }
  if (c < 0 || static_cast<std::size_t>(c) >= Ccellt.size()) c = 0;
}

// The cell inside the grid opposite lateral side `side` of c, `steps` cells in; 0 when there
// is none (the second step is taken only when that cell exists).
int innerCell(int c, int side, int steps) {
  const Table1<int>* toward = side == 1 ? &Ccelln : side == 2 ? &Ccellw : side == 3 ? &Ccells
                                                                                   : &Ccelle;
  int n = (*toward)[c];
  if (n > 0 && steps == 2 && (*toward)[n] > 0) n = (*toward)[n];
  return n;
}

// Calls f(c, side) for every boundary surface of the groups with the inflow flag `inflow`.
template <class F>
void forBoundaryCells(int inflow, F f) {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& grp = DischargeStruct[g];
    if (grp.inflowFlag != inflow || grp.surfaceNo < 1) continue;
    const int count = std::min<int>(grp.surfaceNo, static_cast<int>(grp.surfaceList.size()));
    for (int k = 0; k < count; ++k) {
      int c = 0, side = 0;
      boundaryCell(grp.surfaceList[k], c, side);
      if (c > 0) f(c, side);
    }
  }
}

// The log-law shear of the bottom cell c: its centre lies Ckdist above the bed. Where the
// centre lies within the roughness (30 zc / ks below e) the law no longer holds; its factor is
// kept at the value of ln = 1 there instead of growing without bound.
double logLawShear(int c) {
  const double u = Cxvel[c], v = Cyvel[c];
  const double ks = std::max(Croughness[c], 1e-20);
  const double ln = std::log(std::max(30 * Ckdist[c] / ks, std::exp(1.0)));
  const double f = 0.4 / ln;
  return 1000 * (u * u + v * v) * f * f;
}

// The slope shear of the column: from the normal of the face under its top cell. A column of a
// single cell has no such face, and takes the log-law shear instead.
double slopeShear(int c, int b) {
  const int top = topOf(c);
  if (top == c) return logLawShear(c);
  const double nz = std::clamp(Fvz[Cflateb[top]], -1.0, 1.0);
  return 19600 * Bdepth[b] * std::tan(std::acos(nz));
}

}  // namespace

void computeZeroGradSedim() {
  const int steps = FlagZeroGradSedim == 2 || FlagZeroGradSedim == 12 ? 2 : 1;
  forBoundaryCells(1, [&](int c, int side) {
    if (Ccellb[c] != 0 || side < 1 || side > 4) return;
    const int n = innerCell(c, side, steps);
    if (n > 0) Ckinen[c] = Ckinen[n];
  });
  if (FlagZeroGradSedim < 20) return;
  const int outSteps = FlagZeroGradSedim == 21 ? 2 : 1;
  forBoundaryCells(0, [&](int c, int side) {
    if (Ccellb[c] != 0 || side < 1 || side > 4) return;
    const int n = innerCell(c, side, outSteps);
    if (n > 0) Ckinen[c] = std::min(Ckinen[c], Ckinen[n]);
  });
}

void computeBedshear() {
  const int rule = FlagDuneShearPartCross;
  if (rule < 1 || rule > 6 || NoBlocks < 1) return;
  if (rule == 1) {
    // Grain-shear partition per cross-section: the factors g take shear from the columns with
    // bed forms and, rescaled to a cross-section mean of 1, give it to the flat ones.
    const GridBlock& k = block[1];
    for (int i = k.i1; i <= k.i2; ++i) {
      double sum = 0;
      int n = 0;
      for (int j = k.j1; j <= k.j2; ++j) {
        const int c = columnBottom(i, j);
        if (c == 0) continue;
        const int b = pointbed[i][j];
        const double H = Bedformheight[b];
        double g = 1;
        if (H > 1e-10) {
          const double kg = coeffRoughRijn * Bd90[b];
          const double form = 1.1 * H * (1 - std::exp(-25 * H / (7.3 * Bdepth[b])));
          g = std::pow(std::min(kg / (kg + form), 1.0), 0.25);
        }
        bedshear[i][j] = 300 * Ckinen[c] * g;
        sum += g;
        ++n;
      }
      for (int j = k.j1; j <= k.j2; ++j)
        if (columnBottom(i, j) != 0) bedshear[i][j] *= n / (sum + 1e-20);
    }
    return;
  }
  if (NoBlocks < 1) return;
  forEachColumnOf(1, [&](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0) return;
    const int b = pointbed[i][j];
    const double k300 = 300 * Ckinen[c];
    double tau = 0;
    switch (rule) {
      case 2: tau = logLawShear(c); break;
      case 3: tau = slopeShear(c, b); break;
      case 4: tau = std::max(logLawShear(c), k300); break;
      case 5: tau = std::sqrt(logLawShear(c) * k300); break;
      default: tau = 0.33333 * (k300 + logLawShear(c) + slopeShear(c, b)); break;
    }
    bedshear[i][j] = tau;
  });
}

void computeOutflowFix() {
  forBoundaryCells(0, [](int c, int) {
    if (Ccellb[c] != 0) return;
    if (capacity::depthFrom(c) < outflowFixDepth) Ckinen[c] += outflowFixShear / 300;
  });
}

void computeShearBrenix() {
  if (NoBlocks < 1) return;
  forEachColumnOf(1, [](int i, int j) {
    double km = 0;
    if (const int c0 = columnBottom(i, j); c0 != 0) {
      double z = 0;
      const double ks = Croughness[c0];
      // The cells below the top cell, up to the one whose centre lies above the roughness.
      upColumnWhile(c0, [&](int c) {
        if (isTopCell(c)) return false;
        z += Ckdist[c];
        km = std::max(km, Ckinen[c]);
        if (z > ks) return false;
        z += Ckdist[c];
        return true;
      });
    }
    bedshear[i][j] = 300 * km;
  });
}

}  // namespace qorva
