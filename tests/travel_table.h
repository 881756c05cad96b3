// The one table of everything the plug-in stores (tools/travels.tsv), as the
// censuses read it: the datarefs with their travels, and the saved slots
// with the travel each comes back within, a slot that is a control taking
// its control's row. Every row keeps its line, so a failure names it.
#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace travel_table {

inline const std::string kPath = "tools/travels.tsv";

// A dataref's row: kept_by store, writer, free (no travel) or saved.
struct Control {
  int line = 0;
  std::string name, kept_by;
  float lo = 0, hi = 0, step = 0;
};

// A saved slot's row, its travel resolved; control_line is the line of the
// control's row it takes its travel from (0 for an internal value).
struct Slot {
  int line = 0;
  std::string array, damaged, control;
  int slot = 0;
  float lo = 0, hi = 0, step = 0;
  int control_line = 0;
};

struct Table {
  std::vector<Control> controls;
  std::vector<Slot> slots;
  std::vector<std::string> errors;  // each names the table and line
};

inline std::vector<std::string> cells(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string c; std::getline(in, c, '\t');) out.push_back(c);
  return out;
}

inline bool number(const std::string& text, float* v) {
  try {
    size_t used = 0;
    *v = std::stof(text, &used);
    return used == text.size();
  } catch (...) {
    return false;
  }
}

inline Table read(const std::string& source_dir) {
  Table t;
  std::ifstream in(source_dir + "/" + kPath);
  if (!in) t.errors.push_back("cannot read " + kPath);
  std::map<std::string, size_t> control_of;
  std::string text;
  bool header = true;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    const std::vector<std::string> f = cells(text);
    const std::string at = kPath + ":" + std::to_string(line) + ": ";
    if (f.size() != 6) {
      t.errors.push_back(at + "6 columns wanted");
      continue;
    }
    float lo = 0, hi = 0, step = 0;
    const bool travel = f[1] != "-";
    if (travel && !(number(f[1], &lo) && number(f[2], &hi) && number(f[3], &step) && lo < hi && step >= 0.0f)) {
      t.errors.push_back(at + "a travel lo < hi, step >= 0 wanted");
      continue;
    }
    const size_t open = f[0].find('[');
    if (open != std::string::npos && f[0].back() == ']' && f[0].find('/') == std::string::npos) {
      Slot s;
      s.line = line;
      s.array = f[0].substr(0, open);
      s.slot = std::atoi(f[0].c_str() + open + 1);
      s.damaged = f[4];
      s.control = f[5];
      s.lo = lo, s.hi = hi, s.step = step;
      if (travel == (s.control != "-")) t.errors.push_back(at + "a saved slot has its own travel or is a control");
      t.slots.push_back(s);
      continue;
    }
    Control c;
    c.line = line;
    c.name = f[0];
    c.kept_by = f[4];
    c.lo = lo, c.hi = hi, c.step = step;
    if ((c.kept_by == "free") == travel) t.errors.push_back(at + "a free value has no travel, every other row one");
    if (control_of.count(c.name)) t.errors.push_back(at + c.name + " has a row already");
    control_of[c.name] = t.controls.size();
    t.controls.push_back(c);
  }
  // A slot that is a control has its travel; the panel string's characters
  // hold only its whole positions.
  for (Slot& s : t.slots) {
    if (s.control == "-") continue;
    const auto it = control_of.find(s.control.substr(0, s.control.find('[')));
    if (it == control_of.end() || t.controls[it->second].kept_by == "free") {
      t.errors.push_back(kPath + ":" + std::to_string(s.line) + ": " + s.control + ": no row of its control with a travel");
      continue;
    }
    const Control& c = t.controls[it->second];
    s.lo = c.lo, s.hi = c.hi;
    s.step = c.step > 0.0f || s.array != "state_cmd" ? c.step : 1.0f;
    s.control_line = c.line;
  }
  return t;
}

}  // namespace travel_table
