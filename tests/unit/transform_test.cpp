#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/transform.h"

namespace {

float FromBits(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

uint32_t BitsOf(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

}  // namespace

TEST(Transform, QuarterTurnLeavesTheSinglePrecisionCosine) {
  Matrix4 m;
  ASSERT_EQ(1, MakeRotationX(&m, FromBits(0x3FC90FDB)));
  EXPECT_FLOAT_EQ(-4.3711388e-08f, m.m[1][1]);
  EXPECT_EQ(1.0f, m.m[1][2]);
  EXPECT_EQ(-1.0f, m.m[2][1]);
  EXPECT_EQ(m.m[1][1], m.m[2][2]);
  EXPECT_EQ(1.0f, m.m[0][0]);
  EXPECT_EQ(1.0f, m.m[3][3]);
  EXPECT_EQ(0, MakeRotationX(nullptr, 1.0f));
}

TEST(Transform, PointTimesMatrixAsRowVector) {
  Matrix4 m = {{{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 20, 30, 1}}};
  float in[3] = {1, 1, 1};
  float out[3];
  ASSERT_EQ(1, TransformPoint(out, in, &m));
  EXPECT_EQ(22.0f, out[0]);
  EXPECT_EQ(35.0f, out[1]);
  EXPECT_EQ(48.0f, out[2]);
}

TEST(Transform, SumsAreFormedInTheFixedOrder) {
  // With y*m10 = 1, x*m00 = 2^24 and z*m20 = 1, adding y first keeps both ones:
  // (1 + 2^24) rounds to 2^24 in single precision only when added the other way.
  Matrix4 m = {{{16777216.0f, 0, 0, 0}, {1, 0, 0, 0}, {-16777216.0f, 0, 0, 0}, {0, 0, 0, 1}}};
  float in[3] = {1, 1, 1};
  float out[3];
  TransformPoint(out, in, &m);
  float y = 1.0f, x = 16777216.0f, z = -16777216.0f;
  float expected = (y + x) + z;
  EXPECT_EQ(BitsOf(expected), BitsOf(out[0]));
}

TEST(Transform, InPlaceGivesTheSameResult) {
  Matrix4 m;
  MakeRotationX(&m, FromBits(0x3FC90FDB));
  m.m[3][0] = 5.0f;
  float p[3] = {1.0f, 2.0f, 3.0f};
  float separate[3];
  TransformPoint(separate, p, &m);
  TransformPoint(p, p, &m);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(BitsOf(separate[k]), BitsOf(p[k]));
}

TEST(Transform, NearlyEqualIsAStrictSinglePrecisionTolerance) {
  EXPECT_EQ(1, FloatsNearlyEqual(1.0f, 1.00009f));
  EXPECT_EQ(0, FloatsNearlyEqual(1.0f, 1.0002f));
  EXPECT_EQ(1, FloatsNearlyEqual(-0.0f, 0.0f));
  float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(0, FloatsNearlyEqual(nan, nan));
  EXPECT_EQ(0, FloatsNearlyEqual(1.0f, nan));
  float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(0, FloatsNearlyEqual(inf, inf));
  // Exactly the tolerance apart is not nearly equal.
  EXPECT_EQ(0, FloatsNearlyEqual(0.0001f, 0.0f));
}

TEST(Transform, PointsCompareComponentByComponent) {
  float p[3] = {1, 2, 3};
  float q[3] = {1.00005f, 2, 2.99995f};
  float r[3] = {1, 2.001f, 3};
  EXPECT_EQ(1, PointsNearlyEqual(p, q));
  EXPECT_EQ(0, PointsNearlyEqual(p, r));
  EXPECT_EQ(0, PointsNearlyEqual(p, nullptr));
}
