// Aircraft variant and model detection. Reads the user's aircraft file name
// from the host (XPLMGetNthAircraftModel index 0); owns variant_index,
// model_family, acf_model, acf_is_4k and the ground-equipment offsets.
#include "core/variant.h"

#include <cstring>

#include "core/frame_values.h"
#include "platform/xplm.h"

int32_t variant_index = -1;
float model_family = -1.0f;
int32_t acf_model = 999;
int32_t acf_is_4k = 0;
GseOffsets gse_offsets;

const char* const variant_file_names[variant_count] = {
    "737_80NG.acf", "737_90NG.acf", "737_70NG.acf", "737_60NG.acf", "737_9ENG.acf",
    "737_70MX.acf", "737_2HMX.acf", "737_80MX.acf", "737_90MX.acf", "737_1KMX.acf",
};

namespace {

// Generic files by family; each also exists with "_4k" before the extension.
const char* const generic_names[3] = {"d738.acf", "b739.acf", "b737.acf"};
const char* const generic_4k_names[3] = {"d738_4k.acf", "b739_4k.acf", "b737_4k.acf"};

// Offsets per airframe: row 0 is the default (unknown file and variants 5 to
// 9), rows 1..5 are variants 0..4. Fields in GseOffsets order.
const GseOffsets gse_offset_rows[6] = {
    // gpu            asu             fuel truck      cones  de-ice        hdg  de-ice 2     hdg     fuel truck 2
    {{-17.65f, -3.6f}, {-20.5f, -6.0f}, {3.62f, -20.5f}, 0.0f, {-7.0f, -12.0f}, 0.0f, {12.0f, 8.0f}, 150.0f, {2.6f, -8.0f}},
    {{-17.85f, -3.6f}, {-20.65f, -5.9f}, {2.42f, -20.5f}, -1.2f, {-7.2f, -12.0f}, 0.0f, {11.8f, 8.0f}, 150.0f, {1.4f, -8.0f}},
    {{-19.5f, -3.6f}, {-20.7f, -5.9f}, {2.87f, -20.5f}, -0.75f, {-7.0f, -12.0f}, 0.0f, {12.0f, 8.0f}, 150.0f, {1.85f, -8.0f}},
    {{-14.72f, -3.6f}, {-20.4f, -5.9f}, {2.79f, -20.5f}, -0.83f, {-7.0f, -12.0f}, 0.0f, {12.0f, 8.0f}, 150.0f, {1.77f, -8.0f}},
    {{-13.13f, -3.6f}, {-20.3f, -5.9f}, {3.17f, -20.5f}, -0.45f, {-6.55f, -12.0f}, 0.0f, {12.45f, 8.0f}, 150.0f, {2.15f, -8.0f}},
    {{-19.5f, -3.6f}, {-20.65f, -5.9f}, {2.87f, -20.5f}, -0.75f, {-7.0f, -12.0f}, 0.0f, {12.0f, 8.0f}, 150.0f, {1.85f, -8.0f}},
};

// The host writes up to 256 bytes of file name and 512 of path; one byte more
// each so a name without terminator still ends inside the buffer.
constexpr int name_bytes = 513;

void read_user_aircraft(char (&file_name)[name_bytes], char (&path)[name_bytes]) {
  file_name[0] = '\0';
  path[0] = '\0';
  XPLMGetNthAircraftModel(0, file_name, path);
  file_name[name_bytes - 1] = '\0';
  path[name_bytes - 1] = '\0';
}

// Exact, case-sensitive match of the whole name.
bool same_name(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

}  // namespace

void detect_variant_from_name(const char* file_name) {
  model_family = -1.0f;
  variant_index = -1;
  for (int32_t i = 0; i < variant_count; ++i) {
    if (same_name(file_name, variant_file_names[i])) {
      variant_index = i;
      break;
    }
  }
  gse_offsets = gse_offset_rows[0];
  if (variant_index == -1) {
    for (int32_t j = 0; j < 3 && model_family == -1.0f; ++j) {
      if (same_name(file_name, generic_names[j])) model_family = static_cast<float>(j);
    }
    for (int32_t j = 0; j < 3 && model_family == -1.0f; ++j) {
      if (same_name(file_name, generic_4k_names[j])) model_family = static_cast<float>(j);
    }
    return;
  }
  if (variant_index <= 4) gse_offsets = gse_offset_rows[variant_index + 1];
  model_family = 0.0f;
}

bool has_mid_exits() {
  switch (variant_index) {
    case 4:  // 737_9ENG
    case 6:  // 737_2HMX
    case 8:  // 737_90MX
    case 9:  // 737_1KMX
      return true;
    default:
      return false;
  }
}

bool is_max_model() { return variant_index >= 5 && variant_index < variant_count; }

float egt_takeoff_limit_c() { return is_max_model() ? 1038.0f : 950.0f; }

float egt_indication_max_c() { return is_max_model() ? 1200.0f : 1000.0f; }

void detect_variant() {
  char file_name[name_bytes];
  char path[name_bytes];
  read_user_aircraft(file_name, path);
  detect_variant_from_name(file_name);
}

void detect_acf_model_from_name(const char* file_name) {
  draw_enabled = 0;
  acf_model = 999;
  acf_is_4k = 0;
  if (variant_index != -1) return;
  for (int32_t j = 0; j < 3; ++j) {
    if (same_name(file_name, generic_names[j])) {
      acf_model = j;
      return;
    }
    if (same_name(file_name, generic_4k_names[j])) {
      acf_model = j;
      acf_is_4k = 1;
      return;
    }
  }
}

void detect_acf_model() {
  char file_name[name_bytes];
  char path[name_bytes];
  read_user_aircraft(file_name, path);
  detect_acf_model_from_name(file_name);
}
