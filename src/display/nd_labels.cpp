// Waypoint label texts of the navigation display slots and the flight-level
// formatter. Reads the route string tables (main, second and third route,
// abeam identifiers), the hold-at identifiers, the leg table's ETA, RNP and
// altitude constraints, the active leg and the flight phase with the
// transition altitude and level. Writes the slot label texts (nd::wpt_*_w,
// nd::wpt_*_m and the first officer's) and flight_level_text.
#include "display/nd_labels.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "lnav/route/route_intake.h"
#include "display/nd_slots.h"
#include "lnav/route/fms_legs.h"

char flight_level_text[16];

namespace {

constexpr int32_t text_bytes = 16;  // each label dataref: 15 characters and a NUL

struct Texts {
  char id_w[text_bytes], l2_w[text_bytes], l3_w[text_bytes], l4_w[text_bytes];
  char id_m[text_bytes], l2_m[text_bytes], l3_m[text_bytes], l4_m[text_bytes];
};

// Bounded copy: a longer text is cut to 15 characters.
void put(char (&dst)[text_bytes], const char* src) {
  size_t n = 0;
  while (n < static_cast<size_t>(text_bytes - 1) && src[n] != '\0') ++n;
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

void write_out(const Texts& t, int32_t slot, int32_t side) {
  if (slot < 0 || slot >= 20) return;
  const bool capt = side == 0;
  std::memcpy(capt ? nd::wpt_id_w[slot] : nd::wpt_fo_id_w[slot], t.id_w, text_bytes);
  std::memcpy(capt ? nd::wpt_alt_w[slot] : nd::wpt_fo_alt_w[slot], t.l2_w, text_bytes);
  std::memcpy(capt ? nd::wpt_eta_w[slot] : nd::wpt_fo_eta_w[slot], t.l3_w, text_bytes);
  std::memcpy(capt ? nd::wpt_rnp_w[slot] : nd::wpt_fo_rnp_w[slot], t.l4_w, text_bytes);
  std::memcpy(capt ? nd::wpt_id_m[slot] : nd::wpt_fo_id_m[slot], t.id_m, text_bytes);
  std::memcpy(capt ? nd::wpt_alt_m[slot] : nd::wpt_fo_alt_m[slot], t.l2_m, text_bytes);
  std::memcpy(capt ? nd::wpt_eta_m[slot] : nd::wpt_fo_eta_m[slot], t.l3_m, text_bytes);
  std::memcpy(capt ? nd::wpt_rnp_m[slot] : nd::wpt_fo_rnp_m[slot], t.l4_m, text_bytes);
}

// An altitude as a flight level above the transition, else in feet.
void altitude_text(int32_t alt, char (&out)[text_bytes]) {
  const float value = static_cast<float>(alt);
  const bool level = fms_copies.flight_phase < 5.0f ? value > fms_copies.fmc_trans_alt
                                                    : value >= fms_copies.fmc_trans_lvl;
  if (level) {
    std::snprintf(out, text_bytes, "FL%03d", alt / 100);
  } else {
    std::snprintf(out, text_bytes, "%5d", alt);
  }
}

inline int32_t rounded_ft(float v) { return trunc_to_i32(std::floor(static_cast<double>(v) + 0.5)); }

}  // namespace

void format_flight_level(int32_t altitude, int32_t transition) {
  if (altitude > transition && transition != 0) {
    std::snprintf(flight_level_text, sizeof flight_level_text, "FL%03d", altitude / 100);
  } else {
    std::snprintf(flight_level_text, sizeof flight_level_text, "%d", altitude);
  }
}

void nd_wpt_labels(int32_t index, int32_t slot, int32_t kind, int32_t data, int32_t side, uint8_t alt_line) {
  Texts t{};
  const RouteText* ids = nullptr;
  const RouteText* types = nullptr;
  bool can_be_active = false;
  switch (kind) {
    case 0: ids = route_tables.waypoint_names; types = route_tables.leg_path_types; can_be_active = true; break;
    case 1: ids = route_tables.waypoint_names_2; types = route_tables.leg_path_types_2; can_be_active = true; break;
    case 7: ids = route_tables.waypoint_names_2; types = route_tables.leg_path_types_2; break;
    case 8: ids = route_tables.waypoint_names_3; types = route_tables.leg_path_types_3; can_be_active = true; break;
    case 9: ids = route_tables.waypoint_names_3; types = route_tables.leg_path_types_3; break;
    case 2: put(t.id_w, pending_holds[0].id); break;
    case 4: put(t.id_w, pending_holds[1].id); break;
    case 3:
      if (index >= 0 && index < route_slots) put(t.id_w, route_tables.abeam_ids[index].text);
      break;
    default: break;
  }
  if (ids == nullptr || index < 0 || index >= route_slots) {
    write_out(t, slot, side);
    return;
  }

  const int32_t i = index;
  const RouteText& id = ids[i];
  if (route_text_is(id, "(VECTOR)") || route_text_is(id, "DISCONTINUITY")) {
    write_out(t, slot, side);
    return;
  }
  const float vnav_idx = fms_seq.vnav_idx;
  const bool active = can_be_active && static_cast<float>(i) == vnav_idx - 1.0f;
  const bool ppos = route_text_is(id, "PPOS");
  if (ppos && active) {
    write_out(t, slot, side);
    return;
  }
  if (!ppos) {
    // Altitude-terminated legs read "...FT)" in place of the closing bracket.
    char text[route_text_bytes + 4];
    const size_t len = std::strlen(id.text);
    const RouteText& pt = types[i];
    if ((route_text_is(pt, "FA") || route_text_is(pt, "VA") || route_text_is(pt, "CA")) && len >= 2) {
      std::snprintf(text, sizeof text, "%.*sFT)", static_cast<int>(len - 1), id.text);
    } else {
      std::snprintf(text, sizeof text, "%s", id.text);
    }
    put(active ? t.id_m : t.id_w, text);
    if (!active) {
      // A hold at the fix carries the fix's label once.
      const bool next_hold = i + 1 < route_slots && types[i + 1].text[0] == 'H' &&
                             std::strcmp(ids[i + 1].text, id.text) == 0;
      const bool after_hold = i - 1 >= 0 && types[i].text[0] == 'H' && std::strcmp(ids[i - 1].text, id.text) == 0 &&
                              static_cast<float>(i) == vnav_idx;
      if (next_hold || after_hold) t.id_w[0] = '\0';
    }
  }
  if (kind != 0) {
    write_out(t, slot, side);
    return;
  }

  char eta[text_bytes] = "----Z";
  const float eta_h = legs_eta[i];
  if (eta_h > 0.0f && std::isfinite(eta_h)) {
    // The scripts count the hours on past midnight (25.25 for 0115 the next
    // day); the clock on the map reads UTC time of day.
    const float whole = std::floor(eta_h);
    const int32_t h = trunc_to_i32(std::fmod(static_cast<double>(whole), 24.0));
    const int32_t minutes = trunc_to_i32((eta_h - whole) * 60.0f);
    std::snprintf(eta, sizeof eta, "%02d%02dZ", h, minutes > 59 ? 59 : minutes);
  }
  char rnp[text_bytes] = "";
  const float rnp_nm = legs_rnp_data[i];
  if (rnp_nm != 0.0f && std::isfinite(rnp_nm)) {
    std::snprintf(rnp, sizeof rnp, rnp_nm < 9.5f ? "RNP %4.2f" : "RNP %4.1f", static_cast<double>(rnp_nm));
  }
  char alt[3 * text_bytes] = "";
  if (alt_line == 1) {
    const int32_t a = rounded_ft(legs_alt_rest1[i]);
    char a_text[text_bytes];
    altitude_text(a, a_text);
    const float type = legs_alt_rest_type[i];
    if (type == 3.0f) {
      char b_text[text_bytes];
      altitude_text(rounded_ft(legs_alt_rest2[i]), b_text);
      std::snprintf(alt, sizeof alt, "%sB%sA", b_text, a_text);
    } else {
      std::snprintf(alt, sizeof alt, "%s%s", a_text, type == 2.0f ? "A" : (type == 1.0f ? "B" : ""));
    }
  }

  char(&l2)[text_bytes] = active ? t.l2_m : t.l2_w;
  char(&l3)[text_bytes] = active ? t.l3_m : t.l3_w;
  char(&l4)[text_bytes] = active ? t.l4_m : t.l4_w;
  if (alt_line == 1) {
    std::snprintf(l2, text_bytes, "%.15s", alt);
    if (data == 1) {
      put(l3, eta);
      put(l4, rnp);
    }
  } else if (data == 1) {
    put(l2, eta);
    put(l3, rnp);
  }
  write_out(t, slot, side);
}
