// The ground's colour: three detail textures mixed by the splat map (red, green and blue shares).
// The green one is the rock of the slopes: it is projected along the three world axes and mixed
// by the surface's slope (triplanar), so that steep faces are not stretched; the other two lie on
// the flat and the track and are projected from above only. The ground lies on the depth its
// first pass laid, so it takes the fixed-function position (ftransform) to land on exactly the
// same depth.
#ifdef FRAGMENT_SHADER
#extension GL_ARB_shader_texture_lod : require
#endif
uniform mat4 WVP;
uniform mat4 W;
uniform vec3 Resolution;     // metres per repeat of each detail texture
uniform vec3 Blending;       // axis share dropped, sharpness of the axis mix, 1 / width of a seam
uniform sampler2D S0;        // the splat map over the whole ground
uniform sampler2D C00;
uniform sampler2D C01;
uniform sampler2D C02;

varying vec2 splatCoord;
varying vec3 worldPosition;
varying vec3 worldNormal;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = ftransform();
    splatCoord = gl_MultiTexCoord0.xy;
    worldPosition = (W * gl_Vertex).xyz;
    worldNormal = mat3(W) * gl_Normal;
}
#endif

#ifdef FRAGMENT_SHADER

// Side shares this small are left out (and the rest scaled back up to the whole).
const float kLeastSide = 0.01;

vec3 axisShares()
{
    vec3 n = abs(normalize(worldNormal));
    vec3 w = pow(max(n - vec3(Blending.x), vec3(0.0)), vec3(Blending.y));
    return w / max(w.x + w.y + w.z, 0.0001);
}

// The slope texture along the three axes. Its side projections are read only where a slope shows
// them, so they are read with gradients taken outside the branch: implicit ones are undefined
// there.
vec3 triplanar(sampler2D map, float metres, vec3 axes)
{
    vec3 p = worldPosition / metres;
    vec2 dxSide = dFdx(p.zy), dySide = dFdy(p.zy);
    vec2 dxFront = dFdx(p.xy), dyFront = dFdy(p.xy);
    vec3 kept = vec3(axes.x > kLeastSide ? axes.x : 0.0, axes.y, axes.z > kLeastSide ? axes.z : 0.0);
    kept /= kept.x + kept.y + kept.z;
    vec3 colour = texture2D(map, p.xz).rgb * kept.y;
    if (kept.x > 0.0)
        colour += texture2DGradARB(map, p.zy, dxSide, dySide).rgb * kept.x;
    if (kept.z > 0.0)
        colour += texture2DGradARB(map, p.xy, dxFront, dyFront).rgb * kept.z;
    return colour;
}

float brightness(vec3 c)
{
    return dot(c, vec3(0.299, 0.587, 0.114));
}

void main_f()
{
    vec3 axes = axisShares();
    vec3 share = texture2D(S0, splatCoord).rgb;
    vec3 c0 = texture2D(C00, worldPosition.xz / Resolution.x).rgb;
    vec3 c1 = triplanar(C01, Resolution.y, axes);
    vec3 c2 = texture2D(C02, worldPosition.xz / Resolution.z).rgb;
    // Where two textures meet, the brighter grains of each win: a crisp, natural seam instead of
    // a smear. The seam is 1 / Blending.z of the splat map's range wide.
    vec3 height = share + 0.2 * vec3(brightness(c0), brightness(c1), brightness(c2));
    float top = max(height.x, max(height.y, height.z)) - 1.0 / Blending.z;
    vec3 w = max(height - vec3(top), vec3(0.0));
    w /= max(w.x + w.y + w.z, 0.0001);
    // Alpha 1: the blending variant multiplies onto the shadow term and is alpha-tested.
    gl_FragColor = vec4(c0 * w.x + c1 * w.y + c2 * w.z, 1.0);
}
#endif
