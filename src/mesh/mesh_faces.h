// Walking a packed face list (see MeshFaceList) without trusting its counts: every face is checked
// against the bytes that are left before any of it is read.
#pragma once

#include <cstdint>
#include <cstring>

#include "mesh/mesh_node.h"

class MeshFaceReader {
public:
    explicit MeshFaceReader(const MeshFaceList& list) : list_(list) {}

    // The next face: its vertex count and where its indices start. False at the end of the list
    // or when the face would run past the data (then Faulty() is true).
    bool Next(DWORD& vertexCount, const BYTE*& indices);
    bool Faulty() const { return faulty_; }
    // Where the next face starts, and how many faces are left: the rest of the list.
    MeshFaceList Rest() const;

    static DWORD Index(const BYTE* indices, DWORD i) {
        DWORD value;
        std::memcpy(&value, indices + size_t{i} * 4, 4);
        return value;
    }

private:
    MeshFaceList list_;
    size_t offset_ = 0;
    DWORD done_ = 0;
    bool faulty_ = false;
};

// Bytes taken by the first `count` faces at `data`, or false when they run past `size`.
bool MeasureFaceList(const BYTE* data, size_t size, DWORD count, size_t& bytes);

// A face that becomes triangles: three or more indices, each naming one of the vertices.
bool FaceIsDrawable(DWORD faceVertexCount, const BYTE* indices, DWORD vertexCount);

// Triangle-list indices that the drawable faces of a (well-formed) list produce: the sum of
// 3 x (n - 2) over them.
uint64_t DrawableIndexCount(const MeshFaceList& faces, DWORD vertexCount);
