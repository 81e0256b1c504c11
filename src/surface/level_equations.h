// The two-dimensional water-level equations: one row per water column at its bottom cell, the
// neighbour weights and wanted level differences they are built from, the builders of the
// change-based equations (five and nine points), the semi-implicit equation with its weirs,
// and the node update that puts a solved equation on the grid. Private to surface/.
#pragma once

#include "state/blocks.h"
#include "state/cells.h"
#include "state/table.h"
#include "surface/worked_blocks.h"

namespace qorva {

// Neighbour weight for the cosine c between the flow direction and the direction to the
// neighbour (c > 0: the neighbour lies downstream) at the Froude number Fr, by F 278 and F 36.
double computeCoeffSurf(double c, double Fr);
// Wanted change (m) of the level difference between top cell p and neighbour top cell nb at
// horizontal distance d: the clipped pressure slope times d less the present top-level
// difference.
double computeDhSurf(int nb, int p, double d);
// The same from the Manning-Strickler friction slope of face s between top cells a and b
// (Strickler coefficient M, sign -1 on the west and south side).
double computeDhMann(int a, int b, int s, int sign, double d, double M);

// Ends the run when F 278 or F 438 select no neighbour weight or direction cosine.
void checkLevelWeightOptions();

// Builders of the change-based equations of F 36 4, 7 and 8; 4 and 8 end with the pins of
// setSurfaceBoundary, 7 leaves them to the caller.
void computeCoeffTFS4();
void computeCoeffTFS7();
void computeCoeffTFS8();
// The rows of F 36 8, or of F 36 7 in the separate builder's form or (`driverSeven`) in the
// update driver's, after clearing the nine-point storage; no pins.
void buildNinePointRows(bool driverSeven);
// F 405: FlagTFS7 / TimeStep on the central coefficient of every worked column; ends the run
// without a time step.
void ninePointTimeTerm();

// The semi-implicit equation of F 36 9: conductances, time term and start levels; the
// velocity source of F 322 second value 1; the weir pins of G 28; the solved change stored per
// bed cell (F 271 3, 4).
void computeCoeffCasulli();
void computeSourceCasulli();
void computeWeirs();
void computeBDeltah();
// The level (m) a weir of coefficient C and exponent n holds over its crest for discharge Q
// (m3/s) in either direction.
double weirLevel(double crest, double C, double n, double Q);

// Node levels from the solved column values (Cf at the bottom cells): the mean of the columns
// around each node, relaxed; the downwind form weights the columns the node lies downstream of.
void surfaceUpdate();
void surfaceUpdateDownwind();

namespace surf {

// While it lives, Cf designates its own array, so that a level equation cannot write into the
// flow field the driver last solved; the field is designated again at the end.
class OwnLevelField {
 public:
  OwnLevelField() : saved_(Cf) { Cf.pointOwn(); }
  ~OwnLevelField() { Cf = saved_; }
  OwnLevelField(const OwnLevelField&) = delete;
  OwnLevelField& operator=(const OwnLevelField&) = delete;

 private:
  FieldRef saved_;
};

// Neighbour link of cell c through table `to`, 0 for no cell or one outside the grid.
int link(const Table1<int>& to, int c);

// A water column's depth and flow from its bottom cell c upward: K the sum of the half
// heights, h = 2 K, Um the depth-averaged speed, Fr its Froude number.
struct ColumnFlow {
  double K = 0, h = 0, Um = 0, Fr = 0;
};
ColumnFlow columnFlow(int c);

// Horizontal distance (m) of the centres of cells a and b.
double horizontalDistance(int a, int b);

// The eight neighbour columns of bottom cell c, nb[1..8] = north, north-west, west,
// south-west, south, south-east, east, north-east (their bottom cells, 0 where absent); the
// diagonals through the cell links, the first path tried first. nb[0] = c.
void ninePointNeighbours(int c, int (&nb)[9]);

// F 246 second value on a row: 2 a central coefficient of at least 1; on a row whose weights
// sum to less than 0.01 (an isolated column), 4 the change to critical depth (Froude number
// Fr, depth D) and 5 no change.
void isolatedRow(int c, double Fr, double D);

// Calls f(i, j, c) for every column position i1-1..i2, j1-1..j2 of the worked blocks that has
// a bottom cell c.
template <class F>
void forEachRow(F f) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j)
        if (const int c = columnBottom(i, j); c > 0) f(i, j, c);
  }
}

// Pins the row of bottom cell `bottom` to the level change that brings its column's top
// to `level`.
void pinToLevel(int bottom, double level);

}  // namespace surf

}  // namespace qorva
