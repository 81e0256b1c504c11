// Settings from `control`: the frame data sets (F 2, F 7, T, F 206) and F 1 to F 49. The other
// data-set families have one header each, included at the end.
#pragma once

#include <array>

#include "state/table.h"

namespace qorva {

// Task letters of F 2 as read: position 0 holds the blank after the number; 0..9 are walked.
inline std::array<char, 20> run{};
// Option letters of F 7 in positions 1..8.
inline std::array<char, 20> options{};
// Title of T from position 1; position 0 stays NUL.
inline std::array<char, 80> Title{};

// F 206: threads of the parallel loops; 0 means one thread and the serial paths.
inline int NoProcessesSolver = 0;

// F 7 option flags.
inline int FlagBedGradient = 0, FlagBedslopeCorrection = 0, FlagPlotVertical = 0,
           FlagInflowDirection = 0, FlagZ0Small = 0, FlagXCYC = 0, FlagBedPoros = 0,
           FlagFlowDirCor = 0, FlagDiffNonVert = 1, FlagInZero = 1;

// F 1 .. F 49.
inline char debugging = 'N';  // F 1
inline double convergence = 1e-6;  // F 3
inline double relax_morph = 0.5;  // F 4
inline int iter_morph = 50;  // F 4
inline double conv_morph = 0.01;  // F 4
inline double SinReposeAngle = 1.0;  // F 5
inline double ConcFormCoeff = 0.015, ConcFormTstar = 1.5, ConcFormDstar = 0.3;  // F 6
inline double MaxBedChange = 0.1;  // F 8
inline double EddyMult = 1.0;  // F 9
inline char SedimentFormula = 'R';  // F 10
inline double density = 2.65, shieldscoeff = -0.047;  // F 11
inline double Schmidt = 1.0;  // F 12
inline double StressDiff = 0;  // F 13
inline double ArtDiff = 0;  // F 14
inline int FlagWallAll = 0;  // F 15
inline double XksWall = -2.0;  // F 16
inline double XksInflow = -2.0;  // F 16, F 202
inline double TimeStep = 1e-20;  // F 17
inline double SourDens = 0;  // F 18
inline double InitPres = 0;  // F 19
inline int IterF2 = 1;  // F 20
inline double RelaxRhieChow = 1.0;  // F 21
inline double MinPorosity = 0.35, RelaxPorosity = 2.0;  // F 22, F 25
inline double FillPart = 0, FillCriteria = 0;  // F 23
inline int TurbulenceModel = 0;  // F 24
inline double RoughPoros1 = 0.5, RoughPoros2 = 0.8;  // F 25
inline int DiamPoros = 5;  // F 25
inline double SolidFrac = 0.5;  // F 26
inline int SedimentScheme = 0;  // F 27
inline int ADFlag = 1, ADSmearNo = 2, ADConvNo = 0;  // F 28
inline double ADSmearLim = 1.0;  // F 28
inline Fixed<int, 10> BedFlags;  // F 30
inline double PorosMult1 = 0.8, PorosMult2 = 0.8;  // F 31
inline double twoDratio = 0;  // F 32
inline int TransInnerIter = 1;  // F 33
inline double ArtEddyVisc = 0;  // F 34
inline double relaxBedShear = 0.5;  // F 35
inline int FlagTFS = 0;  // F 36
inline int FlagGravity = 0;  // F 181, and F 36 1 or 11..19
inline int FlagSimpleCorrections = 0;  // F 157, and F 36 11
inline int FlagTSC = 0;  // F 37
inline double InputErrorLimit = 1e12;  // F 38
inline double AccBedChange = 1.0;  // F 39
inline double relaxDensityTurb = 0;  // F 40
inline double MaxDepthScour = 0;  // F 41
inline double MinLevScour = 0;  // F 42
inline int FlagMinBedLev = 0;  // F 41, F 42, F 375: the number of the one given last
inline double InterLimit = 0.05, InterALimit = 1e10;  // F 47
inline int FlagInterpolVal = 0;  // F 48

}  // namespace qorva

#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/options_p.h"
#include "state/options_qm.h"
#include "state/options_snihl.h"
