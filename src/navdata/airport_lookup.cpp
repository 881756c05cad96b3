// Airport look-ups by ICAO code.
#include "navdata/airport_lookup.h"

#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "platform/xplm.h"

float find_icao_state;
NavRunway runway_list_buffer[kRunwayListSize];
NavGate gate_list_buffer[kGateListSize];

namespace {

void write_position(float lat, float lon, float height) {
  script_set_f(bound::zuvadud_D738_find_icao_lat, lat);
  script_set_f(bound::zuvadud_D738_find_icao_lon, lon);
  script_set_f(bound::zuvadud_D738_find_icao_height, height);
}

// Length of a code text, looking no further than `limit` characters.
size_t code_length(const char* code, size_t limit) {
  size_t n = 0;
  while (n < limit && code[n] != '\0') ++n;
  return n;
}

template <typename Record, int32_t Capacity, int32_t Slots>
int32_t copy_matches(const NavIndex<Capacity>& index, const Record (&table)[Slots], int32_t count,
                     const char* code, Record* out, int32_t out_size) {
  if (count <= 0) return 0;
  const int32_t* records = nullptr;
  const int32_t n = nav_bucket(index, code[0], &records);
  int32_t copied = 0;
  for (int32_t i = 0; i < n && copied < out_size; ++i) {
    const int32_t r = records[i];
    if (r < 0 || r >= Slots) continue;
    if (std::strncmp(table[r].icao, code, 4) == 0) out[copied++] = table[r];
  }
  return copied;
}

}  // namespace

void find_icao_write(void*, double value) {
  if (value == 1.0) {
    float lat = 0.0f, lon = 0.0f, height = 0.0f;
    // The dataref holds 6 bytes that need not end in a NUL.
    char code[7] = {};
    const int n = read_now_text(bound::zuvadud_D738_find_icao, code, sizeof code);
    find_icao_state = 3.0f;
    // An empty code would let the host match any airport: not found.
    if (n >= 1 && code[0] != '\0') {
      XPLMNavRef ref = XPLMFindNavAid(nullptr, code, nullptr, nullptr, nullptr, xplm_Nav_Airport);
      if (ref != XPLM_NAV_NOT_FOUND) {
        XPLMNavType type = 0;
        int frequency = 0;
        float heading = 0.0f;
        XPLMGetNavAidInfo(ref, &type, &lat, &lon, &height, &frequency, &heading, nullptr, nullptr, nullptr);
        find_icao_state = 2.0f;
      }
    }
    write_position(lat, lon, height);
  } else if (value > 3.0) {
    find_icao_state = 0.0f;
  }
}

int32_t runways_of_airport(const char* code) {
  if (!code || code_length(code, 4) < 4) return 0;
  return copy_matches(nav_db.runway_index, nav_db.runways, nav_db.runway_count, code, runway_list_buffer,
                      kRunwayListSize);
}

int32_t gates_of_airport(const char* code) {
  if (!code || code_length(code, 5) != 4) return 0;
  return copy_matches(nav_db.gate_index, nav_db.gates, nav_db.gate_count, code, gate_list_buffer, kGateListSize);
}
