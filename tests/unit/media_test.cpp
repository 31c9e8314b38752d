// The show's media files as the generator writes them: the same bytes on every run and in every
// build flavour, well-formed headers, and the properties the scenes rely on (edges that meet
// under wrap addressing, black where the filter could bleed, the model files' structure).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const char* const MEDIA_NAMES[] = {"title.bmp", "nosound.bmp", "misc.bmp",
                                   "file.bmp",  "the_end.bmp", "object.1",
                                   "object.2",  "object.3",    "gleam.tga"};

// Recorded when the artwork was last changed on purpose: size and FNV-1a 64 of each file. A
// difference means the output changed, or differs between compilers or optimisation levels.
struct Recorded {
    size_t size;
    uint64_t hash;
};
const std::map<std::string, Recorded> RECORDED = {
    {"file.bmp", {196662, 0x819a0ecf3aa150cdull}},
    {"gleam.tga", {6601, 0xa57a507ae464a132ull}},
    {"misc.bmp", {786486, 0x597db1ebe7ad0d13ull}},
    {"nosound.bmp", {49206, 0x6338df00c5e85955ull}},
    {"object.1", {195457, 0x56da4b4a5014333bull}},
    {"object.2", {5347, 0x7c98a5cb96e42bbaull}},
    {"object.3", {106714, 0x41a0f22348ca24f7ull}},
    {"the_end.bmp", {393270, 0x6de7997dd3291ab6ull}},
    {"title.bmp", {196662, 0x4db3bbf5a9952b7full}},
};

uint64_t Fnv1a64(const Bytes& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        h = (h ^ b) * 0x100000001b3ull;
    }
    return h;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U16(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}
uint32_t U32(const Bytes& b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

std::string Generator() {
    return std::string(LUMENFALL_TOOLS_DIR) + "/lumenfall-mkmedia";
}

int RunQuietly(const std::string& arguments) {
    std::string command = "'" + Generator() + "' " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A fresh folder under the system's temporary folder, removed again at the end of the test.
class TempFolder {
public:
    TempFolder() {
        path_ = fs::temp_directory_path() /
                ("lumenfall-media-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
        fs::remove_all(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

// ---- Pictures
// ------------------------------------------------------------------------------------

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // row 0 first (the top of the picture)
    int At(int x, int y, int c) const { return rgb[(static_cast<size_t>(y) * width + x) * 3 + c]; }
    int Max(int x, int y) const { return std::max({At(x, y, 0), At(x, y, 1), At(x, y, 2)}); }
};

Picture DecodeBmp24(const Bytes& b) {
    Picture p;
    p.width = static_cast<int>(U32(b, 18));
    p.height = static_cast<int>(U32(b, 22));
    const size_t rowBytes = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t(3);
    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
    for (int row = 0; row < p.height; ++row) {
        const uint8_t* src = &b[U32(b, 10) + rowBytes * row];
        int y = p.height - 1 - row; // stored bottom-up
        for (int x = 0; x < p.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                p.rgb[(static_cast<size_t>(y) * p.width + x) * 3 + c] = src[x * 3 + (2 - c)];
            }
        }
    }
    return p;
}

Picture LoadPicture(const char* name) {
    return DecodeBmp24(ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / name));
}

// The brightest pixel of rows [y0, y1) and columns [x0, x1).
int Brightest(const Picture& p, int x0, int y0, int x1, int y1) {
    int best = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            best = std::max(best, p.Max(x, y));
        }
    }
    return best;
}

// Where the picture wraps onto itself, the step from its last column to its first must be no
// larger than the steps beside it together (or tiny): a feature cut by the seam shows as a jump
// bigger than its own edges make.
void ExpectSeamlessLeftRight(const Picture& p, int y0, int y1) {
    const int w = p.width;
    int jumps = 0;
    for (int y = y0; y < y1; ++y) {
        for (int c = 0; c < 3; ++c) {
            int seam = std::abs(p.At(w - 1, y, c) - p.At(0, y, c));
            int beside = std::abs(p.At(w - 2, y, c) - p.At(w - 1, y, c)) +
                         std::abs(p.At(0, y, c) - p.At(1, y, c));
            if (seam > std::max(8, beside)) {
                ++jumps;
            }
        }
    }
    EXPECT_EQ(jumps, 0);
    EXPECT_GT(Brightest(p, 0, y0, w, y1), 100) << "the region is empty";
}

} // namespace

TEST(MediaFiles, GeneratorWritesTheRecordedBytesOnEveryRun) {
    TempFolder folder;
    ASSERT_EQ(RunQuietly("'" + folder.Path().string() + "/new/folder'"), 0);
    for (const char* name : MEDIA_NAMES) {
        SCOPED_TRACE(name);
        Bytes fresh = ReadFile(folder.Path() / "new/folder" / name);
        Bytes built = ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / name);
        ASSERT_FALSE(fresh.empty());
        EXPECT_EQ(fresh, built) << "this run differs from the build's run";
        const Recorded& recorded = RECORDED.at(name);
        EXPECT_EQ(fresh.size(), recorded.size);
        EXPECT_EQ(Fnv1a64(fresh), recorded.hash)
            << std::hex << "now 0x" << Fnv1a64(fresh) << ": the artwork changed, or a build "
            << "flavour computes it differently";
    }
    // Nothing but the media (no half-written temporary files).
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path() / "new/folder")) {
        (void)entry;
        ++count;
    }
    EXPECT_EQ(count, std::size(MEDIA_NAMES));
}

TEST(MediaFiles, GeneratorRefusesBadUse) {
    EXPECT_EQ(RunQuietly(""), 2);
    EXPECT_EQ(RunQuietly("a b"), 2);
    TempFolder folder;
    fs::create_directories(folder.Path());
    std::ofstream(folder.Path() / "plain-file") << "x";
    // A folder cannot be made below a plain file.
    EXPECT_EQ(RunQuietly("'" + (folder.Path() / "plain-file" / "media").string() + "'"), 1);
}

TEST(MediaPictures, BitmapsAre24BitBottomUpWithPaddedRows) {
    const struct {
        const char* name;
        uint32_t width, height;
    } expected[] = {{"title.bmp", 512, 128},
                    {"nosound.bmp", 512, 32},
                    {"misc.bmp", 512, 512},
                    {"file.bmp", 256, 256},
                    {"the_end.bmp", 512, 256}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        Bytes b = ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / e.name);
        ASSERT_GE(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 10), 54u);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U32(b, 18), e.width);
        EXPECT_EQ(U32(b, 22), e.height); // positive: bottom-up
        EXPECT_EQ(U16(b, 26), 1u);
        EXPECT_EQ(U16(b, 28), 24u);
        EXPECT_EQ(U32(b, 30), 0u); // BI_RGB
        const uint32_t rowBytes = (e.width * 3 + 3) & ~3u;
        EXPECT_EQ(U32(b, 34), rowBytes * e.height);
        EXPECT_EQ(b.size(), 54u + rowBytes * e.height);
    }
}

TEST(MediaPictures, TilingPicturesMeetThemselvesWithoutASeam) {
    Picture file = LoadPicture("file.bmp");
    ExpectSeamlessLeftRight(file, 0, file.height);
    // Top to bottom: the same test on the picture turned on its side.
    Picture turned = file;
    for (int y = 0; y < file.height; ++y) {
        for (int x = 0; x < file.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                turned.rgb[(static_cast<size_t>(x) * file.width + y) * 3 + c] =
                    static_cast<uint8_t>(file.At(x, y, c));
            }
        }
    }
    ExpectSeamlessLeftRight(turned, 0, turned.height);

    // misc.bmp's band (the top 11 %) is repeated side by side.
    Picture misc = LoadPicture("misc.bmp");
    ExpectSeamlessLeftRight(misc, 0, misc.height * 11 / 100);
}

TEST(MediaPictures, EdgesThatTheFilterReachesStayBlack) {
    // A quad's texture coordinates reach the picture's edges, and the filter blends the opposite
    // edge in: anything bright there would draw a line along the quad.
    for (const char* name : {"title.bmp", "nosound.bmp", "the_end.bmp"}) {
        SCOPED_TRACE(name);
        Picture p = LoadPicture(name);
        EXPECT_LE(Brightest(p, 0, 0, p.width, 1), 2);
        EXPECT_LE(Brightest(p, 0, p.height - 1, p.width, p.height), 2);
        EXPECT_LE(Brightest(p, 0, 0, 1, p.height), 2);
        EXPECT_LE(Brightest(p, p.width - 1, 0, p.width, p.height), 2);
        EXPECT_GT(Brightest(p, 0, 0, p.width, p.height), 200) << "the picture is empty";
    }
    // the_end.bmp is shown as two parts split at 80 %.
    Picture end = LoadPicture("the_end.bmp");
    const int split = end.height * 8 / 10;
    EXPECT_LE(Brightest(end, 0, split - 1, end.width, split + 2), 2);

    // misc.bmp: the band's top row meets the backdrop's bottom row under wrap; rows 11-20 % are
    // never shown, and the backdrop fades out at all four sides.
    Picture misc = LoadPicture("misc.bmp");
    const int bandEnd = misc.height * 11 / 100;
    const int backdrop = misc.height * 20 / 100;
    EXPECT_LE(Brightest(misc, 0, 0, misc.width, 1), 2);
    EXPECT_LE(Brightest(misc, 0, bandEnd, misc.width, backdrop + 2), 2);
    EXPECT_LE(Brightest(misc, 0, misc.height - 2, misc.width, misc.height), 2);
    EXPECT_LE(Brightest(misc, 0, backdrop, 2, misc.height), 2);
    EXPECT_LE(Brightest(misc, misc.width - 2, backdrop, misc.width, misc.height), 2);
    EXPECT_GT(Brightest(misc, 0, 1, misc.width, bandEnd), 200) << "the band is empty";
    EXPECT_GT(Brightest(misc, 0, backdrop, misc.width, misc.height), 120) << "no backdrop";
}

TEST(MediaGleam, RunLengthTgaDecodesRowByRowToTheWholePicture) {
    Bytes b = ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / "gleam.tga");
    ASSERT_GE(b.size(), 18u);
    EXPECT_EQ(b[1], 0);  // no colour map
    EXPECT_EQ(b[2], 10); // run-length true colour
    EXPECT_EQ(b[16], 32);
    EXPECT_EQ(b[17], 0x28); // rows top to bottom, eight alpha bits
    const uint32_t width = U16(b, 12);
    const uint32_t height = U16(b, 14);
    EXPECT_EQ(width, 64u);
    EXPECT_EQ(height, 64u);

    size_t at = 18 + b[0];
    int minAlpha = 255;
    int maxAlpha = 0;
    for (uint32_t row = 0; row < height; ++row) {
        uint32_t filled = 0;
        while (filled < width) {
            ASSERT_LT(at, b.size()) << "file ends inside row " << row;
            uint8_t header = b[at++];
            uint32_t count = (header & 0x7F) + 1u;
            ASSERT_LE(filled + count, width) << "packet crosses the end of row " << row;
            uint32_t values = (header & 0x80) ? 1 : count;
            ASSERT_LE(at + 4 * values, b.size());
            for (uint32_t i = 0; i < values; ++i) {
                minAlpha = std::min<int>(minAlpha, b[at + 3]);
                maxAlpha = std::max<int>(maxAlpha, b[at + 3]);
                at += 4;
            }
            filled += count;
        }
    }
    EXPECT_EQ(at, b.size()) << "bytes left after the last row";
    EXPECT_EQ(minAlpha, 0);
    EXPECT_EQ(maxAlpha, 255);
    EXPECT_LT(b.size(), 18u + b[0] + width * height * 4 / 2) << "run-length coding gained little";
}

TEST(MediaModels, TextFilesCarryWhatTheMeshLoaderReads) {
    auto text = [](const char* name) {
        Bytes b = ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / name);
        return std::string(b.begin(), b.end());
    };
    std::string orrery = text("object.1");
    EXPECT_EQ(orrery.rfind("xof 0302txt 0032", 0), 0u);
    for (const char* part :
         {"Frame ", "FrameTransformMatrix {", "Mesh ", "MeshMaterialList {", "Material gleam {",
          "TextureFilename {", "\"gleam.tga\";", "MeshNormals {", "MeshTextureCoords {"}) {
        EXPECT_NE(orrery.find(part), std::string::npos) << part;
    }
    std::string blade = text("object.3");
    EXPECT_EQ(blade.rfind("xof 0302txt 0032", 0), 0u);
    EXPECT_EQ(blade.find("Frame"), std::string::npos) << "the blade is a mesh at top level";
    EXPECT_NE(blade.find("\nMaterial bladelight {"), std::string::npos);
    EXPECT_NE(blade.find("{ bladelight }"), std::string::npos) << "its material is a reference";
    for (const std::string* file : {&orrery, &blade}) {
        EXPECT_EQ(file->find("-0.000000"), std::string::npos);
        EXPECT_EQ(file->find("nan"), std::string::npos);
        EXPECT_EQ(file->find("inf"), std::string::npos);
    }
}

TEST(MediaModels, BinaryFileIsAWellFormedTokenStream) {
    Bytes b = ReadFile(fs::path(LUMENFALL_MEDIA_DIR) / "object.2");
    ASSERT_GE(b.size(), 16u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 16), "xof 0302bin 0032");
    std::vector<std::string> names;
    int depth = 0;
    int deepest = 0;
    size_t floats = 0;
    size_t at = 16;
    while (at < b.size()) {
        ASSERT_LE(at + 2, b.size());
        uint32_t token = U16(b, at);
        at += 2;
        switch (token) {
        case 1: { // NAME
            ASSERT_LE(at + 4, b.size());
            uint32_t n = U32(b, at);
            ASSERT_LE(at + 4 + n, b.size());
            names.emplace_back(b.begin() + at + 4, b.begin() + at + 4 + n);
            at += 4 + n;
            break;
        }
        case 6:   // INTEGER_LIST
        case 7: { // FLOAT_LIST, 32-bit floats
            ASSERT_LE(at + 4, b.size());
            uint32_t n = U32(b, at);
            ASSERT_LE(at + 4 + 4ull * n, b.size());
            if (token == 7) {
                floats += n;
            }
            at += 4 + 4ull * n;
            break;
        }
        case 10:
            deepest = std::max(deepest, ++depth);
            break;
        case 11:
            ASSERT_GT(depth, 0) << "unbalanced }";
            --depth;
            break;
        default:
            FAIL() << "unexpected token " << token << " at byte " << at - 2;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(deepest, 4); // Frame { Mesh { MeshMaterialList { Material { } } } }
    const std::vector<std::string> expected = {"Frame",   "spark_frame", "FrameTransformMatrix",
                                               "Mesh",    "spark",       "MeshMaterialList",
                                               "Material"};
    EXPECT_EQ(names, expected);
    EXPECT_GT(floats, 16u + 11u) << "matrix, material and positions";
}
