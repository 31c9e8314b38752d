// The minimal direct-GL renderer for the device benchmark.
#include "support/reference_renderer.h"

#include <epoxy/gl.h>

#include "platform/gl/context.h"
#include "platform/gl/transforms.h"

namespace bench {

namespace {

const char* VERTEX_SOURCE = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uWorldViewProjection;
uniform mat3 uNormalMatrix;
uniform vec3 uLightDirection;
uniform float uAmbient;
uniform float uGrey;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
    gl_Position = uWorldViewProjection * vec4(aPosition, 1.0);
    vTexCoord = aTexCoord;
    vec3 n = uNormalMatrix * aNormal;
    float lit = uGrey * (uAmbient + max(dot(n, uLightDirection), 0.0));
    vColor = vec4(vec3(clamp(lit, 0.0, 1.0)), 1.0);
}
)";

const char* FRAGMENT_SOURCE = R"(#version 330 core
in vec4 vColor;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform bool uTextured;
out vec4 fragColor;
void main() {
    fragColor = uTextured ? vColor * texture(uTexture, vTexCoord) : vColor;
}
)";

GLuint Compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

} // namespace

struct ReferenceRenderer::State {
    std::unique_ptr<host::GlContext> context;
    int width = 0, height = 0;
    GLuint framebuffer = 0, colour = 0, depth = 0;
    GLuint program = 0, vertexArray = 0, vertexBuffer = 0, indexBuffer = 0;
    GLint worldViewProjection = -1, normalMatrix = -1, lightDirection = -1, ambient = -1;
    GLint grey = -1, textured = -1;
    D3DMATRIX view{}, projection{};
    D3DVECTOR light{0, -1, 0};
};

std::unique_ptr<ReferenceRenderer> ReferenceRenderer::Create(int width, int height, bool sixteenBit,
                                                             std::string* failure) {
    auto state = std::make_unique<State>();
    state->context = gl::CreateSoftwareContext(failure);
    if (state->context == nullptr) {
        return nullptr;
    }
    state->width = width;
    state->height = height;
    glGenTextures(1, &state->colour);
    glBindTexture(GL_TEXTURE_2D, state->colour);
    glTexImage2D(GL_TEXTURE_2D, 0, sixteenBit ? GL_RGB565 : GL_RGB8, width, height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
    glGenRenderbuffers(1, &state->depth);
    glBindRenderbuffer(GL_RENDERBUFFER, state->depth);
    glRenderbufferStorage(GL_RENDERBUFFER, sixteenBit ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24,
                          width, height);
    glGenFramebuffers(1, &state->framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, state->framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, state->colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, state->depth);

    state->program = glCreateProgram();
    GLuint vertex = Compile(GL_VERTEX_SHADER, VERTEX_SOURCE);
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, FRAGMENT_SOURCE);
    glAttachShader(state->program, vertex);
    glAttachShader(state->program, fragment);
    glLinkProgram(state->program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(state->program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        *failure = "the reference program does not link";
        return nullptr;
    }
    glUseProgram(state->program);
    state->worldViewProjection = glGetUniformLocation(state->program, "uWorldViewProjection");
    state->normalMatrix = glGetUniformLocation(state->program, "uNormalMatrix");
    state->lightDirection = glGetUniformLocation(state->program, "uLightDirection");
    state->ambient = glGetUniformLocation(state->program, "uAmbient");
    state->grey = glGetUniformLocation(state->program, "uGrey");
    state->textured = glGetUniformLocation(state->program, "uTextured");
    glUniform1i(glGetUniformLocation(state->program, "uTexture"), 0);

    glGenVertexArrays(1, &state->vertexArray);
    glBindVertexArray(state->vertexArray);
    glGenBuffers(1, &state->vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, state->vertexBuffer);
    glGenBuffers(1, &state->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, state->indexBuffer);
    const GLsizei stride = sizeof(D3DVERTEX);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(12));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(24));
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    return std::unique_ptr<ReferenceRenderer>(new ReferenceRenderer(std::move(state)));
}

ReferenceRenderer::ReferenceRenderer(std::unique_ptr<State> state) : state_(std::move(state)) {}

ReferenceRenderer::~ReferenceRenderer() {
    state_->context->MakeCurrent();
    glDeleteBuffers(1, &state_->vertexBuffer);
    glDeleteBuffers(1, &state_->indexBuffer);
    glDeleteVertexArrays(1, &state_->vertexArray);
    glDeleteProgram(state_->program);
    glDeleteFramebuffers(1, &state_->framebuffer);
    glDeleteRenderbuffers(1, &state_->depth);
    glDeleteTextures(1, &state_->colour);
}

void ReferenceRenderer::BeginFrame(D3DCOLOR clear) {
    state_->context->MakeCurrent();
    glClearColor(float((clear >> 16) & 0xFF) / 255.0f, float((clear >> 8) & 0xFF) / 255.0f,
                 float(clear & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ReferenceRenderer::SetCamera(const D3DMATRIX& view, const D3DMATRIX& projection) {
    state_->view = view;
    state_->projection = gl::Multiply(projection, gl::ClipCorrection());
    SetLight(state_->light, 0.0f);
}

void ReferenceRenderer::SetLight(const D3DVECTOR& direction, float ambient) {
    state_->light = direction;
    const D3DVECTOR towards = gl::Normalised(gl::TransformDirection(direction, state_->view));
    glUniform3f(state_->lightDirection, -towards.x, -towards.y, -towards.z);
    glUniform1f(state_->ambient, ambient);
}

void ReferenceRenderer::SetAdditiveBlending(bool additive) {
    if (additive) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    } else {
        glDisable(GL_BLEND);
    }
}

unsigned ReferenceRenderer::MakeTexture(int width, int height, const BYTE* rgba) {
    state_->context->MakeCurrent();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

void ReferenceRenderer::UseTexture(unsigned texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(state_->textured, texture != 0 ? 1 : 0);
}

void ReferenceRenderer::SetWorld(const D3DMATRIX& world) {
    const D3DMATRIX worldView = gl::Multiply(world, state_->view);
    const D3DMATRIX all = gl::Multiply(worldView, state_->projection);
    glUniformMatrix4fv(state_->worldViewProjection, 1, GL_FALSE, &all.m[0][0]);
    float normal[9];
    gl::NormalMatrix(worldView, normal);
    glUniformMatrix3fv(state_->normalMatrix, 1, GL_FALSE, normal);
}

void ReferenceRenderer::SetGrey(float grey) {
    glUniform1f(state_->grey, grey);
}

void ReferenceRenderer::DrawIndexedTriangles(const D3DVERTEX* vertices, DWORD vertexCount,
                                             const WORD* indices, DWORD indexCount) {
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexCount * sizeof(D3DVERTEX)), vertices,
                 GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indexCount * sizeof(WORD)), indices,
                 GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, GLsizei(indexCount), GL_UNSIGNED_SHORT, nullptr);
}

void ReferenceRenderer::DrawStrip(const D3DVERTEX* vertices, DWORD vertexCount) {
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexCount * sizeof(D3DVERTEX)), vertices,
                 GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, GLsizei(vertexCount));
}

void ReferenceRenderer::Finish() {
    glFinish();
}

int ReferenceRenderer::RedAt(int x, int y) {
    state_->context->MakeCurrent();
    BYTE pixel[4] = {};
    glReadPixels(x, state_->height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return pixel[0];
}

void FinishCurrentContext() {
    glFinish();
}

} // namespace bench
