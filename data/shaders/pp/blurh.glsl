// The quarter-size copy of the scene blurred along its rows for the glow. The taps sit between
// texels, so bilinear filtering reads two texels with each.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

void main_f()
{
    vec2 texel = vec2(1.0 / TextureSize.x, 0.0);
    vec4 sum = texture2D(ScreenMap, screenCoord) * 0.2270270;
    sum += (texture2D(ScreenMap, screenCoord - 1.3846154 * texel) +
            texture2D(ScreenMap, screenCoord + 1.3846154 * texel)) * 0.3162162;
    sum += (texture2D(ScreenMap, screenCoord - 3.2307692 * texel) +
            texture2D(ScreenMap, screenCoord + 3.2307692 * texel)) * 0.0702703;
    gl_FragColor = sum;
}
