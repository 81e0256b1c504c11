// The allocation tables of the structured and unstructured arrays, sialloc, AllocateArrays,
// SetArraysZero and setArraysZeroUnstruc. Sizes come from G 1, F 65 and the module data sets
// named in the conditions; every array starts zero-filled and lives to the end of the run.
#include "state/arrays.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <type_traits>

#include "bed/bed_modes.h"
#include "flow/flow_modes.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "surface/surface_modes.h"

namespace qorva {

namespace {

using Cond = bool (*)();

template <class Tab>
struct Named {
  const char* name;
  Tab* table;
};
#define QORVA_ARRAY(x) Named<std::remove_reference_t<decltype(x)>>{#x, &(x)}

// Dimensions in 64 bits: the sizes are ints, and their sums and products must not wrap.
template <class... T>
std::array<long long, sizeof...(T)> dims(T... n) {
  return {static_cast<long long>(n)...};
}

// Bed cells are numbered from 1; the capacity is (xnumber+3)(ynumber+3), -1 when a size is
// negative (which no allocation accepts).
long long bedCells() {
  const long long x = xnumber + 3LL, y = ynumber + 3LL;
  return x < 0 || y < 0 ? -1 : x * y;
}

template <class Tab, class Dims>
ArrayRow row(const char* name, Tab& t, Cond when, Dims size, bool afterReport = false) {
  ArrayRow r;
  r.name = name;
  t.setName(name);  // what an index check of the test build prints
  r.when = when;
  // A negative size, or an element count beyond what memory can address, takes the
  // out-of-memory path instead of wrapping into a small table.
  r.allocate = [&t, size] {
    const auto d = size();
    for (long long n : d)
      if (n < 0) return false;
    return std::apply([&t](auto... n) { return t.allocate(n...); }, d);
  };
  r.bytes = [&t] { return t.bytes(); };
  r.allocated = [&t] { return static_cast<bool>(t); };
  r.release = [&t] { t.release(); };
  r.afterReport = afterReport;
  return r;
}

// One row per array, all with the same condition and dimensions.
template <class Dims, class... Tab>
void add(std::vector<ArrayRow>& r, Cond when, Dims size, Named<Tab>... arrays) {
  (r.push_back(row(arrays.name, *arrays.table, when, size)), ...);
}

bool always() { return true; }
bool transient() { return TimeStep > 1e-8; }
bool secondOrderUpwind() { return sou[1] == 1 || sou[3] == 1 || sou[8] == 1 || SouComp == 1; }
bool nested() { return FlagCoupledNesting >= 1 || FlagNestTop >= 3; }
bool mudOrSoil() { return mudFlow() || FlagSoilStress >= 1; }
// The mud-layer block of the groundwater reads and keeps the mud levels too.
bool mudLevels() { return mudOrSoil() || mudLayerGrid(); }
bool sizeCoefficients() { return lnumber >= 2 || FlagTSC == 3; }
bool bedLevels() { return FlagBedchangeOption >= 2 || FlagTSC == 3 || mudFlow(); }
bool twoLayer() { return UMethod2 > 0; }
// A steady run whose free surface rebuilds the grid between iterations: without a previous
// time level it needs arrays of its own to carry the fields to the new grid.
bool steadyRegrid() { return !transient() && FlagTFS != 0; }

// Size of the second index of MGSCpoint: 2 with F 152 2 alone (its level 1 keeps a parent
// and a bottom cell), else 5 (the multigrid levels of F 168 keep four children).
int mgsPoints() { return MGSNo == 2 && Flag2DAccSolver < 1 ? 2 : 5; }

// Planes of num: the levels of the columns, and the multigrid levels of F 168 (at most
// ln(largest block extent) + 2 of them; a block extent is at most max(xnumber, ynumber) + 1)
// and of the grid sequencing (F 152 - 1).
long long numPlanes() {
  long long planes = std::max(znumber, MGSNo);
  if (Flag2DAccSolver > 0)
    planes = std::max<long long>(
        planes, static_cast<long long>(std::log(std::max(xnumber, ynumber) + 1.0)) + 3);
  return planes + 2;
}

// Line positions of the block correction: one per grid line, and with F 98 1 the j-lines of
// all blocks chained (at most ynumber lines in each of the 99 block records).
long long linePositions() {
  long long n = std::max({xnumber, ynumber, znumber}) + 2LL;
  if (BlockMethodFlag == 1) n = std::max(n, 99LL * ynumber + 2);
  return n;
}

}  // namespace

const std::vector<ArrayRow>& structuredArrays() {
  static const std::vector<ArrayRow> rows = [] {
    std::vector<ArrayRow> r;
    auto grid = [] { return dims(xnumber + 2LL, ynumber + 2LL); };
    add(r, always, grid, QORVA_ARRAY(xval), QORVA_ARRAY(yval));
    add(r, always, [] { return dims(xnumber + 2LL, ynumber + 2LL, znumber + 2LL); },
        QORVA_ARRAY(zval));
    add(r, always, grid, QORVA_ARRAY(P), QORVA_ARRAY(Q));
    add(r, always,
        [] {
          const int planes = FlagThixo != 0 || FlagMorphStatistics != 0 || mudLayerGrid() ? 8 : 5;
          return dims(planes, xnumber + 2LL, ynumber + 2LL);
        },
        QORVA_ARRAY(Surfaces));
    add(r, always, grid, QORVA_ARRAY(armap), QORVA_ARRAY(roughness), QORVA_ARRAY(pointbed),
        QORVA_ARRAY(bedOutBlock));
    add(r, twoLayer, grid, QORVA_ARRAY(pointcell));
    add(r, always, grid, QORVA_ARRAY(pointcell_old));
    add(r, nested, [] { return dims(xnumber + 2LL, ynumber + 2LL, 2); }, QORVA_ARRAY(pointnest));
    add(r, [] { return FlagSmoothNewCorners > 0; }, grid, QORVA_ARRAY(wetdryCornerFlag));
    add(r, [] { return BedStatI1 > 0; }, [] { return dims(BedStatI2 + 2LL, BedStatJ2 + 2LL); },
        QORVA_ARRAY(bedStatDepth), QORVA_ARRAY(bedStatBed), QORVA_ARRAY(bedStatDev),
        QORVA_ARRAY(bedStatK));
    auto bagger = [] { return MaxNoBagger > 0; };
    add(r, bagger, [] { return dims(MaxNoBagger, xnumber + 2LL, ynumber + 2LL); },
        QORVA_ARRAY(baggerZval));
    add(r, bagger, [] { return dims(MaxNoBagger); }, QORVA_ARRAY(zugabeZval));
    add(r, bagger, [] { return dims(MaxNoBagger, lnumber + 1LL); }, QORVA_ARRAY(zugabeFractions));
    auto regres = [] { return PresRegres > 0; };
    add(r, regres, grid, QORVA_ARRAY(PresRegresSumPres), QORVA_ARRAY(PresRegresSumXPres),
        QORVA_ARRAY(PresRegresSumX), QORVA_ARRAY(PresRegresSumXX), QORVA_ARRAY(PresRegresN));
    // The inspace tables come after the report line and are not counted in it.
    auto inspaceSized = [] { return InspaceAlloc > 0; };
    r.push_back(row("Tinspace", Tinspace, inspaceSized,
                    [] { return dims(InspaceAlloc + 2LL, 20, 20); }, true));
    r.push_back(row("TinspaceTime", TinspaceTime, inspaceSized,
                    [] { return dims(InspaceAlloc + 2LL); }, true));
    return r;
  }();
  return rows;
}

const std::vector<ArrayRow>& unstructuredArrays() {
  static const std::vector<ArrayRow> rows = [] {
    std::vector<ArrayRow> r;
    auto cells = [] { return dims(MaxCeller); };
    auto cellLevels = [] { return dims(MaxCeller, znumber); };
    auto surfaces = [] { return dims(MaxFlater); };
    auto points = [] { return dims(MaxPunkter); };
    auto nests = [] { return dims(MaxNester); };
    auto grid = [] { return dims(xnumber + 2LL, ynumber + 2LL); };
    auto beds = [] { return dims(bedCells()); };
    auto sizeBeds = [] { return dims(lnumber + 1LL, bedCells()); };
    auto layerBeds = [] { return dims(NoBedLayers + 1LL, bedCells()); };
    auto layerSizeBeds = [] { return dims(NoBedLayers + 1LL, lnumber + 1LL, bedCells()); };

    // Cells.
    add(r, always, cells, QORVA_ARRAY(Cflatee), QORVA_ARRAY(Cflatew), QORVA_ARRAY(Cflates),
        QORVA_ARRAY(Cflaten), QORVA_ARRAY(Cflatet), QORVA_ARRAY(Cflateb), QORVA_ARRAY(Ccelle),
        QORVA_ARRAY(Ccellw), QORVA_ARRAY(Ccells), QORVA_ARRAY(Ccelln), QORVA_ARRAY(Ccellt),
        QORVA_ARRAY(Ccellb), QORVA_ARRAY(Cpoint1), QORVA_ARRAY(Cpoint2), QORVA_ARRAY(Cpoint3),
        QORVA_ARRAY(Cpoint4), QORVA_ARRAY(Cpoint5), QORVA_ARRAY(Cpoint6), QORVA_ARRAY(Cpoint7),
        QORVA_ARRAY(Cpoint8), QORVA_ARRAY(CflagDim), QORVA_ARRAY(Cisolve),
        QORVA_ARRAY(Cjsolve), QORVA_ARRAY(Cinout), QORVA_ARRAY(Conecell),
        QORVA_ARRAY(Ctrekant), QORVA_ARRAY(Cbed));
    add(r, [] { return MaxNester > 1; }, cells, QORVA_ARRAY(Ccoarsenest),
        QORVA_ARRAY(Cinterpolnest));
    add(r, [] { return FlagPresGrad == 20; }, cells, QORVA_ARRAY(CcellAe),
        QORVA_ARRAY(CcellAw), QORVA_ARRAY(CcellAs), QORVA_ARRAY(CcellAn));
    auto qn = [] { return QNFlag > 0; };
    add(r, qn, cells, QORVA_ARRAY(Cncelle), QORVA_ARRAY(Cncellw), QORVA_ARRAY(Cncells),
        QORVA_ARRAY(Cncelln));
    add(r, qn, cellLevels, QORVA_ARRAY(Cqncelle), QORVA_ARRAY(Cqncellw),
        QORVA_ARRAY(Cqncells), QORVA_ARRAY(Cqncelln));
    add(r, qn, cellLevels, QORVA_ARRAY(Cqnae), QORVA_ARRAY(Cqnaw), QORVA_ARRAY(Cqnas),
        QORVA_ARRAY(Cqnan));
    add(r, [] { return QNFlag > 0 && secondOrderUpwind(); }, cellLevels, QORVA_ARRAY(Cqnaee),
        QORVA_ARRAY(Cqnaww), QORVA_ARRAY(Cqnass), QORVA_ARRAY(Cqnann));
    add(r, always, cells, QORVA_ARRAY(Cdxdi), QORVA_ARRAY(Cdxdj), QORVA_ARRAY(Cdxdk),
        QORVA_ARRAY(Cdydi), QORVA_ARRAY(Cdydj), QORVA_ARRAY(Cdydk), QORVA_ARRAY(Cdzdi),
        QORVA_ARRAY(Cdzdj), QORVA_ARRAY(Cdzdk), QORVA_ARRAY(Cidist), QORVA_ARRAY(Cjdist),
        QORVA_ARRAY(Ckdist), QORVA_ARRAY(Cxcenter), QORVA_ARRAY(Cycenter),
        QORVA_ARRAY(Czcenter), QORVA_ARRAY(CinvAp), QORVA_ARRAY(Cvol), QORVA_ARRAY(Cxvel),
        QORVA_ARRAY(Cyvel), QORVA_ARRAY(Czvel), QORVA_ARRAY(Cpres), QORVA_ARRAY(Ckinen),
        QORVA_ARRAY(Cepsilon), QORVA_ARRAY(Cdensgradi), QORVA_ARRAY(Cdensgradj),
        Named<Table1<double>>{"Cf", &CfOwn}, Named<Table1<double>>{"Cf_old", &Cf_oldOwn},
        QORVA_ARRAY(Cgamma), QORVA_ARRAY(CgammaV),
        QORVA_ARRAY(Careax), QORVA_ARRAY(Careay), QORVA_ARRAY(Careaz),
        QORVA_ARRAY(Croughness), QORVA_ARRAY(Cap), QORVA_ARRAY(Cae), QORVA_ARRAY(Caw),
        QORVA_ARRAY(Cas), QORVA_ARRAY(Can), QORVA_ARRAY(Cat), QORVA_ARRAY(Cab),
        QORVA_ARRAY(Cfn), QORVA_ARRAY(CnInvAp), QORVA_ARRAY(Csource));
    add(r, [] { return secondOrderUpwind() || levelEquationSecondNeighbours(); }, cells,
        QORVA_ARRAY(Caee), QORVA_ARRAY(Caww), QORVA_ARRAY(Cass), QORVA_ARRAY(Cann),
        QORVA_ARRAY(Catt), QORVA_ARRAY(Cabb));
    add(r, transient, cells, QORVA_ARRAY(Cxvel_old), QORVA_ARRAY(Cyvel_old),
        QORVA_ARRAY(Czvel_old), QORVA_ARRAY(Cpres_old), QORVA_ARRAY(Ckinen_old),
        QORVA_ARRAY(Cepsilon_old), QORVA_ARRAY(CinvAp_old));
    add(r, [] { return transient() && FlagTimeOrder > 0; }, cells, QORVA_ARRAY(Cxvel_old2),
        QORVA_ARRAY(Cyvel_old2), QORVA_ARRAY(Czvel_old2));
    add(r, steadyRegrid, cells, QORVA_ARRAY(Cxvel_carry), QORVA_ARRAY(Cyvel_carry),
        QORVA_ARRAY(Czvel_carry), QORVA_ARRAY(Cpres_carry), QORVA_ARRAY(Ckinen_carry),
        QORVA_ARRAY(Cepsilon_carry), QORVA_ARRAY(CinvAp_carry));
    add(r, steadyRegrid, [] { return dims(lnumber + 1LL, MaxCeller); },
        QORVA_ARRAY(Cconc_carry));
    add(r, [] { return FlagSIMPLE > 0; }, cells, QORVA_ARRAY(CinvApP));
    add(r, [] { return FlagSIMPLE > 0 && FlagSIMPLE != 1; }, cells, QORVA_ARRAY(CxvelP),
        QORVA_ARRAY(CyvelP), QORVA_ARRAY(CzvelP));
    add(r, [] { return FlagResidual == 1; }, cells, QORVA_ARRAY(Cxvel_res),
        QORVA_ARRAY(Cyvel_res), QORVA_ARRAY(Czvel_res), QORVA_ARRAY(Cpres_res),
        QORVA_ARRAY(Ckinen_res), QORVA_ARRAY(Cepsilon_res));
    add(r, [] { return FlagDragDLL > 0; }, cells, QORVA_ARRAY(Cporosity));
    add(r, mudOrSoil, cells, QORVA_ARRAY(Cthixolev), QORVA_ARRAY(Cthixorat));
    auto soil = [] { return FlagSoilStress >= 1; };
    add(r, soil, [] { return dims(13, MaxCeller); }, QORVA_ARRAY(Cstress));
    add(r, soil, cells, QORVA_ARRAY(Cxmove), QORVA_ARRAY(Cymove), QORVA_ARRAY(Czmove));
    auto shallow = [] { return FlagShallowWater >= 1; };
    add(r, shallow, [] { return dims(3, MaxCeller); }, QORVA_ARRAY(CU), QORVA_ARRAY(CF),
        QORVA_ARRAY(CG));
    add(r, shallow, [] { return dims(4, MaxFlater); }, QORVA_ARRAY(FF), QORVA_ARRAY(FG));
    add(r, [] { return TurbDensFlag == 5; }, cells, QORVA_ARRAY(CdampDensity));
    add(r,
        [] {
          return FlagTDMA > 0 || FlagCoupledNesting == 18 || BlockCasulli == 2 ||
                 (Flag2DAccSolver > 0 && (FlagSolverVertTDMA == 1 || FlagSolverVertTDMA == 2));
        },
        cells, QORVA_ARRAY(Cpt), QORVA_ARRAY(Cqt));
    add(r, always, [] { return dims(linePositions()); }, QORVA_ARRAY(Sqt), QORVA_ARRAY(Spt));
    add(r, [] { return ExtrapAlgo1 == 0; }, cells, QORVA_ARRAY(Czcenter_old));
    add(r, [] { return ExtrapAlgo1 == 2; }, cells, QORVA_ARRAY(Ckdist_old));
    add(r, fastDriver, [] { return dims(5, MaxCeller); },
        QORVA_ARRAY(CinvApf), QORVA_ARRAY(Cff));
    add(r, [] { return gridSequencing() || Flag2DAccSolver >= 1; },
        [] { return dims(MaxCeller, mgsPoints()); }, QORVA_ARRAY(MGSCpoint));
    add(r, always, [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Cconc));
    add(r, transient, [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Cconc_old));
    add(r, sizeCoefficients, [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Catm),
        QORVA_ARRAY(Cabm), QORVA_ARRAY(Capm));
    // The sources of the sizes, and the five fields of the fast flow driver (u, v, w, k,
    // epsilon), which the sediment loop's steps use in turn: as many rows as either needs.
    add(r, [] { return sizeCoefficients() || fastDriver(); },
        [] { return dims(std::max(lnumber + 1LL, fastDriver() ? 5LL : 0LL), MaxCeller); },
        QORVA_ARRAY(Csourcem));
    add(r, [] { return FlagTSC == 3 && BedLoadVectorFlag >= 5; },
        [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Caem), QORVA_ARRAY(Canm),
        QORVA_ARRAY(Casm), QORVA_ARRAY(Cawm));
    add(r, [] { return sizeCoefficients() && sou[7] == 1; },
        [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Cattm), QORVA_ARRAY(Cabbm));
    add(r, [] { return FlagTSC == 3 && BedLoadVectorFlag >= 5 && sou[7] == 1; },
        [] { return dims(lnumber + 1LL, MaxCeller); }, QORVA_ARRAY(Caeem), QORVA_ARRAY(Cawwm),
        QORVA_ARRAY(Cannm), QORVA_ARRAY(Cassm));
    add(r, [] { return NoComponents >= 1; }, [] { return dims(NoComponents, MaxCeller); },
        QORVA_ARRAY(Ccomp));
    add(r, [] { return NoComponents >= 1 && transient(); },
        [] { return dims(NoComponents, MaxCeller); }, QORVA_ARRAY(Ccomp_old));

    // Surfaces and points.
    add(r, always, surfaces, QORVA_ARRAY(Fcell1), QORVA_ARRAY(Fcell2), QORVA_ARRAY(Fcell11),
        QORVA_ARRAY(Fcell22), QORVA_ARRAY(Ftype1), QORVA_ARRAY(Ftype2), QORVA_ARRAY(Fflagflow),
        QORVA_ARRAY(Fpoint1), QORVA_ARRAY(Fpoint2), QORVA_ARRAY(Fpoint3), QORVA_ARRAY(Fpoint4),
        QORVA_ARRAY(Fin), QORVA_ARRAY(Fqndum));
    add(r, always, surfaces, QORVA_ARRAY(Fflux), QORVA_ARRAY(Fdgrad), QORVA_ARRAY(Fdz),
        QORVA_ARRAY(Farea), QORVA_ARRAY(Fdist1), QORVA_ARRAY(Fdist2), QORVA_ARRAY(Fax),
        QORVA_ARRAY(Fay), QORVA_ARRAY(Faz), QORVA_ARRAY(Fvx), QORVA_ARRAY(Fvy),
        QORVA_ARRAY(Fvz));
    add(r, always, points, QORVA_ARRAY(Px), QORVA_ARRAY(Py), QORVA_ARRAY(Pz), QORVA_ARRAY(Pc),
        QORVA_ARRAY(Pi), QORVA_ARRAY(Pj));

    // Nests and block joints.
    auto nesting = [] { return MaxNester > 0; };
    add(r, nesting, [] { return dims(MaxNester, 4); }, QORVA_ARRAY(Ncell));
    add(r, nesting, nests, QORVA_ARRAY(Ninoutwall), QORVA_ARRAY(Npflate),
        QORVA_ARRAY(Npcelle), QORVA_ARRAY(Npblock));
    add(r, nesting, [] { return dims(MaxNester, 4, 3); }, QORVA_ARRAY(Nvect));
    add(r, nesting, [] { return dims(MaxNester, 4); }, QORVA_ARRAY(Nweight));
    add(r, nesting, nests, QORVA_ARRAY(Nflux));
    add(r, always, [] { return dims(MaxConnFlate, 2); }, QORVA_ARRAY(connFlate));

    // Column and level tables of the grid generator.
    add(r, always, grid, QORVA_ARRAY(ant), QORVA_ARRAY(antlin), QORVA_ARRAY(antmin),
        QORVA_ARRAY(antmax), QORVA_ARRAY(vv));
    add(r, [] { return UMethod == 9; }, grid, QORVA_ARRAY(crackI), QORVA_ARRAY(crackJ),
        QORVA_ARRAY(vn));
    add(r, [] { return FlagRemovePonds > 1000; }, grid, QORVA_ARRAY(ridgeI),
        QORVA_ARRAY(ridgeJ));
    add(r, twoLayer, grid, QORVA_ARRAY(antlinT), QORVA_ARRAY(antT), QORVA_ARRAY(pointint),
        QORVA_ARRAY(intSurfI), QORVA_ARRAY(intSurfJ), QORVA_ARRAY(intSurfK),
        QORVA_ARRAY(TurbFlag), QORVA_ARRAY(thickturb), QORVA_ARRAY(thickturbIJ),
        QORVA_ARRAY(TurbTop));
    add(r, [] { return FlagDuneShearPartCross > 0; }, grid, QORVA_ARRAY(bedshear));
    auto levels = [] { return dims(xnumber + 2LL, ynumber + 2LL, znumber + 2LL); };
    add(r, always, [] { return dims(xnumber + 2LL, ynumber + 2LL, numPlanes()); },
        QORVA_ARRAY(num));
    add(r, [] { return UMethod == 14 || UMethod == 15; }, levels, QORVA_ARRAY(numc));

    // Bed cells.
    add(r, always, beds, QORVA_ARRAY(Bcellt), QORVA_ARRAY(Bcellt_old), QORVA_ARRAY(Bcellth),
        QORVA_ARRAY(Bnocells), QORVA_ARRAY(Bnocells_old), QORVA_ARRAY(Bkooi),
        QORVA_ARRAY(Bkooj), QORVA_ARRAY(BlayerTop));
    add(r, [] { return FlagUnstrucThixo > 0; }, beds, QORVA_ARRAY(Bcelltt_old));
    add(r, nested, beds, QORVA_ARRAY(Bnestcoarse));
    add(r, [] { return FlagRemovePonds > 0; }, beds, QORVA_ARRAY(Bponds));
    add(r, [] { return FlagTSC == 3; }, beds, QORVA_ARRAY(Barmourthick));
    add(r, always, beds, QORVA_ARRAY(Bdepth), QORVA_ARRAY(Bdepth_old), QORVA_ARRAY(Bfly),
        QORVA_ARRAY(Bedformheight), QORVA_ARRAY(Broughness), QORVA_ARRAY(Bd90),
        QORVA_ARRAY(BFroude), QORVA_ARRAY(Bedmove), QORVA_ARRAY(Binout), QORVA_ARRAY(Barea));
    add(r, bedLevels, beds, QORVA_ARRAY(Bedlev));
    add(r, [] { return FlagCohesion >= 5; }, beds, QORVA_ARRAY(BcohesionLevel));
    add(r, mudLevels, beds, QORVA_ARRAY(Bthixolev), QORVA_ARRAY(BthixolevMin),
        QORVA_ARRAY(Bstrain));
    add(r, [] { return FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7; }, beds,
        QORVA_ARRAY(Bpresavg));
    add(r, [] { return bedCellLevelScheme() || FlagTFS2 >= 1; }, beds, QORVA_ARRAY(Bdeltah));
    add(r, bedCellLevelScheme, beds, QORVA_ARRAY(BsourceLS));
    add(r, [] { return FlagGroundwater > 0; }, beds, QORVA_ARRAY(Bgroundwater));
    add(r, [] { return FlagBedAngles > 0; }, beds, QORVA_ARRAY(BrooksUp),
        QORVA_ARRAY(BrooksDown), QORVA_ARRAY(BrooksLimit), QORVA_ARRAY(Bavalanche));
    add(r, [] { return FlagBedDefect > 0; }, beds, QORVA_ARRAY(Bdefect));
    add(r, [] { return solverFroude > 0; }, beds, QORVA_ARRAY(BLevFroude));
    add(r, [] { return FlagNoGridSplit > 0; }, beds, QORVA_ARRAY(Bminwaterlevel),
        QORVA_ARRAY(Bminlevdh));
    add(r, [] { return FlagBedConcentration == 3; }, beds, QORVA_ARRAY(BfGzeroTime),
        QORVA_ARRAY(BfGzeroHeight));
    add(r, [] { return FlagFractionsPrint > 0; }, beds, QORVA_ARRAY(Bfractionsprint));
    add(r, [] { return TurbDensFlag > 0; }, beds, QORVA_ARRAY(BTugrad),
        QORVA_ARRAY(BTdischarge), QORVA_ARRAY(BTheight));
    add(r, always, sizeBeds, QORVA_ARRAY(Bconc), QORVA_ARRAY(Bap), QORVA_ARRAY(Bsource),
        QORVA_ARRAY(Bvolleft));
    add(r, [] { return FlagTSC == 3; }, sizeBeds, QORVA_ARRAY(Bupflux),
        QORVA_ARRAY(Bbedchange));
    add(r, [] { return FlagPlastics > 0; }, sizeBeds, QORVA_ARRAY(BplasticDeposits));
    add(r, bedLevels, layerBeds, QORVA_ARRAY(Bsolidfraction));
    add(r, [] { return FlagCohesion >= 1 || NoCohesiveDepth >= 1; }, layerBeds,
        QORVA_ARRAY(Bcohesion));
    add(r, always, layerSizeBeds, QORVA_ARRAY(BSedDistrib));
    add(r, [] { return FlagHCB > 0; }, layerSizeBeds, QORVA_ARRAY(BCompDistrib));
    add(r, [] { return FlagBedCalc > 0; }, [] { return dims(FlagBedCalc, bedCells()); },
        QORVA_ARRAY(BQvar));
    auto vegetation = [] { return FlagDragDLL > 0; };
    add(r, vegetation,
        [] { return dims(bedCells(), VegTimes, VegVars + 1LL, VegLevels); }, QORVA_ARRAY(Bveg));
    add(r, vegetation, [] { return dims(VegTimes + 1LL); }, QORVA_ARRAY(VegTime));
    add(r, [] { return FlagTracer > 0; }, [] { return dims(1000); }, QORVA_ARRAY(tracerX),
        QORVA_ARRAY(tracerY), QORVA_ARRAY(DiamTracer), QORVA_ARRAY(BedTracer));

    // Time series and print times.
    auto entries = [] { return dims(ArrayTimeSteps + 1LL); };
    add(r, transient, entries, QORVA_ARRAY(TimeInTime), QORVA_ARRAY(TimeInTimStep),
        QORVA_ARRAY(TimeInHinn), QORVA_ARRAY(TimeInHout), QORVA_ARRAY(Irradi),
        QORVA_ARRAY(AirTemp));
    // Cinn rows hold 20 component inflows, or lnumber sediment sizes of each of up to 9
    // inflow groups at lnumber x g + l.
    add(r, transient,
        [] { return dims(ArrayTimeSteps + 1LL, std::max(20LL, 9LL * lnumber + 1)); },
        QORVA_ARRAY(Cinn));
    add(r, transient, [] { return dims(ArrayTimeSteps + 1LL, 3); }, QORVA_ARRAY(Winn));
    add(r, transient, [] { return dims(ArrayTimeSteps + 1LL, 10); }, QORVA_ARRAY(QDinn));
    add(r, always, [] { return dims(20, 25); }, QORVA_ARRAY(TimePrinti),
        QORVA_ARRAY(TimePrintl), QORVA_ARRAY(TimePrintVar));
    return r;
  }();
  return rows;
}

#undef QORVA_ARRAY

const ArrayRow* findArray(std::string_view name) {
  for (const auto* rows : {&structuredArrays(), &unstructuredArrays()})
    for (const ArrayRow& a : *rows)
      if (name == a.name) return &a;
  return nullptr;
}

void SetArraysZero() {
  for (const ArrayRow& a : structuredArrays()) a.release();
  for (const ArrayRow& a : unstructuredArrays()) a.release();
  Cf.pointOwn();  // whatever it designated has just been released
  Cf_old.pointOwn();
  Cf_old2.pointOwn();
  NoCells = NoSurfaces = NoPoints = NoConnFlate = 0;
}

// Allocates the missing arrays of one stage of a table whose condition holds and adds their
// bytes to `bytes`; on failure logs the bytes counted so far and returns false.
static bool allocateRows(const std::vector<ArrayRow>& rows, bool afterReport,
                         std::size_t& bytes) {
  for (const ArrayRow& a : rows) {
    if (a.afterReport != afterReport || a.allocated() || !a.when()) continue;
    if (!a.allocate()) {
      logf("Allocated %lf Mbyte when out of memory\n", static_cast<double>(bytes) * 1e-6);
      return false;
    }
    bytes += a.bytes();
  }
  return true;
}

int sialloc() {
  logf("%s", "");  // ends the run with -3 now if the log cannot be opened
  mc_message = "Initializing arrays";
  // zdistrib of the grid generator holds 5000 levels. Tested before anything is allocated,
  // so a refused size never costs memory.
  if (znumber > 4997) failf(-2, "Error - increase zdistrib array, nz = %d\n", znumber + 2);
  std::size_t bytes = 0;
  if (!allocateRows(structuredArrays(), false, bytes)) return -1;
  logf("Have allocated %12.2lf Mbytes structured arrays\n", static_cast<double>(bytes) * 1e-6);
  if (!allocateRows(structuredArrays(), true, bytes)) return -1;
  // bedOutBlock starts zero-filled and is not cleared again: a later call must keep the
  // removed-region marks that the reader sets after the first one.
  mc_message = "Initiation of arrays o.k";
  return 0;
}

double AllocateArrays(int, int, int) {
  logf("%s", "");  // ends the run with -3 now if the log cannot be opened
  mc_message = "Initializing arrays";
  if (Cflatee) endRun(-1);
  std::size_t bytes = 0;
  if (!allocateRows(unstructuredArrays(), false, bytes)) return -1.0;

  // Start composition of the two top bed layers: the first N data set, or all of size 1.
  const long long nb = bedCells();
  if (BSedDistrib && lnumber >= 1) {
    for (int layer = 0; layer <= 1 && layer <= NoBedLayers; ++layer)
      for (long long b = 1; b < nb; ++b)
        for (int l = 1; l <= lnumber; ++l)
          BSedDistrib[layer][l][b] = FlagReadNdata >= 1 ? SedimentSample[0][l] : l == 1 ? 1.0 : 0.0;
  }
  if (Bminwaterlevel)
    for (long long b = 1; b < nb; ++b) Bminwaterlevel[b] = -1000.0;

  const double mb = static_cast<double>(bytes) * 1e-6;
  logf("Have allocated %12.2lf Mbytes unstructured arrays\n\n", mb);
  mc_message = "Unstructured arrays o.k     ";
  return mb;
}

namespace {

template <class Tab>
void clear(Tab& t) {
  if (t) std::fill(t.data(), t.data() + t.size(), 0);
}

template <class... Tab>
void clearAll(Tab&... t) {
  (clear(t), ...);
}

}  // namespace

void setArraysZeroUnstruc() {
  NoPoints = NoCells = NoSurfaces = 0;
  FlagGridHasChanged = 1;
  FlagNeedsToBeInterpolated = 1;

  // Column and level tables over all grid lines 0..xnumber+1, 0..ynumber+1, 0..znumber+1.
  clearAll(antlin, antlinT, ant, antT, pointint, pointcell, intSurfI, intSurfJ, intSurfK, num);

  if (TurbTop && zval && (UMethod2 == 1 || UMethod2 == 2)) {
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        const double top = zval[i][j][znumber];
        TurbTop[i][j] = UMethod2 == 1 ? std::min(top, zval[i][j][1] + TurbThick) : top;
      }
  }

  if (connFlate)
    for (int n = 0; n < MaxConnFlate; ++n) connFlate[n][0] = 0;

  clearAll(Cflates, Cflatee, Cflaten, Cflatew, Cflateb, Cflatet);
  clearAll(Ccells, Ccelle, Ccelln, Ccellw, Ccellb, Ccellt);
  clearAll(CflagDim, Conecell, Ctrekant);
  clearAll(Cpoint1, Cpoint2, Cpoint3, Cpoint4, Cpoint5, Cpoint6, Cpoint7, Cpoint8);
  if (QNFlag >= 1)
    clearAll(Cncells, Cncelle, Cncellw, Cncelln, Cqncells, Cqncelle, Cqncellw, Cqncelln);

  clearAll(Fcell1, Fcell2, Fcell11, Fcell22, Ftype1, Ftype2, Fqndum);

  // The bottom cell of each column becomes the previous grid's, as the main generator keeps
  // it, before the column is emptied.
  if (zval)
    for (int i = 0; i <= xnumber; ++i)
      for (int j = 0; j <= ynumber; ++j) {
        if (pointcell_old) pointcell_old[i][j] = static_cast<int>(zval[i][j][0]);
        zval[i][j][0] = 0;
      }
}

void show() {}

}  // namespace qorva
