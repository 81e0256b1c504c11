// What the graphics writers share: the values of the G 24 letters in a cell and at a grid
// point (the water columns are walked with grid/columns.h), and the rule that makes a variable name one word. Private to
// src/output.
#pragma once

#include <cstddef>
#include <string>

#include "grid/columns.h"
#include "state/cells.h"

namespace qorva::output_detail {

// Radians to degrees as the result files have always shown angles (180 / 3.1415).
inline constexpr double kDegrees = 57.29746936176985;

// Grid point (i, j) lies in the structured tables.
bool isGridPoint(long long i, long long j);
// zval[i][j][k], 0 outside the tables.
double zlevel(long long i, long long j, long long k);

// The value of a G 24 record (letter, Z code) in cell c with the bed cell b under it; layer
// and size are the record's bed layer and grain size. Letters without a cell value give 0.
double cellValue(char letter, int code, int c, int b, int layer, int size);
// Letters whose value lives on the structured grid points: z, y, v, s, t, X (and M, the slide
// plane, for the writers that read it there).
double gridPointValue(char letter, long long i, long long j);
// The one naming rule of every variable a writer puts in a file: no blank inside, none at the
// end (a reader takes a name as one word), no comma (it would split a Tecplot list), and the
// percentile of D%2d with a leading zero.
std::string oneWord(std::string name);
// "D%02d" of the fraction di_graph (D05, D50, D90).
std::string percentileTag();

// The case title, from index 1 of Title.
std::string caseTitle();

// A point of a plan view of the columns i1..i2, j1..j2 of a block, with its index (ii, jj) in
// i1 - 1..i2 + 1 and j1 - 1..j2 + 1: inner points lie at column centres, ring points on the
// block outline (at edge midpoints and corners). (iA, iB) and (jA, jB) are the grid lines whose
// four crossings it averages; (I, J) is the column it takes cell values from, the nearest
// column of the block.
struct PlanPoint {
  int iA, iB, jA, jB;
  int I, J;
};
inline PlanPoint planPoint(int i1, int i2, int j1, int j2, int ii, int jj) {
  PlanPoint p;
  p.iA = ii < i1 ? i1 - 1 : (ii > i2 ? i2 : ii);
  p.iB = ii < i1 ? i1 - 1 : (ii > i2 ? i2 : ii - 1);
  p.jA = jj < j1 ? j1 - 1 : (jj > j2 ? j2 : jj);
  p.jB = jj < j1 ? j1 - 1 : (jj > j2 ? j2 : jj - 1);
  p.I = ii < i1 ? i1 : (ii > i2 ? i2 : ii);
  p.J = jj < j1 ? j1 : (jj > j2 ? j2 : jj);
  return p;
}
// The mean of f(i, j) over the four grid-line crossings of a plan point.
template <class F>
double cornerMean(const PlanPoint& p, F f) {
  return (f(p.iA, p.jA) + f(p.iB, p.jA) + f(p.iB, p.jB) + f(p.iA, p.jB)) / 4;
}
// The mean of a grid-point letter (z, y, v, s, t, X, M) over the crossings of a plan point.
inline double cornerMean(const PlanPoint& p, char letter) {
  return cornerMean(p, [letter](int i, int j) { return gridPointValue(letter, i, j); });
}
// pointbed[i][j], the bed cell of column (i, j), 0 outside the table.
int bedCellAt(long long i, long long j);
// xval, yval at grid point (i, j), 0 outside the tables.
double xAt(long long i, long long j);
double yAt(long long i, long long j);

// Pi, Pj of the points 1..np from the corners of the columns i1..i2, j1..j2 (column (i, j)
// spans the grid lines i - 1..i and j - 1..j); points of no such column get 0.
void setPointIndices(int np, int i1, int i2, int j1, int j2);

// Pc of the points 1..np: p itself, or on a block joint the partner point of the joined
// surface, whose cells the point takes its values from.
void setMatchingPoints(int np);

}  // namespace qorva::output_detail
