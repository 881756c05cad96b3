// Fuzz target of the files read from the aircraft folder at start-up: the
// airport, runway and gate lists ("Velar_apt.dat", "Velar_rnw.dat",
// "Velar_gate.dat"), given as one input cut at lines "%%". They are loaded
// as start-up loads them, then searched as the flight uses them: the
// nearest-airport scan around the first airport and the runway and gate
// look-ups of its code. Checks counts and index entries inside their tables,
// every code and name terminated, the look-ups inside their buffers, and no
// NaN or infinity written to the scripts.
#include <cstdio>
#include <string>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "fuzz_support.h"
#include "navdata/airport_lookup.h"
#include "navdata/navdb.h"

namespace {

std::string folder;

template <int32_t Capacity>
void check_index(const NavIndex<Capacity>& index, int32_t count, const char* what) {
  for (const auto& bucket : index.buckets) {
    if (!(bucket[0] >= 0 && bucket[0] <= Capacity - 2)) fuzz::fail(std::string(what) + " bucket count");
    for (int32_t i = 1; i <= bucket[0]; ++i)
      if (!(bucket[i] >= 0 && bucket[i] < count)) fuzz::fail(std::string(what) + " index entry outside the table");
  }
}

void check_tables() {
  const NavDatabase& db = nav_db;
  fuzz::require(db.airport_count >= 0 && db.airport_count <= kAirportSlots - 1, "airport count");
  fuzz::require(db.runway_count >= 0 && db.runway_count <= kRunwaySlots - 1, "runway count");
  fuzz::require(db.gate_count >= 0 && db.gate_count <= kGateSlots - 1, "gate count");
  check_index(db.airport_index, db.airport_count, "airport");
  check_index(db.runway_index, db.runway_count, "runway");
  check_index(db.gate_index, db.gate_count, "gate");
  for (int32_t i = 0; i < db.airport_count; ++i) fuzz::check_terminated(db.airports[i].icao, 5, "airport code");
  for (int32_t i = 0; i < db.runway_count; ++i) {
    fuzz::check_terminated(db.runways[i].icao, 5, "runway airport");
    fuzz::check_terminated(db.runways[i].runway, 4, "runway designator");
  }
  for (int32_t i = 0; i < db.gate_count; ++i) {
    fuzz::check_terminated(db.gates[i].icao, 5, "gate airport");
    fuzz::check_terminated(db.gates[i].name, 30, "gate name");
  }
}

void write_file(const std::string& name, const std::string& content) {
  std::FILE* f = std::fopen((folder + name).c_str(), "wb");
  if (!f) fuzz::fail("scratch file " + name);
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::start_host();
  folder = simhost::root();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string parts[3];
  size_t pos = 0;
  for (int k = 0; k < 3 && pos <= input.size(); ++k) {
    const size_t cut = k < 2 ? input.find("\n%%\n", pos) : std::string::npos;
    parts[k] = input.substr(pos, cut == std::string::npos ? std::string::npos : cut - pos);
    if (cut == std::string::npos) break;
    pos = cut + 4;
  }
  write_file("Velar_apt.dat", parts[0]);
  write_file("Velar_rnw.dat", parts[1]);
  write_file("Velar_gate.dat", parts[2]);
  simhost::clear_problems();
  simhost::clear_non_finite_writes();
  simhost::clear_log();

  load_apt_list((folder + "Velar_apt.dat").c_str());
  load_rnw_list((folder + "Velar_rnw.dat").c_str());
  load_gate_list((folder + "Velar_gate.dat").c_str());
  check_tables();

  // The aircraft at the first airport (or at the origin), then whole scans.
  const NavAirport* first = nav_db.airport_count > 0 ? &nav_db.airports[0] : nullptr;
  simhost::set_double("sim/flightmodel/position/latitude", first ? first->lat : 0.0);
  simhost::set_double("sim/flightmodel/position/longitude", first ? first->lon : 0.0);
  poll_host_datarefs();
  nd_runway_length = 0.0f;
  reset_nav_search_state();
  for (int k = 0; k < 8; ++k) update_nearest_airport();
  for (const NearestAirportSet& s : nav_search.nearest) {
    fuzz::check_terminated(s.nearest_code, sizeof s.nearest_code, "nearest code");
    for (const NearestAirportEntry& e : s.list) fuzz::check_terminated(e.icao, sizeof e.icao, "nearest list code");
  }
  fuzz::check_terminated(nearest_airport_code, sizeof nearest_airport_code, "nearest airport code");

  if (first) {
    const int32_t runways = runways_of_airport(first->icao);
    fuzz::require(runways >= 0 && runways <= kRunwayListSize, "runway look-up count");
    for (int32_t i = 0; i < runways; ++i) fuzz::check_terminated(runway_list_buffer[i].runway, 4, "runway looked up");
    const int32_t gates = gates_of_airport(first->icao);
    fuzz::require(gates >= 0 && gates <= kGateListSize, "gate look-up count");
    for (int32_t i = 0; i < gates; ++i) fuzz::check_terminated(gate_list_buffer[i].name, 30, "gate looked up");
  }
  fuzz::check_host();
  return 0;
}
