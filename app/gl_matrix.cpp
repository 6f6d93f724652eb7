#include "app/gl_matrix.h"

#include <cmath>

namespace {

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Length(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

bool AllFinite(const Vec3& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

}  // namespace

Matrix4 IdentityMatrix4() {
    Matrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

bool MakeLookAtMatrix(const Vec3& eye, const Vec3& centre, const Vec3& up, Matrix4& view) {
    if (!AllFinite(eye) || !AllFinite(centre) || !AllFinite(up)) {
        return false;
    }
    const Vec3 f{eye[0] - centre[0], eye[1] - centre[1], eye[2] - centre[2]};
    const double d = Length(f);
    if (!(d > 0.0) || !std::isfinite(d)) {
        return false;
    }
    const Vec3 n{f[0] / d, f[1] / d, f[2] / d};
    Vec3 s = Cross(up, n);
    const double sl = Length(s);
    if (!(sl > 0.0)) {
        return false;
    }
    s = {s[0] / sl, s[1] / sl, s[2] / sl};
    const Vec3 t = Cross(n, s);

    // The camera's frame in world coordinates, scaled by the distance; its inverse is
    // the view.
    const Matrix4 c{s[0] * d, s[1] * d, s[2] * d, 0.0,  //
                    t[0] * d, t[1] * d, t[2] * d, 0.0,  //
                    n[0] * d, n[1] * d, n[2] * d, 0.0,  //
                    centre[0], centre[1], centre[2], 1.0};
    Matrix4 inverse;
    if (InvertMatrix4(c, inverse) == 0) {
        return false;
    }
    for (double v : inverse) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    view = inverse;
    return true;
}

int InvertMatrix4(const Matrix4& m, Matrix4& dst) {
    Matrix4 inv;
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] +
             m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] +
             m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] -
              m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] +
              m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) {
        return 0;
    }
    for (int i = 0; i < 16; ++i) {
        dst[i] = inv[i] / det;
    }
    return 1;
}

void MultiplyMatrix4(const Matrix4& a, Matrix4& b) {
    Matrix4 product;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += a[4 * k + r] * b[4 * c + k];
            }
            product[4 * c + r] = sum;
        }
    }
    b = product;
}
