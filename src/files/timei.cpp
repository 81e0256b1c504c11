// The time series `timei` of a transient run: per time row the discharges, water levels,
// inflow concentrations, time steps, wind, irradiance and air temperature; the alldata print
// times; and the print-time items of `timeo`. The interpolation of the series in time is
// state/timeseries.cpp.
// Writes TimeInTime, TimeInTimStep, TimeInHinn, TimeInHout, QDinn, Cinn, Winn, Irradi, AirTemp,
// TimeInNo, TimeInWind, FlagJTime, FlagDischargeTime, AlldataPrintout, NoAlldataPrintout, TimePrint (all
// but the cells), TimePrintNo, mc_message. Reads DischargeStruct, QTerms, lnumber, Wind.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "files/files.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/timeseries.h"

namespace qorva {

namespace {

// Times of D, Q and C records repeat the time of their row within this margin (s).
constexpr double kSameTime = 0.0001;

// Codes of the file as a whole, beyond those of its records.
constexpr int kUnreadable = 71;  // timei exists but cannot be read
constexpr int kNoRecords = 72;   // timei holds no record

// Reaction terms that need the irradiance, and the one that needs the air temperature (and
// the irradiance and the wind function as well: the heat exchange with the air).
constexpr int kIrradianceCodes[] = {42, 51, 81, 132, 133, 151, 152, 161, 162, 272, 281, 282, 291, 1060, 6100};
constexpr int kAirTemperatureCode = 1060;

bool termNeeds(const int* codes, int n) {
  const int terms = std::clamp(NoTerms, 0, static_cast<int>(QTerms.size()));
  for (int k = 0; k < terms; ++k)
    for (int c = 0; c < n; ++c)
      if (QTerms[k].code == codes[c]) return true;
  return false;
}

// Discharge groups 1..9 that carry an inflow and have been placed on the grid.
int inflowGroups() {
  int g = 0;
  for (int d = 1; d <= 9; ++d)
    if (DischargeStruct[d].inflowFlag == 1 && DischargeStruct[d].surfaceNo > 0) ++g;
  return g;
}

// What one reading of the file needs beyond the globals: the file, what the records carry,
// and the row counters of the records that do not count TimeInNo.
struct Input {
  TextCursor c;
  int groups = 0;              // inflow groups G
  bool wind = false, irradiance = false, airTemperature = false;
  int lastRow = 0;             // the tables hold rows 0..lastRow
  int dqRow = 0, cRow = 0, mRow = 0;
  int dTimes = -1, mTimes = -1;  // 1 when D (M) records define the time rows; -1 undecided
  std::string note;            // a further log line for the error found
  int letter = 0;              // the data set being read

  // A value that cannot be read (a "nan", "inf" or "1e999" among them: no finite number) ends
  // the record with its code; the note says where.
  bool d(double& v) { return c.readDouble(v) || missing(); }
  bool i(int& v) { return c.readInt(v) || missing(); }
  bool missing() {
    if (note.empty()) note = strf("No finite number could be read at %s\n", c.where().c_str());
    return false;
  }
};

bool negative(double t) { return !(t >= 0.0); }  // NaN counts as negative
bool earlierThanRowBefore(int row, double t) { return row > 0 && t < TimeInTime[row - 1]; }
bool otherTime(int row, double t) { return std::fabs(t - TimeInTime[row]) > kSameTime; }

// G x lnumber sediment concentrations, group by group, at lnumber x g + l of the Cinn row.
int readSediment(Input& in, int row, int code) {
  const long long width = static_cast<long long>(Cinn.dim(1));
  for (int g = 0; g < in.groups; ++g)
    for (int l = 1; l <= lnumber; ++l) {
      const long long k = static_cast<long long>(lnumber) * g + l;
      if (k >= width) {
        in.note = strf("The concentration rows hold %lld values, too few for %d sizes of %d "
                       "inflow groups\n", width, lnumber, in.groups);
        return code;
      }
      if (!in.d(Cinn[row][k])) return code;
    }
  return 0;
}

// Water-quality inflow concentrations of the M data sets, at 0.. of the Cinn row.
int readComponents(Input& in, int row) {
  const int n = std::min({CompInflowNo, 20, static_cast<int>(Cinn.dim(1))});
  for (int k = 0; k < n; ++k)
    if (!in.d(Cinn[row][k])) return 10;
  return 0;
}

int readWind(Input& in, int row) {
  if (!in.wind) return 0;
  double w[3];
  if (!(in.d(w[0]) && in.d(w[1]) && in.d(w[2]))) return 12;
  for (int k = 0; k < 3; ++k) Winn[row][k] = w[k];
  TimeInWind = true;
  return 0;
}

int readIrradiance(Input& in, int row) {
  if (in.irradiance && !in.d(Irradi[row])) return 13;
  return 0;
}

int readAirTemperature(Input& in, int row) {
  if (in.airTemperature && !in.d(AirTemp[row])) return 14;
  return 0;
}

int readDischarges(Input& in, int row, int code) {
  for (int g = 1; g <= 9; ++g)
    if (!in.d(QDinn[row][g])) return code;
  return 0;
}

bool downstreamLevelGiven() { return iSurf > 0 || kSurf > 0; }

int recordA(Input& in) {
  double t;
  if (!in.d(t) || NoAlldataPrintout >= 100) return 44;
  in.c.skipSpace();
  AlldataPrintout[NoAlldataPrintout++] = t;
  return 0;
}

int recordC(Input& in) {
  const int row = in.cRow;
  if (row > in.lastRow) return 11;
  double t;
  if (!in.d(t)) return 64;
  if (otherTime(row, t)) return 15;
  if (negative(t)) return 64;
  if (int e = readSediment(in, row, 20)) return e;
  ++in.cRow;
  return 0;
}

int recordD(Input& in) {
  // D records that come before any time row give the times themselves.
  if (in.dTimes < 0) in.dTimes = TimeInNo == 0 ? 1 : 0;
  const int row = in.dqRow;
  if (row > in.lastRow || (in.dTimes == 1 && TimeInNo > in.lastRow)) return 11;
  double t;
  if (!in.d(t)) return 8;
  if (in.dTimes == 1 ? earlierThanRowBefore(row, t) : otherTime(row, t))
    return in.dTimes == 1 ? 9 : 15;
  if (int e = readDischarges(in, row, 102)) return e;
  if (downstreamLevelGiven()) {
    if (!in.d(TimeInHout[row])) return 14;
    TimeInHoutGiven = true;
  }
  if (in.dTimes == 1) {
    TimeInTime[row] = t;
    ++TimeInNo;
  }
  ++in.dqRow;
  if (TimeStep > 1e-8) FlagDischargeTime = 1;
  return 0;
}

int recordH(Input& in) {
  const int row = TimeInNo;
  if (row > in.lastRow) return 11;
  double v[3];
  if (!(in.d(v[0]) && in.d(v[1]) && in.d(v[2])) || negative(v[0])) return 65;
  if (earlierThanRowBefore(row, v[0])) return 9;
  TimeInTime[row] = v[0];
  TimeInHinn[row] = v[1];
  TimeInHout[row] = v[2];
  TimeInHoutGiven = TimeInHinnGiven = true;
  ++TimeInNo;
  FlagJTime = 0;
  return 0;
}

// I and J: time, two discharges, upstream and downstream level (and for J the time step).
int recordIJ(Input& in, bool j) {
  const int row = TimeInNo;
  if (row > in.lastRow) return 11;
  double v[6];
  const bool read = in.d(v[0]) && in.d(v[1]) && in.d(v[2]) && in.d(v[3]) && in.d(v[4]) &&
                    (!j || in.d(v[5]));
  if (!read || negative(v[0])) return 8;
  if (earlierThanRowBefore(row, v[0])) return 9;
  TimeInTime[row] = v[0];
  QDinn[row][0] = v[1];
  QDinn[row][1] = v[2];
  TimeInHinn[row] = v[3];
  TimeInHout[row] = v[4];
  TimeInHoutGiven = TimeInHinnGiven = true;
  if (FlagTSC > 0)
    if (int e = readSediment(in, row, j ? 103 : 101)) return e;
  if (j) {
    if (v[5] < 0) return 12;
    TimeInTimStep[row] = v[5];
  } else if (int e = readWind(in, row)) {
    return e;
  }
  if (int e = readIrradiance(in, row)) return e;
  ++TimeInNo;
  FlagJTime = j ? 1 : 0;
  return 0;
}

int recordM(Input& in) {
  if (in.mTimes < 0) in.mTimes = TimeInNo == 0 ? 1 : 0;
  const int row = in.mRow;
  if (row > in.lastRow) return 11;
  double t, step;
  if (!(in.d(t) && in.d(step)) || negative(t)) return 8;
  if (in.mTimes == 1 && earlierThanRowBefore(row, t)) return 9;
  if (int e = readWind(in, row)) return e;
  if (int e = readComponents(in, row)) return e;
  if (step < 0) return 12;
  if (int e = readIrradiance(in, row)) return e;
  if (int e = readAirTemperature(in, row)) return e;
  TimeInTime[row] = t;
  TimeInTimStep[row] = step;
  ++in.mRow;
  if (in.mTimes == 1) TimeInNo = in.mRow;
  FlagJTime = 1;
  return 0;
}

int recordN(Input& in) {
  const int row = TimeInNo;
  if (row > in.lastRow) return 11;
  double t, step;
  if (!(in.d(t) && in.d(step)) || negative(t)) return 8;
  if (earlierThanRowBefore(row, t)) return 9;
  if (int e = readDischarges(in, row, 10)) return e;
  if (downstreamLevelGiven()) {
    if (!in.d(TimeInHout[row])) return 14;
    TimeInHoutGiven = true;
  }
  if (int e = readWind(in, row)) return e;
  if (int e = readComponents(in, row)) return e;
  if (step < 0) return 12;
  if (int e = readIrradiance(in, row)) return e;
  if (int e = readAirTemperature(in, row)) return e;
  TimeInTime[row] = t;
  TimeInTimStep[row] = step;
  ++TimeInNo;
  FlagJTime = 1;
  return 0;
}

int recordQ(Input& in) {
  const int row = in.dqRow;
  if (row > in.lastRow) return 11;
  double t;
  if (!in.d(t)) return 63;
  if (otherTime(row, t)) return 15;
  if (int e = readDischarges(in, row, 30)) return e;
  ++in.dqRow;
  if (TimeStep > 1e-8) FlagDischargeTime = 1;
  return 0;
}

bool printLetter(char c) {
  static constexpr char kLetters[] = "Qabcdefghikmnopqrstuvwxyz";
  for (const char* p = kLetters; *p; ++p)
    if (*p == c) return true;
  return false;
}

// A print time and its items. The cells of the items belong to the grid generator.
int recordO(Input& in) {
  if (TimePrintNo >= kTimePrintRecords) return 7;
  double t;
  int items;
  if (!(in.d(t) && in.i(items))) return 1;
  in.c.skipSpace();
  if (TimePrintNo > 0 && t < TimePrint[TimePrintNo - 1].time) return 3;
  if (items < 0 || items > kTimePrintItems || negative(t)) return 2;
  TimePrintRecord& r = TimePrint[TimePrintNo];
  r.time = t;
  r.itemNo = items;
  for (int m = 0; m < kTimePrintItems; ++m) {
    r.var[m] = ' ';
    r.level[m] = r.i[m] = r.j[m] = r.extra[m] = 0;
  }
  for (int m = 0; m < items; ++m) {
    char c;
    int v;
    if (!(in.c.readLetter(c) && in.i(v)) || v < 0) return 4;
    if (!printLetter(c)) return 5;
    r.var[m] = c;
    r.level[m] = v;
    int x;
    if (c == 'h' || c == 'z') {
      if (!in.i(x) || x < 0) return 4;
      r.i[m] = v;
      r.j[m] = x;
    } else if (c == 'c') {
      if (!in.i(x) || x < 0 || x > lnumber) return 6;
      r.extra[m] = x;
    } else if (c == 'q') {
      if (!in.i(x)) return 6;
      if (x < 0 || x >= NoComponents) return 17;
      r.extra[m] = x;
    }
  }
  ++TimePrintNo;
  return 0;
}

int record(Input& in, int letter) {
  switch (letter) {
    case 'A': return recordA(in);
    case 'C': return recordC(in);
    case 'D': return recordD(in);
    case 'H': return recordH(in);
    case 'I': return recordIJ(in, false);
    case 'J': return recordIJ(in, true);
    case 'M': return recordM(in);
    case 'N': return recordN(in);
    case 'O': return recordO(in);
    case 'Q': return recordQ(in);
    default: return 0;
  }
}

const char* message(int code) {
  switch (code) {
    case 8: return "Have not read five floats on the I data set, or the time is negative\n";
    case 9: return "The times on the data set are not in increasing order\n";
    case 10: return "Not read enough numbers on the data set\n";
    case 11:
      return "Too many time steps given in the timei file. Use F 81 in the control file or "
             "increase its existing value";
    case 12: return "Have not read three wind parameters on the I data set\n";
    case 13: return "Have not read irradiance parameter on the I data set\n";
    case 15: return "The times on the I/J and D data sets are not the same\n";
    case 20: return "Not read enough concentration numbers on the C data set\n";
    case 30: return "Not read enough discharge numbers on the Q data set\n";
    case 63: return "Have not read time step on the Q data set\n";
    case 64: return "Have not read time step on the C data set\n";
    case 65: return "Have not read three numbers on the H data set\n";
    case 101: return "Not read enough sediment concentrations on the I data set\n";
    case 102: return "Have not read 9 discharges on the D data set\n";
    case 103: return "Not read enough sediment concentrations on the J data set\n";
    case kUnreadable: return "The timei file exists but cannot be read\n";
    case kNoRecords: return "The timei file holds no data set\n";
    default: return nullptr;
  }
}

void reportError(int code, const Input& in) {
  logf("Error in timei file: code %d\n", code);
  if (const char* m = message(code)) logf("%s", m);
  // Code 8 is shared by the D, I, J, M and N data sets, but its text names the I data set.
  if (code == 8 && in.letter >= 'A' && in.letter <= 'Z')
    logf("The data set that could not be read is a %c data set\n", in.letter);
  if (code == 103)
    logf("The number of floats should be %d * %d (sediment sizes * number of inflow groups)\n",
         lnumber, in.groups);
  if (!in.note.empty()) logf("%s", in.note.c_str());
  mc_message = strf("Error in 'timei' file: code %d ", code);
  if (code == 11) mc_message = "Error in 'timei': use F 81 or increase its value";
  logf("Have read %d data sets from timei file: \n", TimeInNo);
  for (int r = 0; r < TimeInNo; ++r) {
    std::string line = strf("%lf ", TimeInTime[r]);
    for (int g = 1; g <= 9; ++g) line += strf(" %lf", QDinn[r][g]);
    logf("%s\n", line.c_str());
  }
}

// The rows read, every PrintRes-th, for checking the input (F 1 D).
// A file that cannot be written ends the run with -4: a check file that is silently missing
// or cut short would mislead.
void writeTimeiOut() {
  OutFile out("timei.out");
  if (!out.ok()) {
    logf("Error opening timei.out file\n\n");
    failWrite("timei.out", out.reason().c_str(), -4);
  }
  std::fprintf(out.get(), "Time q1 q2 q3 h1 h2 c0\n");
  const int step = PrintRes > 0 ? PrintRes : 1;
  for (int r = 0; r < TimeInNo; r += step) {
    double c = 0;
    for (int l = 1; l <= lnumber && l < static_cast<int>(Cinn.dim(1)); ++l) c += Cinn[r][l];
    std::fprintf(out.get(), "%lf %lf %lf %lf %lf %lf %lf\n", TimeInTime[r], QDinn[r][1],
                 QDinn[r][2], QDinn[r][3], TimeInHinn[r], TimeInHout[r], c);
  }
  out.commitOrEnd(-4);
}

bool tablesAllocated() {
  return TimeInTime && TimeInTimStep && TimeInHinn && TimeInHout && Irradi && AirTemp && Cinn &&
         Winn && QDinn;
}

}  // namespace

int ReadTimes() {
  TimeInNo = 0;
  TimeInHoutGiven = TimeInHinnGiven = false;
  TimeInWind = false;
  TimePrintNo = 0;
  // The file is read again before every timed task: the alldata times start afresh too.
  NoAlldataPrintout = 0;

  Input in;
  in.groups = inflowGroups();
  in.wind = TimeStep > 1e-8 && (Wind[0] > 1e-10 || termNeeds(&kAirTemperatureCode, 1));
  in.irradiance = termNeeds(kIrradianceCodes, static_cast<int>(std::size(kIrradianceCodes)));
  in.airTemperature = termNeeds(&kAirTemperatureCode, 1);

  // Without the tables (a steady run) there is nowhere to put the series.
  std::string text;
  if (!tablesAllocated() || !fileExists("timei")) {
    mc_message = "have not used 'timei' file ";
    if (tablesAllocated())
      logf("Warning: have not used 'timei' file: it does not exist, so the discharges and levels "
           "of the control file hold for the whole run\n");
  } else if (!readWholeFile("timei", text)) {
    reportError(kUnreadable, in);
    return kUnreadable;
  } else {
    in.c = TextCursor(std::move(text));
    // Every table has the same rows; F 81 may not exceed them.
    in.lastRow = static_cast<int>(
        std::min<long long>(ArrayTimeSteps, static_cast<long long>(TimeInTime.size()) - 1));
    for (int l = 0; l <= lnumber && l < static_cast<int>(Cinn.dim(1)); ++l) Cinn[0][l] = 0;
    int code = 0;
    const long long limit = 3000LL * ArrayTimeSteps;
    for (long long count = 0; ArrayTimeSteps > 0 && count < limit; ++count) {
      const int ch = in.c.get();
      if (ch == EOF) break;
      in.letter = ch;
      code = record(in, ch);
      if (code != 0) break;
    }
    // A file that gives nothing would leave the run on the constant discharges unnoticed.
    if (code == 0 && TimeInNo == 0 && TimePrintNo == 0 && NoAlldataPrintout == 0 && in.dqRow == 0 &&
        in.cRow == 0 && in.mRow == 0)
      code = kNoRecords;
    if (code != 0) {
      reportError(code, in);
      return code;
    }
    mc_message = "have read 'timei' file ";
  }
  if (debugging == 'D') writeTimeiOut();
  return 0;
}

}  // namespace qorva
