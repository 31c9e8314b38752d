// The show's frames on Mesa's software rasteriser, at chosen moments of each scene, against the
// reference pictures kept in tests/data/scenes (made once from this program, looked at, and
// committed). Frames are 640 x 480 x 16 as the program's default mode draws them, compared at
// half size with a tolerance for rounding; a change that alters what a scene shows fails here.
//
// Each frame is also saved as gl-out/scene_<name>.png for looking at. To make the references
// anew after a deliberate change of the pictures, run with LUMENFALL_UPDATE_SCENE_REFERENCES=1,
// look at every picture, and commit them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "demo/demo_app.h"
#include "support/gl_test_support.h"
#include "support/show_rig.h"

namespace {

struct Moment {
    const char* name;
    DWORD milliseconds; // application time
};

// Two moments a scene, each where its layers can be told apart.
constexpr Moment MOMENTS[] = {
    {"title_3s", 3000},      // meshes at 0.8, the title still apart and dark
    {"title_8s", 8000},      // the title together at full brightness
    {"swarm_20s", 20000},    // the swarm at its full level, strip and backdrop
    {"swarm_27s", 27000},    // the swarm fading, the lattice coming in under it
    {"planes_40s", 40000},   // the lattice alone
    {"planes_46s", 46450},   // the last of the flash over the cut, at grey 0.1
    {"rosette_55s", 55000},  // the rosette rising over the lattice
    {"rosette_64s", 64000},  // the rosette alone, at its full level
    {"finale_85s", 85000},   // chains and bands
    {"finale_105s", 105000}, // the end title between the bands
};

// Channel differences up to this are rounding (the rasteriser's, the 16-bit target's 8-level
// steps, halved by the box filter); larger ones count as a changed pixel.
constexpr int CHANNEL_TOLERANCE = 12;
// Share of changed pixels allowed: a few edges may fall differently.
constexpr double CHANGED_SHARE = 0.002;
// Mean difference per channel allowed over the whole picture: catches a layer that has become a
// little brighter or darker everywhere, which no single pixel shows beyond the tolerance.
constexpr double MEAN_DIFFERENCE = 0.5;

std::string ReferencePath(const char* name) {
    return std::string(LUMENFALL_TEST_DATA) + "/scenes/" + name + ".png";
}

TEST(ScenePictures, EachSceneLooksAsItsReferencePicture) {
    show_test::ShowRig rig;
    ASSERT_TRUE(rig.Ready()) << rig.Failure();
    mkdir("gl-out", 0755);
    const bool update = std::getenv("LUMENFALL_UPDATE_SCENE_REFERENCES") != nullptr;
    if (update) {
        mkdir((std::string(LUMENFALL_TEST_DATA) + "/scenes").c_str(), 0755);
    }

    for (const Moment& moment : MOMENTS) {
        SCOPED_TRACE(moment.name);
        const std::vector<BYTE>& frame = rig.FrameAt(moment.milliseconds);
        ASSERT_EQ(rig.Width(), 640);
        ASSERT_EQ(rig.Height(), 480);
        ASSERT_EQ(frame.size(), size_t(640 * 480 * 4));
        const std::vector<BYTE> half = show_test::HalveRgba(frame, 640, 480);
        gl_test::SavePng(std::string("gl-out/scene_") + moment.name + ".png", 320, 240, half);
        if (update) {
            ASSERT_TRUE(gl_test::SavePng(ReferencePath(moment.name), 320, 240, half));
            continue;
        }

        int width = 0, height = 0;
        std::vector<BYTE> reference;
        ASSERT_TRUE(show_test::LoadPng(ReferencePath(moment.name), width, height, reference))
            << ReferencePath(moment.name);
        ASSERT_EQ(width, 320);
        ASSERT_EQ(height, 240);
        size_t changed = 0;
        double total = 0;
        for (size_t p = 0; p < half.size(); p += 4) {
            bool pixelChanged = false;
            for (size_t c = 0; c < 3; ++c) {
                const int difference = std::abs(int(half[p + c]) - int(reference[p + c]));
                total += difference;
                pixelChanged = pixelChanged || difference > CHANNEL_TOLERANCE;
            }
            changed += pixelChanged ? 1 : 0;
        }
        EXPECT_LE(double(changed), CHANGED_SHARE * 320 * 240)
            << changed << " pixels differ from the reference; the frame is in gl-out/";
        EXPECT_LE(total / (320 * 240 * 3), MEAN_DIFFERENCE) << "the frame is in gl-out/";
    }
}

} // namespace
