#include "demo/scene_drawing.h"

#include "math/render_records.h"
#include "math/vector.h"

void SetGrey(IDirect3DDevice7* device, float grey) {
    D3DMATERIAL7 material;
    FillMaterial(material, grey, grey, grey, 1.0f);
    device->SetMaterial(&material);
}

void SetWorld(IDirect3DDevice7* device, const D3DMATRIX& world) {
    // The device copies the matrix; its interface only asks for a writable pointer.
    D3DMATRIX copy = world;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &copy);
}

void SetWorldIdentity(IDirect3DDevice7* device) {
    D3DMATRIX identity;
    BuildIdentityMatrix(identity);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
}

void BuildTranslationMatrix(D3DMATRIX& m, float x, float y, float z) {
    BuildIdentityMatrix(m);
    m._41 = x;
    m._42 = y;
    m._43 = z;
}

void DrawQuad(IDirect3DDevice7* device, const QuadCorner (&corners)[4]) {
    const D3DVECTOR up = MakeVector(0.0f, 1.0f, 0.0f);
    D3DVERTEX vertices[4];
    for (int i = 0; i < 4; ++i) {
        const QuadCorner& c = corners[i];
        vertices[i] = MakeVertex(MakeVector(c.x, c.y, c.z), up, c.tu, c.tv);
    }
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, vertices, 4, 0);
}
