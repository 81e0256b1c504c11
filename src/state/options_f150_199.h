// Settings of F 150 to F 199.
#pragma once

#include "state/table.h"

namespace qorva {

inline int MGSNo = 0;  // F 152
inline int FlagFastWatersolve = 0;  // F 170

inline int FlagResidual = 1;  // F 153
inline int SurfSmoothFlag = 0;  // F 154
inline double SurfSmoothVal = 0;  // F 154
inline int PauseFlag = 0;  // F 156
// F 159: grid-stability options. The flow drivers change 2 and 5 while flushing a divergence
// and restore them from the copies of the values read.
inline int FlagGridStab1 = 1, FlagGridStab2 = 0, FlagGridStab3 = 0, FlagGridStab4 = 1,
           FlagGridStab5 = 0;
inline int FlagGridStab2ori = 0, FlagGridStab5ori = 0;
inline int FlagBedVol = 0;  // F 160
inline double MinVertDist2 = 0;  // F 162
inline int FlagBedChange = 0;  // F 163
inline int FlagRapSolver = 0;  // F 164
inline int FlagUnstrucDir = 0;  // F 165
inline int FlagSurfRegen = 0;  // F 166
// F 168: levels of the water-level multigrid, and the value read, restored by the flow drivers.
inline int Flag2DAccSolver = 0, Flag2DAccSolverOri = 0;
inline int FlagHideEx = 0;  // F 169
inline double HideExParam = 0;  // F 169
inline int FlagSIMPLE = 0;  // F 171
inline int FlagShearBedform = 0;  // F 172
inline double ShearBedformLim = 2.0, ShearBedformCoeff = 7.0 / 3.0;  // F 172
// F 174: cyclic flow boundaries, and cyclic inflow sediment with its relaxation (mode 5).
inline int FlagCyclic = 0, FlagCyclicS = 0;
inline double relaxCyclicS = 0.1;
inline double RelaxTFS = 0.1;  // F 175
inline int FlagRBedformsmooth = 0;  // F 176
inline double RBedformsmooth = 0;  // F 176
inline int FlagHastGrad = 0;  // F 177
inline int FlagSurfSmooth = 0;  // F 178
inline int FlagSurfUpwind = 1, FlagSurfDiffusive = 0;  // F 179
inline int FlagSurfDownstream = 0;  // F 180
inline int FlagPresDebug = 0;  // F 183
inline int FlagPCalg = 0;  // F 184
inline int FlagSurfEps = 0;  // F 185
inline double SurfEpsCoeff = 0.43;  // F 185
inline int FlagTDMA = 0;  // F 186
inline int FlagSurfEdge = 0;  // F 187
inline int FlagWorkSedim = 0;  // F 188
inline int FlagBrenix = 0;  // F 189
inline double ParamBrenix = 0;  // F 189
inline double ConnectLimit = 1e-5;  // F 191
inline double NestNoRatio = 1.0;  // F 192
inline double SmallNumberUnstruc = 1e-8;  // F 193
inline int FlagSlideDLL = 0;  // F 198

}  // namespace qorva
