// Reference columns of the water level: the column (iPres, jPres) whose level anchors the
// free surface and the optional second column (iPres2, jPres2), found from the G 6 / G 62
// cells or from the plan points of the G 6 outflow group. Reads iSurf, jSurf, kSurf, the
// discharge groups, zval, xval, yval, Ccellb, Ccellt, Cflatet, Farea, Fcell1, Fcell2.
#include <algorithm>
#include <cmath>

#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {
namespace {

using surf::boundaryCell;
using surf::listedSurfaces;

constexpr int kGroups = 9;

// Moves cell c down its column to the bottom cell and finds the column whose bottom cell it
// is. False when c is no cell of the grid or no column starts with it.
bool columnOfCell(int& c, int& iFound, int& jFound) {
  if (!isGridCell(c)) return false;
  c = bottomOf(c);
  for (int i = 1; i <= xnumber; ++i)
    for (int j = 1; j <= ynumber; ++j)
      if (columnBottom(i, j) == c) {
        iFound = i;
        jFound = j;
        return true;
      }
  return false;
}

// Column (i, j) is the reference when the midpoint of its edge nodes lies on the group's point
// within a ten-thousandth of the width of its top face.
bool hits(int i, int j, double xm, double ym, double xk, double yk) {
  const int top = columnTop(i, j);
  if (top == 0) return false;
  const int f = Cflatet[top];
  if (f <= 0 || f >= static_cast<long long>(Farea.size())) return false;
  const double tol = 0.0001 * std::sqrt(std::fabs(Farea[f]));
  return std::fabs(xm - xk) < tol && std::fabs(ym - yk) < tol;
}

void take(int i, int j) {
  iPres = i;
  jPres = j;
  iSurf = columnTop(i, j);
}

// The group's point nearest to the middle of its points, searched on the outer edges of the
// main-grid blocks; the last edge with a hit gives the column.
void groupSearch() {
  if (kSurf <= 0 || FlagMPI != 0) return;
  const DischargeGroup& g = DischargeStruct[kSurf];
  const int n = std::min(g.xyNo, static_cast<int>(g.x.size()));
  if (n <= 0) return;  // no points to search for
  int k = 0;
  if (n > 1) {
    double xmin = g.x[1], xmax = g.x[1], ymin = g.y[1], ymax = g.y[1];
    for (int p = 2; p < n; ++p) {
      xmin = std::min(xmin, g.x[p]);
      xmax = std::max(xmax, g.x[p]);
      ymin = std::min(ymin, g.y[p]);
      ymax = std::max(ymax, g.y[p]);
    }
    const double xc = (xmin + xmax) / 2, yc = (ymin + ymax) / 2;
    double best = 0;
    for (int p = 1; p < n; ++p) {
      const double d2 = (g.x[p] - xc) * (g.x[p] - xc) + (g.y[p] - yc) * (g.y[p] - yc);
      if (k == 0 || d2 < best) {
        best = d2;
        k = p;
      }
    }
  }
  const double xk = g.x[k], yk = g.y[k];
  auto mid = [](int ia, int ja, int ib, int jb, double& xm, double& ym) {
    xm = (xval[ia][ja] + xval[ib][jb]) / 2;
    ym = (yval[ia][ja] + yval[ib][jb]) / 2;
  };
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& B = block[b];
    if (B.aux4 != 1) continue;  // nested blocks take no part
    double xm = 0, ym = 0;
    for (int j = B.j1; j <= B.j2; ++j) {
      mid(B.i2, j - 1, B.i2, j, xm, ym);
      if (hits(B.i2, j, xm, ym, xk, yk)) {
        take(B.i2, j);
        break;
      }
    }
    for (int j = B.j1; j <= B.j2; ++j) {
      mid(B.i1 - 1, j - 1, B.i1 - 1, j, xm, ym);
      if (hits(B.i1, j, xm, ym, xk, yk)) {
        take(B.i1, j);
        break;
      }
    }
    for (int i = B.i1; i <= B.i2; ++i) {
      mid(i - 1, B.j2, i, B.j2, xm, ym);
      if (hits(i, B.j2, xm, ym, xk, yk)) {
        take(i, B.j2);
        break;
      }
    }
    for (int i = B.i1; i <= B.i2; ++i) {
      mid(i - 1, B.j1 - 1, i, B.j1 - 1, xm, ym);
      if (hits(i, B.j1, xm, ym, xk, yk)) {
        take(i, B.j1);
        break;
      }
    }
  }
}

// True when some surface of group g has cell c as its cell.
bool groupHasCell(int g, int c) {
  const DischargeGroup& d = DischargeStruct[g];
  const int n = listedSurfaces(d);
  for (int s = 0; s < n; ++s)
    if (boundaryCell(d.surfaceList[s]) == c && c != 0) return true;
  return false;
}

}  // namespace

void SetiPresjPres() {
  logf("%s", "");  // the log must be writable before anything is searched
  // Only groups 1..9 exist; a larger G 6 group number would name no group at all.
  if (kSurf > kGroups)
    failf(-4, "Error in G 6 or G 62 data set: discharge group %d does not exist, the groups "
              "are numbered 1 to %d\n", kSurf, kGroups);

  if (referenceFromSurfaceCell()) {
    if (iPres == 0 && iSurf >= 0) {
      if (iSurf > 0) {
        if (FlagMPI == 0 && !columnOfCell(iSurf, iPres, jPres))
          failf(-1,
                "Error in algorithm for G 6/62 data set. Have not found (i,j) indexes\n"
                "for cell number %d, first integer on the data set.\n"
                "Searched areas i=%d,%d; j=%d,%d\n\n",
                iSurf, 1, xnumber, 1, ynumber);
      } else {
        groupSearch();
      }
    }
  } else if (iPres == 0 && iSurf == 0) {
    groupSearch();
  }

  if (surfaceDriverAlgorithm() && jSurf > 0 && iPres2 == 0 && FlagMPI == 0 &&
      !columnOfCell(jSurf, iPres2, jPres2))
    failf(-1,
          "Error in algorithm for G 6/62 data set. Have not found (i,j) indexes\n"
          "for cell number %d, second integer on data set.\n\n",
          jSurf);

  logf("G 6/62 2D reference indexes: %d %d %d %d\n", iPres, jPres, iPres2, jPres2);

  if (FlagMPI == 0 && kSurf >= 1 && FlagReadUnstruc != 4 && !groupHasCell(kSurf, iSurf))
    failf(-4,
          "Error in G 6 or G 62 data set: Cell number %d is not in discharge group %d\n"
          "This error can be caused by a too low 'to' value the 'Vertical level' \n"
          "part in the input dialog box of the discharge editor, when the unstruc file was "
          "made.\n",
          iSurf, kSurf);
}

}  // namespace qorva
