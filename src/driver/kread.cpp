// The reader of `control`: log start, defaults, the scan and dispatch of data sets, and the
// data sets that belong to the frame (F 2 task letters, F 7 option letters, T title, F 206).
// Writes run, options, Title, NoProcessesSolver, the F 7 flags, mc_message, mc_program.
#include <omp.h>

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "driver/control.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace {

constexpr int kScanLimit = 30000;

bool printable(int ch) { return ch >= 32 && ch <= 126; }

void readTaskLetters(DataSetReader& r) {
  run.fill(' ');
  readLetters(r.input(), run.data(), static_cast<int>(run.size()));
}

void readOptionLetters(DataSetReader& r) {
  for (int i = 1; i <= 8; ++i) options[i] = ' ';
  const int n = readLetters(r.input(), options.data() + 1, 8);
  for (int i = 1; i <= n; ++i) {
    switch (options[i]) {
      case 'N': FlagBedGradient = 1; break;
      case 'B': FlagBedslopeCorrection = 1; break;
      case 'V': FlagPlotVertical = 1; break;
      case 'I': FlagInflowDirection = 1; break;
      case 'A': FlagDiffNonVert = 0; break;
      case 'Z': FlagZ0Small = 1; break;
      case 'X': FlagXCYC = 1; break;
      case 'C': FlagInZero = 0; break;
      case 'P': FlagBedPoros = 1; break;
      case 'G': FlagBedPoros = 2; break;
      case 'E': FlagFlowDirCor = 1; break;
      case 'F':
      case 'S': failf(-1, "Error for F 7 data set in control file\n");
      default: break;
    }
  }
}

void addFrameSets(DataSetTable& t) {
  t.push_back({'F', 2,
               "Task letters, carried out in order (at most ten, walked F 20 times): Y generates "
               "the grid from koosurf, W computes the flow, S the sediment, M writes results, X "
               "ends with status 0",
               declared(run), readTaskLetters});
  t.push_back({'F', 7,
               "Option letters: N, B, V, I, A, Z, X, C, P, G and E each switch an option on; F and "
               "S are refused",
               declared(options, FlagBedGradient, FlagBedslopeCorrection, FlagPlotVertical,
                        FlagInflowDirection, FlagZ0Small, FlagXCYC, FlagBedPoros, FlagFlowDirCor,
                        FlagDiffNonVert, FlagInZero),
               readOptionLetters});
  t.push_back({'F', 206,
               "Number of threads of the parallel regions and solvers (0: serial); more than the "
               "machine has are cut to its count",
               declared(NoProcessesSolver),
               [](DataSetReader& r) {
                 int v = 0;
                 // A negative count is refused like an unreadable one.
                 if (!r.i(v) || v < 0) failf(1, "Error for F 206 in control");
                 applyThreadCount(v);
               }});
  // The title has no number: every T is this row.
  t.push_back({'T', kAnyNumber, "Title of the case: the 68 characters after the letter",
               declared(Title),
               [](DataSetReader& r) { readTitle(r.input(), Title); }});
}

}  // namespace

bool isDataSetLetter(int ch) {
  switch (ch) {
    case 'F': case 'G': case 'H': case 'I': case 'K': case 'L': case 'M':
    case 'N': case 'P': case 'Q': case 'S': case 'T': case 'W':
      return true;
    default:
      return false;
  }
}

int readLetters(ControlInput& in, char* into, int max) {
  int n = 0;
  while (n < max) {
    const int ch = in.get();
    if (ch < 0) break;  // end of file: nothing more to store
    into[n++] = static_cast<char>(ch);
    if (!printable(ch)) break;
  }
  return n;
}

void readTitle(ControlInput& in, std::array<char, 80>& title) {
  // The character that ends the title (a line end, or the 69th character) is consumed and
  // its place takes the blank that follows every title.
  int i = 1;
  for (;; ++i) {
    const int ch = in.get();
    if (ch < 0 || !printable(ch) || i == 69) break;
    title[i] = static_cast<char>(ch);
  }
  title[i] = ' ';
}

bool readControlFile(std::string& text) { return readWholeFile("control", text); }

namespace {

struct Index {
  std::map<std::pair<char, int>, const DataSetRow*> rows;
};

const Index& index() {
  static const Index idx = [] {
    Index x;
    for (const DataSetRow& row : dataSetTable()) {
      auto [it, fresh] = x.rows.emplace(std::make_pair(row.letter, row.number), &row);
      if (!fresh) {
        std::fprintf(stderr, "duplicate data set %c %d in the reader table\n", row.letter, row.number);
        std::abort();
      }
    }
    return x;
  }();
  return idx;
}

// What the scan met, for the warnings and the echo of the data sets read.
struct ScanNotes {
  std::set<std::pair<char, int>> unknown;  // letter and number without a row, warned about
  std::set<char> bare;                     // letters met without a number, warned about
  std::vector<DataSetRead> read;
};

// The line of position `at`, before the read position; the read position is kept.
long long lineAt(ControlInput& in, std::size_t at) {
  const std::size_t here = in.pos();
  while (in.pos() > at) in.unget();
  const long long line = in.line();
  while (in.pos() < here) in.get();
  return line;
}

// A letter of a data set followed by no number is ordinary text: the scan goes on after it,
// but a capital letter in a note or a value the reader could not take is worth a word.
void noteBare(ScanNotes& notes, ControlInput& in, char letter, std::size_t at) {
  if (!notes.bare.insert(letter).second) return;
  logf("Warning: the letter %c on line %lld of control is followed by no number; it is skipped "
       "as text (a capital letter in a note starts a data set)\n",
       letter, lineAt(in, at));
}

void noteUnknown(ScanNotes& notes, ControlInput& in, char letter, int number, std::size_t at) {
  if (!notes.unknown.insert({letter, number}).second) return;
  logf("Warning: control holds %c %d (line %lld), a data set this version does not read; it is "
       "skipped (docs/CONTROL.md lists the data sets)\n",
       letter, number, lineAt(in, at));
}

void readDataSet(ControlInput& in, char letter, ScanNotes& notes) {
  const std::size_t start = in.pos() - 1;
  int number = 0;
  if (letter != 'T' && !in.readInt(number)) {
    noteBare(notes, in, letter, start);
    return;
  }
  if (letter == 'H' || letter == 'K' || letter == 'P' || letter == 'W') in.skipSpace();
  const DataSetRow* row = findDataSet(letter, number);
  if (!row) {
    noteUnknown(notes, in, letter, number, start);
    return;
  }
  DataSetReader r(in, letter, number);
  row->read(r);
  notes.read.push_back({letter, number, start, in.pos(), row});
}

}  // namespace

const DataSetTable& dataSetTable() {
  static const DataSetTable table = [] {
    DataSetTable t;
    addFrameSets(t);
    addFsets001_049(t);
    addFsets050_099(t);
    addFsets100_149(t);
    addFsets150_199(t);
    addFsets200_249(t);
    addFsets250_299(t);
    addFsets300_349(t);
    addFsets350_399(t);
    addFsets400_449(t);
    addFsets450_499(t);
    addFsets500_534(t);
    addGsets(t);
    addKWsets(t);
    addPsets(t);
    addQMsets(t);
    addSNIHLsets(t);
    return t;
  }();
  return table;
}

namespace {

// The rows copy the declared values of their globals as they are made. Making them here, before
// main and after the definitions of those globals above (the headers included by this file),
// means nothing can have changed the globals yet.
[[maybe_unused]] const DataSetTable& tableAtStart = dataSetTable();

}  // namespace

const DataSetRow* findDataSet(char letter, int number) {
  const auto& rows = index().rows;
  auto it = rows.find({letter, number});
  if (it != rows.end()) return it->second;
  it = rows.find({letter, kAnyNumber});
  return it != rows.end() ? it->second : nullptr;
}

void setDefaults() {
  for (const DataSetRow& row : dataSetTable()) row.defaults.restore();
  setBuiltins();
}

void applyThreadCount(int requested) {
  const int m = omp_get_max_threads();
  logf("Max. number of threads: %d, value F 206: %d\n", m, requested);
  NoProcessesSolver = requested > m ? m : requested;
  if (NoProcessesSolver > 0) omp_set_num_threads(NoProcessesSolver);
  omp_set_dynamic(0);
}

std::vector<DataSetRead> scanControl(ControlInput& in) {
  ScanNotes notes;
  for (int top = 0; top < kScanLimit; ++top) {
    const int ch = in.get();
    if (ch < 0 || ch == 255) break;
    if (isDataSetLetter(ch)) readDataSet(in, static_cast<char>(ch), notes);
  }
  return std::move(notes.read);
}

namespace {

// The F 1 letter that echoes every data set read.
constexpr char kEchoLetter = 'I';

// Every data set the scan read, as it stands in `control` (white space squeezed), with the
// meaning of its row: what a user checks a `control` against.
void echoDataSets(const std::string& text, const std::vector<DataSetRead>& read) {
  logf("Data sets read from control (F 1 %c), in their order:\n", kEchoLetter);
  for (const DataSetRead& d : read) {
    std::string shown;
    for (std::size_t i = d.begin; i < d.end && i < text.size(); ++i) {
      const char c = text[i];
      const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
      if (space) {
        if (!shown.empty() && shown.back() != ' ') shown += ' ';
      } else if (c >= 32 && c <= 126) {
        shown += c;
      }
    }
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    logf("  %-24s -- %s\n", shown.c_str(), d.row->meaning);
  }
  logf("\n");
}

}  // namespace

void kread() {
  startLog();
  std::string text;
  if (!readControlFile(text)) {
    mc_message = "cannot open file 'control' ";
    failf(-4, "Error, cannot open file 'control'\n");
  }
  mc_message = " Reading data file    ";
  mc_program = " In kread         ";
  logf("Qorva 2.550 output file. 11. December 2023.\n");
  logf("In kread \n\n");
  setDefaults();
  ControlInput in(text);
  const std::vector<DataSetRead> read = scanControl(in);
  if (debugging == kEchoLetter) echoDataSets(text, read);
  afterReading();
}

}  // namespace qorva
