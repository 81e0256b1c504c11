// Starting values of the columns that a regeneration made wet, and the pressure test that
// follows the transfer. Reads Bcellt, Bnocells, Bcellt_old, Bnocells_old, Bkooi, Bkooj,
// pointbed, the cell neighbours and, for the first variant, the values of the replaced grid
// (transferSource); writes Cpres, Ckinen, Cepsilon, Cxvel, Cyvel, Czvel, CinvAp and Cconc of those columns.
#include <cmath>
#include <string>

#include "grid/columns.h"
#include "grid/grid.h"
#include "grid/transfer.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {
namespace {

// A cell holds a pressure once it has been filled; newly wet cells start at zero.
bool filled(int c) { return std::fabs(Cpres[c]) > 1e-8; }

// A cell number of the replaced grid that its value tables hold.
bool isOldCell(const TransferSource& s, int c) {
  return c >= 1 && c < static_cast<long long>(s.p.size());
}

bool newlyWet(int b) { return Bnocells_old[b] == 0 && Bnocells[b] >= 1; }

// Bed cell of column (i, j), 0 outside the structured plane.
int bedAt(int i, int j) { return onPlane(i, j) ? pointbed[i][j] : 0; }

// The seven values a newly wet cell takes from its neighbours: those of the present grid, or
// those of the grid before the regeneration.
struct Fields {
  const Table1<double> &p, &k, &e, &u, &v, &w, &invAp;
};
const Fields kPresent{Cpres, Ckinen, Cepsilon, Cxvel, Cyvel, Czvel, CinvAp};
Fields before(const TransferSource& s) { return {s.p, s.k, s.e, s.u, s.v, s.w, s.invAp}; }

// Sums over the contributing neighbours of one bottom cell.
struct Sums {
  double p = 0, k = 0, e = 0, u = 0, v = 0, w = 0, invAp = 0;
  int n = 0;
};

void add(Sums& s, const Fields& f, int c) {
  s.p += f.p[c];
  s.k += f.k[c];
  s.e += f.e[c];
  s.u += f.u[c];
  s.v += f.v[c];
  s.w += f.w[c];
  s.invAp += f.invAp[c];
  ++s.n;
}

// Means of pressure, turbulence and CinvAp; the velocities are damped sums, not means, so a
// cell between two wet neighbours does not start faster than they flow.
void update(int c, const Sums& s) {
  const double n = s.n;
  Cpres[c] = s.p / n;
  Ckinen[c] = s.k * ExtrapRelK / n;
  Cepsilon[c] = ExtrapRelE * s.e / n;
  CinvAp[c] = s.invAp / n;
  Cxvel[c] = ExtrapRelVel * s.u;
  Cyvel[c] = ExtrapRelVel * s.v;
  Czvel[c] = ExtrapRelVel * s.w;
}

void clearConc(int c) {
  const long long rows = static_cast<long long>(Cconc.dim(0));
  for (long long l = 0; l <= lnumber && l < rows; ++l) Cconc[l][c] = 0;
}

// The cells above the bottom cell copy it, and the whole column starts without sediment.
void fillColumn(int b) {
  const int c = Bcellt[b];
  if (!isGridCell(c)) return;
  clearConc(c);
  for (int x = c + 1; x <= c + Bnocells[b] - 1 && isGridCell(x); ++x) {
    Cpres[x] = Cpres[c];
    Ckinen[x] = Ckinen[c];
    Cepsilon[x] = Cepsilon[c];
    Cxvel[x] = Cxvel[c];
    Cyvel[x] = Cyvel[c];
    Czvel[x] = Czvel[c];
    CinvAp[x] = CinvAp[c];
    clearConc(x);
  }
}

void zeroPressureOfNewColumns() {
  const int nb = bedCellLimit();
  for (int b = 1; b <= nb; ++b)
    if (Bnocells_old[b] == 0) upColumn(Bcellt[b], [](int c) { Cpres[c] = 0; });
}

void zeroNewColumns() {
  Bnocells_old[0] = 0;
  const int nb = bedCellLimit();
  for (int b = 1; b <= nb; ++b)
    if (Bnocells_old[b] == 0)
      upColumn(Bcellt[b], [](int c) {
        Cpres[c] = Cxvel[c] = Cyvel[c] = Czvel[c] = Ckinen[c] = Cepsilon[c] = CinvAp[c] = 0;
      });
}

// Pressure of the nearest column of the same cross-section of block 1 that was wet before,
// searched toward the middle of the block, for each newly wet column of block 1.
void lineFill() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = bedAt(i, j);
      if (b <= 0 || !newlyWet(b) || !isGridCell(Bcellt[b])) continue;
      const bool down = j > k.j2 / 2 + 1;
      for (int jj = down ? j - 1 : j + 1; down ? jj >= k.j1 : jj <= k.j2; jj += down ? -1 : 1) {
        const int s = bedAt(i, jj);
        if (s <= 0 || Bnocells_old[s] <= 0) continue;
        // A column that has fallen dry since holds no pressure to give.
        if (isGridCell(Bcellt[s])) Cpres[Bcellt[b]] = Cpres[Bcellt[s]];
        break;
      }
    }
}

// Forward and backward sweeps over the bed cells; each newly wet column takes the filled cells
// that `neighbours(b, c, out)` names at once, so values spread across wide newly wet areas.
template <class Neighbours>
void sweepNewColumns(Neighbours neighbours) {
  const int nb = bedCellLimit();
  auto visit = [&](int b) {
    if (!newlyWet(b)) return 0;
    const int c = Bcellt[b];
    if (!isGridCell(c)) return 0;
    int cand[4];
    neighbours(b, c, cand);
    Sums s;
    for (int x : cand)
      if (isGridCell(x) && filled(x)) add(s, kPresent, x);
    if (s.n == 0) return 0;
    update(c, s);
    return 1;
  };
  for (int pass = 1; pass <= ExtrapIter; ++pass) {
    int updated = 0;
    for (int b = 1; b <= nb; ++b) updated += visit(b);
    for (int b = nb; b >= 1; --b) updated += visit(b);
    if (updated == 0) break;
  }
}

void fillNewColumns() {
  const int nb = bedCellLimit();
  for (int b = 1; b <= nb; ++b)
    if (newlyWet(b)) fillColumn(b);
}

}  // namespace

void WettingExtrapolation1() {
  zeroPressureOfNewColumns();
  if (ExtrapIter < 1) return;
  const int nb = bedCellLimit();
  const TransferSource* old = transferSource();
  for (int pass = 1; pass <= ExtrapIter; ++pass)
    for (int b = 1; b <= nb; ++b) {
      if (!newlyWet(b)) continue;
      const int c = Bcellt[b];
      if (!isGridCell(c)) continue;
      const int i = Bkooi[b], j = Bkooj[b];
      const struct {
        int di, dj;
        const Table1<int>& side;
      } dirs[4] = {{1, 0, Ccelle}, {-1, 0, Ccellw}, {0, 1, Ccelln}, {0, -1, Ccells}};
      Sums s;
      for (const auto& d : dirs) {
        const int n = bedAt(i + d.di, j + d.dj);
        if (n <= 0 || n > nb || Bcellt[n] <= 0 || d.side[c] < 1) continue;
        if (Bnocells_old[n] >= 1) {
          if (old && isOldCell(*old, Bcellt_old[n])) add(s, before(*old), Bcellt_old[n]);
        } else if (ExtrapAlgo2 == 1 && pass >= 2 && isGridCell(Bcellt[n]) && filled(Bcellt[n])) {
          add(s, kPresent, Bcellt[n]);
        }
      }
      if (s.n == 0) continue;
      update(c, s);
      fillColumn(b);
    }
}

void WettingExtrapolation2() {
  zeroNewColumns();
  if (ExtrapAlgo2 == 4 && Iter > 0) lineFill();
  if (ExtrapIter >= 1)
    sweepNewColumns([](int, int c, int* out) {
      out[0] = Ccelle[c];
      out[1] = Ccellw[c];
      out[2] = Ccells[c];
      out[3] = Ccelln[c];
    });
  if (ExtrapAlgo2 == 3 && Iter > 0) lineFill();
  fillNewColumns();
}

void WettingExtrapolation5() {
  if (NoBCells < 1) return;
  zeroNewColumns();
  if (ExtrapIter >= 1)
    sweepNewColumns([](int b, int, int* out) {
      const int i = Bkooi[b], j = Bkooj[b];
      out[0] = columnBottom(i + 1, j);
      out[1] = columnBottom(i - 1, j);
      out[2] = columnBottom(i, j + 1);
      out[3] = columnBottom(i, j - 1);
    });
  fillNewColumns();
}

namespace {

double oldPres(int c) {
  const TransferSource* old = transferSource();
  return old && c >= 0 && c < static_cast<long long>(old->p.size()) ? old->p[c] : 0.0;
}
double presAt(int c) { return c >= 0 && c < static_cast<long long>(Cpres.size()) ? Cpres[c] : 0.0; }

std::string f147Line() {
  return ExtrapAlgo2 < 2
             ? "The problem could be due to the choise on the F 147 data set in the control file.\n"
             : "";
}

// The neighbour columns north, south, east and west of (i, j): their former bottom cell, its
// old pressure and, with `current`, the present pressure of their bottom cell.
std::string neighbourLines(int i, int j, bool current) {
  const struct {
    char name;
    int di, dj;
  } sides[4] = {{'n', 0, 1}, {'s', 0, -1}, {'e', 1, 0}, {'w', -1, 0}};
  std::string out;
  for (const auto& s : sides) {
    const int n = bedAt(i + s.di, j + s.dj);
    const int co = Bcellt_old[n];
    if (current)
      out += strf("Bcellt_old, Pres_old, Pres, %c = %d, %lf %lf\n", s.name, co, oldPres(co),
                  presAt(Bcellt[n]));
    else
      out += strf("Bcellt_old, Pres_old, %c = %d, %lf\n", s.name, co, oldPres(co));
  }
  return out;
}

}  // namespace

void PressureTest() {
  if (debugging != 'D') return;  // the test only reports, and only in debug mode
  const int nb = bedCellLimit();
  for (int b = 1; b <= nb; ++b) {
    const int i = Bkooi[b], j = Bkooj[b];
    const int c = Bcellt[b], co = Bcellt_old[b];
    const int pb = bedAt(i, j);
    const bool exempt = FlagThixo >= 1 && IONo == 0 && b < block[2].bcellstart;
    if (co == 0 && isGridCell(c) && std::fabs(Cpres[c]) < 1e-8 && !exempt) {
      std::string r = "Error in extrapolation, non-interpolated pressure\n" + f147Line();
      // The pond marks exist only with F 394; without them the line has no such field.
      r += Bponds ? strf("BCell = %d, pointbed = %d, Cellno = %d, Bponds = %d\n", b, pb, c, Bponds[b])
                  : strf("BCell = %d, pointbed = %d, Cellno = %d\n", b, pb, c);
      r += strf("Pres = %lf, Pres_old = %lf\n", Cpres[c], oldPres(co));
      r += strf("Iter %d, Grid no. [%d,%d]\n", Iter, i, j);
      r += strf("Bcellt_old(%d) = %d, Bnocells_old = %d, Bnocells = %d\n", b, co,
                Bnocells_old[b], Bnocells[b]);
      r += neighbourLines(i, j, true);
      logf("%s\n", r.c_str());
    }
    if (Bnocells_old[b] != 0 || !isGridCell(c)) continue;
    const struct {
      const char* name;
      char tag;
      const Table1<int>& side;
      const Table1<double>& half;
    } sides[4] = {{"south", 's', Ccells, Cjdist},
                  {"north", 'n', Ccelln, Cjdist},
                  {"east", 'e', Ccelle, Cidist},
                  {"west", 'w', Ccellw, Cidist}};
    for (const auto& s : sides) {
      const int x = s.side[c];
      if (!isGridCell(x)) continue;
      const double grad =
          std::fabs(Cpres[x] - Cpres[c]) * 0.0001 / (s.half[c] + s.half[x]);
      if (!(grad > PressureTestFactor)) continue;
      std::string r =
          strf("Warning in extrapolation, too high pressure gradients-%s\n", s.name) + f147Line();
      r += strf("BCell = %d, pointbed = %d, Cellno = %d, grad = %lf\n", b, pb, c, grad);
      r += strf("Pres = %lf, Pres_old = %lf, Pres_%c = %lf\n", Cpres[c], oldPres(co), s.tag,
                Cpres[x]);
      r += strf("Iter %d, Grid no. [%d,%d]\n", Iter, i, j);
      r += strf("Bcellt_old(%d) = %d, Bnocells_old = %d, Bnocells = %d\n", b, co,
                Bnocells_old[b], Bnocells[b]);
      r += neighbourLines(i, j, false);
      logf("%s\n", r.c_str());
    }
  }
}

}  // namespace qorva
