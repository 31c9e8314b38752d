// Vertex normals for meshes whose file gives none.
#include <initializer_list>

#include "math/vector.h"
#include "mesh/mesh_node.h"

void MeshNode::ComputeNormals() {
    // The normal fields themselves hold the sums, so a large mesh needs no second array.
    for (DWORD i = 0; i < vertexCount; ++i) {
        vertices[i].nx = vertices[i].ny = vertices[i].nz = 0.0f;
    }
    // Only the indices that faces wrote: room reserved for faces that found no slot holds nothing.
    const DWORD triangles = WrittenIndexCount() / 3;
    for (DWORD t = 0; t < triangles; ++t) {
        const WORD* corner = indices + size_t{t} * 3;
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue; // indices changed by a caller since loading
        }
        D3DVERTEX& v0 = vertices[corner[0]];
        D3DVERTEX& v1 = vertices[corner[1]];
        D3DVERTEX& v2 = vertices[corner[2]];
        const D3DVECTOR p0 = MakeVector(v0.x, v0.y, v0.z);
        const D3DVECTOR p1 = MakeVector(v1.x, v1.y, v1.z);
        const D3DVECTOR p2 = MakeVector(v2.x, v2.y, v2.z);
        // A triangle of zero area normalises a zero vector and adds "not a number" to its three
        // vertices; the test below turns those into (0, 0, 1).
        const D3DVECTOR faceNormal = VecNormalize(VecCross(VecSub(p1, p0), VecSub(p2, p1)));
        for (D3DVERTEX* v : {&v0, &v1, &v2}) {
            v->nx += faceNormal.x;
            v->ny += faceNormal.y;
            v->nz += faceNormal.z;
        }
    }
    for (DWORD i = 0; i < vertexCount; ++i) {
        D3DVERTEX& v = vertices[i];
        D3DVECTOR sum = MakeVector(v.nx, v.ny, v.nz);
        // Written so that a NaN length fails the test too.
        if (!(VecLength(sum) >= 0.1f)) {
            sum = MakeVector(0.0f, 0.0f, 1.0f);
        }
        const D3DVECTOR normal = VecNormalize(sum);
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
    }
}
