// The five navigation file loaders: the host's navaid and fix files and the
// aircraft's airport, runway and gate lists, each into its fixed table.
// Logs a warning for a file that does not open or yields no entry, and one
// line per file loaded.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "navdata/line_split.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"
#include "platform/xplm.h"

namespace {

// Header lines and minimum field counts of each format.
constexpr int32_t kNavHeader = 3, kNavMinFields = 12;
constexpr int32_t kFixHeader = 3, kFixMinFields = 6;
constexpr int32_t kAptHeader = 3, kAptMinFields = 6;
constexpr int32_t kRnwHeader = 1, kRnwMinFields = 8;
constexpr int32_t kGateHeader = 1, kGateMinFields = 6;

void log_parts(const char* head, const char* path, const char* tail) {
  char text[2048];
  int n = std::snprintf(text, sizeof text, "%s%s%s", head, path, tail);
  if (n >= 0 && static_cast<size_t>(n) < sizeof text) {
    XPLMDebugString(text);
  } else {
    // A path longer than the line buffer: the same text in three pieces.
    XPLMDebugString(head);
    XPLMDebugString(path);
    XPLMDebugString(tail);
  }
}

void log_missing(const char* path) { log_parts("Corvane plugin: WARNING - I didn't find file >", path, "< !!!\n"); }
void log_loaded(const char* path) { log_parts("Corvane plugin: Loaded file >", path, "<\n"); }

// `entries` is the handler's count, read once the whole file went through it.
// A file that opens and yields nothing (an update cut short, a list emptied)
// is named with what it lacks: "Loaded" would read as the normal case.
int32_t load_file(const char* path, int32_t header, int32_t min_fields, SplitLineHandler handler, void* context,
                  const int32_t& entries, const char* lacking) {
  const char* shown = path ? path : "";
  if (!read_split_file(path, header, min_fields, handler, context)) {
    log_missing(shown);
    return 0;
  }
  if (entries > 0) {
    log_loaded(shown);
  } else {
    log_parts("Corvane plugin: WARNING - file >", shown, lacking);
  }
  return entries;
}

// Saturating: only whether anything came matters, and no file may wrap it.
void count_entry(int32_t& entries) {
  if (entries < INT32_MAX) ++entries;
}
// The handlers of the one-record-per-line files count into an int32_t.
void count_entry(void* context) { count_entry(*static_cast<int32_t*>(context)); }

// ---- earth_nav.dat ---------------------------------------------------------

// What a DME row needs of the last waypoint the loader stored.
struct NavDatState {
  int32_t last_kind;   // 0 after any row not stored as a waypoint
  int32_t last_slot;   // slot the last waypoint was written to
  char last_ident[6];
  int32_t last_frequency;
  int32_t navaids;  // waypoint rows stored; approach aids alone draw no map
};

void store_waypoint(NavDatState& state, const SplitLine& line, int32_t kind) {
  NavWaypoint* w = nav_waypoint_slot();
  w->kind = kind;
  w->lat = to_f32(read_real(split_field(line, 2)));
  w->lon = to_f32(read_real(split_field(line, 3)));
  w->frequency = read_int(split_field(line, 5));
  w->extra = to_f32(read_real(split_field(line, 7)));
  copy_cut(w->ident, split_field(line, 8));
  copy_cut(w->area, split_field(line, 9));
  copy_cut(w->region, split_field(line, 10));
  // Name: field 11 (cut) + one space + field 12, the whole cut to the width.
  char name[sizeof w->name + 1 + kSplitFieldChars + 1];
  copy_cut(name, sizeof w->name, split_field(line, 11));
  size_t n = std::strlen(name);
  name[n++] = ' ';
  copy_cut(name + n, sizeof name - n, split_field(line, 12));
  copy_cut(w->name, name);

  state.last_kind = kind;
  state.last_slot = static_cast<int32_t>(w - nav_db.waypoints);
  copy_cut(state.last_ident, w->ident);
  state.last_frequency = w->frequency;
  count_entry(state.navaids);
  nav_commit_waypoint();
}

void fill_approach(NavApproachAid* a, const SplitLine& line, int32_t kind) {
  a->kind = kind;
  a->lat = to_f32(read_real(split_field(line, 2)));
  a->lon = to_f32(read_real(split_field(line, 3)));
  a->frequency = read_int(split_field(line, 5));
  copy_cut(a->ident, split_field(line, 8));
  copy_cut(a->airport, split_field(line, 9));
  copy_cut(a->region, split_field(line, 10));
  copy_cut(a->runway, split_field(line, 11));
  a->course2 = -1.0f;
  a->glide_path = 0.0f;
  a->elevation = 0.0f;
}

void store_ils(const SplitLine& line, int32_t kind) {
  NavApproachAid* a = nav_ils_slot();
  fill_approach(a, line, kind);
  // A course above 360 carries a second course as its whole multiples of 360.
  double v = read_real(split_field(line, 7));
  if (v > 360.0) {
    double m = std::floor(v / 360.0);
    a->course2 = to_f32(m);
    a->course = to_f32(v - 360.0 * m);
  } else {
    a->course = to_f32(v);
  }
  nav_commit_ils();
}

void store_gls(const SplitLine& line, int32_t kind) {
  NavApproachAid* a = nav_gls_slot();
  fill_approach(a, line, kind);
  const char* f7 = split_field(line, 7);
  a->course = to_f32(read_real(f7));
  char gpa[4];
  copy_cut(gpa, f7);
  a->glide_path = to_f32(read_real(gpa) / 100.0);
  a->elevation = to_f32(read_real(split_field(line, 4)));
  nav_commit_gls();
}

// A DME row makes the VOR just stored a VOR-DME when ident and frequency match.
void merge_dme(const NavDatState& state, const SplitLine& line) {
  if (state.last_kind != kNavVor || nav_db.waypoint_count < 1) return;
  if (std::strcmp(split_field(line, 8), state.last_ident) != 0) return;
  if (real_to_i32(read_real(split_field(line, 5))) != state.last_frequency) return;
  if (state.last_slot < 0 || state.last_slot >= kWaypointSlots) return;
  nav_db.waypoints[state.last_slot].kind = kNavVorDme;
}

void nav_line(const SplitLine& line, void* context) {
  NavDatState& state = *static_cast<NavDatState*>(context);
  switch (read_int(split_field(line, 1))) {
    case 2: store_waypoint(state, line, kNavNdb); return;
    case 3: store_waypoint(state, line, kNavVor); return;
    case 13: store_waypoint(state, line, kNavDme); return;
    case 12: merge_dme(state, line); break;
    case 4: {
      const char* type = split_field(line, 12);
      if (std::strncmp(type, "ILS", 3) == 0 || std::strncmp(type, "IGS", 3) == 0) {
        store_ils(line, 0);
      } else if (std::strncmp(type, "LOC", 3) == 0) {
        store_ils(line, 2);
      } else if (std::strncmp(type, "LDA", 3) == 0) {
        store_ils(line, 3);
      }
      break;
    }
    case 5: store_ils(line, 1); break;
    case 15: store_gls(line, 0); break;
    case 16: store_gls(line, 1); break;
    default: break;
  }
  state.last_kind = 0;
}

// ---- earth_fix.dat ---------------------------------------------------------

void fix_line(const SplitLine& line, void* context) {
  NavWaypoint* w = nav_waypoint_slot();
  w->kind = kNavFix;
  w->lat = to_f32(read_real(split_field(line, 1)));
  w->lon = to_f32(read_real(split_field(line, 2)));
  copy_cut(w->ident, split_field(line, 3));
  copy_cut(w->area, split_field(line, 4));
  copy_cut(w->region, split_field(line, 5));
  copy_cut(w->name, split_field(line, 6));
  w->frequency = 0;
  w->extra = 0.0f;
  count_entry(context);
  nav_commit_waypoint();
}

// ---- the aircraft's lists -----------------------------------------------------

void apt_line(const SplitLine& line, void* context) {
  NavAirport* a = nav_airport_slot();
  copy_cut(a->icao, split_field(line, 1));
  a->lat = to_f32(read_real(split_field(line, 2)));
  a->lon = to_f32(read_real(split_field(line, 3)));
  a->value4 = to_f32(read_real(split_field(line, 4)));
  a->value5 = to_f32(read_real(split_field(line, 5)));
  a->runway_length = to_f32(read_real(split_field(line, 6)));
  count_entry(context);
  nav_commit_airport();
}

void rnw_line(const SplitLine& line, void* context) {
  NavRunway* r = nav_runway_slot();
  copy_cut(r->icao, split_field(line, 1));
  copy_cut(r->runway, split_field(line, 2));
  r->lat1 = to_f32(read_real(split_field(line, 3)));
  r->lon1 = to_f32(read_real(split_field(line, 4)));
  r->lat2 = to_f32(read_real(split_field(line, 5)));
  r->lon2 = to_f32(read_real(split_field(line, 6)));
  r->value7 = to_f32(read_real(split_field(line, 7)));
  r->value8 = to_f32(read_real(split_field(line, 8)));
  count_entry(context);
  nav_commit_runway();
}

void gate_line(const SplitLine& line, void* context) {
  NavGate* g = nav_gate_slot();
  copy_cut(g->icao, split_field(line, 1));
  g->lat = to_f32(read_real(split_field(line, 2)));
  g->lon = to_f32(read_real(split_field(line, 3)));
  g->is_gate = std::strcmp(split_field(line, 4), "gate") == 0 ? 1 : 0;
  copy_cut(g->name, split_field(line, 6));
  count_entry(context);
  nav_commit_gate();
}

}  // namespace

int32_t load_nav_dat(const char* path) {
  nav_reset_navaid_tables();
  NavDatState state{};
  state.last_slot = -1;
  return load_file(path, kNavHeader, kNavMinFields, nav_line, &state, state.navaids, "< holds no navaids !!!\n");
}

int32_t load_fix_dat(const char* path) {
  int32_t fixes = 0;
  return load_file(path, kFixHeader, kFixMinFields, fix_line, &fixes, fixes, "< holds no fixes !!!\n");
}

int32_t load_apt_list(const char* path) {
  nav_reset_airport_table();
  int32_t airports = 0;
  return load_file(path, kAptHeader, kAptMinFields, apt_line, &airports, airports, "< holds no airports !!!\n");
}

int32_t load_rnw_list(const char* path) {
  nav_reset_runway_table();
  int32_t runways = 0;
  return load_file(path, kRnwHeader, kRnwMinFields, rnw_line, &runways, runways, "< holds no runways !!!\n");
}

int32_t load_gate_list(const char* path) {
  nav_reset_gate_table();
  int32_t gates = 0;
  return load_file(path, kGateHeader, kGateMinFields, gate_line, &gates, gates, "< holds no gates !!!\n");
}

int32_t nav_waypoint_count() { return nav_db.waypoint_count; }
