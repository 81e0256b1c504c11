// Program entry and task driver.
#pragma once

namespace qorva {

// Reads the configuration, allocates the arrays and walks the F 2 task letters.
void InitialFunction();

// What main does: prepares the state, makes sure `control` exists, runs the driver, and returns
// the exit status (1 after a normal run, the status of endRun otherwise).
int programMain();

// Writes the present settings to `control.new` in the working directory, one data set a line,
// so that the file reads back as a control file with the same settings. The grid builders call
// it when the F 65 sizes are too small.
void writeControl();

}  // namespace qorva
