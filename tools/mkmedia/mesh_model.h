// A model as the .X writers write it: frames with transform matrices, meshes with their faces,
// optional normals and texture coordinates, and material lists. The writers emit exactly what
// is here, so "no normals" means the reader computes them.
#pragma once

#include "geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

struct Colour4 {
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;
    double a = 1.0;
};

struct Material {
    std::string name; // empty: unnamed
    Colour4 face;
    double power = 0.0;
    Vec3 specular;       // as r, g, b
    Vec3 emissive;       // as r, g, b
    std::string texture; // file name for a TextureFilename child; empty: none
};

struct TexCoord {
    double u = 0.0;
    double v = 0.0;
};

struct Mesh {
    std::string name;
    std::vector<Vec3> positions;
    std::vector<std::vector<uint32_t>> faces; // vertex indices, clockwise seen from the front
    std::vector<Vec3> normals;                // one per position, or empty
    std::vector<TexCoord> texCoords;          // one per position, or empty
    // Material list: one index per face into `materials`. Empty: the mesh has no material list.
    std::vector<uint32_t> faceMaterials;
    std::vector<Material> materials;
    // Names of top-level materials to refer to instead of writing `materials` inline (text files).
    std::vector<std::string> materialReferences;

    size_t TriangleCount() const;
};

struct Frame {
    std::string name;
    bool hasMatrix = false;
    Mat4 matrix;
    std::vector<Mesh> meshes;
    std::vector<Frame> children;
};

struct Model {
    std::vector<Material> topLevelMaterials; // named, referable by meshes
    std::vector<Frame> frames;
    std::vector<Mesh> meshes; // meshes outside any frame
};

size_t CountTriangles(const Model& model);

} // namespace mkmedia
