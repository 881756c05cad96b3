// The host's own consistency: the values a real host derives from its
// aircraft's state, kept in step here after every flight model whoever moved
// the aircraft (the flying aircraft or a scenario's `set`). The rules are
// listed in README.md ("Derived values"). A value written from outside (test
// API, scenario, --set) is pinned: the host leaves it to that writer from
// then on, as the scenario playing the host asked.
//
// Reads: position elevation, true airspeed, pause and replay, the weather's
// sea-level values, the engines' N1/N2/running/oil, the tanks, the
// pressurisation override and the cabin values the plug-in writes. Writes:
// the air at the aircraft, the engines' read-only views, fuel totals and
// indications, the cabin indications.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "state.h"

namespace simhost {
namespace {

enum Slot : size_t {
  kElevation, kTrueAirspeed, kPaused, kReplay,
  kSeaLevelPa, kSeaLevelInHg, kSeaLevelTemp12, kSeaLevelTemp11,
  kBaroInHg, kBaroPa, kTempAmbient11, kTempAmbient12, kOat, kTempLe11, kTempLe12, kOatLe,
  kRho, kSigma, kSoundSpeed11, kSoundSpeed12,
  kEngN1, kN1View, kEngN2, kN2View, kEngRunning, kBurningView, kEngOil, kOilView,
  kTankMass, kFuelTotal, kFuelView,
  kOverride, kCabinAlt, kCabinRate, kCabinDiff, kCabinIndicator, kCabinSetOld, kCabinSetNew, kCabinRateSet,
  kSlotCount
};

constexpr const char* kNames[kSlotCount] = {
    "sim/flightmodel/position/elevation",
    "sim/flightmodel/position/true_airspeed",
    "sim/time/paused",
    "sim/time/is_in_replay",
    "sim/weather/region/sealevel_pressure_pas",
    "sim/weather/barometer_sealevel_inhg",
    "sim/weather/region/sealevel_temperature_c",
    "sim/weather/temperature_sealevel_c",
    "sim/weather/barometer_current_inhg",
    "sim/weather/aircraft/barometer_current_pas",
    "sim/weather/temperature_ambient_c",
    "sim/weather/aircraft/temperature_ambient_deg_c",
    "sim/cockpit2/temperature/outside_air_temp_degc",
    "sim/weather/temperature_le_c",
    "sim/weather/aircraft/temperature_leadingedge_deg_c",
    "sim/cockpit2/temperature/outside_air_LE_temp_degc",
    "sim/weather/rho",
    "sim/weather/sigma",
    "sim/weather/speed_sound_ms",
    "sim/weather/aircraft/speed_sound_ms",
    "sim/flightmodel/engine/ENGN_N1_",
    "sim/flightmodel2/engines/N1_percent",
    "sim/flightmodel/engine/ENGN_N2_",
    "sim/flightmodel2/engines/N2_percent",
    "sim/flightmodel/engine/ENGN_running",
    "sim/flightmodel2/engines/engine_is_burning_fuel",
    "sim/flightmodel/engine/ENGN_oil_quan",
    "sim/cockpit2/engine/indicators/oil_quantity_ratio",
    "sim/flightmodel/weight/m_fuel",
    "sim/flightmodel/weight/m_fuel_total",
    "sim/cockpit2/fuel/fuel_quantity",
    "sim/operation/override/override_pressurization",
    "sim/cockpit/pressure/cabin_altitude_actual_m_msl",   // feet, whatever the name says
    "sim/cockpit/pressure/cabin_vvi_actual_m_msec",       // ft/min
    "sim/cockpit/pressure/cabin_pressure_differential_psi",
    "sim/cockpit2/pressurization/indicators/cabin_altitude_ft",
    "sim/cockpit/pressure/cabin_altitude_set_m_msl",      // feet
    "sim/cockpit2/pressurization/actuators/cabin_altitude_ft",
    "sim/cockpit/pressure/cabin_vvi_set_m_msec",          // ft/min
};

// Standard atmosphere (SI) and units.
constexpr double kP0_pa = 101325.0;
constexpr double kT0_c = 15.0;
constexpr double kKelvin = 273.15;
constexpr double kLapse_k_per_m = 0.0065;
constexpr double kTropopause_m = 11000.0;
constexpr double kPressureExponent = 5.255877;   // g / (R L)
constexpr double kGasConstant = 287.053;         // J / (kg K), dry air
constexpr double kG = 9.80665;
constexpr double kRho0 = 1.225;
constexpr double kGamma = 1.4;
constexpr double kCp = 1004.7;                   // J / (kg K), for the ram rise
constexpr double kPaPerInHg = 3386.389;
constexpr double kPaPerPsi = 6894.757;
constexpr double kFtPerM = 3.28083989501;

// The host's engines: a running engine above idle has its core (N2) tied to
// its fan (N1) on a straight line from idle to full power.
constexpr double kIdleN1 = 20.0, kIdleN2 = 60.0, kFullN1 = 100.0, kFullN2 = 100.0;
constexpr int kEngines = 2;
constexpr double kStartOil = 1.0;                   // ratio of a full tank
constexpr double kStartFuel_kg[3] = {3000.0, 0.0, 3000.0};   // left, centre, right
constexpr double kCabinRateWhenNone_fpm = 500.0;

bool finite(double v) { return std::isfinite(v); }

double standard_temp_k(double h_m) {
  return kT0_c + kKelvin - kLapse_k_per_m * std::min(h_m, kTropopause_m);
}

double standard_pressure_pa(double h_m) {
  if (h_m <= kTropopause_m) return kP0_pa * std::pow(standard_temp_k(h_m) / (kT0_c + kKelvin), kPressureExponent);
  const double p11 = standard_pressure_pa(kTropopause_m);
  return p11 * std::exp(-kG * (h_m - kTropopause_m) / (kGasConstant * standard_temp_k(kTropopause_m)));
}

// The altitude (m) at which the standard atmosphere has this pressure.
double pressure_altitude_m(double p_pa) {
  const double p11 = standard_pressure_pa(kTropopause_m);
  if (p_pa >= p11) return (1.0 - std::pow(p_pa / kP0_pa, 1.0 / kPressureExponent)) * (kT0_c + kKelvin) / kLapse_k_per_m;
  return kTropopause_m + std::log(p11 / p_pa) * kGasConstant * standard_temp_k(kTropopause_m) / kG;
}

void resolve(Host& h) {
  if (h.derived_generation == h.dataref_generation && h.derived_slots.size() == kSlotCount) return;
  h.derived_slots.assign(kSlotCount, -1);
  for (size_t s = 0; s < kSlotCount; ++s) {
    const auto it = h.dataref_index.find(kNames[s]);
    if (it == h.dataref_index.end()) continue;
    const Dataref& d = h.datarefs[it->second];
    // A name the plug-in took over is its own; byte data is nobody's number.
    if (!d.live || d.owner == Owner::Plugin || (d.type & xplmType_Data)) continue;
    h.derived_slots[s] = static_cast<long>(it->second);
  }
  h.derived_generation = h.dataref_generation;
}

Dataref* at(Host& h, Slot s) {
  const long i = h.derived_slots[s];
  return i < 0 ? nullptr : &h.datarefs[static_cast<size_t>(i)];
}

double in(Host& h, Slot s, double fallback) {
  const Dataref* d = at(h, s);
  return d && finite(d->scalar) ? d->scalar : fallback;
}

void out(Host& h, Slot s, double v) {
  Dataref* d = at(h, s);
  if (d && !d->pinned) d->scalar = v;
}

// One weather value under two names (the newer host's and the older one, in
// `factor` older units per newer unit): the newer name holds it unless only
// the older one was set from outside; both then agree. A value outside
// (lowest, highest] reads as the standard one.
double weather_pair(Host& h, Slot newer, Slot older, double factor, double standard, double lowest,
                    double highest) {
  Dataref* n = at(h, newer);
  Dataref* o = at(h, older);
  double v = standard;
  if (n && !(o && o->pinned && !n->pinned)) {
    v = n->scalar;
  } else if (o) {
    v = o->scalar / factor;
  }
  if (!(v > lowest && v <= highest)) v = standard;
  if (n && !n->pinned) n->scalar = v;
  if (o && !o->pinned) o->scalar = v * factor;
  return v;
}

// A read-only array view follows the value it shows, element by element.
void follow(Host& h, Slot source, Slot view) {
  const Dataref* s = at(h, source);
  Dataref* v = at(h, view);
  if (!s || !v || v->pinned) return;
  const size_t n = std::min(s->array.size(), v->array.size());
  std::copy(s->array.begin(), s->array.begin() + static_cast<long>(n), v->array.begin());
}

void derive_air(Host& h, double* ambient_pa) {
  const double p_sl = weather_pair(h, kSeaLevelPa, kSeaLevelInHg, 1.0 / kPaPerInHg, kP0_pa, 0.0, 2.0 * kP0_pa);
  const double t_sl = weather_pair(h, kSeaLevelTemp12, kSeaLevelTemp11, 1.0, kT0_c, -kKelvin, 100.0);
  // Anything from the deepest valley to well above any aircraft's ceiling.
  const double h_m = std::clamp(in(h, kElevation, 0.0), -2000.0, 80000.0);
  const double p = standard_pressure_pa(h_m) * p_sl / kP0_pa;
  const double t_k = std::max(1.0, standard_temp_k(h_m) + (t_sl - kT0_c));
  const double tas = std::clamp(in(h, kTrueAirspeed, 0.0), -1000.0, 1000.0);
  const double t_le_k = t_k + tas * tas / (2.0 * kCp);
  const double rho = p / (kGasConstant * t_k);
  const double sound = std::sqrt(kGamma * kGasConstant * t_k);
  out(h, kBaroInHg, p / kPaPerInHg);
  out(h, kBaroPa, p);
  for (Slot s : {kTempAmbient11, kTempAmbient12, kOat}) out(h, s, t_k - kKelvin);
  for (Slot s : {kTempLe11, kTempLe12, kOatLe}) out(h, s, t_le_k - kKelvin);
  out(h, kRho, rho);
  out(h, kSigma, rho / kRho0);
  out(h, kSoundSpeed11, sound);
  out(h, kSoundSpeed12, sound);
  *ambient_pa = p;
}

void derive_engines(Host& h) {
  follow(h, kEngN1, kN1View);
  Dataref* n2 = at(h, kEngN2);
  const Dataref* running = at(h, kEngRunning);
  const Dataref* n1 = at(h, kN1View);
  if (n2 && running && n1 && !n2->pinned) {
    const size_t n = std::min({n2->array.size(), running->array.size(), n1->array.size()});
    for (size_t e = 0; e < n; ++e) {
      const double fan = n1->array[e];
      if (running->array[e] == 0.0 || !finite(fan) || fan <= kIdleN1) continue;
      n2->array[e] = kIdleN2 + (fan - kIdleN1) * (kFullN2 - kIdleN2) / (kFullN1 - kIdleN1);
    }
  }
  follow(h, kEngN2, kN2View);
  follow(h, kEngRunning, kBurningView);
  follow(h, kEngOil, kOilView);
}

void derive_fuel(Host& h) {
  const Dataref* tanks = at(h, kTankMass);
  if (!tanks) return;
  double total = 0.0;
  for (double kg : tanks->array) total += finite(kg) ? kg : 0.0;
  out(h, kFuelTotal, total);
  follow(h, kTankMass, kFuelView);
}

// With the pressurisation overridden the cabin indication shows what the
// plug-in writes; otherwise the host's controller holds the commanded cabin
// altitude (never above the aircraft's), moving at the commanded rate.
void derive_cabin(Host& h, double ambient_pa, float dt) {
  if (in(h, kOverride, 0.0) != 0.0) {
    out(h, kCabinIndicator, in(h, kCabinAlt, 0.0));
    return;
  }
  const double commanded = weather_pair(h, kCabinSetNew, kCabinSetOld, 1.0, 0.0, -1e5, 1e5);
  const double rate = std::fabs(in(h, kCabinRateSet, 0.0));
  const double aircraft_ft = pressure_altitude_m(ambient_pa) * kFtPerM;
  const double cabin = in(h, kCabinAlt, 0.0);
  const bool running = dt > 0.0f && in(h, kPaused, 0.0) == 0.0 && in(h, kReplay, 0.0) == 0.0;
  double next = cabin;
  if (running) {
    const double step = (rate > 0.0 ? rate : kCabinRateWhenNone_fpm) / 60.0 * dt;
    next += std::clamp(std::min(commanded, aircraft_ft) - cabin, -step, step);
  }
  next = std::min(next, aircraft_ft);
  out(h, kCabinAlt, next);
  if (running) out(h, kCabinRate, (next - cabin) / dt * 60.0);
  out(h, kCabinIndicator, next);
  out(h, kCabinDiff, (standard_pressure_pa(next / kFtPerM) - ambient_pa) / kPaPerPsi);
}

}  // namespace

void start_values(Host& h) {
  resolve(h);
  out(h, kSeaLevelPa, kP0_pa);
  out(h, kSeaLevelInHg, kP0_pa / kPaPerInHg);
  out(h, kSeaLevelTemp12, kT0_c);
  out(h, kSeaLevelTemp11, kT0_c);
  if (Dataref* oil = at(h, kEngOil))
    for (size_t e = 0; e < oil->array.size() && e < kEngines; ++e) oil->array[e] = kStartOil;
  if (Dataref* tanks = at(h, kTankMass))
    for (size_t i = 0; i < tanks->array.size() && i < 3; ++i) tanks->array[i] = kStartFuel_kg[i];
}

void derive_values(Host& h, float dt) {
  resolve(h);
  double ambient_pa = kP0_pa;
  derive_air(h, &ambient_pa);
  derive_engines(h);
  derive_fuel(h);
  derive_cabin(h, ambient_pa, dt);
}

}  // namespace simhost
