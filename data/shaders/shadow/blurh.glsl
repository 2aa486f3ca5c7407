// The shadow map's moments blurred along its rows: soft shadow edges. The map is a float texture
// read without filtering, so every tap is one texel. Taps stop at the map's edge instead of
// wrapping round to the far side.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

vec4 tapAt(vec2 at)
{
    vec2 edge = 0.5 / TextureSize;
    return texture2D(ScreenMap, clamp(at, edge, 1.0 - edge));
}

void main_f()
{
    vec2 tap = vec2(1.0 / TextureSize.x, 0.0);
    vec4 sum = texture2D(ScreenMap, screenCoord) * 0.2941176;
    sum += (tapAt(screenCoord - tap) + tapAt(screenCoord + tap)) * 0.2352941;
    sum += (tapAt(screenCoord - 2.0 * tap) + tapAt(screenCoord + 2.0 * tap)) * 0.1176471;
    gl_FragColor = sum;
}
