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
               "Normalisation values of the residuals used by the start-up of the flow (k, "
               "epsilon, and with set 2 velocity and pressure)",
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
  t.push_back({'F', 201,
               "Sizes of the vegetation data: variables, vertical levels, times (array allocation, "
               "the vegetation source, the vegetation data made from STL files)",
               declared(VegVars, VegLevels, VegTimes),
               [](DataSetReader& r) {
                 r.i(VegVars); r.i(VegLevels); r.i(VegTimes);
                 r.requireCount(3);
                 r.require(in(VegVars, 1, 5));
                 r.require(VegLevels >= 1);
                 r.require(VegTimes >= 1);
               }});
  // XksInflow takes its default from F 16, which also copies the wall roughness into it.
  t.push_back({'F', 202,
               "Logarithmic velocity profile at inflow boundaries and its roughness (F 16 also "
               "sets `XksInflow`)",
               declared(FlagLogInflow),
               [](DataSetReader& r) {
                 r.i(FlagLogInflow); r.d(XksInflow);
                 r.requireCount(2);
                 r.require(FlagLogInflow >= 0);
                 r.require(XksInflow >= 0);
               }});
  addValue(t, 203,
           "Stabilisation of the vertical velocity in the flux computation and the corrections (1 "
           "to 3 limit w and the top-face flux to 0.1 times the mean horizontal speed)",
           FlagVertVelStab);
  addValue(t, 204,
           "Grain-size correction of the critical shear in the van Rijn concentration computation",
           sizeBedCritCorr);
  // The text asks for a parameter above 0.0, but 0.0 itself passes.
  t.push_back({'F', 205,
               "Rule for distributing the bed change of a column over its four corners, and its "
               "parameter",
               declared(FlagSkewedBedchange, f205param),
               [](DataSetReader& r) {
                 r.i(FlagSkewedBedchange); r.d(f205param);
                 r.require(r.count() >= 2 && f205param >= 0,
                           "Error for F 205 in control\n"
                           "Two parameters are needed, one integer and one float\n"
                           "The float should be larger than 0.0\n");
               }});
  addValue(t, 208,
           "Order of the time discretisation of the transient term (array allocation, transient "
           "term, water and turbulence steps)",
           FlagTimeOrder);
  addValue(t, 209, "Maximum water depth used by the grid generators", MaxDepth209);
  addValue(t, 210, "Read and checked; nothing uses it", FlagBankErosion);
  addValue(t, 212,
           "Special outputs: 8 and 9 write checks to `boogie.spe`, 12 writes level histograms to "
           "`cellvol`",
           FlagWriteSpecial, 0);
  addSwitchValue(t, 213, "Read and checked; nothing uses it", FlagLEA1, CoeffLEA1, 0);
  t.push_back({'F', 214,
               "Option and coefficients of a pick-up variant of the van Rijn concentration "
               "computation; the flag is also read by the mud-flow fluxes",
               declared(FlagLEA2, CoeffLEA2_teta, CoeffLEA2_k2, CoeffLEA2_k3, CoeffLEA2_k4),
               [](DataSetReader& r) {
                 r.i(FlagLEA2); r.d(CoeffLEA2_teta); r.d(CoeffLEA2_k2); r.d(CoeffLEA2_k3); r.d(CoeffLEA2_k4);
                 r.requireCount(5);
                 r.require(FlagLEA2 >= 0);
               }});
  addSwitchValue(t, 215, "Option and coefficient of the van Rijn concentration computation",
                 FlagLEA3, CoeffLEA3, 0);
  addSwitchValue(t, 216, "Option and coefficient of the van Rijn concentration computation",
                 FlagLEA4, CoeffLEA4_teta, 0);
  t.push_back({'F', 217, "Option and two coefficients of the van Rijn concentration computation",
               declared(FlagLEA5, CoeffLEA5_Ub, CoeffLEA5_teta),
               [](DataSetReader& r) {
                 r.i(FlagLEA5); r.d(CoeffLEA5_Ub); r.d(CoeffLEA5_teta);
                 r.requireCount(3);
                 r.require(FlagLEA5 >= 0);
               }});
  // The debug-print switch is optional; a data set without it switches printing off.
  t.push_back({'F', 218,
               "Iteration at which the velocity and pressure steps of the flow driver stop for "
               "debugging, and the debug-print switch",
               declared(StopIter, PrintDebugBoogie),
               [](DataSetReader& r) {
                 r.i(StopIter);
                 r.requireCount(1);
                 if (!r.i(PrintDebugBoogie)) PrintDebugBoogie = 0;
               }});
  addValue(t, 219, "Number of flushings allowed per flow computation when the residual diverges",
           FlagFlush);
  addValue(t, 221,
           "1: a transient run also stops when it has converged (largest residual below 0.001); "
           "otherwise only steady runs stop on convergence",
           FlagStopTime);
  addValue(t, 222, "Treatment of the bed level at the downstream boundary in the bed change",
           FlagBedDownstream);
  addValue(t, 223,
           "Coefficient trap of the flow driver: above 0 the six neighbour coefficients are filled "
           "with -10 before they are built",
           ompbugtrap);
  addValue(t, 224,
           "The free surface is updated at the end of an outer iteration only while the largest "
           "residual is below this value; a negative value tests the continuity residual",
           SurfResCrit);
  t.push_back({'F', 225,
               "Multiplier and added value applied to the bed survey points when they are read",
               declared(ScaleGeodataMult, ScaleGeodataAdd),
               [](DataSetReader& r) {
                 r.d(ScaleGeodataMult); r.d(ScaleGeodataAdd);
                 r.requireCount(2);
               }});
  addValue(t, 226, "Surface-flux option of the face-flux computation", FlagSurfFlux);
  addValue(t, 227,
           "Froude-forward option of the level-set surface update (also the fourth value of F 58)",
           TFSfroudeforward);
  addValue(t, 229, "Divergence prevention in the free-surface computations", FlagPreventDiv);
  addValue(t, 230, "Tilted-surface option of the metric computation", FlagTiltSurf);
  addValue(t, 231, "Iteration option of the grid generator", FlagGridIter);
  t.push_back({'F', 232, "Three options of the grid generator",
               declared(FlagGridCNO, FlagGridQexpand, FlagGridVVANG),
               [](DataSetReader& r) {
                 r.i(FlagGridCNO); r.i(FlagGridQexpand); r.d(FlagGridVVANG);
                 r.requireCount(3);
               }});
  addValue(t, 233,
           "Non-hydrostatic free-surface option (array allocation, free-surface computations)",
           FlagNonHydrostaticSurf);
  addValue(t, 234, "Downstream surface-pressure option of the face-flux computation",
           FlagSurfPresDownstream);
  // Only these corrections are safe with threads; the others are kept but warned about.
  t.push_back({'F', 235, "Triangle (wedge-cell) corrections at dry edges",
               declared(FlagCorrTrekant),
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant);
                 r.requireCount(1);
                 const int v = FlagCorrTrekant;
                 if (v != 1 && v != 5 && v != 10 && v != 21)
                   logf("Warning: The F 235 %d data set will only work when\n"
                        "not used in combination with the F 206 data set\n\n", v);
               }});
  t.push_back({'F', 236,
               "Thixotropic mud and slide model: switch, eddy viscosity, critical shear stress and "
               "slope parameter",
               declared(FlagThixo, ThixoEddyvisc, ThixoCritshear, ThixoMySlope),
               [](DataSetReader& r) {
                 r.i(FlagThixo); r.d(ThixoEddyvisc); r.d(ThixoCritshear); r.d(ThixoMySlope);
                 r.requireCount(4);
               }});
  // One data set per discharge group; groups not given keep -1.
  t.push_back({'F', 237,
               "Water discharge in m3/s of discharge group g (1 to 9), one F 237 per group; the "
               "inflow and outflow groups of F 314 each need one",
               declared(discharges),
               [](DataSetReader& r) {
                 int g = 0;
                 double q = 0;
                 r.i(g); r.d(q);
                 // The standard text, and a line that says what is wrong.
                 r.requireCount(2, r.standardText() +
                                       strf("F 237 takes two values, a discharge group 1 to 9 and "
                                            "its discharge in m3/s; %d could be read\n",
                                            r.count()));
                 r.require(in(g, 1, 9),
                           r.standardText() +
                               strf("F 237 %d: the discharge group must be 1 to 9\n", g));
                 r.require(q >= 0, r.standardText() +
                                       strf("F 237 %d %g: a discharge cannot be negative\n", g, q));
                 r.require(q >= 1e-20, strf("Error for F 237, group %d: discharge is too low\n", g));
                 discharges[g] = q;
               }});
  t.push_back({'F', 238, "Nested top boundary: switch and level",
               declared(FlagNestTop, LevelNestTop),
               [](DataSetReader& r) {
                 r.i(FlagNestTop); r.d(LevelNestTop);
                 r.requireCount(2, "Error for F 238 in control\n"
                                   "You have to give in two numbers: an integer and a float\n\n");
                 r.require(FlagNestTop >= 0);
                 r.require(LevelNestTop >= -20000);
               }});
  t.push_back({'F', 239, "Two iteration limits of the water-level solver",
               declared(iterSurfSolv1, iterSurfSolv2),
               [](DataSetReader& r) {
                 r.i(iterSurfSolv1); r.i(iterSurfSolv2);
                 r.requireCount(2);
                 r.require(iterSurfSolv1 >= 0 && iterSurfSolv2 >= 0);
               }});
  addValue(t, 241, "Surface option of the nesting maps and the metric computation", NestSurf, 0);
  t.push_back({'F', 242, "Number of move steps of the bed change", declared(NumMoveBedchange),
               [](DataSetReader& r) {
                 r.i(NumMoveBedchange);
                 r.requireCount(1, "Error for F 242 in control\nHave not read any integer\n");
                 r.require(NumMoveBedchange >= 1,
                           strf("Error for F 242 in control\nInvalid number on data set: %d\n", NumMoveBedchange));
               }});
  t.push_back({'F', 244,
               "Relaxations of the triangle corrections in the velocity step and the triangle flux "
               "correction",
               declared(relaxTrekant1, relaxTrekant2),
               [](DataSetReader& r) {
                 r.d(relaxTrekant1); r.d(relaxTrekant2);
                 r.requireCount(2);
                 r.require(in(relaxTrekant1, 0, 1) && in(relaxTrekant2, 0, 1));
               }});
  // FlagCorrTrekant takes its default from F 235.
  t.push_back({'F', 245,
               "Triangle corrections 1 to 3 of the dry-edge shaping; when `FlagCorrTrekant3` is 1, "
               "`FlagGridStab6` is set to 1",
               declared(FlagCorrTrekant2, FlagCorrTrekant3),
               [](DataSetReader& r) {
                 r.i(FlagCorrTrekant); r.i(FlagCorrTrekant2); r.i(FlagCorrTrekant3);
                 r.requireCount(3);
                 if (FlagCorrTrekant3 == 1) FlagGridStab6 = 1;
               }});
  t.push_back({'F', 246,
               "Limiters of the free-surface computations and the largest slope difference",
               declared(FlagSurfLimit1, FlagSurfLimit2, FlagSurfLimit3, Diffslope),
               [](DataSetReader& r) {
                 r.i(FlagSurfLimit1); r.i(FlagSurfLimit2); r.i(FlagSurfLimit3); r.d(Diffslope);
                 r.requireCount(4, "Error for F 246 in control, not correct number of parameters\n");
               }});
  t.push_back({'F', 247,
               "Elastic soil: Young's modulus E and Poisson's ratio ν. After the checks the "
               "derived moduli are set: `GModulus` = E / (2 (1 + ν)) and `LModulus` = E ν /",
               declared(EModulus, PoissonRatio, GModulus, LModulus),
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio);
                 r.requireCount(2);
                 r.require(PoissonRatio >= 0 && PoissonRatio < 0.5);
                 r.require(in(EModulus, 100000, 5e10));
                 setElasticModuli();
               }});
  addValue(t, 248, "Soil task of the task letter N: 1 computes soil stresses, 2 slide locations",
           FlagSoilStress);
  addValue(t, 249, "Lets the reader of `unstruc` accept negative sediment thicknesses",
           FlagAllowNegatveSedimentthickness);
}

}  // namespace qorva
