// Side files read once `control` is complete: the `geodata` pre-scan and `cyclic`, `inflow`,
// `inspace`. Reads FlagReadW1, znumber, lnumber, InspaceAlloc; writes level, zdistrib, the
// cyclic and inflow profiles, FlagHaveReadCyclic, inflowj, inflowk, FlagInspace, inspace,
// TinspaceTime, Tinspace, InspaceTimeNo.
#include "driver/side_files.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "driver/control.h"
#include "state/inflow_profiles.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

constexpr long kGeodataLines = 10000000;
constexpr long kInflowRecords = 600000;
constexpr int kInspaceScanLimit = 60000;
// The inspace tables hold sizes and points 0..19; records give sizes 1..lnumber, points 1..10.
constexpr int kInspaceSizes = 20;
constexpr int kInspacePoints = 10;

// The side files are small tables, read whole (readWholeFile) and parsed with the
// formatted-input rules of `control` (ControlInput).

// Ten values of a B or C record; false with the number (1..10) of the value that was missing.
bool readTenValues(ControlInput& in, double (&v)[kInspacePoints + 1], int& missing) {
  for (int p = 1; p <= kInspacePoints; ++p) {
    if (!in.readDouble(v[p])) {
      missing = p;
      return false;
    }
  }
  return true;
}

void readInspaceB(ControlInput& in) {
  if (InspaceAlloc > 0)
    failf(-12,
          "Error in inspace file or F 294 data set: The B data set in the inspace\n"
          "file can not be used with the F 294 data set in the control file\n");
  int s = 0;
  if (!in.readWholeInt(s) || s < 1 || s > lnumber)
    failf(-8, "Error in reading the inspace file, not correct first integer on the B data set\n");
  if (s >= kInspaceSizes)
    failf(-8,
          "Error in reading the inspace file, size %d on the B data set: at most %d sizes can be "
          "given\n",
          s, kInspaceSizes - 1);
  double v[kInspacePoints + 1];
  int missing = 0;
  if (!readTenValues(in, v, missing))
    failf(-8, "Error in reading the inspace file, not enough data on the B data set\n");
  for (int p = 1; p <= kInspacePoints; ++p) inspace[s][p] = v[p];
}

void readInspaceT(ControlInput& in) {
  if (InspaceAlloc <= 0)
    failf(-9,
          "Error in reading inspace file, the T data set has to be used together with the F 294 "
          "data set\n");
  if (InspaceTimeNo >= InspaceAlloc + 2) failf(-10, "Error in reading inspace file, increase F 294 integer\n");
  double t = 0;
  // A row without its time would carry a time the file never gave.
  if (!in.readDouble(t))
    failf(-11, "Error in reading inspace file, no time on the T data set for time step %d\n",
          InspaceTimeNo);
  if (InspaceTimeNo > 0 && t < TinspaceTime[InspaceTimeNo - 1])
    failf(-11, "Error in reading inspace file, time steps has to increase for time step %d\n",
          InspaceTimeNo);
  TinspaceTime[InspaceTimeNo] = t;
  ++InspaceTimeNo;
}

void readInspaceC(ControlInput& in) {
  if (InspaceAlloc <= 0)
    failf(-9,
          "Error in reading inspace file, the C data set has to be used together with the F 294 "
          "data set\n");
  // The values go to the row of the latest T record, so there must be one.
  if (InspaceTimeNo <= 0)
    failf(-9, "Error in reading inspace file, the C data set has to follow a T data set\n");
  const int row = InspaceTimeNo - 1;
  const double time = TinspaceTime[row];
  int s = 0;
  if (!in.readWholeInt(s) || s < 1 || s > lnumber)
    failf(-8,
          "Error in reading the inspace file, not correct first integer on the C data set\n"
          "for time step %lf\n\n",
          time);
  if (s >= kInspaceSizes)
    failf(-8,
          "Error in reading the inspace file, size %d on the C data set: at most %d sizes can be "
          "given\n"
          "for time step %lf\n\n",
          s, kInspaceSizes - 1, time);
  double v[kInspacePoints + 1];
  int missing = 0;
  if (!readTenValues(in, v, missing))
    failf(-8,
          "Error in reading the inspace file, not enough data on the C data set\n"
          "for time step %lf, size no: %d, point no: %d\n\n",
          time, s, missing);
  for (int p = 1; p <= kInspacePoints; ++p) Tinspace[row][s][p] = v[p];
}

}  // namespace

void preScanGeodata() {
  std::FILE* f = std::fopen("geodata", "r");
  if (!f) return;
  double zmin = 1e20, zmax = -1e20;
  long lines = 0;
  double x = 0, y = 0, z = 0;
  while (lines < kGeodataLines && std::fscanf(f, "E %lf %lf %lf\n", &x, &y, &z) == 3) {
    if (!std::isfinite(z)) break;  // "nan" or "inf" is no level; the list ends there
    ++lines;
    if (z < zmin) zmin = z;
    if (z > zmax) zmax = z;
  }
  std::fclose(f);
  if (lines == 0) {
    // The start values 1e20 and -1e20 would become the water level and the grid levels.
    logf("Warning: no line of the form 'E x y z' in the geodata file, so the water level and\n"
         "the vertical distribution keep the values of the control file\n\n");
    return;
  }
  level = zmax + 1.0;
  for (int i = 0; i <= 10; ++i) zdistrib[i + 1] = zmin + i * (zmax - zmin) / 10;
}

void readCyclicFile() {
  std::string text;
  if (!readWholeFile("cyclic", text)) {
    logf("Have not used cyclic file\n");
    return;
  }
  ControlInput in(std::move(text));
  int k = 1;
  for (; k <= znumber; ++k) {
    // The profile ends with the file; a line that is there but cannot be read ends the run.
    if (in.atEnd()) break;
    int index = 0;
    double u = 0, kin = 0, eps = 0;
    if (!(in.readWholeInt(index) && in.readDouble(u) && in.readDouble(kin) && in.readDouble(eps)))
      failf(-8,
            "Error in reading cyclic file, %s: each line holds a level and three finite numbers\n",
            in.where().c_str());
    if (index != k) {
      logf("Warning: line %lld of the cyclic file gives level %d where level %d was expected; the "
           "lines from there on are not used\n",
           in.line(), index, k);
      break;
    }
    if (k >= kCyclicLevels)
      failf(-2,
            "Error in reading cyclic file, too large index in cyclic file: %d\n"
            "Note that at most %d levels can be given\n",
            k, kCyclicLevels - 1);
    cyclicU[k] = u;
    cyclicK[k] = kin;
    cyclicE[k] = eps;
  }
  const int points = k - 1;
  logf("Have read %d points from cyclic file\n", points);
  if (points > 1) FlagHaveReadCyclic = 1;
}

void readInflowFile() {
  std::string text;
  if (!readWholeFile("inflow", text)) {
    logf("Have not used inflow file\n");
    return;
  }
  ControlInput in(std::move(text));
  long count = 0;
  while (count < kInflowRecords) {
    // The letter is the very next character: the first of the file, and after a record the
    // first that is not white space.
    if (in.atEnd()) break;
    const int letter = in.get();
    if (letter != 'D') failf(-8, "Error in reading inflow file, the D data set has to be used\n");
    // A record that is there but cannot be read ends the run: the records after it would be lost.
    int j = 0, k = 0;
    if (!in.readWholeInt(j) || !in.readWholeInt(k))
      failf(-8, "Error in reading inflow file, %s: a D record gives two integer indexes and five numbers\n",
            in.where().c_str());
    if (j < 0 || k < 0)
      failf(-2, "Error in reading inflow file, negative indexes in inflow file: %d %d\n", j, k);
    if (j > kInflowPoints - 2 || k > kInflowLevels - 2)
      failf(-2, "Error in reading inflow file, too large indexes in inflow file: %d %d\n", j, k);
    double v[5];
    for (double& x : v)
      if (!in.readDouble(x))
        failf(-3,
              "Error in reading inflow file for line: %d %d\n"
              "Note that five floating point numbers must be given\n"
              "(%s)\n",
              j, k, in.where().c_str());
    inflowu[j][k] = v[0];
    inflowv[j][k] = v[1];
    infloww[j][k] = v[2];
    inflowki[j][k] = v[3];
    inflowe[j][k] = v[4];
    if (j > inflowj) inflowj = j;
    if (k > inflowk) inflowk = k;
    ++count;
    in.skipSpace();
  }
  logf("Have read %ld points in a %d x %d array from inflow file\n", count, inflowj, inflowk);
}

void readInspaceFile() {
  std::string text;
  if (!readWholeFile("inspace", text)) return;
  ControlInput in(std::move(text));
  const int first = in.get();
  if (first == 'A') {
    int value = 0;
    if (!in.readWholeInt(value) || value <= 0)
      failf(-8, "Error in reading the inspace file, the A data set has to be used with an integer\n");
    FlagInspace = value;
  } else if (first >= 0) {
    // Without an A record the first character may already start a B or T record.
    in.unget();
  }
  for (int top = 0; top < kInspaceScanLimit; ++top) {
    const int ch = in.get();
    if (ch < 0 || ch == 255) break;
    if (ch == 'B') readInspaceB(in);
    else if (ch == 'T') readInspaceT(in);
    else if (ch == 'C') readInspaceC(in);
  }
  logf("Inspace file read: \n");
}

}  // namespace qorva
