// Data sets G of `control` (grid sizes, regions, sources, output selection): defaults, readers,
// range checks, and the repeat of the index checks once the final sizes are known.
// Writes the globals of state/options_g.h and WorkBlock; reads MaxCeller, FlagThixo, FlagTSC,
// NoBedLayers, FlagMPI, FlagCohesion, FlagMorphStatistics.
#include "driver/gsets.h"

#include <algorithm>
#include <cstring>

#include "driver/rows.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// Index limits such as xnumber + 4 are formed in 64 bits (4LL): G 1 puts no upper limit on
// the sizes.

void need(bool ok, const char* text, int status = 1) {
  if (!ok) failf(status, "%s", text);
}

// After a read whose format ends in white space ("%d ", "...%lf\n"): the white space is taken
// too, but only when every value of the read was taken.
void skipTrailing(DataSetReader& r, bool allRead) {
  if (allRead) r.input().skipSpace();
}

// Which data set last wrote the globals that two data sets share, so that the checks after
// reading repeat the checks and messages of that data set. 0: not given.
struct Origins {
  int g2 = 0, g9 = 0, g29 = 0;
  int pointSource = 0;       // 4 or 5
  int surface = 0;           // 6 or 62
  Fixed<int, 20> volSource;  // 10 or 11 per record
};
Origins given;

// The table of vertical levels holds 5000 entries and G 3 / G 30 write levels 0..znumber.
constexpr int kMaxZnumber = 4997;

void checkG2() {
  need(2 <= iblok1 && iblok1 <= iblok2 && iblok2 <= xnumber && 2 <= jblok1 && jblok1 <= jblok2 &&
           jblok2 <= ynumber,
       "Input error for G 2 in control");
}

bool pointFirstOk() {
  return in(i_pointsource, 0, xnumber + 4LL) && in(j_pointsource, 0, ynumber + 4LL) &&
         in(k_pointsource, 0, znumber + 4LL);
}

void checkG4() { need(pointFirstOk(), "Input error for G 4 in control"); }

void checkG5() {
  need(pointFirstOk(), "Input error for G 5 in control\nWrong first indexes");
  need(in(i2_pointsource, 0, xnumber + 4LL) && in(j2_pointsource, 0, ynumber + 4LL) &&
           in(k2_pointsource, 0, znumber + 4LL),
       "Input error for G 5 in control\nWrong second indexes");
  need(i_pointsource <= i2_pointsource && j_pointsource <= j2_pointsource &&
           k_pointsource <= k2_pointsource,
       "Input error for G 5 in control\nWrong match beween indexes");
}

bool surfaceOk(double maxConv) {
  return in(iSurf, 0, MaxCeller) && jSurf >= 0 && kSurf >= 0 && RelaxSurface >= 1e-5 &&
         RelaxSurface <= 10 && ConvSurface >= 1e-10 && ConvSurface <= maxConv;
}

void checkG6() { need(surfaceOk(1e7), "Input error for G 6 in control\n"); }

void checkG62() {
  need(surfaceOk(10) && kSurf2 >= 0,
       "Input error for one of the values on the G 62 data set in the in control file\n");
}

void checkG9() { need(in(SpecEnergy, 1, xnumber), "Error for G 9 in control"); }

void checkVolSource(const VolumeSource& v, int set) {
  need(v.i2 <= xnumber + 1LL && v.j2 <= ynumber + 1LL && v.k2 <= znumber + 1LL && v.i1 >= 2 &&
           v.j1 >= 2 && v.k1 >= 2,
       set == 11 ? "Input error for G 11 in control" : "Input error for G 10 in control");
}

void checkOutBlock(const RemovedRegion& o) {
  need(in(o.type, 0, 4) && o.i2 <= xnumber + 1LL && o.j2 <= ynumber + 1LL &&
           o.k2 <= znumber + 1LL && o.i1 >= 2 && o.j1 >= 2 && o.k1 >= 2,
       "Input error for G 13 in control");
}

void checkDebugDump(const DebugPoint& d) {
  need(in(d.type, 1, 6) && in(d.i, 2, xnumber + 1LL) && in(d.j, 2, ynumber + 1LL) &&
           in(d.k, 2, znumber + 1LL),
       "Input error for G 14 in control");
}

void checkBridge(const BridgeRecord& b) {
  need(b.i2 <= xnumber && b.j2 <= ynumber && 2 <= b.i1 && b.i1 <= b.i2 && 2 <= b.j1 &&
           b.j1 <= b.j2 && b.lowerLevel <= b.upperLevel && b.dragCoeff >= 1e-5,
       "Input error for G 22 in control\n");
}

// Item m (from 0) of G 24: a grid level or bed layer, and a grain size.
void checkOutputVariable(const OutputVariable& v, int m) {
  if (!in(v.level, 0, std::max(znumber, NoBedLayers)) || !in(v.sizeNo, 0, lnumber))
    failf(1, "Error in G 24 data set, variable no. %d\n", m + 1);
}

// The letters of a bed layer show layer level - 1 (level 0: layer 0), so their level may not
// pass the layer count of F 134, which is known only once the whole file is read.
void checkLayerLetter(const OutputVariable& v, int m) {
  if (std::strchr("LNafj", v.variable) && v.variable != '\0' && !in(v.level, 0, NoBedLayers))
    failf(1, "Error in G 24 data set, variable no. %d\n", m + 1);
}

// Weir w (from 0); the message counts occurrences from 1.
void checkWeir(const WeirRecord& w, int n) {
  if (!(w.i1 <= w.i2 && w.j1 <= w.j2 && w.i2 < xnumber - 1LL && w.j2 < ynumber - 1LL &&
        w.C >= 1 && w.C <= 3 && w.n >= 1 && w.n <= 3))
    failf(-1, "Error for G 28 in the control file, %d occurrence\n", n + 1);
}

void checkG29() {
  need(2 <= i1Iff && i1Iff <= i2Iff && i2Iff <= xnumber && 2 <= j1Iff && j1Iff <= j2Iff &&
           j2Iff <= ynumber,
       "Error for G 29 in control file\n\n", -1);
}

// ---- readers ----

void readG1(DataSetReader& r) {
  r.i(xnumber); r.i(ynumber); r.i(znumber); r.i(lnumber);
  r.require(xnumber >= 4 && ynumber >= 4 && znumber >= 2 && in(lnumber, 0, 50),
            "Input error for G 1 in control");
  // Refused here, not only when the arrays are sized: G 3 and G 30 fill the level table up to
  // znumber while the file is read.
  // The count in the message is formed in 64 bits: znumber may be as large as an int goes.
  if (znumber > kMaxZnumber)
    failf(-2, "Error - increase zdistrib array, nz = %lld\n", static_cast<long long>(znumber) + 2);
}

void readG3(DataSetReader& r) {
  for (int j = 1; j <= znumber; ++j) {
    const bool got = r.d(zdistrib[j]);
    if (j == 1) zdistrib[0] = zdistrib[1];
    r.require(got && zdistrib[j] >= zdistrib[j - 1], strf("Input error for G 3 in control, j= %d\n", j));
  }
  FlagReadG3 = 1;
}

void readG30(DataSetReader& r) {
  for (int j = 1; j <= znumber; ++j) {
    const bool got = r.d(zdistrib[j]);
    r.require(got && zdistrib[j] >= zdistrib[j - 1], "Input error for G 30 in control");
  }
}

void readPointValues(DataSetReader& r) {
  const int sizes = std::min<int>(lnumber, static_cast<int>(pointsource.size()) - 1);
  for (int l = 1; l <= sizes; ++l) r.d(pointsource[l]);
}

void readG7(DataSetReader& r) {
  r.require(IONo + 1 <= 19, "Input error for G 7 in control\nData sets must not exceed 19\n");
  const int n = IONo + 1;
  InOutRecord& rec = IO[n];
  for (int f = 0; f < 8; ++f) skipTrailing(r, r.i(rec.flag[f]));
  (void)(r.d(rec.value[0]) && r.d(rec.value[1]) && r.d(rec.value[2]) && r.d(rec.value[3]));
  IONo = n;
}

// G 10 and G 11 share the table and its count.
void readVolSource(DataSetReader& r, int set) {
  r.require(VolSourceNo + 1 <= 19, strf("Input error for G %d in control\nData sets must not exceed 19\n", set));
  const int n = VolSourceNo + 1;
  VolumeSource& v = VolSource[n];
  r.i(v.i1); r.i(v.i2); r.i(v.j1); r.i(v.j2); r.i(v.k1); r.i(v.k2);
  r.d(v.value);
  if (set == 10)
    v.value2 = 2.0;
  else
    r.d(v.value2);
  checkVolSource(v, set);
  given.volSource[n] = set;
  VolSourceNo = n;
}

void readG12(DataSetReader& r) {
  r.require(SedSourceNo + 1 <= 19, "Input error for G 12 in control\nData sets must not exceed 19\n");
  const int n = SedSourceNo + 1;
  SedimentSource& s = SedSource[n];
  r.i(s.number);
  if (lnumber > 50) {
    logf("Warning, only the first 50 sediment sizes\n");
    logf("are read on G 12 data sets\n");
    logf("To avvoid this, recompiliation is necessary\n\n");
  }
  const int sizes = std::min(lnumber, 50);
  for (int l = 1; l <= sizes; ++l) r.d(s.concentration[l]);
  r.require(in(s.number, 1, 9), "Input error for G 12, first parameter, in control");
  for (int l = 1; l <= sizes; ++l)
    r.require(s.concentration[l] >= 0 && s.concentration[l] <= 1,
              "Input error for G 12, concentration, in control");
  SedSourceNo = n;
}

void readG13(DataSetReader& r) {
  r.require(OutBlockNo + 1 <= 499, "Input error for G 13 in control\nData sets must not exceed 499\n");
  const int n = OutBlockNo + 1;
  RemovedRegion& o = OutBlock[n];
  r.i(o.type); r.i(o.i1); r.i(o.i2); r.i(o.j1); r.i(o.j2); r.i(o.k1); r.i(o.k2);
  checkOutBlock(o);
  OutBlockNo = n;
}

void readG14(DataSetReader& r) {
  r.require(DebugDumpNo + 1 <= 29, "Input error for G 14 in control\nData sets must not exceed 29\n");
  const int n = DebugDumpNo + 1;
  DebugPoint& d = DebugDump[n];
  r.i(d.type); r.i(d.i); r.i(d.j); r.i(d.k);
  checkDebugDump(d);
  DebugDumpNo = n;
}

void readG18(DataSetReader& r) {
  r.require(UInitNo + 1 <= 19, "Increase array for G 18 and recompile\n", -2);
  const int n = UInitNo + 1;
  for (int v = 1; v <= 6; ++v) skipTrailing(r, r.d(UInit[n][v]));
  UInitNo = n;
}

void readG22(DataSetReader& r) {
  r.require(BridgeNo + 1 <= 19, "Input error for G 22 in control\nNumber of data sets must not exceed 19\n");
  const int n = BridgeNo + 1;
  BridgeRecord& b = Bridge[n];
  r.i(b.i1); r.i(b.i2); r.i(b.j1); r.i(b.j2);
  r.d(b.lowerLevel); r.d(b.upperLevel); r.d(b.dragCoeff);
  checkBridge(b);
  BridgeNo = n;
}

// The letter of an item: spaces before it are passed over (at most ten characters are
// taken), but a line end is a letter, so the items must follow on the count's line.
void readG24Letter(DataSetReader& r, char& letter) {
  ControlInput& in = r.input();
  for (int n = 0; n < 10; ++n) {
    const int ch = in.get();
    if (ch < 0) return;
    letter = static_cast<char>(ch);
    if (ch != ' ') return;
  }
}

void readG24(DataSetReader& r) {
  const bool got = r.i(TecStrucNo);
  r.require(got && TecStrucNo >= 0, "The G 24 data set has to include a positive integer first\n");
  r.require(TecStrucNo <= 299, "Too many points in G 24 data set\n");
  const bool slides = FlagThixo != 0 || FlagMorphStatistics != 0;
  for (int m = 0; m < TecStrucNo; ++m) {
    OutputVariable& v = TecStruc[m];
    readG24Letter(r, v.variable);
    if (v.variable == 'Z') {
      const bool extra = r.i(v.extraInt);
      r.require(extra && in(v.extraInt, 100, 1000),
                "Error for G 24 data set. The Z variable needs an extra integer\n\n");
      r.require(slides || (v.extraInt != 100 && v.extraInt != 101),
                "Error for G 24 data set. The Z variable is only used with slides\n\n");
    }
    if (v.variable == 'M')
      r.require(slides, "Error for G 24 data set. The M variable is only used with slides\n\n");
    const bool both = r.i(v.level) && r.i(v.sizeNo);
    if (!both) failf(1, "Error in G 24 data set, variable no. %d\n", m + 1);
    checkOutputVariable(v, m);
    if (v.variable == 'N')
      r.require(FlagTSC == 3,
                "Error in G 24 data set. The N variable can not be used when the F 37 data set is not 3\n");
    if (v.variable == 'j')
      r.require(FlagCohesion > 0,
                "Error in G 24 data set. The j variable can only be used when the F 385 data set is above zero\n");
  }
}

void readG25(DataSetReader& r) {
  r.i(WorkBlockNo);
  r.require(in(WorkBlockNo, 1, 99), "Error first integer on G 25 data set\n");
  // The count is integer no. 1 of the data set, so block b is integer no. b + 1.
  for (int b = 1; b <= WorkBlockNo; ++b) {
    r.i(WorkBlock[b]);
    r.require(in(WorkBlock[b], 0, 20), strf("Error for integer no. %d on G 25 data set\n", b + 1));
  }
  // A list without a block above 0 would leave the flow computation nothing to work on.
  bool any = false;
  for (int b = 1; b <= WorkBlockNo; ++b) any = any || WorkBlock[b] > 0;
  r.require(any, "Input error for G 25 in control: no work block above 0 is given\n");
}

void readG26(DataSetReader& r) {
  r.i(FlagSurfaceUpdate);
  r.require(in(FlagSurfaceUpdate, 1, 90), "Error first integer on G 26 data set\n");
  for (int b = 1; b <= FlagSurfaceUpdate; ++b) {
    const bool got = r.i(SurfUpdate[b]);
    r.require(got && in(SurfUpdate[b], 0, 10),
              strf("Error after reading %d integer in the G 26 data set\n", b + 1));
  }
}

void readG27(DataSetReader& r) {
  r.require(FlagMPI >= 2,
            "Error for G 27 data set in control file. The F 308 data set\n"
            "must be present in the control file and have an integer above 1\n\n",
            -1);
  r.require(FlagMPI <= 999, "Error for MPI parameters: recompile with increased divisionMPI array\n\n", -1);
  for (int k = 1; k <= FlagMPI; ++k) {
    if (!r.i(divisionMPI[k]))
      failf(-1, "Error for G 27 data set: only %d integers are present.Required number of integers are %d\n\n",
            k, FlagMPI);
    r.require(k == 1 || divisionMPI[k] >= divisionMPI[k - 1],
              "Error in G 27 data set: integers have to be givein in rising order\n\n", -1);
  }
}

void readG28(DataSetReader& r) {
  r.require(NoWeirs < static_cast<int>(Weirs.size()),
            strf("Input error for G 28 in control\nData sets must not exceed %d\n", static_cast<int>(Weirs.size())));
  WeirRecord& w = Weirs[NoWeirs];
  const bool all = r.i(w.i1) && r.i(w.i2) && r.i(w.j1) && r.i(w.j2) && r.d(w.crestLevel) &&
                   r.d(w.C) && r.d(w.n);
  if (!all) failf(-1, "Error for G 28 in the control file, %d occurrence\n", NoWeirs + 1);
  skipTrailing(r, all);
  checkWeir(w, NoWeirs);
  ++NoWeirs;
}

void readG29(DataSetReader& r) {
  const bool all = r.i(i1Iff) && r.i(i2Iff) && r.i(j1Iff) && r.i(j2Iff);
  skipTrailing(r, all);
  need(all, "Error for G 29 in control file\n\n", -1);
  checkG29();
  given.g29 = 29;
}

void readG31(DataSetReader& r) {
  int n = 0;
  const bool got = r.i(n);
  r.require(got && in(n, 1, 20), "Input error for G 31 in control - first parameter");
  const bool value = r.d(inflowMult[n]);
  r.require(value && inflowMult[n] >= 0, "Input error for G 31 in control - second parameter");
}

void readPairs(DataSetReader& r, Fixed<ProfilePair, 50>& pairs, int count) {
  for (int p = 0; p < count; ++p) (void)(r.d(pairs[p].level) && r.d(pairs[p].value));
}

void readG41(DataSetReader& r) {
  const int q = NoQI;
  r.require(q <= 9, "Input error for G 41 in control - too many data sets");
  (void)(r.i(NoVariable[q]) && r.i(NoVertInit[q]));
  r.require(in(NoVertInit[q], 1, 49) && NoVariable[q] >= 0, "Input error for G 41 in control");
  readPairs(r, VertQInit[q], NoVertInit[q]);
  NoQI = q + 1;
}

// Every value is checked and each wrong one named before the run stops: a switch that cannot
// be read would otherwise leave a region threaded or serial without the user knowing.
void readG50(DataSetReader& r) {
  bool wrong = false;
  for (int n = 0; n < 10; ++n) {
    const bool got = r.i(FlagOpenMP[n]);
    if (!got || !in(FlagOpenMP[n], 0, 2)) {
      logf("Error for G 50 data set in control file\n");
      logf("Integer no. %d = %d\n", n, FlagOpenMP[n]);
      wrong = true;
    }
  }
  r.require(!wrong, "The ten G 50 switches are each 0, 1 or 2\n");
}

}  // namespace

void addGsets(DataSetTable& t) {
  t.push_back({'G', 1,
               "Grid sizes: cross-sections (i), grid lines per cross-section (j), vertical levels "
               "(k: a column holds up to k - 2 cells) and sediment sizes",
               declared(xnumber, ynumber, znumber, lnumber), readG1});
  t.push_back({'G', 2, "An index window; read and checked, read by nothing else",
               declared(iblok1, iblok2, jblok1, jblok2, given.g2), [](DataSetReader& r) {
                 r.i(iblok1); r.i(iblok2); r.i(jblok1); r.i(jblok2);
                 checkG2();
                 given.g2 = 2;
               }});
  t.push_back({'G', 3,
               "The table of vertical levels, increasing with k, used as levels by the table-based "
               "vertical distribution methods and the two-layer generator",
               declared(zdistrib, FlagReadG3), readG3});
  t.push_back({'G', 4,
               "A point source with one value per sediment size; read and checked, read by nothing "
               "else",
               declared(i_pointsource, j_pointsource, k_pointsource, i2_pointsource,
                        j2_pointsource, k2_pointsource, pointsource, given.pointSource),
               [](DataSetReader& r) {
                 r.i(i_pointsource); r.i(j_pointsource); r.i(k_pointsource);
                 readPointValues(r);
                 checkG4();
                 given.pointSource = 4;
               }});
  t.push_back({'G', 5, "The same source over an index box", {}, [](DataSetReader& r) {
                 r.i(i_pointsource); r.i(i2_pointsource); r.i(j_pointsource);
                 r.i(j2_pointsource); r.i(k_pointsource); r.i(k2_pointsource);
                 readPointValues(r);
                 checkG5();
                 given.pointSource = 5;
               }});
  t.push_back({'G', 6,
               "Free-surface reference: the reference cell (0: found from the outflow group), a "
               "second cell, the outflow group whose level is fixed, the relaxation of the "
               "surface update and the residual below which it runs",
               declared(iSurf, jSurf, kSurf, RelaxSurface, ConvSurface, given.surface),
               [](DataSetReader& r) {
                 skipTrailing(r, r.i(iSurf) && r.i(jSurf) && r.i(kSurf) && r.d(RelaxSurface) &&
                                     r.d(ConvSurface));
                 checkG6();
                 given.surface = 6;
               }});
  t.push_back({'G', 7,
               "Inflow or outflow record of discharge group n: the first value 0 adds its discharge "
               "to the outflow, others subtract it",
               declared(IONo, IO), readG7});
  t.push_back({'G', 9, "A cross-section number; read by nothing else",
               declared(SpecEnergy, given.g9), [](DataSetReader& r) {
                 r.i(SpecEnergy);
                 checkG9();
                 given.g9 = 9;
               }});
  t.push_back({'G', 10, "A volume source over an index box; read by nothing else",
               declared(VolSourceNo, VolSource, given.volSource),
               [](DataSetReader& r) { readVolSource(r, 10); }});
  t.push_back({'G', 11,
               "The same with an explicit second value; shares the table and the count with G 10",
               {}, [](DataSetReader& r) { readVolSource(r, 11); }});
  t.push_back({'G', 12, "A sediment source; kept and written back to `control.new`",
               declared(SedSourceNo, SedSource), readG12});
  t.push_back({'G', 13, "A region taken out of the grid (RemovedRegion)",
               declared(OutBlockNo, OutBlock), readG13});
  t.push_back({'G', 14, "A debugging point; read by nothing else",
               declared(DebugDumpNo, DebugDump), readG14});
  t.push_back({'G', 18,
               "Initial flow values: the start-up of the flow solution sets velocities, k and "
               "epsilon of every cell from the last G 18 record",
               declared(UInitNo, UInit), readG18});
  t.push_back({'G', 22, "A bridge: index window, lower and upper level and drag coefficient",
               declared(BridgeNo, Bridge), readG22});
  t.push_back({'G', 24,
               "Variables of the graphics results: a count, then per variable its letter, grid "
               "level and grain size",
               declared(TecStrucNo, TecStruc), readG24});
  t.push_back({'G', 25, "The list of blocks in which the computation works",
               declared(WorkBlockNo, WorkBlock), readG25});
  t.push_back({'G', 26,
               "Per-block switch: the free-surface algorithms change the levels only of blocks b "
               "with `SurfUpdate`[b] = 1",
               declared(FlagSurfaceUpdate, SurfUpdate), readG26});
  t.push_back({'G', 27,
               "The first cross-section of each part of the block division; without G 27 the "
               "writer of the division files divides the cross-sections evenly",
               declared(divisionMPI), readG27});
  t.push_back({'G', 28,
               "A weir: columns i1..i2, j1..j2, crest level, coefficient C and exponent n of the "
               "weir law",
               declared(NoWeirs, Weirs), readG28});
  t.push_back({'G', 29, "Index window whose deposited volume the sediment computation reports",
               declared(i1Iff, i2Iff, j1Iff, j2Iff, given.g29), readG29});
  t.push_back({'G', 30,
               "The same distribution without touching `zdistrib`[0] and `FlagReadG3`; nothing is "
               "read when `znumber` is 0",
               {}, readG30});
  t.push_back({'G', 31, "Multiplier n of the inflow sediment concentrations",
               declared(inflowMult), readG31});
  t.push_back({'G', 40, "Vertical temperature profile (level, temperature)",
               declared(NoVerttemp, Verttemp), [](DataSetReader& r) {
                 r.i(NoVerttemp);
                 r.require(in(NoVerttemp, 1, 49), "Input error for G 40 in control");
                 readPairs(r, Verttemp, NoVerttemp);
               }});
  t.push_back({'G', 41, "Initial vertical profile of water-quality component `NoVariable`[q]",
               declared(NoQI, NoVariable, NoVertInit, VertQInit), readG41});
  t.push_back({'G', 42, "A profile location for graphics; read by nothing else",
               declared(NoOGLprofs, OglProf), [](DataSetReader& r) {
                 r.require(NoOGLprofs < 20, "Too many G 42 data sets\n");
                 (void)(r.i(OglProf[NoOGLprofs][0]) && r.i(OglProf[NoOGLprofs][1]));
                 ++NoOGLprofs;
               }});
  t.push_back({'G', 50,
               "Per-region switches of the parallel loops (index 0..9; 1 runs that region "
               "serially)",
               declared(FlagOpenMP), readG50});
  t.push_back({'G', 62, "As G 6, plus the inflow group pinned to the second reference level",
               declared(kSurf2), [](DataSetReader& r) {
                 const bool all = r.i(iSurf) && r.i(jSurf) && r.i(kSurf) && r.i(kSurf2) &&
                                  r.d(RelaxSurface) && r.d(ConvSurface);
                 skipTrailing(r, all);
                 r.require(all, "Input error for G 62 in control. Have you provided 6 parameters?\n");
                 checkG62();
                 given.surface = 62;
               }});
}

void checkGIndexesAfterReading() {
  if (given.g2) checkG2();
  if (given.pointSource == 4) checkG4();
  if (given.pointSource == 5) checkG5();
  if (given.surface == 6) checkG6();
  if (given.surface == 62) checkG62();
  if (given.g9) checkG9();
  for (int n = 1; n <= VolSourceNo; ++n) checkVolSource(VolSource[n], given.volSource[n]);
  for (int n = 1; n <= OutBlockNo; ++n) checkOutBlock(OutBlock[n]);
  for (int n = 1; n <= DebugDumpNo; ++n) checkDebugDump(DebugDump[n]);
  for (int n = 1; n <= BridgeNo; ++n) checkBridge(Bridge[n]);
  for (int m = 0; m < TecStrucNo; ++m) {
    checkOutputVariable(TecStruc[m], m);
    checkLayerLetter(TecStruc[m], m);
  }
  for (int w = 0; w < NoWeirs; ++w) checkWeir(Weirs[w], w);
  if (given.g29) checkG29();
}

}  // namespace qorva
