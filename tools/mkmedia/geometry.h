// Small vector and matrix types for building the models. Matrices follow the show's convention:
// row-major, used with row vectors (a point p becomes p x M, translation in the last row), and
// the rotation signs of the show's own builders (a positive turn about Z carries x toward y,
// about X carries y toward z, about Y carries z toward x).
#pragma once

namespace mkmedia {

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(double s, Vec3 a) {
    return a * s;
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Vec3 v);
// A zero vector stays zero.
Vec3 Normalize(Vec3 v);

struct Mat4 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

Mat4 RotationX(double angle);
Mat4 RotationY(double angle);
Mat4 RotationZ(double angle);
Mat4 Translation(Vec3 t);
Mat4 Scaling(double s);
// a x b: a acts first.
Mat4 Multiply(const Mat4& a, const Mat4& b);
Vec3 TransformPoint(Vec3 p, const Mat4& m);
// Rotates and scales a direction; the translation row is left out.
Vec3 TransformDirection(Vec3 v, const Mat4& m);

} // namespace mkmedia
