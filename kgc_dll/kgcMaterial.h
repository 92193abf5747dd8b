#ifndef KGCMATERIAL_H
#define KGCMATERIAL_H
// A fixed-function surface material with an inverted highlight colour: a
// selected part is drawn with a copy of its material on which inverse(true)
// is called, which sends the complementary diffuse colour instead.

class kgcMaterial
{
public:
    // Grey diffuse 0.6 (inverse white), ambient 0.25, white specular,
    // shininess 100, not inverted.
    kgcMaterial();
    // diffuse r g b a, ambient r g b a, specular r g b a, shininess.
    kgcMaterial(float dr, float dg, float db, float da, float ar, float ag, float ab, float aa,
                float sr, float sg, float sb, float sa, float shininess);
    kgcMaterial(const kgcMaterial& other) = default;
    // Copies the colours and shininess; the target keeps its own inverted
    // switch, so a highlight copy stays a highlight.
    kgcMaterial& operator=(const kgcMaterial& other);
    virtual ~kgcMaterial();

    // Also derives the inverse colour: the complement of r, g, b scaled so
    // that its largest component is 1 (black when the diffuse is white).
    void setDiffuse(float r, float g, float b, float a);
    void setAmbient(float r, float g, float b, float a);
    void setSpecular(float r, float g, float b, float a);
    void setShininess(float s);
    // Sets the alpha of every colour; ignored outside 0..1 (not clamped) and
    // when it equals the current ambient alpha.
    void setAlpha(float a);
    // Switches the inverted diffuse colour on or off.
    void inverse(bool on);

    void getDiffuse(float& r, float& g, float& b, float& a) const;
    void getAmbient(float& r, float& g, float& b, float& a) const;
    void getSpecular(float& r, float& g, float& b, float& a) const;
    void getShininess(float& s) const { s = shininess; }

    // Issues the material for GL_FRONT_AND_BACK.
    void set() const;

    // Diffuse, ambient, specular and shininess compared exactly; the inverse
    // colour and the inverted switch are not compared.
    bool operator==(const kgcMaterial& other) const;
    bool operator!=(const kgcMaterial& other) const { return !(*this == other); }

private:
    float inverseDiffuse[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    float diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    float ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float shininess = 100.0f;
    bool inverted = false;
};

#endif
