#include "kgcFog.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

static_assert(GL_EXP == 0x800, "default fog mode");

kgcFog::kgcFog() = default;

kgcFog::kgcFog(float s, float e, float d, const float* rgba, unsigned int m)
    : start(s), end(e), density(d), mode(m)
{
    setColor(rgba);
}

void kgcFog::setRange(float s, float e)
{
    start = s;
    end = e;
}

void kgcFog::setColor(const float* rgba) { std::copy(rgba, rgba + 4, color); }

void kgcFog::getRange(float& s, float& e) const
{
    s = start;
    e = end;
}

void kgcFog::getColor(float* rgba) const { std::copy(color, color + 4, rgba); }

void kgcFog::set() const
{
    glFogi(GL_FOG_MODE, static_cast<GLint>(mode));
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogf(GL_FOG_DENSITY, density);
    glFogfv(GL_FOG_COLOR, color);
}

bool kgcFog::operator==(const kgcFog& other) const
{
    return start == other.start && end == other.end && density == other.density &&
           mode == other.mode && std::memcmp(color, other.color, sizeof color) == 0;
}
