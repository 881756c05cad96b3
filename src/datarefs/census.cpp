// Start-up census of the registration tables: the count of every list and of
// every kind, and no name twice. A mismatch means a table was edited by hand
// or generated from a different source; it is logged, never fatal.
#include <algorithm>
#include <cstring>

#include "datarefs/published_census.h"
#include "platform/xplm.h"

namespace {
constexpr int max_published = 2048;
}

bool published_census_ok() {
  bool ok = true;
  int total = 0;
  int writable = 0;
  int refind = 0;
  int kinds[expected_kind_kinds] = {};
  static const char* names[max_published];
  for (int l = 0; l < published_list_count; ++l) {
    const PublishedList& list = *published_lists[l];
    if (list.count != expected_list_counts[l]) ok = false;
    for (int i = 0; i < list.count; ++i) {
      const PublishedDataref& d = list.rows[i];
      if (total < max_published) names[total] = d.name;
      ++total;
      writable += d.writable;
      refind += d.refind;
      bool known = false;
      for (int k = 0; k < expected_kind_kinds; ++k) {
        if (expected_kind_counts[k].type_flags == d.type_flags) {
          ++kinds[k];
          known = true;
        }
      }
      if (!known) ok = false;
    }
  }
  if (total != expected_total || total > max_published || writable != expected_writable ||
      refind != expected_refind)
    return false;
  for (int k = 0; k < expected_kind_kinds; ++k) {
    if (kinds[k] != expected_kind_counts[k].count) ok = false;
  }
  std::sort(names, names + total, [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
  for (int i = 1; i < total; ++i) {
    if (std::strcmp(names[i - 1], names[i]) == 0) ok = false;
  }
  return ok;
}

void check_published_census() {
#ifndef NDEBUG
  if (!published_census_ok()) XPLMDebugString("Corvane plugin: published dataref census mismatch.\n");
#endif
}
