// Square float matrices (3x3 and 4x4) stored column by column: entry
// (row r, column c) is element c*R + r, the layout OpenGL's matrix calls take.
// Every (int, int) argument is (row, column). No bounds checks.
#ifndef KMLMATRIX_H
#define KMLMATRIX_H

#include "kmlVec.h"

template <int R, int C>
class kmlMatrix {
    static_assert(R == C, "only square matrices are used");

public:
    // The zero matrix (the named subclasses start from identity instead).
    kmlMatrix() { setZero(); }
    // Copies R*C floats in storage (column-major) order.
    explicit kmlMatrix(const float* v) { set(v); }
    kmlMatrix(const kmlMatrix& o) { set(o.m); }
    virtual ~kmlMatrix() {}

    void setZero() { for (int i = 0; i < R * C; ++i) m[i] = 0.0f; }
    void setDiag(float d)
    {
        setZero();
        for (int i = 0; i < R; ++i) m[i * R + i] = d;
    }
    void setIdentity() { setDiag(1.0f); }

    void set(int row, int col, float v) { m[col * R + row] = v; }
    // Linear index into the column-major storage.
    void set(int i, float v) { m[i] = v; }
    void set(const float* v) { for (int i = 0; i < R * C; ++i) m[i] = v[i]; }
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }

    float get(int row, int col) const { return m[col * R + row]; }
    float operator()(int row, int col) const { return m[col * R + row]; }
    float& operator()(int row, int col) { return m[col * R + row]; }

    kmlVec<C> getRow(int r) const
    {
        kmlVec<C> v;
        for (int j = 0; j < C; ++j) v[j] = m[j * R + r];
        return v;
    }
    kmlVec<R> getColumn(int c) const { return kmlVec<R>(m + c * R); }
    void setRow(int r, const kmlVec<C>& v) { for (int j = 0; j < C; ++j) m[j * R + r] = v[j]; }
    void setColumn(int c, const kmlVec<R>& v) { for (int i = 0; i < R; ++i) m[c * R + i] = v[i]; }

    int getNumRows() const { return R; }
    int getNumCols() const { return C; }

    kmlMatrix& operator=(const kmlMatrix& o)
    {
        if (this != &o) set(o.m);
        return *this;
    }
    kmlMatrix& operator+=(const kmlMatrix& b) { for (int i = 0; i < R * C; ++i) m[i] += b.m[i]; return *this; }
    kmlMatrix& operator-=(const kmlMatrix& b) { for (int i = 0; i < R * C; ++i) m[i] -= b.m[i]; return *this; }
    kmlMatrix& operator*=(float f) { for (int i = 0; i < R * C; ++i) m[i] *= f; return *this; }

    // Right-multiplication: this becomes this * B, so B acts first on points.
    // B may be this very matrix.
    kmlMatrix& operator*=(const kmlMatrix& b)
    {
        float a[R * C];
        for (int i = 0; i < R * C; ++i) a[i] = m[i];
        const float* bm = (&b == this) ? a : b.m;
        for (int col = 0; col < C; ++col)
            for (int row = 0; row < R; ++row) {
                float s = 0.0f;
                for (int k = 0; k < C; ++k) s += a[k * R + row] * bm[col * R + k];
                m[col * R + row] = s;
            }
        return *this;
    }

    operator float*() { return m; }
    operator const float*() const { return m; }

protected:
    float m[R * C];
};

extern template class kmlMatrix<3, 3>;
extern template class kmlMatrix<4, 4>;

#endif
