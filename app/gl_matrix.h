#pragma once

#include <array>

// 4 x 4 matrices of doubles in column-major order, as OpenGL takes them: element m[4c + r]
// is row r of column c, and the translation lies in m[12..14].
using Matrix4 = std::array<double, 16>;
using Vec3 = std::array<double, 3>;

Matrix4 IdentityMatrix4();

// The view matrix of a camera: it maps `centre` to the origin and `eye` to (0, 0, 1), so
// the view scales the world by 1 / |eye - centre|, with `up` along +y. False, with `view`
// unchanged, when the camera is degenerate: eye on the centre, up along the viewing axis
// or of zero length, or a value that is not finite.
bool MakeLookAtMatrix(const Vec3& eye, const Vec3& centre, const Vec3& up, Matrix4& view);

// dst := src^-1 by cofactors. Returns 0 with `dst` unchanged when the determinant is zero
// (or not finite), else 1.
int InvertMatrix4(const Matrix4& src, Matrix4& dst);

// b := a * b.
void MultiplyMatrix4(const Matrix4& a, Matrix4& b);
