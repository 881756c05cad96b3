// The "corvane/Debug" service channel: handling options, situation slots and
// the status the channel reads back.
#include "publication/debug_service.h"

#include <cstdio>
#include <cstring>

#include "core/frame_values.h"
#include "core/paths.h"
#include "core/variant.h"
#include "platform/xplm.h"

int32_t debug_status;

namespace {

// Service command values.
constexpr int32_t options_first = 2000;  // + bits 0..4: a set bit disables that option
constexpr int32_t options_last = 2256;
constexpr int32_t load_first = 801;
constexpr int32_t save_first = 901;
constexpr int32_t slot_count = 9;

// Slot file names by slot; the ninth is "00", not "09".
constexpr const char* slot_files[slot_count] = {"01.sit", "02.sit", "03.sit", "04.sit", "05.sit",
                                                "06.sit", "07.sit", "08.sit", "00.sit"};

// Prefixes of the product variants in variant_index order (the file name
// without its extension) and of the generic models 0..2 when no variant
// matched.
constexpr const char* variant_prefixes[variant_count] = {"737_80NG_", "737_90NG_", "737_70NG_", "737_60NG_",
                                                         "737_9ENG_", "737_70MX_", "737_2HMX_", "737_80MX_",
                                                         "737_90MX_", "737_1KMX_"};
// The MAX models saved under the bare slot name before they had prefixes of
// their own; a load still finds such a save when the prefixed file is missing.
constexpr int32_t first_bare_saving_variant = 5;
constexpr const char* model_prefixes[3] = {"Velar_", "Kesti_", "Kemra_"};

// Option log lines, enabled then disabled, in option order.
constexpr const char* option_lines[handling_option_count][2] = {
    {"CORVANE -> CG shift enabled\n", "CORVANE -> CG shift disabled\n"},
    {"CORVANE -> reduced ground effect enabled\n", "CORVANE -> reduced ground effect disabled\n"},
    {"CORVANE -> taxi thrust enabled\n", "CORVANE -> taxi thrust disabled\n"},
    {"CORVANE -> reduce reverse enabled\n", "CORVANE -> reduce reverse disabled\n"},
    {"CORVANE -> reduce thrust after lift enabled\n", "CORVANE -> reduce thrust after lift disabled\n"},
};

// Slot index 0..8 of a load or save command, else -1.
int32_t slot_of(int32_t command) {
  if (command >= load_first && command < load_first + slot_count) return command - load_first;
  if (command >= save_first && command < save_first + slot_count) return command - save_first;
  return -1;
}

// Appends text at *len; false (nothing appended) when it and the terminator
// would not fit.
bool append(char* out, int32_t out_size, int32_t* len, const char* text) {
  const size_t n = std::strlen(text);
  if (static_cast<size_t>(out_size - *len) <= n) return false;
  std::memcpy(out + *len, text, n);
  *len += static_cast<int32_t>(n);
  out[*len] = '\0';
  return true;
}

void log_situation_failed(const char* verb, const char* path) {
  char line[path_capacity + 96];
  std::snprintf(line, sizeof line, "Corvane plugin: WARNING - could not %s situation file >%s< !!!\n", verb, path);
  XPLMDebugString(line);
}

// The full path of a file relative to the host's root, with a suffix; false
// when it does not fit (a cut path could name another file).
bool full_path(const char* relative, const char* suffix, char* out, size_t out_size) {
  const int n = std::snprintf(out, out_size, "%s%s%s", system_root, relative, suffix);
  return n >= 0 && static_cast<size_t>(n) < out_size;
}

// Whether the situation file (relative to the host's root) can be read.
bool situation_file_exists(const char* relative, const char* suffix = "") {
  char full[2 * path_capacity];
  if (!full_path(relative, suffix, full, sizeof full)) return false;
  std::FILE* f = std::fopen(full, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

// A save under the bare slot name leaves this mark beside it: the aircraft
// that wrote it is none of the MAX models, which saved there only before
// they had their own names. A save a MAX finds unmarked is one of those.
constexpr char other_aircraft_mark[] = ".other";

void mark_bare_save(const char* relative) {
  char full[2 * path_capacity];
  if (!full_path(relative, other_aircraft_mark, full, sizeof full)) return;
  std::FILE* f = std::fopen(full, "wb");
  if (f == nullptr) return;
  std::fputs("saved by an aircraft that is not a 737 MAX\n", f);
  std::fclose(f);
}

// The slot's file under a prefix; false, with an empty text, for a command
// that names no slot or a path that does not fit.
bool slot_path(int32_t command, const char* prefix, char* out, int32_t out_size) {
  if (out == nullptr || out_size < 1) return false;
  out[0] = '\0';
  const int32_t slot = slot_of(command);
  if (slot < 0) return false;
  int32_t len = 0;
  const bool fits = append(out, out_size, &len, "Output/situations/") && append(out, out_size, &len, prefix) &&
                    append(out, out_size, &len, slot_files[slot]);
  if (!fits) out[0] = '\0';
  return fits;
}

// The slot's file under the bare name, for a variant that saved there
// before; false for every other aircraft.
bool bare_situation_path(int32_t command, char* out, int32_t out_size) {
  out[0] = '\0';
  if (variant_index < first_bare_saving_variant || variant_index >= variant_count) return false;
  return slot_path(command, "", out, out_size);
}

void set_options(int32_t bits) {
  for (int32_t i = 0; i < handling_option_count; ++i) {
    const bool disable = (bits >> i) & 1;
    handling_options[i] = disable ? 0 : 1;
    XPLMDebugString(option_lines[i][disable ? 1 : 0]);
  }
}

}  // namespace

const char* situation_prefix() {
  if (variant_index >= 0) return variant_index < variant_count ? variant_prefixes[variant_index] : "";
  if (acf_model >= 0 && acf_model < 3) return model_prefixes[acf_model];
  return "";
}

bool situation_path(int32_t command, char* out, int32_t out_size) {
  return slot_path(command, situation_prefix(), out, out_size);
}

void debug_command_write(void*, int value) {
  if (value == 0) {
    debug_status = 0;
    return;
  }
  if (value >= options_first && value <= options_last) {
    set_options(value - options_first);
    debug_status = 0;
    return;
  }
  char path[path_capacity];
  if (!situation_path(value, path, path_capacity)) {
    debug_status = 1;
    return;
  }
  if (value >= save_first) {
    // A save the host could not write (folder missing or read-only, path
    // too long for the file system) is not reported done to the scripts.
    if (XPLMSaveDataFile(xplm_DataFile_Situation, path) != 0) {
      if (situation_prefix()[0] == '\0') mark_bare_save(path);
      debug_status = 2;
    } else {
      debug_status = 1;
      log_situation_failed("save", path);
    }
    return;
  }
  // A slot never saved leaves the flight as it is: the per-load reset would
  // otherwise put the cockpit back to its just-loaded state with nothing
  // loaded to replace it.
  if (!situation_file_exists(path)) {
    char bare[path_capacity];
    if (!bare_situation_path(value, bare, path_capacity) || !situation_file_exists(bare) ||
        situation_file_exists(bare, other_aircraft_mark)) {
      debug_status = 1;
      log_situation_failed("load", path);
      return;
    }
    std::memcpy(path, bare, sizeof path);
  }
  // A load the host could not carry out (a folder where the file should be, a
  // file it cannot read) is answered and logged as a missing file, and the
  // cockpit is left as it was. Only a load that happened resets the
  // sequencer, which then treats the next frames as the first after a load.
  if (XPLMLoadDataFile(xplm_DataFile_Situation, path) == 0) {
    debug_status = 1;
    log_situation_failed("load", path);
    return;
  }
  if (situation_load_reset != nullptr) situation_load_reset();
  debug_status = 2;
}
