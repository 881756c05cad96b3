// Writes what each command moves, for the command reference
// (tools/command_moves.tsv, read by tools/gen_reference.py):
//   command-moves > tools/command_moves.tsv
//
// Every command the plug-in handles (its own, then the host commands it takes
// over) is pressed in a powered cockpit at the gate, as corvane-sim
// --command-positions presses them: each until it changes nothing more, comes
// round to a state seen before, or 400 presses; three times through the list,
// the second reaching what the first left open (guards, covers), the third
// flown at 10,000 ft for what the ground locks out. A dataref is moved by a
// command when its value changes in the command's begin or end phase, before
// any frame runs: the plug-in's published datarefs and the host's and the
// scripts' datarefs it looks up, element by element. A selector stepped by a
// pair of commands is then stepped through its whole range both ways, and
// the values it settles at replace those of the phases; the radio tuning
// panels' knobs and transfer keys are pressed once per selected radio. Last,
// flown, each host command taken over is pressed again from each position
// the other commands give what it moves. Each
// row gives one dataref (an element as NAME[I]) with the values the command
// left it at, or "none" when the command moved nothing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host.h"
#include "tables.h"

namespace {

constexpr float kDt = 1.0f / 30.0f;
constexpr int kMostPresses = 400;
// More distinct values than this are written as a range.
constexpr size_t kMostValues = 8;

// Every number of the watched datarefs, element by element.
struct Numbers {
  std::vector<std::string> label;
  struct Ref {
    int slot, first, size;
  };
  std::vector<Ref> refs;
  std::vector<size_t> ref_of;

  void add(const std::string& name, bool array, int size) {
    const int slot = simhost::dataref_slot(name);
    if (slot < 0 || size <= 0) return;
    refs.push_back({slot, static_cast<int>(label.size()), size});
    for (int i = 0; i < size; ++i) {
      label.push_back(array ? name + "[" + std::to_string(i) + "]" : name);
      ref_of.push_back(refs.size() - 1);
    }
  }
  // Several numbers, each array read once for a run of its elements (reading
  // a whole array per element made the long route arrays cost most of the
  // run).
  void some(const std::vector<size_t>& ks, std::vector<double>* out) const {
    out->clear();
    size_t last = refs.size();
    std::vector<double> all;
    for (size_t k : ks) {
      const size_t ri = ref_of[k];
      const Ref& r = refs[ri];
      if (ri != last) {
        all.assign(static_cast<size_t>(r.size), 0.0);
        simhost::read_numbers(r.slot, all.data(), r.size);
        last = ri;
      }
      out->push_back(all[k - static_cast<size_t>(r.first)]);
    }
  }
  void read(std::vector<double>* out) const {
    out->assign(label.size(), 0.0);
    for (const Ref& r : refs) simhost::read_numbers(r.slot, out->data() + r.first, r.size);
  }
};

bool is_number(int type) { return (type & (1 | 2 | 4 | 8 | 16)) != 0; }
bool is_array(int type) { return (type & (8 | 16)) != 0; }

std::string format(double v) {
  // A value lagging toward 0 ends a hair away from it.
  if (std::fabs(v) < 1e-6) v = 0.0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

std::vector<std::string> catalog_names(const std::string& path) {
  std::vector<std::pair<int, std::string>> lines;
  std::string error;
  std::vector<std::string> out;
  if (!runner::table_lines(path, &lines, &error)) {
    std::fprintf(stderr, "command-moves: %s\n", error.c_str());
    return out;
  }
  for (const auto& line : lines) out.push_back(runner::fields(line.second).at(0));
  return out;
}

}  // namespace

int main() {
  simhost::reset();
  std::string error;
  if (!simhost::load_and_start(CORVANE_MODULE_PATH, &error)) {
    std::fprintf(stderr, "command-moves: cannot load %s: %s\n", CORVANE_MODULE_PATH, error.c_str());
    return 1;
  }
  // A powered cockpit at the gate, as corvane-sim --command-positions has it.
  // The drawing captured, not rasterised: nothing here reads the picture,
  // and capturing costs less than even one pixel's rasterising.
  simhost::set_draw_capture(true);
  simhost::frames(30, kDt);
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f}, 0);
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f});
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  // Panel lights dimmed out: a light follows its system, not the command, and
  // listing every caution a press sets off would bury what the press moves.
  simhost::set_floats("sim/flightmodel2/lights/generic_lights_brightness_ratio", {0.0f, 0.0f}, 13);
  simhost::frames(30, kDt);

  std::vector<std::string> commands;
  for (const simhost::CommandInfo& c : simhost::plugin_commands()) commands.push_back(c.name);
  for (const char* table : {"host_commands_base.tsv", "host_commands.tsv"})
    for (const std::string& name : catalog_names(std::string(CORVANE_CATALOG_DIR) + table))
      if (simhost::handler_count(name) > 0 && std::find(commands.begin(), commands.end(), name) == commands.end())
        commands.push_back(name);

  Numbers numbers;
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs())
    if (is_number(d.type)) numbers.add(d.name, is_array(d.type), is_array(d.type) ? d.size : 1);
  const size_t published = numbers.label.size();
  std::set<std::string> watched_names;
  for (const simhost::DatarefInfo& d : simhost::looked_up_datarefs()) {
    if (is_number(d.type)) numbers.add(d.name, is_array(d.type), is_array(d.type) ? d.size : 1);
    watched_names.insert(d.name);
  }
  // The host's own state that the host commands the plug-in issues move (a
  // radio's standby frequency), which the plug-in itself never looks up:
  // watched only where a panel's selection decides which radio a knob
  // tunes (below).
  std::set<size_t> host_state;
  for (const std::string& name : catalog_names(std::string(CORVANE_CATALOG_DIR) + "host_command_state.tsv")) {
    simhost::DatarefInfo d;
    if (watched_names.count(name) || !simhost::dataref_info(name, &d) || !is_number(d.type)) continue;
    const size_t first = numbers.label.size();
    numbers.add(d.name, is_array(d.type), is_array(d.type) ? d.size : 1);
    for (size_t k = first; k < numbers.label.size(); ++k) host_state.insert(k);
  }

  // Per command: per number, the values it set; the numbers it kept changing
  // for kMostPresses presses (a counter); and those it moved only through
  // the systems, in the frames after its phases.
  std::map<std::string, std::map<size_t, std::set<double>>> moves;
  std::map<std::string, std::set<size_t>> counters, later;
  std::vector<double> before, after;
  // Presses `name` until what it moves comes round, collecting into `set`
  // the values it set and into `counter` what it kept changing for
  // kMostPresses presses; numbers in `ignored` (counters found before) are
  // neither collected nor compared.
  auto press_until_round_into = [&](const std::string& name, std::map<size_t, std::set<double>>& set,
                                    std::set<size_t>& counter, const std::set<size_t>& ignored) {
    std::map<size_t, std::set<double>> set_now;  // this time round
    std::set<size_t> came_back;                  // set to a value a second time
    std::set<std::vector<double>> states;
    std::set<size_t> moved_last;
    bool read_before = false;  // `before` holds the numbers as the press finds them
    int press = 0;
    for (; press < kMostPresses; ++press) {
      std::set<size_t> moved_now;
      for (const bool begin : {true, false}) {
        if (!(begin && read_before)) numbers.read(&before);
        if (begin) {
          simhost::command_begin(name);
        } else {
          simhost::command_end(name);
        }
        numbers.read(&after);
        for (size_t k = 0; k < after.size(); ++k) {
          if (after[k] == before[k] || !std::isfinite(after[k]) || ignored.count(k)) continue;
          set[k].insert(after[k]);
          if (!set_now[k].insert(after[k]).second) came_back.insert(k);
          moved_now.insert(k);
        }
        if (begin) simhost::frame(kDt);
      }
      simhost::frames(2, kDt);
      if (moved_now.empty()) break;
      moved_last = moved_now;
      // Stop when what it moves comes round to a state seen before.
      std::vector<double> state;
      numbers.read(&after);
      for (const auto& [k, values] : set) state.push_back(after[k]);
      if (!states.insert(state).second) break;
      // Nothing runs before the next press: what was read is its `before`.
      before.swap(after);
      read_before = true;
    }
    if (press == kMostPresses)
      for (size_t k : moved_last)
        if (!came_back.count(k)) counter.insert(k);
  };
  auto press_until_round = [&](const std::string& name) {
    // A counter, found once, is not pressed 400 times again.
    if (counters.count(name)) return;
    std::set<size_t> found;
    press_until_round_into(name, moves[name], found, host_state);
    if (!found.empty()) counters[name] = found;
  };
  // A guarded switch's commands reach it only with its guard lifted: the
  // guard is opened for them, as a pilot would, and closed again after.
  struct Guard {
    const char* command;
    const char* position;
    int element;  // -1: a scalar
  };
  const Guard numbered[] = {{"zuvadud/D738/button_switch_cover02", "zuvadud/D738/button_switch/cover_position", 2},
                            {"zuvadud/D738/button_switch_cover03", "zuvadud/D738/button_switch/cover_position", 3},
                            {"zuvadud/D738/button_switch_cover07", "zuvadud/D738/button_switch/cover_position", 7},
                            {"zuvadud/D738/button_switch_cover08", "zuvadud/D738/button_switch/cover_position", 8},
                            {"zuvadud/D738/button_switch_cover09", "zuvadud/D738/button_switch/cover_position", 9},
                            {"zuvadud/D738/button_switch_cover10", "zuvadud/D738/button_switch/cover_position", 10}};
  auto named = [](const char* command, const char* position) { return Guard{command, position, -1}; };
  const std::map<std::string, Guard> guarded = {
      {"zuvadud/D738/switch/battery_up", numbered[0]},
      {"zuvadud/D738/switch/standby_bat_off", numbered[1]},
      {"zuvadud/D738/switch/standby_bat_left", numbered[1]},
      {"zuvadud/D738/switch/standby_bat_right", numbered[1]},
      {"zuvadud/D738/one_way_switch/pax_oxy_on", numbered[2]},
      {"zuvadud/D738/toggle_switch/elt_on", numbered[3]},
      {"zuvadud/D738/toggle_switch/emer_exit_lights_dn", numbered[4]},
      {"zuvadud/D738/toggle_switch/emer_exit_lights_up", numbered[4]},
      {"zuvadud/D738/switch/nose_steer_alt", numbered[5]},
      {"zuvadud/D738/toggle_switch/flt_ctr_A_up",
       named("zuvadud/D738/toggle_switch/flt_ctr_A_cover", "zuvadud/D738/switches/flt_ctr_A_cover_pos")},
      {"zuvadud/D738/toggle_switch/flt_ctr_A_dn",
       named("zuvadud/D738/toggle_switch/flt_ctr_A_cover", "zuvadud/D738/switches/flt_ctr_A_cover_pos")},
      {"zuvadud/D738/toggle_switch/flt_ctr_B_up",
       named("zuvadud/D738/toggle_switch/flt_ctr_B_cover", "zuvadud/D738/switches/flt_ctr_B_cover_pos")},
      {"zuvadud/D738/toggle_switch/flt_ctr_B_dn",
       named("zuvadud/D738/toggle_switch/flt_ctr_B_cover", "zuvadud/D738/switches/flt_ctr_B_cover_pos")},
      {"zuvadud/D738/toggle_switch/spoiler_A",
       named("zuvadud/D738/toggle_switch/spoiler_A_cover", "zuvadud/D738/switches/spoiler_A_cover_pos")},
      {"zuvadud/D738/toggle_switch/spoiler_B",
       named("zuvadud/D738/toggle_switch/spoiler_B_cover", "zuvadud/D738/switches/spoiler_B_cover_pos")},
      {"zuvadud/D738/toggle_switch/alt_flaps",
       named("zuvadud/D738/toggle_switch/alt_flaps_cover", "zuvadud/D738/switches/alt_flaps_cover_pos")},
      {"zuvadud/D738/toggle_switch/gpws_flap",
       named("zuvadud/D738/toggle_switch/gpws_flap_cover", "zuvadud/D738/toggle_switch/gpws_flap_cover_pos")},
      {"zuvadud/D738/toggle_switch/gpws_gear",
       named("zuvadud/D738/toggle_switch/gpws_gear_cover", "zuvadud/D738/toggle_switch/gpws_gear_cover_pos")},
      {"zuvadud/D738/toggle_switch/gpws_terr",
       named("zuvadud/D738/toggle_switch/gpws_terr_cover", "zuvadud/D738/toggle_switch/gpws_terr_cover_pos")},
      {"zuvadud/D738/toggle_switch/gpws_xraas",
       named("zuvadud/D738/toggle_switch/gpws_xraas_cover", "zuvadud/D738/toggle_switch/gpws_xraas_cover_pos")},
      {"zuvadud/D738/toggle_switch/stab_trim_overide",
       named("zuvadud/D738/toggle_switch/stab_trim_overide_cover", "zuvadud/D738/toggle_switch/stab_trim_overide_cover_pos")},
  };
  // Opens the guard of `name`'s switch when it is closed; the guard's
  // command to close it again, or null.
  auto lift_guard = [&](const std::string& name) -> const char* {
    const auto g = guarded.find(name);
    if (g == guarded.end()) return nullptr;
    const Guard& guard = g->second;
    const float position = guard.element < 0
                               ? simhost::get_float(guard.position)
                               : simhost::get_floats(guard.position).at(static_cast<size_t>(guard.element));
    if (!(position < 0.3f)) return nullptr;
    simhost::command_once(guard.command);
    simhost::frames(15, kDt);
    return guard.command;
  };
  auto close_guard = [&](const char* command) {
    if (command == nullptr) return;
    simhost::command_once(command);
    simhost::frames(15, kDt);
  };
  auto press_with_guard_lifted = [&](const std::string& name) {
    const char* lifted = lift_guard(name);
    press_until_round(name);
    close_guard(lifted);
  };
  // Four times round, forward and backward through the list, so that a
  // command setting one position finds it left elsewhere by another; the
  // last two flown.
  for (int round = 0; round < 4; ++round) {
    if (round == 2) {
      simhost::set_double("sim/flightmodel/position/elevation", 3048.0);
      simhost::frames(30, kDt);
    }
    if (round % 2 == 0) {
      for (auto it = commands.begin(); it != commands.end(); ++it) press_with_guard_lifted(*it);
    } else {
      for (auto it = commands.rbegin(); it != commands.rend(); ++it) press_with_guard_lifted(*it);
    }
  }
  // A command that moved nothing in its phases may still move something
  // through the systems: a cover or a handle swinging to where it sent it, a
  // value that follows while it is held. A press is held for a second and
  // released; what changes then, and did not change in as long a time
  // without it, is its: the value while held (when it stood still by the
  // release) and where it settles. Tried on the ground and then flown; a
  // command that acts only once others have set the cockpit up is pressed
  // again after those.
  constexpr int kIdleFrames = 300, kHeldFrames = 90, kAfterFrames = 60, kSettledFrames = 15, kMostSettleFrames = 600;
  auto changed_over = [&](int frames, std::set<size_t>* changed, std::vector<double>* last,
                          std::set<size_t>* moving_late) {
    std::vector<double> prev, now;
    numbers.read(&prev);
    for (int f = 0; f < frames; ++f) {
      simhost::frame(kDt);
      // Every fifth frame is enough to see a value move; each of the last
      // five, to see one still moving.
      const bool late = f >= frames - 5;
      if (f % 5 != 4 && !late) continue;
      numbers.read(&now);
      for (size_t k = 0; k < now.size(); ++k) {
        if (now[k] == prev[k]) continue;
        changed->insert(k);
        if (moving_late && late) moving_late->insert(k);
      }
      prev.swap(now);
    }
    if (last) *last = prev;
  };
  // Values that move by themselves in a still cockpit (a clock's minutes, a
  // cabin rate settling after the climb) are nobody's.
  std::set<size_t> restless, restless_later;
  auto press_and_watch = [&](const std::string& name) {
    std::map<size_t, std::set<double>>& set = moves[name];
    simhost::frames(60, kDt);
    std::set<size_t> idle, pressed, moving_at_release;
    changed_over(kIdleFrames, &idle, nullptr, nullptr);
    restless_later.insert(idle.begin(), idle.end());
    std::vector<double> held, now;
    // What each phase itself changes counts as well.
    auto phase = [&](bool begin) {
      numbers.read(&before);
      if (begin) {
        simhost::command_begin(name);
      } else {
        simhost::command_end(name);
      }
      numbers.read(&now);
      for (size_t k = 0; k < now.size(); ++k)
        if (now[k] != before[k]) pressed.insert(k);
    };
    phase(true);
    changed_over(kHeldFrames, &pressed, &held, &moving_at_release);
    phase(false);
    changed_over(kAfterFrames, &pressed, nullptr, nullptr);
    std::vector<size_t> mine;
    for (size_t k : pressed)
      if (!idle.count(k) && !restless.count(k) && !host_state.count(k)) mine.push_back(k);
    if (mine.empty()) return false;
    // Until what it moved has stood still for a while.
    auto read_mine = [&](std::vector<double>* out) { numbers.some(mine, out); };
    std::vector<double> prev;
    read_mine(&prev);
    for (int f = 0, still = 0; f < kMostSettleFrames && still < kSettledFrames; ++f) {
      simhost::frame(kDt);
      read_mine(&now);
      still = now != prev ? 0 : still + 1;
      prev.swap(now);
    }
    for (size_t i = 0; i < mine.size(); ++i) {
      const size_t k = mine[i];
      if (!moving_at_release.count(k) && std::isfinite(held[k])) set[k].insert(held[k]);
      if (std::isfinite(prev[i])) set[k].insert(prev[i]);
      later[name].insert(k);
    }
    return true;
  };
  auto press_until_round_later = [&](const std::string& name) {
    std::set<std::vector<double>> states;
    for (int press = 0; press < 4 && press_and_watch(name); ++press) {
      std::vector<double> state;
      numbers.read(&after);
      for (size_t k : later[name]) state.push_back(after[k]);
      if (!states.insert(state).second) break;
    }
  };
  const std::map<std::string, std::vector<std::string>> set_up_by = {
      {"zuvadud/D738/toggle_switch/elt_arm",
       {"zuvadud/D738/button_switch_cover08", "zuvadud/D738/toggle_switch/elt_on"}},
      {"zuvadud/D738/toggle_switch/flt_ctr_A_dn",
       {"zuvadud/D738/toggle_switch/flt_ctr_A_cover", "zuvadud/D738/toggle_switch/flt_ctr_A_up"}},
      {"zuvadud/D738/toggle_switch/flt_ctr_B_dn",
       {"zuvadud/D738/toggle_switch/flt_ctr_B_cover", "zuvadud/D738/toggle_switch/flt_ctr_B_up"}},
      {"zuvadud/D738/toggle_switch/man_lndgear", {"zuvadud/D738/toggle_switch/man_lndgear_cover"}},
      {"zuvadud/D738/toggle_switch/el_trim", {"zuvadud/D738/toggle_switch/el_trim_lock"}},
      {"zuvadud/D738/toggle_switch/ap_trim", {"zuvadud/D738/toggle_switch/ap_trim_lock"}},
  };
  // Random failures, left enabled by the rounds, would be anybody's.
  simhost::command_once("zuvadud/D738/system/disable_rnd_fail");
  for (const bool flown : {false, true}) {
    simhost::set_double("sim/flightmodel/position/elevation", flown ? 3048.0 : 0.0);
    simhost::frames(60 * 30, kDt);
    changed_over(60 * 30, &restless, nullptr, nullptr);
    for (const std::string& name : commands) {
      if (!moves[name].empty()) continue;
      press_until_round_later(name);
      const auto prep = set_up_by.find(name);
      for (int attempt = 0; attempt < 2 && moves[name].empty() && prep != set_up_by.end(); ++attempt) {
        for (const std::string& first : prep->second) {
          simhost::command_once(first);
          simhost::frames(60, kDt);
        }
        press_until_round_later(name);
      }
    }
  }
  // The standby flight display's keys, found dark in the passes above (a key
  // listed before them switched the battery fully off): pressed again with
  // the battery on, which powers the display.
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  simhost::frames(30, kDt);
  for (const char* key : {"knob/standby_alt_baro_up", "knob/standby_alt_baro_dn", "toggle_switch/standby_alt_app",
                          "toggle_switch/standby_alt_hpin", "toggle_switch/standby_alt_baro_std",
                          "toggle_switch/standby_alt_minus", "toggle_switch/standby_alt_plus"}) {
    const std::string name = std::string("zuvadud/D738/") + key;
    if (std::find(commands.begin(), commands.end(), name) == commands.end() || counters.count(name)) continue;
    std::map<size_t, std::set<double>> set;
    std::set<size_t> found;
    press_until_round_into(name, set, found, host_state);
    moves[name] = set;
  }
  // A value of the systems (not one a command sets directly) that moved by
  // itself at any other time of this pass, drifting with long pauses, was
  // not the command's either.
  // The clocks' readings advance by themselves, an hour at a time too.
  std::set<size_t> controls;
  for (const auto& [name, set] : moves)
    if (!later.count(name))
      for (const auto& [k, values] : set) controls.insert(k);
  for (size_t k = 0; k < published; ++k)
    if (numbers.label[k].rfind("zuvadud/D738/clock/", 0) == 0) restless_later.insert(k);
  for (auto& [name, ks] : later) {
    for (size_t k : restless_later) {
      if (!controls.count(k) && ks.erase(k)) moves[name].erase(k);
    }
  }

  // A selector stepped by a pair of commands (X_up and X_dn, X_left and
  // X_right) may reach a position only over the frames after the press (a
  // knob the systems pull over to MAX), and a value set in a phase may be
  // one the systems replace the next frame (a controller mode taken from
  // the selector, then from its own logic). So each pair is pressed through
  // its whole range one way, then the other, and the values its own
  // datarefs take while a press is held and where they settle after it
  // replace what the phases showed. It is pressed at the gate with ground
  // power on, as a crew steps them (a controller follows its selector only
  // with its bus powered), and flown, for what the ground locks out: the
  // run that steps through more positions counts, the ground one when both
  // step as far. A pair that does not reach an end or come round keeps what
  // the phases showed, as do values still moving when the settling gives up.
  constexpr int kMostSteps = 40, kHeldStepFrames = 6;
  const std::pair<const char*, const char*> kPartners[] = {
      {"_up", "_dn"}, {"_up", "_down"}, {"_left", "_right"}, {"_lft", "_rgt"}};
  struct StepPair {
    std::string a, b;
    std::vector<size_t> watched;  // own numbers either of them moved
  };
  std::vector<StepPair> step_pairs;
  auto ends_with = [](const std::string& s, const std::string& end) {
    return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
  };
  for (const std::string& a : commands) {
    for (const auto& [up, down] : kPartners) {
      if (!ends_with(a, up)) continue;
      const std::string b = a.substr(0, a.size() - std::string(up).size()) + down;
      if (std::find(commands.begin(), commands.end(), b) == commands.end()) continue;
      std::set<size_t> own;
      bool shared = false;
      for (const std::string& c : {a, b}) {
        for (const auto& [k, values] : moves[c]) {
          if (k >= published || counters[a].count(k) || counters[b].count(k)) continue;
          own.insert(k);
          shared = shared || (moves[a].count(k) && moves[b].count(k));
        }
      }
      if (shared) step_pairs.push_back({a, b, std::vector<size_t>(own.begin(), own.end())});
    }
  }
  // What one run of the pass found for a command.
  struct Stepped {
    std::map<size_t, std::set<double>> values;
    std::set<size_t> settled, unsettled;  // moved from one settled state to another
    int positions = 0;
  };
  std::map<std::string, Stepped> stepped[2];  // on the ground, flown
  std::set<std::string> stepped_in_phase, unfinished[2];
  // A value lagging toward 0 ends a hair away from it, on either side.
  auto read_watched = [&](const std::vector<size_t>& watched, std::vector<double>* out) {
    numbers.some(watched, out);
    for (double& v : *out)
      if (std::fabs(v) < 1e-6) v = 0.0;
  };
  // Runs frames until the watched values have stood still for a while;
  // `moving` gets those still changing when it gives up.
  auto settle = [&](const std::vector<size_t>& watched, std::vector<double>* out, std::set<size_t>* moving) {
    std::vector<double> prev, now;
    read_watched(watched, &prev);
    int still = 0;
    std::vector<int> last_change(watched.size(), -1);
    for (int f = 0; f < kMostSettleFrames && still < kSettledFrames; ++f) {
      simhost::frame(kDt);
      read_watched(watched, &now);
      still = now != prev ? 0 : still + 1;
      for (size_t i = 0; i < now.size(); ++i)
        if (now[i] != prev[i]) last_change[i] = f;
      prev.swap(now);
    }
    if (still < kSettledFrames && moving)
      for (size_t i = 0; i < watched.size(); ++i)
        if (last_change[i] >= kMostSettleFrames - kSettledFrames) moving->insert(watched[i]);
    *out = prev;
  };
  // Presses `name` until the watched values stop changing or come round;
  // false when neither happens within kMostSteps presses.
  auto step_through = [&](const std::string& name, const std::vector<size_t>& watched, Stepped* out) {
    std::vector<double> prev, now, phase, held, held_before;
    settle(watched, &prev, nullptr);
    std::set<std::vector<double>> seen = {prev};
    for (int press = 0; press < kMostSteps; ++press) {
      simhost::command_begin(name);
      read_watched(watched, &phase);
      if (phase != prev && out) stepped_in_phase.insert(name);
      // A spring-loaded position shows while the press is held.
      for (int f = 0; f < kHeldStepFrames; ++f) {
        simhost::frame(kDt);
        held_before.swap(held);
        read_watched(watched, &held);
      }
      simhost::command_end(name);
      std::set<size_t> moving;
      settle(watched, &now, &moving);
      if (out) {
        for (size_t i = 0; i < watched.size(); ++i) {
          if (held[i] != prev[i] && held[i] == held_before[i] && std::isfinite(held[i]))
            out->values[watched[i]].insert(held[i]);
          if (now[i] == prev[i]) continue;
          if (moving.count(watched[i]) || !std::isfinite(now[i])) {
            out->unsettled.insert(watched[i]);
          } else {
            out->values[watched[i]].insert(now[i]);
            out->settled.insert(watched[i]);
          }
        }
      }
      if (now == prev) return true;
      if (out) ++out->positions;
      if (!seen.insert(now).second) return true;
      prev.swap(now);
    }
    return false;
  };
  for (const int flown : {0, 1}) {
    simhost::set_double("sim/flightmodel/position/elevation", flown ? 3048.0 : 0.0);
    simhost::frames(60 * 30, kDt);
    if (!flown) {
      simhost::set_float("zuvadud/D738/gpu_hide", 0.0f);
      simhost::frames(60, kDt);
      simhost::command_once("zuvadud/D738/toggle_switch/gpu_dn");
      simhost::frames(60 * 30, kDt);
    }
    for (const StepPair& p : step_pairs) {
      const char* lifted = lift_guard(p.a);
      const char* lifted_b = lifted ? nullptr : lift_guard(p.b);
      step_through(p.b, p.watched, nullptr);
      const bool done = step_through(p.a, p.watched, &stepped[flown][p.a]) &&
                        step_through(p.b, p.watched, &stepped[flown][p.b]);
      if (!done) unfinished[flown].insert(p.a);
      close_guard(lifted ? lifted : lifted_b);
    }
    if (!flown) {
      simhost::command_once("zuvadud/D738/toggle_switch/gpu_up");
      simhost::set_float("zuvadud/D738/gpu_hide", 1.0f);
      simhost::frames(60, kDt);
    }
  }
  for (const StepPair& p : step_pairs) {
    for (const std::string& c : {p.a, p.b}) {
      const int run = stepped[1][c].positions > stepped[0][c].positions ? 1 : 0;
      if (unfinished[run].count(p.a)) continue;
      const Stepped& found = stepped[run][c];
      // A spring-loaded position that returns keeps what the phases showed.
      for (size_t k : found.settled)
        if (!found.unsettled.count(k)) moves[c][k] = found.values.at(k);
      // Where a press acts at once, the settled values are the press's.
      if (stepped_in_phase.count(c)) later.erase(c);
    }
  }

  // A radio tuning panel's knobs and transfer key act on the radio the
  // panel shows: each is pressed with each VHF selected in turn, and what
  // it moves under every selection alike is told apart from what it moves
  // under one. Ground power is on for it, as the right panel runs on AC
  // transfer bus 2, which the battery does not reach.
  struct Selection {
    std::string state;                // the dataref that shows the selection
    std::vector<std::string> select;  // the commands that make each
    std::string home;                 // the one the panel comes on with
    std::string first;                // pressed before the command under a selection, or ""
  };
  std::map<std::string, Selection> selected_by;
  const std::string prefix = "zuvadud/D738/";
  for (const auto& [panel, home] : {std::pair<std::string, int>{"rtp_L", 1}, {"rtp_R", 2}, {"rtp_D", 3}}) {
    Selection sel;
    sel.state = prefix + "comm/" + panel + "/lcd_to_display";
    for (const char* vhf : {"/vhf_1/sel_switch", "/vhf_2/sel_switch", "/vhf_3/sel_switch"})
      sel.select.push_back(prefix + panel + vhf);
    sel.home = sel.select[static_cast<size_t>(home - 1)];
    for (const char* control : {"freq_MHz/sel_dial_up", "freq_MHz/sel_dial_dn", "freq_khz/sel_dial_up",
                                "freq_khz/sel_dial_dn"})
      selected_by[prefix + panel + "/" + control] = sel;
    // The standby frequency is first set apart from the active one, so that
    // the transfer shows.
    sel.first = prefix + panel + "/freq_MHz/sel_dial_up";
    selected_by[prefix + panel + "/freq_txfr/sel_switch"] = sel;
  }
  // Per command: per value of its selection dataref, what it moved there.
  std::map<std::string, std::map<double, std::map<size_t, std::set<double>>>> moves_at;
  simhost::set_double("sim/flightmodel/position/elevation", 0.0);
  simhost::frames(60 * 30, kDt);
  simhost::set_float("zuvadud/D738/gpu_hide", 0.0f);
  simhost::frames(60, kDt);
  simhost::command_once("zuvadud/D738/toggle_switch/gpu_dn");
  simhost::frames(60 * 30, kDt);
  // The right panel's own keys, found unpowered in the passes above: pressed
  // again with its power.
  for (const char* key : {"off_switch", "vhf_1/sel_switch", "vhf_2/sel_switch", "vhf_3/sel_switch",
                          "hf_1/sel_switch", "am/sel_switch", "hf_2/sel_switch"}) {
    const std::string name = prefix + "rtp_R/" + key;
    if (std::find(commands.begin(), commands.end(), name) == commands.end() || counters.count(name)) continue;
    std::map<size_t, std::set<double>> set;
    std::set<size_t> found;
    press_until_round_into(name, set, found, host_state);
    moves[name] = set;
    // The OFF switch may come round with the panel off: on again for the rest.
    if (simhost::get_float(prefix + "comm/rtp_R/off_status") != 0.0f) {
      simhost::command_once(prefix + "rtp_R/off_switch");
      simhost::frames(15, kDt);
    }
  }
  // The NAV and ADF transfer keys and the cabin light presets act only with
  // their power, which the passes above found off: pressed again with it,
  // each preset after another one of its panel, so that it has something to
  // set.
  const std::pair<const char*, const char*> repressed[] = {
      {"push_button/switch_freq_nav1_press", nullptr}, {"push_button/switch_freq_nav2_press", nullptr},
      {"push_button/switch_freq_adf1_press", nullptr}, {"push_button/switch_freq_adf2_press", nullptr},
      {"cabin/pax_white_bright", "cabin/pax_cruise"},   {"cabin/pax_to_landing", "cabin/pax_cruise"},
      {"cabin/pax_cruise", "cabin/pax_to_landing"},     {"cabin/pax_white_medium", "cabin/pax_cruise"},
      {"cabin/pax_night_sleep", "cabin/pax_cruise"},    {"cabin/entry_white_bright", "cabin/entry_white_medium"},
      {"cabin/entry_white_medium", "cabin/entry_white_bright"}};
  for (const auto& [key, before_it] : repressed) {
    const std::string name = prefix + key;
    if (std::find(commands.begin(), commands.end(), name) == commands.end() || counters.count(name)) continue;
    if (before_it != nullptr) {
      simhost::command_once(prefix + before_it);
      simhost::frames(15, kDt);
    }
    std::map<size_t, std::set<double>> set;
    std::set<size_t> found;
    press_until_round_into(name, set, found, host_state);
    moves[name] = set;
    if (!set.empty()) later.erase(name);
  }
  simhost::command_once(prefix + "rtp_R/vhf_2/sel_switch");
  simhost::frames(15, kDt);
  for (const auto& [name, sel] : selected_by) {
    if (std::find(commands.begin(), commands.end(), name) == commands.end()) continue;
    auto& at = moves_at[name];
    for (const std::string& select : sel.select) {
      simhost::command_once(select);
      simhost::frames(15, kDt);
      auto& set = at[simhost::get_float(sel.state)];
      // A transfer between equal frequencies moves only the key: the
      // standby one is stepped again until it moves more.
      for (int tries = 0; tries < 3 && set.size() < 2; ++tries) {
        if (!sel.first.empty()) {
          simhost::command_once(sel.first);
          simhost::frames(15, kDt);
        }
        std::set<size_t> found;
        press_until_round_into(name, set, found, counters[name]);
        if (sel.first.empty()) break;
      }
    }
    simhost::command_once(sel.home);
    simhost::frames(15, kDt);
    // What moved alike under every selection stays unconditional.
    std::map<size_t, std::set<double>> common = at.begin()->second;
    for (const auto& [value, set] : at)
      for (auto it = common.begin(); it != common.end();) {
        const auto there = set.find(it->first);
        it = there == set.end() || there->second != it->second ? common.erase(it) : std::next(it);
      }
    std::map<size_t, std::set<double>> kept;
    for (size_t k : counters[name]) kept[k] = moves[name][k];
    for (const auto& [k, values] : common) kept[k] = values;
    moves[name] = kept;
    for (auto& [value, set] : at)
      for (const auto& [k, values] : common) set.erase(k);
  }

  // A host command taken over may act from one position of what it moves
  // and not from another (the host's gear up moves the lever from DOWN only:
  // to UP in flight, to OFF on the ground), and the rounds may never leave
  // it there in flight. So, flown, each is pressed again after each other
  // command that moves one of its own datarefs has put that where it puts
  // it; last, as it leaves the cockpit anyhow (the gear up).
  const size_t own_commands = simhost::plugin_commands().size();
  simhost::set_double("sim/flightmodel/position/elevation", 3048.0);
  simhost::frames(30, kDt);
  for (size_t h = own_commands; h < commands.size(); ++h) {
    const std::string& name = commands[h];
    std::set<size_t> own;
    for (const auto& [k, values] : moves[name])
      if (k < published && !counters[name].count(k)) own.insert(k);
    if (own.empty()) continue;
    for (const std::string& other : commands) {
      if (other == name) continue;
      bool sets_one = false;
      for (const auto& [k, values] : moves[other]) sets_one = sets_one || (own.count(k) && !counters[other].count(k));
      if (!sets_one) continue;
      const char* lifted = lift_guard(other);
      simhost::command_once(other);
      simhost::frames(15, kDt);
      close_guard(lifted);
      for (const bool begin : {true, false}) {
        numbers.read(&before);
        if (begin) {
          simhost::command_begin(name);
        } else {
          simhost::command_end(name);
        }
        numbers.read(&after);
        for (size_t k = 0; k < after.size(); ++k)
          if (after[k] != before[k] && std::isfinite(after[k]) && !host_state.count(k) && !counters[name].count(k))
            moves[name][k].insert(after[k]);
        if (begin) simhost::frame(kDt);
      }
      simhost::frames(2, kDt);
    }
  }

  std::printf(
      "# Generated by command-moves (tests/datarefs/command_moves.cpp); do not edit. What each command\n"
      "# moves, pressed over and over in a powered cockpit: a dataref (NAME[I] for an element, NAME[I..J]\n"
      "# for elements that took the same values) with the values the command set (LO..HI beyond %zu of\n"
      "# them; any for a counter), or none. \"when\" is \"press\" for a value set in the command's begin or\n"
      "# end phase, \"after\" for one that moved only in the frames after (held for a second, then\n"
      "# released): its values at the release and a second later; \"press at NAME=V\" for one it sets\n"
      "# only while the dataref NAME (a panel's selection) reads V. A selector stepped both ways by a\n"
      "# pair of commands gives the values it settles at after each press, through its whole range.\n"
      "# The plug-in's own datarefs come first, then the host's and the scripts'.\n"
      "command\tdataref\tvalues\twhen\n",
      kMostValues);
  // Rows in order; runs of elements of one array with the same values merged.
  auto print_rows = [&](const std::string& name, const std::map<size_t, std::set<double>>& set,
                        const std::string& when) {
    struct Row {
      std::string array, label, values;
      int from = -1, to = -1;
    };
    std::vector<Row> rows;
    for (const bool own : {true, false}) {
      for (const auto& [k, values] : set) {
        if ((k < published) != own) continue;
        Row r;
        if (counters[name].count(k)) {
          r.values = "any";
        } else if (values.size() > kMostValues) {
          r.values = format(*values.begin()) + ".." + format(*values.rbegin());
        } else {
          for (double v : values) r.values += (r.values.empty() ? "" : ",") + format(v);
        }
        r.label = numbers.label[k];
        const size_t open = r.label.find('[');
        if (open != std::string::npos) {
          r.array = r.label.substr(0, open);
          r.from = r.to = std::stoi(r.label.substr(open + 1));
        }
        if (!rows.empty() && !r.array.empty() && rows.back().array == r.array && rows.back().to + 1 == r.from &&
            rows.back().values == r.values) {
          rows.back().to = r.from;
          continue;
        }
        rows.push_back(r);
      }
    }
    for (const Row& r : rows) {
      const std::string label = r.array.empty() || r.from == r.to
                                    ? r.label
                                    : r.array + "[" + std::to_string(r.from) + ".." + std::to_string(r.to) + "]";
      std::printf("%s\t%s\t%s\t%s\n", name.c_str(), label.c_str(), r.values.c_str(), when.c_str());
    }
  };
  for (const std::string& name : commands) {
    const auto at = moves_at.find(name);
    if (moves[name].empty() && at == moves_at.end()) {
      std::printf("%s\tnone\t\t\n", name.c_str());
      continue;
    }
    print_rows(name, moves[name], later[name].empty() ? "press" : "after");
    if (at == moves_at.end()) continue;
    for (const auto& [value, set] : at->second)
      print_rows(name, set, "press at " + selected_by.at(name).state + "=" + format(value));
  }
  simhost::stop();
  simhost::unload();
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
