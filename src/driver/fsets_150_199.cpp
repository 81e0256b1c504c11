// Data sets F 150 to F 199 of `control`: defaults, readers and range checks. Every reader here
// checks the count of values first.
// Writes the globals of state/options_f150_199.h, and FlagSimpleCorrections, FlagGravity and
// FlagBedslopeCorrection, which F 36 and F 7 may also set.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets150_199(DataSetTable& t) {
  addValue(t, 152, MGSNo, 0, 10);
  addValue(t, 153, FlagResidual, 0, 10);
  // Giving the data set means smoothing: a method must be chosen.
  addSwitchValue(t, 154, SurfSmoothFlag, SurfSmoothVal, 1);
  addValue(t, 156, PauseFlag, 0);
  addValue(t, 157, FlagSimpleCorrections, 0);
  // Every failure also reminds the user of the defaults.
  t.push_back({'F', 159,
               declared(FlagGridStab1, FlagGridStab2, FlagGridStab3, FlagGridStab4, FlagGridStab5,
                        FlagGridStab2ori, FlagGridStab5ori),
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
  addValue(t, 160, FlagBedVol, 0);
  addValue(t, 162, MinVertDist2);
  addValue(t, 163, FlagBedChange);
  addValue(t, 164, FlagRapSolver);
  addValue(t, 165, FlagUnstrucDir);
  addValue(t, 166, FlagSurfRegen);
  t.push_back({'F', 168, declared(Flag2DAccSolver, Flag2DAccSolverOri),
               [](DataSetReader& r) {
                 r.i(Flag2DAccSolver);
                 r.requireCount(1);
                 Flag2DAccSolverOri = Flag2DAccSolver;
               }});
  addSwitchValue(t, 169, FlagHideEx, HideExParam);
  addValue(t, 170, FlagFastWatersolve);
  addValue(t, 171, FlagSIMPLE);
  t.push_back({'F', 172, declared(FlagShearBedform, ShearBedformLim, ShearBedformCoeff),
               [](DataSetReader& r) {
                 r.i(FlagShearBedform); r.d(ShearBedformLim); r.d(ShearBedformCoeff);
                 r.requireCount(3);
                 r.require(FlagShearBedform >= 0);
               }});
  // The sediment mode may be left out (it is then 0); mode 5 needs its relaxation.
  t.push_back({'F', 174, declared(FlagCyclic, FlagCyclicS, relaxCyclicS),
               [](DataSetReader& r) {
                 r.i(FlagCyclic);
                 r.requireCount(1);
                 if (!r.i(FlagCyclicS)) FlagCyclicS = 0;
                 if (FlagCyclicS == 5) {
                   const bool got = r.d(relaxCyclicS);
                   r.require(got && in(relaxCyclicS, 0, 1), "Error for F 174 x 5 in control\n");
                 }
               }});
  addValue(t, 175, RelaxTFS);
  addSwitchValue(t, 176, FlagRBedformsmooth, RBedformsmooth);
  addValue(t, 177, FlagHastGrad);
  addValue(t, 178, FlagSurfSmooth);
  t.push_back({'F', 179, declared(FlagSurfUpwind, FlagSurfDiffusive),
               [](DataSetReader& r) {
                 r.i(FlagSurfUpwind); r.i(FlagSurfDiffusive);
                 r.requireCount(2);
               }});
  addValue(t, 180, FlagSurfDownstream);
  addValue(t, 181, FlagGravity);
  addValue(t, 182, FlagBedslopeCorrection);
  addValue(t, 183, FlagPresDebug);
  addValue(t, 184, FlagPCalg);
  addSwitchValue(t, 185, FlagSurfEps, SurfEpsCoeff);
  addValue(t, 186, FlagTDMA);
  addValue(t, 187, FlagSurfEdge);
  addValue(t, 188, FlagWorkSedim);
  addSwitchValue(t, 189, FlagBrenix, ParamBrenix);
  addValue(t, 191, ConnectLimit);
  addValue(t, 192, NestNoRatio);
  addValue(t, 193, SmallNumberUnstruc);
  addValue(t, 198, FlagSlideDLL);
}

}  // namespace qorva
