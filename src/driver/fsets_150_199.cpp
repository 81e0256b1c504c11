// Data sets F 150 to F 199 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f150_199.h, and FlagSimpleCorrections, FlagGravity and
// FlagBedslopeCorrection, which F 36 and F 7 may also set.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The failure text of this range ends with a line end. Every row checks its count first.
void check(const DataSetReader& r, bool ok) {
  r.require(ok, strf("Error for F %d in control\n", r.number()));
}

// A single integer that must be read and is not checked further.
void oneInt(DataSetTable& t, int number, int& v, int def) {
  int* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p](DataSetReader& r) {
                 r.i(*p);
                 check(r, r.count() >= 1);
               }});
}

// A single integer that must be read and lie at or above `lo`.
void intAtLeast(DataSetTable& t, int number, int& v, int def, int lo) {
  int* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo](DataSetReader& r) {
                 r.i(*p);
                 check(r, r.count() >= 1);
                 check(r, *p >= lo);
               }});
}

// A single real value that must be read and is not checked further.
void oneDouble(DataSetTable& t, int number, double& v, double def) {
  double* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p](DataSetReader& r) {
                 r.d(*p);
                 check(r, r.count() >= 1);
               }});
}

// A switch and its parameter, both required, not checked further.
void intAndDouble(DataSetTable& t, int number, int& flag, double& value, double def) {
  int* f = &flag;
  double* v = &value;
  t.push_back({'F', number, [f, v, def] { *f = 0; *v = def; },
               [f, v](DataSetReader& r) {
                 r.i(*f); r.d(*v);
                 check(r, r.count() >= 2);
               }});
}

}  // namespace

void addFsets150_199(DataSetTable& t) {
  t.push_back({'F', 152, [] { MGSNo = 0; },
               [](DataSetReader& r) {
                 r.i(MGSNo);
                 check(r, r.count() >= 1);
                 check(r, in(MGSNo, 0, 10));
               }});
  t.push_back({'F', 153, [] { FlagResidual = 1; },
               [](DataSetReader& r) {
                 r.i(FlagResidual);
                 check(r, r.count() >= 1);
                 check(r, in(FlagResidual, 0, 10));
               }});
  // Giving the data set means smoothing: a method must be chosen.
  t.push_back({'F', 154, [] { SurfSmoothFlag = 0; SurfSmoothVal = 0; },
               [](DataSetReader& r) {
                 r.i(SurfSmoothFlag); r.d(SurfSmoothVal);
                 check(r, r.count() >= 2);
                 check(r, SurfSmoothFlag >= 1);
               }});
  intAtLeast(t, 156, PauseFlag, 0, 0);
  intAtLeast(t, 157, FlagSimpleCorrections, 0, 0);
  // Every failure also reminds the user of the defaults.
  t.push_back({'F', 159,
               [] {
                 FlagGridStab1 = 1; FlagGridStab2 = 0; FlagGridStab3 = 0; FlagGridStab4 = 1;
                 FlagGridStab5 = 0;
                 FlagGridStab2ori = 0; FlagGridStab5ori = 0;
               },
               [](DataSetReader& r) {
                 r.i(FlagGridStab1); r.i(FlagGridStab2); r.i(FlagGridStab3); r.i(FlagGridStab4);
                 r.i(FlagGridStab5);
                 const char* text = "Error for F 159 in control\nDefault F 159: 1 0 0 1 0\n";
                 r.requireCount(5, text);
                 r.require(FlagGridStab1 >= 0 && FlagGridStab2 >= 0 && FlagGridStab3 >= 0 &&
                               FlagGridStab4 >= 0 && FlagGridStab5 >= 0,
                           text);
                 FlagGridStab2ori = FlagGridStab2;
                 FlagGridStab5ori = FlagGridStab5;
               }});
  intAtLeast(t, 160, FlagBedVol, 0, 0);
  oneDouble(t, 162, MinVertDist2, 0);
  oneInt(t, 163, FlagBedChange, 0);
  oneInt(t, 164, FlagRapSolver, 0);
  oneInt(t, 165, FlagUnstrucDir, 0);
  oneInt(t, 166, FlagSurfRegen, 0);
  t.push_back({'F', 168, [] { Flag2DAccSolver = 0; Flag2DAccSolverOri = 0; },
               [](DataSetReader& r) {
                 r.i(Flag2DAccSolver);
                 check(r, r.count() >= 1);
                 Flag2DAccSolverOri = Flag2DAccSolver;
               }});
  intAndDouble(t, 169, FlagHideEx, HideExParam, 0);
  oneInt(t, 170, FlagFastWatersolve, 0);
  oneInt(t, 171, FlagSIMPLE, 0);
  t.push_back({'F', 172, [] { FlagShearBedform = 0; ShearBedformLim = 2.0; ShearBedformCoeff = 7.0 / 3.0; },
               [](DataSetReader& r) {
                 r.i(FlagShearBedform); r.d(ShearBedformLim); r.d(ShearBedformCoeff);
                 check(r, r.count() >= 3);
                 check(r, FlagShearBedform >= 0);
               }});
  // The sediment mode may be left out (it is then 0); mode 5 needs its relaxation.
  t.push_back({'F', 174, [] { FlagCyclic = 0; FlagCyclicS = 0; relaxCyclicS = 0.1; },
               [](DataSetReader& r) {
                 r.i(FlagCyclic);
                 check(r, r.count() >= 1);
                 if (!r.i(FlagCyclicS)) FlagCyclicS = 0;
                 if (FlagCyclicS == 5) {
                   const bool got = r.d(relaxCyclicS);
                   r.require(got && in(relaxCyclicS, 0, 1), "Error for F 174 x 5 in control\n");
                 }
               }});
  oneDouble(t, 175, RelaxTFS, 0.1);
  intAndDouble(t, 176, FlagRBedformsmooth, RBedformsmooth, 0);
  oneInt(t, 177, FlagHastGrad, 0);
  oneInt(t, 178, FlagSurfSmooth, 0);
  t.push_back({'F', 179, [] { FlagSurfUpwind = 1; FlagSurfDiffusive = 0; },
               [](DataSetReader& r) {
                 r.i(FlagSurfUpwind); r.i(FlagSurfDiffusive);
                 check(r, r.count() >= 2);
               }});
  oneInt(t, 180, FlagSurfDownstream, 0);
  oneInt(t, 181, FlagGravity, 0);
  oneInt(t, 182, FlagBedslopeCorrection, 0);
  oneInt(t, 183, FlagPresDebug, 0);
  oneInt(t, 184, FlagPCalg, 0);
  intAndDouble(t, 185, FlagSurfEps, SurfEpsCoeff, 0.43);
  oneInt(t, 186, FlagTDMA, 0);
  oneInt(t, 187, FlagSurfEdge, 0);
  oneInt(t, 188, FlagWorkSedim, 0);
  intAndDouble(t, 189, FlagBrenix, ParamBrenix, 0);
  oneDouble(t, 191, ConnectLimit, 1e-5);
  oneDouble(t, 192, NestNoRatio, 1.0);
  oneDouble(t, 193, SmallNumberUnstruc, 1e-8);
  oneInt(t, 198, FlagSlideDLL, 0);
}

}  // namespace qorva
