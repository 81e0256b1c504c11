// The text of a number in a restart file: the shortest of 15, 16 and 17 significant digits
// that reads back as the same double. Reads and writes no global.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/files.h"

namespace qorva {

std::string exactNumber(double v) {
  char text[40];
  for (int digits = 15; digits < 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    if (std::strtod(text, nullptr) == v) return text;
  }
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

}  // namespace qorva
