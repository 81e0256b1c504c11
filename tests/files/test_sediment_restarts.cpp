// The bed fractions, concentrations and water-quality components written by the print set and
// tasks E and F, and read back by task O: round trips on a generated grid, the forms of the
// fraction rows, and the files the reader refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/files.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/koosurf_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void emptyDirectory() {
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
    std::filesystem::remove_all(e.path());
}

// Every value below is a short binary fraction, which "%lf" and "%e" write exactly.
double thicknessOf(int layer, int i, int j) { return 0.125 * (layer + 1) + 0.5 * i + 0.25 * j; }
// Fractions of the two sizes: 1/4 + 1/8 per layer step, the rest in size 2.
double fraction1(int layer, int i, int j) { return 0.125 * ((layer + i + j) % 5) + 0.25; }

class SedimentRestarts : public test::Scratch {
 protected:
  // A 2 x 2 grid, two sizes, `layers` bed layers under F 37 `tsc`.
  static void run(int tsc, int layers, const std::function<void()>& more = [] {}) {
    test::freshGridRun(6, 6, 4, [&] {
      lnumber = 2;
      FlagTSC = tsc;
      NoBedLayers = layers;
      TimeStep = 10;
      more();
    });
    test::koosurfGrid(2, 2, {[](int, int) { return -1.0; }, [](int, int) { return 0.0; }});
    ASSERT_EQ(NoBCells, 4);
  }

  static void fillFractions(int layers) {
    for (int i = 2; i <= 3; ++i)
      for (int j = 2; j <= 3; ++j)
        for (int L = 0; L < layers; ++L) {
          const int b = pointbed[i][j];
          BSedDistrib[L][0][b] = thicknessOf(L, i, j);
          BSedDistrib[L][1][b] = fraction1(L, i, j);
          BSedDistrib[L][2][b] = 1 - fraction1(L, i, j);
        }
  }
  static void clearFractions(int layers) {
    for (int b = 0; b <= NoBCells; ++b)
      for (int L = 0; L < layers; ++L)
        for (int l = 0; l <= lnumber; ++l) BSedDistrib[L][l][b] = -9;
  }
  static void expectFractions(int layers) {
    for (int i = 2; i <= 3; ++i)
      for (int j = 2; j <= 3; ++j)
        for (int L = 0; L < layers; ++L) {
          const int b = pointbed[i][j];
          EXPECT_EQ(BSedDistrib[L][0][b], thicknessOf(L, i, j)) << i << " " << j << " " << L;
          EXPECT_EQ(BSedDistrib[L][1][b], fraction1(L, i, j));
          EXPECT_EQ(BSedDistrib[L][2][b], 1 - fraction1(L, i, j));
        }
  }
  static double conc(int l, int c) { return 0.25 * l + 0.125 * c; }
  static double comp(int k, int c) { return 3.5 * k - 0.0625 * c; }
};

TEST_F(SedimentRestarts, FractionsRoundTripInBothForms) {
  struct Case {
    const char* form;
    int tsc, layers;
    int valuesPerRow;
  };
  for (const Case& k : {Case{"two layers", 1, 2, 2 + 2 * 3}, Case{"two layers under F 37 3", 3, 2, 8},
                        Case{"layered", 3, 4, 2 + 4 * 3}}) {
    SCOPED_TRACE(k.form);
    run(k.tsc, k.layers);
    fillFractions(k.layers);
    ASSERT_EQ(endStatus([] { print_fracres(0); }), 1000) << log();
    const std::string text = read("fracres.new");
    // One row per column, i outer, j inner; the top layer first.
    std::vector<std::string> rows;
    for (std::size_t a = 0, e; (e = text.find('\n', a)) != std::string::npos; a = e + 1)
      rows.push_back(text.substr(a, e - a));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].rfind("2 2 ", 0), 0u);
    EXPECT_EQ(rows[1].rfind("2 3 ", 0), 0u);
    EXPECT_EQ(rows[3].rfind("3 3 ", 0), 0u);
    const std::string top = strf(" %lf %lf %lf", thicknessOf(k.layers - 1, 2, 2),
                                 fraction1(k.layers - 1, 2, 2), 1 - fraction1(k.layers - 1, 2, 2));
    EXPECT_EQ(rows[0].substr(3, top.size()), top);
    std::size_t values = 1;
    for (char ch : rows[0]) values += ch == ' ';
    EXPECT_EQ(values, static_cast<std::size_t>(k.valuesPerRow));

    std::filesystem::rename("fracres.new", "fracres");
    clearFractions(k.layers);
    int result = -1;
    ASSERT_EQ(endStatus([&] { result = readConRes(); }), 1000) << log();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FlagReadFracres, 1);
    expectFractions(k.layers);
  }
}

TEST_F(SedimentRestarts, ConcentrationsAndComponentsRoundTrip) {
  run(1, 2, [] { NoComponents = 2; });
  for (int c = 1; c <= NoCells; ++c) {
    for (int l = 1; l <= 2; ++l) Cconc[l][c] = conc(l, c);
    Cconc[0][c] = -1;  // the writer puts the total here
    for (int k = 0; k < 2; ++k) Ccomp[k][c] = comp(k, c);
  }
  fillFractions(2);
  ASSERT_EQ(endStatus([] {
              EXPECT_EQ(writeConcRes(), 0);
              EXPECT_EQ(writeConqRes(), 0);
              print_fracres(0);
            }),
            1000)
      << log();
  EXPECT_EQ(mc_message, "have written 'compres' file ");
  const std::string con2res = read("con2res.new");
  EXPECT_EQ(con2res.substr(0, con2res.find('\n', 5) + 1),
            strf("%d 2\n%e %e %e \n", NoCells, conc(1, 1) + conc(2, 1), conc(1, 1), conc(2, 1)));
  EXPECT_EQ(read("compres").substr(0, read("compres").find('\n') + 1),
            strf("%e %e \n", comp(0, 1), comp(1, 1)));

  std::filesystem::rename("con2res.new", "con2res");
  std::filesystem::rename("fracres.new", "fracres");
  for (int c = 0; c <= NoCells; ++c) {
    for (int l = 0; l <= 2; ++l) Cconc[l][c] = Cconc_old[l][c] = 0;
    for (int k = 0; k < 2; ++k) Ccomp[k][c] = 0;
  }
  ASSERT_EQ(endStatus([] { EXPECT_EQ(readConRes(), 0); }), 1000) << log();
  for (int c = 1; c <= NoCells; ++c) {
    EXPECT_EQ(Cconc[0][c], conc(1, c) + conc(2, c));
    for (int l = 1; l <= 2; ++l) {
      EXPECT_EQ(Cconc[l][c], conc(l, c));
      EXPECT_EQ(Cconc_old[l][c], conc(l, c));
    }
    for (int k = 0; k < 2; ++k) EXPECT_EQ(Ccomp[k][c], comp(k, c));
  }
  expectFractions(2);
}

TEST_F(SedimentRestarts, MissingConcentrationsAreNotReadAndTheFractionsStillAre) {
  run(1, 2);
  fillFractions(2);
  print_fracres(0);
  std::filesystem::rename("fracres.new", "fracres");
  clearFractions(2);
  for (int c = 1; c <= NoCells; ++c) Cconc[1][c] = 0.5;
  ASSERT_EQ(endStatus([] { EXPECT_EQ(readConRes(), 0); }), 1000) << log();
  EXPECT_EQ(log(), "Have not used file 'con2res'\n");
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cconc[1][c], 0.5);
  expectFractions(2);
}

TEST_F(SedimentRestarts, RefusedFiles) {
  struct Case {
    const char* what;
    std::string con2res, fracres;
    int status;
    std::string message;
  };
  // Rows of the 2 x 2 grid whose fractions sum to 1, and the cells' lines of con2res.
  const std::string goodRows = "2 2 1 0.5 0.5 1 0.5 0.5\n2 3 1 0.5 0.5 1 0.5 0.5\n";
  std::string cells;
  for (int c = 1; c <= 8; ++c) cells += "0.3 0.1 0.2 \n";
  const std::vector<Case> cases = {
      {"con2res of another grid", "9 2\n" + cells, "", -1,
       "Error reading con2res file\ncon2res: No. cells = 9, no. sizes = 2\n"
       "Unstruc/control file: No. cells = 8, no. sizes = 2\n"},
      {"a con2res line one value short", "8 2\n" + cells.substr(0, 13 * 3) + "0.3 0.1\n", "", -1,
       "Error in 'con2res' file, line 5: the concentrations of cell 4"},
      {"a con2res that ends early", "8 2\n" + cells.substr(0, 13 * 3), "", -1,
       "Error in 'con2res' file, line 4: the file ends before cell 4 of 8\n"},
      {"a concentration that is no number", "8 2\nnan 0.1 0.2\n", "", -1,
       "Error in 'con2res' file, line 2:"},
      {"layer 1 sums to 1.002", "", "2 2 1 0.5 0.502 1 0.5 0.5\n", -3,
       "Error in fracres, i=2,j=2, sum of fractions = 1.002000\n"},
      {"layer 0 sums to 0.9", "", "2 2 1 0.5 0.5 1 0.5 0.4\n", -3,
       "Error in fracres, i=2,j=2, sum of fractions = 0.900000\n"},
      {"a fracres row one value short", "", goodRows + "3 2 1 0.5 0.5 1 0.5\n", -1,
       "Error in 'fracres' file, line 3: the row of column 3 2"},
      {"a fracres row that is no row", "", goodRows + "end\n", -1, "Error in 'fracres' file, line 3:"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    run(1, 2);
    if (!k.con2res.empty()) write("con2res", k.con2res);
    write("fracres", k.fracres.empty() ? goodRows : k.fracres);
    EXPECT_EQ(endStatus(readConRes), k.status);
    EXPECT_TRUE(contains(log(), k.message)) << log();
    emptyDirectory();
  }
}

// A row past the grid used to end the reading quietly, leaving every later row unread.
TEST_F(SedimentRestarts, RowPastTheGridIsRefused) {
  run(1, 2);
  fillFractions(2);
  // xnumber = 6: line 7 is the spare line, 8 lies past it.
  write("fracres", "2 2 1 0.5 0.5 1 0.5 0.5\n8 2 1 0.5 0.5 1 0.5 0.5\n2 3 1 0.5 0.5 1 0.5 0.5\n");
  EXPECT_EQ(endStatus(readConRes), -1) << log();
  EXPECT_TRUE(contains(log(), "Error in 'fracres' file, line 2: column 8 2 lies past the grid of 6 x"))
      << log();
  EXPECT_EQ(FlagReadFracres, 0);
}

TEST_F(SedimentRestarts, MissingFractionsAndFractionsFromBedres) {
  run(1, 2);
  int result = 0;
  ASSERT_EQ(endStatus([&] { result = readConRes(); }), 1000);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(mc_message, "cannot open file fracres ");
  // With F 306 the fractions come from bedres: fracres is not read even when present.
  run(1, 2, [] { FlagUseBedres = 1; });
  write("fracres", "2 2 1 0.5 0.5 1 0.5 0.4\n");
  ASSERT_EQ(endStatus([&] { result = readConRes(); }), 1000) << log();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(FlagReadFracres, 0);
}

TEST_F(SedimentRestarts, VersionOneFractionsAreScaledIntoEveryLayer) {
  run(2, 2, [] {
    FlagFracresVersion = 1;
    TopThickness = 0.25;
  });
  // Sum 1.00005: within 0.0001 of 1, so scaled to exactly 1.
  write("fracres", "2 2 0.40002 0.60003\n3 3 0.25 0.75\n");
  ASSERT_EQ(endStatus([] { EXPECT_EQ(readConRes(), 0); }), 1000) << log();
  const int b = pointbed[2][2], c = pointbed[3][3];
  for (int L = 0; L < 2; ++L) {
    EXPECT_NEAR(BSedDistrib[L][1][b] + BSedDistrib[L][2][b], 1.0, 1e-15);
    EXPECT_NEAR(BSedDistrib[L][1][b], 0.40002 / 1.00005, 1e-15);
    EXPECT_EQ(BSedDistrib[L][2][c], 0.75);
  }
  // The top layer takes the erodible depth over the non-erodible level up to F 106, layer 0
  // the rest.
  const double d = zval[2][2][1] - Surfaces[3][2][2];
  EXPECT_DOUBLE_EQ(BSedDistrib[1][0][b], d > 0 ? std::min(d, 0.25) : 0.0);
  EXPECT_DOUBLE_EQ(BSedDistrib[0][0][b], d > 0 ? d - BSedDistrib[1][0][b] : 0.0);

  run(2, 2, [] { FlagFracresVersion = 1; });
  write("fracres", "2 2 0.25 0.25\n");
  EXPECT_EQ(endStatus(readConRes), -3);
  EXPECT_EQ(log(), "Have not used file 'con2res'\nError in fracres, i=2,j=2, sum of fractions = 0.500000\n");
}

// A restart that cannot be written ends the run and says why; the older copy stays.
TEST_F(SedimentRestarts, WriteFailuresEndTheRun) {
  struct Case {
    const char* name;
    std::function<int()> write;
  };
  for (const Case& k : {Case{"con2res.new", writeConcRes}, Case{"compres", writeConqRes}}) {
    SCOPED_TRACE(k.name);
    run(1, 2, [] { NoComponents = 1; });
    // A folder in the way of the rename.
    std::filesystem::create_directories(std::string(k.name) + "/in-the-way");
    EXPECT_EQ(endStatus(k.write), -4);
    EXPECT_TRUE(contains(log(), strf("Error: could not write file '%s'", k.name))) << log();
    EXPECT_TRUE(std::filesystem::exists(std::string(k.name) + "/in-the-way"));
    emptyDirectory();
  }
}

// Task O right after task Y: the grid was generated and its bed cells not yet indexed. The first
// indexing carries the fields of the grid the generator replaced over and counts every column
// as newly wet; it must not wipe the concentrations that task O has read (they vanished before
// the first sediment step, while the balance had counted them).
TEST_F(SedimentRestarts, ConcentrationsReadOnAFreshGridOutliveItsFirstIndexing) {
  test::freshGridRun(6, 6, 4, [] {
    lnumber = 2;
    FlagTSC = 1;
    TimeStep = 10;
  });
  std::string koosurf;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) koosurf += strf("%d %d %d.0 %d.0 -1.0 0.0\n", i, j, i - 1, j - 1);
  write("koosurf", koosurf);
  ASSERT_EQ(endStatus([] {
              readKoosurf();
              ASSERT_GE(Unstructure(), 0);
              metric();
            }),
            1000)
      << log();
  ASSERT_EQ(FlagNeedsToBeInterpolated, 1);
  std::string con2res = strf("%d 2\n", NoCells);
  for (int c = 1; c <= NoCells; ++c)
    con2res += strf("%e %e %e\n", conc(1, c) + conc(2, c), conc(1, c), conc(2, c));
  write("con2res", con2res);
  ASSERT_EQ(endStatus([] {
              readConRes();
              BedMake();  // what the sediment loop does first
            }),
            1000)
      << log();
  ASSERT_EQ(NoBCells, 4);
  for (int c = 1; c <= NoCells; ++c)
    for (int l = 1; l <= 2; ++l) {
      EXPECT_EQ(Cconc[l][c], conc(l, c)) << "cell " << c << ", size " << l;
      EXPECT_EQ(Cconc_old[l][c], conc(l, c)) << "cell " << c << ", size " << l;
    }
}

TEST_F(SedimentRestarts, ComponentsNeedComponents) {
  run(1, 2);
  EXPECT_EQ(writeConqRes(), -1);
  EXPECT_FALSE(std::filesystem::exists("compres"));
}

}  // namespace
}  // namespace qorva
