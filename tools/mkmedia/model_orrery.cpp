// object.1: a trefoil knot of light inside two thin rings, each in its own frame.
//
// The frames only turn (no translation, no scale): the title scene scales the vertices of its
// copies, and a translation in a frame would not scale with them.
#include "models.h"

#include "det_math.h"
#include "mesh_builder.h"

namespace mkmedia {
namespace {

constexpr int ORRERY_KNOT_SEGMENTS = 150;
constexpr int ORRERY_RING_SEGMENTS = 72;

Material Gleam() {
    Material m;
    m.name = "gleam";
    m.face = {1.0, 1.0, 1.0, 1.0};
    m.power = 24.0;
    m.specular = {0.6, 0.6, 0.6};
    m.texture = "gleam.tga";
    return m;
}

Material Pale() {
    Material m;
    m.name = "pale";
    m.face = {0.82, 0.88, 1.0, 1.0};
    m.power = 8.0;
    m.specular = {0.2, 0.2, 0.2};
    return m;
}

// Bands of ten segments alternate between the two materials along the knot.
uint32_t KnotBand(size_t segment, size_t) {
    return static_cast<uint32_t>((segment / 10) % 2);
}

Mesh Knot() {
    Mesh mesh;
    mesh.name = "knot";
    mesh.materials = {Gleam(), Pale()};
    std::vector<Vec3> line;
    // The (2, 3) torus knot: twice around the axis while winding three times through the hole.
    const double big = 19.0;
    const double small = 8.0;
    for (int i = 0; i < ORRERY_KNOT_SEGMENTS; ++i) {
        double t = MKM_TWO_PI * i / ORRERY_KNOT_SEGMENTS;
        double r = big + small * Cos(3.0 * t);
        line.push_back({r * Cos(2.0 * t), r * Sin(2.0 * t), -small * Sin(3.0 * t)});
    }
    AddClosedTube(mesh, line, {1.25, 5, 6.0}, KnotBand);
    return mesh;
}

Mesh Ring(const char* name, double radius, double thickness) {
    Mesh mesh;
    mesh.name = name;
    Material m = Pale();
    m.name.clear();
    mesh.materials = {m};
    std::vector<Vec3> line;
    for (int i = 0; i < ORRERY_RING_SEGMENTS; ++i) {
        double t = MKM_TWO_PI * i / ORRERY_RING_SEGMENTS;
        line.push_back({radius * Cos(t), radius * Sin(t), 0.0});
    }
    AddClosedTube(mesh, line, {thickness, 4, 4.0}, nullptr);
    return mesh;
}

Frame TurnedFrame(const char* name, const Mat4& turn) {
    Frame frame;
    frame.name = name;
    frame.hasMatrix = true;
    frame.matrix = turn;
    return frame;
}

} // namespace

Model BuildOrrery() {
    Frame knot = TurnedFrame("knot_frame", RotationX(MKM_PI / 2.0));
    knot.meshes.push_back(Knot());
    Frame equator = TurnedFrame("equator_frame", RotationX(MKM_PI / 2.0));
    equator.meshes.push_back(Ring("equator", 35.0, 0.8));
    Frame meridian = TurnedFrame("meridian_frame", RotationY(MKM_PI / 2.0));
    meridian.meshes.push_back(Ring("meridian", 31.0, 0.7));

    Frame root = TurnedFrame("orrery", RotationZ(0.35));
    root.children = {knot, equator, meridian};
    Model model;
    model.frames.push_back(root);
    return model;
}

} // namespace mkmedia
