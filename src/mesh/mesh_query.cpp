// Walking a loaded tree: the depth-first walk and the searches and edits built on it.
#include "mesh/mesh_file.h"
#include "platform/win32/kernel.h"

namespace {

// Pre-order over a sibling list and everything below it; true when the callback stopped the walk.
// Siblings in a loop, children by recursion, which the file's nesting bounds.
bool WalkNodes(MeshNode* first, MeshNodeCallback callback, void* context) {
    for (MeshNode* node = first; node != nullptr; node = node->next) {
        if (callback(node, context) == 1) {
            return true;
        }
        if (node->child != nullptr && WalkNodes(node->child, callback, context)) {
            return true;
        }
    }
    return false;
}

struct NodeSearch {
    LPCSTR name;
    MeshNode* found;
};

int MatchName(MeshNode* node, void* context) {
    auto* search = static_cast<NodeSearch*>(context);
    if (lstrcmpiA(node->name, search->name) == 0) {
        search->found = node;
        return 1;
    }
    return 0;
}

int ScalePositions(MeshNode* node, void* context) {
    const float factor = *static_cast<const float*>(context);
    for (DWORD i = 0; i < node->vertexCount; ++i) {
        node->vertices[i].x *= factor;
        node->vertices[i].y *= factor;
        node->vertices[i].z *= factor;
    }
    return 0;
}

} // namespace

void MeshFile::EnumerateNodes(MeshNodeCallback callback, void* context) {
    if (root != nullptr && callback != nullptr) {
        WalkNodes(root, callback, context);
    }
}

MeshNode* MeshFile::FindNode(LPCSTR name) {
    if (name == nullptr) {
        return root;
    }
    NodeSearch search{name, nullptr};
    EnumerateNodes(MatchName, &search);
    return search.found;
}

HRESULT MeshFile::GetMeshVertices(LPCSTR name, D3DVERTEX** vertices, DWORD* vertexCount) {
    if (vertices == nullptr || vertexCount == nullptr) {
        return E_INVALIDARG;
    }
    MeshNode* node = FindNode(name);
    if (node == nullptr) {
        return E_FAIL;
    }
    *vertices = node->vertices;
    *vertexCount = node->vertexCount;
    return S_OK;
}

HRESULT MeshFile::GetMeshIndices(LPCSTR name, WORD** indices, DWORD* indexCount) {
    if (indices == nullptr || indexCount == nullptr) {
        return E_INVALIDARG;
    }
    MeshNode* node = FindNode(name);
    if (node == nullptr) {
        return E_FAIL;
    }
    *indices = node->indices;
    *indexCount = node->indexCount;
    return S_OK;
}

HRESULT MeshFile::ScaleMeshes(float factor) {
    EnumerateNodes(ScalePositions, &factor);
    return S_OK;
}
