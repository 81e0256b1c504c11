// Writer of `control.new`: the present settings as a control file. It reads the settings
// alone, so every folder may call it (the grid builders do when the F 65 sizes are too small).
#pragma once

namespace qorva {

// Writes the present settings to `control.new` in the working directory, one data set a line,
// so that the file reads back as a control file with the same settings.
void writeControl();

}  // namespace qorva
