// 4 x 4 matrices of single floats, column by column as OpenGL takes them: the placement of an
// object's copy. Products and the inverse are worked out in double precision.
#pragma once

#include <array>

using Matrix4 = std::array<float, 16>;

Matrix4 IdentityMatrix();

// a x b: b applies to a point first.
Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b);

// False, with inverse untouched, when m has no inverse (or it would not be finite).
bool InvertMatrix(const Matrix4& m, Matrix4& inverse);

// Where m takes the point p (the last row taken as 0 0 0 1).
std::array<float, 3> TransformPoint(const Matrix4& m, const std::array<float, 3>& p);

// Whether every element is a finite number.
bool IsFiniteMatrix(const Matrix4& m);
