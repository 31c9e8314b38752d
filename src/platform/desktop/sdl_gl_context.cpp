// The window's own OpenGL context, through SDL.
#include "platform/desktop/sdl_gl_context.h"

#include <SDL.h>

#include "platform/desktop/refresh_pacing.h"
#include "platform/desktop/sdl_window.h"
#include "platform/gl/context.h"

namespace desktop {

namespace {

// The context attributes SDL reads when it makes a context. They are process-wide, so they are
// put back afterwards for whoever else makes contexts (the dialog's renderer).
class CoreProfileRequest {
public:
    CoreProfileRequest() {
        for (size_t i = 0; i < COUNT; ++i) {
            SDL_GL_GetAttribute(ATTRIBUTES[i], &saved_[i]);
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    }
    ~CoreProfileRequest() {
        for (size_t i = 0; i < COUNT; ++i) {
            SDL_GL_SetAttribute(ATTRIBUTES[i], saved_[i]);
        }
    }
    CoreProfileRequest(const CoreProfileRequest&) = delete;
    CoreProfileRequest& operator=(const CoreProfileRequest&) = delete;

private:
    static constexpr size_t COUNT = 4;
    static constexpr SDL_GLattr ATTRIBUTES[COUNT] = {
        SDL_GL_CONTEXT_MAJOR_VERSION, SDL_GL_CONTEXT_MINOR_VERSION, SDL_GL_CONTEXT_PROFILE_MASK,
        SDL_GL_CONTEXT_FLAGS};
    int saved_[COUNT]{};
};

class WindowContext final : public host::GlContext {
public:
    WindowContext(HWND owner, SDL_Window* window, SDL_GLContext context)
        : owner_(owner), window_(window), context_(context) {
        renderer_ = gl::CurrentRenderer();
    }
    ~WindowContext() override {
        if (SDL_GL_GetCurrentContext() == context_) {
            SDL_GL_MakeCurrent(WindowAlive() ? window_ : nullptr, nullptr);
        }
        SDL_GL_DeleteContext(context_);
    }

    bool MakeCurrent() override {
        // A device may outlive its window (a program that releases it after DestroyWindow);
        // then the SDL window is gone and must not be touched.
        if (!WindowAlive()) {
            return false;
        }
        if (SDL_GL_GetCurrentContext() == context_ && SDL_GL_GetCurrentWindow() == window_) {
            return true;
        }
        return SDL_GL_MakeCurrent(window_, context_) == 0;
    }

    bool DrawsInto(HWND window) const override {
        return WindowAlive() && SdlWindowOf(window) == window_;
    }

    void DrawableSize(int* width, int* height) const override {
        *width = *height = 0;
        if (WindowAlive()) {
            SDL_GL_GetDrawableSize(window_, width, height);
        }
    }

    void Swap(bool waitForRefresh) override {
        if (!WindowAlive()) {
            return;
        }
        const int interval = WaitsForRefresh(waitForRefresh) ? 1 : 0;
        if (interval != swapInterval_) {
            // A display that cannot synchronise keeps swapping at once; SDL says so and we go on.
            SDL_GL_SetSwapInterval(interval);
            swapInterval_ = interval;
        }
        SDL_GL_SwapWindow(window_);
        PacePresentation(window_, waitForRefresh);
    }

private:
    bool WindowAlive() const { return SdlWindowOf(owner_) == window_; }

    HWND owner_;
    SDL_Window* window_;
    SDL_GLContext context_;
    int swapInterval_ = -1;
};

} // namespace

std::unique_ptr<host::GlContext> CreateSdlGlContext(HWND window, std::string* failure) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (sdl == nullptr) {
        *failure = "the window has no native window to draw into";
        return nullptr;
    }
    if (!SdlWindowHasGl(window)) {
        *failure = "the window was made without OpenGL";
        return nullptr;
    }
    SDL_GLContext context = nullptr;
    {
        CoreProfileRequest request;
        context = SDL_GL_CreateContext(sdl);
    }
    if (context == nullptr) {
        *failure = std::string("no 3.3 core context on the window: ") + SDL_GetError();
        return nullptr;
    }
    return std::make_unique<WindowContext>(window, sdl, context);
}

std::string ProbeSdlGlRenderer() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return std::string();
    }
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    std::string renderer;
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window != nullptr) {
        SDL_GLContext context = nullptr;
        {
            CoreProfileRequest request;
            context = SDL_GL_CreateContext(window);
        }
        if (context != nullptr) {
            renderer = gl::CurrentRenderer();
            SDL_GL_MakeCurrent(window, nullptr);
            SDL_GL_DeleteContext(context);
        }
        SDL_DestroyWindow(window);
    }
    if (previousContext != nullptr) {
        SDL_GL_MakeCurrent(previousWindow, previousContext);
    }
    return renderer;
}

} // namespace desktop
