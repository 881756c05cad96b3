// Saved values within their travel (see restored_travel.h).
#include "core/restored_travel.h"

#include "core/host_io.h"
#include "core/util.h"

namespace {
int32_t dropped_values = 0;
int32_t contradicted_values = 0;
constexpr int kMaxRestoredArray = 32;
}  // namespace

bool restore_within_travel(float& v, const Travel& travel) {
  float p = v;
  const bool within = take_restored_position(p, travel.lo, travel.hi, travel.step);
  if (!within || (travel.positions_only && p != v)) {
    ++dropped_values;
    return false;
  }
  v = p;
  return true;
}

void count_restore_contradiction() { ++contradicted_values; }

int32_t take_restore_contradictions() {
  const int32_t n = contradicted_values;
  contradicted_values = 0;
  return n;
}

int32_t take_restore_drops() {
  const int32_t n = dropped_values;
  dropped_values = 0;
  return n;
}

int restore_slots(bound::Id id, int size, const RestoredSlot* slots, int slot_count, const SavedSlotTravel* travels,
                  int travel_count) {
  float v[kMaxRestoredArray];
  bool finite[kMaxRestoredArray];
  if (size > kMaxRestoredArray) size = kMaxRestoredArray;
  const int n = read_now_vf_finite(id, v, finite, size);
  for (int i = 0; i < slot_count; ++i) {
    const int k = slots[i].slot;
    if (k < 0 || k >= n || !finite[k]) continue;
    const Travel* travel = nullptr;
    for (int t = 0; t < travel_count && travel == nullptr; ++t)
      if (travels[t].slot == k) travel = &travels[t].travel;
    if (travel != nullptr && restore_within_travel(v[k], *travel)) *slots[i].value = v[k];
  }
  return n;
}
