// Cell makers: a cell handed over in NewCell becomes points, surfaces and a cell with its
// neighbour and side links. Reads NewCell, num, FlagUnstrucWedge, UMethod, znumber and the
// surface and point arrays; appends to Px..Pz, Fpoint1..4, Fcell1/2 (NoPoints, NoSurfaces) and
// fills Cflates..Cflatet, Cpoint1..8, Ccells..Ccellt of the cell. NoCells and the room in the
// tables are the caller's business: it tests the counts after every cell.
#include "grid/cell_template.h"
#include "grid/grid.h"
#include "state/cells.h"
#include "state/options_f050_099.h"
#include "state/options_f250_299.h"
#include "state/options_g.h"
#include "state/points.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Vertical edges shorter than this collapse into one point (wedge cells).
constexpr double kWedgeHeight = 1e-8;

enum Side { South = 1, East = 2, North = 3, West = 4, Bottom = 5, Top = 6 };

struct SideLayout {
  Table1<int>* surface;    // the cell's surface on this side
  Table1<int>* neighbour;  // the cell's neighbour on this side
  int corner[4];           // the cell corners held by Fpoint1..Fpoint4 of the surface
  bool cellFirst;          // a surface made here has the cell in Fcell1 (else in Fcell2)
  int makeOrder[4];        // order in which MakeCell numbers missing corners
  int newOrder[4];         // order in which MakeCellNew numbers them
};

// Sides by code 1 south .. 6 top. The creation orders fix the point numbering, which the grid
// files carry, so they must not change.
const SideLayout kSide[7] = {
    {nullptr, nullptr, {0, 0, 0, 0}, false, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {&Cflates, &Ccells, {1, 5, 6, 2}, false, {1, 2, 5, 6}, {1, 5, 6, 2}},
    {&Cflatee, &Ccelle, {2, 3, 7, 6}, true, {2, 3, 6, 7}, {2, 3, 7, 6}},
    {&Cflaten, &Ccelln, {4, 8, 7, 3}, true, {3, 4, 7, 8}, {4, 8, 7, 3}},
    {&Cflatew, &Ccellw, {1, 4, 8, 5}, false, {1, 4, 5, 8}, {1, 4, 8, 5}},
    {&Cflateb, &Ccellb, {1, 2, 3, 4}, false, {1, 2, 3, 4}, {1, 2, 3, 4}},
    {&Cflatet, &Ccellt, {5, 6, 7, 8}, true, {5, 6, 7, 8}, {5, 6, 7, 8}},
};

Table1<int>* const kFpoint[4] = {&Fpoint1, &Fpoint2, &Fpoint3, &Fpoint4};
Table1<int>* const kCpoint[9] = {nullptr,  &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                                 &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};

// Corner point numbers p[1..8] of the cell in construction; 0 = not known yet.
using Corners = int[9];

// Takes the corner points of every surface given in the template; a later side overwrites
// the corners it shares with an earlier one.
void readGivenSurfaces(Corners p) {
  for (int m = 0; m <= 8; m++) p[m] = 0;
  for (int s = South; s <= Top; s++) {
    const int f = NewCell.flate[s];
    if (f <= 0) continue;
    for (int n = 0; n < 4; n++) p[kSide[s].corner[n]] = (*kFpoint[n])[f];
  }
}

// Gives a top corner the point of the corner below it where the vertical edge has no height.
// Only a known bottom point is passed up: an unknown one would throw away a top point taken
// from a given surface, and the cell would then disagree with that surface.
void mergeFlatEdges(Corners p) {
  for (int m = 1; m <= 4; m++) {
    if (p[m] > 0 && NewCell.z[m + 4] - NewCell.z[m] < kWedgeHeight) p[m + 4] = p[m];
  }
}

// Makes surface f = ++NoSurfaces as side s of cell c, numbering its missing corners in the
// given order.
int newSurface(int s, int c, Corners p, const int order[4]) {
  const SideLayout& side = kSide[s];
  const int f = ++NoSurfaces;
  Fcell1[f] = side.cellFirst ? c : 0;
  Fcell2[f] = side.cellFirst ? 0 : c;
  (*side.surface)[c] = f;
  for (int n = 0; n < 4; n++) {
    const int corner = order[n];
    if (p[corner] == 0) {
      const int q = ++NoPoints;
      Px[q] = NewCell.x[corner];
      Py[q] = NewCell.y[corner];
      Pz[q] = NewCell.z[corner];
      p[corner] = q;
    }
    int slot = 0;
    while (side.corner[slot] != corner) slot++;
    (*kFpoint[slot])[f] = p[corner];
  }
  return f;
}

// Links the six sides of cell c (given surfaces are joined, missing ones made) and stores the
// corners and neighbours of the cell. The cell makers differ in the creation order and in how a
// given bottom or top surface takes the cell.
void linkSides(int c, Corners p, bool newMaker) {
  for (int s = South; s <= Top; s++) {
    const int f = NewCell.flate[s];
    if (f > 0) {
      (*kSide[s].surface)[c] = f;
      if (newMaker && s == Bottom) {
        Fcell2[f] = c;
      } else if (newMaker && s == Top) {
        Fcell1[f] = c;
      } else if (Fcell1[f] != 0) {
        Fcell2[f] = c;
      } else {
        Fcell1[f] = c;
      }
    } else {
      newSurface(s, c, p, newMaker ? kSide[s].newOrder : kSide[s].makeOrder);
    }
  }
  for (int m = 1; m <= 8; m++) (*kCpoint[m])[c] = p[m];
  for (int s = South; s <= Top; s++) (*kSide[s].neighbour)[c] = NewCell.cell[s];
}

// The lowest cell of column (i, j) at or above level k; 0 when there is none.
int lowestCellFrom(int i, int j, int k) {
  for (int m = k; m <= znumber; m++) {
    if (num[i][j][m] != 0) return num[i][j][m];
  }
  return 0;
}

// A bottom corner of the new cell takes the lowest bottom point of the neighbour column on the
// shared grid line when that point is not above the corner, and its vertical edge collapses to
// it: where the neighbour column starts higher, the new cell becomes a wedge.
void takeLowerPoint(Corners p, int corner, int point) {
  if (p[corner] == 0 && Pz[point] - NewCell.z[corner] < kWedgeHeight) {
    p[corner] = point;
    p[corner + 4] = point;
  }
}

void southScan(Corners p, int i, int j, int k) {
  const int cs2 = lowestCellFrom(i, j - 1, k);
  if (cs2 == 0) return;
  takeLowerPoint(p, 1, Cpoint4[cs2]);
  takeLowerPoint(p, 2, Cpoint3[cs2]);
}

void westScan(Corners p, int i, int j, int k) {
  const int cw2 = lowestCellFrom(i - 1, j, k);
  if (cw2 == 0) return;
  takeLowerPoint(p, 1, Cpoint2[cw2]);
  takeLowerPoint(p, 4, Cpoint3[cw2]);
}

// The lowest cell of a column makes its bottom surface before its sides, so that the bottom
// corners exist when the flat edges collapse; the surface is then passed on as a given one.
void bottomFirst(Corners p, int c, int i, int j, int k) {
  if (num[i][j][k - 1] != 0) return;
  NewCell.flate[Bottom] = newSurface(Bottom, c, p, kSide[Bottom].newOrder);
  for (int m = 1; m <= 4; m++) {
    if (NewCell.z[m + 4] - NewCell.z[m] < kWedgeHeight) p[m + 4] = p[m];
  }
}

}  // namespace

int MakeCell(int c) {
  Corners p;
  readGivenSurfaces(p);
  if (FlagUnstrucWedge > 0) mergeFlatEdges(p);
  linkSides(c, p, false);
  return 0;
}

int MakeCellNew(int c, int i, int j, int k) {
  Corners p;
  readGivenSurfaces(p);
  if (FlagUnstrucWedge > 0) mergeFlatEdges(p);

  // Without shared surfaces, the top corners on the grid line shared with the west or south
  // column are the bottom corners of that column's cell one level up.
  if (NewCell.flate[West] == 0) {
    const int cw = num[i - 1][j][k + 1];
    if (cw != 0 && p[5] == 0 && p[8] == 0) {
      p[5] = Cpoint2[cw];
      p[8] = Cpoint3[cw];
    }
  }
  if (NewCell.flate[South] == 0) {
    const int cs = num[i][j - 1][k + 1];
    if (cs != 0 && p[5] == 0 && p[6] == 0) {
      p[5] = Cpoint4[cs];
      p[6] = Cpoint3[cs];
    }
    if (UMethod == 2) {
      if (k <= znumber) {
        southScan(p, i, j, k);
        if (NewCell.flate[West] == 0) westScan(p, i, j, k);
      }
      bottomFirst(p, c, i, j, k);
    }
  } else if (UMethod == 2) {
    if (NewCell.flate[West] == 0 && k <= znumber) westScan(p, i, j, k);
    bottomFirst(p, c, i, j, k);
  }

  linkSides(c, p, true);
  return 0;
}

}  // namespace qorva
