// Direct3D on fake drivers: enumeration, device creation, the recording device's state and log,
// argument checks, and reference counts through the program's whole set-up and teardown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/graphics_test_support.h"
#include "support/recording_device.h"

using d3d::DeviceMethod;
using d3d::RecordingDevice;
using ddraw::PixelKind;
using gfx_test::CreateDirectDraw;
using gfx_test::CreateSurface;
using gfx_test::FakeWindow;

namespace {

D3DVERTEX Vertex(float x, float z) {
    return D3DVERTEX{x, 0, z, 0, 1, 0, 0, 0};
}

// A DirectDraw object, its Direct3D object and an offscreen 3D target, optionally with z.
struct Rig {
    explicit Rig(bool withZBuffer, DWORD width = 64, DWORD height = 48) {
        directDraw = CreateDirectDraw();
        EXPECT_EQ(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)),
                  DD_OK);
        target = CreateSurface(directDraw, width, height, PixelKind::RGB565,
                               DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        if (withZBuffer) {
            IDirectDrawSurface7* z =
                CreateSurface(directDraw, width, height, PixelKind::Z16, DDSCAPS_ZBUFFER);
            EXPECT_EQ(target->AddAttachedSurface(z), DD_OK);
            z->Release();
        }
    }
    ~Rig() {
        EXPECT_EQ(target->Release(), 0u);
        EXPECT_EQ(direct3D->Release(), 0u);
        EXPECT_EQ(directDraw->Release(), 0u);
    }
    IDirect3DDevice7* CreateDevice(const GUID& guid = IID_IDirect3DHALDevice) {
        IDirect3DDevice7* device = nullptr;
        EXPECT_EQ(direct3D->CreateDevice(guid, target, &device), D3D_OK);
        return device;
    }

    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
};

class DeviceTest : public ::testing::Test {
protected:
    host::ScopedDrivers drivers{test_drivers::TypicalFakeDrivers()};
};

TEST_F(DeviceTest, EnumerationListsDevicesAndFormatsInTheDriversOrder) {
    Rig rig(false);
    std::vector<std::string> names;
    ASSERT_EQ(
        rig.direct3D->EnumDevices(
            [](LPSTR description, LPSTR name, D3DDEVICEDESC7* desc, LPVOID context) -> HRESULT {
                auto* out = static_cast<std::vector<std::string>*>(context);
                const bool hardware = (desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
                out->push_back(std::string(name) + "|" + description + "|" +
                               (hardware ? "hw" : "sw"));
                return D3DENUMRET_OK;
            },
            &names),
        D3D_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"Fake HAL Device|Fake hardware rasterisation|hw",
                                               "Fake RGB Device|Fake software rasterisation|sw"}));

    std::vector<DWORD> depths;
    ASSERT_EQ(rig.direct3D->EnumZBufferFormats(
                  IID_IDirect3DRGBDevice,
                  [](DDPIXELFORMAT* format, LPVOID context) -> HRESULT {
                      static_cast<std::vector<DWORD>*>(context)->push_back(
                          format->dwZBufferBitDepth);
                      return D3DENUMRET_OK;
                  },
                  &depths),
              D3D_OK);
    EXPECT_EQ(depths, (std::vector<DWORD>{16, 24, 32}));
    EXPECT_EQ(
        rig.direct3D->EnumZBufferFormats(
            IID_IDirect3DRefDevice, [](DDPIXELFORMAT*, LPVOID) -> HRESULT { return 1; }, nullptr),
        DDERR_INVALIDPARAMS);

    IDirect3DDevice7* device = rig.CreateDevice();
    std::vector<DWORD> formats;
    ASSERT_EQ(device->EnumTextureFormats(
                  [](DDPIXELFORMAT* format, LPVOID context) -> HRESULT {
                      auto* out = static_cast<std::vector<DWORD>*>(context);
                      out->push_back(format->dwRGBBitCount << 24 | format->dwRGBAlphaBitMask);
                      return out->size() == 3 ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
                  },
                  &formats),
              D3D_OK);
    EXPECT_EQ(formats, (std::vector<DWORD>{16u << 24, 16u << 24, 16u << 24 | 0x8000}));
    D3DDEVICEDESC7 caps{};
    ASSERT_EQ(device->GetCaps(&caps), D3D_OK);
    EXPECT_TRUE(caps.deviceGUID == IID_IDirect3DHALDevice);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DeviceTest, CreateDeviceRefusesTargetsItCannotRenderAndPassesFactoryFailuresOn) {
    host::ScopedDrivers only16(
        {test_drivers::FakeDriver()
             .Device(test_drivers::FakeDevice(IID_IDirect3DHALDevice, "16").RenderDepths(DDBD_16))
             .Device(test_drivers::FakeDevice(IID_IDirect3DRGBDevice, "bad")
                         .FailsWith(DDERR_OUTOFVIDEOMEMORY))
             .Build()});
    IDirectDraw7* directDraw = CreateDirectDraw();
    IDirect3D7* direct3D = nullptr;
    ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)),
              DD_OK);
    IDirectDrawSurface7* deep = CreateSurface(directDraw, 8, 8, PixelKind::XRGB8888,
                                              DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    IDirectDrawSurface7* flat =
        CreateSurface(directDraw, 8, 8, PixelKind::RGB565, DDSCAPS_OFFSCREENPLAIN);
    IDirectDrawSurface7* good = CreateSurface(directDraw, 8, 8, PixelKind::RGB565,
                                              DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    IDirect3DDevice7* device = nullptr;
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, deep, &device),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, flat, &device), DDERR_INVALIDCAPS);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, good, &device),
              DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DTnLHalDevice, good, &device),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device, nullptr);
    for (IDirectDrawSurface7* surface : {deep, flat, good}) {
        EXPECT_EQ(surface->Release(), 0u);
    }
    EXPECT_EQ(direct3D->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DeviceTest, ANewDeviceHasThePlatformDefaults) {
    for (bool withZ : {false, true}) {
        Rig rig(withZ);
        IDirect3DDevice7* device = rig.CreateDevice();
        auto state = [&](D3DRENDERSTATETYPE which) {
            DWORD value = 0xDEAD;
            EXPECT_EQ(device->GetRenderState(which, &value), D3D_OK);
            return value;
        };
        auto stage = [&](D3DTEXTURESTAGESTATETYPE which) {
            DWORD value = 0xDEAD;
            EXPECT_EQ(device->GetTextureStageState(0, which, &value), D3D_OK);
            return value;
        };
        EXPECT_EQ(state(D3DRENDERSTATE_ZENABLE), withZ ? D3DZB_TRUE : D3DZB_FALSE);
        EXPECT_EQ(state(D3DRENDERSTATE_LIGHTING), DWORD{TRUE});
        EXPECT_EQ(state(D3DRENDERSTATE_CULLMODE), D3DCULL_CCW);
        EXPECT_EQ(state(D3DRENDERSTATE_ALPHABLENDENABLE), DWORD{FALSE});
        EXPECT_EQ(state(D3DRENDERSTATE_SRCBLEND), D3DBLEND_ONE);
        EXPECT_EQ(state(D3DRENDERSTATE_DESTBLEND), D3DBLEND_ZERO);
        EXPECT_EQ(state(D3DRENDERSTATE_AMBIENT), 0u);
        EXPECT_EQ(state(D3DRENDERSTATE_ZFUNC), D3DCMP_LESSEQUAL);
        EXPECT_EQ(stage(D3DTSS_COLOROP), D3DTOP_MODULATE);
        EXPECT_EQ(stage(D3DTSS_COLORARG1), D3DTA_TEXTURE);
        EXPECT_EQ(stage(D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
        EXPECT_EQ(stage(D3DTSS_ADDRESSU), D3DTADDRESS_WRAP);
        EXPECT_EQ(stage(D3DTSS_MAGFILTER), D3DTFG_POINT);
        EXPECT_EQ(stage(D3DTSS_MINFILTER), D3DTFN_POINT);
        D3DVIEWPORT7 viewport{};
        ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
        EXPECT_EQ(viewport.dwWidth, 64u);
        EXPECT_EQ(viewport.dwHeight, 48u);
        EXPECT_EQ(viewport.dvMaxZ, 1.0f);
        EXPECT_EQ(device->Release(), 0u);
    }
}

TEST_F(DeviceTest, SettingTheTargetAgainAfterAttachingAZBufferTurnsDepthTestingOn) {
    Rig rig(false);
    IDirect3DDevice7* device = rig.CreateDevice();
    IDirectDrawSurface7* z = CreateSurface(rig.directDraw, 64, 48, PixelKind::Z16, DDSCAPS_ZBUFFER);
    ASSERT_EQ(rig.target->AddAttachedSurface(z), DD_OK);
    z->Release();
    ASSERT_EQ(device->SetRenderTarget(rig.target, 0), D3D_OK);
    DWORD zEnable = 0;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_ZENABLE, &zEnable), D3D_OK);
    EXPECT_EQ(zEnable, D3DZB_TRUE);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DeviceTest, GettersAnswerWhatWasSetAndTexturesAreCounted) {
    Rig rig(true);
    IDirect3DDevice7* device = rig.CreateDevice();
    D3DMATRIX world = d3d::IdentityMatrix();
    world._41 = 5;
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    D3DMATRIX back{};
    ASSERT_EQ(device->GetTransform(D3DTRANSFORMSTATE_WORLD, &back), D3D_OK);
    EXPECT_EQ(back._41, 5.0f);
    ASSERT_EQ(device->GetTransform(D3DTRANSFORMSTATE_VIEW, &back), D3D_OK);
    EXPECT_EQ(back._41, 0.0f);

    D3DMATERIAL7 material{};
    material.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    D3DMATERIAL7 gotMaterial{};
    ASSERT_EQ(device->GetMaterial(&gotMaterial), D3D_OK);
    EXPECT_EQ(gotMaterial.diffuse.g, 0.5f);

    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP), D3D_OK);
    DWORD address = 0;
    ASSERT_EQ(device->GetTextureStageState(0, D3DTSS_ADDRESSV, &address), D3D_OK);
    EXPECT_EQ(address, D3DTADDRESS_CLAMP) << "the combined state sets both directions";

    IDirectDrawSurface7* texture = CreateSurface(rig.directDraw, 8, 8, PixelKind::RGB565);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(gfx_test::RefCount(texture), 2u);
    IDirectDrawSurface7* got = nullptr;
    ASSERT_EQ(device->GetTexture(0, &got), D3D_OK);
    EXPECT_EQ(got, texture);
    EXPECT_EQ(got->Release(), 2u) << "GetTexture adds a reference";
    ASSERT_EQ(device->GetTexture(1, &got), D3D_OK);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(device->SetTexture(0, rig.target), DDERR_INVALIDCAPS);

    // The light LightEnable makes for an index never set, and the limit of eight.
    ASSERT_EQ(device->LightEnable(3, TRUE), D3D_OK);
    D3DLIGHT7 light{};
    ASSERT_EQ(device->GetLight(3, &light), D3D_OK);
    EXPECT_EQ(light.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.dcvDiffuse.r, 1.0f);
    for (DWORD i = 10; i < 17; ++i) {
        ASSERT_EQ(device->LightEnable(i, TRUE), D3D_OK);
    }
    EXPECT_EQ(device->LightEnable(20, TRUE), D3DERR_LIGHT_SET_FAILED);
    light.dltType = static_cast<D3DLIGHTTYPE>(9);
    EXPECT_EQ(device->SetLight(0, &light), D3DERR_INVALIDCALL);
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dvDirection = {0, 0, 0};
    EXPECT_EQ(device->SetLight(0, &light), D3DERR_INVALIDCALL);

    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u) << "the device let go of its texture";
}

TEST_F(DeviceTest, TheLogKeepsCopiesOfWhatWasDrawnAndTheStateInEffectAtEachDraw) {
    Rig rig(true);
    IDirect3DDevice7* device = rig.CreateDevice();
    RecordingDevice* recording = RecordingDevice::From(device);
    ASSERT_NE(recording, nullptr);
    EXPECT_EQ(RecordingDevice::Latest(), recording);
    recording->ClearLog();

    D3DVERTEX quad[4] = {Vertex(1, 1), Vertex(1, -1), Vertex(-1, 1), Vertex(-1, -1)};
    WORD indices[6] = {0, 1, 2, 2, 1, 3};
    D3DMATERIAL7 grey{};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (float level : {0.25f, 0.75f}) {
        grey.diffuse = grey.ambient = {level, level, level, 1};
        ASSERT_EQ(device->SetMaterial(&grey), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, level > 0.5f), D3D_OK);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0), D3D_OK);
    }
    ASSERT_EQ(
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, quad, 4, indices, 6, 0),
        D3D_OK);
    quad[0].x = 99; // the log holds its own copy
    ASSERT_EQ(device->EndScene(), D3D_OK);

    ASSERT_EQ(recording->DrawCount(), 3u);
    EXPECT_EQ(recording->Draw(0).vertices.size(), 4u);
    EXPECT_EQ(recording->Draw(0).vertices[0].x, 1.0f);
    EXPECT_EQ(recording->Draw(0).primitive, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(recording->Draw(2).indices, (std::vector<WORD>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(recording->StateAtDraw(0).material.diffuse.r, 0.25f);
    EXPECT_EQ(recording->StateAtDraw(1).material.diffuse.r, 0.75f);
    EXPECT_EQ(recording->StateAtDraw(0).renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(recording->StateAtDraw(2).renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], 1u);
    EXPECT_TRUE(recording->StateAtDraw(2).inScene);
    EXPECT_EQ(recording->CountOf(DeviceMethod::SetMaterial), 2u);
    EXPECT_EQ(recording->CallsOf(DeviceMethod::SetRenderState)[1]->value, 1u);
    EXPECT_EQ(recording->Calls().front().method, DeviceMethod::BeginScene);
    EXPECT_STREQ(d3d::MethodName(recording->Calls().back().method), "EndScene");
    EXPECT_STREQ(d3d::MethodName(DeviceMethod::SetTextureStageState), "SetTextureStageState");
    EXPECT_EQ(recording->Draw(1).before, recording->Calls()[recording->Calls().size() - 2].before)
        << "nothing changed between the draw and the next, so they share the snapshot";

    // The snapshots are the device's own state, whatever changed it: calls made while recording
    // was off, and rules the log does not know (D3DTSS_ADDRESS sets both directions).
    recording->ClearLog();
    recording->SetRecording(false);
    grey.diffuse.r = 0.5f;
    device->SetMaterial(&grey);
    recording->SetRecording(true);
    device->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    device->GetMaterial(&grey);
    ASSERT_EQ(recording->Calls().size(), 2u);
    EXPECT_EQ(recording->StateBefore(0).material.diffuse.r, 0.5f);
    EXPECT_EQ(recording->StateBefore(1).stageStates[0][D3DTSS_ADDRESSV], DWORD(D3DTADDRESS_CLAMP));
    EXPECT_EQ(&recording->StateBefore(2), &recording->State());
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DeviceTest, DrawsAreCheckedBeforeAnythingIsReadFromTheCallersArrays) {
    Rig rig(false);
    IDirect3DDevice7* device = rig.CreateDevice();
    RecordingDevice* recording = RecordingDevice::From(device);
    D3DVERTEX triangle[3] = {Vertex(0, 0), Vertex(1, 0), Vertex(0, 1)};
    WORD outOfRange[3] = {0, 1, 3};
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0),
              D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZ, triangle, 3, 0),
              D3DERR_INVALIDVERTEXFORMAT);
    EXPECT_EQ(
        device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(0), D3DFVF_VERTEX, triangle, 3, 0),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, nullptr, 3, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 70000, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3,
                                           outOfRange, 3, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, nullptr, 3, 0),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(recording->DrawCount(), 7u);
    for (size_t i = 0; i < recording->DrawCount(); ++i) {
        EXPECT_TRUE(recording->Draw(i).vertices.empty()) << "refused draws copy nothing";
    }

    D3DVIEWPORT7 tooWide{0, 0, 65, 48, 0, 1};
    EXPECT_EQ(device->SetViewport(&tooWide), D3DERR_INVALIDCALL);
    D3DVIEWPORT7 badDepth{0, 0, 64, 48, 0.5f, 0.25f};
    EXPECT_EQ(device->SetViewport(&badDepth), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0),
              D3DERR_ZBUFFER_NOTPRESENT);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(300), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(device->Release(), 0u);
}

// The display device's whole life, in the program's order: full screen with a flipping chain and
// a z-buffer, a device, textures made through the device's DirectDraw object with a staging
// surface and a palette, a frame, then teardown. Every count must end at zero.
TEST_F(DeviceTest, AnOrdinaryTeardownInTheProgramsOrderLeavesNothingReferenced) {
    IDirectDraw7* directDraw = CreateDirectDraw();
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE |
                                                                DDSCL_ALLOWREBOOT | DDSCL_FPUSETUP),
              DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS2 backCaps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* renderSurface = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&backCaps, &renderSurface), DD_OK);
    renderSurface->AddRef();

    IDirect3D7* direct3D = nullptr;
    ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)),
              DD_OK);
    IDirect3DDevice7* device = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, renderSurface, &device), D3D_OK);
    D3DVIEWPORT7 viewport{0, 0, 640, 480, 0, 1};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);

    DDSURFACEDESC2 zDesc{};
    zDesc.dwSize = sizeof(zDesc);
    ASSERT_EQ(renderSurface->GetSurfaceDesc(&zDesc), DD_OK);
    zDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    zDesc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
    zDesc.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::Z16);
    IDirectDrawSurface7* zBuffer = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&zDesc, &zBuffer, nullptr), DD_OK);
    ASSERT_EQ(renderSurface->AddAttachedSurface(zBuffer), DD_OK);
    ASSERT_EQ(device->SetRenderTarget(renderSurface, 0), D3D_OK);

    // A palettised texture, the way the texture code builds one.
    IDirectDrawSurface7* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&target), D3D_OK);
    IDirectDraw7* textureOwner = nullptr;
    ASSERT_EQ(target->GetDDInterface(reinterpret_cast<void**>(&textureOwner)), DD_OK);
    target->Release();
    IDirectDrawSurface7* texture =
        CreateSurface(textureOwner, 16, 16, PixelKind::PAL8, DDSCAPS_TEXTURE);
    IDirectDrawSurface7* staging = CreateSurface(textureOwner, 16, 16, PixelKind::PAL8);
    std::vector<PALETTEENTRY> entries(256);
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(textureOwner->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries.data(), &palette,
                                          nullptr),
              DD_OK);
    ASSERT_EQ(staging->SetPalette(palette), DD_OK);
    ASSERT_EQ(texture->SetPalette(palette), DD_OK);
    palette->Release();
    ASSERT_EQ(texture->Blt(nullptr, staging, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    staging->Release();
    textureOwner->Release();

    // A frame that leaves the texture set on the device.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x1843, 1, 0), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    // Teardown: the textures go first (the program's ReleaseDevice), then the display device.
    texture->Release();
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(device->Release(), 0u);
    renderSurface->Release();
    zBuffer->Release();
    primary->Release();
    direct3D->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
}

} // namespace
