// Checks of F 350 to F 399 settings that need the final sizes of G 1.
#pragma once

namespace qorva {

// The bed-statistics window of F 358 indexes the structured tables, so once G 1 is final it
// must lie on grid lines 1..xnumber, 1..ynumber with I1 <= I2 and J1 <= J2. Nothing is checked
// while the statistics are off (BedStatI1 is 0). Ends the run with status 1 otherwise.
void checkF358AfterReading();

}  // namespace qorva
