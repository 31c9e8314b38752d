// The OpenGL entry points the backend draws with. The desktop build reaches OpenGL 3.3 core
// through epoxy; the browser build (LUMENFALL_GLES) reaches WebGL 2, which is OpenGL ES 3.0,
// through Emscripten's GLES 3 headers. Where the two spell a call differently, the spelling both
// understand is wrapped here; what ES lacks altogether is decided where it is used.
#pragma once

#if defined(LUMENFALL_GLES)
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

namespace gl {

// Whether this build draws on OpenGL ES (WebGL 2) rather than desktop OpenGL.
#if defined(LUMENFALL_GLES)
constexpr bool GL_IS_ES = true;
#else
constexpr bool GL_IS_ES = false;
#endif

// Texture addressing for D3DTADDRESS_BORDER. ES 3.0 has no border colour; the edge texel is the
// nearest it has.
#if defined(LUMENFALL_GLES)
constexpr GLenum BORDER_ADDRESSING = GL_CLAMP_TO_EDGE;
#else
constexpr GLenum BORDER_ADDRESSING = GL_CLAMP_TO_BORDER;
#endif

// Pixel transfers in BGRA byte order, the order of XRGB8888 surfaces in memory. ES has none
// (callers check GL_IS_ES first).
#if defined(LUMENFALL_GLES)
constexpr GLenum BGRA_FORMAT = GL_NONE;
#else
constexpr GLenum BGRA_FORMAT = GL_BGRA;
#endif

// ES has only the single-precision forms; desktop 3.3 core is sure to have the double ones.
inline void SetDepthRange(float nearZ, float farZ) {
#if defined(LUMENFALL_GLES)
    glDepthRangef(nearZ, farZ);
#else
    glDepthRange(nearZ, farZ);
#endif
}

inline void SetClearDepth(float z) {
#if defined(LUMENFALL_GLES)
    glClearDepthf(z);
#else
    glClearDepth(z);
#endif
}

// Whether glGetInternalformativ can say which sample counts a format takes: core in ES 3.0 and
// in OpenGL 4.2, an extension before that.
inline bool HasInternalFormatQuery() {
#if defined(LUMENFALL_GLES)
    return true;
#else
    return epoxy_gl_version() >= 42 || epoxy_has_gl_extension("GL_ARB_internalformat_query");
#endif
}

} // namespace gl
