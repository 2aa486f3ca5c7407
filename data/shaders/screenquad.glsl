// A render target drawn over the whole current target. The quad's corners arrive in clip space;
// its texture coordinates run top-down as on Direct3D, and YUV turns them the right way up for
// the target being read (v' = YUV.x * v + YUV.y). TexelOffset moves the corners by half a pixel
// where the driver samples texel corners.
//
// The quad is drawn twice, the second time from its mesh buffer, whose corners are blue; only
// the first draw lands on the target, the second is placed wholly outside the clip volume, so a
// screen pass costs one fill of the target instead of two and the picture stays the same.
//
// The pixel stage is the glow's shrinking copy: each pixel of the quarter-size target takes the
// mean of its whole 4 x 4 block of the scene (four bilinear taps, each the mean of 2 x 2 texels),
// so a thin bright line counts the same wherever it lies in its block, and keeps only the part
// brighter than the threshold, judged by luminance so that a hue stays the hue it was. The result
// is scaled to the full 8-bit range; the bloom pass scales it back.
uniform vec2 TexelOffset;
uniform ivec2 YUV;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

#ifdef VERTEX_SHADER
void main_v()
{
    bool second = gl_Color.b > 0.5 && gl_Color.r < 0.5;
    gl_Position = second ? vec4(3.0, 3.0, 0.0, 1.0) : vec4(gl_Vertex.xy + TexelOffset, 0.0, 1.0);
    vec2 uv = gl_MultiTexCoord0.xy;
    screenCoord = vec2(uv.x, float(YUV.x) * uv.y + float(YUV.y));
}
#endif

#ifdef FRAGMENT_SHADER
const float kThreshold = 0.8;

vec3 brightPart(vec3 c)
{
    float luminance = dot(c, vec3(0.2126, 0.7152, 0.0722));
    return c * (max(luminance - kThreshold, 0.0) / (max(luminance, 0.0001) * (1.0 - kThreshold)));
}

void main_f()
{
    // A target pixel spans four source texels each way; a quarter of that step is one texel.
    vec2 texel = 0.25 * vec2(dFdx(screenCoord.x), dFdy(screenCoord.y));
    vec3 block = texture2D(ScreenMap, screenCoord + vec2(-texel.x, -texel.y)).rgb;
    block += texture2D(ScreenMap, screenCoord + vec2(texel.x, -texel.y)).rgb;
    block += texture2D(ScreenMap, screenCoord + vec2(-texel.x, texel.y)).rgb;
    block += texture2D(ScreenMap, screenCoord + vec2(texel.x, texel.y)).rgb;
    gl_FragColor = vec4(min(brightPart(0.25 * block), vec3(1.0)), 1.0);
}
#endif
