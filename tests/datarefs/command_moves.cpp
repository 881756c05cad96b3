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
// scripts' datarefs it looks up, element by element. Each row gives one
// dataref (an element as NAME[I]) with the values the command left it at,
// or "none" when the command moved nothing.
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
  // One number, read through its dataref.
  double at(size_t k) const {
    const Ref& r = refs[ref_of[k]];
    std::vector<double> all(static_cast<size_t>(r.size));
    simhost::read_numbers(r.slot, all.data(), r.size);
    return all[k - static_cast<size_t>(r.first)];
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
  simhost::set_draw_capture(true);
  simhost::frames(30, kDt);
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f}, 0);
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f});
  simhost::command_once("zuvadud/D738/switch/battery_dn");
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
  for (const simhost::DatarefInfo& d : simhost::looked_up_datarefs())
    if (is_number(d.type)) numbers.add(d.name, is_array(d.type), is_array(d.type) ? d.size : 1);

  // Per command: per number, the values it set; the numbers it kept changing
  // for kMostPresses presses (a counter); and those it moved only through
  // the systems, in the frames after its phases.
  std::map<std::string, std::map<size_t, std::set<double>>> moves;
  std::map<std::string, std::set<size_t>> counters, later;
  std::vector<double> before, after;
  auto press_until_round = [&](const std::string& name) {
    // A counter, found once, is not pressed 400 times again.
    if (counters.count(name)) return;
    std::map<size_t, std::set<double>>& set = moves[name];
    std::map<size_t, std::set<double>> set_now;  // this time round
    std::set<size_t> came_back;                  // set to a value a second time
    std::set<std::vector<double>> states;
    std::set<size_t> moved_last;
    int press = 0;
    for (; press < kMostPresses; ++press) {
      std::set<size_t> moved_now;
      for (const bool begin : {true, false}) {
        numbers.read(&before);
        if (begin) {
          simhost::command_begin(name);
        } else {
          simhost::command_end(name);
        }
        numbers.read(&after);
        for (size_t k = 0; k < after.size(); ++k) {
          if (after[k] == before[k] || !std::isfinite(after[k])) continue;
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
    }
    if (press == kMostPresses)
      for (size_t k : moved_last)
        if (!came_back.count(k)) counters[name].insert(k);
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
  };
  auto press_with_guard_lifted = [&](const std::string& name) {
    const auto g = guarded.find(name);
    float position = 1.0f;
    if (g != guarded.end()) {
      const Guard& guard = g->second;
      position = guard.element < 0 ? simhost::get_float(guard.position)
                                   : simhost::get_floats(guard.position).at(static_cast<size_t>(guard.element));
    }
    const bool lift = position < 0.3f;
    if (lift) {
      simhost::command_once(g->second.command);
      simhost::frames(15, kDt);
    }
    press_until_round(name);
    if (lift) {
      simhost::command_once(g->second.command);
      simhost::frames(15, kDt);
    }
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
      if (!idle.count(k) && !restless.count(k)) mine.push_back(k);
    if (mine.empty()) return false;
    // Until what it moved has stood still for a while.
    auto read_mine = [&](std::vector<double>* out) {
      out->clear();
      for (size_t k : mine) out->push_back(numbers.at(k));
    };
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

  std::printf(
      "# Generated by command-moves (tests/datarefs/command_moves.cpp); do not edit. What each command\n"
      "# moves, pressed over and over in a powered cockpit: a dataref (NAME[I] for an element, NAME[I..J]\n"
      "# for elements that took the same values) with the values the command set (LO..HI beyond %zu of\n"
      "# them; any for a counter), or none. \"when\" is \"press\" for a value set in the command's begin or\n"
      "# end phase, \"after\" for one that moved only in the frames after (held for a second, then\n"
      "# released): its values at the release and a second later. The plug-in's own datarefs come\n"
      "# first, then the host's and the scripts'.\n"
      "command\tdataref\tvalues\twhen\n",
      kMostValues);
  for (const std::string& name : commands) {
    const auto& set = moves[name];
    if (set.empty()) {
      std::printf("%s\tnone\t\t\n", name.c_str());
      continue;
    }
    // Rows in order; runs of elements of one array with the same values merged.
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
    const char* when = later[name].empty() ? "press" : "after";
    for (const Row& r : rows) {
      const std::string label = r.array.empty() || r.from == r.to
                                    ? r.label
                                    : r.array + "[" + std::to_string(r.from) + ".." + std::to_string(r.to) + "]";
      std::printf("%s\t%s\t%s\t%s\n", name.c_str(), label.c_str(), r.values.c_str(), when);
    }
  }
  simhost::stop();
  simhost::unload();
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
