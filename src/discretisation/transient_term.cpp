// Transient term of the current Equation (physical time step, inner pseudo-time step, wedge
// and side-row options) and the floor of the central coefficient of narrow cells.
// Reads Cvol, Cf, Cf_old, Cf_old2, Cae..Cab, Caee..Cabb, the neighbours, Ckdist, Ctrekant,
// block[1], zval; writes Cap and Csource.
#include <algorithm>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

enum class TimeForm { None, FirstOrder, SecondOrder, CrankNicolson };

// The physical time term in force. A steady run (TimeStep 1e-8 or less) has none: its time
// step of 1e-20 s would freeze every cell at its start value.
TimeForm timeForm() {
  if (TimeStep <= 1e-8) return TimeForm::None;
  if (FlagPresStability == 1 && FlagThixoIsComputing == 0) return TimeForm::None;
  if (CrankNicols < 1e-8 && FlagTimeOrder == 0) return TimeForm::FirstOrder;
  // The second-order form needs the level before the old one; equations whose driver keeps
  // no such level fall back to first order.
  if (CrankNicols < 1e-8 && FlagTimeOrder > 0)
    return Cf_old2 ? TimeForm::SecondOrder : TimeForm::FirstOrder;
  return TimeForm::CrankNicolson;
}

bool innerTimeTerm() {
  if ((FlagInnerTimestep == 1 || FlagInnerTimestep == 5) &&
      !(FlagPresStability == 2 && FlagThixoIsComputing != 1))
    return true;
  return FlagInnerTimestep == 6 && FlagThixoIsComputing == 1;
}

void addPseudoTime(int c) {
  const double tau = 1000.0 * Cvol[c] / InnerTimestep;
  Cap[c] += tau;
  Csource[c] += tau * Cf[c];
}

void addFirstOrder(int c) {
  const double t = 1000.0 * Cvol[c] / TimeStep;
  Cap[c] += t;
  Csource[c] += t * Cf_old[c];
}

// Multiplies Cap of the cells of column (i, j), walked upward from its bottom cell.
void scaleColumn(int i, int j, double factor) {
  upColumn(columnBottom(i, j), [factor](int c) { Cap[c] *= factor; });
}

// Stiffer cells along the two side rows of block 1 damp the flow there (F 415).
void sideDamping() {
  const bool velocity = Equation >= 1 && Equation <= 3;
  if (!((velocity && FlagSideDamp == 1) || (Equation == 5 && FlagSideDamp == 2))) return;
  if (NoBlocks < 1 || !zval) return;
  const GridBlock& b = block[1];
  for (int i = b.i1; i <= b.i2; ++i) {
    scaleColumn(i, b.j1, 4.0);
    scaleColumn(i, b.j2, 4.0);
    scaleColumn(i, b.j1 + 1, 2.0);
    scaleColumn(i, b.j2 - 1, 2.0);
  }
}

void addApRange(int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    const int nb[4] = {Ccelle[c], Ccellw[c], Ccells[c], Ccelln[c]};
    const int count = (nb[0] > 0) + (nb[1] > 0) + (nb[2] > 0) + (nb[3] > 0);
    if (count < 1 || count > 2) continue;
    for (int n : nb)
      if (n > 0 && Ckdist[n] > 0) Cap[c] = std::max(Cap[c], Cap[n] * Ckdist[c] / Ckdist[n]);
  }
}

}  // namespace

void addTimestep(int firstCell, int lastCell, Share share) {
  const TimeForm form = timeForm();
  const bool inner = innerTimeTerm();
  // Share of the old time level in the Crank-Nicolson form, relative to the implicit share
  // that the face coefficients already carry.
  const double explicitShare = CrankNicols / (1.0 - CrankNicols);
  // The second-order scheme (K 6 1) couples each cell to its second neighbours as well; their
  // old values belong to the explicit half just as the first neighbours' do.
  const bool second = Equation >= 0 && Equation < 50 && sou[Equation] == 1 && Caee;

  for (int c = firstCell; c <= lastCell; ++c) {
    switch (form) {
      case TimeForm::None: break;
      case TimeForm::FirstOrder: addFirstOrder(c); break;
      case TimeForm::SecondOrder: {
        // Three-level backward difference: (1.5 f(n+1) - 2 f(n) + 0.5 f(n-1)) / dt.
        const double t = 1000.0 * Cvol[c] / TimeStep;
        Cap[c] += 1.5 * t;
        Csource[c] += t * (2.0 * Cf_old[c] - 0.5 * Cf_old2[c]);
        break;
      }
      case TimeForm::CrankNicolson: {
        const double t = 1000.0 * Cvol[c] / TimeStep;
        Cap[c] += t;
        // The explicit half is the whole old operator, sum of a_nb (f_nb - f_P): without the
        // old central term the neighbour sum would act as a source and shift the steady state.
        const double old = Cf_old[c];
        double explicitPart =
            Cae[c] * (Cf_old[Ccelle[c]] - old) + Caw[c] * (Cf_old[Ccellw[c]] - old) +
            Can[c] * (Cf_old[Ccelln[c]] - old) + Cas[c] * (Cf_old[Ccells[c]] - old) +
            Cat[c] * (Cf_old[Ccellt[c]] - old) + Cab[c] * (Cf_old[Ccellb[c]] - old);
        if (second)
          explicitPart += Caee[c] * (Cf_old[Ccelle[Ccelle[c]]] - old) +
                          Caww[c] * (Cf_old[Ccellw[Ccellw[c]]] - old) +
                          Cann[c] * (Cf_old[Ccelln[Ccelln[c]]] - old) +
                          Cass[c] * (Cf_old[Ccells[Ccells[c]]] - old) +
                          Catt[c] * (Cf_old[Ccellt[Ccellt[c]]] - old) +
                          Cabb[c] * (Cf_old[Ccellb[Ccellb[c]]] - old);
        Csource[c] += t * old + explicitShare * explicitPart;
        break;
      }
    }
    if (inner) addPseudoTime(c);
  }

  if (Equation >= 1 && Equation <= 3) {
    if (FlagCorrTrekant == 1) {
      if (TimeStep > 1e-8)
        for (int c = firstCell; c <= lastCell; ++c)
          if (Ctrekant[c] != 0) addFirstOrder(c);
    } else if (FlagCorrTrekant == 5) {
      for (int c = firstCell; c <= lastCell; ++c)
        if (Ctrekant[c] != 0) Csource[c] = 0;
    } else if (FlagInnerTimestep == 2) {
      for (int c = firstCell; c <= lastCell; ++c)
        if (Ctrekant[c] != 0) addPseudoTime(c);
    } else if ((FlagInnerTimestep == 3 && Iter > 2) ||
               (FlagInnerTimestep == 4 && FlagThixoIsComputing == 1)) {
      for (int c = firstCell; c <= lastCell; ++c) addPseudoTime(c);
    }
  }

  if (share == Share::Whole) sideDamping();
}

void addTimestepAfterChunks() { sideDamping(); }

void addAp(int firstCell, int lastCell, Share share) {
  if (share == Share::Chunk) return;
  addApRange(firstCell, lastCell);
}

void addApAfterChunks(int firstCell, int lastCell) { addApRange(firstCell, lastCell); }

}  // namespace qorva
