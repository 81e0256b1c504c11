// The cell fields of the grid being replaced, from which a regeneration carries the variables
// to the new grid; shared by the transfer and the wetting extrapolation.
#pragma once

#include "state/table.h"

namespace qorva {

// u, v, w, p, k, epsilon, 1/Ap per cell of the replaced grid, and the concentrations
// [size][cell].
struct TransferSource {
  const Table1<double>&u, &v, &w, &p, &k, &e, &invAp;
  const Table2<double>& conc;
};

// The previous time level of a transient run; in a steady run the _carry arrays while they
// hold the fields kept just before the rebuild (FlagFieldsCarried); nullptr when there is no
// source, and a regeneration then carries nothing.
const TransferSource* transferSource();

}  // namespace qorva
