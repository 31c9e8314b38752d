// DirectXFileCreate and the file object: the registered templates, and opening files.
#include <cstring>
#include <new>

#include "platform/win32/com_object.h"
#include "platform/xfile/document.h"
#include "platform/xfile/dxfile.h"
#include "platform/xfile/enum_object.h"
#include "platform/xfile/file_source.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

namespace {

class FileObject final : public ComObject<IDirectXFile> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDirectXFile) {
            AddRef();
            *object = static_cast<IDirectXFile*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                             IDirectXFileEnumObject** enumObject) override {
        if (enumObject == nullptr || source == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *enumObject = nullptr;
        try {
            std::vector<uint8_t> bytes;
            if (HRESULT hr = LoadSource(source, options, bytes); FAILED(hr)) {
                return hr;
            }
            std::shared_ptr<Document> document;
            if (HRESULT hr = Document::Open(std::move(bytes), templates_, document); FAILED(hr)) {
                return hr;
            }
            *enumObject = NewEnumObject(std::move(document));
        } catch (const std::bad_alloc&) {
            return DXFILEERR_BADALLOC;
        }
        return *enumObject != nullptr ? DXFILE_OK : DXFILEERR_BADALLOC;
    }

    HRESULT RegisterTemplates(LPCVOID data, DWORD size) override {
        if (data == nullptr || size == 0) {
            return DXFILEERR_BADVALUE;
        }
        try {
            return ParseTemplateBlock(static_cast<const uint8_t*>(data), size, templates_);
        } catch (const std::bad_alloc&) {
            return DXFILEERR_BADALLOC;
        }
    }

private:
    static HRESULT LoadSource(LPVOID source, DXFILELOADOPTIONS options,
                              std::vector<uint8_t>& bytes) {
        switch (options) {
        case DXFILELOAD_FROMFILE:
            return ReadWholeFile(static_cast<LPCSTR>(source), bytes);
        case DXFILELOAD_FROMMEMORY: {
            const auto* memory = static_cast<const DXFILELOADMEMORY*>(source);
            if (memory->lpMemory == nullptr && memory->dSize != 0) {
                return DXFILEERR_BADVALUE;
            }
            if (memory->dSize > MAX_FILE_BYTES) {
                return DXFILEERR_BADFILE;
            }
            const auto* first = static_cast<const uint8_t*>(memory->lpMemory);
            bytes.assign(first, first + memory->dSize);
            return DXFILE_OK;
        }
        case DXFILELOAD_FROMRESOURCE:
        case DXFILELOAD_FROMSTREAM:
        case DXFILELOAD_FROMURL:
            return DXFILEERR_NOTDONEYET;
        default:
            return DXFILEERR_BADVALUE;
        }
    }

    TemplateSet templates_;
};

} // namespace

} // namespace xfile

HRESULT DirectXFileCreate(LPDIRECTXFILE* file) {
    if (file == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    *file = new (std::nothrow) xfile::FileObject();
    return *file != nullptr ? DXFILE_OK : DXFILEERR_BADALLOC;
}
