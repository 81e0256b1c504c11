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

// Grid metrics, face flags and checks.
// Cell centres, volumes, half sizes, face areas, normals, distances and flow flags of the
// present grid, then the nesting links, the solving order and the reports of F 212. Does
// nothing while FlagHaveDoneMetric is 1 (unless F 523 is set). Ends the run with status -1
// on a cell of zero volume, skewed vertical edges or a negative vertical direction.
void metric();

// Flow flag of a small boundary surface f at a wedge: 2 when the bottom cell of its column has
// a neighbour on that side, else 0.
int findFlagflowTriangle(int f);

// Logs every mismatch between the cells' surfaces and the surfaces' cells and side codes in
// the working ranges. Returns UMethod2 when it is at least 1 (nothing checked), else 0.
int CheckFparam();
// The check itself, for callers that have already tested UMethod2.
int CheckFparamBody();

// Lowers the bottom corners of the bed cell with the largest k residual (F 395), then metric.
void ModifyGrid();

}  // namespace qorva
