// The optional add-ons' own plug-ins as the plug-in meets them: their
// datarefs come and go with them, and the rain-on-glass plug-in loads the
// objects it is asked for and reports its start. Each add-on's plug-in runs
// after the aircraft's in a frame, as one loaded later does.
//
// Reads and writes only the add-ons' own datarefs: the rain plug-in's
// object slots ("librain/glass_N/obj/..." and "librain/z_depth_obj_N/...":
// "filename", "load", "loaded") and "librain/initialize", "init_success".
#include <algorithm>
#include <string>

#include "state.h"

namespace simhost {
namespace {

constexpr const char* kRain = "rain";
constexpr int kRainPanes = 2, kRainObjects = 15;
// Per object slot: filename, load, loaded; then initialize, init_success.
constexpr int kSlotFields = 3;
constexpr size_t kRainSlots = static_cast<size_t>(kRainPanes + kRainObjects) * kSlotFields + 2;

std::string rain_name(size_t k) {
  if (k == kRainSlots - 2) return "librain/initialize";
  if (k == kRainSlots - 1) return "librain/init_success";
  const size_t slot = k / kSlotFields;
  const char* const field[kSlotFields] = {"filename", "load", "loaded"};
  const std::string base = slot < static_cast<size_t>(kRainPanes)
                               ? "librain/glass_" + std::to_string(slot) + "/obj/"
                               : "librain/z_depth_obj_" + std::to_string(slot - kRainPanes) + "/";
  return base + field[k % kSlotFields];
}

// The rain plug-in's values, found again whenever names come or go; its
// byte texts are among them.
void resolve_rain(Host& h) { resolve_slots(h, kRainSlots, rain_name, false, h.rain_slots, h.rain_generation); }

Dataref* rain(Host& h, size_t k) { return slot_dataref(h, h.rain_slots, k); }

// An object loads when asked for by name and unloads when no longer asked
// for; a value set from outside (a scenario playing the add-on) stands.
void rain_frame(Host& h) {
  resolve_rain(h);
  for (size_t slot = 0; slot < static_cast<size_t>(kRainPanes + kRainObjects); ++slot) {
    const Dataref* file = rain(h, slot * kSlotFields);
    const Dataref* load = rain(h, slot * kSlotFields + 1);
    Dataref* loaded = rain(h, slot * kSlotFields + 2);
    if (!loaded || loaded->pinned) continue;
    const bool named = file && !file->bytes.empty() && file->bytes[0] != 0;
    loaded->scalar = load && load->scalar == 1.0 && named ? 1.0 : 0.0;
  }
  const Dataref* init = rain(h, kRainSlots - 2);
  Dataref* success = rain(h, kRainSlots - 1);
  if (success && !success->pinned) success->scalar = init && init->scalar != 0.0 ? 1.0 : 0.0;
}

}  // namespace

void set_addon(const std::string& name, const std::vector<CatalogEntry>& datarefs, bool present) {
  Host& h = host();
  auto at = std::find(h.addons.begin(), h.addons.end(), name);
  if (present == (at != h.addons.end())) return;
  if (present) {
    h.addons.push_back(name);
    for (const CatalogEntry& e : datarefs) define_dataref(e, Owner::Host);
  } else {
    h.addons.erase(at);
    for (const CatalogEntry& e : datarefs) orphan_dataref(h, e.name);
  }
}

bool addon_present(const std::string& name) {
  const Host& h = host();
  return std::find(h.addons.begin(), h.addons.end(), name) != h.addons.end();
}

void addons_frame(Host& h) {
  if (std::find(h.addons.begin(), h.addons.end(), kRain) != h.addons.end()) rain_frame(h);
}

}  // namespace simhost
