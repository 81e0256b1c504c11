// Data sets F 200 to F 249 of `control` (F 206 belongs to the reader frame): defaults, readers
// and range checks. Writes the globals of state/options_f200_249.h, XksInflow, EModulus,
// PoissonRatio, GModulus, LModulus, TFSfroudeforward and FlagGridStab6.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The failure text of this range: the later data sets, and a few earlier ones, end it with a
// line end; the others leave it open.
std::string errorText(int number) {
  const bool lineEnd = number == 208 || (number >= 212 && number <= 217) || number >= 234;
  return strf("Error for F %d in control%s", number, lineEnd ? "\n" : "");
}

// Ends the run with this data set's failure text unless ok.
void check(const DataSetReader& r, bool ok) { r.require(ok, errorText(r.number())); }
void checkCount(const DataSetReader& r, int n) { check(r, r.count() >= n); }

// A data set of one integer with only the count check.
void intRow(DataSetTable& t, int number, int& v, int def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) { r.i(v); checkCount(r, 1); }});
}

// A data set of one integer that must be 0 or more.
void nonNegativeIntRow(DataSetTable& t, int number, int& v, int def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) { r.i(v); checkCount(r, 1); check(r, v >= 0); }});
}

// A data set of one double with only the count check.
void doubleRow(DataSetTable& t, int number, double& v, double def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) { r.d(v); checkCount(r, 1); }});
}

// A data set of a non-negative option flag and one coefficient (F 213, 215, 216).
void flagCoeffRow(DataSetTable& t, int number, int& flag, double& coeff) {
  t.push_back({'F', number, [&flag, &coeff] { flag = 0; coeff = 0; },
               [&flag, &coeff](DataSetReader& r) {
                 r.i(flag); r.d(coeff);
                 checkCount(r, 2);
                 check(r, flag >= 0);
               }});
}

}  // namespace

void addFsets200_249(DataSetTable& t) {
  // The velocity and pressure norms are read only with set 2.
  t.push_back({'F', 200,
               [] { FlagNormSet = 0; NormK = 0.0001; NormEps = 0.0001; NormVel = 0.001; NormPres = 0.001; },
               [](DataSetReader& r) {
                 r.i(FlagNormSet); r.d(NormK); r.d(NormEps);
                 checkCount(r, 3);
                 check(r, FlagNormSet >= 1);
                 check(r, NormK >= 0 && NormEps >= 0);
                 if (FlagNormSet == 2) {
                   r.d(NormVel); r.d(NormPres);
                   checkCount(r, 5);
                   check(r, NormVel >= 0 && NormPres >= 0);
                 }
               }});
  t.push_back({'F', 201, [] { VegVars = 1; VegLevels = 4; VegTimes = 1; },
               [](DataSetReader& r) {
                 r.i(VegVars); r.i(VegLevels); r.i(VegTimes);
                 checkCount(r, 3);
                 check(r, in(VegVars, 1, 5));
                 check(r, VegLevels >= 1);
                 check(r, VegTimes >= 1);
               }});
  // XksInflow takes its default from F 16, which also copies the wall roughness into it.
  t.push_back({'F', 202, [] { FlagLogInflow = 0; },
               [](DataSetReader& r) {
                 r.i(FlagLogInflow); r.d(XksInflow);
                 checkCount(r, 2);
                 check(r, FlagLogInflow >= 0);
                 check(r, XksInflow >= 0);
               }});
  intRow(t, 203, FlagVertVelStab, 0);
  doubleRow(t, 204, sizeBedCritCorr, 0);
  // The text asks for a parameter above 0.0, but 0.0 itself passes.
  t.push_back({'F', 205, [] { FlagSkewedBedchange = 0; f205param = 2.0; },
               [](DataSetReader& r) {
                 r.i(FlagSkewedBedchange); r.d(f205param);
                 r.require(r.count() >= 2 && f205param >= 0,
                           "Error for F 205 in control\n"
                           "Two parameters are needed, one integer and one float\n"
                           "The float should be larger than 0.0\n");
               }});
  intRow(t, 208, FlagTimeOrder, 0);
  doubleRow(t, 209, MaxDepth209, -1.0);
  intRow(t, 210, FlagBankErosion, 0);
  nonNegativeIntRow(t, 212, FlagWriteSpecial, 0);
  flagCoeffRow(t, 213, FlagLEA1, CoeffLEA1);
  t.push_back({'F', 214,
               [] { FlagLEA2 = 0; CoeffLEA2_teta = CoeffLEA2_k2 = CoeffLEA2_k3 = CoeffLEA2_k4 = 0; },
               [](DataSetReader& r) {
                 r.i(FlagLEA2); r.d(CoeffLEA2_teta); r.d(CoeffLEA2_k2); r.d(CoeffLEA2_k3); r.d(CoeffLEA2_k4);
                 checkCount(r, 5);
                 check(r, FlagLEA2 >= 0);
               }});
  flagCoeffRow(t, 215, FlagLEA3, CoeffLEA3);
  flagCoeffRow(t, 216, FlagLEA4, CoeffLEA4_teta);
  t.push_back({'F', 217, [] { FlagLEA5 = 0; CoeffLEA5_Ub = 0; CoeffLEA5_teta = 0; },
               [](DataSetReader& r) {
                 r.i(FlagLEA5); r.d(CoeffLEA5_Ub); r.d(CoeffLEA5_teta);
                 checkCount(r, 3);
                 check(r, FlagLEA5 >= 0);
               }});
  // The debug-print switch is optional; a data set without it switches printing off.
  t.push_back({'F', 218, [] { StopIter = -10; PrintDebugBoogie = 0; },
               [](DataSetReader& r) {
                 r.i(StopIter);
                 checkCount(r, 1);
                 if (!r.i(PrintDebugBoogie)) PrintDebugBoogie = 0;
               }});
  intRow(t, 219, FlagFlush, 0);
  intRow(t, 221, FlagStopTime, 0);
  intRow(t, 222, FlagBedDownstream, 1);
  intRow(t, 223, ompbugtrap, 0);
  doubleRow(t, 224, SurfResCrit, 100.0);
  t.push_back({'F', 225, [] { ScaleGeodataMult = 1.0; ScaleGeodataAdd = 0; },
               [](DataSetReader& r) {
                 r.d(ScaleGeodataMult); r.d(ScaleGeodataAdd);
                 checkCount(r, 2);
               }});
  intRow(t, 226, FlagSurfFlux, 0);
  intRow(t, 227, TFSfroudeforward, 1);
  intRow(t, 229, FlagPreventDiv, 0);
  intRow(t, 230, FlagTiltSurf, 0);
  intRow(t, 231, FlagGridIter, 0);
  t.push_back({'F', 232, [] { FlagGridCNO = 1; FlagGridQexpand = 0; FlagGridVVANG = 0; },
               [](DataSetReader& r) {
                 r.i(FlagGridCNO); r.i(FlagGridQexpand); r.d(FlagGridVVANG);
                 checkCount(r, 3);
               }});
  intRow(t, 233, FlagNonHydrostaticSurf, 0);
  intRow(t, 234, FlagSurfPresDownstream, 0);
  // Only these corrections are safe with threads; the others are kept but warned about.
  t.push_back({'F', 235, [] { FlagCorrTrekant = 0; },
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant);
                 checkCount(r, 1);
                 const int v = FlagCorrTrekant;
                 if (v != 1 && v != 5 && v != 10 && v != 21)
                   logf("Warning: The F 235 %d data set will only work when\n"
                        "not used in combination with the F 206 data set\n\n", v);
               }});
  t.push_back({'F', 236, [] { FlagThixo = 0; ThixoEddyvisc = 0; ThixoCritshear = 0; ThixoMySlope = 0.8; },
               [](DataSetReader& r) {
                 r.i(FlagThixo); r.d(ThixoEddyvisc); r.d(ThixoCritshear); r.d(ThixoMySlope);
                 checkCount(r, 4);
               }});
  // One data set per discharge group; groups not given keep -1.
  t.push_back({'F', 237, [] { for (double& q : discharges) q = -1.0; },
               [](DataSetReader& r) {
                 int g = 0;
                 double q = 0;
                 r.i(g); r.d(q);
                 checkCount(r, 2);
                 check(r, in(g, 1, 9));
                 check(r, q >= 0);
                 r.require(q >= 1e-20, strf("Error for F 237, group %d: discharge is too low\n", g));
                 discharges[g] = q;
               }});
  t.push_back({'F', 238, [] { FlagNestTop = 0; LevelNestTop = -20000.0; },
               [](DataSetReader& r) {
                 r.i(FlagNestTop); r.d(LevelNestTop);
                 r.requireCount(2, "Error for F 238 in control\n"
                                   "You have to give in two numbers: an integer and a float\n\n");
                 check(r, FlagNestTop >= 0);
                 check(r, LevelNestTop >= -20000);
               }});
  t.push_back({'F', 239, [] { iterSurfSolv1 = 50; iterSurfSolv2 = 350; },
               [](DataSetReader& r) {
                 r.i(iterSurfSolv1); r.i(iterSurfSolv2);
                 checkCount(r, 2);
                 check(r, iterSurfSolv1 >= 0 && iterSurfSolv2 >= 0);
               }});
  nonNegativeIntRow(t, 241, NestSurf, 0);
  t.push_back({'F', 242, [] { NumMoveBedchange = 100; },
               [](DataSetReader& r) {
                 r.i(NumMoveBedchange);
                 r.requireCount(1, "Error for F 242 in control\nHave not read any integer\n");
                 r.require(NumMoveBedchange >= 1,
                           strf("Error for F 242 in control\nInvalid number on data set: %d\n", NumMoveBedchange));
               }});
  t.push_back({'F', 244, [] { relaxTrekant1 = 0.5; relaxTrekant2 = 0.8; },
               [](DataSetReader& r) {
                 r.d(relaxTrekant1); r.d(relaxTrekant2);
                 checkCount(r, 2);
                 check(r, in(relaxTrekant1, 0, 1) && in(relaxTrekant2, 0, 1));
               }});
  // FlagCorrTrekant takes its default from F 235.
  t.push_back({'F', 245, [] { FlagCorrTrekant2 = 0; FlagCorrTrekant3 = 0; },
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant); r.i(FlagCorrTrekant2); r.i(FlagCorrTrekant3);
                 checkCount(r, 3);
                 if (FlagCorrTrekant3 == 1) FlagGridStab6 = 1;
               }});
  t.push_back({'F', 246,
               [] { FlagSurfLimit1 = FlagSurfLimit2 = FlagSurfLimit3 = 0; Diffslope = 100.0; },
               [](DataSetReader& r) {
                 r.i(FlagSurfLimit1); r.i(FlagSurfLimit2); r.i(FlagSurfLimit3); r.d(Diffslope);
                 r.requireCount(4, "Error for F 246 in control, not correct number of parameters\n");
               }});
  t.push_back({'F', 247, [] { EModulus = 6.5e7; PoissonRatio = 0.4; GModulus = 6.5e7; LModulus = 0; },
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio);
                 checkCount(r, 2);
                 check(r, PoissonRatio >= 0 && PoissonRatio < 0.5);
                 check(r, in(EModulus, 100000, 5e10));
                 setElasticModuli();
               }});
  intRow(t, 248, FlagSoilStress, 0);
  intRow(t, 249, FlagAllowNegatveSedimentthickness, 0);
}

}  // namespace qorva
