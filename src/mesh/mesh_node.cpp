// Building and destroying nodes: geometry, faces into material slots, materials, normals and
// texture coordinates given by the file, child lists.
#include "mesh/mesh_node.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "math/render_records.h"
#include "mesh/mesh_faces.h"
#include "platform/win32/kernel.h"
#include "texture/texture_store.h"

namespace {

// The library's data is packed without alignment; floats are copied out, never cast in place.
float FloatAt(const BYTE* data, size_t index) {
    float value;
    std::memcpy(&value, data + index * sizeof(float), sizeof(float));
    return value;
}

} // namespace

MeshNode::MeshNode(LPCSTR nodeName)
    : name{}, next(nullptr), child(nullptr), matrix{}, hasMesh(FALSE), vertexCount(0),
      vertices(nullptr), indexCount(0), indices(nullptr), materialCount(0), materials{},
      transparent(FALSE) {
    if (nodeName != nullptr) {
        lstrcpynA(name, nodeName, MESH_NAME_SIZE);
    }
    BuildIdentityMatrix(matrix);
}

MeshNode::~MeshNode() {
    // Siblings go in a loop, not through each other's destructors: a file may hold hundreds of
    // thousands of them, and the stack must not grow with their number. Children recurse, but
    // only as deep as the file nests, which the .X library bounds.
    MeshNode* sibling = next;
    next = nullptr;
    while (sibling != nullptr) {
        MeshNode* after = sibling->next;
        sibling->next = nullptr;
        delete sibling;
        sibling = after;
    }
    delete child;
    child = nullptr;

    // Every slot, not only those below materialCount: a material that no face uses still added
    // its texture to the store while the mesh loaded.
    for (const MeshMaterial& slot : materials) {
        if (slot.textureName[0] != '\0') {
            RemoveTexture(slot.textureName);
        }
    }
    delete[] vertices;
    delete[] indices;
}

HRESULT MeshNode::SetGeometry(DWORD count, const BYTE* positions, const MeshFaceList& faces) {
    if (count > MESH_MAX_VERTICES) {
        return E_INVALIDARG;
    }
    // Room only for the faces that can ever be drawn; the face list itself is bounded by the data
    // the library returned, so this cannot exceed a few hundred million.
    const uint64_t reserve = DrawableIndexCount(faces, count);
    if (reserve > UINT32_MAX) {
        return E_OUTOFMEMORY;
    }
    auto* newVertices = new (std::nothrow) D3DVERTEX[count]();
    auto* newIndices = new (std::nothrow) WORD[reserve];
    if (newVertices == nullptr || newIndices == nullptr) {
        delete[] newVertices;
        delete[] newIndices;
        return E_OUTOFMEMORY;
    }
    for (DWORD i = 0; i < count; ++i) {
        newVertices[i].x = FloatAt(positions, size_t{i} * 3);
        newVertices[i].y = FloatAt(positions, size_t{i} * 3 + 1);
        newVertices[i].z = FloatAt(positions, size_t{i} * 3 + 2);
    }
    delete[] vertices;
    delete[] indices;
    vertices = newVertices;
    indices = newIndices;
    vertexCount = count;
    indexCount = static_cast<DWORD>(reserve);
    hasMesh = TRUE;
    return S_OK;
}

void MeshNode::AddFaces(DWORD slot, const MeshFaceList& faces) {
    if (slot >= MESH_SLOT_COUNT) {
        return;
    }
    if (materialCount < slot + 1) {
        materialCount = slot + 1;
    }
    uint64_t upToSlot = 0; // indices of slots 0 to `slot`: the new triangles go right after them
    uint64_t afterSlot = 0;
    for (DWORD k = 0; k < MESH_SLOT_COUNT; ++k) {
        (k <= slot ? upToSlot : afterSlot) += materials[k].indexCount;
    }

    MeshFaceReader reader(faces);
    DWORD n;
    const BYTE* face;
    while (reader.Next(n, face)) {
        if (!FaceIsDrawable(n, face, vertexCount)) {
            continue;
        }
        const uint64_t needed = 3 * (uint64_t{n} - 2);
        if (upToSlot + afterSlot + needed > indexCount) {
            continue; // no room was reserved for it
        }
        WORD* at = indices + upToSlot;
        if (afterSlot > 0) {
            std::memmove(at + needed, at, afterSlot * sizeof(WORD));
        }
        // Indices are below vertexCount <= 65,536, so they fit in 16 bits.
        const auto first = static_cast<WORD>(MeshFaceReader::Index(face, 0));
        for (DWORD k = 2; k < n; ++k) {
            *at++ = first;
            *at++ = static_cast<WORD>(MeshFaceReader::Index(face, k - 1));
            *at++ = static_cast<WORD>(MeshFaceReader::Index(face, k));
        }
        upToSlot += needed;
        materials[slot].indexCount += static_cast<DWORD>(needed);
    }
}

void MeshNode::SetSlotMaterial(DWORD slot, const D3DMATERIAL7& material, LPCSTR textureName) {
    if (slot >= MESH_SLOT_COUNT) {
        return;
    }
    materials[slot].material = material;
    materials[slot].textureName[0] = '\0';
    if (textureName != nullptr) {
        lstrcpynA(materials[slot].textureName, textureName, MESH_NAME_SIZE);
    }
    if (material.diffuse.a < 1.0f) {
        transparent = TRUE;
    }
}

void MeshNode::SetNormals(const BYTE* normals) {
    for (DWORD i = 0; i < vertexCount; ++i) {
        vertices[i].nx = FloatAt(normals, size_t{i} * 3);
        vertices[i].ny = FloatAt(normals, size_t{i} * 3 + 1);
        vertices[i].nz = FloatAt(normals, size_t{i} * 3 + 2);
    }
}

void MeshNode::SetTextureCoords(const BYTE* coords) {
    for (DWORD i = 0; i < vertexCount; ++i) {
        vertices[i].tu = FloatAt(coords, size_t{i} * 2);
        vertices[i].tv = FloatAt(coords, size_t{i} * 2 + 1);
    }
}

DWORD MeshNode::WrittenIndexCount() const {
    uint64_t total = 0;
    for (const MeshMaterial& slot : materials) {
        total += slot.indexCount;
    }
    // AddFaces keeps the total within indexCount; the clamp only guards slots set by hand.
    return total < indexCount ? static_cast<DWORD>(total) : indexCount;
}

void AddChild(MeshChildList& list, MeshNode* node) {
    if (list.last == nullptr) {
        list.last = list.parent->child;
        if (list.last == nullptr) {
            list.parent->child = node;
            list.last = node;
            return;
        }
    }
    while (list.last->next != nullptr) {
        list.last = list.last->next;
    }
    list.last->next = node;
    list.last = node;
}
