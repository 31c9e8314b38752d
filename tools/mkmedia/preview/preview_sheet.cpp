#include "preview_sheet.h"

#include "art.h"
#include "det_math.h"
#include "media_catalog.h"
#include "models.h"
#include "paint.h"
#include "stroke_field.h"
#include "tga_writer.h"

#include <algorithm>
#include <cstdio>

namespace mkmedia {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

void Blit(RgbImage& dst, const RgbImage& src, int left, int top) {
    for (int y = 0; y < src.Height(); ++y) {
        for (int x = 0; x < src.Width(); ++x) {
            int dx = left + x;
            int dy = top + y;
            if (dx >= 0 && dy >= 0 && dx < dst.Width() && dy < dst.Height()) {
                dst.Set(dx, dy, src.At(x, y));
            }
        }
    }
}

// Draws `src` stretched to w x h (bilinear), as the show would stretch a texture over a quad.
void BlitStretched(RgbImage& dst, const RgbImage& src, int left, int top, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double fx = (x + 0.5) * src.Width() / w - 0.5;
            double fy = (y + 0.5) * src.Height() / h - 0.5;
            int ix = std::clamp(static_cast<int>(fx), 0, src.Width() - 1);
            int iy = std::clamp(static_cast<int>(fy), 0, src.Height() - 1);
            int ix1 = std::min(ix + 1, src.Width() - 1);
            int iy1 = std::min(iy + 1, src.Height() - 1);
            double ax = Clamp01(fx - ix);
            double ay = Clamp01(fy - iy);
            Rgb c = (src.At(ix, iy) * (1 - ax) + src.At(ix1, iy) * ax) * (1 - ay) +
                    (src.At(ix, iy1) * (1 - ax) + src.At(ix1, iy1) * ax) * ay;
            if (left + x < dst.Width() && top + y < dst.Height()) {
                dst.Set(left + x, top + y, c);
            }
        }
    }
}

} // namespace

RgbImage Stretched(const RgbImage& src, int w, int h) {
    RgbImage out(w, h);
    BlitStretched(out, src, 0, 0, w, h);
    return out;
}

namespace {

RgbImage ModelView(const std::vector<ShowMesh>& meshes, double scale, const Mat4& turn,
                   bool additive) {
    SoftRenderer r(320, 240, 2);
    r.Clear(additive ? Rgb8(0x00, 0x18, 0x43) : Rgb{0.02, 0.02, 0.02});
    r.SetLight(PreviewLightDirection(), 1.0, 2.0 / 3.0);
    r.SetAdditive(additive);
    r.SetMaterialGrey(additive ? 0.3 : 0.35);
    // Centre the model's bounding box, then scale and turn it in front of the camera.
    Vec3 lo{1e9, 1e9, 1e9};
    Vec3 hi{-1e9, -1e9, -1e9};
    for (const ShowMesh& mesh : meshes) {
        for (const RenderVertex& v : mesh.vertices) {
            Vec3 p = TransformPoint(v.position, mesh.frameMatrix);
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    Mat4 world = Multiply(Translation((lo + hi) * -0.5), Multiply(Scaling(scale), turn));
    DrawShowModel(r, meshes, world);
    return r.Resolve();
}

} // namespace

RgbImage DecodeCatalogBmp(const std::string& name) {
    for (const MediaFile& file : MediaCatalog()) {
        if (file.name != name) {
            continue;
        }
        std::vector<uint8_t> b = file.make();
        if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
            break;
        }
        int width = static_cast<int>(U32(b, 18));
        int height = static_cast<int>(U32(b, 22));
        uint32_t offset = U32(b, 10);
        size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
        if (offset + rowBytes * height > b.size()) {
            break;
        }
        RgbImage image(width, height);
        for (int row = 0; row < height; ++row) {
            const uint8_t* p = &b[offset + rowBytes * row];
            for (int x = 0; x < width; ++x) {
                image.Set(x, height - 1 - row, Rgb8(p[3 * x + 2], p[3 * x + 1], p[3 * x]));
            }
        }
        return image;
    }
    return RgbImage(1, 1);
}

void DrawLabel(RgbImage& image, double left, double baseline, double height, const char* text) {
    TextPlacement place;
    place.left = left;
    place.baseline = baseline;
    place.scale = height / FONT_ASCENT;
    SegmentField field(LayOutText(text, place), 2.0);
    PixelGrid grid{1.0, 1.0, 3};
    double pen = std::max(0.6, 0.45 * place.scale);
    int x1 = static_cast<int>(left + TextWidth(text, place.tracking) * place.scale + 4);
    PaintAdd(image, grid, static_cast<int>(left) - 2, static_cast<int>(baseline - height) - 2, x1,
             static_cast<int>(baseline + FONT_DESCENT * place.scale) + 3, [&](double u, double v) {
                 double c = StrokeCoverage(field.Distance(u, v), pen, grid.Footprint());
                 return Rgb{1.0, 0.85, 0.4} * c;
             });
}

RgbImage PictureSheet(const ShowMedia& media) {
    // Left column: each picture stretched to the shape it is shown in (300 x 100 units and so
    // on, two pixels per unit for the small ones). Right: the pictures pixel for pixel.
    RgbImage sheet(1500, 1130);
    int y = 30;
    DrawLabel(sheet, 10, y, 14, "title.bmp as shown, 300 x 100");
    BlitStretched(sheet, media.title, 10, y + 10, 600, 200);
    DrawLabel(sheet, 640, y, 14, "title.bmp");
    Blit(sheet, media.title, 640, y + 10);
    y += 240;
    DrawLabel(sheet, 10, y, 14, "nosound.bmp as shown, 300 x 20");
    BlitStretched(sheet, media.caption, 10, y + 10, 600, 40);
    DrawLabel(sheet, 640, y, 14, "nosound.bmp");
    Blit(sheet, media.caption, 640, y + 10);
    y += 80;
    DrawLabel(sheet, 10, y, 14, "the_end.bmp as shown, 260 x 135 and 260 x 37");
    RgbImage upper(media.theEnd.Width(), media.theEnd.Height() * 8 / 10);
    RgbImage lower(media.theEnd.Width(), media.theEnd.Height() - upper.Height());
    Blit(upper, media.theEnd, 0, 0);
    Blit(lower, media.theEnd, 0, -upper.Height());
    BlitStretched(sheet, upper, 10, y + 10, 520, 270);
    BlitStretched(sheet, lower, 10, y + 300, 520, 74);
    DrawLabel(sheet, 640, y, 14, "the_end.bmp");
    Blit(sheet, media.theEnd, 640, y + 10);
    y += 400;
    DrawLabel(sheet, 10, y, 14, "misc.bmp");
    Blit(sheet, media.misc, 10, y + 10);
    DrawLabel(sheet, 540, y, 14, "file.bmp, 2 x 2");
    for (int ty = 0; ty < 2; ++ty) {
        for (int tx = 0; tx < 2; ++tx) {
            Blit(sheet, media.file, 540 + tx * media.file.Width(),
                 y + 10 + ty * media.file.Height());
        }
    }
    std::vector<double> alpha;
    RgbImage gleam = PaintGleam(&alpha);
    DrawLabel(sheet, 640, 1110, 18, "abcdefghijklmnopqrstuvwxyz 0123456789 _-,.'");
    DrawLabel(sheet, 1100, y, 14, "gleam.tga");
    Blit(sheet, gleam, 1100, y + 10);
    return sheet;
}

RgbImage FilmStrip(const ShowMedia& media) {
    using SceneRenderer = RgbImage (*)(const ShowMedia&, double);
    const SceneRenderer scenes[5] = {RenderTitleScene, RenderSwarmScene, RenderPlaneScene,
                                     RenderRosetteScene, RenderFinaleScene};
    const double times[5][4] = {{1.0, 4.6, 5.0, 12.0},
                                {3.0, 8.0, 11.0, 13.5},
                                {2.0, 12.0, 20.1, 24.0},
                                {4.0, 7.0, 11.0, 15.0},
                                {5.0, 18.0, 28.0, 41.0}};
    RgbImage sheet(1280, 1200);
    for (int s = 0; s < 5; ++s) {
        for (int k = 0; k < 4; ++k) {
            RgbImage frame = scenes[s](media, times[s][k]);
            Blit(sheet, Stretched(frame, 320, 240), k * 320, s * 240);
            char label[32];
            std::snprintf(label, sizeof label, "%.1f", times[s][k]);
            DrawLabel(sheet, k * 320 + 6, s * 240 + 40, 10, label);
        }
    }
    return sheet;
}

RgbImage ModelSheet(const ShowMedia& media) {
    RgbImage sheet(1280, 720);
    const std::vector<ShowMesh>* models[3] = {&media.orrery, &media.spark, &media.blade};
    const double scales[3] = {7.5, 22.0, 14.0};
    const Mat4 turns[3] = {Mat4{}, Multiply(RotationX(1.0), RotationZ(0.6)),
                           Multiply(RotationZ(1.2), RotationX(-0.7))};
    for (int m = 0; m < 3; ++m) {
        for (int v = 0; v < 3; ++v) {
            Blit(sheet, ModelView(*models[m], scales[m], turns[v], false), v * 320, m * 240);
        }
        Blit(sheet, ModelView(*models[m], scales[m], turns[1], true), 960, m * 240);
    }
    return sheet;
}

} // namespace mkmedia
