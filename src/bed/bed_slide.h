// The bodies of the sand slide that computeSandSlide picks by IterAvalanche, and the exchange
// of bed between two layer stacks that the slides and the smoothing of the layered bed share.
// Private to bed/.
#pragma once

namespace qorva::bedslide {

// 200 and 201: each column steeper than the angle of repose turned about its centre to it.
void planeRotation(int variant);
// 203: the top layer of the higher of two columns along i moved onto the lower one.
void topLayerSlide();
// 202, 204: half the excess of a pair steeper than the angle of repose moved, size by size,
// through the layer stacks; 205: the same in the pending bed change; 206: the pending
// deposition of the higher column handed to the lower.
void layeredSlide(int variant);

// The grains of each size (solid volume per unit area of the giving column, m) that one
// exchange took off a stack.
struct Taken {
  double grains[52] = {};
};
// Takes the thickness m (m of bed) off the top of the stack of bed cell b, each size as it
// lies there, through the layer change; returns the grains it lost.
Taken takeFromStack(int b, double m);
// Lays `share` of the grains taken from bed cell `from` on the stack of bed cell `to` as a
// deposit: the same grains, over the other column's area, at the solid fraction of deposits.
void layOnStack(int to, int from, const Taken& taken, double share);
// Plan area of `from` over that of `to`: the thickness factor that keeps a volume moved
// between the two columns (1 where an area is missing).
double areaRatio(int from, int to);
// Horizontal distance of the centres of columns (i, j) and (p, q).
double centreDistance(int i, int j, int p, int q);

}  // namespace qorva::bedslide
