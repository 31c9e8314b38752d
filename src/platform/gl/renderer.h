// The device's drawing on OpenGL: device state in, GL calls out. It owns the GL objects of one
// context (programs, vertex streams, the sampler, the framebuffers and textures it made for
// surfaces) and shadows the GL state it sets, so that a draw sends only what changed.
//
// Every call needs the renderer's context current.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/d3d/device_state.h"
#include "platform/d3d/draw_request.h"
#include "platform/gl/garbage.h"
#include "platform/gl/mode_pixels.h"
#include "platform/gl/render_target.h"
#include "platform/gl/shader.h"
#include "platform/gl/stream_buffer.h"
#include "platform/host/presentation_options.h"

namespace ddraw {
class Surface;
}

namespace gl {

// How the presentation options shape render targets: a surface of the mode's size gets `shape`;
// surfaces of other sizes are scaled alike. A default policy leaves every target exact.
struct TargetPolicy {
    int modeWidth = 0;
    int modeHeight = 0;
    TargetShape shape;
    bool operator==(const TargetPolicy&) const = default;
};

class Renderer {
public:
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Whether the context can do what the device needs; the reason when not.
    bool Ready(std::string* failure) const;

    // Shapes the targets from now on; targets already made are remade in the new shape with
    // their pictures carried over (at mode pixels).
    void SetPolicy(const TargetPolicy& policy, const std::vector<ddraw::Surface*>& backed);
    const TargetPolicy& Policy() const { return policy_; }

    // Makes the surface the target of the following clears and draws, with a framebuffer of its
    // size and depth. `backed` collects the surfaces the renderer holds pixels for. False when GL
    // cannot render into it.
    bool SetTarget(ddraw::Surface& target,
                   const std::shared_ptr<std::vector<ddraw::Surface*>>& backed);

    // `dirty` is what changed in the state since the previous call (d3d::DirtyFlags).
    HRESULT Clear(const d3d::DeviceState& state, DWORD dirty, DWORD count, const D3DRECT* rects,
                  DWORD flags, D3DCOLOR colour, float z);
    HRESULT Draw(const d3d::DeviceState& state, DWORD dirty, const d3d::DrawRequest& request);

    // Pixels of a surface the renderer holds a framebuffer for, in mode pixels.
    void ReadSurface(ddraw::Surface& surface);
    void WriteSurface(ddraw::Surface& surface);
    // The finished picture at the framebuffer's size (larger than the surface when shaped);
    // false when the renderer holds none for the surface.
    bool ReadRgba(ddraw::Surface& surface, std::vector<BYTE>& rgba, int* width, int* height);
    // Draws the surface's picture into the default framebuffer of a window context, placed by the
    // scaling mode (on the surface's mode pixels) with black borders.
    void ShowInWindow(ddraw::Surface& surface, int drawableWidth, int drawableHeight,
                      host::Scaling scaling, host::Filtering filtering);
    // Deletes GL objects of surfaces that went away in the meantime.
    void CollectGarbage() { garbage_->Empty(); }

    // The context is gone or cannot be made current: the destructor then makes no GL calls
    // (the objects go with the context).
    void Abandon() { abandoned_ = true; }

private:
    RenderTarget* TargetOf(ddraw::Surface& surface);
    TargetShape ShapeFor(const ddraw::Surface& surface) const;
    // GL state the block writer changed is set again by the next draw.
    void ForgetGlState();
    // The world to GL clip space transform of the state.
    static D3DMATRIX ClipTransform(const d3d::DeviceState& state);
    bool BindTarget();
    const ShaderProgram* ProgramFor(const d3d::DeviceState& state);
    void UploadTransforms(const d3d::DeviceState& state);
    void UploadMaterial(const d3d::DeviceState& state);
    void UploadLights(const d3d::DeviceState& state);
    void ApplyRenderStates(const d3d::DeviceState& state);
    void ApplyViewport(const d3d::DeviceState& state);
    void ApplySampler(const d3d::DeviceState& state);
    void SetDepthMask(bool write);
    void SetScissor(bool enabled);
    // Sets GL state only where it differs from the shadow: a browser pays for every call.
    void SetEnabled(GLenum capability, int* shadow, bool enabled);
    void SetBlendFunc(GLenum source, GLenum destination);
    void SetDepthFunc(GLenum func);
    void SetCulledFace(GLenum face);

    std::shared_ptr<GarbageBin> garbage_;
    GLuint vertexArray_ = 0;
    GLuint sampler_ = 0;
    std::unique_ptr<StreamBuffer> vertices_;
    std::unique_ptr<StreamBuffer> indices_;
    std::vector<std::pair<ShaderKey, ShaderProgram>> programs_;
    // What each program (by name) last received of the material and the lights, so that a draw
    // sends them only when they changed: the show sets them again before most draws, and a
    // browser pays for every call.
    struct SentUniforms {
        static constexpr size_t MATERIAL_VALUES = 10;
        static constexpr size_t LIGHT_VALUES = 3 + SHADER_MAX_LIGHTS * 19;
        std::array<float, MATERIAL_VALUES> material{};
        bool materialSent = false;
        std::array<float, LIGHT_VALUES> lights{};
        size_t lightValues = 0; // 0: none sent yet
    };
    std::unordered_map<GLuint, SentUniforms> sent_;
    std::vector<BYTE> scratch_;
    TargetPolicy policy_;
    BlockWriter blockWriter_;

    // What the next draw must send (d3d::DirtyFlags), and the current choices.
    DWORD pending_ = d3d::DIRTY_ALL;
    ddraw::Surface* target_ = nullptr;
    RenderTarget* targetData_ = nullptr;
    const ShaderProgram* program_ = nullptr;
    ShaderKey key_{};
    int lightSlots_[SHADER_MAX_LIGHTS]{}; // device light index of each shader light

    // GL state shadow.
    GLuint boundFramebuffer_ = 0xFFFFFFFF;
    GLuint usedProgram_ = 0xFFFFFFFF;
    GLuint boundTexture_ = 0xFFFFFFFF;
    int depthMask_ = -1;
#if defined(LUMENFALL_GLES)
    GLintptr attributesAt_ = 0; // where the vertex attributes point in the stream
#endif
    int scissor_ = -1;
    int blend_ = -1;
    int depthTest_ = -1;
    int culling_ = -1;
    GLenum blendSource_ = GL_NONE;
    GLenum blendDestination_ = GL_NONE;
    GLenum depthFunc_ = GL_NONE;
    GLenum culledFace_ = GL_NONE;
    bool abandoned_ = false;
};

} // namespace gl
