// Debug prints and bug traps of the flow drivers: the dump of one cell's equation (F 218), the
// dump of suspicious pressure-correction cells (F 183), the wedge-cell dump (F 1 D with F 235),
// and the trap that shows whether the coefficient builder writes every neighbour coefficient
// (F 223).
// Reads the equation arrays, the flow fields and the grid; writes boogie, FlagPresDebug and,
// for the trap, the neighbour coefficients.
#include <cmath>
#include <string>

#include "flow/flow.h"
#include "grid/columns.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Lines 2 to 5 of the cell dump: the equation of cell c.
std::string equationLines(int c) {
  std::string s = strf("Cf = %lf, Cap = %lf, Csource = %lf\n", Cf[c], Cap[c], Csource[c]);
  s += strf("Velocities: %lf %lf %lf, Diffusion, k, epsilon: %lf %le %le, Volume: %lf\n",
            Cxvel[c], Cyvel[c], Czvel[c], Cgamma[c], Ckinen[c], Cepsilon[c], Cvol[c]);
  s += strf("Neigbours id: wsentb: %d %d %d %d %d %d\n", Ccellw[c], Ccells[c], Ccelle[c],
            Ccelln[c], Ccellt[c], Ccellb[c]);
  s += strf("Neigbours anb: wsentb: %le %le %le %le %le %le\n", Caw[c], Cas[c], Cae[c], Can[c],
            Cat[c], Cab[c]);
  return s;
}

std::string areaLine(int c) {
  return strf("Neigbours areas: wsen: %le %le %le %le\n", Farea[Cflatew[c]], Farea[Cflates[c]],
              Farea[Cflatee[c]], Farea[Cflaten[c]]);
}

std::string fluxLine(int c) {
  return strf("Neigbours fluxes: wsentb: %le %le %le %le %le %le\n", Fflux[Cflatew[c]],
              Fflux[Cflates[c]], Fflux[Cflatee[c]], Fflux[Cflaten[c]], Fflux[Cflatet[c]],
              Fflux[Cflateb[c]]);
}

std::string inverseLine(const char* head, int c) {
  return strf("%s: lwsentb: %lf %lf %lf %lf %lf %lf %lf\n", head, CinvAp[c], CinvAp[Ccellw[c]],
              CinvAp[Ccells[c]], CinvAp[Ccelle[c]], CinvAp[Ccelln[c]], CinvAp[Ccellt[c]],
              CinvAp[Ccellb[c]]);
}

// Five values of one array: the cell and its east, north, west and south neighbours.
std::string five(const char* head, const Table1<double>& a, int c) {
  return strf("%s: %lf %lf %lf %lf %lf\n", head, a[c], a[Ccelle[c]], a[Ccelln[c]], a[Ccellw[c]],
              a[Ccells[c]]);
}

}  // namespace

void printDebug(int innerIter) {
  const int c = PrintDebugBoogie;
  if (!isGridCell(c)) {
    logf("Bugtrap: cell %d of F 218 is not a cell of the grid (1..%d)\n", c, NoCells);
    return;
  }
  std::string s = strf("Bugtrap, values for Iter = %d, cellno = %d, Equation = %d, InnerIter = %d\n",
                       Iter, c, Equation, innerIter);
  s += equationLines(c);
  const int f[6] = {Cflatew[c], Cflates[c], Cflatee[c], Cflaten[c], Cflatet[c], Cflateb[c]};
  s += strf("Neigbour surfaces id: %d %d %d %d %d %d\n", f[0], f[1], f[2], f[3], f[4], f[5]);
  s += strf("Neigbour surfaces neighbours id 1: %d %d %d %d %d %d\n", Fcell1[f[0]], Fcell1[f[1]],
            Fcell1[f[2]], Fcell1[f[3]], Fcell1[f[4]], Fcell1[f[5]]);
  s += strf("Neigbour surfaces neighbours id 2: %d %d %d %d %d %d\n", Fcell2[f[0]], Fcell2[f[1]],
            Fcell2[f[2]], Fcell2[f[3]], Fcell2[f[4]], Fcell2[f[5]]);
  s += areaLine(c);
  s += fluxLine(c);
  s += inverseLine("invAp", c);
  logf("%s", s.c_str());
}

void printDebug2() {
  std::string s;
  bool dumped = false;
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (!(std::fabs(Cf[c]) > 100000) && !(Cap[c] < 0.001)) continue;
    s += strf("Debug, Pressure-correction, l=%d\n", c);
    s += equationLines(c);
    s += areaLine(c);
    s += fluxLine(c);
    s += inverseLine("Neigbours+l invAp", c);
    dumped = true;
  }
  if (!s.empty()) logf("%s", s.c_str());
  // F 183 1 stops the run at the end of the first inner iteration that dumped a cell.
  if (dumped && FlagPresDebug == 1) FlagPresDebug = 99;
}

void printDebugTrekant(int cell, int innerIter) {
  if (!isGridCell(cell)) return;
  const int c = cell;
  const int f[6] = {Cflates[c], Cflatee[c], Cflaten[c], Cflatew[c], Cflateb[c], Cflatet[c]};
  auto six = [&f](const char* head, const Table1<double>& a) {
    return strf("%s: %lf %lf %lf %lf %lf %lf\n", head, a[f[0]], a[f[1]], a[f[2]], a[f[3]],
                a[f[4]], a[f[5]]);
  };
  std::string s = strf("\nBugtrap - trekant, Iter = %d, InnerIter = %d, Cellno = %d\n", Iter,
                       innerIter, c);
  s += strf("Cpres_res: %lf, MaxResidual[4]: %lf, Ctrekant: %d\n", Cpres_res ? Cpres_res[c] : 0.0,
            MaxResidual[4], Ctrekant ? Ctrekant[c] : 0);
  s += strf("Croughness: %lf\n", Croughness[c]);
  s += strf("Geometry: Cdistances: %lf %lf %lf\n", Cidist[c], Cjdist[c], Ckdist[c]);
  s += strf("Geometry: Careas: %lf %lf %lf\n", Careax ? Careax[c] : 0.0,
            Careay ? Careay[c] : 0.0, Careaz ? Careaz[c] : 0.0);
  s += strf("Geometry: Fflagflow (senwbt): %d %d %d %d %d %d\n", Fflagflow[f[0]], Fflagflow[f[1]],
            Fflagflow[f[2]], Fflagflow[f[3]], Fflagflow[f[4]], Fflagflow[f[5]]);
  s += six("Geometry: Fareas", Farea);
  s += six("Surface fluxes", Fflux);
  s += six("Surface vec_x", Fax);
  s += six("Surface vec_y", Fay);
  s += six("Surface vec_z", Faz);
  s += five("Pressures(penws)", Cpres, c);
  s += five("Velocities,x", Cxvel, c);
  s += five("Velocities,y", Cyvel, c);
  s += five("Velocities,z", Czvel, c);
  if (Cpres_res) s += five("Cpres_res", Cpres_res, c);
  s += five("CinvAp", CinvAp, c);
  logf("%s", s.c_str());
}

void ompbugtrapFunction(int first, int last) {
  for (int c = first; c <= last; ++c) Cat[c] = Cab[c] = Caw[c] = Cae[c] = Cas[c] = Can[c] = -10;
  if (sou[1] == 1 && ompbugtrap == 2 && Caee)
    for (int c = first; c <= last; ++c)
      Catt[c] = Cabb[c] = Caww[c] = Caee[c] = Cass[c] = Cann[c] = -10;
}

void computeOmpbugtrap() {
  struct Coefficient {
    const char* name;
    const Table1<double>* a;
  };
  const Coefficient list[6] = {{"Cab", &Cab}, {"Cat", &Cat}, {"Cas", &Cas},
                               {"Cae", &Cae}, {"Caw", &Caw}, {"Can", &Can}};
  std::string s;
  for (int c = WCStart; c <= WCEnd; ++c)
    for (const Coefficient& k : list)
      if ((*k.a)[c] < -0.01)
        s += strf("Error in setting coefficients: %s[%d] = %lf for Iter = %d\n", k.name, c,
                  (*k.a)[c], Iter);
  if (!s.empty()) logf("%s", s.c_str());
}

}  // namespace qorva
