// Formatted reading of `control` values, and the failure pattern of the data-set readers.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "driver/control.h"
#include "state/log.h"

namespace qorva {

bool DataSetReader::i(int& v) {
  if (!in_.readInt(v)) return false;
  ++count_;
  return true;
}

bool DataSetReader::d(double& v) {
  if (!in_.readDouble(v)) return false;
  ++count_;
  return true;
}

bool DataSetReader::c(char& v) {
  if (!in_.readLetter(v)) return false;
  ++count_;
  return true;
}

bool standardTextEndsLine(char letter, int number) {
  if (letter != 'F' || number < 134) return false;
  if (number >= 200 && number <= 233) return number == 208 || (number >= 212 && number <= 217);
  return number != 270 && number != 375 && !(number >= 387 && number <= 409);
}

std::string DataSetReader::standardText() const {
  return strf("Error for %c %d in control%s", letter_, number_,
              standardTextEndsLine(letter_, number_) ? "\n" : "");
}

void DataSetReader::fail() const { failf(1, "%s", standardText().c_str()); }

void DataSetReader::failText(const std::string& text, int status) const {
  failf(status, "%s", text.c_str());
}

}  // namespace qorva
