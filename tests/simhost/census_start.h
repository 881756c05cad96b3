// The start of a census flight, shared by the censuses that fly from
// tests/simhost/census/: a host made from `config` on the sample field's
// terrain, the plug-in loaded, and the start's scenario played without its
// output. False with the reason when the module does not load, the start
// does not parse, or an expectation of the start fails.
#pragma once

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"
#include "player.h"

namespace census {

// The fields of a line cut at `sep`; a separator at the end gives an empty
// last field.
inline std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string part;
  std::istringstream in(s);
  while (std::getline(in, part, sep)) out.push_back(part);
  if (!s.empty() && s.back() == sep) out.push_back("");
  return out;
}

// `s` without its leading and trailing blanks.
inline std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  const size_t b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A table's text with each "$" spelled out as the plug-in's "zuvadud/D738/".
inline std::string expand(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '$') out += "zuvadud/D738/";
    else out += ch;
  }
  return out;
}

// A data line of a census table: its number, its tab-separated fields, and
// the "NAME:LINE: " its errors start with.
struct TableLine {
  int line = 0;
  std::vector<std::string> f;
  std::string at;
};

// The data lines of the table at `path` (blank lines, comments and the header,
// whose first field is `header`, left out). A line without `columns` fields,
// or a table that cannot be read, is reported in `errors` under `name`.
inline std::vector<TableLine> table_lines(const std::string& path, const std::string& name, size_t columns,
                                          const std::string& header, std::vector<std::string>* errors) {
  std::vector<TableLine> out;
  std::ifstream in(path);
  if (!in) errors->push_back("cannot read " + path);
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    TableLine t{line, split(text, '\t'), name + ":" + std::to_string(line) + ": "};
    if (t.f.size() != columns) {
      errors->push_back(t.at + std::to_string(columns) + " columns wanted, " + std::to_string(t.f.size()) + " found");
      continue;
    }
    if (t.f[0] == header) continue;
    out.push_back(t);
  }
  return out;
}

// The host a start asks for: the sample root, the aircraft file (--acf) and
// host version (--host-version) its "# census with:" line names, and the
// add-ons present from the start, as their plug-ins load before the aircraft.
inline simhost::Config start_config(const std::string& file, const std::string& text, const std::string& root,
                                    const std::string& addon_catalog) {
  simhost::Config config;
  config.root = root;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("# census with:", 0) != 0) continue;
    std::istringstream words(line.substr(14));
    for (std::string w; words >> w;) {
      std::string v;
      words >> v;
      if (w == "--acf") config.acf = v;
      else if (w == "--host-version") config.host_version = std::stoi(v);
    }
  }
  scenario::Lookup lookup;
  lookup.read = runner::read_scenario;
  lookup.addon = [addon_catalog](const std::string& addon, std::vector<std::string>* names) {
    std::vector<runner::AddonEntry> entries;
    if (!runner::addon_entries(addon_catalog, addon, &entries)) return false;
    for (const runner::AddonEntry& e : entries) names->push_back(e.name);
    return true;
  };
  for (const scenario::Step& a : scenario::start_addons(text, file, lookup)) {
    std::vector<std::string> without;
    for (const scenario::Ref& ref : a.prints) without.push_back(ref.name);
    for (const simhost::CatalogEntry& e : runner::addon_datarefs(addon_catalog, a.ref.name, without))
      config.extra.push_back(e);
    config.addons.push_back(a.ref.name);
  }
  return config;
}

// Plays `text` (parsed as `file`) on the host as it stands, its output
// kept from the test's; false with the parse error in `error`. `said` (when
// given) receives what the run printed, its failed expectations among it.
inline bool play_text(const std::string& file, const std::string& text, const std::string& addon_catalog, float dt,
                      runner::Outcome* outcome, std::string* error, std::string* said = nullptr) {
  scenario::Script script;
  scenario::Lookup lookup = runner::host_lookup(addon_catalog);
  lookup.read = runner::read_scenario;
  if (!scenario::parse(text, file, dt, lookup, &script, error)) return false;
  runner::Play how;
  how.addon_catalog = addon_catalog;
  how.file = file;
  how.dt = dt;
  std::FILE* sink = std::tmpfile();
  if (sink != nullptr) how.out = how.err = sink;
  *outcome = runner::play(script, how);
  if (sink != nullptr) {
    if (said != nullptr) {
      std::rewind(sink);
      char buf[512];
      while (std::fgets(buf, sizeof buf, sink) != nullptr) *said += buf;
    }
    std::fclose(sink);
  }
  return true;
}

// A parameter of a census's parts as a test name: anything but a letter or
// a digit becomes '_'.
inline std::string part_test_name(const std::string& param) {
  std::string n;
  for (char ch : param) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return n;
}

inline bool play_start(const std::string& file, const std::string& text, const simhost::Config& config,
                       const std::string& addon_catalog, float dt, std::string* error) {
  simhost::reset(config);
  simhost::set_field_terrain(config.root + config.aircraft + "Velar_apt.dat");
  if (!simhost::load_and_start(CORVANE_MODULE_PATH, error)) return false;
  runner::Outcome o;
  if (!play_text(file, text, addon_catalog, dt, &o, error)) return false;
  // The panel is drawn in feedback mode from here on: the plug-in's calls
  // run and are checked, nothing is rasterised (the panel's fill is most of
  // a frame's cost) and the renderer is not waited for.
  simhost::set_draw_capture(true);
  if (o.failed != 0) *error = file + ": " + std::to_string(o.failed) + " failed expectations in the start";
  return o.failed == 0;
}

}  // namespace census
