// Reader of `control`: the input cursor with C formatted-input semantics, the table of data
// sets (one row per letter and number: defaults, reader and checks together) and kread.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "state/safe_file.h"

namespace qorva {

// `control` held in memory with a read position: the shared cursor of the stream formats, whose
// number readers follow fscanf's "%d", "%lf" and " %c" (state/safe_file.h).
using ControlInput = TextCursor;

// What a data-set reader sees: the input, the data set's letter and number, and the count of
// values read so far. The failure helpers log the text and end the run.
class DataSetReader {
 public:
  DataSetReader(ControlInput& in, char letter, int number) : in_(in), letter_(letter), number_(number) {}

  // Each reads one value into its target when it can; a failed read leaves the target.
  bool i(int& v);
  bool d(double& v);
  bool c(char& v);
  ControlInput& input() { return in_; }
  int count() const { return count_; }
  char letter() const { return letter_; }
  int number() const { return number_; }

  // The standard failure: "Error for F 8 in control" with this data set's letter and number,
  // ended by a line end where the data set's own text has one (standardTextEndsLine).
  [[noreturn]] void fail() const;
  // That standard text, for a failure that adds a line of its own after it.
  std::string standardText() const;
  // A failure with its own text (printf format, the values given), status 1 unless said.
  [[noreturn]] void failText(const std::string& text, int status = 1) const;
  // Ends with the standard failure unless ok.
  void require(bool ok) const { if (!ok) fail(); }
  void require(bool ok, const std::string& text, int status = 1) const {
    if (!ok) failText(text, status);
  }
  // Fails unless all n listed values were read.
  void requireCount(int n) const { require(count_ >= n); }
  void requireCount(int n, const std::string& text, int status = 1) const {
    require(count_ >= n, text, status);
  }

 private:
  ControlInput& in_;
  char letter_;
  int number_;
  int count_ = 0;
};

// Whether the standard failure text of a data set ends with a line end. Most F data sets from
// F 134 on have one; F 200 to F 233 (but F 208 and F 212 to F 217), F 270, F 375 and F 387 to
// F 409 do not, nor do the other letters.
bool standardTextEndsLine(char letter, int number);

// The globals a data set sets before `control` is read, with the values their declarations
// give them: the declaration is the one place a default is written. The copy is taken when the
// table of data sets is built, which happens before main (kread.cpp), while every global still
// holds its declared value; restore() puts those values back.
class Defaults {
 public:
  struct Target {
    void* at;
    std::vector<unsigned char> value;  // the declared bytes
  };

  Defaults() = default;
  template <typename... T>
  explicit Defaults(T&... targets) {
    (keep(targets), ...);
  }

  void restore() const {
    for (const Target& t : targets_) std::memcpy(t.at, t.value.data(), t.value.size());
  }
  const std::vector<Target>& targets() const { return targets_; }

 private:
  template <typename T>
  void keep(T& v) {
    static_assert(std::is_trivially_copyable_v<T>, "a default is put back by copying its bytes");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    targets_.push_back(
        {static_cast<void*>(&v), std::vector<unsigned char>(bytes, bytes + sizeof v)});
  }

  std::vector<Target> targets_;
};

// The defaults of a row: these globals (whole tables, records or single entries) as declared.
template <typename... T>
Defaults declared(T&... targets) {
  return Defaults(targets...);
}

// One data set of `control`: its meaning, defaults and reader stand together. The meaning is one
// line for a user (docs/CONTROL.md is made from these rows by scripts/control-doc).
struct DataSetRow {
  char letter;
  int number;
  const char* meaning;
  Defaults defaults;                            // put back before `control` is read
  std::function<void(DataSetReader&)> read;     // reads, checks and applies the values
};

using DataSetTable = std::vector<DataSetRow>;

// Number of a row that takes every number of its letter (L counts, N and Q pairs, M, P).
inline constexpr int kAnyNumber = -2147483647;

// The rows of each family, in the system's order; each file adds its own.
void addFsets001_049(DataSetTable& t);
void addFsets050_099(DataSetTable& t);
void addFsets100_149(DataSetTable& t);
void addFsets150_199(DataSetTable& t);
void addFsets200_249(DataSetTable& t);
void addFsets250_299(DataSetTable& t);
void addFsets300_349(DataSetTable& t);
void addFsets350_399(DataSetTable& t);
void addFsets400_449(DataSetTable& t);
void addFsets450_499(DataSetTable& t);
void addFsets500_534(DataSetTable& t);
void addGsets(DataSetTable& t);
void addKWsets(DataSetTable& t);
void addPsets(DataSetTable& t);
void addQMsets(DataSetTable& t);
void addSNIHLsets(DataSetTable& t);

// The whole table, built once, before main; a duplicate (letter, number) aborts at start-up.
const DataSetTable& dataSetTable();
// The row of a data set, or nullptr when that number has no reader.
const DataSetRow* findDataSet(char letter, int number);

// Every default of every data set and every built-in start value.
void setDefaults();

// The data-set letters of `control`: F, G, H, I, K, L, M, N, P, Q, S, T and W.
bool isDataSetLetter(int ch);

// The text values of the frame, read alike by the scan and by the second pass that finds the B
// data sets, so that both take the same characters. readLetters takes at most `max` characters
// into into[0..] and stops after the first one that is not printable (32..126); it returns how
// many it stored. readTitle takes at most 68 characters into title[1..] and puts the blank that
// follows every title where it stopped.
int readLetters(ControlInput& in, char* into, int max);
void readTitle(ControlInput& in, std::array<char, 80>& title);

// The whole file `control`; false when it cannot be opened or read to its end.
bool readControlFile(std::string& text);

// A data set the scan handed to its reader: where it stands in the text (from its letter to
// where its reader stopped) and its row.
struct DataSetRead {
  char letter;
  int number;
  std::size_t begin, end;
  const DataSetRow* row;
};

// Scans `control` text: every data set found is handed to its reader; returns them in their
// order. A number that no row reads, and a data-set letter followed by no number, are skipped
// with one warning in `boogie` each. Called by kread after the defaults; exposed so tests can
// read a text without files.
std::vector<DataSetRead> scanControl(ControlInput& in);

// Reads `control` completely: log start, defaults, scan, checks after reading, side files.
void kread();

// Checks, derived settings and side files after the scan (the log stays usable).
void afterReading();

// Sets the OpenMP thread count from F 206 (and logs it), as the F 206 reader does.
void applyThreadCount(int requested);

}  // namespace qorva
