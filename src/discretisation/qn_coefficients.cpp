// Coefficients of cells with several neighbours on one side (F 137): the couplings of such a
// cell run through its neighbour list, one coefficient per listed cell, and its own surface on
// that side carries none. Reads Cncell.., Cqncell.., the listed cells' surfaces with Fflux,
// Farea, Fdist1, Fdist2, Cgamma, Cidist, Cjdist and the neighbours, sou[Equation], WCStart..
// WCEnd; writes Cqna.. (second order: Cqna..2 as well), the listed cells' coefficients facing
// the cell (power law) and the cell's own coefficient on that side.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

struct ListSide {
  Table1<int>& count;
  Table2<int>& list;
  Table2<double>& coeff;
  Table2<double>* second;
  Table1<int>& face;        // the listed cell's surface facing the cell
  Table1<double>& nbCoeff;  // the listed cell's coefficient facing the cell
  Table1<double>& own;      // the cell's own coefficient on this side
  Table1<int>& beyond;      // the listed cell's neighbour on the far side
  Table1<int>& behind;      // the listed cell's neighbour on the near side
  Table1<double>& size;     // half size across the side
  bool positiveOut;         // a positive flux of the listed face leaves the cell
};

// Diffusion conductance times the power-law factor of the face between cell c and its listed
// neighbour nb through surface f.
double conductance(int c, int nb, int f) {
  const double d1 = Fdist1[f], d2 = Fdist2[f];
  const double gamma = (d2 * Cgamma[c] + d1 * Cgamma[nb]) / (d1 + d2 + 1e-20);
  const double D = gamma * Farea[f] / (d1 + d2 + 1e-20);
  const double Pe = std::fabs(Fflux[f]) / (D + 1e-20);
  const double A = Pe > 20 ? 0.0 : std::max(0.0, std::pow(1 - 0.1 * Pe, 5));
  return D * A;
}

void side(int c, ListSide& s, bool secondOrder) {
  const int n = s.count[c];
  if (n < 1) return;
  for (int k = 0; k < n && k < static_cast<int>(s.list.dim(1)); ++k) {
    const int nb = s.list[c][k];
    const int f = s.face[nb];
    if (nb <= 0 || f <= 0) continue;
    const double F = Fflux[f];
    const double DA = conductance(c, nb, f);
    // Flux out of c through this face (the listed face is the neighbour's, seen from c).
    const double out = s.positiveOut ? F : -F;
    if (!secondOrder) {
      s.nbCoeff[nb] = DA + std::max(out, 0.0);
      s.coeff[c][k] = DA + std::max(-out, 0.0);
      continue;
    }
    double list = DA, far = 0.0;
    if (out < 0) {
      // The listed cell is upwind; the cell beyond it is the second upwind one.
      const int uu = s.beyond[nb];
      if (uu <= 0) {
        list = DA + std::fabs(F);
      } else {
        const double w = (2 * s.size[nb] + s.size[uu]) / (s.size[nb] + s.size[uu]);
        far = (1 - w) * std::fabs(F);
        list = DA + (s.behind[nb] > 0 ? 1.33 * w : w) * std::fabs(F);
      }
    }
    s.coeff[c][k] = list;
    if (s.second) (*s.second)[c][k] = far;
  }
  s.own[c] = 0;
}

}  // namespace

void QNGridCoeff() {
  if (!Cncelle || !Cqncelle || !Cqnae) return;
  const bool secondOrder = Equation >= 0 && Equation < 50 && sou[Equation] == 1;
  const bool rows = secondOrder && Cqnaee && Cqnaww && Cqnann && Cqnass;
  // East list: the listed cells' west surfaces, whose flux runs from c (Fcell1) to them.
  ListSide sides[4] = {
      {Cncelle, Cqncelle, Cqnae, rows ? &Cqnaee : nullptr, Cflatew, Caw, Cae, Ccelle, Ccellw,
       Cidist, true},
      {Cncellw, Cqncellw, Cqnaw, rows ? &Cqnaww : nullptr, Cflatee, Cae, Caw, Ccellw, Ccelle,
       Cidist, false},
      {Cncelln, Cqncelln, Cqnan, rows ? &Cqnann : nullptr, Cflates, Cas, Can, Ccelln, Ccells,
       Cjdist, true},
      {Cncells, Cqncells, Cqnas, rows ? &Cqnass : nullptr, Cflaten, Can, Cas, Ccells, Ccelln,
       Cjdist, false}};
  for (int c = WCStart; c <= WCEnd; ++c)
    for (ListSide& s : sides) side(c, s, secondOrder);
}

}  // namespace qorva
