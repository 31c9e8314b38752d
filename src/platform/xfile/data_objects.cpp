#include "platform/xfile/data_objects.h"

#include <cstring>
#include <new>

#include "platform/win32/com_object.h"

namespace xfile {

namespace {

class DataObject final : public ComObject<IDirectXFileData> {
public:
    DataObject(std::shared_ptr<Document> document, const DataNode& node)
        : document_(std::move(document)), node_(node) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDirectXFileObject ||
            riid == IID_IDirectXFileData) {
            AddRef();
            *object = static_cast<IDirectXFileData*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT GetName(LPSTR name, LPDWORD size) override { return CopyName(node_.name, name, size); }

    HRESULT GetId(LPGUID id) override {
        if (id == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *id = node_.hasGuid ? node_.guid : GUID{};
        return DXFILE_OK;
    }

    HRESULT GetData(LPCSTR member, DWORD* size, void** data) override {
        if (size == nullptr || data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        size_t begin = 0;
        size_t end = node_.data.size();
        if (member != nullptr) {
            int index = node_.templ->FindMember(member);
            if (index < 0) {
                return DXFILEERR_NOTFOUND;
            }
            begin = node_.memberOffsets[static_cast<size_t>(index)];
            end = node_.memberOffsets[static_cast<size_t>(index) + 1];
        }
        *size = static_cast<DWORD>(end - begin);
        // The program only reads the data; the interface hands it out as void* nonetheless.
        *data = end > begin ? const_cast<uint8_t*>(node_.data.data() + begin) : nullptr;
        return DXFILE_OK;
    }

    HRESULT GetType(const GUID** type) override {
        if (type == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *type = &node_.templ->guid;
        return DXFILE_OK;
    }

    HRESULT GetNextObject(IDirectXFileObject** child) override {
        if (child == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *child = nullptr;
        if (nextChild_ >= node_.children.size()) {
            return DXFILEERR_NOMOREOBJECTS;
        }
        const DataChild& next = node_.children[nextChild_];
        if (const auto* nested = std::get_if<std::unique_ptr<DataNode>>(&next)) {
            *child = NewDataObject(document_, **nested);
        } else {
            *child = NewReferenceObject(document_, std::get<DataReference>(next));
        }
        if (*child == nullptr) {
            return DXFILEERR_BADALLOC;
        }
        ++nextChild_;
        return DXFILE_OK;
    }

private:
    std::shared_ptr<Document> document_;
    const DataNode& node_;
    size_t nextChild_ = 0;
};

class ReferenceObject final : public ComObject<IDirectXFileDataReference> {
public:
    ReferenceObject(std::shared_ptr<Document> document, const DataReference& reference)
        : document_(std::move(document)), reference_(reference) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDirectXFileObject ||
            riid == IID_IDirectXFileDataReference) {
            AddRef();
            *object = static_cast<IDirectXFileDataReference*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    // The name and GUID the reference was written with.
    HRESULT GetName(LPSTR name, LPDWORD size) override {
        return CopyName(reference_.name, name, size);
    }

    HRESULT GetId(LPGUID id) override {
        if (id == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *id = reference_.hasGuid ? reference_.guid : GUID{};
        return DXFILE_OK;
    }

    HRESULT Resolve(IDirectXFileData** data) override {
        if (data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *data = nullptr;
        const DataNode* target = document_->Resolve(reference_);
        if (target == nullptr) {
            return DXFILEERR_BADDATAREFERENCE;
        }
        *data = NewDataObject(document_, *target);
        return *data != nullptr ? DXFILE_OK : DXFILEERR_BADALLOC;
    }

private:
    std::shared_ptr<Document> document_;
    const DataReference& reference_;
};

} // namespace

HRESULT CopyName(const std::string& name, LPSTR buffer, LPDWORD size) {
    if (size == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    // Names are at most MAX_NAME_LENGTH characters, so the needed size fits a DWORD.
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr) {
        *size = needed;
        return DXFILE_OK;
    }
    if (*size < needed) {
        *size = needed;
        return DXFILEERR_BADVALUE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed;
    return DXFILE_OK;
}

IDirectXFileData* NewDataObject(std::shared_ptr<Document> document, const DataNode& node) {
    return new (std::nothrow) DataObject(std::move(document), node);
}

IDirectXFileDataReference* NewReferenceObject(std::shared_ptr<Document> document,
                                              const DataReference& reference) {
    return new (std::nothrow) ReferenceObject(std::move(document), reference);
}

} // namespace xfile
