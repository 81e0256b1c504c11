// Data sets Q (water-quality terms and component names) and M (inflow concentrations per
// inflow group) of `control`. Writes QTerms, NoTerms, QualityName, CompInflow, CompInflowNo.
#include <cstring>
#include <string>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// Values a term code reads after its component: integer references first, then coefficients.
struct TermFormat {
  int ints;
  int doubles;
  bool refMayBeCount;  // references may equal NoComponents (not only lie below it)
};

bool termFormat(int code, TermFormat& f) {
  switch (code) {
    case 1: case 5: case 11: case 1001: case 2001: f = {0, 1, false}; return true;
    case 2: case 113: case 1002: case 1012: case 2002: f = {1, 1, true}; return true;
    case 3: case 1003: case 2003: f = {2, 1, false}; return true;
    case 4: case 221: case 1004: case 2004: f = {2, 2, false}; return true;
    case 120: case 121: case 122: case 123: f = {1, 2, false}; return true;
    case 131: case 132: case 133: f = {1, 3, false}; return true;
    case 151: case 152: f = {1, 5, false}; return true;
    case 161: case 162: f = {1, 6, false}; return true;
    case 17: f = {1, 7, false}; return true;
    case 230: f = {2, 3, false}; return true;
    case 251: case 252: f = {2, 5, false}; return true;
    case 261: f = {2, 6, false}; return true;
    case 272: f = {2, 7, false}; return true;
    case 281: case 282: f = {2, 8, false}; return true;
    case 291: f = {2, 9, false}; return true;
    case 340: f = {3, 4, false}; return true;
    case 361: f = {3, 6, false}; return true;
    case 371: f = {3, 7, false}; return true;
    case 2149: f = {4, 9, false}; return true;
    case 6100: f = {6, 10, false}; return true;
    case 42: f = {0, 4, false}; return true;
    case 51: f = {0, 5, false}; return true;
    case 81: f = {0, 8, false}; return true;
    case 1060: f = {0, 6, false}; return true;
    case 1102: f = {0, 2, false}; return true;
    case 2030: f = {0, 3, false}; return true;
    default: return false;
  }
}

void readQualityTerm(DataSetReader& r) {
  const int code = r.number();
  int c = -1;
  const bool haveC = r.i(c);
  if (!haveC || code < 0 || code > 10000 || c < 0 || c >= NoComponents)
    r.failText(strf("Input error for Q %d in control\n", code));
  const std::string termError = strf("Input error for Q %d %d in control\n", code, c);

  if (code == 0) {
    std::string name;
    // The name row holds 39 characters; a longer name is cut there.
    if (!r.input().readWord(name, 39)) r.failText(termError);
    std::array<char, 40>& row = QualityName[c];
    row.fill(0);
    std::memcpy(row.data(), name.data(), name.size());
    return;
  }

  TermFormat f;
  if (!termFormat(code, f)) return;  // codes without terms read nothing
  if (NoTerms >= static_cast<int>(QTerms.size()))
    r.failText(strf("Input error for Q %d %d in control: more than %d terms\n", code, c,
                    static_cast<int>(QTerms.size())));
  QualityTerm& t = QTerms[NoTerms];
  t = QualityTerm{};
  for (int n = 0; n < f.ints; ++n) {
    if (!r.i(t.ref[n])) r.failText(termError);
    const int limit = f.refMayBeCount ? NoComponents : NoComponents - 1;
    if (t.ref[n] < 0 || t.ref[n] > limit) r.failText(termError);
  }
  for (int n = 0; n < f.doubles; ++n)
    if (!r.d(t.coef[n])) r.failText(termError);
  t.component = c;
  t.code = code;
  ++NoTerms;
}

void readComponentInflow(DataSetReader& r) {
  const int n = r.number();
  if (n < 1 || n > 9)
    r.failText(strf("Error for M %d data set\nFirst integer must be between 1 and 9\n", n));
  int c = -1;
  const bool haveC = r.i(c);
  if (!haveC || c < 0 || !(c < NoComponents || c <= lnumber))
    r.failText(strf("Error for M %d %d data set\n"
                    "Second integer less than zero, or larger than what is given on F 50 data set\n",
                    n, c));
  if (!r.d(CompInflow[n].value[c])) r.failText(strf("Error for M %d %d data set\n", n, c));
  CompInflow[n].order[c] = CompInflowNo;
  ++CompInflowNo;
}

}  // namespace

void addQMsets(DataSetTable& t) {
  t.push_back({'Q', kAnyNumber,
               declared(QTerms, NoTerms, QualityName),
               readQualityTerm});
  t.push_back({'M', kAnyNumber,
               declared(CompInflow, CompInflowNo),
               readComponentInflow});
}

}  // namespace qorva
