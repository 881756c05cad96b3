// The start of a census flight, shared by the censuses that fly from
// tests/simhost/census/: a host made from `config` on the sample field's
// terrain, the plug-in loaded, and the start's scenario played without its
// output. False with the reason when the module does not load, the start
// does not parse, or an expectation of the start fails.
#pragma once

#include <cstdio>
#include <string>

#include "host.h"
#include "player.h"

namespace census {

inline bool play_start(const std::string& file, const std::string& text, const simhost::Config& config,
                       const std::string& addon_catalog, float dt, std::string* error) {
  simhost::reset(config);
  simhost::set_field_terrain(config.root + config.aircraft + "Velar_apt.dat");
  if (!simhost::load_and_start(CORVANE_MODULE_PATH, error)) return false;
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
  const runner::Outcome o = runner::play(script, how);
  if (sink != nullptr) std::fclose(sink);
  // The panel is drawn in feedback mode from here on: the plug-in's calls
  // run and are checked, nothing is rasterised (the panel's fill is most of
  // a frame's cost) and the renderer is not waited for.
  simhost::set_draw_capture(true);
  if (o.failed != 0) *error = file + ": " + std::to_string(o.failed) + " failed expectations in the start";
  return o.failed == 0;
}

}  // namespace census
