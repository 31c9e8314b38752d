// Builders of small .X files in the text encoding, for the mesh loader's tests: each returns one
// object as text, so a test states its model the way an exporter would write it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/mesh_file.h"
#include "platform/xfile/dxfile.h"

namespace mesh_text {

using Position = std::array<float, 3>;
using Face = std::vector<uint32_t>;

// The text header followed by the objects.
std::string XFile(const std::string& objects);

// n positions: vertex i at (i, i * i / 4, 1 - i), so no three neighbours are in line.
std::vector<Position> Spread(int n);

std::string Mesh(const std::string& name, const std::vector<Position>& positions,
                 const std::vector<Face>& faces, const std::string& children = "");
std::string MaterialList(uint32_t materialCount, const std::vector<uint32_t>& faceMaterials,
                         const std::string& materials = "");
// face colour r, g, b, a; power; specular; emissive. `name` empty: unnamed.
std::string Material(std::array<float, 4> face, const std::string& children = "",
                     const std::string& name = "", float power = 0,
                     std::array<float, 3> specular = {}, std::array<float, 3> emissive = {});
std::string TextureFilename(const std::string& fileName);
std::string Normals(const std::vector<Position>& normals, const std::vector<Face>& faces);
std::string TextureCoords(const std::vector<std::array<float, 2>>& coords);
// 16 floats, row by row.
std::string Transform(const std::array<float, 16>& m);
std::string Frame(const std::string& name, const std::string& children = "");

// MeshFile::LoadFromMemory over the text.
HRESULT Load(MeshFile& file, const std::string& text);

// The node's indices as written (indexCount of them).
std::vector<WORD> Indices(const MeshNode* node);
// The nodes of a tree, depth first, parents before children.
std::vector<MeshNode*> Nodes(MeshFile& file);

} // namespace mesh_text
