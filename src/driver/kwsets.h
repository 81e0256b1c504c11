// Checks of the K and W data sets that can only be completed once `control` has been read.
#pragma once

namespace qorva {

// A G 1 data set may follow the W 4, W 6 and W 7 data sets in `control`, so their grid indexes
// were checked against the sizes known at the time. Checks the stored records again against
// the final G 1 sizes; the first bad one ends the run with its reader's message and status 1.
void checkKWIndexesAfterReading();

}  // namespace qorva
