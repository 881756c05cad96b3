// Fuzz target of the panel-state string exchange in both directions. The
// first byte sets the guard option and the ground flag; the rest is what the
// scripts leave in "zuvadud/D738/state_cmd" (any bytes, NULs included, cut to
// the field). The string is applied, then the cockpit is saved through both
// appends and the saved string applied and saved again: the second save must
// equal the first, the field must stay terminated inside its 512 bytes, and
// a field with no room for a block is neither written nor answered.
#include <cstring>
#include <string>

#include "aircraft/panel_state.h"
#include "core/preprocess_values.h"
#include "fuzz_support.h"

namespace {

const char* const kField = "zuvadud/D738/state_cmd";
const char* const kMode = "zuvadud/D738/state_cmd2";

void set_field(const std::string& bytes) {
  std::string b = bytes;
  b.resize(static_cast<size_t>(panel_state_field_bytes), '\0');
  simhost::set_bytes(kField, b);
}

std::string field_text() {
  const std::string bytes = simhost::get_bytes(kField);
  fuzz::require(bytes.size() == static_cast<size_t>(panel_state_field_bytes), "field size changed");
  return simhost::get_text(kField);
}

// One append request; checks the answer and what the field holds after it.
void append(float mode, float answer, int32_t block) {
  const std::string before = field_text();
  simhost::set_float(kMode, mode);
  exchange_panel_state();
  const std::string after = field_text();
  const bool room = static_cast<int32_t>(before.size()) + block <= panel_state_field_bytes - 1;
  if (room) {
    fuzz::require(simhost::get_float(kMode) == answer, "append not answered");
    fuzz::require(after.size() == before.size() + static_cast<size_t>(block), "block not appended whole");
    fuzz::require(after.compare(0, before.size(), before) == 0, "append changed the string before it");
    for (size_t i = before.size(); i < after.size(); ++i)
      fuzz::require(after[i] >= '0' && after[i] <= '6', "saved character outside the codes");
  } else {
    // Ended as idle so the scripts stop waiting, never answered as saved.
    fuzz::require(simhost::get_float(kMode) == panel_state_idle_mode, "a block that did not fit was not ended as idle");
    fuzz::require(after == before, "a block that did not fit was written");
  }
}

// Apply what the field holds, then save the cockpit into an empty field with
// the scripts' own positions 73-91 in between.
std::string apply_and_save() {
  simhost::set_float(kMode, 0.0f);
  exchange_panel_state();
  set_field("");
  append(4.0f, 5.0f, panel_state_first_block_length);
  set_field(field_text() + std::string(static_cast<size_t>(panel_state_last_block_start -
                                                           panel_state_first_block_length), '0'));
  append(6.0f, 9.0f, panel_state_last_block_length);
  const std::string saved = field_text();
  fuzz::require(saved.size() == static_cast<size_t>(panel_state_positions), "saved string length");
  return saved;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::start_host();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  simhost::clear_problems();
  simhost::clear_non_finite_writes();
  simhost::clear_issued_commands();
  cockpit_options.guarded_covers = (data[0] & 1) ? 1.0f : 0.0f;
  on_ground = (data[0] & 2) ? 1 : 0;
  const std::string field(reinterpret_cast<const char*>(data + 1), size - 1);

  // The scripts' string, then an append onto whatever it holds.
  set_field(field);
  simhost::set_float(kMode, 0.0f);
  exchange_panel_state();
  set_field(field);
  append((data[0] & 4) ? 6.0f : 4.0f, (data[0] & 4) ? 9.0f : 5.0f,
         (data[0] & 4) ? panel_state_last_block_length : panel_state_first_block_length);
  fuzz::check_host();

  // The round trip: what was saved applies back to the same cockpit.
  set_field(field);
  const std::string first = apply_and_save();
  set_field(first);
  const std::string second = apply_and_save();
  if (!(first == second)) fuzz::fail("saved string changed over a round trip:\n" + first + "\n" + second);
  fuzz::check_host();
  return 0;
}
