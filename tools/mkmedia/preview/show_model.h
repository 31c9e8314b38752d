// A Model as the show's mesh loader turns it into drawable pieces: frame matrices mirrored in z
// the way the loader stores them, faces split into fans, missing normals computed from the faces
// (the loader's formula), missing texture coordinates zero.
#pragma once

#include "soft_render.h"

#include <vector>

namespace mkmedia {

struct ShowMesh {
    std::vector<RenderVertex> vertices;
    std::vector<uint32_t> indices;
    Mat4 frameMatrix; // product of the enclosing frames' matrices, innermost first
};

std::vector<ShowMesh> LoadAsShow(const Model& model);
void ScalePositions(std::vector<ShowMesh>& meshes, double factor);
void DrawShowModel(SoftRenderer& renderer, const std::vector<ShowMesh>& meshes, const Mat4& world);

} // namespace mkmedia
