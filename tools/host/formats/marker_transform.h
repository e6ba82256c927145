// A marker's transform between the SOD file and glTF. The SOD file stores rows R0, R1,
// R2 (the axes) and T (the position) for row vectors; glTF a column-major 4x4 matrix
// for column vectors, in axes whose x is the SOD file's mirrored. Column c of the glTF
// matrix is R_c with the x mirror applied on both sides, so every value keeps its bits
// up to its sign.
#pragma once

namespace host {

// The glTF node matrix (column-major) of a marker's SOD rows.
void NodeMatrixOfRows(const float rows[4][3], double matrix[16]);

// The SOD rows of a glTF node matrix (its last row is taken to be 0, 0, 0, 1).
void RowsOfNodeMatrix(const double matrix[16], float rows[4][3]);

bool IsIdentityMatrix(const double matrix[16]);

// Whether glTF accepts the matrix as one: a translation, a rotation and a scale along
// the axes (the three axes orthogonal and none of zero length).
bool IsTranslationRotationScale(const double matrix[16]);

// The nearest translation, rotation (quaternion x y z w) and scale of a matrix: the
// axes' lengths as scale (x negative where the axes turn the other way), the rotation
// of the axes made orthogonal in order. Exact for a matrix that passes
// IsTranslationRotationScale, up to rounding.
void DecomposeMatrix(const double matrix[16], double translation[3], double rotation[4], double scale[3]);

// The column-major matrix of a translation, rotation (x y z w) and scale.
void ComposeMatrix(const double translation[3], const double rotation[4], const double scale[3], double matrix[16]);

}  // namespace host
