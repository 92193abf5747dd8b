#include "kgcMaterial.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

void put(float* dst, float r, float g, float b, float a)
{
    dst[0] = r;
    dst[1] = g;
    dst[2] = b;
    dst[3] = a;
}

void take(const float* src, float& r, float& g, float& b, float& a)
{
    r = src[0];
    g = src[1];
    b = src[2];
    a = src[3];
}

} // namespace

kgcMaterial::kgcMaterial() = default;

kgcMaterial::kgcMaterial(float dr, float dg, float db, float da, float ar, float ag, float ab,
                         float aa, float sr, float sg, float sb, float sa, float s)
{
    setDiffuse(dr, dg, db, da);
    setAmbient(ar, ag, ab, aa);
    setSpecular(sr, sg, sb, sa);
    setShininess(s);
}

kgcMaterial& kgcMaterial::operator=(const kgcMaterial& other)
{
    if (this == &other)
        return *this;
    std::copy(other.diffuse, other.diffuse + 4, diffuse);
    std::copy(other.inverseDiffuse, other.inverseDiffuse + 4, inverseDiffuse);
    std::copy(other.ambient, other.ambient + 4, ambient);
    std::copy(other.specular, other.specular + 4, specular);
    shininess = other.shininess;
    return *this;
}

kgcMaterial::~kgcMaterial() = default;

void kgcMaterial::setDiffuse(float r, float g, float b, float a)
{
    put(diffuse, r, g, b, a);
    float inv[3] = {1 - r, 1 - g, 1 - b};
    const float m = std::max(inv[0], std::max(inv[1], inv[2]));
    if (m != 0) {
        const float scale = 1 / m;
        for (float& c : inv)
            c *= scale;
    }
    put(inverseDiffuse, inv[0], inv[1], inv[2], a);
}

void kgcMaterial::setAmbient(float r, float g, float b, float a) { put(ambient, r, g, b, a); }
void kgcMaterial::setSpecular(float r, float g, float b, float a) { put(specular, r, g, b, a); }
void kgcMaterial::setShininess(float s) { shininess = s; }

void kgcMaterial::setAlpha(float a)
{
    if (!(a >= 0 && a <= 1) || a == ambient[3])
        return;
    ambient[3] = diffuse[3] = inverseDiffuse[3] = specular[3] = a;
}

void kgcMaterial::inverse(bool on) { inverted = on; }

void kgcMaterial::getDiffuse(float& r, float& g, float& b, float& a) const { take(diffuse, r, g, b, a); }
void kgcMaterial::getAmbient(float& r, float& g, float& b, float& a) const { take(ambient, r, g, b, a); }
void kgcMaterial::getSpecular(float& r, float& g, float& b, float& a) const { take(specular, r, g, b, a); }

void kgcMaterial::set() const
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, inverted ? inverseDiffuse : diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
}

bool kgcMaterial::operator==(const kgcMaterial& other) const
{
    if (this == &other)
        return true;
    return std::equal(diffuse, diffuse + 4, other.diffuse) &&
           std::equal(ambient, ambient + 4, other.ambient) &&
           std::equal(specular, specular + 4, other.specular) && shininess == other.shininess;
}
