// The demo on the software GL device, offscreen.
#include "support/show_rig.h"

#include <png.h>

#include <cstring>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "platform/gl/gl_device.h"
#include "platform/host/host.h"
#include "platform/host/presentation.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/kernel.h"
#include "resources/program_resources.h"
#include "support/fake_drivers.h"
#include "support/gl_test_support.h"
#include "support/scene_test_support.h"
#include "support/shell_test_support.h"
#include "texture/texture_store.h"
#include "texture/texture_surfaces.h"

namespace show_test {

namespace {

// Confirms the start-up dialog as it is: the device already chosen stays.
class ConfirmingDialogs final : public host::DialogHandler {
public:
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        return dialogs::PressEnter(dialog);
    }
};

} // namespace

struct ShowRig::Seams {
    host::ManualClock clock{1000};
    shell_test::CountingMessageBoxes boxes;
    ConfirmingDialogs dialogs;
    scene_test::BuildMediaRegistry registry;
    host::ScopedDrivers drivers{gl_test::SoftwareGlDrivers()};
    shell_test::DebugCapture trace;
};

ShowRig::ShowRig() {
    shell_test::ResetShellState();
    RegisterProgramResources();
    seams_ = std::make_unique<Seams>();
    host::SetClock(&seams_->clock);
    host::SetMessageBoxHandler(&seams_->boxes);
    host::SetDialogHandler(&seams_->dialogs);
    host::SetFrameSink([this](const host::PresentedFrame& presented) {
        width_ = presented.width;
        height_ = presented.height;
        gl_test::CopyPresentedFrame(presented, frame_);
    });

    app_ = std::make_unique<DemoApp>();
    if (FAILED(app_->Create(GetModuleHandleA(nullptr), nullptr)) || app_->device == nullptr) {
        failure_ = "the demo did not start on the software device: " + seams_->trace.Text();
    } else if (!seams_->boxes.boxes.empty()) {
        failure_ = "a box came up: " + seams_->boxes.boxes.front().text;
    }
}

ShowRig::~ShowRig() {
    app_.reset();
    ReleaseScenes();
    InvalidateAllTextures();
    while (textureStore.head != nullptr) {
        RemoveTexture(textureStore.head->name);
    }
    cameraEye = D3DVECTOR{0.0f, 0.0f, 0.0f};
    host::SetFrameSink(nullptr);
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    host::SetClock(nullptr);
    seams_.reset();
    shell_test::ResetShellState();
}

bool ShowRig::UseMode(int width, int height, int bits) {
    DeviceInfo* device = app_->selectedDevice;
    if (device == nullptr) {
        return false;
    }
    for (DWORD i = 0; i < device->modeCount; ++i) {
        const DDSURFACEDESC2& mode = device->modes[i];
        if (mode.dwWidth == DWORD(width) && mode.dwHeight == DWORD(height) &&
            mode.ddpfPixelFormat.dwRGBBitCount == DWORD(bits)) {
            device->currentModeIndex = i;
            device->currentMode = mode;
            device->windowed = FALSE;
            return SUCCEEDED(app_->ChangeEnvironment()) && app_->device != nullptr;
        }
    }
    return false;
}

const std::vector<BYTE>& ShowRig::FrameAt(DWORD milliseconds) {
    frame_.clear();
    seams_->clock.Set(app_->baseTime + milliseconds);
    app_->FrameStep();
    return frame_;
}

std::vector<BYTE> HalveRgba(const std::vector<BYTE>& rgba, int width, int height) {
    const int w = width / 2, h = height / 2;
    std::vector<BYTE> half(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        sum += rgba[(size_t(2 * y + dy) * size_t(width) + size_t(2 * x + dx)) * 4 +
                                    size_t(c)];
                    }
                }
                half[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(c)] = BYTE((sum + 2) / 4);
            }
        }
    }
    return half;
}

bool LoadPng(const std::string& path, int& width, int& height, std::vector<BYTE>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    // Reference pictures are small; anything larger is not one of ours.
    if (image.width == 0 || image.height == 0 || image.width > 4096 || image.height > 4096) {
        png_image_free(&image);
        return false;
    }
    rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    return true;
}

} // namespace show_test
