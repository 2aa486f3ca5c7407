// The shadow map's moments blurred along its rows: soft shadow edges. The map is a float texture
// read without filtering, so every tap is one texel.
uniform vec2 TextureSize;
uniform sampler2D ScreenMap;

varying vec2 screenCoord;

void main_f()
{
    vec2 tap = vec2(1.0 / TextureSize.x, 0.0);
    vec4 sum = texture2D(ScreenMap, screenCoord) * 0.2941176;
    sum += (texture2D(ScreenMap, screenCoord - tap) + texture2D(ScreenMap, screenCoord + tap)) * 0.2352941;
    sum += (texture2D(ScreenMap, screenCoord - 2.0 * tap) + texture2D(ScreenMap, screenCoord + 2.0 * tap)) * 0.1176471;
    gl_FragColor = sum;
}
