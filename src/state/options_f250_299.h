// Settings of F 250 to F 299.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagShields = 0;  // F 251
inline double relaxOutFlux = 0.9;  // F 252
inline int FlagImplicitSedim = 0;  // F 253
inline double TFS17WeightPresCorr = 0.5;  // F 254
inline int FlagBedchangeOption = 0;  // F 255
inline double MaxBedConc = 0.1;  // F 256
inline int FlagCrashGrid = 0;  // F 257
inline int FlagStressTerm = 0;  // F 258
inline int FlagStressStrain = 9;  // F 259
inline int FlagFlocDLL = 0;  // F 260
// F 261: two-way coupling of nested grids.
inline int FlagCoupledNesting = 0;
inline double RelaxCoupledNesting = 0.5;
// F 262: groundwater computation and hydraulic conductivity (m/s).
inline int FlagGroundwater = 0;
inline double Conductivity = 5.3e-6;
// F 263: free-surface update setting of discharge group 1..9; -1 means not given.
inline constinit Fixed<int, 20> updates = [] {
  Fixed<int, 20> u;
  for (int& v : u.v) v = -1;
  return u;
}();
inline int FlagDensityAlgo = 0;  // F 264
inline double di_graph = 0.5;  // F 265
// F 266: slope stability of the bed change.
inline int FlagGLEA = 0;
inline double SlopeGLEA = 0.65, CohesionGLEA = 0;
inline int FlagNoContour = 0;  // F 267
inline int FlagViewNested = 0;  // F 268
// F 270 (with IterAvalanche and AngleAvalanche of F 56): tangent of the angle of repose
// upwards; 0 until F 270 gives it.
inline double AngleAvalancheUp = 0;
inline int FlagTFS2 = 0;  // F 271
inline int FlagKatoLaunder = 0;  // F 272
// F 273: wall law of the GENMIX type and its epsilon coefficient.
inline int FlagGENMIX = 0;
inline double coeffEps = 1.0;
inline int FlagBedAngles = 0;  // F 274
inline double EpsilonCs1 = 1.44, EpsilonCs2 = 1.92;  // F 275
inline int FlagInOutLevels = 1;  // F 276
inline int FlagBedDefect = 0;  // F 277
inline int FlagTFS3 = 0;  // F 278
inline int FlagShearNB = 0;  // F 279
inline int FlagNestFluxInterpol = 0;  // F 280
// F 281: dune effect on the eddy viscosity.
inline int FlagDuneEddy = 0;
inline double DuneEddyFactor = 1.0;
inline int FlagUpdateDownwind = 0;  // F 282
inline int FlagSurfLimit4 = 0;  // F 283
inline int FlagTFS4 = 0;  // F 284
inline int FlagBedConcentration = 0, FlagBedSlope = 0;  // F 285; F 376 sets the first too
// F 287: global flux correction at the boundaries and its limits.
inline int FlagGlobFlux = 0;
inline double GlobFluxLim1 = 0.5, GlobFluxLim2 = 2.0;
// F 289: damping of the thixotropic flow.
inline int FlagThixoDamp = 0, FlagThixoGrid = 0, FlagThixoDampAp = 0, FlagThixoDampVel = 0;
inline double GammaVertCoeff1 = 0, GammaVertCoeff2 = 0;  // F 290
inline int FlagDamp1 = 0, FlagDamp2 = 0, FlagDamp3 = 0;  // F 291
// F 292: inner time step (s) of the transient term and the water-level solver.
inline int FlagInnerTimestep = 0;
inline double InnerTimestep = 0;
inline int FlagTafnor = 0;  // F 293
inline int InspaceAlloc = 0;  // F 294
inline double RoughnessFactor = 1.0;  // F 295
inline int FlagTimeSIMPLE = 0;  // F 296
inline int FlagWriteUnstruc = 3;  // F 297
// F 298: OpenFOAM case writer.
inline int OpenFOAMsides = 0;
inline double OpenFOAMinLevel = 1e20, OpenFOAMoutLevel = 1e20;
inline int FlagUnstrucWedge = 0;  // F 299

}  // namespace qorva
