// Conversion factors and pi, one home for every precision in use.
//
// The models were tuned each against its own written value of the knots
// factor or of pi, and a float written to fewer digits is another float: so
// each precision in use keeps its value here under a name that says how it
// was written (the decimals, "dp"), and a caller picks the one its model was
// tuned with. The unmarked names are the exact value to the type's precision.
// Folding two of them together changes published values.
#pragma once

// Knots per metre per second (3600 / 1852 = 1.943844492...).
inline constexpr float kt_per_mps = 1.94384449f;
inline constexpr float kt_per_mps_7dp = 1.9438445f;  // rounds to the float above kt_per_mps
inline constexpr float kt_per_mps_6dp = 1.943844f;
inline constexpr float kt_per_mps_5dp = 1.94384f;
inline constexpr float kt_per_mps_4dp = 1.9438f;
inline constexpr float kt_per_mps_3dp = 1.944f;
inline constexpr double kt_per_mps_8dp_d = 1.94384449;  // in double: not 3600.0 / 1852.0

// Metres per second per knot (1852 / 3600 = 0.514444...).
inline constexpr float mps_per_kt_7dp = 0.5144444f;
inline constexpr float mps_per_kt_6dp = 0.514444f;
inline constexpr float mps_per_kt_5dp = 0.51444f;
inline constexpr double mps_per_kt_5dp_d = 0.51444;
inline constexpr float mps_per_kt_3dp = 0.514f;

// Pi. The navigation maths and the path code use it cut after 12 decimals.
// The double values differ in their last bits; the float ones are all one
// float, but for the two-decimal ones a flight director law was tuned with.
inline constexpr double pi_20dp = 3.14159265358979323846;
inline constexpr double pi_12dp = 3.141592653589;
inline constexpr double pi_11dp = 3.14159265359;
inline constexpr float pi_f = 3.14159265f;
inline constexpr float pi_2dp_f = 3.14f;
inline constexpr float half_pi_2dp_f = 1.57f;
inline constexpr double two_pi_12dp = 2.0 * pi_12dp;
inline constexpr double two_pi_11dp = 2.0 * pi_11dp;
inline constexpr float two_pi_f = 2.0f * pi_f;
// Doubling is exact: the products are the values once written out.
static_assert(two_pi_12dp == 6.283185307178 && two_pi_11dp == 6.28318530718 && two_pi_f == 6.283185307178f);
static_assert(kt_per_mps == static_cast<float>(3600.0 / 1852.0) && pi_f == static_cast<float>(pi_20dp));

// Pounds per square inch per inch of mercury.
inline constexpr float psi_per_inhg_7dp = 0.4911542f;

// Feet per metre (1 / 0.3048 = 3.2808398950...); written to 7 and to 5
// decimals it is one float.
inline constexpr float ft_per_m = 3.2808399f;

// Radians per degree (pi / 180 = 0.0174532925199...) and degrees per radian
// (57.295779513...). The float one is the same float written to 9 decimals,
// to 18, or divided out of pi_f.
inline constexpr float rad_per_deg_f = 0.017453292519943295f;
inline constexpr float deg_per_rad_f = 57.29577951308232f;
inline constexpr double deg_per_rad_d = 57.29577951308232;
static_assert(ft_per_m == 3.28084f && rad_per_deg_f == 0.017453292f && rad_per_deg_f == pi_f / 180.0f);
