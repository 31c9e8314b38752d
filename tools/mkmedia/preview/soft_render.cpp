#include "soft_render.h"

#include "det_math.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {
namespace {

constexpr double NEAR_W = 1.0;

struct Vec4 {
    double x, y, z, w;
};

Vec4 Transform4(Vec3 p, const Mat4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
            p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

double Wrap(double v) {
    return v - std::floor(v);
}

} // namespace

Mat4 ShowView() {
    Mat4 v;
    v.m[0][0] = 1;
    v.m[1][1] = 0;
    v.m[1][2] = -1;
    v.m[2][1] = 1;
    v.m[2][2] = 0;
    v.m[3][2] = 600;
    return v;
}

Mat4 ShowProjection(double aspect) {
    double c = Cos(MKM_PI / 6.0) / Sin(MKM_PI / 6.0);
    double q = 1000.0 / (1000.0 - 1.0);
    Mat4 p;
    p.m[0][0] = aspect * c;
    p.m[1][1] = c;
    p.m[2][2] = q;
    p.m[2][3] = 1.0;
    p.m[3][2] = -q;
    p.m[3][3] = 0.0;
    return p;
}

SoftRenderer::SoftRenderer(int width, int height, int supersample)
    : width_(width * supersample), height_(height * supersample), scale_(supersample),
      colour_(static_cast<size_t>(width_) * height_), depth_(colour_.size(), 1.0),
      view_(ShowView()), projection_(ShowProjection(double(height) / width)) {}

void SoftRenderer::Clear(Rgb colour) {
    std::fill(colour_.begin(), colour_.end(), colour);
    std::fill(depth_.begin(), depth_.end(), 1.0);
}

void SoftRenderer::SetLight(Vec3 direction, double diffuse, double ambient) {
    toLight_ = -Normalize(direction);
    diffuse_ = diffuse;
    ambient_ = ambient;
}

SoftRenderer::ClipVertex SoftRenderer::Shade(const RenderVertex& v, const Mat4& world,
                                             const Mat4& worldViewProj) const {
    Vec4 p = Transform4(v.position, worldViewProj);
    Vec3 n = TransformDirection(v.normal, world);
    double level = grey_ * ambient_ + grey_ * diffuse_ * std::max(0.0, Dot(n, toLight_));
    level = Clamp01(level);
    return {p.x, p.y, p.z, p.w, {level, level, level}, v.uv};
}

void SoftRenderer::DrawIndexed(const std::vector<RenderVertex>& vertices,
                               const std::vector<uint32_t>& indices, const Mat4& world) {
    Mat4 wvp = Multiply(Multiply(world, view_), projection_);
    std::vector<ClipVertex> shaded;
    shaded.reserve(vertices.size());
    for (const RenderVertex& v : vertices) {
        shaded.push_back(Shade(v, world, wvp));
    }
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        DrawTriangle(shaded[indices[i]], shaded[indices[i + 1]], shaded[indices[i + 2]]);
    }
}

void SoftRenderer::DrawStrip(const RenderVertex (&quad)[4], const Mat4& world) {
    Mat4 wvp = Multiply(Multiply(world, view_), projection_);
    ClipVertex c[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = Shade(quad[i], world, wvp);
    }
    // A strip's odd triangles are wound the other way; the device flips them back.
    DrawTriangle(c[0], c[1], c[2]);
    DrawTriangle(c[2], c[1], c[3]);
}

void SoftRenderer::DrawTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
    // Clip against the near plane (w >= NEAR_W) and fan out what is left.
    const ClipVertex* in[3] = {&a, &b, &c};
    ClipVertex poly[4];
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const ClipVertex& p = *in[i];
        const ClipVertex& q = *in[(i + 1) % 3];
        bool pIn = p.w >= NEAR_W;
        bool qIn = q.w >= NEAR_W;
        if (pIn) {
            poly[count++] = p;
        }
        if (pIn != qIn) {
            double t = (NEAR_W - p.w) / (q.w - p.w);
            ClipVertex r;
            r.x = Mix(p.x, q.x, t);
            r.y = Mix(p.y, q.y, t);
            r.z = Mix(p.z, q.z, t);
            r.w = NEAR_W;
            r.colour = p.colour * (1.0 - t) + q.colour * t;
            r.uv = {Mix(p.uv.u, q.uv.u, t), Mix(p.uv.v, q.uv.v, t)};
            poly[count++] = r;
        }
    }
    for (int i = 1; i + 1 < count; ++i) {
        Rasterise(poly[0], poly[i], poly[i + 1]);
    }
}

void SoftRenderer::Rasterise(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
    struct Screen {
        double x, y, z, invW;
    };
    auto toScreen = [&](const ClipVertex& v) {
        double invW = 1.0 / v.w;
        return Screen{(v.x * invW + 1.0) * 0.5 * width_, (1.0 - v.y * invW) * 0.5 * height_,
                      v.z * invW, invW};
    };
    Screen s0 = toScreen(a);
    Screen s1 = toScreen(b);
    Screen s2 = toScreen(c);
    double area = (s1.x - s0.x) * (s2.y - s0.y) - (s2.x - s0.x) * (s1.y - s0.y);
    if (area == 0.0 || (cull_ && area < 0.0)) {
        return; // y points down, so a negative area runs counter-clockwise on screen
    }
    int x0 = std::max(0, static_cast<int>(std::floor(std::min({s0.x, s1.x, s2.x}))));
    int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(std::max({s0.x, s1.x, s2.x}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({s0.y, s1.y, s2.y}))));
    int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(std::max({s0.y, s1.y, s2.y}))));
    for (int y = y0; y <= y1; ++y) {
        double py = y + 0.5;
        for (int x = x0; x <= x1; ++x) {
            double px = x + 0.5;
            double w0 = ((s1.x - px) * (s2.y - py) - (s2.x - px) * (s1.y - py)) / area;
            double w1 = ((s2.x - px) * (s0.y - py) - (s0.x - px) * (s2.y - py)) / area;
            double w2 = 1.0 - w0 - w1;
            if (w0 < 0.0 || w1 < 0.0 || w2 < 0.0) {
                continue;
            }
            double z = w0 * s0.z + w1 * s1.z + w2 * s2.z;
            size_t index = static_cast<size_t>(y) * width_ + x;
            if (!additive_ && z > depth_[index]) {
                continue;
            }
            // Perspective-correct interpolation of colour and texture coordinates.
            double k0 = w0 * s0.invW;
            double k1 = w1 * s1.invW;
            double k2 = w2 * s2.invW;
            double norm = 1.0 / (k0 + k1 + k2);
            k0 *= norm;
            k1 *= norm;
            k2 *= norm;
            Rgb lit = a.colour * k0 + b.colour * k1 + c.colour * k2;
            if (texture_ != nullptr) {
                TexCoord uv{a.uv.u * k0 + b.uv.u * k1 + c.uv.u * k2,
                            a.uv.v * k0 + b.uv.v * k1 + c.uv.v * k2};
                lit = lit * Sample(uv);
            }
            if (additive_) {
                colour_[index] = colour_[index] + lit;
            } else {
                colour_[index] = lit;
                depth_[index] = z;
            }
        }
    }
}

Rgb SoftRenderer::Sample(TexCoord uv) const {
    const RgbImage& t = *texture_;
    double fx = Wrap(uv.u) * t.Width() - 0.5;
    double fy = Wrap(uv.v) * t.Height() - 0.5;
    int ix = static_cast<int>(std::floor(fx));
    int iy = static_cast<int>(std::floor(fy));
    double ax = fx - ix;
    double ay = fy - iy;
    auto at = [&](int x, int y) {
        x = ((x % t.Width()) + t.Width()) % t.Width();
        y = ((y % t.Height()) + t.Height()) % t.Height();
        return t.At(x, y);
    };
    Rgb top = at(ix, iy) * (1.0 - ax) + at(ix + 1, iy) * ax;
    Rgb bottom = at(ix, iy + 1) * (1.0 - ax) + at(ix + 1, iy + 1) * ax;
    return top * (1.0 - ay) + bottom * ay;
}

RgbImage SoftRenderer::Resolve() const {
    RgbImage out(width_ / scale_, height_ / scale_);
    const double weight = 1.0 / (scale_ * scale_);
    for (int y = 0; y < out.Height(); ++y) {
        for (int x = 0; x < out.Width(); ++x) {
            Rgb sum;
            for (int sy = 0; sy < scale_; ++sy) {
                for (int sx = 0; sx < scale_; ++sx) {
                    Rgb c =
                        colour_[static_cast<size_t>(y * scale_ + sy) * width_ + x * scale_ + sx];
                    // The device clamps each pixel; average what it would show.
                    sum = sum + Rgb{std::min(c.r, 1.0), std::min(c.g, 1.0), std::min(c.b, 1.0)};
                }
            }
            out.Set(x, y, sum * weight);
        }
    }
    return out;
}

} // namespace mkmedia
