// Hostile values everywhere the module reads: for each value class, every
// host and script dataref the module looked up is set to it, a batch at a
// time, while the flight runs on the ground, in the air, paused and in
// replay; then every writable dataref the module publishes is written with it
// through its accessor. The names come from the host's record of the
// module's own look-ups and registrations, so the test follows the binding
// and publication tables as they grow. Nothing may crash, misuse the host,
// publish a NaN or an infinity, or write one to the host or the scripts.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "host.h"
#include "soak_fixture.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

enum class Bytes { empty, full, all_values };

struct ValueClass {
  const char* name;
  float value;
  int as_int;   // the same class for integer names
  Bytes bytes;  // what byte names get alongside
};

const ValueClass kClasses[] = {
    {"NaN", kNaN, INT_MIN, Bytes::full},         {"+inf", kInf, INT_MAX, Bytes::all_values},
    {"-inf", -kInf, INT_MIN, Bytes::empty},      {"+1e30", 1e30f, INT_MAX, Bytes::full},
    {"-1e30", -1e30f, INT_MIN, Bytes::all_values}, {"-1", -1.0f, -1, Bytes::empty},
    {"0", 0.0f, 0, Bytes::all_values},           {"1e9", 1e9f, 1000000000, Bytes::full},
};

void PrintTo(const ValueClass& c, std::ostream* out) { *out << c.name; }

// Byte names: all NUL, full length with no terminator, or every byte value
// 0x01..0xFF in turn over the whole length.
std::string byte_text(Bytes kind, int size) {
  std::string s(static_cast<size_t>(size), '\0');
  for (int i = 0; i < size; ++i) {
    if (kind == Bytes::full) s[static_cast<size_t>(i)] = 'W';
    if (kind == Bytes::all_values) s[static_cast<size_t>(i)] = static_cast<char>(1 + i % 255);
  }
  return s;
}

// Sets one name to the class by its type (arrays over their whole length).
void set_hostile(const simhost::DatarefInfo& d, const ValueClass& c) {
  const size_t n = static_cast<size_t>(d.size > 0 ? d.size : 1);
  if (d.type & 8) {
    simhost::set_floats(d.name, std::vector<float>(n, c.value));
  } else if (d.type & 16) {
    simhost::set_ints(d.name, std::vector<int>(n, c.as_int));
  } else if (d.type & 32) {
    simhost::set_bytes(d.name, byte_text(c.bytes, d.size));
  } else if (d.type & 4) {
    simhost::set_double(d.name, static_cast<double>(c.value));
  } else if (d.type & 2) {
    simhost::set_float(d.name, c.value);
  } else if (d.type & 1) {
    simhost::set_int(d.name, c.as_int);
  }
}

// An outside name's value as it was, to put back after its batch.
struct Saved {
  simhost::DatarefInfo info;
  std::vector<float> floats;
  std::vector<int> ints;
  std::string bytes;
  double scalar = 0.0;
};

Saved save(const simhost::DatarefInfo& d) {
  Saved s;
  s.info = d;
  if (d.type & 8) {
    s.floats = simhost::get_floats(d.name);
  } else if (d.type & 16) {
    s.ints = simhost::get_ints(d.name);
  } else if (d.type & 32) {
    s.bytes = simhost::get_bytes(d.name);
  } else {
    s.scalar = simhost::get_double(d.name);
  }
  return s;
}

void restore(const Saved& s) {
  const simhost::DatarefInfo& d = s.info;
  if (d.type & 8) {
    simhost::set_floats(d.name, s.floats);
  } else if (d.type & 16) {
    simhost::set_ints(d.name, s.ints);
  } else if (d.type & 32) {
    simhost::set_bytes(d.name, s.bytes);
  } else if (d.type & 4) {
    simhost::set_double(d.name, s.scalar);
  } else if (d.type & 2) {
    simhost::set_float(d.name, static_cast<float>(s.scalar));
  } else {
    simhost::set_int(d.name, static_cast<int>(s.scalar));
  }
}

enum class Phase { ground, air, paused, replay };
const char* const kPhaseNames[] = {"on the ground", "in the air", "paused", "in replay"};

void enter(Phase phase) {
  const bool air = phase == Phase::air || phase == Phase::replay;
  simhost::set_double("sim/flightmodel/position/latitude", 47.45);
  simhost::set_double("sim/flightmodel/position/longitude", -122.31);
  simhost::set_double("sim/flightmodel/position/elevation", air ? 3000.0 : 120.0);
  for (const char* s : {"sim/flightmodel/position/indicated_airspeed", "sim/flightmodel/position/groundspeed",
                        "sim/flightmodel/position/true_airspeed"})
    simhost::set_float(s, air ? 140.0f : 0.0f);
  simhost::set_ints("sim/flightmodel2/gear/on_ground", std::vector<int>(3, air ? 0 : 1));
  simhost::set_int("sim/time/paused", phase == Phase::paused ? 1 : 0);
  simhost::set_int("sim/time/is_in_replay", phase == Phase::replay ? 1 : 0);
}

// The phase drivers stay as the phase sets them.
bool drives_phase(const std::string& name) {
  return name == "sim/time/paused" || name == "sim/time/is_in_replay";
}

constexpr int kBatches = 4;

class HostileValues : public ::testing::TestWithParam<ValueClass> {
 protected:
  void SetUp() override {
    simhost::Config config;
    config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    enter(Phase::air);
    simhost::frames(3, 1.0f / 30);
    started_ = true;
  }
  void TearDown() override {
    if (started_) {
      EXPECT_EQ(findings_.count(), 0) << findings_.report();
      simhost::stop();
      simhost::unload();
      EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
    }
    simhost::reset();
  }
  void run(int count, const std::string& phase) {
    for (int k = 0; k < count; ++k) simhost::frame(k % 5 == 4 ? 0.25f : 1.0f / 30);
    soak::watch(findings_, frame_, phase);
    frame_ += count;
  }
  soak::Findings findings_;
  int frame_ = 0;
  bool started_ = false;
};

TEST_P(HostileValues, EveryOutsideNameThenEveryWritableDataref) {
  const ValueClass& c = GetParam();
  std::vector<simhost::DatarefInfo> outside;
  for (const simhost::DatarefInfo& d : simhost::looked_up_datarefs())
    if (!drives_phase(d.name)) outside.push_back(d);
  ASSERT_GT(outside.size(), 1000u);

  // Each batch in the next phase, so every phase meets every class.
  const int frames = soak::frames(6, 3);
  for (int b = 0; b < kBatches; ++b) {
    const Phase phase = static_cast<Phase>(b % 4);
    std::vector<Saved> saved;
    for (size_t i = static_cast<size_t>(b); i < outside.size(); i += kBatches) saved.push_back(save(outside[i]));
    for (const Saved& s : saved) set_hostile(s.info, c);
    enter(phase);
    run(frames, std::string(c.name) + " in outside batch " + std::to_string(b) + ", " + kPhaseNames[b % 4]);
    for (const Saved& s : saved) restore(s);
    enter(Phase::air);
    run(frames, std::string("after outside batch ") + std::to_string(b) + " at " + c.name);
  }

  // The module's own writable datarefs, as another plug-in or script writes
  // them; what they publish must be finite at once, not only after a frame.
  for (Phase phase : {Phase::ground, Phase::air}) {
    enter(phase);
    for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
      if (!d.writable || d.name == "corvane/Debug") continue;  // the service channel saves and loads situations
      set_hostile(d, c);
    }
    findings_.add("non-finite value right after the writes", frame_,
                  std::string(c.name) + " written " + kPhaseNames[static_cast<int>(phase)],
                  soak::non_finite_published());
    run(frames, std::string(c.name) + " written into the module's datarefs");
  }
}

std::string class_name(const ::testing::TestParamInfo<ValueClass>& param) {
  const char* const labels[] = {"NaN", "PlusInf", "MinusInf", "Plus1e30", "Minus1e30", "MinusOne", "Zero", "Plus1e9"};
  return labels[param.index];
}
INSTANTIATE_TEST_SUITE_P(Classes, HostileValues, ::testing::ValuesIn(kClasses), class_name);

}  // namespace
