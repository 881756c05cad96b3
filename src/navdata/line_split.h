// Line reading and splitting shared by the navigation file loaders: the
// field splitter, the decimal readers and the bounded text copy, and a file
// driver that reads each file once in large blocks and hands every data line
// (headers, empty and short lines already dropped) to a loader.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kSplitMaxFields = 12;
constexpr int kSplitFieldChars = 254;  // usable characters of one field

// One split line. Fields past `count` read as empty text. A field text ends
// at its first NUL byte, so a NUL inside a line shortens that field only.
struct SplitLine {
  char field[kSplitMaxFields][kSplitFieldChars + 1];
  int32_t len[kSplitMaxFields];
  int32_t count;  // fields begun, from 1; a trailing space begins one more
  int32_t cur;    // field being filled (count - 1)
  bool ended;     // a CR, LF or a full field ended the line
};

void split_begin(SplitLine& line);
// Feeds characters of the current line; stops taking them once the line ended.
void split_feed(SplitLine& line, const char* text, size_t size);
// Terminates every field text; call once after the last feed.
void split_finish(SplitLine& line);
// The three above over one whole line.
void split_line(SplitLine& line, const char* text, size_t size);

// Field k counted from 1, as the file formats number them ("" past the end).
inline const char* split_field(const SplitLine& line, int k) {
  return (k >= 1 && k <= kSplitMaxFields) ? line.field[k - 1] : "";
}

// Decimal readers: leading blanks and a sign, then the longest number; a text
// that does not start with a number reads as 0. Out-of-range values saturate
// (integers) or read as 0 (reals beyond double range).
double read_real(const char* text);
int32_t read_int(const char* text);
// Double to f32 without undefined behaviour for values beyond float range.
float to_f32(double value);
// Double to i32, truncated toward zero, saturated, NaN giving 0.
int32_t real_to_i32(double value);

// Copies at most width - 1 characters of src (stopping at its NUL) and
// terminates dst.
void copy_cut(char* dst, size_t width, const char* src);
template <size_t N>
inline void copy_cut(char (&dst)[N], const char* src) {
  copy_cut(dst, N, src);
}

// Line driver. Every line up to an LF counts (an empty one too, and a last
// line without LF); the first header_lines lines, empty lines and lines of
// fewer than min_fields fields are dropped; each other line is handed to
// handler after splitting.
using SplitLineHandler = void (*)(const SplitLine& line, void* context);

struct LineReader {
  SplitLine line;
  int64_t line_number;   // lines seen so far
  int64_t line_chars;    // characters of the current line before its LF
  int32_t header_lines;
  int32_t min_fields;
  SplitLineHandler handler;
  void* context;
};

void line_reader_begin(LineReader& reader, int32_t header_lines, int32_t min_fields, SplitLineHandler handler,
                       void* context);
void line_reader_feed(LineReader& reader, const char* data, size_t size);
void line_reader_end(LineReader& reader);  // flushes a last line without LF

// Reads a whole file through a LineReader; false when it does not open.
bool read_split_file(const char* path, int32_t header_lines, int32_t min_fields, SplitLineHandler handler,
                     void* context);
