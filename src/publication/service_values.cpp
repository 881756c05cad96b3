// The magnetic-variation calculator.
#include "publication/service_values.h"

#include "platform/xplm.h"

double mag_var_request_lat_deg;
double mag_var_request_lon_deg;
float mag_var_request_flag;
float mag_var_cached_deg;

float read_mag_var(void*) {
  // Only an exact zero (either sign) means idle; any other flag, NaN
  // included, asks once.
  if (mag_var_request_flag == 0.0f) return mag_var_cached_deg;
  mag_var_cached_deg = XPLMGetMagneticVariation(mag_var_request_lat_deg, mag_var_request_lon_deg);
  mag_var_request_flag = 0.0f;
  return mag_var_cached_deg;
}
