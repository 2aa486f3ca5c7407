// The shadow map: what the light camera sees, as the first two moments of its depth (a variance
// shadow map), and in the third channel how empty the texel is. Depth runs linearly from 0 at the
// light camera's near plane to 1 at its far plane. The map is cleared to 1 in every channel, so a
// texel nothing was drawn into lies behind everything, is wholly empty and shadows nothing; a
// caster writes 0 there. The blurs carry that channel along, so that the edge of a shadow comes
// out as a ramp of the casters' coverage instead of as a caster pushed behind the ground.
uniform mat4 WVP;
uniform sampler2D DiffuseTexture;

varying vec2 texCoord;
varying float lightDepth;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = WVP * gl_Vertex;
    texCoord = gl_MultiTexCoord0.xy;
    // The light camera's projection gives clip z = far * (w - near) / (far - near); its far
    // value comes back from the projection the camera has just set.
    float a = gl_ProjectionMatrix[2][2];
    float b = gl_ProjectionMatrix[3][2];
    lightDepth = gl_Position.z * (1.0 - a) / b;
}
#endif

#ifdef FRAGMENT_SHADER
vec4 moments()
{
    // The depth's slope across the pixel widens the variance: steep faces do not flicker.
    float dx = dFdx(lightDepth);
    float dy = dFdy(lightDepth);
    return vec4(lightDepth, lightDepth * lightDepth + 0.25 * (dx * dx + dy * dy), 0.0, 1.0);
}

void main_f()
{
    gl_FragColor = moments();
}

// Leaves and fences: only the opaque part of the texture casts a shadow.
void main_f_Alpha()
{
    if (texture2D(DiffuseTexture, texCoord).a < 0.5)
        discard;
    gl_FragColor = moments();
}
#endif
