// The line segments a sample scenario draws at each of its `png` steps,
// captured instead of rendered, as text: one "picture FILE N" header per
// step, then N lines "x0 y0 x1 y1 r g b a". Shared by the reference test and
// the tool that rewrites the references.
#pragma once

#include <string>
#include <vector>

namespace scenario_lines {

struct Picture {
  std::string file;
  std::vector<std::vector<double>> lines;  // 8 numbers each
};

// Plays `scenario` in a fresh host on the sample root with `module`; false
// with `error` when the module does not load or the scenario does not parse.
bool capture(const std::string& module, const std::string& root, const std::string& scenario,
             std::vector<Picture>* out, std::string* error);

std::string to_text(const std::vector<Picture>& pictures);
bool from_text(const std::string& text, std::vector<Picture>* out);

}  // namespace scenario_lines
