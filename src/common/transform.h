// 4x4 single-precision transforms, row-major, used with row vectors (p' = p * M):
// rows 0 to 2 are the axes, row 3 the translation.
#pragma once

#include <cstring>

struct Matrix4 {
  float m[4][4];
};

// Fills `m` with a rotation about the X axis by `angle` radians, in single precision:
// rows (1,0,0,0), (0,c,s,0), (0,-s,c,0), (0,0,0,1).
int MakeRotationX(Matrix4* m, float angle);

// out = in * m for a point with an implied fourth component 1. `in` is read whole
// before `out` is written, so both may be the same storage. Each sum is formed as
// ((y*m[1][k] + x*m[0][k]) + z*m[2][k]) + m[3][k]. Inline: readers and writers call it
// once per vertex. The sums of the four columns are formed side by side in one vector
// of the compiler's (each lane in single precision, in the order above, as the plain
// sums would be) and the fourth is dropped.
inline int TransformPoint(float* out, const float* in, const Matrix4* m) {
  using Columns = float __attribute__((vector_size(16)));
  if (out == nullptr || in == nullptr || m == nullptr) return 0;
  const float x = in[0];
  const float y = in[1];
  const float z = in[2];
  Columns rows[4];
  std::memcpy(rows, m->m, sizeof rows);
  Columns sums = y * rows[1] + x * rows[0];
  sums = sums + z * rows[2];
  sums = sums + rows[3];
  std::memcpy(out, &sums, 3 * sizeof(float));
  return 1;
}

// 1 when |a - b| < 0.0001 in single precision; a NaN difference is unequal.
int FloatsNearlyEqual(float a, float b);

// FloatsNearlyEqual for x, then y, then z.
int PointsNearlyEqual(const float* p, const float* q);

// The identity transform.
Matrix4 IdentityMatrix();
