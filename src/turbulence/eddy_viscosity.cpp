// Eddy viscosity of every turbulence model (F 24) and the options that damp, raise, scale or
// replace it; the algebraic epsilon of the models 18 to 20.
// Reads Ckinen, Cepsilon, velocities, Ckdist, the neighbours and the bed-cell fields; writes
// Cgamma, CgammaV (kg/(m s), water density 1000 included) and, in computeEpsilon, Cepsilon.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/team.h"
#include "state/timeseries.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// The water columns: cells numbered upward from the bottom cell (Ccellb 0) to the top cell
// (Ccellt 0). A range may cut a column (the chunks of the parallel regions); the column steps
// then form their quantities over the whole column, which no call writes, and write only the
// cells of their own range, so a cut column gets what a call over whole columns gives it.

// k-epsilon eddy viscosity with the coefficient cmu x 1000, the molecular part and the cap.
double standardValue(int c, double coefficient) {
  const double k = Ckinen[c];
  return std::min(coefficient * k * k / (Cepsilon[c] + 1e-20) + MinGamma + ArtEddyVisc,
                  MaxGamma);
}

// Wind speed of F 52, or the wind of the timei rows at the present time. One row is a
// constant (the series helper never reads a row before row 0).
double windSpeed() {
  if (TimeInNo > 0 && TimeInWind && Winn) return timeSeriesValue(Winn, 0, stimet);
  return Wind[0];
}

// Shear velocity (m/s) of the wind stress by the drag law of F 73.
double windShearVelocity() {
  const double W = windSpeed();
  double W2;
  switch (WindFlag) {
    case 0:
      W2 = W <= 5.6 ? W * W : W * W * (1 + 1.9 * (1 - 5.6 / W) * (1 - 5.6 / W));
      break;
    case 1:
      W2 = 1.1 * W * W;
      break;
    case 2:
      W2 = W < 1 ? 1.25 * std::pow(W, 1.5) : W < 15 ? 0.5 * std::pow(W, 2.5) : 2.6 * W * W;
      break;
    default:
      W2 = W;
      break;
  }
  const double s = 0.0012 * W2 * 0.001;
  return s > 0 ? std::sqrt(s) : 0.0;
}

void windModel(int first, int last, Share share) {
  const double ustar = windShearVelocity();
  const double base = MinGamma + ArtEddyVisc;
  if (TurbulenceModel == 5) {
    // One value for the range, from the top cell of the column where the range begins. A
    // chunk takes the column where the working range begins, as the serial call over the
    // whole range does: the value must not depend on the thread count.
    const int from = share == Share::Chunk ? std::max(WCStart, 1) : first;
    const double g = base + 400 * 0.5477 * Ckdist[topOf(from)] * ustar;
    for (int c = first; c <= last; ++c) Cgamma[c] = g;
    return;
  }
  forEachColumnIn(first, last, [&](int c0) {
    double D = 0;
    upColumn(c0, [&D](int c) { D += Ckdist[c]; });
    const double g = base + 0.11 * ustar * 2 * D * 1000;
    upColumn(c0, [&](int c) {
      if (c >= first && c <= last) Cgamma[c] = g;
    });
  });
}

void selectModel(int first, int last, Share share) {
  const int m = TurbulenceModel;
  if ((m == 5 || m == 7) && Wind[0] > 1e-10) {
    windModel(first, last, share);
  } else if (m == 4 || m == 6) {
    for (int c = first; c <= last; ++c) Cgamma[c] = MinGamma + ArtEddyVisc;
  } else if (m == 15 || m == 16) {
    for (int c = first; c <= last; ++c) Cgamma[c] = Ckinen[c] / (Cepsilon[c] + 1e-20);
  } else if (m == 1) {
    for (int c = first; c <= last; ++c) Cgamma[c] = standardValue(c, 84.5);
  } else if (FlagCorrTrekant == 24) {
    for (int c = first; c <= last; ++c)
      Cgamma[c] = 0.5 * standardValue(c, 90.0) + 0.5 * Cgamma[c];
  } else if (m == 17) {
    GammaCalcRealizable(first, last);
  } else if (m >= 4 && m <= 7) {
    for (int c = first; c <= last; ++c) Cgamma[c] = MinGamma + ArtEddyVisc;
  } else {
    for (int c = first; c <= last; ++c) Cgamma[c] = standardValue(c, 90.0);
  }
}

// Stratification damping of the horizontal eddy viscosity (F 71 2) or the factor that the k
// sources formed (F 71 5).
void densityDamping(int first, int last) {
  if (TurbDensFlag == 2) {
    for (int c = first; c <= last; ++c) {
      const int below = Ccellb[c], above = Ccellt[c];
      if (below > 0 || above > 0)
        Cgamma[c] *= coeff_turbdens(below > 0 ? below : c, above > 0 ? above : c);
    }
    const double floor = MinGamma + ArtEddyVisc;
    for (int c = first; c <= last; ++c) Cgamma[c] = std::max(Cgamma[c], floor);
  } else if (TurbDensFlag == 5 && CdampDensity) {
    for (int c = first; c <= last; ++c) Cgamma[c] *= CdampDensity[c];
  }
}

// Mud-layer blocks take their own viscosity, whatever the range. A chunk writes only its own
// cells, so no two threads write one cell.
void mudLayer(int first, int last, Share share) {
  int b = 0;
  if (FlagThixoIsComputing == 1 && NoBlocks >= 1 && NoBlocks < static_cast<int>(block.size()) &&
      block[NoBlocks].thixo > 0)
    b = NoBlocks;
  else if (FlagThixo == 1 && NoBlocks >= 1)
    b = 1;
  if (b == 0) return;
  int from = std::max(block[b].cellstart, 1), to = std::min(block[b].cellend, NoCells);
  if (share == Share::Chunk) {
    from = std::max(from, first);
    to = std::min(to, last);
  }
  const double g = std::fabs(ThixoEddyvisc);
  for (int c = from; c <= to; ++c) Cgamma[c] = g;
}

// Near-bed forms of the vertical eddy viscosity (models 8 to 13), chosen per column at its
// bottom cell c0.
void nearBedVertical(int first, int last) {
  const int m = TurbulenceModel;
  forEachColumnIn(first, last, [&](int c0) {
    const double ustar = std::sqrt(std::max(0.3 * Ckinen[c0], 0.0));
    double D = 0, speed = 0;
    int n = 0, top = c0;
    upColumn(c0, [&](int c) {
      D += Ckdist[c];
      speed += std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
      ++n;
      top = c;
    });
    const double Re = 2 * D * (speed / n) / 1e-6;
    const double G = 0.11 * ustar * 2 * D * 1000;

    // 0 copy, 1 wall damping of model 8, 2 low-Reynolds damping of model 9, 3 sqrt(Cgamma G),
    // 4 the column value G.
    int form = 0;
    if (m == 8 || m == 9) {
      if (Re < 3000) form = m == 8 ? 1 : 2;
    } else if (m == 10 || m == 11) {
      const double r = D / (std::sqrt(Farea[Cflateb[c0]]) + 1e-15);
      if (m == 11 && r < 0.05 && ustar > 1e-10)
        form = 4;
      else if (r < 0.1 && ustar > 1e-10)
        form = 3;
    } else {
      const bool enclosed = Ccelle[top] > 0 && Ccellw[top] > 0 && Ccelln[top] > 0 &&
                            Ccells[top] > 0;
      if (m == 12 || !enclosed) {
        const double area = Barea ? Barea[Cbed[c0]] : 0.0;
        if (D / std::sqrt(area + 1e-15) < 0.1 && ustar > 1e-10)
          form = 4;
        else if (D / (std::sqrt(area) + 1e-15) < 0.2 && ustar > 1e-10)
          form = 3;
      }
    }

    double z = 0, prevHalf = 0;
    upColumn(c0, [&](int c) {
      z = c == c0 ? Ckdist[c0] : z + prevHalf + Ckdist[c];
      prevHalf = Ckdist[c];
      if (c < first || c > last) return;
      const double yplus = ustar * z / 1e-6;
      switch (form) {
        case 1:
          CgammaV[c] =
              std::max(0.0, 1 - std::exp(-0.0002 * yplus - 0.00065 * yplus * yplus)) *
                  Cgamma[c] +
              0.001;
          break;
        case 2: {
          // A cell without k has no turbulent Reynolds number; its viscosity is left undamped
          // rather than made infinite.
          const double k = Ckinen[c];
          const double RT = k * k / (1e-6 * (Cepsilon[c] + 1e-20));
          const double low = RT > 0 ? 1 + 4.1 * std::pow(RT, -0.75) : 1.0;
          const double wall = 1 - std::exp(-0.03846 * yplus);
          CgammaV[c] = low * wall * wall * Cgamma[c] + 0.001;
          break;
        }
        case 3:
          CgammaV[c] = std::sqrt(std::max(Cgamma[c] * G, 0.0)) + 0.001;
          break;
        case 4:
          CgammaV[c] = G + 0.001;
          break;
        default:
          CgammaV[c] = Cgamma[c];
          break;
      }
    });
  });
}

// Corner columns (no east or west and no north or south neighbour at the bottom) get a
// multiplied horizontal viscosity (F 440).
void cornerColumns(int first, int last) {
  forEachColumnIn(first, last, [&](int c0) {
    const bool corner = (Ccelle[c0] == 0 || Ccellw[c0] == 0) &&
                        (Ccelln[c0] == 0 || Ccells[c0] == 0);
    if (!corner) return;
    upColumn(c0, [&](int c) {
      if (c >= first && c <= last) Cgamma[c] *= VertDiffTrekant;
    });
  });
}

// Bed forms raise the vertical viscosity of the momentum equations (F 290).
void bedFormVertical(int first, int last) {
  forEachColumnIn(first, last, [&](int c0) {
    const int b = Cbed[c0];
    const double f = std::max(1.0, GammaVertCoeff1 * Bedformheight[b] / (Bdepth[b] + 1e-20));
    upColumn(c0, [&](int c) {
      if (c >= first && c <= last) CgammaV[c] *= f;
    });
  });
}

}  // namespace

void velocityGradients(int c, double g[3][3]) {
  // Weight of the neighbour in the face value between c and neighbour nb, from the half sizes
  // d of the two cells; a missing neighbour gives the cell's own value.
  auto weight = [c](int nb, const Table1<double>& d) {
    return nb <= 0 ? 0.0 : d[c] / (d[nb] + d[c]);
  };
  const int ne = Ccelle[c], nw = Ccellw[c], nn = Ccelln[c], ns = Ccells[c], nt = Ccellt[c],
            nb = Ccellb[c];
  const double we = weight(ne, Cidist), ww = weight(nw, Cidist), wn = weight(nn, Cjdist),
               ws = weight(ns, Cjdist), wt = weight(nt, Ckdist), wb = weight(nb, Ckdist);
  const int e = Cflatee[c], w = Cflatew[c], s = Cflates[c], n = Cflaten[c], t = Cflatet[c],
            b = Cflateb[c];
  const double AIx = 0.5 * (Fax[e] + Fax[w]), AIy = 0.5 * (Fay[e] + Fay[w]);
  const double AJx = 0.5 * (Fax[s] + Fax[n]), AJy = 0.5 * (Fay[s] + Fay[n]);
  const double AKx = 0.5 * (Fax[t] + Fax[b]), AKy = 0.5 * (Fay[t] + Fay[b]),
               AKz = 0.5 * (Faz[t] + Faz[b]);
  const double invV = 1.0 / Cvol[c];
  const Table1<double>* q[3] = {&Cxvel, &Cyvel, &Czvel};
  for (int i = 0; i < 3; ++i) {
    const Table1<double>& v = *q[i];
    const double vc = v[c];
    // The face value w v[nb] + (1 - w) v[c] less v[c]; the two v[c] cancel in the differences.
    auto rise = [&](int nbr, double wt_) { return nbr <= 0 ? 0.0 : wt_ * (v[nbr] - vc); };
    const double dI = rise(ne, we) - rise(nw, ww);
    const double dJ = rise(nn, wn) - rise(ns, ws);
    const double dK = rise(nt, wt) - rise(nb, wb);
    g[i][0] = (dI * AIx + dJ * AJx + dK * AKx) * invV;
    g[i][1] = (dI * AIy + dJ * AJy + dK * AKy) * invV;
    g[i][2] = dK * AKz * invV;
  }
}

void GammaCalcRealizable(int first, int last) {
  for (int c = first; c <= last; ++c) {
    double g[3][3];
    velocityGradients(c, g);
    double S[3][3];
    double S2 = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        S[i][j] = 0.5 * (g[i][j] + g[j][i]);
        S2 += S[i][j] * S[i][j];
      }
    double R = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = i + 1; j < 3; ++j) R += (g[i][j] - g[j][i]) * (g[i][j] - g[j][i]);
    R *= 0.25;
    const double Ustar = std::sqrt(S2 + R);
    const double St = std::sqrt(S2);
    double a = -1;
    if (St > 0) {
      // The strain is scaled by its norm first: the cube of a very small or very large norm
      // leaves the range of a double, and the ratio would be 0/0.
      double n[3][3];
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) n[i][j] = S[i][j] / St;
      double W = 0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          for (int k = 0; k < 3; ++k) W += n[i][j] * n[j][k] * n[k][i];
      a = std::clamp(2.54 * W, -1.0, 1.0);
    }
    const double As = 2.54 * std::cos(0.333333 * std::acos(a));
    // Epsilon 0 is guarded as in the other k-epsilon forms.
    const double k = Ckinen[c], eps = Cepsilon[c] + 1e-20;
    const double cmu = 1 / (4.04 + As * k * Ustar / eps);
    const double coefficient = cmu >= 0.09 ? 90.0 : 1000 * cmu;
    Cgamma[c] = coefficient * k * k / eps;
  }
}

void GammaCalc(int first, int last, Share share) {
  first = std::max(first, 1);
  if (last < first) return;
  const int m = TurbulenceModel;
  const bool nearBed = m >= 8 && m <= 13;

  selectModel(first, last, share);

  // A Prandtl number of 1.3 for the diffusion of epsilon.
  if (Equation == 6 && (m == 0 || m == 2 || nearBed))
    for (int c = first; c <= last; ++c) Cgamma[c] *= 0.7692;

  densityDamping(first, last);
  mudLayer(first, last, share);

  if (nearBed)
    nearBedVertical(first, last);
  else if (FlagTurbDLL == 0)
    for (int c = first; c <= last; ++c) CgammaV[c] = Cgamma[c];

  if (ArtDiff > 0.001)
    for (int c = first; c <= last; ++c) {
      Cgamma[c] += ArtDiff;
      CgammaV[c] += ArtDiff;
    }
  if (TurbMultVert > 1.01 || TurbMultVert < 0.99)
    for (int c = first; c <= last; ++c) CgammaV[c] *= TurbMultVert;
  if (TurbMultHor > 1.01 || TurbMultHor < 0.99)
    for (int c = first; c <= last; ++c) Cgamma[c] *= TurbMultHor;
  if (VertDiffTrekant > 1e-20) cornerColumns(first, last);
  if (GammaVertCoeff1 > 1e-10 && Bdepth && Bedformheight && Equation <= 3)
    bedFormVertical(first, last);

  GammaCalcAdditions(first, last, share);
}

void computeEpsilon() {
  const int m = TurbulenceModel;
  if (!(m == 18 || (m == 19 && BTheight) || (m == 20 && Bdepth)))
    failf(-8, "Error in combination of F 24 and F 328 in control file\n\n");
  for (int c = std::max(WCStart, 1); c <= WCEnd; ++c) {
    const double k = Ckinen[c];
    if (m == 18) {
      Cepsilon[c] = coeffEpsilon * k * k / (Cgamma[c] + 1e-20);
    } else {
      // A slightly negative k left by the solver gives no epsilon rather than NaN.
      const double L = m == 19 ? BTheight[Cbed[c]] : Bdepth[Cbed[c]];
      Cepsilon[c] = coeffEpsilon * std::pow(std::max(k, 0.0), 1.5) / (L + 1e-20);
    }
  }
}

}  // namespace qorva
