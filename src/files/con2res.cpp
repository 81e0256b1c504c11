// The concentration restart file: the suspended-sediment concentration of every cell and
// size, "con2res.new" (numbered under P 9, with the block's name in a block-division run).
// Reads NoCells, lnumber, Cconc, PrintComp, FlagMPI; writes Cconc[0] (the sum over the sizes)
// and mc_message.
#include <string>

#include "files/files.h"
#include "output/output.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"

namespace qorva {

namespace {

std::string con2resName() {
  if (PrintComp == 0)
    return FlagMPI != 0 ? strf("con2res.mpi%d.new", FlagMPI) : std::string("con2res.new");
  return numberedName(FlagMPI != 0 ? strf("con2res.mpi%d.", FlagMPI) : std::string("con2res."),
                      {"00%d", "0%d", "%d"});
}

}  // namespace

int writeConcRes() {
  if (Cconc && static_cast<std::size_t>(lnumber) < Cconc.dim(0))
    for (int c = 1; c <= NoCells; ++c) {
      double s = 0;
      for (int l = 1; l <= lnumber; ++l) s += Cconc[l][c];
      Cconc[0][c] = s;
    }
  const std::string name = con2resName();
  OutFile f(name);
  if (!f.ok()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    return 1;
  }
  f.printf("%d %d\n", NoCells, lnumber);
  for (int c = 1; c <= NoCells; ++c) {
    for (int l = 0; l <= lnumber; ++l) f.printf("%e ", Cconc[l][c]);
    f.printf("\n");
  }
  if (!f.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    return 1;
  }
  mc_message = "have written 'con2res' file ";
  return 0;
}

}  // namespace qorva
