// Ground-service equipment (see gse.h).
#include "systems/ground_services/gse.h"

#include <cmath>
#include <cstdio>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/paths.h"
#include "core/units.h"
#include "core/variant.h"

GseAnchor gse_anchors[gse_slot_count];

namespace {

constexpr float kMovedM = 0.2f;          // aircraft moved away from its equipment
constexpr float kProbeAboveM = 3.0f;     // probe from a little above the record's height

struct GseObject {
  const char* file;            // below the aircraft folder
  bound::Id hide;              // hidden while not 0
  bound::Id moved;             // moved flag for the scripts; COUNT: none
  void (*unload)();
};

// Processing order; the index is the slot.
const GseObject gse_objects[gse_slot_count] = {
    {"objects/GSE/gpu.obj", bound::zuvadud_D738_gpu_hide, bound::zuvadud_D738_gpu_test, gse_unload_gpu},
    {"objects/GSE/asu.obj", bound::zuvadud_D738_engine_hide_asu, bound::zuvadud_D738_asu_test, gse_unload_asu},
    {"objects/GSE/fueltruck.obj", bound::zuvadud_D738_fueltruck_hide, bound::zuvadud_D738_fueltruck_test,
     gse_unload_fuel_truck},
    {"objects/GSE/fueltruck2.obj", bound::zuvadud_D738_fueltruck_hide, bound::COUNT, gse_unload_fuel_truck2},
    {"objects/GSE/cones.obj", bound::zuvadud_D738_fms_cones_hide, bound::zuvadud_D738_cones_test, gse_unload_cones},
    {"objects/GSE/de_ice_truck.obj", bound::zuvadud_D738_de_ice_truck_hide, bound::zuvadud_D738_deicetruck_test,
     gse_unload_de_ice_truck},
    {"objects/GSE/de_ice_truck.obj", bound::zuvadud_D738_de_ice_truck_hide, bound::zuvadud_D738_deicetruck_test,
     gse_unload_de_ice_truck2},
};

struct Offset {
  float a, b, heading_deg;
};

Offset offset_of(int slot) {
  const GseOffsets& o = gse_offsets;
  switch (slot) {
    case gse_gpu: return {o.gpu_m[0], o.gpu_m[1], 0.0f};
    case gse_asu: return {o.asu_m[0], o.asu_m[1], 0.0f};
    case gse_fuel_truck: return {o.fuel_truck_m[0], o.fuel_truck_m[1], 0.0f};
    case gse_fuel_truck2: return {o.fuel_truck2_m[0], o.fuel_truck2_m[1], 0.0f};
    case gse_cones: return {o.cones_m, 0.0f, 0.0f};
    case gse_de_ice_truck: return {o.de_ice_truck_m[0], o.de_ice_truck_m[1], o.de_ice_truck_hdg_deg};
    default: return {o.de_ice_truck2_m[0], o.de_ice_truck2_m[1], o.de_ice_truck2_hdg_deg};
  }
}

float hide_value(const GseObject& obj) {
  if (obj.hide == bound::zuvadud_D738_gpu_hide) return script_mirror.zuvadud_D738_gpu_hide;
  return read_now_f(obj.hide);
}

void load_object(GseSlot& slot, const GseObject& obj) {
  if (slot.object == nullptr) {
    char path[path_capacity * 2 + 64];
    // The host takes object paths relative to its own folder.
    const int n = std::snprintf(path, sizeof path, "%s%s", aircraft_folder, obj.file);
    // A path that does not fit is not loaded rather than loaded cut short.
    if (n > 0 && static_cast<size_t>(n) < sizeof path) slot.object = XPLMLoadObject(path);
  }
  if (slot.object != nullptr && slot.instance == nullptr) {
    const char* no_datarefs[] = {nullptr};
    slot.instance = XPLMCreateInstance(slot.object, no_datarefs);
  }
  // Marked loaded even when the file is missing: no retry until hidden and wanted again.
  slot.loaded = 1;
}

XPLMDrawInfo_t aircraft_record() {
  const HostMirror& hm = host_mirror;
  XPLMDrawInfo_t r;
  r.structSize = sizeof(XPLMDrawInfo_t);
  r.x = static_cast<float>(hm.sim_flightmodel_position_local_x);
  r.y = static_cast<float>(hm.sim_flightmodel_position_local_y);
  r.z = static_cast<float>(hm.sim_flightmodel_position_local_z);
  r.pitch = hm.sim_flightmodel_position_theta;
  r.heading = hm.sim_flightmodel_position_psi;
  r.roll = hm.sim_flightmodel_position_phi;
  return r;
}

}  // namespace

bool place_ground_object(XPLMDrawInfo_t& record, const float* instance_values, XPLMInstanceRef instance, float a,
                         float b, float heading_offset_deg) {
  double angle_deg;
  if (a == 0.0f) {
    angle_deg = b < 0.0f ? -90.0f : 90.0f;
  } else {
    angle_deg = std::atan(static_cast<double>(b) / a) * 180.0 / pi_12dp;
  }
  const double distance = angle_deg == 0.0 ? a : b / std::sin(angle_deg * pi_12dp / 180.0);
  const double h = std::fmod(std::fmod(record.heading + angle_deg + 360.0, 360.0) + 360.0, 360.0) * pi_12dp / 180.0;
  // Local frame: x east, z south; the offset points back from the nose.
  record.x = static_cast<float>(record.x - distance * std::sin(h));
  record.z = static_cast<float>(record.z + distance * std::cos(h));
  float heading = std::fmod(record.heading + heading_offset_deg, 360.0f);
  if (heading < 0.0f) heading += 360.0f;
  record.heading = heading;
  bool on_land = false;
  if (terrain_probe != nullptr) {
    XPLMProbeInfo_t info{};
    info.structSize = sizeof(XPLMProbeInfo_t);
    const XPLMProbeResult hit =
        XPLMProbeTerrainXYZ(terrain_probe, record.x, record.y + kProbeAboveM, record.z, &info);
    if (hit == xplm_ProbeHitTerrain && info.is_wet == 0) {
      record.y = info.locationY;
      on_land = true;
    }
  }
  if (!on_land) record.y = 0.0f;
  if (instance == nullptr) return false;
  XPLMInstanceSetPosition(instance, &record, instance_values);
  return true;
}

bool gse_place(int slot, float* data) {
  if (slot < 0 || slot >= gse_slot_count) return false;
  XPLMDrawInfo_t record = aircraft_record();
  gse_anchors[slot] = {record.x, record.z};
  if (data != nullptr && data[0] > 45.0f) data[0] -= 90.0f;
  const Offset off = offset_of(slot);
  return place_ground_object(record, data, gse_slots[slot].instance, off.a, off.b, off.heading_deg);
}

void gse_objects_update() {
  const HostMirror& hm = host_mirror;
  const float x = static_cast<float>(hm.sim_flightmodel_position_local_x);
  const float z = static_cast<float>(hm.sim_flightmodel_position_local_z);
  for (int i = 0; i < gse_slot_count; ++i) {
    const GseObject& obj = gse_objects[i];
    GseSlot& slot = gse_slots[i];
    if (hide_value(obj) != 0.0f) {
      if (slot.loaded) obj.unload();
      continue;
    }
    if (!slot.loaded) {
      load_object(slot, obj);
      float no_values[1] = {0.0f};
      gse_place(i, no_values);
      slot.placed = 1;
    }
    if (obj.moved == bound::COUNT) continue;
    if (std::fabs(x - gse_anchors[i].x_m) > kMovedM || std::fabs(z - gse_anchors[i].z_m) > kMovedM) {
      script_set_f(obj.moved, 1.0f);
      if (i == gse_gpu) script_mirror.zuvadud_D738_gpu_test = 1.0f;
    }
  }
}
