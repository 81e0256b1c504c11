// Readers of the optional files that complete the configuration after `control`: the survey
// pre-scan of `geodata` and the side files `cyclic`, `inflow` and `inspace`. A missing file is
// no error; a bad record ends the run with its message in `boogie`.
#pragma once

namespace qorva {

// Without a W 1 data set the water level and the first eleven vertical levels of G 3 come from
// the range of the "E x y z" lines of `geodata`: level = highest z + 1, zdistrib[1..11] spread
// evenly from lowest to highest z. Both keep their values when no such line is found.
void preScanGeodata();

// `cyclic`: lines "k u k-value epsilon" for k = 1, 2, ... while they follow in order and
// k <= znumber, into cyclicU, cyclicK, cyclicE; FlagHaveReadCyclic = 1 above one point.
void readCyclicFile();

// `inflow`: records "D j k u v w k-value epsilon" into the inflow tables (inflowu ...).
void readInflowFile();

// `inspace`: an optional A record (FlagInspace), then B records (inspace, without F 294) or
// T and C records (time rows TinspaceTime, Tinspace, with F 294).
void readInspaceFile();

}  // namespace qorva
