#include "scene_mockups.h"

#include "det_math.h"

namespace mkmedia {
namespace {

constexpr int MOCKUP_WIDTH = 640;
constexpr int MOCKUP_HEIGHT = 480;

// A flat quad in the y = 0 plane given as (x, z, tu, tv) per vertex, in strip order.
struct FlatCorner {
    double x, z, u, v;
};

void DrawFlat(SoftRenderer& r, const FlatCorner (&c)[4], const Mat4& world = Mat4{}) {
    RenderVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i] = {{c[i].x, 0.0, c[i].z}, {0.0, 1.0, 0.0}, {c[i].u, c[i].v}};
    }
    r.DrawStrip(quad, world);
}

SoftRenderer Begin() {
    SoftRenderer r(MOCKUP_WIDTH, MOCKUP_HEIGHT, 2);
    r.Clear(Rgb8(0x00, 0x18, 0x43));
    r.SetLight(PreviewLightDirection(), 1.0, 2.0 / 3.0);
    r.SetAdditive(true);
    return r;
}

RgbImage Finish(SoftRenderer& r) {
    r.SetAdditive(false);
    r.SetTexture(nullptr);
    r.SetMaterialGrey(0.0);
    const FlatCorner bars[4][4] = {
        {{550, -250, 1, 0}, {550, -350, 1, 0.4}, {-550, -250, 0, 0}, {-550, -350, 0, 0.4}},
        {{550, 350, 1, 0}, {550, 250, 1, 0.4}, {-550, 350, 0, 0}, {-550, 250, 0, 0.4}},
        {{550, 248, 1, 0}, {550, 240, 1, 0.4}, {-550, 248, 0, 0}, {-550, 240, 0, 0.4}},
        {{550, -240, 1, 0}, {550, -248, 1, 0.4}, {-550, -240, 0, 0}, {-550, -248, 0, 0.4}}};
    for (const auto& bar : bars) {
        DrawFlat(r, bar);
    }
    return r.Resolve();
}

} // namespace

Vec3 PreviewLightDirection() {
    return {-0.3, -1.0, 0.4};
}

RgbImage RenderTitleScene(const ShowMedia& media, double t) {
    SoftRenderer r = Begin();
    double big = t + 5.0;
    double k = big < 10.0 ? big * 0.1 : 1.0;
    if (big > 15.0) {
        k = (20.0 - big) * 0.2;
    }
    for (int i = 2; i <= 9; ++i) {
        std::vector<ShowMesh> copy = media.orrery;
        ScalePositions(copy, (200 - 20 * i) * 0.025);
        for (int pass = 0; pass < 2; ++pass) {
            double x = (pass == 0 ? 95.0 : 95.2) + big + (pass == 0 ? 0.08196721 : 0.07575758) * i;
            double y = (pass == 0 ? 165.0 : 165.2) + big + 0.12820512 * i;
            double z =
                (pass == 0 ? 235.0 : 235.2) + big + (pass == 0 ? 0.15384616 : 0.22222222) * i;
            Mat4 world = Multiply(Multiply(RotationY(y), RotationZ(z)), RotationX(x));
            r.SetMaterialGrey((pass == 0 ? 0.4 : 0.2) * k);
            DrawShowModel(r, copy, world);
        }
    }
    double q = k;
    for (int i = 0; i < 5; ++i) {
        q *= q;
    }
    r.SetMaterialGrey(q);
    r.SetTexture(&media.title);
    double w = 100.0 * q;
    DrawFlat(r, {{550 - w, -140, 1, 0},
                 {550 - w, -240, 1, 1},
                 {250 - w, -140, 0, 0},
                 {250 - w, -240, 0, 1}});
    DrawFlat(
        r,
        {{350 + w, -140, 1, 0}, {350 + w, -240, 1, 1}, {50 + w, -140, 0, 0}, {50 + w, -240, 0, 1}});
    double c = big > 15.0 ? (20.0 - big) * 0.1 : 0.5;
    r.SetMaterialGrey(c);
    r.SetTexture(&media.caption);
    DrawFlat(r, {{150, -215, 1, 0}, {150, -235, 1, 1}, {-150, -215, 0, 0}, {-150, -235, 0, 1}});
    r.SetMaterialGrey(Sin(0.5 * big) * 0.25 * c);
    r.SetTexture(&media.misc);
    DrawFlat(r, {{460, 250, 1, 0.2}, {460, -250, 1, 1}, {-460, 250, 0, 0.2}, {-460, -250, 0, 1}});
    return Finish(r);
}

RgbImage RenderSwarmScene(const ShowMedia& media, double t) {
    SoftRenderer r = Begin();
    double k = t < 5.0 ? 0.1 * t : 0.5;
    if (t > 10.0) {
        k = (15.0 - t) * 0.1;
    }
    double s = Sin(t);
    double c = Cos(t);
    for (int row = 0; row < 20; ++row) {
        int d = -300 + 30 * row;
        r.SetMaterialGrey(d < 0 ? 0.1 * row * k : (1.0 - 0.05 * row) * k);
        Mat4 w = Multiply(Multiply(RotationY(t + 0.33333334 * row), RotationX(t + 0.5 * row)),
                          Translation({0, 0, double(d)}));
        for (int j = 0; j < 8; ++j) {
            w = Multiply(w, Multiply(RotationX(0.125 * j + s), RotationY(0.125 * j + c)));
            DrawShowModel(r, media.spark, w);
        }
    }
    r.SetMaterialGrey(0.5 * k);
    r.SetTexture(&media.misc);
    DrawFlat(r, {{20, 15, 2 - 0.1 * t, 0},
                 {20, -15, 2 - 0.1 * t, 0.11},
                 {-550, 15, -0.1 * t, 0},
                 {-550, -15, -0.1 * t, 0.11}});
    r.SetMaterialGrey(s * 0.33333334);
    DrawFlat(r, {{460, 250, 1, 0.2}, {460, -250, 1, 1}, {-460, 250, 0, 0.2}, {-460, -250, 0, 1}});
    r.SetTexture(nullptr);
    return Finish(r);
}

RgbImage RenderPlaneScene(const ShowMedia& media, double t) {
    SoftRenderer r = Begin();
    r.SetCullCounterClockwise(false);
    double a = t < 5.0 ? 0.3 * 0.2 * t : 0.3;
    double c = 0.2 * t;
    for (int d : {-250, -150, -50, 50}) {
        Mat4 turn = t < 20.0 ? Multiply(RotationY(t / 16 + 42), RotationZ(t / 4 + 22))
                             : Multiply(RotationY(t / 14 + 92), RotationZ(t / 11 + 82));
        r.SetMaterialGrey(a);
        r.SetTexture(&media.file);
        RenderVertex horizontal[4] = {{{850, 0, 850}, {0, 1, 0}, {c + 4, 0}},
                                      {{850, 0, -850}, {0, 1, 0}, {c + 4, 4}},
                                      {{-850, 0, 850}, {0, 1, 0}, {c, 0}},
                                      {{-850, 0, -850}, {0, 1, 0}, {c, 4}}};
        r.DrawStrip(horizontal, Multiply(Translation({0, double(d), 0}), turn));
        RenderVertex vertical[4] = {{{850, 850, 0}, {0, 1, 0}, {c + 4, 0}},
                                    {{850, -850, 0}, {0, 1, 0}, {c + 4, 4}},
                                    {{-850, 850, 0}, {0, 1, 0}, {c, 0}},
                                    {{-850, -850, 0}, {0, 1, 0}, {c, 4}}};
        r.DrawStrip(vertical, Multiply(Translation({0, 0, double(d)}), turn));
    }
    r.SetCullCounterClockwise(true);
    return Finish(r);
}

RgbImage RenderRosetteScene(const ShowMedia& media, double t) {
    SoftRenderer r = Begin();
    double u = t - 2.0;
    double k = u < 5.0 ? 0.2 * u : (u <= 10.0 ? 1.0 : 0.2 * (15.0 - u));
    for (int j = 0; j < 15; ++j) {
        double g = u + j / 2.1;
        r.SetMaterialGrey(0.2 * k);
        DrawShowModel(
            r, media.blade,
            Multiply(Multiply(RotationZ(u + 1.5), RotationY(g + 1.5)), Translation({0, 550, 0})));
        r.SetMaterialGrey(0.1 * k);
        DrawShowModel(
            r, media.blade,
            Multiply(Multiply(RotationZ(u + 1.2), RotationY(g + 1.2)), Translation({0, 530, 0})));
    }
    return Finish(r);
}

RgbImage RenderFinaleScene(const ShowMedia& media, double t) {
    SoftRenderer r = Begin();
    double level = t <= 20.0 ? 0.5 : 0.05 * (30.0 - t);
    double s = Sin(t);
    double c = Cos(t);
    for (int n = 0; n < 3; ++n) {
        double p = -300 + 10 * n;
        double q = -150 + 100 * n;
        for (int i = 0; i < 8; ++i) {
            r.SetMaterialGrey(0.1 * i * level);
            Mat4 m = Multiply(Multiply(RotationY(i / 3.0 + n + t), RotationX(0.5 * i + n + t)),
                              Translation({q, q, p + 60 * i}));
            for (int j = 0; j < 5; ++j) {
                m = Multiply(m, Multiply(RotationX(j / 7.0 + s), RotationY(j / 8.0 + n + c)));
                DrawShowModel(r, media.spark, m);
            }
        }
    }
    double v = t <= 40.0 ? 0.5 : (43.0 - t) / 6.0;
    r.SetMaterialGrey(v / 3.0);
    r.SetTexture(&media.misc);
    Mat4 bandShift = Translation({0, 0, -15});
    DrawFlat(r,
             {{550, 15, 0.2 * t + 4, 0},
              {550, -15, 0.2 * t + 4, 0.11},
              {-550, 15, 0.2 * t, 0},
              {-550, -15, 0.2 * t, 0.11}},
             bandShift);
    DrawFlat(r,
             {{550, 45, 4 - t / 3, 0},
              {550, 13, 4 - t / 3, 0.11},
              {-550, 45, -t / 3, 0},
              {-550, 13, -t / 3, 0.11}},
             bandShift);
    if (t > 25.0) {
        double e = t < 30.0 ? 1.0 - 0.2 * (30.0 - t) : (t > 40.0 ? (43.0 - t) / 3.0 : 1.0);
        r.SetMaterialGrey(e);
        r.SetTexture(&media.theEnd);
        DrawFlat(r, {{130, 200, 1, 0}, {130, 65, 1, 0.8}, {-130, 200, 0, 0}, {-130, 65, 0, 0.8}});
        DrawFlat(
            r, {{130, -105, 1, 0.8}, {130, -142, 1, 1}, {-130, -105, 0, 0.8}, {-130, -142, 0, 1}});
    }
    r.SetTexture(nullptr);
    return Finish(r);
}

} // namespace mkmedia
