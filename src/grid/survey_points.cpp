// Bed levels from survey points: the reader of geodata, geodatk, geodatm, geodatn and the
// porlent raster, and the quadrant interpolation of the bed level of every grid point (task V).
// Reads the survey files, xval, yval, armap, the block table, F 47, F 129, F 225, F 308 and the
// debug letter; writes NoGeo, xg, yg, zg, ig, digitscale, FlagDigitScale, zval[i][j][1] and,
// for a raster that defines the grid, xval, yval and block 1. Logs to boogie.bed.
#include <omp.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f200_249.h"
#include "state/options_g.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/survey.h"

namespace qorva {

namespace {

constexpr char kBedLog[] = "boogie.bed";
// Spare entries of the point arrays beyond the points read.
constexpr int kSpare = 5002;
// A level below this means "no value".
constexpr double kNoValue = -1e9;

// Appends printf text to boogie.bed. Without that log no survey step can report, so a log
// that cannot be opened ends the run.
void bedLog(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void bedLog(const char* fmt, ...) {
  File f(kBedLog, "a");
  if (!f) {
    mc_message = "cannot open file 'boogie.bed' ";
    failf(-3, "Error: cannot open file 'boogie.bed'\n");
  }
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(f.get(), fmt, ap);
  va_end(ap);
  f.closeOrEnd(kBedLog, -3);
}

struct Point {
  double x, y, z;
};

// The whole text of a file; false when it cannot be read.
bool slurp(const std::string& name, std::string& text) {
  File f(name.c_str(), "rb");
  if (!f) return false;
  text.clear();
  char buf[1 << 16];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) text.append(buf, n);
  return std::ferror(f.get()) == 0;
}

// Line numbers of positions met in increasing order, counted as the text is passed.
class Lines {
 public:
  explicit Lines(const std::string& text) : text_(text) {}
  int at(std::size_t p) {
    line_ += static_cast<int>(std::count(text_.begin() + static_cast<long>(pos_),
                                         text_.begin() + static_cast<long>(p), '\n'));
    pos_ = p;
    return line_;
  }

 private:
  const std::string& text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// Up to `want` numbers read as with " %lf" from position p on; returns how many were read and
// leaves p after the last one.
int readNumbers(const std::string& text, std::size_t& p, double* v, int want) {
  int got = 0;
  const char* base = text.c_str();
  while (got < want) {
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(base + p, &end);
    if (end == base + p) break;
    v[got++] = d;
    p = static_cast<std::size_t>(end - base);
  }
  return got;
}

bool finite(const double* v, int n) {
  for (int k = 0; k < n; ++k)
    if (!std::isfinite(v[k])) return false;
  return true;
}

// geodata: E records of three numbers, S records of a window of four, Z or the end of the
// text ends the data; every other character is passed over. An E record without three finite
// numbers is skipped with a warning, and the reading goes on after what it held.
std::vector<Point> parseGeodata(const std::string& name, const std::string& text, char& last) {
  std::vector<Point> pts;
  Lines lines(text);
  last = ' ';
  for (std::size_t p = 0; p < text.size();) {
    const char ch = text[p++];
    last = ch;
    if (ch == 'Z') break;
    if (ch == 'E') {
      const std::size_t at = p - 1;
      double v[3];
      const int got = readNumbers(text, p, v, 3);
      if (got < 3 || !finite(v, 3)) {
        logf("Warning: %s line %d: an E record without three finite numbers is skipped\n",
             name.c_str(), lines.at(at));
        continue;
      }
      const double m = ScaleGeodataMult, a = ScaleGeodataAdd;
      pts.push_back({v[0] * m + a, v[1] * m + a, v[2] * m + a});
    } else if (ch == 'S') {
      double v[4];
      if (readNumbers(text, p, v, 4) == 4 && finite(v, 4)) {
        for (int k = 0; k < 4; ++k) digitscale[k] = v[k];
        FlagDigitScale = 1;
        if (v[0] > v[2] || v[1] > v[3]) FlagDigitScale = 0;
      }
    }
  }
  return pts;
}

// geodatk, geodatm, geodatn: one point a line. A line that does not give its values is
// skipped with a warning; blank lines are passed over.
std::vector<Point> parseLines(const std::string& name, const std::string& text, int form) {
  std::vector<Point> pts;
  std::size_t p = 0;
  for (int line = 1; p < text.size(); ++line) {
    std::size_t e = text.find('\n', p);
    if (e == std::string::npos) e = text.size();
    const std::string s = text.substr(p, e - p);
    p = e + 1;
    if (s.find_first_not_of(" \t\r") == std::string::npos) continue;
    double v[3] = {0, 0, 0};
    long number = 0;
    int got = 0, want = 3;
    if (form == 'k') {
      got = std::sscanf(s.c_str(), "%ld,%lf,%lf,%lf", &number, &v[0], &v[1], &v[2]);
      want = 4;
    } else if (form == 'm') {
      got = std::sscanf(s.c_str(), "%lf,%lf,%lf", &v[0], &v[1], &v[2]);
    } else {
      got = std::sscanf(s.c_str(), "%lf %lf %lf", &v[0], &v[1], &v[2]);
    }
    if (got != want || !finite(v, 3)) {
      logf("Warning: %s line %d does not hold a point, it is skipped\n", name.c_str(), line);
      continue;
    }
    pts.push_back({v[0], v[1], v[2]});
  }
  return pts;
}

// porlent: NI NJ, the NJ y values of the grid lines, then NI lines of an x value and NJ levels.
// When no block exists yet the raster is the grid as well; it must then fit the G 1 sizes as a
// koosurf would. The y values go to the grid line i = 1 only then: with blocks present that
// line belongs to the grid already.
std::vector<Point> parsePorlent(const std::string& text) {
  std::size_t p = 0;
  const char* base = text.c_str();
  auto readInt = [&](int& v) {
    char* end = nullptr;
    const long n = std::strtol(base + p, &end, 10);
    if (end == base + p) return false;
    p = static_cast<std::size_t>(end - base);
    v = static_cast<int>(std::clamp<long>(n, -1, 1L << 30));
    return true;
  };
  auto readReal = [&](double& v) { return readNumbers(text, p, &v, 1) == 1 && std::isfinite(v); };

  int ni = 0, nj = 0;
  if (!readInt(ni) || !readInt(nj) || ni < 1 || nj < 1)
    failf(-1, "Error reading file, two integers are required initially\n\n");
  if (static_cast<long long>(ni) * nj > 500000000LL)
    failf(-1, "Error reading file porlent: %d x %d points are more than can be read\n", ni, nj);
  const bool definesGrid = NoBlocks == 0;
  if (definesGrid && (ni >= xnumber - 1 || nj >= ynumber - 1 || !xval || !yval || !zval))
    failf(-1,
          "Error reading file porlent: a raster of %d x %d points does not fit the G 1 grid; "
          "the first two integers on G 1 should be at least %d %d\n",
          ni, nj, ni + 2, nj + 2);

  std::vector<double> ys(static_cast<std::size_t>(nj));
  for (int j = 0; j < nj; ++j)
    if (!readReal(ys[j])) failf(-1, "Error reading file, first line, j=%d\n\n", j + 1);
  if (definesGrid)
    for (int j = 0; j < nj; ++j) yval[1][j + 1] = ys[j];

  std::vector<Point> pts;
  pts.reserve(static_cast<std::size_t>(ni) * nj);
  for (int i = 0; i < ni; ++i) {
    double x = 0;
    if (!readReal(x)) failf(-1, "Error reading file, first number line, j=%d\n\n", i + 1);
    for (int j = 0; j < nj; ++j) {
      double z = 0;
      if (!readReal(z)) failf(-1, "Error reading file, line %d, number, %d\n\n", i + 1, j + 1);
      pts.push_back({x, ys[j], z});
      if (definesGrid) {
        xval[i + 1][j + 1] = x;
        yval[i + 1][j + 1] = ys[j];
        zval[i + 1][j + 1][1] = z;
      }
    }
  }
  if (definesGrid) {
    GridBlock& b = block[1];
    b.i1 = 2;
    b.i2 = ni;
    b.j1 = 2;
    b.j2 = nj;
    b.bedfollow = 1;
    b.boxcells = znumber;
    NoBlocks = 1;
  }
  return pts;
}

}  // namespace

double readGeodata() {
  {
    File created(kBedLog, "w");
    if (!created || !created.close()) {
      tBedInter = 0;
      return -1.0;
    }
  }
  // The first survey file that exists; a block-division run reads its own part of geodata.
  const std::string geodata = FlagMPI != 0 ? strf("geodata.mpi%d", FlagMPI) : "geodata";
  const std::string names[] = {geodata, "geodatk", "geodatm", "geodatn", "porlent"};
  const char forms[] = {'g', 'k', 'm', 'n', 'p'};
  int which = -1;
  for (int k = 0; k < 5 && which < 0; ++k)
    if (fileExists(names[k]) && (FlagMPI == 0 || k == 0)) which = k;
  if (which < 0) {
    bedLog(FlagMPI != 0 ? "Could not open file geodata\n"
                        : "Could not open file geodata/geodatk/geodatm\n");
    return -2.0;
  }
  const std::string& name = names[which];
  std::string text;
  if (!slurp(name, text)) {
    bedLog("Could not open file %s\n", name.c_str());
    mc_message = strf("could not open file %s ", name.c_str());
    return -2.0;
  }

  char last = ' ';
  std::vector<Point> pts;
  switch (forms[which]) {
    case 'g': pts = parseGeodata(name, text, last); break;
    case 'p': pts = parsePorlent(text); break;
    default: pts = parseLines(name, text, forms[which]); break;
  }
  NoGeo = static_cast<int>(pts.size());
  bedLog("Number of points in geodata file: %d\n", NoGeo);
  if (NoGeo == 0) {
    bedLog("\nProbable error in geodata file. Last read charachter: %c\n", last);
    bedLog("Last read %d number of floating points.\n", 0);
  }
  const long long room = static_cast<long long>(NoGeo) + kSpare;
  if (!xg.allocate(room) || !yg.allocate(room) || !zg.allocate(room) || !ig.allocate(room)) {
    resetSurveyPoints();
    NoGeo = 0;
    bedLog("Error: no memory for %lld survey points\n", room);
    logf("Error: no memory for %lld survey points\n", room);
    return -1.0;
  }
  for (int n = 0; n < NoGeo; ++n) {
    xg[n] = pts[n].x;
    yg[n] = pts[n].y;
    zg[n] = pts[n].z;
    ig[n] = 0;
    if (std::fabs(xg[n]) > 1e12) bedLog("xg = %le\n", xg[n]);
  }
  bedLog("Number of points read from geodata file: %ld\n", static_cast<long>(NoGeo));
  return 0.0;
}

namespace {

// What the interpolation found for one grid point.
struct Quadrants {
  int n[5] = {0, -1, -1, -1, -1};  // nearest point of quadrant 1..4, -1 none
  double d[5] = {0, 1e10, 1e10, 1e10, 1e10};
  bool has(int q) const { return n[q] >= 0; }
};

// Nearest point of each quadrant around (x0, y0). Deleted points take no part.
Quadrants search(double x0, double y0) {
  Quadrants q;
  const bool window = InterALimit <= 10000;
  const double lim = InterALimit;
  const double* x = xg.data();
  const double* y = yg.data();
  const int* del = ig.data();
  for (int k = 0; k < NoGeo; ++k) {
    if (del[k] == 1) continue;
    const double dx = x[k] - x0, dy = y[k] - y0;
    if (window && !(std::fabs(dx) < lim && std::fabs(dy) < lim)) continue;
    int s;
    if (y[k] >= y0)
      s = x[k] >= x0 ? 1 : 2;
    else if (x[k] < x0)
      s = 3;
    else if (window && x[k] == x0)
      continue;  // on the line below the grid point: no quadrant takes it in a window
    else
      s = 4;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < q.d[s]) {
      q.d[s] = d;
      q.n[s] = k;
    }
  }
  return q;
}

// The level of grid point (i, j) at (x0, y0), with its lines for boogie.bed appended to `out`.
// Returns false when the level stays as it was.
bool levelAt(int i, int j, double x0, double y0, double& level, std::string& out) {
  const Quadrants q = search(x0, y0);
  const bool debug = debugging == 'D';
  double z[5] = {0, 0, 0, 0, 0}, w[5] = {0, 0, 0, 0, 0};
  for (int s = 1; s <= 4; ++s)
    if (q.has(s)) z[s] = zg[q.n[s]];

  bool exact = false;
  if (debug) {
    for (int s = 4; s >= 1 && !exact; --s)
      if (q.has(s) && q.d[s] < InterLimit) {
        level = z[s];
        exact = true;
      }
    if (exact)
      out += strf("Using exact value for %d %d: %lf\n", i, j, level);
    else
      out += strf("Interpolation point (%6d,%6d) from %6d %6d %6d %6d\n", i, j, q.n[1], q.n[2],
                  q.n[3], q.n[4]);
  }

  if (FlagBedInterpol == 2) {
    double m = 1e6;
    for (int s = 1; s <= 4; ++s)
      if (q.has(s)) m = std::min(m, q.d[s]);
    const double L = std::sqrt(armap[std::max(i, 2)][std::max(j, 2)]);
    if (m > 2 * L) {
      level = -1e10;
      return true;
    }
  }
  if (exact) return true;

  const double* d = q.d;
  const bool pair13 = q.has(1) && q.has(3), pair24 = q.has(2) && q.has(4);
  if (pair13 && pair24) {
    if (FlagBedInterpol != 1) {
      double sum = 0;
      for (int s = 1; s <= 4; ++s) sum += 1.0 / (d[s] + 1e-20);
      level = 0;
      for (int s = 1; s <= 4; ++s) {
        w[s] = (1.0 / (d[s] + 1e-20)) / sum;
        level += w[s] * z[s];
      }
    } else {
      const double all = d[1] + d[2] + d[3] + d[4];
      const double z24 = (d[4] * z[2] + d[2] * z[4]) / (d[2] + d[4]);
      const double z13 = (d[3] * z[1] + d[1] * z[3]) / (d[1] + d[3]);
      level = z24 * (d[1] + d[3]) / all + z13 * (d[2] + d[4]) / all;
    }
  } else if (pair13) {
    level = (d[3] * z[1] + d[1] * z[3]) / (d[1] + d[3]);
  } else if (pair24) {
    level = (d[4] * z[2] + d[2] * z[4]) / (d[2] + d[4]);
  } else {
    int count = 0;
    double sum = 0;
    for (int s = 1; s <= 4; ++s)
      if (q.has(s)) {
        sum += z[s];
        ++count;
      }
    if (count > 0) {
      level = sum / count;
      out += strf("\nWarning, using approximate value for i,j=%d %d\n", i, j);
    } else {
      out += strf("\nWarning, have not interpolated i,j=%d %d\n", i, j);
    }
    out += strf("Warning, scewed value for i,j=%d %d\n", i, j);
    if (count == 0) return false;
  }
  if (debug) {
    out += strf("Details point (%d,%d) z-value: %lf ", i, j, level);
    out += strf("d: %lf %lf %lf %lf, w: %lf %lf %lf %lf, zg: %lf %lf %lf %lf\n", d[1], d[2], d[3],
                d[4], w[1], w[2], w[3], w[4], z[1], z[2], z[3], z[4]);
  }
  return true;
}

bool gridPoint(long long i, long long j) {
  return i >= 0 && j >= 0 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1) && static_cast<std::size_t>(i) < xval.dim(0) &&
         static_cast<std::size_t>(j) < xval.dim(1) && static_cast<std::size_t>(i) < armap.dim(0) &&
         static_cast<std::size_t>(j) < armap.dim(1);
}

// Every grid point of block b; the i lines are shared among the threads, and the lines of the
// log are written afterwards in the order of the grid points, whatever the thread count.
void interpolateBlock(const GridBlock& b) {
  const int ia = b.i1 - 1, ib = b.i2;
  if (ib < ia) return;
  std::vector<std::string> lines(static_cast<std::size_t>(ib - ia + 1));
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
  for (int i = ia; i <= ib; ++i) {
    std::string& out = lines[i - ia];
    for (int j = b.j1 - 1; j <= b.j2; ++j) {
      if (!gridPoint(i, j)) continue;
      double level = zval[i][j][1];
      if (levelAt(i, j, xval[i][j], yval[i][j], level, out)) zval[i][j][1] = level;
    }
  }
  File f(kBedLog, "a");
  if (!f) {
    mc_message = "cannot open file 'boogie.bed' ";
    failf(-3, "Error: cannot open file 'boogie.bed'\n");
  }
  for (const std::string& s : lines) std::fputs(s.c_str(), f.get());
  f.closeOrEnd(kBedLog, -3);
}

// Grid points of block 1 left without a value take it along their line j, linearly in the
// index between the nearest valued points before and after them.
void fillGaps() {
  const GridBlock& b = block[1];
  for (int i = b.i1 - 1; i <= b.i2; ++i)
    for (int j = b.j1 - 1; j <= b.j2; ++j) {
      if (!gridPoint(i, j) || zval[i][j][1] >= kNoValue) continue;
      int before = -1, after = -1;
      for (int k = i - 1; k >= b.i1 - 1 && before < 0; --k)
        if (gridPoint(k, j) && zval[k][j][1] >= kNoValue) before = k;
      for (int k = i + 1; k <= b.i2 && after < 0; ++k)
        if (gridPoint(k, j) && zval[k][j][1] >= kNoValue) after = k;
      if (before >= 0 && after >= 0) {
        const double wa = 1.0 / (after - i), wb = 1.0 / (i - before);
        const double t = wa / (wb + wa);
        zval[i][j][1] = t * zval[after][j][1] + (1 - t) * zval[before][j][1];
      } else if (before >= 0) {
        zval[i][j][1] = zval[before][j][1];
      } else if (after >= 0) {
        zval[i][j][1] = zval[after][j][1];
      } else {
        zval[i][j][1] = kNoValue;
      }
    }
}

}  // namespace

int bedinter() {
  if (NoGeo == 0) {
    const double r = readGeodata();
    if (r == -1.0 && !fileExists(kBedLog)) {
      mc_message = "cannot open file 'boogie.bed' ";
      failf(-3, "Error: cannot open file 'boogie.bed'\n");
    }
    // Interpolating without a single point would leave every bed level as it was and call
    // that a result.
    if (NoGeo == 0)
      failf(1,
            "Error: no survey points for the bed interpolation (task V): no point was read from "
            "geodata, geodatk, geodatm, geodatn or porlent\n");
  }
  if (!zval || !xval || !yval || !armap)
    failf(1, "Error: the grid arrays of the G 1 sizes do not exist for the bed interpolation\n");
  for (int n = 1; n <= NoBlocks && n < static_cast<int>(block.size()); ++n) {
    const GridBlock& b = block[n];
    if (b.bedfollow != 1 || b.flag2D != 0 || b.skip != 0) continue;
    mc_message = strf(" Interpolating block %d ", n);
    interpolateBlock(b);
  }
  if (FlagBedInterpol == 2 && NoBlocks >= 1) fillGaps();
  mc_message = "Finished bed interpolation";
  tBedInter = 0;
  return 0;
}

}  // namespace qorva
