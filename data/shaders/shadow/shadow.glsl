// The ground's shadow term from the variance shadow map, drawn before the ground's colour passes
// multiply onto it. The map is a float texture, which the driver does not filter, so the filter
// is done here (EMU: four texels mixed by hand). The ground lies on the depth its first pass laid,
// so it takes the fixed-function position (ftransform) to land on exactly the same depth.
uniform mat4 WVP;
uniform mat4 WVPS;
uniform mat4 W;
uniform mat4 S;
uniform float Far;
uniform float Near;
uniform vec2 TextureSize;
uniform vec3 CameraPosition;
uniform sampler2D ShadowMap;

varying vec4 shadowCoord;
varying float lightW;
varying vec3 worldPosition;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = ftransform();
    shadowCoord = S * gl_Vertex;
    lightW = (WVPS * gl_Vertex).w;
    worldPosition = (W * gl_Vertex).xyz;
}
#endif

#ifdef FRAGMENT_SHADER
// How dark a shadow is: the sky still lights what the sun does not reach.
const float kShadowLight = 0.45;
// Shadows fade out from this distance to the player's camera to the next one, so the edge of
// the shadow map never shows.
const float kFadeStart = 70.0;
const float kFadeEnd = 110.0;

// The casters' smallest spread of depth, in world units: enough to keep a flat caster's own
// face from shadowing itself, small enough that a caster 1 unit above the ground casts a full
// shadow.
const float kMinSpread = 0.25;

// The casters' blurred moments at uv (xy) and how much of the map there is covered by casters
// (z), filtered by hand from the four texels round it: the coverage mixed as it is, the moments
// weighted by it, as the blurs do. The taps stay inside the map (beyond it the border colour
// would read as a caster at the light).
vec3 casters(vec2 uv)
{
    vec2 position = uv * TextureSize - 0.5;
    vec2 f = fract(position);
    vec2 texel = 1.0 / TextureSize;
    vec2 low = (floor(position) + 0.5) * texel;
    vec2 first = clamp(low, 0.5 * texel, 1.0 - 0.5 * texel);
    vec2 second = clamp(low + texel, 0.5 * texel, 1.0 - 0.5 * texel);
    vec3 t00 = texture2D(ShadowMap, first).xyz;
    vec3 t10 = texture2D(ShadowMap, vec2(second.x, first.y)).xyz;
    vec3 t01 = texture2D(ShadowMap, vec2(first.x, second.y)).xyz;
    vec3 t11 = texture2D(ShadowMap, second).xyz;
    vec4 w = vec4((1.0 - f.x) * (1.0 - f.y), f.x * (1.0 - f.y), (1.0 - f.x) * f.y, f.x * f.y);
    w *= 1.0 - vec4(t00.z, t10.z, t01.z, t11.z);
    float covered = w.x + w.y + w.z + w.w;
    vec2 m = t00.xy * w.x + t10.xy * w.y + t01.xy * w.z + t11.xy * w.w;
    return covered > 0.0 ? vec3(m / covered, covered) : vec3(1.0, 1.0, 0.0);
}

// How much of the sun the casters themselves let through to a point at this depth: the
// Chebyshev bound of their moments.
float litPast(vec2 m, float depth)
{
    if (depth <= m.x)
        return 1.0;
    float spread = kMinSpread / (Far - Near);
    float variance = max(m.y - m.x * m.x, spread * spread);
    float d = depth - m.x;
    float p = variance / (variance + d * d);
    // Cut the faint tail of the bound: no light bleeding where two casters overlap.
    return clamp((p - 0.3) / 0.7, 0.0, 1.0);
}

// 1 in full light, 0 in full shadow. Whatever lies outside the map (or behind the light) is lit.
// Where the casters cover only part of the footprint (a shadow's soft edge) the uncovered part is
// lit.
float lit()
{
    if (shadowCoord.w <= 0.0)
        return 1.0;
    vec2 uv = shadowCoord.xy / shadowCoord.w;
    if (uv.x < 0.0 || uv.x > 1.0 || uv.y < 0.0 || uv.y > 1.0)
        return 1.0;
    float depth = (lightW - Near) / (Far - Near);
    vec3 c = casters(uv);
    return 1.0 - c.z * (1.0 - litPast(c.xy, depth));
}

vec4 term(float fade)
{
    float light = mix(kShadowLight, 1.0, max(lit(), fade));
    return vec4(light, light, light, 1.0);
}

void main_f_EMU()
{
    float distance = length(worldPosition - CameraPosition);
    gl_FragColor = term(smoothstep(kFadeStart, kFadeEnd, distance));
}

// NF: no fade, the shadows reach the edge of the map.
void main_f_NF_EMU()
{
    gl_FragColor = term(0.0);
}
#endif
