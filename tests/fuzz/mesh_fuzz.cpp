// libFuzzer target for the mesh loader: the input goes through the .X library into
// MeshFile::LoadFromMemory, and whatever loaded is checked (every index written and naming a
// vertex, slot counts adding up), walked, scaled and drawn on a null device, whose draw check
// reads every index it is given.
//
// Inputs are at most 16 KiB unless the run asks for more (-max_len). A run costs about as much
// as its input is long (the text tokenizer is most of it), and left to itself libFuzzer would
// make inputs as long as the longest seed, the show's 190 KiB model: most runs would spend their
// time reading numbers. A few KiB hold every structure the loader knows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mesh/mesh_file.h"
#include "platform/d3d/d3d.h"
#include "platform/d3d/null_device.h"
#include "platform/ddraw/pixel_formats.h"
#include "platform/drivers/driver_builder.h"

namespace {

// One null device for the whole run, in a scene, so that every input can be drawn.
class NullTarget {
public:
    NullTarget()
        : drivers_({drivers::DriverBuilder()
                        .Device(drivers::DeviceBuilder(IID_IDirect3DHALDevice, "Null")
                                    .Factory(d3d::CreateNullDevice))
                        .Build()}) {
        void* object = nullptr;
        if (FAILED(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr))) {
            std::abort();
        }
        directDraw_ = static_cast<IDirectDraw7*>(object);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = 16;
        desc.dwHeight = 16;
        desc.ddpfPixelFormat = ddraw::MakePixelFormat(ddraw::PixelKind::RGB565);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        if (FAILED(directDraw_->QueryInterface(IID_IDirect3D7,
                                               reinterpret_cast<void**>(&direct3D_))) ||
            FAILED(directDraw_->CreateSurface(&desc, &target_, nullptr)) ||
            FAILED(direct3D_->CreateDevice(IID_IDirect3DHALDevice, target_, &device)) ||
            FAILED(device->BeginScene())) {
            std::abort();
        }
    }

    IDirect3DDevice7* device = nullptr;

private:
    host::ScopedDrivers drivers_;
    IDirectDraw7* directDraw_ = nullptr;
    IDirect3D7* direct3D_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
};

int CheckNode(MeshNode* node, void*) {
    if (node->WrittenIndexCount() != node->indexCount || node->indexCount % 3 != 0 ||
        node->materialCount > MESH_SLOT_COUNT || node->vertexCount > MESH_MAX_VERTICES) {
        std::abort();
    }
    for (DWORD i = 0; i < node->indexCount; ++i) {
        if (node->indices[i] >= node->vertexCount) {
            std::abort();
        }
    }
    for (DWORD i = 0; i < node->vertexCount; ++i) {
        // Computed normals are never NaN; given ones are the file's business, but read them.
        volatile float sum = node->vertices[i].nx + node->vertices[i].tv;
        (void)sum;
    }
    return 0;
}

constexpr char DEFAULT_MAX_LEN[] = "-max_len=16384";

} // namespace

// libFuzzer reads its flags after this hook, so the default joins them here.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> arguments(*argv, *argv + *argc);
    for (char* argument : arguments) {
        if (std::strncmp(argument, "-max_len=", 9) == 0) {
            return 0;
        }
    }
    arguments.insert(arguments.begin() + 1, const_cast<char*>(DEFAULT_MAX_LEN));
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size() - 1);
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullTarget target;
    MeshFile file;
    if (FAILED(file.LoadFromMemory(data, static_cast<DWORD>(size))) && file.root != nullptr) {
        std::abort(); // a failed load leaves nothing behind
    }
    file.EnumerateNodes(CheckNode, nullptr);
    file.Render(target.device);
    file.ScaleMeshes(2.0f);
    file.FindNode("Frame");
    return 0;
}
