// Per-cell arrays (prefix C), sized by MaxCeller (F 65): index 0..MaxCeller-1, cells numbered
// from 1, 0 meaning "no cell". Allocated by AllocateArrays; unallocated tables are empty.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoCells = 0;

// Topology: the six surfaces, the six neighbours (0 at a boundary), the eight corners (1-4 at
// the bottom face, counter-clockwise from above starting south-west; 5-8 above 1-4). The cells
// of a column are numbered from the bottom up: Ccellt[c] = c + 1 below the top cell.
inline Table1<int> Cflatee, Cflatew, Cflates, Cflaten, Cflatet, Cflateb;
inline Table1<int> Ccelle, Ccellw, Ccells, Ccelln, Ccellt, Ccellb;
inline Table1<int> Cpoint1, Cpoint2, Cpoint3, Cpoint4, Cpoint5, Cpoint6, Cpoint7, Cpoint8;

// Marks and lists of the cells:
// CflagDim: 1 for a cell of the depth-averaged block, 0 for the three-dimensional grid.
inline Table1<int> CflagDim;
// Cisolve: from entry 1, the cells in solving order (the columns of the three-dimensional
// blocks, each from its bottom cell up), ended by 0. For a cell of the first grid-sequencing
// level (F 152) Cisolve and Cjsolve hold instead the i and j of its column.
inline Table1<int> Cisolve, Cjsolve;
// Cinout: +g for a cell on inflow discharge group g, -g on outflow group g, 0 otherwise.
inline Table1<int> Cinout;
// Conecell: 1 for a dead-end cell (no way through it), 0 otherwise; marks are never removed
// within one build of the grid.
inline Table1<int> Conecell;
// Ctrekant, the wedge code of the dry edge: 0 an ordinary cell; 1..4 a single-cell column
// shaped as a wedge with its cut corner south-west (1), south-east (2), north-east (3) or
// north-west (4); 5..24 adjacent wedges taken together. Pairs: 5 a 1 whose east neighbour is a
// 2 (6); 7 a 2 whose north neighbour is a 3 (8); 9 a 3 whose west neighbour is a 4 (10); 11 a 4
// whose south neighbour is a 1 (12). Triples: 13 a 1, 14 its east 2, 24 its north 4; 15 a 1,
// 16 its east 2, 17 the 3 north of that; 18 a 2, 19 the 3 north of it, 20 the 4 west of that;
// 21 a 3, 22 its west 4, 23 the 1 south of that.
inline Table1<int> Ctrekant;
// Cbed: the bed cell of the cell's column.
inline Table1<int> Cbed;

// Nesting links (MaxNester > 1).
inline Table1<int> Ccoarsenest, Cinterpolnest;
// For the pressure-gradient form F 114 20: on a side without a neighbour, the neighbour on that
// side of the column's bottom cell (upper cells beside a shorter column see what the bottom
// cell sees); 0 where that has none either.
inline Table1<int> CcellAe, CcellAw, CcellAs, CcellAn;
// Several neighbours on a side (F 137): counts per side, then the lists per level
// [cell][0..znumber-1] with their coefficients and second-neighbour coefficients.
inline Table1<int> Cncelle, Cncellw, Cncells, Cncelln;
inline Table2<int> Cqncelle, Cqncellw, Cqncells, Cqncelln;
inline Table2<double> Cqnae, Cqnaw, Cqnas, Cqnan;
inline Table2<double> Cqnaee, Cqnaww, Cqnass, Cqnann;

// Geometry: derivatives of x, y, z along the cell's index directions, half sizes (centre to
// face), centres, volume, projected areas.
inline Table1<double> Cdxdi, Cdxdj, Cdxdk, Cdydi, Cdydj, Cdydk, Cdzdi, Cdzdj, Cdzdk;
inline Table1<double> Cidist, Cjdist, Ckdist;
inline Table1<double> Cxcenter, Cycenter, Czcenter;
inline Table1<double> CinvAp, Cvol;
// Flow variables.
inline Table1<double> Cxvel, Cyvel, Czvel, Cpres, Ckinen, Cepsilon;
// Baroclinic pressure differences across a cell in i and j (Pa, like Cpres: a head in metres
// of water is stored times 9810), which the face fluxes of F 69 Seiche6 add to the pressure
// differences. Fdgrad (surfaces.h) holds the same across a surface.
inline Table1<double> Cdensgradi, Cdensgradj;
// Eddy viscosity.
inline Table1<double> Cgamma, CgammaV;

// A per-cell array chosen by reference. The drivers point it at the array of the variable
// being solved (`point(Cxvel)`, `point(Cconc[l])`) and back to its own array (`pointOwn()`),
// which holds the pressure correction; it designates its own array until pointed elsewhere.
// Same indexing and `data()` as a Table1, so code reads `Cf[c]` whatever it designates.
class FieldRef {
 public:
  explicit FieldRef(Table1<double>& own) : own_(&own) {}
  void point(const Table1<double>& t) {
    p_ = t.data();
    n_ = t.size();
    label_ = t.label();
    isOwn_ = false;
  }
  void point(Row1<double> r) {
    p_ = r.p;
    n_ = r.n;
    label_ = r.label;
    isOwn_ = false;
  }
  void pointOwn() { p_ = nullptr; n_ = 0; isOwn_ = true; }
  bool isOwn() const { return isOwn_; }
  double* data() const { return isOwn_ ? own_->data() : p_; }
  std::size_t size() const { return isOwn_ ? own_->size() : n_; }
  explicit operator bool() const { return data() != nullptr; }
  // An index check names the array designated.
  double& operator[](long long i) const {
    QORVA_CHECK(i, size(), isOwn_ ? own_->label() : label_);
    return data()[i];
  }

 private:
  Table1<double>* own_;
  double* p_ = nullptr;
  std::size_t n_ = 0;
  bool isOwn_ = true;
  [[no_unique_address]] detail::Label label_;
};
// The variable of the equation being solved, and the array of its own behind it.
inline Table1<double> CfOwn;
inline FieldRef Cf{CfOwn};
// The previous time level of the variable being solved: the drivers point it at Cxvel_old,
// Ckinen_old ... and back to its own array, which goes with the pressure correction.
inline Table1<double> Cf_oldOwn;
inline FieldRef Cf_old{Cf_oldOwn};
// The variable two time levels back, for the second-order time term: the drivers point it at
// the old2 array of the equation (Cxvel_old2 ...); it designates nothing otherwise.
inline Table1<double> Cf_old2None;
inline FieldRef Cf_old2{Cf_old2None};
inline Table1<double> Careax, Careay, Careaz, Croughness;
// Coefficients of the discretised equation.
inline Table1<double> Cap, Cae, Caw, Cas, Can, Cat, Cab, Cfn, CnInvAp, Csource;
// Second-neighbour coefficients of the second-order upwind scheme.
inline Table1<double> Caee, Caww, Cass, Cann, Catt, Cabb;

// Previous and second previous time levels of transient runs.
inline Table1<double> Cxvel_old, Cyvel_old, Czvel_old, Cpres_old, Ckinen_old, Cepsilon_old,
    CinvAp_old;
inline Table1<double> Cxvel_old2, Cyvel_old2, Czvel_old2;
// The fields of a steady run with a free surface, kept at each regeneration of the grid as the
// source of the transfer to the new grid (a transient run keeps them in the previous time
// level): u, v, w, p, k, epsilon, 1/Ap and the concentrations [size][cell].
inline Table1<double> Cxvel_carry, Cyvel_carry, Czvel_carry, Cpres_carry, Ckinen_carry,
    Cepsilon_carry, CinvAp_carry;
inline Table2<double> Cconc_carry;
// SIMPLE variants (F 171).
inline Table1<double> CinvApP, CxvelP, CyvelP, CzvelP;
// Residual fields (F 153).
inline Table1<double> Cxvel_res, Cyvel_res, Czvel_res, Cpres_res, Ckinen_res, Cepsilon_res;

// Module fields: porosity, mud and soil, soil stress [0..12][cell], soil movement.
inline Table1<double> Cporosity;
inline Table1<int> Cthixolev;
inline Table1<double> Cthixorat;
inline Table2<double> Cstress;
inline Table1<double> Cxmove, Cymove, Czmove;
// Shallow-water state [0..2][cell].
inline Table2<double> CU, CF, CG;
inline Table1<double> CdampDensity;

// Line-solver work: per cell, and per grid line of the longest index direction.
inline Table1<double> Cpt, Cqt;
inline Table1<double> Sqt, Spt;
// Values of the previous grid for the extrapolation into newly wet cells.
inline Table1<double> Czcenter_old, Ckdist_old;
// Fast flow driver [0..4][cell].
inline Table2<double> CinvApf, Cff;
// Grid-sequencing points [cell][2 or 5].
inline Table2<int> MGSCpoint;

// Per grain size l = 0..lnumber and cell.
inline Table2<double> Cconc, Cconc_old, Catm, Cabm, Capm, Csourcem, Caem, Canm, Casm, Cawm;
// Second-neighbour coefficients of each size under second-order upwinding: the vertical ones
// differ by size through the fall velocity; the horizontal ones only where every coefficient
// is kept per size (the bed-slope transfer).
inline Table2<double> Cattm, Cabbm, Caeem, Cawwm, Cannm, Cassm;
// Per water-quality component and cell.
inline Table2<double> Ccomp, Ccomp_old;

}  // namespace qorva
