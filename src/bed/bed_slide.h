// The bodies of the sand slide that computeSandSlide picks by IterAvalanche. Private to bed/.
#pragma once

namespace qorva::bedslide {

// 200 and 201: each column steeper than the angle of repose turned about its centre to it.
void planeRotation(int variant);
// 203: the top layer of the higher of two columns along i moved onto the lower one.
void topLayerSlide();

}  // namespace qorva::bedslide
