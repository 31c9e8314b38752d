// Generating, compiling and linking the fixed-function programs.
#include "platform/gl/shader.h"

#include <string>

#include "platform/d3d/d3d.h"

namespace gl {

namespace {

bool HasPositionalLights(const ShaderKey& key) {
    for (int i = 0; i < key.lightCount; ++i) {
        if (key.lightTypes[i] != D3DLIGHT_DIRECTIONAL) {
            return true;
        }
    }
    return false;
}

// Stage 0's arguments. With no texture set the stage passes the lit colour on, whatever its
// operation says.
std::string Argument(const ShaderKey& key, uint8_t argument, const char* channels) {
    const bool texture = (argument & 0x0F) == D3DTA_TEXTURE;
    return std::string(texture && key.textured ? "texel" : "diffuse") + channels;
}

std::string Operation(const ShaderKey& key, uint8_t op, uint8_t arg1, uint8_t arg2,
                      const char* channels) {
    const std::string diffuse = std::string("diffuse") + channels;
    if (!key.textured) {
        return diffuse;
    }
    switch (op) {
    case D3DTOP_DISABLE:
        return diffuse;
    case D3DTOP_SELECTARG1:
        return Argument(key, arg1, channels);
    case D3DTOP_SELECTARG2:
        return Argument(key, arg2, channels);
    default: // modulate, and the operations this device does not list
        return Argument(key, arg1, channels) + " * " + Argument(key, arg2, channels);
    }
}

const char* AlphaComparison(uint8_t func) {
    switch (func) {
    case D3DCMP_NEVER:
        return "false";
    case D3DCMP_LESS:
        return "alpha < uAlphaReference";
    case D3DCMP_EQUAL:
        return "alpha == uAlphaReference";
    case D3DCMP_LESSEQUAL:
        return "alpha <= uAlphaReference";
    case D3DCMP_GREATER:
        return "alpha > uAlphaReference";
    case D3DCMP_NOTEQUAL:
        return "alpha != uAlphaReference";
    case D3DCMP_GREATEREQUAL:
        return "alpha >= uAlphaReference";
    default:
        return "true";
    }
}


} // namespace

std::string Preamble(ShaderDialect dialect) {
    return dialect == ShaderDialect::GLSL_ES_300 ? "#version 300 es\nprecision highp float;\n"
                                                 : "#version 330 core\n";
}

namespace {

GLuint Compile(GLenum type, const std::string& source, std::string* failure) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        *failure = log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

std::string VertexShaderSource(const ShaderKey& key, ShaderDialect dialect) {
    std::string s = Preamble(dialect) + "layout(location = 0) in vec3 aPosition;\n"
                                        "layout(location = 1) in vec3 aNormal;\n"
                                        "layout(location = 2) in vec2 aTexCoord;\n"
                                        "uniform mat4 uWorldViewProjection;\n"
                                        "out vec2 vTexCoord;\n";
    s += key.flatShading ? "flat out vec4 vColor;\n" : "out vec4 vColor;\n";
    if (key.lighting) {
        s += "uniform mat3 uNormalMatrix;\n"
             "uniform vec4 uMaterialDiffuse;\n"
             "uniform vec3 uMaterialAmbient;\n"
             "uniform vec3 uMaterialEmissive;\n"
             "uniform vec3 uAmbient;\n";
        if (key.lightCount > 0) {
            const std::string n = std::to_string(key.lightCount);
            s += "uniform vec3 uLightDiffuse[" + n +
                 "];\n"
                 "uniform vec3 uLightAmbient[" +
                 n +
                 "];\n"
                 "uniform vec3 uLightDirection[" +
                 n + "];\n";
            if (HasPositionalLights(key)) {
                s += "uniform mat4 uWorldView;\n"
                     "uniform vec3 uLightPosition[" +
                     n +
                     "];\n"
                     "uniform vec4 uLightAttenuation[" +
                     n +
                     "];\n"
                     "uniform vec3 uLightSpot[" +
                     n + "];\n";
            }
        }
    }
    s += "void main() {\n"
         "    gl_Position = uWorldViewProjection * vec4(aPosition, 1.0);\n"
         "    vTexCoord = aTexCoord;\n";
    if (!key.lighting) {
        // The vertex format has no colour of its own: unlit vertices are white.
        s += "    vColor = vec4(1.0);\n}\n";
        return s;
    }
    s += key.normalizeNormals ? "    vec3 n = normalize(uNormalMatrix * aNormal);\n"
                              : "    vec3 n = uNormalMatrix * aNormal;\n";
    s += "    vec3 colour = uMaterialEmissive + uAmbient * uMaterialAmbient;\n";
    if (HasPositionalLights(key)) {
        s += "    vec3 p = (uWorldView * vec4(aPosition, 1.0)).xyz;\n";
    }
    for (int i = 0; i < key.lightCount; ++i) {
        const std::string at = "[" + std::to_string(i) + "]";
        if (key.lightTypes[i] == D3DLIGHT_DIRECTIONAL) {
            // uLightDirection holds the direction towards the light.
            s += "    colour += uLightAmbient" + at + " * uMaterialAmbient + uLightDiffuse" + at +
                 " * uMaterialDiffuse.rgb * max(dot(n, uLightDirection" + at + "), 0.0);\n";
            continue;
        }
        s += "    {\n"
             "        vec3 d = uLightPosition" +
             at +
             " - p;\n"
             "        float distance = length(d);\n"
             "        vec3 l = d / max(distance, 1e-6);\n"
             "        vec4 a = uLightAttenuation" +
             at +
             ";\n"
             "        float f = distance <= a.w\n"
             "            ? 1.0 / max(a.x + a.y * distance + a.z * distance * distance, 1e-6)\n"
             "            : 0.0;\n";
        if (key.lightTypes[i] == D3DLIGHT_SPOT) {
            // uLightDirection holds the spot's axis; uLightSpot the cosines of half the inner and
            // outer cone angles and the falloff.
            s += "        vec3 cone = uLightSpot" + at +
                 ";\n"
                 "        float rho = dot(-l, uLightDirection" +
                 at +
                 ");\n"
                 "        f *= rho > cone.x ? 1.0 : (rho <= cone.y ? 0.0 :\n"
                 "             pow(max((rho - cone.y) / max(cone.x - cone.y, 1e-6), 1e-6), "
                 "cone.z));\n";
        }
        s += "        colour += f * (uLightAmbient" + at + " * uMaterialAmbient + uLightDiffuse" +
             at +
             " * uMaterialDiffuse.rgb * max(dot(n, l), 0.0));\n"
             "    }\n";
    }
    // Clamped per vertex: a negative material lights to black, not to a darker interpolation.
    s += "    vColor = vec4(clamp(colour, 0.0, 1.0), clamp(uMaterialDiffuse.a, 0.0, 1.0));\n}\n";
    return s;
}

std::string FragmentShaderSource(const ShaderKey& key, ShaderDialect dialect) {
    std::string s = Preamble(dialect) + "in vec2 vTexCoord;\n"
                                        "out vec4 fragColor;\n";
    s += key.flatShading ? "flat in vec4 vColor;\n" : "in vec4 vColor;\n";
    if (key.textured) {
        // ES samplers default to low precision, too coarse for 8-bit texels.
        s += dialect == ShaderDialect::GLSL_ES_300 ? "uniform highp sampler2D uTexture;\n"
                                                   : "uniform sampler2D uTexture;\n";
    }
    const bool alphaTest = key.alphaFunc != 0 && key.alphaFunc != D3DCMP_ALWAYS;
    if (alphaTest) {
        s += "uniform float uAlphaReference;\n";
    }
    s += "void main() {\n"
         "    vec4 diffuse = vColor;\n";
    if (key.textured) {
        s += "    vec4 texel = texture(uTexture, vTexCoord);\n";
    }
    s += "    vec3 colour = " + Operation(key, key.colorOp, key.colorArg1, key.colorArg2, ".rgb") +
         ";\n";
    s += "    float alpha = " + Operation(key, key.alphaOp, key.alphaArg1, key.alphaArg2, ".a") +
         ";\n";
    if (alphaTest) {
        s += std::string("    if (!(") + AlphaComparison(key.alphaFunc) + ")) discard;\n";
    }
    s += "    fragColor = vec4(colour, alpha);\n}\n";
    return s;
}

GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource,
                   std::string* failure) {
    GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, failure);
    if (vertex == 0) {
        return 0;
    }
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, failure);
    if (fragment == 0) {
        glDeleteShader(vertex);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof(log), nullptr, log);
        *failure = log;
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

ShaderProgram BuildShaderProgram(const ShaderKey& key, std::string* failure,
                                 ShaderDialect dialect) {
    ShaderProgram result;
    const GLuint program =
        LinkProgram(VertexShaderSource(key, dialect), FragmentShaderSource(key, dialect), failure);
    if (program == 0) {
        return result;
    }
    result.program = program;
    result.worldViewProjection = glGetUniformLocation(program, "uWorldViewProjection");
    result.worldView = glGetUniformLocation(program, "uWorldView");
    result.normalMatrix = glGetUniformLocation(program, "uNormalMatrix");
    result.materialDiffuse = glGetUniformLocation(program, "uMaterialDiffuse");
    result.materialAmbient = glGetUniformLocation(program, "uMaterialAmbient");
    result.materialEmissive = glGetUniformLocation(program, "uMaterialEmissive");
    result.ambient = glGetUniformLocation(program, "uAmbient");
    result.lightDiffuse = glGetUniformLocation(program, "uLightDiffuse");
    result.lightAmbient = glGetUniformLocation(program, "uLightAmbient");
    result.lightPosition = glGetUniformLocation(program, "uLightPosition");
    result.lightDirection = glGetUniformLocation(program, "uLightDirection");
    result.lightAttenuation = glGetUniformLocation(program, "uLightAttenuation");
    result.lightSpot = glGetUniformLocation(program, "uLightSpot");
    result.alphaReference = glGetUniformLocation(program, "uAlphaReference");
    result.texture = glGetUniformLocation(program, "uTexture");
    return result;
}

} // namespace gl
