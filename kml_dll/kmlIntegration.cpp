#include "kmlIntegration.h"

#include <cstddef>

int kmlIntegration::order = 5;
std::vector<float> kmlIntegration::previousRow;
std::vector<float> kmlIntegration::currentRow;

namespace {
struct IntegrationLifetime {
    IntegrationLifetime() { kmlIntegration::init(); }
    ~IntegrationLifetime() { kmlIntegration::terminate(); }
} integrationLifetime;
} // namespace

void kmlIntegration::init()
{
    order = 5;
    previousRow.assign(order, 0.0f);
    currentRow.assign(order, 0.0f);
}

void kmlIntegration::terminate()
{
    std::vector<float>().swap(previousRow);
    std::vector<float>().swap(currentRow);
}

void kmlIntegration::setOrder(int n)
{
    if (n < 1) return;
    order = n;
    previousRow.assign(order, 0.0f);
    currentRow.assign(order, 0.0f);
}

float kmlIntegration::romberg(float a, float b, float (*f)(float, void*), void* userData)
{
    if (previousRow.size() != static_cast<std::size_t>(order)) {
        previousRow.assign(order, 0.0f);
        currentRow.assign(order, 0.0f);
    }
    std::vector<float>& r = previousRow;
    std::vector<float>& next = currentRow;
    float h = b - a;
    r[0] = (f(b, userData) + f(a, userData)) * (h / 2.0f);
    long long midpoints = 1;
    for (int i = 1; i < order; ++i) {
        float sum = 0.0f;
        for (long long j = 1; j <= midpoints; ++j)
            sum += f(a + h * (static_cast<float>(j) - 0.5f), userData);
        next[0] = (h * sum + r[0]) / 2.0f;
        // 4^j is exact in float far beyond where an int would overflow.
        float four = 1.0f;
        for (int j = 1; j <= i; ++j) {
            four *= 4.0f;
            next[j] = (four * next[j - 1] - r[j - 1]) / (four - 1.0f);
        }
        for (int j = 0; j <= i; ++j) r[j] = next[j];
        midpoints *= 2;
        h /= 2.0f;
    }
    return r[order - 1];
}
