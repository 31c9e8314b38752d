// Frames: a named node with its transform and its child frames and meshes.
#include <new>

#include "mesh/mesh_data.h"
#include "mesh/mesh_loader.h"

HRESULT LoadFrame(IDirectXFileData* frame, MeshChildList& parent) {
    char name[MESH_NAME_SIZE];
    if (!ReadNodeName(frame, name)) {
        return E_FAIL;
    }
    MeshNode* node = new (std::nothrow) MeshNode(name);
    if (node == nullptr) {
        return E_OUTOFMEMORY;
    }
    MeshChildList children(node);
    for (;;) {
        XFileRef<IDirectXFileObject> child;
        if (FAILED(frame->GetNextObject(child.Out())) || child.Get() == nullptr) {
            break;
        }
        // References inside a frame are not followed: a frame instanced by name elsewhere would
        // otherwise be loaded twice.
        XFileRef<IDirectXFileData> data;
        if (!QueryData(child.Get(), data)) {
            continue;
        }
        const GUID* type = TypeOf(data.Get());
        if (type == nullptr) {
            continue;
        }
        if (*type == TID_D3DRMFrame) {
            LoadFrame(data.Get(), children);
        } else if (*type == TID_D3DRMMesh) {
            LoadMesh(data.Get(), children);
        } else if (*type == TID_D3DRMFrameTransformMatrix) {
            DWORD size = 0;
            void* bytes = nullptr;
            if (FAILED(data->GetData(nullptr, &size, &bytes))) {
                delete node; // with everything loaded below it
                return S_OK;
            }
            D3DMATRIX matrix;
            if (ReadFrameMatrix(bytes, size, matrix)) {
                node->SetMatrix(matrix);
            }
        }
    }
    AddChild(parent, node);
    return S_OK;
}
