// Output files written under a temporary name and renamed when whole.
#include "state/safe_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "state/log.h"

namespace qorva {

OutFile::OutFile(std::string name, bool binary) : name_(std::move(name)), tmp_(name_ + ".tmp") {
  f_ = std::fopen(tmp_.c_str(), binary ? "wb" : "w");
  if (!f_) {
    failed_ = true;
    errno_ = errno;
  }
}

OutFile::~OutFile() {
  if (f_) {
    std::fclose(f_);
    std::remove(tmp_.c_str());
  }
}

void OutFile::printf(const char* fmt, ...) {
  if (!f_ || failed_) return;
  va_list ap;
  va_start(ap, fmt);
  const int r = std::vfprintf(f_, fmt, ap);
  va_end(ap);
  if (r < 0) {
    failed_ = true;
    errno_ = errno;
  }
}

void OutFile::write(const void* data, std::size_t size, std::size_t count) {
  if (!f_ || failed_) return;
  if (std::fwrite(data, size, count, f_) != count) {
    failed_ = true;
    errno_ = errno;
  }
}

bool OutFile::commit() {
  if (!f_) return false;
  bool good = !failed_;
  if (std::fflush(f_) != 0 || std::ferror(f_)) {
    if (good) errno_ = errno;
    good = false;
  }
  if (std::fclose(f_) != 0) {
    if (good) errno_ = errno;
    good = false;
  }
  f_ = nullptr;
  if (good && std::rename(tmp_.c_str(), name_.c_str()) != 0) {
    errno_ = errno;
    good = false;
  }
  if (!good) {
    failed_ = true;
    std::remove(tmp_.c_str());
  }
  return good;
}

void OutFile::commitOrEnd(int status) {
  if (commit()) return;
  failWrite(name_, errno_ ? std::strerror(errno_) : "write failed", status);
}

void failWrite(const std::string& name, const char* reason, int status) {
  failf(status, "Error: could not write file '%s' (%s); the previous copy is kept.\n",
        name.c_str(), reason);
}

}  // namespace qorva
