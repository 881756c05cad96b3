// The switch and knob positions the plug-in's commands set, found by pressing
// them: the table the checks hold those values to (switch_positions.tsv).
//
// A value is a command's when it changes in the command's begin or end phase
// itself, before any frame runs: the handler wrote it. Of those, the table
// keeps the cockpit's controls, by the published names' conventions: a
// switch kind as a path component ("toggle_switch/", "knob/", ...), a name
// with "_pos" in its last part, and the levers, handles and buttons named
// otherwise (the start levers are "mixture_ratio"). Status values that
// handlers also write (a panel's display source, a sound cue) are left out.
// A control's positions are those the
// commands set and the one it rests in once the plug-in has started; one
// that the systems move through other values too (a cover swinging open, a
// trim wheel) is given as the range it was seen over.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "host.h"
#include "invariants.h"
#include "tables.h"

namespace runner {
namespace {

constexpr float kDt = 1.0f / 30.0f;
// Enough for a knob that goes round 360 steps (a course, a heading) and the
// 8.33 kHz channels of a radio; a command still changing something after
// this many presses without coming back is a counter (a dial's detents, a
// trim nudged) and its values have no positions.
constexpr int kMostPresses = 400;
// More distinct positions than this are written as a range.
constexpr size_t kMostPositions = 16;

bool is_control(const std::string& name) {
  static const std::regex kind(
      "(^|/)(toggle_switch|knobs?|switch(es)?|push_butt?on|spring_(toggle_)?switch|one_way_switch|button_switch|"
      "buttons|rotary)/");
  static const std::regex last("(_pos([0-9_].*)?|_lever|_handle_down|^position|^mic_button[0-9]+|^mixture_ratio[0-9]|_mode(_capt|_fo)?)$");
  const std::string tail = name.substr(name.rfind('/') + 1);
  return std::regex_search(name, kind) || std::regex_search(tail, last);
}

std::vector<std::string> catalog_names(const std::string& path) {
  std::vector<std::string> out;
  std::vector<std::pair<int, std::string>> lines;
  std::string error;
  if (!table_lines(path, &lines, &error)) return out;
  for (const auto& line : lines) {
    std::string name = line.second.substr(0, line.second.find('\t'));
    if (!name.empty()) out.push_back(name);
  }
  return out;
}

std::string format(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

// The values one number was seen at: up to one more than a positions list
// holds, and the extremes.
struct Seen {
  std::set<double> values;
  double lo = 0, hi = 0;
  bool any = false;
  void add(double v) {
    if (!std::isfinite(v)) return;
    lo = any ? std::min(lo, v) : v, hi = any ? std::max(hi, v) : v;
    any = true;
    if (values.size() <= kMostPositions) values.insert(v);
  }
};

// The controls with a travel and no detents (step 0), by name: LO..HI.
bool continuous_travels(const std::string& path, std::map<std::string, std::string>* out, std::string* error) {
  std::vector<std::pair<int, std::string>> lines;
  if (!table_lines(path, &lines, error)) return false;
  for (const auto& [line, text] : lines) {
    const std::vector<std::string> f = fields(text);
    if (f.size() < 5 || f[1] == "-" || f[0].find('/') == std::string::npos) continue;
    char *end_lo = nullptr, *end_hi = nullptr, *end_step = nullptr;
    const double lo = std::strtod(f[1].c_str(), &end_lo);
    const double hi = std::strtod(f[2].c_str(), &end_hi);
    const double step = std::strtod(f[3].c_str(), &end_step);
    if (*end_lo != '\0' || *end_hi != '\0' || *end_step != '\0' || end_lo == f[1].c_str()) {
      *error = path + ":" + std::to_string(line) + ": a travel is three numbers";
      return false;
    }
    if (step == 0) (*out)[f[0]] = format(lo) + ".." + format(hi);
  }
  return true;
}

}  // namespace

bool write_command_positions(const std::vector<std::string>& host_command_catalogs, const std::string& travel_table,
                             std::FILE* out, std::string* error) {
  std::map<std::string, std::string> continuous;
  if (!continuous_travels(travel_table, &continuous, error)) return false;
  // A powered cockpit at the gate, after start-up has written its cold and
  // dark state: the battery with its voltage, the buses from ground power.
  // Each frame's draw pass runs in feedback mode: the plug-in's calls run
  // and are checked, nothing is rasterised, and its lines are read back
  // without waiting for the renderer.
  simhost::set_draw_capture(true);
  simhost::frames(30, kDt);
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f}, 0);
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f});
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  simhost::frames(30, kDt);

  std::vector<std::string> commands;
  for (const simhost::CommandInfo& c : simhost::plugin_commands()) commands.push_back(c.name);
  for (const std::string& catalog : host_command_catalogs)
    for (const std::string& name : catalog_names(catalog))
      if (simhost::handler_count(name) > 0 && std::find(commands.begin(), commands.end(), name) == commands.end())
        commands.push_back(name);
  if (commands.empty()) {
    *error = "the plug-in handles no command";
    return false;
  }

  PublishedNumbers published;
  published.take();
  std::vector<char> control(published.value_of.size());
  for (size_t k = 0; k < control.size(); ++k)
    control[k] = is_control(published.values[static_cast<size_t>(published.value_of[k])].name);
  std::vector<double> start, before, after;
  published.read(&start);
  std::map<int, std::set<double>> positions;  // control -> positions its commands set
  std::map<int, Seen> seen;                   // control -> every value seen once a command moved it
  std::set<int> unbounded;                    // counters: no positions
  std::set<int> moved_now;
  auto observe = [&](const std::vector<double>& values) {
    for (auto& [k, s] : seen) s.add(values[static_cast<size_t>(k)]);
  };
  // One phase of a command: what it wrote directly, as positions.
  auto phase = [&](const std::string& name, bool begin) {
    published.read(&before);
    observe(before);
    if (begin) {
      simhost::command_begin(name);
    } else {
      simhost::command_end(name);
    }
    published.read(&after);
    bool moved = false;
    for (size_t k = 0; k < after.size(); ++k) {
      // NaN never equals itself: a handler writing one is a finding for the
      // checks, not a position.
      if (after[k] == before[k] || !std::isfinite(after[k])) continue;
      moved = true;
      if (!control[k]) continue;
      const int n = static_cast<int>(k);
      positions[n].insert(after[k]);
      if (!seen.count(n)) seen[n].add(start[k]);
      moved_now.insert(n);
    }
    observe(after);
    return moved;
  };

  // One command pressed over and over, until its controls come round to a
  // state seen before (or kMostPresses).
  auto press_round = [&](const std::string& name) {
    std::set<std::string> states;
    std::map<int, std::set<double>> set_by_this;  // this command's positions, per control
    std::set<int> came_back;                      // controls it set to a position a second time
    int press = 0;
    for (; press < kMostPresses; ++press) {
      moved_now.clear();
      const bool moved_begin = phase(name, true);
      simhost::frame(kDt);
      const bool moved_end = phase(name, false);
      simhost::frames(2, kDt);
      if (!moved_begin && !moved_end) break;
      for (int k : moved_now)
        if (!set_by_this[k].insert(after[static_cast<size_t>(k)]).second) came_back.insert(k);
      // Stop when the controls come round to a state seen before.
      std::string state;
      published.read(&after);
      for (const auto& [k, set] : positions) state += format(after[static_cast<size_t>(k)]) + ",";
      if (!states.insert(state).second) break;
    }
    if (press == kMostPresses)
      for (int k : moved_now)
        if (!came_back.count(k)) unbounded.insert(k);
  };

  // Three times round: toggles left flipped by the first round (covers,
  // guards) let the second reach what they guard; the third is flown, in
  // level flight at 10,000 ft, for what the ground locks out (the gear lever
  // UP).
  for (int round = 0; round < 3; ++round) {
    if (round == 2) {
      simhost::set_double("sim/flightmodel/position/elevation", 3048.0);
      simhost::frames(30, kDt);
    }
    for (const std::string& name : commands) press_round(name);
  }
  // The standby flight display takes its keys only with its power, which a
  // key listed before them (the battery fully off) took away: they are
  // pressed again with the battery on.
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  simhost::frames(30, kDt);
  for (const char* key : {"knob/standby_alt_baro_up", "knob/standby_alt_baro_dn", "toggle_switch/standby_alt_app",
                          "toggle_switch/standby_alt_hpin", "toggle_switch/standby_alt_baro_std",
                          "toggle_switch/standby_alt_mode_up", "toggle_switch/standby_alt_mode_down",
                          "toggle_switch/standby_alt_minus", "toggle_switch/standby_alt_plus"}) {
    const std::string name = std::string("zuvadud/D738/") + key;
    if (std::find(commands.begin(), commands.end(), name) != commands.end()) press_round(name);
  }

  std::fprintf(out,
               "# Generated by corvane-sim --command-positions: the cockpit controls the plug-in's commands set\n"
               "# directly, with the positions they take (LO..HI beyond %zu of them or for a control the systems\n"
               "# move between them; any for a counter). Do not edit.\n"
               "name\tpositions\n",
               kMostPositions);
  // One row per value: the elements of an array share their positions.
  std::map<int, std::set<double>> rest_and_set;
  std::map<int, Seen> seen_by_value;
  std::set<int> unbounded_values;
  for (const auto& [k, set] : positions) {
    const int v = published.value_of[static_cast<size_t>(k)];
    rest_and_set[v].insert(set.begin(), set.end());
    rest_and_set[v].insert(start[static_cast<size_t>(k)]);
    Seen& s = seen_by_value[v];
    for (double x : seen[k].values) s.add(x);
    s.add(seen[k].lo), s.add(seen[k].hi);
    if (unbounded.count(k)) unbounded_values.insert(v);
  }
  for (const auto& [v, set] : rest_and_set) {
    const Seen& s = seen_by_value[v];
    const bool between = s.values.size() > kMostPositions ||
                         std::any_of(s.values.begin(), s.values.end(), [&](double x) { return !set.count(x); });
    std::string text;
    const auto travel = continuous.find(published.values[static_cast<size_t>(v)].name);
    if (travel != continuous.end()) {
      text = travel->second;
    } else if (unbounded_values.count(v)) {
      text = "any";
    } else if (between || set.size() > kMostPositions) {
      text = format(std::min(s.lo, *set.begin())) + ".." + format(std::max(s.hi, *set.rbegin()));
    } else {
      for (double p : set) text += (text.empty() ? "" : ",") + format(p);
    }
    std::fprintf(out, "%s\t%s\n", published.values[static_cast<size_t>(v)].name.c_str(), text.c_str());
  }
  return true;
}

}  // namespace runner
