#include "common/transform.h"

#include <cmath>

int MakeRotationX(Matrix4* m, float angle) {
  if (m == nullptr) return 0;
  float c = cosf(angle);
  float s = sinf(angle);
  *m = Matrix4{{{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, c, s, 0.0f}, {0.0f, -s, c, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}};
  return 1;
}

int FloatsNearlyEqual(float a, float b) {
  const float difference = a - b;
  const float magnitude = static_cast<float>(std::fabs(static_cast<double>(difference)));
  return 0.0001f > magnitude ? 1 : 0;
}

int PointsNearlyEqual(const float* p, const float* q) {
  if (p == nullptr || q == nullptr) return 0;
  return FloatsNearlyEqual(p[0], q[0]) && FloatsNearlyEqual(p[1], q[1]) && FloatsNearlyEqual(p[2], q[2]) ? 1 : 0;
}

Matrix4 IdentityMatrix() {
  return Matrix4{
      {{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}};
}
