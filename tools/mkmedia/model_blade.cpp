// object.3: a curved, double-edged blade in the XZ plane, reaching from 6 to 38 units out along
// X. It is thin along Y, the axis the rosette turns it about, and has two faces (+Y and -Y) with
// their own vertices so each side carries its own normals: the show culls back faces, and a
// single sheet would vanish when it turns away.
#include "models.h"

#include "det_math.h"
#include "mesh_builder.h"

namespace mkmedia {
namespace {

constexpr int BLADE_STEPS_ALONG = 36;
constexpr int BLADE_STEPS_ACROSS = 3;
constexpr double BLADE_ROOT = 6.0;
constexpr double BLADE_TIP = 38.0;

struct BladeShape {
    Vec3 centre;  // on the centre line, y = 0
    double lead;  // half-width toward +z
    double trail; // half-width toward -z
    double thick; // half-thickness at the centre line
};

// s runs from root (0) to tip (1). Both ends are points; the leading edge bulges most before the
// middle and the centre line sweeps forward like a scythe.
BladeShape ShapeAt(double s) {
    double ends = Sin(MKM_PI * s);
    BladeShape shape;
    shape.centre = {BLADE_ROOT + (BLADE_TIP - BLADE_ROOT) * s, 0.0, 10.0 * s * s - 3.0 * s};
    shape.lead = 7.0 * ends * (1.0 - 0.45 * s);
    shape.trail = 2.5 * ends;
    shape.thick = 1.3 * ends;
    return shape;
}

// The blade is open work: three thin lenses running from root to tip (the trailing edge, a
// spine and the leading edge) with air between them, so that fifteen overlapping copies make a
// lace of light instead of a solid disc. q runs across the whole blade from the trailing edge
// (-1) to the leading edge (+1); each lens covers [q0, q1] of it.
struct Strand {
    double q0;
    double q1;
};
constexpr Strand BLADE_STRANDS[] = {{-1.0, -0.55}, {-0.13, 0.13}, {0.5, 1.0}};

// A point on one face of a strand: r runs across the strand (-1..1), side is +1 for the upper
// face and -1 for the lower; the two faces meet along the strand's edges.
Vec3 SurfacePoint(const Strand& strand, double s, double r, double side) {
    BladeShape shape = ShapeAt(s);
    double q = strand.q0 + (strand.q1 - strand.q0) * (r + 1.0) / 2.0;
    double z = q < 0.0 ? shape.trail * q : shape.lead * q;
    return {shape.centre.x, side * shape.thick * (1.0 - r * r), shape.centre.z + z};
}

void AddStrandSide(Mesh& mesh, const Strand& strand, double side) {
    const int n = BLADE_STEPS_ALONG;
    const int m = BLADE_STEPS_ACROSS;
    std::vector<uint32_t> grid((n + 1) * (m + 1));
    for (int i = 0; i <= n; ++i) {
        double s = double(i) / n;
        for (int j = 0; j <= m; ++j) {
            double r = -1.0 + 2.0 * j / m;
            Vec3 p = SurfacePoint(strand, s, r, side);
            // Central differences on the continuous surface, so the normal is smooth even where
            // the grid pinches to a point at the ends.
            const double h = 1e-4;
            Vec3 alongS = SurfacePoint(strand, Clamp(s + h, 0.0, 1.0), r, side) -
                          SurfacePoint(strand, Clamp(s - h, 0.0, 1.0), r, side);
            Vec3 acrossR = SurfacePoint(strand, s, Clamp(r + h, -1.0, 1.0), side) -
                           SurfacePoint(strand, s, Clamp(r - h, -1.0, 1.0), side);
            Vec3 normal = Normalize(Cross(alongS, acrossR));
            if (Length(normal) == 0.0) {
                normal = {0.0, side, 0.0};
            } else if (normal.y * side < 0.0) {
                normal = -normal;
            }
            double q = strand.q0 + (strand.q1 - strand.q0) * (r + 1.0) / 2.0;
            grid[i * (m + 1) + j] = AddVertex(mesh, p, normal, {s, (q + 1.0) / 2.0});
        }
    }
    const Vec3 outward{0.0, side, 0.0};
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < m; ++j) {
            uint32_t a = grid[i * (m + 1) + j];
            uint32_t b = grid[(i + 1) * (m + 1) + j];
            uint32_t c = grid[(i + 1) * (m + 1) + j + 1];
            uint32_t d = grid[i * (m + 1) + j + 1];
            // The ends pinch to a point: there the quad has lost a side, so write a triangle.
            if (i == 0) {
                AddFace(mesh, {a, b, c}, outward);
            } else if (i == n - 1) {
                AddFace(mesh, {a, b, d}, outward);
            } else {
                AddFace(mesh, {a, b, c, d}, outward);
            }
        }
    }
}

} // namespace

Model BuildBlade() {
    Material steel;
    steel.name = "bladelight";
    steel.face = {0.9, 0.95, 1.0, 1.0};
    steel.power = 32.0;
    steel.specular = {0.8, 0.8, 0.8};
    steel.emissive = {0.05, 0.05, 0.08};

    Mesh mesh;
    mesh.name = "blade";
    mesh.materialReferences = {steel.name};
    for (const Strand& strand : BLADE_STRANDS) {
        AddStrandSide(mesh, strand, 1.0);
        AddStrandSide(mesh, strand, -1.0);
    }

    Model model;
    model.topLevelMaterials.push_back(steel);
    model.meshes.push_back(mesh);
    return model;
}

} // namespace mkmedia
