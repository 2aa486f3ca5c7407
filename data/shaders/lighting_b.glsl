// Sunlight on the ground, as a factor that multiplies onto the ground's colour already in the
// picture (the blend of its material). It lies on the depth the ground's first pass laid, so it
// takes the fixed-function position (ftransform) to land on exactly the same depth.
uniform mat4 WVP;
uniform mat4 tW;             // the world matrix, transposed
uniform mat4 iW;             // the normals' matrix (the world matrix's inverse, transposed)
uniform vec3 lightPosition;
uniform vec3 eyePosition;
uniform sampler2D DiffuseTexture;

varying vec3 worldPosition;
varying vec3 worldNormal;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = ftransform();
    worldPosition = (gl_Vertex * tW).xyz;
    worldNormal = mat3(iW) * gl_Normal;
}
#endif

#ifdef FRAGMENT_SHADER
const float kSky = 0.45;
const float kSun = 0.6;

void main_f()
{
    vec3 n = normalize(worldNormal);
    float sun = max(dot(n, normalize(lightPosition - worldPosition)), 0.0);
    float light = min(kSky + kSun * sun, 1.0);
    // Alpha 1: the blend material is alpha-tested and would drop alpha 0.
    gl_FragColor = vec4(light, light, light, 1.0);
}
#endif
