#include "xfile_test_helpers.h"

#include <cstdio>

namespace xfile_test {

namespace {

std::string Hex(const uint8_t* data, size_t size) {
    std::string out;
    char cell[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(cell, sizeof cell, "%02x", data[i]);
        out += cell;
    }
    return out;
}

void DumpObject(IDirectXFileData* data, int depth, std::string& out) {
    const GUID* type = nullptr;
    data->GetType(&type);
    DWORD size = 0;
    void* bytes = nullptr;
    data->GetData(nullptr, &size, &bytes);
    char typeText[16];
    std::snprintf(typeText, sizeof typeText, "%08X", type->Data1);
    out += std::string(depth * 2, ' ') + typeText + " '" + NameOf(data) + "' ";
    if (*type == TID_D3DRMTextureFilename && size == sizeof(char*)) {
        const char* text = nullptr;
        std::memcpy(&text, bytes, sizeof text);
        out += std::string("\"") + text + "\"";
    } else {
        out += Hex(static_cast<const uint8_t*>(bytes), size);
    }
    out += "\n";
    IDirectXFileObject* child = nullptr;
    while (SUCCEEDED(data->GetNextObject(&child))) {
        IDirectXFileData* nested = nullptr;
        IDirectXFileDataReference* reference = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, (void**)&nested))) {
            DumpObject(nested, depth + 1, out);
            nested->Release();
        } else if (SUCCEEDED(
                       child->QueryInterface(IID_IDirectXFileDataReference, (void**)&reference))) {
            IDirectXFileData* target = nullptr;
            out += std::string(depth * 2 + 2, ' ') + "ref '" + NameOf(reference) + "' -> ";
            if (SUCCEEDED(reference->Resolve(&target))) {
                out += "'" + NameOf(target) + "'\n";
                target->Release();
            } else {
                out += "unresolved\n";
            }
            reference->Release();
        }
        child->Release();
    }
}

} // namespace

std::string NameOf(IDirectXFileObject* object) {
    char name[80] = {};
    DWORD size = sizeof name;
    if (FAILED(object->GetName(name, &size))) {
        return "<name failed>";
    }
    return name;
}

HRESULT WalkAll(IDirectXFileEnumObject* enumObject, int* objects) {
    int count = 0;
    HRESULT hr;
    IDirectXFileData* data = nullptr;
    while (SUCCEEDED(hr = enumObject->GetNextDataObject(&data))) {
        ++count;
        std::string ignored;
        DumpObject(data, 0, ignored);
        data->Release();
    }
    if (objects != nullptr) {
        *objects = count;
    }
    return hr;
}

HRESULT LoadResult(const std::vector<uint8_t>& bytes) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    if (file == nullptr) {
        return E_FAIL;
    }
    IDirectXFileEnumObject* enumObject = nullptr;
    HRESULT hr = OpenBytes(file, bytes, &enumObject);
    if (SUCCEEDED(hr)) {
        hr = WalkAll(enumObject);
        enumObject->Release();
    }
    file->Release();
    return hr;
}

std::string DumpFile(const std::vector<uint8_t>& bytes) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    if (file == nullptr || FAILED(OpenBytes(file, bytes, &enumObject))) {
        if (file != nullptr) {
            file->Release();
        }
        return "<open failed>";
    }
    std::string out;
    IDirectXFileData* data = nullptr;
    HRESULT hr;
    while (SUCCEEDED(hr = enumObject->GetNextDataObject(&data))) {
        DumpObject(data, 0, out);
        data->Release();
    }
    if (hr != DXFILEERR_NOMOREOBJECTS) {
        char text[32];
        std::snprintf(text, sizeof text, "<walk failed %08X>", static_cast<unsigned>(hr));
        out += text;
    }
    enumObject->Release();
    file->Release();
    return out;
}

} // namespace xfile_test
