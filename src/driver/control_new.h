#pragma once

namespace qorva {

// Writes the current settings to `control.new` in the working directory,
// one data set per line, so that the file can be read back as a control
// file and reproduce the same settings.
void writeControl();

}  // namespace qorva
