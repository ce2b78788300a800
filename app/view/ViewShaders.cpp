#include "app/view/ViewShaders.h"

namespace kv::view {

// The light counts are spelled out in the arrays below; ViewShaders.h names
// the same numbers for the code that fills the uniforms.
static_assert(kMaxDirectionalLights == 6 && kMaxPointLights == 2);

const char* SceneVertexShader()
{
    return R"(
attribute highp vec3 aPosition;
attribute mediump vec3 aNormal;
attribute highp vec2 aTexCoord;

uniform highp mat4 uModelViewProjection;
uniform highp mat4 uModel;
uniform mediump mat3 uNormalMatrix;
uniform highp vec2 uTexScale;
uniform highp vec2 uTexOffset;
uniform mediump float uUnlit;
uniform mediump vec3 uAmbient;
// Directional lights: the unit direction towards the light, and its colour.
uniform mediump vec3 uToLight[6];
uniform mediump vec3 uLightColour[6];
uniform highp vec3 uPointPosition[2];
uniform mediump vec3 uPointColour[2];

varying highp vec2 vTexCoord;
varying mediump vec3 vFrontLight;
varying mediump vec3 vBackLight;

void main()
{
    gl_Position = uModelViewProjection * vec4(aPosition, 1.0);
    vTexCoord = aTexCoord * uTexScale + uTexOffset;
    if (uUnlit > 0.5) {
        vFrontLight = vec3(1.0);
        vBackLight = vec3(1.0);
        return;
    }
    highp vec3 world = (uModel * vec4(aPosition, 1.0)).xyz;
    mediump vec3 n = normalize(uNormalMatrix * aNormal);
    mediump vec3 front = uAmbient;
    mediump vec3 back = uAmbient;
    for (int i = 0; i < 6; ++i) {
        mediump float facing = dot(n, uToLight[i]);
        front += uLightColour[i] * max(facing, 0.0);
        back += uLightColour[i] * max(-facing, 0.0);
    }
    for (int i = 0; i < 2; ++i) {
        mediump float facing = dot(n, normalize(uPointPosition[i] - world));
        front += uPointColour[i] * max(facing, 0.0);
        back += uPointColour[i] * max(-facing, 0.0);
    }
    vFrontLight = front;
    vBackLight = back;
}
)";
}

const char* SceneFragmentShader()
{
    return R"(
uniform sampler2D uTexture;
uniform mediump float uTextured;
uniform mediump vec4 uBaseColour;
// Below this alpha a fragment is dropped (negative: never).
uniform mediump float uAlphaCutoff;
// 1 for blended materials; opaque ones write alpha 1.
uniform mediump float uBlended;

varying highp vec2 vTexCoord;
varying mediump vec3 vFrontLight;
varying mediump vec3 vBackLight;

void main()
{
    mediump vec4 colour = uBaseColour;
    if (uTextured > 0.5)
        colour *= texture2D(uTexture, vTexCoord);
    if (colour.a < uAlphaCutoff)
        discard;
    mediump vec3 light = gl_FrontFacing ? vFrontLight : vBackLight;
    gl_FragColor = vec4(min(colour.rgb * light, vec3(1.0)), uBlended > 0.5 ? colour.a : 1.0);
}
)";
}

}  // namespace kv::view
