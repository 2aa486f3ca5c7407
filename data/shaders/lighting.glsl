// Sunlight per pixel for the scenery and the cars: the texture lit by the sun from lightPosition,
// with the sky's light in the shade and a little shine towards the eye. Sky and sun add up to
// the texture itself in full sun, and the shine only lifts a face towards that: a lit surface
// never leaves its texture's range, so bright textures keep their detail instead of clipping.
uniform mat4 WVP;
uniform mat4 tW;             // the world matrix, transposed
uniform mat4 iW;             // the normals' matrix (the world matrix's inverse, transposed)
uniform vec3 lightPosition;
uniform vec3 eyePosition;
uniform sampler2D DiffuseTexture;

varying vec2 texCoord;
varying vec3 worldPosition;
varying vec3 worldNormal;

#ifdef VERTEX_SHADER
void main_v()
{
    gl_Position = WVP * gl_Vertex;
    texCoord = gl_MultiTexCoord0.xy;
    worldPosition = (gl_Vertex * tW).xyz;
    worldNormal = mat3(iW) * gl_Normal;
}
#endif

#ifdef FRAGMENT_SHADER
const float kSky = 0.45;
const float kSun = 0.55;
const float kShine = 0.15;

void main_f()
{
    vec4 colour = texture2D(DiffuseTexture, texCoord);
    vec3 n = normalize(worldNormal);
    // Two-sided leaves and fences are lit on the side the eye sees.
    if (!gl_FrontFacing)
        n = -n;
    vec3 toLight = normalize(lightPosition - worldPosition);
    vec3 toEye = normalize(eyePosition - worldPosition);
    float sun = max(dot(n, toLight), 0.0);
    float shine = sun > 0.0 ? pow(max(dot(reflect(-toLight, n), toEye), 0.0), 24.0) : 0.0;
    gl_FragColor = vec4(colour.rgb * min(kSky + kSun * sun + kShine * shine, 1.0), colour.a);
}
#endif
