// Plan areas of the columns and the number of levels of every grid line and cells of every
// column, from the depths.
#include "grid/grid.h"
#include "state/log.h"

namespace qorva {

void ArmapMake() { notAvailable("the column areas (ArmapMake)"); }
void computeF94() { notAvailable("the automatic depth limits (computeF94)"); }
void MakeAntlin(int, int, int, int, double) { notAvailable("the level counts (MakeAntlin)"); }
void MakeAnt(int, int, int, int) { notAvailable("the cell counts (MakeAnt)"); }
void computeAntlinRoughness(int, int, int, int, double) {
  notAvailable("the level counts by roughness (computeAntlinRoughness)");
}

}  // namespace qorva
