// The standard template set, written as readable text and encoded into the binary .X form at
// compile time, so the block cannot drift from its description and needs no generator run.
//
// The description is deliberately minimal text: "TYPE name;" and "array TYPE name[dim];" members,
// and the children rule: "" closed, "..." open, or a list of template names.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/xfile/guid_text.h"
#include "platform/xfile/xtemplates.h"

namespace {

struct TemplateDescription {
    std::string_view name;
    std::string_view guid;
    std::string_view members;
    std::string_view children;
};

// The format's public template descriptions. InlineData carries raw binary data in the format;
// it is declared open here, since this reader has no binary objects.
constexpr TemplateDescription STANDARD_TEMPLATES[] = {
    {"Header", "3D82AB43-62DA-11CF-AB39-0020AF71E433", "WORD major; WORD minor; DWORD flags;", ""},
    {"Vector", "3D82AB5E-62DA-11CF-AB39-0020AF71E433", "FLOAT x; FLOAT y; FLOAT z;", ""},
    {"Coords2d", "F6F23F44-7686-11CF-8F52-0040333594A3", "FLOAT u; FLOAT v;", ""},
    {"Matrix4x4", "F6F23F45-7686-11CF-8F52-0040333594A3", "array FLOAT matrix[16];", ""},
    {"ColorRGBA", "35FF44E0-6C7C-11CF-8F52-0040333594A3",
     "FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha;", ""},
    {"ColorRGB", "D3E16E81-7835-11CF-8F52-0040333594A3", "FLOAT red; FLOAT green; FLOAT blue;", ""},
    {"IndexedColor", "1630B820-7842-11CF-8F52-0040333594A3", "DWORD index; ColorRGBA indexColor;",
     ""},
    {"Boolean", "4885AE61-78E8-11CF-8F52-0040333594A3", "WORD truefalse;", ""},
    {"Boolean2d", "4885AE63-78E8-11CF-8F52-0040333594A3", "Boolean u; Boolean v;", ""},
    {"MaterialWrap", "4885AE60-78E8-11CF-8F52-0040333594A3", "Boolean u; Boolean v;", ""},
    {"TextureFilename", "A42790E1-7810-11CF-8F52-0040333594A3", "STRING filename;", ""},
    {"Material", "3D82AB4D-62DA-11CF-AB39-0020AF71E433",
     "ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor;", "..."},
    {"MeshFace", "3D82AB5F-62DA-11CF-AB39-0020AF71E433",
     "DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices];", ""},
    {"MeshFaceWraps", "4885AE62-78E8-11CF-8F52-0040333594A3",
     "DWORD nFaceWrapValues; array Boolean2d faceWrapValues[nFaceWrapValues];", ""},
    {"MeshTextureCoords", "F6F23F40-7686-11CF-8F52-0040333594A3",
     "DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords];", ""},
    {"MeshMaterialList", "F6F23F42-7686-11CF-8F52-0040333594A3",
     "DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes];", "Material"},
    {"MeshNormals", "F6F23F43-7686-11CF-8F52-0040333594A3",
     "DWORD nNormals; array Vector normals[nNormals]; DWORD nFaceNormals; "
     "array MeshFace faceNormals[nFaceNormals];",
     ""},
    {"MeshVertexColors", "1630B821-7842-11CF-8F52-0040333594A3",
     "DWORD nVertexColors; array IndexedColor vertexColors[nVertexColors];", ""},
    {"Mesh", "3D82AB44-62DA-11CF-AB39-0020AF71E433",
     "DWORD nVertices; array Vector vertices[nVertices]; DWORD nFaces; "
     "array MeshFace faces[nFaces];",
     "..."},
    {"FrameTransformMatrix", "F6F23F41-7686-11CF-8F52-0040333594A3", "Matrix4x4 frameMatrix;", ""},
    {"Frame", "3D82AB46-62DA-11CF-AB39-0020AF71E433", "", "..."},
    {"FloatKeys", "10DD46A9-775B-11CF-8F52-0040333594A3",
     "DWORD nValues; array FLOAT values[nValues];", ""},
    {"TimedFloatKeys", "F406B180-7B3B-11CF-8F52-0040333594A3", "DWORD time; FloatKeys tfkeys;", ""},
    {"AnimationKey", "10DD46A8-775B-11CF-8F52-0040333594A3",
     "DWORD keyType; DWORD nKeys; array TimedFloatKeys keys[nKeys];", ""},
    {"AnimationOptions", "E2BF56C0-840F-11CF-8F52-0040333594A3",
     "DWORD openclosed; DWORD positionquality;", ""},
    {"Animation", "3D82AB4F-62DA-11CF-AB39-0020AF71E433", "", "..."},
    {"AnimationSet", "3D82AB50-62DA-11CF-AB39-0020AF71E433", "", "Animation"},
    {"InlineData", "3A23EEA0-94B1-11D0-AB39-0020AF71E433", "", "..."},
    {"Url", "3A23EEA1-94B1-11D0-AB39-0020AF71E433", "DWORD nUrls; array STRING urls[nUrls];", ""},
    {"ProgressiveMesh", "8A63C360-997D-11D0-941C-0080C80CFA7B", "", "Url, InlineData"},
    {"Guid", "A42790E0-7810-11CF-8F52-0040333594A3",
     "DWORD data1; WORD data2; WORD data3; array UCHAR data4[8];", ""},
    {"StringProperty", "7F0F21E0-BFE1-11D1-82C0-00A0C9697271", "STRING key; STRING value;", ""},
    {"PropertyBag", "7F0F21E1-BFE1-11D1-82C0-00A0C9697271", "", "StringProperty"},
    {"ExternalVisual", "98116AA0-BDBA-11D1-82C0-00A0C9697271", "Guid guidExternalVisual;", "..."},
    {"RightHanded", "7F5D5EA0-D53A-11D1-82C0-00A0C9697271", "DWORD bRightHanded;", ""},
};

// Token codes of the binary encoding used here.
enum : uint16_t {
    CODE_NAME = 1,
    CODE_INTEGER = 3,
    CODE_GUID = 5,
    CODE_OPEN_BRACE = 10,
    CODE_CLOSE_BRACE = 11,
    CODE_OPEN_BRACKET = 14,
    CODE_CLOSE_BRACKET = 15,
    CODE_DOT = 18,
    CODE_SEMICOLON = 20,
    CODE_TEMPLATE = 31,
    CODE_ARRAY = 52,
};

struct TypeCode {
    std::string_view keyword;
    uint16_t code;
};

constexpr TypeCode TYPE_CODES[] = {
    {"WORD", 40},  {"DWORD", 41},  {"FLOAT", 42},  {"DOUBLE", 43},  {"CHAR", 44},    {"UCHAR", 45},
    {"SWORD", 46}, {"SDWORD", 47}, {"STRING", 49}, {"UNICODE", 50}, {"CSTRING", 51},
};

// Writes bytes when given a buffer, else only counts them: the same code sizes the block and
// fills it.
class BlockWriter {
public:
    explicit constexpr BlockWriter(unsigned char* out) : out_(out) {}

    constexpr void Byte(uint8_t value) {
        if (out_ != nullptr) {
            out_[size_] = value;
        }
        ++size_;
    }
    constexpr void Word(uint16_t value) {
        Byte(static_cast<uint8_t>(value));
        Byte(static_cast<uint8_t>(value >> 8));
    }
    constexpr void Dword(uint32_t value) {
        Word(static_cast<uint16_t>(value));
        Word(static_cast<uint16_t>(value >> 16));
    }
    constexpr void Name(std::string_view text) {
        Word(CODE_NAME);
        Dword(static_cast<uint32_t>(text.size()));
        for (char c : text) {
            Byte(static_cast<uint8_t>(c));
        }
    }
    constexpr void Guid(const GUID& guid) {
        Word(CODE_GUID);
        Dword(guid.Data1);
        Word(guid.Data2);
        Word(guid.Data3);
        for (BYTE b : guid.Data4) {
            Byte(b);
        }
    }
    constexpr size_t Size() const { return size_; }

private:
    unsigned char* out_;
    size_t size_ = 0;
};

constexpr bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

constexpr bool IsNumber(std::string_view word) {
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !word.empty();
}

constexpr uint32_t NumberValue(std::string_view word) {
    uint32_t value = 0;
    for (char c : word) {
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

constexpr void WriteType(BlockWriter& out, std::string_view word) {
    for (const TypeCode& type : TYPE_CODES) {
        if (type.keyword == word) {
            out.Word(type.code);
            return;
        }
    }
    out.Name(word);
}

// "TYPE name;" and "array TYPE name[dim]...;" statements.
constexpr void WriteMembers(BlockWriter& out, std::string_view text) {
    bool expectType = true;
    bool inDimension = false;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ') {
            ++i;
        } else if (c == ';') {
            out.Word(CODE_SEMICOLON);
            expectType = true;
            ++i;
        } else if (c == '[') {
            out.Word(CODE_OPEN_BRACKET);
            inDimension = true;
            ++i;
        } else if (c == ']') {
            out.Word(CODE_CLOSE_BRACKET);
            inDimension = false;
            ++i;
        } else if (IsWordChar(c)) {
            size_t start = i;
            while (i < text.size() && IsWordChar(text[i])) {
                ++i;
            }
            std::string_view word = text.substr(start, i - start);
            if (expectType && word == "array") {
                out.Word(CODE_ARRAY);
            } else if (expectType) {
                WriteType(out, word);
                expectType = false;
            } else if (inDimension && IsNumber(word)) {
                out.Word(CODE_INTEGER);
                out.Dword(NumberValue(word));
            } else {
                out.Name(word);
            }
        } else {
            throw "unexpected character in a template description";
        }
    }
}

constexpr void WriteChildren(BlockWriter& out, std::string_view text) {
    if (text.empty()) {
        return;
    }
    out.Word(CODE_OPEN_BRACKET);
    if (text == "...") {
        out.Word(CODE_DOT);
        out.Word(CODE_DOT);
        out.Word(CODE_DOT);
    } else {
        size_t i = 0;
        while (i < text.size()) {
            if (!IsWordChar(text[i])) {
                ++i;
                continue;
            }
            size_t start = i;
            while (i < text.size() && IsWordChar(text[i])) {
                ++i;
            }
            out.Name(text.substr(start, i - start));
        }
    }
    out.Word(CODE_CLOSE_BRACKET);
}

constexpr void WriteBlock(BlockWriter& out) {
    for (char c : std::string_view("xof 0302bin 0064")) {
        out.Byte(static_cast<uint8_t>(c));
    }
    for (const TemplateDescription& templ : STANDARD_TEMPLATES) {
        GUID guid{};
        if (!xfile::ParseGuidText(templ.guid, guid)) {
            throw "malformed GUID in a template description";
        }
        out.Word(CODE_TEMPLATE);
        out.Name(templ.name);
        out.Word(CODE_OPEN_BRACE);
        out.Guid(guid);
        WriteMembers(out, templ.members);
        WriteChildren(out, templ.children);
        out.Word(CODE_CLOSE_BRACE);
    }
}

constexpr size_t TEMPLATE_BLOCK_BYTES = [] {
    BlockWriter counter(nullptr);
    WriteBlock(counter);
    return counter.Size();
}();

constexpr std::array<unsigned char, TEMPLATE_BLOCK_BYTES> TEMPLATE_BLOCK = [] {
    std::array<unsigned char, TEMPLATE_BLOCK_BYTES> bytes{};
    BlockWriter writer(bytes.data());
    WriteBlock(writer);
    return bytes;
}();

} // namespace

const unsigned char* const D3DRM_XTEMPLATES = TEMPLATE_BLOCK.data();
const DWORD D3DRM_XTEMPLATE_BYTES = static_cast<DWORD>(TEMPLATE_BLOCK_BYTES);
