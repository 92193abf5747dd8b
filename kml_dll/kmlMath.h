// Scalar helpers of the math library.
//
// All arithmetic is single precision. Angles at the library's interfaces are
// degrees; only Sin, Cos, Tan (arguments) and Asin, Acos, Atan, Atan2
// (results) work in radians. The wrappers evaluate the double-precision C
// function on the widened argument and round the result to float, so results
// do not depend on the platform's float variants.
#ifndef KMLMATH_H
#define KMLMATH_H

#include <climits>
#include <cmath>

namespace kml {

// Exact single-precision factors (bit patterns 3C8EFA35 and 42652EE1); stored
// angles and conversions elsewhere depend on these very bits.
constexpr float DEG_TO_RAD = 0.017453292f;
constexpr float RAD_TO_DEG = 57.29578f;

// lo when x < lo, else hi when x > hi, else x. With lo > hi the lo test wins.
inline float Clamp(float x, float lo, float hi)
{
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

inline float DegToRad(float d) { return d * DEG_TO_RAD; }
inline float RadToDeg(float r) { return r * RAD_TO_DEG; }

// Smallest (largest) of values[0..count-1]; the first of equal extremes wins.
// Count 0 gives 0 and reads nothing. At most 65,535 elements are examined.
float Min(const float* values, unsigned short count);
float Max(const float* values, unsigned short count);

// a if a < b (a > b), else b: equal values return the second argument.
inline float Min(float a, float b) { return a < b ? a : b; }
inline float Max(float a, float b) { return a > b ? a : b; }

inline float Cos(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }
inline float Sin(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }
inline float Tan(float x) { return static_cast<float>(std::tan(static_cast<double>(x))); }
inline float Acos(float x) { return static_cast<float>(std::acos(static_cast<double>(x))); }
inline float Asin(float x) { return static_cast<float>(std::asin(static_cast<double>(x))); }
inline float Atan(float x) { return static_cast<float>(std::atan(static_cast<double>(x))); }
inline float Atan2(float y, float x)
{
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}
inline float Floor(float x) { return static_cast<float>(std::floor(static_cast<double>(x))); }
inline float Ceil(float x) { return static_cast<float>(std::ceil(static_cast<double>(x))); }
inline float Log(float x) { return static_cast<float>(std::log(static_cast<double>(x))); }
inline float Exp(float x) { return static_cast<float>(std::exp(static_cast<double>(x))); }
inline float Sqrt(float x) { return static_cast<float>(std::sqrt(static_cast<double>(x))); }

// Trigonometry in degrees. The inverse functions do not clamp their argument:
// Acosd(1.0000001f) is NaN.
inline float Sind(float d) { return Sin(DegToRad(d)); }
inline float Cosd(float d) { return Cos(DegToRad(d)); }
inline float Tand(float d) { return Tan(DegToRad(d)); }
inline float Asind(float x) { return RadToDeg(Asin(x)); }
inline float Acosd(float x) { return RadToDeg(Acos(x)); }
inline float Atand(float x) { return RadToDeg(Atan(x)); }
// y comes first, as in atan2.
inline float Atan2d(float y, float x) { return RadToDeg(Atan2(y, x)); }

// Float to int without undefined behaviour: values beyond the int range
// saturate, NaN gives 0.
inline int ToInt(float x)
{
    if (x != x) return 0;
    if (x <= static_cast<float>(INT_MIN)) return INT_MIN;
    if (x >= static_cast<float>(INT_MAX)) return INT_MAX; // 2^31 as a float
    return static_cast<int>(x);
}

inline int IFloor(float x) { return ToInt(Floor(x)); }
inline int ICeil(float x) { return ToInt(Ceil(x)); }

inline float Square(float x) { return x * x; }
inline float Cube(float x) { return Square(x) * x; }
inline float Abs(float x) { return x < 0 ? -x : x; }

} // namespace kml

#endif
