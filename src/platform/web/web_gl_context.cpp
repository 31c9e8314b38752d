#include "platform/web/web_gl_context.h"

#include <cstdlib>
#include <functional>

#include <emscripten.h>
#include <emscripten/html5_webgl.h>

#include "platform/web/web_host.h"
#include "platform/web/web_page.h"
#include "platform/web/web_window_backend.h"
#include "platform/win32/user.h"

namespace web {

namespace {

std::function<void()>& Observer() {
    static std::function<void()> observer;
    return observer;
}

// clang-format off
// WebGL's own GL_RENDERER is a fixed "WebKit WebGL"; the real name is behind an extension.
EM_JS(char*, JsRendererName, (), {
    const gl = GLctx;
    const info = gl && gl.getExtension("WEBGL_debug_renderer_info");
    const name = info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL)
                      : gl ? gl.getParameter(gl.RENDERER) : "";
    return allocateUTF8(String(name || ""));
});

// Reading a pixel back waits until WebGL has drawn everything before it; a browser's finish()
// need not.
EM_JS(void, JsWaitForDrawing, (), {
    GLctx.readPixels(0, 0, 1, 1, GLctx.RGBA, GLctx.UNSIGNED_BYTE, new Uint8Array(4));
});
// clang-format on

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE CanvasHandle() {
    static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = [] {
        EmscriptenWebGLContextAttributes attributes;
        emscripten_webgl_init_context_attributes(&attributes);
        attributes.majorVersion = 2;
        attributes.minorVersion = 0;
        // The program draws into its own framebuffers and shows them scaled, so the canvas needs
        // no depth, stencil, alpha or smoothing of its own.
        attributes.alpha = EM_FALSE;
        attributes.depth = EM_FALSE;
        attributes.stencil = EM_FALSE;
        attributes.antialias = EM_FALSE;
        attributes.premultipliedAlpha = EM_FALSE;
        attributes.preserveDrawingBuffer = EM_FALSE;
        attributes.failIfMajorPerformanceCaveat = EM_FALSE;
        return emscripten_webgl_create_context("#canvas", &attributes);
    }();
    return handle;
}

bool MakeCanvasCurrent(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle) {
    return emscripten_webgl_get_current_context() == handle ||
           emscripten_webgl_make_context_current(handle) == EMSCRIPTEN_RESULT_SUCCESS;
}

class CanvasContext final : public host::GlContext {
public:
    CanvasContext(HWND window, EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle)
        : window_(window), handle_(handle) {
        renderer_ = CanvasRendererName();
    }

    bool MakeCurrent() override { return MakeCanvasCurrent(handle_); }

    // The canvas stays with the window that got it until that window is destroyed.
    bool DrawsInto(HWND window) const override {
        return window != nullptr && window == window_ && IsWindow(window) != FALSE;
    }

    void DrawableSize(int* width, int* height) const override { FitCanvasToPage(width, height); }

    // The browser shows the canvas once the program gives it its turn; waiting for the next
    // animation frame paces the show to the display, as a swap with vertical sync would.
    void Swap(bool) override {
        static bool first = true;
        if (first) {
            SetPageState("playing");
            first = false;
        }
        if (Observer()) {
            JsWaitForDrawing();
            Observer()();
        }
        WaitForAnimationFrame();
    }

private:
    HWND window_;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle_;
};

} // namespace

void SetFrameObserver(std::function<void()> observer) {
    Observer() = std::move(observer);
}

std::unique_ptr<host::GlContext> CreateCanvasContext(HWND window, std::string* failure) {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = CanvasHandle();
    if (handle <= 0 || !MakeCanvasCurrent(handle)) {
        *failure = "the browser gives the canvas no WebGL 2 context";
        return nullptr;
    }
    return std::make_unique<CanvasContext>(window, handle);
}

std::string CanvasRendererName() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = CanvasHandle();
    if (handle <= 0 || !MakeCanvasCurrent(handle)) {
        return std::string();
    }
    char* name = JsRendererName();
    std::string result = name != nullptr ? name : "";
    free(name);
    return result;
}

std::string HardwareName(const std::string& renderer) {
    const std::string layer = "ANGLE (";
    if (renderer.rfind(layer, 0) != 0) {
        return renderer;
    }
    const size_t first = renderer.find(", ", layer.size());
    if (first == std::string::npos) {
        return renderer;
    }
    const size_t start = first + 2;
    const size_t end = renderer.find(", ", start);
    std::string part = renderer.substr(start, end == std::string::npos ? end : end - start);
    // "Vulkan 1.3.0 (SwiftShader Device (Subzero) (0x0000C0DE))": a graphics interface whose
    // device is in brackets too.
    const size_t open = part.find(" (");
    if (open != std::string::npos && part.rfind("Vulkan", 0) == 0) {
        const size_t inner = part.find(" (", open + 2);
        part = part.substr(open + 2,
                           (inner == std::string::npos ? part.size() - 1 : inner) - (open + 2));
    }
    return part;
}

} // namespace web
