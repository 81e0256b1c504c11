// Ending a run, the log `boogie`, and the numbered file names of result series.
#pragma once

#include <string>

namespace qorva {

// Thrown by endRun and caught by main, which returns the status as the exit status, so every
// error path unwinds the same way and tests can check the status in-process.
struct RunEnd {
  int status;
};

// Ends the run with the given status (the process status is status & 255). Never call it
// inside an OpenMP parallel region: record the error there and end after the region.
[[noreturn]] void endRun(int status);

// Appends printf-formatted text to `boogie` (open, append, close). When the log cannot be
// opened or written, the run ends with status -3 (endLogFailed).
void logf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Appends the text to `boogie` and ends the run with the status.
[[noreturn]] void failf(int status, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Creates `boogie` anew (empty); ends with status -3 when it cannot.
void startLog();

// Appends `text` to `boogie`; false when the log cannot be opened or the text did not reach it
// whole. For the few places that must not end the run themselves (a chunk of a threaded phase).
bool appendToLog(const std::string& text);

// Ends the run with status -3 because `boogie` could not be written: mc_message says so, and so
// does stderr, the one place left to say it.
[[noreturn]] void endLogFailed();

// printf into a std::string.
std::string strf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// First name of the series base, base.00N, base.0N, base.N (N = 1, 2, ...) whose file does not
// exist yet; `base` is the bare name ("compres").
std::string nextFreeName(const std::string& base);

bool fileExists(const std::string& name);

// For a step this version does not have: logs "Not available in this version: <what>" and ends
// the run with status 1.
[[noreturn]] void notAvailable(const char* what);

}  // namespace qorva
