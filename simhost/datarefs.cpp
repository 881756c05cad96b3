// Datarefs of the simulated host: the catalogs of host- and script-owned
// values, the plug-in's registered accessors, the host's data access calls
// with their real array semantics, and the test-side reads and writes.
#include "state.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#ifndef SIMHOST_CATALOG_DIR
#define SIMHOST_CATALOG_DIR "simhost/catalog"
#endif

namespace simhost {
namespace {

constexpr int kArrayTypes = xplmType_FloatArray | xplmType_IntArray;

bool is_array(int type) { return (type & kArrayTypes) != 0; }

std::vector<std::string> split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (c == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

bool parse_double(const std::string& s, double* out) {
  const char* b = s.c_str();
  while (*b == ' ') ++b;
  if (*b == '\0') return false;
  char* end = nullptr;
  double v = std::strtod(b, &end);
  while (end && *end == ' ') ++end;
  if (!end || *end != '\0') return false;
  *out = v;
  return true;
}

// Fills a fresh record's storage from its default text.
void apply_default(Dataref& d, const std::string& def) {
  d.scalar = 0;
  d.array.assign(is_array(d.type) ? static_cast<size_t>(d.size) : 0, 0.0);
  d.bytes.assign((d.type & xplmType_Data) ? static_cast<size_t>(d.size) : 0, 0);
  if (def.empty()) return;
  if (d.type & xplmType_Data) {
    std::memcpy(d.bytes.data(), def.data(), std::min(def.size(), d.bytes.size()));
  } else if (is_array(d.type)) {
    std::vector<std::string> parts = split(def, ',');
    double v = 0;
    if (parts.size() == 1) {
      if (parse_double(parts[0], &v)) d.array.assign(d.array.size(), v);  // one number fills the array
    } else {
      for (size_t i = 0; i < parts.size() && i < d.array.size(); ++i)
        if (parse_double(parts[i], &v)) d.array[i] = v;
    }
  } else {
    double v = 0;
    if (parse_double(def, &v)) d.scalar = v;
  }
}

void add_or_replace(Host& h, const CatalogEntry& e, Owner owner, bool first_wins) {
  auto it = h.dataref_index.find(e.name);
  Dataref* d = nullptr;
  if (it != h.dataref_index.end()) {
    if (first_wins) return;
    ++h.dataref_generation;
    d = &h.datarefs[it->second];
    *d = Dataref{};
  } else {
    h.datarefs.emplace_back();
    h.dataref_index[e.name] = h.datarefs.size() - 1;
    d = &h.datarefs.back();
    ++h.dataref_generation;
  }
  d->name = e.name;
  d->type = e.type;
  d->size = e.size < 1 ? 1 : e.size;
  if (!is_array(e.type) && !(e.type & xplmType_Data)) d->size = 1;
  d->writable = e.writable;
  d->owner = owner;
  d->live = true;
  apply_default(*d, e.def);
  // A test that defines a value with its own default plays that value.
  d->pinned = !first_wins && !e.def.empty();
}

void load_catalog_file(Host& h, const std::string& path, Owner owner) {
  std::ifstream in(path);
  if (!in) return;
  std::string line;
  bool header = true;
  int line_no = 0;
  while (std::getline(in, line)) {
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (header) {
      header = false;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = split(line, '\t');
    if (f.size() < 4) {
      problem("catalog %s line %d: fewer than 4 fields", path.c_str(), line_no);
      continue;
    }
    CatalogEntry e;
    e.name = f[0];
    e.type = std::atoi(f[1].c_str());
    e.size = std::atoi(f[2].c_str());
    e.writable = std::atoi(f[3].c_str()) != 0;
    if (f.size() >= 5) e.def = f[4];
    if (e.type <= 0 || e.type > 63) {
      problem("catalog %s line %d: bad type %s", path.c_str(), line_no, f[1].c_str());
      continue;
    }
    add_or_replace(h, e, owner, true);
  }
}

Dataref* from_handle(void* ref, const char* call) {
  Host& h = host();
  long i = handle_index(ref, kDatarefBase, h.datarefs.size());
  if (i < 0) {
    problem("%s: %p is not a dataref handle", call, ref);
    return nullptr;
  }
  return &h.datarefs[static_cast<size_t>(i)];
}

// A plug-in read through a handle: null handles read 0; the others are
// counted and checked for type and life.
Dataref* reading(void* ref, int type_bit, const char* call) {
  if (!ref) {
    ++host().null_reads;
    return nullptr;
  }
  Dataref* d = from_handle(ref, call);
  if (!d) return nullptr;
  ++d->counts.reads;
  if (!d->live) {
    if (!d->orphan) problem("%s: dataref %s was unregistered", call, d->name.c_str());
    return nullptr;
  }
  if (!(d->type & type_bit)) {
    problem("%s: dataref %s has type %d", call, d->name.c_str(), d->type);
    return nullptr;
  }
  return d;
}

Dataref* writing(void* ref, int type_bit, const char* call) {
  if (!ref) {
    ++host().null_writes;
    return nullptr;
  }
  Dataref* d = from_handle(ref, call);
  if (!d) return nullptr;
  if (!d->live) {
    if (!d->orphan) problem("%s: dataref %s was unregistered", call, d->name.c_str());
    return nullptr;
  }
  if (!(d->type & type_bit)) {
    problem("%s: dataref %s has type %d", call, d->name.c_str(), d->type);
    return nullptr;
  }
  if (!d->writable) {
    ++d->counts.refused_writes;
    problem("%s: dataref %s is read-only", call, d->name.c_str());
    return nullptr;
  }
  ++d->counts.writes;
  return d;
}

// Array and byte storage: the host's semantics for offset and count.
template <typename T>
int read_range(const std::vector<double>& src, T* out, int offset, int max) {
  int n = static_cast<int>(src.size());
  if (!out) return n;
  if (offset < 0 || max < 0 || offset >= n) return 0;
  int count = std::min(max, n - offset);
  for (int i = 0; i < count; ++i) out[i] = static_cast<T>(src[static_cast<size_t>(offset + i)]);
  return count;
}

template <typename T>
void write_range(std::vector<double>& dst, const T* in, int offset, int count) {
  int n = static_cast<int>(dst.size());
  if (!in || offset < 0 || count <= 0 || offset >= n) return;
  int c = std::min(count, n - offset);
  for (int i = 0; i < c; ++i) dst[static_cast<size_t>(offset + i)] = static_cast<double>(in[i]);
}

int read_bytes(const std::vector<uint8_t>& src, void* out, int offset, int max) {
  int n = static_cast<int>(src.size());
  if (!out) return n;
  if (offset < 0 || max < 0 || offset >= n) return 0;
  int count = std::min(max, n - offset);
  std::memcpy(out, src.data() + offset, static_cast<size_t>(count));
  return count;
}

void write_bytes(std::vector<uint8_t>& dst, const void* in, int offset, int count) {
  int n = static_cast<int>(dst.size());
  if (!in || offset < 0 || count <= 0 || offset >= n) return;
  int c = std::min(count, n - offset);
  std::memcpy(dst.data() + offset, in, static_cast<size_t>(c));
}

bool plugin_owned(const Dataref& d) { return d.owner == Owner::Plugin; }

// An array access by the plug-in that asks for elements past the end of a
// host or script array: the host copies what exists, and the rest of the
// plug-in's buffer keeps whatever it held.
void watch_overrun(const Dataref& d, const void* values, int offset, int count, const char* call) {
  if (plugin_owned(d) || !values || count <= 0) return;
  const int n = static_cast<int>(d.array.size());
  if (offset >= 0 && offset <= n && count <= n - offset) return;
  Host& h = host();
  const std::string what = std::string(call) + " " + d.name + " offset " + std::to_string(offset) + " count " +
                           std::to_string(count) + " of " + std::to_string(n);
  if (h.overruns.size() < 256 && std::find(h.overruns.begin(), h.overruns.end(), what) == h.overruns.end())
    h.overruns.push_back(what);
}

// Records the non-finite values among a plug-in write into host storage.
// An element that already held a non-finite value (the owner put it there,
// and the plug-in hands it back unchanged) is not the plug-in's doing.
template <typename T>
void watch_finite(const Dataref& d, const T* values, int offset, int count) {
  if (plugin_owned(d) || !values) return;
  // Almost every write is all finite: one pass that the compiler can run
  // several elements at a time (v - v is 0 exactly when v is finite).
  bool all_finite = true;
  for (int i = 0; i < count; ++i) all_finite &= (values[i] - values[i]) == T(0);
  if (all_finite) return;
  Host& h = host();
  for (int i = 0; i < count; ++i) {
    const double v = static_cast<double>(values[i]);
    if (std::isfinite(v)) continue;
    const size_t at = static_cast<size_t>(offset) + static_cast<size_t>(i);
    const double old = d.array.empty() ? d.scalar : at < d.array.size() ? d.array[at] : 0.0;
    if (!std::isfinite(old)) continue;
    ++h.non_finite_count;
    if (h.non_finite.size() < 256)
      h.non_finite.push_back(d.name + "[" + std::to_string(offset + i) + "] = " + std::to_string(v));
  }
}

// Names the host gives one value under both: its descriptions give them the
// same meaning ("Is the APU Generator on", "APU generator is turned on"), or
// one replaces the other in a newer host ("Use flap_handle_request_ratio").
constexpr const char* kAliases[][2] = {
    {"sim/cockpit/electrical/generator_apu_on", "sim/cockpit2/electrical/APU_generator_on"},
    {"sim/cockpit2/controls/flap_ratio", "sim/cockpit2/controls/flap_handle_request_ratio"},
};

// A write into host storage is a write into its other name too.
void to_alias(const Dataref& d) {
  if (d.alias < 0) return;
  Host& h = host();
  if (static_cast<size_t>(d.alias) >= h.datarefs.size()) return;
  Dataref& other = h.datarefs[static_cast<size_t>(d.alias)];
  if (!other.live || other.owner == Owner::Plugin || other.alias < 0) return;
  other.scalar = d.scalar;
  other.array = d.array;
}

// ---- uncounted access shared by the host calls and the test API ----------
int raw_geti(Dataref& d) {
  if (plugin_owned(d)) return d.geti ? d.geti(d.read_refcon) : 0;
  return static_cast<int>(d.scalar);
}
float raw_getf(Dataref& d) {
  if (plugin_owned(d)) return d.getf ? d.getf(d.read_refcon) : 0.0f;
  return static_cast<float>(d.scalar);
}
double raw_getd(Dataref& d) {
  if (plugin_owned(d)) return d.getd ? d.getd(d.read_refcon) : 0.0;
  return d.scalar;
}
void raw_seti(Dataref& d, int v) {
  if (plugin_owned(d)) {
    if (d.seti) d.seti(d.write_refcon, v);
  } else {
    d.scalar = v;
    to_alias(d);
  }
}
void raw_setf(Dataref& d, float v) {
  if (plugin_owned(d)) {
    if (d.setf) d.setf(d.write_refcon, v);
  } else {
    d.scalar = static_cast<double>(v);
    to_alias(d);
  }
}
void raw_setd(Dataref& d, double v) {
  if (plugin_owned(d)) {
    if (d.setd) d.setd(d.write_refcon, v);
  } else {
    d.scalar = v;
    to_alias(d);
  }
}
int raw_getvi(Dataref& d, int* v, int o, int m) {
  if (plugin_owned(d)) return d.getvi ? d.getvi(d.read_refcon, v, o, m) : 0;
  return read_range(d.array, v, o, m);
}
int raw_getvf(Dataref& d, float* v, int o, int m) {
  if (plugin_owned(d)) return d.getvf ? d.getvf(d.read_refcon, v, o, m) : 0;
  return read_range(d.array, v, o, m);
}
int raw_getb(Dataref& d, void* v, int o, int m) {
  if (plugin_owned(d)) return d.getb ? d.getb(d.read_refcon, v, o, m) : 0;
  return read_bytes(d.bytes, v, o, m);
}
void raw_setvi(Dataref& d, int* v, int o, int c) {
  if (plugin_owned(d)) {
    if (d.setvi) d.setvi(d.write_refcon, v, o, c);
  } else {
    write_range(d.array, v, o, c);
    to_alias(d);
  }
}
void raw_setvf(Dataref& d, float* v, int o, int c) {
  if (plugin_owned(d)) {
    if (d.setvf) d.setvf(d.write_refcon, v, o, c);
  } else {
    write_range(d.array, v, o, c);
    to_alias(d);
  }
}
void raw_setb(Dataref& d, void* v, int o, int c) {
  if (plugin_owned(d)) {
    if (d.setb) d.setb(d.write_refcon, v, o, c);
  } else {
    write_bytes(d.bytes, v, o, c);
  }
}

Dataref* live_named(const std::string& name) {
  Dataref* d = find_dataref(name);
  return d && d->live ? d : nullptr;
}

// A test-side write reaches a plug-in dataref only when the plug-in made it
// writable. A host or script value written from outside is the writer's from
// then on: the host stops deriving it.
Dataref* test_writable(const std::string& name, int type_bit) {
  Dataref* d = live_named(name);
  if (!d || !(d->type & type_bit)) return nullptr;
  if (plugin_owned(*d) && !d->writable) return nullptr;
  if (!plugin_owned(*d)) d->pinned = true;
  return d;
}

std::string format_float(double v, bool as_float) {
  char buf[64];
  std::to_chars_result r = as_float ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v))
                                    : std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

Dataref* find_dataref(const std::string& name) {
  Host& h = host();
  auto it = h.dataref_index.find(name);
  return it == h.dataref_index.end() ? nullptr : &h.datarefs[it->second];
}

void resolve_slots(Host& h, size_t count, std::string (*name_of)(size_t), bool numbers_only,
                   std::vector<long>& slots, uint64_t& generation) {
  if (generation == h.dataref_generation && slots.size() == count) return;
  slots.assign(count, -1);
  for (size_t k = 0; k < count; ++k) {
    const auto it = h.dataref_index.find(name_of(k));
    if (it == h.dataref_index.end()) continue;
    const Dataref& d = h.datarefs[it->second];
    // A name the plug-in took over is its own; byte data is nobody's number.
    if (!d.live || d.owner == Owner::Plugin || (numbers_only && (d.type & xplmType_Data))) continue;
    slots[k] = static_cast<long>(it->second);
  }
  generation = h.dataref_generation;
}

void link_aliases(Host& h) {
  for (const auto& pair : kAliases) {
    Dataref* d[2] = {nullptr, nullptr};
    for (int k = 0; k < 2; ++k) {
      const auto it = h.dataref_index.find(pair[k]);
      if (it == h.dataref_index.end()) continue;
      d[k] = &h.datarefs[it->second];
      d[k]->alias = -1;
    }
    if (!d[0] || !d[1] || !d[0]->live || !d[1]->live || d[0]->owner == Owner::Plugin || d[1]->owner == Owner::Plugin)
      continue;
    d[0]->alias = static_cast<long>(h.dataref_index[pair[1]]);
    d[1]->alias = static_cast<long>(h.dataref_index[pair[0]]);
    d[1]->scalar = d[0]->scalar;
  }
}

void load_catalogs(Host& h) {
  std::string dir = h.config.catalog_dir.empty() ? std::string(SIMHOST_CATALOG_DIR) : h.config.catalog_dir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  load_catalog_file(h, dir + "host_base.tsv", Owner::Host);
  // The simulator's own datarefs as the host version being simulated has them.
  load_catalog_file(h, dir + (h.config.host_version < 120000 ? "host_bound_11.tsv" : "host_bound_12.tsv"),
                    Owner::Host);
  // The host's datarefs that its own commands move and the plug-in never looks up.
  load_catalog_file(h, dir + "host_command_state.tsv", Owner::Host);
  if (h.config.scripts) {
    load_catalog_file(h, dir + "scripts_base.tsv", Owner::Scripts);
    load_catalog_file(h, dir + "scripts_bound.tsv", Owner::Scripts);
  }
  for (const std::string& name : h.config.omit) remove_dataref(name);
  for (const CatalogEntry& e : h.config.extra) add_or_replace(h, e, Owner::Host, false);
  if (Dataref* v = find_dataref("sim/version/xplane_internal_version")) v->scalar = h.config.host_version;
  link_aliases(h);
}

// ---- test API ------------------------------------------------------------------

bool has_dataref(const std::string& name) { return live_named(name) != nullptr; }

void define_dataref(const CatalogEntry& entry, Owner owner) {
  if (owner == Owner::Plugin) owner = Owner::Host;
  add_or_replace(host(), entry, owner, false);
  link_aliases(host());
}

void remove_dataref(const std::string& name) {
  Host& h = host();
  auto it = h.dataref_index.find(name);
  if (it == h.dataref_index.end()) return;
  // The record stays so that handles already given out stay checkable.
  Dataref& d = h.datarefs[it->second];
  d.live = false;
  d.name += " (removed)";
  h.dataref_index.erase(it);
  ++h.dataref_generation;
  link_aliases(h);
}

void orphan_dataref(Host& h, const std::string& name) {
  auto it = h.dataref_index.find(name);
  if (it == h.dataref_index.end()) return;
  Dataref& d = h.datarefs[it->second];
  if (d.owner == Owner::Plugin) return;
  d.live = false;
  d.orphan = true;
  ++h.dataref_generation;
  link_aliases(h);
}

int get_int(const std::string& name) {
  Dataref* d = live_named(name);
  if (!d) return 0;
  if (d->type & xplmType_Int) return raw_geti(*d);
  if (d->type & xplmType_Float) return static_cast<int>(raw_getf(*d));
  if (d->type & xplmType_Double) return static_cast<int>(raw_getd(*d));
  return 0;
}

float get_float(const std::string& name) {
  Dataref* d = live_named(name);
  if (!d) return 0;
  if (d->type & xplmType_Float) return raw_getf(*d);
  if (d->type & xplmType_Double) return static_cast<float>(raw_getd(*d));
  if (d->type & xplmType_Int) return static_cast<float>(raw_geti(*d));
  return 0;
}

double get_double(const std::string& name) {
  Dataref* d = live_named(name);
  if (!d) return 0;
  if (d->type & xplmType_Double) return raw_getd(*d);
  if (d->type & xplmType_Float) return raw_getf(*d);
  if (d->type & xplmType_Int) return raw_geti(*d);
  return 0;
}

std::vector<int> get_ints(const std::string& name) {
  Dataref* d = live_named(name);
  std::vector<int> out;
  if (!d) return out;
  if (d->type & xplmType_IntArray) {
    int n = raw_getvi(*d, nullptr, 0, 0);
    if (n > 0) out.resize(static_cast<size_t>(n));
    out.resize(static_cast<size_t>(std::max(0, raw_getvi(*d, out.data(), 0, n))));
  } else if (d->type & xplmType_FloatArray) {
    for (float f : get_floats(name)) out.push_back(static_cast<int>(f));
  }
  return out;
}

std::vector<float> get_floats(const std::string& name) {
  Dataref* d = live_named(name);
  std::vector<float> out;
  if (!d) return out;
  if (d->type & xplmType_FloatArray) {
    int n = raw_getvf(*d, nullptr, 0, 0);
    if (n > 0) out.resize(static_cast<size_t>(n));
    out.resize(static_cast<size_t>(std::max(0, raw_getvf(*d, out.data(), 0, n))));
  } else if (d->type & xplmType_IntArray) {
    for (int i : get_ints(name)) out.push_back(static_cast<float>(i));
  }
  return out;
}

std::vector<int> get_ints(const std::string& name, int count) {
  std::vector<int> v = get_ints(name);
  if (count >= 0 && static_cast<size_t>(count) < v.size()) v.resize(static_cast<size_t>(count));
  return v;
}

std::vector<float> get_floats(const std::string& name, int count) {
  std::vector<float> v = get_floats(name);
  if (count >= 0 && static_cast<size_t>(count) < v.size()) v.resize(static_cast<size_t>(count));
  return v;
}

std::string get_bytes(const std::string& name) {
  Dataref* d = live_named(name);
  if (!d || !(d->type & xplmType_Data)) return {};
  int n = raw_getb(*d, nullptr, 0, 0);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  out.resize(static_cast<size_t>(std::max(0, raw_getb(*d, out.data(), 0, n))));
  return out;
}

std::string get_text(const std::string& name) {
  std::string b = get_bytes(name);
  size_t z = b.find('\0');
  return z == std::string::npos ? b : b.substr(0, z);
}

int array_size(const std::string& name) {
  Dataref* d = live_named(name);
  if (!d) return 0;
  if (d->type & xplmType_FloatArray) return raw_getvf(*d, nullptr, 0, 0);
  if (d->type & xplmType_IntArray) return raw_getvi(*d, nullptr, 0, 0);
  if (d->type & xplmType_Data) return raw_getb(*d, nullptr, 0, 0);
  return 1;
}

bool set_int(const std::string& name, int value) {
  Dataref* d = live_named(name);
  if (!d) return false;
  if (d->type & xplmType_Int) {
    if (!(d = test_writable(name, xplmType_Int))) return false;
    raw_seti(*d, value);
    return true;
  }
  if (d->type & xplmType_Float) return set_float(name, static_cast<float>(value));
  if (d->type & xplmType_Double) return set_double(name, value);
  return false;
}

bool set_float(const std::string& name, float value) {
  Dataref* d = live_named(name);
  if (!d) return false;
  if (d->type & xplmType_Float) {
    if (!(d = test_writable(name, xplmType_Float))) return false;
    raw_setf(*d, value);
    return true;
  }
  if (d->type & xplmType_Double) return set_double(name, value);
  if (d->type & xplmType_Int) return set_int(name, static_cast<int>(value));
  return false;
}

bool set_double(const std::string& name, double value) {
  Dataref* d = live_named(name);
  if (!d) return false;
  if (d->type & xplmType_Double) {
    if (!(d = test_writable(name, xplmType_Double))) return false;
    raw_setd(*d, value);
    return true;
  }
  if (d->type & xplmType_Float) return set_float(name, static_cast<float>(value));
  if (d->type & xplmType_Int) return set_int(name, static_cast<int>(value));
  return false;
}

bool set_ints(const std::string& name, const std::vector<int>& values, int offset) {
  Dataref* d = test_writable(name, xplmType_IntArray);
  if (!d) {
    if (!test_writable(name, xplmType_FloatArray)) return false;
    return set_floats(name, std::vector<float>(values.begin(), values.end()), offset);
  }
  std::vector<int> copy = values;
  raw_setvi(*d, copy.data(), offset, static_cast<int>(copy.size()));
  return true;
}

bool set_floats(const std::string& name, const std::vector<float>& values, int offset) {
  Dataref* d = test_writable(name, xplmType_FloatArray);
  if (!d) {
    if (!test_writable(name, xplmType_IntArray)) return false;
    std::vector<int> ints;
    for (float f : values) ints.push_back(static_cast<int>(f));
    return set_ints(name, ints, offset);
  }
  std::vector<float> copy = values;
  raw_setvf(*d, copy.data(), offset, static_cast<int>(copy.size()));
  return true;
}

bool set_bytes(const std::string& name, const std::string& bytes, int offset) {
  Dataref* d = test_writable(name, xplmType_Data);
  if (!d) return false;
  std::string copy = bytes;
  raw_setb(*d, copy.data(), offset, static_cast<int>(copy.size()));
  return true;
}

bool set_from_text(const std::string& name, const std::string& text) {
  Dataref* d = live_named(name);
  if (!d) return false;
  if (d->type & xplmType_Data) {
    // Text, terminated when it is shorter than the dataref.
    std::string bytes = text;
    int n = array_size(name);
    if (static_cast<int>(bytes.size()) < n) bytes.push_back('\0');
    return set_bytes(name, bytes);
  }
  if (is_array(d->type)) {
    std::vector<float> values;
    for (const std::string& part : split(text, ',')) {
      double v = 0;
      if (!parse_double(part, &v)) return false;
      values.push_back(static_cast<float>(v));
    }
    if ((d->type & xplmType_IntArray) && !(d->type & xplmType_FloatArray)) {
      std::vector<int> ints;
      for (float f : values) ints.push_back(static_cast<int>(f));
      return set_ints(name, ints);
    }
    return set_floats(name, values);
  }
  double v = 0;
  if (!parse_double(text, &v)) return false;
  if (d->type & xplmType_Double) return set_double(name, v);
  if (d->type & xplmType_Float) return set_float(name, static_cast<float>(v));
  return set_int(name, static_cast<int>(v));
}

bool format_value(const std::string& name, std::string* out) {
  Dataref* d = live_named(name);
  if (!d) return false;
  std::string s;
  if (d->type & xplmType_Data) {
    s = get_text(name);
  } else if (d->type & xplmType_FloatArray) {
    std::vector<float> v = get_floats(name);
    for (size_t i = 0; i < v.size(); ++i) {
      if (i) s += ',';
      s += format_float(v[i], true);
    }
  } else if (d->type & xplmType_IntArray) {
    std::vector<int> v = get_ints(name);
    for (size_t i = 0; i < v.size(); ++i) {
      if (i) s += ',';
      s += std::to_string(v[i]);
    }
  } else if (d->type & xplmType_Double) {
    s = format_float(get_double(name), false);
  } else if (d->type & xplmType_Float) {
    s = format_float(get_float(name), true);
  } else {
    s = std::to_string(get_int(name));
  }
  *out = s;
  return true;
}

std::vector<DatarefInfo> plugin_datarefs() {
  Host& h = host();
  std::vector<const Dataref*> live;
  for (const Dataref& d : h.datarefs)
    if (d.owner == Owner::Plugin && d.live) live.push_back(&d);
  std::sort(live.begin(), live.end(),
            [](const Dataref* a, const Dataref* b) { return a->registration_order < b->registration_order; });
  std::vector<DatarefInfo> out;
  for (const Dataref* d : live) {
    DatarefInfo info;
    dataref_info(d->name, &info);
    out.push_back(info);
  }
  return out;
}

int dataref_slot(const std::string& name) {
  Host& h = host();
  auto it = h.dataref_index.find(name);
  return it == h.dataref_index.end() ? -1 : static_cast<int>(it->second);
}

int read_numbers(int slot, double* out, int count) {
  Host& h = host();
  if (slot < 0 || static_cast<size_t>(slot) >= h.datarefs.size() || count <= 0) return 0;
  Dataref& d = h.datarefs[static_cast<size_t>(slot)];
  if (!d.live) return 0;
  if (d.type & (xplmType_FloatArray | xplmType_IntArray)) {
    static std::vector<float> floats;
    static std::vector<int> ints;
    const bool f = (d.type & xplmType_FloatArray) != 0;
    int n = 0;
    if (f) {
      if (floats.size() < static_cast<size_t>(count)) floats.resize(static_cast<size_t>(count));
      n = raw_getvf(d, floats.data(), 0, count);
    } else {
      if (ints.size() < static_cast<size_t>(count)) ints.resize(static_cast<size_t>(count));
      n = raw_getvi(d, ints.data(), 0, count);
    }
    n = std::clamp(n, 0, count);
    for (int i = 0; i < n; ++i) out[i] = f ? floats[static_cast<size_t>(i)] : ints[static_cast<size_t>(i)];
    return n;
  }
  if (d.type & xplmType_Double) {
    out[0] = raw_getd(d);
  } else if (d.type & xplmType_Float) {
    out[0] = raw_getf(d);
  } else if (d.type & xplmType_Int) {
    out[0] = raw_geti(d);
  } else {
    return 0;
  }
  return 1;
}

bool dataref_info(const std::string& name, DatarefInfo* out) {
  Dataref* d = live_named(name);
  if (!d) return false;
  out->name = d->name;
  out->type = d->type;
  out->writable = d->writable;
  out->owner = d->owner;
  out->size = (is_array(d->type) || (d->type & xplmType_Data)) ? array_size(name) : 1;
  return true;
}

DatarefCounts counts(const std::string& name) {
  Host& h = host();
  DatarefCounts c;
  if (Dataref* d = find_dataref(name)) c = d->counts;
  auto it = h.missing_lookup_counts.find(name);
  if (it != h.missing_lookup_counts.end()) c.lookups += it->second;
  return c;
}

std::vector<std::string> missing_lookups() { return host().missing_lookups; }
const std::vector<LookupInfo>& lookups() { return host().lookup_order; }
int null_handle_reads() { return host().null_reads; }
int null_handle_writes() { return host().null_writes; }
int non_finite_write_count() { return host().non_finite_count; }
const std::vector<std::string>& non_finite_writes() { return host().non_finite; }
void clear_non_finite_writes() {
  host().non_finite_count = 0;
  host().non_finite.clear();
}
const std::vector<std::string>& array_overruns() { return host().overruns; }
std::vector<std::string> shadowed_catalog_names() { return host().shadowed; }

std::vector<DatarefInfo> looked_up_datarefs() {
  std::vector<DatarefInfo> out;
  for (const Dataref& d : host().datarefs) {
    if (d.owner == Owner::Plugin || !d.live || d.counts.lookups == 0) continue;
    DatarefInfo info;
    if (dataref_info(d.name, &info)) out.push_back(info);
  }
  return out;
}

}  // namespace simhost

using namespace simhost;

// ---- the host's data access calls -------------------------------------------------

XPLMDataRef XPLMFindDataRef(const char* name) {
  Host& h = host();
  if (!name) {
    problem("XPLMFindDataRef: null name");
    return nullptr;
  }
  auto it = h.dataref_index.find(name);
  const bool absent = it == h.dataref_index.end() || h.datarefs[it->second].orphan;
  if (h.looked_up_names[0].insert(name).second) h.lookup_order.push_back({false, name, !absent});
  if (absent) {
    if (h.missing_lookup_counts[name]++ == 0) h.missing_lookups.push_back(name);
    return nullptr;
  }
  Dataref& d = h.datarefs[it->second];
  ++d.counts.lookups;
  return make_handle(kDatarefBase, it->second);
}

int XPLMGetDatai(XPLMDataRef ref) {
  Dataref* d = reading(ref, xplmType_Int, "XPLMGetDatai");
  return d ? raw_geti(*d) : 0;
}
void XPLMSetDatai(XPLMDataRef ref, int value) {
  if (Dataref* d = writing(ref, xplmType_Int, "XPLMSetDatai")) raw_seti(*d, value);
}
float XPLMGetDataf(XPLMDataRef ref) {
  Dataref* d = reading(ref, xplmType_Float, "XPLMGetDataf");
  return d ? raw_getf(*d) : 0.0f;
}
void XPLMSetDataf(XPLMDataRef ref, float value) {
  if (Dataref* d = writing(ref, xplmType_Float, "XPLMSetDataf")) {
    watch_finite(*d, &value, 0, 1);
    raw_setf(*d, value);
  }
}
double XPLMGetDatad(XPLMDataRef ref) {
  Dataref* d = reading(ref, xplmType_Double, "XPLMGetDatad");
  return d ? raw_getd(*d) : 0.0;
}
void XPLMSetDatad(XPLMDataRef ref, double value) {
  if (Dataref* d = writing(ref, xplmType_Double, "XPLMSetDatad")) {
    watch_finite(*d, &value, 0, 1);
    raw_setd(*d, value);
  }
}

int XPLMGetDatavi(XPLMDataRef ref, int* values, int offset, int max) {
  Dataref* d = reading(ref, xplmType_IntArray, "XPLMGetDatavi");
  if (!d) return 0;
  watch_overrun(*d, values, offset, max, "XPLMGetDatavi");
  return raw_getvi(*d, values, offset, max);
}
void XPLMSetDatavi(XPLMDataRef ref, int* values, int offset, int count) {
  Dataref* d = writing(ref, xplmType_IntArray, "XPLMSetDatavi");
  if (!d) return;
  if (!values && count > 0) problem("XPLMSetDatavi: %s: null values, count %d", d->name.c_str(), count);
  watch_overrun(*d, values, offset, count, "XPLMSetDatavi");
  raw_setvi(*d, values, offset, count);
}
int XPLMGetDatavf(XPLMDataRef ref, float* values, int offset, int max) {
  Dataref* d = reading(ref, xplmType_FloatArray, "XPLMGetDatavf");
  if (!d) return 0;
  watch_overrun(*d, values, offset, max, "XPLMGetDatavf");
  return raw_getvf(*d, values, offset, max);
}
void XPLMSetDatavf(XPLMDataRef ref, float* values, int offset, int count) {
  Dataref* d = writing(ref, xplmType_FloatArray, "XPLMSetDatavf");
  if (!d) return;
  if (!values && count > 0) problem("XPLMSetDatavf: %s: null values, count %d", d->name.c_str(), count);
  watch_overrun(*d, values, offset, count, "XPLMSetDatavf");
  watch_finite(*d, values, offset, count);
  raw_setvf(*d, values, offset, count);
}
int XPLMGetDatab(XPLMDataRef ref, void* values, int offset, int max) {
  Dataref* d = reading(ref, xplmType_Data, "XPLMGetDatab");
  return d ? raw_getb(*d, values, offset, max) : 0;
}
void XPLMSetDatab(XPLMDataRef ref, void* values, int offset, int count) {
  Dataref* d = writing(ref, xplmType_Data, "XPLMSetDatab");
  if (!d) return;
  if (!values && count > 0) problem("XPLMSetDatab: %s: null values, count %d", d->name.c_str(), count);
  raw_setb(*d, values, offset, count);
}

XPLMDataRef XPLMRegisterDataAccessor(const char* name, XPLMDataTypeID type, int writable, XPLMGetDatai_f geti,
                                     XPLMSetDatai_f seti, XPLMGetDataf_f getf, XPLMSetDataf_f setf,
                                     XPLMGetDatad_f getd, XPLMSetDatad_f setd, XPLMGetDatavi_f getvi,
                                     XPLMSetDatavi_f setvi, XPLMGetDatavf_f getvf, XPLMSetDatavf_f setvf,
                                     XPLMGetDatab_f getb, XPLMSetDatab_f setb, void* read_refcon,
                                     void* write_refcon) {
  Host& h = host();
  if (!name || !*name) {
    problem("XPLMRegisterDataAccessor: empty name");
    return nullptr;
  }
  auto it = h.dataref_index.find(name);
  size_t index;
  if (it != h.dataref_index.end()) {
    Dataref& old = h.datarefs[it->second];
    if (old.owner == Owner::Plugin && old.live) {
      // The host keeps the first provider; a second registration gets nothing.
      problem("XPLMRegisterDataAccessor: %s registered twice", name);
      return nullptr;
    }
    if (old.owner != Owner::Plugin) h.shadowed.push_back(name);
    index = it->second;   // a withdrawn name, or a catalog one, takes the new accessor
  } else {
    h.datarefs.emplace_back();
    index = h.datarefs.size() - 1;
    h.dataref_index[name] = index;
  }
  ++h.dataref_generation;
  Dataref& d = h.datarefs[index];
  DatarefCounts kept = d.counts;
  d = Dataref{};
  d.counts = kept;
  d.name = name;
  d.type = type;
  d.writable = writable != 0;
  d.owner = Owner::Plugin;
  d.live = true;
  d.geti = geti;
  d.seti = seti;
  d.getf = getf;
  d.setf = setf;
  d.getd = getd;
  d.setd = setd;
  d.getvi = getvi;
  d.setvi = setvi;
  d.getvf = getvf;
  d.setvf = setvf;
  d.getb = getb;
  d.setb = setb;
  d.read_refcon = read_refcon;
  d.write_refcon = write_refcon;
  d.registration_order = ++h.registration_counter;
  if (type <= 0 || type > 63) problem("XPLMRegisterDataAccessor: %s: bad type %d", name, type);
  return make_handle(kDatarefBase, index);
}

void XPLMUnregisterDataAccessor(XPLMDataRef ref) {
  Host& h = host();
  long i = handle_index(ref, kDatarefBase, h.datarefs.size());
  if (i < 0) {
    problem("XPLMUnregisterDataAccessor: %p is not a dataref handle", ref);
    return;
  }
  Dataref& d = h.datarefs[static_cast<size_t>(i)];
  if (d.owner != Owner::Plugin) {
    problem("XPLMUnregisterDataAccessor: %s is not the plug-in's", d.name.c_str());
    return;
  }
  if (!d.live) {
    problem("XPLMUnregisterDataAccessor: %s unregistered twice", d.name.c_str());
    return;
  }
  d.live = false;
}
