// Data sets Q (water-quality terms and component names) and M (inflow concentrations per
// inflow group) of `control`. Writes QTerms, NoTerms, QualityName, CompInflow, CompInflowNo.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// Values a term code reads after its component: integer references first, then coefficients.
struct TermFormat {
  int code;
  int ints;
  int doubles;
  int bedRows = 0;  // references after the first that are rows of BQvar (F 79), not components
};

// The codes that have terms, in increasing order; any other code reads nothing.
constexpr TermFormat kTermFormats[] = {
    {1, 0, 1}, {2, 1, 1}, {3, 2, 1}, {4, 2, 2}, {5, 0, 1}, {11, 0, 1}, {17, 1, 7},
    {42, 0, 4}, {51, 0, 5}, {81, 0, 8}, {113, 1, 1}, {120, 1, 2}, {121, 1, 2}, {122, 1, 2},
    {123, 1, 2}, {131, 1, 3}, {132, 1, 3}, {133, 1, 3}, {151, 1, 5}, {152, 1, 5}, {161, 1, 6},
    {162, 1, 6}, {221, 2, 2}, {230, 2, 3}, {251, 2, 5}, {252, 2, 5}, {261, 2, 6}, {272, 2, 7},
    {281, 2, 8}, {282, 2, 8}, {291, 2, 9}, {340, 3, 4}, {361, 3, 6}, {371, 3, 7}, {1001, 0, 1},
    {1002, 1, 1}, {1003, 2, 1}, {1004, 2, 2}, {1012, 1, 1}, {1060, 0, 6},
    {1102, 0, 2}, {2001, 0, 1}, {2002, 1, 1}, {2003, 2, 1}, {2004, 2, 2}, {2030, 0, 3},
    {2149, 4, 9, 3}, {6100, 6, 10},
};

constexpr bool byCode(const TermFormat& a, const TermFormat& b) { return a.code < b.code; }
static_assert(std::is_sorted(std::begin(kTermFormats), std::end(kTermFormats), byCode));

bool termFormat(int code, TermFormat& f) {
  const auto* end = std::end(kTermFormats);
  const auto* it = std::lower_bound(std::begin(kTermFormats), end, code,
                                    [](const TermFormat& t, int c) { return t.code < c; });
  if (it == end || it->code != code) return false;
  f = *it;
  return true;
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
    // The name row holds 39 characters and its end.
    if (!r.input().readWord(name, 40)) r.failText(termError);
    if (name.size() > 39)
      r.failText(strf("Input error for Q 0 %d in control: the name is longer than 39 characters\n", c));
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
    // A bed row is checked against F 79 when the term acts; a component must exist.
    const bool bedRow = n >= 1 && n <= f.bedRows;
    if (t.ref[n] < 0 || (!bedRow && t.ref[n] > NoComponents - 1)) r.failText(termError);
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
  // The inflow concentrations of the M data sets fill the first 20 columns of the timei rows.
  if (CompInflowNo >= 20)
    r.failText(strf("Error for M %d %d data set\nMore than 20 M data sets\n", n, c));
  if (!r.d(CompInflow[n].value[c])) r.failText(strf("Error for M %d %d data set\n", n, c));
  CompInflow[n].order[c] = CompInflowNo;
  ++CompInflowNo;
}

}  // namespace

void addQMsets(DataSetTable& t) {
  t.push_back({'Q', kAnyNumber,
               "Water-quality terms: Q code c adds the term of that code to component c; Q 0 c "
               "names component c",
               declared(QTerms, NoTerms, QualityName),
               readQualityTerm});
  t.push_back({'M', kAnyNumber,
               "Inflow concentration of component or grain size c in the water of inflow group g "
               "(M g c value)",
               declared(CompInflow, CompInflowNo),
               readComponentInflow});
}

}  // namespace qorva
