#include "scenario_lines.h"

#include <cstdio>
#include <sstream>

#include "host.h"
#include "player.h"

namespace scenario_lines {

bool capture(const std::string& module, const std::string& root, const std::string& scenario,
             std::vector<Picture>* out, std::string* error) {
  simhost::Config config;
  config.root = root;
  simhost::reset(config);
  if (!simhost::load_and_start(module, error)) return false;
  simhost::set_draw_capture(true);
  scenario::Script script;
  runner::Play how;
  how.file = scenario;
  if (!runner::load_scenario(scenario, how.dt, &script, error)) {
    simhost::reset();
    return false;
  }
  std::FILE* sink = std::fopen("/dev/null", "w");
  how.out = sink ? sink : stdout;
  how.err = sink ? sink : stderr;
  how.on_png = [out](const std::string& file) {
    Picture p;
    p.file = file;
    for (const simhost::Line& l : simhost::captured_lines())
      p.lines.push_back({l.x0, l.y0, l.x1, l.y1, l.r, l.g, l.b, l.a});
    out->push_back(p);
  };
  runner::play(script, how);
  if (sink) std::fclose(sink);
  simhost::reset();
  return true;
}

std::string to_text(const std::vector<Picture>& pictures) {
  std::string s;
  char buf[256];
  for (const Picture& p : pictures) {
    s += "picture " + p.file + " " + std::to_string(p.lines.size()) + "\n";
    for (const std::vector<double>& l : p.lines) {
      std::snprintf(buf, sizeof buf, "%.6f %.6f %.6f %.6f %.4f %.4f %.4f %.4f\n", l[0], l[1], l[2], l[3], l[4], l[5],
                    l[6], l[7]);
      s += buf;
    }
  }
  return s;
}

bool from_text(const std::string& text, std::vector<Picture>* out) {
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    if (word != "picture") return false;
    Picture p;
    size_t n = 0;
    if (!(in >> p.file >> n)) return false;
    for (size_t i = 0; i < n; ++i) {
      std::vector<double> l(8);
      for (double& v : l)
        if (!(in >> v)) return false;
      p.lines.push_back(l);
    }
    out->push_back(p);
  }
  return true;
}

}  // namespace scenario_lines
