// Line reading and splitting for the navigation file loaders.
#include "navdata/line_split.h"

#include <cfloat>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

void split_begin(SplitLine& line) {
  for (int i = 0; i < kSplitMaxFields; ++i) line.len[i] = 0;
  line.count = 1;
  line.cur = 0;
  line.ended = false;
}

// A space closes a field that holds text while fewer than 12 fields have been
// begun (so runs of spaces are one separator and leading spaces vanish); from
// the twelfth field on, spaces are text and the field takes the rest of the
// line. A field that already holds 254 characters ends the line.
void split_feed(SplitLine& line, const char* text, size_t size) {
  if (line.ended) return;
  int cur = line.cur;
  int32_t len = line.len[cur];
  char* out = line.field[cur];
  for (size_t i = 0; i < size; ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n' || len >= kSplitFieldChars) {
      line.ended = true;
      break;
    }
    if (c == ' ' && cur < kSplitMaxFields - 1) {
      if (len == 0) continue;
      line.len[cur] = len;
      ++cur;
      ++line.count;
      len = 0;
      out = line.field[cur];
      continue;
    }
    out[len++] = c;
  }
  line.len[cur] = len;
  line.cur = cur;
}

void split_finish(SplitLine& line) {
  for (int i = 0; i < kSplitMaxFields; ++i) line.field[i][line.len[i]] = '\0';
}

void split_line(SplitLine& line, const char* text, size_t size) {
  split_begin(line);
  split_feed(line, text, size);
  split_finish(line);
}

namespace {

inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double read_real(const char* text) {
  const char* p = text;
  while (is_blank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  // Only a plain decimal number counts: no "inf", "nan" or hexadecimal.
  if (!(is_digit(*p) || (*p == '.' && is_digit(p[1])))) return 0.0;
  const char* end = p + std::strlen(p);
  double value = 0.0;
  auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec != std::errc()) return 0.0;
  return negative ? -value : value;
}

int32_t read_int(const char* text) {
  const char* p = text;
  while (is_blank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  int64_t value = 0;
  while (is_digit(*p)) {
    value = value * 10 + (*p - '0');
    if (value > 2147483648LL) value = 2147483648LL;  // saturate, keep scanning
    ++p;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) value = 2147483647LL;
  return static_cast<int32_t>(value);
}

float to_f32(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

int32_t real_to_i32(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void copy_cut(char* dst, size_t width, const char* src) {
  if (width == 0) return;
  size_t i = 0;
  for (; i + 1 < width && src[i] != '\0'; ++i) dst[i] = src[i];
  dst[i] = '\0';
}

void line_reader_begin(LineReader& reader, int32_t header_lines, int32_t min_fields, SplitLineHandler handler,
                       void* context) {
  reader.line_number = 0;
  reader.line_chars = 0;
  reader.header_lines = header_lines;
  reader.min_fields = min_fields;
  reader.handler = handler;
  reader.context = context;
  split_begin(reader.line);
  // The first line is a header when any are declared: nothing to split.
  if (header_lines > 0) reader.line.ended = true;
}

namespace {

void end_line(LineReader& reader) {
  ++reader.line_number;
  if (reader.line_number > reader.header_lines && reader.line_chars > 0) {
    split_finish(reader.line);
    if (reader.line.count >= reader.min_fields && reader.handler) reader.handler(reader.line, reader.context);
  }
  reader.line_chars = 0;
  split_begin(reader.line);
  if (reader.line_number < reader.header_lines) reader.line.ended = true;
}

}  // namespace

void line_reader_feed(LineReader& reader, const char* data, size_t size) {
  const char* p = data;
  const char* end = data + size;
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* stop = lf ? lf : end;
    reader.line_chars += stop - p;
    split_feed(reader.line, p, static_cast<size_t>(stop - p));
    if (!lf) break;
    end_line(reader);
    p = lf + 1;
  }
}

void line_reader_end(LineReader& reader) {
  if (reader.line_chars > 0) end_line(reader);
}

namespace {
// One block buffer for every file: the loaders run one at a time at start-up.
char read_block[1 << 20];
LineReader file_reader;
}  // namespace

bool read_split_file(const char* path, int32_t header_lines, int32_t min_fields, SplitLineHandler handler,
                     void* context) {
  if (!path) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  line_reader_begin(file_reader, header_lines, min_fields, handler, context);
  for (;;) {
    size_t n = std::fread(read_block, 1, sizeof read_block, file);
    if (n > 0) line_reader_feed(file_reader, read_block, n);
    if (n < sizeof read_block) break;
  }
  std::fclose(file);
  line_reader_end(file_reader);
  return true;
}
