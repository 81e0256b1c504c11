// Grid, restart and exchange files. What other folders may call.
#pragma once

namespace qorva {

void writeMPIkoosurf();
int ReadAllData();
int ReadTimes();
int writeConqRes();
int writeConcRes();
int WriteUnstructure();
void WriteAllData();
int readConRes();
void readres();
int ReadUnstructure();
void readKoosurf();
void writekoosurf();

}  // namespace qorva
