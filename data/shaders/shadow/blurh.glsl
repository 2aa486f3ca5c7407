// The shadow map blurred along its rows (see blur.glsl).
#define TAP vec2(1.0 / TextureSize.x, 0.0)
#include "shadow/blur.glsl"
