// Start-up binding of outside datarefs: every name of the six look-up tables
// is found once, in table order, into its handle slot. A name the host, the
// scripts or an add-on does not publish leaves its slot null for good; users
// test the slot or rely on the host reading null as 0 and ignoring writes.
#include "core/binding.h"

#include <cmath>
#include <cstdint>

XPLMDataRef bound_handles[bound::COUNT];

namespace {

constexpr const char* kNames[bound::COUNT] = {
#define BOUND(ident, name, table, access, count, polled, conversion) name,
#include "core/bound_names.inc"
#undef BOUND
};

// [first, end) of each table in look-up order; the generated tables are
// contiguous and ordered as start-up runs them.
enum Table : int { mirrored_script, host, rain, terrain_radar, addon, direct_script, table_count };

constexpr Table kTableOf[bound::COUNT] = {
#define BOUND(ident, name, table, access, count, polled, conversion) table,
#include "core/bound_names.inc"
#undef BOUND
};

struct Range {
  int first;
  int end;
};

constexpr Range table_range(Table t) {
  Range r{0, 0};
  bool found = false;
  for (int i = 0; i < bound::COUNT; ++i) {
    if (kTableOf[i] != t) continue;
    if (!found) r.first = i;
    found = true;
    r.end = i + 1;
  }
  return r;
}

// Each table must be one contiguous run, or a bind call would miss names.
constexpr bool tables_contiguous() {
  for (int t = 0; t < table_count; ++t) {
    Range r = table_range(static_cast<Table>(t));
    for (int i = r.first; i < r.end; ++i)
      if (kTableOf[i] != t) return false;
  }
  return true;
}
static_assert(tables_contiguous(), "a look-up table is split in bound_names.inc");
static_assert(table_range(mirrored_script).end == table_range(host).first &&
                  table_range(host).end == table_range(rain).first &&
                  table_range(rain).end == table_range(terrain_radar).first &&
                  table_range(terrain_radar).end == table_range(addon).first &&
                  table_range(addon).end == table_range(direct_script).first,
              "look-up tables out of start-up order");

void bind_table(Table t) {
  const Range r = table_range(t);
  for (int i = r.first; i < r.end; ++i) bound_handles[i] = XPLMFindDataRef(kNames[i]);
}

}  // namespace

const char* bound_name(bound::Id id) {
  if (id < 0 || id >= bound::COUNT) return "";
  return kNames[id];
}

void bind_outside_datarefs() { bind_table(mirrored_script); }
void bind_host_datarefs() { bind_table(host); }
void bind_librain_datarefs() { bind_table(rain); }
void bind_terrain_radar_datarefs() { bind_table(terrain_radar); }
void bind_addon_datarefs() { bind_table(addon); }
void bind_script_datarefs() { bind_table(direct_script); }

int rebind_fo_show() {
  bound_handles[bound::quenby_fo__show] = XPLMFindDataRef(kNames[bound::quenby_fo__show]);
  return bound_handles[bound::quenby_fo__show] != nullptr ? 1 : 0;
}

int32_t trunc_to_i32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}
