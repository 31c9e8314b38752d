// Textures of texture surfaces: each surface gets a GL texture, uploaded from the surface's
// memory (converted to RGBA, palettes looked up) the first time it is drawn with and again
// whenever its content version moved (Unlock, Blt, ReleaseDC, palette changes).
#pragma once

#include <vector>

#include "platform/ddraw/surface.h"
#include "platform/gl/garbage.h"

namespace gl {

// The surface's texture, current, bound on texture unit 0. `owner` keys the texture among the
// surface's data (one per device); `scratch` is reused for the conversion. The context must be
// current.
GLuint BindSurfaceTexture(ddraw::Surface& surface, const void* owner, const GarbageLink& bin,
                          std::vector<BYTE>& scratch);

} // namespace gl
