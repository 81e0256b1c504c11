// Left only until the files that include it take the headers they need: the print-time records
// of timei are in state/timeseries.h, the profiles of cyclic and inflow in
// state/inflow_profiles.h.
#pragma once

#include "state/inflow_profiles.h"
#include "state/timeseries.h"
