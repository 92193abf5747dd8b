// Real polynomial with float coefficients, constant term first. Degree -1 is
// the empty polynomial (no coefficients, evaluates to 0). Leading zeros are
// never trimmed. Copies are deep.
#ifndef KMLPOLYNOMIAL_H
#define KMLPOLYNOMIAL_H

class kmlPolynomial {
public:
    // Bisection rounds: about log2(interval length) + ACCURACY / ln 2 halvings.
    static int ACCURACY;
    // |p(x)| at or below this counts as a root (bit pattern 358637BD).
    static float ZERO_TOLERANCE;

    // degree + 1 coefficients, all 0; a negative degree gives the empty
    // polynomial.
    explicit kmlPolynomial(int degree = -1);
    kmlPolynomial(const kmlPolynomial& o);
    kmlPolynomial& operator=(const kmlPolynomial& o);
    ~kmlPolynomial();

    int getDegree() const { return degree; }
    // Discards the coefficients; the new ones are 0.
    void setDegree(int degree);

    // Coefficient of x^i by reference, no bounds check: i in 0..degree.
    float& operator[](int i) const { return coeff[i]; }

    // Horner's rule from the top, rounded to float at every step.
    float eval(float x) const;
    float operator()(float x) const { return eval(x); }

    kmlPolynomial getDerivative() const;
    // Coefficients in reverse order.
    kmlPolynomial getInversion() const;

    kmlPolynomial operator+(const kmlPolynomial& o) const;
    kmlPolynomial operator-(const kmlPolynomial& o) const;
    kmlPolynomial operator*(const kmlPolynomial& o) const;
    kmlPolynomial operator*(float f) const;
    kmlPolynomial operator-() const;

    // Real roots in [a, b], ascending, a double root reported once. roots
    // needs room for getDegree() entries. Degree below 1 gives count 0.
    void rootsOn(float a, float b, int& count, float* roots) const;
    // All real roots, searched within +-getRootsBound().
    void allRoots(int& count, float* roots) const;
    // Bound B with every real root in [-B, B].
    float getRootsBound() const;
    // Roots of a degree-2 polynomial (roots needs room for 2). A zero leading
    // coefficient leaves the linear root (count 1) or none. Both roots are
    // written even when count is 1. False only when the degree is not 2.
    bool degree2Roots(int& count, float* const roots) const;

protected:
    // Bisection for one root in [a, b]: an end within tolerance is the root;
    // otherwise the ends must differ in sign. False when no root was bracketed.
    bool newton(float a, float b, float& root) const;

private:
    int degree;
    float* coeff;
};

#endif
