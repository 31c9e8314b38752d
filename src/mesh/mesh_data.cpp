#include "mesh/mesh_data.h"

#include <cstdint>
#include <cstring>

#include "mesh/mesh_faces.h"

namespace {

const BYTE* Bytes(const void* data) {
    return static_cast<const BYTE*>(data);
}

DWORD DwordAt(const BYTE* data, size_t offset) {
    DWORD value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

float FloatAt(const BYTE* data, size_t index) {
    float value;
    std::memcpy(&value, data + index * sizeof(float), sizeof value);
    return value;
}

} // namespace

bool ReadMeshGeometry(const void* data, DWORD size, MeshGeometryData& mesh) {
    if (data == nullptr || size < 8) {
        return false;
    }
    const BYTE* bytes = Bytes(data);
    const DWORD vertexCount = DwordAt(bytes, 0);
    // 64-bit arithmetic: 12 x a 32-bit count cannot wrap.
    const uint64_t facesAt = 4 + uint64_t{vertexCount} * 12 + 4;
    if (facesAt > size) {
        return false;
    }
    mesh.vertexCount = vertexCount;
    mesh.positions = bytes + 4;
    mesh.faces.count = DwordAt(bytes, static_cast<size_t>(facesAt) - 4);
    mesh.faces.data = bytes + facesAt;
    mesh.faces.size = size - static_cast<size_t>(facesAt);
    size_t used = 0;
    return MeasureFaceList(mesh.faces.data, mesh.faces.size, mesh.faces.count, used);
}

bool ReadMaterialList(const void* data, DWORD size, MaterialListData& list) {
    if (data == nullptr || size < 8) {
        return false;
    }
    const BYTE* bytes = Bytes(data);
    list.materialCount = DwordAt(bytes, 0);
    list.faceIndexCount = DwordAt(bytes, 4);
    list.faceIndices = bytes + 8;
    return uint64_t{list.faceIndexCount} * 4 <= size - 8;
}

DWORD MaterialIndexAt(const MaterialListData& list, DWORD face) {
    return DwordAt(list.faceIndices, size_t{face} * 4);
}

bool ReadCountedFloats(const void* data, DWORD size, DWORD floatsEach, DWORD& count,
                       const BYTE*& records) {
    if (data == nullptr || size < 4) {
        return false;
    }
    count = DwordAt(Bytes(data), 0);
    records = Bytes(data) + 4;
    return uint64_t{count} * floatsEach * 4 <= size - 4;
}

bool ReadMaterial(const void* data, DWORD size, D3DMATERIAL7& material) {
    constexpr DWORD FLOATS = 4 + 1 + 3 + 3;
    if (data == nullptr || size < FLOATS * 4) {
        return false;
    }
    const BYTE* bytes = Bytes(data);
    material = D3DMATERIAL7{};
    material.diffuse = {FloatAt(bytes, 0), FloatAt(bytes, 1), FloatAt(bytes, 2), FloatAt(bytes, 3)};
    material.ambient = material.diffuse;
    material.power = FloatAt(bytes, 4);
    material.specular = {FloatAt(bytes, 5), FloatAt(bytes, 6), FloatAt(bytes, 7), 0.0f};
    material.emissive = {FloatAt(bytes, 8), FloatAt(bytes, 9), FloatAt(bytes, 10), 0.0f};
    return true;
}

bool ReadTextureFilename(const void* data, DWORD size, const char*& fileName) {
    if (data == nullptr || size < sizeof(const char*)) {
        return false;
    }
    std::memcpy(&fileName, data, sizeof fileName);
    return fileName != nullptr;
}

bool ReadFrameMatrix(const void* data, DWORD size, D3DMATRIX& matrix) {
    if (data == nullptr || size != sizeof(D3DMATRIX)) {
        return false;
    }
    std::memcpy(matrix.m, data, sizeof matrix.m);
    matrix._13 = -matrix._13;
    matrix._23 = -matrix._23;
    matrix._31 = -matrix._31;
    matrix._32 = -matrix._32;
    matrix._43 = -matrix._43;
    return true;
}
