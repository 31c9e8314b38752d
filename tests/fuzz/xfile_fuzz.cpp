// libFuzzer target for the .X library: opens the input as a file (text or binary) and walks
// everything in it the way a loader would: every object, its name, id, type and data, every
// child, every reference resolved; then tries the input as a template block.
//
// The first byte picks a header so that mutations are spent on the body: 't' text, 'b' binary
// with 32-bit floats, 'd' binary with 64-bit floats; any other byte leaves the input as it is
// (the header itself is then fuzzed too).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/xfile/dxfile.h"
#include "platform/xfile/xtemplates.h"

namespace {

// Children can nest as deep as the library allows; references are resolved but not followed,
// so the walk ends.
void WalkObject(IDirectXFileData* data) {
    char name[80];
    DWORD size = sizeof name;
    data->GetName(name, &size);
    size = 0;
    data->GetName(nullptr, &size);
    GUID id;
    data->GetId(&id);
    const GUID* type = nullptr;
    data->GetType(&type);
    void* bytes = nullptr;
    DWORD dataSize = 0;
    if (SUCCEEDED(data->GetData(nullptr, &dataSize, &bytes)) && dataSize > 0) {
        // Touch every byte so that a wrong size shows up under the address sanitizer.
        volatile uint8_t sum = 0;
        for (DWORD i = 0; i < dataSize; ++i) {
            sum = static_cast<uint8_t>(sum + static_cast<uint8_t*>(bytes)[i]);
        }
        // A texture file name is read through its pointer, as the mesh loader does.
        if (*type == TID_D3DRMTextureFilename && dataSize == sizeof(char*)) {
            const char* text = nullptr;
            std::memcpy(&text, bytes, sizeof text);
            sum = static_cast<uint8_t>(sum + std::strlen(text));
        }
    }
    data->GetData("faces", &dataSize, &bytes);
    IDirectXFileObject* child = nullptr;
    while (SUCCEEDED(data->GetNextObject(&child))) {
        IDirectXFileData* nested = nullptr;
        IDirectXFileDataReference* reference = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, (void**)&nested))) {
            WalkObject(nested);
            nested->Release();
        } else if (SUCCEEDED(
                       child->QueryInterface(IID_IDirectXFileDataReference, (void**)&reference))) {
            IDirectXFileData* target = nullptr;
            if (SUCCEEDED(reference->Resolve(&target))) {
                target->GetType(&type);
                target->GetData(nullptr, &dataSize, &bytes);
                target->Release();
            }
            reference->Release();
        }
        child->Release();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
    std::vector<uint8_t> bytes;
    const char* header = nullptr;
    if (size > 0) {
        switch (input[0]) {
        case 't':
            header = "xof 0302txt 0032";
            break;
        case 'b':
            header = "xof 0302bin 0032";
            break;
        case 'd':
            header = "xof 0302bin 0064";
            break;
        default:
            break;
        }
    }
    if (header != nullptr) {
        bytes.assign(header, header + 16);
        bytes.insert(bytes.end(), input + 1, input + size);
    } else {
        bytes.assign(input, input + size);
    }

    IDirectXFile* file = nullptr;
    if (FAILED(DirectXFileCreate(&file))) {
        return 0;
    }
    file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES);
    DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
    IDirectXFileEnumObject* enumObject = nullptr;
    if (SUCCEEDED(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject))) {
        IDirectXFileData* data = nullptr;
        while (SUCCEEDED(enumObject->GetNextDataObject(&data))) {
            WalkObject(data);
            data->Release();
        }
        if (SUCCEEDED(enumObject->GetDataObjectByName("Shiny", &data))) {
            data->Release();
        }
        enumObject->Release();
    }
    // The same bytes as a template block: all or nothing, and the file object stays usable.
    file->RegisterTemplates(bytes.data(), static_cast<DWORD>(bytes.size()));
    file->Release();
    return 0;
}
