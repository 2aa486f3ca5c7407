// A render target drawn over the whole current target. The quad's corners arrive in clip space;
// its texture coordinates run top-down as on Direct3D, and YUV turns them the right way up for
// the target being read (v' = YUV.x * v + YUV.y). TexelOffset moves the corners by half a pixel
// where the driver samples texel corners.
uniform vec2 TexelOffset;
uniform ivec2 YUV;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = vec4(gl_Vertex.xy + TexelOffset, 0.0, 1.0);
    vec2 uv = gl_MultiTexCoord0.xy;
    screenCoord = vec2(uv.x, float(YUV.x) * uv.y + float(YUV.y));
}
#endif

#ifdef FRAGMENT_SHADER
void main_f()
{
    gl_FragColor = texture2D(ScreenMap, screenCoord);
}
#endif
