// One node of a model's frame tree: a frame (a name, a local transform and child nodes) or a mesh
// (vertices in the device's untransformed, unlit layout, 16-bit triangle-list indices grouped by
// material slot, and one material per slot). The loader builds nodes with the operations below;
// drawing and searching a tree are in mesh_file.h.
//
// Nodes are plain records owned through raw pointers, as the rest of the program keeps its data.
// Deleting a node deletes its child list and its sibling list with it.
#pragma once

#include <cstddef>

#include "platform/d3d/d3d.h"

constexpr int MESH_NAME_SIZE = 80; // node names and texture names, terminator included
constexpr DWORD MESH_SLOT_COUNT = 16;
// One draw takes at most 65,535 vertices and 65,535 triangles (the platform's limits, which also
// keep every index below 0xFFFF). Larger meshes are refused by the loader; slots with more
// triangles are drawn in several batches.
constexpr DWORD MESH_MAX_VERTICES = 0xFFFF;
constexpr DWORD MESH_MAX_BATCH_INDICES = 3 * 0xFFFF;

struct MeshMaterial {
    D3DMATERIAL7 material;
    char textureName[MESH_NAME_SIZE]; // empty when the material names no texture
    DWORD indexCount;                 // this slot's indices in the node's index array
};

// A face list as the Mesh template packs it: for each face a 32-bit vertex count n followed by n
// 32-bit vertex indices, little-endian and unaligned. `size` bounds every read.
struct MeshFaceList {
    const BYTE* data = nullptr;
    size_t size = 0;
    DWORD count = 0;
};

struct MeshNode {
    char name[MESH_NAME_SIZE];
    MeshNode* next;  // next sibling
    MeshNode* child; // first child
    D3DMATRIX matrix;
    BOOL hasMesh;
    DWORD vertexCount;
    D3DVERTEX* vertices;
    // Indices of the mesh's triangles. While faces are added this is the room reserved; once the
    // loader has placed every face it is cut down to the indices actually written, so faces that
    // found no slot leave no unwritten indices behind.
    DWORD indexCount;
    WORD* indices;       // slot 0's triangles first, then slot 1's, and so on
    DWORD materialCount; // highest slot that received faces, plus one
    MeshMaterial materials[MESH_SLOT_COUNT];
    BOOL transparent; // some slot's material has a diffuse alpha below 1

    // An empty frame: the given name (cut to 79 characters; null gives ""), the identity matrix,
    // no geometry, all slots zero.
    explicit MeshNode(LPCSTR nodeName = nullptr);
    // Deletes the child list and the sibling list, removes the slots' textures from the texture
    // store, then frees the arrays.
    ~MeshNode();
    MeshNode(const MeshNode&) = delete;
    MeshNode& operator=(const MeshNode&) = delete;

    // Makes the node a mesh of `count` vertices (positions: packed float triples, other fields
    // zero) and reserves indices for the faces that can be drawn: those with three or more
    // indices, all below `count`. E_INVALIDARG for more than MESH_MAX_VERTICES vertices,
    // E_OUTOFMEMORY; the node keeps no geometry on failure. Call it once, on a new node.
    HRESULT SetGeometry(DWORD count, const BYTE* positions, const MeshFaceList& faces);
    // Splits each face into a fan of triangles and appends them to the slot's indices. Slots of
    // 16 or more are ignored; faces with fewer than three indices give nothing; a face naming a
    // vertex past vertexCount is dropped whole; nothing is written past the reserved room.
    // Indices of later slots move up, so slots may be filled in any order.
    void AddFaces(DWORD slot, const MeshFaceList& faces);
    // Replaces the slot's material and texture name (cut to 79 characters); slots of 16 or more
    // are ignored. A diffuse alpha below 1 makes the node transparent.
    void SetSlotMaterial(DWORD slot, const D3DMATERIAL7& material, LPCSTR textureName);
    // vertexCount packed float triples / pairs.
    void SetNormals(const BYTE* normals);
    void SetTextureCoords(const BYTE* coords);
    // Normals from the triangles: the sum of the unit normals of the triangles around each
    // vertex, normalised; (0, 0, 1) where that sum is shorter than 0.1 or not a number.
    void ComputeNormals();
    void SetMatrix(const D3DMATRIX& m) { matrix = m; }

    // The indices the slots hold, which AddFaces has written.
    DWORD WrittenIndexCount() const;
    // Ends the loading of faces: indexCount becomes WrittenIndexCount().
    void TrimIndices() { indexCount = WrittenIndexCount(); }

    // Draws one pass (0: opaque nodes, 1: transparent nodes) of this node, its descendants and
    // its following siblings with the device's current material and texture; frames multiply
    // their matrix in front of the current world matrix for their children and put it back.
    void RenderNode(IDirect3DDevice7* device, DWORD pass);
};

// A parent's child list being appended to. It remembers the last child, so that appending stays
// cheap however many siblings a file holds.
struct MeshChildList {
    explicit MeshChildList(MeshNode* parentNode) : parent(parentNode) {}
    MeshNode* parent;
    MeshNode* last = nullptr;
};

// Appends the node at the end of the parent's child list.
void AddChild(MeshChildList& list, MeshNode* node);
