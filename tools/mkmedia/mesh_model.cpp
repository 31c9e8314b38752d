#include "mesh_model.h"

namespace mkmedia {
namespace {

size_t CountInFrame(const Frame& frame) {
    size_t count = 0;
    for (const Mesh& mesh : frame.meshes) {
        count += mesh.TriangleCount();
    }
    for (const Frame& child : frame.children) {
        count += CountInFrame(child);
    }
    return count;
}

} // namespace

size_t Mesh::TriangleCount() const {
    size_t count = 0;
    for (const auto& face : faces) {
        if (face.size() >= 3) {
            count += face.size() - 2;
        }
    }
    return count;
}

size_t CountTriangles(const Model& model) {
    size_t count = 0;
    for (const Frame& frame : model.frames) {
        count += CountInFrame(frame);
    }
    for (const Mesh& mesh : model.meshes) {
        count += mesh.TriangleCount();
    }
    return count;
}

} // namespace mkmedia
