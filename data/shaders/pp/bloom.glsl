// The glow: the blurred bright part of the scene laid over the sharp scene. The shrinking copy
// kept only what is brighter than its threshold (by luminance, scaled to the full range), so the
// picture as a whole keeps its tones and hues and only really bright areas spill light around.
uniform sampler2D FirstMap;
uniform sampler2D SecondMap;

varying vec2 screenCoord;

const float kStrength = 0.3;

void main_f()
{
    vec3 scene = texture2D(FirstMap, screenCoord).rgb;
    // The quarter-size glow is read no nearer its edge than half its texel: the quad's textures
    // repeat, and the sky must not take the ground's glow from the other side. A glow texel spans
    // four screen pixels.
    vec2 inside = 2.0 * abs(vec2(dFdx(screenCoord.x), dFdy(screenCoord.y)));
    vec3 glow = texture2D(SecondMap, clamp(screenCoord, inside, 1.0 - inside)).rgb * kStrength;
    gl_FragColor = vec4(scene + glow, 1.0);
}
