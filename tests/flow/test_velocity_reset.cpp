// The velocity reset at the vertical profiles of P 17: two columns of three cells; the profile
// columns keep their bottom and top velocities, every other cell comes to rest, and every
// cell's velocity goes to its previous time level. A record whose step is 0 ends.
#include "flow/flow.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/options.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class VelocityReset : public test::Scratch {};

TEST_F(VelocityReset, ProfileColumnsKeepBottomAndTop) {
  struct Case {
    const char* name;
    VerticalProfile profile;
    bool kept;  // the bottom and top cells of both columns keep their velocities
  };
  const Case cases[] = {
      {"both columns", {2, 3, 2, 2, 1, 1}, true},
      {"step 0 passed by", {2, 3, 2, 2, 0, 1}, false},
      {"negative step passed by", {2, 3, 2, 2, 1, -1}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    TimeStep = 1.0;  // the previous time level exists
    const test::Box b = test::makeBox({1.0, 1.0}, {1.0}, {0.1, 0.1, 0.1});
    for (int c = 1; c <= b.cells(); ++c) {
      Cxvel[c] = c;
      Cyvel[c] = -c;
      Czvel[c] = 0.1 * c;
    }
    NoVProfiles = 1;
    VProfiles[1] = k.profile;
    setVelocitiesZero();
    for (int c = 1; c <= b.cells(); ++c) {
      SCOPED_TRACE(c);
      EXPECT_EQ(Cxvel_old[c], c);
      EXPECT_EQ(Cyvel_old[c], -c);
      const bool end = (c - 1) % 3 != 1;  // bottom or top of its column
      const double u = k.kept && end ? c : 0.0;
      EXPECT_EQ(Cxvel[c], u);
      EXPECT_EQ(Cyvel[c], -u);
      EXPECT_DOUBLE_EQ(Czvel[c], 0.1 * u);
    }
  }
}

}  // namespace
}  // namespace qorva
