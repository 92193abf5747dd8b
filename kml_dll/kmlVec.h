// Fixed-size float vectors (N = 2, 3, 4), stored as N contiguous floats in
// the order x, y, z, w. The float array is reachable through the conversion
// operators, which is how the vectors are handed to OpenGL.
#ifndef KMLVEC_H
#define KMLVEC_H

#include <cstring>

#include "kmlMath.h"

template <int N>
class kmlVec {
public:
    // The zero vector.
    kmlVec() { setZero(); }
    // Copies N floats from v.
    explicit kmlVec(const float* v) { set(v); }
    kmlVec(const kmlVec& o) { set(o.c); }
    virtual ~kmlVec() {}

    int getDim() const { return N; }

    void set(const float* v) { for (int i = 0; i < N; ++i) c[i] = v[i]; }
    // No bounds check: i must be in 0..N-1.
    void set(int i, float v) { c[i] = v; }
    void setZero() { for (int i = 0; i < N; ++i) c[i] = 0.0f; }
    float get(int i) const { return c[i]; }
    float operator[](int i) const { return c[i]; }
    float& operator[](int i) { return c[i]; }

    // Sum of the products, accumulated in index order.
    float dot(const kmlVec& b) const
    {
        float s = 0.0f;
        for (int i = 0; i < N; ++i) s += c[i] * b.c[i];
        return s;
    }
    float norm2() const { return dot(*this); }
    float norm() const { return kml::Sqrt(norm2()); }

    // Scales to unit length. The threshold is on the squared length (1e-6):
    // vectors shorter than 0.001 stay as they are and the result is false,
    // which callers use to skip degenerate directions.
    bool unit()
    {
        float n2 = norm2();
        if (!(n2 > 1e-6f)) return false;
        float inv = 1.0f / kml::Sqrt(n2);
        for (int i = 0; i < N; ++i) c[i] *= inv;
        return true;
    }
    // Squared length within 0.999..1.001, both inclusive.
    bool isUnit() const
    {
        float n2 = norm2();
        return n2 >= 0.999f && n2 <= 1.001f;
    }

    kmlVec& operator+=(const kmlVec& b) { for (int i = 0; i < N; ++i) c[i] += b.c[i]; return *this; }
    kmlVec& operator-=(const kmlVec& b) { for (int i = 0; i < N; ++i) c[i] -= b.c[i]; return *this; }
    kmlVec& operator*=(float f) { for (int i = 0; i < N; ++i) c[i] *= f; return *this; }
    kmlVec& operator=(const kmlVec& o)
    {
        if (this != &o) set(o.c);
        return *this;
    }
    kmlVec operator-() const
    {
        kmlVec r;
        for (int i = 0; i < N; ++i) r.c[i] = -c[i];
        return r;
    }

    // Bit-for-bit comparison, no tolerance: +0 and -0 differ, identical NaN
    // patterns are equal.
    bool operator==(const kmlVec& b) const { return std::memcmp(c, b.c, sizeof c) == 0; }
    bool operator!=(const kmlVec& b) const { return !(*this == b); }

    // (1 - t)a + tb per component; t is not clamped.
    static kmlVec lerp(const kmlVec& a, const kmlVec& b, float t)
    {
        kmlVec r;
        for (int i = 0; i < N; ++i) r.c[i] = (1.0f - t) * a.c[i] + t * b.c[i];
        return r;
    }

    operator float*() { return c; }
    operator const float*() const { return c; }

protected:
    float c[N];
};

// Arithmetic used inside the library: each copies its left vector operand and
// applies the compound operator.
template <int N>
inline kmlVec<N> operator+(const kmlVec<N>& a, const kmlVec<N>& b)
{
    kmlVec<N> r(a);
    r += b;
    return r;
}

template <int N>
inline kmlVec<N> operator-(const kmlVec<N>& a, const kmlVec<N>& b)
{
    kmlVec<N> r(a);
    r -= b;
    return r;
}

template <int N>
inline kmlVec<N> operator*(float f, const kmlVec<N>& v)
{
    kmlVec<N> r(v);
    r *= f;
    return r;
}

extern template class kmlVec<2>;
extern template class kmlVec<3>;
extern template class kmlVec<4>;

#endif
