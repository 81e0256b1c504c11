// Nesting links (prefix N, sized by MaxNester of F 65) and the surface pairs of block
// connections (sized by MaxConnFlate).
#pragma once

#include "state/table.h"

namespace qorva {

// Per link: the four cells [link][0..3] interpolated from, with their vectors
// [link][0..3][0..2] and weights; the wall mark, surface, cell and block of the link.
inline Table2<int> Ncell;
inline Table1<int> Ninoutwall, Npflate, Npcelle, Npblock;
inline Table3<double> Nvect;
inline Table2<double> Nweight;
inline Table1<double> Nflux;

// The two coincident surfaces of a block joint, rows 1..NoConnFlate.
inline Table2<int> connFlate;
inline int NoConnFlate = 0;

}  // namespace qorva
