// The flying aircraft: each frame it carries the host's position along the
// track at the ground speed, turns at the rate its bank gives, climbs at the
// vertical speed asked for, and writes back every position, attitude, speed
// and altitude value in a consistent set. It lands mains first with the sink
// it flew, and lowers the nose after. Plain standard C++ on top of the host's
// own storage; no wind, no sideslip, no speed dynamics. Ground contact, the
// height above the ground and the load are the host's own values
// (derived.cpp).
#include "fly.h"

#include <cmath>
#include <string>
#include <vector>

#include "host.h"
#include "state.h"

namespace simhost {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kG = 9.80665;
constexpr double kFtPerM = 3.28083989501;
constexpr double kKtPerMps = 1.94384449244;
constexpr double kMaxBankDeg = 25.0;
constexpr double kRollRateDps = 5.0;   // how fast the bank follows its command
// Pitch: in the air the wing's angle of attack above the flight path,
// followed at a rotation's rate; on the ground the nose comes down in a fixed
// time from wherever it stood when the main wheels touched.
constexpr double kAttackDeg = 5.0;
constexpr double kPitchRateDps = 3.0;
constexpr double kMinPitchDeg = -20.0, kMaxPitchDeg = 25.0;
constexpr double kDerotationS = 3.0;
// A landing's sink is taken up by the gear's struts and tyres over this
// travel at a constant force: 1 + v^2 / (2 g s) at the touchdown.
constexpr double kGearStrokeM = 0.5;
constexpr double kCrashG = 100.0;      // beyond any gear: a sink the scenario set past reason
constexpr double kContactM = 0.01;     // as the host's ground contact (derived.cpp)

bool on = false;

double wrap180(double a) {
  a = std::fmod(a + 180.0, 360.0);
  if (a < 0) a += 360.0;
  return a - 180.0;
}
double wrap360(double a) {
  a = std::fmod(a, 360.0);
  return a < 0 ? a + 360.0 : a;
}

float fval(const char* name) {
  float v = get_float(name);
  return std::isfinite(v) ? v : 0.0f;
}

// Host values are written only where this host has them (a catalog may leave
// a name out); the scripts' values stay the scripts'.
void put_f(const char* name, double v) {
  if (has_dataref(name)) set_float(name, static_cast<float>(v));
}
void put_d(const char* name, double v) {
  if (has_dataref(name)) set_double(name, v);
}

// The bank the roll channel asks for, or the present bank when it is not
// engaged. With the scripts' LNAV engaged their roll law flies the plug-in's
// magnetic track command; with only the host's servos on, the flight
// director's bar.
double bank_command(double bank, double track_mag) {
  if (fval("zuvadud/D738/autopilot/lnav_engaged") == 1.0f) {
    // An arc command comes with the straight one driven to 0; a straight
    // command leaves the last arc command standing.
    float cmd = fval("zuvadud/D738/fms/idx_corr");
    if (cmd == 0.0f) cmd = fval("zuvadud/D738/fms/idx_corr2");
    if (cmd == 0.0f) return bank;
    const double b = 2.0 * wrap180(cmd - track_mag);
    return std::fmax(-kMaxBankDeg, std::fmin(kMaxBankDeg, b));
  }
  if (get_int("sim/cockpit2/autopilot/servos_on") != 0) {
    const double b = fval("sim/cockpit/autopilot/flight_director_roll");
    return std::fmax(-kMaxBankDeg, std::fmin(kMaxBankDeg, b));
  }
  return bank;
}

}  // namespace

void set_flying(bool fly) {
  on = fly;
  if (fly) {
    set_flight_model(fly_step);
  } else {
    set_flight_model(nullptr);
  }
}

bool flying() { return on; }

void great_circle_destination(double lat, double lon, double course, double angle, double* lat2, double* lon2,
                              double* course2) {
  const double la = lat * kDeg, lo = lon * kDeg, tr = course * kDeg;
  const double la2 = std::asin(std::sin(la) * std::cos(angle) + std::cos(la) * std::sin(angle) * std::cos(tr));
  const double lo2 =
      lo + std::atan2(std::sin(tr) * std::sin(angle) * std::cos(la), std::cos(angle) - std::sin(la) * std::sin(la2));
  *lat2 = la2 / kDeg;
  *lon2 = wrap180(lo2 / kDeg);
  if (!course2) return;
  // The course there, from the direction of travel along the circle at the
  // new point against that point's north and east: well defined on the
  // poles too, where the course is taken against the meridian the point
  // was given (a flight across the pole leaves it on the far meridian,
  // heading south).
  const double north[3] = {-std::sin(la) * std::cos(lo), -std::sin(la) * std::sin(lo), std::cos(la)};
  const double east[3] = {-std::sin(lo), std::cos(lo), 0.0};
  const double at[3] = {std::cos(la) * std::cos(lo), std::cos(la) * std::sin(lo), std::sin(la)};
  const double north2[3] = {-std::sin(la2) * std::cos(lo2), -std::sin(la2) * std::sin(lo2), std::cos(la2)};
  const double east2[3] = {-std::sin(lo2), std::cos(lo2), 0.0};
  double along_n = 0, along_e = 0;
  for (int i = 0; i < 3; ++i) {
    const double d = north[i] * std::cos(tr) + east[i] * std::sin(tr);
    const double d2 = d * std::cos(angle) - at[i] * std::sin(angle);
    along_n += d2 * north2[i];
    along_e += d2 * east2[i];
  }
  *course2 = wrap360(std::atan2(along_e, along_n) / kDeg);
}

void fly_step(float dt_in) {
  if (!(dt_in > 0.0f)) return;
  if (get_int("sim/time/paused") != 0 || get_int("sim/time/is_in_replay") != 0) return;
  const double dt = dt_in;
  Host& h = host();

  double lat = get_double("sim/flightmodel/position/latitude");
  double lon = get_double("sim/flightmodel/position/longitude");
  double elev = get_double("sim/flightmodel/position/elevation");
  if (!std::isfinite(lat) || !std::isfinite(lon) || !std::isfinite(elev)) return;
  double x0 = 0, y0 = 0, z0 = 0;
  XPLMWorldToLocal(lat, lon, elev, &x0, &y0, &z0);
  const bool was_on_ground = elev <= terrain_height(h, x0, z0) + kContactM;
  double track = wrap360(fval("sim/flightmodel/position/hpath"));
  const double gs = std::fmax(0.0, fval("sim/flightmodel/position/groundspeed"));
  double bank = fval("sim/flightmodel/position/phi");
  // The variation where the aircraft is, as the host gives it (a scenario
  // may have set one): the magnetic track the commands are in is the true
  // one plus it.
  const double var = variation_at(h, lat, lon);

  // Roll toward the command at a bounded rate, then turn as that bank does.
  const double target = bank_command(bank, wrap360(track + var));
  const double step = kRollRateDps * dt;
  bank += std::fmax(-step, std::fmin(step, target - bank));
  // Banking turns only an aircraft in the air: on its wheels the track is
  // the one the scenario steers.
  if (gs > 1.0 && !was_on_ground) track = wrap360(track + std::tan(bank * kDeg) * kG / gs * dt / kDeg);

  // Great-circle step along the track. In the air a straight flight's track
  // turns as the circle's course does, across a pole too; on the wheels it
  // stays the one the scenario steers.
  great_circle_destination(lat, lon, track, gs * dt / kEarthRadius_m, &lat, &lon, was_on_ground ? nullptr : &track);

  // Vertical: the host autopilot's V/S channel when engaged, else the value
  // the scenario set.
  double vs_fpm = fval("sim/flightmodel/position/vh_ind_fpm");
  if (get_int("sim/cockpit2/autopilot/vvi_status") == 2) vs_fpm = fval("sim/cockpit2/autopilot/vvi_dial_fpm");
  elev += vs_fpm / kFtPerM / 60.0 * dt;

  double x = 0, y = 0, z = 0;
  XPLMWorldToLocal(lat, lon, elev, &x, &y, &z);
  const double ground = terrain_height(h, x, z);
  // An aircraft on its wheels that is not climbing away follows the ground,
  // down a slope too.
  const bool on_ground = elev <= ground + kContactM || (was_on_ground && vs_fpm <= 0.0);
  double pitch = std::fmax(kMinPitchDeg, std::fmin(kMaxPitchDeg, fval("sim/flightmodel/position/theta")));
  if (on_ground) {
    elev = ground;
    y = ground;
    bank = 0;
    if (!was_on_ground && vs_fpm < 0) {
      // Touchdown: this frame still has the sink the mains met the ground
      // with, and its load; the nose follows.
      const double sink = vs_fpm / kFtPerM / 60.0;
      h.touchdown_g = static_cast<float>(std::fmin(kCrashG, 1.0 + sink * sink / (2.0 * kG * kGearStrokeM)));
      h.derotation_dps = static_cast<float>(std::fmax(pitch, 0.0) / kDerotationS);
    } else if (vs_fpm < 0) {
      vs_fpm = 0;
    }
    if (pitch > 0.0) {
      if (!(h.derotation_dps > 0.0f)) h.derotation_dps = static_cast<float>(pitch / kDerotationS);
      pitch = std::fmax(0.0, pitch - h.derotation_dps * dt);
    } else {
      pitch = 0.0;
    }
    if (pitch == 0.0) h.derotation_dps = 0.0f;
  } else {
    const double path = gs > 1.0 ? std::atan2(vs_fpm / kFtPerM / 60.0, gs) / kDeg : 0.0;
    const double attitude = std::fmax(kMinPitchDeg, std::fmin(kMaxPitchDeg, path + kAttackDeg));
    const double turn = kPitchRateDps * dt;
    pitch += std::fmax(-turn, std::fmin(turn, attitude - pitch));
  }
  const double alt_ft = elev * kFtPerM;
  // Indicated from true airspeed through the standard atmosphere's density.
  const double sigma = std::pow(std::fmax(0.05, 1.0 - 6.8756e-6 * alt_ft), 4.2559);
  const double tas_kt = gs * kKtPerMps;
  const double ias_kt = tas_kt * std::sqrt(sigma);
  const double vs_mps = vs_fpm / kFtPerM / 60.0;

  put_d("sim/flightmodel/position/latitude", lat);
  put_d("sim/flightmodel/position/longitude", lon);
  put_d("sim/flightmodel/position/elevation", elev);
  put_d("sim/flightmodel/position/local_x", x);
  put_d("sim/flightmodel/position/local_y", y);
  put_d("sim/flightmodel/position/local_z", z);
  put_f("sim/flightmodel/position/local_vx", gs * std::sin(track * kDeg));
  put_f("sim/flightmodel/position/local_vy", vs_mps);
  put_f("sim/flightmodel/position/local_vz", -gs * std::cos(track * kDeg));
  put_f("sim/flightmodel/position/psi", track);
  put_f("sim/flightmodel/position/hpath", track);
  put_f("sim/flightmodel/position/phi", bank);
  put_f("sim/flightmodel/position/theta", pitch);
  put_f("sim/flightmodel/position/vpath", gs > 1.0 ? std::atan2(vs_mps, gs) / kDeg : 0.0);
  put_f("sim/flightmodel/position/groundspeed", gs);
  put_f("sim/flightmodel/position/true_airspeed", gs);
  put_f("sim/flightmodel/position/indicated_airspeed", ias_kt);
  put_f("sim/flightmodel/position/vh_ind_fpm", vs_fpm);
  put_d("sim/flightmodel2/position/pressure_altitude", alt_ft);
  // Heading, track, bank and airspeed gauges and the Mach number follow from
  // these in the host's own world (derived.cpp).
  // Each altimeter reads the ambient pressure against its own side's
  // barometric setting, as the host's describe theirs.
  const float sea_level_inhg = get_float("sim/weather/barometer_sealevel_inhg");
  for (const char* side : {"pilot", "copilot"}) {
    const std::string s = side;
    const float setting = get_float(("sim/cockpit2/gauges/actuators/barometer_setting_in_hg_" + s).c_str());
    put_f(("sim/cockpit2/gauges/indicators/altitude_ft_" + s).c_str(),
          indicated_altitude_ft(elev, sea_level_inhg, setting));
    put_f(("sim/cockpit2/gauges/indicators/vvi_fpm_" + s).c_str(), vs_fpm);
  }
}

}  // namespace simhost
