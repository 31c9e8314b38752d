// The data layouts of the templates the loader reads, as the .X library's GetData hands them out
// (packed, little-endian, unaligned). Each reader checks every count against the size it was
// given before it points into the data, and answers false when the data is too short.
#pragma once

#include "mesh/mesh_node.h"

// Mesh: DWORD nVertices; Vector vertices[nVertices]; DWORD nFaces; MeshFace faces[nFaces].
struct MeshGeometryData {
    DWORD vertexCount = 0;
    const BYTE* positions = nullptr; // vertexCount float triples
    MeshFaceList faces;
};
bool ReadMeshGeometry(const void* data, DWORD size, MeshGeometryData& mesh);

// MeshMaterialList: DWORD nMaterials; DWORD nFaceIndexes; DWORD faceIndexes[nFaceIndexes].
struct MaterialListData {
    DWORD materialCount = 0;
    DWORD faceIndexCount = 0;
    const BYTE* faceIndices = nullptr; // faceIndexCount DWORDs
};
bool ReadMaterialList(const void* data, DWORD size, MaterialListData& list);
DWORD MaterialIndexAt(const MaterialListData& list, DWORD face);

// MeshNormals (DWORD nNormals; Vector normals[nNormals]; ...) and MeshTextureCoords (DWORD
// nTextureCoords; Coords2d textureCoords[nTextureCoords]): a count and that many records of
// `floatsEach` floats at the start of the data.
bool ReadCountedFloats(const void* data, DWORD size, DWORD floatsEach, DWORD& count,
                       const BYTE*& records);

// Material: ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor.
// Diffuse and ambient take the face colour; the specular and emissive alphas stay 0.
bool ReadMaterial(const void* data, DWORD size, D3DMATERIAL7& material);

// TextureFilename: STRING filename, a pointer to text the library owns.
bool ReadTextureFilename(const void* data, DWORD size, const char*& fileName);

// FrameTransformMatrix: 16 floats, row by row. The file's right-handed transform becomes the
// device's left-handed one by mirroring z on both sides (S x M x S, S = diag(1, 1, -1, 1)):
// _13, _23, _31, _32 and _43 change sign. False for data of any other size.
bool ReadFrameMatrix(const void* data, DWORD size, D3DMATRIX& matrix);
