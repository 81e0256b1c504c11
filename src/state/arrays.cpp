// The allocation tables of the structured and unstructured arrays, sialloc, AllocateArrays
// and SetArraysZero. Sizes come from G 1 and F 65; every array starts zero-filled.
#include "state/arrays.h"

#include <array>
#include <tuple>

#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace {

template <class Tab, class Dims>
ArrayRow arr(const char* name, Tab& t, std::function<bool()> when, Dims dims) {
  return ArrayRow{
      name, std::move(when),
      [&t, dims] { return std::apply([&t](auto... d) { return t.allocate(d...); }, dims()); },
      [&t] { return t.bytes(); }, [&t] { return static_cast<bool>(t); }, [&t] { t.release(); }};
}

bool always() { return true; }

}  // namespace

const std::vector<ArrayRow>& structuredArrays() {
  static const std::vector<ArrayRow> rows = {};
  return rows;
}

const std::vector<ArrayRow>& unstructuredArrays() {
  static const std::vector<ArrayRow> rows = [] {
    std::vector<ArrayRow> r;
    auto cells = [] { return std::array<long long, 1>{MaxCeller}; };
    for (auto* t : {&Cflatee, &Cflatew, &Cflates, &Cflaten, &Cflatet, &Cflateb})
      r.push_back(arr("Cflate", *t, always, cells));
    r.push_back(arr("Cxvel", Cxvel, always, cells));
    auto sizes = [] { return std::array<long long, 2>{lnumber + 1LL, MaxCeller}; };
    r.push_back(arr("Cconc", Cconc, always, sizes));
    r.push_back(arr("Cconc_old", Cconc_old, [] { return TimeStep > 1e-8; }, sizes));
    return r;
  }();
  return rows;
}

void SetArraysZero() {
  for (const ArrayRow& a : structuredArrays()) a.release();
  for (const ArrayRow& a : unstructuredArrays()) a.release();
}

// Allocates the missing arrays of a table whose condition holds; adds their bytes to `bytes`.
static bool allocateRows(const std::vector<ArrayRow>& rows, std::size_t& bytes) {
  for (const ArrayRow& a : rows) {
    if (a.allocated() || !a.when()) continue;
    if (!a.allocate()) {
      logf("Allocated %lf Mbyte when out of memory\n", static_cast<double>(bytes) * 1e-6);
      return false;
    }
    bytes += a.bytes();
  }
  return true;
}

int sialloc() {
  mc_message = "Initializing arrays";
  std::size_t bytes = 0;
  if (!allocateRows(structuredArrays(), bytes)) return -1;
  logf("Have allocated %12.2lf Mbytes structured arrays\n", static_cast<double>(bytes) * 1e-6);
  mc_message = "Initiation of arrays o.k";
  return 0;
}

double AllocateArrays(int, int, int) {
  mc_message = "Initializing arrays";
  if (Cflatee) endRun(-1);
  std::size_t bytes = 0;
  if (!allocateRows(unstructuredArrays(), bytes)) return -1.0;
  const double mb = static_cast<double>(bytes) * 1e-6;
  logf("Have allocated %12.2lf Mbytes unstructured arrays\n\n", mb);
  mc_message = "Unstructured arrays o.k     ";
  return mb;
}

}  // namespace qorva
