// Pacing on the desktop: flips wait for the display's refresh unless vertical sync is off, and a
// frame cap spaces presentations at least 1/cap s apart (checked from below only: a busy machine
// can make them later, never earlier).
#include <gtest/gtest.h>

#include <chrono>

#include "platform/desktop/refresh_pacing.h"
#include "platform/host/presentation_options.h"

namespace {

class PacingTest : public ::testing::Test {
protected:
    ~PacingTest() override { host::SetPresentationOptions(host::PresentationOptions{}); }
};

TEST_F(PacingTest, FlipsWaitForTheRefreshUnlessVerticalSyncIsOff) {
    EXPECT_TRUE(desktop::WaitsForRefresh(true));
    EXPECT_FALSE(desktop::WaitsForRefresh(false));
    host::PresentationOptions options;
    options.vsync = false;
    host::SetPresentationOptions(options);
    EXPECT_FALSE(desktop::WaitsForRefresh(true));
}

TEST_F(PacingTest, AFrameCapSpacesPresentations) {
    host::PresentationOptions options;
    options.frameCap = 50;
    host::SetPresentationOptions(options);
    desktop::PacePresentation(nullptr, false);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) {
        desktop::PacePresentation(nullptr, false);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Five periods of 20 ms.
    EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count(), 100000);
}

} // namespace
