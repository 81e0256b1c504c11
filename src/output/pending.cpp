// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "output/output.h"
#include "state/log.h"

namespace qorva {

void print_tecplot2d(int, int) { notAvailable("the Tecplot plan view (print_tecplot2d)"); }
void print_tecplot3d(int) { notAvailable("the Tecplot 3-D file (print_tecplot3d)"); }
void print_paraview2d(int, int) { notAvailable("the VTK plan view (print_paraview2d)"); }
void writeParaBed3(int, int) { notAvailable("the bed-layer row section (writeParaBed3)"); }
void writeParaBed4(int) { notAvailable("the bed-layer slabs (writeParaBed4)"); }
void writeParaBed5(int, int) { notAvailable("the bed-layer column section (writeParaBed5)"); }
void print_interres(int) { notAvailable("the interpolated results (print_interres)"); }
void writeCellTable() { notAvailable("the cell table TarpoPkt.dat"); }
void writeBedPoints() { notAvailable("the bed points beddata.sim"); }
void writeWetOutline() { notAvailable("the wet-area outline zebrun"); }
bool writeHabitat() { notAvailable("the depth and velocity classes habitat"); }
bool writeSlopingFraction() { notAvailable("the fraction of sloping bed area (boogie.spe)"); }
bool writeDischargeCheck() { notAvailable("the discharge check (boogie.spe)"); }
bool writeLevelProfile(bool) { notAvailable("the water, mud and groundwater profile (boogie.spe)"); }
int makeWeirSTL() { notAvailable("writing the weir as STL (task Z)"); }

}  // namespace qorva
