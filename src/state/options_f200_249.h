// Settings of F 200 to F 249.
#pragma once

#include "state/table.h"

namespace qorva {

// F 200: normalisation of the residuals at the start of the flow (k, epsilon; with set 2
// also velocity and pressure).
inline int FlagNormSet = 0;
inline double NormK = 0.0001, NormEps = 0.0001, NormVel = 0.001, NormPres = 0.001;
// F 201: vegetation data sizes (variables, vertical levels, times).
inline int VegVars = 1, VegLevels = 4, VegTimes = 1;
// F 202: logarithmic inflow profile; its roughness XksInflow lives with F 16 in options.h.
inline int FlagLogInflow = 0;
inline int FlagVertVelStab = 0;  // F 203
inline double sizeBedCritCorr = 0;  // F 204
// F 205: distribution of a column's bed change over its corners, and its parameter.
inline int FlagSkewedBedchange = 0;
inline double f205param = 2.0;
inline int FlagTimeOrder = 0;  // F 208
inline double MaxDepth209 = -1.0;  // F 209
inline int FlagBankErosion = 0;  // F 210
inline int FlagWriteSpecial = 0;  // F 212
// F 213 to F 217: pick-up options and coefficients of the van Rijn concentration.
inline int FlagLEA1 = 0;
inline double CoeffLEA1 = 0;
inline int FlagLEA2 = 0;  // F 214
inline double CoeffLEA2_teta = 0, CoeffLEA2_k2 = 0, CoeffLEA2_k3 = 0, CoeffLEA2_k4 = 0;  // F 214
inline int FlagLEA3 = 0;  // F 215
inline double CoeffLEA3 = 0;  // F 215
inline int FlagLEA4 = 0;  // F 216
inline double CoeffLEA4_teta = 0;  // F 216
inline int FlagLEA5 = 0;
inline double CoeffLEA5_Ub = 0, CoeffLEA5_teta = 0;
// F 218: debug stop iteration of the flow driver and the debug-print switch.
inline int StopIter = -10, PrintDebugBoogie = 0;
inline int FlagFlush = 0;  // F 219
inline int FlagStopTime = 0;  // F 221
inline int FlagBedDownstream = 1;  // F 222
inline int ompbugtrap = 0;  // F 223
inline double SurfResCrit = 100.0;  // F 224
inline double ScaleGeodataMult = 1.0, ScaleGeodataAdd = 0;  // F 225
inline int FlagSurfFlux = 0;  // F 226
inline int FlagPreventDiv = 0;  // F 229
inline int FlagTiltSurf = 0;  // F 230
inline int FlagGridIter = 0;  // F 231
// F 232: grid generator options.
inline int FlagGridCNO = 1, FlagGridQexpand = 0;
inline double FlagGridVVANG = 0;
inline int FlagNonHydrostaticSurf = 0;  // F 233
inline int FlagSurfPresDownstream = 0;  // F 234
// F 235 and F 245: triangle (wedge-cell) corrections at dry edges.
inline int FlagCorrTrekant = 0, FlagCorrTrekant2 = 0, FlagCorrTrekant3 = 0;
// F 236: thixotropic mud and slide model.
inline int FlagThixo = 0;
inline double ThixoEddyvisc = 0, ThixoCritshear = 0, ThixoMySlope = 0.8;
// F 237: water discharge of discharge group 1..9; -1 means not given.
inline constinit Fixed<double, 20> discharges = [] {
  Fixed<double, 20> q;
  for (double& v : q.v) v = -1.0;
  return q;
}();
// F 238: nested top boundary.
inline int FlagNestTop = 0;
inline double LevelNestTop = -20000.0;
inline int iterSurfSolv1 = 50, iterSurfSolv2 = 350;  // F 239
inline int NestSurf = 0;  // F 241
inline int NumMoveBedchange = 100;  // F 242
inline double relaxTrekant1 = 0.5, relaxTrekant2 = 0.8;  // F 244
inline int FlagGridStab6 = 0;  // set by F 383; F 245 sets it to 1 as well
// F 246: limiters of the free surface and the largest slope difference.
inline int FlagSurfLimit1 = 0, FlagSurfLimit2 = 0, FlagSurfLimit3 = 0;
inline double Diffslope = 100.0;
inline int FlagSoilStress = 0;  // F 248
inline int FlagAllowNegatveSedimentthickness = 0;  // F 249

}  // namespace qorva
