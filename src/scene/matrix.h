// Matrix and vector value types and the matrix primitives of the loaders.
//
// Matrices are 4x4 single-precision, stored row after row, with points as row vectors:
// (x, y, z, 1) times the matrix, translation in the fourth row, and A * B applies A first.
#pragma once

#include <array>
#include <cstddef>

namespace toravel {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

struct Vector2 {
    float u = 0.0f;
    float v = 0.0f;
    friend bool operator==(const Vector2&, const Vector2&) = default;
};

struct Matrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& operator()(int row, int col) { return m[static_cast<size_t>(row * 4 + col)]; }
    float operator()(int row, int col) const { return m[static_cast<size_t>(row * 4 + col)]; }
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

Matrix IdentityMatrix();
Matrix TranslationMatrix(float x, float y, float z);
Matrix RotationXMatrix(float angle);
Matrix RotationYMatrix(float angle);
Matrix RotationZMatrix(float angle);
// Entry (i, j) is the sum over k of a(i, k) * b(k, j), summed in k order in single precision.
Matrix Multiply(const Matrix& a, const Matrix& b);
// The general 4x4 inverse; a singular matrix gives the identity.
Matrix Inverse(const Matrix& m);
// RotationX(rx) * RotationY(ry) * RotationZ(rz) * Translation(px, py, pz).
Matrix EulerTransform(float px, float py, float pz, float rx, float ry, float rz);
// The row vector (p, 1) times m, without the projective divide.
Vector3 TransformPoint(const Vector3& p, const Matrix& m);

}  // namespace toravel
