// The device's drawing on OpenGL. Sections: life cycle · targets · state to GL · clear and draw
// · pixels and presentation.
#include "platform/gl/renderer.h"

#include <algorithm>
#include <cmath>

#include "platform/ddraw/surface.h"
#include "platform/gl/render_target.h"
#include "platform/gl/texture_cache.h"
#include "platform/gl/transforms.h"
#include "platform/host/host.h"
#include "platform/host/presentation.h"

namespace gl {

namespace {

constexpr size_t VERTEX_STREAM_BYTES = size_t{4} << 20;
constexpr size_t INDEX_STREAM_BYTES = size_t{1} << 20;
constexpr size_t MAX_PROGRAMS = 256;

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case 11:
        return GL_SRC_ALPHA_SATURATE; // D3DBLEND_SRCALPHASAT
    default:
        return GL_ONE;
    }
}

GLenum Comparison(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    case D3DCMP_ALWAYS:
        return GL_ALWAYS;
    default:
        return GL_LEQUAL;
    }
}

GLenum Addressing(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return BORDER_ADDRESSING;
    default:
        return GL_REPEAT;
    }
}

// Points D3DVERTEX's attributes at the stream buffer from byte `offset` on.
void PointAttributesAt(GLintptr offset) {
    const GLsizei stride = sizeof(D3DVERTEX);
    const auto at = [offset](size_t field) {
        return reinterpret_cast<const void*>(offset + GLintptr(field));
    };
    glVertexAttribPointer(ATTRIBUTE_POSITION, 3, GL_FLOAT, GL_FALSE, stride, at(0));
    glVertexAttribPointer(ATTRIBUTE_NORMAL, 3, GL_FLOAT, GL_FALSE, stride,
                          at(offsetof(D3DVERTEX, nx)));
    glVertexAttribPointer(ATTRIBUTE_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride,
                          at(offsetof(D3DVERTEX, tu)));
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    default:
        return GL_TRIANGLES;
    }
}

void ColourOf(D3DCOLOR argb, float out[4]) {
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

} // namespace

// ---- Life cycle --------------------------------------------------------------------------------

Renderer::Renderer() : garbage_(std::make_shared<GarbageBin>()) {
    programs_.reserve(MAX_PROGRAMS);
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    vertices_ = std::make_unique<StreamBuffer>(GL_ARRAY_BUFFER, VERTEX_STREAM_BYTES);
    glEnableVertexAttribArray(ATTRIBUTE_POSITION);
    glEnableVertexAttribArray(ATTRIBUTE_NORMAL);
    glEnableVertexAttribArray(ATTRIBUTE_TEXCOORD);
    PointAttributesAt(0);
    indices_ = std::make_unique<StreamBuffer>(GL_ELEMENT_ARRAY_BUFFER, INDEX_STREAM_BYTES);
    glGenSamplers(1, &sampler_);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, sampler_);
    glDisable(GL_DITHER);
    // Front faces are those that run clockwise on screen: the ones the default culling keeps.
    glFrontFace(GL_CW);
#if !defined(LUMENFALL_GLES)
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION); // ES keeps the last vertex's; see shader.h
#endif
}

Renderer::~Renderer() {
    if (abandoned_) {
        return;
    }
    for (auto& [key, program] : programs_) {
        glDeleteProgram(program.program);
    }
    glDeleteSamplers(1, &sampler_);
    blockWriter_.Release();
    indices_.reset();
    vertices_.reset();
    glDeleteVertexArrays(1, &vertexArray_);
    garbage_->Empty();
}

bool Renderer::Ready(std::string* failure) const {
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    const int needed = GL_IS_ES ? 30 : 33;
    if (major * 10 + minor < needed) {
        *failure = GL_IS_ES ? "OpenGL ES 3.0 (WebGL 2) is needed" : "OpenGL 3.3 is needed";
        return false;
    }
    return true;
}

// ---- Targets -----------------------------------------------------------------------------------

RenderTarget* Renderer::TargetOf(ddraw::Surface& surface) {
    auto* data = static_cast<RenderTarget*>(surface.FindData(this));
    return data != nullptr && !data->Orphaned() ? data : nullptr;
}

TargetShape Renderer::ShapeFor(const ddraw::Surface& surface) const {
    TargetShape shape = policy_.shape;
    if (policy_.modeWidth <= 0 || policy_.modeHeight <= 0 || shape.width <= 0 ||
        shape.height <= 0) {
        shape.width = shape.height = 0;
        return shape;
    }
    shape.width = int(int64_t(surface.Width()) * shape.width / policy_.modeWidth);
    shape.height = int(int64_t(surface.Height()) * shape.height / policy_.modeHeight);
    return shape;
}

void Renderer::SetPolicy(const TargetPolicy& policy, const std::vector<ddraw::Surface*>& backed) {
    if (policy == policy_) {
        return;
    }
    policy_ = policy;
    // Each picture goes through its surface's memory: read at the old shape, written whole into
    // the new one. Only a change of window or screen comes here, between frames.
    for (ddraw::Surface* surface : backed) {
        RenderTarget* data = TargetOf(*surface);
        if (data == nullptr) {
            continue;
        }
        ReadSurface(*surface);
        if (data->Prepare(*surface, ShapeFor(*surface))) {
            WriteSurface(*surface);
        }
    }
    boundFramebuffer_ = 0xFFFFFFFF;
    pending_ |= d3d::DIRTY_VIEWPORT | d3d::DIRTY_RENDER_TARGET | d3d::DIRTY_RENDER_STATES;
}

bool Renderer::SetTarget(ddraw::Surface& target,
                         const std::shared_ptr<std::vector<ddraw::Surface*>>& backed) {
    RenderTarget* data = TargetOf(target);
    const bool fresh = data == nullptr;
    if (fresh) {
        auto made = std::make_unique<RenderTarget>(garbage_, backed, &target);
        data = made.get();
        target.SetData(this, std::move(made));
        backed->push_back(&target);
    }
    target_ = &target;
    targetData_ = data;
    boundFramebuffer_ = 0xFFFFFFFF;
    pending_ |= d3d::DIRTY_VIEWPORT | d3d::DIRTY_RENDER_TARGET | d3d::DIRTY_RENDER_STATES;
    if (!data->Prepare(target, ShapeFor(target))) {
        return false;
    }
    if (fresh) {
        WriteSurface(target); // start from what the surface holds
    }
    return true;
}

bool Renderer::BindTarget() {
    if (targetData_ == nullptr) {
        return false;
    }
    const bool hadDepth = targetData_->HasDepth();
    if (!targetData_->Prepare(*target_, ShapeFor(*target_))) {
        return false;
    }
    if (hadDepth != targetData_->HasDepth()) {
        pending_ |= d3d::DIRTY_RENDER_STATES; // a z-buffer came or went
    }
    if (boundFramebuffer_ != targetData_->Framebuffer()) {
        glBindFramebuffer(GL_FRAMEBUFFER, targetData_->Framebuffer());
        boundFramebuffer_ = targetData_->Framebuffer();
    }
    return true;
}

// ---- State to GL -------------------------------------------------------------------------------

const ShaderProgram* Renderer::ProgramFor(const d3d::DeviceState& state) {
    const DWORD* rs = state.renderStates;
    const DWORD* ts = state.stageStates[0];
    ShaderKey key;
    key.lighting = rs[D3DRENDERSTATE_LIGHTING] != 0;
    if (key.lighting) {
        key.normalizeNormals = rs[D3DRENDERSTATE_NORMALIZENORMALS] != 0;
        for (DWORD i = 0; i < d3d::DEVICE_LIGHT_SLOTS && key.lightCount < SHADER_MAX_LIGHTS; ++i) {
            if (state.lights[i].enabled) {
                lightSlots_[key.lightCount] = static_cast<int>(i);
                key.lightTypes[key.lightCount++] =
                    static_cast<uint8_t>(state.lights[i].light.dltType);
            }
        }
    }
    const ddraw::Surface* texture = ddraw::SurfaceFromInterface(state.textures[0]);
    key.textured = texture != nullptr && texture->HasPixels();
    key.colorOp = static_cast<uint8_t>(ts[D3DTSS_COLOROP]);
    key.colorArg1 = static_cast<uint8_t>(ts[D3DTSS_COLORARG1]);
    key.colorArg2 = static_cast<uint8_t>(ts[D3DTSS_COLORARG2]);
    key.alphaOp = static_cast<uint8_t>(ts[D3DTSS_ALPHAOP]);
    key.alphaArg1 = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG1]);
    key.alphaArg2 = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG2]);
    key.alphaFunc = rs[D3DRENDERSTATE_ALPHATESTENABLE] != 0
                        ? static_cast<uint8_t>(rs[D3DRENDERSTATE_ALPHAFUNC])
                        : 0;
    key.flatShading = rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT;
    if (program_ != nullptr && key == key_) {
        return program_;
    }
    const ShaderProgram* found = nullptr;
    for (const auto& [known, program] : programs_) {
        if (known == key) {
            found = &program;
            break;
        }
    }
    if (found == nullptr) {
        std::string failure;
        ShaderProgram built = BuildShaderProgram(key, &failure);
        if (built.program == 0) {
            return nullptr;
        }
        if (programs_.size() == MAX_PROGRAMS) {
            // Never seen in practice; start over rather than grow without bound.
            for (auto& [old, program] : programs_) {
                glDeleteProgram(program.program);
            }
            programs_.clear();
            sent_.clear();
            usedProgram_ = 0xFFFFFFFF;
        }
        glUseProgram(built.program);
        usedProgram_ = built.program;
        if (built.texture >= 0) {
            glUniform1i(built.texture, 0);
        }
        programs_.emplace_back(key, built);
        found = &programs_.back().second;
    }
    key_ = key;
    // Uniforms belong to programs: a program taken up again has another draw's values.
    pending_ |= d3d::DIRTY_TRANSFORMS | d3d::DIRTY_MATERIAL | d3d::DIRTY_LIGHTS |
                d3d::DIRTY_STAGE_STATES | d3d::DIRTY_RENDER_STATES;
    return found;
}

D3DMATRIX Renderer::ClipTransform(const d3d::DeviceState& state) {
    return Multiply(Multiply(state.world, state.view),
                    Multiply(state.projection, ClipCorrection()));
}

void Renderer::UploadTransforms(const d3d::DeviceState& state) {
    const D3DMATRIX worldView = Multiply(state.world, state.view);
    const D3DMATRIX projection = Multiply(state.projection, ClipCorrection());
    const D3DMATRIX all = Multiply(worldView, projection);
    // Row-major matrices used with row vectors are, read column by column, the matrices GLSL
    // uses with column vectors: they go in unchanged.
    glUniformMatrix4fv(program_->worldViewProjection, 1, GL_FALSE, &all.m[0][0]);
    if (program_->worldView >= 0) {
        glUniformMatrix4fv(program_->worldView, 1, GL_FALSE, &worldView.m[0][0]);
    }
    if (program_->normalMatrix >= 0) {
        float normal[9];
        NormalMatrix(worldView, normal);
        glUniformMatrix3fv(program_->normalMatrix, 1, GL_FALSE, normal);
    }
}

void Renderer::UploadMaterial(const d3d::DeviceState& state) {
    if (program_->materialDiffuse < 0) {
        return;
    }
    const D3DMATERIAL7& m = state.material;
    const std::array<float, SentUniforms::MATERIAL_VALUES> values = {
        m.diffuse.r, m.diffuse.g, m.diffuse.b,  m.diffuse.a,  m.ambient.r,
        m.ambient.g, m.ambient.b, m.emissive.r, m.emissive.g, m.emissive.b};
    SentUniforms& sent = sent_[program_->program];
    if (sent.materialSent && values == sent.material) {
        return;
    }
    sent.material = values;
    sent.materialSent = true;
    glUniform4f(program_->materialDiffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a);
    glUniform3f(program_->materialAmbient, m.ambient.r, m.ambient.g, m.ambient.b);
    glUniform3f(program_->materialEmissive, m.emissive.r, m.emissive.g, m.emissive.b);
}

void Renderer::UploadLights(const d3d::DeviceState& state) {
    if (program_->ambient < 0) {
        return;
    }
    float ambient[4];
    ColourOf(state.renderStates[D3DRENDERSTATE_AMBIENT], ambient);
    const int count = key_.lightCount;
    float diffuse[SHADER_MAX_LIGHTS * 3], lightAmbient[SHADER_MAX_LIGHTS * 3];
    float position[SHADER_MAX_LIGHTS * 3], direction[SHADER_MAX_LIGHTS * 3];
    float attenuation[SHADER_MAX_LIGHTS * 4], spot[SHADER_MAX_LIGHTS * 3];
    for (int i = 0; i < count; ++i) {
        const D3DLIGHT7& light = state.lights[lightSlots_[i]].light;
        diffuse[3 * i + 0] = light.dcvDiffuse.r;
        diffuse[3 * i + 1] = light.dcvDiffuse.g;
        diffuse[3 * i + 2] = light.dcvDiffuse.b;
        lightAmbient[3 * i + 0] = light.dcvAmbient.r;
        lightAmbient[3 * i + 1] = light.dcvAmbient.g;
        lightAmbient[3 * i + 2] = light.dcvAmbient.b;
        // Lights are given in world space and lit in camera space.
        const D3DVECTOR p = TransformPoint(light.dvPosition, state.view);
        D3DVECTOR d = Normalised(TransformDirection(light.dvDirection, state.view));
        if (light.dltType == D3DLIGHT_DIRECTIONAL) {
            d = D3DVECTOR{-d.x, -d.y, -d.z}; // towards the light
        }
        position[3 * i + 0] = p.x;
        position[3 * i + 1] = p.y;
        position[3 * i + 2] = p.z;
        direction[3 * i + 0] = d.x;
        direction[3 * i + 1] = d.y;
        direction[3 * i + 2] = d.z;
        attenuation[4 * i + 0] = light.dvAttenuation0;
        attenuation[4 * i + 1] = light.dvAttenuation1;
        attenuation[4 * i + 2] = light.dvAttenuation2;
        attenuation[4 * i + 3] = light.dvRange;
        spot[3 * i + 0] = std::cos(light.dvTheta * 0.5f);
        spot[3 * i + 1] = std::cos(light.dvPhi * 0.5f);
        spot[3 * i + 2] = light.dvFalloff;
    }
    std::array<float, SentUniforms::LIGHT_VALUES> values;
    float* end = std::copy(ambient, ambient + 3, values.begin());
    for (const auto& [array, width] : {std::pair<const float*, int>{diffuse, 3},
                                       {lightAmbient, 3},
                                       {position, 3},
                                       {direction, 3},
                                       {attenuation, 4},
                                       {spot, 3}}) {
        end = std::copy(array, array + count * width, end);
    }
    const size_t used = size_t(end - values.begin());
    SentUniforms& sent = sent_[program_->program];
    if (used == sent.lightValues && std::equal(values.begin(), end, sent.lights.begin())) {
        return;
    }
    std::copy(values.begin(), end, sent.lights.begin());
    sent.lightValues = used;
    glUniform3f(program_->ambient, ambient[0], ambient[1], ambient[2]);
    if (count == 0) {
        return;
    }
    glUniform3fv(program_->lightDiffuse, count, diffuse);
    glUniform3fv(program_->lightAmbient, count, lightAmbient);
    glUniform3fv(program_->lightDirection, count, direction);
    if (program_->lightPosition >= 0) {
        glUniform3fv(program_->lightPosition, count, position);
        glUniform4fv(program_->lightAttenuation, count, attenuation);
        glUniform3fv(program_->lightSpot, count, spot);
    }
}

void Renderer::ApplyRenderStates(const d3d::DeviceState& state) {
    const DWORD* rs = state.renderStates;
    const bool blend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
    SetEnabled(GL_BLEND, &blend_, blend);
    if (blend) {
        SetBlendFunc(BlendFactor(rs[D3DRENDERSTATE_SRCBLEND]),
                     BlendFactor(rs[D3DRENDERSTATE_DESTBLEND]));
    }
    const bool depth = rs[D3DRENDERSTATE_ZENABLE] != D3DZB_FALSE && targetData_->HasDepth();
    SetEnabled(GL_DEPTH_TEST, &depthTest_, depth);
    if (depth) {
        SetDepthFunc(Comparison(rs[D3DRENDERSTATE_ZFUNC]));
        SetDepthMask(rs[D3DRENDERSTATE_ZWRITEENABLE] != 0);
    }
    // The picture in the framebuffer is the picture on screen, so a triangle's turning sense is
    // the same in both; counter-clockwise ones are the back faces (see glFrontFace above).
    const DWORD cull = rs[D3DRENDERSTATE_CULLMODE];
    SetEnabled(GL_CULL_FACE, &culling_, cull != D3DCULL_NONE);
    if (cull != D3DCULL_NONE) {
        SetCulledFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    }
#if !defined(LUMENFALL_GLES) // ES fills every polygon; the show draws no wireframes
    const DWORD fill = rs[D3DRENDERSTATE_FILLMODE];
    glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                     : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                 : GL_FILL);
#endif
    if (key_.alphaFunc != 0 && program_->alphaReference >= 0) {
        glUniform1f(program_->alphaReference, float(rs[D3DRENDERSTATE_ALPHAREF] & 0xFF) / 255.0f);
    }
}

void Renderer::ApplyViewport(const d3d::DeviceState& state) {
    const D3DVIEWPORT7& vp = state.viewport;
    const RenderTarget& t = *targetData_;
    if (t.Exact()) {
        const int height = t.Height();
        glViewport(static_cast<GLint>(vp.dwX),
                   height - static_cast<GLint>(vp.dwY) - static_cast<GLint>(vp.dwHeight),
                   static_cast<GLsizei>(vp.dwWidth), static_cast<GLsizei>(vp.dwHeight));
    } else {
        // Mode pixels to the target's, by the blocks the mode pixels cover (rows from the bottom).
        const long modeBottom = long(t.ModeHeight()) - long(vp.dwY) - long(vp.dwHeight);
        const int x0 = t.ToFramebufferX(long(vp.dwX));
        const int x1 = t.ToFramebufferX(long(vp.dwX) + long(vp.dwWidth));
        const int y0 = t.ToFramebufferY(modeBottom);
        const int y1 = t.ToFramebufferY(modeBottom + long(vp.dwHeight));
        glViewport(x0, y0, x1 - x0, y1 - y0);
    }
    SetDepthRange(vp.dvMinZ, vp.dvMaxZ);
}

void Renderer::ApplySampler(const d3d::DeviceState& state) {
    const DWORD* ts = state.stageStates[0];
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S,
                        static_cast<GLint>(Addressing(ts[D3DTSS_ADDRESSU])));
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T,
                        static_cast<GLint>(Addressing(ts[D3DTSS_ADDRESSV])));
#if !defined(LUMENFALL_GLES)
    float border[4];
    ColourOf(ts[D3DTSS_BORDERCOLOR], border);
    glSamplerParameterfv(sampler_, GL_TEXTURE_BORDER_COLOR, border);
#endif
    glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER,
                        ts[D3DTSS_MAGFILTER] == D3DTFG_POINT ? GL_NEAREST : GL_LINEAR);
    glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER,
                        ts[D3DTSS_MINFILTER] == D3DTFN_POINT ? GL_NEAREST : GL_LINEAR);
}

void Renderer::SetDepthMask(bool write) {
    if (depthMask_ != int(write)) {
        glDepthMask(write ? GL_TRUE : GL_FALSE);
        depthMask_ = int(write);
    }
}

void Renderer::SetEnabled(GLenum capability, int* shadow, bool enabled) {
    if (*shadow != int(enabled)) {
        if (enabled) {
            glEnable(capability);
        } else {
            glDisable(capability);
        }
        *shadow = int(enabled);
    }
}

void Renderer::SetBlendFunc(GLenum source, GLenum destination) {
    if (source != blendSource_ || destination != blendDestination_) {
        glBlendFunc(source, destination);
        blendSource_ = source;
        blendDestination_ = destination;
    }
}

void Renderer::SetDepthFunc(GLenum func) {
    if (func != depthFunc_) {
        glDepthFunc(func);
        depthFunc_ = func;
    }
}

void Renderer::SetCulledFace(GLenum face) {
    if (face != culledFace_) {
        glCullFace(face);
        culledFace_ = face;
    }
}

void Renderer::SetScissor(bool enabled) {
    SetEnabled(GL_SCISSOR_TEST, &scissor_, enabled);
}

// ---- Clear and draw ----------------------------------------------------------------------------

HRESULT Renderer::Clear(const d3d::DeviceState& state, DWORD dirty, DWORD count,
                        const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z) {
    pending_ |= dirty;
    if (!BindTarget()) {
        return DDERR_GENERIC;
    }
    GLbitfield mask = 0;
    if ((flags & D3DCLEAR_TARGET) != 0) {
        float c[4];
        ColourOf(colour, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) != 0 && targetData_->HasDepth()) {
        SetClearDepth(std::clamp(z, 0.0f, 1.0f));
        SetDepthMask(true);
        pending_ |= d3d::DIRTY_RENDER_STATES; // the draws' own depth mask is set again
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask == 0) {
        return D3D_OK;
    }
    // A clear covers the viewport, or the given rectangles inside it.
    const D3DVIEWPORT7& vp = state.viewport;
    const LONG left = LONG(vp.dwX), top = LONG(vp.dwY);
    const LONG right = left + LONG(vp.dwWidth), bottom = top + LONG(vp.dwHeight);
    const RenderTarget& t = *targetData_;
    const int height = t.ModeHeight();
    auto clearArea = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max(x1, left);
        y1 = std::max(y1, top);
        x2 = std::min(x2, right);
        y2 = std::min(y2, bottom);
        if (x1 >= x2 || y1 >= y2) {
            return;
        }
        const bool whole = x1 == 0 && y1 == 0 && x2 == t.ModeWidth() && y2 == height;
        SetScissor(!whole);
        if (!whole) {
            // In the target's pixels: the blocks of the mode pixels, rows from the bottom.
            const int fx1 = t.ToFramebufferX(x1), fx2 = t.ToFramebufferX(x2);
            const int fy1 = t.ToFramebufferY(height - y2), fy2 = t.ToFramebufferY(height - y1);
            glScissor(fx1, fy1, fx2 - fx1, fy2 - fy1);
        }
        glClear(mask);
    };
    targetData_->MarkDrawn();
    if (count == 0) {
        clearArea(left, top, right, bottom);
    }
    for (DWORD i = 0; i < count; ++i) {
        clearArea(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    SetScissor(false);
    return D3D_OK;
}

HRESULT Renderer::Draw(const d3d::DeviceState& state, DWORD dirty,
                       const d3d::DrawRequest& request) {
    pending_ |= dirty;
    if (!BindTarget()) {
        return DDERR_GENERIC;
    }
    const DWORD programInputs = d3d::DIRTY_LIGHTS | d3d::DIRTY_RENDER_STATES |
                                d3d::DIRTY_STAGE_STATES | d3d::DIRTY_TEXTURES;
    if (program_ == nullptr || (pending_ & programInputs) != 0) {
        program_ = ProgramFor(state);
        if (program_ == nullptr) {
            return DDERR_GENERIC;
        }
    }
    if (usedProgram_ != program_->program) {
        glUseProgram(program_->program);
        usedProgram_ = program_->program;
    }
    if ((pending_ & d3d::DIRTY_TRANSFORMS) != 0) {
        UploadTransforms(state);
    }
    if ((pending_ & d3d::DIRTY_MATERIAL) != 0) {
        UploadMaterial(state);
    }
    if ((pending_ & (d3d::DIRTY_LIGHTS | d3d::DIRTY_RENDER_STATES)) != 0) {
        UploadLights(state);
    }
    if ((pending_ & (d3d::DIRTY_RENDER_STATES | d3d::DIRTY_RENDER_TARGET)) != 0) {
        ApplyRenderStates(state);
    }
    if ((pending_ & (d3d::DIRTY_VIEWPORT | d3d::DIRTY_RENDER_TARGET)) != 0) {
        ApplyViewport(state);
    }
    if (key_.textured) {
        if ((pending_ & d3d::DIRTY_STAGE_STATES) != 0) {
            ApplySampler(state);
        }
        ddraw::Surface* texture = ddraw::SurfaceFromInterface(state.textures[0]);
        boundTexture_ = BindSurfaceTexture(*texture, this, garbage_, scratch_);
    }
    pending_ = 0;
    targetData_->MarkDrawn();

    // On a target finer than the mode's pixels, rectangles keep the rows they have at 1x.
    if (targetData_->Finer() && request.indices == nullptr) {
        const RenderTarget& t = *targetData_;
        const SnapGrid grid{state.viewport, t.ModeWidth(), t.ModeHeight(), t.Width(), t.Height()};
        const D3DMATRIX clip = ClipTransform(state);
        D3DMATRIX correction;
        if (SnapRectangle(clip, grid, request.vertices, request.vertexCount, &correction)) {
            const D3DMATRIX snapped = Multiply(clip, correction);
            glUniformMatrix4fv(program_->worldViewProjection, 1, GL_FALSE, &snapped.m[0][0]);
            pending_ |= d3d::DIRTY_TRANSFORMS; // the next draw uploads its own again
        }
    }

    const GLintptr vertexOffset = vertices_->Append(
        request.vertices, size_t(request.vertexCount) * sizeof(D3DVERTEX), sizeof(D3DVERTEX));
#if defined(LUMENFALL_GLES)
    // ES 3.0 has no base vertex: the attributes start at the draw's own vertices instead, so
    // that indices count from there.
    if (vertexOffset != attributesAt_) {
        PointAttributesAt(vertexOffset);
        attributesAt_ = vertexOffset;
    }
    const GLint first = 0;
#else
    const GLint first = static_cast<GLint>(vertexOffset / GLintptr(sizeof(D3DVERTEX)));
#endif
    const GLenum mode = PrimitiveMode(request.type);
    if (request.indices == nullptr) {
        glDrawArrays(mode, first, static_cast<GLsizei>(request.vertexCount));
    } else {
        const GLintptr indexOffset = indices_->Append(
            request.indices, size_t(request.indexCount) * sizeof(WORD), sizeof(WORD));
        const auto* indices = reinterpret_cast<const void*>(indexOffset);
        const auto count = static_cast<GLsizei>(request.indexCount);
#if defined(LUMENFALL_GLES)
        glDrawElements(mode, count, GL_UNSIGNED_SHORT, indices);
#else
        glDrawElementsBaseVertex(mode, count, GL_UNSIGNED_SHORT, indices, first);
#endif
    }
    return D3D_OK;
}

// ---- Pixels and presentation -------------------------------------------------------------------

void Renderer::ForgetGlState() {
    usedProgram_ = 0xFFFFFFFF;
    boundFramebuffer_ = 0xFFFFFFFF;
    boundTexture_ = 0xFFFFFFFF;
    scissor_ = 1; // left on
    SetScissor(false);
    pending_ |= d3d::DIRTY_RENDER_STATES | d3d::DIRTY_VIEWPORT | d3d::DIRTY_STAGE_STATES |
                d3d::DIRTY_TEXTURES;
}

void Renderer::ReadSurface(ddraw::Surface& surface) {
    RenderTarget* data = TargetOf(surface);
    if (data != nullptr && data->newerThanMemory) {
        data->ReadInto(surface, scratch_);
        data->newerThanMemory = false;
        boundFramebuffer_ = 0xFFFFFFFF;
    }
}

void Renderer::WriteSurface(ddraw::Surface& surface) {
    RenderTarget* data = TargetOf(surface);
    if (data == nullptr) {
        return;
    }
    if (data->Exact()) {
        data->WriteFrom(surface, scratch_);
    } else {
        RECT changed{};
        if (data->TakeChanges(surface, scratch_, &changed)) {
            std::string failure;
            if (!blockWriter_.Write(data->Framebuffer(), data->Width(), data->Height(),
                                    data->ModeWidth(), data->ModeHeight(), scratch_, changed,
                                    &failure)) {
                host::WriteDebugOutput(("GL: mode pixels not written: " + failure + "\n").c_str());
            }
            data->MarkDrawn();
            ForgetGlState();
        }
    }
    data->newerThanMemory = false;
}

bool Renderer::ReadRgba(ddraw::Surface& surface, std::vector<BYTE>& rgba, int* width, int* height) {
    RenderTarget* data = TargetOf(surface);
    if (data == nullptr) {
        return false;
    }
    data->Resolve();
    data->ReadRgba(rgba);
    *width = data->Width();
    *height = data->Height();
    boundFramebuffer_ = 0xFFFFFFFF;
    return true;
}

void Renderer::ShowInWindow(ddraw::Surface& surface, int drawableWidth, int drawableHeight,
                            host::Scaling scaling, host::Filtering filtering) {
    RenderTarget* data = TargetOf(surface);
    if (data == nullptr) {
        return;
    }
    data->Resolve();
    // Placed by the mode's pixels, so that integer scaling means whole multiples of them.
    const host::Letterbox box = host::PlacePicture(data->ModeWidth(), data->ModeHeight(),
                                                   drawableWidth, drawableHeight, scaling);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, data->ReadFramebuffer());
    boundFramebuffer_ = 0xFFFFFFFF;
    SetScissor(false);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL's window rows run upwards; the box is centred, so only its lower edge needs turning.
    const int y0 = drawableHeight - box.y - box.height;
    glBlitFramebuffer(0, 0, data->Width(), data->Height(), box.x, y0, box.x + box.width,
                      y0 + box.height, GL_COLOR_BUFFER_BIT,
                      filtering == host::Filtering::NEAREST ? GL_NEAREST : GL_LINEAR);
}

} // namespace gl
