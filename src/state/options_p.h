// Settings of the P data sets (graphics and printing).
#pragma once

#include "state/table.h"

namespace qorva {

// P 2: scale factors and shifts of the plotted coordinates.
inline double xscale = 1.0, yscale = 1.0, zscale = 1.0, movex = 0.0, movey = 0.0;
// P 3: grid line, level and sediment size of the plotted planes and variable.
inline int xnode = 2, ynode = 2, znode = 2, lnode = 1;
// P 4: letter of the graphics variable written without a G 24 list.
inline char graph = 'g';
// P 5 to P 8: plotting settings that are only kept.
inline int OGLindex = 0;
inline double OGLmin = 0, OGLmax = 0;
inline int OGLminmax = 0;  // 1 once P 6 gave a range
inline char VerHorPar = 0;
inline int FlagGraphAvg = 0;
// P 9, P 10, P 11: numbered component files, result print interval, extra iteration line.
inline int PrintComp = 0;
inline int PrintRes = 0;
inline int PrintSpecials = 0;
// P 12, P 13: plotted cross-sections and longitudinal sections, entries 1..50.
inline int PlotCrossStart = 0, PlotCrossNo = 0;
inline Fixed<int, 51> PlotCross;
inline int PlotLongStart = 0, PlotLongNo = 0;
inline Fixed<int, 51> PlotLong;
// P 14, P 15.
inline double TimeTimerPrint = 0.0;
inline int PrintResAlways = 0;
// P 16: print window.
inline int PrintIStart = 0, PrintIEnd = 0, PrintJStart = 0, PrintJEnd = 0;

// P 17: columns i1, i1 + istep, .. i2 by j1, j1 + jstep, .. j2 of vertical profiles.
struct VerticalProfile {
  int i1, i2;
  int j1, j2;
  int istep;
  int jstep;
};
inline int NoVProfiles = 0;  // P 17
inline Fixed<VerticalProfile, 1000> VProfiles;  // P 17: records 1..NoVProfiles, at most 999

// P 18: cross-sections written by the interpolated-result writer, entries 1..NoCrossPrint.
inline int NoCrossPrint = 0;
inline Fixed<int, 1000> CrossPrint;  // at most 999 entries

}  // namespace qorva
