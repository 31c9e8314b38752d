#include "mesh_builder.h"

#include "det_math.h"

#include <algorithm>

namespace mkmedia {

uint32_t AddVertex(Mesh& mesh, Vec3 position, Vec3 normal, TexCoord uv) {
    mesh.positions.push_back(position);
    mesh.normals.push_back(Normalize(normal));
    mesh.texCoords.push_back(uv);
    return static_cast<uint32_t>(mesh.positions.size() - 1);
}

Vec3 FaceNormal(const Mesh& mesh, const std::vector<uint32_t>& face) {
    Vec3 p0 = mesh.positions[face[0]];
    Vec3 p1 = mesh.positions[face[1]];
    Vec3 p2 = mesh.positions[face[2]];
    return Cross(p1 - p0, p2 - p1);
}

void AddFace(Mesh& mesh, std::vector<uint32_t> face, Vec3 outward, uint32_t material) {
    if (Dot(FaceNormal(mesh, face), outward) < 0.0) {
        std::reverse(face.begin(), face.end());
    }
    mesh.faces.push_back(std::move(face));
    if (!mesh.materials.empty() || !mesh.materialReferences.empty()) {
        mesh.faceMaterials.push_back(material);
    }
}

void AddClosedTube(Mesh& mesh, const std::vector<Vec3>& centre, const TubeStyle& style,
                   uint32_t (*materialOf)(size_t segment, size_t segments)) {
    const size_t n = centre.size();
    // Parallel transport keeps the rings from twisting: each ring's reference direction is the
    // previous one with its component along the new tangent removed.
    std::vector<Vec3> tangents(n);
    for (size_t i = 0; i < n; ++i) {
        tangents[i] = Normalize(centre[(i + 1) % n] - centre[(i + n - 1) % n]);
    }
    Vec3 reference = Cross(tangents[0], Vec3{0.0, 0.0, 1.0});
    if (Length(reference) < 1e-3) {
        reference = Cross(tangents[0], Vec3{1.0, 0.0, 0.0});
    }
    std::vector<Vec3> normals(n + 1);
    for (size_t i = 0; i <= n; ++i) {
        Vec3 t = tangents[i % n];
        reference = Normalize(reference - t * Dot(reference, t));
        normals[i] = reference;
    }
    // Carried once around the loop, the frame comes back turned about the first tangent; spread
    // that turn along the loop so the last ring meets the first without a kink.
    Vec3 t0 = tangents[0];
    double twist = Atan2(Dot(Cross(normals[n], normals[0]), t0), Dot(normals[n], normals[0]));

    const int sides = style.sides;
    std::vector<uint32_t> rings((n + 1) * sides);
    std::vector<Vec3> firstRing(sides);
    for (size_t i = 0; i <= n; ++i) {
        size_t k = i % n;
        double correction = twist * double(k) / double(n);
        Vec3 t = tangents[k];
        Vec3 a = normals[k];
        Vec3 b = Cross(t, a);
        for (int j = 0; j < sides; ++j) {
            double angle = MKM_TWO_PI * j / sides + correction;
            Vec3 radial = a * Cos(angle) + b * Sin(angle);
            if (i == 0) {
                firstRing[j] = radial;
            }
            if (i == n) {
                radial = firstRing[j]; // the seam: same place, texture u at its far end
            }
            TexCoord uv{style.uRepeat * double(i) / double(n), double(j) / sides};
            rings[i * sides + j] = AddVertex(mesh, centre[k] + radial * style.radius, radial, uv);
        }
    }
    for (size_t i = 0; i < n; ++i) {
        uint32_t material = materialOf != nullptr ? materialOf(i, n) : 0;
        for (int j = 0; j < sides; ++j) {
            int j1 = (j + 1) % sides;
            std::vector<uint32_t> quad{rings[i * sides + j], rings[(i + 1) * sides + j],
                                       rings[(i + 1) * sides + j1], rings[i * sides + j1]};
            Vec3 mid = (mesh.positions[quad[0]] + mesh.positions[quad[2]]) * 0.5;
            Vec3 axis = (centre[i] + centre[(i + 1) % n]) * 0.5;
            AddFace(mesh, quad, mid - axis, material);
        }
    }
}

} // namespace mkmedia
