// Data sets F 150 to F 199 of `control`: defaults, readers and range checks. Every reader here
// checks the count of values first.
// Writes the globals of state/options_f150_199.h, and FlagSimpleCorrections, FlagGravity and
// FlagBedslopeCorrection, which F 36 and F 7 may also set.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets150_199(DataSetTable& t) {
  addValue(t, 152, "Multigrid-sequenced flow driver: a nonzero value selects it for the W task",
           MGSNo, 0, 10);
  addValue(t, 153, "Form of the residual computation and its normalisation", FlagResidual, 0, 10);
  // Giving the data set means smoothing: a method must be chosen.
  addSwitchValue(t, 154, "Smoothing of the computed water surface: method and smoothing value",
                 SurfSmoothFlag, SurfSmoothVal, 1);
  addValue(t, 156, "Diagnostic option of the grid, regridding and pressure steps", PauseFlag, 0);
  addValue(t, 157,
           "Variant of the velocity and flux correction of the pressure-correction step (F 36 11 "
           "also sets it to 30)",
           FlagSimpleCorrections, 0);
  // Every failure also reminds the user of the defaults.
  t.push_back({'F', 159, "Five grid-stability options of the grid generator",
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
  addValue(t, 160, "Bed-volume option of the transient bed-change solvers", FlagBedVol, 0);
  addValue(t, 162,
           "Minimum cell height used by the level count of the grid columns and the second "
           "grid-stability check",
           MinVertDist2);
  addValue(t, 163,
           "Limit of the bed move at each corner in the bed change: 2 no limit; otherwise erosion "
           "is limited to the depth above the non-erodible bed level",
           FlagBedChange);
  addValue(t, 164,
           "Solver variant: values above 20 route the equation solver to the parallel point "
           "solvers",
           FlagRapSolver);
  addValue(t, 165, "Direction option of the grid generator", FlagUnstrucDir);
  addValue(t, 166,
           "1: in a sediment run the grid is rebuilt on the water levels after every free-surface "
           "update; otherwise the levels move the grid only when the bed change rebuilds it",
           FlagSurfRegen);
  t.push_back({'F', 168,
               "Multigrid acceleration of the water-level solver (value = number of levels used)",
               declared(Flag2DAccSolver, Flag2DAccSolverOri),
               [](DataSetReader& r) {
                 r.i(Flag2DAccSolver);
                 r.requireCount(1);
                 Flag2DAccSolverOri = Flag2DAccSolver;
               }});
  addSwitchValue(t, 169,
                 "Hiding and exposure correction of the critical shear of the grain sizes and its "
                 "parameter",
                 FlagHideEx, HideExParam);
  addValue(t, 170,
           "A value above 0 selects the fast flow driver for the W task; also read by the sediment "
           "time loop, the solver and the array allocation",
           FlagFastWatersolve);
  addValue(t, 171,
           "Pressure-correction algorithm: 0 plain SIMPLE, 1 SIMPLEC type, 2 and 4 pressure from "
           "pseudo-velocities first",
           FlagSIMPLE);
  t.push_back({'F', 172,
               "Bed-form correction of the bed shear stress in the van Rijn concentration "
               "computation: switch, limit and coefficient",
               declared(FlagShearBedform, ShearBedformLim, ShearBedformCoeff),
               [](DataSetReader& r) {
                 r.i(FlagShearBedform); r.d(ShearBedformLim); r.d(ShearBedformCoeff);
                 r.requireCount(3);
                 r.require(FlagShearBedform >= 0);
               }});
  // The sediment mode may be left out (it is then 0); mode 5 needs its relaxation.
  t.push_back({'F', 174,
               "Cyclic boundaries: `FlagCyclic` for the flow (a negative value lets the boundary "
               "values average the cyclic profiles, at most −`FlagCyclic` times)",
               declared(FlagCyclic, FlagCyclicS, relaxCyclicS),
               [](DataSetReader& r) {
                 r.i(FlagCyclic);
                 r.requireCount(1);
                 if (!r.i(FlagCyclicS)) FlagCyclicS = 0;
                 if (FlagCyclicS == 5) {
                   const bool got = r.d(relaxCyclicS);
                   r.require(got && in(relaxCyclicS, 0, 1), "Error for F 174 x 5 in control\n");
                 }
               }});
  addValue(t, 175, "Relaxation of the transient free-surface algorithm", RelaxTFS);
  addSwitchValue(t, 176,
                 "Smoothing of the bed-form roughness in the coefficient builders: switch and "
                 "value",
                 FlagRBedformsmooth, RBedformsmooth);
  addValue(t, 177, "Read and checked; nothing uses it", FlagHastGrad);
  addValue(t, 178, "Smoothing option of the transient free surface", FlagSurfSmooth);
  t.push_back({'F', 179,
               "Upwind and diffusive options of the transient free-surface fluxes (the first also "
               "in the mud-flow fluxes)",
               declared(FlagSurfUpwind, FlagSurfDiffusive),
               [](DataSetReader& r) {
                 r.i(FlagSurfUpwind); r.i(FlagSurfDiffusive);
                 r.requireCount(2);
               }});
  addValue(t, 180, "Downstream water-surface option of the face-flux computation",
           FlagSurfDownstream);
  addValue(t, 181, "Gravity formulation of the pressure (also set to 1 by F 36 1 and 11 to 19)",
           FlagGravity);
  addValue(t, 182,
           "Bed-slope correction of the critical shear stress (also set by the letter B of F 7)",
           FlagBedslopeCorrection);
  addValue(t, 183, "Extra diagnostic output of the pressure computation", FlagPresDebug);
  addValue(t, 184, "Variant of the pressure-correction coefficients", FlagPCalg);
  addSwitchValue(t, 185, "Epsilon at the water surface in the wall laws: switch and coefficient",
                 FlagSurfEps, SurfEpsCoeff);
  addValue(t, 186, "Line (TDMA) solution in the flow driver; sizes its arrays", FlagTDMA);
  addValue(t, 187, "Treatment of the water surface at the edges of the wet area", FlagSurfEdge);
  addValue(t, 188, "Working-range option of the sediment time loop", FlagWorkSedim);
  addSwitchValue(t, 189,
                 "Roughness-layer drag of the momentum equations (switch and drag parameter)",
                 FlagBrenix, ParamBrenix);
  addValue(t, 191,
           "Distance below which two grid coordinates count as the same point when blocks are "
           "connected",
           ConnectLimit);
  addValue(t, 192, "Ratio of levels of nested and mud grids in the grid generators", NestNoRatio);
  addValue(t, 193, "Small number of the metric computation", SmallNumberUnstruc);
  addValue(t, 198, "Slide option of the bed-change computations", FlagSlideDLL);
}

}  // namespace qorva
