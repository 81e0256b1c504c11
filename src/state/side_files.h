// Left only for the two files that are being rebuilt elsewhere (flow/water_solve.cpp and
// sediment/morphology_tsc.cpp): they take the print-time records from here. Their next change
// includes state/timeseries.h instead and deletes this header; nothing else includes it.
#pragma once

#include "state/timeseries.h"
