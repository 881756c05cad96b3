// Trend vector and VOR bearing lines, drawn after the FIX pass. The trend
// vector is the ground track over the next n half-minutes at the present
// ground speed, bent along the turn circle of the present bank when that
// bends it by 2 degrees or more; the VOR lines run towards the selected
// stations from a range-dependent distance off the aircraft symbol.
//
// Reads the host's ground speed, position, variation, the two VOR bearings
// and their receivers' power; the scripts' VOR show flags and station
// positions, heading alignment and track deviation values; EfisSideState
// (each side's heading, track and bank); the side's DC power and display
// brightness (colour alpha); the terrain-radar link's version.
#include "display/trend_vector.h"

#include <GL/gl.h>

#include <cmath>

#include "alerting/alerting_steps.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "display/map_primitives.h"
#include "display/nd_style.h"
#include "navdata/geodesy.h"
#include "systems/electrical/bus_feeds.h"

NdTrackPassValues nd_track_pass;

int32_t trend_segment_count(float range_index) {
  const int32_t idx = nd_range_index(range_index);
  return idx <= 1 ? 1 : (idx == 2 ? 2 : 3);
}

namespace {

constexpr double nm_per_m = 0.0005399568;
// Bank (degrees, either side) the trend arc's turn radius is computed with at
// most: a steeper bank draws the arc of this one.
constexpr float kTrendMaxBankDeg = 50.0f;

void trend_vector(int32_t sd, const NdColours& colours, double up, double track, double bank, double radius_nm,
                  double scale, int32_t pieces) {
  const double gs = host_mirror.sim_flightmodel_position_groundspeed;  // m/s
  const double ac_lat = host_mirror.sim_flightmodel_position_latitude;
  const double ac_lon = host_mirror.sim_flightmodel_position_longitude;
  const double len_nm = pieces * gs * 30.0 * nm_per_m;
  const double circumference = radius_nm * two_pi_11dp;
  double swept = circumference > len_nm ? len_nm / circumference * 360.0 : 359.0;
  swept = clamp_range(static_cast<float>(swept), 0.0f, 359.0f);
  glColor4fv(colours.white[sd]);
  if (!(swept >= 2.0)) {
    map_polar_line(0.0, 0.0, track - up, len_nm * scale, 0, sd);
    return;
  }
  const bool right = bank > 0.0;
  const double start = angle::rem360(angle::rem360(track + (right ? 270.0 : 90.0)) - up + 360.0);
  gc_destination(ac_lat, ac_lon, angle::rem360(track + (right ? 90.0 : 270.0)), radius_nm);
  const double end = right ? angle::rem360(swept + start) : angle::rem360(start - swept + 360.0);
  map_project(ac_lat, ac_lon, nav_result.lat, nav_result.lon, static_cast<float>(up), scale);
  draw_map_arc(map_point.x, map_point.y, radius_nm * scale, start, end, right ? 1.0f : 0.0f,
               static_cast<int32_t>(pieces + 10), sd);
}

void vor_lines(int32_t sd, const NdColours& colours, double up, double scale) {
  const ScriptMirror& s = script_mirror;
  const double ac_lat = host_mirror.sim_flightmodel_position_latitude;
  const double ac_lon = host_mirror.sim_flightmodel_position_longitude;
  const double var = host_mirror.sim_flightmodel_position_magnetic_variation;
  struct Station {
    float show, lat, lon, bearing_mag;
    bool receiving;
  };
  // A bearing comes from its receiver: unpowered, it has none to draw, as
  // its RMI needle shows.
  const Station stations[2] = {
      {sd == 0 ? s.zuvadud_D738_pfd_vor1_pos_show : s.zuvadud_D738_pfd_vor1_pos_fo_show,
       sd == 0 ? s.zuvadud_D738_pfd_vor1_sel_lat : s.zuvadud_D738_pfd_vor1_sel_lat_fo,
       sd == 0 ? s.zuvadud_D738_pfd_vor1_sel_lon : s.zuvadud_D738_pfd_vor1_sel_lon_fo,
       host_mirror.sim_cockpit2_radios_indicators_nav1_bearing_deg_mag, fed(Consumer::vor_dme1)},
      {sd == 0 ? s.zuvadud_D738_pfd_vor2_pos_show : s.zuvadud_D738_pfd_vor2_pos_fo_show,
       sd == 0 ? s.zuvadud_D738_pfd_vor2_sel_lat : s.zuvadud_D738_pfd_vor2_sel_lat_fo,
       sd == 0 ? s.zuvadud_D738_pfd_vor2_sel_lon : s.zuvadud_D738_pfd_vor2_sel_lon_fo,
       host_mirror.sim_cockpit2_radios_indicators_nav2_bearing_deg_mag, fed(Consumer::vor_dme2)}};
  // The line starts half the range's nominal radius off the symbol: 0.5 nm
  // at the smallest range, 64 nm at the largest.
  const double start_nm = std::ldexp(0.5, nd_range_index(efis_side[sd].map_range));
  for (const Station& st : stations) {
    if (st.show == 0.0f || !st.receiving) continue;
    const double rest = gc_distance_nm(ac_lat, ac_lon, st.lat, st.lon) - start_nm;
    if (!(rest > 0.0)) continue;
    glColor4fv(colours.green[sd]);
    const double c = static_cast<double>(st.bearing_mag) - var;
    gc_destination(ac_lat, ac_lon, angle::rem360(c + 360.0), start_nm);
    map_project(ac_lat, ac_lon, nav_result.lat, nav_result.lon, static_cast<float>(up), scale);
    map_polar_line(map_point.x, map_point.y, angle::rem360(c - up + 360.0), rest * scale, 0, sd);
  }
}

}  // namespace

void draw_nd_trend_and_vor(const NdColours& colours) {
  if (!(terrain_radar_link_state.terrain_radar_version > 102300u)) return;
  const float gs_kt = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps;
  nd_symbol_origin.x = 0.5;

  // Each side draws from its own instruments' heading, track and bank.
  for (int32_t sd = 0; sd < 2; ++sd) {
    const EfisSideState& e = efis_side[sd];
    const bool track_up_flag = e.track_up != 0.0f;
    const double up = static_cast<double>((track_up_flag && e.track_up_active != 0.0f) ? e.track_mag_deg
                                                                                       : e.heading_mag_deg) -
                      host_mirror.sim_flightmodel_position_magnetic_variation;
    if (!std::isfinite(up)) continue;
    const float bank = clamp_range(e.bank_deg, -kTrendMaxBankDeg, kTrendMaxBankDeg);
    double radius_nm = turn_radius_nm(std::fabs(bank), gs_kt);
    if (radius_nm == 0.0 || !std::isfinite(radius_nm)) radius_nm = 0.1;
    if (!nd_side_powered(sd) || !(colours.white[sd][3] > 0.0f)) continue;
    nd_symbol_origin.y = 0.199;
    float drift = 0.0f;
    if (!track_up_flag) {
      drift = -read_now_f(sd == 0 ? bound::zuvadud_D738_nd_track_nd : bound::zuvadud_D738_nd_track_nd_fo);
    }
    drift = clamp_range(drift, -40.0f, 40.0f);
    const double track = angle::rem360(drift + up + 360.0);
    if (e.map_mode != nd_mode(NdMapMode::map)) continue;
    const auto raise_origin = [&]() {
      if (e.vsd_map != 0.0f) {
        nd_symbol_origin.y = 0.547;
      } else if (e.exp_map == 0.0f) {
        nd_symbol_origin.y = 0.48;
      }
    };
    const double scale = nd_track_pass.scale[sd];
    if (script_mirror.zuvadud_D738_irs_pfd_allign_hdg == 0.0f) {
      raise_origin();
      trend_vector(sd, colours, up, track, bank, radius_nm, scale, nd_track_pass.segments[sd]);
    }
    nd_symbol_origin.y = 0.199;
    raise_origin();
    vor_lines(sd, colours, up, scale);
  }
}
