// Route tracking: the sequencing leg's path position from the present
// position, kept in route_track and published to the scripts' rt_* values.
// A sequencing leg outside the 256-slot tables tracks nothing: region 0 and
// zero distances.
#include "lnav/route/route_tracking.h"

#include <cmath>
#include <cstdio>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/path_position.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

RouteTrackState route_track;
uint8_t hold_region_flag;

namespace {


float dist_dest(int32_t k) { return k >= 0 && k < 256 ? legs_dist_dest_true[k] : 0.0f; }

void trace_region_change(int32_t region) {
  char line[256];
  std::snprintf(line, sizeof line, "FMC: Offset: %d, Offset_seq: %d, Region: %d\n", trunc_to_i32(fms_seq.vnav_idx - 1.0f),
                trunc_to_i32(fms_seq.vnav_idx_seq - 1.0f), region);
  XPLMDebugString(line);
  std::snprintf(line, sizeof line, "FMC: Offset DTD: %f, Offset_seq DTD: %f\n",
                static_cast<double>(dist_dest(slot_of(fms_seq.vnav_idx))),
                static_cast<double>(dist_dest(slot_of(fms_seq.vnav_idx_seq))));
  XPLMDebugString(line);
}

// The line into waypoint i on the course leg i starts with: that course
// holds where the leg starts, so the great circle is laid through the
// waypoint before, when there is one.
void line_by_start_course(int32_t i, double lat, double lon) {
  const float course = magvar_course_alt(i - 1);
  if (i >= 1 && (legs_lat[i - 1] != 0.0f || legs_lon[i - 1] != 0.0f)) {
    track_errors_from(lat, lon, legs_lat[i - 1], legs_lon[i - 1], course, legs_lat[i], legs_lon[i]);
  } else {
    track_errors(lat, lon, legs_lat[i], legs_lon[i], course);
  }
}

// Beside an arc and in none of its path's regions (past its end fix, in the
// frame before the next leg takes over) the cross-track is still the
// distance off the arc: the fallback's line through the waypoint before is
// the arc's chord course, miles off it. The along-track stays the line's,
// which is what ends the leg.
void cross_track_off_arc(int32_t i, double lat, double lon) {
  const float along = nav_result.along_track;
  pathpos::arc_measure(lat, lon, legs_rad_lat[i], legs_rad_lon[i], legs_radius[i], legs_af_end[i], legs_rad_turn[i]);
  nav_result.along_track = along;
}

}  // namespace

void update_route_tracking() {
  const double lat = mirror_d(bound::sim_flightmodel_position_latitude);
  const double lon = mirror_d(bound::sim_flightmodel_position_longitude);
  const int32_t i = slot_of(fms_seq.vnav_idx_seq);
  int32_t region = kRegionNone;
  if (i >= 0) {
    const int32_t p = prev_valid_leg(i);
    const RouteText& id = route_tables.waypoint_names[i];
    const RouteText& type = route_tables.leg_path_types[i];
    const double wlat = legs_lat[i];
    const double wlon = legs_lon[i];
    bool fallback = true;
    bool arc = false;
    if (route_text_is(type, "HM") || route_text_is(type, "HA") || route_text_is(type, "HF")) {
      region = path_position_hold(i, p, lat, lon, 0);
    } else if (route_text_is(id, "(VECTOR)")) {
      region = kRegionVector;
      track_errors(lat, lon, wlat, wlon, magvar_course(i));
      fallback = false;
    } else if (route_text_is(type, "AF") || route_text_is(type, "RF")) {
      region = path_position_arc(i, p, lat, lon);
      arc = true;
    } else if (route_text_is(type, "PI")) {
      region = path_position_pi(i, p, lat, lon);
    } else if (route_text_is(id, "DISCONTINUITY")) {
      region = kRegionNone;
      // A gap has no position of its own (0/0 as a rule): what is measured
      // is the last leg before it, run on past its waypoint, which guidance
      // holds to there.
      if (i >= 1 && (legs_lat[i - 1] != 0.0f || legs_lon[i - 1] != 0.0f)) {
        track_errors(lat, lon, legs_lat[i - 1], legs_lon[i - 1], magvar_course(i - 1));
      } else {
        track_errors(lat, lon, wlat, wlon, magvar_course(i));
      }
      fallback = false;
    } else {
      region = path_position_dir(i, p, lat, lon, 0);
      const float icpt = route_change_values.intdir_crs;
      if (fms_seq.intdir_act == 2.0f && static_cast<float>(i) == fms_seq.intdir_idx - 1.0f && icpt != -1.0f) {
        const float magvar = mirror_f(bound::sim_flightmodel_position_magnetic_variation);
        track_errors(lat, lon, wlat, wlon, std::fmod(icpt - magvar + 360.0f, 360.0f));
        nav_result.along_track = gc_distance_nm(lat, lon, wlat, wlon);
        fallback = false;
      }
    }
    if (fallback && region == kRegionNone) {
      if (route_text_is(type, "DF")) {
        // A direct leg starts where the turn onto it ends, not at the
        // waypoint before: it is measured on the line drawn, the great
        // circle that reaches its fix on the course it ends with.
        track_errors(lat, lon, wlat, wlon, magvar_course(i));
      } else {
        line_by_start_course(i, lat, lon);
        if (arc) cross_track_off_arc(i, lat, lon);
      }
    }
  } else {
    nav_result.along_track = 0.0f;
    nav_result.cross_track = 0.0f;
    path_seg_dist = 0.0f;
  }

  if (fms_debug_selector == 8888.0f && region != route_track.region) trace_region_change(region);

  RouteTrackState& rt = route_track;
  rt.region = region;
  rt.abeam_dist_seg = path_seg_dist;
  rt.sub_region = trunc_to_i32(path_sub_region);
  rt.abeam_dist = nav_result.along_track;
  rt.xtrack = nav_result.cross_track;
  rt.abeam_dist_bp =
      rt.abeam_dist - (dist_dest(slot_of(fms_seq.vnav_idx)) - dist_dest(slot_of(fms_seq.vnav_idx_seq)));
  if (rt.abeam_dist_bp < 0.0f) rt.abeam_dist_bp = 0.0f;

  script_set_f(bound::zuvadud_D738_fms_rt_xtrack, rt.xtrack);
  script_set_f(bound::zuvadud_D738_fms_rt_abeam_dist, rt.abeam_dist);
  script_set_f(bound::zuvadud_D738_fms_rt_abeam_dist_bp, rt.abeam_dist_bp);
  script_set_f(bound::zuvadud_D738_fms_rt_region, static_cast<float>(rt.region));
  script_set_f(bound::zuvadud_D738_fms_rt_abeam_dist_seg, rt.abeam_dist_seg);
}
