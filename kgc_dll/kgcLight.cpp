#include "kgcLight.h"

#include <GL/gl.h>

#include <algorithm>

kgcLight::kgcLight(Type t)
{
    setType(t);
}

kgcLight::kgcLight(Type t, const float* pos, const float* diff, const float* amb,
                   const float* specularColor, const float* attenuation)
{
    setType(t);
    std::copy(pos, pos + 3, position);
    std::copy(diff, diff + 4, diffuse);
    std::copy(amb, amb + 4, ambient);
    std::copy(specularColor, specularColor + 4, specular);
    constAttenuation = attenuation[0];
    linAttenuation = attenuation[1];
    quadAttenuation = attenuation[2];
}

void kgcLight::setType(Type t)
{
    type = t;
    // OpenGL reads w = 0 as a direction (a light at infinity).
    position[3] = t == DIRECTIONAL ? 0.0f : 1.0f;
}

void kgcLight::setDiffuse(const float* rgba)
{
    std::copy(rgba, rgba + 4, diffuse);
    updateFlags |= UPDATE_DIFFUSE;
}

void kgcLight::setAmbient(const float* rgba)
{
    std::copy(rgba, rgba + 4, ambient);
    updateFlags |= UPDATE_AMBIENT;
}

void kgcLight::setSpecular(const float* rgba)
{
    std::copy(rgba, rgba + 4, specular);
    updateFlags |= UPDATE_SPECULAR;
}

void kgcLight::setPosition(const float* xyz)
{
    std::copy(xyz, xyz + 3, position);
    updateFlags |= UPDATE_POSITION;
}

void kgcLight::setConstAttenuation(float f)
{
    constAttenuation = f;
    updateFlags |= UPDATE_CONSTANT_ATTENUATION;
}

void kgcLight::setLinAttenuation(float f)
{
    linAttenuation = f;
    updateFlags |= UPDATE_LINEAR_ATTENUATION;
}

void kgcLight::setQuadAttenuation(float f)
{
    quadAttenuation = f;
    updateFlags |= UPDATE_QUADRATIC_ATTENUATION;
}

void kgcLight::setDirection(const float* xyz)
{
    std::copy(xyz, xyz + 3, direction);
    updateFlags |= UPDATE_SPOT_DIRECTION;
}

void kgcLight::setCutOff(float degrees)
{
    cutOff = degrees;
    updateFlags |= UPDATE_SPOT_CUTOFF;
}

void kgcLight::setExponent(float e)
{
    exponent = e;
    updateFlags |= UPDATE_SPOT_EXPONENT;
}

void kgcLight::getDiffuse(float* rgba) const { std::copy(diffuse, diffuse + 4, rgba); }
void kgcLight::getAmbient(float* rgba) const { std::copy(ambient, ambient + 4, rgba); }
void kgcLight::getSpecular(float* rgba) const { std::copy(specular, specular + 4, rgba); }
void kgcLight::getPosition(float* xyz) const { std::copy(position, position + 3, xyz); }
void kgcLight::getDirection(float* xyz) const { std::copy(direction, direction + 3, xyz); }

void kgcLight::set(unsigned int light) const
{
    glDisable(light);
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_SPECULAR, specular);
    glLightf(light, GL_CONSTANT_ATTENUATION, constAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, linAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadAttenuation);
    if (type == SPOT) {
        glLightf(light, GL_SPOT_CUTOFF, cutOff);
        glLightf(light, GL_SPOT_EXPONENT, exponent);
        glLightfv(light, GL_SPOT_DIRECTION, direction);
    }
    glEnable(light);
}
