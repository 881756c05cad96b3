// The map frame of one side's pass by display mode: plan mode centred on the
// waypoint the legs page steps to, map mode on the aircraft once the IRS is
// aligned.
//
// Reads EfisSideState, the scripts' display routes and legs-page steps, the
// host's position and magnetic variation and the IRS alignment flag. Writes
// nd_symbol_origin.y.
#include "display/nd_map_frame.h"

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "display/map_primitives.h"
#include "display/nd_style.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_state.h"

bool nd_map_frame(int32_t side, NdMapFrame& frame) {
  const int32_t sd = side == 0 ? 0 : 1;
  const EfisSideState& efis = efis_side[sd];
  const float var = host_mirror.sim_flightmodel_position_magnetic_variation;
  const bool vsd = efis.vsd_map != 0.0f;
  const bool centred = efis.exp_map == 0.0f;
  if (efis.map_mode == nd_mode(NdMapMode::plan)) {
    nd_symbol_origin.y = 0.48;
    // The plan view is drawn true north up, whatever the variation.
    frame.up_heading = 0.0f;
    // Plan mode centres on the waypoint the scripts step to on the legs page.
    const DisplayRoute& r = display_routes[sd];
    const float count = r.count;
    float step = sd == 0 ? fms_copies.legs_step_ctr : fms_copies.legs_step_ctr_fo;
    if (step > count) step = count;
    int32_t idx = trunc_to_i32(static_cast<double>(step) - 1.0);
    if (step == 0.0f || !(count > 1.0f) || idx < 1 || idx >= route_leg_capacity) idx = 0;
    frame.ref_lat = r.lat[idx];
    frame.ref_lon = r.lon[idx];
    frame.scale = nd_range_scale(efis.map_range) * 0.57;
    frame.slot_y_offset = 4.1f;
    return true;
  }
  if (efis.map_mode == nd_mode(NdMapMode::map) && script_mirror.zuvadud_D738_irs_nd_allign == 0.0f) {
    frame.ref_lat = static_cast<float>(host_mirror.sim_flightmodel_position_latitude);
    frame.ref_lon = static_cast<float>(host_mirror.sim_flightmodel_position_longitude);
    const bool track_up = efis.track_up != 0.0f && efis.track_up_active != 0.0f;
    frame.up_heading = (track_up ? efis.track_mag_deg : efis.heading_mag_deg) - var;
    if (vsd) {
      nd_symbol_origin.y = 0.547;
    } else if (centred) {
      nd_symbol_origin.y = 0.48;
    }
    frame.scale = nd_range_scale(efis.map_range);
    frame.slot_y_offset = vsd ? 5.1f : (centred ? 4.1f : 0.0f);
    return true;
  }
  return false;
}
