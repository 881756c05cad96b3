// The scenario player: runs the host's frames up to each step's moment, does
// the step as the pilot, the host or the aircraft's scripts would, and keeps
// the trace and the expectations' record.
#include "player.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <png.h>
#endif

#include "fly.h"
#include "host.h"
#include "scripts_lnav.h"
#include "tables.h"

namespace runner {
namespace {

constexpr int kFloatArray = 8, kIntArray = 16, kBytes = 32, kDouble = 4, kFloat = 2;
const char* const kActiveLeg = "zuvadud/D738/fms/vnav_idx";

bool is_array(int type) { return (type & (kFloatArray | kIntArray)) != 0; }

// One value (an element of an array, or a scalar) as a number.
double number_of(const scenario::Ref& r, int type, int element) {
  if (is_array(type)) {
    if (type & kFloatArray) {
      std::vector<float> v = simhost::get_floats(r.name);
      return element < static_cast<int>(v.size()) ? v[static_cast<size_t>(element)] : 0.0;
    }
    std::vector<int> v = simhost::get_ints(r.name);
    return element < static_cast<int>(v.size()) ? v[static_cast<size_t>(element)] : 0.0;
  }
  if (type & kDouble) return simhost::get_double(r.name);
  if (type & kFloat) return simhost::get_float(r.name);
  return simhost::get_int(r.name);
}

std::string format_number(double v, int type) {
  char buf[64];
  if (!is_array(type) && !(type & (kFloat | kDouble))) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
  } else if ((type & kIntArray) && !(type & kFloatArray)) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
  } else {
    std::snprintf(buf, sizeof buf, (type & kDouble) ? "%.17g" : "%.9g", v);
  }
  return buf;
}

int type_of(const std::string& name) {
  simhost::DatarefInfo info;
  return simhost::dataref_info(name, &info) ? info.type : 0;
}

// NAME=VALUE as print shows it: whole arrays and texts as --print does.
std::string shown(const scenario::Ref& r) {
  const int type = type_of(r.name);
  if (r.index >= 0) return format_number(number_of(r, type, r.index), type);
  std::string s;
  simhost::format_value(r.name, &s);
  return s;
}

std::string csv_text(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

// The panel as the pilot sees it: the drawing over the displays' black
// glass, an opaque picture (the buffer's alpha is only the coverage).
bool write_panel_png(const std::string& path, std::string* error) {
#ifdef _WIN32
  // The Windows host rasterises nothing; its own writer says so.
  return simhost::write_png(path, error);
#else
  const int n = simhost::kPanelSize;
  std::vector<png_byte> rows(static_cast<size_t>(n) * static_cast<size_t>(n) * 3);
  for (int y = 0; y < n; ++y) {
    png_byte* row = &rows[static_cast<size_t>(n - 1 - y) * static_cast<size_t>(n) * 3];
    for (int x = 0; x < n; ++x) {
      // Blending over the cleared buffer already weighted the colours.
      const uint32_t p = simhost::pixel(x, y);
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = static_cast<png_byte>((p >> (24 - 8 * c)) & 0xffu);
    }
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    *error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    *error = "PNG encoding failed for " + path;
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(n), static_cast<png_uint_32>(n), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < n; ++y) png_write_row(png, &rows[static_cast<size_t>(y) * static_cast<size_t>(n) * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  // The last of the picture reaches the file only when it is closed.
  if (std::fclose(f) != 0) {
    *error = "cannot write " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  return true;
#endif
}

class Runner {
 public:
  Runner(const scenario::Script& script, const Play& how) : script_(script), how_(how), dt_(how.dt) {}
  Outcome run();

 private:
  struct Release {
    long frame;
    std::string command;
  };

  // The run's time: frames at the step in force since it last changed.
  double now() const {
    return base_seconds_ + static_cast<double>(out_.frames - base_frame_) * static_cast<double>(dt_);
  }
  void advance_to(long frame);
  bool stopping() const;
  void releases_due();
  void one_frame();
  void trace_header();
  void trace_row();
  void step(const scenario::Step& s);
  bool present(const scenario::Step& s);
  void expect(const scenario::Step& s);
  bool met(const scenario::Step& s);
  void watches_due();

  bool rendered(long frame) const;

  const scenario::Script& script_;
  const Play& how_;
  std::vector<long> picture_frames_;  // frames whose panel a png step writes
  long end_frame_ = 0;
  Outcome out_;
  std::vector<Release> releases_;
  std::vector<const scenario::Step*> watches_;  // expectations held until a frame
  std::vector<std::pair<scenario::Ref, int>> columns_;  // ref and type, one per element
  int last_leg_ = -1;
  float dt_;                 // the frame step, from base_frame_ on
  long base_frame_ = 0;
  double base_seconds_ = 0;
};

void Runner::releases_due() {
  for (size_t i = 0; i < releases_.size();) {
    if (releases_[i].frame <= out_.frames) {
      simhost::command_end(releases_[i].command);
      releases_.erase(releases_.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

// Rasterising the 2048-pixel panel is most of a frame's cost, and only the
// frames a picture is taken after need pixels (or, for a caller that takes
// the lines, a feedback pass); the others draw the same calls unseen.
bool Runner::rendered(long frame) const {
  if (how_.picture_at_end && frame >= end_frame_) return true;
  return std::binary_search(picture_frames_.begin(), picture_frames_.end(), frame);
}

void Runner::one_frame() {
  releases_due();
  const bool picture = rendered(out_.frames + 1);
  // A caller that takes the lines captures only the frames it reads them
  // after: a feedback pass holds on to its vertex buffers, so a long flight
  // captured throughout grows by every frame.
  if (how_.on_png) simhost::set_draw_capture(picture);
  simhost::set_draw_unseen(!picture);
  simhost::frame(dt_);
  ++out_.frames;
  if (simhost::has_dataref(kActiveLeg)) {
    const int leg = static_cast<int>(simhost::get_float(kActiveLeg));
    if (leg != last_leg_) out_.active_legs.push_back(leg);
    last_leg_ = leg;
  }
  watches_due();
  if (how_.checks) how_.checks->after_frame(out_.frames, now(), how_.out);
  if (how_.trace_out && how_.trace_every > 0 && out_.frames % how_.trace_every == 0) trace_row();
}

bool Runner::stopping() const { return how_.stop && *how_.stop != 0; }

void Runner::advance_to(long frame) {
  while (out_.frames < frame && !stopping()) one_frame();
  releases_due();
}

void Runner::trace_header() {
  if (!how_.trace_out) return;
  std::string h = "frame,time";
  for (const scenario::Ref& r : how_.trace) {
    const int type = type_of(r.name);
    if (is_array(type) && r.index < 0) {
      const int n = simhost::array_size(r.name);
      for (int i = 0; i < n; ++i) {
        columns_.push_back({scenario::Ref{r.name, i}, type});
        h += "," + columns_.back().first.label();
      }
    } else {
      columns_.push_back({r, type});
      h += "," + r.label();
    }
  }
  std::fprintf(how_.trace_out, "%s\n", h.c_str());
}

void Runner::trace_row() {
  std::string row = std::to_string(out_.frames);
  char buf[32];
  std::snprintf(buf, sizeof buf, ",%.4f", now());
  row += buf;
  for (const auto& [ref, type] : columns_) {
    row += ',';
    if (type & kBytes) {
      row += csv_text(simhost::get_text(ref.name));
    } else {
      row += format_number(number_of(ref, type, ref.index < 0 ? 0 : ref.index), type);
    }
  }
  std::fprintf(how_.trace_out, "%s\n", row.c_str());
}

void Runner::expect(const scenario::Step& s) {
  ++out_.expects;
  if (!met(s) || out_.frames >= s.until_frame) return;
  watches_.push_back(&s);
}

// Expectations held over a stretch of frames: the first frame that breaks
// one is reported, and it is not checked again. Each ends at the frame its
// time falls on, on the scenario's clock, however the frame step runs.
void Runner::watches_due() {
  for (size_t i = 0; i < watches_.size();) {
    if (out_.frames > watches_[i]->until_frame || !met(*watches_[i])) {
      watches_.erase(watches_.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

bool Runner::met(const scenario::Step& s) {
  const int type = type_of(s.ref.name);
  std::string actual, wanted;
  bool ok = true;
  if (s.op == scenario::Op::ExpectLog) {
    ok = (simhost::log_text().find(s.text) != std::string::npos) != s.absent;
    if (ok) return true;
    ++out_.failed;
    std::fprintf(how_.err, "%s: the log holds %s\"%s\" (frame %ld, %.3f s)\n", scenario::where(s, how_.file).c_str(),
                 s.absent ? "" : "no ", s.text.c_str(), out_.frames, now());
    return false;
  }
  if (!simhost::has_dataref(s.ref.name)) {
    ++out_.failed;
    std::fprintf(how_.err, "%s: %s is absent (frame %ld, %.3f s)\n", scenario::where(s, how_.file).c_str(),
                 s.ref.label().c_str(), out_.frames, now());
    return false;
  }
  if (s.op == scenario::Op::ExpectText) {
    actual = simhost::get_text(s.ref.name);
    ok = actual.find(s.text) != std::string::npos;
    actual = "\"" + actual + "\"";
    wanted = "to hold \"" + s.text + "\"";
  } else {
    for (size_t k = 0; k < s.values.size(); ++k) {
      const int element = s.ref.index >= 0 ? s.ref.index : static_cast<int>(k);
      const double a = number_of(s.ref, type, element);
      // Compared at the dataref's own precision: 0.97 written and read back
      // through a float is 0.97 here.
      double e = s.values[k];
      if (!(type & kDouble) && (type & (kFloat | kFloatArray))) e = static_cast<float>(e);
      if (!(std::fabs(a - e) <= s.tolerance)) ok = false;
      if (k) actual += ',', wanted += ',';
      actual += format_number(a, type);
      wanted += format_number(s.values[k], type);
    }
    if (s.tolerance > 0) wanted += " +- " + format_number(s.tolerance, kFloat | kDouble);
  }
  if (ok) return true;
  ++out_.failed;
  std::fprintf(how_.err, "%s: %s is %s, expected %s (frame %ld, %.3f s)\n", scenario::where(s, how_.file).c_str(),
               s.ref.label().c_str(), actual.c_str(), wanted.c_str(), out_.frames, now());
  return false;
}

// A value a step writes or prints is there now: an add-on's may have gone,
// or not yet come. A `set` of an absent value is a failure.
bool Runner::present(const scenario::Step& s) {
  if (simhost::has_dataref(s.ref.name)) return true;
  ++out_.failed;
  std::fprintf(how_.err, "%s: %s is absent, not set (frame %ld, %.3f s)\n", scenario::where(s, how_.file).c_str(),
               s.ref.label().c_str(), out_.frames, now());
  return false;
}

void Runner::step(const scenario::Step& s) {
  using scenario::Op;
  switch (s.op) {
    case Op::Set:
      if (present(s)) apply_set(s);
      break;
    case Op::Command:
      if (s.phase == scenario::Phase::Begin) {
        simhost::command_begin(s.ref.name);
      } else if (s.phase == scenario::Phase::End) {
        simhost::command_end(s.ref.name);
      } else {
        simhost::command_once(s.ref.name);
      }
      break;
    case Op::Hold:
      simhost::command_begin(s.ref.name);
      releases_.push_back({out_.frames + s.hold_frames, s.ref.name});
      break;
    case Op::Message:
      simhost::send_message(simhost::kHostId, s.message,
                            reinterpret_cast<void*>(static_cast<intptr_t>(s.param)));
      break;
    case Op::Pause:
      simhost::set_int("sim/time/paused", s.on ? 1 : 0);
      break;
    case Op::Replay:
      simhost::set_int("sim/time/is_in_replay", s.on ? 1 : 0);
      if (simhost::has_dataref("sim/operation/prefs/replay_mode"))
        simhost::set_int("sim/operation/prefs/replay_mode", s.on ? 1 : 0);
      break;
    case Op::Fly:
      simhost::set_flying(s.on);
      break;
    case Op::Plugin:
      if (s.on) {
        simhost::enable();
      } else {
        simhost::disable();
      }
      break;
    case Op::Aircraft: {
      std::string error;
      if (!simhost::change_aircraft(s.text, &error)) {
        ++out_.failed;
        std::fprintf(how_.err, "%s: aircraft %s: %s (frame %ld, %.3f s)\n", scenario::where(s, how_.file).c_str(),
                     s.text.c_str(), error.c_str(), out_.frames, now());
      }
      break;
    }
    case Op::ScriptsLnav:
      simhost::set_scripts_lnav(s.on);
      break;
    case Op::Date:
      simhost::set_calendar(s.seconds);
      break;
    case Op::Invariants:
      if (how_.checks) how_.checks->enable(s.on);
      break;
    case Op::Alert:  // read by the checks before the first frame
    case Op::LightsDark:
      break;
    case Op::Dt:
      base_seconds_ = now();
      base_frame_ = out_.frames;
      dt_ = static_cast<float>(s.values[0]);
      break;
    case Op::Print:
      for (const scenario::Ref& r : s.prints)
        std::fprintf(how_.out, "%ld %.3f %s=%s\n", out_.frames, now(), r.label().c_str(),
                     simhost::has_dataref(r.name) ? shown(r).c_str() : "(absent)");
      break;
    case Op::Expect:
    case Op::ExpectText:
    case Op::ExpectLog:
      expect(s);
      break;
    case Op::Addon: {
      std::vector<std::string> without;
      for (const scenario::Ref& r : s.prints) without.push_back(r.name);
      simhost::set_addon(s.ref.name, addon_datarefs(how_.addon_catalog, s.ref.name, without), s.on);
      break;
    }
    case Op::Terrain:
      if (!s.values.empty()) {
        const float height = static_cast<float>(s.values[0]);
        simhost::set_terrain([height](float, float) { return height; });
      } else if (how_.field_terrain.empty() || !simhost::set_field_terrain(how_.field_terrain)) {
        simhost::set_terrain([](float, float) { return 0.0f; });
      }
      break;
    case Op::Traffic:
      if (!s.on) {
        simhost::remove_traffic(static_cast<int>(s.param));
      } else {
        simhost::TrafficTarget t;
        t.lat = s.values[0];
        t.lon = s.values[1];
        t.elevation_m = s.values[2];
        t.track_deg = s.values[3];
        t.speed_mps = s.values[4];
        t.vs_mps = s.values[5];
        simhost::set_traffic(static_cast<int>(s.param), t);
      }
      break;
    case Op::Png:
      if (how_.on_png) {
        how_.on_png(s.text);
        out_.pictures.push_back(s.text);
      } else {
        std::string error;
        const std::string file = in_folder(how_.out_dir, s.text);
        if (write_panel_png(file, &error)) {
          out_.pictures.push_back(file);
        } else {
          std::fprintf(how_.err, "%s: %s\n", scenario::where(s, how_.file).c_str(), error.c_str());
          ++out_.picture_errors;
        }
      }
      break;
  }
}

Outcome Runner::run() {
  for (const scenario::Step& s : script_.steps)
    if (s.op == scenario::Op::Png) picture_frames_.push_back(s.frame);
  end_frame_ = std::max(script_.last_frame, how_.min_frames);
  trace_header();
  for (const scenario::Step& s : script_.steps) {
    advance_to(s.frame);
    if (stopping()) break;
    step(s);
  }
  advance_to(std::max(script_.last_frame, how_.min_frames));
  while (!releases_.empty() && !stopping()) one_frame();
  out_.stopped = stopping();
  simhost::set_draw_unseen(false);
  if (how_.on_png) simhost::set_draw_capture(true);
  out_.seconds = now();
  if (how_.checks) out_.checks_failed = !how_.checks->finish(now(), how_.out);
  std::fflush(how_.out);
  if (how_.trace_out) std::fflush(how_.trace_out);
  return out_;
}

}  // namespace

scenario::Lookup host_lookup(const std::string& addon_catalog) {
  scenario::Lookup l;
  std::vector<AddonEntry> addons;
  if (!addon_catalog.empty()) addon_entries(addon_catalog, "all", &addons);
  l.dataref = [addons](const std::string& name, scenario::Shape* out) {
    simhost::DatarefInfo info;
    if (!simhost::dataref_info(name, &info)) {
      for (const AddonEntry& e : addons) {
        if (e.name != name) continue;
        out->type = e.type;
        out->size = e.size;
        out->settable = true;
        return true;
      }
      return false;
    }
    out->type = info.type;
    out->size = (info.type & (kFloatArray | kIntArray | kBytes)) ? simhost::array_size(name) : 1;
    // The scenario plays the host and the scripts; the plug-in's own values
    // take only the writes the plug-in accepts.
    out->settable = info.owner != simhost::Owner::Plugin || info.writable;
    return true;
  };
  l.command = [](const std::string& name) { return simhost::has_command(name); };
  l.read = read_scenario;
  l.aircraft = [](const std::string& file) {
    std::error_code ec;
    return !file.empty() && file.find_first_of("/\\") == std::string::npos &&
           std::filesystem::is_regular_file(simhost::root() + simhost::config().aircraft + file, ec);
  };
  if (!addons.empty()) {
    l.addon = [addons](const std::string& addon, std::vector<std::string>* names) {
      bool any = false;
      for (const AddonEntry& e : addons) {
        if (e.addon != addon) continue;
        names->push_back(e.name);
        any = true;
      }
      return any;
    };
  }
  return l;
}

bool read_scenario(const std::string& file, std::string* text, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    *error = file + ": a folder, not a scenario file";
    return false;
  }
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) {
    *error = file + ": cannot read the file (" + std::strerror(errno) + ")";
    return false;
  }
  text->clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    *error = file + ": cannot read the file to its end";
    return false;
  }
  return true;
}

bool load_scenario(const std::string& file, double dt, scenario::Script* out, std::string* error) {
  std::string text;
  return read_scenario(file, &text, error) && scenario::parse(text, file, dt, host_lookup(), out, error);
}

std::string set_target(const std::string& assignment) {
  std::string name = assignment.substr(0, assignment.find('='));
  name = name.substr(0, name.find('['));
  const size_t first = name.find_first_not_of(" \t");
  const size_t last = name.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

bool parse_set(const std::string& assignment, scenario::Step* out, std::string* error,
               const scenario::Rules& rules) {
  // One line, as a scenario's `set`: a line break is no part of a value.
  const size_t eq = assignment.find('=');
  if (assignment.find_first_of("\r\n") != std::string::npos || eq == std::string::npos || eq == 0) {
    *error = "--set needs NAME=VALUE on one line";
    return false;
  }
  return scenario::parse_assignment(std::string_view(assignment).substr(0, eq),
                                    std::string_view(assignment).substr(eq + 1), host_lookup(), out, error, rules);
}

void apply_set(const scenario::Step& s) {
  const int type = type_of(s.ref.name);
  if (type & kBytes) {
    // Terminated when shorter than the dataref.
    std::string bytes = s.text;
    if (static_cast<int>(bytes.size()) < simhost::array_size(s.ref.name)) bytes.push_back('\0');
    simhost::set_bytes(s.ref.name, bytes);
    return;
  }
  // Numbers as the dataref's type holds them (the parser let through only
  // what that type can be given; a hostile run's beyond its range).
  const int offset = s.ref.index >= 0 ? s.ref.index : 0;
  if (type & kFloatArray) {
    std::vector<float> v;
    for (double x : s.values) v.push_back(static_cast<float>(scenario::as_float(x)));
    simhost::set_floats(s.ref.name, v, offset);
  } else if (type & kIntArray) {
    std::vector<int> v;
    for (double x : s.values) v.push_back(scenario::as_int(x));
    simhost::set_ints(s.ref.name, v, offset);
  } else if (type & kDouble) {
    simhost::set_double(s.ref.name, s.values.at(0));
  } else if (type & kFloat) {
    simhost::set_float(s.ref.name, static_cast<float>(scenario::as_float(s.values.at(0))));
  } else {
    simhost::set_int(s.ref.name, scenario::as_int(s.values.at(0)));
  }
}

bool parse_trace(const std::string& list, std::vector<scenario::Ref>* out, std::string* error) {
  // The same reference rules as a print step.
  std::string text = "print";
  std::stringstream ss(list);
  std::string name;
  while (std::getline(ss, name, ',')) text += " " + name;
  scenario::Script s;
  if (!scenario::parse(text, "--trace", 1.0, host_lookup(), &s, error)) {
    if (error->rfind("--trace:1: ", 0) == 0) *error = "--trace: " + error->substr(11);
    return false;
  }
  *out = s.steps.at(0).prints;
  return true;
}

Outcome play(const scenario::Script& script, const Play& how) { return Runner(script, how).run(); }

namespace {

std::vector<AddonEntry> read_catalog(const std::string& catalog) {
  std::vector<AddonEntry> out;
  std::vector<std::pair<int, std::string>> lines;
  std::string error;
  if (!table_lines(catalog, &lines, &error)) return out;
  for (const auto& line : lines) {
    const std::vector<std::string> f = fields(line.second);
    if (f.size() < 5) continue;
    AddonEntry e;
    e.addon = f[0];
    e.name = f[1];
    e.type = std::atoi(f[2].c_str());
    e.size = std::atoi(f[3].c_str());
    e.writable = f[4] == "1";
    if (f.size() > 5) e.def = f[5];
    out.push_back(e);
  }
  return out;
}

}  // namespace

std::vector<std::string> addon_names(const std::string& catalog) {
  std::vector<std::string> names;
  for (const AddonEntry& e : read_catalog(catalog))
    if (std::find(names.begin(), names.end(), e.addon) == names.end()) names.push_back(e.addon);
  return names;
}

std::vector<simhost::CatalogEntry> addon_datarefs(const std::string& catalog, const std::string& name,
                                                  const std::vector<std::string>& without) {
  std::vector<AddonEntry> entries;
  std::vector<simhost::CatalogEntry> out;
  addon_entries(catalog, name, &entries);
  for (const AddonEntry& e : entries)
    if (std::find(without.begin(), without.end(), e.name) == without.end())
      out.push_back({e.name, e.type, e.size, e.writable, e.def});
  return out;
}

std::string in_folder(const std::string& dir, const std::string& file) {
  if (dir.empty() || std::filesystem::path(file).is_absolute()) return file;
  return (std::filesystem::path(dir) / file).string();
}

bool addon_entries(const std::string& catalog, const std::string& name, std::vector<AddonEntry>* out) {
  bool found = false;
  for (const AddonEntry& e : read_catalog(catalog)) {
    if (name == "all" || e.addon == name) {
      out->push_back(e);
      found = true;
    }
  }
  return found;
}

}  // namespace runner
