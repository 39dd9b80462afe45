// Elementary functions built from +, −, ×, ÷ and exact IEEE operations only, so
// the factory impulse responses come out bit for bit the same whatever C library
// the generator is linked against. Accurate to a few ulps over the ranges used.
#pragma once

namespace detmath {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kLn2 = 0.69314718055994530942;
inline constexpr double kLn10 = 2.30258509299404568402;

double exp(double x);
double log(double x);  // natural logarithm; x ≤ 0 gives −1e300
double sin(double x);
double cos(double x);

inline double dbToGain(double gain_db) { return exp(gain_db * (kLn10 / 20.0)); }
inline double dbToLn(double gain_db) { return gain_db * (kLn10 / 20.0); }

}  // namespace detmath
