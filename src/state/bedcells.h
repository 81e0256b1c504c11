// Per-bed-cell arrays (prefix B): one bed cell per water column, numbered from 1, capacity
// (xnumber+3)(ynumber+3). Also the vegetation and tracer tables of the bed.
#pragma once

#include "state/table.h"

namespace qorva {

// Top cell and cell count of the column, its structured indices, the top bed layer.
inline Table1<int> Bcellt, Bcellt_old, Bcellth, Bnocells, Bnocells_old, Bkooi, Bkooj, BlayerTop;
inline Table1<int> Bcelltt_old, Bnestcoarse, Barmourthick;
// Pond marks (F 394): 1 when the column is connected to a discharge group, 0 a pond.
inline Table1<int> Bponds;

inline Table1<double> Bdepth, Bdepth_old, Bfly, Bedformheight, Broughness, Bd90, BFroude,
    Bedmove, Binout, Barea;
// Module fields, each created only with its option.
inline Table1<double> Bedlev, BcohesionLevel, Bthixolev, BthixolevMin, Bstrain, Bpresavg,
    Bdeltah, BsourceLS, Bgroundwater;
inline Table1<double> BrooksUp, BrooksDown, BrooksLimit, Bavalanche, Bdefect, BLevFroude;
// Minimum water level of the grid-split prevention; below -100 means no requirement.
inline Table1<double> Bminwaterlevel, Bminlevdh;
inline Table1<double> BfGzeroTime, BfGzeroHeight, Bfractionsprint, BTugrad, BTdischarge,
    BTheight;

// Per grain size l = 0..lnumber and bed cell.
inline Table2<double> Bconc, Bap, Bsource, Bvolleft, Bupflux, Bbedchange, BplasticDeposits;
// Per bed layer 0..NoBedLayers and bed cell.
inline Table2<double> Bsolidfraction, Bcohesion;
// Fractions per bed layer, grain size and bed cell.
inline Table3<double> BSedDistrib, BCompDistrib;
// Bed variables [0..FlagBedCalc-1][bed cell].
inline Table2<double> BQvar;

// Vegetation [bed cell][time][variable 0..VegVars][level] and its times.
inline Table4<double> Bveg;
inline Table1<double> VegTime;

// Tracers (at most 1000).
inline Table1<double> tracerX, tracerY, DiamTracer;
inline Table1<int> BedTracer;

}  // namespace qorva
