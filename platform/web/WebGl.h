// WebGL 2 under the names the OpenGL renderer uses: OpenGL ES 3.0's functions, and the answers epoxy gives on the
// desktop for a context that has what the renderer needs.
#pragma once
#include <GLES3/gl3.h>

inline int epoxy_gl_version() { return 30; }
inline int epoxy_glsl_version() { return 300; }
inline bool epoxy_has_gl_extension(const char*) { return true; }
