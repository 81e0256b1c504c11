// Data sets P of `control` (graphics and printing): one reader for every P number, since a
// number below 1 is an error while P 1 and numbers above 18 are skipped.
// Writes the globals of state/options_p.h; reads the G 1 sizes xnumber, ynumber, znumber, lnumber.
#include <string>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// Entries that the lists may fill (the tables hold one more: entry 0 is not used).
constexpr int kMaxPlotList = 50;
constexpr int kMaxVProfiles = 999;
constexpr int kMaxCrossPrint = 999;

// P 12 and P 13: a start, a count and the listed sections.
void readPlotList(DataSetReader& r, int& start, int& no, Fixed<int, 51>& list) {
  r.i(start); r.i(no);
  r.require(r.count() >= 2 && start >= 1 && no <= kMaxPlotList,
            strf("Error 1 reading P %d data set\n", r.number()));
  for (int n = 1; n <= no; ++n) {
    const bool got = r.i(list[n]);
    r.require(got && in(list[n], 1, 10000), strf("Error 2 reading P %d data set\n", r.number()));
  }
}

void readVProfile(DataSetReader& r) {
  const int n = NoVProfiles + 1;
  // Checked before anything is stored, so no record is written past the table.
  r.require(n <= kMaxVProfiles,
            strf("Error for reading P 17 data set no. %d\nToo many P 17 data sets, at most %d\n\n", n,
                 kMaxVProfiles),
            -99);
  VerticalProfile& p = VProfiles[n];
  r.i(p.i1); r.i(p.i2); r.i(p.istep); r.i(p.j1); r.i(p.j2); r.i(p.jstep);
  r.require(r.count() >= 6 && p.i1 <= p.i2 && p.j1 <= p.j2,
            strf("Error for reading P 17 data set no. %d\n\n", n), -99);
  NoVProfiles = n;
}

void readCrossPrint(DataSetReader& r) {
  const bool got = r.i(NoCrossPrint);
  r.require(got && NoCrossPrint >= 1, "Error for P 18 data set in control file\n\n", -99);
  r.require(NoCrossPrint <= kMaxCrossPrint,
            strf("Error for P 18 data set in control file\nToo many numbers, at most %d\n\n", kMaxCrossPrint),
            -99);
  for (int n = 1; n <= NoCrossPrint; ++n) {
    const bool value = r.i(CrossPrint[n]);
    r.require(value && CrossPrint[n] >= 1 && CrossPrint[n] < xnumber - 2,
              strf("Error for number %d on P 18 data set in control file\n\n", n), -99);
  }
}

void readP(DataSetReader& r) {
  const int number = r.number();
  if (number < 1) failf(-1, "Error in boogie file: data set P %d does not exist\n\n", number);
  switch (number) {
    case 2:
      r.d(xscale); r.d(yscale); r.d(zscale); r.d(movex); r.d(movey);
      break;
    case 3:
      r.i(xnode); r.i(ynode); r.i(znode); r.i(lnode);
      r.require(xnode >= 1 && in(ynode, 0, ynumber + 1) && in(znode, 1, znumber + 1) && in(lnode, 0, lnumber),
                "Input error for P 3 in control");
      break;
    case 4: r.c(graph); break;
    case 5: r.i(OGLindex); break;
    case 6:
      r.d(OGLmin); r.d(OGLmax);
      r.require(r.count() >= 2 && OGLmin <= OGLmax, "Input error for P 6 in control");
      OGLminmax = 1;
      break;
    case 7: r.c(VerHorPar); break;
    case 8: r.i(FlagGraphAvg); break;
    case 9: r.i(PrintComp); break;
    case 10: r.i(PrintRes); break;
    case 11: r.i(PrintSpecials); break;
    case 12: readPlotList(r, PlotCrossStart, PlotCrossNo, PlotCross); break;
    case 13: readPlotList(r, PlotLongStart, PlotLongNo, PlotLong); break;
    case 14: {
      const bool got = r.d(TimeTimerPrint);
      r.require(got && TimeTimerPrint >= 0, "Error reading P 14 data set\n");
      break;
    }
    case 15: {
      const bool got = r.i(PrintResAlways);
      r.require(got && PrintResAlways >= 0, "Error reading P 15 data set\n");
      break;
    }
    case 16:
      r.i(PrintIStart); r.i(PrintIEnd); r.i(PrintJStart); r.i(PrintJEnd);
      r.require(r.count() >= 4 && PrintIStart >= -1 && PrintIEnd <= xnumber + 1 && PrintJStart >= 1 &&
                    PrintJEnd <= ynumber + 1,
                "Error reading P 16 data set\n");
      break;
    case 17: readVProfile(r); break;
    case 18: readCrossPrint(r); break;
    default: break;  // P 1 and numbers above 18 have no values
  }
}

}  // namespace

void addPsets(DataSetTable& t) {
  t.push_back({'P', kAnyNumber,
               "Print and graphics settings, one per number: P 3 the graphics node, P 10 numbered "
               "results every n iterations, P 15 results after iteration n, P 17 vertical "
               "profiles, P 18 printed cross-sections",
               declared(xscale, yscale, zscale, movex, movey, xnode, ynode, znode, lnode, graph,
                        OGLindex, OGLmin, OGLmax, OGLminmax, VerHorPar, FlagGraphAvg, PrintComp,
                        PrintRes, PrintSpecials, PlotCrossStart, PlotCrossNo, PlotCross,
                        PlotLongStart, PlotLongNo, PlotLong, TimeTimerPrint, PrintResAlways,
                        PrintIStart, PrintIEnd, PrintJStart, PrintJEnd, NoVProfiles, VProfiles,
                        NoCrossPrint, CrossPrint),
               readP});
}

}  // namespace qorva
