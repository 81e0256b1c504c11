// The small tables of the dispatcher: every cell with its flow values ("TarpoPkt.dat"), the bed
// points of the columns ("beddata.sim"), the outline of the wet area ("zebrun"), the depth and
// speed classes ("habitat"), and the checks written to "boogie.spe" (the sloping part of the
// bed, a discharge across a column line, the water, mud and groundwater levels of the mud
// blocks).
// Reads the cell centres, sizes, links, corners and flow values, the surfaces' areas, fluxes
// and normals, Cbed, Bthixolev, Bgroundwater, zval, the blocks, WCStart..WCEnd, Title and
// stimet; writes FlagFirstP and mc_message.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "grid/columns.h"
#include "output/output.h"
#include "output/table_get.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// A table may be asked for a cell or a surface that the run's arrays do not hold (a damaged
// link, a count past the allocation): it reads as 0 instead of past the table.
using output_detail::get;
using output_detail::geti;

int lastCell() {
  return static_cast<int>(std::min<long long>(NoCells, static_cast<long long>(Ccellt.size()) - 1));
}


std::string title() {
  return std::string(Title.data() + 1, strnlen(Title.data() + 1, Title.size() - 1));
}

// A table that cannot be written is left out; the caller says so and the others follow.
bool finish(OutFile& file) { return file.ok() && file.commit(); }

// Depth and depth-averaged horizontal speed of the column over bottom cell c.
struct Column {
  double depth, speed;
};
Column columnOf(int bottom) {
  double dk = 0, sum = 0;
  upColumn(bottom, [&](int c) {
    const double u = get(Cxvel, c), v = get(Cyvel, c), d = get(Ckdist, c);
    dk += d;
    sum += d * std::sqrt(u * u + v * v);
  });
  return {2 * dk, sum / dk};
}

// The class 0..19 of value x of the range 0..most; not a number counts as 0.
int classOf(double x, double most) {
  const double k = std::trunc(20 * x / most - 0.01);
  if (!std::isfinite(k) || k < 0) return 0;
  return k > 19 ? 19 : static_cast<int>(k);
}

// The bottom cells of the work range.
template <class F>
void workColumns(F f) {
  const int last = std::min(WCEnd, lastCell());
  for (int c = std::max(WCStart, 1); c <= last; ++c)
    if (isBottomCell(c)) f(c);
}

void writeProfileRows(std::FILE* f) {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.thixo != 1) continue;
    const int jm = (k.j1 + k.j2) / 2;
    for (int i = k.i1; i <= k.i2; ++i) {
      const int bottom = columnBottom(i, jm);
      // A dry column has no water level to show.
      if (bottom == 0) continue;
      const int t = topOf(bottom), bed = geti(Cbed, bottom);
      std::fprintf(f, "%lf %lf %lf %lf\n", get(Cxcenter, t), get(Czcenter, t) + get(Ckdist, t),
                   get(Bthixolev, bed), get(Bgroundwater, bed));
    }
  }
}

}  // namespace

void writeCellTable() {
  const std::string name =
      numberedResults()
          ? numberedName("tarpo_", {"0000%d.dat", "000%d.dat", "00%d.dat", "0%d.dat", "%d.dat"})
          : std::string("TarpoPkt.dat");
  OutFile file(name);
  if (!file.ok()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
  const int last = lastCell();
  for (int c = 1; c <= last; ++c)
    file.printf("%lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %le\n", get(Cxcenter, c),
                get(Cycenter, c), get(Czcenter, c), get(Cxvel, c), get(Cyvel, c), get(Czvel, c),
                get(Cpres, c), get(Ckinen, c), get(Cepsilon, c), get(Cgamma, c),
                get(Cconc, 0, c));
  if (!file.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
}

bool writeBedPoints() {
  OutFile file("beddata.sim");
  if (!file.ok()) return false;
  const int last = lastCell();
  for (int c = 1; c <= last; ++c)
    if (isBottomCell(c))
      file.printf("%lf %lf %lf\n", get(Cxcenter, c), get(Cycenter, c),
                  get(Czcenter, c) - get(Ckdist, c));
  return finish(file);
}

bool writeWetOutline() {
  OutFile file("zebrun");
  if (!file.ok()) return false;
  const int last = lastCell();
  for (int c = 1; c <= last; ++c) {
    if (!isBottomCell(c)) continue;
    const int p[5] = {0, geti(Cpoint1, c), geti(Cpoint2, c), geti(Cpoint3, c), geti(Cpoint4, c)};
    // South, east, north, west: the side without a neighbour and the corners of its bottom edge.
    const int side[4][3] = {{geti(Ccells, c), 1, 2},
                            {geti(Ccelle, c), 2, 3},
                            {geti(Ccelln, c), 4, 3},
                            {geti(Ccellw, c), 1, 4}};
    for (const auto& s : side)
      if (s[0] == 0)
        file.printf("%lf %lf\n", (get(Px, p[s[1]]) + get(Px, p[s[2]])) / 2,
                    (get(Py, p[s[1]]) + get(Py, p[s[2]])) / 2);
  }
  return finish(file);
}

bool writeHabitat() {
  double hmax = 0, umax = 0;
  workColumns([&](int c) {
    const Column col = columnOf(c);
    hmax = std::max(hmax, col.depth);
    umax = std::max(umax, col.speed);
  });
  double ad[20] = {}, av[20] = {};
  workColumns([&](int c) {
    const Column col = columnOf(c);
    const double area = get(Farea, geti(Cflateb, c));
    ad[classOf(col.depth, hmax)] += area;
    av[classOf(col.speed, umax)] += area;
  });
  OutFile file("habitat");
  if (!file.ok()) return false;
  file.printf("Depth (m), area (m2), velocity (m/s), area(m2)\n");
  for (int n = 1; n <= 20; ++n)
    file.printf("%lf %lf %lf %lf\n", n * hmax / 20, ad[n - 1], n * umax / 20, av[n - 1]);
  return finish(file);
}

bool writeSlopingFraction() {
  double sloping = 0, flat = 0;
  workColumns([&](int c) {
    const int t = topOf(c), f = geti(Cflateb, c);
    const double u = get(Cxvel, t), v = get(Cyvel, t), nx = get(Fvx, f), ny = get(Fvy, f);
    const double cosine = (u * nx + v * ny) / std::sqrt((u * u + v * v) * (nx * nx + ny * ny) + 1e-20);
    const double nz = std::clamp(get(Fvz, f), -1.0, 1.0);
    (std::acos(nz) * cosine > 0.2967 ? sloping : flat) += get(Farea, f);
  });
  OutFile file("boogie.spe");
  if (!file.ok()) return false;
  file.printf("Fraction of sloping area: %lf\n", sloping / (flat + sloping + 1e-20));
  return finish(file);
}

bool writeDischargeCheck() {
  double flux = 0, va = 0;
  const GridBlock& k = block[1];
  const int i = k.i2 / 2 - 1, j = k.j2 / 2 - 1;
  int c = NoBlocks >= 1 ? columnBottom(i, j) : 0;
  if (c != 0) {
    c = topOf(c);
    for (int n = 0; n <= NoCells && isGridCell(geti(Ccells, c)); ++n) c = Ccells[c];
    for (int n = 0; n <= NoCells && isGridCell(c); ++n, c = geti(Ccelln, c))
      downColumn(c, [&](int m) {
        const int e = geti(Cflatee, m);
        flux += get(Fflux, e);
        va += get(Cxvel, m) * get(Farea, e);
      });
  }
  OutFile file("boogie.spe");
  if (!file.ok()) return false;
  file.printf("Discharge (l/s): flux: %lf, velocity*area: %lf\n", flux, 1000 * va);
  return finish(file);
}

bool writeLevelProfile(bool appended) {
  if (!appended || FlagFirstP == 0) {
    const std::string name = !appended && numberedResults()
                                 ? numberedName("boogie.spe", {"000%d", "00%d", "0%d", "%d"})
                                 : std::string("boogie.spe");
    OutFile file(name);
    if (!file.ok()) return false;
    if (appended) {
      file.printf("%s\n", title().c_str());
      file.printf("X, Zsurf, Zthixo, Zgroundwater\n\n");
      file.printf("\nTime: %lf seconds\n", stimet);
    } else {
      file.printf("%s time: %lf seconds\n", title().c_str(), stimet);
      file.printf("X, Zsurf, Zthixo, Zgroundwater\n\n");
    }
    writeProfileRows(file.get());
    if (!finish(file)) return false;
    if (appended) FlagFirstP = 1;
    return true;
  }
  File file("boogie.spe", "a");
  if (!file) return false;
  std::fprintf(file.get(), "\nTime: %lf seconds\n", stimet);
  writeProfileRows(file.get());
  return file.close();
}

}  // namespace qorva
