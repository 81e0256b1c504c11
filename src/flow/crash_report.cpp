// The report of a diverged flow computation: the cell with the largest mass defect and its
// surroundings in `boogie`, the grid and all fields as restart files (F 257), the plan view of
// the failed field with the pressure and k residuals, and the grid consistency check.
// Reads MaxResidual, GlobContinuity, GlobDefMax, Glob_dmI, DischargeArray, the cell and surface
// arrays; writes FlagCrashGrid, TecStruc, TecStrucNo, FlagInterpolVal and the files named.
#include <string>

#include "files/files.h"
#include "flow/flow.h"
#include "grid/grid.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The cell of the largest defect, or 0 (the empty cell) when none was located.
int reportCell() {
  const int c = Glob_dmI;
  return c >= 1 && c <= NoCells && static_cast<std::size_t>(c) < Cxvel.size() ? c : 0;
}

std::string report() {
  const int c = reportCell();
  std::string s = strf("Iter: %d, Resid: %8.2le %8.2le %8.2le %8.2le %8.2le %8.2le\n", Iter,
                       MaxResidual[1], MaxResidual[2], MaxResidual[3], MaxResidual[4],
                       MaxResidual[5], MaxResidual[6]);
  s += strf("Cont: %14.8e, DefMax: %4.8e, U,V,W(%d): %14.8e %14.8e %14.8e\n", GlobContinuity,
            GlobDefMax, c, Cxvel[c], Cyvel[c], Czvel[c]);
  // Only once the bed cells are numbered.
  if (NoBCells > 0 && Bkooi && Bkooj && Cbed) {
    const int b = Cbed[c];
    if (b >= 0 && static_cast<std::size_t>(b) < Bkooi.size())
      s += strf("Largest residual is in cell b=%d, c=%d, i=%d, j=%d\n", b, c, Bkooi[b], Bkooj[b]);
  }
  s += "Please look at the ParaView2.vtk file to find out where the problem is\n\n";
  if (TimeStep > 1e-8) {
    s += strf("Time: %lf seconds\n", stimet);
    for (int g = 1; g <= 9 && DischargeArray[g] > 0; ++g)
      s += strf("Water discharge (l/s), group %d: %lf\n", g, DischargeArray[g]);
  }
  s += strf("Debugging information: Cell height: %lf meters\n", 2 * Ckdist[c]);
  s += strf("Horizontal cell distances: %lf %lf meters\n", 2 * Cidist[c], 2 * Cjdist[c]);
  s += strf("Roughness %lf meters, Neighbour cells (wsentb): %d %d %d %d %d %d\n", Croughness[c],
            Ccellw[c], Ccells[c], Ccelle[c], Ccelln[c], Ccellt[c], Ccellb[c]);
  s += strf("Neighbour areas (wsen): %lf %lf %lf %lf\n", Farea[Cflatew[c]], Farea[Cflates[c]],
            Farea[Cflatee[c]], Farea[Cflaten[c]]);
  const int f = Cflateb[c];
  s += strf("Bed surface vector components: %lf %lf %lf\n", Fvx[f], Fvy[f], Fvz[f]);
  s += strf("Bed area components: %lf %lf %lf\n", Fax[f], Fay[f], Faz[f]);
  return s;
}

void addOutputVariable(char letter, int level) {
  OutputVariable& v = TecStruc[TecStrucNo++];
  v.level = level;
  v.sizeNo = 0;
  v.extraInt = 0;
  v.variable = letter;
}

// The variables of the plan view: nine of the flow when G 24 chose none, and the residual
// fields of the pressure correction and of k at level 1 when they are kept, while the table
// has room.
void planViewVariables() {
  if (TecStrucNo == 0)
    for (char letter : {'y', 'v', 'm', 'p', 's', 'u', 'w', 'i', 'z'}) addOutputVariable(letter, 0);
  else if (TecStrucNo > 294)
    return;
  if (FlagResidual != 1) return;
  addOutputVariable('R', 1);
  addOutputVariable('K', 1);
}

// FlagCrashGrid at 2 while the crash outputs are written, as it was afterwards.
class CrashNames {
 public:
  CrashNames() : kept_(FlagCrashGrid) { FlagCrashGrid = 2; }
  ~CrashNames() { FlagCrashGrid = kept_; }
  CrashNames(const CrashNames&) = delete;
  CrashNames& operator=(const CrashNames&) = delete;

 private:
  int kept_;
};

}  // namespace

void printAtCrash() {
  logf("%s", report().c_str());
  if (FlagCrashGrid > 0) {
    // The grid goes to unstruc.dbg and the flow result to result.csh.
    FlagCrashGrid = 2;
    WriteUnstructure();
    WriteAllData();
    sprintflow();
  }
  planViewVariables();
  FlagInterpolVal = 91;
  {
    // The flow result of the failed field goes to result.csh, so that it cannot take the
    // place of a good result written before; the choice of F 257 comes back afterwards.
    const CrashNames names;
    sprintflow();
  }
  if (UMethod2 <= 0) CheckFparam();
}

}  // namespace qorva
