#ifndef KGCLIGHT_H
#define KGCLIGHT_H
// One fixed-function light source. set() issues the whole light to OpenGL;
// the position is transformed by the model-view matrix current at that
// call, so the caller decides whether the light sits in eye or world space.

class kgcLight
{
public:
    enum Type { POINT = 0, DIRECTIONAL = 1, SPOT = 2 };

    // Bits of the update word; setters OR theirs in. Nothing in this
    // library reads or clears the word: it is for users that re-issue only
    // what changed.
    static const unsigned short UPDATE_DIFFUSE = 1;
    static const unsigned short UPDATE_AMBIENT = 2;
    static const unsigned short UPDATE_SPECULAR = 4;
    static const unsigned short UPDATE_CONSTANT_ATTENUATION = 8;
    static const unsigned short UPDATE_LINEAR_ATTENUATION = 16;
    static const unsigned short UPDATE_QUADRATIC_ATTENUATION = 32;
    static const unsigned short UPDATE_POSITION = 64;
    static const unsigned short UPDATE_SPOT_DIRECTION = 128;
    static const unsigned short UPDATE_SPOT_CUTOFF = 256;
    static const unsigned short UPDATE_SPOT_EXPONENT = 512;

    // Grey ambient, bright diffuse, white specular, at (0, 0, 1); w is 0 for
    // a directional light and 1 otherwise. Types other than 1 and 2 act as
    // point lights.
    explicit kgcLight(Type type = POINT);
    // position: x, y, z; diffuse, ambient, specular: r, g, b, a;
    // attenuation: constant, linear, quadratic. Spot values take defaults.
    kgcLight(Type type, const float* position, const float* diffuse, const float* ambient,
             const float* specular, const float* attenuation);

    // Sets w of the position to match the type; raises no update bit.
    void setType(Type type);
    Type getType() const { return type; }

    void setDiffuse(const float* rgba);
    void setAmbient(const float* rgba);
    void setSpecular(const float* rgba);
    // x, y, z only: w belongs to the type.
    void setPosition(const float* xyz);
    void setConstAttenuation(float f);
    void setLinAttenuation(float f);
    void setQuadAttenuation(float f);
    void setDirection(const float* xyz);
    void setCutOff(float degrees);
    void setExponent(float e);

    // Copy four floats out.
    void getDiffuse(float* rgba) const;
    void getAmbient(float* rgba) const;
    void getSpecular(float* rgba) const;
    // Copy three floats out (the position's w is not returned).
    void getPosition(float* xyz) const;
    void getDirection(float* xyz) const;
    float getConstAttenuation() const { return constAttenuation; }
    float getLinAttenuation() const { return linAttenuation; }
    float getQuadAttenuation() const { return quadAttenuation; }
    float getCutOff() const { return cutOff; }
    float getExponent() const { return exponent; }

    unsigned int getUpdateFlags() const { return updateFlags; }
    void setUpdateFlags(unsigned int flags) const { updateFlags = flags; }
    // Marks every light value as changed (65535).
    void forceUpdate() const { updateFlags = 65535; }

    // Issues the light as OpenGL light `light` (GL_LIGHT0 + n) and enables
    // it. Spot values are sent for a spotlight only. The update word is
    // neither read nor changed.
    void set(unsigned int light) const;

private:
    float ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    float diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float constAttenuation = 1.0f;
    float linAttenuation = 0.0f;
    float quadAttenuation = 0.0f;
    float position[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    float cutOff = 45.0f;
    float exponent = 0.0f;
    float direction[3] = {0.0f, 0.0f, 0.0f};
    Type type = POINT;
    mutable unsigned int updateFlags = 0xFFFFFFFFu;
};

#endif
