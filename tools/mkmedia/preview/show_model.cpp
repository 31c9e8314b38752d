#include "show_model.h"

namespace mkmedia {
namespace {

Mat4 MirrorZ(const Mat4& m) {
    Mat4 r = m;
    r.m[0][2] = -r.m[0][2];
    r.m[1][2] = -r.m[1][2];
    r.m[2][0] = -r.m[2][0];
    r.m[2][1] = -r.m[2][1];
    r.m[3][2] = -r.m[3][2];
    return r;
}

ShowMesh Convert(const Mesh& mesh, const Mat4& frameMatrix) {
    ShowMesh out;
    out.frameMatrix = frameMatrix;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        RenderVertex v;
        v.position = mesh.positions[i];
        if (mesh.normals.size() == mesh.positions.size()) {
            v.normal = mesh.normals[i];
        }
        if (mesh.texCoords.size() == mesh.positions.size()) {
            v.uv = mesh.texCoords[i];
        }
        out.vertices.push_back(v);
    }
    for (const auto& face : mesh.faces) {
        for (size_t k = 2; k < face.size(); ++k) {
            out.indices.insert(out.indices.end(), {face[0], face[k - 1], face[k]});
        }
    }
    if (mesh.normals.size() != mesh.positions.size()) {
        std::vector<Vec3> sum(out.vertices.size());
        for (size_t i = 0; i + 2 < out.indices.size(); i += 3) {
            Vec3 p0 = out.vertices[out.indices[i]].position;
            Vec3 p1 = out.vertices[out.indices[i + 1]].position;
            Vec3 p2 = out.vertices[out.indices[i + 2]].position;
            Vec3 n = Normalize(Cross(p1 - p0, p2 - p1));
            for (int k = 0; k < 3; ++k) {
                sum[out.indices[i + k]] = sum[out.indices[i + k]] + n;
            }
        }
        for (size_t i = 0; i < sum.size(); ++i) {
            out.vertices[i].normal = Length(sum[i]) < 0.1 ? Vec3{0, 0, 1} : Normalize(sum[i]);
        }
    }
    return out;
}

void AddFrame(std::vector<ShowMesh>& out, const Frame& frame, const Mat4& parent) {
    Mat4 here = frame.hasMatrix ? Multiply(MirrorZ(frame.matrix), parent) : parent;
    for (const Mesh& mesh : frame.meshes) {
        out.push_back(Convert(mesh, here));
    }
    for (const Frame& child : frame.children) {
        AddFrame(out, child, here);
    }
}

} // namespace

std::vector<ShowMesh> LoadAsShow(const Model& model) {
    std::vector<ShowMesh> out;
    for (const Frame& frame : model.frames) {
        AddFrame(out, frame, Mat4{});
    }
    for (const Mesh& mesh : model.meshes) {
        out.push_back(Convert(mesh, Mat4{}));
    }
    return out;
}

void ScalePositions(std::vector<ShowMesh>& meshes, double factor) {
    for (ShowMesh& mesh : meshes) {
        for (RenderVertex& v : mesh.vertices) {
            v.position = v.position * factor;
        }
    }
}

void DrawShowModel(SoftRenderer& renderer, const std::vector<ShowMesh>& meshes, const Mat4& world) {
    for (const ShowMesh& mesh : meshes) {
        renderer.DrawIndexed(mesh.vertices, mesh.indices, Multiply(mesh.frameMatrix, world));
    }
}

} // namespace mkmedia
