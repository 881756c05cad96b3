// Shared checks of the long runs: the built module in the simulated host,
// watched for interface misuse, non-finite values in what it publishes and in
// what it writes to the host and the scripts, stray log lines and per-frame
// work that grows. Frame counts scale down under the sanitizer build
// (CORVANE_SOAK_SANITIZED) and with the environment's CORVANE_SOAK_SCALE.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"

namespace soak {

// Frames of a stretch after scaling; never below `minimum` so every phase
// still runs at least that often.
inline int frames(int count, int minimum = 2) {
  double scale = 1.0;
#ifdef CORVANE_SOAK_SANITIZED
  scale = 0.25;
#endif
  if (const char* env = std::getenv("CORVANE_SOAK_SCALE")) {
    const double v = std::atof(env);
    if (v > 0.0 && v <= 100.0) scale = v;
  }
  const int n = static_cast<int>(count * scale);
  return n < minimum ? minimum : n;
}

struct CatalogName {
  std::string name;
  int type = 0;
  int size = 1;
};

// The script- or host-owned datarefs of the simulated host's catalog files.
inline std::vector<CatalogName> catalog(const char* file) {
  std::vector<CatalogName> out;
  std::ifstream in(std::string(CORVANE_SOURCE_DIR) + "/simhost/catalog/" + file);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    CatalogName c;
    std::string type, size;
    std::getline(fields, c.name, '\t');
    std::getline(fields, type, '\t');
    std::getline(fields, size, '\t');
    c.type = std::atoi(type.c_str());
    c.size = std::atoi(size.c_str());
    out.push_back(c);
  }
  return out;
}

inline std::vector<CatalogName> script_names() {
  std::vector<CatalogName> all = catalog("scripts_base.tsv");
  for (const CatalogName& c : catalog("scripts_bound.tsv")) all.push_back(c);
  return all;
}

inline std::vector<CatalogName> host_names(int host_version = 120000) {
  std::vector<CatalogName> all = catalog("host_base.tsv");
  for (const CatalogName& c : catalog(host_version < 120000 ? "host_bound_11.tsv" : "host_bound_12.tsv"))
    all.push_back(c);
  return all;
}

// Every published float, double or float-array element that reads NaN or
// infinite, as "name[index]".
inline std::vector<std::string> non_finite_published() {
  std::vector<std::string> bad;
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    if (d.type & 8) {
      const std::vector<float> v = simhost::get_floats(d.name);
      for (size_t i = 0; i < v.size(); ++i)
        if (!std::isfinite(v[i])) bad.push_back(d.name + "[" + std::to_string(i) + "]");
    } else if (d.type & 2) {
      if (!std::isfinite(simhost::get_float(d.name))) bad.push_back(d.name);
    } else if (d.type & 4) {
      if (!std::isfinite(simhost::get_double(d.name))) bad.push_back(d.name);
    }
  }
  return bad;
}

// Calls the module made on host and script datarefs so far (reads and
// accepted writes), over every catalog name.
inline long long dataref_calls(const std::vector<CatalogName>& names) {
  long long n = 0;
  for (const CatalogName& c : names) {
    const simhost::DatarefCounts k = simhost::counts(c.name);
    n += k.reads + k.writes;
  }
  return n;
}

// Log lines that start with none of the expected prefixes.
inline std::vector<std::string> unexpected_log_lines(const std::vector<std::string>& expected_prefixes) {
  std::vector<std::string> out;
  for (const std::string& line : simhost::log_lines()) {
    if (line.empty()) continue;  // the blank line some messages start with
    bool known = false;
    for (const std::string& p : expected_prefixes) known = known || line.rfind(p, 0) == 0;
    if (!known) out.push_back(line);
  }
  return out;
}

// What the module logs in a normal session: start-up, the navigation data
// loaders, unload.
inline std::vector<std::string> normal_log() {
  return {"Corvane plugin running.", "Corvane plugin: Reading navigation data...", "Corvane plugin: Loaded file >",
          "Corvane plugin: WARNING - I didn't find file >", "Corvane plugin unloaded."};
}

// Drawn lines with a non-finite end point.
inline int non_finite_lines() {
  int n = 0;
  for (const simhost::Line& l : simhost::captured_lines())
    n += !(std::isfinite(l.x0) && std::isfinite(l.y0) && std::isfinite(l.x1) && std::isfinite(l.y1));
  return n;
}

// Collects the first few findings of a long run, each with the frame and
// phase it appeared in, so one fault does not flood the report.
class Findings {
 public:
  void add(const std::string& what, int frame, const std::string& phase, const std::vector<std::string>& items) {
    for (const std::string& item : items) {
      if (seen_.find("|" + item + "|") != std::string::npos) continue;
      seen_ += "|" + item + "|";
      if (lines_.size() < 40)
        lines_.push_back(what + " at frame " + std::to_string(frame) + " (" + phase + "): " + item);
      ++count_;
    }
  }
  int count() const { return count_; }
  std::string report() const {
    std::string out;
    for (const std::string& l : lines_) out += l + "\n";
    return out;
  }

 private:
  std::vector<std::string> lines_;
  std::string seen_;
  int count_ = 0;
};

// Runs every watch of the soak on the current state: published values,
// writes into the host, interface misuse, drawn lines.
inline void watch(Findings& f, int frame, const std::string& phase) {
  f.add("non-finite published value", frame, phase, non_finite_published());
  f.add("non-finite write", frame, phase, simhost::non_finite_writes());
  f.add("host interface misuse", frame, phase, simhost::problems());
  if (non_finite_lines() > 0) f.add("non-finite drawn line", frame, phase, {"draw pass"});
}

}  // namespace soak
