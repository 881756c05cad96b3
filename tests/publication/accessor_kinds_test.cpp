// The bounded copies behind the array and byte-string accessors: size query,
// runs by offset and count, the int view's truncation, and every refusal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "publication/accessor_kinds.h"

namespace {

struct RunCase {
  int offset;
  int max;
  int expected;      // answer of the reader, elements copied
  int first_copied;  // element that lands in out[0], when any
};

TEST(FloatArrayReader, NullBufferAnswersSizeWhateverOffsetAndMax) {
  float arr[256] = {};
  EXPECT_EQ(read_float_run(arr, 256, nullptr, 0, 0), 256);
  EXPECT_EQ(read_float_run(arr, 19, nullptr, -5, 999), 19);
  EXPECT_EQ(read_float_run(arr, 20, nullptr, 400, -1), 20);
}

TEST(FloatArrayReader, CopiesTheRunThatFitsAndNeverMoreThanMax) {
  float arr[256];
  for (int i = 0; i < 256; ++i) arr[i] = static_cast<float>(i) + 0.5f;
  const RunCase cases[] = {
      {250, 10, 6, 250}, {256, 10, 0, 0},  {0, 0, 0, 0},     {0, 256, 256, 0}, {0, 300, 256, 0},
      {255, 1, 1, 255},  {-1, 10, 0, 0},   {10, -3, 0, 0},   {300, 5, 0, 0},   {3, 4, 4, 3},
      {std::numeric_limits<int>::min(), 10, 0, 0}, {0, std::numeric_limits<int>::max(), 256, 0},
  };
  for (const RunCase& c : cases) {
    float out[300];
    for (float& f : out) f = -99.0f;
    const int n = read_float_run(arr, 256, out, c.offset, c.max);
    EXPECT_EQ(n, c.expected) << "offset " << c.offset << " max " << c.max;
    if (n > 0) {
      EXPECT_EQ(out[0], arr[c.first_copied]);
    }
    EXPECT_EQ(out[n], -99.0f) << "wrote past the run";
  }
}

TEST(IntViewOfFloatArray, TruncatesTowardZero) {
  float arr[256] = {};
  arr[0] = 2.7f;
  arr[1] = -2.7f;
  arr[2] = -0.5f;
  arr[3] = std::nanf("");
  arr[4] = 1e20f;
  arr[5] = -1e20f;
  int out[6] = {};
  ASSERT_EQ(read_float_run_as_int(arr, 256, out, 0, 6), 6);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(out[1], -2);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 0);  // NaN reads as 0, not undefined behaviour
  EXPECT_EQ(out[4], std::numeric_limits<int>::max());
  EXPECT_EQ(out[5], std::numeric_limits<int>::min());
  EXPECT_EQ(read_float_run_as_int(arr, 256, nullptr, 7, 7), 256);
}

TEST(IntArrayReader, CopiesRunsLikeTheFloatView) {
  const int32_t arr[2] = {1, 0};
  int out[3] = {-7, -7, -7};
  EXPECT_EQ(read_int_run(arr, 2, nullptr, 0, 0), 2);
  EXPECT_EQ(read_int_run(arr, 2, out, 1, 5), 1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], -7);
  EXPECT_EQ(read_int_run(arr, 2, out, 2, 5), 0);
}

TEST(ByteStringReader, SizeQueryAndBoundedCopies) {
  char label[16] = "ABCDEFG";
  char out[32];
  EXPECT_EQ(read_byte_run(label, 16, nullptr, 0, 0), 16);
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(read_byte_run(label, 16, out, 0, 4), 4);
  EXPECT_EQ(std::memcmp(out, "ABCD", 4), 0);
  EXPECT_EQ(out[4], 'x');  // no NUL added beyond the run
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(read_byte_run(label, 16, out, 0, 32), 16);  // never past byte L-1
  EXPECT_STREQ(out, "ABCDEFG");
  EXPECT_EQ(out[16], 'x');
  EXPECT_EQ(read_byte_run(label, 16, out, -1, 16), 0);
  EXPECT_EQ(read_byte_run(label, 16, out, 16, 16), 0);
}

TEST(FloatArrayWriter, WritesOnlyTheRunThatFits) {
  struct WriteCase {
    int offset;
    int count;
    int first_changed;  // -1: nothing changes
    int changed;
  };
  const WriteCase cases[] = {
      {250, 10, 250, 6}, {0, 300, 0, 256}, {256, 1, -1, 0}, {300, 3, -1, 0},
      {-1, 5, -1, 0},    {5, 0, -1, 0},    {5, -2, -1, 0},  {1, 3, 1, 1},
  };
  float values[300];
  for (int i = 0; i < 300; ++i) values[i] = 1000.0f + static_cast<float>(i);
  for (const WriteCase& c : cases) {
    const int n = c.offset == 1 ? 2 : 256;  // {1, 3}: a two-element array
    float arr[256];
    for (float& f : arr) f = -1.0f;
    write_float_run(arr, n, values, c.offset, c.count);
    for (int i = 0; i < 256; ++i) {
      const bool in_run = c.first_changed >= 0 && i >= c.first_changed && i < c.first_changed + c.changed;
      EXPECT_EQ(arr[i], in_run ? values[i - c.first_changed] : -1.0f)
          << "offset " << c.offset << " count " << c.count << " element " << i;
    }
  }
  float arr[4] = {};
  write_float_run(arr, 4, nullptr, 0, 4);  // null values: nothing read
  EXPECT_EQ(arr[0], 0.0f);
}

TEST(FloatWriters, NonFiniteValuesAreIgnored) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  float arr[5] = {1, 2, 3, 4, 5};
  const float values[4] = {nan, 20.0f, -inf, inf};
  write_float_run(arr, 5, values, 1, 4);
  EXPECT_EQ(arr[0], 1.0f);
  EXPECT_EQ(arr[1], 2.0f) << "NaN element kept the old value";
  EXPECT_EQ(arr[2], 20.0f);
  EXPECT_EQ(arr[3], 4.0f);
  EXPECT_EQ(arr[4], 5.0f);

  EXPECT_TRUE(writable_float(-3.5f));
  EXPECT_FALSE(writable_float(nan));
  EXPECT_FALSE(writable_float(-inf));
  EXPECT_TRUE(writable_double(1e300));
  EXPECT_FALSE(writable_double(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(writable_narrowed(-1e30));
  EXPECT_FALSE(writable_narrowed(1e300)) << "beyond the float range";
  EXPECT_FALSE(writable_narrowed(std::numeric_limits<double>::infinity()));
}

TEST(IntIntoFloatWriter, ConvertsEachInteger) {
  float arr[256] = {};
  const int values[3] = {1, 2, 3};
  write_int_run_as_float(arr, 256, values, 5, 3);
  EXPECT_EQ(arr[4], 0.0f);
  EXPECT_EQ(arr[5], 1.0f);
  EXPECT_EQ(arr[6], 2.0f);
  EXPECT_EQ(arr[7], 3.0f);
  EXPECT_EQ(arr[8], 0.0f);
  write_int_run_as_float(arr, 256, values, 255, 3);
  EXPECT_EQ(arr[255], 1.0f);
}

}  // namespace
