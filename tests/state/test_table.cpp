// The array types: layout, zero fill, allocation test, byte counts, overflow refusal and the
// index checks of the test build, which name the array and the index that failed.
#include <gtest/gtest.h>

#include "state/cells.h"
#include "state/table.h"

namespace qorva {
namespace {

TEST(Table, EmptyUntilAllocatedThenZeroFilled) {
  Table2<double> a;
  EXPECT_FALSE(a);
  ASSERT_TRUE(a.allocate(3, 4));
  EXPECT_TRUE(a);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(a[i][j], 0.0);
  a.release();
  EXPECT_FALSE(a);
}

TEST(Table, LastIndexFastestInOneBlock) {
  Table3<int> a;
  ASSERT_TRUE(a.allocate(2, 3, 4));
  a[1][2][3] = 7;
  a[0][1][0] = 5;
  EXPECT_EQ(a.data()[1 * 12 + 2 * 4 + 3], 7);
  EXPECT_EQ(a.data()[4], 5);
  EXPECT_EQ(&a[0][0][1] - &a[0][0][0], 1);
  EXPECT_EQ(&a[0][1][0] - &a[0][0][0], 4);
  Table4<double> b;
  ASSERT_TRUE(b.allocate(2, 2, 2, 3));
  b[1][1][1][2] = 1.5;
  EXPECT_EQ(b.data()[b.size() - 1], 1.5);
}

// The allocation report counts the elements and one row handle per row of every level.
TEST(Table, BytesCountElementsAndRowHandles) {
  struct Case { long long n0, n1, n2; std::size_t expected; };
  Table1<double> one;
  ASSERT_TRUE(one.allocate(10));
  EXPECT_EQ(one.bytes(), 80u);
  Table2<int> two;
  ASSERT_TRUE(two.allocate(5, 7));
  EXPECT_EQ(two.bytes(), 5u * 7 * 4 + 5 * sizeof(void*));
  Table3<double> three;
  ASSERT_TRUE(three.allocate(2, 3, 4));
  EXPECT_EQ(three.bytes(), 24u * 8 + (2 + 6) * sizeof(void*));
}

TEST(Table, RefusesSizesWhoseProductOverflows) {
  Table3<double> a;
  EXPECT_FALSE(a.allocate(1LL << 40, 1LL << 30, 1LL << 20));
  EXPECT_FALSE(a);
  Table1<int> b;
  EXPECT_FALSE(b.allocate(-5));
}

TEST(Table, FixedTableStartsZero) {
  Fixed<int, 4> f;
  for (int v : f) EXPECT_EQ(v, 0);
  f[3] = 2;
  EXPECT_EQ(f.v[3], 2);
}

#ifdef QORVA_TABLE_NAMES
// An index check ends the process; the message says which array and which of its indexes.
class TableBounds : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(TableBounds, FailureNamesTheArrayAndTheIndex) {
  Table1<double> one;
  ASSERT_TRUE(one.allocate(10));
  one.setName("Cxvel");
  Table2<int> two;
  ASSERT_TRUE(two.allocate(3, 4));
  two.setName("Cconc");
  Table3<double> three;
  ASSERT_TRUE(three.allocate(2, 3, 5));
  three.setName("zval");
  Table4<float> four;
  ASSERT_TRUE(four.allocate(2, 2, 2, 2));
  four.setName("Nvect");
  Table1<int> unnamed;
  ASSERT_TRUE(unnamed.allocate(2));

  EXPECT_DEATH(one[10] = 1, "index check: Cxvel\\[10\\] is outside 0\\.\\.9");
  EXPECT_DEATH(one[-1] = 1, "index check: Cxvel\\[-1\\] is outside 0\\.\\.9");
  EXPECT_DEATH(two[3][0] = 1, "Cconc\\[3\\] is outside 0\\.\\.2");
  EXPECT_DEATH(two[1][4] = 1, "Cconc\\[\\.\\]\\[4\\] is outside 0\\.\\.3");
  EXPECT_DEATH(three[1][2][5] = 1, "zval\\[\\.\\]\\[\\.\\]\\[5\\] is outside 0\\.\\.4");
  EXPECT_DEATH(four[0][0][0][2] = 1,
               "Nvect\\[\\.\\]\\[\\.\\]\\[\\.\\]\\[2\\] is outside 0\\.\\.1");
  EXPECT_DEATH(unnamed[2] = 1, "an unnamed table\\[2\\] is outside 0\\.\\.1");
  // Indexes inside the table pass.
  one[9] = 1;
  two[2][3] = 1;
  three[1][2][4] = 1;
  EXPECT_EQ(one[9] + two[2][3] + three[1][2][4], 3.0);
}

// A field reference names the array it designates: its own, a table or a row of one.
TEST_F(TableBounds, FieldReferenceNamesWhatItDesignates) {
  Table1<double> own, other;
  ASSERT_TRUE(own.allocate(4));
  own.setName("Cf");
  ASSERT_TRUE(other.allocate(6));
  other.setName("Ckinen");
  Table2<double> rows;
  ASSERT_TRUE(rows.allocate(3, 5));
  rows.setName("Cconc");
  FieldRef f(own);
  EXPECT_DEATH(f[4] = 1, "Cf\\[4\\] is outside 0\\.\\.3");
  f.point(other);
  EXPECT_DEATH(f[6] = 1, "Ckinen\\[6\\] is outside 0\\.\\.5");
  f.point(rows[2]);
  EXPECT_DEATH(f[5] = 1, "Cconc\\[\\.\\]\\[5\\] is outside 0\\.\\.4");
}
#endif

}  // namespace
}  // namespace qorva
