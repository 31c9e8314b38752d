// object.2: a spark, six long spikes and eight short ones around a small core. Every face has its
// own vertices, so the normals the reader computes are flat and the facets catch the light.
#include "models.h"

#include "det_math.h"
#include "mesh_builder.h"

namespace mkmedia {
namespace {

constexpr int SPARK_SPIKE_SIDES = 5;

// Adds a flat-shaded triangle facing away from `centre`.
void AddFacet(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 centre) {
    Vec3 outward = (a + b + c) * (1.0 / 3.0) - centre;
    Vec3 n = Normalize(Cross(b - a, c - b));
    std::vector<uint32_t> face{AddVertex(mesh, a, n, {}), AddVertex(mesh, b, n, {}),
                               AddVertex(mesh, c, n, {})};
    AddFace(mesh, face, outward);
}

// A pyramid along `axis` from a ring of radius `base` at distance `start` to its tip at `length`.
void AddSpike(Mesh& mesh, Vec3 axis, double start, double base, double length, double roll) {
    axis = Normalize(axis);
    Vec3 helper = (axis.x * axis.x < 0.5) ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 1.0, 0.0};
    Vec3 u = Normalize(Cross(axis, helper));
    Vec3 v = Cross(axis, u);
    Vec3 tip = axis * length;
    Vec3 ringCentre = axis * start;
    for (int i = 0; i < SPARK_SPIKE_SIDES; ++i) {
        double a0 = MKM_TWO_PI * i / SPARK_SPIKE_SIDES + roll;
        double a1 = MKM_TWO_PI * (i + 1) / SPARK_SPIKE_SIDES + roll;
        Vec3 p0 = ringCentre + (u * Cos(a0) + v * Sin(a0)) * base;
        Vec3 p1 = ringCentre + (u * Cos(a1) + v * Sin(a1)) * base;
        AddFacet(mesh, p0, p1, tip, ringCentre);
    }
}

// An icosahedron of the given radius, flat faces.
void AddCore(Mesh& mesh, double radius) {
    const double g = (1.0 + Sqrt(5.0)) / 2.0;
    const Vec3 corners[12] = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0},
                              {0, -1, g}, {0, 1, g}, {0, -1, -g}, {0, 1, -g},
                              {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    const int faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (const auto& f : faces) {
        AddFacet(mesh, Normalize(corners[f[0]]) * radius, Normalize(corners[f[1]]) * radius,
                 Normalize(corners[f[2]]) * radius, {});
    }
}

} // namespace

Model BuildSpark() {
    Mesh mesh;
    mesh.name = "spark";
    Material white;
    white.face = {1.0, 0.97, 0.92, 1.0};
    white.power = 16.0;
    white.specular = {0.5, 0.5, 0.5};
    mesh.materials = {white};

    AddCore(mesh, 3.2);
    const Vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < 6; ++i) {
        AddSpike(mesh, axes[i], 2.0, 1.6, 12.0, 0.3 * i);
    }
    for (int i = 0; i < 8; ++i) {
        Vec3 diagonal{(i & 1) ? 1.0 : -1.0, (i & 2) ? 1.0 : -1.0, (i & 4) ? 1.0 : -1.0};
        AddSpike(mesh, diagonal, 2.0, 1.1, 7.0, 0.5 * i);
    }
    mesh.normals.clear(); // the reader computes them
    mesh.texCoords.clear();

    Frame frame;
    frame.name = "spark_frame";
    frame.hasMatrix = true;
    frame.matrix = RotationZ(MKM_PI / 4.0);
    frame.meshes.push_back(mesh);
    Model model;
    model.frames.push_back(frame);
    return model;
}

} // namespace mkmedia
