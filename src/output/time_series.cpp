// The time series `timeo`: one line per print time of a transient run, the simulated time and
// the items of the 'O' record of `timei` in force.
// Reads stimet, TimePrint, TimePrintNo, the cell, surface and grid arrays, block[1], the
// discharge groups and the sediment and surface sums; adds to AvDepthTimeo, NoDepthTimeo and
// AvShearTimeo1..4.
#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "grid/columns.h"
#include "output/output.h"
#include "output/table_get.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva {

namespace {

// Cell numbers, components and grid lines of `timei` are checked only for sign when read, and
// the grid changes under them; a number the present grid does not have shows as 0.
using output_detail::get;
using output_detail::geti;

// Whether a cell item names a cell of the present grid; one that does not is said once in the
// log per run, and its value shows as 0.
bool itemCell(char letter, int c) {
  if (isGridCell(c)) return true;
  if (!FlagTimeoWarned) {
    logf("Warning: the time-series item %c refers to cell %d, which the grid does not have; 0 "
         "is written\n",
         letter, c);
    FlagTimeoWarned = 1;
  }
  return false;
}
double cellItem(const Table1<double>& t, char letter, int c) {
  return itemCell(letter, c) ? get(t, c) : 0.0;
}

// The 'O' record in force: the last one whose time has been reached (the first before that).
const TimePrintRecord& recordInForce() {
  int r = 0;
  for (int k = 1; k < TimePrintNo && k < static_cast<int>(TimePrint.size()); ++k)
    if (TimePrint[k].time <= stimet) r = k;
  return TimePrint[r];
}

// Mean concentration of every size row over the cells of each discharge group's boundary.
void groupConcentrations(std::FILE* f) {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& grp = DischargeStruct[g];
    if (grp.surfaceNo <= 0) continue;
    const int count = std::min<int>(grp.surfaceNo, static_cast<int>(grp.surfaceList.size()) - 1);
    std::fprintf(f, "A %d", g);
    double volume = 0;
    for (int m = 1; m <= count; ++m) {
      const int s = grp.surfaceList[m];
      const int c = geti(Fcell1, s) != 0 ? geti(Fcell1, s) : geti(Fcell2, s);
      volume += get(Cvol, c);
    }
    for (int l = 0; l <= lnumber; ++l) {
      double sum = 0;
      for (int m = 1; m <= count; ++m) {
        const int s = grp.surfaceList[m];
        const int c = geti(Fcell1, s) != 0 ? geti(Fcell1, s) : geti(Fcell2, s);
        sum += get(Cconc, l, c) * get(Cvol, c);
      }
      std::fprintf(f, " %10.6e", sum / (volume + 1e-30));
    }
    std::fprintf(f, "  ");
  }
}

// Mean widest eroded strip and mean wet width of the cross-sections of block 1 away from its
// ends.
void stripWidths(std::FILE* f) {
  double widestSum = 0, totalSum = 0;
  int sections = 0;
  if (NoBlocks >= 1) {
    const GridBlock& k = block[1];
    auto bed = [](int i, int j) { return get(zval, i, j, 1); };
    auto erosion = [&](int i, int j) { return get(Surfaces, 0, i, j) - bed(i, j); };
    auto x = [](int i, int j) { return get(xval, i, j); };
    auto y = [](int i, int j) { return get(yval, i, j); };
    for (int i = k.i1 + 3; i <= k.i2 - 4; ++i) {
      double widest = 0, total = 0, strip = 0;
      for (int j = k.j1; j <= k.j2; ++j) {
        const double d = 0.25 * (erosion(i - 1, j - 1) + erosion(i - 1, j) + erosion(i, j - 1) +
                                 erosion(i, j));
        const double wx = (x(i, j) + x(i - 1, j)) - (x(i, j - 1) + x(i - 1, j - 1));
        const double wy = (y(i, j) + y(i - 1, j)) - (y(i, j - 1) + y(i - 1, j - 1));
        const double w = 0.5 * std::sqrt(wx * wx + wy * wy);
        if (static_cast<int>(get(zval, i, j, 0)) > 0) total += w;
        if (d > MinVertDist0) {
          strip += w;
        } else {
          widest = std::max(widest, strip);
          strip = 0;
        }
      }
      widest = std::max(widest, strip);
      widestSum += widest;
      totalSum += total;
      ++sections;
    }
  }
  std::fprintf(f, "%lf %lf", widestSum / (sections + 1e-20), totalSum / (sections + 1e-20));
}

// Sum of Ckdist over the column of top cell c (walking down).
double columnHalfDepth(int c) {
  double sum = 0;
  downColumn(c, [&sum](int m) { sum += Ckdist[m]; });
  return sum;
}

// Reference point of the 'm' items: the first cell of the last point-source record that
// carries the component; (0, 0) when none does. Empty records (count 0) hold id 0 and are no
// sources, so they must not take the place of a source of component 0.
struct Point {
  double x = 0, y = 0;
};
Point sourcePoint(int component) {
  Point p;
  for (int r = 1; r <= 7; ++r) {
    const SurfaceDischargeGroup& g = SurfDischargeStruct[r];
    if (g.id != component || g.count <= 0) continue;
    p.x = get(Cxcenter, g.cells[0]);
    p.y = get(Cycenter, g.cells[0]);
  }
  return p;
}

// Distance from the reference point to the column with the highest mean of the component, and
// that mean; distance 0 when no column has a mean above 0.
void highestColumn(std::FILE* f, int component, const Point& ref) {
  double largest = 0;
  int kept = 0;
  for (int c = 1; c <= NoCells && isGridCell(c); ++c) {
    if (Ccellt[c] != 0) continue;
    double sum = 0;
    int n = 0;
    downColumn(c, [&](int m) {
      sum += get(Ccomp, component, m);
      ++n;
    });
    const double mean = sum / n;
    if (mean > largest) {
      largest = mean;
      kept = c;
    }
  }
  double distance = 0;
  if (kept > 0) {
    const double dx = Cxcenter[kept] - ref.x, dy = Cycenter[kept] - ref.y;
    distance = std::sqrt(dx * dx + dy * dy);
  }
  std::fprintf(f, "%10.6e %10.6e", distance, largest);
}

// Pressure gradient at cell c along one index direction.
double gradient(int c, int plus, int minus, double half) {
  const bool p = isGridCell(plus), m = isGridCell(minus);
  if (p && m) return (Cpres[plus] - Cpres[minus]) / (4 * half);
  if (p) return (Cpres[plus] - Cpres[c]) / (2 * half);
  if (m) return (Cpres[minus] - Cpres[c]) / (2 * half);
  return 0.0;
}

// Bed-force sums over the bottom or top cells; variants 0..3.
void bedForce(std::FILE* f, int variant) {
  double sum = 0;
  for (int c = 1; c <= NoCells && isGridCell(c); ++c) {
    const bool bottom = Ccellb[c] == 0, top = Ccellt[c] == 0;
    switch (variant) {
      case 0:
        if (bottom) sum += 300 * Ckinen[c] * get(Farea, Cflateb[c]);
        break;
      case 1:
        if (top)
          sum += 19600 * columnHalfDepth(c) * std::tan(std::acos(get(Fvz, Cflatet[c]))) *
                 get(Farea, Cflatet[c]);
        break;
      case 2:
        if (bottom) {
          const double u = Cxvel[c], v = Cyvel[c];
          const double k = 0.4 / std::log(30 * Ckdist[c] / get(Croughness, c));
          sum += 1000 * (u * u + v * v) * k * k * get(Barea, geti(Cbed, c));
        }
        break;
      case 3:
        if (top) {
          const double gx = gradient(c, Ccelle[c], Ccellw[c], Cidist[c]);
          const double gy = gradient(c, Ccelln[c], Ccells[c], Cjdist[c]);
          sum += 2 * columnHalfDepth(c) * std::sqrt(gx * gx + gy * gy) * get(Farea, Cflatet[c]);
        }
        break;
      default: break;
    }
  }
  std::fprintf(f, "%10.5le ", sum);
  switch (variant) {
    case 0: AvShearTimeo1 += sum; break;
    case 1: AvShearTimeo2 += sum; break;
    case 2: AvShearTimeo3 += sum; break;
    case 3: AvShearTimeo4 += sum; break;
    default: break;
  }
}

// Twice the mean of the half-depth sums of the columns; 0 without columns.
void meanDepth(std::FILE* f) {
  double sum = 0;
  int columns = 0;
  for (int c = 1; c <= NoCells && isGridCell(c); ++c) {
    if (Ccellb[c] != 0) continue;
    double half = 0;
    upColumn(c, [&half](int m) { half += Ckdist[m]; });
    sum += half;
    ++columns;
  }
  const double depth = columns > 0 ? 2 * sum / columns : 0.0;
  std::fprintf(f, "%lf ", depth);
  AvDepthTimeo += depth;
  ++NoDepthTimeo;
}

}  // namespace

void TimePrintFunction() {
  File file("timeo", "a");
  if (!file) failAppend("timeo", std::strerror(errno), -3);
  std::FILE* f = file.get();
  const TimePrintRecord& r = recordInForce();
  std::fprintf(f, "%10.4e ", stimet);
  bool haveSource = false;
  Point source;
  const int items = std::min<int>(r.itemNo, static_cast<int>(r.var.size()));
  for (int m = 0; m < items; ++m) {
    const char letter = r.var[m];
    const int n = r.level[m];
    switch (letter) {
      case 'a': groupConcentrations(f); break;
      case 'b':
        std::fprintf(f, "%lf %lf %lf ", maxBackwater, scaleBackwater, scaleBackwater2);
        break;
      case 'd': std::fprintf(f, "%10.6e ", cellItem(Cgamma, letter, n)); break;
      case 'e': std::fprintf(f, "%10.6e ", cellItem(Cepsilon, letter, n)); break;
      case 'f':
        std::fprintf(f, "Cont: B I O R %10.6e %10.6e %10.6e %10.6e\n", SumBedChange, SumInflow,
                     SumOutflow, MaxResidual[4]);
        break;
      case 'g': std::fprintf(f, "%lf ", DischargeArray[1]); break;
      case 'h': std::fprintf(f, "%10.6e ", get(zval, r.i[m], r.j[m], znumber)); break;
      case 'i': stripWidths(f); break;
      case 'k': std::fprintf(f, "%10.6e ", cellItem(Ckinen, letter, n)); break;
      case 'm':
        if (!haveSource) {
          source = sourcePoint(n);
          haveSource = true;
        }
        highestColumn(f, n, source);
        break;
      case 'n': std::fprintf(f, "%d ", NoCells); break;
      case 'o': bedForce(f, n); break;
      case 'p': std::fprintf(f, "%10.6e ", cellItem(Cpres, letter, n)); break;
      case 'q': {
        const double v = itemCell(letter, n) ? get(Ccomp, r.extra[m], n) : 0.0;
        std::fprintf(f, "%10.6e ", v);
        break;
      }
      case 'r': meanDepth(f); break;
      case 's': std::fprintf(f, "%lf ", SurfacesBM); break;
      case 't': std::fprintf(f, "%10.5le %10.5le ", medianPressure1, medianPressure2); break;
      case 'u': std::fprintf(f, "%10.6e ", cellItem(Cxvel, letter, n)); break;
      case 'v': std::fprintf(f, "%10.6e ", cellItem(Cyvel, letter, n)); break;
      case 'w': std::fprintf(f, "%10.6e ", cellItem(Czvel, letter, n)); break;
      case 'x': std::fprintf(f, "%10.5le ", PrintMaxErrorSuspSed); break;
      case 'y': {
        double first = 0, last = 0;
        if (NoBlocks >= 1) {
          const GridBlock& k = block[1];
          const int jm = k.j2 / 2 + 1;
          first = get(zval, k.i1 - 1, jm, znumber);
          last = get(zval, k.i2, jm, znumber);
        }
        std::fprintf(f, "%lf %lf ", first, last);
        break;
      }
      case 'z': std::fprintf(f, "%10.6e ", get(zval, r.i[m], r.j[m], 1)); break;
      default: break;  // 'c', 'j', 'l' and anything not a lower-case letter write nothing
    }
  }
  std::fprintf(f, "\n");
  file.closeOrEnd("timeo", -3);
}

}  // namespace qorva
