#include "scene/matrix.h"

#include <cmath>

namespace toravel {

Matrix IdentityMatrix() {
    return Matrix{};
}

Matrix TranslationMatrix(float x, float y, float z) {
    Matrix r;
    r(3, 0) = x;
    r(3, 1) = y;
    r(3, 2) = z;
    return r;
}

Matrix RotationXMatrix(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r;
    r(1, 1) = c;
    r(1, 2) = s;
    r(2, 1) = -s;
    r(2, 2) = c;
    return r;
}

Matrix RotationYMatrix(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r;
    r(0, 0) = c;
    r(0, 2) = -s;
    r(2, 0) = s;
    r(2, 2) = c;
    return r;
}

Matrix RotationZMatrix(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r;
    r(0, 0) = c;
    r(0, 1) = s;
    r(1, 0) = -s;
    r(1, 1) = c;
    return r;
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a(i, k) * b(k, j);
            }
            r(i, j) = sum;
        }
    }
    return r;
}

Matrix Inverse(const Matrix& m) {
    // Cofactor expansion in double precision; the result is rounded once to float.
    double a[16];
    for (size_t i = 0; i < 16; ++i) {
        a[i] = m.m[i];
    }
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) {
        return IdentityMatrix();
    }
    Matrix r;
    for (size_t i = 0; i < 16; ++i) {
        r.m[i] = static_cast<float>(inv[i] / det);
    }
    return r;
}

Matrix EulerTransform(float px, float py, float pz, float rx, float ry, float rz) {
    Matrix r = Multiply(RotationXMatrix(rx), RotationYMatrix(ry));
    r = Multiply(r, RotationZMatrix(rz));
    return Multiply(r, TranslationMatrix(px, py, pz));
}

Vector3 TransformPoint(const Vector3& p, const Matrix& m) {
    return {p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0),
            p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1),
            p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2)};
}

}  // namespace toravel
