// The offscreen GL rig.
#include "support/gl_test_support.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/ddraw/pixel_formats.h"
#include "platform/ddraw/rgba_pixels.h"
#include "platform/drivers/driver_builder.h"
#include "platform/host/host.h"
#include "support/fake_drivers.h"

namespace gl_test {

host::DriverSet SoftwareGlDrivers() {
    return {drivers::PrimaryDriver()
                .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL software"))
                .Build()};
}

namespace {

IDirectDrawSurface7* MakeSurface(IDirectDraw7* directDraw, int width, int height,
                                 const DDPIXELFORMAT& format, DWORD caps) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddpfPixelFormat = format;
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface7* surface = nullptr;
    directDraw->CreateSurface(&desc, &surface, nullptr);
    return surface;
}

} // namespace

OffscreenRig::OffscreenRig(int width, int height, int bits, bool zBuffer)
    : drivers_(SoftwareGlDrivers()), width_(width), height_(height) {
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    directDraw = static_cast<IDirectDraw7*>(object);
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    using ddraw::PixelKind;
    target =
        MakeSurface(directDraw, width, height,
                    ddraw::MakePixelFormat(bits == 16 ? PixelKind::RGB565 : PixelKind::XRGB8888),
                    DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    if (zBuffer) {
        IDirectDrawSurface7* z = MakeSurface(
            directDraw, width, height,
            ddraw::MakePixelFormat(bits == 16 ? PixelKind::Z16 : PixelKind::Z32), DDSCAPS_ZBUFFER);
        target->AddAttachedSurface(z);
        z->Release();
    }
    std::string messages;
    host::SetDebugOutputSink([&messages](const char* text) { messages += text; });
    const HRESULT result = direct3D->CreateDevice(IID_IDirect3DRGBDevice, target, &device);
    host::SetDebugOutputSink(nullptr);
    if (result != D3D_OK) {
        device = nullptr;
        failure_ = "the software GL device could not be made: " + messages;
    }
}

FlipRig::FlipRig(int width, int height, int bits)
    : drivers_({test_drivers::FakeDriver()
                    .Mode(DWORD(width), DWORD(height), DWORD(bits))
                    .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL"))
                    .Build()}) {
    host::SetFrameSink([this](const host::PresentedFrame& presented) {
        frameWidth = presented.width;
        frameHeight = presented.height;
        CopyPresentedFrame(presented, frame);
    });
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    directDraw = static_cast<IDirectDraw7*>(object);
    const HWND window = reinterpret_cast<HWND>(0x4242); // a window without a native one
    directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    directDraw->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bits), 0, 0);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    directDraw->CreateSurface(&desc, &primary, nullptr);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    primary->GetAttachedSurface(&caps, &back);
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    direct3D->CreateDevice(IID_IDirect3DRGBDevice, back, &device);
}

FlipRig::~FlipRig() {
    host::SetFrameSink(nullptr);
    // Everything the chain and the device hold goes with them.
    if (device != nullptr) {
        EXPECT_EQ(device->Release(), 0u);
    }
    back->Release();
    primary->Release();
    direct3D->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
}

bool FlipRig::Flip() {
    return primary->Flip(nullptr, DDFLIP_WAIT) == DD_OK;
}

DWORD FlipRig::FramePixel(int x, int y) const {
    const BYTE* p = &frame[(size_t(y) * size_t(frameWidth) + size_t(x)) * 4];
    return DWORD(p[0]) << 16 | DWORD(p[1]) << 8 | p[2];
}

void CopyPresentedFrame(const host::PresentedFrame& presented, std::vector<BYTE>& rgba) {
    const size_t rowBytes = size_t(presented.width) * 4;
    rgba.resize(rowBytes * size_t(presented.height));
    for (int y = 0; y < presented.height; ++y) {
        std::memcpy(&rgba[size_t(y) * rowBytes],
                    presented.rgba + size_t(y) * size_t(presented.pitch), rowBytes);
    }
}

OffscreenRig::~OffscreenRig() {
    if (device != nullptr) {
        device->Release();
    }
    target->Release();
    direct3D->Release();
    directDraw->Release();
}

void OffscreenRig::SetUpPlainScene(D3DCOLOR ambient) {
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &identity);
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvDirection = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, ambient);
}

void OffscreenRig::SetGrey(float level, float alpha) {
    D3DMATERIAL7 material{};
    material.diffuse = {level, level, level, alpha};
    material.ambient = {level, level, level, alpha};
    device->SetMaterial(&material);
}

void OffscreenRig::DrawQuad(float x0, float y0, float x1, float y1, float z, float u0, float v0,
                            float u1, float v1) {
    // Top right, bottom right, top left, bottom left: clockwise on a y-down screen.
    D3DVERTEX quad[4] = {
        {x1, y1, z, 0, 0, -1, u1, v0},
        {x1, y0, z, 0, 0, -1, u1, v1},
        {x0, y1, z, 0, 0, -1, u0, v0},
        {x0, y0, z, 0, 0, -1, u0, v1},
    };
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
}

IDirectDrawSurface7* OffscreenRig::MakeTexture(int width, int height, int pixelKind,
                                               const std::vector<DWORD>& pixels) {
    const DDPIXELFORMAT format = ddraw::MakePixelFormat(static_cast<ddraw::PixelKind>(pixelKind));
    IDirectDrawSurface7* texture =
        MakeSurface(directDraw, width, height, format, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (texture == nullptr || texture->Lock(nullptr, &desc, 0, nullptr) != DD_OK) {
        return texture;
    }
    const ddraw::PixelLayout layout = ddraw::DescribePixelFormat(format);
    auto* bits = static_cast<BYTE*>(desc.lpSurface);
    for (size_t i = 0; i < pixels.size() && i < size_t(width) * height; ++i) {
        ddraw::WriteRaw(bits + (i / width) * desc.lPitch + (i % width) * layout.bytesPerPixel,
                        layout.bytesPerPixel, pixels[i]);
    }
    texture->Unlock(nullptr);
    return texture;
}

std::vector<BYTE> ReadSurfaceRgba(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (surface->Lock(nullptr, &desc, DDLOCK_READONLY, nullptr) != DD_OK) {
        return {};
    }
    const ddraw::PixelLayout layout = ddraw::DescribePixelFormat(desc.ddpfPixelFormat);
    ddraw::PixelView view;
    view.layout = &layout;
    view.pixels = static_cast<const BYTE*>(desc.lpSurface);
    view.pitch = desc.lPitch;
    view.width = static_cast<int>(desc.dwWidth);
    view.height = static_cast<int>(desc.dwHeight);
    std::vector<BYTE> rgba(size_t(view.width) * view.height * 4);
    ddraw::ConvertToRgba(view, ddraw::AlphaRule::OPAQUE, ddraw::RowOrder::TOP_DOWN, rgba.data());
    surface->Unlock(nullptr);
    return rgba;
}

std::vector<BYTE> OffscreenRig::Rgba() {
    std::vector<BYTE> rgba = ReadSurfaceRgba(target);
    rgba.resize(size_t(width_) * height_ * 4);
    return rgba;
}

Rgb OffscreenRig::Pixel(int x, int y) {
    const std::vector<BYTE> rgba = Rgba();
    const BYTE* p = &rgba[(size_t(y) * width_ + x) * 4];
    return Rgb{p[0], p[1], p[2]};
}

void OffscreenRig::Save(const std::string& name) {
    mkdir("gl-out", 0755);
    SavePng("gl-out/" + name + ".png", width_, height_, Rgba());
}

bool SavePng(const std::string& path, int width, int height, const std::vector<BYTE>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, &rgba[size_t(y) * width * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

} // namespace gl_test
