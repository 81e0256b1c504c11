// Files written whole or not at all, and files read with their line numbers: the one way every
// folder opens a file, so that no writer loses the previous good copy, no failed write or close
// passes unnoticed, and no reader takes a record it cannot read.
#pragma once

#include <cstdio>
#include <string>

namespace qorva {

// ---- writing ----------------------------------------------------------------------------------

// Closes the file on every way out (an ended run included). For reading, and for appending to
// series files whose earlier records must stay (`timeo`, `tafnor`): `close()` reports whether
// the buffered text reached the disk.
class File {
 public:
  explicit File(std::FILE* f = nullptr) : f_(f) {}
  File(const char* name, const char* mode) : f_(std::fopen(name, mode)) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& o) noexcept : f_(o.f_) { o.f_ = nullptr; }
  ~File() {
    if (f_) std::fclose(f_);
  }
  std::FILE* get() const { return f_; }
  explicit operator bool() const { return f_ != nullptr; }
  // Closes now; false when an earlier write failed or the buffered text could not be written
  // (the reason is then in `error()`).
  bool close();
  // The errno of the failure that `close()` found (0 when none was given).
  int error() const { return errno_; }
  // `close()`, and when it fails: logs "Error: could not write file '<name>' (<reason>); the
  // lines written before are kept.\n" to boogie and ends the run with `status`.
  void closeOrEnd(const std::string& name, int status);

 private:
  std::FILE* f_;
  int errno_ = 0;
};

// An output file written under the temporary name "<name>.tmp" and renamed over `name` by
// `commit()` only when every write and the close succeeded. Until then an older `name` stays
// as it was; a file that is dropped without a commit (an ended run, a failed write) is removed.
class OutFile {
 public:
  // Opens "<name>.tmp" for writing ("w", or "wb" when `binary`). `ok()` is false when it
  // cannot be opened.
  explicit OutFile(std::string name, bool binary = false);
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;
  ~OutFile();

  bool ok() const { return f_ != nullptr && !failed_; }
  std::FILE* get() const { return f_; }
  const std::string& name() const { return name_; }

  // printf into the file; a failed write is remembered and makes `commit()` fail.
  void printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void write(const void* data, std::size_t size, std::size_t count);

  // Flushes, syncs, closes and renames the temporary file over `name`. False (and the
  // temporary file removed, the old `name` kept) when anything failed.
  bool commit();

  // `commit()`, and when it fails: logs "Error: could not write file '<name>' (<reason>); the
  // previous copy is kept.\n" to boogie and ends the run with `status`.
  void commitOrEnd(int status);

  // Why the file could not be opened or committed ("No space left on device").
  std::string reason() const;

 private:
  std::string name_;
  std::string tmp_;
  std::FILE* f_ = nullptr;
  bool failed_ = false;
  int errno_ = 0;
};

// Logs "Error: could not write file '<name>' (<reason>); the previous copy is kept.\n" and ends
// the run with `status`: for writers that find out before they have an OutFile.
[[noreturn]] void failWrite(const std::string& name, const char* reason, int status);
// The same for a series file that is appended to: "...; the lines written before are kept.\n".
[[noreturn]] void failAppend(const std::string& name, const char* reason, int status);

// ---- reading ----------------------------------------------------------------------------------

// The number at the start of [p, end) as C formatted input reads "%d" and "%lf", except that a
// number that does not fit an int, or gives no finite double ("1e999"; "nan" and "inf" are no
// numbers here), is refused. Returns where the number ends, or nullptr when there is none.
const char* scanInt(const char* p, const char* end, int& v);
const char* scanDouble(const char* p, const char* end, double& v);

// A text held in memory with a read position, read with C formatted-input semantics: the
// stream formats (`control`, `timei`, `cyclic`, `inflow`, `inspace`) whose values may be
// separated by any white space. A failed read consumes nothing but the blanks before it, so a
// letter that merely looks like the start of a number ("INF", "NAN", "-F") is left for the
// scan.
class TextCursor {
 public:
  TextCursor() = default;
  explicit TextCursor(std::string text) : s_(std::move(text)) {}

  // Next byte 0..255, or -1 at the end.
  int get() { return pos_ < s_.size() ? static_cast<unsigned char>(s_[pos_++]) : -1; }
  int peek() const { return pos_ < s_.size() ? static_cast<unsigned char>(s_[pos_]) : -1; }
  void unget() {
    if (pos_ > 0) --pos_;
  }
  void skipSpace();
  bool readInt(int& v);
  // readInt for a value that must be a whole integer: "1.5" or "1e309" is refused (and nothing
  // read), where readInt would take the 1 and leave the rest for the next value.
  bool readWholeInt(int& v);
  bool readDouble(double& v);
  // Reads the next character that is not white space.
  bool readLetter(char& v);
  // Reads at most `max` characters that are not white space, after skipping white space.
  bool readWord(std::string& v, std::size_t max);
  std::size_t pos() const { return pos_; }
  // True when nothing but white space is left.
  bool atEnd() const;
  // The line (from 1) of the read position.
  long long line() const;
  // For messages after a failed read: "line L, at 'text'" with the text that stands at the read
  // position, or "line L, at the end of the file".
  std::string where() const;

 private:
  std::string s_;
  std::size_t pos_ = 0;
};

// Reads the whole file into `text`; false when it cannot be opened or read.
bool readWholeFile(const char* name, std::string& text);

// A record that a reader cannot take; `text` names the line and what is wrong with it
// ("line 12: block 3 holds 18 values where 19 are needed").
struct BadRecord {
  std::string text;
};

// A text file whose records each lie on one line, as its writer writes them: a record one
// number short is refused instead of taking the next line's first number (which would move
// every later field), and so is a number that is not finite or a value left over at the end of
// the line. Every refusal throws BadRecord naming the line; the reader catches it and says
// which file.
class RecordReader {
 public:
  // Opens `name` for reading; `ok()` is false when it cannot be opened.
  explicit RecordReader(std::string name);
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;
  ~RecordReader();

  bool ok() const { return f_ != nullptr; }
  const std::string& name() const { return name_; }
  // Line (from 1) of the record being read.
  long long line() const { return line_; }

  // Starts a record of `count` values (-1: as many as the reader takes), named for messages by
  // `what`, a printf format of up to two long long values `a`, `b` ("block %lld"). Values left
  // on the current line are taken first (a record the writer did not end with a line end);
  // otherwise the record starts on the next line that holds anything. False at the end of the
  // file.
  bool record(int count, const char* what, long long a = 0, long long b = 0);
  // Names the record anew once its first value has said what it is (a record letter).
  void describe(int count, const char* what, long long a = 0, long long b = 0);
  // The next value of the record, on the same line: refused when the line ends first, or when
  // the value is not an int (a finite double).
  int i();
  double d();
  // The next value as text (a record letter).
  std::string word();
  // Takes the next value when it is an int on this line; otherwise takes nothing.
  bool tryInt(int& v);
  // True when the line holds a further value.
  bool more();
  // The record ends with its line: refused when a value is left on it.
  void end();
  // Passes over the rest of the line (a header whose tail is not read).
  void skipLine();
  // True when the current line was the last and had no line end.
  bool lastLineOpen() const { return open_; }

  // Refuses the current record: throws BadRecord{"line L: " + text}.
  [[noreturn]] void refuse(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));

 private:
  bool nextLine();
  void skipBlanks();
  std::string token();
  int valuesOnLine() const;
  std::string what() const;
  [[noreturn]] void refuseShort() const;
  void refuseWhenShort() const;

  std::string name_;
  std::FILE* f_ = nullptr;
  char* buf_ = nullptr;  // the line buffer of getline
  std::size_t cap_ = 0;
  std::string text_;
  std::size_t pos_ = 0;
  long long line_ = 0;
  bool open_ = false;
  // The record being read.
  int count_ = -1;
  const char* what_ = "";
  long long a_ = 0, b_ = 0;
  std::size_t start_ = 0;
};

}  // namespace qorva
