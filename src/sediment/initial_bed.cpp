// The start of a sediment run: the per-size counters and the suspended mass at the start, the
// stack of bed layers of every water column (from the grid's sediment thickness and the bed
// sample, or checked against it when a bed file was read), and the bed mass at the start.
// Reads the block table, zval, Surfaces, the bed sample of the N data sets, the bed files'
// flags and F 26, F 30, F 37, F 134, F 255, F 264, F 285, F 310, F 385, F 417, F 443, F 458;
// writes BSedDistrib, BlayerTop, Bsolidfraction, Bedmove, Bedlev, Bdefect, Barmourthick,
// BcohesionLevel, BfGzeroTime, BfGzeroHeight, Bvolleft, BplasticDeposits, Surfaces plane 3
// (F 310 2), Cconc, Cconc_old and the counters of state/sediment_run.h.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/sediment.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f400_449.h"
#include "state/options_f450_499.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva::sedloop {

namespace {

bool bedFileRead() { return FlagReadFracres != 0 || FlagUseBedres != 0 || FlagReadAlldata != 0; }

double cornerMean(int plane, int i, int j) {
  return 0.25 * (Surfaces[plane][i][j] + Surfaces[plane][i - 1][j] + Surfaces[plane][i][j - 1] +
                 Surfaces[plane][i - 1][j - 1]);
}

double cornerBed(int i, int j) {
  return 0.25 * (zval[i][j][1] + zval[i - 1][j][1] + zval[i][j - 1][1] + zval[i - 1][j - 1][1]);
}

void sampleFractions(int layer, int b) {
  for (int l = 1; l <= lnumber; ++l) BSedDistrib[layer][l][b] = SedimentSample[0][l];
}

double thickness(int layer, int b) { return BSedDistrib[layer][0][b]; }
void setThickness(int layer, int b, double t) { BSedDistrib[layer][0][b] = t; }

double stackThickness(int b) {
  double s = 0;
  for (int k = 0; k < NoBedLayers; ++k) s += thickness(k, b);
  return s;
}

// F 310 1: the stack fitted to the grid thickness T.
void fitStack(int b, double T, double S) {
  if (T <= S) {
    double excess = S - T, rest = S;
    for (int k = 0; k < NoBedLayers && rest >= 1e-10 && excess > 0; ++k) {
      const double t = thickness(k, b);
      if (t <= excess) {
        excess -= t;
        rest -= t;
        setThickness(k, b, 0);
      } else {
        setThickness(k, b, t - excess);
        excess = 0;
      }
    }
  } else {
    setThickness(0, b, thickness(0, b) + (T - S));
  }
}

void checkStack(int b, int i, int j, double T) {
  const double S = stackThickness(b), D = T - S;
  if (!(std::fabs(D) / (T + S + 0.01) > 0.1)) return;
  if (FlagFixBed == 0) {
    logf("\nError for cell no. %d, i = %d, j = %d: The sediment thickness computed\n", b, i, j);
    logf("from the difference between the grid bed level and the koordina file\n");
    logf("is %lf meters. The sum of the thickness of the bed sediment layers is %lf meters\n", T, S);
    logf("The reason for the error is lack of correspondence between the information\n");
    logf("in the files: fracres, bedres, koomin and the unstruc/koordina.\n");
    logf("The problem can be solved by using F 310 1 or 2 in the control file\n");
    failf(-8, "If you are reading an alldata file, a fix in this file was done on the 3rd July 2020\n\n");
  }
  if (FlagFixBed == 1) fitStack(b, T, S);
}

// The highest layer from N - 1 down to `lowest` that holds anything; the empty ones above it
// lose what thickness they had below 1e-20.
void dropEmptyTop(int b, int lowest) {
  BlayerTop[b] = NoBedLayers - 1;
  while (BlayerTop[b] > lowest && thickness(BlayerTop[b], b) < 1e-20) {
    setThickness(BlayerTop[b], b, 0);
    --BlayerTop[b];
  }
}

// The layered bed (F 37 3) read from a file: the top layer is the highest that holds anything
// (alldata, never below layer 1; fracres and bedres, which give the layers above the top of a
// stack empty, down to layer 0), or the stack is rebuilt from the grid's sediment thickness T
// (fracres of the first version).
void layeredTop(int b, double T, double Ta) {
  const int N = NoBedLayers;
  if (FlagReadAlldata != 0 && N - 1 >= 1)
    dropEmptyTop(b, 1);
  else if (FlagFracresVersion != 1 && bedFileRead())
    dropEmptyTop(b, 0);
  if (FlagFracresVersion == 1 && FlagReadFracres != 0) {
    const double D = std::max(T, 0.0);
    if (D < Ta) {
      BlayerTop[b] = 0;
      setThickness(0, b, D);
    } else {
      BlayerTop[b] = N - 1;
      setThickness(N - 1, b, Ta);
      if (D > Ta)
        for (int k = N - 2; k >= 0; --k) setThickness(k, b, (D - Ta) / (N - 1));
    }
  }
}

// The layers of the column (i, j) with bed cell b.
void columnLayers(int b, int i, int j, double Ta) {
  const int N = NoBedLayers;
  const bool fileRead = bedFileRead();
  Bedmove[b] = 0;
  if (FlagTSC == 3 && Barmourthick) Barmourthick[b] = 0;
  if (FlagBedDefect > 0 && Bdefect) Bdefect[b] = 0;
  BlayerTop[b] = N - 1;
  if (FlagCohesion > 4 && BcohesionLevel)
    BcohesionLevel[b] = cornerMean(zval[i][j][0] != 0 ? 3 : 0, i, j);
  const double T = gridSedimentThickness(i, j);
  double top = 0, rest = 0;
  if (!fileRead) {
    top = std::min(Ta, std::max(T, 0.0));
    rest = std::max(T - top, 0.0);
    setThickness(1, b, top);
    setThickness(0, b, rest);
    sampleFractions(1, b);
    sampleFractions(0, b);
    if (FlagBedConcentration == 3 && BfGzeroTime) BfGzeroTime[b] = BfGzeroHeight[b] = 0;
  }
  if (FlagTSC == 3 && Bsolidfraction)
    for (int k = 0; k < N; ++k) Bsolidfraction[k][b] = SolidFrac;
  if ((FlagTSC == 3 || FlagBedchangeOption == 3) && Bedlev) Bedlev[b] = cornerBed(i, j);
  if (N >= 3 && !fileRead) {
    setThickness(N - 1, b, top);
    sampleFractions(N - 1, b);
    for (int l = 1; l <= lnumber; ++l) Bvolleft[l][b] = 0;
    for (int k = 0; k <= N - 2; ++k) {
      setThickness(k, b, rest / (N - 1));
      sampleFractions(k, b);
    }
  }
  if (FlagTSC == 3) layeredTop(b, T, Ta);
  if (N > 2 && FlagInitiateBedlayers > 0)
    for (int k = BlayerTop[b]; k >= 0; --k) sampleFractions(k, b);
  // The solid fraction of a mixture is taken once every layer has its fractions.
  if (FlagTSC == 3 && FlagDensityAlgo == -1 && Bsolidfraction)
    for (int k = N - 1; k >= 0; --k) {
      double f[52] = {};
      for (int l = 1; l <= lnumber; ++l) f[l] = BSedDistrib[k][l][b];
      Bsolidfraction[k][b] = mixtureSolidFraction(f);
    }
  if (debugging == 'D' && FlagReadFracres != 0 && thickness(N - 1, b) > Ta) {
    logf("Warning in reading fracres file. Top layer larger then coarsest\n");
    logf("grain size at i,j=%d %d\n", i, j);
    logf("Top layer size fracres: %lf, maxgrain: %lf\n\n", thickness(N - 1, b), Ta);
  }
  if (thickness(1, b) < 0) failf(-44, "Error, startup, negative bed layer at i,j=%d %d\n", i, j);
  if (fileRead) checkStack(b, i, j, T);
}

// The three-dimensional blocks that are not skipped.
bool usedBlock(int b) { return block[b].flag2D == 0 && block[b].skip == 0; }

}  // namespace

double activeLayerThickness() {
  if (TopThickness > 0) return TopThickness;
  double d = 0;
  for (int l = 1; l <= lnumber; ++l) d = std::max(d, gsize[l]);
  return d;
}

int numberOfWorkBlocks() {
  int n = 1;
  const int listed = std::min(WorkBlockNo, static_cast<int>(WorkBlock.size()) - 1);
  for (int b = 1; b <= listed; ++b) n = std::max(n, WorkBlock[b]);
  return n;
}

double gridSedimentThickness(int i, int j) { return cornerBed(i, j) - cornerMean(3, i, j); }

double waterVolume() {
  double v = 0;
  for (int c = WCStart; c <= WCEnd; ++c) v += Cvol[c];
  return v;
}

void resetCounters() {
  for (int l = 1; l <= lnumber; ++l) {
    kIn[l] = kUt[l] = kBedmove[l] = kSusp[l] = Bvollefttot[l] = 0;
    kDefectRatio[l] = bedLimDef[l] = suspDef[l] = 0;
  }
  kLimDef = 0;
  for (int l = 1; l <= lnumber; ++l) {
    double s = 0;
    for (int c = WCStart; c <= WCEnd; ++c) {
      if (Cconc[l][c] < 0) Cconc[l][c] = 0;
      if (Cconc_old && Cconc_old[l][c] < 0) Cconc_old[l][c] = 0;
      s += Cconc[l][c] * Cvol[c] * 1000.0 * density;
    }
    kSuspo[l] = s;
  }
}

void initialBedLayers(double Ta) {
  forEachColumn(usedBlock, [&](int i, int j) {
    const int b = pointbed[i][j];
    if (b >= 1) columnLayers(b, i, j, Ta);
  });
  if (FlagPlastics > 0 && BplasticDeposits)
    for (int l = 0; l <= lnumber; ++l)
      for (int b = 0; b <= NoBCells; ++b) BplasticDeposits[l][b] = 0;
}

void fixNonErodibleLevel() {
  if (FlagFixBed != 2 || !bedFileRead()) return;
  for (int k = 1; k <= NoBlocks; ++k) {
    const GridBlock& blk = block[k];
    if (blk.flag2D != 0 || blk.skip != 0) continue;
    for (int i = blk.i1 - 1; i <= blk.i2; ++i)
      for (int j = blk.j1 - 1; j <= blk.j2; ++j) {
        double sum = 0;
        int n = 0;
        for (int di = 0; di <= 1; ++di)
          for (int dj = 0; dj <= 1; ++dj) {
            const int b = pointbed[i + di][j + dj];
            if (b < 1) continue;
            sum += stackThickness(b);
            ++n;
          }
        Surfaces[3][i][j] = zval[i][j][1] - sum / (n + 1e-10);
      }
  }
}

double layerMass(int l) {
  double m = 0;
  for (int b = WBStart; b <= WBEnd; ++b) {
    if (FlagTSC == 3) {
      for (int k = 0; k <= BlayerTop[b]; ++k) {
        const double sf = Bsolidfraction ? Bsolidfraction[k][b] : SolidFrac;
        m += thickness(k, b) * Barea[b] * BSedDistrib[k][l][b] * sf * density * 1000.0;
      }
    } else {
      m += (thickness(0, b) * BSedDistrib[0][l][b] + thickness(1, b) * BSedDistrib[1][l][b]) *
           Barea[b] * SolidFrac * 1000.0 * density;
    }
  }
  return m;
}

void initialLayerMasses() {
  for (int l = 1; l <= lnumber; ++l) kLayer1[l] = layerMass(l);
}

void emptyActiveLayer() {
  if (BedFlags[0] == 2)
    for (int b = WBStart; b <= WBEnd; ++b)
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[1][l][b] = 0;
  if (!Cconc_old) return;
  const int first = lnumber == 1 ? 1 : 0;
  for (int l = first; l <= lnumber; ++l)
    for (int c = WCStart; c <= WCEnd; ++c) Cconc_old[l][c] = 0;
}

}  // namespace qorva::sedloop

namespace qorva {

double mixtureSolidFraction(const double* f) {
  if (lnumber < 1) return 0.64;
  double m = 0, v = 0;
  for (int l = 1; l <= lnumber; ++l) m += f[l] * std::log2(gsize[l]);
  for (int l = 1; l <= lnumber; ++l) {
    const double d = std::log2(gsize[l]) - m;
    v += f[l] * d * d;
  }
  double s = 1 - (0.36 - 0.06 * v);
  if (s <= 0.05) s = 0.05;
  if (s >= 0.99) s = 0.99;
  return s;
}

}  // namespace qorva
