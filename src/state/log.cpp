// Ending a run, appending to the log `boogie`, numbered file names.
#include "state/log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "state/safe_file.h"
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

bool appendToLog(const std::string& text) {
  File f("boogie", "a");
  if (!f) return false;
  const bool whole = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
  return f.close() && whole;
}

void endLogFailed() {
  mc_message = "cannot open file 'boogie' ";
  std::fprintf(stderr, "qorva: the log 'boogie' cannot be written; the run ends with status -3\n");
  endRun(-3);
}

static void appendLog(const std::string& text) {
  if (!appendToLog(text)) endLogFailed();
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
  File f("boogie", "w");
  if (!f || !f.close()) endLogFailed();
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
