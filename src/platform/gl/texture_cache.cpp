// Texture uploads from surfaces.
#include "platform/gl/texture_cache.h"

#include "platform/ddraw/rgba_pixels.h"

namespace gl {

namespace {

class SurfaceTexture final : public ddraw::SurfaceData {
public:
    explicit SurfaceTexture(GarbageLink bin) : bin_(std::move(bin)) { glGenTextures(1, &name); }
    ~SurfaceTexture() override {
        if (auto bin = bin_.lock()) {
            bin->textures.push_back(name);
        }
    }

    bool Orphaned() const { return bin_.expired(); }

    GLuint name = 0;
    uint64_t version = 0; // 0: never uploaded
    int width = 0;
    int height = 0;

private:
    GarbageLink bin_;
};

} // namespace

GLuint BindSurfaceTexture(ddraw::Surface& surface, const void* owner, const GarbageLink& bin,
                          std::vector<BYTE>& scratch) {
    auto* texture = static_cast<SurfaceTexture*>(surface.FindData(owner));
    // Data left by a renderer that is gone (another may now live at the same address) is stale.
    if (texture == nullptr || texture->Orphaned()) {
        auto made = std::make_unique<SurfaceTexture>(bin);
        texture = made.get();
        surface.SetData(owner, std::move(made));
    }
    glBindTexture(GL_TEXTURE_2D, texture->name);
    // A shell (a surface whose memory went with its primary) keeps whatever it had.
    if (texture->version != surface.ContentVersion() && surface.HasPixels()) {
        surface.SyncForRead();
        ddraw::SurfaceToRgba(surface, ddraw::AlphaRule::FROM_PIXELS, ddraw::RowOrder::TOP_DOWN,
                             scratch);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        if (texture->width == surface.Width() && texture->height == surface.Height()) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, surface.Width(), surface.Height(), GL_RGBA,
                            GL_UNSIGNED_BYTE, scratch.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, surface.Width(), surface.Height(), 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, scratch.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            texture->width = surface.Width();
            texture->height = surface.Height();
        }
        texture->version = surface.ContentVersion();
    }
    return texture->name;
}

} // namespace gl
