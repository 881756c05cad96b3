// The built module's service channel as the host and the scripts see it:
// writes to "corvane/Debug" through the host, the situation files the host is
// asked for, the option lines in the log, the status read back, the load loop
// working again after a situation load, and the CG reference written to the
// host's flight model for a generic aircraft file.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "host.h"
#include "platform/xplm.h"

namespace {

constexpr const char* kDebug = "corvane/Debug";

class ServiceChannel : public ::testing::Test {
 protected:
  void TearDown() override { simhost::reset(); }
  void load(const std::string& acf = "737_80NG.acf", int host_version = 120000,
            simhost::Config config = simhost::Config()) {
    config.acf = acf;
    config.host_version = host_version;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  // As the scripts or another plug-in write it: through the host's int setter.
  static bool write_debug(int value) {
    XPLMDataRef ref = XPLMFindDataRef(kDebug);
    if (ref == nullptr) return false;
    XPLMSetDatai(ref, value);
    return true;
  }
  // Host misuses that touch the service channel, the situation files or the
  // CG reference (other steps' misuses are theirs to catch).
  static std::vector<std::string> own_problems() {
    std::vector<std::string> out;
    for (const std::string& p : simhost::problems())
      if (p.find("DataFile") != std::string::npos || p.find("corvane/Debug") != std::string::npos ||
          p.find("cgz_ref_to_default") != std::string::npos || p.find("real_cg") != std::string::npos)
        out.push_back(p);
    return out;
  }
  static simhost::DataFileCall last_file_call() {
    const auto& calls = simhost::data_file_calls();
    return calls.empty() ? simhost::DataFileCall{} : calls.back();
  }
};

TEST_F(ServiceChannel, ReadsZeroAtStartAndEachWriteLeavesItsStatus) {
  load();
  EXPECT_EQ(simhost::get_int(kDebug), 0);
  struct Step {
    int value, status;
  } steps[] = {{903, 2}, {1999, 1}, {2000, 0}, {803, 2}, {0, 0}, {-3, 1}, {2257, 1}, {2031, 0}};
  for (const Step& s : steps) {
    ASSERT_TRUE(write_debug(s.value));
    EXPECT_EQ(simhost::get_int(kDebug), s.status) << s.value;
    simhost::frames(2, 1.0f / 30);
    EXPECT_EQ(simhost::get_int(kDebug), s.status) << s.value << " after frames";
  }
  EXPECT_TRUE(own_problems().empty());
}

// A save the host cannot write: the folder is gone, read-only, or the full
// path is too long for the file system. The scripts read status 1, not the
// status of a situation command done; the log names the file; no file is left.
TEST_F(ServiceChannel, AFailedSaveIsLoggedAndNotReportedDone) {
  namespace fs = std::filesystem;
  char tmpl[] = "/tmp/corvane-long-root-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string base = std::string(tmpl) + "/";
  std::string long_root = base;
  // 4070 characters: "Output/situations" still fits the file system's 4095, the file does not.
  while (long_root.size() + 200 < 4070) long_root += std::string(199, 'd') + "/";
  long_root += std::string(4070 - long_root.size() - 1, 'e') + "/";
  for (const char* what : {"missing folder", "read-only folder", "path too long"}) {
    simhost::Config config;
    if (std::string(what) == "read-only folder") config.read_only_folders = {"Output/situations/"};
    if (std::string(what) == "path too long") {
      config.root = long_root;
      fs::create_directories(long_root + "Output/situations");
    }
    load("737_80NG.acf", 120000, config);
    const std::string folder = simhost::root() + "Output/situations";
    if (std::string(what) == "missing folder") fs::remove_all(folder);
    ASSERT_TRUE(write_debug(903));
    EXPECT_EQ(simhost::get_int(kDebug), 1) << what;
    EXPECT_EQ(last_file_call().result, 0) << what;
    EXPECT_TRUE(simhost::log_contains(
        "Corvane plugin: WARNING - could not save situation file >Output/situations/737_80NG_03.sit< !!!"))
        << what;
    std::error_code ec;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder, ec), fs::directory_iterator()), 0) << what;
    if (std::string(what) == "missing folder") {
      // The folder back: the same command saves and says so.
      fs::create_directories(folder);
      ASSERT_TRUE(write_debug(903));
      EXPECT_EQ(simhost::get_int(kDebug), 2);
      EXPECT_TRUE(fs::exists(folder + "/737_80NG_03.sit"));
    }
    EXPECT_TRUE(own_problems().empty()) << what;
    simhost::reset();
  }
  fs::remove_all(base);
}

// A slot never saved: nothing is loaded and nothing is reset (the load loop
// does not run again); the scripts read 1 and the log names the file. Saved,
// the same slot loads.
TEST_F(ServiceChannel, ALoadOfANeverSavedSlotChangesNothingAndIsLogged) {
  load();
  simhost::frames(3, 1.0f / 30);
  const char* ias = "sim/operation/override/override_ias";
  const int after_start = simhost::counts(ias).writes;
  simhost::clear_log();
  ASSERT_TRUE(write_debug(803));
  EXPECT_EQ(simhost::get_int(kDebug), 1);
  EXPECT_TRUE(simhost::data_file_calls().empty());
  EXPECT_EQ(simhost::log_lines(), std::vector<std::string>{
                                      "Corvane plugin: WARNING - could not load situation file "
                                      ">Output/situations/737_80NG_03.sit< !!!"});
  simhost::frames(3, 1.0f / 30);
  EXPECT_EQ(simhost::counts(ias).writes, after_start);
  EXPECT_EQ(simhost::get_int(kDebug), 1);
  ASSERT_TRUE(write_debug(903));
  ASSERT_TRUE(write_debug(803));
  EXPECT_EQ(simhost::get_int(kDebug), 2);
  EXPECT_EQ(last_file_call().path, "Output/situations/737_80NG_03.sit");
  EXPECT_FALSE(last_file_call().save);
  EXPECT_EQ(last_file_call().result, 1);
  simhost::frames(3, 1.0f / 30);
  EXPECT_EQ(simhost::counts(ias).writes, after_start + 1);
  EXPECT_TRUE(own_problems().empty());
}

TEST_F(ServiceChannel, SlotFilesCarryThePrefixOfTheLoadedAircraft) {
  struct Case {
    const char* acf;
    int value;
    const char* path;
  } cases[] = {
      {"737_80NG.acf", 901, "Output/situations/737_80NG_01.sit"},
      {"737_60NG.acf", 804, "Output/situations/737_60NG_04.sit"},
      {"737_80MX.acf", 801, "Output/situations/737_80MX_01.sit"},
      {"737_1KMX.acf", 909, "Output/situations/737_1KMX_00.sit"},
      {"d738.acf", 808, "Output/situations/Velar_08.sit"},
      {"b739_4k.acf", 801, "Output/situations/Kesti_01.sit"},
      {"b737.acf", 902, "Output/situations/Kemra_02.sit"},
      {"B737.acf", 905, "Output/situations/05.sit"},
  };
  for (const Case& c : cases) {
    load(c.acf);
    simhost::frames(1, 1.0f / 30);  // the model watch reads the generic model name
    if (c.value < 901) {
      ASSERT_TRUE(write_debug(c.value + 100));  // a slot is loaded once saved
    }
    ASSERT_TRUE(write_debug(c.value));
    EXPECT_EQ(last_file_call().path, c.path) << c.acf;
    EXPECT_EQ(last_file_call().save, c.value >= 901) << c.acf;
  }
}

// A MAX saved under the bare slot name before it had a prefix of its own: a
// load finds that save while its own file is missing, and its own once there.
// Another model never takes a bare-named save for its own, nor a MAX the
// bare-named save of an aircraft file the plug-in does not know.
TEST_F(ServiceChannel, AMaxStillLoadsWhatItSavedUnderTheBareName) {
  struct Case {
    const char* acf;
    const char* saved_by;  // the aircraft that saved slot 4 under the bare name, else an old MAX
    bool own_file;
    int status;
    const char* loaded;
  } cases[] = {
      {"737_2HMX.acf", nullptr, false, 2, "Output/situations/04.sit"},
      {"737_2HMX.acf", nullptr, true, 2, "Output/situations/737_2HMX_04.sit"},
      {"737_80NG.acf", nullptr, false, 1, nullptr},
      {"737_80MX.acf", "B737.acf", false, 1, nullptr},
  };
  namespace fs = std::filesystem;
  const fs::path shared = fs::temp_directory_path() / ("corvane-slots-" + std::to_string(::getpid()));
  for (const Case& c : cases) {
    simhost::Config config;
    if (c.saved_by != nullptr) {
      fs::remove_all(shared);
      fs::create_directories(shared / "Aircraft/D738");
      fs::create_directories(shared / "Output/situations");
      config.root = shared.string() + "/";
      load(c.saved_by, 120000, config);
      simhost::frames(1, 1.0f / 30);
      ASSERT_TRUE(write_debug(904));
      ASSERT_EQ(simhost::get_int(kDebug), 2);
    }
    load(c.acf, 120000, config);
    simhost::frames(1, 1.0f / 30);
    if (c.saved_by == nullptr) std::ofstream(simhost::root() + "Output/situations/04.sit") << "saved before\n";
    if (c.own_file) {
      ASSERT_TRUE(write_debug(904));
    }
    ASSERT_TRUE(write_debug(804));
    EXPECT_EQ(simhost::get_int(kDebug), c.status) << c.acf;
    if (c.loaded != nullptr) {
      EXPECT_EQ(last_file_call().path, c.loaded) << c.acf;
      EXPECT_FALSE(last_file_call().save) << c.acf;
    } else {
      EXPECT_TRUE(simhost::data_file_calls().empty()) << c.acf;
    }
  }
  fs::remove_all(shared);
}

// The section of a text from its heading to the next: empty when absent.
std::string text_section(const char* file, const std::string& heading, const std::string& next) {
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t from = text.find(heading);
  if (from == std::string::npos) return {};
  return text.substr(from, text.find(next, from + heading.size()) - from);
}

// A file name standing whole in plain text: "01.sit" is not named by
// "737_80NG_01.sit" nor by "01.sit.other".
bool names_file(const std::string& text, const std::string& name) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    const size_t end = at + name.size();
    const bool starts = at == 0 || (!part(text[at - 1]) && text[at - 1] != '.');
    const bool ends = end == text.size() || (!part(text[end]) && !(text[end] == '.' && end + 1 < text.size() &&
                                                                    part(text[end + 1])));
    if (starts && ends) return true;
  }
  return false;
}

// The rule a user deleting old saves relies on, stated in one sentence of a
// text: a MAX loads an old bare file while its own is missing, but not one
// with the other aircraft's mark beside it.
bool states_bare_save_rule(const std::string& text) {
  std::string flat;
  for (char c : text) flat += (c == '\n' || c == '`') ? ' ' : c;
  size_t from = 0;
  while (from < flat.size()) {
    size_t end = flat.find(". ", from);
    while (end != std::string::npos && end > 0 && flat[end - 1] == '.') end = flat.find(". ", end + 1);  // "..."
    if (end == std::string::npos) end = flat.size();
    const std::string sentence = flat.substr(from, end - from);
    const auto has = [&](const char* word) { return sentence.find(word) != std::string::npos; };
    if (has("MAX") && has("loads") && has("01.sit") && has("missing") && has(".other") &&
        (has("unless") || has("but not")))
      return true;
    from = end + 2;
  }
  return false;
}

// What a user deletes on uninstalling is what the README names, and the
// README the install archive carries: every file a save leaves in the
// situations folder, from a known model, a generic file and an aircraft file
// the plug-in does not know (its slot read as 01), and when a MAX still
// loads a bare one.
TEST_F(ServiceChannel, TheReadmeNamesEveryFileASaveLeaves) {
  const std::string section = text_section(CORVANE_SOURCE_DIR "/README.md", "## Uninstalling", "\n## ");
  ASSERT_FALSE(section.empty());
  const std::string archive = text_section(CORVANE_SOURCE_DIR "/scripts/package-readme.txt", "UNINSTALL\n",
                                           "\nTROUBLESHOOTING");
  ASSERT_FALSE(archive.empty());
  EXPECT_TRUE(states_bare_save_rule(section)) << "the README's uninstall section no longer says when a MAX loads "
                                                 "a bare save";
  EXPECT_TRUE(states_bare_save_rule(archive)) << "the install archive's README no longer says when a MAX loads "
                                                 "a bare save";
  std::string without = archive;
  ASSERT_NE(without.find("a MAX loads"), std::string::npos);
  without.erase(without.find("a MAX loads"));
  EXPECT_FALSE(states_bare_save_rule(without));
  namespace fs = std::filesystem;
  const fs::path shared = fs::temp_directory_path() / ("corvane-leaves-" + std::to_string(::getpid()));
  fs::remove_all(shared);
  fs::create_directories(shared / "Aircraft/D738");
  fs::create_directories(shared / "Output/situations");
  simhost::Config config;
  config.root = shared.string() + "/";
  for (const char* acf : {"737_80NG.acf", "737_1KMX.acf", "d738.acf", "B737.acf"}) {
    load(acf, 120000, config);
    simhost::frames(1, 1.0f / 30);
    ASSERT_TRUE(write_debug(904));
    ASSERT_EQ(simhost::get_int(kDebug), 2) << acf;
  }
  int files = 0;
  for (const auto& entry : fs::directory_iterator(shared / "Output/situations")) {
    std::string name = entry.path().filename().string();
    name.replace(name.find("04"), 2, "01");
    EXPECT_NE(section.find("`" + name + "`"), std::string::npos) << name << " is not named in the README";
    EXPECT_TRUE(names_file(archive, name)) << name << " is not named in the install archive's README";
    ++files;
  }
  EXPECT_EQ(files, 5);
  fs::remove_all(shared);
}

TEST_F(ServiceChannel, ASituationLoadMakesTheLoadLoopWorkAgainAndASaveDoesNot) {
  load();
  simhost::frames(3, 1.0f / 30);
  const char* ias = "sim/operation/override/override_ias";
  const int after_start = simhost::counts(ias).writes;  // the load loop's once-per-load write
  EXPECT_EQ(after_start, 1);
  ASSERT_TRUE(write_debug(905));
  simhost::frames(3, 1.0f / 30);
  EXPECT_EQ(simhost::counts(ias).writes, after_start);
  ASSERT_TRUE(write_debug(805));
  simhost::frames(3, 1.0f / 30);
  EXPECT_EQ(simhost::counts(ias).writes, after_start + 1);
  EXPECT_TRUE(own_problems().empty());
}

TEST_F(ServiceChannel, GenericAircraftOnTheGroundGetsTheLoweredCgUntilTheOptionIsOff) {
  load("b737.acf", 120000);
  const char* cg_ref = "sim/flightmodel/misc/cgz_ref_to_default";
  simhost::set_float("zuvadud/D738/real_cg", 17.2f);
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
  simhost::set_float("sim/flightmodel/position/theta", 2.0f);
  simhost::frames(100, 0.1f);  // the shift needs 8 s
  EXPECT_NEAR(simhost::get_float(cg_ref), 17.2 - 16.687292 - 0.4, 1e-5);

  ASSERT_TRUE(write_debug(2001));  // CG shift off
  const int writes = simhost::counts(cg_ref).writes;
  simhost::set_float("zuvadud/D738/real_cg", 18.0f);
  simhost::frames(10, 0.1f);
  EXPECT_EQ(simhost::counts(cg_ref).writes, writes);
  EXPECT_NEAR(simhost::get_float(cg_ref), 17.2 - 16.687292 - 0.4, 1e-5);

  ASSERT_TRUE(write_debug(2000));
  simhost::frames(1, 0.1f);
  EXPECT_NEAR(simhost::get_float(cg_ref), 18.0 - 16.687292 - 0.4, 1e-5);
  EXPECT_TRUE(own_problems().empty());
}

}  // namespace
