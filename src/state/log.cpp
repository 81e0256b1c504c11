// Ending a run, appending to the log `boogie`, numbered file names.
#include "state/log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "state/status.h"

namespace qorva {

void endRun(int status) { throw RunEnd{status}; }

static std::string vstrf(const char* fmt, va_list ap) {
  va_list ap2;
  va_copy(ap2, ap);
  const int n = std::vsnprintf(nullptr, 0, fmt, ap2);
  va_end(ap2);
  if (n <= 0) return {};
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(buf.data(), buf.size(), fmt, ap);
  return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string strf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vstrf(fmt, ap);
  va_end(ap);
  return s;
}

static void appendLog(const std::string& text) {
  std::FILE* f = std::fopen("boogie", "a");
  if (!f) {
    mc_message = "cannot open file 'boogie' ";
    endRun(-3);
  }
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

void logf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vstrf(fmt, ap);
  va_end(ap);
  appendLog(s);
}

void failf(int status, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vstrf(fmt, ap);
  va_end(ap);
  appendLog(s);
  endRun(status);
}

void startLog() {
  std::FILE* f = std::fopen("boogie", "w");
  if (!f) {
    mc_message = "cannot open file 'boogie' ";
    endRun(-3);
  }
  std::fclose(f);
}

bool fileExists(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "r");
  if (!f) return false;
  std::fclose(f);
  return true;
}

std::string nextFreeName(const std::string& base) {
  if (!fileExists(base)) return base;
  for (int n = 1;; ++n) {
    const char* fmt = n < 10 ? "%s.00%d" : n < 100 ? "%s.0%d" : "%s.%d";
    std::string name = strf(fmt, base.c_str(), n);
    if (!fileExists(name)) return name;
  }
}

void notAvailable(const char* what) {
  failf(1, "Not available in this version: %s\n", what);
}

}  // namespace qorva
