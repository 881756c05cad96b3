// FIX page overlay: the exchange with the scripts' FIX page values under
// "zuvadud/D738/nd/fix_" (five fixes per side, three elements each: a
// distance circle or a radial line, and an abeam line per fix). Every value
// is taken now through the seam (read_now_vf) each time it is used and
// nothing is kept between frames.
//
// update_nd_fix_overlay (main loop) writes the label positions of the circle
// elements per side (display-object units) and the 15 shared label texts;
// draw_nd_fix_pass (map pass) draws the circles, radials and abeam lines.
// Reads EfisSideState, the host's position and variation, the second and
// third routes (plan-mode centre), the side's DC power and the circle enable
// of the terrain-radar link.
#include "display/fix_overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "alerting/alerting_steps.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "lnav/route/route_intake.h"
#include "display/map_primitives.h"
#include "display/nd_style.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"

namespace {

constexpr int32_t fix_count = 5;
constexpr int32_t element_count = 3;

// One side's FIX page values, by name.
struct SideRefs {
  bound::Id lat, lon, shown;
  bound::Id circle[element_count];  // "fix_rad_dist_e": 2 = distance circle
  bound::Id radius[element_count];  // "fix_dist_e_nm"
  bound::Id line[element_count];    // "fix_rad_dist_ea": 1 radial, 2 label position
  bound::Id rot[element_count];     // "fix_rot_e"
  bound::Id out_x[element_count];   // "fix_dist_x_e"
  bound::Id out_y[element_count];   // "fix_dist_y_e"
};

using namespace bound;
const SideRefs side_refs[2] = {
    {zuvadud_D738_nd_fix_lat,
     zuvadud_D738_nd_fix_lon,
     zuvadud_D738_nd_fix_en,
     {zuvadud_D738_nd_fix_rad_dist_0, zuvadud_D738_nd_fix_rad_dist_1, zuvadud_D738_nd_fix_rad_dist_2},
     {zuvadud_D738_nd_fix_dist_0_nm, zuvadud_D738_nd_fix_dist_1_nm, zuvadud_D738_nd_fix_dist_2_nm},
     {zuvadud_D738_nd_fix_rad_dist_0a, zuvadud_D738_nd_fix_rad_dist_1a, zuvadud_D738_nd_fix_rad_dist_2a},
     {zuvadud_D738_nd_fix_rot_0, zuvadud_D738_nd_fix_rot_1, zuvadud_D738_nd_fix_rot_2},
     {zuvadud_D738_nd_fix_dist_x_0, zuvadud_D738_nd_fix_dist_x_1, zuvadud_D738_nd_fix_dist_x_2},
     {zuvadud_D738_nd_fix_dist_y_0, zuvadud_D738_nd_fix_dist_y_1, zuvadud_D738_nd_fix_dist_y_2}},
    {zuvadud_D738_nd_fix_fo_lat,
     zuvadud_D738_nd_fix_fo_lon,
     zuvadud_D738_nd_fix_fo_en,
     {zuvadud_D738_nd_fix_fo_rad_dist_0, zuvadud_D738_nd_fix_fo_rad_dist_1, zuvadud_D738_nd_fix_fo_rad_dist_2},
     {zuvadud_D738_nd_fix_fo_dist_0_nm, zuvadud_D738_nd_fix_fo_dist_1_nm, zuvadud_D738_nd_fix_fo_dist_2_nm},
     {zuvadud_D738_nd_fix_fo_rad_dist_0a, zuvadud_D738_nd_fix_fo_rad_dist_1a, zuvadud_D738_nd_fix_fo_rad_dist_2a},
     {zuvadud_D738_nd_fix_fo_rot_0, zuvadud_D738_nd_fix_fo_rot_1, zuvadud_D738_nd_fix_fo_rot_2},
     {zuvadud_D738_nd_fix_fo_dist_x_0, zuvadud_D738_nd_fix_fo_dist_x_1, zuvadud_D738_nd_fix_fo_dist_x_2},
     {zuvadud_D738_nd_fix_fo_dist_y_0, zuvadud_D738_nd_fix_fo_dist_y_1, zuvadud_D738_nd_fix_fo_dist_y_2}}};

const bound::Id label_refs[fix_count][element_count] = {
    {zuvadud_D738_nd_fix_dist_00_00, zuvadud_D738_nd_fix_dist_00_01, zuvadud_D738_nd_fix_dist_00_02},
    {zuvadud_D738_nd_fix_dist_01_00, zuvadud_D738_nd_fix_dist_01_01, zuvadud_D738_nd_fix_dist_01_02},
    {zuvadud_D738_nd_fix_dist_02_00, zuvadud_D738_nd_fix_dist_02_01, zuvadud_D738_nd_fix_dist_02_02},
    {zuvadud_D738_nd_fix_dist_03_00, zuvadud_D738_nd_fix_dist_03_01, zuvadud_D738_nd_fix_dist_03_02},
    {zuvadud_D738_nd_fix_dist_04_00, zuvadud_D738_nd_fix_dist_04_01, zuvadud_D738_nd_fix_dist_04_02}};

using Five = float[fix_count];

// Five values of a script array; absent or short arrays read 0, values that
// are not numbers read 0.
void read5(bound::Id id, Five& out) {
  for (float& v : out) v = 0.0f;
  read_now_vf(id, out, fix_count);
}

void write5(bound::Id id, const Five& v) {
  script_set_vf(id, v, fix_count);
}

struct SideValues {
  Five lat, lon, shown;
  Five circle[element_count], radius[element_count], line[element_count], rot[element_count];
};

void read_side(int32_t sd, SideValues& v) {
  const SideRefs& r = side_refs[sd];
  read5(r.lat, v.lat);
  read5(r.lon, v.lon);
  read5(r.shown, v.shown);
  for (int32_t e = 0; e < element_count; ++e) {
    read5(r.circle[e], v.circle[e]);
    read5(r.radius[e], v.radius[e]);
    read5(r.line[e], v.line[e]);
    read5(r.rot[e], v.rot[e]);
  }
}

// Map up-heading and reference point of a side in MAP or PLN; false in any
// other mode.
bool fix_frame(int32_t sd, float& up, double& ref_lat, double& ref_lon) {
  const EfisSideState& e = efis_side[sd];
  const float var = host_mirror.sim_flightmodel_position_magnetic_variation;
  if (e.map_mode == nd_mode(NdMapMode::plan)) {
    up = 0.0f;  // true north up
    const DisplayRoute& r = display_routes[sd];
    const float step = sd == 0 ? fms_copies.legs_step_ctr : fms_copies.legs_step_ctr_fo;
    int32_t idx = 0;
    if (r.count > 1.0f && step != 0.0f) {
      int32_t n = trunc_to_i32(static_cast<double>(step));
      const int32_t cnt = trunc_to_i32(static_cast<double>(r.count));
      if (n > cnt) n = cnt;
      if (n - 1 >= 1 && n - 1 < route_leg_capacity) idx = n - 1;
    }
    ref_lat = r.lat[idx];
    ref_lon = r.lon[idx];
  } else if (e.map_mode == nd_mode(NdMapMode::map)) {
    const bool track_up = e.track_up != 0.0f && e.track_up_active != 0.0f;
    up = (track_up ? e.track_mag_deg : e.heading_mag_deg) - var;
    ref_lat = host_mirror.sim_flightmodel_position_latitude;
    ref_lon = host_mirror.sim_flightmodel_position_longitude;
  } else {
    return false;
  }
  return std::isfinite(up) && std::isfinite(ref_lat) && std::isfinite(ref_lon);
}

// Label position of one circle: just outside the circle on the side that
// faces the reference point, turned round the fix until it lands on the
// display.
void label_position(double fix_lat, double fix_lon, double ref_lat, double ref_lon, float up, double d, double rel,
                    double r_nm, double k, double y_off, float& out_x, float& out_y) {
  static constexpr double steps[7] = {45.0, -90.0, 135.0, -180.0, 225.0, -270.0, 315.0};
  double x = 0.0;
  double y = 0.0;
  for (int32_t t = 0; t <= 7; ++t) {
    if (t > 0) d = angle::mod360_nonneg_d(rel > 0.0 ? d - steps[t - 1] : d + steps[t - 1]);
    const double alpha = std::fabs(angle::wrap180_nonneg_d(static_cast<double>(up) - d));
    const double o = alpha < 90.0 ? 0.3 + 0.4 * alpha / 90.0 : 0.7 - 0.4 * (alpha - 90.0) / 90.0;
    gc_destination(fix_lat, fix_lon, d, r_nm + o / k);
    float across = 0.0f;
    float along = 0.0f;
    course_offsets(ref_lat, ref_lon, nav_result.lat, nav_result.lon, up, across, along);
    x = across * k;
    y = along * k + y_off;
    if (x > -5.5 && x < 5.5 && y > 0.0 && y < 9.0) break;
  }
  out_x = static_cast<float>(x);
  out_y = static_cast<float>(y);
}

}  // namespace

void fix_distance_text(float radius_nm, char (&out)[6]) {
  char text[32];
  const double v = std::floor(static_cast<double>(radius_nm) * 10.0 + 0.5) / 10.0;
  if (!std::isfinite(v)) {
    std::snprintf(text, sizeof text, "999");
  } else if (v < 10.0) {
    std::snprintf(text, sizeof text, "%3.1f", v);
  } else if (v < 1000.0) {
    std::snprintf(text, sizeof text, "%3d", static_cast<int>(v));
  } else {
    std::snprintf(text, sizeof text, "999");
  }
  std::memset(out, 0, sizeof out);
  std::memcpy(out, text, std::min(std::strlen(text), sizeof out));
}

void update_nd_fix_overlay() {
  static constexpr double label_scale[8] = {2.0, 1.0, 0.5, 0.25, 0.125, 0.0625, 0.03125, 0.015625};
  float out_x[2][element_count][fix_count] = {};
  float out_y[2][element_count][fix_count] = {};
  char labels[fix_count][element_count][6] = {};
  bool any = false;
  const bool circles = terrain_radar_link_state.fix_circles_enabled == 1;

  for (int32_t sd = 0; sd < 2; ++sd) {
    const EfisSideState& e = efis_side[sd];
    if (!nd_side_powered(sd)) continue;
    float up = 0.0f;
    double ref_lat = 0.0;
    double ref_lon = 0.0;
    if (!fix_frame(sd, up, ref_lat, ref_lon)) continue;
    any = true;
    const bool pln = e.map_mode == nd_mode(NdMapMode::plan);
    const double y_off = pln ? 4.1 : (e.vsd_map != 0.0f ? 5.1 : (e.exp_map == 0.0f ? 4.1 : 0.0));
    const double k = label_scale[nd_range_index(e.map_range)] * (pln ? 0.57 : 1.0);
    SideValues v;
    read_side(sd, v);
    for (int32_t i = 0; i < fix_count; ++i) {
      const double brg = gc_bearing(ref_lat, ref_lon, v.lat[i], v.lon[i]);
      const double rel = angle::wrap180_nonneg_d(brg - up);
      const double d = std::fmod(brg + 180.0, 360.0);
      if (v.shown[i] == 0.0f) continue;
      for (int32_t el = 0; el < element_count; ++el) {
        if (circles && v.circle[el][i] == 2.0f) fix_distance_text(v.radius[el][i], labels[i][el]);
        if (v.line[el][i] == 2.0f)
          label_position(v.lat[i], v.lon[i], ref_lat, ref_lon, up, d, rel, v.radius[el][i], k, y_off,
                         out_x[sd][el][i], out_y[sd][el][i]);
      }
    }
  }
  if (!any) return;
  for (int32_t sd = 0; sd < 2; ++sd) {
    for (int32_t el = 0; el < element_count; ++el) {
      write5(side_refs[sd].out_x[el], out_x[sd][el]);
      write5(side_refs[sd].out_y[el], out_y[sd][el]);
    }
  }
  for (int32_t i = 0; i < fix_count; ++i)
    for (int32_t el = 0; el < element_count; ++el)
      script_set_bytes(label_refs[i][el], labels[i][el], 6);
}

void draw_nd_fix_pass(const NdColours& colours) {
  const bool circles = terrain_radar_link_state.fix_circles_enabled == 1;
  Five abm_act = {};
  Five abm_brg = {};
  Five abm_dist = {};
  bool abeam_read = false;
  for (int32_t sd = 0; sd < 2; ++sd) {
    const EfisSideState& e = efis_side[sd];
    if (!nd_side_powered(sd) || !(colours.green[sd][3] > 0.0f)) continue;
    float up = 0.0f;
    double ref_lat = 0.0;
    double ref_lon = 0.0;
    if (!fix_frame(sd, up, ref_lat, ref_lon)) continue;
    const bool pln = e.map_mode == nd_mode(NdMapMode::plan);
    nd_symbol_origin.y = 0.199;
    if (pln) {
      nd_symbol_origin.y = 0.48;
    } else if (e.vsd_map != 0.0f) {
      nd_symbol_origin.y = 0.547;
    } else if (e.exp_map == 0.0f) {
      nd_symbol_origin.y = 0.48;
    }
    const double s = nd_range_scale(e.map_range) * (pln ? 0.57 : 1.0);
    glColor4fv(colours.green[sd]);
    if (!abeam_read) {
      read5(zuvadud_D738_nd_fix_abm_act, abm_act);
      read5(zuvadud_D738_nd_fix_abm_brg, abm_brg);
      read5(zuvadud_D738_nd_fix_abm_dist, abm_dist);
      abeam_read = true;
    }
    SideValues v;
    read_side(sd, v);
    for (int32_t i = 0; i < fix_count; ++i) {
      if (v.shown[i] != 0.0f) {
        map_project(ref_lat, ref_lon, v.lat[i], v.lon[i], up, s);
        const double px = map_point.x;
        const double py = map_point.y;
        for (int32_t el = 0; el < element_count; ++el) {
          if (circles && v.circle[el][i] == 2.0f)
            draw_map_arc(px, py, static_cast<double>(v.radius[el][i]) * s, 0.0, 359.0, 1.0f, 2, sd);
          if (v.line[el][i] == 1.0f) {
            // Radials are drawn on whole degrees.
            const double brg = std::trunc(std::fmod(static_cast<double>(v.rot[el][i]) + 270.0, 360.0));
            map_polar_line(px, py, brg, 700.0 * s, 1, sd);
          }
        }
      }
      if (abm_act[i] != 0.0f && (sd == 0 || v.shown[i] != 0.0f)) {
        map_project(ref_lat, ref_lon, v.lat[i], v.lon[i], up, s);
        const double qx = map_point.x;
        const double qy = map_point.y;
        const float var = XPLMGetMagneticVariation(v.lat[i], v.lon[i]);
        const double brg = std::trunc(std::fmod(static_cast<double>(abm_brg[i]) - var - up + 360.0, 360.0));
        map_polar_line(qx, qy, brg, static_cast<double>(abm_dist[i]) * s, 1, sd);
      }
    }
  }
}
