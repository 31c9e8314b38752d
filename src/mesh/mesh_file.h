// A model read from a .X file through the .X library, held as a tree of frames and meshes
// (mesh_node.h) that Direct3D 7 draws directly, and the few operations the scenes use on it.
//
// Loading: the file is looked for by its name, then in the media folder (GetMediaPath). Frames
// with their transforms, meshes with their material lists, normals and texture coordinates,
// materials and texture file names are read; everything else is skipped. Textures named by
// materials are added to the texture store, and removed from it when their node is destroyed.
// Objects that cannot be read are left out and the load goes on.
//
// What the loader refuses or drops, rather than reading past what it was given:
//  - meshes of more than 65,535 vertices: 16-bit indices cannot address more than 65,536, and
//    the device draws at most 65,535 at a time;
//  - faces naming a vertex past the mesh's vertex count, and faces of fewer than three indices;
//  - faces whose material index is 16 or more, or not below the list's material count; their
//    indices are never reserved for drawing or normals;
//  - a second material list in one mesh (the faces were placed by the first);
//  - names of more than 79 characters (the object is left out, as the library cannot hand the
//    name over), texture names of more than 79 characters (the slot keeps no name, so that
//    destroying the mesh cannot remove another texture whose name is the cut one), and media
//    paths of more than 511 characters (the second attempt is not made).
//
// Drawing uses the device's current material and texture for every slot; the slots' materials
// and texture names are kept for callers but not set on the device. A slot is one draw, unless
// it holds more than 65,535 triangles, the most one draw takes: it is then drawn in batches.
#pragma once

#include "mesh/mesh_node.h"
#include "platform/d3d/d3d.h"

struct IDirectXFileEnumObject;

// EnumerateNodes' callback: answering 1 stops the walk, anything else continues it.
using MeshNodeCallback = int (*)(MeshNode* node, void* context);

class MeshFile {
public:
    MeshFile() = default;
    ~MeshFile() { DestroyTree(); }
    MeshFile(const MeshFile&) = delete;
    MeshFile& operator=(const MeshFile&) = delete;

    // Replaces any tree held by the file's contents. S_OK when the walk over the file's objects
    // ran to its end (objects that failed are left out); E_FAIL when the library cannot be set
    // up; the library's error when the file opens neither by its name nor in the media folder
    // (root stays null), or when the walk ends in an error (the tree is destroyed).
    HRESULT Load(LPCSTR fileName);
    // The same from .X bytes in memory (copied by the library), without the media folder.
    HRESULT LoadFromMemory(LPCVOID data, DWORD size);
    // Destroys the tree, if any; root becomes null.
    HRESULT DestroyTree();

    // Draws the whole tree under the current world transform, material and texture: the opaque
    // nodes, then the transparent ones with alpha blending (source alpha, inverse source alpha).
    // The material, stage-0 texture, world matrix and the three blend states are put back.
    // Always S_OK; with no tree (or no device) nothing at all is called on the device.
    HRESULT Render(IDirect3DDevice7* device);

    // The first node, depth first and parents before children, whose name equals `name`
    // regardless of case; null when none. A null name gives the root.
    MeshNode* FindNode(LPCSTR name);
    // E_FAIL when FindNode finds nothing; otherwise S_OK with the node's array and count (null
    // and 0 for a frame). The arrays stay owned by the node; callers may change them in place.
    HRESULT GetMeshVertices(LPCSTR name, D3DVERTEX** vertices, DWORD* vertexCount);
    HRESULT GetMeshIndices(LPCSTR name, WORD** indices, DWORD* indexCount);
    // Multiplies every vertex position by the factor; normals and texture coordinates stay.
    HRESULT ScaleMeshes(float factor);
    // Calls the callback with each node, depth first in pre-order, until it answers 1.
    void EnumerateNodes(MeshNodeCallback callback, void* context);

    MeshNode* root = nullptr;

private:
    HRESULT ReadObjects(IDirectXFileEnumObject* enumObject);
};
