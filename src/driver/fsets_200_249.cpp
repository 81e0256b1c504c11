// Data sets F 200 to F 249 of `control` (F 206 belongs to the reader frame): defaults, readers
// and range checks. Writes the globals of state/options_f200_249.h, XksInflow, EModulus,
// PoissonRatio, GModulus, LModulus, TFSfroudeforward and FlagGridStab6.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets200_249(DataSetTable& t) {
  // The velocity and pressure norms are read only with set 2.
  t.push_back({'F', 200,
               declared(FlagNormSet, NormK, NormEps, NormVel, NormPres),
               [](DataSetReader& r) {
                 r.i(FlagNormSet); r.d(NormK); r.d(NormEps);
                 r.requireCount(3);
                 r.require(FlagNormSet >= 1);
                 r.require(NormK >= 0 && NormEps >= 0);
                 if (FlagNormSet == 2) {
                   r.d(NormVel); r.d(NormPres);
                   r.requireCount(5);
                   r.require(NormVel >= 0 && NormPres >= 0);
                 }
               }});
  t.push_back({'F', 201, declared(VegVars, VegLevels, VegTimes),
               [](DataSetReader& r) {
                 r.i(VegVars); r.i(VegLevels); r.i(VegTimes);
                 r.requireCount(3);
                 r.require(in(VegVars, 1, 5));
                 r.require(VegLevels >= 1);
                 r.require(VegTimes >= 1);
               }});
  // XksInflow takes its default from F 16, which also copies the wall roughness into it.
  t.push_back({'F', 202, declared(FlagLogInflow),
               [](DataSetReader& r) {
                 r.i(FlagLogInflow); r.d(XksInflow);
                 r.requireCount(2);
                 r.require(FlagLogInflow >= 0);
                 r.require(XksInflow >= 0);
               }});
  addValue(t, 203, FlagVertVelStab);
  addValue(t, 204, sizeBedCritCorr);
  // The text asks for a parameter above 0.0, but 0.0 itself passes.
  t.push_back({'F', 205, declared(FlagSkewedBedchange, f205param),
               [](DataSetReader& r) {
                 r.i(FlagSkewedBedchange); r.d(f205param);
                 r.require(r.count() >= 2 && f205param >= 0,
                           "Error for F 205 in control\n"
                           "Two parameters are needed, one integer and one float\n"
                           "The float should be larger than 0.0\n");
               }});
  addValue(t, 208, FlagTimeOrder);
  addValue(t, 209, MaxDepth209);
  addValue(t, 210, FlagBankErosion);
  addValue(t, 212, FlagWriteSpecial, 0);
  addSwitchValue(t, 213, FlagLEA1, CoeffLEA1, 0);
  t.push_back({'F', 214,
               declared(FlagLEA2, CoeffLEA2_teta, CoeffLEA2_k2, CoeffLEA2_k3, CoeffLEA2_k4),
               [](DataSetReader& r) {
                 r.i(FlagLEA2); r.d(CoeffLEA2_teta); r.d(CoeffLEA2_k2); r.d(CoeffLEA2_k3); r.d(CoeffLEA2_k4);
                 r.requireCount(5);
                 r.require(FlagLEA2 >= 0);
               }});
  addSwitchValue(t, 215, FlagLEA3, CoeffLEA3, 0);
  addSwitchValue(t, 216, FlagLEA4, CoeffLEA4_teta, 0);
  t.push_back({'F', 217, declared(FlagLEA5, CoeffLEA5_Ub, CoeffLEA5_teta),
               [](DataSetReader& r) {
                 r.i(FlagLEA5); r.d(CoeffLEA5_Ub); r.d(CoeffLEA5_teta);
                 r.requireCount(3);
                 r.require(FlagLEA5 >= 0);
               }});
  // The debug-print switch is optional; a data set without it switches printing off.
  t.push_back({'F', 218, declared(StopIter, PrintDebugBoogie),
               [](DataSetReader& r) {
                 r.i(StopIter);
                 r.requireCount(1);
                 if (!r.i(PrintDebugBoogie)) PrintDebugBoogie = 0;
               }});
  addValue(t, 219, FlagFlush);
  addValue(t, 221, FlagStopTime);
  addValue(t, 222, FlagBedDownstream);
  addValue(t, 223, ompbugtrap);
  addValue(t, 224, SurfResCrit);
  t.push_back({'F', 225, declared(ScaleGeodataMult, ScaleGeodataAdd),
               [](DataSetReader& r) {
                 r.d(ScaleGeodataMult); r.d(ScaleGeodataAdd);
                 r.requireCount(2);
               }});
  addValue(t, 226, FlagSurfFlux);
  addValue(t, 227, TFSfroudeforward);
  addValue(t, 229, FlagPreventDiv);
  addValue(t, 230, FlagTiltSurf);
  addValue(t, 231, FlagGridIter);
  t.push_back({'F', 232, declared(FlagGridCNO, FlagGridQexpand, FlagGridVVANG),
               [](DataSetReader& r) {
                 r.i(FlagGridCNO); r.i(FlagGridQexpand); r.d(FlagGridVVANG);
                 r.requireCount(3);
               }});
  addValue(t, 233, FlagNonHydrostaticSurf);
  addValue(t, 234, FlagSurfPresDownstream);
  // Only these corrections are safe with threads; the others are kept but warned about.
  t.push_back({'F', 235, declared(FlagCorrTrekant),
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant);
                 r.requireCount(1);
                 const int v = FlagCorrTrekant;
                 if (v != 1 && v != 5 && v != 10 && v != 21)
                   logf("Warning: The F 235 %d data set will only work when\n"
                        "not used in combination with the F 206 data set\n\n", v);
               }});
  t.push_back({'F', 236, declared(FlagThixo, ThixoEddyvisc, ThixoCritshear, ThixoMySlope),
               [](DataSetReader& r) {
                 r.i(FlagThixo); r.d(ThixoEddyvisc); r.d(ThixoCritshear); r.d(ThixoMySlope);
                 r.requireCount(4);
               }});
  // One data set per discharge group; groups not given keep -1.
  t.push_back({'F', 237, declared(discharges),
               [](DataSetReader& r) {
                 int g = 0;
                 double q = 0;
                 r.i(g); r.d(q);
                 r.requireCount(2);
                 r.require(in(g, 1, 9));
                 r.require(q >= 0);
                 r.require(q >= 1e-20, strf("Error for F 237, group %d: discharge is too low\n", g));
                 discharges[g] = q;
               }});
  t.push_back({'F', 238, declared(FlagNestTop, LevelNestTop),
               [](DataSetReader& r) {
                 r.i(FlagNestTop); r.d(LevelNestTop);
                 r.requireCount(2, "Error for F 238 in control\n"
                                   "You have to give in two numbers: an integer and a float\n\n");
                 r.require(FlagNestTop >= 0);
                 r.require(LevelNestTop >= -20000);
               }});
  t.push_back({'F', 239, declared(iterSurfSolv1, iterSurfSolv2),
               [](DataSetReader& r) {
                 r.i(iterSurfSolv1); r.i(iterSurfSolv2);
                 r.requireCount(2);
                 r.require(iterSurfSolv1 >= 0 && iterSurfSolv2 >= 0);
               }});
  addValue(t, 241, NestSurf, 0);
  t.push_back({'F', 242, declared(NumMoveBedchange),
               [](DataSetReader& r) {
                 r.i(NumMoveBedchange);
                 r.requireCount(1, "Error for F 242 in control\nHave not read any integer\n");
                 r.require(NumMoveBedchange >= 1,
                           strf("Error for F 242 in control\nInvalid number on data set: %d\n", NumMoveBedchange));
               }});
  t.push_back({'F', 244, declared(relaxTrekant1, relaxTrekant2),
               [](DataSetReader& r) {
                 r.d(relaxTrekant1); r.d(relaxTrekant2);
                 r.requireCount(2);
                 r.require(in(relaxTrekant1, 0, 1) && in(relaxTrekant2, 0, 1));
               }});
  // FlagCorrTrekant takes its default from F 235.
  t.push_back({'F', 245, declared(FlagCorrTrekant2, FlagCorrTrekant3),
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant); r.i(FlagCorrTrekant2); r.i(FlagCorrTrekant3);
                 r.requireCount(3);
                 if (FlagCorrTrekant3 == 1) FlagGridStab6 = 1;
               }});
  t.push_back({'F', 246,
               declared(FlagSurfLimit1, FlagSurfLimit2, FlagSurfLimit3, Diffslope),
               [](DataSetReader& r) {
                 r.i(FlagSurfLimit1); r.i(FlagSurfLimit2); r.i(FlagSurfLimit3); r.d(Diffslope);
                 r.requireCount(4, "Error for F 246 in control, not correct number of parameters\n");
               }});
  t.push_back({'F', 247, declared(EModulus, PoissonRatio, GModulus, LModulus),
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio);
                 r.requireCount(2);
                 r.require(PoissonRatio >= 0 && PoissonRatio < 0.5);
                 r.require(in(EModulus, 100000, 5e10));
                 setElasticModuli();
               }});
  addValue(t, 248, FlagSoilStress);
  addValue(t, 249, FlagAllowNegatveSedimentthickness);
}

}  // namespace qorva
