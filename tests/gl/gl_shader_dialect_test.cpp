// The fixed-function programs in the browser's dialect (GLSL ES 3.00, for WebGL 2), compiled and
// linked here on Mesa, whose desktop contexts take ES 3 shaders too: every kind of program the
// device makes must build in both dialects and offer the same uniforms, so a dialect slip shows
// up without a browser.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/gl/context.h"
#include "platform/gl/shader.h"

namespace {

std::vector<gl::ShaderKey> KeysOfEveryKind() {
    std::vector<gl::ShaderKey> keys;
    gl::ShaderKey unlit;
    keys.push_back(unlit);
    gl::ShaderKey lit;
    lit.lighting = 1;
    lit.normalizeNormals = 1;
    lit.lightCount = 3;
    lit.lightTypes[0] = D3DLIGHT_DIRECTIONAL;
    lit.lightTypes[1] = D3DLIGHT_POINT;
    lit.lightTypes[2] = D3DLIGHT_SPOT;
    keys.push_back(lit);
    gl::ShaderKey textured = lit;
    textured.textured = 1;
    textured.colorOp = D3DTOP_MODULATE;
    textured.colorArg1 = D3DTA_TEXTURE;
    textured.colorArg2 = D3DTA_DIFFUSE;
    textured.alphaOp = D3DTOP_SELECTARG1;
    textured.alphaArg1 = D3DTA_TEXTURE;
    textured.alphaFunc = D3DCMP_GREATER;
    keys.push_back(textured);
    gl::ShaderKey flat = textured;
    flat.flatShading = 1;
    flat.lightCount = 0;
    keys.push_back(flat);
    return keys;
}

TEST(GlShaderDialect, EveryKindOfProgramBuildsInBothDialectsWithTheSameUniforms) {
    std::string failure;
    std::unique_ptr<host::GlContext> context = gl::CreateSoftwareContext(&failure);
    ASSERT_NE(context, nullptr) << failure;
    ASSERT_TRUE(context->MakeCurrent());
    for (const gl::ShaderKey& key : KeysOfEveryKind()) {
        const gl::ShaderProgram desktop =
            gl::BuildShaderProgram(key, &failure, gl::ShaderDialect::GLSL_330);
        ASSERT_NE(desktop.program, 0u) << failure;
        const gl::ShaderProgram es =
            gl::BuildShaderProgram(key, &failure, gl::ShaderDialect::GLSL_ES_300);
        ASSERT_NE(es.program, 0u) << failure << "\n"
                                  << gl::VertexShaderSource(key, gl::ShaderDialect::GLSL_ES_300)
                                  << gl::FragmentShaderSource(key, gl::ShaderDialect::GLSL_ES_300);
        const GLint desktopUniforms[] = {desktop.worldViewProjection, desktop.normalMatrix,
                                         desktop.lightPosition, desktop.alphaReference,
                                         desktop.texture};
        const GLint esUniforms[] = {es.worldViewProjection, es.normalMatrix, es.lightPosition,
                                    es.alphaReference, es.texture};
        for (size_t i = 0; i < std::size(esUniforms); ++i) {
            EXPECT_EQ(desktopUniforms[i] >= 0, esUniforms[i] >= 0) << "uniform " << i;
        }
        glDeleteProgram(desktop.program);
        glDeleteProgram(es.program);
    }
}

} // namespace
