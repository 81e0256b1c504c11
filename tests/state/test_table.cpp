// The array types: layout, zero fill, allocation test, byte counts and overflow refusal.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qorva
