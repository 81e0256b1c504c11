// Settings of the Q (water-quality terms) and M (inflow concentrations) data sets.
#pragma once

#include <array>

#include "state/table.h"

namespace qorva {

// One reaction term of the water-quality model: the code says which references and
// coefficients it reads; those it does not read stay 0.
struct QualityTerm {
  int component;
  int code;
  int ref[6];
  double coef[10];
};

inline Fixed<QualityTerm, 200> QTerms;  // Q
inline int NoTerms = 0;  // Q

// Name of component c in row c, at most 39 characters and the terminating NUL.
inline Fixed<std::array<char, 40>, 40> QualityName;  // Q 0 (and F 67 for temperature)

// Inflow concentration of each component (or sediment size, up to 50) at inflow group 1..9;
// order[c] is the running number of the M data set that gave it, -1 when none did.
struct ComponentInflow {
  int order[51];
  double value[51];
};

inline constinit Fixed<ComponentInflow, 10> CompInflow = [] {  // M
  Fixed<ComponentInflow, 10> in;
  for (ComponentInflow& g : in.v)
    for (int& o : g.order) o = -1;
  return in;
}();
inline int CompInflowNo = 0;  // M data sets read

}  // namespace qorva
