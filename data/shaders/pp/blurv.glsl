// The quarter-size copy of the scene blurred along its columns for the glow. The taps sit between
// texels, so bilinear filtering reads two texels with each. Taps stop at the picture's edge: the
// quad's textures repeat, and the sky must not take the ground's glow from the other side.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

vec4 tap(vec2 at)
{
    vec2 inside = 0.5 / TextureSize;
    return texture2D(ScreenMap, clamp(at, inside, 1.0 - inside));
}

void main_f()
{
    vec2 texel = vec2(0.0, 1.0 / TextureSize.y);
    vec4 sum = texture2D(ScreenMap, screenCoord) * 0.2270270;
    sum += (tap(screenCoord - 1.3846154 * texel) +
            tap(screenCoord + 1.3846154 * texel)) * 0.3162162;
    sum += (tap(screenCoord - 3.2307692 * texel) +
            tap(screenCoord + 3.2307692 * texel)) * 0.0702703;
    gl_FragColor = sum;
}
