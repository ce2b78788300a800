#pragma once
// The view's one shader pair, in the GLSL both OpenGL 2.1 and OpenGL ES 2.0
// accept. Lighting is per vertex: an ambient term plus Lambert terms for up to
// kMaxDirectionalLights lights at infinity and kMaxPointLights lights without
// falloff, computed for the front and the back of the surface so that a
// double-sided leaf is lit on the side the camera sees.
namespace kv::view {

inline constexpr int kMaxDirectionalLights = 6;
inline constexpr int kMaxPointLights = 2;

const char* SceneVertexShader();
const char* SceneFragmentShader();

}  // namespace kv::view
