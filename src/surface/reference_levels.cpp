// Reference levels of a free-surface update and the pins of the water-level equation. Reads
// iPres, jPres, iPres2, jPres2, jSurf, kSurf, kSurf2, the discharge groups, the timei levels,
// Cpres, Czcenter, Ckdist, the deposit offsets; writes GlobZRef, GlobPresRef, GlobZRef2,
// GlobPresRef2, FlagDSO1, NoNumSurfUpdate, stimeWL1, stimeWL2 (and Cpres under F 416 2, 3),
// and the pinned rows of Cap, Csource (and Cf under F 36 9).
#include <algorithm>
#include <cmath>

#include "files/files.h"
#include "output/output.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "surface/columns.h"
#include "surface/surface.h"

namespace qorva {

namespace {

using surf::boundaryCell;
using surf::bottomOf;
using surf::columnBottom;
using surf::columnTop;
using surf::listedSurfaces;
using surf::topFace;
using surf::topOf;

constexpr double kPin = 1e20;

bool groupHasSurfaces(int g) {
  return g >= 1 && g <= 9 && listedSurfaces(DischargeStruct[g]) > 0;
}

[[noreturn]] void dryWithoutGroup() {
  logf("Error 1 in Surface update, reference cell %d %d is dry\n", iPres, jPres);
  logf("This may be due to drying up of the reference cell area\n");
  logf("If the 2D index does not fit, the problem may be due to that\n");
  logf("the choise of the number of the G 6 data set was done when F 112 1\n");
  logf("was used in the control file.\n\n");
  logf("The problem may be solved by using G 6 0 0 X ... \n");
  logf("where X is the number of the discharge group of the outflow region\n\n");
  // Without G 6 (or G 62, or F 91) no reference was ever chosen: that is the cause, not a
  // column that dried up.
  if (iPres == 0 && jPres == 0 && iSurf == 0 && kSurf == 0)
    logf("The reference cell is 0 0 because control holds no G 6 data set: the free surface of "
         "F 36 %d needs G 6 to find its reference, for instance G 6 0 0 2 0.1 0.01 with 2 the "
         "outflow group\n",
         FlagTFS);
  mc_program = strf("Error, reference cell %d %d is dry      ", iPres, jPres);
  endRun(-1);
}

[[noreturn]] void dryWithoutOutlet() {
  logf("Error 2 in Surface update, reference cell is dry\n");
  logf("This is probablye due to a grid split where the cells in front \n");
  logf("of the outflow area have dried up\n\n");
  logf("Writing alldata file\n\n");
  WriteAllData();
  sprintflow();
  endRun(-5);
}

// The outflow group whose boundary touches cell cRef; the search is repeated at every update
// until one is found (the last group with such a surface).
void findOutletGroup(int cRef) {
  if (FlagDSO1 != -1 || kSurf <= 0 || cRef == 0) return;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.inflowFlag != 0) continue;
    const int n = listedSurfaces(d);
    for (int s = 0; s < n; ++s)
      if (boundaryCell(d.surfaceList[s]) == cRef) {
        FlagDSO1 = g;
        break;
      }
  }
}

// Top cell of the column of the middle boundary surface of the outlet group.
int outletColumnTop() {
  if (FlagDSO1 < 1 || FlagDSO1 > 9) return 0;
  const DischargeGroup& d = DischargeStruct[FlagDSO1];
  const int n = listedSurfaces(d);
  if (n == 0) return 0;
  return topOf(boundaryCell(d.surfaceList[n / 2]));
}

// Mean pressure of the cells from c down to the bottom of its column.
double columnMeanPressure(int c) {
  double sum = 0;
  int n = 0;
  for (int k = c, guard = 0; surf::surfaceCell(k) && guard < NoCells; k = Ccellb[k], ++guard) {
    sum += Cpres[k];
    ++n;
  }
  return n > 0 ? sum / n : 0.0;
}

// GlobPresRef2 and GlobZRef2 from the G 62 inflow group: the mean pressure of its cells and
// the mean level of those that are top cells. A group without a top cell among them (its
// surfaces all below the surface layer) takes the mean top level of the columns instead, so
// that the level stays the water level of the inflow. True when the group gave them.
bool inflowGroupReference() {
  if (kSurf2 <= 0 || kSurf2 > 9 || DischargeStruct[kSurf2].inflowFlag != 1 ||
      !groupHasSurfaces(kSurf2))
    return false;
  const DischargeGroup& d = DischargeStruct[kSurf2];
  const int n = listedSurfaces(d);
  double pres = 0, level = 0, columnLevel = 0;
  int tops = 0, columns = 0;
  for (int s = 0; s < n; ++s) {
    const int c = boundaryCell(d.surfaceList[s]);
    if (c == 0) continue;
    pres += Cpres[c];
    if (Ccellt[c] == 0) {
      level += topFace(c);
      ++tops;
    }
    columnLevel += topFace(topOf(c));
    ++columns;
  }
  GlobPresRef2 = pres / n;
  if (tops > 0)
    GlobZRef2 = level / tops;
  else if (columns > 0)
    GlobZRef2 = columnLevel / columns;
  return true;
}

// F 416: the reference pressure (and level) from the cells of the outflow group kSurf; with
// value 3 only the cells whose |pressure| lies below the F 416 interval count. A group none of
// whose cells count leaves the references as they stood rather than setting them to zero.
void outflowGroupReference() {
  if (FlagPresDownstream <= 0 || kSurf <= 0 || kSurf > 9 ||
      DischargeStruct[kSurf].inflowFlag != 0 || !groupHasSurfaces(kSurf))
    return;
  const DischargeGroup& d = DischargeStruct[kSurf];
  const int n = listedSurfaces(d);
  double pres = 0, level = 0;
  int counted = 0, tops = 0;
  for (int s = 0; s < n; ++s) {
    const int c = boundaryCell(d.surfaceList[s]);
    if (c == 0) continue;
    if (FlagPresDownstream == 3 && !(std::fabs(Cpres[c]) < IntervalPresDownstream)) continue;
    pres += Cpres[c];
    ++counted;
    if (Ccellt[c] == 0) {
      level += topFace(c);
      ++tops;
    }
  }
  if (counted > 0) GlobPresRef = pres / (counted + 1e-30);
  if (tops > 0) GlobZRef = level / (tops + 1e-30);
  if (FlagPresDownstream == 2 || FlagPresDownstream == 3) {
    for (int c = 1; c <= NoCells; ++c) Cpres[c] -= GlobPresRef;
    GlobPresRef = 0;
  }
}

// F 439: the deposit offsets on the first row of the level series (a run without series has
// no level to offset).
void depositOffsets() {
  if (FlagDepthDeposit <= 0 || TimeInNo <= 0 || !TimeInHout || !TimeInHinn) return;
  const double out = TimeInHout[0], in = TimeInHinn[0];
  switch (FlagDepthDeposit) {
    case 2:
      GlobZRef = out + depthDepositOut;
      GlobZRef2 = in + depthDepositIn;
      break;
    case 3: {
      const double m = (depthDepositOut + depthDepositIn) / 2;
      GlobZRef = out + m;
      GlobZRef2 = in + m;
      break;
    }
    case 4: {
      const double sum = depthDepositOut + depthDepositIn;
      GlobZRef = out + sum;
      GlobZRef2 = in + sum;
      break;
    }
    default:  // 1 and above 4
      GlobZRef = out + depthDepositOut;
      break;
  }
}

// A level read back from the reference column (or from the group cells) follows the surface
// it anchors: the pressure-based node update pins no column, and the water-level equations
// pin the row of the reference column while its corner nodes still move with the columns
// around them, so the level would creep one update after the other, without end. Without a
// level series the levels found at the first update are kept. The backwater curve of F 36 30
// is such a case too: it lays the outlet line at the reference level and the lines upstream
// higher, so the top of the outlet column, whose upstream corners lie on the next line up,
// stands above the level it was laid from, and read back at every update it would lift the
// whole curve by that much each time. The shift of F 36 3 and the algorithms of F 36 5, 6
// and 10 set theirs as they go; the road of F 323 2 has none.
bool heldReferences() {
  if (FlagSurface2 == 2 || TimeInNo > 0) return false;
  switch (FlagTFS) {
    case 3: case 5: case 6: case 10:
      return false;
    default:
      return true;
  }
}

void holdLevel(double& level, double& held) {
  if (held < -1e10)
    held = level;
  else
    level = held;
}

void pin(int bottom, double target) {
  Cap[bottom] = kPin;
  Csource[bottom] = kPin * target;
}

// Pins the row of the column with bottom cell `bottom` to `level`: the change that brings its
// top cell there, or the level itself where the solved variable is the level (F 36 9).
void pinColumn(int bottom, double level) {
  if (bottom == 0) return;
  const int top = topOf(bottom);
  pin(bottom, FlagTFS == 9 ? level : level - topFace(top));
}

// The bottom cells of group g's boundary surfaces, pinned to `level`; surfaces of cells higher
// up in a column are passed over.
void pinGroup(int g, double level) {
  if (g <= 0 || g > 9) return;
  const DischargeGroup& d = DischargeStruct[g];
  const int n = listedSurfaces(d);
  for (int s = 0; s < n; ++s) {
    const int c = boundaryCell(d.surfaceList[s]);
    if (c != 0 && Ccellb[c] == 0) pinColumn(c, level);
  }
}

// F 36 9: the group discharges as sources of the level equation, inflow groups adding and
// outflow groups taking away, spread by area over their columns.
void dischargeSources() {
  for (int flag : {1, 0}) {
    const double sign = flag == 1 ? 1.0 : -1.0;
    for (int g = 1; g <= 9; ++g) {
      const DischargeGroup& d = DischargeStruct[g];
      if (d.inflowFlag != flag || !groupHasSurfaces(g)) continue;
      const double q = 0.001 * DischargeArray[g] / (1e-30 + d.area);
      const int n = listedSurfaces(d);
      for (int s = 0; s < n; ++s) {
        const int f = d.surfaceList[s];
        const int b = bottomOf(boundaryCell(f));
        if (b == 0) continue;
        const int bed = Cflateb[b];
        if (bed <= 0) continue;
        Csource[b] += sign * Farea[f] * q / (Faz[bed] + 1e-30);
      }
    }
  }
}

}  // namespace

int computeSurfaceReferences() {
  GlobZRef2 = 0;
  int cRef = columnTop(iPres, jPres);
  const int cRef2 = jSurf != 0 ? columnTop(iPres2, jPres2) : 0;
  if (cRef == 0 && FlagDSO1 == -1 && kSurf == 0 && FlagTFS != 3) dryWithoutGroup();

  stimeWL1 = stimeWL2;
  stimeWL2 = stimet;
  NoNumSurfUpdate += 1;

  findOutletGroup(cRef);
  if (cRef == 0) {
    if (FlagDSO1 > 0) cRef = outletColumnTop();
    if (cRef == 0 && FlagTFS != 3) dryWithoutOutlet();
  }

  if (FlagTFS == 3) {
    if (surf::onSurfacePlane(iPres, jPres)) GlobZRef = zval[iPres][jPres][znumber];
  } else if (TimeInNo > 0 || jSurf != 0 || kSurf != 0 || GlobZRef < -1e10) {
    GlobZRef = topFace(cRef);
  }

  if (cRef == 0)
    GlobPresRef = 0;
  else if (FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7)
    GlobPresRef = columnMeanPressure(cRef);
  else
    GlobPresRef = Cpres[cRef];
  if (cRef2 > 0) {
    GlobZRef2 = topFace(cRef2);
    GlobPresRef2 = Cpres[cRef2];
  }

  const bool inflowGroup = inflowGroupReference();
  outflowGroupReference();
  if (heldReferences()) {
    holdLevel(GlobZRef, GlobZRefHeld);
    if (cRef2 > 0 || inflowGroup) holdLevel(GlobZRef2, GlobZRef2Held);
  }

  if (TimeInNo > 0) {
    GlobZRef = timeSeriesValue(TimeInHout, stimet);
    if (cRef2 > 0) GlobZRef2 = timeSeriesValue(TimeInHinn, stimet);
  }
  depositOffsets();

  if (debugging == 'D')
    logf("In surface generation, iSurfLocal = %d, iSurfLocal2 = %d, ZRef = %lg, ZRef2 = %lg\n",
         cRef, cRef2, GlobZRef, GlobZRef2);
  return cRef;
}

void setSurfaceBoundary() {
  pinColumn(columnBottom(iPres, jPres), GlobZRef);
  if (jSurf > 0) pinColumn(columnBottom(iPres2, jPres2), GlobZRef2);
  if (kSurf > 0) pinGroup(kSurf, GlobZRef);
  if (kSurf2 > 0) pinGroup(kSurf2, GlobZRef2);
  if (FlagTFS != 9) return;
  dischargeSources();
  if (jSurf != 0 || columnBottom(iPres, jPres) == 0) return;
  surf::forEachWorkedColumn([](int i, int j) {
    const int c = columnBottom(i, j);
    if (c != 0) Cf[c] = std::max(Cf[c], GlobZRef);
  });
}

}  // namespace qorva
