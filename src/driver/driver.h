// Program entry and task driver.
#pragma once

// writeControl, the writer of control.new, lives with the state it writes.
#include "state/control_new.h"

namespace qorva {

// Reads the configuration, allocates the arrays and walks the F 2 task letters.
void InitialFunction();

// What main does: prepares the state, makes sure `control` exists, runs the driver, and returns
// the exit status (1 after a normal run, the status of endRun otherwise).
int programMain();

}  // namespace qorva
