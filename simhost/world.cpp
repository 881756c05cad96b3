// The simulated world around the plug-in: files (directory contents over the
// real folder, situation files), terrain probes, scenery objects and their
// instances, world/local coordinates, magnetic variation, the navaid table
// and METAR text. All deterministic and settable by tests.
#include "state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace simhost {
namespace {

constexpr double kEarthRadiusM = 6378145.0;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kMetresPerFoot = 0.3048;
// Beyond a field the ground falls to sea level over 10 nm (*chosen*: the
// bundled lists give no terrain between fields; a slope this gentle gives
// an approach no closure the aircraft would call terrain).
constexpr double kFieldSlopeM = 18520.0;

std::string under_root(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return host().root + path;
}

// The host's path rules: object files are named relative to its folder, and
// a folder to list has no trailing separator.
bool absolute_path(const char* path) {
  return path[0] == '/' || path[0] == '\\' || (path[0] != '\0' && path[1] == ':');
}
bool trailing_separator(const char* path) {
  const size_t n = std::strlen(path);
  return n > 0 && (path[n - 1] == '/' || path[n - 1] == '\\');
}

void copy_out(char* out, const std::string& text, size_t capacity) {
  if (!out) return;
  size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

void default_world(Host& h) {
  h.terrain = [](float, float) { return 0.0f; };
  h.magvar = [](double, double) { return 0.0f; };
  h.navaids.clear();
  // A handful of invented navaids, enough for lookups by id, type and distance.
  h.navaids.push_back({xplm_Nav_VOR, 50.0f, 8.0f, 120.0f, 11430, 0.0f, "TVR", "TEST VOR"});
  h.navaids.push_back({xplm_Nav_NDB, 50.2f, 8.3f, 100.0f, 350, 0.0f, "TB", "TEST NDB"});
  h.navaids.push_back({xplm_Nav_Fix, 50.1f, 8.1f, 0.0f, 0, 0.0f, "TFIXA", "TFIXA"});
  h.navaids.push_back({xplm_Nav_Airport, 50.05f, 8.57f, 111.0f, 0, 0.0f, "XTST", "TEST AIRPORT"});
  h.navaids.push_back({xplm_Nav_ILS, 50.04f, 8.55f, 111.0f, 11050, 250.0f, "ITST", "XTST 25C ILS-cat-III"});
}

bool set_field_terrain(const std::string& airport_list) {
  struct Field {
    double lat, lon, elevation_m, radius_m;
  };
  std::ifstream in(airport_list);
  std::vector<Field> fields;
  std::string line;
  while (std::getline(in, line)) {
    char icao[16];
    double lat = 0, lon = 0, elev_ft = 0, transition = 0, runway_ft = 0;
    if (std::sscanf(line.c_str(), "%15s %lf %lf %lf %lf %lf", icao, &lat, &lon, &elev_ft, &transition, &runway_ft) != 6)
      continue;
    if (!std::isfinite(lat) || !std::isfinite(lon) || !std::isfinite(elev_ft) || !std::isfinite(runway_ft) ||
        std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0 || std::fabs(elev_ft) > 30000.0 || runway_ft < 0.0 ||
        runway_ft > 100000.0)
      continue;
    fields.push_back({lat, lon, elev_ft * kMetresPerFoot, runway_ft * kMetresPerFoot});
  }
  if (fields.empty()) return false;
  host().terrain = [fields](float x, float z) {
    double lat = 0, lon = 0, y = 0;
    XPLMLocalToWorld(x, 0.0, z, &lat, &lon, &y);
    double ground = 0.0;
    for (const Field& f : fields) {
      const double north = (lat - f.lat) * kDegToRad * kEarthRadiusM;
      const double east = (lon - f.lon) * kDegToRad * kEarthRadiusM * std::cos(f.lat * kDegToRad);
      const double beyond = std::sqrt(north * north + east * east) - f.radius_m;
      const double share = beyond <= 0.0 ? 1.0 : std::max(0.0, 1.0 - beyond / kFieldSlopeM);
      const double h = f.elevation_m * share;
      if (std::fabs(h) > std::fabs(ground)) ground = h;
    }
    return static_cast<float>(ground);
  };
  return true;
}

int directory_contents_calls() { return host().directory_calls; }
const std::vector<DataFileCall>& data_file_calls() { return host().data_files; }
void set_terrain(std::function<float(float, float)> height) { host().terrain = std::move(height); }
int probe_calls() { return host().probe_calls; }

std::vector<ObjectInfo> objects() {
  std::vector<ObjectInfo> out;
  for (const Object& o : host().objects) out.push_back({o.path, o.loaded});
  return out;
}

std::vector<InstanceInfo> instances() {
  const Host& h = host();
  std::vector<InstanceInfo> out;
  for (const Instance& i : h.instances) {
    InstanceInfo info;
    info.object_path = h.objects[static_cast<size_t>(i.object)].path;
    info.datarefs = i.datarefs;
    info.alive = i.alive;
    info.placed = i.placed;
    info.x = i.position.x;
    info.y = i.position.y;
    info.z = i.position.z;
    info.pitch = i.position.pitch;
    info.heading = i.position.heading;
    info.roll = i.position.roll;
    info.data = i.data;
    info.positions_set = i.positions_set;
    out.push_back(info);
  }
  return out;
}

void set_magnetic_variation(std::function<float(double, double)> fn) { host().magvar = std::move(fn); }
void set_magnetic_variation(float degrees) {
  host().magvar = [degrees](double, double) { return degrees; };
}
int magnetic_variation_calls() { return host().magvar_calls; }

void clear_navaids() { host().navaids.clear(); }
void add_navaid(const NavAid& navaid) { host().navaids.push_back(navaid); }
void set_metar(const std::string& airport, const std::string& text) { host().metars[airport] = text; }
int metar_calls() { return host().metar_calls; }
int symbol_lookups(const std::string& name) {
  const auto it = host().symbol_lookups.find(name);
  return it == host().symbol_lookups.end() ? 0 : it->second;
}

void set_local_origin(double lat, double lon) {
  host().origin_lat = lat;
  host().origin_lon = lon;
}

double variation_at(const Host& h, double lat, double lon) {
  const Dataref* set = find_dataref("sim/flightmodel/position/magnetic_variation");
  if (set && set->pinned) return std::isfinite(set->scalar) ? set->scalar : 0.0;
  return h.magvar ? h.magvar(lat, lon) : 0.0;
}

}  // namespace simhost

using namespace simhost;

// ---- files ------------------------------------------------------------------------------

int XPLMGetDirectoryContents(const char* directory, int offset, char* out_names, int buffer_size,
                             char** out_indices, int index_count, int* out_total, int* out_returned) {
  Host& h = host();
  ++h.directory_calls;
  if (out_total) *out_total = 0;
  if (out_returned) *out_returned = 0;
  if (!directory) {
    problem("XPLMGetDirectoryContents: null directory");
    return 0;
  }
  if (trailing_separator(directory)) {
    problem("XPLMGetDirectoryContents: \"%s\" ends in a separator", directory);
    return 0;
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  if (ec && names.empty()) return 0;
  // Sorted, so that listings do not depend on the file system's order.
  std::sort(names.begin(), names.end());
  int total = static_cast<int>(names.size());
  if (out_total) *out_total = total;
  if (offset < 0) {
    problem("XPLMGetDirectoryContents: offset %d", offset);
    return 0;
  }
  int returned = 0;
  int used = 0;
  for (int i = offset; i < total; ++i) {
    const std::string& n = names[static_cast<size_t>(i)];
    int need = static_cast<int>(n.size()) + 1;
    if (!out_names || used + need > buffer_size) break;
    if (out_indices && returned >= index_count) break;
    std::memcpy(out_names + used, n.c_str(), static_cast<size_t>(need));
    if (out_indices) out_indices[returned] = out_names + used;
    used += need;
    ++returned;
  }
  if (out_returned) *out_returned = returned;
  return offset + returned >= total ? 1 : 0;
}

int XPLMLoadDataFile(XPLMDataFileType type, const char* path) {
  Host& h = host();
  if (!path) {
    problem("XPLMLoadDataFile: null path");
    return 0;
  }
  std::error_code ec;
  int result = std::filesystem::is_regular_file(under_root(path), ec) ? 1 : 0;
  h.data_files.push_back({false, type, path, result});
  return result;
}

int XPLMSaveDataFile(XPLMDataFileType type, const char* path) {
  Host& h = host();
  if (!path) {
    problem("XPLMSaveDataFile: null path");
    return 0;
  }
  int result = 0;
  const std::string relative = path;
  bool read_only = false;
  for (const std::string& folder : h.config.read_only_folders)
    read_only = read_only || (relative.rfind(folder, 0) == 0 && relative.find('/', folder.size()) == std::string::npos);
  if (!read_only) {
    std::ofstream out(under_root(path));
    if (out) out << (type == xplm_DataFile_Situation ? "situation saved by the simulated host\n" : "movie\n");
    result = out ? 1 : 0;
  }
  h.data_files.push_back({true, type, path, result});
  return result;
}

// ---- terrain probes -----------------------------------------------------------------------

XPLMProbeRef XPLMCreateProbe(XPLMProbeType type) {
  Host& h = host();
  if (type != xplm_ProbeY) problem("XPLMCreateProbe: probe type %d", type);
  h.probes.push_back({type, true});
  return make_handle(kProbeBase, h.probes.size() - 1);
}

void XPLMDestroyProbe(XPLMProbeRef probe) {
  Host& h = host();
  long i = handle_index(probe, kProbeBase, h.probes.size());
  if (i < 0) return problem("XPLMDestroyProbe: %p is not a probe", probe);
  if (!h.probes[static_cast<size_t>(i)].alive) return problem("XPLMDestroyProbe: probe destroyed twice");
  h.probes[static_cast<size_t>(i)].alive = false;
}

XPLMProbeResult XPLMProbeTerrainXYZ(XPLMProbeRef probe, float x, float y, float z, XPLMProbeInfo_t* out_info) {
  Host& h = host();
  ++h.probe_calls;
  (void)y;
  long i = handle_index(probe, kProbeBase, h.probes.size());
  if (i < 0 || !h.probes[static_cast<size_t>(i)].alive) {
    problem("XPLMProbeTerrainXYZ: %p is not a live probe", probe);
    return xplm_ProbeError;
  }
  if (!out_info || out_info->structSize != static_cast<int>(sizeof(XPLMProbeInfo_t))) {
    problem("XPLMProbeTerrainXYZ: probe info structure size %d", out_info ? out_info->structSize : -1);
    return xplm_ProbeError;
  }
  float height = h.terrain ? h.terrain(x, z) : 0.0f;
  out_info->locationX = x;
  out_info->locationY = height;
  out_info->locationZ = z;
  out_info->normalX = 0;
  out_info->normalY = 1;
  out_info->normalZ = 0;
  out_info->velocityX = out_info->velocityY = out_info->velocityZ = 0;
  out_info->is_wet = 0;
  return xplm_ProbeHitTerrain;
}

// ---- scenery objects and instances --------------------------------------------------------

XPLMObjectRef XPLMLoadObject(const char* path) {
  Host& h = host();
  if (!path) {
    problem("XPLMLoadObject: null path");
    return nullptr;
  }
  if (absolute_path(path)) {
    problem("XPLMLoadObject: \"%s\" is not relative to the host's folder", path);
    return nullptr;
  }
  std::error_code ec;
  bool exists = std::filesystem::is_regular_file(under_root(path), ec);
  Object o;
  o.path = path;
  o.loaded = exists || !h.config.objects_need_files;
  o.alive = o.loaded;
  h.objects.push_back(o);
  return o.loaded ? make_handle(kObjectBase, h.objects.size() - 1) : nullptr;
}

void XPLMUnloadObject(XPLMObjectRef object) {
  Host& h = host();
  long i = handle_index(object, kObjectBase, h.objects.size());
  if (i < 0) return problem("XPLMUnloadObject: %p is not an object", object);
  Object& o = h.objects[static_cast<size_t>(i)];
  if (!o.alive) return problem("XPLMUnloadObject: %s unloaded twice", o.path.c_str());
  for (const Instance& inst : h.instances)
    if (inst.alive && inst.object == i) problem("XPLMUnloadObject: %s still has an instance", o.path.c_str());
  o.alive = false;
}

XPLMInstanceRef XPLMCreateInstance(XPLMObjectRef object, const char** datarefs) {
  Host& h = host();
  long i = handle_index(object, kObjectBase, h.objects.size());
  if (i < 0 || !h.objects[static_cast<size_t>(i)].alive) {
    problem("XPLMCreateInstance: %p is not a loaded object", object);
    return nullptr;
  }
  if (!datarefs) {
    problem("XPLMCreateInstance: null dataref list");
    return nullptr;
  }
  Instance inst;
  inst.object = i;
  for (const char** p = datarefs; *p; ++p) inst.datarefs.push_back(*p);
  h.instances.push_back(inst);
  return make_handle(kInstanceBase, h.instances.size() - 1);
}

void XPLMDestroyInstance(XPLMInstanceRef instance) {
  Host& h = host();
  long i = handle_index(instance, kInstanceBase, h.instances.size());
  if (i < 0) return problem("XPLMDestroyInstance: %p is not an instance", instance);
  if (!h.instances[static_cast<size_t>(i)].alive) return problem("XPLMDestroyInstance: instance destroyed twice");
  h.instances[static_cast<size_t>(i)].alive = false;
}

void XPLMInstanceSetPosition(XPLMInstanceRef instance, const XPLMDrawInfo_t* position, const float* data) {
  Host& h = host();
  long i = handle_index(instance, kInstanceBase, h.instances.size());
  if (i < 0 || !h.instances[static_cast<size_t>(i)].alive)
    return problem("XPLMInstanceSetPosition: %p is not a live instance", instance);
  Instance& inst = h.instances[static_cast<size_t>(i)];
  if (!position || position->structSize != static_cast<int>(sizeof(XPLMDrawInfo_t)))
    return problem("XPLMInstanceSetPosition: draw info structure size %d", position ? position->structSize : -1);
  if (!data && !inst.datarefs.empty())
    return problem("XPLMInstanceSetPosition: null data for %zu datarefs", inst.datarefs.size());
  inst.position = *position;
  inst.data.assign(data, data + (data ? inst.datarefs.size() : 0));
  inst.placed = true;
  ++inst.positions_set;
}

// ---- coordinates, magnetic variation ----------------------------------------------------------

void XPLMWorldToLocal(double latitude, double longitude, double altitude, double* out_x, double* out_y,
                      double* out_z) {
  const Host& h = host();
  double east = (longitude - h.origin_lon) * kDegToRad * kEarthRadiusM * std::cos(h.origin_lat * kDegToRad);
  double north = (latitude - h.origin_lat) * kDegToRad * kEarthRadiusM;
  if (out_x) *out_x = east;
  if (out_y) *out_y = altitude;
  if (out_z) *out_z = -north;
}

void XPLMLocalToWorld(double x, double y, double z, double* out_latitude, double* out_longitude,
                      double* out_altitude) {
  const Host& h = host();
  double c = std::cos(h.origin_lat * kDegToRad);
  if (out_latitude) *out_latitude = h.origin_lat + (-z) / (kDegToRad * kEarthRadiusM);
  if (out_longitude) *out_longitude = h.origin_lon + (c != 0 ? x / (kDegToRad * kEarthRadiusM * c) : 0.0);
  if (out_altitude) *out_altitude = y;
}

float XPLMGetMagneticVariation(double latitude, double longitude) {
  Host& h = host();
  ++h.magvar_calls;
  return static_cast<float>(variation_at(h, latitude, longitude));
}

// ---- navaids and weather ------------------------------------------------------------------------

XPLMNavRef XPLMFindNavAid(const char* name_fragment, const char* id_fragment, float* latitude, float* longitude,
                          int* frequency, XPLMNavType type) {
  const Host& h = host();
  XPLMNavRef best = XPLM_NAV_NOT_FOUND;
  double best_d = 0;
  for (size_t i = 0; i < h.navaids.size(); ++i) {
    const NavAid& n = h.navaids[i];
    if (!(n.type & type)) continue;
    if (frequency && n.frequency != *frequency) continue;
    if (name_fragment && n.name.find(name_fragment) == std::string::npos) continue;
    if (id_fragment && n.id.find(id_fragment) == std::string::npos) continue;
    if (latitude && longitude) {
      double dlat = n.lat - *latitude;
      double dlon = (n.lon - *longitude) * std::cos(*latitude * kDegToRad);
      double d = dlat * dlat + dlon * dlon;
      if (best == XPLM_NAV_NOT_FOUND || d < best_d) {
        best = static_cast<XPLMNavRef>(i);
        best_d = d;
      }
    } else {
      best = static_cast<XPLMNavRef>(i);   // without a position the last match is returned
    }
  }
  return best;
}

void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* out_type, float* out_latitude, float* out_longitude,
                       float* out_height, int* out_frequency, float* out_heading, char* out_id, char* out_name,
                       char* out_reg) {
  const Host& h = host();
  NavAid n;
  if (ref < 0 || static_cast<size_t>(ref) >= h.navaids.size()) {
    problem("XPLMGetNavAidInfo: no navaid %d", ref);
  } else {
    n = h.navaids[static_cast<size_t>(ref)];
  }
  if (out_type) *out_type = n.type;
  if (out_latitude) *out_latitude = n.lat;
  if (out_longitude) *out_longitude = n.lon;
  if (out_height) *out_height = n.height;
  if (out_frequency) *out_frequency = n.frequency;
  if (out_heading) *out_heading = n.heading;
  copy_out(out_id, n.id, 32);
  copy_out(out_name, n.name, 256);
  if (out_reg) *out_reg = 0;
}

void* XPLMFindSymbol(const char* name) {
  Host& h = host();
  if (!name) {
    problem("XPLMFindSymbol: null name");
    return nullptr;
  }
  ++h.symbol_lookups[name];
  const auto& absent = h.config.absent_symbols;
  if (std::find(absent.begin(), absent.end(), name) != absent.end()) return nullptr;
  // Answers for the functions plug-ins look up rather than import; any other
  // name reads as absent here.
  if (std::strcmp(name, "XPLMGetMETARForAirport") == 0 && h.config.host_version >= 120000)
    return reinterpret_cast<void*>(&XPLMGetMETARForAirport);
  return nullptr;
}

void XPLMGetMETARForAirport(const char* airport_id, XPLMFixedString150_t* out_metar) {
  Host& h = host();
  ++h.metar_calls;
  if (h.config.host_version < 120000) problem("XPLMGetMETARForAirport called on a host before version 12");
  if (h.running_phase != xplm_FlightLoop_Phase_BeforeFlightModel)
    problem("XPLMGetMETARForAirport called outside a before-flight-model flight loop");
  if (!out_metar) return problem("XPLMGetMETARForAirport: null buffer");
  std::string text;
  if (airport_id) {
    auto it = h.metars.find(airport_id);
    if (it != h.metars.end()) text = it->second;
  }
  copy_out(out_metar->buffer, text, sizeof out_metar->buffer);
}
