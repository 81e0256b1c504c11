// The equilibrium concentration of one grain size in a bed that mixes sand with silt and
// clay: a cohesive erosion law above 8 % clay, van Rijn's reference concentration with
// Egiazaroff's hiding below 5 %, a linear blend between. Reads gsize, lnumber, F 6 and F 60;
// appends a warning line to the file `test` for a negative result.
#include <algorithm>
#include <cmath>

#include "sediment/sediment.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/safe_file.h"

namespace qorva {

namespace {

// log10(19)
constexpr double kLog19 = 1.2787536009528289;

// Egiazaroff's hiding factor of a grain d in a bed of median d50. Below d = d50 / 19 the law
// divides by zero and then turns back, so the ratio is held at 0.1: finer grains keep the
// factor of a grain a tenth of d50.
double egiazaroff(double d, double d50) {
  const double ratio = std::max(d / d50, 0.1);
  const double g = kLog19 / std::log10(19 * ratio);
  return g * g;
}

}  // namespace

double computeConcentrationMelvox(const MixtureInput& in) {
  double p = -1e-7;
  for (int l = 1; l <= lnumber && l < static_cast<int>(gsize.size()); ++l)
    if (gsize[l] <= 2e-6) p += in.fractions[l];

  const double a = TSCbedrouse == 1 ? std::max(in.ks, 0.01 * in.h) : in.zc;

  // Mud: the critical shear grows with the bulk density of the bed.
  const double rb = 1 - in.sf + 2.65 * in.sf;
  const double Fb = std::min(rb / 1.8, 1.0);
  const double tm = (std::pow(Fb, 10) * 0.029 / in.d50 + 51796.8 * in.d50) / 77.5;
  const double ws = std::max(in.ws, 1e-20);
  const double cm = in.tau < tm ? 0.0 : (in.tau / tm - 1) * 4e-6 / ws / 2650;

  // Sand, hidden by the mixture.
  double cs = 0;
  if (in.tau > 0) {
    const double E = egiazaroff(in.d, in.d50);
    const double A = (in.d / in.d50) * in.tc;
    const double tr = in.tau / ((in.tau - E * A) / A + 1);
    if (!(in.tau - tr < 1e-6 || tr < 0)) {
      const double T = (in.tau - tr) / tr;
      cs = ConcFormCoeff * std::max(in.d, 0.001) * std::pow(T, ConcFormTstar) /
           (std::pow(in.Df * in.d, ConcFormDstar) * a);
    }
  }

  double c = cs;
  int mode = 3;
  if (p > 0.08) {
    c = cm;
    mode = 1;
  } else if (p > 0.05) {
    const double w = p / 0.03 - 1.6666666666666667;
    c = w * cm + (1 - w) * cs;
    mode = 2;
  }
  if (c < 0) {
    File f("test", "a");
    if (f) std::fprintf(f.get(), "Achtung: konsform < 0: %.6f size %.6f Fall %i \n ", c, in.d, mode);
    return 0.0;
  }
  return c;
}

}  // namespace qorva
