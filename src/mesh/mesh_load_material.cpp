// Materials of a mesh's material list, and the textures they name.
#include <cstring>

#include "mesh/mesh_data.h"
#include "mesh/mesh_loader.h"
#include "platform/win32/kernel.h"
#include "texture/texture_store.h"

HRESULT LoadMaterialList(IDirectXFileData* list, MeshNode* node) {
    DWORD slot = 0;
    // Materials past the sixteenth have no slot; they are not read, so their textures do not
    // enter the store either.
    while (slot < MESH_SLOT_COUNT) {
        XFileRef<IDirectXFileObject> child;
        if (FAILED(list->GetNextObject(child.Out())) || child.Get() == nullptr) {
            break;
        }
        XFileRef<IDirectXFileData> material;
        if (!QueryData(child.Get(), material)) {
            XFileRef<IDirectXFileDataReference> reference;
            if (FAILED(child->QueryInterface(IID_IDirectXFileDataReference,
                                             reinterpret_cast<void**>(reference.Out()))) ||
                reference.Get() == nullptr || FAILED(reference->Resolve(material.Out()))) {
                continue;
            }
        }
        const GUID* type = TypeOf(material.Get());
        if (type != nullptr && *type == TID_D3DRMMaterial) {
            LoadMaterial(material.Get(), node, slot);
            ++slot;
        }
    }
    return S_OK;
}

HRESULT LoadMaterial(IDirectXFileData* object, MeshNode* node, DWORD slot) {
    if (slot >= MESH_SLOT_COUNT) {
        return S_OK;
    }
    DWORD size = 0;
    void* data = nullptr;
    const HRESULT result = object->GetData(nullptr, &size, &data);
    if (FAILED(result)) {
        return result;
    }
    D3DMATERIAL7 material;
    if (!ReadMaterial(data, size, material)) {
        return E_FAIL;
    }

    // Only the first child is looked at, as exporters put the texture name there.
    char textureName[MESH_NAME_SIZE] = "";
    XFileRef<IDirectXFileObject> first;
    XFileRef<IDirectXFileData> firstData;
    if (SUCCEEDED(object->GetNextObject(first.Out())) && QueryData(first.Get(), firstData)) {
        const GUID* type = TypeOf(firstData.Get());
        if (type != nullptr && *type == TID_D3DRMTextureFilename) {
            DWORD textSize = 0;
            void* text = nullptr;
            const char* fileName = nullptr;
            if (FAILED(firstData->GetData(nullptr, &textSize, &text)) ||
                !ReadTextureFilename(text, textSize, fileName)) {
                return E_FAIL;
            }
            // A longer name cannot be in the store, and cut short it could name another texture
            // that destroying this mesh would then remove.
            const size_t length = strnlen(fileName, MESH_NAME_SIZE);
            if (length > 0 && length < MESH_NAME_SIZE) {
                AddTexture(fileName, 0, 0); // a missing file leaves the name without an entry
                lstrcpynA(textureName, fileName, MESH_NAME_SIZE);
            }
        }
    }
    node->SetSlotMaterial(slot, material, textureName);
    return S_OK;
}
