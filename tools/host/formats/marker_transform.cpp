#include "formats/marker_transform.h"

#include <cmath>

namespace host {

namespace {

// The x mirror between the SOD file's axes and glTF's.
constexpr double kMirror[3] = {-1.0, 1.0, 1.0};
constexpr double kRightAngleTolerance = 1e-4;

double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const double* a, const double* b, double* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// The quaternion (x y z w) of an orthonormal right-handed basis given as columns.
void QuaternionOfBasis(const double m[3][3], double q[4]) {
  // m[c][r]: column c, row r.
  double trace = m[0][0] + m[1][1] + m[2][2];
  if (trace > 0) {
    double s = std::sqrt(trace + 1.0) * 2;
    q[3] = 0.25 * s;
    q[0] = (m[1][2] - m[2][1]) / s;
    q[1] = (m[2][0] - m[0][2]) / s;
    q[2] = (m[0][1] - m[1][0]) / s;
  } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
    double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2;
    q[3] = (m[1][2] - m[2][1]) / s;
    q[0] = 0.25 * s;
    q[1] = (m[1][0] + m[0][1]) / s;
    q[2] = (m[2][0] + m[0][2]) / s;
  } else if (m[1][1] > m[2][2]) {
    double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2;
    q[3] = (m[2][0] - m[0][2]) / s;
    q[0] = (m[1][0] + m[0][1]) / s;
    q[1] = 0.25 * s;
    q[2] = (m[2][1] + m[1][2]) / s;
  } else {
    double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2;
    q[3] = (m[0][1] - m[1][0]) / s;
    q[0] = (m[2][0] + m[0][2]) / s;
    q[1] = (m[2][1] + m[1][2]) / s;
    q[2] = 0.25 * s;
  }
}

}  // namespace

void NodeMatrixOfRows(const float rows[4][3], double matrix[16]) {
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 3; ++r) matrix[c * 4 + r] = kMirror[r] * kMirror[c] * static_cast<double>(rows[c][r]);
    matrix[c * 4 + 3] = 0.0;
    matrix[12 + c] = kMirror[c] * static_cast<double>(rows[3][c]);
  }
  matrix[15] = 1.0;
}

void RowsOfNodeMatrix(const double matrix[16], float rows[4][3]) {
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 3; ++r) rows[c][r] = static_cast<float>(kMirror[r] * kMirror[c] * matrix[c * 4 + r]);
    rows[3][c] = static_cast<float>(kMirror[c] * matrix[12 + c]);
  }
}

bool IsIdentityMatrix(const double matrix[16]) {
  for (int i = 0; i < 16; ++i) {
    if (matrix[i] != (i % 5 == 0 ? 1.0 : 0.0)) return false;
  }
  return true;
}

bool IsTranslationRotationScale(const double matrix[16]) {
  if (matrix[3] != 0 || matrix[7] != 0 || matrix[11] != 0 || matrix[15] != 1) return false;
  const double* axes[3] = {matrix, matrix + 4, matrix + 8};
  double lengths[3];
  for (int i = 0; i < 3; ++i) {
    lengths[i] = std::sqrt(Dot(axes[i], axes[i]));
    if (!std::isfinite(lengths[i]) || lengths[i] <= 0) return false;
  }
  for (int i = 0; i < 3; ++i) {
    int j = (i + 1) % 3;
    if (std::fabs(Dot(axes[i], axes[j])) > kRightAngleTolerance * lengths[i] * lengths[j]) return false;
  }
  return std::isfinite(matrix[12]) && std::isfinite(matrix[13]) && std::isfinite(matrix[14]);
}

void DecomposeMatrix(const double matrix[16], double translation[3], double rotation[4], double scale[3]) {
  double basis[3][3];
  for (int i = 0; i < 3; ++i) translation[i] = matrix[12 + i];
  // Gram-Schmidt in column order; a zero axis keeps the unit axis in its place.
  for (int c = 0; c < 3; ++c) {
    double axis[3] = {matrix[c * 4], matrix[c * 4 + 1], matrix[c * 4 + 2]};
    scale[c] = std::sqrt(Dot(axis, axis));
    for (int k = 0; k < c; ++k) {
      double along = Dot(axis, basis[k]);
      for (int r = 0; r < 3; ++r) axis[r] -= along * basis[k][r];
    }
    double length = std::sqrt(Dot(axis, axis));
    for (int r = 0; r < 3; ++r) basis[c][r] = length > 0 ? axis[r] / length : (r == c ? 1.0 : 0.0);
  }
  double normal[3];
  Cross(basis[0], basis[1], normal);
  if (Dot(normal, basis[2]) < 0) {
    scale[0] = -scale[0];
    for (int r = 0; r < 3; ++r) basis[0][r] = -basis[0][r];
  }
  QuaternionOfBasis(basis, rotation);
}

void ComposeMatrix(const double translation[3], const double rotation[4], const double scale[3], double matrix[16]) {
  const double x = rotation[0], y = rotation[1], z = rotation[2], w = rotation[3];
  const double basis[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
                              {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
                              {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}};
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 3; ++r) matrix[c * 4 + r] = basis[c][r] * scale[c];
    matrix[c * 4 + 3] = 0.0;
    matrix[12 + c] = translation[c];
  }
  matrix[15] = 1.0;
}

}  // namespace host
