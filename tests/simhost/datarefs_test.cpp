// Dataref semantics of the simulated host: catalogs, array offsets and
// counts, null-buffer sizes, read-only refusal, null handles, accessors.
#include "host.h"
#include "platform/xplm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

simhost::Config with(std::vector<simhost::CatalogEntry> extra) {
  simhost::Config c;
  c.extra = std::move(extra);
  return c;
}

TEST(SimhostDatarefs, ArrayReadsFollowOffsetAndCount) {
  simhost::reset(with({{"t/fa", xplmType_FloatArray, 5, true, "1,2,3,4,5"}}));
  XPLMDataRef r = XPLMFindDataRef("t/fa");
  ASSERT_NE(r, nullptr);
  struct Case {
    int offset, max, want_count;
    float first;
  } cases[] = {{0, 5, 5, 1}, {3, 10, 2, 4}, {4, 1, 1, 5}, {5, 3, 0, -1}, {-1, 3, 0, -1}, {0, 0, 0, -1}};
  for (const Case& c : cases) {
    float buf[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(XPLMGetDatavf(r, buf, c.offset, c.max), c.want_count) << c.offset << "," << c.max;
    EXPECT_EQ(buf[0], c.first) << c.offset << "," << c.max;
    EXPECT_EQ(buf[c.want_count], -1.0f) << "nothing written past the count";
  }
  EXPECT_EQ(XPLMGetDatavf(r, nullptr, 0, 0), 5);
}

TEST(SimhostDatarefs, ArrayWritesStopAtTheEnd) {
  simhost::reset(with({{"t/ia", xplmType_IntArray, 4, true, ""}, {"t/b", xplmType_Data, 6, true, "abc"}}));
  int in[4] = {7, 8, 9, 10};
  XPLMSetDatavi(XPLMFindDataRef("t/ia"), in, 2, 4);
  EXPECT_EQ(simhost::get_ints("t/ia"), (std::vector<int>{0, 0, 7, 8}));
  // Accesses that run past the end are listed, once per place; those that fit are not.
  XPLMSetDatavi(XPLMFindDataRef("t/ia"), in, 0, 4);
  XPLMGetDatavi(XPLMFindDataRef("t/ia"), in, 1, 3);
  XPLMGetDatavi(XPLMFindDataRef("t/ia"), in, 0, 5);
  XPLMGetDatavi(XPLMFindDataRef("t/ia"), in, 0, 5);
  EXPECT_EQ(simhost::array_overruns(),
            (std::vector<std::string>{"XPLMSetDatavi t/ia offset 2 count 4 of 4", "XPLMGetDatavi t/ia offset 0 count 5 of 4"}));
  XPLMDataRef b = XPLMFindDataRef("t/b");
  EXPECT_EQ(XPLMGetDatab(b, nullptr, 0, 0), 6);
  EXPECT_EQ(simhost::get_bytes("t/b"), std::string("abc\0\0\0", 6));
  char text[] = "WXYZ";
  XPLMSetDatab(b, text, 4, 4);
  EXPECT_EQ(simhost::get_bytes("t/b"), std::string("abc\0WX", 6));
  char out[8] = {};
  EXPECT_EQ(XPLMGetDatab(b, out, 1, 3), 3);
  EXPECT_EQ(std::string(out, 3), std::string("bc\0", 3));
}

// Each host version has the simulator's datarefs as that version lists them.
TEST(SimhostDatarefs, HostCatalogFollowsTheHostVersion) {
  struct Case {
    int version;
    bool region_friction;
    int bleed_sov_size;
  } cases[] = {{115000, false, 8}, {120000, true, 16}};
  for (const Case& c : cases) {
    simhost::Config config;
    config.host_version = c.version;
    simhost::reset(config);
    EXPECT_EQ(XPLMFindDataRef("sim/weather/region/runway_friction") != nullptr, c.region_friction) << c.version;
    EXPECT_EQ(simhost::array_size("sim/cockpit2/bleedair/actuators/engine_bleed_sov"), c.bleed_sov_size);
    // A float read the host would answer with 0, and record.
    XPLMDataRef friction = XPLMFindDataRef("sim/weather/runway_friction");
    simhost::set_float("sim/weather/runway_friction", 3.0f);
    EXPECT_EQ(XPLMGetDatai(friction), 0);
    EXPECT_EQ(XPLMGetDataf(friction), 3.0f);
    EXPECT_EQ(simhost::problems().size(), 1u);
  }
  simhost::reset();
}

TEST(SimhostDatarefs, ReadOnlyNullAndMismatchedAccessAreRecorded) {
  simhost::reset(with({{"t/ro", xplmType_Float, 1, false, "2.5"}, {"t/i", xplmType_Int, 1, true, "3"}}));
  XPLMDataRef ro = XPLMFindDataRef("t/ro");
  XPLMSetDataf(ro, 9.0f);
  EXPECT_EQ(XPLMGetDataf(ro), 2.5f);
  EXPECT_EQ(simhost::counts("t/ro").refused_writes, 1);
  EXPECT_EQ(simhost::counts("t/ro").reads, 1);
  EXPECT_EQ(XPLMGetDatai(ro), 0) << "an int read of a float dataref reads nothing";
  EXPECT_EQ(simhost::problems().size(), 2u);

  EXPECT_EQ(XPLMGetDatai(nullptr), 0);
  XPLMSetDatai(nullptr, 1);
  EXPECT_EQ(simhost::null_handle_reads(), 1);
  EXPECT_EQ(simhost::null_handle_writes(), 1);
  EXPECT_EQ(XPLMGetDatai(reinterpret_cast<XPLMDataRef>(0x1234)), 0);
  EXPECT_EQ(simhost::problems().size(), 3u) << "a foreign pointer is a problem, not a crash";

  EXPECT_EQ(XPLMFindDataRef("T/I"), nullptr) << "names are case-sensitive";
  XPLMFindDataRef("t/i");
  XPLMFindDataRef("t/missing");
  EXPECT_EQ(simhost::counts("t/i").lookups, 1);
  EXPECT_EQ(simhost::missing_lookups(), (std::vector<std::string>{"T/I", "t/missing"}));
}

TEST(SimhostDatarefs, CombinedTypesServeEachView) {
  simhost::reset(with({{"t/fi", xplmType_FloatArray | xplmType_IntArray, 3, true, "1.5,2.5,3.5"},
                       {"t/fd", xplmType_Float | xplmType_Double, 1, true, "0.1"}}));
  int iv[3];
  EXPECT_EQ(XPLMGetDatavi(XPLMFindDataRef("t/fi"), iv, 0, 3), 3);
  EXPECT_EQ(iv[2], 3);
  EXPECT_EQ(XPLMGetDatad(XPLMFindDataRef("t/fd")), 0.1);
  EXPECT_EQ(XPLMGetDataf(XPLMFindDataRef("t/fd")), 0.1f);
  EXPECT_TRUE(simhost::problems().empty());
}

// Accessors of a registered dataref, with the refcons the host must pass.
int stored[4];
int refcon_seen;
int geti(void* rc) {
  refcon_seen = *static_cast<int*>(rc);
  return stored[0];
}
void seti(void* rc, int v) {
  refcon_seen = *static_cast<int*>(rc);
  stored[0] = v;
}
int getvi(void*, int* out, int offset, int max) {
  if (!out) return 4;
  int n = 0;
  for (int i = offset; i < 4 && n < max; ++i) out[n++] = stored[i];
  return n;
}

XPLMDataRef register_int(const char* name, int writable, int* rrc, int* wrc) {
  return XPLMRegisterDataAccessor(name, xplmType_Int | xplmType_IntArray, writable, geti, seti, nullptr, nullptr,
                                  nullptr, nullptr, getvi, nullptr, nullptr, nullptr, nullptr, nullptr, rrc, wrc);
}

TEST(SimhostDatarefs, RegisteredAccessorsAreCalledWithTheirRefcons) {
  simhost::reset();
  int rrc = 11, wrc = 22;
  XPLMDataRef r = register_int("p/x", 1, &rrc, &wrc);
  ASSERT_EQ(XPLMFindDataRef("p/x"), r) << "found like any other dataref";
  XPLMSetDatai(r, 5);
  EXPECT_EQ(refcon_seen, 22);
  EXPECT_EQ(XPLMGetDatai(r), 5);
  EXPECT_EQ(refcon_seen, 11);
  EXPECT_EQ(simhost::set_int("p/x", 6), true);
  EXPECT_EQ(simhost::get_int("p/x"), 6);

  XPLMDataRef ro = register_int("p/ro", 0, &rrc, &wrc);
  EXPECT_FALSE(simhost::set_int("p/ro", 1)) << "the test is refused like any other writer";
  std::vector<simhost::DatarefInfo> list = simhost::plugin_datarefs();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "p/x");
  EXPECT_EQ(list[0].size, 4) << "array size from a null-buffer read";
  EXPECT_EQ(list[1].writable, false);

  EXPECT_EQ(register_int("p/x", 1, &rrc, &wrc), nullptr) << "a second registration gets nothing";
  XPLMUnregisterDataAccessor(ro);
  XPLMUnregisterDataAccessor(ro);
  EXPECT_EQ(simhost::problems().size(), 2u);
  EXPECT_FALSE(simhost::has_dataref("p/ro"));
  EXPECT_EQ(simhost::registrations().datarefs, 1);
}

TEST(SimhostDatarefs, CatalogFilesLoadInOrderAndFirstDefinitionWins) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "simhost_catalog_test";
  fs::create_directories(dir);
  std::ofstream(dir / "host_base.tsv") << "name\ttype\tsize\twritable\tdefault\n"
                                          "a/int\t1\t1\t0\t7\n"
                                          "a/arr\t8\t3\t1\t2\n"
                                          "a/text\t32\t8\t1\tHELLO\n";
  std::ofstream(dir / "scripts_bound.tsv") << "name\ttype\tsize\twritable\tdefault\n"
                                              "a/int\t2\t1\t1\t9\n"
                                              "s/flag\t2\t1\t1\t\n";
  simhost::Config c;
  c.catalog_dir = dir.string();
  c.omit = {"s/flag"};
  simhost::reset(c);
  EXPECT_EQ(simhost::get_int("a/int"), 7);
  simhost::DatarefInfo info;
  ASSERT_TRUE(simhost::dataref_info("a/int", &info));
  EXPECT_EQ(info.type, xplmType_Int);
  EXPECT_EQ(info.owner, simhost::Owner::Host);
  EXPECT_EQ(simhost::get_floats("a/arr"), (std::vector<float>{2, 2, 2}));
  EXPECT_EQ(simhost::get_text("a/text"), "HELLO");
  EXPECT_FALSE(simhost::has_dataref("s/flag"));
  EXPECT_EQ(XPLMFindDataRef("sim/version/xplane_internal_version"), nullptr) << "only the given folder";
  fs::remove_all(dir);
}

TEST(SimhostDatarefs, TextValuesParseByType) {
  simhost::reset(with({{"t/f", xplmType_Float, 1, true, ""},
                       {"t/fa", xplmType_FloatArray, 3, true, ""},
                       {"t/b", xplmType_Data, 4, true, ""}}));
  EXPECT_TRUE(simhost::set_from_text("t/f", "0.25"));
  EXPECT_TRUE(simhost::set_from_text("t/fa", "1,2"));
  EXPECT_TRUE(simhost::set_from_text("t/b", "AB"));
  EXPECT_FALSE(simhost::set_from_text("t/f", "x"));
  std::string v;
  ASSERT_TRUE(simhost::format_value("t/f", &v));
  EXPECT_EQ(v, "0.25");
  simhost::format_value("t/fa", &v);
  EXPECT_EQ(v, "1,2,0");
  simhost::format_value("t/b", &v);
  EXPECT_EQ(v, "AB");
  EXPECT_EQ(simhost::get_int("sim/version/xplane_internal_version"), 120000);
}

}  // namespace

TEST(SimhostDatarefs, NonFiniteWritesIntoHostStorageAreListed) {
  simhost::reset(with({{"t/f", xplmType_Float, 1, true, ""},
                       {"t/d", xplmType_Double, 1, true, ""},
                       {"t/fa", xplmType_FloatArray, 4, true, ""}}));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  XPLMSetDataf(XPLMFindDataRef("t/f"), 1.0f);
  XPLMSetDataf(XPLMFindDataRef("t/f"), nan);
  XPLMSetDatad(XPLMFindDataRef("t/d"), -static_cast<double>(inf));
  float values[3] = {2.0f, inf, 3.0f};
  XPLMSetDatavf(XPLMFindDataRef("t/fa"), values, 1, 3);
  EXPECT_EQ(simhost::non_finite_write_count(), 3);
  ASSERT_EQ(simhost::non_finite_writes().size(), 3u);
  EXPECT_EQ(simhost::non_finite_writes()[0].rfind("t/f[0] = ", 0), 0u);
  EXPECT_EQ(simhost::non_finite_writes()[1].rfind("t/d[0] = ", 0), 0u);
  EXPECT_EQ(simhost::non_finite_writes()[2].rfind("t/fa[2] = ", 0), 0u) << "index within the dataref";
  // The test playing the owner is not the plug-in; a NaN handed back to
  // where it already stood is not a new one.
  simhost::set_float("t/f", nan);
  EXPECT_EQ(simhost::non_finite_write_count(), 3);
  XPLMSetDataf(XPLMFindDataRef("t/f"), nan);
  EXPECT_EQ(simhost::non_finite_write_count(), 3);
  simhost::clear_non_finite_writes();
  EXPECT_EQ(simhost::non_finite_write_count(), 0);
  EXPECT_TRUE(simhost::non_finite_writes().empty());
}
