// The media generator's parts: its file writers byte by byte, its machine-independent maths, its
// stroke font, and the three models against the limits the scenes set (size, triangle budget,
// faces turned outward, closed surfaces, frames that only turn).
#include "mkmedia/bmp_writer.h"
#include "mkmedia/det_math.h"
#include "mkmedia/models.h"
#include "mkmedia/noise.h"
#include "mkmedia/stroke_font.h"
#include "mkmedia/tga_writer.h"
#include "mkmedia/xfile_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

using namespace mkmedia;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// Every mesh of a model with the product of its frames' matrices.
struct PlacedMesh {
    const Mesh* mesh;
    Mat4 frame;
};

void CollectFrame(const Frame& frame, const Mat4& parent, std::vector<PlacedMesh>& out) {
    Mat4 here = frame.hasMatrix ? Multiply(frame.matrix, parent) : parent;
    for (const Mesh& mesh : frame.meshes) {
        out.push_back({&mesh, here});
    }
    for (const Frame& child : frame.children) {
        CollectFrame(child, here, out);
    }
}

std::vector<PlacedMesh> Meshes(const Model& model) {
    std::vector<PlacedMesh> out;
    for (const Frame& frame : model.frames) {
        CollectFrame(frame, Mat4{}, out);
    }
    for (const Mesh& mesh : model.meshes) {
        out.push_back({&mesh, Mat4{}});
    }
    return out;
}

void ForEachFrame(const Frame& frame, const std::function<void(const Frame&)>& visit) {
    visit(frame);
    for (const Frame& child : frame.children) {
        ForEachFrame(child, visit);
    }
}

// The normal the show's loader computes for a face's first triangle.
Vec3 LoaderNormal(const Mesh& mesh, const std::vector<uint32_t>& face) {
    Vec3 p0 = mesh.positions[face[0]];
    Vec3 p1 = mesh.positions[face[1]];
    Vec3 p2 = mesh.positions[face[2]];
    return Cross(p1 - p0, p2 - p1);
}

// Sum of the area vectors of all triangles the loader makes: zero for a closed surface whose
// faces all turn the same way.
Vec3 AreaSum(const Mesh& mesh) {
    Vec3 sum;
    for (const auto& face : mesh.faces) {
        for (size_t k = 2; k < face.size(); ++k) {
            Vec3 p0 = mesh.positions[face[0]];
            sum = sum + Cross(mesh.positions[face[k - 1]] - p0, mesh.positions[face[k]] - p0);
        }
    }
    return sum;
}

double TotalArea(const Mesh& mesh) {
    double total = 0.0;
    for (const auto& face : mesh.faces) {
        for (size_t k = 2; k < face.size(); ++k) {
            Vec3 p0 = mesh.positions[face[0]];
            total += Length(Cross(mesh.positions[face[k - 1]] - p0, mesh.positions[face[k]] - p0));
        }
    }
    return total;
}

struct Extent {
    Vec3 lo{1e9, 1e9, 1e9};
    Vec3 hi{-1e9, -1e9, -1e9};
    double farthestFromY = 0.0; // distance from the Y axis
    double farthestFromOrigin = 0.0;
};

Extent Measure(const Model& model) {
    Extent e;
    for (const PlacedMesh& placed : Meshes(model)) {
        for (Vec3 p : placed.mesh->positions) {
            p = TransformPoint(p, placed.frame);
            e.lo = {std::min(e.lo.x, p.x), std::min(e.lo.y, p.y), std::min(e.lo.z, p.z)};
            e.hi = {std::max(e.hi.x, p.x), std::max(e.hi.y, p.y), std::max(e.hi.z, p.z)};
            e.farthestFromY = std::max(e.farthestFromY, std::sqrt(p.x * p.x + p.z * p.z));
            e.farthestFromOrigin = std::max(e.farthestFromOrigin, Length(p));
        }
    }
    return e;
}

double Span(const Extent& e) {
    return std::max({e.hi.x - e.lo.x, e.hi.y - e.lo.y, e.hi.z - e.lo.z});
}

} // namespace

// ---- Writers ---------------------------------------------------------------------------------

TEST(MediaWriters, BmpRowsAreBottomUpBlueGreenRedAndPadded) {
    RgbImage image(3, 2);
    image.Set(0, 0, Rgb8(255, 0, 0));
    image.Set(2, 0, Rgb8(1, 2, 3));
    image.Set(1, 1, {2.0, -1.0, 0.5}); // out of range clips; 0.5 rounds to 128
    std::vector<uint8_t> b = EncodeBmp24(image);
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_EQ(U32(b, 34), 24u);
    // The file's first row is the picture's bottom row; three pixels take 9 bytes, padded to 12.
    const std::vector<uint8_t> bottom = {0, 0, 0, 128, 0, 255, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> top = {0, 0, 255, 0, 0, 0, 3, 2, 1, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.begin() + 66), bottom);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 66, b.end()), top);
}

TEST(MediaWriters, TgaPacketsRoundTripAndNeverCrossARow) {
    // Row 0: a run of 300 (more than one packet holds), then lone pixels. Row 1: alternating
    // pixels, then a pair at the very end. Row 2: a single colour continuing from row 1's end.
    const int width = 310;
    RgbImage image(width, 3);
    std::vector<double> alpha(width * 3, 1.0);
    for (int x = 0; x < width; ++x) {
        image.Set(x, 0, x < 300 ? Rgb8(10, 20, 30) : Rgb8(x, 0, 0));
        image.Set(x, 1, x >= width - 2 ? Rgb8(7, 7, 7) : Rgb8(x % 2 ? 200 : 100, 0, 0));
        image.Set(x, 2, Rgb8(7, 7, 7));
        alpha[width + x] = (x % 3) / 2.0;
    }
    std::vector<uint8_t> b = EncodeTgaRle32(image, alpha, "id");
    ASSERT_EQ(b[0], 2);
    EXPECT_EQ(std::string(b.begin() + 18, b.begin() + 20), "id");

    size_t at = 20;
    for (int y = 0; y < 3; ++y) {
        int x = 0;
        while (x < width) {
            uint8_t header = b.at(at++);
            int count = (header & 0x7F) + 1;
            ASSERT_LE(x + count, width) << "row " << y;
            for (int i = 0; i < count; ++i) {
                size_t p = (header & 0x80) ? at : at + 4 * i;
                EXPECT_EQ(b.at(p + 2), image.Byte(x + i, y, 0)) << x + i << "," << y;
                EXPECT_EQ(b.at(p + 0), image.Byte(x + i, y, 2));
                EXPECT_EQ(b.at(p + 3), ToByte(alpha[y * width + x + i]));
            }
            at += (header & 0x80) ? 4 : 4 * count;
            x += count;
        }
    }
    EXPECT_EQ(at, b.size());
    // 300 equal pixels: three run packets (128 + 128 + 44), not hundreds of bytes.
    EXPECT_EQ(b[20], 0x80 | 127);
}

namespace {

Model TinyModel() {
    Mesh mesh;
    mesh.name = "quad";
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    mesh.faces = {{0, 1, 2, 3}, {0, 2, 3}};
    mesh.normals = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {-0.0, 0, -1}};
    mesh.texCoords = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    Material a;
    a.name = "a";
    a.texture = "t.tga";
    Material b;
    b.face = {0.5, 0.25, 0.125, 1.0};
    mesh.materials = {a, b};
    mesh.faceMaterials = {1, 0};
    Frame frame;
    frame.name = "f";
    frame.hasMatrix = true;
    frame.matrix = Translation({1.5, -2.0, 3.0});
    frame.meshes.push_back(mesh);
    Model model;
    model.frames.push_back(frame);
    return model;
}

} // namespace

TEST(MediaWriters, XTextEndsEveryItemAndRecordTheWayReadersExpect) {
    std::vector<uint8_t> bytes = WriteXText(TinyModel());
    std::string text(bytes.begin(), bytes.end());
    const char* expected = R"(xof 0302txt 0032

Header {
 1;
 0;
 1;
}

Frame f {
 FrameTransformMatrix {
  1.000000,0.000000,0.000000,0.000000,
  0.000000,1.000000,0.000000,0.000000,
  0.000000,0.000000,1.000000,0.000000,
  1.500000,-2.000000,3.000000,1.000000;;
 }
 Mesh quad {
  4;
  0.000000;0.000000;0.000000;,
  0.000000;1.000000;0.000000;,
  1.000000;1.000000;0.000000;,
  1.000000;0.000000;0.000000;;
  2;
  4;0,1,2,3;,
  3;0,2,3;;
  MeshMaterialList {
   2;
   2;
   1,
   0;
   Material a {
    1.000000;1.000000;1.000000;1.000000;;
    0.000000;
    0.000000;0.000000;0.000000;;
    0.000000;0.000000;0.000000;;
    TextureFilename {
     "t.tga";
    }
   }
   Material {
    0.500000;0.250000;0.125000;1.000000;;
    0.000000;
    0.000000;0.000000;0.000000;;
    0.000000;0.000000;0.000000;;
   }
  }
  MeshNormals {
   4;
   0.000000;0.000000;-1.000000;,
   0.000000;0.000000;-1.000000;,
   0.000000;0.000000;-1.000000;,
   0.000000;0.000000;-1.000000;;
   2;
   4;0,1,2,3;,
   3;0,2,3;;
  }
  MeshTextureCoords {
   4;
   0.000000;1.000000;,
   0.000000;0.000000;,
   1.000000;0.000000;,
   1.000000;1.000000;;
  }
 }
}
)";
    EXPECT_EQ(text, expected);
}

TEST(MediaWriters, XBinaryIsTokensWithMergedListsAndNoStrings) {
    Model model = TinyModel();
    model.frames[0].meshes[0].materials[0].texture.clear(); // strings stay out of binary files
    std::vector<uint8_t> b = WriteXBinary(model);
    ASSERT_EQ(std::string(b.begin(), b.begin() + 16), "xof 0302bin 0032");
    // Walk the tokens and write them down in a compact form.
    std::string seen;
    size_t matrixAt = 0;
    size_t at = 16;
    while (at < b.size()) {
        uint32_t token = b[at] | (b[at + 1] << 8);
        at += 2;
        if (token == 1) {
            uint32_t n = U32(b, at);
            seen += "N:" + std::string(b.begin() + at + 4, b.begin() + at + 4 + n) + " ";
            at += 4 + n;
        } else if (token == 6 || token == 7) {
            uint32_t n = U32(b, at);
            seen += (token == 6 ? "I" : "F") + std::to_string(n);
            if (token == 7 && n == 16 && matrixAt == 0) {
                matrixAt = at + 4;
            }
            if (token == 6) {
                seen += "[";
                for (uint32_t i = 0; i < n; ++i) {
                    seen += std::to_string(U32(b, at + 4 + 4 * i)) + (i + 1 < n ? "," : "");
                }
                seen += "]";
            }
            seen += " ";
            at += 4 + 4 * n;
        } else {
            seen += token == 10 ? "{ " : (token == 11 ? "} " : "? ");
        }
    }
    EXPECT_EQ(seen,
              "N:Frame N:f { N:FrameTransformMatrix { F16 } N:Mesh N:quad { I1[4] F12 "
              "I10[2,4,0,1,2,3,3,0,2,3] N:MeshMaterialList { I4[2,2,1,0] N:Material N:a { "
              "F11 } N:Material { F11 } } N:MeshNormals { I1[4] F12 I10[2,4,0,1,2,3,3,0,2,3] } "
              "N:MeshTextureCoords { I1[4] F8 } } } ");
    // The frame's translation sits in the matrix's last row, as 32-bit floats.
    ASSERT_NE(matrixAt, 0u);
    float row4[3];
    std::memcpy(row4, &b[matrixAt + 12 * 4], sizeof row4);
    EXPECT_EQ(row4[0], 1.5f);
    EXPECT_EQ(row4[1], -2.0f);
    EXPECT_EQ(row4[2], 3.0f);
}

// ---- Maths, font, noise ----------------------------------------------------------------------

TEST(MediaMath, ElementaryFunctionsMatchTheLibraryClosely) {
    for (int i = -4000; i <= 4000; ++i) {
        double x = i * 0.0137;
        EXPECT_NEAR(Sin(x), std::sin(x), 1e-13) << x;
        EXPECT_NEAR(Cos(x), std::cos(x), 1e-13) << x;
        double y = std::sin(i * 0.37) * 5.0;
        double z = std::cos(i * 0.91) * 3.0;
        EXPECT_NEAR(Atan2(y, z), std::atan2(y, z), 1e-13) << y << "," << z;
    }
    EXPECT_EQ(Atan2(0.0, 0.0), 0.0);
    EXPECT_EQ(RoundDecimal(0.1234567, 6), 0.123457);
    EXPECT_EQ(RoundDecimal(-2.5e-7, 6), -0.0);
}

TEST(MediaFont, EveryCharacterThePicturesUseHasAGlyph) {
    for (const char* text :
         {"lumenfall", "no sound in this party version", "the end", "lumenfall by tamsivor",
          "released at northmoot", "lumenfall  .  tamsivor  .  northmoot  .  "}) {
        for (const char* c = text; *c != 0; ++c) {
            EXPECT_TRUE(HasGlyph(*c)) << "'" << *c << "' in \"" << text << "\"";
        }
    }
    for (char c = 'a'; c <= 'z'; ++c) {
        EXPECT_TRUE(HasGlyph(c)) << c;
        EXPECT_FALSE(LayOutText(std::string(1, c), {}).empty()) << c;
    }
    // An unknown character takes the place of a space and draws nothing.
    EXPECT_FALSE(HasGlyph('A'));
    EXPECT_FALSE(HasGlyph('\x80'));
    EXPECT_EQ(TextWidth("l\x80l", 1.0), TextWidth("l l", 1.0));
    EXPECT_EQ(LayOutText("\x80", {}).size(), 0u);
}

TEST(MediaFont, LayoutPlacesGlyphsByScaleBaselineAndTracking) {
    TextPlacement place;
    place.left = 10.0;
    place.baseline = 50.0;
    place.scale = 2.0;
    place.tracking = 1.0;
    // "ll": two stems 1 font unit apart, from the baseline up to the ascender, y pointing down.
    std::vector<Segment> s = LayOutText("ll", place);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_DOUBLE_EQ(s[0].a.x, 10.0);
    EXPECT_DOUBLE_EQ(s[0].a.y, 50.0 - FONT_ASCENT * 2.0);
    EXPECT_DOUBLE_EQ(s[0].b.y, 50.0);
    EXPECT_DOUBLE_EQ(s[1].a.x, 12.0);
    EXPECT_DOUBLE_EQ(TextWidth("ll", 1.0), 1.0);
}

TEST(MediaNoise, RepeatsWithItsPeriodAndStaysInRange) {
    for (int i = 0; i < 200; ++i) {
        double x = i * 0.731;
        double y = i * 0.377;
        double n = PeriodicNoise(x, y, 8, 5u);
        EXPECT_GE(n, 0.0);
        EXPECT_LE(n, 1.0);
        EXPECT_NEAR(n, PeriodicNoise(x + 8.0, y - 16.0, 8, 5u), 1e-12);
        EXPECT_NEAR(PeriodicFbm(x, y, 4, 3, 9u), PeriodicFbm(x - 4.0, y + 4.0, 4, 3, 9u), 1e-12);
    }
    EXPECT_NE(PeriodicNoise(0.5, 0.5, 8, 1u), PeriodicNoise(0.5, 0.5, 8, 2u));
}

// ---- Models ----------------------------------------------------------------------------------

TEST(MediaModels, SizesAndTriangleBudgetsFitTheScenes) {
    Model orrery = BuildOrrery();
    Model spark = BuildSpark();
    Model blade = BuildBlade();
    // Budgets: the swarm draws the spark 160 times a frame, the title scene the orrery 16 times.
    EXPECT_LT(CountTriangles(orrery), 3000u);
    EXPECT_LT(CountTriangles(spark), 400u);
    EXPECT_LT(CountTriangles(blade), 2000u);
    EXPECT_GT(CountTriangles(spark), 50u);

    double orrerySpan = Span(Measure(orrery));
    EXPECT_GE(orrerySpan, 60.0);
    EXPECT_LE(orrerySpan, 80.0);
    double sparkSpan = Span(Measure(spark));
    EXPECT_GE(sparkSpan, 20.0);
    EXPECT_LE(sparkSpan, 30.0);
    // The blade reaches 20-40 units out from its own Y axis, and stays within 49 units of its
    // origin: the rosette puts that origin 50 units in front of the camera and turns it freely.
    Extent b = Measure(blade);
    EXPECT_GE(b.farthestFromY, 20.0);
    EXPECT_LE(b.farthestFromY, 40.0);
    EXPECT_LT(b.farthestFromOrigin, 49.0);

    for (const Model* model : {&orrery, &spark, &blade}) {
        for (const PlacedMesh& placed : Meshes(*model)) {
            EXPECT_LT(placed.mesh->positions.size(), 65536u) << "16-bit indices";
        }
    }
}

TEST(MediaModels, FramesOnlyTurn) {
    // The title scene scales its copies' vertices, not their frames: a frame that moved or
    // scaled would pull the nested copies apart. The loader also mirrors frames in z, which
    // keeps a pure turn a pure turn.
    for (const Model& model : {BuildOrrery(), BuildSpark(), BuildBlade()}) {
        for (const Frame& root : model.frames) {
            ForEachFrame(root, [](const Frame& frame) {
                if (!frame.hasMatrix) {
                    return;
                }
                SCOPED_TRACE(frame.name);
                const Mat4& m = frame.matrix;
                for (int i = 0; i < 3; ++i) {
                    EXPECT_EQ(m.m[3][i], 0.0);
                    EXPECT_EQ(m.m[i][3], 0.0);
                    for (int j = 0; j < 3; ++j) {
                        double dot = 0.0;
                        for (int k = 0; k < 3; ++k) {
                            dot += m.m[i][k] * m.m[j][k];
                        }
                        EXPECT_NEAR(dot, i == j ? 1.0 : 0.0, 1e-12);
                    }
                }
                EXPECT_EQ(m.m[3][3], 1.0);
            });
        }
    }
}

TEST(MediaModels, FacesTurnOutwardAndSurfacesAreClosed) {
    // The show culls faces whose vertices run counter-clockwise on screen, which are those
    // whose loader normal points away from the viewer: every face must turn its front outward
    // or the model shows its inside.
    for (const Model& model : {BuildOrrery(), BuildBlade()}) {
        for (const PlacedMesh& placed : Meshes(model)) {
            const Mesh& mesh = *placed.mesh;
            SCOPED_TRACE(mesh.name);
            ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
            ASSERT_EQ(mesh.texCoords.size(), mesh.positions.size());
            int against = 0;
            for (const auto& face : mesh.faces) {
                Vec3 given;
                for (uint32_t i : face) {
                    given = given + mesh.normals[i];
                }
                Vec3 computed = LoaderNormal(mesh, face);
                if (Length(computed) > 1e-9 && Dot(computed, given) <= 0.0) {
                    ++against;
                }
            }
            EXPECT_EQ(against, 0);
            // Tubes and blade strands are closed: their area vectors cancel.
            EXPECT_LT(Length(AreaSum(mesh)), 1e-6 * TotalArea(mesh));
        }
    }
    // The spark's normals are left to the loader; it is star-shaped about its centre, so every
    // face must turn away from the centre.
    const Model spark = BuildSpark();
    for (const PlacedMesh& placed : Meshes(spark)) {
        const Mesh& mesh = *placed.mesh;
        EXPECT_TRUE(mesh.normals.empty());
        EXPECT_TRUE(mesh.texCoords.empty());
        for (const auto& face : mesh.faces) {
            Vec3 centroid =
                (mesh.positions[face[0]] + mesh.positions[face[1]] + mesh.positions[face[2]]) *
                (1.0 / 3.0);
            EXPECT_GT(Dot(LoaderNormal(mesh, face), centroid), 0.0);
        }
    }
}

TEST(MediaModels, MaterialListsAreConsistentAndOpaque) {
    bool twoMaterials = false;
    bool namesGleam = false;
    for (const Model& model : {BuildOrrery(), BuildSpark(), BuildBlade()}) {
        for (const PlacedMesh& placed : Meshes(model)) {
            const Mesh& mesh = *placed.mesh;
            SCOPED_TRACE(mesh.name);
            for (const auto& face : mesh.faces) {
                EXPECT_GE(face.size(), 3u);
                for (uint32_t i : face) {
                    EXPECT_LT(i, mesh.positions.size());
                }
            }
            size_t count = mesh.materialReferences.empty() ? mesh.materials.size()
                                                           : mesh.materialReferences.size();
            ASSERT_GE(count, 1u);
            EXPECT_LE(count, 16u);
            ASSERT_EQ(mesh.faceMaterials.size(), mesh.faces.size());
            std::vector<bool> used(count, false);
            for (uint32_t m : mesh.faceMaterials) {
                ASSERT_LT(m, count);
                used[m] = true;
            }
            EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "unused material";
            twoMaterials = twoMaterials || count >= 2;
            for (const Material& material : mesh.materials) {
                EXPECT_EQ(material.face.a, 1.0) << "transparent materials take another pass";
                namesGleam = namesGleam || material.texture == "gleam.tga";
            }
            for (const std::string& reference : mesh.materialReferences) {
                bool found = false;
                for (const Material& top : model.topLevelMaterials) {
                    found = found || (top.name == reference && top.face.a == 1.0);
                }
                EXPECT_TRUE(found) << reference;
            }
        }
    }
    EXPECT_TRUE(twoMaterials);
    EXPECT_TRUE(namesGleam);
}
