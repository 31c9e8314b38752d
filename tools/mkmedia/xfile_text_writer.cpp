// The text encoding: every data item ends with ';', array elements are separated by ',', and a
// record inside an array or member ends with its own members' ';' followed by the item's.
#include "xfile_writer.h"

#include "byte_writer.h"
#include "det_math.h"

#include <cstdio>
#include <string>

namespace mkmedia {
namespace {

class TextOut {
public:
    void Line(int depth, const std::string& text) {
        for (int i = 0; i < depth; ++i) {
            out_ += ' ';
        }
        out_ += text;
        out_ += '\n';
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes;
        PutText(bytes, out_);
        return bytes;
    }

private:
    std::string out_;
};

std::string Number(double v) {
    // Adding 0.0 turns -0 into +0, so no "-0.000000" appears.
    double q = RoundDecimal(v, XFILE_DECIMALS) + 0.0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.6f", q);
    return buffer;
}

std::string Unsigned(uint64_t v) {
    return std::to_string(v);
}

// "a;b;c;" : the members of a record, each ending with ';'.
std::string Record(std::initializer_list<double> values) {
    std::string s;
    for (double v : values) {
        s += Number(v);
        s += ';';
    }
    return s;
}

void WriteMaterial(TextOut& out, int depth, const Material& material) {
    out.Line(depth,
             "Material" + (material.name.empty() ? std::string() : " " + material.name) + " {");
    const Colour4& f = material.face;
    out.Line(depth + 1, Record({f.r, f.g, f.b, f.a}) + ";");
    out.Line(depth + 1, Number(material.power) + ";");
    out.Line(depth + 1,
             Record({material.specular.x, material.specular.y, material.specular.z}) + ";");
    out.Line(depth + 1,
             Record({material.emissive.x, material.emissive.y, material.emissive.z}) + ";");
    if (!material.texture.empty()) {
        out.Line(depth + 1, "TextureFilename {");
        out.Line(depth + 2, "\"" + material.texture + "\";");
        out.Line(depth + 1, "}");
    }
    out.Line(depth, "}");
}

// One array member whose elements are already formatted: elements joined by ',', then ';'.
void WriteArray(TextOut& out, int depth, const std::vector<std::string>& elements) {
    for (size_t i = 0; i < elements.size(); ++i) {
        out.Line(depth, elements[i] + (i + 1 < elements.size() ? "," : ";"));
    }
}

std::vector<std::string> FaceElements(const Mesh& mesh) {
    std::vector<std::string> faces;
    for (const auto& face : mesh.faces) {
        std::string s = Unsigned(face.size()) + ";";
        for (size_t k = 0; k < face.size(); ++k) {
            s += Unsigned(face[k]) + (k + 1 < face.size() ? "," : ";");
        }
        faces.push_back(s);
    }
    return faces;
}

void WriteMesh(TextOut& out, int depth, const Mesh& mesh) {
    out.Line(depth, "Mesh" + (mesh.name.empty() ? std::string() : " " + mesh.name) + " {");
    const int in = depth + 1;
    out.Line(in, Unsigned(mesh.positions.size()) + ";");
    std::vector<std::string> elements;
    for (Vec3 p : mesh.positions) {
        elements.push_back(Record({p.x, p.y, p.z}));
    }
    WriteArray(out, in, elements);
    const std::vector<std::string> faces = FaceElements(mesh);
    out.Line(in, Unsigned(faces.size()) + ";");
    WriteArray(out, in, faces);

    if (!mesh.faceMaterials.empty()) {
        out.Line(in, "MeshMaterialList {");
        size_t count = mesh.materialReferences.empty() ? mesh.materials.size()
                                                       : mesh.materialReferences.size();
        out.Line(in + 1, Unsigned(count) + ";");
        out.Line(in + 1, Unsigned(mesh.faceMaterials.size()) + ";");
        elements.clear();
        for (uint32_t m : mesh.faceMaterials) {
            elements.push_back(Unsigned(m));
        }
        WriteArray(out, in + 1, elements);
        for (const std::string& reference : mesh.materialReferences) {
            out.Line(in + 1, "{ " + reference + " }");
        }
        if (mesh.materialReferences.empty()) {
            for (const Material& material : mesh.materials) {
                WriteMaterial(out, in + 1, material);
            }
        }
        out.Line(in, "}");
    }
    if (!mesh.normals.empty()) {
        out.Line(in, "MeshNormals {");
        out.Line(in + 1, Unsigned(mesh.normals.size()) + ";");
        elements.clear();
        for (Vec3 n : mesh.normals) {
            elements.push_back(Record({n.x, n.y, n.z}));
        }
        WriteArray(out, in + 1, elements);
        // Normals are per vertex, so the normal faces repeat the vertex faces.
        out.Line(in + 1, Unsigned(faces.size()) + ";");
        WriteArray(out, in + 1, faces);
        out.Line(in, "}");
    }
    if (!mesh.texCoords.empty()) {
        out.Line(in, "MeshTextureCoords {");
        out.Line(in + 1, Unsigned(mesh.texCoords.size()) + ";");
        elements.clear();
        for (TexCoord t : mesh.texCoords) {
            elements.push_back(Record({t.u, t.v}));
        }
        WriteArray(out, in + 1, elements);
        out.Line(in, "}");
    }
    out.Line(depth, "}");
}

void WriteFrame(TextOut& out, int depth, const Frame& frame) {
    out.Line(depth, "Frame" + (frame.name.empty() ? std::string() : " " + frame.name) + " {");
    if (frame.hasMatrix) {
        out.Line(depth + 1, "FrameTransformMatrix {");
        for (int row = 0; row < 4; ++row) {
            std::string s;
            for (int col = 0; col < 4; ++col) {
                s += Number(frame.matrix.m[row][col]);
                s += (row == 3 && col == 3) ? ";;" : ",";
            }
            out.Line(depth + 2, s);
        }
        out.Line(depth + 1, "}");
    }
    for (const Mesh& mesh : frame.meshes) {
        WriteMesh(out, depth + 1, mesh);
    }
    for (const Frame& child : frame.children) {
        WriteFrame(out, depth + 1, child);
    }
    out.Line(depth, "}");
}

} // namespace

std::vector<uint8_t> WriteXText(const Model& model) {
    TextOut out;
    out.Line(0, "xof 0302txt 0032");
    out.Line(0, "");
    // Header: format version 1.0, flags 1, as the exporters of the time wrote it.
    out.Line(0, "Header {");
    out.Line(1, "1;");
    out.Line(1, "0;");
    out.Line(1, "1;");
    out.Line(0, "}");
    for (const Material& material : model.topLevelMaterials) {
        out.Line(0, "");
        WriteMaterial(out, 0, material);
    }
    for (const Frame& frame : model.frames) {
        out.Line(0, "");
        WriteFrame(out, 0, frame);
    }
    for (const Mesh& mesh : model.meshes) {
        out.Line(0, "");
        WriteMesh(out, 0, mesh);
    }
    return out.Bytes();
}

} // namespace mkmedia
