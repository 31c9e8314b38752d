// The binary encoding: a stream of 16-bit tokens. Lists carry no separators; each member group
// of an object goes into one integer or float list.
#include "xfile_writer.h"

#include "byte_writer.h"
#include "det_math.h"

#include <string_view>

namespace mkmedia {
namespace {

constexpr uint16_t XTOKEN_NAME = 1;
constexpr uint16_t XTOKEN_INTEGER_LIST = 6;
constexpr uint16_t XTOKEN_FLOAT_LIST = 7;
constexpr uint16_t XTOKEN_OBRACE = 10;
constexpr uint16_t XTOKEN_CBRACE = 11;

class BinaryOut {
public:
    void Name(std::string_view name) {
        PutU16(out_, XTOKEN_NAME);
        PutU32(out_, static_cast<uint32_t>(name.size()));
        PutText(out_, name);
    }
    void Open() { PutU16(out_, XTOKEN_OBRACE); }
    void Close() { PutU16(out_, XTOKEN_CBRACE); }
    void Integers(const std::vector<uint32_t>& values) {
        PutU16(out_, XTOKEN_INTEGER_LIST);
        PutU32(out_, static_cast<uint32_t>(values.size()));
        for (uint32_t v : values) {
            PutU32(out_, v);
        }
    }
    void Floats(const std::vector<double>& values) {
        PutU16(out_, XTOKEN_FLOAT_LIST);
        PutU32(out_, static_cast<uint32_t>(values.size()));
        for (double v : values) {
            PutF32(out_, static_cast<float>(RoundDecimal(v, XFILE_DECIMALS) + 0.0));
        }
    }
    // Template name, optional object name, opening brace.
    void Begin(std::string_view type, std::string_view name) {
        Name(type);
        if (!name.empty()) {
            Name(name);
        }
        Open();
    }
    std::vector<uint8_t> Take() { return std::move(out_); }
    void Raw(std::string_view text) { PutText(out_, text); }

private:
    std::vector<uint8_t> out_;
};

void WriteMaterial(BinaryOut& out, const Material& material) {
    out.Begin("Material", material.name);
    const Colour4& f = material.face;
    out.Floats({f.r, f.g, f.b, f.a, material.power, material.specular.x, material.specular.y,
                material.specular.z, material.emissive.x, material.emissive.y,
                material.emissive.z});
    out.Close();
}

std::vector<uint32_t> FaceList(const Mesh& mesh) {
    std::vector<uint32_t> list{static_cast<uint32_t>(mesh.faces.size())};
    for (const auto& face : mesh.faces) {
        list.push_back(static_cast<uint32_t>(face.size()));
        list.insert(list.end(), face.begin(), face.end());
    }
    return list;
}

void WriteMesh(BinaryOut& out, const Mesh& mesh) {
    out.Begin("Mesh", mesh.name);
    out.Integers({static_cast<uint32_t>(mesh.positions.size())});
    std::vector<double> floats;
    for (Vec3 p : mesh.positions) {
        floats.insert(floats.end(), {p.x, p.y, p.z});
    }
    out.Floats(floats);
    const std::vector<uint32_t> faces = FaceList(mesh);
    out.Integers(faces);

    if (!mesh.faceMaterials.empty()) {
        out.Begin("MeshMaterialList", "");
        size_t count = mesh.materialReferences.empty() ? mesh.materials.size()
                                                       : mesh.materialReferences.size();
        std::vector<uint32_t> list{static_cast<uint32_t>(count),
                                   static_cast<uint32_t>(mesh.faceMaterials.size())};
        list.insert(list.end(), mesh.faceMaterials.begin(), mesh.faceMaterials.end());
        out.Integers(list);
        for (const std::string& reference : mesh.materialReferences) {
            out.Open();
            out.Name(reference);
            out.Close();
        }
        if (mesh.materialReferences.empty()) {
            for (const Material& material : mesh.materials) {
                WriteMaterial(out, material);
            }
        }
        out.Close();
    }
    if (!mesh.normals.empty()) {
        out.Begin("MeshNormals", "");
        out.Integers({static_cast<uint32_t>(mesh.normals.size())});
        floats.clear();
        for (Vec3 n : mesh.normals) {
            floats.insert(floats.end(), {n.x, n.y, n.z});
        }
        out.Floats(floats);
        out.Integers(faces);
        out.Close();
    }
    if (!mesh.texCoords.empty()) {
        out.Begin("MeshTextureCoords", "");
        out.Integers({static_cast<uint32_t>(mesh.texCoords.size())});
        floats.clear();
        for (TexCoord t : mesh.texCoords) {
            floats.insert(floats.end(), {t.u, t.v});
        }
        out.Floats(floats);
        out.Close();
    }
    out.Close();
}

void WriteFrame(BinaryOut& out, const Frame& frame) {
    out.Begin("Frame", frame.name);
    if (frame.hasMatrix) {
        out.Begin("FrameTransformMatrix", "");
        std::vector<double> floats;
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                floats.push_back(frame.matrix.m[row][col]);
            }
        }
        out.Floats(floats);
        out.Close();
    }
    for (const Mesh& mesh : frame.meshes) {
        WriteMesh(out, mesh);
    }
    for (const Frame& child : frame.children) {
        WriteFrame(out, child);
    }
    out.Close();
}

} // namespace

std::vector<uint8_t> WriteXBinary(const Model& model) {
    BinaryOut out;
    out.Raw("xof 0302bin 0032");
    for (const Material& material : model.topLevelMaterials) {
        WriteMaterial(out, material);
    }
    for (const Frame& frame : model.frames) {
        WriteFrame(out, frame);
    }
    for (const Mesh& mesh : model.meshes) {
        WriteMesh(out, mesh);
    }
    return out.Take();
}

} // namespace mkmedia
