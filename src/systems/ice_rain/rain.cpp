// Rain-on-glass driver (see rain.h).
#include "systems/ice_rain/rain.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/paths.h"
#include "core/units.h"
#include "core/util.h"
#include "core/variant.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

RainDriverState rain_driver;

namespace {

// Each pane's datarefs come as one block in the binding table; the occluding
// objects as (filename, load, loaded) triples.
constexpr int kPaneStride = bound::librain_glass_1_wiper_0_angle - bound::librain_glass_0_wiper_0_angle;
static_assert(bound::librain_glass_1_obj_loaded - bound::librain_glass_0_obj_loaded == kPaneStride);
constexpr int kObjects = 15;
static_assert(bound::librain_z_depth_obj_14_filename - bound::librain_z_depth_obj_0_filename == (kObjects - 1) * 3);
static_assert(bound::librain_z_depth_obj_14_loaded - bound::librain_z_depth_obj_0_loaded == (kObjects - 1) * 3);
constexpr int kPathBytes = 512;
constexpr int kStageDone = 19;

// Object slots: the two panes, then the occluding objects 0..14 (the
// plug-in's "z_depth_obj" numbers), in the order they load.
enum RainSlot : int {
  kGlass0 = -2,       // left windshield pane
  kGlass1 = -1,       // right windshield pane
  kCockpitFirst = 0,  // the nine cockpit objects (cockpit_objects below)
  kCockpitLast = 8,
  kHud = 9,
  kGalley = 10,
  kCabinSeats = 11,
  kPassengers = 12,
  kCabin = 13,
  kFuselage = 14,
};

bound::Id pane(int glass, bound::Id glass0_id) { return static_cast<bound::Id>(glass0_id + glass * kPaneStride); }

bound::Id slot_id(int slot, int field) {  // field 0 filename, 1 load, 2 loaded
  if (slot == kGlass0 || slot == kGlass1) {
    const bound::Id base[3] = {bound::librain_glass_0_obj_filename, bound::librain_glass_0_obj_load,
                               bound::librain_glass_0_obj_loaded};
    return pane(slot == kGlass1 ? 1 : 0, base[field]);
  }
  return static_cast<bound::Id>(bound::librain_z_depth_obj_0_filename + slot * 3 + field);
}

bool loaded(int slot) { return read_now_i(slot_id(slot, 2)) == 1; }

void set_load(int slot, int value) { script_set_i(slot_id(slot, 1), value); }

// Sends an object below the aircraft folder and asks for it to load.
void request(int slot, const char* relative) {
  char path[kPathBytes];
  std::memset(path, 0, sizeof path);
  const int n = std::snprintf(path, sizeof path, "%s%s%s", system_root, aircraft_folder, relative);
  if (n < 0 || n >= kPathBytes) path[0] = '\0';  // too long: an empty name rather than a wrong file
  script_set_bytes(slot_id(slot, 0), path, kPathBytes);
  set_load(slot, 1);
}

void set_both(bound::Id glass0_id, float v) {
  script_set_f(glass0_id, v);
  script_set_f(pane(1, glass0_id), v);
}

bool generic() { return variant_index < 0; }
int32_t family() { return trunc_to_i32(model_family); }
// The product variants with their own cabin objects.
const char* const cabin_variant_names[5] = {"737_80NG", "737_90NG", "737_70NG", "737_60NG", "737_9ENG"};
const char* cabin_variant() { return (variant_index >= 0 && variant_index < 5) ? cabin_variant_names[variant_index] : nullptr; }

float hud_disable() { return script_mirror.zuvadud_D738_hud_disable; }
float layout_hide() { return script_mirror.zuvadud_D738_layout_0_hide; }
float pax0_hide() { return script_mirror.zuvadud_D738_effects_passengers_0_hide; }
float pax1_hide() { return script_mirror.zuvadud_D738_effects_passengers_1_hide; }

const char* hud_object() { return generic() ? "objects/738_HUD.obj" : "objects/737_HUD.obj"; }
const char* seats_family0() {
  return layout_hide() == 0.0f ? "objects/cabin/737_cabin_seats.obj" : "objects/cabin/737_seats_economy.obj";
}
// People object for the passenger switches; null asks for nothing.
const char* people_object() {
  if (pax0_hide() == 0.0f) return "objects/people.obj";
  if (pax1_hide() == 0.0f) return "objects/people_economy.obj";
  return nullptr;
}

// Cockpit objects of stages 2..10 (generic file, product variant).
struct StageObject {
  const char* generic_file;
  const char* variant_file;
};
const StageObject cockpit_objects[9] = {
    {"objects/738_cockpit_roof_2k.obj", "objects/737_cockpit_roof.obj"},
    {"objects/738_cockpit_pdstl_2k.obj", "objects/737_cockpit_pdstl.obj"},
    {"objects/738_cockpit_pdstl_efis_2k.obj", "objects/737_cockpit_pdstl_efis.obj"},
    {"objects/738_cockpit_pdstl_mic_2k.obj", "objects/737_cockpit_ovhd1.obj"},
    {"objects/738_cockpit_ovhd2_2k.obj", "objects/737_cockpit_ovhd2.obj"},
    {"objects/738_cockpit_switch_2k.obj", "objects/737_cockpit_switch.obj"},
    {"objects/738_cockpit_seats_2k.obj", "objects/737_cockpit_seats.obj"},
    {"objects/tablet.obj", "objects/rain_tablet_left.obj"},
    {"objects/checklist.obj", "objects/rain_tablet_right.obj"},
};

void request_variant_path(int slot, const char* format) {
  char rel[160];
  const char* v = cabin_variant();
  std::snprintf(rel, sizeof rel, format, v, v);
  request(slot, rel);
}

// Heated zones (x, y, width, height) of a pane: forward then side, zeros when off.
void send_heat_zones(int glass, const float fwd[4], bool fwd_on, const float side[4], bool side_on) {
  constexpr int kZoneValues = 8;
  float zones[kZoneValues] = {};
  for (int i = 0; i < 4; ++i) {
    zones[i] = fwd_on ? fwd[i] : 0.0f;
    zones[4 + i] = side_on ? side[i] : 0.0f;
  }
  script_set_vf(pane(glass, bound::librain_glass_0_heat_zones), zones, kZoneValues);
}

// Window heat switched on and powered, per pane (the side windows fed
// crosswise).
struct PaneHeat {
  bool fwd;
  bool side;
};
PaneHeat pane_heat(int glass) {
  auto on = [](float sw, WindowIndex w) { return sw != 0.0f && window_heat_bus(w) != 0.0f; };
  if (glass == 0) return {on(ice::window_heat_l_fwd_pos, window_l_fwd), on(ice::window_heat_l_side_pos, window_l_side)};
  return {on(ice::window_heat_r_fwd_pos, window_r_fwd), on(ice::window_heat_r_side_pos, window_r_side)};
}

void initial_glass_values() {
  RainDriverState& s = rain_driver;
  for (int g = 0; g < 2; ++g) {
    script_set_f(pane(g, bound::librain_glass_0_wiper_0_pivot_x), 0.67f);
    script_set_f(pane(g, bound::librain_glass_0_wiper_0_pivot_y), g == 0 ? 0.41f : 0.40f);
    script_set_f(pane(g, bound::librain_glass_0_wiper_0_radius_inner), 0.2f);
    script_set_f(pane(g, bound::librain_glass_0_wiper_0_radius_outer), 0.525f);
    script_set_f(pane(g, bound::librain_glass_0_wiper_0_angle), -1.4311700f);
    script_set_f(pane(g, bound::librain_glass_0_gravity_factor), 0.2f);
    script_set_f(pane(g, bound::librain_glass_0_gravity_point_x), 0.5f);
    script_set_f(pane(g, bound::librain_glass_0_gravity_point_y), 2.0f);
    script_set_f(pane(g, bound::librain_glass_0_max_tas), 500.0f);
    script_set_f(pane(g, bound::librain_glass_0_thrust_factor), 0.0f);
    script_set_f(pane(g, bound::librain_glass_0_thrust_point_x), 1.0f);
    script_set_f(pane(g, bound::librain_glass_0_thrust_point_y), 0.0f);
    script_set_f(pane(g, bound::librain_glass_0_wind_factor), 1.0f);
    script_set_f(pane(g, bound::librain_glass_0_wind_normal), 0.8f);
    script_set_f(pane(g, bound::librain_glass_0_wind_point_x), 1.0f);
    script_set_f(pane(g, bound::librain_glass_0_wind_point_y), -2.0f);
    script_set_f(pane(g, bound::librain_glass_0_therm_inertia), 15.0f);
    script_set_f(pane(g, bound::librain_glass_0_cabin_temp), 295.0f);
    constexpr int kZones = 2;
    const float targets[kZones] = {600.0f, 600.0f};
    script_set_vf(pane(g, bound::librain_glass_0_heat_tgt_temps), targets, kZones);
    const float fwd[4] = {0.0f, 0.45f, 1.0f, 0.5f};
    const float side[4] = {0.0f, 0.0f, 1.0f, 0.45f};
    const PaneHeat heat = pane_heat(g);
    send_heat_zones(g, fwd, heat.fwd, side, heat.side);
    script_set_f(pane(g, bound::librain_glass_0_slant_factor), 1.0f);
  }
  s.slant_factor = 1.0f;
  s.gravity_point_x = 0.5f;
}

// One stage of the load sequence; returns false while it waits.
bool load_stage(int stage) {
  RainDriverState& s = rain_driver;
  if (stage == 0) {
    request(kGlass0, "objects/rain_glass_left.obj");
    return true;
  }
  if (stage == 1) {
    if (!loaded(kGlass0)) return false;
    request(kGlass1, "objects/rain_glass_right.obj");
    return true;
  }
  if (stage >= 2 && stage <= 10) {
    if (!loaded(stage == 2 ? kGlass1 : kCockpitFirst + (stage - 3))) return false;
    const StageObject& o = cockpit_objects[stage - 2];
    request(kCockpitFirst + (stage - 2), generic() ? o.generic_file : o.variant_file);
    return true;
  }
  switch (stage) {
    case 11:
      if (!loaded(kCockpitLast)) return false;
      s.hud_requested = hud_disable() == 0.0f ? 1 : 0;
      if (s.hud_requested) {
        request(kHud, hud_object());
      } else {
        set_load(kHud, 0);
      }
      s.hud_state = hud_disable();
      return true;
    case 12:
      if (s.hud_requested && !loaded(kHud)) return false;
      if (generic()) {
        request(kGalley, family() == 0 ? "objects/cabin/737_cabin_galleies.obj" : "objects/CABIN/739_cabin.obj");
      } else if (cabin_variant()) {
        request_variant_path(kGalley, "objects/%s/cabin/%s_cabin_galley.obj");
      }
      return true;
    case 13:
      if (!loaded(kGalley)) return false;
      s.layout_state = layout_hide();
      if (generic()) {
        if (family() == 0) {
          request(kCabinSeats, seats_family0());
        } else {
          request(kCabinSeats, "objects/CABIN/739_cabin_seats.obj");
          s.layout_state = layout_hide() + 10.0f;
        }
      } else if (cabin_variant()) {
        request_variant_path(kCabinSeats, "objects/%s/cabin/%s_cabin.obj");
      }
      return true;
    case 14:
      if (!loaded(kCabinSeats)) return false;
      s.cabin_requested = 0;
      if (generic()) {
        if (family() == 0) {
          request(kCabin, "objects/cabin/737_cabin.obj");
          s.cabin_requested = 1;
        } else {
          set_load(kCabin, 0);
        }
      }
      return true;
    case 15: {
      if (!loaded(s.cabin_requested ? kCabin : kCabinSeats)) return false;
      s.passenger_requested = 0;
      if (variant_index == 4) {
        request(kPassengers, "objects/cabin/737_cabin.obj");
        s.passenger_requested = 1;
      } else if (model_family < 2.0f) {
        if (const char* people = people_object()) {
          request(kPassengers, people);
          s.passenger_requested = 1;
        } else {
          set_load(kPassengers, 0);
        }
      }
      s.passenger_state = pax1_hide() * 2.0f + pax0_hide();
      return true;
    }
    case 16:
      if (s.passenger_requested && !loaded(kPassengers)) return false;
      if (generic()) {
        request(kFuselage, "objects/738fuselage.obj");
      } else if (cabin_variant()) {
        request_variant_path(kFuselage, "objects/%s/%s_fuselage.obj");
      }
      return true;
    case 17:
      script_set_i(bound::librain_num_glass_use, 2);  // both windshield panes
      return true;
    case 18:
      initial_glass_values();
      script_set_i(bound::librain_initialize, 1);
      return true;
    default:
      return false;  // all requested: wait for the plug-in's success
  }
}

void follow_cockpit_options() {
  RainDriverState& s = rain_driver;
  if (hud_disable() != s.hud_state) {
    if (hud_disable() == 0.0f) {
      request(kHud, hud_object());
    } else {
      set_load(kHud, 0);
    }
    s.hud_state = hud_disable();
  }
  if (!generic() || model_family >= 2.0f) return;
  const float pax = pax1_hide() * 2.0f + pax0_hide();
  if (pax != s.passenger_state) {
    if (const char* people = people_object()) {
      request(kPassengers, people);
    } else {
      set_load(kPassengers, 0);
    }
    s.passenger_state = pax;
  }
  // The longer cabin remembers its layout plus 10; compare like with like so
  // an unchanged layout does not reload the cabin every frame.
  const float layout = family() == 0 ? layout_hide() : layout_hide() + 10.0f;
  if (layout != s.layout_state) {
    if (family() == 0) {
      request(kCabinSeats, seats_family0());
      request(kCabin, "objects/cabin/737_cabin.obj");
    } else {
      request(kCabinSeats, "objects/CABIN/739_cabin_seats.obj");
      set_load(kPassengers, 0);
    }
    s.layout_state = layout;
  }
}

void wipers(int glass, float ratio, float up) {
  const float r = clamp_range(ratio, 0.0f, 72.0f);
  // 90 degrees parked, 15 degrees at the end of the sweep.
  script_set_f(pane(glass, bound::librain_glass_0_wiper_0_angle), -(90.0f - r * 75.0f / 72.0f) * pi_f / 180.0f);
  script_set_f(pane(glass, bound::librain_glass_0_wiper_0_pivot_x), 0.67f + r * 0.18f / 72.0f);
  script_set_f(pane(glass, bound::librain_glass_0_wiper_0_pivot_y), 0.54f);
  script_set_f(pane(glass, bound::librain_glass_0_wiper_0_radius_inner), 0.14f - r * 0.09f / 72.0f);
  script_set_f(pane(glass, bound::librain_glass_0_wiper_0_radius_outer), 0.48f);
  script_set_i(pane(glass, bound::librain_glass_0_wiper_0_moving), up >= 0.0f ? 1 : 0);
}

void per_frame_update() {
  RainDriverState& s = rain_driver;
  follow_cockpit_options();
  const float p = host_mirror.sim_weather_precipitation_on_aircraft_ratio;
  const float gs = host_mirror.sim_flightmodel_position_groundspeed;
  s.slant_factor = move_toward_timed(s.slant_factor, rain_slant_target(p, gs), 1.0f, 3.0f, 10.0f);
  set_both(bound::librain_glass_0_slant_factor, s.slant_factor);
  const float gravity_target = clamp_range(gs, 0.0f, 40.0f) / 40.0f;
  s.gravity_point_x = move_toward_timed(s.gravity_point_x, gravity_target, 0.0f, 1.0f, 10.0f);
  set_both(bound::librain_glass_0_gravity_point_x, s.gravity_point_x);
  script_set_f(bound::librain_glass_0_cabin_temp, cockpit::cabin_temp + 273.0f);

  const float fwd0[4] = {0.0f, 0.4f, 0.5f, 0.5f};
  const float side0[4] = {0.0f, 0.0f, 0.5f, 0.3f};
  const float fwd1[4] = {0.5f, 0.4f, 0.5f, 0.5f};
  const float side1[4] = {0.5f, 0.0f, 0.5f, 0.3f};
  const PaneHeat h0 = pane_heat(0);
  const PaneHeat h1 = pane_heat(1);
  send_heat_zones(0, fwd0, h0.fwd, side0, h0.side);
  send_heat_zones(1, fwd1, h1.fwd, side1, h1.side);

  wipers(0, others::left_wiper_ratio, others::left_wiper_up);
  wipers(1, others::right_wiper_ratio, others::right_wiper_up);
}

// Piecewise linear through the points, end values held outside them.
float through(const float (*pts)[2], int n, float x) {
  if (!(x > pts[0][0])) return pts[0][1];
  for (int i = 1; i < n; ++i) {
    if (x <= pts[i][0]) return interpolate_clamped(pts[i - 1][0], pts[i - 1][1], pts[i][0], pts[i][1], x);
  }
  return pts[n - 1][1];
}

}  // namespace

float rain_slant_target(float precipitation, float groundspeed_mps) {
  static const float f1_pts[3][2] = {{0.0f, 1.0f}, {0.3f, 1.6f}, {0.8f, 2.5f}};
  static const float cap_pts[5][2] = {{0.0f, 1.5f}, {0.15f, 1.9f}, {0.3f, 3.0f}, {0.5f, 2.5f}, {0.8f, 2.0f}};
  const float f1 = through(f1_pts, 3, precipitation);
  const float f2 = interpolate_clamped(0.0f, 1.0f, 70.0f, 1.6f, groundspeed_mps);
  const float f3 = through(cap_pts, 5, precipitation);
  const float v = f1 * f2;
  return v < f3 ? v : f3;
}

void update_rain_effect() {
  if (read_now_i(bound::librain_init_success) != 0) {
    per_frame_update();
    return;
  }
  RainDriverState& s = rain_driver;
  if (s.load_stage < 0 || s.load_stage >= kStageDone) return;
  if (load_stage(s.load_stage)) ++s.load_stage;
}

void rain_effect_gate() {
  if (!bound_present(bound::zuvadud_D738_perf_kill_windshield) || !bound_present(bound::librain_init_success)) return;
  const float k = read_now_f(bound::zuvadud_D738_perf_kill_windshield);
  if (k != 2.0f) {
    rain_driver.load_stage = 0;
    return;
  }
  const bool vr_allows = host_mirror.sim_graphics_VR_enabled == 0 ||
                         script_mirror.zuvadud_D738_effect_enable_librain_vr != 0.0f;
  if (vr_allows) update_rain_effect();
}
