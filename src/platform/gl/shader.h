// The fixed-function pipeline of the 3D device as GLSL programs: per-vertex lighting with
// up to eight directional, point and spot lights, and texture stage 0. One program is generated
// for each combination of what a draw needs (lights, texturing, stage operations, alpha test),
// so that no shader branches on state at run time.
#pragma once

#include "platform/gl/gl_api.h"

#include <cstdint>
#include <string>

namespace gl {

constexpr int SHADER_MAX_LIGHTS = 8;

// Vertex attribute slots of the D3DVERTEX layout.
constexpr GLuint ATTRIBUTE_POSITION = 0;
constexpr GLuint ATTRIBUTE_NORMAL = 1;
constexpr GLuint ATTRIBUTE_TEXCOORD = 2;

struct ShaderKey {
    uint8_t lighting = 0;
    uint8_t normalizeNormals = 0;
    uint8_t lightCount = 0;
    uint8_t lightTypes[SHADER_MAX_LIGHTS]{}; // D3DLIGHTTYPE of each enabled light, in order
    uint8_t textured = 0;                    // a texture is set on stage 0
    uint8_t colorOp = 0, colorArg1 = 0, colorArg2 = 0;
    uint8_t alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;
    uint8_t alphaFunc = 0;   // D3DCMP_ value when alpha testing, else 0
    uint8_t flatShading = 0; // one colour per triangle, from its first vertex

    bool operator==(const ShaderKey&) const = default;
};

struct ShaderProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1;
    GLint worldView = -1;
    GLint normalMatrix = -1;
    GLint materialDiffuse = -1;
    GLint materialAmbient = -1;
    GLint materialEmissive = -1;
    GLint ambient = -1;
    GLint lightDiffuse = -1;
    GLint lightAmbient = -1;
    GLint lightPosition = -1;
    GLint lightDirection = -1;
    GLint lightAttenuation = -1;
    GLint lightSpot = -1;
    GLint alphaReference = -1;
    GLint texture = -1;
};

// The GLSL the programs are written in: 3.30 on desktop OpenGL, ES 3.00 on WebGL 2. Both say the
// same; ES adds precisions (high throughout: lighting sums and texture coordinates need it) and
// has flat shading take its colour from a triangle's last vertex rather than its first.
enum class ShaderDialect { GLSL_330, GLSL_ES_300 };
constexpr ShaderDialect NATIVE_SHADER_DIALECT =
    GL_IS_ES ? ShaderDialect::GLSL_ES_300 : ShaderDialect::GLSL_330;

// The first lines of a shader in the dialect: its version and, on ES, the default precisions.
std::string Preamble(ShaderDialect dialect = NATIVE_SHADER_DIALECT);

std::string VertexShaderSource(const ShaderKey& key, ShaderDialect dialect = NATIVE_SHADER_DIALECT);
std::string FragmentShaderSource(const ShaderKey& key,
                                 ShaderDialect dialect = NATIVE_SHADER_DIALECT);

// Compiles and links a program from its two shaders (the context must be current); 0 when GL
// refuses it, with GL's log in `failure`.
GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource,
                   std::string* failure);

// Compiles and links the program of a key (the context must be current). program is 0 when GL
// refuses it, with GL's log in `failure`. A desktop context with ES 3 compatibility (Mesa's)
// also takes the ES dialect, which is how tests check it without a browser.
ShaderProgram BuildShaderProgram(const ShaderKey& key, std::string* failure,
                                 ShaderDialect dialect = NATIVE_SHADER_DIALECT);

} // namespace gl
