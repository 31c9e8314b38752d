// Memory pictures into a window context's default framebuffer.
#include "platform/gl/window_picture.h"

#include "platform/gl/gl_api.h"

namespace gl {

namespace {

// What the picture's upload and blit change, read before and put back after.
class SavedState {
public:
    SavedState() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer_);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit_);
        glActiveTexture(GL_TEXTURE1);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment_);
        scissor_ = glIsEnabled(GL_SCISSOR_TEST);
        glGetBooleanv(GL_COLOR_WRITEMASK, mask_);
    }
    ~SavedState() {
        glColorMask(mask_[0], mask_[1], mask_[2], mask_[3]);
        if (scissor_ != GL_FALSE) {
            glEnable(GL_SCISSOR_TEST);
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment_);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
        glActiveTexture(static_cast<GLenum>(unit_));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer_));
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    GLint drawFramebuffer_ = 0, readFramebuffer_ = 0, unit_ = 0, texture_ = 0, alignment_ = 4;
    GLboolean scissor_ = GL_FALSE;
    GLboolean mask_[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
};

} // namespace

WindowPicture::~WindowPicture() {
    if (context_ != nullptr && texture_ != 0 && context_->MakeCurrent()) {
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteTextures(1, &texture_);
    }
}

void WindowPicture::Show(host::GlContext& context, const host::PresentedFrame& frame) {
    int drawableWidth = 0, drawableHeight = 0;
    context.DrawableSize(&drawableWidth, &drawableHeight);
    if (frame.rgba == nullptr || frame.width <= 0 || frame.height <= 0 ||
        frame.pitch < frame.width * 4 || frame.pitch % 4 != 0 || drawableWidth <= 0 ||
        drawableHeight <= 0 || !context.MakeCurrent()) {
        return;
    }
    context_ = &context;
    SavedState saved;
    if (texture_ == 0) {
        glGenTextures(1, &texture_);
        glGenFramebuffers(1, &framebuffer_);
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, frame.pitch / 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, frame.width, frame.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, frame.rgba);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const host::PresentationOptions& options = host::GetPresentationOptions();
    const host::Letterbox box = host::PlaceFrame(frame, drawableWidth, drawableHeight);
    // The picture's first row is its top, GL's its bottom: the blit turns it over.
    const int y0 = drawableHeight - box.y - box.height;
    glBlitFramebuffer(0, 0, frame.width, frame.height, box.x, y0 + box.height, box.x + box.width,
                      y0, GL_COLOR_BUFFER_BIT,
                      options.filtering == host::Filtering::NEAREST ? GL_NEAREST : GL_LINEAR);
}

} // namespace gl
