// The grid consistency test (F 1 A in every inner iteration of the flow driver): the
// neighbour links both ways, the owners of each cell's surfaces, the corners a cell shares with
// its surfaces and the side walls next to the bed. It only reports, one line per failed check.
// Reads the cell and surface topology, Farea, Cbed, Bcellt, F 488; writes mc_message.
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Logs the failure of check n for cell c; a log that cannot be opened ends the run with -3.
void fail(int n, int c) {
  logf("Error %d in grid for cell %d\n", n, c);
  mc_message = strf("Error %d in grid for cell %d ", n, c);
}

// A neighbour link read back: the neighbour's neighbour on the opposite side must be c, or 0.
void symmetry(int n, int c, int back) {
  if (back != c && back != 0) fail(n, c);
}

// The corners 1..4 of surface f must be the cell corners p.
void corners(int first, int c, int f, const int (&p)[4]) {
  const Table1<int>* fp[4] = {&Fpoint1, &Fpoint2, &Fpoint3, &Fpoint4};
  for (int k = 0; k < 4; ++k)
    if ((*fp[k])[f] != p[k]) fail(first + k, c);
}

// A side of c is open when its surface has an area and c no neighbour there.
bool open(int f, int neighbour) { return f > 0 && Farea[f] > 1e-10 && neighbour == 0; }

// Checks 100 to 113: a side of a cell near the bed may not be open where the bottom cell of
// its column has a neighbour on that side.
void bedSides(int c) {
  const int open4[4] = {open(Cflatew[c], Ccellw[c]), open(Cflatee[c], Ccelle[c]),
                        open(Cflates[c], Ccells[c]), open(Cflaten[c], Ccelln[c])};
  // c directly above the bottom cell b of its column.
  const int b = Ccellb[c];
  if (b > 0 && Ccellb[b] == 0) {
    const int nb[4] = {Ccellw[b], Ccelle[b], Ccells[b], Ccelln[b]};
    for (int k = 0; k < 4; ++k)
      if (open4[k] && nb[k] != 0) fail(100 + k, c);
  }
  if (!Cbed || !Bcellt) return;
  const int bed = Cbed[c];
  if (bed <= 0 || static_cast<std::size_t>(bed) >= Bcellt.size()) return;
  const int bottom = Bcellt[bed];
  if (bottom <= 0) return;
  // 110 east, 111 west, 112 south, 113 north.
  const int order[4] = {1, 0, 2, 3};
  const int nb[4] = {Ccellw[bottom], Ccelle[bottom], Ccells[bottom], Ccelln[bottom]};
  for (int k = 0; k < 4; ++k)
    if (open4[order[k]] && nb[order[k]] > 0) fail(110 + k, c);
}

void testCell(int c, bool standard) {
  symmetry(1, c, Ccelln[Ccells[c]]);
  symmetry(2, c, Ccells[Ccelln[c]]);
  symmetry(3, c, Ccelle[Ccellw[c]]);
  symmetry(4, c, Ccellw[Ccelle[c]]);
  symmetry(5, c, Ccellt[Ccellb[c]]);
  symmetry(6, c, Ccellb[Ccellt[c]]);

  // The alternative generation may leave a cell without a side surface.
  const int e = Cflatee[c], n = Cflaten[c], w = Cflatew[c], s = Cflates[c];
  const int t = Cflatet[c], b = Cflateb[c];
  auto exists = [standard](int f) { return standard || f != 0; };
  if (exists(e) && Fcell1[e] != c) fail(7, c);
  if (exists(n) && Fcell1[n] != c) fail(8, c);
  if (Fcell1[t] != c) fail(9, c);
  if (exists(w) && Fcell2[w] != c) fail(10, c);
  if (exists(s) && Fcell2[s] != c) fail(11, c);
  if (Fcell2[b] != c) fail(12, c);

  const int p1 = Cpoint1[c], p2 = Cpoint2[c], p3 = Cpoint3[c], p4 = Cpoint4[c];
  const int p5 = Cpoint5[c], p6 = Cpoint6[c], p7 = Cpoint7[c], p8 = Cpoint8[c];
  if (exists(e)) corners(13, c, e, {p2, p3, p7, p6});
  if (exists(s)) corners(17, c, s, {p1, p5, p6, p2});
  if (exists(w)) corners(21, c, w, {p1, p4, p8, p5});
  if (exists(n)) corners(25, c, n, {p4, p8, p7, p3});
  corners(29, c, b, {p1, p2, p3, p4});
  corners(33, c, t, {p5, p6, p7, p8});

  if (standard) bedSides(c);
}

}  // namespace

void gridTest() {
  const bool standard = UMethod2 == 0;
  for (int c = WCStart; c <= WCEnd; ++c) testCell(c, standard);
}

}  // namespace qorva
