// Helpers that add surfaces to a Mesh with the winding the show expects: a face is seen from the
// side where its vertices run clockwise, which is the side its computed normal
// (p1 - p0) x (p2 - p1) points to.
#pragma once

#include "mesh_model.h"

#include <vector>

namespace mkmedia {

// Adds a vertex with its normal and texture coordinates and answers its index. A model whose
// file should leave normals or texture coordinates to the reader clears those arrays at the end.
uint32_t AddVertex(Mesh& mesh, Vec3 position, Vec3 normal, TexCoord uv);

// Adds a face, reversed if needed so that its front faces `outward`. A material index is recorded
// when the mesh has a material list (non-empty `materials` or `materialReferences`).
void AddFace(Mesh& mesh, std::vector<uint32_t> face, Vec3 outward, uint32_t material = 0);

// The normal the reader computes for a face from its first three vertices (not normalised).
Vec3 FaceNormal(const Mesh& mesh, const std::vector<uint32_t>& face);

// A closed tube of the given radius around a closed centre line (the last point joins the
// first), `sides` vertices around. Each ring gets its own vertices; texture u runs along the
// line (0..uRepeat), v around the tube. materialOf(segment) picks each segment's material.
struct TubeStyle {
    double radius = 1.0;
    int sides = 6;
    double uRepeat = 1.0;
};
void AddClosedTube(Mesh& mesh, const std::vector<Vec3>& centre, const TubeStyle& style,
                   uint32_t (*materialOf)(size_t segment, size_t segments));

} // namespace mkmedia
