// One column of the bed changes of F 255 0 and 1: its corners, area factors, weights, limits
// and moves, the limited passes that hand on what a corner cannot take, the books of the rest
// and the report of a column left with a large rest. Private to bed/.
#pragma once

#include "bed/bed_grid.h"

namespace qorva::bedcolumn {

// Corners 1..4 of column (i, j) are (i, j), (i, j-1), (i-1, j-1), (i-1, j): (i - kDi, j - kDj).
constexpr int kDi[4] = {0, 0, 1, 1};
constexpr int kDj[4] = {0, 1, 1, 0};

struct Column {
  int i = 0, j = 0;
  int cell = 0;  // bottom cell
  int b = 0;     // bed cell
  int ref = 0;   // reference cell: the bottom cell, or the top one with TopBed 1
  double dz = 0;  // Bedmove of the column, m
  double A = 0;   // plan area, m2
  bedgrid::Around nb;
  double z[4] = {}, s[4] = {};  // corner bed and water levels
  double zmax = 0, zmin = 0, top = 0, low = 0;
  // F: the area factors the moves divide by; G: the plan area that really shares each
  // corner, which a corner move of m changes by the volume m G / 4. The two differ only where
  // an F 205 rule reshapes the factors.
  double F[4] = {}, G[4] = {}, W[4] = {1, 1, 1, 1}, L[4] = {}, M[4] = {};
  double rest = 0;  // change the corners did not take, m over the column
  int ii = 0;       // 5 for an even reference cell, 3 for an odd one
  int passes = 0;   // passes that left a rest of at least 1e-9
};

// Column (i, j) with bed cell b and its bottom cell: the change and the corner levels.
void fill(Column& col, int i, int j, int b);
// The column of the default bed change: false when it has no water column, its bed cell no
// bottom cell, or its change is at most 1e-12.
bool start(Column& col, int i, int j);
// The lowest cell of neighbour column (i + dx, j + dy), dx, dy in -1..1.
int neighbourCell(const bedgrid::Around& a, int dx, int dy);
// Area factors F_k (and G_k): the plan areas of the columns around each corner, inside the
// block of bounds i1..i2, j1..j2 from armap, across its edges from the bed cells of the
// neighbours.
void areaFactors(Column& col, int i1, int i2, int j1, int j2);
// Multiplies the area factors by t and rescales them so that the corners still place the
// column's whole change: a larger factor gives a smaller move, the volume stays.
void scaleFactors(Column& col, const double t[4]);
// The largest move of each corner (F 163).
void limits(Column& col);
// The passes of the limited distribution: every pass adds W R / F to each corner, clips the
// corners at their limits and hands the clipped volume to the next pass; the passes stop when
// the rest falls below the stop of the reference cell's parity, or after F 242 passes.
void limitedPasses(Column& col, double evenStop, double oddStop);
// The rest in BedMoveDefectSum (signed) and BedMoveDefectAbs, as kilograms of solids.
void book(const Column& col);
// The lines of the rest report that describe the column's cell and bed.
void reportDetails(const Column& col);

}  // namespace qorva::bedcolumn
