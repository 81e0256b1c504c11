// Writer of `control.new`: the present settings as a control file, one data set a line, in its
// own order and formats. Reads Title, run, options and the settings of F, G, P, S, I, W and K.
#include "state/control_new.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"

namespace qorva {

namespace {

// v within lo..hi, both ends included.
bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The text of a value that reads back as the same number. The six-decimal form stays where it
// is exact, so familiar values look as they always did; a value it would round (a time step
// of 4e-7 becomes 0.000000, which F 17 and F 33 then refuse) is written in its shortest exact
// form instead.
std::string num(double x) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%lf", x);
  if (std::strtod(buf, nullptr) == x) return buf;
  const auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

// Last record of a list to write: its count, but never past its table (record 0 is unused).
template <class Table>
int upTo(int count, const Table& t) {
  return std::min(count, static_cast<int>(t.size()) - 1);
}

// The stored characters of F 2 or F 7. The reader stored the blank after the number as the
// first of them, so nothing goes between the number and these. A NUL is only ever the
// untouched default (no F 2 or F 7 given) and is written as a blank, which also runs no task.
void putLetters(std::FILE* f, const char* from, int n) {
  for (int i = 0; i < n; ++i) std::fputc(from[i] == '\0' ? ' ' : from[i], f);
}

// T, and the F data sets that differ from their defaults (F 2, F 7 and F 16 always).
void writeFLines(std::FILE* f) {
  // The title runs to the end of its line when read, so nothing may follow it there; the blank
  // that the reader puts after every title is left off, or each round trip would add one.
  {
    std::string title(Title.data() + 1, strnlen(Title.data() + 1, Title.size() - 1));
    if (!title.empty() && title.back() == ' ') title.pop_back();
    std::fprintf(f, "T%s\n", title.c_str());
  }
  if (debugging == 'C' || debugging == 'D') std::fprintf(f, "F 1 %c\n", debugging);

  std::fputs("F 2", f);
  putLetters(f, run.data(), static_cast<int>(run.size()));
  std::fputs("        run choice\n", f);

  if (!(in(relax_morph, 0.499, 0.501) && iter_morph == 50 && in(conv_morph, 0.0099, 0.0101)))
    std::fprintf(f, "F 4 %s %d %s    morphology data\n", num(relax_morph).c_str(), iter_morph,
                 num(conv_morph).c_str());
  if (!(in(ConcFormCoeff, 0.0149, 0.0151) && in(ConcFormTstar, 1.49, 1.51) &&
        in(ConcFormDstar, 0.29, 0.31)))
    std::fprintf(f, "F 6 %s %s %s\n", num(ConcFormCoeff).c_str(), num(ConcFormTstar).c_str(),
                 num(ConcFormDstar).c_str());

  std::fputs("F 7", f);
  putLetters(f, options.data() + 1, 8);
  std::fputs("   run options\n", f);

  if (!in(MaxBedChange, 0.09, 0.11)) std::fprintf(f, "F 8 %s\n", num(MaxBedChange).c_str());
  if (!in(EddyMult, 0.99, 1.01)) std::fprintf(f, "F 9 %s\n", num(EddyMult).c_str());
  if (SedimentFormula != 'R') std::fprintf(f, "F 10 %c   sediment formula\n", SedimentFormula);
  if (!in(density, 2.64, 2.66) || !in(shieldscoeff, 0.046, 0.048))
    std::fprintf(f, "F 11 %s %s\n", num(density).c_str(), num(shieldscoeff).c_str());
  if (!in(Schmidt, 0.99, 1.01)) std::fprintf(f, "F 12 %s\n", num(Schmidt).c_str());
  std::fprintf(f, "F 16 %s   roughness in meters\n", num(XksWall).c_str());
  if (TimeStep > 1e-10) std::fprintf(f, "F 17 %s time step in seconds\n", num(TimeStep).c_str());
  if (!in(RelaxRhieChow, 0.99, 1.01))
    std::fprintf(f, "F 21 %s rhiechow relaxation\n", num(RelaxRhieChow).c_str());
  if (FillPart > 0)
    std::fprintf(f, "F 23 %s %s accellerated deposition\n", num(FillPart).c_str(),
                 num(FillCriteria).c_str());
  if (FlagBedPoros == 1)
    std::fprintf(f, "F 25 %s %s %s %s %d\n", num(MinPorosity).c_str(), num(RelaxPorosity).c_str(),
                 num(RoughPoros1).c_str(), num(RoughPoros2).c_str(), DiamPoros);
  if (!in(SolidFrac, 0.499, 0.501)) std::fprintf(f, "F 26 %s\n", num(SolidFrac).c_str());
  if (SedimentScheme == 1) std::fputs("F 27 1\n", f);
  // Any changed bed flag is kept: the line reads back as all six, zeros included.
  if (BedFlags[0] || BedFlags[1] || BedFlags[2] || BedFlags[3] || BedFlags[4] || BedFlags[5])
    std::fprintf(f, "F 30 %d %d %d %d %d %d\n", BedFlags[0], BedFlags[1], BedFlags[2],
                 BedFlags[3], BedFlags[4], BedFlags[5]);
  // F 33 is the only data set of the inner iteration count, which a steady run uses too.
  if (TimeStep > 1e-20 || TransInnerIter != 1)
    std::fprintf(f, "F 33 %s %d\n", num(TimeStep).c_str(), TransInnerIter);
  if (FlagTFS != 0) std::fprintf(f, "F 36 %d free surface option\n", FlagTFS);
  if (FlagTSC != 0) std::fprintf(f, "F 37 %d transient sediment computation\n", FlagTSC);
}

// G 1 and the G data sets that were given.
void writeGLines(std::FILE* f) {
  std::fprintf(f, "G 1 %d %d %d %d    grid and array sizes\n", xnumber, ynumber, znumber, lnumber);
  // The levels go back as G 3 only when G 3 gave them: reading G 3 also marks the table of
  // levels as given, and the default table is not increasing beyond level 11, so writing it
  // would make the file refuse itself when G 1 has more levels.
  if (FlagReadG3 != 0) {
    std::fputs("G 3", f);
    for (int k = 1; k <= upTo(znumber, zdistrib); ++k) std::fprintf(f, " %s", num(zdistrib[k]).c_str());
    std::fputs("  vertical grid distribution\n", f);
  }
  if (iSurf > 0 || kSurf > 0)
    std::fprintf(f, "G 6 %d %d %d %s %s free surface parameters\n", iSurf, jSurf, kSurf,
                 num(RelaxSurface).c_str(), num(ConvSurface).c_str());
  for (int n = 1; n <= upTo(IONo, IO); ++n) {
    const InOutRecord& r = IO[n];
    std::fprintf(f, "G 7 %d %d %d %d %d %d %d %d %s %s %s %s\n", r.flag[0], r.flag[1], r.flag[2],
                 r.flag[3], r.flag[4], r.flag[5], r.flag[6], r.flag[7], num(r.value[0]).c_str(),
                 num(r.value[1]).c_str(), num(r.value[2]).c_str(), num(r.value[3]).c_str());
  }
  for (int n = 1; n <= upTo(UInitNo, UInit); ++n) {
    const InitialFlowValues& u = UInit[n];
    std::fprintf(f, "G 18 %s %s %s %s %s %s\n", num(u[1]).c_str(), num(u[2]).c_str(),
                 num(u[3]).c_str(), num(u[4]).c_str(), num(u[5]).c_str(), num(u[6]).c_str());
  }
  for (int n = 1; n <= upTo(SedSourceNo, SedSource); ++n) {
    const SedimentSource& s = SedSource[n];
    std::fprintf(f, "G 12 %d", s.number);
    for (int l = 1; l <= upTo(lnumber, s.concentration); ++l)
      std::fprintf(f, " %s", num(s.concentration[l]).c_str());
    std::fputs("\n", f);
  }
  for (int n = 1; n <= upTo(OutBlockNo, OutBlock); ++n) {
    const RemovedRegion& o = OutBlock[n];
    std::fprintf(f, "G 13 %d %d %d %d %d %d %d\n", o.type, o.i1, o.i2, o.j1, o.j2, o.k1, o.k2);
  }
  // G 15 (the mouse scale) is left out: no data set sets it, so it is always 1 and the line
  // would never be written.
}

// P 2, P 3, and S and I for each grain size that has a diameter.
void writePSILines(std::FILE* f) {
  std::fprintf(f, "P 2 %s %s %s %s %s\n", num(xscale).c_str(), num(yscale).c_str(),
               num(zscale).c_str(), num(movex).c_str(), num(movey).c_str());
  std::fprintf(f, "P 3 %d %d %d %d \n", xnode, ynode, znode, lnode);

  const int sizes = std::min(upTo(lnumber, gsize), upTo(lnumber, inflow));
  for (int l = 1; l <= sizes; ++l)
    if (gsize[l] > 1e-9)
      std::fprintf(f, "S %d %s %s\n", l, num(gsize[l]).c_str(), num(fallvelo[l]).c_str());
  for (int l = 1; l <= sizes; ++l)
    if (gsize[l] > 1e-9) std::fprintf(f, "I %d %s\n", l, num(inflow[l]).c_str());
}

// W 1, W 2 always, and the appended W 4, W 6 and W 7 records.
void writeWLines(std::FILE* f) {
  std::fprintf(f, "W 1 %s %s %s\n", num(ManningInit).c_str(), num(discharge).c_str(), num(level).c_str());
  {
    const int count = std::max(0, upTo(initnumber, initarray));
    std::fprintf(f, "W 2 %d", count);
    for (int n = 1; n <= count; ++n) std::fprintf(f, " %d", initarray[n]);
    std::fputs("\n", f);
  }
  for (int n = 1; n <= upTo(MWallNo, MWall); ++n) {
    const MovingWallRecord& w = MWall[n];
    std::fprintf(f, "W 4 %d %d %d %d %d %d %d\n", w.dir, w.posneg, w.node, w.a1, w.a2, w.b1, w.b2);
  }
  for (int n = 1; n <= std::min(upTo(FastNo, iFast), upTo(FastNo, jFast)); ++n)
    std::fprintf(f, "W 6 %d %d\n", iFast[n], jFast[n]);
  // The W 7 reader takes the type first, then i and j.
  for (int n = 1; n <= upTo(AttractNo, Attract); ++n) {
    const AttractionPoint& a = Attract[n];
    std::fprintf(f, "W 7 %d %d %d %s %s\n", a.type, a.i, a.j, num(a.amplitude).c_str(),
                 num(a.decay).c_str());
  }
}

// K 1 to K 6, always.
void writeKLines(std::FILE* f) {
  std::fprintf(f, "K 1 %d %d\n", iterGlobalMax, IterSurface);
  std::fprintf(f, "K 2 %d %d\n", FlagWall, FlagRoof);
  std::fputs("K 3 ", f);
  for (int e = 1; e <= 6; ++e) std::fprintf(f, "%s ", num(relax[e]).c_str());
  std::fputs("\nK 4 ", f);
  for (int e = 1; e <= 6; ++e) std::fprintf(f, "%d ", sweeps[e]);
  std::fputs("\nK 5 ", f);
  for (int e = 1; e <= 6; ++e) std::fprintf(f, "%d ", blockcorr[e]);
  std::fputs("\nK 6 ", f);
  for (int e = 1; e <= 6; ++e) std::fprintf(f, "%d ", sou[e]);
  std::fputs("\n", f);
}

}  // namespace

void writeControl() {
  OutFile out("control.new");
  if (!out.ok()) {
    mc_message = "cannot open file 'control' ";
    failf(-4, "Error, cannot create file 'control.new'\n");
  }
  std::FILE* f = out.get();
  writeFLines(f);
  writeGLines(f);
  writePSILines(f);
  writeWLines(f);
  writeKLines(f);
  // A file cut short by a full disk would read back as other settings: it never replaces the
  // previous control.new.
  if (!out.commit()) {
    mc_message = "cannot open file 'control' ";
    failWrite("control.new", out.reason().c_str(), -4);
  }
}

}  // namespace qorva
