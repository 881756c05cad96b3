// The navigation display draw callback and the frame of its map pass: the
// callback's gates and GL set-up, the display colours, the waypoint slot
// reset, each side's track line and range reference marks, then the route,
// modified-route, FIX and trend-vector passes in that order.
//
// Reads: draw_enabled, the host's panel render type, the side's display
// brightness (instrument brightness elements 2 and 3), the side's display
// power (standby DC bus, DC bus 2), EfisSideState, the scripts' colour
// overrides, track-up and heading-alignment values, the track deviation
// values, gear on-ground flags and ground speed. Writes the waypoint slots
// (nd::wpt_*), nd_symbol_origin and, through the primitives, map_pen.
#include "display/nd_draw.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "display/fix_overlay.h"
#include "display/map_primitives.h"
#include "display/nd_holds.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "display/route_lines.h"
#include "display/trend_vector.h"

namespace {

inline float side_brightness(int32_t side) {
  // Elements 2 and 3 are the captain's and first officer's map displays.
  return host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[side == 0 ? 2 : 3];
}

void set_rgb(float (&c)[2][4], float r, float g, float b) {
  for (auto& s : c) {
    s[0] = r;
    s[1] = g;
    s[2] = b;
  }
}

// The scripts may recolour the map; an all-zero triple (or one that is not a
// number) keeps the default. Negative components count by magnitude.
void apply_override(float (&c)[2][4], float r, float g, float b) {
  if (!std::isfinite(r) || !std::isfinite(g) || !std::isfinite(b)) return;
  if (r + g + b == 0.0f) return;
  set_rgb(c, std::fabs(r), std::fabs(g), std::fabs(b));
}

// The track line leaves the map area sideways at drifts beyond about 35
// degrees on an expanded map: like every other line of the pass it is cut at
// the edge, never drawn over the neighbouring instrument.
void draw_line(float x1, float y1, float x2, float y2, int32_t side) {
  glBegin(GL_LINES);
  map_vertex_pair_clipped(x1, y1, x2, y2, side);
  glEnd();
}

}  // namespace

NdColours nd_build_colours() {
  NdColours c{};
  set_rgb(c.white, 1.0f, 1.0f, 1.0f);
  set_rgb(c.cyan, 0.160784f, 0.72156864f, 1.0f);
  set_rgb(c.magenta, 0.772549f, 0.10588235f, 1.0f);
  set_rgb(c.green, 0.0f, 1.0f, 0.0f);
  for (int32_t side = 0; side < 2; ++side) {
    const float a = side_brightness(side);
    c.white[side][3] = c.cyan[side][3] = c.magenta[side][3] = c.green[side][3] = a;
  }
  const ScriptMirror& s = script_mirror;
  apply_override(c.white, s.zuvadud_d738_nd_white_r, s.zuvadud_d738_nd_white_g, s.zuvadud_d738_nd_white_b);
  apply_override(c.magenta, s.zuvadud_d738_nd_magenta_r, s.zuvadud_d738_nd_magenta_g,
                 s.zuvadud_d738_nd_magenta_b);
  apply_override(c.cyan, s.zuvadud_d738_nd_blue_r, s.zuvadud_d738_nd_blue_g, s.zuvadud_d738_nd_blue_b);
  apply_override(c.green, s.zuvadud_d738_nd_green_r, s.zuvadud_d738_nd_green_g, s.zuvadud_d738_nd_green_b);
  return c;
}

void draw_nd_track_and_marks(int32_t side, const NdColours& colours) {
  const int32_t sd = side == 0 ? 0 : 1;
  const EfisSideState& efis = efis_side[sd];
  const float track_deg = read_now_f(sd == 0 ? bound::zuvadud_D738_nd_track_nd : bound::zuvadud_D738_nd_track_nd_fo);
  const double t = static_cast<double>(clamp_range(track_deg, -40.0f, 40.0f)) * pi_11dp / 180.0;
  glColor4fv(colours.white[sd]);

  const float mode = efis.map_mode;
  const bool vsd = efis.vsd_map != 0.0f;
  const bool centred = efis.exp_map == 0.0f;
  const float track_up = script_mirror.zuvadud_D738_fms_track_up;
  const bool aligning = script_mirror.zuvadud_D738_irs_pfd_allign_hdg != 0.0f;

  // Track line start: beyond the symbol by 30 s of ground speed when flying.
  const int32_t idx = nd_range_index(efis.map_range);
  const double s = nd_range_scale(efis.map_range);
  double k = 3.0;
  double c = 0.0;
  if (idx <= 1) {
    k = 1.0;
    c = 0.005;
  } else if (idx == 2) {
    k = 2.0;
    c = 0.005;
  } else if (idx == 7) {
    c = 0.001;
  }
  const int32_t* gear = host_mirror.sim_flightmodel2_gear_on_ground;
  const float gs = host_mirror.sim_flightmodel_position_groundspeed;  // m/s
  double L = 0.001;
  if (gear[0] == 0 && gear[1] == 0 && gear[2] == 0 && gs > 45.0f) {
    L = k * static_cast<double>(gs) * 30.0 * 0.0005399568 * s + c;
    if (vsd || centred) L -= 0.009;
  }

  auto raise_origin = [&]() {
    if (vsd) {
      nd_symbol_origin.y = 0.547;
    } else if (centred) {
      nd_symbol_origin.y = 0.48;
    }
  };
  const double tan_t = std::tan(t);
  if (mode == nd_mode(NdMapMode::map) && track_up != 0.0f && !aligning) {
    raise_origin();
    const double x0 = nd_symbol_origin.x;
    const double y0 = nd_symbol_origin.y;
    if (centred || vsd) {
      draw_line(static_cast<float>(x0), static_cast<float>(y0 + L), static_cast<float>(x0),
                static_cast<float>(y0 + 0.36), sd);
    } else {
      // Track up: the track is straight up, whatever the drift.
      draw_line(static_cast<float>(x0), static_cast<float>(y0 + L), static_cast<float>(x0), 0.905f, sd);
    }
  } else if ((mode < nd_mode(NdMapMode::map) && !centred) || (mode == nd_mode(NdMapMode::map) && track_up == 0.0f)) {
    // While the heading reference is still aligning nothing is drawn.
    if (aligning) return;
    raise_origin();
    const double x0 = nd_symbol_origin.x;
    const double y0 = nd_symbol_origin.y;
    // On the centred and VSD maps the rose is a circle of 0.36 around the
    // airplane: the line, slanted by the drift, ends on it, as the track-up
    // line does; the expanded map's arc is at the map's top.
    const double rise = (centred || vsd) ? 0.36 * std::cos(t) : 0.905 - y0;
    draw_line(static_cast<float>(x0 - tan_t * L), static_cast<float>(y0 + L),
              static_cast<float>(x0 - tan_t * rise), static_cast<float>(y0 + rise), sd);
  }

  if (aligning) return;
  const double x0 = nd_symbol_origin.x;
  auto tick = [&](double y) {
    map_vertex_pair_clipped(static_cast<float>(x0 - 0.01), static_cast<float>(y), static_cast<float>(x0 + 0.01),
                            static_cast<float>(y), sd);
  };
  auto vertical = [&](double ya, double yb) {
    map_vertex_pair_clipped(static_cast<float>(x0), static_cast<float>(ya), static_cast<float>(x0),
                            static_cast<float>(yb), sd);
  };
  glBegin(GL_LINES);
  if (mode == nd_mode(NdMapMode::map) && centred) {
    nd_symbol_origin.y = vsd ? 0.547 : 0.48;
    const double y0 = nd_symbol_origin.y;
    tick(y0 + 0.1695);
    tick(y0 - 0.1695);
    vertical(y0 - 0.131, y0 - 0.341);
  } else if ((mode == nd_mode(NdMapMode::map) || mode == nd_mode(NdMapMode::app) || mode == nd_mode(NdMapMode::vor)) &&
             !centred) {
    const double y0 = nd_symbol_origin.y;
    tick(y0 + 0.1695);
    tick(y0 + 0.339);
    tick(y0 + 0.5085);
  } else if ((mode == nd_mode(NdMapMode::app) || mode == nd_mode(NdMapMode::vor)) && centred) {
    nd_symbol_origin.y = 0.48;
    const double y0 = nd_symbol_origin.y;
    tick(y0 + 0.235);
    tick(y0 - 0.235);
    vertical(y0 + 0.17, y0 + 0.33);
    vertical(y0 - 0.17, y0 - 0.33);
  }
  glEnd();
}

void draw_nd_maps() {
  const NdColours colours = nd_build_colours();
  nd_symbol_origin = {0.5, 0.199};
  // Cleared before any gate: a side that does not draw shows no symbols.
  std::memset(nd::wpt_x, 0, sizeof nd::wpt_x);
  std::memset(nd::wpt_y, 0, sizeof nd::wpt_y);
  std::memset(nd::wpt_type, 0, sizeof nd::wpt_type);
  std::memset(nd::wpt_fo_x, 0, sizeof nd::wpt_fo_x);
  std::memset(nd::wpt_fo_y, 0, sizeof nd::wpt_fo_y);
  std::memset(nd::wpt_fo_type, 0, sizeof nd::wpt_fo_type);
  glLineWidth(2.0f);

  nd_track_pass = NdTrackPassValues{};
  const auto track_step = [&](int32_t side) {
    nd_track_pass.scale[side] = nd_range_scale(efis_side[side].map_range);
    nd_track_pass.segments[side] = trend_segment_count(efis_side[side].map_range);
    draw_nd_track_and_marks(side, colours);
  };
  if (nd_side_powered(0) && side_brightness(0) > 0.0f) track_step(0);
  if (side_brightness(1) > 0.0f && nd_side_powered(1)) {
    nd_symbol_origin.y = 0.199;
    track_step(1);
  }
  int32_t slots[2] = {0, 0};
  for (int32_t side = 0; side < 2; ++side) slots[side] = draw_nd_route(side, colours);
  draw_nd_mod_route(slots, colours);
  draw_nd_fix_pass(colours);
  draw_nd_trend_and_vor(colours);
}

int nd_draw_callback(XPLMDrawingPhase phase, int is_before, void* refcon) {
  (void)is_before;
  (void)refcon;
  const int render_type = read_now_i(bound::sim_graphics_view_panel_render_type);
  // Before the first completed frame the route arrays and the display values
  // are not yet consistent; only the 3D panel pass (type 2) has the texture.
  if (draw_enabled == 0 || phase != xplm_Phase_Gauges || render_type != 2) return 1;

  XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_LINE_SMOOTH);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  draw_nd_maps();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  return 1;
}
