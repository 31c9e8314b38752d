// The presentation options on the GL backend: targets drawn at a larger internal resolution or
// multisampled, while everything the program sees stays in mode pixels. The letterbox keeps its
// exact rows at every scale, multisampled edges blend while flat areas stay as they were, locks
// read and write mode pixels whatever the scale, and written pixels land as whole blocks.
//
// Sections: helpers · the letterbox · multisampling · locks and blocks · rectangles on the grid.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/gl/transforms.h"
#include "platform/host/presentation.h"
#include "support/gl_test_support.h"
#include "support/show_rig.h"

namespace {

// ---- Helpers -----------------------------------------------------------------------------------

host::PresentationOptions Scaled(int scale) {
    host::PresentationOptions options;
    options.internal.scale = scale;
    return options;
}

host::PresentationOptions Multisampled(int samples) {
    host::PresentationOptions options;
    options.samples = samples;
    return options;
}

bool IsBlack(const std::vector<BYTE>& rgba, int width, int x, int y) {
    const BYTE* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Down one column: the lengths of the runs of black and not black rows, starting with the top
// row's kind.
std::vector<int> BlackRuns(const std::vector<BYTE>& rgba, int width, int height, int x) {
    std::vector<int> runs;
    bool black = IsBlack(rgba, width, x, 0);
    int length = 0;
    for (int y = 0; y < height; ++y) {
        if (IsBlack(rgba, width, x, y) != black) {
            runs.push_back(length);
            black = !black;
            length = 0;
        }
        ++length;
    }
    runs.push_back(length);
    return runs;
}

// A picture's mean channel difference from another, after box-filtering it down by `factor`.
double MeanDifferenceShrunk(const std::vector<BYTE>& large, int factor,
                            const std::vector<BYTE>& small, int width, int height) {
    double total = 0;
    const int largeWidth = width * factor;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        sum += large[(size_t(y * factor + dy) * size_t(largeWidth) +
                                      size_t(x * factor + dx)) *
                                         4 +
                                     size_t(c)];
                    }
                }
                const double mean = double(sum) / (factor * factor);
                total += std::fabs(mean -
                                   small[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(c)]);
            }
        }
    }
    return total / (double(width) * height * 3);
}

void DrawSlantedTriangle(IDirect3DDevice7* device) {
    D3DVERTEX triangle[3] = {
        {-0.8f, -0.7f, 0.5f, 0, 0, -1, 0, 0},
        {0.9f, -0.2f, 0.5f, 0, 0, -1, 0, 0},
        {-0.3f, 0.85f, 0.5f, 0, 0, -1, 0, 0},
    };
    device->BeginScene();
    device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0);
    device->EndScene();
}

// White unlit drawing on black, no culling, no depth test.
void PlainWhiteOnBlack(gl_test::OffscreenRig& rig) {
    rig.SetUpPlainScene();
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    rig.device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0);
}

// Writes `colour` (0xRRGGBB) into a rectangle of a 32-bit surface through Lock.
void WriteBlock(IDirectDrawSurface7* surface, const RECT& area, DWORD colour) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    for (LONG y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch);
        for (LONG x = area.left; x < area.right; ++x) {
            row[x] = colour;
        }
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

// ---- The letterbox -----------------------------------------------------------------------------

TEST(PresentationShapes, LetterboxBarsAndLinesTakeExactlyTheirRowsTimesTheScale) {
    std::vector<BYTE> authentic;
    int width = 0, height = 0;
    {
        show_test::ShowRig rig;
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        authentic = rig.FrameAt(8000);
        width = rig.Width();
        height = rig.Height();
    }
    ASSERT_EQ(width, 640);
    const std::vector<int> columns = {40, 320, 600};
    for (int scale : {2, 3}) {
        gl_test::ScopedPresentation presentation(Scaled(scale));
        show_test::ShowRig rig;
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        const std::vector<BYTE> frame = rig.FrameAt(8000);
        ASSERT_EQ(rig.Width(), width * scale);
        ASSERT_EQ(rig.Height(), height * scale);
        for (int x : columns) {
            std::vector<int> expected = BlackRuns(authentic, width, height, x);
            // Bar, gap, line, picture, line, gap, bar.
            ASSERT_EQ(expected.size(), 7u) << "column " << x;
            for (int& run : expected) {
                run *= scale;
            }
            for (int dx = 0; dx < scale; ++dx) {
                EXPECT_EQ(BlackRuns(frame, rig.Width(), rig.Height(), x * scale + dx), expected)
                    << scale << "x, column " << x * scale + dx;
            }
        }
        // The same picture, only finer.
        EXPECT_LT(MeanDifferenceShrunk(frame, scale, authentic, width, height), 2.5) << scale;
        gl_test::SavePng("gl-out/presentation_title_" + std::to_string(scale) + "x.png",
                         rig.Width(), rig.Height(), frame);
    }
}

// ---- Multisampling -----------------------------------------------------------------------------

TEST(PresentationShapes, MultisampledEdgesBlendWhileFlatAreasStayAsTheyWere) {
    for (int bits : {16, 32}) {
        std::vector<BYTE> plain;
        {
            gl_test::OffscreenRig rig(64, 48, bits);
            ASSERT_TRUE(rig.Ready()) << rig.Failure();
            PlainWhiteOnBlack(rig);
            DrawSlantedTriangle(rig.device);
            plain = rig.Rgba();
        }
        gl_test::ScopedPresentation presentation(Multisampled(4));
        gl_test::OffscreenRig rig(64, 48, bits);
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        PlainWhiteOnBlack(rig);
        DrawSlantedTriangle(rig.device);
        const std::vector<BYTE> smooth = rig.Rgba();
        rig.Save("presentation_msaa_" + std::to_string(bits));
        ASSERT_EQ(smooth.size(), plain.size());

        int between = 0, flatChecked = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const size_t at = (size_t(y) * 64 + size_t(x)) * 4;
                between += smooth[at] > 0 && smooth[at] < 248 ? 1 : 0;
                EXPECT_TRUE(plain[at] == 0 || plain[at] == 255) << x << "," << y;
                // Away from the edges (a uniform neighbourhood without samples) nothing moves.
                bool uniform = true;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = std::clamp(x + dx, 0, 63), ny = std::clamp(y + dy, 0, 47);
                        uniform = uniform && plain[(size_t(ny) * 64 + size_t(nx)) * 4] == plain[at];
                    }
                }
                if (uniform) {
                    ++flatChecked;
                    EXPECT_EQ(smooth[at], plain[at]) << bits << " bits at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(between, 40) << bits << " bits: the edges have no intermediate values";
        EXPECT_GT(flatChecked, 1500);
    }
}

// ---- Locks and blocks --------------------------------------------------------------------------

TEST(PresentationShapes, LocksReadAndWriteModePixelsAtAnyScale) {
    host::PresentationOptions native;
    native.internal.native = true;
    native.nativeAreaWidth = 150; // 64 x 48 fitted: 133 x 100, not a whole multiple
    native.nativeAreaHeight = 100;
    host::PresentationOptions cleanish = Multisampled(4);
    cleanish.internal.scale = 2;
    cleanish.trueColour = true;
    const std::pair<const char*, host::PresentationOptions> shapes[] = {
        {"1x", host::PresentationOptions{}},
        {"2x", Scaled(2)},
        {"3x", Scaled(3)},
        {"native", native},
        {"2x 4 samples 32-bit colour", cleanish},
    };
    const RECT written{40, 10, 44, 14};
    std::vector<BYTE> reference;
    for (const auto& [name, options] : shapes) {
        gl_test::ScopedPresentation presentation(options);
        gl_test::OffscreenRig rig(64, 48, 32);
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        PlainWhiteOnBlack(rig);
        rig.device->BeginScene();
        rig.DrawQuad(-1, -1, 0, 1); // the left half, white

        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(rig.target->Lock(nullptr, &desc, DDLOCK_READONLY, nullptr), DD_OK);
        EXPECT_EQ(desc.dwWidth, 64u) << name;
        EXPECT_EQ(desc.dwHeight, 48u) << name;
        rig.target->Unlock(nullptr);
        EXPECT_EQ(rig.Pixel(31, 20).g, 255) << name;
        EXPECT_EQ(rig.Pixel(32, 20).g, 0) << name;

        // What the CPU writes reads back exactly, and only there.
        WriteBlock(rig.target, written, 0x00FF0000);
        for (int x = 39; x <= 44; ++x) {
            const bool inside = x >= written.left && x < written.right;
            EXPECT_EQ(rig.Pixel(x, 12).r, inside ? 255 : 0) << name << " x " << x;
            EXPECT_EQ(rig.Pixel(x, 9).r, 0) << name << " x " << x;
        }
        // Drawing goes on over it.
        rig.DrawQuad(-1, -1, 1, -0.5f);
        rig.device->EndScene();
        const std::vector<BYTE> picture = rig.Rgba();
        if (reference.empty()) {
            reference = picture;
        }
        EXPECT_EQ(picture, reference) << name << ": the mode pixels differ from 1x";
    }
}

TEST(PresentationShapes, WrittenPixelsLandAsWholeBlocksBesideTheFinerPicture) {
    gl_test::ScopedPresentation presentation(Scaled(2));
    gl_test::FlipRig rig(80, 60, 32);
    ASSERT_NE(rig.device, nullptr);
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0);
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    for (auto state :
         {D3DTRANSFORMSTATE_WORLD, D3DTRANSFORMSTATE_VIEW, D3DTRANSFORMSTATE_PROJECTION}) {
        rig.device->SetTransform(state, &identity);
    }
    DrawSlantedTriangle(rig.device);
    WriteBlock(rig.back, RECT{5, 5, 8, 8}, 0x000000FF);
    ASSERT_TRUE(rig.Flip());
    ASSERT_EQ(rig.frameWidth, 160);
    ASSERT_EQ(rig.frameHeight, 120);
    for (int y = 8; y < 18; ++y) {
        for (int x = 8; x < 18; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 10 && y < 16;
            EXPECT_EQ(rig.FramePixel(x, y), inside ? 0x0000FFu : 0u) << x << "," << y;
        }
    }
    // The triangle's edges are drawn at twice the resolution: some 2 x 2 block along them holds
    // two values, which a picture merely doubled never has.
    int split = 0;
    for (int y = 0; y + 1 < 120; y += 2) {
        for (int x = 0; x + 1 < 160; x += 2) {
            const DWORD a = rig.FramePixel(x, y);
            split += a != rig.FramePixel(x + 1, y) || a != rig.FramePixel(x, y + 1) ? 1 : 0;
        }
    }
    EXPECT_GT(split, 20);
    gl_test::SavePng("gl-out/presentation_blocks_2x.png", rig.frameWidth, rig.frameHeight,
                     rig.frame);
}

// ---- Rectangles on the grid --------------------------------------------------------------------

TEST(PresentationShapes, RectanglesSnapToTheBoundariesOfTheirModePixels) {
    // A rectangle from x 10.3 to 20.7 and y 5.6 to 8.2 of a 64 x 48 viewport: at 1x it covers
    // columns 10 to 20 and rows 6 to 7, so its edges lie at 10, 21, 6 and 8.
    D3DMATRIX clip{}; // mode pixels to clip space, y down
    clip._11 = 2.0f / 64;
    clip._22 = -2.0f / 48;
    clip._33 = 1;
    clip._41 = -1;
    clip._42 = 1;
    clip._44 = 1;
    auto at = [](float x, float y) { return D3DVERTEX{x, y, 0, 0, 0, -1, 0, 0}; };
    const D3DVERTEX quad[4] = {at(20.7f, 5.6f), at(20.7f, 8.2f), at(10.3f, 5.6f), at(10.3f, 8.2f)};
    gl::SnapGrid grid;
    grid.viewport = D3DVIEWPORT7{0, 0, 64, 48, 0, 1};
    grid.modeWidth = 64;
    grid.modeHeight = 48;
    grid.width = 192; // three times
    grid.height = 144;
    D3DMATRIX correction;
    ASSERT_TRUE(gl::SnapRectangle(clip, grid, quad, 4, &correction));
    const D3DMATRIX snapped = gl::Multiply(clip, correction);
    auto target = [&](const D3DVERTEX& v) {
        const D3DVECTOR p = gl::TransformPoint(D3DVECTOR{v.x, v.y, v.z}, snapped);
        // Target pixels, rows from the bottom as GL counts them.
        return std::make_pair((p.x + 1) / 2 * 192, (p.y + 1) / 2 * 144);
    };
    EXPECT_NEAR(target(quad[0]).first, 63, 1e-3);   // 21 x 3
    EXPECT_NEAR(target(quad[2]).first, 30, 1e-3);   // 10 x 3
    EXPECT_NEAR(target(quad[0]).second, 126, 1e-3); // 144 - 6 x 3
    EXPECT_NEAR(target(quad[1]).second, 120, 1e-3); // 144 - 8 x 3

    // Anything but a rectangle facing the screen keeps its shape.
    const D3DVERTEX slanted[4] = {at(20.7f, 5.6f), at(21.7f, 8.2f), at(10.3f, 5.6f),
                                  at(10.3f, 8.2f)};
    EXPECT_FALSE(gl::SnapRectangle(clip, grid, slanted, 4, &correction));
    EXPECT_FALSE(gl::SnapRectangle(clip, grid, quad, 3, &correction));
    D3DMATRIX behind = clip;
    behind._44 = -1; // w below zero: behind the eye
    EXPECT_FALSE(gl::SnapRectangle(behind, grid, quad, 4, &correction));
}

} // namespace
