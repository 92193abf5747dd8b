#include "kmlPolynomial.h"

#include <vector>

#include "kmlMath.h"

using namespace kml;

int kmlPolynomial::ACCURACY = 6;
float kmlPolynomial::ZERO_TOLERANCE = 1e-6f;

namespace {
// 1 / ln 2, computed once.
const float INV_LOG2 = 1.0f / Log(2.0f);
// Far more halvings than a float interval can take; keeps 2k + 1 in range
// for an infinite or NaN interval length.
const int MAX_HALVINGS = 200;

float evalCoeffs(const float* c, int n, float x)
{
    if (n < 0) return 0.0f;
    float r = c[n];
    for (int i = n - 1; i >= 0; --i) r = r * x + c[i];
    return r;
}

bool bisect(const float* c, int n, float a, float b, float& root)
{
    const float tol = kmlPolynomial::ZERO_TOLERANCE;
    float fa = evalCoeffs(c, n, a), fb = evalCoeffs(c, n, b);
    if (Abs(fa) <= tol) {
        root = a;
        return true;
    }
    if (Abs(fb) <= tol) {
        root = b;
        return true;
    }
    // An empty or reversed interval holds no other root, and without a sign
    // change at the ends nothing is bracketed: a midpoint would be reported
    // as a root it never was.
    if (!(b > a) || !((fa < 0.0f) != (fb < 0.0f))) return false;
    int k = ICeil((Log(b - a) + static_cast<float>(kmlPolynomial::ACCURACY)) * INV_LOG2);
    if (k < 0) k = 0;
    if (k > MAX_HALVINGS) k = MAX_HALVINGS;
    for (int i = 0; i <= 2 * k; ++i) {
        float m = (a + b) / 2.0f;
        root = m;
        float fm = evalCoeffs(c, n, m);
        if (Abs(fm) <= tol) return true;
        if (fm * fa < 0.0f) {
            b = m;
            fb = fm;
        } else if (fm * fb < 0.0f) {
            a = m;
            fa = fm;
        } else {
            return false;
        }
    }
    return true;
}

// Roots of the degree-n polynomial c on [a, b] into roots (room for n).
// The roots of the derivative split [a, b] into monotone pieces with at most
// one root each. Small degrees stay on the stack: this runs every frame for
// every curve channel.
void rootsOnCoeffs(const float* c, int n, float a, float b, int& count, float* roots)
{
    count = 0;
    if (n < 1) return;
    if (n == 1) {
        float r;
        if (bisect(c, n, a, b, r)) {
            roots[0] = r;
            count = 1;
        }
        return;
    }
    const int SMALL = 8;
    float derivSmall[SMALL], critSmall[SMALL], foundSmall[SMALL + 1];
    std::vector<float> derivBig, critBig, foundBig;
    float* deriv = derivSmall;
    float* crit = critSmall;
    float* found = foundSmall;
    if (n > SMALL) {
        derivBig.resize(n);
        critBig.resize(n);
        foundBig.resize(n + 1);
        deriv = derivBig.data();
        crit = critBig.data();
        found = foundBig.data();
    }
    for (int i = 0; i < n; ++i) deriv[i] = static_cast<float>(i + 1) * c[i + 1];
    int nc = 0;
    rootsOnCoeffs(deriv, n - 1, a, b, nc, crit);

    int nf = 0;
    float r;
    float lo = a;
    for (int i = 0; i < nc; ++i) {
        if (bisect(c, n, lo, crit[i], r)) found[nf++] = r;
        lo = crit[i];
    }
    if (bisect(c, n, lo, b, r)) found[nf++] = r;

    // A root at a critical point is found on both of its sides.
    for (int i = 0; i < nf; ++i)
        if (i == 0 || Abs(found[i] - found[i - 1]) > kmlPolynomial::ZERO_TOLERANCE) roots[count++] = found[i];
}
} // namespace

kmlPolynomial::kmlPolynomial(int d) : degree(-1), coeff(nullptr)
{
    setDegree(d);
}

kmlPolynomial::kmlPolynomial(const kmlPolynomial& o) : degree(-1), coeff(nullptr)
{
    *this = o;
}

kmlPolynomial& kmlPolynomial::operator=(const kmlPolynomial& o)
{
    if (this == &o) return *this;
    setDegree(o.degree);
    for (int i = 0; i <= degree; ++i) coeff[i] = o.coeff[i];
    return *this;
}

kmlPolynomial::~kmlPolynomial()
{
    delete[] coeff;
}

void kmlPolynomial::setDegree(int d)
{
    delete[] coeff;
    coeff = nullptr;
    degree = d < 0 ? -1 : d;
    if (degree >= 0) coeff = new float[degree + 1]();
}

float kmlPolynomial::eval(float x) const
{
    return evalCoeffs(coeff, degree, x);
}

kmlPolynomial kmlPolynomial::getDerivative() const
{
    if (degree <= 0) return kmlPolynomial();
    kmlPolynomial d(degree - 1);
    for (int i = 0; i < degree; ++i) d.coeff[i] = static_cast<float>(i + 1) * coeff[i + 1];
    return d;
}

kmlPolynomial kmlPolynomial::getInversion() const
{
    kmlPolynomial r(degree);
    for (int i = 0; i <= degree; ++i) r.coeff[i] = coeff[degree - i];
    return r;
}

kmlPolynomial kmlPolynomial::operator+(const kmlPolynomial& o) const
{
    kmlPolynomial r(degree > o.degree ? degree : o.degree);
    for (int i = 0; i <= r.degree; ++i) {
        if (i > degree) r.coeff[i] = o.coeff[i];
        else if (i > o.degree) r.coeff[i] = coeff[i];
        else r.coeff[i] = coeff[i] + o.coeff[i];
    }
    return r;
}

kmlPolynomial kmlPolynomial::operator-(const kmlPolynomial& o) const
{
    kmlPolynomial r(degree > o.degree ? degree : o.degree);
    for (int i = 0; i <= r.degree; ++i) {
        if (i > degree) r.coeff[i] = -o.coeff[i];
        else if (i > o.degree) r.coeff[i] = coeff[i];
        else r.coeff[i] = coeff[i] - o.coeff[i];
    }
    return r;
}

kmlPolynomial kmlPolynomial::operator*(const kmlPolynomial& o) const
{
    if (degree < 0 || o.degree < 0) return kmlPolynomial();
    kmlPolynomial r(degree + o.degree);
    for (int i = 0; i <= degree; ++i)
        for (int j = 0; j <= o.degree; ++j) r.coeff[i + j] += coeff[i] * o.coeff[j];
    return r;
}

kmlPolynomial kmlPolynomial::operator*(float f) const
{
    kmlPolynomial r(*this);
    for (int i = 0; i <= degree; ++i) r.coeff[i] *= f;
    return r;
}

kmlPolynomial kmlPolynomial::operator-() const
{
    kmlPolynomial r(*this);
    for (int i = 0; i <= degree; ++i) r.coeff[i] = -r.coeff[i];
    return r;
}

bool kmlPolynomial::newton(float a, float b, float& root) const
{
    return bisect(coeff, degree, a, b, root);
}

void kmlPolynomial::rootsOn(float a, float b, int& count, float* roots) const
{
    rootsOnCoeffs(coeff, degree, a, b, count, roots);
}

float kmlPolynomial::getRootsBound() const
{
    // Cauchy's bound 1 + max |c_i| / |c_n| holds whatever the constant term;
    // zero leading coefficients are skipped so the bound stays finite.
    int n = degree;
    while (n >= 0 && coeff[n] == 0.0f) --n;
    if (n <= 0) return 0.0f;
    float m = 0.0f;
    for (int i = 0; i < n; ++i) m = Max(m, Abs(coeff[i]) / Abs(coeff[n]));
    return 1.0f + m;
}

void kmlPolynomial::allRoots(int& count, float* roots) const
{
    float bound = getRootsBound();
    rootsOn(-bound, bound, count, roots);
}

bool kmlPolynomial::degree2Roots(int& count, float* const roots) const
{
    count = 0;
    if (degree != 2) return false;
    float c0 = coeff[0], c1 = coeff[1], c2 = coeff[2];
    if (c2 == 0.0f) {
        // Really linear: the quadratic formula would divide by zero.
        if (c1 != 0.0f) {
            roots[0] = -c0 / c1;
            count = 1;
        }
        return true;
    }
    float disc = c1 * c1 - 4.0f * c2 * c0;
    if (disc < 0.0f) return true;
    if (disc <= ZERO_TOLERANCE) {
        count = 1;
        disc = 0.0f;
    } else {
        count = 2;
    }
    float s = Sqrt(disc);
    float g = 0.5f / c2;
    roots[0] = (s - c1) * g;
    roots[1] = (-s - c1) * g;
    return true;
}
