// The glow: the blurred scene's bright parts laid over the sharp scene. Only what is brighter
// than the threshold glows, so the picture as a whole keeps its tones.
uniform sampler2D FirstMap;
uniform sampler2D SecondMap;

varying vec2 screenCoord;

const float kThreshold = 0.7;
const float kStrength = 0.8;

void main_f()
{
    vec4 scene = texture2D(FirstMap, screenCoord);
    vec3 blurred = texture2D(SecondMap, screenCoord).rgb;
    vec3 glow = max(blurred - vec3(kThreshold), vec3(0.0)) * (kStrength / (1.0 - kThreshold));
    gl_FragColor = vec4(scene.rgb + glow, 1.0);
}
