// Solvers of the per-cell equation system: the dispatch `solver`, the point Gauss-Seidel
// sweeps, the threaded variants of F 164 and the column-aligned chunk tables.
#pragma once

#include <vector>

namespace qorva {

template <typename T>
class Table1;

// Solves the system of the current Equation in place over WCStart..WCEnd by a fixed number of
// sweeps (sweeps[Equation], three times that for the pressure correction), in the array that
// Cf designates, or in the five fields Cff of the fast flow driver.
void solver();

// The method `solver` picks for the present settings.
enum class SolverMethod {
  FiveField,  // GaussFast on Cff[0..4]: the five-field step of the fast flow driver
  Serial,     // Gauss over the whole range
  Variants,   // GaussN, by F 164
  Chunked,    // GaussColoured: F 206 threads sweeping coloured chunks of the range
};
SolverMethod solverMethod();

// Symmetric point Gauss-Seidel over cells first..last of Cf: `sweeps` forward and backward
// passes (one pass pair whatever `sweeps` is when the multi-neighbour lists are on).
void Gauss(int first, int last, int sweeps);
// The same sweeps by the F 206 threads over coloured chunks (ColouredChunks below): the
// cells in another order than Gauss takes them, the same order for any thread count.
void GaussColoured(int first, int last, int sweeps);

// The sweep methods of F 164 above 20: Jacobi half-steps, Gauss-Seidel in each thread's block,
// column half-steps on blocks or on column-aligned chunks, and serial variants with 1/Cap.
void GaussN(int first, int last, int sweeps);

// Five fields of the fast flow driver swept together over first..last.
void GaussFast(int first, int last, int sweeps);

// Accelerators, run by the flow drivers before `solver` (K 5). All work on the system of the
// current Equation in Cf.
// Line corrections (F 98 0 per block, 1 with the lines of all blocks chained): every grid line
// of the flow blocks is shifted by one value so that the sum of its cell equations holds,
// first the lines of constant j, then those of constant i. Does nothing with the
// thirteen-point form, with several neighbours per side (F 137) or for other F 98 values.
void BlockCorrection();
// Builds the two-dimensional levels of the multigrid (F 168) from the present grid: level L in
// the block record NoBlocks + L, its cells numbered after NoCells, MGSCpoint linking each grid
// cell to its level-1 cell and each level cell to its parent and children; sets NoMGlevels.
// The flow drivers call it on entry and after every regeneration of the grid. Ends the run
// when the levels do not fit the cell arrays, the block table or num.
void AlgMGMake();
// Additive-correction multigrid on those levels (K 5 10, 11, 12), then the line solve of
// F 344. The pressure correction takes the level-1 value in every cell of a column; the other
// equations add it as a correction. Without levels for the present grid only the line solve
// runs (logged once).
void AlgMGSolve();
// Per-cell residual field (rc / Cap) of equation 1, 2, 3, 5 or 6 (Cxvel_res .. Cepsilon_res),
// kept with F 153 1; none (nullptr) for the pressure correction and the other equations.
Table1<double>* residualField(int equation);
// Smooths the level cells first..last in their four lateral couplings (F 164 27, 29, 30, 33
// choose threaded Jacobi forms), `sweeps` symmetric sweeps (one with F 137).
void Gauss2D(int first, int last, int sweeps);

// Tridiagonal line solvers: the vertical couplings implicit, the lateral ones from Cf as it
// stands. solverTDMA takes WCStart..WCEnd (the whole grid with the thirteen-point form) as one
// line, which falls apart into its columns (F 186 1: the epsilon equation; F 344 2).
// solverVertTDMA solves the columns of more than four cells one after the other, blocks
// ascending, i descending, j ascending (F 344 1). Both use Cpt and Cqt.
void solverTDMA();
void solverVertTDMA();

// The two-dimensional water-level equation at the bottom cells of the water columns of the
// blocks with skip 0 and G 26 1: mode 4 (cell-order sweeps to F 345, with the multigrid
// pre-cycle of F 168 and F 343), 43 (the same with the Froude floor of F 351), 8 (nine-point
// sweeps), 83 (with the Froude floor), 42 (line-ordered five-point sweeps); any mode ends with
// the grid-split floor of F 371 on block 1.
void surfaceSolver(int mode);
// Multigrid pre-cycles of the level equation on the levels of AlgMGSurf: the level of each
// column as unknown (AlgMGSurf) or the level itself in the semi-implicit form of F 36 9
// (AlgMGSurfCasulli). They write Cf of the bottom cells and of the level cells.
void AlgMGSurf();
void AlgMGSurfCasulli();
// Line accelerators of the semi-implicit level equation on the i-lines of block 1: a
// tridiagonal line correction (F 343 2) and a one-dimensional multigrid that gives each line
// one starting level (F 343 1).
void computeBlockCasulli();
void computeBlockCasulliMG();

// The coarse grids of the grid-sequenced solution (F 152): real cells, surfaces and block
// records appended after the grid (NoBlocks0 + L for level L), level 1 one cell per wet
// column, levels 2..MGSNo - 1 one per complete 2 x 2 group. Leaves WCStart..WCEnd on the last
// level. Ends the run when the levels do not fit the arrays of F 65.
void MGSCoarserGridMake2D();

// Bounds of cell chunks that end at the top of a water column, so that no column is split
// between two chunks (the cells of a column are numbered upward, Ccellt 0 at its top).
// Chunk p = 1..count() is cells lo(p)..hi(p), empty when lo(p) > hi(p). The table is sized
// from the chunk count each time it is built.
class ChunkTable {
 public:
  // n chunks over first..last; bound t (1..n-1) starts at first - 1 + t * size and moves up
  // to the top of its column, the last bound is `last`.
  void build(int first, int last, int n, int size);
  // 16 chunks; bound t starts at first - 1 + trunc(t * (last - first + 1) * 0.0625).
  void buildSixteenths(int first, int last);

  int count() const { return static_cast<int>(entry_.size()) - 1; }
  int lo(int p) const { return entry_[p - 1] + 1; }
  int hi(int p) const { return entry_[p]; }
  // entry(0) = first - 1, entry(p) = last cell of chunk p.
  int entry(int t) const { return entry_[t]; }

 private:
  template <class Start>
  void fill(int first, int last, int n, Start start);
  std::vector<int> entry_{0};
};

// The fixed chunks of the threaded sweep of F 206 and their colours. The range is cut into
// kChunks chunks at column tops (ChunkTable::build with size (last - first + 1) / kChunks),
// whatever the thread count; chunk p is given the lowest colour that no chunk before it has
// among those it reads a cell of or that read a cell of it. The chunks of one colour touch
// none of each other's cells, so they can be swept at once in any order. A symmetric sweep
// takes the colours in ascending order for the ascending passes, then in descending order for
// the descending ones: one fixed order of the cells, whatever the threads do.
class ColouredChunks {
 public:
  static constexpr int kChunks = 32;

  // One sweep step: the chunks of `colour`, each swept `steps` passes that start ascending
  // (`up`) and alternate.
  struct Phase {
    int colour, steps;
    bool up;
  };

  // Cuts first..last into the chunks and forgets the reads noted before.
  void cut(int first, int last);
  int count() const { return table_.count(); }
  int lo(int p) const { return table_.lo(p); }
  int hi(int p) const { return table_.hi(p); }

  // Notes the cells that chunk p (1..count()) reads: reads(c, visit) calls visit(m) for every
  // cell m that the update of cell c may read. Cells outside the range or inside p are left
  // out. Several threads may note the reads of different chunks at once.
  template <class Reads>
  void noteReads(int p, const Reads& reads) {
    const int lo = this->lo(p), hi = this->hi(p), first = first_, last = last_;
    // Reads below the chunk and reads above it run in order through the chunks there: the
    // chunk last found on each side saves most searches.
    int belowLo = 1, belowHi = 0, aboveLo = 1, aboveHi = 0;
    for (int c = lo; c <= hi; ++c)
      reads(c, [&](int m) {
        if (m < lo) {
          if (m < first || (m >= belowLo && m <= belowHi)) return;
          const int q = mark(p, m);
          belowLo = this->lo(q);
          belowHi = this->hi(q);
        } else if (m > hi) {
          if (m > last || (m >= aboveLo && m <= aboveHi)) return;
          const int q = mark(p, m);
          aboveLo = this->lo(q);
          aboveHi = this->hi(q);
        }
      });
  }

  // Colours the chunks from the reads noted and lays out the phases of `sweeps` symmetric
  // sweeps, a phase merged with the next one of the same colour.
  void colour(int sweeps);
  int colours() const { return static_cast<int>(members_.size()); }
  int colourOf(int p) const { return colour_[p]; }
  // The non-empty chunks of colour k, ascending.
  const std::vector<int>& members(int k) const { return members_[k]; }
  const std::vector<Phase>& phases() const { return phases_; }

 private:
  // Notes that chunk p reads cell m of another chunk; returns that chunk.
  int mark(int p, int m);
  ChunkTable table_;
  int first_ = 0, last_ = -1;
  std::vector<char> reads_;  // reads_[p * (count() + 1) + q]: chunk p reads a cell of q
  std::vector<int> colour_;
  std::vector<std::vector<int>> members_;
  std::vector<Phase> phases_;
};

// Solvers of the sediment equations of several grain sizes, each 5 symmetric sweeps over
// WCStart..WCEnd of the array that Cf designates (the callers point it at Cconc[l] and set
// Equation to 7). solver2(l): the shared horizontal coefficients Cae..Cas with the per-size
// rows Catm[l], Cabm[l], Capm[l], Csourcem[l]; with F 253 1 the bottom cells take the pick-up
// from the bed implicitly (min of the capacity from Bconc and the supply of bed layer 1 and
// the settling) and Bsource[l] keeps it; with sou[Equation] 1 (and no F 253) the shared system
// Cap, Cae..Cab, Csource, with its second neighbours when they exist. solver2m(l): every
// coefficient per size (Caem[l]..Casm[l] too). solver2bed(l): the bottom cells only, on their
// lateral stencil with Capm[l], Csourcem[l]. F 164 31 and 33 sweep column half-steps on
// column-aligned chunks shared among the F 206 threads; the result is the same for any thread
// count. A call without the rows of its size, or with a range outside the arrays, ends the run
// with status 1.
void solver2(int l);
// solver2(l) on `field` (n values) in place of the array Cf designates. Unless the column
// half-steps are chosen (solver2SizesApart() false), it reads only the rows of size l, the
// shared coefficients and `field`, and writes only `field` and Bsource[l]: several sizes may
// then be solved at once on different threads, each giving the bits of a serial solve.
void solver2Field(int l, double* field, std::size_t n);
bool solver2SizesApart();
void solver2m(int l);
void solver2bed(int l);
// A field over the bed cells firstBedCell..lastBedCell, in place: 3 symmetric sweeps with the
// coefficients Cap, Cae, Caw, Can, Cas, Csource of each column's bottom cell (north and south
// neighbours b + 1 and b - 1, east and west those of the bottom cell); no value above `cap`.
// Columns without cells keep their values.
void solverB(double* field, int firstBedCell, int lastBedCell, double cap);
// `sweeps` forward passes over first..last in place of the array Cf designates, moving only
// flowing mud: with the scheme of 13 points (sou 1) the cells whose Cthixolev is above 1 (the
// others keep their values), otherwise the cells whose Cthixorat is above 1 by the
// seven-point update and every other cell of the range set to 0. Serial; nothing calls it in
// this version's drivers.
void GaussThixo(int first, int last, int sweeps);

}  // namespace qorva
