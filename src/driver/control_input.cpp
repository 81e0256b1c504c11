// Formatted reading of `control` values, and the failure pattern of the data-set readers.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "driver/control.h"
#include "state/log.h"

namespace qorva {

static bool isSpace(int ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }
static bool isDigit(int ch) { return ch >= '0' && ch <= '9'; }

void ControlInput::skipSpace() {
  while (pos_ < s_.size() && isSpace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
}

bool ControlInput::readInt(int& v) {
  skipSpace();
  std::size_t p = pos_;
  bool neg = false;
  if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) neg = s_[p++] == '-';
  if (p >= s_.size() || !isDigit(s_[p])) return false;
  long long x = 0;
  bool overflow = false;
  while (p < s_.size() && isDigit(s_[p])) {
    if (!overflow) {
      x = x * 10 + (s_[p] - '0');
      if (x > static_cast<long long>(std::numeric_limits<int>::max()) + 1) overflow = true;
    }
    ++p;
  }
  if (neg) x = -x;
  // A number that does not fit an int is no readable value; its digits are then skipped
  // by the scan like any other text.
  if (overflow || x > std::numeric_limits<int>::max() || x < std::numeric_limits<int>::min())
    return false;
  v = static_cast<int>(x);
  pos_ = p;
  return true;
}

bool ControlInput::readDouble(double& v) {
  skipSpace();
  std::size_t p = pos_;
  if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) ++p;
  std::size_t digits = 0;
  while (p < s_.size() && isDigit(s_[p])) { ++p; ++digits; }
  if (p < s_.size() && s_[p] == '.') {
    ++p;
    while (p < s_.size() && isDigit(s_[p])) { ++p; ++digits; }
  }
  if (digits == 0) return false;
  if (p < s_.size() && (s_[p] == 'e' || s_[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < s_.size() && (s_[q] == '+' || s_[q] == '-')) ++q;
    if (q < s_.size() && isDigit(s_[q])) {
      while (q < s_.size() && isDigit(s_[q])) ++q;
      p = q;
    }
  }
  const std::string text = s_.substr(pos_, p - pos_);
  errno = 0;
  char* end = nullptr;
  const double x = std::strtod(text.c_str(), &end);
  if (!std::isfinite(x)) return false;  // 1e999 is no value a setting can take
  v = x;
  pos_ = p;
  return true;
}

bool ControlInput::readLetter(char& v) {
  skipSpace();
  const int ch = get();
  if (ch < 0) return false;
  v = static_cast<char>(ch);
  return true;
}

bool ControlInput::readWord(std::string& v, std::size_t max) {
  skipSpace();
  std::string w;
  while (w.size() < max && pos_ < s_.size() && !isSpace(static_cast<unsigned char>(s_[pos_])))
    w += s_[pos_++];
  if (w.empty()) return false;
  v = w;
  return true;
}

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

void DataSetReader::fail() const {
  failf(1, "Error for %c %d in control%s", letter_, number_,
        standardTextEndsLine(letter_, number_) ? "\n" : "");
}

void DataSetReader::failText(const std::string& text, int status) const {
  failf(status, "%s", text.c_str());
}

}  // namespace qorva
