// Fuzz target of the scenario parser: the input is a scenario file, parsed
// against a small fixed set of datarefs (one of each type) and commands. The
// parser either accepts it, with every step in order and in range, or
// rejects it with a "FILE:LINE: " message. Every file it includes is the
// input again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scenario.h"

namespace {

struct Known {
  const char* name;
  scenario::Shape shape;
};
const Known kDatarefs[] = {
    {"i", {1, 1, true}},     {"f", {2, 1, true}},   {"d", {4, 1, true}},   {"fa", {8, 16, true}},
    {"ia", {16, 4, true}},   {"fia", {24, 8, true}}, {"b", {32, 64, true}}, {"ro", {2, 1, false}},
};

std::string_view input;  // the fuzz input being parsed

scenario::Lookup lookup() {
  scenario::Lookup l;
  l.dataref = [](const std::string& name, scenario::Shape* out) {
    for (const Known& k : kDatarefs)
      if (name == k.name) return *out = k.shape, true;
    return false;
  };
  l.command = [](const std::string& name) { return name == "c" || name == "sim/c"; };
  // Every included file is the input itself, but one named "missing...":
  // includes nest, loop and fan out as far as the input makes them.
  l.read = [](const std::string& path, std::string* out, std::string* error) {
    if (path.rfind("missing", 0) == 0) return *error = path + ": cannot read the file", false;
    *out = std::string(input);
    return true;
  };
  return l;
}

}  // namespace

namespace {

// Parses once as a normal run and once as a hostile one (which takes any
// number a float holds as a frame step).
void check(std::string_view text, const scenario::Lookup& l, bool hostile) {
  scenario::Script script;
  std::string error;
  scenario::Rules rules;
  rules.hostile = hostile;
  const double dt = 1.0 / 30.0;
  if (!scenario::parse(text, "f", dt, l, &script, &error, rules)) {
    // Named at its line: of the scenario, or of a file it included.
    if (error.rfind("f:", 0) != 0 && error.find(" (included from f:") == std::string::npos) __builtin_trap();
    return;
  }
  long previous = 0;
  for (const scenario::Step& s : script.steps) {
    if (s.frame < previous || s.frame > scenario::kMaxFrames) __builtin_trap();
    previous = s.frame;
    if (s.op == scenario::Op::Hold && s.hold_frames < 1) __builtin_trap();
    // An expectation held to a time ends at or after its own frame.
    if (s.until_frame >= 0 && (s.until_frame < s.frame || s.until_frame > 2 * scenario::kMaxFrames))
      __builtin_trap();
    if (s.ref.index >= 0) {
      bool inside = false;
      for (const Known& k : kDatarefs)
        if (s.ref.name == k.name && s.ref.index < k.shape.size) inside = true;
      if (!inside) __builtin_trap();
    }
  }
  if (script.last_frame < previous || script.last_frame > scenario::kMaxFrames) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const scenario::Lookup l = lookup();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  input = text;
  check(text, l, false);
  check(text, l, true);
  return 0;
}
