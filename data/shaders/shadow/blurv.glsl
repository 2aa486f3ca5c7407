// The shadow map's moments blurred along its columns: soft shadow edges. The map is a float texture
// read without filtering, so every tap is one texel. Taps stop at the map's edge instead of
// wrapping round to the far side. Empty texels (depth 1, nothing drawn there) take no part in a
// caster's mean: mixed in, they would push the edge of every shadow behind the ground and shrink it.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

vec4 sum;
float weight;

void add(vec2 at, float w)
{
    vec2 edge = 0.5 / TextureSize;
    vec4 moments = texture2D(ScreenMap, clamp(at, edge, 1.0 - edge));
    if (moments.x < 1.0) {
        sum += moments * w;
        weight += w;
    }
}

void main_f()
{
    vec2 tap = vec2(0.0, 1.0 / TextureSize.y);
    sum = vec4(0.0);
    weight = 0.0;
    add(screenCoord, 0.2941176);
    add(screenCoord - tap, 0.2352941);
    add(screenCoord + tap, 0.2352941);
    add(screenCoord - 2.0 * tap, 0.1176471);
    add(screenCoord + 2.0 * tap, 0.1176471);
    gl_FragColor = weight > 0.0 ? sum / weight : vec4(1.0);
}
