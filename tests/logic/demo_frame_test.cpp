// The demo's spine on the recording device: media loading and the missing-file boxes, the
// device set-up, the timeline, the frame with its clear and letterbox, and the end of the show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "framework/device_dialog.h"
#include "math/render_records.h"
#include "platform/host/presentation.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/kernel.h"
#include "resources/program_resources.h"
#include "support/fake_drivers.h"
#include "support/image_files.h"
#include "support/recording_device.h"
#include "support/shell_test_support.h"
#include "texture/texture_store.h"
#include "texture/texture_surfaces.h"

namespace fs = std::filesystem;
using d3d::DeviceCall;
using d3d::DeviceMethod;
using d3d::RecordingDevice;

namespace {

// A box handler that also notes whether the main window existed when each box came up.
class NotingMessageBoxes final : public host::MessageBoxHandler {
public:
    shell_test::CountingMessageBoxes boxes;
    std::vector<bool> windowExisted;
    const DemoApp* app = nullptr;
    int Show(HWND owner, const char* text, const char* caption, UINT type) override {
        windowExisted.push_back(app != nullptr && app->window != nullptr);
        return boxes.Show(owner, text, caption, type);
    }
};

// The device dialog as the user: counts its runs and picks a device when told to.
class DeviceDialogUser final : public host::DialogHandler {
public:
    int runs = 0;
    int pick = -1;
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        ++runs;
        if (pick >= 0) {
            dialogs::SelectComboItem(GetDlgItem(dialog, IDC_DEVICE_LIST), pick);
        }
        return dialogs::PressEnter(dialog);
    }
};

class DemoFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        RegisterProgramResources();
        host::SetClock(&clock);
        host::SetMessageBoxHandler(&boxes);
        host::SetDialogHandler(&dialogUser);
        trace.emplace();
        drivers.emplace(test_drivers::TypicalFakeDrivers());

        // An empty working directory, and a registry naming the media folder of the build.
        root = fs::temp_directory_path() / ("lumenfall-demo-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "work");
        previousDirectory = fs::current_path();
        fs::current_path(root / "work");
        if (const char* old = std::getenv("LUMENFALL_REGISTRY")) {
            previousRegistry = old;
        }
        registryFile = (root / "registry.ini").string();
        setenv("LUMENFALL_REGISTRY", registryFile.c_str(), 1);
        NameSamplesPath(fs::path(LUMENFALL_MEDIA_DIR).parent_path().parent_path().string());

        app = std::make_unique<DemoApp>();
        boxes.app = app.get();
    }

    void TearDown() override {
        boxes.app = nullptr;
        app.reset();
        ReleaseScenes();
        InvalidateAllTextures();
        while (textureStore.head != nullptr) {
            RemoveTexture(textureStore.head->name);
        }
        cameraEye = D3DVECTOR{0.0f, 0.0f, 0.0f};
        fs::current_path(previousDirectory);
        if (previousRegistry) {
            setenv("LUMENFALL_REGISTRY", previousRegistry->c_str(), 1);
        } else {
            unsetenv("LUMENFALL_REGISTRY");
        }
        fs::remove_all(root);
        trace.reset();
        drivers.reset();
        shell_test::ResetShellState();
    }

    void NameSamplesPath(const std::string& path) {
        const std::string text =
            "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=" + path +
            "\n";
        test_images::WriteFile(registryFile, test_images::Bytes(text.begin(), text.end()));
    }

    void Create() {
        ASSERT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), S_OK);
        device = RecordingDevice::From(app->device);
        ASSERT_NE(device, nullptr);
    }

    // One frame at time t through the demo's own operations, with a fresh log.
    void Frame(float t) {
        app->Animate(t);
        device = RecordingDevice::From(app->device);
        device->ClearLog();
        app->DrawFrame();
        device = RecordingDevice::From(app->device);
    }

    bool QuitPosted() {
        for (const MSG& message : shell_test::TakeQueuedMessages()) {
            if (message.message == WM_QUIT) {
                return true;
            }
        }
        return false;
    }

    host::ManualClock clock{0};
    NotingMessageBoxes boxes;
    DeviceDialogUser dialogUser;
    std::optional<shell_test::DebugCapture> trace;
    std::optional<host::ScopedDrivers> drivers;
    fs::path root, previousDirectory;
    std::string registryFile;
    std::optional<std::string> previousRegistry;
    std::unique_ptr<DemoApp> app;
    RecordingDevice* device = nullptr;
};

TEST_F(DemoFrameTest, StartLoadsEveryMediaFileAndPreparesTheDevice) {
    Create();
    EXPECT_TRUE(boxes.boxes.boxes.empty());
    for (const char* name : {"title.bmp", "file.bmp", "misc.bmp", "the_end.bmp", "nosound.bmp"}) {
        EXPECT_NE(GetTextureSurface(name), nullptr) << name;
    }
    for (MeshFile* mesh : titleScene.meshes) {
        EXPECT_NE(mesh, nullptr);
    }
    EXPECT_NE(swarmScene.mesh, nullptr);
    EXPECT_NE(rosetteScene.mesh, nullptr);
    EXPECT_NE(finaleScene.mesh, nullptr);
    EXPECT_TRUE(app->firstFrame);
    EXPECT_EQ(app->sceneIndex, 0);

    // The device set-up, in order.
    std::vector<std::string> setUp;
    for (const DeviceCall& call : device->Calls()) {
        switch (call.method) {
        case DeviceMethod::SetLight:
        case DeviceMethod::LightEnable:
        case DeviceMethod::GetViewport:
            setUp.push_back(d3d::MethodName(call.method) + std::string(" ") +
                            std::to_string(call.id) + "=" + std::to_string(call.value));
            break;
        case DeviceMethod::SetRenderState:
        case DeviceMethod::SetTextureStageState:
        case DeviceMethod::SetTransform:
            setUp.push_back(
                d3d::MethodName(call.method) + std::string(" ") + std::to_string(call.id) +
                (call.method == DeviceMethod::SetTransform ? std::string()
                                                           : "=" + std::to_string(call.value)));
            break;
        default:
            break;
        }
    }
    const std::vector<std::string> expected = {"SetLight 0=0",
                                               "LightEnable 0=1",
                                               "SetRenderState 137=1",
                                               "SetRenderState 139=" + std::to_string(0xAAAAAAAAu),
                                               "GetViewport 0=0",
                                               "SetTransform 1",
                                               "SetTransform 3",
                                               "SetRenderState 26=0",
                                               "SetRenderState 29=0",
                                               "SetRenderState 7=0",
                                               "SetRenderState 19=2",
                                               "SetRenderState 20=2",
                                               "SetTextureStageState 17=2",
                                               "SetTextureStageState 16=2"};
    ASSERT_GE(setUp.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(setUp.begin(), setUp.begin() + expected.size()), expected);

    const d3d::DeviceState state = device->StateBefore(device->Calls().size());
    D3DMATRIX projection;
    BuildProjectionMatrix(projection, 3.14159265f * (1.0f / 3.0f), 480.0f / 640.0f, 1.0f, 1000.0f);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_FLOAT_EQ(state.projection.m[row][column], projection.m[row][column]);
        }
    }
    const DeviceCall* light = device->CallsOf(DeviceMethod::SetLight).front();
    EXPECT_EQ(light->light.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_LT(light->light.dvDirection.y, -0.8f) << "mostly down the line of sight";
    EXPECT_FLOAT_EQ(light->light.dcvDiffuse.g, 1.0f);
}

TEST_F(DemoFrameTest, TheTimelineKeepsTheSceneAtTheExactBoundaries) {
    Create();
    struct Step {
        float t;
        int scene;
    };
    const Step steps[] = {{0.5f, 0},  {14.9f, 0}, {15.0f, 0}, {15.1f, 1}, {30.0f, 1},
                          {30.1f, 2}, {60.0f, 2}, {60.1f, 3}, {75.0f, 3}, {75.1f, 4},
                          {200.f, 4}, {15.0f, 4}, {14.0f, 0}};
    for (const Step& step : steps) {
        app->Animate(step.t);
        EXPECT_EQ(app->sceneIndex, step.scene) << "t = " << step.t;
    }
    app->sceneIndex = 3;
    app->Animate(30.0f);
    EXPECT_EQ(app->sceneIndex, 3) << "no test matches exactly 30";
}

TEST_F(DemoFrameTest, TheFirstAnimateGivesMinusTAndTheCameraLooksDownFrom600) {
    Create();
    app->Animate(2.5f);
    EXPECT_FLOAT_EQ(app->timeStep, -2.5f);
    EXPECT_FLOAT_EQ(app->currentTime, 2.5f);
    app->Animate(2.75f);
    EXPECT_FLOAT_EQ(app->timeStep, -0.25f);
    EXPECT_FLOAT_EQ(app->previousTime, 2.75f);

    EXPECT_FLOAT_EQ(cameraEye.y, 600.0f);
    EXPECT_FLOAT_EQ(cameraEye.x, 0.0f);
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 600, 1}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(app->monoView.m[row][column], expected[row][column], 1e-4f)
                << row << "," << column;
        }
    }
}

TEST_F(DemoFrameTest, AFrameClearsDrawsTheSceneAndPutsTheLetterboxOnTop) {
    Create();
    Frame(3.0f);
    EXPECT_EQ(dialogUser.runs, 1) << "the first frame opens the device dialog";
    EXPECT_FALSE(app->firstFrame);

    // RGB (28, 10, 30) packed as RGB565 and handed over as an XRGB colour.
    EXPECT_EQ(PackRgb565(28, 10, 30), 0x1843u);
    EXPECT_EQ(PackRgb565(255, 255, 255), 0xFFFFu);
    const auto clears = device->CallsOf(DeviceMethod::Clear);
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0]->color, 0x00001843u);
    EXPECT_EQ(clears[0]->value, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    EXPECT_EQ(clears[0]->z, 1.0f);
    EXPECT_EQ(clears[0]->stencil, 0u);
    EXPECT_TRUE(clears[0]->rects.empty());
    ASSERT_EQ(device->CountOf(DeviceMethod::BeginScene), 1u);
    ASSERT_EQ(device->CountOf(DeviceMethod::EndScene), 1u);
    EXPECT_EQ(device->Calls().back().method, DeviceMethod::EndScene);

    // The letterbox: the frame's last four draws.
    struct Corner {
        float x, z, tu, tv;
    };
    const Corner quads[4][4] = {
        {{550, -250, 1, 0}, {550, -350, 1, 0.4f}, {-550, -250, 0, 0}, {-550, -350, 0, 0.4f}},
        {{550, 350, 1, 0}, {550, 250, 1, 0.4f}, {-550, 350, 0, 0}, {-550, 250, 0, 0.4f}},
        {{550, 248, 1, 0}, {550, 240, 1, 0.4f}, {-550, 248, 0, 0}, {-550, 240, 0, 0.4f}},
        {{550, -240, 1, 0}, {550, -248, 1, 0.4f}, {-550, -240, 0, 0}, {-550, -248, 0, 0.4f}},
    };
    ASSERT_GE(device->DrawCount(), 4u);
    const size_t first = device->DrawCount() - 4;
    for (size_t q = 0; q < 4; ++q) {
        SCOPED_TRACE(q);
        const DeviceCall& draw = device->Draw(first + q);
        EXPECT_EQ(draw.method, DeviceMethod::DrawPrimitive);
        EXPECT_EQ(draw.primitive, D3DPT_TRIANGLESTRIP);
        EXPECT_EQ(draw.vertexFormat, 0x112u);
        EXPECT_EQ(draw.value, 0u);
        ASSERT_EQ(draw.vertices.size(), 4u);
        for (size_t v = 0; v < 4; ++v) {
            const D3DVERTEX& vertex = draw.vertices[v];
            EXPECT_EQ(vertex.x, quads[q][v].x);
            EXPECT_EQ(vertex.y, 0.0f);
            EXPECT_EQ(vertex.z, quads[q][v].z);
            EXPECT_EQ(vertex.nx, 0.0f);
            EXPECT_EQ(vertex.ny, 1.0f);
            EXPECT_EQ(vertex.nz, 0.0f);
            EXPECT_EQ(vertex.tu, quads[q][v].tu);
            EXPECT_EQ(vertex.tv, quads[q][v].tv);
        }
        const d3d::DeviceState state = device->StateAtDraw(first + q);
        EXPECT_EQ(state.material.diffuse.r, 0.0f);
        EXPECT_EQ(state.material.ambient.g, 0.0f);
        EXPECT_EQ(state.material.diffuse.a, 1.0f);
        EXPECT_EQ(state.textures[0], nullptr);
        EXPECT_EQ(state.world.m[3][0], 0.0f);
        EXPECT_EQ(state.world.m[0][0], 1.0f);
        EXPECT_EQ(state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
        EXPECT_EQ(state.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
    }

    Frame(3.1f);
    EXPECT_EQ(dialogUser.runs, 1) << "only the first frame opens it";
}

TEST_F(DemoFrameTest, ADeviceChosenInTheFirstFramesDialogDrawsThatFrame) {
    Create();
    dialogUser.pick = 1; // the software device
    Frame(0.1f);
    EXPECT_STREQ(app->selectedDevice->name, "Fake RGB Device");
    // The new device's log starts with its set-up (the old one's log was cleared before).
    EXPECT_EQ(device->CountOf(DeviceMethod::SetLight), 1u);
    EXPECT_EQ(device->CountOf(DeviceMethod::Clear), 1u) << "the frame went to the new device";
    EXPECT_NE(GetTextureSurface("title.bmp"), nullptr) << "textures were rebuilt for it";
    EXPECT_EQ(pauseCount, 0);
}

TEST_F(DemoFrameTest, TheShowEndsOnlyAfter118SecondsWithTheFrameDrawnFirst) {
    Create();
    shell_test::TakeQueuedMessages();
    Frame(118.0f);
    EXPECT_FALSE(QuitPosted());
    EXPECT_NE(titleScene.meshes[0], nullptr);
    EXPECT_NE(GetTextureSurface("misc.bmp"), nullptr);

    Frame(118.01f);
    // The last frame is drawn completely, letterbox (last: the lower line) and all.
    EXPECT_EQ(device->CountOf(DeviceMethod::EndScene), 1u);
    ASSERT_GE(device->DrawCount(), 4u);
    const DeviceCall& last = device->Draw(device->DrawCount() - 1);
    ASSERT_EQ(last.vertices.size(), 4u);
    EXPECT_EQ(last.vertices[3].x, -550.0f);
    EXPECT_EQ(last.vertices[3].z, -248.0f);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(GetTextureSurface("misc.bmp"), nullptr) << "texture surfaces released";
    EXPECT_NE(FindTexture("misc.bmp"), nullptr) << "the images stay";
    for (MeshFile* mesh : titleScene.meshes) {
        EXPECT_EQ(mesh, nullptr);
    }
    EXPECT_EQ(swarmScene.mesh, nullptr);
    EXPECT_EQ(rosetteScene.mesh, nullptr);
    EXPECT_EQ(finaleScene.mesh, nullptr);
}

TEST_F(DemoFrameTest, RunEndsByItselfAfterTheShowOnTheApplicationClock) {
    Create();
    // Each pass of the loop with an empty queue draws a frame; the clock moves 5 s a frame.
    int frames = 0;
    host::SetFrameSink([&](const host::PresentedFrame&) {
        ++frames;
        clock.Advance(5000);
    });
    EXPECT_EQ(app->Run(), 0u);
    EXPECT_GT(app->currentTime, 118.0f);
    EXPECT_LE(app->currentTime, 123.0f);
    EXPECT_EQ(frames, 25);
    EXPECT_TRUE(IsWindow(app->window)) << "the show ends without closing the window";
}

TEST_F(DemoFrameTest, StoppedTimeDrawsTheSameMomentAgain) {
    Create();
    clock.Advance(20000);
    ASSERT_EQ(app->FrameStep(), S_OK);
    SendMessageA(app->window, WM_COMMAND, CMD_TOGGLE_TIME, 0);
    clock.Advance(7000);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_FLOAT_EQ(app->currentTime, 20.0f);
    EXPECT_FLOAT_EQ(app->timeStep, -20.0f);
    EXPECT_EQ(app->sceneIndex, 1);
}

TEST_F(DemoFrameTest, EveryMissingMediaFileGetsItsOwnBoxBeforeTheWindowAndTheShowQuits) {
    NameSamplesPath((root / "nowhere").string());
    Create();
    EXPECT_EQ(boxes.boxes.Count("File not found."), 8);
    ASSERT_EQ(boxes.boxes.boxes.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(boxes.boxes.boxes[i].caption, "Ichk.");
        EXPECT_EQ(boxes.boxes.boxes[i].type, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_EQ(boxes.boxes.boxes[i].owner, nullptr);
        EXPECT_FALSE(boxes.windowExisted[i]);
    }
    EXPECT_NE(titleScene.meshes[0], nullptr) << "start-up goes on";
    EXPECT_EQ(app->Run(), 0u);
    EXPECT_EQ(device->CountOf(DeviceMethod::Clear), 0u) << "no frame was drawn";
}

} // namespace
