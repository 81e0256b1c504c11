// The cohesion of the bed layers at the start of a sediment run: InitValueCohesion (F 385) in
// every layer of every column of the used blocks (with F 385 4 only where the water is at most
// MinVertDist0 deep), then, with F 385 2, the records of the file `cohesion`: "i j c1 c0
// [c2 .. c(N-1)]", the cohesion of layers 1, 0, 2, ... of column (i, j). Reads the block table,
// zval, pointbed, F 94, F 134, F 385; writes Bcohesion.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/structured.h"

namespace qorva {

namespace {

// The numbers of a text file, each with the line it stands on.
struct Token {
  std::string text;
  long long line;
};

std::vector<Token> tokens(std::FILE* f) {
  std::vector<Token> out;
  std::string word;
  long long line = 1;
  for (int ch = std::fgetc(f);; ch = std::fgetc(f)) {
    if (ch == EOF || ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v') {
      if (!word.empty()) out.push_back({word, line});
      word.clear();
      if (ch == EOF) break;
      if (ch == '\n') ++line;
    } else {
      word += static_cast<char>(ch);
    }
  }
  return out;
}

bool asInt(const std::string& s, int& v) {
  errno = 0;
  char* end = nullptr;
  const long x = std::strtol(s.c_str(), &end, 10);
  if (end == s.c_str() || *end != '\0' || errno != 0 || x < -2147483647L || x > 2147483647L) return false;
  v = static_cast<int>(x);
  return true;
}

bool asDouble(const std::string& s, double& v) {
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end != s.c_str() && *end == '\0' && std::isfinite(v);
}

void setColumn(int b, int layers, double value) {
  for (int k = 0; k < layers; ++k) Bcohesion[k][b] = value;
}

double meanDepth(int i, int j) {
  double water = 0, bed = 0;
  for (int di = -1; di <= 0; ++di)
    for (int dj = -1; dj <= 0; ++dj) {
      water += zval[i + di][j + dj][znumber];
      bed += zval[i + di][j + dj][1];
    }
  return 0.25 * (water - bed);
}

// The records of `cohesion`; -20 when the file cannot be opened or its first record cannot be
// read. A later record that cannot be read, or that names no water column of the grid, ends
// the run with the file and line.
int readCohesionFile() {
  File file("cohesion", "r");
  if (!file) return -20;
  const std::vector<Token> t = tokens(file.get());
  const int N = NoBedLayers;
  const int perRecord = 4 + (N > 2 ? N - 2 : 0);
  const long long most = (xnumber + 2LL) * (ynumber + 2LL) + 1;
  std::size_t p = 0;
  for (long long r = 0; r < most && p < t.size(); ++r) {
    const long long line = t[p].line;
    int i = 0, j = 0;
    double v[60] = {};
    bool ok = p + perRecord <= t.size() && perRecord <= 60 && asInt(t[p].text, i) &&
              asInt(t[p + 1].text, j);
    for (int k = 2; ok && k < perRecord; ++k) ok = asDouble(t[p + k].text, v[k]);
    if (!ok) {
      if (r == 0) return -20;
      failf(1, "Error in the cohesion file, line %lld: a record needs i, j and %d finite cohesions\n",
            line, perRecord - 2);
    }
    if (i < 0 || j < 0 || i > xnumber + 1 || j > ynumber + 1 || pointbed[i][j] < 1)
      failf(1, "Error in the cohesion file, line %lld: column (%d,%d) has no bed cell in the grid\n",
            line, i, j);
    const int b = pointbed[i][j];
    Bcohesion[1][b] = v[2];
    Bcohesion[0][b] = v[3];
    for (int k = 2; k < N; ++k) Bcohesion[k][b] = v[k + 2];
    p += perRecord;
  }
  return 0;
}

}  // namespace

int setInitialCohesive() {
  if (FlagCohesion == 0 || !Bcohesion) return 0;
  for (int k = 1; k <= NoBlocks; ++k) {
    const GridBlock& blk = block[k];
    if (blk.flag2D != 0 || blk.skip != 0) continue;
    for (int i = blk.i1; i <= blk.i2; ++i)
      for (int j = blk.j1; j <= blk.j2; ++j) {
        const int b = pointbed[i][j];
        if (b < 1) continue;
        double value = InitValueCohesion;
        if (FlagCohesion == 4 && !(meanDepth(i, j) <= MinVertDist0)) value = 0;
        setColumn(b, NoBedLayers, value);
      }
  }
  if (FlagCohesion == 2) return readCohesionFile();
  return 1;
}

}  // namespace qorva
