// What the source steps of the water-quality components share: the walk over the term records
// of one code, the symbols of a cell (V, At, Ab), the vertical transfer, the weather at the
// present time. Private to sediment/.
#pragma once

#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_qm.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva::quality {

// The component being assembled (Equation 8 + k).
inline int component() { return Equation - 8; }

// Each term record of component k with this code, in record order.
template <class F>
void forTerms(int k, int code, F f) {
  const int n = NoTerms < static_cast<int>(QTerms.size()) ? NoTerms : static_cast<int>(QTerms.size());
  for (int r = 0; r < n; ++r)
    if (QTerms[r].component == k && QTerms[r].code == code) f(QTerms[r]);
}

// The mass of water in cell c (kg), the areas of its top and bottom surfaces (m2).
inline double waterMass(int c) { return 1000.0 * Cvol[c]; }
inline double topArea(int c) { return Farea[Cflatet[c]]; }
inline double bottomArea(int c) { return Farea[Cflateb[c]]; }

// Concentration of component m in cell c; the temperature is component 0.
inline double conc(int m, int c) { return Ccomp[m][c]; }

// Temperature factor q^(T - 20) when the temperature is computed, else 1.
double thetaFactor(double q, int c);

// Exponential growth (rate per day) over one solve of the inner iterations, as a source of
// the present value: (exp(g dt / (86400 N)) - 1) / dt per unit of mass and concentration.
double growthFactor(double ratePerDay);

// The mass flux F (concentration x kg/s, positive upward) of cell c carried to the cell above
// (F > 0) or the cell below (F < 0); out of the top cell nothing leaves, out of the bottom
// cell it leaves the water.
void verticalTransfer(int c, double F);

// Irradiance, air temperature and wind function at the present time from timei.
double irradianceNow();
double airTemperatureNow();
double windFunctionNow();

// The algae and light terms (codes of the light-limited growth, uptake, colonies, migration).
void CompSourceAlgae();

}  // namespace qorva::quality
