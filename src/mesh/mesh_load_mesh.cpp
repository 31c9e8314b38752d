// Meshes: geometry, faces placed in material slots by the material list, the list's materials,
// normals and texture coordinates.
#include <algorithm>
#include <new>

#include "mesh/mesh_data.h"
#include "mesh/mesh_faces.h"
#include "mesh/mesh_loader.h"

namespace {

// All faces into slot 0 when the list has one material or its face count disagrees with the
// mesh's; otherwise each face into the slot of its material, slot after slot, in face order.
// Faces whose material has no slot (16 or more, or not below the material count) are placed
// nowhere.
void PlaceFaces(MeshNode* node, const MeshFaceList& faces, const MaterialListData& list) {
    if (list.materialCount == 1 || list.faceIndexCount != faces.count) {
        node->AddFaces(0, faces);
        return;
    }
    // Slots past the sixteenth take nothing, so a list that claims billions of materials costs
    // no more than sixteen passes over the faces.
    const DWORD slots = std::min(list.materialCount, MESH_SLOT_COUNT);
    for (DWORD slot = 0; slot < slots; ++slot) {
        MeshFaceReader reader(faces);
        for (DWORD face = 0;; ++face) {
            MeshFaceList one = reader.Rest();
            one.count = 1;
            DWORD n;
            const BYTE* indices;
            if (!reader.Next(n, indices)) {
                break;
            }
            if (MaterialIndexAt(list, face) == slot) {
                node->AddFaces(slot, one);
            }
        }
    }
}

} // namespace

HRESULT LoadMesh(IDirectXFileData* mesh, MeshChildList& parent) {
    char name[MESH_NAME_SIZE];
    if (!ReadNodeName(mesh, name)) {
        return E_FAIL;
    }
    DWORD size = 0;
    void* data = nullptr;
    MeshGeometryData geometry;
    if (FAILED(mesh->GetData(nullptr, &size, &data)) || !ReadMeshGeometry(data, size, geometry)) {
        return E_FAIL;
    }
    // Splitting a larger mesh into pieces the device can draw is not worth it for the models
    // this program draws; such a mesh is left out whole.
    if (geometry.vertexCount > MESH_MAX_VERTICES) {
        return E_INVALIDARG;
    }
    MeshNode* node = new (std::nothrow) MeshNode(name);
    if (node == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result =
        node->SetGeometry(geometry.vertexCount, geometry.positions, geometry.faces);
    if (FAILED(result)) {
        delete node;
        return result;
    }

    bool hasMaterialList = false;
    bool hasNormals = false;
    for (;;) {
        XFileRef<IDirectXFileObject> child;
        if (FAILED(mesh->GetNextObject(child.Out())) || child.Get() == nullptr) {
            break;
        }
        XFileRef<IDirectXFileData> object;
        if (!QueryData(child.Get(), object)) {
            continue;
        }
        const GUID* type = TypeOf(object.Get());
        if (type == nullptr) {
            continue;
        }
        DWORD childSize = 0;
        void* childData = nullptr;
        if (FAILED(object->GetData(nullptr, &childSize, &childData))) {
            delete node;
            return S_OK;
        }
        if (*type == TID_D3DRMMeshMaterialList) {
            // A second list would place the faces a second time, after the first list's.
            MaterialListData list;
            if (hasMaterialList || !ReadMaterialList(childData, childSize, list)) {
                continue;
            }
            PlaceFaces(node, geometry.faces, list);
            LoadMaterialList(object.Get(), node);
            hasMaterialList = true;
        } else if (*type == TID_D3DRMMeshNormals) {
            DWORD count = 0;
            const BYTE* normals = nullptr;
            if (ReadCountedFloats(childData, childSize, 3, count, normals) &&
                count == node->vertexCount) {
                node->SetNormals(normals);
                hasNormals = true;
            }
        } else if (*type == TID_D3DRMMeshTextureCoords) {
            DWORD count = 0;
            const BYTE* coords = nullptr;
            if (ReadCountedFloats(childData, childSize, 2, count, coords) &&
                count == node->vertexCount) {
                node->SetTextureCoords(coords);
            }
        }
    }
    if (!hasMaterialList) {
        node->AddFaces(0, geometry.faces);
    }
    node->TrimIndices();
    if (!hasNormals) {
        node->ComputeNormals();
    }
    AddChild(parent, node);
    return S_OK;
}
