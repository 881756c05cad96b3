// Default actions of the host's own commands: what the simulator's command
// does to the host's datarefs, phase by phase. The rules read the command
// names of the catalog (which radio, generator, digit or engine a command is
// about comes from its name), so no name list is kept here beside the
// catalog's; a catalog command no rule matches only counts its calls.
//
// An action reads and writes the host's storage as the host itself does,
// whatever a dataref's writable flag says, and leaves alone a name that is
// absent (an older host version, a name a test omitted). A test or the
// plug-in's take-over handler still decides whether an action runs:
// `set_host_action` replaces it, a handler returning 0 stops it.
#include "state.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simhost {
namespace {

using Action = std::function<void(int)>;

// What the actions keep between frames; rebuilt with every host.
struct ActionState {
  float frame_dt_s = 0;       // the frame being run, for commands held over it
  float ident_left_s = 0;     // the transponder's ident reply still running
  int dc_meter_bus = -1;      // the bus the DC voltmeter was switched to, -1 none yet
  float dc_meter_volts = 0;   // the bus voltage the meter was last given
};
ActionState state;

const std::string kRadios = "sim/cockpit2/radios/actuators/";
const std::string kCode = kRadios + "transponder_code";
const std::string kIdent = "sim/cockpit2/radios/indicators/transponder_id";
const std::string kBusVolts = "sim/cockpit2/electrical/bus_volts";
const std::string kDcMeter = "sim/cockpit2/electrical/dc_voltmeter_value";
const std::string kFailurePrefix = "sim/operation/failures/rel_";
const std::string kFailureList = "sim/operation/failures/failures";

constexpr int kComLowMHz = 118, kComHighMHz = 136;
constexpr int kLastChannelKhz = 990;
constexpr float kIdentReply_s = 18.0f;
constexpr int kEngines = 2;                 // the aircraft's engines, for the "all engines" commands
constexpr float kDefaultTrimTravel_s = 20.0f;
constexpr float kFlapNotches = 8.0f;        // handle detents 0-1-2-5-10-15-25-30-40
constexpr float kRegularBrake = 0.5f;
constexpr int kPropNormal = 1, kPropReverse = 3;
// The speed brake handle's named places, from armed to fully extended.
constexpr float kSpeedBrakeSteps[] = {-0.5f, 0.0f, 0.5f, 1.0f};

// ---- the host's storage ------------------------------------------------------

bool present(const std::string& name) { return has_dataref(name); }

double value(const std::string& name) { return get_double(name); }

void put(const std::string& name, double v) {
  DatarefInfo info;
  if (!dataref_info(name, &info)) return;
  if (info.type & xplmType_Int) {
    if (std::fabs(v) < 2.0e9) set_int(name, static_cast<int>(std::lround(v)));  // NaN fails too
  } else if (info.type & xplmType_Float) {
    set_float(name, static_cast<float>(v));
  } else if (info.type & xplmType_Double) {
    set_double(name, v);
  }
}

float element(const std::string& name, int index) {
  std::vector<float> v = get_floats(name);
  return index >= 0 && static_cast<size_t>(index) < v.size() ? v[static_cast<size_t>(index)] : 0.0f;
}

void put_element(const std::string& name, int index, float v) {
  if (index >= 0 && index < array_size(name)) set_floats(name, {v}, index);
}

void put_all(const std::string& name, float v) {
  int n = array_size(name);
  if (n > 0) set_floats(name, std::vector<float>(static_cast<size_t>(n), v), 0);
}

void swap_values(const std::string& a, const std::string& b) {
  if (!present(a) || !present(b)) return;
  double va = value(a), vb = value(b);
  put(a, vb);
  put(b, va);
}

// ---- action shapes -------------------------------------------------------------

Action at_begin(std::function<void()> act) {
  return [act = std::move(act)](int phase) {
    if (phase == xplm_CommandBegin) act();
  };
}

Action set_to(std::string name, double v) {
  return at_begin([name = std::move(name), v] { put(name, v); });
}

// Held: `on` at the begin, `off` at the end.
Action held(std::function<void()> on, std::function<void()> off) {
  return [on = std::move(on), off = std::move(off)](int phase) {
    if (phase == xplm_CommandBegin) on();
    if (phase == xplm_CommandEnd) off();
  };
}

// A trim moves for as long as it is held, one frame's travel at the begin and
// at every continue phase.
Action trim(std::string name, float direction, std::string travel_time) {
  return [name = std::move(name), direction, travel_time = std::move(travel_time)](int phase) {
    if (phase == xplm_CommandEnd || !present(name)) return;
    double travel_s = travel_time.empty() ? 0.0 : value(travel_time);
    if (!(travel_s > 0.0) || !std::isfinite(travel_s)) travel_s = kDefaultTrimTravel_s;
    double v = value(name) + direction * 2.0 / travel_s * state.frame_dt_s;
    put(name, std::clamp(v, -1.0, 1.0));
  };
}

// ---- radios --------------------------------------------------------------------

// One digit of the code steps inside 0..7 with no carry; a code outside
// 0..9999 is taken as its nearest, an 8 or 9 digit as past 7.
void transponder_digit(int place, bool up) {
  if (!present(kCode)) return;
  int code = std::clamp(get_int(kCode), 0, 9999);
  int digit = code / place % 10;
  int next = up ? (digit >= 7 ? 0 : digit + 1) : (digit == 0 ? 7 : std::min(digit - 1, 7));
  put(kCode, code + (next - digit) * place);
}

// MHz 118..136, round again at either end.
int next_mhz(int mhz, bool up) {
  if (up) return mhz < kComLowMHz || mhz >= kComHighMHz ? kComLowMHz : mhz + 1;
  return mhz <= kComLowMHz || mhz > kComHighMHz ? kComHighMHz : mhz - 1;
}

// The 8.33 kHz channel names inside one MHz: the first four 5 kHz steps of
// every 25 kHz block (xx00 05 10 15, xx25 30 35 40, ...).
bool channel_name(int khz) { return khz >= 0 && khz <= kLastChannelKhz && khz % 5 == 0 && khz % 25 != 20; }

// The next channel name up or down within the MHz, 990 and 000 wrapping to
// each other without a carry; a kHz value between names goes to the nearest
// name in the turning direction.
int next_channel(int khz, bool up) {
  khz = std::clamp(khz, -1, kLastChannelKhz + 1);
  if (up) {
    for (int k = khz + 1; k <= kLastChannelKhz; ++k)
      if (channel_name(k)) return k;
    return 0;
  }
  for (int k = khz - 1; k >= 0; --k)
    if (channel_name(k)) return k;
  return kLastChannelKhz;
}

Action com_step(const std::string& radio, bool coarse, bool up) {
  std::string name = kRadios + radio + (coarse ? "_standby_frequency_Mhz" : "_standby_frequency_khz");
  return at_begin([name, coarse, up] {
    if (present(name)) put(name, coarse ? next_mhz(get_int(name), up) : next_channel(get_int(name), up));
  });
}

Action flip(const std::string& radio) {
  if (radio.compare(0, 3, "com") == 0) {
    return at_begin([radio] {
      swap_values(kRadios + radio + "_frequency_Mhz", kRadios + radio + "_standby_frequency_Mhz");
      swap_values(kRadios + radio + "_frequency_khz", kRadios + radio + "_standby_frequency_khz");
    });
  }
  return at_begin([radio] { swap_values(kRadios + radio + "_frequency_hz", kRadios + radio + "_standby_frequency_hz"); });
}

Action ident() {
  return at_begin([] {
    put(kIdent, 1);
    state.ident_left_s = kIdentReply_s;
  });
}

// ---- electrical ------------------------------------------------------------------

// The meter reads the bus it was switched to, and follows it when the bus
// changes; a value played onto the meter itself stands until then.
void dc_meter_follow() {
  if (state.dc_meter_bus < 0) return;
  float volts = element(kBusVolts, state.dc_meter_bus);
  if (volts == state.dc_meter_volts) return;
  state.dc_meter_volts = volts;
  put(kDcMeter, volts);
}

Action dc_meter(int bus) {
  return at_begin([bus] {
    state.dc_meter_bus = bus;
    state.dc_meter_volts = element(kBusVolts, bus);
    put(kDcMeter, state.dc_meter_volts);
  });
}

// The APU switch; START springs back to ON and lights the APU however
// briefly it is held. The rotor ("APU_N1_percent", "APU_running") then
// follows in the host's own values (derived.cpp).
Action apu(std::string_view what) {
  const std::string sw = "sim/cockpit/engine/APU_switch";
  if (what == "off") return set_to(sw, 0);
  if (what == "on") return set_to(sw, 1);
  return held(
      [sw] {
        put(sw, 2);
        host().apu_lit = true;
      },
      [sw] { put(sw, 1); });
}

void fix_all_systems() {
  for (const Dataref& d : host().datarefs)
    if (d.live && d.owner == Owner::Host && d.name.compare(0, kFailurePrefix.size(), kFailurePrefix) == 0)
      put(d.name, 0);
  put_all(kFailureList, 0);
}

// ---- flight controls ----------------------------------------------------------------

const std::string kFlapHandle[] = {"sim/cockpit2/controls/flap_handle_request_ratio",
                                   "sim/cockpit2/controls/flap_ratio"};

// One notch up or down from where the handle is; a handle between notches
// goes to the nearer notch in that direction.
void flap_notch(bool down) {
  const std::string& from = present(kFlapHandle[0]) ? kFlapHandle[0] : kFlapHandle[1];
  if (!present(from)) return;
  double notch = value(from) * kFlapNotches;
  double next = down ? std::floor(notch + 1e-3) + 1.0 : std::ceil(notch - 1e-3) - 1.0;
  if (!std::isfinite(next)) next = 0.0;
  next = std::clamp(next, 0.0, static_cast<double>(kFlapNotches)) / kFlapNotches;
  for (const std::string& name : kFlapHandle) put(name, next);
}

void speed_brake_step(bool extend) {
  const std::string name = "sim/cockpit2/controls/speedbrake_ratio";
  if (!present(name)) return;
  const double v = value(name);
  double next = extend ? kSpeedBrakeSteps[3] : kSpeedBrakeSteps[0];
  for (float s : kSpeedBrakeSteps)
    if (extend ? s > v + 1e-3 : s < v - 1e-3) {
      next = s;
      if (extend) break;
    }
  put(name, next);
}

Action speed_brakes(std::string_view what) {
  const std::string name = "sim/cockpit2/controls/speedbrake_ratio";
  if (what == "down_one") return at_begin([] { speed_brake_step(true); });
  if (what == "up_one") return at_begin([] { speed_brake_step(false); });
  if (what == "down_all") return set_to(name, 1);
  if (what == "up_all") return set_to(name, 0);
  if (what == "toggle") return at_begin([name] { put(name, value(name) > 0 ? 0 : 1); });
  return {};
}

Action brakes(std::string_view what) {
  const std::string parking = "sim/cockpit2/controls/parking_brake_ratio", left = "sim/cockpit2/controls/left_brake_ratio",
                    right = "sim/cockpit2/controls/right_brake_ratio";
  const bool toggle = what.substr(0, 7) == "toggle_";
  if (toggle) what.remove_prefix(7);
  if (what != "max" && what != "regular") return {};
  const float effort = what == "max" ? 1.0f : kRegularBrake;
  if (toggle) return at_begin([=] { put(parking, value(parking) > 0 ? 0 : effort); });
  auto pedals = [=](float v) {
    put(left, v);
    put(right, v);
  };
  return held([=] { pedals(effort); }, [=] { pedals(0); });
}

// Engines of a reverser command: "" all of them, "_1" the first, ...
std::vector<int> engines(std::string_view suffix) {
  std::vector<int> out;
  if (suffix.empty()) {
    for (int e = 0; e < kEngines; ++e) out.push_back(e);
    return out;
  }
  if (suffix.size() == 2 && suffix[0] == '_' && suffix[1] >= '1' && suffix[1] < '1' + kEngines)
    out.push_back(suffix[1] - '1');
  return out;
}

Action reverser(bool hold, std::vector<int> which) {
  const std::string mode = "sim/cockpit2/engine/actuators/prop_mode",
                    lever = "sim/cockpit2/engine/actuators/throttle_jet_rev_ratio";
  if (!hold) {
    return at_begin([=] {
      for (int e : which) put_element(mode, e, element(mode, e) == kPropReverse ? kPropNormal : kPropReverse);
    });
  }
  auto set = [=](int m, float ratio) {
    for (int e : which) {
      put_element(mode, e, static_cast<float>(m));
      put_element(lever, e, ratio);
    }
  };
  return held([=] { set(kPropReverse, -1.0f); }, [=] { set(kPropNormal, 0.0f); });
}

// ---- the rules -------------------------------------------------------------------------

bool take(std::string_view& s, std::string_view prefix) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  s.remove_prefix(prefix.size());
  return true;
}

// `suffix` at the end of `s`, which loses it.
bool take_suffix(std::string_view& s, std::string_view suffix) {
  if (s.size() < suffix.size() || s.substr(s.size() - suffix.size()) != suffix) return false;
  s.remove_suffix(suffix.size());
  return true;
}

// "_up" or "_down" at the end of `s`, which loses it.
bool take_direction(std::string_view& s, bool* up) {
  *up = take_suffix(s, "_up");
  return *up || take_suffix(s, "_down");
}

// "_on" or "_off" at the end of `s`, which loses it.
bool take_switch(std::string_view& s, bool* on) {
  *on = take_suffix(s, "_on");
  return *on || take_suffix(s, "_off");
}

Action radio_rule(std::string_view s) {
  bool up = false, on = false;
  if (take(s, "stby_")) {  // stby_com1_coarse_up, stby_com2_fine_down_833
    const bool fine833 = take_suffix(s, "_833");
    if (!take_direction(s, &up)) return {};
    std::string_view radio = s.substr(0, s.find('_'));
    s.remove_prefix(radio.size());
    if (s == "_coarse" && !fine833) return com_step(std::string(radio), true, up);
    if (s == "_fine" && fine833) return com_step(std::string(radio), false, up);
    return {};
  }
  if (take(s, "power_") && take_switch(s, &on)) return set_to(kRadios + std::string(s) + "_power", on ? 1 : 0);
  if (take_suffix(s, "_standy_flip")) return flip(std::string(s));  // the host's own spelling
  return {};
}

Action transponder_rule(std::string_view s) {
  bool up = false;
  if (s == "transponder_ident") return ident();
  if (!take(s, "transponder_") || !take_direction(s, &up)) return {};
  const std::pair<std::string_view, int> places[] = {{"ones", 1}, {"tens", 10}, {"hundreds", 100}, {"thousands", 1000}};
  for (const auto& [place, scale] : places) {
    if (s == place) return at_begin([p = scale, up] { transponder_digit(p, up); });
  }
  return {};
}

Action electrical_rule(std::string_view s) {
  bool on = false;
  if (take(s, "APU_")) return s == "off" || s == "on" || s == "start" ? apu(s) : Action{};
  if (s == "dc_volt_lft") return dc_meter(0);
  if (s == "dc_volt_rgt") return dc_meter(1);
  if (!take_switch(s, &on)) return {};
  if (s == "GPU") return set_to("sim/cockpit/electrical/gpu_on", on ? 1 : 0);
  if (take(s, "generator_") && s.size() == 1 && s[0] >= '1' && s[0] <= '8') {
    const int g = s[0] - '1';
    return at_begin([g, on] { put_element("sim/cockpit2/electrical/generator_on", g, on ? 1.0f : 0.0f); });
  }
  return {};
}

Action lights_rule(std::string_view s) {
  bool on = false;
  const std::string switches = "sim/cockpit2/switches/";
  if (s == "landing_lights_toggle") {
    return at_begin([switches] {
      std::vector<float> v = get_floats(switches + "landing_lights_switch");
      const bool any = std::any_of(v.begin(), v.end(), [](float x) { return x > 0.0f; });
      put_all(switches + "landing_lights_switch", any ? 0.0f : 1.0f);
    });
  }
  if (!take_switch(s, &on)) return {};
  if (s == "landing_lights") return at_begin([switches, on] { put_all(switches + "landing_lights_switch", on ? 1 : 0); });
  if (s == "nav_lights") return set_to(switches + "navigation_lights_on", on ? 1 : 0);
  if (s == "strobe_lights") return set_to(switches + "strobe_lights_on", on ? 1 : 0);
  return {};
}

Action flight_controls_rule(std::string_view s) {
  const std::string controls = "sim/cockpit2/controls/";
  bool up = false;
  if (take(s, "speed_brakes_")) return speed_brakes(s);
  if (take(s, "brakes_")) return brakes(s);
  if (take(s, "landing_gear_")) {
    const std::string handle = "sim/cockpit/switches/gear_handle_status";
    if (s == "down") return set_to(handle, 1);
    if (s == "up") return set_to(handle, 0);
    if (s == "toggle") return at_begin([handle] { put(handle, value(handle) != 0 ? 0 : 1); });
    return {};
  }
  if (s == "flaps_down" || s == "flaps_up") return at_begin([down = s == "flaps_down"] { flap_notch(down); });
  const std::pair<std::string_view, std::string_view> side_trims[] = {{"rudder_trim_", "rudder_trim"},
                                                                      {"aileron_trim_", "aileron_trim"}};
  for (const auto& [prefix, dataref] : side_trims) {
    if (take(s, prefix) && (s == "left" || s == "right"))
      return trim(controls + std::string(dataref), s == "left" ? -1.0f : 1.0f, "");
  }
  // pitch_trim_up, pitch_trim_down_mech, pitch_trimA_up, pitch_trimB_down:
  // the servo, the mechanical and both motors' commands all move the one trim.
  if (take(s, "pitch_trim")) {
    take_suffix(s, "_mech");
    if (!take_direction(s, &up) || !(s.empty() || s == "A" || s == "B")) return {};
    return trim(controls + "elevator_trim", up ? 1.0f : -1.0f, "sim/aircraft/controls/acf_elev_trim_time");
  }
  return {};
}

Action action_for(std::string_view name) {
  if (!take(name, "sim/")) return {};
  if (take(name, "radios/")) return radio_rule(name);
  if (take(name, "transponder/")) return transponder_rule(name);
  if (take(name, "electrical/")) return electrical_rule(name);
  if (take(name, "lights/")) return lights_rule(name);
  if (take(name, "flight_controls/")) return flight_controls_rule(name);
  if (take(name, "engines/thrust_reverse_")) {
    const bool hold = take(name, "hold");
    if (!hold && !take(name, "toggle")) return {};
    std::vector<int> which = engines(name);
    return which.empty() ? Action{} : reverser(hold, which);
  }
  if (name == "annunciator/clear_master_caution") return set_to("sim/cockpit2/annunciators/master_caution", 0);
  if (name == "annunciator/clear_master_warning") return set_to("sim/cockpit2/annunciators/master_warning", 0);
  if (name == "annunciator/test_stall") {
    const std::string warning = "sim/cockpit2/annunciators/stall_warning";
    return held([warning] { put(warning, 1); }, [warning] { put(warning, 0); });
  }
  if (name == "autopilot/servos_fdir_off") {
    return at_begin([] {
      for (const char* n : {"flight_director_mode", "servos_on", "autopilot_on"}) put(std::string("sim/cockpit2/autopilot/") + n, 0);
    });
  }
  if (name == "operation/fix_all_systems") return at_begin(fix_all_systems);
  return {};
}

}  // namespace

void install_default_actions(Host& h) {
  state = ActionState{};
  for (Command& c : h.commands)
    if (c.host_command && !c.host_action) c.host_action = action_for(c.name);
}

void default_actions_frame(float dt) {
  state.frame_dt_s = std::isfinite(dt) && dt > 0.0f ? dt : 0.0f;
  if (state.ident_left_s > 0.0f) {
    state.ident_left_s -= state.frame_dt_s;
    if (state.ident_left_s <= 0.0f) put(kIdent, 0);
  }
  dc_meter_follow();
}

}  // namespace simhost
