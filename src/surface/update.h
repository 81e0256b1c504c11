// What the files of one free-surface update share: the reference cells of the update and the
// rule of the pressure-based node update. Private to surface/.
#pragma once

namespace qorva {

// Bottom cells of the reference column and of the second reference column (0 without one).
struct SurfaceReference {
  int cR = 0;
  int cR2 = 0;
};

// How the pressure-based update moves a node.
struct NodeRule {
  bool twoReferences = false;   // reference pressure and level weighted between two columns
  bool meanPressure = false;    // column mean pressure Bpresavg under F 233 6 and 7
  bool relax = true;            // RelaxSurface (times relaxScale) on the move
  double relaxScale = 1.0;      // backwater scale on the relaxed move
  double headScale = 1.0;       // backwater scale on the pressure head (F 477 3)
  bool froudeLimit = false;     // depth kept at or above the F 132 Froude depth
  bool froudeDamping = false;   // F 517 1: the move damped by speed over depth
  bool downstreamFirst = false; // nodes swept from the last node line of the block upstream
  bool regression = false;      // pressures regressed over the iterations (F 143), nodes of
                                // the block's columns only
};

// Moves the surface nodes of the worked blocks by the rule.
void moveSurfaceNodes(const NodeRule& rule, const SurfaceReference& r);

// The update driver's pressure-based algorithm (F 36 0, 2 and the values that take its road):
// the regression (F 143 1, 2), full-step (F 480), two-reference or one-reference variant.
void pressureNodeUpdate(const SurfaceReference& r);

// The grid rebuilt on the new levels: the fields of the moment kept as the previous values
// (with 1/Ap, so that the fluxes keep their pressure term), Unstructure, metric, BedMake, the
// fluxes and the F 168 levels. Ends the run (status 1) when the generator fails: the flow
// must not go on on a broken grid.
void rebuildOnNewLevels();

// Top cell of the reference column from the references' result r, followed down to its bottom
// cell when zval has none for it; ends the run (status -1, "Error 9") when there is none.
int referenceBottomCell(int r);

}  // namespace qorva
