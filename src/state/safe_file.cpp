// Output files written under a temporary name and renamed when whole; appended files whose close
// is checked; the checked readers of text files.
#include "state/safe_file.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "state/log.h"

namespace qorva {

namespace {

std::string reasonOf(int err) { return err ? std::strerror(err) : "write failed"; }

bool isSpace(int ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }
bool isDigit(int ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

// ---- writing ----------------------------------------------------------------------------------

bool File::close() {
  if (!f_) return true;
  bool ok = std::ferror(f_) == 0;
  if (!ok) errno_ = errno ? errno : EIO;
  errno = 0;
  if (std::fclose(f_) != 0) {
    if (ok) errno_ = errno;
    ok = false;
  }
  f_ = nullptr;
  return ok;
}

void File::closeOrEnd(const std::string& name, int status) {
  if (close()) return;
  failAppend(name, reasonOf(errno_).c_str(), status);
}

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
  const auto fail = [&good, this] {
    if (good) errno_ = errno;
    good = false;
  };
  // Writes through get() leave their failure in the stream's error flag.
  if (std::fflush(f_) != 0 || std::ferror(f_)) fail();
  // On the disk before it replaces the old copy, so that a crash of the machine right after the
  // rename cannot leave an empty file under the name.
  if (good && ::fsync(::fileno(f_)) != 0 && errno != EINVAL && errno != EROFS) fail();
  if (std::fclose(f_) != 0) fail();
  f_ = nullptr;
  if (good && std::rename(tmp_.c_str(), name_.c_str()) != 0) fail();
  if (!good) {
    failed_ = true;
    std::remove(tmp_.c_str());
  }
  return good;
}

std::string OutFile::reason() const { return reasonOf(errno_); }

void OutFile::commitOrEnd(int status) {
  if (commit()) return;
  failWrite(name_, reason().c_str(), status);
}

void failWrite(const std::string& name, const char* reason, int status) {
  failf(status, "Error: could not write file '%s' (%s); the previous copy is kept.\n",
        name.c_str(), reason);
}

void failAppend(const std::string& name, const char* reason, int status) {
  failf(status, "Error: could not write file '%s' (%s); the lines written before are kept.\n",
        name.c_str(), reason);
}

// ---- numbers ----------------------------------------------------------------------------------

const char* scanInt(const char* p, const char* end, int& v) {
  bool neg = false;
  if (p < end && (*p == '+' || *p == '-')) neg = *p++ == '-';
  if (p >= end || !isDigit(*p)) return nullptr;
  long long x = 0;
  bool overflow = false;
  for (; p < end && isDigit(*p); ++p) {
    if (overflow) continue;
    x = x * 10 + (*p - '0');
    if (x > static_cast<long long>(std::numeric_limits<int>::max()) + 1) overflow = true;
  }
  if (neg) x = -x;
  if (overflow || x > std::numeric_limits<int>::max() || x < std::numeric_limits<int>::min())
    return nullptr;
  v = static_cast<int>(x);
  return p;
}

const char* scanDouble(const char* p, const char* end, double& v) {
  const char* q = p;
  if (q < end && (*q == '+' || *q == '-')) ++q;
  std::size_t digits = 0;
  for (; q < end && isDigit(*q); ++q) ++digits;
  if (q < end && *q == '.') {
    ++q;
    for (; q < end && isDigit(*q); ++q) ++digits;
  }
  if (digits == 0) return nullptr;
  if (q < end && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    if (e < end && (*e == '+' || *e == '-')) ++e;
    if (e < end && isDigit(*e)) {
      while (e < end && isDigit(*e)) ++e;
      q = e;
    }
  }
  const std::string text(p, q);
  const double x = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(x)) return nullptr;
  v = x;
  return q;
}

// ---- TextCursor -------------------------------------------------------------------------------

void TextCursor::skipSpace() {
  while (pos_ < s_.size() && isSpace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
}

bool TextCursor::readInt(int& v) {
  skipSpace();
  const char* p = s_.data() + pos_;
  const char* q = scanInt(p, s_.data() + s_.size(), v);
  if (!q) return false;
  pos_ += static_cast<std::size_t>(q - p);
  return true;
}

bool TextCursor::readWholeInt(int& v) {
  const std::size_t before = pos_;
  int x = 0;
  if (!readInt(x)) return false;
  if (pos_ < s_.size() && !isSpace(static_cast<unsigned char>(s_[pos_]))) {
    pos_ = before;
    skipSpace();
    return false;
  }
  v = x;
  return true;
}

bool TextCursor::readDouble(double& v) {
  skipSpace();
  const char* p = s_.data() + pos_;
  const char* q = scanDouble(p, s_.data() + s_.size(), v);
  if (!q) return false;
  pos_ += static_cast<std::size_t>(q - p);
  return true;
}

bool TextCursor::readLetter(char& v) {
  skipSpace();
  const int ch = get();
  if (ch < 0) return false;
  v = static_cast<char>(ch);
  return true;
}

bool TextCursor::readWord(std::string& v, std::size_t max) {
  skipSpace();
  std::string w;
  while (w.size() < max && pos_ < s_.size() && !isSpace(static_cast<unsigned char>(s_[pos_])))
    w += s_[pos_++];
  if (w.empty()) return false;
  v = w;
  return true;
}

bool TextCursor::atEnd() const {
  for (std::size_t k = pos_; k < s_.size(); ++k)
    if (!isSpace(static_cast<unsigned char>(s_[k]))) return false;
  return true;
}

long long TextCursor::line() const {
  long long n = 1;
  for (std::size_t k = 0; k < pos_ && k < s_.size(); ++k) n += s_[k] == '\n';
  return n;
}

std::string TextCursor::where() const {
  std::size_t p = pos_;
  while (p < s_.size() && isSpace(static_cast<unsigned char>(s_[p]))) ++p;
  long long n = 1;
  for (std::size_t k = 0; k < p; ++k) n += s_[k] == '\n';
  // The end of the file lies on its last line, not on the empty one after the last line end.
  if (p >= s_.size()) return strf("line %lld, at the end of the file", !s_.empty() && s_.back() == '\n' ? n - 1 : n);
  std::size_t e = p;
  while (e < s_.size() && e - p < 24 && !isSpace(static_cast<unsigned char>(s_[e]))) ++e;
  return strf("line %lld, at '%s'", n, s_.substr(p, e - p).c_str());
}

bool readWholeFile(const char* name, std::string& text) {
  File f(name, "rb");
  if (!f) return false;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) text.append(buf, n);
  return std::ferror(f.get()) == 0;
}

// ---- RecordReader -----------------------------------------------------------------------------

RecordReader::RecordReader(std::string name) : name_(std::move(name)) {
  f_ = std::fopen(name_.c_str(), "r");
}

RecordReader::~RecordReader() {
  if (f_) std::fclose(f_);
  std::free(buf_);
}

bool RecordReader::nextLine() {
  text_.clear();
  pos_ = 0;
  start_ = 0;
  if (!f_ || open_) return false;
  const ssize_t n = ::getline(&buf_, &cap_, f_);
  if (n < 0) {
    if (std::ferror(f_)) refuse("the file could not be read to its end");
    return false;
  }
  ++line_;
  const bool ended = buf_[n - 1] == '\n';
  text_.assign(buf_, static_cast<std::size_t>(ended ? n - 1 : n));
  if (!ended) {
    if (std::ferror(f_)) refuse("the file could not be read to its end");
    open_ = true;
  }
  return true;
}

void RecordReader::skipBlanks() {
  while (pos_ < text_.size() && isSpace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
}

bool RecordReader::record(int count, const char* what, long long a, long long b) {
  skipBlanks();
  while (pos_ >= text_.size()) {
    if (!nextLine()) return false;
    skipBlanks();
  }
  count_ = count;
  what_ = what;
  a_ = a;
  b_ = b;
  start_ = pos_;
  return true;
}

void RecordReader::describe(int count, const char* what, long long a, long long b) {
  count_ = count;
  what_ = what;
  a_ = a;
  b_ = b;
  refuseWhenShort();
}

// A line cut short (a file whose writer was stopped) is named for what it lacks before any of
// its values is taken as meaning something: its first value would otherwise be judged alone
// ("surface 93 is given a second time" for the "F 93" left of a cut last record).
void RecordReader::refuseWhenShort() const {
  if (count_ >= 0 && valuesOnLine() < count_) refuseShort();
}

std::string RecordReader::token() {
  skipBlanks();
  const std::size_t p = pos_;
  while (pos_ < text_.size() && !isSpace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  return text_.substr(p, pos_ - p);
}

int RecordReader::valuesOnLine() const {
  int n = 0;
  for (std::size_t k = start_; k < text_.size();) {
    while (k < text_.size() && isSpace(static_cast<unsigned char>(text_[k]))) ++k;
    if (k >= text_.size()) break;
    ++n;
    while (k < text_.size() && !isSpace(static_cast<unsigned char>(text_[k]))) ++k;
  }
  return n;
}

std::string RecordReader::what() const { return strf(what_, a_, b_); }

void RecordReader::refuseShort() const {
  if (count_ >= 0) refuse("%s needs %d values, the line holds %d", what().c_str(), count_, valuesOnLine());
  refuse("the line ends before %s is complete", what().c_str());
}

int RecordReader::i() {
  const std::string t = token();
  if (t.empty()) refuseShort();
  int v = 0;
  const char* end = t.data() + t.size();
  if (scanInt(t.data(), end, v) != end) {
    double x = 0;
    const char* digits = t.data() + (t[0] == '+' || t[0] == '-');
    bool allDigits = digits < end;
    for (const char* p = digits; p < end; ++p) allDigits = allDigits && isDigit(*p);
    if (allDigits) refuse("'%s' in %s is too large for an integer", t.c_str(), what().c_str());
    if (scanDouble(t.data(), end, x) == end)
      refuse("'%s' in %s is not an integer", t.c_str(), what().c_str());
    refuse("'%s' in %s is not a number", t.c_str(), what().c_str());
  }
  return v;
}

double RecordReader::d() {
  const std::string t = token();
  if (t.empty()) refuseShort();
  double v = 0;
  const char* end = t.data() + t.size();
  if (scanDouble(t.data(), end, v) != end) {
    // "nan", "inf", "1e999" and the like: a number, but no value a field can take.
    char* rest = nullptr;
    const double x = std::strtod(t.c_str(), &rest);
    if (rest && *rest == '\0' && !std::isfinite(x))
      refuse("'%s' in %s is not a finite number", t.c_str(), what().c_str());
    refuse("'%s' in %s is not a number", t.c_str(), what().c_str());
  }
  return v;
}

std::string RecordReader::word() {
  std::string t = token();
  if (t.empty()) refuseShort();
  return t;
}

bool RecordReader::tryInt(int& v) {
  const std::size_t before = pos_;
  const std::string t = token();
  const char* end = t.data() + t.size();
  if (!t.empty() && scanInt(t.data(), end, v) == end) return true;
  pos_ = before;
  return false;
}

bool RecordReader::more() {
  skipBlanks();
  return pos_ < text_.size();
}

void RecordReader::end() {
  if (more()) {
    if (count_ >= 0)
      refuse("%s needs %d values, the line holds %d", what().c_str(), count_, valuesOnLine());
    refuse("'%s' is left over after %s", token().c_str(), what().c_str());
  }
  pos_ = text_.size();
}

void RecordReader::skipLine() { pos_ = text_.size(); }

void RecordReader::refuse(const char* fmt, ...) const {
  va_list ap;
  va_start(ap, fmt);
  char text[512];
  std::vsnprintf(text, sizeof text, fmt, ap);
  va_end(ap);
  throw BadRecord{strf("line %lld: %s", line_, text)};
}

}  // namespace qorva
