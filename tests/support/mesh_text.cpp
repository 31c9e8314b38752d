#include "support/mesh_text.h"

#include <cstdio>

namespace mesh_text {

namespace {

std::string Number(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    return text;
}

// "count;" then the records, each "a;b;c;", separated by "," and closed by ";".
template <class Record> std::string RecordArray(const std::vector<Record>& records) {
    std::string text = std::to_string(records.size()) + ";\n";
    for (size_t i = 0; i < records.size(); ++i) {
        for (float value : records[i]) {
            text += Number(value) + ";";
        }
        text += i + 1 < records.size() ? ",\n" : ";\n";
    }
    return text;
}

std::string FaceArray(const std::vector<Face>& faces) {
    std::string text = std::to_string(faces.size()) + ";\n";
    for (size_t i = 0; i < faces.size(); ++i) {
        text += std::to_string(faces[i].size()) + ";";
        for (size_t k = 0; k < faces[i].size(); ++k) {
            text += std::to_string(faces[i][k]) + (k + 1 < faces[i].size() ? "," : ";");
        }
        text += i + 1 < faces.size() ? ",\n" : ";\n";
    }
    return text;
}

} // namespace

std::string XFile(const std::string& objects) {
    return "xof 0302txt 0032\n" + objects;
}

std::vector<Position> Spread(int n) {
    std::vector<Position> positions;
    for (int i = 0; i < n; ++i) {
        const auto f = static_cast<float>(i);
        positions.push_back({f, f * f / 4, 1 - f});
    }
    return positions;
}

std::string Mesh(const std::string& name, const std::vector<Position>& positions,
                 const std::vector<Face>& faces, const std::string& children) {
    return "Mesh " + name + " {\n" + RecordArray(positions) + FaceArray(faces) + children + "}\n";
}

std::string MaterialList(uint32_t materialCount, const std::vector<uint32_t>& faceMaterials,
                         const std::string& materials) {
    std::string text = "MeshMaterialList {\n" + std::to_string(materialCount) + ";\n" +
                       std::to_string(faceMaterials.size()) + ";\n";
    for (size_t i = 0; i < faceMaterials.size(); ++i) {
        text += std::to_string(faceMaterials[i]) + (i + 1 < faceMaterials.size() ? "," : ";;");
    }
    return text + "\n" + materials + "}\n";
}

std::string Material(std::array<float, 4> face, const std::string& children,
                     const std::string& name, float power, std::array<float, 3> specular,
                     std::array<float, 3> emissive) {
    std::string text = "Material " + name + " {\n";
    for (float v : face) {
        text += Number(v) + ";";
    }
    text += ";\n" + Number(power) + ";\n";
    for (float v : specular) {
        text += Number(v) + ";";
    }
    text += ";\n";
    for (float v : emissive) {
        text += Number(v) + ";";
    }
    return text + ";\n" + children + "}\n";
}

std::string TextureFilename(const std::string& fileName) {
    return "TextureFilename { \"" + fileName + "\"; }\n";
}

std::string Normals(const std::vector<Position>& normals, const std::vector<Face>& faces) {
    return "MeshNormals {\n" + RecordArray(normals) + FaceArray(faces) + "}\n";
}

std::string TextureCoords(const std::vector<std::array<float, 2>>& coords) {
    return "MeshTextureCoords {\n" + RecordArray(coords) + "}\n";
}

std::string Transform(const std::array<float, 16>& m) {
    std::string text = "FrameTransformMatrix {\n";
    for (size_t i = 0; i < m.size(); ++i) {
        text += Number(m[i]) + (i + 1 < m.size() ? "," : ";;");
    }
    return text + "\n}\n";
}

std::string Frame(const std::string& name, const std::string& children) {
    return "Frame " + name + " {\n" + children + "}\n";
}

HRESULT Load(MeshFile& file, const std::string& text) {
    return file.LoadFromMemory(text.data(), static_cast<DWORD>(text.size()));
}

std::vector<WORD> Indices(const MeshNode* node) {
    return std::vector<WORD>(node->indices, node->indices + node->indexCount);
}

std::vector<MeshNode*> Nodes(MeshFile& file) {
    std::vector<MeshNode*> nodes;
    file.EnumerateNodes(
        [](MeshNode* node, void* context) {
            static_cast<std::vector<MeshNode*>*>(context)->push_back(node);
            return 0;
        },
        &nodes);
    return nodes;
}

} // namespace mesh_text
