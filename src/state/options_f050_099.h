// Settings of F 50 to F 99.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoComponents = 0;  // F 50, F 67
inline double Coriolis = 0;  // F 51, F 80
inline int FlagCoriolis = 0;  // set by F 51 and F 80: Coriolis source on
inline Fixed<double, 3> Wind;  // F 52: speed, two direction components
inline int PrintIterBoogie = 100, PrintIterRes = 100, PrintIterForce = 1, PrintIterTime = 1;  // F 53
inline double TimeBreakLimit = 0.002;  // F 54
inline int IterAvalanche = 0;  // F 56
inline double AngleAvalanche = 1.0;  // F 56: tangent of the angle of repose
// F 58: the transient free surface (F 227 sets TFSfroudeforward, F 469 TFSdampwall too).
inline int TFStimeterm = 1, TFSpreszero = 0, TFSmovewall = 0, TFSfroudeforward = 1;
inline double TFSdiffratio = 0.02, TFSdampwall = 2.0, TFSdampobs = 2.0, TFStopvelocity = 0,
              TFSforcesource = 1.0, TFSuslope = 0;
inline int TSCbedforms = 0;  // F 60 (TSCbedrouse, its first value, is in options_f100_149.h)
inline double CrankNicols = 0;  // F 61: below 1, the transient term divides by 1 - value
inline int FlagTComp = 0;  // F 62
inline int SouComp = 0;  // F 63
inline int UMethod = 11;  // F 64
inline int TopBed = 0;  // set by F 64: 1 when the dry-edge shaping refers to the column's top cell
// F 65: capacities of the unstructured arrays.
inline int MaxCeller = 50000, MaxFlater = 80000, MaxPunkter = 50000, MaxNester = 10000,
           MaxConnFlate = 1000;
inline double NestInterpolRelax = 0;  // F 66
inline int TemperatureFlag = 0;  // F 67
inline int Hydrostatic = 0;  // F 68
inline int Seiche1 = 0, Seiche2 = 0, Seiche3 = 0, Seiche4 = 0, Seiche5 = 0, Seiche6 = 0,
           Seiche7 = 0;  // F 69
inline int WallFlag = 0;  // F 70
inline int TurbDensFlag = 0;  // F 71
inline double MinGamma = 0.001;  // F 72
inline int WindFlag = 0;  // F 73
inline int TimeRelaxFlag = 0;  // F 74
inline double Thermocline = 0;  // F 75
inline int FlagThermocline = 0;  // set by F 75
inline double TDChoriz = 1.0, TDCvert = 1.0, TDCdistrib = 0;  // F 76
inline double TChoriz = 1.0, TCvert = 1.0;  // F 77
inline int BedLoadVectorFlag = 0;  // F 78
inline double BedLoadVectorParam = 0.6;  // F 78
inline int FlagBedCalc = 0;  // F 79 (with lnumber of G 1)
inline double relaxCoriolis = 0;  // F 80
inline int ArrayTimeSteps = 200;  // F 81
inline double TurbDensAlphaU = -0.5, TurbDensBetaU = 10.0, TurbDensAlphaT = -1.5,
              TurbDensBetaT = 3.33, TDvelo = 1e-6;  // F 82
inline double ConcFormBCoeff = 0.053, ConcFormBTstar = 2.1, ConcFormBDstar = 0.3,
              ConcFormBD50 = 1.5;  // F 83
inline int BedLoadFlag = 0;  // F 84
inline int ContinuityFlag = 0;  // F 85
inline double MinVertDist = 0.001;  // F 86, F 94
inline double MinVertDist0 = -0.001, MinVertDist1 = 0.01;  // F 94, F 86
inline double GridDistCoeff = 0.6;  // F 87
inline double MaxGamma = 1000.0;  // F 88
inline double DistGridHoriz = 0.5;  // F 89
inline int FlagRoughness = 0;  // F 90
inline int iPres = 0, jPres = 0;  // F 91
inline int PorosWallFlag = 0;  // F 92, F 95
inline double FroudeHystat = 1.0;  // F 93
inline int FlagFroudeHystat = 0;  // set by F 93
inline double BPWparam1 = 0.5, BPWparam2 = 0.2;  // F 95
inline int OneCellSource = 0;  // F 96
inline int BlockMethodFlag = 0;  // F 98
inline int BedRecIter = 1;  // F 99

}  // namespace qorva
