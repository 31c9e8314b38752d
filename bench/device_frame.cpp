// The 3D device against plain GL: one synthetic frame shaped like the busiest scene (160 indexed
// meshes of about 300 triangles from system-memory arrays, added together, and three full-screen
// textured quads), drawn through IDirect3DDevice7 on the software device and through a minimal
// direct-GL renderer on the same rasteriser, side by side, at 640 x 480 and 1600 x 1200 in 16
// bits. Reports the mean frame time of each, their ratio, and the heap allocations the device
// makes per draw (counted by a replaced operator new).
//
//   bench_device_frame [frames per round, default 20]
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/drivers/driver_builder.h"
#include "support/reference_renderer.h"

// ---- Allocation counting ---------------------------------------------------------------------
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int MESHES = 160;
constexpr int QUADS = 3;
constexpr int STACKS = 11;
constexpr int SLICES = 16;

struct Mesh {
    std::vector<D3DVERTEX> vertices;
    std::vector<WORD> indices;
    D3DMATRIX world{};
    float grey = 0;
};

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// A sphere of radius 1: (STACKS + 1) x (SLICES + 1) vertices, 2 x SLICES x (STACKS - 1)
// triangles (320).
Mesh Sphere() {
    Mesh mesh;
    for (int i = 0; i <= STACKS; ++i) {
        const float theta = 3.14159265f * float(i) / STACKS;
        for (int j = 0; j <= SLICES; ++j) {
            const float phi = 2 * 3.14159265f * float(j) / SLICES;
            const float x = std::sin(theta) * std::cos(phi), y = std::cos(theta);
            const float z = std::sin(theta) * std::sin(phi);
            mesh.vertices.push_back({x, y, z, x, y, z, float(j) / SLICES, float(i) / STACKS});
        }
    }
    for (int i = 0; i < STACKS; ++i) {
        for (int j = 0; j < SLICES; ++j) {
            const WORD a = WORD(i * (SLICES + 1) + j), b = WORD(a + SLICES + 1);
            if (i != 0) {
                mesh.indices.insert(mesh.indices.end(), {a, WORD(a + 1), b});
            }
            if (i != STACKS - 1) {
                mesh.indices.insert(mesh.indices.end(), {WORD(a + 1), WORD(b + 1), b});
            }
        }
    }
    return mesh;
}

std::vector<Mesh> Meshes() {
    std::vector<Mesh> meshes;
    const Mesh sphere = Sphere();
    for (int i = 0; i < MESHES; ++i) {
        Mesh mesh = sphere; // each mesh its own arrays, as the scenes' files have
        const float scale = 20.0f + float(i % 7) * 3.0f;
        mesh.world = Identity();
        mesh.world._11 = mesh.world._22 = mesh.world._33 = scale;
        mesh.world._41 = -420.0f + float(i % 16) * 56.0f;
        mesh.world._43 = -280.0f + float(i / 16) * 62.0f;
        mesh.grey = 0.1f + 0.02f * float(i % 5);
        meshes.push_back(std::move(mesh));
    }
    return meshes;
}

// The demo's camera: 600 units above, looking down, a third of pi wide.
void Camera(int width, int height, D3DMATRIX& view, D3DMATRIX& projection) {
    view = D3DMATRIX{};
    view._11 = 1;
    view._23 = -1;
    view._32 = 1;
    view._43 = 600;
    view._44 = 1;
    const float h = 1.0f / std::tan(3.14159265f / 6.0f), q = 1000.0f / 999.0f;
    projection = D3DMATRIX{};
    projection._11 = h * float(height) / float(width);
    projection._22 = h;
    projection._33 = q;
    projection._34 = 1;
    projection._43 = -q;
}

const D3DVERTEX FULL_SCREEN_QUAD[4] = {{480, 0, 360, 0, 1, 0, 1, 0},
                                       {480, 0, -360, 0, 1, 0, 1, 1},
                                       {-480, 0, 360, 0, 1, 0, 0, 0},
                                       {-480, 0, -360, 0, 1, 0, 0, 1}};
const D3DVECTOR LIGHT_DIRECTION{0.3f, -1.0f, 0.2f};

std::vector<BYTE> TextureRgba() {
    std::vector<BYTE> rgba(256 * 256 * 4);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            BYTE* p = &rgba[(y * 256 + x) * 4];
            p[0] = BYTE(x ^ y);
            p[1] = BYTE(x);
            p[2] = BYTE(y);
            p[3] = 255;
        }
    }
    return rgba;
}

// ---- The device path ---------------------------------------------------------------------------
struct DevicePath {
    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirectDrawSurface7* texture = nullptr;
    IDirect3DDevice7* device = nullptr;

    bool Open(int width, int height) {
        void* object = nullptr;
        DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
        directDraw = static_cast<IDirectDraw7*>(object);
        directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
        target = Make(width, height, ddraw::PixelKind::RGB565,
                      DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        IDirectDrawSurface7* z = Make(width, height, ddraw::PixelKind::Z16, DDSCAPS_ZBUFFER);
        target->AddAttachedSurface(z);
        z->Release();
        texture =
            Make(256, 256, ddraw::PixelKind::XRGB8888, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);
        const std::vector<BYTE> rgba = TextureRgba();
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        texture->Lock(nullptr, &desc, 0, nullptr);
        for (int y = 0; y < 256; ++y) {
            auto* row =
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch);
            for (int x = 0; x < 256; ++x) {
                const BYTE* p = &rgba[(y * 256 + x) * 4];
                row[x] = DWORD(p[0]) << 16 | DWORD(p[1]) << 8 | p[2];
            }
        }
        texture->Unlock(nullptr);
        if (direct3D->CreateDevice(IID_IDirect3DRGBDevice, target, &device) != D3D_OK) {
            return false;
        }
        D3DMATRIX view, projection;
        Camera(width, height, view, projection);
        device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
        device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
        D3DLIGHT7 light{};
        light.dltType = D3DLIGHT_DIRECTIONAL;
        light.dcvDiffuse = {1, 1, 1, 1};
        light.dvDirection = LIGHT_DIRECTION;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xAAAAAAAA);
        device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        return true;
    }

    IDirectDrawSurface7* Make(int width, int height, ddraw::PixelKind kind, DWORD caps) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddpfPixelFormat = ddraw::MakePixelFormat(kind);
        desc.ddsCaps.dwCaps = caps;
        IDirectDrawSurface7* surface = nullptr;
        directDraw->CreateSurface(&desc, &surface, nullptr);
        return surface;
    }

    void Frame(std::vector<Mesh>& meshes) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00001843, 1, 0);
        device->BeginScene();
        device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
        device->SetTexture(0, nullptr);
        D3DMATERIAL7 material{};
        for (Mesh& mesh : meshes) {
            material.diffuse = material.ambient = {mesh.grey, mesh.grey, mesh.grey, 1};
            device->SetMaterial(&material);
            device->SetTransform(D3DTRANSFORMSTATE_WORLD, &mesh.world);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, mesh.vertices.data(),
                                         DWORD(mesh.vertices.size()), mesh.indices.data(),
                                         DWORD(mesh.indices.size()), 0);
        }
        D3DMATRIX identity = Identity();
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
        device->SetTexture(0, texture);
        material.diffuse = material.ambient = {0.2f, 0.2f, 0.2f, 1};
        device->SetMaterial(&material);
        D3DVERTEX quad[4];
        for (int i = 0; i < QUADS; ++i) {
            std::copy(FULL_SCREEN_QUAD, FULL_SCREEN_QUAD + 4, quad);
            device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
        }
        device->SetTexture(0, nullptr);
        device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
        device->EndScene();
        bench::FinishCurrentContext();
    }

    int RedAt(int x, int y) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        target->Lock(nullptr, &desc, DDLOCK_READONLY, nullptr);
        const auto* row = reinterpret_cast<const WORD*>(static_cast<const BYTE*>(desc.lpSurface) +
                                                        y * desc.lPitch);
        const int red = (row[x] >> 11) << 3;
        target->Unlock(nullptr);
        return red;
    }

    void Close() {
        if (device != nullptr) {
            device->Release();
        }
        texture->Release();
        target->Release();
        direct3D->Release();
        directDraw->Release();
    }
};

// ---- The direct path ---------------------------------------------------------------------------
void ReferenceFrame(bench::ReferenceRenderer& renderer, std::vector<Mesh>& meshes,
                    unsigned texture) {
    renderer.BeginFrame(0x00001843);
    renderer.SetAdditiveBlending(true);
    renderer.UseTexture(0);
    for (Mesh& mesh : meshes) {
        renderer.SetGrey(mesh.grey);
        renderer.SetWorld(mesh.world);
        renderer.DrawIndexedTriangles(mesh.vertices.data(), DWORD(mesh.vertices.size()),
                                      mesh.indices.data(), DWORD(mesh.indices.size()));
    }
    renderer.SetWorld(Identity());
    renderer.UseTexture(texture);
    renderer.SetGrey(0.2f);
    for (int i = 0; i < QUADS; ++i) {
        renderer.DrawStrip(FULL_SCREEN_QUAD, 4);
    }
    renderer.SetAdditiveBlending(false);
    renderer.Finish();
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool Measure(int width, int height, int framesPerRound) {
    std::vector<Mesh> meshes = Meshes();
    host::ScopedDrivers drivers({drivers::DriverBuilder()
                                     .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL"))
                                     .Build()});
    DevicePath device;
    if (!device.Open(width, height)) {
        std::fprintf(stderr, "the software device could not be made\n");
        device.Close();
        return false;
    }
    std::string failure;
    auto reference = bench::ReferenceRenderer::Create(width, height, true, &failure);
    if (reference == nullptr) {
        std::fprintf(stderr, "no reference renderer: %s\n", failure.c_str());
        device.Close();
        return false;
    }
    D3DMATRIX view, projection;
    Camera(width, height, view, projection);
    reference->BeginFrame(0);
    reference->SetCamera(view, projection);
    reference->SetLight(LIGHT_DIRECTION, 2.0f / 3.0f);
    const std::vector<BYTE> rgba = TextureRgba();
    const unsigned texture = reference->MakeTexture(256, 256, rgba.data());

    // Warm up both (programs compiled, buffers grown, textures uploaded).
    for (int i = 0; i < 3; ++i) {
        device.Frame(meshes);
        ReferenceFrame(*reference, meshes, texture);
    }
    // Rounds alternate between the two so that other load on the machine falls on both alike.
    double deviceTime = 0, referenceTime = 0;
    long deviceAllocations = 0;
    const int rounds = 4;
    for (int round = 0; round < rounds; ++round) {
        const long before = allocations.load();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < framesPerRound; ++i) {
            device.Frame(meshes);
        }
        deviceTime += Seconds(start);
        deviceAllocations += allocations.load() - before;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < framesPerRound; ++i) {
            ReferenceFrame(*reference, meshes, texture);
        }
        referenceTime += Seconds(start);
    }
    const int frames = rounds * framesPerRound;
    const double deviceMs = 1000.0 * deviceTime / frames;
    const double referenceMs = 1000.0 * referenceTime / frames;
    const int draws = MESHES + QUADS;
    std::printf("%4d x %-4d  device %7.2f ms/frame   direct GL %7.2f ms/frame   ratio %.3f   "
                "device allocations %.3f per draw   (centre red: device %d, direct %d)\n",
                width, height, deviceMs, referenceMs, deviceMs / referenceMs,
                double(deviceAllocations) / double(frames * draws),
                device.RedAt(width / 2, height / 2), reference->RedAt(width / 2, height / 2));
    reference.reset();
    device.Close();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int framesPerRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::printf("synthetic busiest frame: %d indexed meshes of %d triangles, additive, %d "
                "full-screen textured quads; 16-bit target, EGL software rasteriser\n",
                MESHES, 2 * SLICES * (STACKS - 1), QUADS);
    bool ok = Measure(640, 480, framesPerRound);
    ok = Measure(1600, 1200, std::max(1, framesPerRound / 2)) && ok;
    return ok ? 0 : 1;
}
