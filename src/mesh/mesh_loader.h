// The loader's steps below MeshFile::Load, one per kind of object it reads. Each takes a data
// object of the .X library (borrowed; the caller releases it) and builds or fills nodes.
#pragma once

#include "mesh/mesh_node.h"
#include "platform/xfile/dxfile.h"

// A frame: a node with the object's name, its frames and meshes as children and its transform.
// E_FAIL when the name cannot be read, E_OUTOFMEMORY; S_OK otherwise, also when a transform that
// cannot be read made it leave the frame out. The node joins `parent` only when complete.
HRESULT LoadFrame(IDirectXFileData* frame, MeshChildList& parent);

// A mesh: a node with the object's geometry, faces placed in material slots, materials, normals
// (computed when the file gives none that fit) and texture coordinates. E_FAIL when the name or
// data cannot be read or the data does not hold a mesh, E_INVALIDARG for too many vertices,
// E_OUTOFMEMORY; S_OK otherwise, also when a child whose data cannot be read made it leave the
// mesh out.
HRESULT LoadMesh(IDirectXFileData* mesh, MeshChildList& parent);

// The materials of a material list, in order, into slots 0, 1, ...; references to earlier
// materials are followed.
HRESULT LoadMaterialList(IDirectXFileData* list, MeshNode* node);

// One material into one slot, with the texture named by its first child, if that is a texture
// file name. A material that cannot be read leaves the slot as it was.
HRESULT LoadMaterial(IDirectXFileData* material, MeshNode* node, DWORD slot);

// Holds one reference of a library object and releases it when it goes.
template <class T> class XFileRef {
public:
    XFileRef() = default;
    ~XFileRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    XFileRef(const XFileRef&) = delete;
    XFileRef& operator=(const XFileRef&) = delete;

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    // Where a call may store a new reference; any held one is released first.
    T** Out() {
        if (object_ != nullptr) {
            object_->Release();
            object_ = nullptr;
        }
        return &object_;
    }

private:
    T* object_ = nullptr;
};

// The object's data interface (a new reference in `data`), or false for a reference object.
bool QueryData(IDirectXFileObject* object, XFileRef<IDirectXFileData>& data);
// The object's template, or null when the library cannot tell it.
const GUID* TypeOf(IDirectXFileData* object);
// Reads the object's name into an 80-character field. False when the library cannot hand it over
// (a longer name is one such case).
bool ReadNodeName(IDirectXFileData* object, char (&name)[MESH_NAME_SIZE]);
