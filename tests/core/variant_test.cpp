// Variant, model family and generic-model detection from aircraft file names,
// and the ground-equipment offsets chosen with the variant.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/variant.h"

extern int32_t draw_enabled;

namespace {

struct NameCase {
  const char* name;
  int32_t variant;
  float family;
  int32_t model;
  int32_t is_4k;
};

TEST(VariantDetection, FileNamesSelectVariantAndFamily) {
  const NameCase cases[] = {
      {"737_80NG.acf", 0, 0.0f, 999, 0},  {"737_90NG.acf", 1, 0.0f, 999, 0}, {"737_70NG.acf", 2, 0.0f, 999, 0},
      {"737_60NG.acf", 3, 0.0f, 999, 0},  {"737_9ENG.acf", 4, 0.0f, 999, 0}, {"737_70MX.acf", 5, 0.0f, 999, 0},
      {"737_2HMX.acf", 6, 0.0f, 999, 0},  {"737_80MX.acf", 7, 0.0f, 999, 0}, {"737_90MX.acf", 8, 0.0f, 999, 0},
      {"737_1KMX.acf", 9, 0.0f, 999, 0},  {"d738.acf", -1, 0.0f, 0, 0},      {"b739.acf", -1, 1.0f, 1, 0},
      {"b737.acf", -1, 2.0f, 2, 0},       {"d738_4k.acf", -1, 0.0f, 0, 1},   {"b739_4k.acf", -1, 1.0f, 1, 1},
      {"b737_4k.acf", -1, 2.0f, 2, 1},
      // Exact and case-sensitive: no prefix, suffix or case folding.
      {"D738.acf", -1, -1.0f, 999, 0},    {"d738.acf.bak", -1, -1.0f, 999, 0}, {"737_80NG.acf2", -1, -1.0f, 999, 0},
      {"737_80ng.acf", -1, -1.0f, 999, 0}, {"x737_80NG.acf", -1, -1.0f, 999, 0}, {"", -1, -1.0f, 999, 0},
      {"unknown.acf", -1, -1.0f, 999, 0},
  };
  for (const NameCase& c : cases) {
    detect_variant_from_name(c.name);
    draw_enabled = 1;
    detect_acf_model_from_name(c.name);
    EXPECT_EQ(variant_index, c.variant) << c.name;
    EXPECT_EQ(model_family, c.family) << c.name;
    // The published int is the family truncated toward zero.
    EXPECT_EQ(static_cast<int32_t>(model_family), static_cast<int32_t>(c.family)) << c.name;
    EXPECT_EQ(acf_model, c.model) << c.name;
    EXPECT_EQ(acf_is_4k, c.is_4k) << c.name;
    EXPECT_EQ(draw_enabled, 0) << c.name;
  }
  detect_variant_from_name(nullptr);
  EXPECT_EQ(variant_index, -1);
  EXPECT_EQ(model_family, -1.0f);
}

struct OffsetRow {
  int32_t variant;
  GseOffsets expect;
};

void expect_offsets(const GseOffsets& a, const GseOffsets& b, int32_t variant) {
  const float* pa = reinterpret_cast<const float*>(&a);
  const float* pb = reinterpret_cast<const float*>(&b);
  static_assert(sizeof(GseOffsets) == 15 * sizeof(float));
  for (int i = 0; i < 15; ++i) EXPECT_EQ(pa[i], pb[i]) << "variant " << variant << " field " << i;
}

TEST(VariantDetection, GroundEquipmentOffsetsPerVariant) {
  const GseOffsets base = {{-17.65f, -3.6f}, {-20.5f, -6.0f}, {3.62f, -20.5f}, 0.0f, {-7.0f, -12.0f}, 0.0f,
                           {12.0f, 8.0f},    150.0f,          {2.6f, -8.0f}};
  auto with = [&](float gpu, float asu1, float asu2, float fuel, float cones, float dei, float dei2, float fuel2) {
    GseOffsets o = base;
    o.gpu_m[0] = gpu;
    o.asu_m[0] = asu1;
    o.asu_m[1] = asu2;
    o.fuel_truck_m[0] = fuel;
    o.cones_m = cones;
    o.de_ice_truck_m[0] = dei;
    o.de_ice_truck2_m[0] = dei2;
    o.fuel_truck2_m[0] = fuel2;
    return o;
  };
  const OffsetRow rows[] = {
      {0, with(-17.85f, -20.65f, -5.9f, 2.42f, -1.2f, -7.2f, 11.8f, 1.4f)},
      {1, with(-19.5f, -20.7f, -5.9f, 2.87f, -0.75f, -7.0f, 12.0f, 1.85f)},
      {2, with(-14.72f, -20.4f, -5.9f, 2.79f, -0.83f, -7.0f, 12.0f, 1.77f)},
      {3, with(-13.13f, -20.3f, -5.9f, 3.17f, -0.45f, -6.55f, 12.45f, 2.15f)},
      {4, with(-19.5f, -20.65f, -5.9f, 2.87f, -0.75f, -7.0f, 12.0f, 1.85f)},
      {5, base}, {6, base}, {7, base}, {8, base}, {9, base},
  };
  for (const OffsetRow& r : rows) {
    // Start from another variant so stale offsets would show.
    detect_variant_from_name("737_60NG.acf");
    detect_variant_from_name(variant_file_names[r.variant]);
    ASSERT_EQ(variant_index, r.variant);
    expect_offsets(gse_offsets, r.expect, r.variant);
  }
  detect_variant_from_name("737_80NG.acf");
  detect_variant_from_name("b739.acf");
  expect_offsets(gse_offsets, base, -1);
}

TEST(VariantDetection, GenericModelOnlyWithoutVariant) {
  detect_variant_from_name("737_80NG.acf");
  detect_acf_model_from_name("b737.acf");  // a livery change to a generic file keeps the variant
  EXPECT_EQ(acf_model, 999);
  EXPECT_EQ(acf_is_4k, 0);
  detect_variant_from_name("other.acf");
  detect_acf_model_from_name("b737_4k.acf");
  EXPECT_EQ(acf_model, 2);
  EXPECT_EQ(acf_is_4k, 1);
  detect_acf_model_from_name(nullptr);
  EXPECT_EQ(acf_model, 999);
  EXPECT_EQ(acf_is_4k, 0);
}

}  // namespace
