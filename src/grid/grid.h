// Grid generation, geometry and regridding. What other folders may call.
#pragma once

#include "state/table.h"

namespace qorva {

// Tasks.
int Unstructure();          // generates the unstructured grid from the structured one
void computeRoughness();    // bed roughness from survey points (task K)
int bedinter();             // bed levels from survey points (task V); returns 0

// Steps of the grid generator that this version does not have yet (hooks: grid/pending.cpp ends
// the run with their "Not available" line): the two-layer generator of F 488 (in place of
// Unstructure), the refinement blocks of F 130, the vertical methods F 64 7, 37 and 9, the dry-edge shaping of
// F 102 (UnstrucHorMove, UnstrucTriangular.., setCorrTrekant, FixInflowCells), the mud-layer
// block on its own levels (UnstrucThixo2, F 289 second value), the depth-averaged blocks of F 68
// and F 311, and the critical cross-sections along the route of F 407.
int Unstructure2();
void UnstrucTett();
void UnstructureMethod(int method);
void dryEdgeShaping();
void UnstrucThixo2(int w);
void HydroStaticMake();
void HydroStaticMake2();
void computeCriticalCross();

// The mud-layer block (F 236 above 1, F 262 above 0), block 2 under water block 1.
// mudLayerBlock: refuses a grid without exactly one water block, a G 1 too narrow for the mud
// window or too few levels (ends the run), then builds the block by F 289 (second value).
// UnstrucThixo3(w): block w + 1 on the plan points of block w, shifted by w's j2 + 3 - j1 in j;
// per column one base cell below the mud bottom (Surfaces plane 5) and the mud cells above it
// up to w's bed. Returns 0, or the F 65 failure result (minus the largest count) after its
// report.
void mudLayerBlock();
int UnstrucThixo3(int w);
// Value of the cell field f in the column of cell n at the height of the centre of cell c,
// linear between the two cells around that height (extrapolated past the column's end).
double interpolatevalue(const Table1<double>& f, int c, int n);

// Ponds. removePonds (F 394, in the generator after the column counts): the columns of block 1
// that wet columns do not connect to a discharge group's listed bed cells get no cells (ant 0;
// Bponds marks the connected ones; Bdepth is used as scratch). makeRidge: the marks of
// F 394 above 1000 that let the connection pass only where the grid line between two columns
// has a wet end. reducePonds (F 379 1, before a free-surface rebuild): grid points whose wet
// columns are almost still (0 < 300 k < F 379 shear) and whose depth is below F 379 times
// MinVertDist0 are lowered to half MinVertDist0 above the bed (zval[..][..][znumber] only).
void removePonds();
void makeRidge();
void reducePonds();

// Grid-split prevention (F 371) on block 1. NoGridSplit sets the minimum water level
// Bminwaterlevel of the bed cells along the flow by the F 371 method (and Bminlevdh, rute,
// the Froude levels of F 351 2); NoGridSplitRise raises every grid point of block 1 to the
// highest minimum of its wet columns, both level slots. riseNeighbours raises the minimum of
// the four (F 423 above 1: eight) neighbours of column (i, j) to bed + 0.8 dh.
void NoGridSplit();
void NoGridSplitRise();
void riseNeighbours(int i, int j, double bed, double dh);
// The Froude-limited minimum levels of F 371 7, 8 (per wet run, from the fluxes) and 9 (per
// cross-section, for the discharge of group 1, by iteration with warnings in boogie).
void computeMinwaterlevel2();
void computeMinwaterlevel4();
// Froude number of discharge Q (m3/s) through the cross-section of block 1 midway between
// grid lines i - 1 and i at water level `level` (partly wet segments cut linearly).
double computeFroude(int i, double Q, double level);

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

// Grid consistency test over the cells WCStart..WCEnd (F 1 A in every inner iteration of the
// flow driver): neighbour links both ways, the owners and corners of each cell's surfaces and,
// with F 488 0, the side walls next to the bed. Each failed check logs "Error %d in grid for
// cell %d" and leaves it in mc_message; nothing is changed. A log that cannot be opened ends
// the run with status -3.
void gridTest();

// Lowers the bottom corners of the bed cell with the largest k residual (F 395), then metric.
void ModifyGrid();

// Starting values of the columns that a regeneration made wet (Bnocells_old 0, cells now),
// by the variant of the third F 147 integer: 1 from the neighbours' values before the
// regeneration, 2 and 5 by sweeps over the new grid. PressureTest reports, with F 1 'D',
// newly wet columns left without pressure and large pressure jumps to their neighbours.
void WettingExtrapolation1();
void WettingExtrapolation2();
void WettingExtrapolation5();
void PressureTest();

// Nesting maps. computeNestedArrays lists the boundary surfaces of the nested blocks and marks
// their cells (CflagDim 2); it returns 0, or -46 when the list would outgrow MaxNester.
// computeCinterpolnest gives each nested cell its coarse partner cell, computeBnestcoarse
// each nested bed cell its coarse bed cell and the coarse grid points their nearest finer
// point; nestbedinterpol copies nested bed levels onto the coarse grid points inside them.
int computeNestedArrays();
void computeCinterpolnest();
void computeBnestcoarse();
void nestbedinterpol();

// Block connections.
// 1 when point a matches c and b matches d in plan, else 2 when a matches d and b matches c,
// else 0; points match when x and y both differ by less than ConnectLimit (F 191).
int checkXY(double xa, double xb, double xc, double xd, double ya, double yb, double yc,
            double yd);
// Joins the open side s (1 south .. 4 west, bottom corners a and b) of top cell c to the top
// cell of WCStart..WCEnd whose open side has the same corners in plan, and both columns below
// them; the surface pairs go to connFlate. Returns 1 when joined, 0 without a partner, -47
// when the pair table is full (logged; that pair is not stored).
int Connect(int a, int b, int c, int s);
// The joining pass over the top cells firstCell..lastCell; partners are searched in
// WCStart..WCEnd. Ends the run with status -47 when the pair table is full.
void connectBlocks(int firstCell, int lastCell);
// F 348: relinks the cells below the top cells at the joint of blocks 1 and 2 by height.
void connectUneven();
// F 348: scales the fluxes on both sides of that joint to their mean total.
void correctFluxUneven();

// Bed-cell index, one bed cell per column of the blocks whose flag2D and skip are 0, blocks in
// order, i outer, j inner. numberBedCells makes the numbering (NoBCells, pointbed, Bkooi,
// Bkooj, Barea, bcellstart/bcellend) with empty column arrays; renumberBedColumns lays the
// same numbering over the columns of the present blocks again (pointbed, Bkooi, Bkooj only);
// setCellBedCells gives every cell the bed cell of its column (Cbed). BedMake numbers while
// NoBCells is 0, then refreshes the columns of the present grid (Bcellt, Bnocells, Bdepth,
// Cbed); after a regeneration over a running solution it carries the cell variables to the
// new grid (InterpolateGrid) and places the discharge groups again.
void numberBedCells();
void renumberBedColumns();
void setCellBedCells();
void BedMake();
void InterpolateGrid();
// Which fields copyFlowToOld keeps besides u, v, w, k and epsilon: the old time level of a
// time step keeps no pressure; a regenerated grid keeps the pressure; a surface update and a
// sediment step keep 1/Ap too, so that the fluxes of the rebuilt grid keep their pressure term.
enum class AlsoOld { None, Pressure, PressureAndInvAp };
// The flow of cells first..last becomes its previous value: Cxvel_old, Cyvel_old, Czvel_old,
// Ckinen_old, Cepsilon_old (and Cpres_old, CinvAp_old as `also` says) = the present fields.
void copyFlowToOld(int first, int last, AlsoOld also);
// A steady run (no previous time level) keeps the fields of the present grid, u .. epsilon,
// 1/Ap and the concentrations of cells 1..NoCells, as the source of the transfer of the next
// regeneration; without it the new grid would keep whatever its cell numbers held. Does
// nothing where the run has no arrays for them (a transient run carries from its previous
// time level).
void keepFieldsForTransfer();

// Survey points and the bed levels interpolated from them (task V).
// readGeodata reads the first survey file found (geodata, or geodata.mpi<F 308> in a
// block-division run; geodatk, geodatm, geodatn, or the porlent raster, which is the grid as
// well while no block exists) into NoGeo, xg, yg, zg, ig and starts boogie.bed. A record that
// does not give its numbers is skipped with a warning in boogie. Returns 0.0, -1.0 when
// boogie.bed cannot be created or the points find no memory, -2.0 when no survey file exists.
// bedinter reads the points when there are none yet (no point at all ends the run with status
// 1), then sets zval[i][j][1] of every grid point of the blocks that follow the bed from the
// nearest point of each plan quadrant around it (F 47, F 129); deleted points take no part.
double readGeodata();

// Plan geometry. insideQuadCellGeo: 1 when survey point n lies strictly inside the plan of the
// bottom face of cell c (corners 1..4 counter-clockwise), else 0. insideQuad: 1 when (x, y)
// lies strictly inside the quadrilateral given clockwise. insideTriGeo: 1 when point n lies in
// or on the deletion triangle xDelGeo, yDelGeo. delGeodataValues: marks the points inside that
// triangle deleted (ig = 1); -1 when its corners run clockwise, else 0.
int insideQuadCellGeo(int n, int c);
int insideQuad(double x, double y, double x1, double y1, double x2, double y2, double x3,
               double y3, double x4, double y4);
int insideTriGeo(int n);
int delGeodataValues();
// Cosine of the angle between the plan vectors (ax, ay) and (bx, by); 0 when one is zero.
double dotproduct(double ax, double ay, double bx, double by);
// ax by - ay bx.
double crossproduct(double ax, double ay, double bx, double by);
// Angle between the horizontal and the plane spanned by (a, b, c) and (d, e, 0).
double slopeangle(double a, double b, double c, double d, double e);

}  // namespace qorva
