// Vegetation, porous structures and blocked cells (F 115): the profiles of the file `vegdata`
// per water column, read once, the porosity parameter of every cell from them (in time or by
// the scour depth of F 514), and its drag or blocking in the momentum, k and epsilon equations.
// Reads vegdata, zval, Cbed, Czcenter, Ckdist, Cvol, Farea, the velocities, Ckinen, stimet,
// Surfaces; writes Bveg, VegTime, Cporosity, FlagInitPoros, Cap, Csource.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// What the file held: 1 V records, 2 A or C records (the drag then carries the bottom area of
// the cell), 3 both, 4 N records (blocked cells).
enum FileType { kNone = 0, kLevels = 1, kAreas = 2, kBoth = 3, kBlocked = 4 };

struct VegetationState {
  int fileType = kNone;
  double scour = 0;  // the scour depth of F 514 that the profiles follow (m)
};
VegetationState veg;

// The parameter of a profile (levels L rising, values p) at height z: the lowest value below
// the profile, linear between its levels, 0 above it.
double profileValue(int b, int t, double z) {
  const int n = VegLevels;
  const auto L = Bveg[b][t][0];
  const auto p = Bveg[b][t][1];
  if (z < L[0]) return p[0];
  if (z > L[n - 1]) return 0.0;
  for (int k = 1; k < n; ++k)
    if (z <= L[k]) {
      const double w = std::max(0.0, (L[k] - z) / (L[k] - L[k - 1] + 1e-20));
      return w * p[k - 1] + (1 - w) * p[k];
    }
  return p[n - 1];
}

// ---- Reading vegdata ----

class VegdataReader {
 public:
  explicit VegdataReader(std::string text) : in_(std::move(text)) {}

  void read() {
    int c;
    while ((c = in_.get()) != -1) {
      last_ = static_cast<char>(c);
      switch (c) {
        case 'T': timeRow(); break;
        case 'U': sizes(); break;
        case 'V':
        case 'A': profile(c == 'A'); break;
        case 'C': allVariables(); break;
        case 'N': blocked(); break;
        default: break;  // spaces, line ends and comments
      }
    }
    FlagInitPoros = 1;
    if (!sizesSeen_ && (VegVars != 1 || VegLevels != 4 || VegTimes != 1))
      failf(-6, "Error in vegdata file, U data set is missing\n");
    if (VegTimes > 1 && times_ < VegTimes)
      failf(-8,
            "Error in vegdata file: %d time steps given, while the\n"
            "F 201 data set in the control file specifies %d data sets\n",
            times_, VegTimes);
    if (debugging == 'D') {
      logf("Have read %d data sets from vegdata file\n", records_);
      logf("Last parameters: %c %d %d\n", last_, i_, j_);
    }
  }

 private:
  int row() const { return std::max(times_ - 1, 0); }

  void timeRow() {
    double t = 0;
    in_.readDouble(t);
    if (times_ >= VegTimes)
      failf(-4,
            "Error in Vegdata file: number of time steps is larger than what is given on the "
            "F 201 data set\n");
    VegTime[times_++] = t;
  }

  void sizes() {
    int v = 0, l = 0, t = 0;
    if (!in_.readInt(v) || !in_.readInt(l) || !in_.readInt(t) || v != VegVars ||
        l != VegLevels || t != VegTimes)
      failf(-5,
            "Error in Vegdata file: U data set does not correspond with F 201 data set in "
            "control file\n");
    sizesSeen_ = true;
  }

  // The column i, j of a record; a column off the plane is refused, where the profile would be
  // stored out of the tables.
  void column(char letter) {
    if (!in_.readInt(i_) || !in_.readInt(j_) || i_ < 0 || i_ > xnumber + 1 || j_ < 0 ||
        j_ > ynumber + 1)
      failf(-4, "Error in Vegdata file: the %c record at %s names no column of the grid\n",
            letter, in_.where().c_str());
    ++records_;
  }

  // Bed cell of the column i_, j_; 0 when it has no cells.
  int bedCell() const {
    const int c = columnBottom(i_, j_);
    return c > 0 && Cbed[c] > 0 && Cbed[c] < static_cast<long long>(Bveg.dim(0)) ? Cbed[c] : 0;
  }

  void profile(bool areas) {
    column(areas ? 'A' : 'V');
    fileType(areas ? kAreas : kLevels);
    const int n = VegLevels, t = row();
    std::vector<double> L(n), p(n);
    for (int k = 0; k < n; ++k)
      if (!in_.readDouble(L[k])) {
        logf("Error for cell (%d,%d) at time %d\n", i_, j_, t + 1);
        logf("Have not read sufficient number of levels\n");
        break;
      }
    for (int k = 0; k < n; ++k)
      if (!in_.readDouble(p[k]))
        failf(-8, "Error for cell (%d,%d) at time %d\nHave not read sufficient number of vegparam values\n",
              i_, j_, t + 1);
    for (int k = 1; k < n; ++k)
      if (!(L[k] > L[k - 1] + 1e-10))
        failf(-8,
              "Error for cell (%d,%d) at time %d\nLevels must be given in rising order\n"
              "Lev[%d] = %lf, Lev[%d] = %lf\n",
              i_, j_, t + 1, k - 1, L[k - 1], k, L[k]);
    in_.skipSpace();
    if (const int b = bedCell())
      for (int k = 0; k < n; ++k) {
        Bveg[b][t][0][k] = L[k];
        Bveg[b][t][1][k] = p[k];
      }
  }

  // C records: variables 0..VegVars, VegLevels values each; N records: levels and values, and
  // the blocked-cell mode. Both scaled by F 514's multiplier, levels included.
  void values(char letter, int variables) {
    column(letter);
    const int b = bedCell(), t = row();
    for (int v = 0; v < variables; ++v)
      for (int l = 0; l < VegLevels; ++l) {
        double x = 0;
        if (!in_.readDouble(x))
          failf(-7, "Error in Vegdata file, line i=%d, j=%d, timestep=%d, var=%d, level=%d\n", i_,
                j_, t, v, l);
        if (b) Bveg[b][t][v][l] = x * porosMultiplier;
      }
  }
  void allVariables() {
    fileType(kAreas);
    values('C', VegVars + 1);
  }
  void blocked() {
    veg.fileType = kBlocked;
    values('N', 2);
  }

  void fileType(int type) {
    if (veg.fileType == kBlocked) return;
    if (veg.fileType != kNone && veg.fileType != type) type = kBoth;
    veg.fileType = type;
  }

  TextCursor in_;
  int times_ = 0, records_ = 0, i_ = 0, j_ = 0;
  bool sizesSeen_ = false;
  char last_ = ' ';
};

void readVegdata() {
  std::string text;
  if (!readWholeFile("vegdata", text)) failf(-4, "Could not read 'vegdata' file\n\n");
  veg = VegetationState{};
  for (int c = 0; c <= NoCells; ++c) Cporosity[c] = 0;
  VegdataReader(std::move(text)).read();
}

// ---- The porosity of every cell ----

// The scour depth of F 514: the deepest scour under the cells of the structure (porosity above
// 100), at least the last one, grown by one step at every call.
void sinkScour() {
  double lowest = 1e20, depth = 0;
  for (int i = 2; i <= xnumber + 1; ++i)
    for (int j = 2; j <= ynumber + 1; ++j) {
      const int c = columnBottom(i, j);
      if (c == 0 || Cporosity[c] <= 100 || Czcenter[c] >= lowest) continue;
      lowest = Czcenter[c];
      depth = Surfaces[0][i][j] - zval[i][j][1];
    }
  veg.scour = std::max(depth, veg.scour) + deltaSinkScour;
}

void porosity() {
  int t = 0;
  double w = 1;
  if (FlagSinkScour > 0) sinkScour();
  if (VegTimes >= 2) {
    const double s = FlagSinkScour > 0 ? veg.scour : stimet;
    // Before the first row the first row holds.
    t = 1, w = 0;
    for (int k = 1; k < VegTimes; ++k)
      if (VegTime[k - 1] <= s && s < VegTime[k]) {
        t = k;
        w = (s - VegTime[k - 1]) / (VegTime[k] - VegTime[k - 1] + 1e-20);
      }
    if (s >= VegTime[VegTimes - 1]) t = VegTimes - 1, w = 1;
  }
  for (int i = 2; i <= xnumber + 1; ++i)
    for (int j = 2; j <= ynumber + 1; ++j) {
      const int c0 = columnBottom(i, j);
      if (c0 == 0 || Cbed[c0] < 1) continue;
      const int b = Cbed[c0];
      upColumn(c0, [&](int c) {
        const double z = Czcenter[c];
        Cporosity[c] = VegTimes == 1 ? profileValue(b, 0, z)
                                     : w * profileValue(b, t, z) + (1 - w) * profileValue(b, t - 1, z);
        if (debugging == 'D' && (Cporosity[c] < -1e7 || Cporosity[c] > 1e6)) {
          logf("Error in setting porosity: value (%d) = %le \n", c, Cporosity[c]);
          logf("i=%d,j=%d,b=%d,nx=%d,ny=%d,iTime=%d\n", i, j, b, xnumber + 2, ynumber + 2, t);
          logf("midt = %le,\n", w);
        }
      });
    }
}

// ---- The terms ----

// The distributed momentum of F 513 (F 115 101): each column carries 1000 x F 513 in
// proportion to the porous volume of its cells.
void distributedMomentum() {
  forEachColumnIn(1, NoCells, [](int c0) {
    double porous = 0;
    upColumn(c0, [&porous](int c) { porous += Cvol[c] * Cporosity[c]; });
    if (porous == 0) return;
    upColumn(c0, [porous](int c) {
      Csource[c] += Cvol[c] * Cporosity[c] * 1000.0 * momentumAddInflow / porous;
    });
  });
}

// True for an open cell next to a blocked cell above or below it.
bool besideBlocked(int c) {
  if (Cporosity[c] >= 0.01) return false;
  const int b = cellBelow(c), t = cellAbove(c);
  return (b > 0 && Cporosity[b] > 0.01) || (t > 0 && Cporosity[t] > 0.01);
}

void velocityTerms() {
  const Table1<double>& u = Equation == 1 ? Cxvel : Equation == 2 ? Cyvel : Czvel;
  for (int c = 1; c <= NoCells; ++c) {
    const double P = Cporosity[c];
    if (veg.fileType == kBlocked) {
      Cap[c] += Cvol[c] * 1000.0 * P;
      continue;
    }
    const double area = veg.fileType == kAreas ? Farea[Cflateb[c]] : 1.0;
    const double dz = Ckdist[c];
    if (FlagDragDLL == 1)
      Cap[c] += dz * 1000.0 * std::fabs(u[c]) * P * area;
    else if (FlagDragDLL == 2)
      Csource[c] += dz * 1000.0 * u[c] * std::fabs(u[c]) * P * area;
  }
}

// Wall laws of k and epsilon in the open cells above and below a blocked cell.
void blockedWalls() {
  for (int c = 1; c <= NoCells; ++c) {
    if (!besideBlocked(c)) continue;
    const double dz = Ckdist[c], k = std::max(Ckinen[c], ArtMinKinen);
    if (Equation == 5) {
      const double uplus = std::max(2.5 * std::log(30 * dz / std::max(XksWall, 1e-6)), MinUPlusK);
      const double U2 = Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c] + Czvel[c] * Czvel[c];
      Cap[c] += std::sqrt(k) * 164.31676725154983 * uplus / dz * Cvol[c];
      Csource[c] += std::sqrt(300 * k) * 31.62 / uplus * U2 / dz * Cvol[c];
    } else {
      Cap[c] = 1e30;
      Csource[c] = std::pow(k, 1.5) * 1.643e29 / (0.4 * dz);
    }
  }
}

}  // namespace

void extra_source() {
  if (FlagInitPoros == 0) readVegdata();
  porosity();
  if (veg.fileType == kBlocked) Cporosity[0] = 0;  // a missing neighbour counts as open
  switch (Equation) {
    case 1:
    case 2:
    case 3:
      if (FlagDragDLL == 101) {
        if (Equation == 1 && std::fabs(momentumAddInflow) > 1e-20)
          distributedMomentum();
        else if (veg.fileType == kBlocked)
          velocityTerms();
        return;
      }
      if (FlagDragDLL == 2 && Equation == 3) return;
      velocityTerms();
      return;
    case 5:
    case 6:
      if (veg.fileType == kBlocked) blockedWalls();
      return;
    default: return;
  }
}

}  // namespace qorva
