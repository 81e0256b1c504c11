// Which flow driver runs, by F 328, F 170, F 152 and F 68: the task W and the sediment loop
// each test them in their own order, one table each, the first row that holds wins.
// Reads those options; the frozen flow of F 68 2 writes the area of the discharge groups.
#include <cmath>
#include <span>

#include "flow/flow.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

struct Choice {
  bool (*holds)();
  FlowDriver driver;
};

// The task W. No row holds for F 68 2 or 4 (or F 152 below 0): no flow is computed.
const Choice kTaskChoices[] = {
    {[] { return FlagWaterSolveNew == 1; }, FlowDriver::Restructured},
    {[] { return FlagFastWatersolve > 0; }, FlowDriver::Fast},
    {[] { return MGSNo > 0; }, FlowDriver::GridSequencing},
    {[] { return Hydrostatic == 1; }, FlowDriver::Hydrostatic},
    {[] { return Hydrostatic == 3; }, FlowDriver::DepthAveraged},
    {[] { return Hydrostatic == 0 && MGSNo == 0; }, FlowDriver::Main},
};

// The time step of the sediment loop: F 68 0 before F 152, and the frozen flow of F 68 2 and
// the depth-averaged start of F 68 4 besides.
const Choice kSedimentChoices[] = {
    {[] { return FlagWaterSolveNew == 1; }, FlowDriver::Restructured},
    {[] { return FlagFastWatersolve >= 1; }, FlowDriver::Fast},
    {[] { return Hydrostatic == 0 && MGSNo == 0; }, FlowDriver::Main},
    {[] { return Hydrostatic == 0 && MGSNo > 0; }, FlowDriver::GridSequencing},
    {[] { return Hydrostatic == 0; }, FlowDriver::None},  // F 152 below 0
    {[] { return MGSNo >= 1; }, FlowDriver::GridSequencing},
    {[] { return Hydrostatic == 1; }, FlowDriver::Hydrostatic},
    {[] { return Hydrostatic == 2; }, FlowDriver::Frozen},
    {[] { return Hydrostatic == 3; }, FlowDriver::DepthAveraged},
    {[] { return Hydrostatic == 4; }, FlowDriver::DepthAveragedThenMain},
};

FlowDriver firstThatHolds(std::span<const Choice> table) {
  for (const Choice& row : table)
    if (row.holds()) return row.driver;
  return FlowDriver::None;
}

// The flow is frozen: the group areas follow the present grid.
void frozenFlowGroupAreas() {
  for (int g = 0; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (std::fabs(d.massDischarge) <= 1e-20) continue;
    double a = 0;
    for (int k = 0; k < d.surfaceNo; ++k) a += Farea[d.surfaceList[k]];
    d.area = a;
  }
}

}  // namespace

FlowDriver chooseFlowDriver(FlowCaller caller) {
  return firstThatHolds(caller == FlowCaller::Task ? std::span<const Choice>(kTaskChoices)
                                                   : std::span<const Choice>(kSedimentChoices));
}

void callFlowDriver(FlowCaller caller) {
  switch (chooseFlowDriver(caller)) {
    case FlowDriver::None: break;
    case FlowDriver::Main: WaterSolve(); break;
    case FlowDriver::Restructured: WaterSolveNew(); break;
    case FlowDriver::Fast: WaterSolveFast(); break;
    case FlowDriver::GridSequencing: MGSsolver(); break;
    case FlowDriver::Hydrostatic: WaterSolveHydrostatic(); break;
    case FlowDriver::DepthAveraged: WaterSolve2D(); break;
    case FlowDriver::DepthAveragedThenMain:
      WaterSolve2D();
      WaterSolve();
      break;
    case FlowDriver::Frozen: frozenFlowGroupAreas(); break;
  }
}

}  // namespace qorva
