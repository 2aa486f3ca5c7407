// The shadow map blurred along one direction (TAP, one texel's step, defined by the file that
// includes this one): soft shadow edges. The map is a float texture read without filtering, so
// every tap is one texel. Taps stop at the map's edge instead of wrapping round to the far side.
// The casters' coverage (1 minus the map's third channel) is blurred as it is, which makes the
// ramp at a shadow's edge; the depth moments are the mean of the casters' alone, each texel
// weighted by how much of it is covered, so an empty texel never pushes a caster behind the
// ground. A texel no caster reaches stays empty (1 in every channel). Three taps each way: the
// shadow term's own filter of four texels widens the ramp further.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

vec3 sum;

void add(vec2 at, float w)
{
    vec2 edge = 0.5 / TextureSize;
    vec3 texel = texture2D(ScreenMap, clamp(at, edge, 1.0 - edge)).xyz;
    float covered = w * (1.0 - texel.z);
    sum += vec3(texel.xy * covered, covered);
}

void main_f()
{
    vec2 tap = TAP;
    sum = vec3(0.0);
    add(screenCoord, 0.5);
    add(screenCoord - tap, 0.25);
    add(screenCoord + tap, 0.25);
    gl_FragColor = sum.z > 0.0 ? vec4(sum.xy / sum.z, 1.0 - sum.z, 1.0) : vec4(1.0);
}
