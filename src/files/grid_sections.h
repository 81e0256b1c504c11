// Sections that the grid file unstruc and the restart file alldata hold in one form, and the
// checked reading they share. Private to src/files: the writers are in unstruc_write.cpp, the
// readers in unstruc_read.cpp.
#pragma once

#include <cstdio>
#include <string>

#include "state/safe_file.h"

namespace qorva::gridfile {

// ---- writing ----------------------------------------------------------------------------------

// The counts of one file: the snapshots of the generated grid, or the present counts.
struct Counts {
  int cells, surfaces, blocks, connect, connFlate, nests, points;
};

// Ends the run with status 1 when a count or a block does not fit the tables it indexes, so a
// file is never written from rows past a table. `name` names the file in the message.
void requireTables(const char* name, const Counts& n);

// Points 1..n: "%lf %lf %lf\n".
void writePoints(std::FILE* f, int points);
// The twenty topology integers of cell c (corners, surfaces, neighbours) and a newline.
void writeCellTopology(std::FILE* f, int c);
// Surfaces 1..n: four corners and the two cells.
void writeSurfaces(std::FILE* f, int surfaces);
// Blocks, block connections, joint pairs, discharge groups 1..9 and the ten surface discharge
// groups.
void writeLinks(std::FILE* f, const Counts& n);
// Nesting records 1..n with their four interpolation lines.
void writeNesting(std::FILE* f, int nests);

// ---- reading ----------------------------------------------------------------------------------

// Each section is read record by record: a record is one line of the writer's, and a line one
// value short or long, a value that is not a number of its type or not finite, and a reference
// outside its table are refused with a BadRecord that names the line.

// Logs "Error in '<file>' file, line L: <what is wrong>\n" for a refused record.
void logBadRecord(const RecordReader& in, const BadRecord& e);

// A number that refers to an entry of a table of `count` entries (0 = none).
void requireRef(const RecordReader& in, const char* owner, int n, const char* what, int value, int count);

// Points 1..NoPoints, the topology line of cell c, surfaces 1..NoSurfaces; every reference
// checked against the counts.
void readPoints(RecordReader& in);
void readCellTopology(RecordReader& in, int c);
void readSurfaces(RecordReader& in);
// The nineteen values of block b; then its checks: the first grid lines exist and its cell,
// surface and point ranges lie in the counts.
void scanBlock(RecordReader& in, int b);
void checkBlock(const RecordReader& in, int b);
// Block connections 0..NoConnect-1 and joint pairs 1..NoConnFlate.
void readConnections(RecordReader& in);
// The line of discharge group g in the form of the version (0: no x-y count).
void readGroupLine(RecordReader& in, int g, int version);
// The surface list and the x-y points of group g. With `keepShortList` a list that ends early
// (at the end of its line or at an entry that is not a number) keeps the entries read, with a
// warning in the log.
void readGroupLists(RecordReader& in, int g, bool keepShortList);
// Surface discharge groups 0..9.
void readSurfaceGroups(RecordReader& in);
// Nesting records 1..NoNestflater.
void readNesting(RecordReader& in, int version);

// After the counts are read: the blocks and connections must fit their tables (else refused),
// and the allocated tables must hold every count (else mc_message = mcMessage, a log line
// naming "the <fileLabel> file", and the run ends with -5).
void requireReadTables(const RecordReader& in, const char* mcMessage, const std::string& fileLabel);

}  // namespace qorva::gridfile
