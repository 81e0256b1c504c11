// Sections that the grid file unstruc and the restart file alldata hold in one form, and the
// checked reading they share. Private to src/files: the writers are in unstruc_write.cpp, the
// readers in unstruc_read.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace qorva::gridfile {

// Closes the file on every way out, an ended run included.
class File {
 public:
  explicit File(std::FILE* f = nullptr) : f_(f) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() {
    if (f_) std::fclose(f_);
  }
  std::FILE* get() const { return f_; }
  explicit operator bool() const { return f_ != nullptr; }
  // Closes now; false when the buffered text could not be written.
  bool close() {
    const int r = f_ ? std::fclose(f_) : 0;
    f_ = nullptr;
    return r == 0;
  }

 private:
  std::FILE* f_;
};

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

// Thrown once the reason is in the log: the file being read is damaged.
struct Damaged {};

// The file being read, for the messages of `damaged`.
extern std::string gridName;

// Logs "Error in '<gridName>' file: <text>" and throws Damaged.
[[noreturn]] void damaged(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Reads with the C input semantics of the file's format; false when fewer than `want` items
// converted.
bool scan(std::FILE* f, int want, const char* fmt, ...) __attribute__((format(scanf, 3, 4)));

// A number that refers to an entry of a table of `count` entries (0 = none).
void requireRef(const char* owner, int n, const char* what, int value, int count);

// Points 1..NoPoints, the topology line of cell c, surfaces 1..NoSurfaces; every reference
// checked against the counts.
void readPoints(std::FILE* f);
void readCellTopology(std::FILE* f, int c);
void readSurfaces(std::FILE* f);
// The nineteen values of block b; then its checks: the first grid lines exist and its cell,
// surface and point ranges lie in the counts.
void scanBlock(std::FILE* f, int b);
void checkBlock(int b);
// Block connections 0..NoConnect-1 and joint pairs 1..NoConnFlate.
void readConnections(std::FILE* f);
// The line of discharge group g in the form of the version (0: no x-y count).
void readGroupLine(std::FILE* f, int g, int version);
// The surface list and the x-y points of group g. With `stopAtBadEntry` a list ends at its
// first entry that is not a number, and the group keeps the entries read.
void readGroupLists(std::FILE* f, int g, bool stopAtBadEntry);
// Surface discharge groups 0..9.
void readSurfaceGroups(std::FILE* f);
// Nesting records 1..NoNestflater.
void readNesting(std::FILE* f, int version);

// After the counts are read: the blocks and connections must fit their tables (else
// `damaged`), and the allocated tables must hold every count (else mc_message = mcMessage, a
// log line naming "the <fileLabel> file", and the run ends with -5).
void requireReadTables(const char* mcMessage, const std::string& fileLabel);

}  // namespace qorva::gridfile
