// A small software rasteriser that draws the way the show's device does, for previews: row
// vectors through world x view x projection, per-vertex lighting (ambient times material plus
// one directional light), texture times lit colour with bilinear filtering and wrap addressing,
// counter-clockwise triangles culled, and either additive blending without depth test or
// z-buffered opaque drawing. Near-plane clipping keeps large planes through the camera correct.
#pragma once

#include "geometry.h"
#include "image.h"
#include "mesh_model.h"

#include <vector>

namespace mkmedia {

struct RenderVertex {
    Vec3 position;
    Vec3 normal;
    TexCoord uv;
};

class SoftRenderer {
public:
    // Renders at `supersample` times the size and averages down in Resolve.
    SoftRenderer(int width, int height, int supersample);

    void Clear(Rgb colour);
    // Direction the light travels, white diffuse of the given strength; ambient level 0..1.
    void SetLight(Vec3 direction, double diffuse, double ambient);
    void SetMaterialGrey(double grey) { grey_ = grey; }
    void SetTexture(const RgbImage* texture) { texture_ = texture; }
    void SetAdditive(bool additive) { additive_ = additive; }
    void SetCullCounterClockwise(bool cull) { cull_ = cull; }

    void DrawIndexed(const std::vector<RenderVertex>& vertices,
                     const std::vector<uint32_t>& indices, const Mat4& world);
    // Four vertices as a triangle strip.
    void DrawStrip(const RenderVertex (&quad)[4], const Mat4& world);

    RgbImage Resolve() const;

private:
    struct ClipVertex {
        double x, y, z, w; // clip space
        Rgb colour;
        TexCoord uv;
    };
    ClipVertex Shade(const RenderVertex& v, const Mat4& world, const Mat4& worldViewProj) const;
    void DrawTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c);
    void Rasterise(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c);
    Rgb Sample(TexCoord uv) const;

    int width_;
    int height_;
    int scale_;
    std::vector<Rgb> colour_;
    std::vector<double> depth_;
    Mat4 view_;
    Mat4 projection_;
    Vec3 toLight_{0.0, 1.0, 0.0};
    double diffuse_ = 1.0;
    double ambient_ = 2.0 / 3.0;
    double grey_ = 1.0;
    const RgbImage* texture_ = nullptr;
    bool additive_ = true;
    bool cull_ = true;
};

// The show's fixed camera: at (0, 600, 0) looking at the origin, +x right, +z up, 60 degrees of
// vertical view, near 1 and far 1000.
Mat4 ShowView();
Mat4 ShowProjection(double aspect);

} // namespace mkmedia
