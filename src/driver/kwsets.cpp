// Data sets K (solver settings) and W (initial flow, grid-generation points) of `control`.
// Writes the globals of state/options_kw.h; checks the W indexes against the G 1 sizes
// xnumber, ynumber, znumber.
#include "driver/kwsets.h"

#include <string>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// Entries that the appended lists may fill (the tables hold one more: entry 0 is not used).
constexpr int kMaxInitNumber = 299;
constexpr int kMaxMWall = 29;
constexpr int kMaxFast = 19999;
constexpr int kMaxAttract = 199;

// K 4 to K 6: the values of equations 1..6, each checked as soon as it is read, so the values
// before a bad one stay stored.
void readPerEquation(DataSetReader& r, Fixed<int, 50>& table, int hi) {
  const std::string text = strf("Input error for K %d in control", r.number());
  for (int e = 1; e <= 6; ++e) {
    r.i(table[e]);
    r.require(in(table[e], 0, hi), text);
  }
}

// The checks of a W 4 plane that depend on the grid sizes: its index and the ends of its ranges.
void checkMWallSizes(int n, const MovingWallRecord& w) {
  const int nodeMax = w.dir == 1 ? xnumber : w.dir == 2 ? ynumber : znumber;
  const int aMax = w.dir == 1 ? ynumber : xnumber;
  const int bMax = w.dir == 3 ? ynumber : znumber;
  if (!in(w.node, 1, nodeMax))
    failf(1, "Input error for W 4 in control\nA-MWall(%d).node = %d\n", n, w.node);
  if (w.a2 > aMax || w.b2 > bMax) failf(1, "Input error for W 4 in control\nB-MWall(%d)\n", n);
}

void checkFastPoint(int n) {
  if (!in(iFast[n], 0, xnumber) || !in(jFast[n], 0, ynumber))
    failf(1, "Input error for W 6 in control, data set no. %d\n", n);
}

void checkAttractPoint(int n) {
  const AttractionPoint& a = Attract[n];
  if (a.i < 0 || a.j < 0 || a.i > xnumber || a.j > ynumber || a.type > 3)
    failf(1, "Integer error, for data set W 7, %d\n", n);
}

void addKsets(DataSetTable& t) {
  t.push_back({'K', 1,
               "Iteration limits: the largest number of outer iterations (or time steps) of the "
               "flow, and the outer iterations between surface updates of a G 6 reference cell",
               declared(iterGlobalMax, IterSurface),
               [](DataSetReader& r) { r.i(iterGlobalMax); r.i(IterSurface); }});
  t.push_back({'K', 2,
               "Wall and roof switches of the flow solution (the roof switch enables the classic "
               "free-surface update)",
               declared(FlagWall, FlagRoof),
               [](DataSetReader& r) {
                 r.i(FlagWall); r.i(FlagRoof);
                 r.require(in(FlagWall, 0, 1) && in(FlagRoof, 0, 1), "Input error for K 2 in control");
               }});
  // The flow drivers divide by the relaxation factors, so a factor of 0 is refused.
  t.push_back({'K', 3,
               "Under-relaxation factors: velocities (1..3), pressure (4), k (5), epsilon (6)",
               declared(relax),
               [](DataSetReader& r) {
                 for (int e = 1; e <= 6; ++e) {
                   const bool got = r.d(relax[e]);
                   r.require(got && relax[e] > 0.0 && relax[e] <= 5.0, "Input error for K 3 in control");
                 }
               }});
  t.push_back({'K', 4, "Solver sweeps per equation",
               declared(sweeps),
               [](DataSetReader& r) { readPerEquation(r, sweeps, 200); }});
  t.push_back({'K', 5,
               "Accelerator of each of the six equations (u, v, w, pressure, k, epsilon): 1 the "
               "block correction every inner iteration, 10 the multigrid form; K 5 0 0 0 1 0 0 "
               "speeds up a long reach",
               declared(blockcorr),
               [](DataSetReader& r) { readPerEquation(r, blockcorr, 20); }});
  t.push_back({'K', 6,
               "Convection scheme per equation (0 power law, 1 second-order upwind, 10..19 limiter "
               "corrections;)",
               declared(sou),
               [](DataSetReader& r) { readPerEquation(r, sou, 100); }});
}

void addWsets(DataSetTable& t) {
  t.push_back({'W', 1,
               "Initial flow: Manning-Strickler coefficient, discharge (m3/s) and water level of "
               "the initial water surface",
               declared(ManningInit, discharge, level, FlagReadW1),
               [](DataSetReader& r) {
                 r.d(ManningInit); r.d(discharge); r.d(level);
                 FlagReadW1 = 1;
                 r.require(ManningInit >= 1 && ManningInit <= 1800 && discharge >= 1e-10 &&
                               discharge <= 1e15 && level <= 10000,
                           "Input error for W 1 in control");
               }});
  // Without a readable count the list is read with the count it already has.
  t.push_back({'W', 2,
               "A rising list of cross-sections; kept and written back, read by nothing else",
               declared(initnumber, initarray),
               [](DataSetReader& r) {
                 int count = initnumber;
                 r.i(count);
                 r.require(count <= kMaxInitNumber,
                           strf("Input error for W 2 in control\ninitnumber = %d, too large\n", count));
                 initnumber = count;
                 int previous = 0;
                 for (int n = 1; n <= initnumber; ++n) {
                   r.i(initarray[n]);
                   r.require(in(initarray[n], 1, xnumber) && initarray[n] >= previous,
                             "Input error for W 2 in control");
                   previous = initarray[n];
                 }
               }});
  // The appended lists check their count before anything is stored, so no record is ever
  // written past its table.
  t.push_back({'W', 4,
               "A moving-wall plane: direction, sign, node and two index ranges; kept and written "
               "back, read by nothing else",
               declared(MWallNo, MWall),
               [](DataSetReader& r) {
                 const int n = MWallNo + 1;
                 r.require(n <= kMaxMWall, strf("Input error for W 4 in control\nMWallNo = %d, too large\n", n));
                 MovingWallRecord& w = MWall[n];
                 r.i(w.dir); r.i(w.posneg); r.i(w.node); r.i(w.a1); r.i(w.a2); r.i(w.b1); r.i(w.b2);
                 r.require(in(w.dir, 1, 3), strf("Input error for W 4 in control\nMWall(%d).dir = %d\n", n, w.dir));
                 r.require(in(w.posneg, -1, 1),
                           strf("Input error for W 4 in control\nMWall(%d).posneg = %d\n", n, w.posneg));
                 r.require(w.a1 >= 1 && w.b1 >= 1 && w.a1 <= w.a2 && w.b1 <= w.b2,
                           strf("Input error for W 4 in control\nA-MWall(%d)\n", n));
                 checkMWallSizes(n, w);
                 MWallNo = n;
               }});
  t.push_back({'W', 6,
               "A fixed grid point (i, j); the grid reader adds the points of a block-division "
               "boundary to the same list, and the arc placement uses the last three",
               declared(FastNo, iFast, jFast),
               [](DataSetReader& r) {
                 const int n = FastNo + 1;
                 r.require(n <= kMaxFast, "Error, too many W 6 data sets\n");
                 r.i(iFast[n]); r.i(jFast[n]);
                 checkFastPoint(n);
                 FastNo = n;
               }});
  t.push_back({'W', 7,
               "An attraction point for grid generation (AttractionPoint): amplitude and decay of "
               "the elliptic smoothing; kept and written back",
               declared(AttractNo, Attract),
               [](DataSetReader& r) {
                 const int n = AttractNo + 1;
                 r.require(n <= kMaxAttract, "Error, too many W 7 data sets\n");
                 AttractionPoint& a = Attract[n];
                 r.i(a.type); r.i(a.i); r.i(a.j);
                 checkAttractPoint(n);
                 r.d(a.amplitude); r.d(a.decay);
                 AttractNo = n;
               }});
}

}  // namespace

void addKWsets(DataSetTable& t) {
  addKsets(t);
  addWsets(t);
}

void checkKWIndexesAfterReading() {
  for (int n = 1; n <= MWallNo && n <= kMaxMWall; ++n) checkMWallSizes(n, MWall[n]);
  for (int n = 1; n <= FastNo && n <= kMaxFast; ++n) checkFastPoint(n);
  for (int n = 1; n <= AttractNo && n <= kMaxAttract; ++n) checkAttractPoint(n);
}

}  // namespace qorva
