#include "mesh/mesh_faces.h"

bool MeshFaceReader::Next(DWORD& vertexCount, const BYTE*& indices) {
    if (faulty_ || done_ >= list_.count) {
        return false;
    }
    const size_t left = list_.size - offset_;
    if (left < 4) {
        faulty_ = true;
        return false;
    }
    DWORD n;
    std::memcpy(&n, list_.data + offset_, 4);
    // Compared in 64 bits: n x 4 cannot wrap there, whatever n the file claims.
    if (uint64_t{n} * 4 > left - 4) {
        faulty_ = true;
        return false;
    }
    vertexCount = n;
    indices = list_.data + offset_ + 4;
    offset_ += 4 + size_t{n} * 4;
    ++done_;
    return true;
}

MeshFaceList MeshFaceReader::Rest() const {
    MeshFaceList rest;
    rest.data = list_.data + offset_;
    rest.size = list_.size - offset_;
    rest.count = faulty_ ? 0 : list_.count - done_;
    return rest;
}

bool MeasureFaceList(const BYTE* data, size_t size, DWORD count, size_t& bytes) {
    MeshFaceReader reader(MeshFaceList{data, size, count});
    DWORD n;
    const BYTE* indices;
    while (reader.Next(n, indices)) {
    }
    if (reader.Faulty()) {
        return false;
    }
    bytes = size - reader.Rest().size;
    return true;
}

bool FaceIsDrawable(DWORD faceVertexCount, const BYTE* indices, DWORD vertexCount) {
    if (faceVertexCount < 3) {
        return false;
    }
    for (DWORD i = 0; i < faceVertexCount; ++i) {
        if (MeshFaceReader::Index(indices, i) >= vertexCount) {
            return false;
        }
    }
    return true;
}

uint64_t DrawableIndexCount(const MeshFaceList& faces, DWORD vertexCount) {
    MeshFaceReader reader(faces);
    uint64_t total = 0;
    DWORD n;
    const BYTE* indices;
    while (reader.Next(n, indices)) {
        if (FaceIsDrawable(n, indices, vertexCount)) {
            total += 3 * (uint64_t{n} - 2);
        }
    }
    return total;
}
