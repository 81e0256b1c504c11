// What the files of the transient free surface share: the level change of one column, its
// spreading to the corner nodes, the boundary levels of the time series with the outlet
// damping, and the minimum depth at the outlet. Private to surface/.
#pragma once

namespace qorva::surf {

// Level change (m) of the column with bottom cell c0, top cell t and bed cell bp over one
// time step, by the form of F 36, with the mud adjustments of F 236 (weight w of the
// continuity form in form 17) and the limits of F 359 and F 530.
double columnLevelChange(int c0, int t, int bp, double w);

// Spreads the change dh of column (i, j) of block b (bottom cell c0, bed cell bp) over its four
// corner nodes by F 179, with the wall factors of F 469 / F 472 and the depth cap of F 403;
// passes the shares on to the mud planes (F 236, F 347) and the groundwater of a mud layer.
void spreadToCorners(int b, int i, int j, int c0, int bp, double dh);

// The outlet and inlet levels of timei at the time stimet: `out` and `in` say whether the
// series gives them (a level may be 0 m or below).
struct SeriesLevels {
  bool out = false, in = false;
  double Hout = -1, Hin = -1;
};
SeriesLevels seriesLevels();

// Series levels on the boundary nodes of the discharge groups and the outlet damping of F 353
// (block b, which holds no mud layer).
void transientBoundaryLevels(int b);
// The outlet nodes kept at least F 403 second value above the bed.
void outletMinimumDepth();

}  // namespace qorva::surf
