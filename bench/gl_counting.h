// Counting stand-in for the plug-in's OpenGL calls (see gl_counting.cpp).
#pragma once

namespace gl_counting {

// Off: calls are only counted, nothing is rasterised.
extern bool forward;
// Calls made from inside the located module since the last reset.
extern long long module_calls;

// Finds the loaded module whose path contains `file_name`; its calls are the
// ones counted.
bool locate_module(const char* file_name);

}  // namespace gl_counting
