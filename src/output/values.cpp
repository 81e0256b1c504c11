// The values of the G 24 letters that the Tecplot and VTK writers share, the column walks they
// use, and the naming rule of their variables.
// Reads the flow, turbulence, sediment and bed arrays, zval, Surfaces, Title, di_graph, gsize,
// connFlate and the surface corners; writes Pc.
#include "output/values.h"
#include "output/vtk_values.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/table_get.h"
#include "state/bedcells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva::output_detail {

bool isGridPoint(long long i, long long j) {
  return zval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}

double zlevel(long long i, long long j, long long k) {
  return isGridPoint(i, j) && k >= 0 && static_cast<std::size_t>(k) < zval.dim(2) ? zval[i][j][k]
                                                                                  : 0.0;
}

int bedCellAt(long long i, long long j) {
  return pointbed && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < pointbed.dim(0) &&
                 static_cast<std::size_t>(j) < pointbed.dim(1)
             ? pointbed[i][j]
             : 0;
}

double xAt(long long i, long long j) { return get(xval, i, j); }
double yAt(long long i, long long j) { return get(yval, i, j); }

namespace {

double speed(int c) {
  const double u = get(Cxvel, c), v = get(Cyvel, c);
  return std::sqrt(u * u + v * v);
}

// Grain size at the fraction di_graph of a composition f(1..lnumber), interpolated between
// the midpoints of the size classes, walking from the coarsest size down.
template <class F>
double percentileSize(F f, double d = di_graph) {
  const int L = lnumber;
  if (L < 0 || L >= static_cast<int>(gsize.size())) return 0.0;
  if (L < 1) return gsize[L];
  double S = f(L) / 2;
  if (S > d) return gsize[L];
  int l = L - 1;
  bool passed = false;
  for (; l >= 1; --l) {
    S = S + f(l + 1) / 2 + f(l) / 2;
    if (S > d) {
      passed = true;
      break;
    }
  }
  if (!passed) l = 1;
  if (L == 1) return gsize[L];
  if (S < d) return gsize[1];
  double t = 2 * (S - d) / (f(l + 1) + f(l) + 1e-20);
  t = std::clamp(t, 0.0, 1.0);
  return (1 - t) * gsize[l] + t * gsize[l + 1];
}

// Stencil of the vertical gradient of component 0 near the surface, for the level counts
// whose spacing it was made for.
double temperatureGradient(int c) {
  int t[8];
  t[0] = topOf(c);
  for (int m = 1; m < 8; ++m) t[m] = cellBelow(t[m - 1]);
  auto C = [&](int m) { return get(Ccomp, 0, t[m]); };
  if (znumber == 12) return -0.222 * C(0) - 0.639 * C(1) + 0.444 * C(2) + 0.417 * C(3);
  if (znumber == 20)
    return -0.1667 * C(1) - 0.5 * C(2) - 0.3333 * C(3) + 0.4167 * C(4) + 0.0833 * C(5) +
           0.4167 * C(6) + 0.0833 * C(7);
  return 0.0;
}

double columnSurfaceValue(int plane, int b) {
  const int i = geti(Bkooi, b), j = geti(Bkooj, b);
  return get(Surfaces, plane, i, j);
}

// Values of the water column of cell c (from its bottom cell, or from c upward).
bool columnValue(char letter, int c, int b, double& v) {
  switch (letter) {
    case 'A': {
      double sum = 0, h = 0;
      int n = 0;
      upColumn(bottomOf(c), [&](int k) {
        h += 2 * Ckdist[k];
        sum += speed(k);
        ++n;
      });
      v = sum * 1000000 / (n + 1e-20) * h;
      return true;
    }
    case 'B': v = std::acos(get(Fvz, geti(Cflateb, bottomOf(c)))) * kDegrees; return true;
    case 'C': {
      const int bot = bottomOf(c), top = topOf(c);
      const double ub = get(Cxvel, bot), vb = get(Cyvel, bot);
      const double ut = get(Cxvel, top), vt = get(Cyvel, top);
      v = std::asin((ub * vt - vb * ut) / std::sqrt((ut * ut + vt * vt) * (ub * ub + vb * vb) + 1e-20)) *
          kDegrees;
      return true;
    }
    case 'D': {
      double sum = 0, dk = 0;
      upColumn(bottomOf(c), [&](int k) {
        sum += Ckdist[k] * speed(k);
        dk += Ckdist[k];
      });
      v = sum / (dk + 1e-20);
      return true;
    }
    case 'F': {
      double sum = 0, h = 0;
      int n = 0;
      upColumn(bottomOf(c), [&](int k) {
        h += 2 * Ckdist[k];
        sum += speed(k);
        ++n;
      });
      v = sum / (n * std::sqrt(9.81 * h) + 1e-20);
      return true;
    }
    case 'J': {
      double k = 0;
      upColumn(c, [&](int m) { k = std::max(k, Ckinen[m]); });
      v = k;
      return true;
    }
    case 'h': {
      double h = 0;
      upColumn(c, [&](int m) { h += 2 * Ckdist[m]; });
      v = get(Broughness, b) / (h + 1e-20);
      return true;
    }
    case 'i': {
      int n = 0;
      upColumn(c, [&](int) { ++n; });
      v = n;
      return true;
    }
    case 'x': v = temperatureGradient(c); return true;
    default: return false;
  }
}

// The size with the largest fraction in layer 1 of bed cell b.
int mostFrequentSize(int b) {
  int best = 0;
  double most = 0;
  for (int l = 1; l <= lnumber; ++l) {
    const double f = get(BSedDistrib, 1, l, b);
    if (f > most) {
      most = f;
      best = l;
    }
  }
  return best;
}

// Values of the bed cell b.
bool bedValue(char letter, int b, int layer, int size, double& v) {
  switch (letter) {
    case 'G': v = get(Bgroundwater, b); return true;
    case 'L': v = get(BSedDistrib, layer, 0, b); return true;
    // The plan view shows M from the slide plane of the column; the 3-D file shows the same.
    case 'M': v = columnSurfaceValue(6, b); return true;
    case 'N': v = get(Bsolidfraction, layer, b); return true;
    case 'O': v = get(Bconc, size, b); return true;
    case 'Q': v = get(Bdefect, b); return true;
    case 'U': v = get(Bedmove, b); return true;
    case 'Y': v = std::fabs(get(Bfly, b)); return true;
    case 'a': v = percentileSize([&](int l) { return get(BSedDistrib, layer, l, b); }); return true;
    case 'b': v = get(Bedformheight, b); return true;
    case 'f': v = get(BSedDistrib, layer, size, b); return true;
    case 'j': v = get(Bcohesion, layer, b); return true;
    case 'l': {
      double sum = 0;
      for (int m = 0; m < NoBedLayers; ++m) sum += get(BSedDistrib, m, 0, b);
      v = sum;
      return true;
    }
    case 'm': v = 300 * get(Ckinen, geti(Bcellt, b)); return true;
    case 'o': v = mostFrequentSize(b); return true;
    default: return false;
  }
}

// Values of the cell itself.
bool ownValue(char letter, int c, int b, int size, double& v) {
  switch (letter) {
    case 'E': v = get(Cepsilon_res, c); return true;
    case 'H': {
      const double u = get(Cxvel_res, c), w = get(Cyvel_res, c);
      v = std::sqrt(u * u + w * w);
      return true;
    }
    case 'I': v = get(CgammaV, c); return true;
    case 'K': v = get(Ckinen_res, c); return true;
    case 'P': v = get(Cporosity, c); return true;
    case 'R': v = get(Cpres_res, c); return true;
    case 'T': v = get(Cstress, 0, c); return true;
    case 'V':
    case 'u': v = speed(c); return true;
    case 'W': v = get(Czvel_res, c); return true;
    case 'c': v = get(Cconc, size, c); return true;
    case 'd': v = get(Cgamma, c); return true;
    case 'e': v = get(Cepsilon, c); return true;
    case 'k': v = get(Ckinen, c); return true;
    case 'p': v = get(Cpres, c); return true;
    case 'q': v = get(Ccomp, size, c); return true;
    case 'r': {
      const double r = get(Broughness, b);
      v = r < 1e-15 ? get(Croughness, c) : r;
      return true;
    }
    case 'w': v = get(Czvel, c); return true;
    default: return false;
  }
}

// The Z records of G 24, chosen by their code.
double codedValue(int code, int b, int c, int size) {
  switch (code) {
    case 100: return columnSurfaceValue(6, b);
    case 101: return columnSurfaceValue(7, b);
    case 102: return get(Cconc, size, c) / (get(Cconc, 0, c) + 1e-20);
    case 103: {
      const double total = get(Cconc, 0, c) + 1e-20;
      return percentileSize([&](int l) { return get(Cconc, l, c) / total; });
    }
    case 104: return get(Bfractionsprint, b);
    case 105: {
      const int bottom = geti(Bcellt, b);
      double sum = 0;
      for (int l = 1; l <= lnumber; ++l) sum += get(Cconc, l, bottom);
      return sum;
    }
    case 107: return get(Bminwaterlevel, b);
    default: return 0.0;
  }
}

}  // namespace

double cellValue(char letter, int code, int c, int b, int layer, int size) {
  if (letter == 'Z') return codedValue(code, b, c, size);
  double v = 0.0;
  if (columnValue(letter, c, b, v) || bedValue(letter, b, layer, size, v) ||
      ownValue(letter, c, b, size, v))
    return v;
  return 0.0;
}

// Plane 5 exists only with F 236 or F 404; without it X shows 0, and so does M without
// plane 6.
double gridPointValue(char letter, long long i, long long j) {
  switch (letter) {
    case 'z': return zlevel(i, j, 1);
    case 'y': return zlevel(i, j, znumber) - zlevel(i, j, 1);
    case 'v': return zlevel(i, j, znumber);
    case 's': return get(Surfaces, 1, i, j);
    case 't': return zlevel(i, j, 1) - get(Surfaces, 3, i, j);
    case 'X': return get(Surfaces, 5, i, j);
    case 'M': return get(Surfaces, 6, i, j);
    default: return 0.0;
  }
}

std::string oneWord(std::string name) {
  // A comma separates the names of a Tecplot variable list.
  name.erase(std::remove(name.begin(), name.end(), ','), name.end());
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

std::string percentileTag() { return strf("D%02d", static_cast<int>(di_graph * 100)); }

std::string caseTitle() {
  const std::size_t length = strnlen(Title.data() + 1, Title.size() - 1);
  return std::string(Title.data() + 1, length);
}

void setPointIndices(int np, int i1, int i2, int j1, int j2) {
  const auto isPoint = [](int p) { return p >= 1 && static_cast<std::size_t>(p) < Pi.size(); };
  for (int p = 1; p <= np && isPoint(p); ++p) Pi[p] = Pj[p] = 0;
  const auto mark = [&](int p, int i, int j) {
    if (isPoint(p)) {
      Pi[p] = i;
      Pj[p] = j;
    }
  };
  for (int i = i1; i <= i2; ++i)
    for (int j = j1; j <= j2; ++j)
      upColumn(columnBottom(i, j), [&](int c) {
        mark(Cpoint1[c], i - 1, j - 1);
        mark(Cpoint5[c], i - 1, j - 1);
        mark(Cpoint2[c], i, j - 1);
        mark(Cpoint6[c], i, j - 1);
        mark(Cpoint3[c], i, j);
        mark(Cpoint7[c], i, j);
        mark(Cpoint4[c], i - 1, j);
        mark(Cpoint8[c], i - 1, j);
      });
}

void setMatchingPoints(int np) {
  for (int p = 1; p <= np; ++p) Pc[p] = p;
  if (!connFlate) return;
  const Table1<int>* corners[4] = {&Fpoint1, &Fpoint2, &Fpoint3, &Fpoint4};
  const long long rows = static_cast<long long>(connFlate.dim(0));
  const auto isPoint = [](int p) { return p >= 1 && static_cast<std::size_t>(p) < Pc.size(); };
  for (long long k = 1; k <= NoConnFlate && k < rows; ++k) {
    const int f0 = connFlate[k][0], f1 = connFlate[k][1];
    for (const Table1<int>* F : corners) {
      const int p = geti(*F, f0);
      if (isPoint(p)) Pc[p] = geti(*F, f1);
    }
  }
}

double layerPercentile(int layer, int b, double fraction) {
  return percentileSize([&](int l) { return get(BSedDistrib, layer, l, b); }, fraction);
}

}  // namespace qorva::output_detail
