// Helpers for the .X library tests: opening files from bytes, a writer for the binary encoding,
// and a dump of a whole file's objects that two encodings of one model can be compared by.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xfile/dxfile.h"
#include "platform/xfile/xtemplates.h"

namespace xfile_test {

// Builds files in the binary encoding token by token.
class BinaryWriter {
public:
    explicit BinaryWriter(std::string_view header = "xof 0302bin 0032") {
        bytes_.assign(header.begin(), header.end());
        floatBytes_ = header.substr(12) == "0064" ? 8 : 4;
    }
    BinaryWriter& Code(uint16_t code) {
        Put16(code);
        return *this;
    }
    BinaryWriter& Name(std::string_view text) {
        Put16(1);
        Put32(static_cast<uint32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    // A string with its ';' terminator, 16 or 32 bits wide.
    BinaryWriter& String(std::string_view text, bool wideTerminator = false) {
        Put16(2);
        Put32(static_cast<uint32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        Put16(20);
        if (wideTerminator) {
            Put16(0);
        }
        return *this;
    }
    BinaryWriter& Integer(uint32_t value) {
        Put16(3);
        Put32(value);
        return *this;
    }
    BinaryWriter& Integers(std::initializer_list<uint32_t> values) {
        Put16(6);
        Put32(static_cast<uint32_t>(values.size()));
        for (uint32_t v : values) {
            Put32(v);
        }
        return *this;
    }
    BinaryWriter& Floats(std::initializer_list<double> values) {
        Put16(7);
        Put32(static_cast<uint32_t>(values.size()));
        for (double v : values) {
            if (floatBytes_ == 8) {
                PutRaw(&v, 8);
            } else {
                float f = static_cast<float>(v);
                PutRaw(&f, 4);
            }
        }
        return *this;
    }
    BinaryWriter& Guid(const GUID& guid) {
        Put16(5);
        Put32(guid.Data1);
        Put16(guid.Data2);
        Put16(guid.Data3);
        PutRaw(guid.Data4, 8);
        return *this;
    }
    BinaryWriter& Open() { return Code(10); }
    BinaryWriter& Close() { return Code(11); }
    BinaryWriter& Raw32(uint32_t value) {
        Put32(value);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void Put16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Put32(uint32_t v) {
        Put16(static_cast<uint16_t>(v));
        Put16(static_cast<uint16_t>(v >> 16));
    }
    void PutRaw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }

    std::vector<uint8_t> bytes_;
    unsigned floatBytes_ = 4;
};

inline std::vector<uint8_t> TextBytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A file object with the standard templates registered.
inline IDirectXFile* NewFileWithStandardTemplates() {
    IDirectXFile* file = nullptr;
    if (FAILED(DirectXFileCreate(&file))) {
        return nullptr;
    }
    if (FAILED(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES))) {
        file->Release();
        return nullptr;
    }
    return file;
}

inline HRESULT OpenBytes(IDirectXFile* file, const std::vector<uint8_t>& bytes,
                         IDirectXFileEnumObject** enumObject) {
    DXFILELOADMEMORY memory{const_cast<uint8_t*>(bytes.data()), static_cast<DWORD>(bytes.size())};
    return file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, enumObject);
}

// Reads every top-level object of the file. Returns the walk's final result
// (DXFILEERR_NOMOREOBJECTS when it ran through) and how many objects came before it.
HRESULT WalkAll(IDirectXFileEnumObject* enumObject, int* objects = nullptr);

// Opens the bytes with the standard templates and walks them; the result of the open or the walk.
HRESULT LoadResult(const std::vector<uint8_t>& bytes);

// One line per object, depth first: the template's GUID, the name, the data as hex (string
// members shown as their text), and for references what they resolve to.
std::string DumpFile(const std::vector<uint8_t>& bytes);

std::string NameOf(IDirectXFileObject* object);

} // namespace xfile_test
