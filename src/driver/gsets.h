// Checks of the G data sets that need the final sizes of the run.
#pragma once

namespace qorva {

// The G data sets check their indexes against the G 1 sizes (and F 65, F 134) read so far,
// but G 1 may come after them. Repeats those checks on the stored records against the final
// sizes, with the same messages and statuses, so no later step indexes a table with them.
// Called after the scan, before any array is sized or written from the records.
void checkGIndexesAfterReading();

}  // namespace qorva
