// The binding tables against the host's own catalog of each host version:
// every per-frame read of a simulator dataref uses the getter of the type
// the host gives it and asks for no more elements than the host's array
// holds, and every call the binding list names for a simulator dataref has
// the host's type (writes only to writable ones). The host converts nothing,
// so a getter or setter of another type would read 0 or do nothing.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/bound_poll_types.h"

namespace {

#include "core/bound_polls.inc"

struct HostEntry {
  int type = 0;
  int size = 1;
  bool writable = false;
};
using Catalog = std::map<std::string, HostEntry>;

Catalog load_catalog(const char* file) {
  Catalog out;
  std::ifstream in(std::string(CORVANE_SOURCE_DIR) + "/simhost/catalog/" + file);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name, type, size, writable;
    std::getline(fields, name, '\t');
    std::getline(fields, type, '\t');
    std::getline(fields, size, '\t');
    std::getline(fields, writable, '\t');
    out[name] = {std::stoi(type), std::stoi(size), writable == "1"};
  }
  return out;
}

struct Version {
  const char* label;
  Catalog catalog;
};

const std::vector<Version>& versions() {
  static const std::vector<Version> v = {{"host 11", load_catalog("host_bound_11.tsv")},
                                         {"host 12", load_catalog("host_bound_12.tsv")}};
  return v;
}

bool simulator_name(const std::string& name) { return name.rfind("sim/", 0) == 0; }

constexpr int kInt = 1, kFloat = 2, kDouble = 4, kFloatArray = 8, kIntArray = 16, kBytes = 32;
constexpr bool kOlder[] = {true, false}, kNewer[] = {false, true}, kBoth[] = {true, true};

// One read: the getter's type and the elements or bytes asked for (1 for scalars).
void check_read(const char* table, const bool* on, bound::Id id, int type, int count, int* checked) {
  const std::string name = bound_name(id);
  if (!simulator_name(name)) return;
  for (size_t v = 0; v < versions().size(); ++v) {
    if (!on[v]) continue;
    const auto it = versions()[v].catalog.find(name);
    if (it == versions()[v].catalog.end()) continue;  // absent: the slot is null, reads 0
    ++*checked;
    EXPECT_EQ(it->second.type, type) << table << ": " << name << " on " << versions()[v].label;
    EXPECT_LE(count, it->second.size) << table << ": " << name << " on " << versions()[v].label;
  }
}

template <typename Table>
void check_table(const char* label, const Table& table, const bool* on, int type, int* checked) {
  for (const auto& e : table) {
    int count = 1;
    if constexpr (requires { e.count; }) count = e.count;
    check_read(label, on, e.id, type, count, checked);
  }
}

TEST(BindingTable, EveryPollReadsTheHostsOwnType) {
  int checked = 0;
  check_table("kHostF", kHostF, kBoth, kFloat, &checked);
  check_table("kHostI", kHostI, kBoth, kInt, &checked);
  check_table("kHostIntAsFloat", kHostIntAsFloat, kBoth, kInt, &checked);
  check_table("kHostFloatAsInt", kHostFloatAsInt, kBoth, kFloat, &checked);
  check_table("kHostD", kHostD, kBoth, kDouble, &checked);
  check_table("kHostVF", kHostVF, kBoth, kFloatArray, &checked);
  check_table("kHostVI", kHostVI, kBoth, kIntArray, &checked);
  check_table("kHostB", kHostB, kBoth, kBytes, &checked);
  check_table("kHost11F", kHost11F, kOlder, kFloat, &checked);
  check_table("kHost11I", kHost11I, kOlder, kInt, &checked);
  check_table("kHost12F", kHost12F, kNewer, kFloat, &checked);
  check_table("kHost12FirstOfF", kHost12FirstOfF, kNewer, kFloatArray, &checked);
  check_table("kHost12I", kHost12I, kNewer, kInt, &checked);
  // Read by the poll code under their own conditions.
  check_read("elevator trim", kBoth, bound::sim_cockpit2_controls_elevator_trim, kFloat, 1, &checked);
  for (bound::Id id : {bound::sim_cockpit2_tcas_targets_position_lat, bound::sim_cockpit2_tcas_targets_position_lon,
                       bound::sim_cockpit2_tcas_targets_position_ele, bound::sim_cockpit2_tcas_targets_position_vz})
    check_read("traffic targets", kBoth, id, kFloatArray, 64, &checked);
  EXPECT_GT(checked, 1000);  // both versions, nearly six hundred reads each
}

struct Row {
  const char* name;
  const char* access;
  int count;
};
const Row kRows[] = {
#define BOUND(ident, name, table, access, count, polled, conversion) {name, access, count},
#include "core/bound_names.inc"
#undef BOUND
};

int type_of_call(const std::string& call) {
  const std::string t = call.substr(3);
  if (t == "i") return kInt;
  if (t == "f") return kFloat;
  if (t == "d") return kDouble;
  if (t == "vf") return kFloatArray;
  if (t == "vi") return kIntArray;
  if (t == "b") return kBytes;
  return 0;
}

TEST(BindingTable, EveryNamedCallHasTheHostsTypeAndWritesAreAllowed) {
  int checked = 0;
  for (const Row& r : kRows) {
    if (!simulator_name(r.name)) continue;
    std::istringstream calls(r.access);
    std::string call;
    while (std::getline(calls, call, ',')) {
      ASSERT_GE(call.size(), 4u) << r.name << ": a call without a type: " << r.access;
      const int type = type_of_call(call);
      ASSERT_NE(type, 0) << r.name << ": " << call;
      for (const Version& v : versions()) {
        const auto it = v.catalog.find(r.name);
        if (it == v.catalog.end()) continue;
        ++checked;
        EXPECT_EQ(it->second.type, type) << r.name << " " << call << " on " << v.label;
        if (call.rfind("set", 0) == 0) {
          EXPECT_TRUE(it->second.writable) << r.name << " written on " << v.label;
        }
        if (call.rfind("get", 0) == 0 && (type & (kFloatArray | kIntArray | kBytes)) != 0) {
          EXPECT_LE(r.count, it->second.size) << r.name << " on " << v.label;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

}  // namespace
