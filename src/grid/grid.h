// Grid generation, geometry and regridding. What other folders may call.
#pragma once

namespace qorva {

// Tasks.
int Unstructure();          // generates the unstructured grid from the structured one
void computeRoughness();    // bed roughness from survey points (task K)
void bedinter();            // bed levels from survey points (task V)

// Cell makers: fill cell c from NewCell, creating the missing surfaces and points.
int MakeCell(int c);
int MakeCellNew(int c, int i, int j, int k);

// Plan areas and level counts per grid line and column.
void ArmapMake();
void computeF94();
void MakeAntlin(int i1, int i2, int j1, int j2, double scale);
void MakeAnt(int i1, int i2, int j1, int j2);
void computeAntlinRoughness(int i1, int i2, int j1, int j2, double scale);

// Grid quality checks of a block window, before and after the column counts.
void Grid1Stability(int i1, int i2, int j1, int j2);
void Grid2Stability(int i1, int i2, int j1, int j2);

}  // namespace qorva
