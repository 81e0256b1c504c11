// Allocation of the structured and unstructured arrays: which arrays exist under which
// options, their dimensions, the megabytes reported, the failure paths, the start values of
// the bed composition and minimum water levels, and the topology reset of the two-layer grid.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Status of the run's end, or 1000 when the call returned.
int endStatus(const std::function<void()>& f) {
  try {
    f();
  } catch (const RunEnd& e) {
    return e.status;
  }
  return 1000;
}

bool exists(const char* name) {
  const ArrayRow* a = findArray(name);
  if (!a) ADD_FAILURE() << "no array row named " << name;
  return a && a->allocated();
}

// A small configuration: 3 x 2 grid lines, 4 levels, one grain size, small F 65 capacities.
// Bed cells: (3+3)(2+3) = 30.
class SmallGrid : public test::Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    smallSizes();
  }
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Defaults of every option with the small sizes, for a table case after another.
  static void restart() {
    SetArraysZero();
    setDefaults();
    smallSizes();
    for (int e = 0; e < 50; ++e) sou[e] = 0;
  }
  static void smallSizes() {
    xnumber = 3;
    ynumber = 2;
    znumber = 4;
    lnumber = 1;
    MaxCeller = 100;
    MaxFlater = 200;
    MaxPunkter = 150;
    MaxNester = 10;
    MaxConnFlate = 5;
  }
};

using StructuredArrays = SmallGrid;
using UnstructuredArrays = SmallGrid;
using Arrays = SmallGrid;

struct ConditionCase {
  const char* what;
  std::function<void()> set;
  std::vector<const char*> present;
  std::vector<const char*> absent;
};

// ---------------------------------------------------------------------------------------------
// Structured arrays

TEST_F(StructuredArrays, DefaultGridDimensions) {
  xnumber = 300;
  ynumber = 300;
  znumber = 11;
  ASSERT_EQ(sialloc(), 0);
  EXPECT_EQ(zval.dim(0), 302u);
  EXPECT_EQ(zval.dim(1), 302u);
  EXPECT_EQ(zval.dim(2), 13u);
  EXPECT_EQ(xval.dim(0), 302u);
  EXPECT_EQ(xval.dim(1), 302u);
  EXPECT_EQ(bedOutBlock.dim(1), 302u);
  EXPECT_EQ(Surfaces.dim(0), 5u);
  EXPECT_EQ(mc_message, "Initiation of arrays o.k");
}

TEST_F(StructuredArrays, BedPlanesWithMudOrMorphologyStatistics) {
  struct Case {
    int thixo, morph;
    std::size_t planes;
  };
  for (const Case& c : std::vector<Case>{{0, 0, 5}, {1, 0, 8}, {0, 1, 8}, {-1, 0, 8}}) {
    SetArraysZero();
    FlagThixo = c.thixo;
    FlagMorphStatistics = c.morph;
    ASSERT_EQ(sialloc(), 0);
    EXPECT_EQ(Surfaces.dim(0), c.planes) << c.thixo << " " << c.morph;
    EXPECT_EQ(Surfaces.dim(1), 5u);
    EXPECT_EQ(Surfaces.dim(2), 4u);
  }
}

TEST_F(StructuredArrays, WhichArraysExist) {
  const std::vector<const char*> always = {"xval", "yval", "zval", "P", "Q", "Surfaces",
                                           "armap", "roughness", "pointbed", "bedOutBlock",
                                           "pointcell_old"};
  const std::vector<ConditionCase> cases = {
      {"defaults", [] {}, always,
       {"pointcell", "pointnest", "wetdryCornerFlag", "bedStatDepth", "baggerZval",
        "zugabeZval", "zugabeFractions", "PresRegresSumPres", "PresRegresN", "Tinspace",
        "TinspaceTime"}},
      {"F 488 1", [] { UMethod2 = 1; }, {"pointcell"}, {"pointnest"}},
      {"F 261 1", [] { FlagCoupledNesting = 1; }, {"pointnest"}, {"pointcell"}},
      {"F 238 3", [] { FlagNestTop = 3; }, {"pointnest"}, {}},
      {"F 238 2", [] { FlagNestTop = 2; }, {}, {"pointnest"}},
      {"F 425 1", [] { FlagSmoothNewCorners = 1; }, {"wetdryCornerFlag"}, {}},
      {"F 358", [] { BedStatI1 = 1; BedStatI2 = 3; BedStatJ2 = 2; },
       {"bedStatDepth", "bedStatBed", "bedStatDev", "bedStatK"}, {}},
      {"F 386", [] { MaxNoBagger = 2; }, {"baggerZval", "zugabeZval", "zugabeFractions"}, {}},
      {"F 143", [] { PresRegres = 1; },
       {"PresRegresSumPres", "PresRegresSumXPres", "PresRegresSumX", "PresRegresSumXX",
        "PresRegresN"},
       {}},
      {"F 294", [] { InspaceAlloc = 3; }, {"Tinspace", "TinspaceTime"}, {}},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.what);
    restart();
    c.set();
    ASSERT_EQ(sialloc(), 0);
    for (const char* n : always) EXPECT_TRUE(exists(n)) << n;
    for (const char* n : c.present) EXPECT_TRUE(exists(n)) << n;
    for (const char* n : c.absent) EXPECT_FALSE(exists(n)) << n;
  }
}

TEST_F(StructuredArrays, ModuleTableDimensions) {
  BedStatI1 = 1;
  BedStatI2 = 5;
  BedStatJ2 = 3;
  MaxNoBagger = 2;
  lnumber = 3;
  InspaceAlloc = 3;
  FlagCoupledNesting = 1;
  ASSERT_EQ(sialloc(), 0);
  EXPECT_EQ(bedStatK.dim(0), 7u);
  EXPECT_EQ(bedStatK.dim(1), 5u);
  EXPECT_EQ(baggerZval.dim(0), 2u);
  EXPECT_EQ(baggerZval.dim(1), 5u);
  EXPECT_EQ(baggerZval.dim(2), 4u);
  EXPECT_EQ(zugabeZval.size(), 2u);
  EXPECT_EQ(zugabeFractions.dim(1), 4u);
  EXPECT_EQ(pointnest.dim(2), 2u);
  // Five time rows of 20 sizes by 20 points.
  EXPECT_EQ(Tinspace.dim(0), 5u);
  EXPECT_EQ(Tinspace.dim(1), 20u);
  EXPECT_EQ(Tinspace.dim(2), 20u);
  EXPECT_EQ(TinspaceTime.size(), 5u);
}

// 100 x 100 grid lines with 10 levels (G 1 98 98 8), defaults otherwise:
//   xval, yval, P, Q, armap, roughness  6 x (10000 x 8 + 100 handles x 8)  =  484800
//   zval                 100000 x 8 + (100 + 10000) handles x 8            =  880800
//   Surfaces             5 x 100 x 100 x 8 + (5 + 500) handles x 8        =  404040
//   pointbed, bedOutBlock, pointcell_old  3 x (10000 x 4 + 100 x 8)       =  122400
//                                                                total      1892040 bytes
constexpr double kStructuredBytes = 1892040;

TEST_F(StructuredArrays, ReportCountsElementsAndRowHandles) {
  xnumber = 98;
  ynumber = 98;
  znumber = 8;
  InspaceAlloc = 3;  // allocated after the report: not in its count
  ASSERT_EQ(sialloc(), 0);
  EXPECT_EQ(log(), "Have allocated         1.89 Mbytes structured arrays\n");
  EXPECT_TRUE(Tinspace);
  EXPECT_DOUBLE_EQ(static_cast<double>(xval.bytes() + yval.bytes() + zval.bytes() + P.bytes() +
                                       Q.bytes() + Surfaces.bytes() + armap.bytes() +
                                       roughness.bytes() + pointbed.bytes() +
                                       bedOutBlock.bytes() + pointcell_old.bytes()),
                   kStructuredBytes);
}

TEST_F(StructuredArrays, OutOfMemoryReportsTheBytesCountedSoFar) {
  struct Case {
    const char* what;
    std::function<void()> set;
    const char* text;
  };
  const std::vector<Case> cases = {
      // The element count of the bed statistics does not fit the address space.
      {"bed statistics too large",
       [] { BedStatI1 = 1; BedStatI2 = 2000000000; BedStatJ2 = 2000000000; },
       "Allocated 1.892040 Mbyte when out of memory\n"},
      {"negative statistics size", [] { BedStatI1 = 1; BedStatI2 = 3; BedStatJ2 = -5; },
       "Allocated 1.892040 Mbyte when out of memory\n"},
      // xnumber + 2 overflows an int; the count must not wrap into a small table.
      {"grid too large", [] { xnumber = INT_MAX; ynumber = INT_MAX; },
       "Allocated 0.000000 Mbyte when out of memory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetArraysZero();
    std::remove("boogie");
    xnumber = 98;
    ynumber = 98;
    znumber = 8;
    c.set();
    EXPECT_EQ(sialloc(), -1);
    EXPECT_EQ(log(), c.text);
    EXPECT_FALSE(bedStatDepth);
    EXPECT_EQ(static_cast<bool>(zval), xnumber == 98);  // what came before stays allocated
    BedStatI1 = BedStatI2 = BedStatJ2 = 0;
  }
}

TEST_F(StructuredArrays, LaterCallAddsOnlyWhatIsMissingAndKeepsRemovedColumns) {
  ASSERT_EQ(sialloc(), 0);
  bedOutBlock[2][1] = 1;  // a G 13 region marked by the reader after the first call
  xval[1][1] = 7.5;
  PresRegres = 1;
  ASSERT_EQ(sialloc(), 0);
  // Five tables of 5 x 4: two of doubles (160 + 40 handle bytes), three of ints (80 + 40).
  EXPECT_EQ(log(),
            "Have allocated         0.00 Mbytes structured arrays\n"
            "Have allocated         0.00 Mbytes structured arrays\n");
  EXPECT_EQ(PresRegresSumPres.bytes() + PresRegresSumXPres.bytes() + PresRegresSumX.bytes() +
                PresRegresSumXX.bytes() + PresRegresN.bytes(),
            760u);
  EXPECT_EQ(bedOutBlock[2][1], 1);
  EXPECT_EQ(xval[1][1], 7.5);
}

TEST_F(StructuredArrays, TooManyLevels) {
  znumber = 4998;
  EXPECT_EQ(endStatus([] { sialloc(); }), -2);
  EXPECT_EQ(log(), "Error - increase zdistrib array, nz = 5000\n");
  EXPECT_FALSE(zval);

  std::remove("boogie");
  znumber = 4997;
  EXPECT_EQ(sialloc(), 0);
  EXPECT_EQ(zval.dim(2), 4999u);
}

// ---------------------------------------------------------------------------------------------
// Unstructured arrays

TEST_F(UnstructuredArrays, DefaultCapacities) {
  setDefaults();  // F 65 50000 80000 50000 10000 1000, G 1 300 300 11 1, F 134 2
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  EXPECT_EQ(Cflatee.size(), 50000u);
  EXPECT_EQ(Fcell1.size(), 80000u);
  EXPECT_EQ(Px.size(), 50000u);
  EXPECT_EQ(Ncell.dim(0), 10000u);
  EXPECT_EQ(connFlate.dim(0), 1000u);
  EXPECT_EQ(connFlate.dim(1), 2u);
  EXPECT_EQ(Cconc.dim(0), 2u);
  EXPECT_EQ(Cconc.dim(1), 50000u);
  EXPECT_EQ(BSedDistrib.dim(0), 3u);
  EXPECT_EQ(BSedDistrib.dim(1), 2u);
  EXPECT_EQ(BSedDistrib.dim(2), 91809u);
  EXPECT_EQ(num.dim(2), 13u);
  EXPECT_EQ(Sqt.size(), 302u);
  EXPECT_FALSE(TimeInTime);
  EXPECT_FALSE(Cinn);
}

TEST_F(UnstructuredArrays, WhichArraysExist) {
  const std::vector<const char*> always = {
      "Cflatee", "Cflateb", "Ccellb", "Cpoint8", "CflagDim", "Cisolve", "Cbed", "Cdxdi",
      "Cxcenter", "Cvol", "Cxvel", "Cepsilon", "Cf_old", "CgammaV", "Croughness", "Cap",
      "CnInvAp", "Csource", "Sqt", "Spt", "Cconc", "Fcell1", "Fqndum", "Fflux", "Fvz", "Px",
      "Pz", "Pc", "Pj", "connFlate", "ant", "antlin", "antmin", "antmax", "vv", "num",
      "Bcellt", "Bnocells_old", "BlayerTop", "Bdepth", "Barea", "Bconc", "Bap", "Bsource",
      "Bvolleft", "BSedDistrib", "TimePrinti", "TimePrintl", "TimePrintVar"};
  const std::vector<const char*> optional = {
      "CcellAe", "Cncelle", "Cqncelle", "Cqnae", "Cqnaee", "Caee", "Cxvel_old", "CinvAp_old",
      "Cxvel_old2", "Cxvel_carry", "CinvAp_carry", "Cconc_carry", "CinvApP", "CxvelP", "Cporosity", "Cthixolev", "Cthixorat", "Cstress",
      "Cxmove", "CU", "FF", "CdampDensity", "Cpt", "Czcenter_old", "CinvApf", "MGSCpoint",
      "Cconc_old", "Catm", "Csourcem", "Caem", "Ccomp", "Ccomp_old", "crackI", "ridgeI",
      "antlinT", "TurbTop", "bedshear", "numc", "Bcelltt_old", "Bnestcoarse", "Bponds",
      "Barmourthick", "Bedlev", "BcohesionLevel", "Bthixolev", "Bpresavg", "Bdeltah",
      "BsourceLS", "Bgroundwater", "BrooksUp", "Bdefect", "BLevFroude", "Bminwaterlevel",
      "BfGzeroTime", "Bfractionsprint", "BTugrad", "Bupflux", "BplasticDeposits",
      "Bsolidfraction", "Bcohesion", "BCompDistrib", "BQvar", "Bveg", "VegTime", "tracerX",
      "BedTracer", "TimeInTime", "Cinn", "Winn", "QDinn"};
  const std::vector<const char*> transient = {
      "Cxvel_old", "Cyvel_old", "Czvel_old", "Cpres_old", "Ckinen_old", "Cepsilon_old",
      "CinvAp_old", "Cconc_old", "TimeInTime", "TimeInTimStep", "TimeInHinn", "TimeInHout",
      "Irradi", "AirTemp", "Cinn", "Winn", "QDinn"};
  const std::vector<const char*> transientSediment = {
      "Catm", "Cabm", "Capm", "Csourcem", "Barmourthick", "Bedlev", "Bupflux", "Bbedchange",
      "Bsolidfraction"};
  const auto plus = [](std::vector<const char*> a, const std::vector<const char*>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  // What a steady free surface keeps of the fields for the transfer to a rebuilt grid.
  const std::vector<const char*> carried = {"Cxvel_carry", "CinvAp_carry", "Cconc_carry"};
  const std::vector<ConditionCase> cases = {
      {"defaults", [] {},
       {"Ccoarsenest", "Cinterpolnest", "Ncell", "Nvect", "Nflux", "Cxvel_res", "Cepsilon_res",
        "Ckdist_old"},
       optional},
      {"F 65 MaxNester 1", [] { MaxNester = 1; }, {"Ncell", "Npblock", "Nweight"},
       {"Ccoarsenest", "Cinterpolnest"}},
      {"F 65 MaxNester 0", [] { MaxNester = 0; }, {}, {"Ncell", "Nvect", "Ccoarsenest"}},
      {"F 114 20", [] { FlagPresGrad = 20; }, {"CcellAe", "CcellAw", "CcellAs", "CcellAn"}, {}},
      {"F 114 19", [] { FlagPresGrad = 19; }, {}, {"CcellAe"}},
      {"F 137", [] { QNFlag = 1; },
       {"Cncelle", "Cncelln", "Cqncelle", "Cqncelln", "Cqnae", "Cqnan"}, {"Cqnaee", "Caee"}},
      {"F 137 with second-order upwind", [] { QNFlag = 1; sou[1] = 1; },
       {"Cncelle", "Cqncelle", "Cqnae", "Cqnaee", "Cqnaww", "Cqnass", "Cqnann", "Caee", "Cabb"}, {}},
      {"sou[3]", [] { sou[3] = 1; }, {"Caee", "Catt"}, {"Cqnaee"}},
      {"sou[8]", [] { sou[8] = 1; }, {"Caee"}, {}},
      {"sou[2]", [] { sou[2] = 1; }, {}, {"Caee"}},
      {"F 63 1", [] { SouComp = 1; }, {"Caee"}, {"Cqnaee"}},
      {"F 63 2", [] { SouComp = 2; }, {}, {"Caee"}},
      {"F 36 7", [] { FlagTFS = 7; }, plus(carried, {"Caee"}), {}},
      {"F 36 10", [] { FlagTFS = 10; }, plus(carried, {"Caee", "Cabb"}), {}},
      {"F 36 11", [] { FlagTFS = 11; }, carried, {"Caee"}},
      {"transient", [] { TimeStep = 1.0; }, transient, {"Cxvel_old2", "Ccomp_old"}},
      {"time step 1e-8", [] { TimeStep = 1e-8; }, {}, {"Cxvel_old", "TimeInTime"}},
      {"transient, F 208", [] { TimeStep = 1.0; FlagTimeOrder = 1; },
       plus(transient, {"Cxvel_old2", "Cyvel_old2", "Czvel_old2"}), {}},
      {"F 208 steady", [] { FlagTimeOrder = 1; }, {}, {"Cxvel_old2"}},
      {"steady free surface", [] { FlagTFS = 2; },
       plus(carried, {"Cyvel_carry", "Czvel_carry", "Cpres_carry", "Ckinen_carry",
                      "Cepsilon_carry"}),
       {"Cxvel_old", "Cconc_old"}},
      {"transient free surface", [] { FlagTFS = 2; TimeStep = 1.0; }, transient,
       {"Cxvel_carry", "Cconc_carry"}},
      {"F 171 1", [] { FlagSIMPLE = 1; }, {"CinvApP"}, {"CxvelP"}},
      {"F 171 2", [] { FlagSIMPLE = 2; }, {"CinvApP", "CxvelP", "CyvelP", "CzvelP"}, {}},
      {"F 153 0", [] { FlagResidual = 0; }, {}, {"Cxvel_res", "Cepsilon_res"}},
      {"F 153 2", [] { FlagResidual = 2; }, {}, {"Cpres_res"}},
      {"F 115", [] { FlagDragDLL = 1; }, {"Cporosity", "Bveg", "VegTime"}, {}},
      {"F 236", [] { FlagThixo = 1; },
       {"Cthixolev", "Cthixorat", "Bthixolev", "BthixolevMin", "Bstrain", "Bedlev",
        "Bsolidfraction"},
       {"Cstress", "Cxmove"}},
      {"F 248", [] { FlagSoilStress = 1; },
       {"Cthixolev", "Cthixorat", "Cstress", "Cxmove", "Cymove", "Czmove", "Bthixolev"},
       {"Bedlev"}},
      {"F 311", [] { FlagShallowWater = 1; }, {"CU", "CF", "CG", "FF", "FG"}, {}},
      {"F 71 5", [] { TurbDensFlag = 5; },
       {"CdampDensity", "BTugrad", "BTdischarge", "BTheight"}, {}},
      {"F 71 1", [] { TurbDensFlag = 1; }, {"BTugrad"}, {"CdampDensity"}},
      {"F 186", [] { FlagTDMA = 1; }, {"Cpt", "Cqt"}, {}},
      {"F 261 18", [] { FlagCoupledNesting = 18; }, {"Cpt", "Bnestcoarse"}, {}},
      {"F 343 2", [] { BlockCasulli = 2; }, {"Cpt"}, {}},
      {"F 343 3", [] { BlockCasulli = 3; }, {}, {"Cpt"}},
      {"F 147 0", [] { ExtrapAlgo1 = 0; }, {"Czcenter_old"}, {"Ckdist_old"}},
      {"F 147 1", [] { ExtrapAlgo1 = 1; }, {}, {"Czcenter_old", "Ckdist_old"}},
      {"F 170", [] { FlagFastWatersolve = 1; }, {"CinvApf", "Cff", "Csourcem"}, {}},
      {"F 152 2", [] { MGSNo = 2; }, {"MGSCpoint"}, {}},
      {"F 168", [] { Flag2DAccSolver = 1; }, {"MGSCpoint"}, {}},
      {"G 1 two sizes", [] { lnumber = 2; }, {"Catm", "Cabm", "Capm", "Csourcem"}, {"Caem"}},
      {"two sizes, fast driver", [] { lnumber = 2; FlagFastWatersolve = 1; },
       {"Catm", "CinvApf", "Csourcem"}, {}},
      {"five sizes, fast driver", [] { lnumber = 5; FlagFastWatersolve = 1; },
       {"Catm", "Csourcem", "CinvApf"}, {}},
      {"F 37 3", [] { FlagTSC = 3; }, transientSediment, {"Caem"}},
      {"F 37 3, F 78 5", [] { FlagTSC = 3; BedLoadVectorFlag = 5; },
       plus(transientSediment, {"Caem", "Canm", "Casm", "Cawm"}), {}},
      {"F 78 5 alone", [] { BedLoadVectorFlag = 5; }, {}, {"Caem"}},
      {"F 50", [] { NoComponents = 2; }, {"Ccomp"}, {"Ccomp_old"}},
      {"F 50 transient", [] { NoComponents = 2; TimeStep = 1.0; },
       plus(transient, {"Ccomp", "Ccomp_old"}), {}},
      {"F 64 9", [] { UMethod = 9; }, {"crackI", "crackJ", "vn"}, {"numc"}},
      {"F 64 14", [] { UMethod = 14; }, {"numc"}, {"crackI"}},
      {"F 64 15", [] { UMethod = 15; }, {"numc"}, {}},
      {"F 394 1", [] { FlagRemovePonds = 1; }, {"Bponds"}, {"ridgeI"}},
      {"F 394 1001", [] { FlagRemovePonds = 1001; }, {"Bponds", "ridgeI", "ridgeJ"}, {}},
      {"F 488", [] { UMethod2 = 1; },
       {"antlinT", "antT", "pointint", "intSurfI", "intSurfJ", "intSurfK", "TurbFlag",
        "thickturb", "thickturbIJ", "TurbTop"},
       {}},
      {"F 499", [] { FlagDuneShearPartCross = 1; }, {"bedshear"}, {}},
      {"F 339", [] { FlagUnstrucThixo = 1; }, {"Bcelltt_old"}, {}},
      {"F 238 3", [] { FlagNestTop = 3; }, {"Bnestcoarse"}, {}},
      {"F 255 2", [] { FlagBedchangeOption = 2; }, {"Bedlev", "Bsolidfraction"}, {}},
      {"F 385 5", [] { FlagCohesion = 5; }, {"BcohesionLevel", "Bcohesion"}, {}},
      {"F 385 1", [] { FlagCohesion = 1; }, {"Bcohesion"}, {"BcohesionLevel"}},
      {"F 330", [] { NoCohesiveDepth = 1; }, {"Bcohesion"}, {}},
      {"F 233 6", [] { FlagNonHydrostaticSurf = 6; }, {"Bpresavg"}, {}},
      {"F 233 7", [] { FlagNonHydrostaticSurf = 7; }, {"Bpresavg"}, {}},
      {"F 233 5", [] { FlagNonHydrostaticSurf = 5; }, {}, {"Bpresavg"}},
      {"F 36 50", [] { FlagTFS = 50; }, plus(carried, {"Bdeltah", "BsourceLS"}), {}},
      {"F 271", [] { FlagTFS2 = 1; }, {"Bdeltah"}, {"BsourceLS"}},
      // The groundwater flows in the mud-layer block, which reads the mud levels.
      {"F 262", [] { FlagGroundwater = 1; }, {"Bgroundwater", "Bthixolev", "BthixolevMin", "Bstrain"}, {}},
      {"F 274", [] { FlagBedAngles = 1; },
       {"BrooksUp", "BrooksDown", "BrooksLimit", "Bavalanche"}, {}},
      {"F 277", [] { FlagBedDefect = 1; }, {"Bdefect"}, {}},
      {"F 351", [] { solverFroude = 1; }, {"BLevFroude"}, {}},
      {"F 371", [] { FlagNoGridSplit = 1; }, {"Bminwaterlevel", "Bminlevdh"}, {}},
      {"F 376", [] { FlagBedConcentration = 3; }, {"BfGzeroTime", "BfGzeroHeight"}, {}},
      {"F 285 2", [] { FlagBedConcentration = 2; }, {}, {"BfGzeroTime"}},
      {"F 433", [] { FlagFractionsPrint = 1; }, {"Bfractionsprint"}, {}},
      {"F 417", [] { FlagPlastics = 1; }, {"BplasticDeposits"}, {}},
      {"F 400", [] { FlagHCB = 1; }, {"BCompDistrib"}, {}},
      {"F 79", [] { FlagBedCalc = 3; }, {"BQvar"}, {}},
      {"F 424", [] { FlagTracer = 1; }, {"tracerX", "tracerY", "DiamTracer", "BedTracer"}, {}},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.what);
    restart();
    c.set();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    for (const char* n : always) EXPECT_TRUE(exists(n)) << n;
    for (const char* n : c.present) EXPECT_TRUE(exists(n)) << n;
    // Everything optional that the case does not switch on stays absent.
    for (const char* n : optional) {
      bool on = false;
      for (const char* p : c.present) on = on || std::string(p) == n;
      if (!on) {
        EXPECT_FALSE(exists(n)) << n;
      }
    }
    for (const char* n : c.absent) EXPECT_FALSE(exists(n)) << n;
  }
}

TEST_F(UnstructuredArrays, Dimensions) {
  QNFlag = 1;
  FlagSoilStress = 1;
  FlagShallowWater = 1;
  FlagDragDLL = 1;
  VegVars = 2;
  VegLevels = 4;
  VegTimes = 3;
  FlagBedCalc = 3;
  FlagCohesion = 1;
  FlagHCB = 1;
  NoComponents = 2;
  TimeStep = 1.0;
  ArrayTimeSteps = 7;
  FlagTracer = 1;
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  const auto dims = [](const auto& t, std::vector<std::size_t> want) {
    std::vector<std::size_t> got;
    for (std::size_t d = 0; d < want.size(); ++d) got.push_back(t.dim(static_cast<int>(d)));
    return got == want;
  };
  EXPECT_EQ(Cflatee.size(), 100u);
  EXPECT_TRUE(dims(Cconc, {2, 100}));
  EXPECT_TRUE(dims(Cqncelle, {100, 4}));   // levels 0..znumber-1
  EXPECT_TRUE(dims(Cqnaw, {100, 4}));
  EXPECT_TRUE(dims(Cstress, {13, 100}));
  EXPECT_TRUE(dims(CU, {3, 100}));
  EXPECT_TRUE(dims(FF, {4, 200}));
  EXPECT_TRUE(dims(Ncell, {10, 4}));
  EXPECT_TRUE(dims(Nvect, {10, 4, 3}));
  EXPECT_TRUE(dims(connFlate, {5, 2}));
  EXPECT_TRUE(dims(ant, {5, 4}));
  EXPECT_TRUE(dims(num, {5, 4, 6}));
  EXPECT_EQ(Sqt.size(), 6u);               // max(3, 2, 4) + 2
  EXPECT_EQ(Bcellt.size(), 30u);           // (3 + 3)(2 + 3)
  EXPECT_TRUE(dims(Bconc, {2, 30}));
  EXPECT_TRUE(dims(Bcohesion, {3, 30}));
  EXPECT_TRUE(dims(BSedDistrib, {3, 2, 30}));
  EXPECT_TRUE(dims(BCompDistrib, {3, 2, 30}));
  EXPECT_TRUE(dims(BQvar, {3, 30}));
  EXPECT_TRUE(dims(Bveg, {30, 3, 3, 4}));  // [bed cell][time][variable 0..VegVars][level]
  EXPECT_EQ(VegTime.size(), 4u);
  EXPECT_TRUE(dims(Ccomp, {2, 100}));
  EXPECT_EQ(TimeInTime.size(), 8u);
  EXPECT_TRUE(dims(Cinn, {8, 20}));
  EXPECT_TRUE(dims(Winn, {8, 3}));
  EXPECT_TRUE(dims(QDinn, {8, 10}));
  EXPECT_TRUE(dims(TimePrintVar, {20, 25}));
  EXPECT_EQ(tracerX.size(), 1000u);
  EXPECT_EQ(BedTracer.size(), 1000u);
}

// Level 1 of the grid sequencing alone (F 152 2) keeps a parent and a bottom cell per cell; the
// multigrid levels of F 168 keep four children, with F 152 2 too.
TEST_F(UnstructuredArrays, GridSequencingPointsPerCell) {
  struct Case {
    int mgs, acc;
    std::size_t points;
  };
  for (const Case& c : std::vector<Case>{{2, 0, 2}, {1, 0, 5}, {3, 0, 5}, {0, 1, 5}, {2, 1, 5}}) {
    SetArraysZero();
    MGSNo = c.mgs;
    Flag2DAccSolver = c.acc;
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    EXPECT_EQ(MGSCpoint.dim(0), 100u);
    EXPECT_EQ(MGSCpoint.dim(1), c.points) << c.mgs << " " << c.acc;
  }
}

// The small configuration with the defaults of every option (MaxNester 10 > 1, F 153 1,
// F 147 2, steady):
constexpr double kUnstructuredBytes =
    27 * 100 * 4          // cell topology
    + 2 * 100 * 4         // Ccoarsenest, Cinterpolnest
    + 43 * 100 * 8        // cell geometry, flow and coefficients
    + 6 * 100 * 8         // residual fields
    + 100 * 8             // Ckdist_old
    + 2 * 6 * 8           // Sqt, Spt: max(3, 2, 4) + 2
    + (2 * 100 * 8 + 2 * 8)  // Cconc
    + 13 * 200 * 4 + 12 * 200 * 8  // surfaces
    + 3 * 150 * 8 + 3 * 150 * 4    // points
    + (10 * 4 * 4 + 10 * 8)        // Ncell
    + 4 * 10 * 4                   // Ninoutwall, Npflate, Npcelle, Npblock
    + (10 * 4 * 3 * 8 + (10 + 40) * 8)  // Nvect
    + (10 * 4 * 8 + 10 * 8)        // Nweight
    + 10 * 8                       // Nflux
    + (5 * 2 * 4 + 5 * 8)          // connFlate
    + 5 * (5 * 4 * 4 + 5 * 8)      // ant, antlin, antmin, antmax, vv
    + (5 * 4 * 6 * 4 + (5 + 20) * 8)  // num
    + 8 * 30 * 4 + 10 * 30 * 8     // bed cells
    + 4 * (2 * 30 * 8 + 2 * 8)     // Bconc, Bap, Bsource, Bvolleft
    + (3 * 2 * 30 * 8 + (3 + 6) * 8)  // BSedDistrib
    + 2 * (20 * 25 * 4 + 20 * 8) + (20 * 25 + 20 * 8);  // print-time items
static_assert(kUnstructuredBytes == 103748);

TEST_F(UnstructuredArrays, ReportForSmallConfiguration) {
  EXPECT_DOUBLE_EQ(AllocateArrays(1, 1, 1), kUnstructuredBytes * 1e-6);
  EXPECT_EQ(log(), "Have allocated         0.10 Mbytes unstructured arrays\n\n");
  EXPECT_EQ(mc_message, "Unstructured arrays o.k     ");
}

TEST_F(UnstructuredArrays, OutOfMemoryReportsTheBytesCountedSoFar) {
  struct Case {
    const char* what;
    std::function<void()> set;
    const char* text;
    const char* missing;
  };
  const std::vector<Case> cases = {
      // Bveg is 30 x VegTimes x 2 x VegLevels elements: beyond 64 bits. Before it everything
      // of the report but the print-time items (4980 bytes), plus Cporosity (800).
      {"vegetation too large",
       [] { FlagDragDLL = 1; VegTimes = 2000000000; VegLevels = 2000000000; },
       "Allocated 0.099568 Mbyte when out of memory\n", "Bveg"},
      // A negative count of size rows: the cell arrays before Cconc, 51696 bytes.
      {"negative size rows", [] { lnumber = -3; },
       "Allocated 0.051696 Mbyte when out of memory\n", "Cconc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    restart();
    std::remove("boogie");
    c.set();
    EXPECT_EQ(AllocateArrays(1, 1, 1), -1.0);
    EXPECT_EQ(log(), c.text);
    EXPECT_TRUE(Cflatee);  // arrays allocated before stay allocated
    EXPECT_FALSE(exists(c.missing));
    EXPECT_FALSE(TimePrinti);
  }
}

TEST_F(UnstructuredArrays, SecondCallEndsTheRun) {
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  const std::string before = log();
  EXPECT_EQ(endStatus([] { AllocateArrays(1, 1, 1); }), -1);
  EXPECT_EQ(log(), before);
}

TEST_F(UnstructuredArrays, CallableAgainAfterSetArraysZero) {
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  ASSERT_EQ(sialloc(), 0);
  NoCells = 5;
  NoSurfaces = 6;
  NoPoints = 7;
  NoConnFlate = 2;
  SetArraysZero();
  for (const auto* rows : {&structuredArrays(), &unstructuredArrays()})
    for (const ArrayRow& a : *rows) EXPECT_FALSE(a.allocated()) << a.name;
  EXPECT_EQ(NoCells + NoSurfaces + NoPoints + NoConnFlate, 0);

  MaxCeller = 40;
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  EXPECT_EQ(Cflatee.size(), 40u);
  EXPECT_EQ(Cconc.dim(1), 40u);
}

TEST_F(UnstructuredArrays, BedCompositionStart) {
  struct Case {
    const char* what;
    int lnum;
    int ndata;
    std::vector<double> sample;  // SedimentSample[0][1..]
    std::vector<double> want;    // layers 0 and 1, sizes 0..lnumber
  };
  const std::vector<Case> cases = {
      {"no N data", 3, 0, {0.2, 0.3, 0.5}, {0, 1, 0, 0}},
      {"N data", 3, 1, {0.2, 0.3, 0.5}, {0, 0.2, 0.3, 0.5}},
      {"two N data sets", 2, 2, {0.6, 0.4}, {0, 0.6, 0.4}},
      {"fracres file only", 3, -1, {0.2, 0.3, 0.5}, {0, 1, 0, 0}},
      {"one size", 1, 0, {1.0}, {0, 1}},
      {"no sizes", 0, 0, {}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetArraysZero();
    lnumber = c.lnum;
    FlagReadNdata = c.ndata;
    for (std::size_t l = 0; l < c.sample.size(); ++l) SedimentSample[0][l + 1] = c.sample[l];
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    for (int layer = 0; layer <= 2; ++layer)
      for (int b = 0; b < 30; ++b)
        for (int l = 0; l <= c.lnum; ++l) {
          const double want = layer <= 1 && b >= 1 ? c.want[l] : 0.0;
          ASSERT_EQ(BSedDistrib[layer][l][b], want) << layer << " " << l << " " << b;
        }
  }
}

TEST_F(UnstructuredArrays, MinimumWaterLevelsStartBelowEveryRequirement) {
  FlagNoGridSplit = 1;
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  EXPECT_EQ(Bminwaterlevel[0], 0.0);
  for (int b = 1; b < 30; ++b) ASSERT_EQ(Bminwaterlevel[b], -1000.0) << b;
  for (int b = 0; b < 30; ++b) ASSERT_EQ(Bminlevdh[b], 0.0) << b;
}

TEST_F(UnstructuredArrays, ResetOfTheTopologyForTheTwoLayerGrid) {
  struct Case {
    int umethod2;
    double turbTop11;  // TurbTop[1][1]: bed 2.0, water 3.0, F 509 0.5
    double turbTop22;  // TurbTop[2][2]: bed 2.8, water 3.0
  };
  for (const Case& c : std::vector<Case>{{1, 2.5, 3.0}, {2, 3.0, 3.0}, {3, 9.0, 9.0}}) {
    SCOPED_TRACE(c.umethod2);
    SetArraysZero();
    UMethod2 = c.umethod2;
    QNFlag = 1;
    TurbThick = 0.5;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    NoCells = 10;
    NoSurfaces = 20;
    NoPoints = 30;
    FlagGridHasChanged = 0;
    FlagNeedsToBeInterpolated = 0;
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        zval[i][j][0] = 10 * i + j + 1;  // bottom cell of the column
        zval[i][j][1] = i == 2 && j == 2 ? 2.8 : 2.0;
        zval[i][j][znumber] = 3.0;
        TurbTop[i][j] = 9.0;
        for (auto* t : {&antlin, &antlinT, &ant, &antT, &pointint, &pointcell, &intSurfI,
                        &intSurfJ, &intSurfK, &antmin, &vv})
          (*t)[i][j] = 4;
        for (int k = 0; k <= znumber + 1; ++k) num[i][j][k] = 5;
      }
    for (int n = 0; n < MaxConnFlate; ++n) connFlate[n][0] = connFlate[n][1] = 6;
    for (int e = 0; e < MaxCeller; ++e) {
      for (auto* t : {&Cflates, &Cflatee, &Cflaten, &Cflatew, &Cflateb, &Cflatet, &Ccells,
                      &Ccelle, &Ccelln, &Ccellw, &Ccellb, &Ccellt, &CflagDim, &Conecell,
                      &Ctrekant, &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4, &Cpoint5, &Cpoint6,
                      &Cpoint7, &Cpoint8, &Cncells, &Cncelle, &Cncellw, &Cncelln, &Cbed})
        (*t)[e] = 7;
      for (int k = 0; k < znumber; ++k)
        for (auto* t : {&Cqncells, &Cqncelle, &Cqncellw, &Cqncelln}) (*t)[e][k] = 7;
      Cxvel[e] = 1.5;
    }
    for (int f = 0; f < MaxFlater; ++f) {
      for (auto* t : {&Fcell1, &Fcell2, &Fcell11, &Fcell22, &Ftype1, &Ftype2, &Fqndum,
                      &Fflagflow, &Fpoint1})
        (*t)[f] = 8;
    }

    setArraysZeroUnstruc();

    EXPECT_EQ(NoCells + NoSurfaces + NoPoints, 0);
    EXPECT_EQ(FlagGridHasChanged, 1);
    EXPECT_EQ(FlagNeedsToBeInterpolated, 1);
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        for (auto* t : {&antlin, &antlinT, &ant, &antT, &pointint, &pointcell, &intSurfI,
                        &intSurfJ, &intSurfK})
          ASSERT_EQ((*t)[i][j], 0) << i << " " << j;
        ASSERT_EQ(antmin[i][j], 4);  // the reset leaves it
        ASSERT_EQ(vv[i][j], 4);
        for (int k = 0; k <= znumber + 1; ++k) ASSERT_EQ(num[i][j][k], 0);
        // Columns 0..xnumber, 0..ynumber lose their bottom cell, which becomes the previous
        // grid's; the spare last line keeps its value.
        const bool inner = i <= xnumber && j <= ynumber;
        ASSERT_EQ(zval[i][j][0], inner ? 0.0 : 10 * i + j + 1) << i << " " << j;
        ASSERT_EQ(pointcell_old[i][j], inner ? 10 * i + j + 1 : 0) << i << " " << j;
      }
    EXPECT_EQ(TurbTop[1][1], c.turbTop11);
    EXPECT_EQ(TurbTop[2][2], c.turbTop22);
    for (int n = 0; n < MaxConnFlate; ++n) {
      ASSERT_EQ(connFlate[n][0], 0);
      ASSERT_EQ(connFlate[n][1], 6);
    }
    for (int e = 0; e < MaxCeller; ++e) {
      for (auto* t : {&Cflates, &Cflatee, &Cflaten, &Cflatew, &Cflateb, &Cflatet, &Ccells,
                      &Ccelle, &Ccelln, &Ccellw, &Ccellb, &Ccellt, &CflagDim, &Conecell,
                      &Ctrekant, &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4, &Cpoint5, &Cpoint6,
                      &Cpoint7, &Cpoint8, &Cncells, &Cncelle, &Cncellw, &Cncelln})
        ASSERT_EQ((*t)[e], 0) << e;
      for (int k = 0; k < znumber; ++k)
        for (auto* t : {&Cqncells, &Cqncelle, &Cqncellw, &Cqncelln}) ASSERT_EQ((*t)[e][k], 0);
      ASSERT_EQ(Cbed[e], 7);
      ASSERT_EQ(Cxvel[e], 1.5);
    }
    for (int f = 0; f < MaxFlater; ++f) {
      for (auto* t : {&Fcell1, &Fcell2, &Fcell11, &Fcell22, &Ftype1, &Ftype2, &Fqndum})
        ASSERT_EQ((*t)[f], 0) << f;
      ASSERT_EQ(Fflagflow[f], 8);
      ASSERT_EQ(Fpoint1[f], 8);
    }
  }
}

TEST_F(UnstructuredArrays, ResetWithoutTheTwoLayerTables) {
  // Without F 488 and F 137 the optional tables do not exist; the reset leaves them alone.
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  ant[1][1] = 3;
  Ccellt[4] = 5;
  setArraysZeroUnstruc();
  EXPECT_EQ(ant[1][1], 0);
  EXPECT_EQ(Ccellt[4], 0);
  EXPECT_FALSE(TurbTop);
  EXPECT_FALSE(pointcell);
}

// ---------------------------------------------------------------------------------------------
// Both tables

TEST_F(Arrays, EveryRowHasItsOwnName) {
  std::set<std::string> names;
  std::size_t rows = 0;
  for (const auto* table : {&structuredArrays(), &unstructuredArrays()})
    for (const ArrayRow& a : *table) {
      ++rows;
      EXPECT_TRUE(names.insert(a.name).second) << a.name;
      EXPECT_EQ(findArray(a.name), &a);
    }
  EXPECT_EQ(names.size(), rows);
  EXPECT_EQ(findArray("NoSuchArray"), nullptr);
}

#ifdef QORVA_TABLE_NAMES
// The allocation table gives every array its name, so an index check of the test build says
// which array was indexed past its end.
TEST_F(Arrays, IndexCheckNamesTheGlobalArray) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GE(AllocateArrays(1, 1, 1), 0.0);
  EXPECT_DEATH(Cxvel[MaxCeller] = 1, "index check: Cxvel\\[100\\] is outside 0\\.\\.99");
  EXPECT_DEATH(zval[0][0][znumber + 2] = 1,
               "index check: zval\\[\\.\\]\\[\\.\\]\\[6\\] is outside 0\\.\\.5");
  Cf.pointOwn();
  EXPECT_DEATH(Cf[MaxCeller] = 1, "index check: Cf\\[100\\]");
  Cf.point(Cepsilon);
  EXPECT_DEATH(Cf[-1] = 1, "index check: Cepsilon\\[-1\\]");
  Cf.pointOwn();
}
#endif

TEST_F(Arrays, LogThatCannotBeOpenedEndsTheRun) {
  std::filesystem::create_directory("boogie");
  EXPECT_EQ(endStatus([] { sialloc(); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
  EXPECT_FALSE(xval);
  EXPECT_EQ(endStatus([] { AllocateArrays(1, 1, 1); }), -3);
  EXPECT_FALSE(Cflatee);
}

TEST_F(Arrays, ShowDoesNothing) {
  show();
  EXPECT_FALSE(Cflatee);
  EXPECT_FALSE(std::filesystem::exists("boogie"));
}

}  // namespace
}  // namespace qorva
