// Grid, restart and exchange files. What other folders may call.
#pragma once

#include <string>

// The interpolation of the timei series in time lives with the series (state/timeseries.h).
#include "state/timeseries.h"

namespace qorva {

// Every file here is written whole or not at all (state/safe_file.h): a file that cannot be
// written ends the run with -4 (grid, restart and point files) or -3 (the flow result), and the
// previous copy stays. The readers take one record a line and refuse a line that does not hold
// the record, or a number that is not finite, naming the file and the line.

void writeMPIkoosurf();
int ReadAllData();
// 0 when timei was read (or is missing: then boogie says so), else the code of the error
// (71: timei cannot be read, 72: it holds no record).
int ReadTimes();
int writeConqRes();
int writeConcRes();
// The grid file of F 297 and its side files; returns the number of dry columns (version 2).
int WriteUnstructure();
void WriteAllData();
int readConRes();
// Task R: bedres when present, then the flow result, which must give its U line and every
// cell and surface once; a result that does not is refused and the flow keeps its values.
void readres();
int ReadUnstructure();
void readKoosurf();
void writekoosurf();

// Readers and writers that this version does not have yet (hooks: files/pending.cpp ends the
// run with their "Not available" line): the bed angles of F 274 (bedangle), the water surface
// of F 349 (alpha1) and the dredging tables bagger.cor of F 386.
void readBedangle();
void OpenFOAM_MakeSurface();
void writeBaggerCor();

// Writes the present grid as the next free version-1 snapshot "unstruc.N" when Iter is a
// multiple of the second F 101 value.
void WriteTransFiles();
// Bed roughness of every column: XksWall (F 16, or the Strickler value of W 1), then the
// records of bedrough. Ends the run with -5 when F 90 1 needs a missing bedrough.
void readBedrough();

// The flow result: "result.end" (numbered, block-division, binary "resultb" and crash-grid
// names by P 10/P 15, F 308, F 48 = 15 and F 257 = 2), text or raw doubles. The argument is
// not used.
void print_result(int);
// The grain-size fractions of the bed, "fracres.new" and its series. The argument is not used.
void print_fracres(int);

// A number of a restart file as text: the shortest of 15, 16 and 17 significant digits ("%g")
// that reads back as exactly `v`, so that a restarted run goes on with the numbers the run had
// ("0.1", not "0.10000000000000001"; 17 digits where fewer do not do).
std::string exactNumber(double v);

}  // namespace qorva
