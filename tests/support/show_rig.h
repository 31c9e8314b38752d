// The whole demo as the program runs it, on Mesa's software rasteriser through EGL, with no
// display: a driver whose only 3D device is the software GL device, the program's own Create
// (media, catalog, default choice of full screen 640 x 480 x 16, environment), the start-up
// dialog answered as it comes, and a manual clock, so that each frame is taken at an exact
// application time from what the display device presents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/types.h"

class DemoApp;

namespace show_test {

class ShowRig {
public:
    ShowRig();
    ~ShowRig();
    ShowRig(const ShowRig&) = delete;
    ShowRig& operator=(const ShowRig&) = delete;

    // False (with the reason in Failure()) when the program could not start on the device.
    bool Ready() const { return failure_.empty(); }
    const std::string& Failure() const { return failure_; }

    // Switches to another full-screen mode of the device, as the dialog's choice would.
    bool UseMode(int width, int height, int bits);

    // One frame step of the application at `milliseconds` of application time; the presented
    // frame (4 bytes per pixel, RGBA, top row first), or an empty vector when none came.
    const std::vector<BYTE>& FrameAt(DWORD milliseconds);
    int Width() const { return width_; }
    int Height() const { return height_; }

    DemoApp& App() { return *app_; }

private:
    struct Seams;
    std::unique_ptr<Seams> seams_;
    std::unique_ptr<DemoApp> app_;
    std::vector<BYTE> frame_;
    int width_ = 0;
    int height_ = 0;
    std::string failure_;
};

// Box-filters an RGBA picture to half its width and height.
std::vector<BYTE> HalveRgba(const std::vector<BYTE>& rgba, int width, int height);
// Reads a PNG as RGBA; false when it cannot.
bool LoadPng(const std::string& path, int& width, int& height, std::vector<BYTE>& rgba);

} // namespace show_test
