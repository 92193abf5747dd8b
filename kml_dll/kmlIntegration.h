// Romberg integration of a float function, with a process-wide order (number
// of Romberg rows, 5 by default). Not thread-safe: the rows are shared.
#ifndef KMLINTEGRATION_H
#define KMLINTEGRATION_H

#include <vector>

class kmlIntegration {
public:
    // Order 5 and its rows; done once when the library loads.
    static void init();
    // Frees the rows; done when the library unloads.
    static void terminate();

    static int getOrder() { return order; }
    // Each row halves the step, doubling the evaluations: the last row costs
    // 2^(n-2) + 1 calls of f. Orders below 1 are refused (nothing changes).
    static void setOrder(int n);

    // Integral of f over [a, b]; userData is passed to every call of f.
    static float romberg(float a, float b, float (*f)(float, void*), void* userData);

private:
    static int order;
    static std::vector<float> previousRow;
    static std::vector<float> currentRow;
};

#endif
