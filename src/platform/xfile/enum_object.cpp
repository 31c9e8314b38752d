#include "platform/xfile/enum_object.h"

#include <cstring>
#include <new>

#include "platform/win32/com_object.h"
#include "platform/xfile/data_objects.h"

namespace xfile {

namespace {

class EnumObject final : public ComObject<IDirectXFileEnumObject> {
public:
    explicit EnumObject(std::shared_ptr<Document> document) : document_(std::move(document)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDirectXFileEnumObject) {
            AddRef();
            *object = static_cast<IDirectXFileEnumObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT GetNextDataObject(IDirectXFileData** data) override {
        if (data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *data = nullptr;
        const DataNode* node = nullptr;
        if (HRESULT hr = document_->TopLevelObject(next_, node); FAILED(hr)) {
            return hr;
        }
        if (HRESULT hr = Hand(*node, data); FAILED(hr)) {
            return hr;
        }
        ++next_;
        return DXFILE_OK;
    }

    HRESULT GetDataObjectById(REFGUID id, IDirectXFileData** data) override {
        return Find([&](const DataNode& node) { return node.hasGuid && node.guid == id; }, data);
    }

    HRESULT GetDataObjectByName(LPCSTR name, IDirectXFileData** data) override {
        if (name == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        return Find([&](const DataNode& node) { return node.name == name; }, data);
    }

private:
    HRESULT Hand(const DataNode& node, IDirectXFileData** data) {
        *data = NewDataObject(document_, node);
        return *data != nullptr ? DXFILE_OK : DXFILEERR_BADALLOC;
    }

    template <class Match> HRESULT Find(Match matches, IDirectXFileData** data) {
        if (data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *data = nullptr;
        for (size_t i = 0;; ++i) {
            const DataNode* node = nullptr;
            HRESULT hr = document_->TopLevelObject(i, node);
            if (hr == DXFILEERR_NOMOREOBJECTS) {
                return DXFILEERR_NOTFOUND;
            }
            if (FAILED(hr)) {
                return hr;
            }
            if (matches(*node)) {
                return Hand(*node, data);
            }
        }
    }

    std::shared_ptr<Document> document_;
    size_t next_ = 0;
};

} // namespace

IDirectXFileEnumObject* NewEnumObject(std::shared_ptr<Document> document) {
    return new (std::nothrow) EnumObject(std::move(document));
}

} // namespace xfile
