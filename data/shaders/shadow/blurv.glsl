// The shadow map blurred along its columns (see blur.glsl).
#define TAP vec2(0.0, 1.0 / TextureSize.y)
#include "shadow/blur.glsl"
