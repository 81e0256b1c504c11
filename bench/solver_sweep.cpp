// Speed of the point Gauss-Seidel sweep: cell updates per second for a block of water
// columns of 1e5 and 1e6 cells, serial and with all threads (the chunked solve of F 206 and
// the column half-steps of F 164 31). A sweep is a forward and a backward pass, 2 x cells
// cell updates. Run through bench/run-solver-bench, which builds it as a release binary.
#include <omp.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "driver/control.h"
#include "solvers/solvers.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/status.h"

namespace {

using namespace qorva;

// nx x ny columns of nz cells, numbered upward within each column, with the coefficients of
// a diffusion problem (1 towards each neighbour) and a central coefficient a little above
// their sum.
void makeBlock(int nx, int ny, int nz) {
  auto cell = [&](int i, int j, int k) { return (i * ny + j) * nz + k + 1; };
  NoCells = nx * ny * nz;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k) {
        const int c = cell(i, j, k);
        Ccelle[c] = i + 1 < nx ? cell(i + 1, j, k) : 0;
        Ccellw[c] = i > 0 ? cell(i - 1, j, k) : 0;
        Ccelln[c] = j + 1 < ny ? cell(i, j + 1, k) : 0;
        Ccells[c] = j > 0 ? cell(i, j - 1, k) : 0;
        Ccellt[c] = k + 1 < nz ? c + 1 : 0;
        Ccellb[c] = k > 0 ? c - 1 : 0;
        Cae[c] = Ccelle[c] ? 1.0 : 0.0;
        Caw[c] = Ccellw[c] ? 1.0 : 0.0;
        Can[c] = Ccelln[c] ? 1.0 : 0.0;
        Cas[c] = Ccells[c] ? 1.0 : 0.0;
        Cat[c] = Ccellt[c] ? 10.0 : 0.0;  // the vertical coupling of a flat cell is strong
        Cab[c] = Ccellb[c] ? 10.0 : 0.0;
        Cap[c] = Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c] + 0.01;
        Csource[c] = 0.001 * (c % 97);
        Cf[c] = 0.0;
      }
  WCStart = 1;
  WCEnd = NoCells;
}

// Runs `sweeps` sweeps through `solver` with the given settings, after one untimed call
// that touches every page; returns seconds.
double timeSolver(int threads, int f206, int rap, int sweepCount) {
  NoProcessesSolver = f206;
  omp_set_num_threads(threads);
  FlagRapSolver = rap;
  sweeps[1] = 1;
  solver();
  sweeps[1] = sweepCount;
  const double t0 = omp_get_wtime();
  solver();
  return omp_get_wtime() - t0;
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  // The allocation writes to `boogie`: keep it out of the caller's folder.
  const fs::path here = fs::current_path();
  const fs::path scratch =
      fs::temp_directory_path() / ("qorva-bench-" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  fs::current_path(scratch);

  const int all = omp_get_max_threads();
  std::printf("Point Gauss-Seidel sweep (forward + backward pass = 2 x cells cell updates)\n");
  std::printf("%9s %8s %-28s %7s %10s %16s\n", "cells", "threads", "method", "sweeps", "seconds",
              "cell-updates/s");
  struct Size {
    int nx, ny, nz, sweeps;
  };
  const Size sizes[] = {{100, 100, 10, 200}, {250, 400, 10, 20}};
  for (const Size& s : sizes) {
    SetArraysZero();
    setDefaults();
    xnumber = ynumber = 4;
    znumber = s.nz + 1;
    MaxCeller = s.nx * s.ny * s.nz + 2;
    MaxFlater = MaxPunkter = MaxNester = MaxConnFlate = 10;
    Equation = 1;
    if (AllocateArrays(1, 1, 1) < 0) {
      std::fprintf(stderr, "cannot allocate %d cells\n", MaxCeller);
      return 1;
    }
    makeBlock(s.nx, s.ny, s.nz);
    struct Run {
      const char* method;
      int threads, f206, rap;
    };
    const Run runs[] = {
        {"Gauss, serial", 1, 0, 0},
        {"Gauss, one share (F 206 1)", 1, 1, 0},
        {"Gauss, shares (F 206)", all, all, 0},
        {"column half-steps (F 164 31)", 1, 1, 31},
        {"column half-steps (F 164 31)", all, all, 31},
    };
    for (const Run& r : runs) {
      const double sec = timeSolver(r.threads, r.f206, r.rap, s.sweeps);
      const double updates = 2.0 * NoCells * s.sweeps;
      std::printf("%9d %8d %-28s %7d %10.4f %16.3e\n", NoCells, r.threads, r.method, s.sweeps, sec,
                  updates / sec);
    }
  }
  SetArraysZero();
  fs::current_path(here);
  std::error_code ec;
  fs::remove_all(scratch, ec);
  return 0;
}
