#ifndef KGCFOG_H
#define KGCFOG_H
// Fog parameters. set() issues them but does not enable GL_FOG: that is the
// render state's switch.

class kgcFog
{
public:
    // Start 0, end 1, density 1, GL_EXP, transparent black.
    kgcFog();
    // color: r, g, b, a; mode: GL_LINEAR, GL_EXP or GL_EXP2.
    kgcFog(float start, float end, float density, const float* color, unsigned int mode);
    kgcFog(const kgcFog& other) = default;
    kgcFog& operator=(const kgcFog& other) = default;

    void setMode(unsigned int mode) { this->mode = mode; }
    // Distances from the eye, used by GL_LINEAR.
    void setRange(float start, float end);
    // Used by GL_EXP and GL_EXP2.
    void setDensity(float density) { this->density = density; }
    void setColor(const float* rgba);
    unsigned int getMode() const { return mode; }
    void getRange(float& start, float& end) const;
    float getDensity() const { return density; }
    void getColor(float* rgba) const;

    void set() const;

    // Start, end and density exactly, the mode, the colour bit for bit.
    bool operator==(const kgcFog& other) const;
    bool operator!=(const kgcFog& other) const { return !(*this == other); }

private:
    float start = 0.0f;
    float end = 1.0f;
    float density = 1.0f;
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    unsigned int mode = 0x800; // GL_EXP
};

#endif
