// Drawing a tree: one indexed draw per material slot of each mesh, opaque meshes first, then the
// transparent ones blended over them.
#include <algorithm>

#include "math/render_records.h"
#include "mesh/mesh_file.h"

namespace {

void DrawMeshSlots(MeshNode& node, IDirect3DDevice7* device, DWORD pass) {
    // All slots of a mesh go to the pass its `transparent` flag picks, whatever their own alpha.
    const bool drawn = (node.transparent != FALSE) == (pass == 1);
    if (!drawn || node.vertices == nullptr || node.indices == nullptr) {
        return;
    }
    const DWORD slots = std::min(node.materialCount, MESH_SLOT_COUNT);
    DWORD position = 0;
    for (DWORD slot = 0; slot < slots; ++slot) {
        const DWORD count = node.materials[slot].indexCount;
        if (count == 0) {
            continue;
        }
        // Slot counts changed by hand must not reach past the array.
        if (count > node.indexCount - position) {
            break;
        }
        for (DWORD done = 0; done < count;) {
            const DWORD batch = std::min(count - done, MESH_MAX_BATCH_INDICES);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, node.vertices,
                                         node.vertexCount, node.indices + position + done, batch,
                                         0);
            done += batch;
        }
        position += count;
    }
}

} // namespace

void MeshNode::RenderNode(IDirect3DDevice7* device, DWORD pass) {
    // Siblings in a loop rather than by recursion: each is drawn under the same world matrix, the
    // one current for this node, and the stack does not grow with their number.
    for (MeshNode* node = this; node != nullptr; node = node->next) {
        if (node->hasMesh) {
            DrawMeshSlots(*node, device, pass);
        } else if (node->child != nullptr) {
            D3DMATRIX saved;
            BuildIdentityMatrix(saved);
            device->GetTransform(D3DTRANSFORMSTATE_WORLD, &saved);
            D3DMATRIX world;
            MultiplyMatrices(world, node->matrix, saved);
            device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
            node->child->RenderNode(device, pass);
            device->SetTransform(D3DTRANSFORMSTATE_WORLD, &saved);
        }
    }
}

HRESULT MeshFile::Render(IDirect3DDevice7* device) {
    if (root == nullptr || device == nullptr) {
        return S_OK;
    }
    // Defaults stand in for anything the device fails to report, so that nothing undefined is
    // set back.
    D3DMATERIAL7 material{};
    device->GetMaterial(&material);
    IDirectDrawSurface7* texture = nullptr;
    device->GetTexture(0, &texture); // adds a reference, dropped at the end
    D3DMATRIX world;
    BuildIdentityMatrix(world);
    device->GetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    DWORD blendEnable = FALSE;
    DWORD sourceBlend = D3DBLEND_ONE;
    DWORD destinationBlend = D3DBLEND_ZERO;
    device->GetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, &blendEnable);
    device->GetRenderState(D3DRENDERSTATE_SRCBLEND, &sourceBlend);
    device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &destinationBlend);

    root->RenderNode(device, 0);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    root->RenderNode(device, 1);

    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blendEnable);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, sourceBlend);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, destinationBlend);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    device->SetTexture(0, texture);
    device->SetMaterial(&material);
    if (texture != nullptr) {
        texture->Release();
    }
    return S_OK;
}
