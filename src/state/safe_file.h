// Files written whole or not at all, and files read with their line numbers: the one way every
// folder opens a file, so that no writer loses the previous good copy and no failed write or
// close passes unnoticed.
#pragma once

#include <cstdio>
#include <string>

namespace qorva {

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
  // Closes now; false when an earlier write failed or the buffered text could not be written.
  bool close() {
    if (!f_) return true;
    const bool ok = std::ferror(f_) == 0;
    const int r = std::fclose(f_);
    f_ = nullptr;
    return ok && r == 0;
  }

 private:
  std::FILE* f_;
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

  // Flushes, closes and renames the temporary file over `name`. False (and the temporary file
  // removed, the old `name` kept) when anything failed.
  bool commit();

  // `commit()`, and when it fails: logs "Error: could not write file '<name>' (<reason>); the
  // previous copy is kept.\n" to boogie and ends the run with `status`.
  void commitOrEnd(int status);

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

}  // namespace qorva
