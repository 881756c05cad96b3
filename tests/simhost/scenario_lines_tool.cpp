// Writes the reference line captures of the sample scenarios (run by
// scripts/update-scenario-lines.sh, never by a test):
//   scenario-lines MODULE ROOT SCENARIO OUT.lines
#include <cstdio>
#include <fstream>

#include "scenario_lines.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: scenario-lines MODULE ROOT SCENARIO OUT.lines\n");
    return 2;
  }
  std::vector<scenario_lines::Picture> pictures;
  std::string error;
  if (!scenario_lines::capture(argv[1], argv[2], argv[3], &pictures, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::ofstream(argv[4], std::ios::binary) << scenario_lines::to_text(pictures);
  size_t n = 0;
  for (const auto& p : pictures) n += p.lines.size();
  std::printf("%s: %zu pictures, %zu lines\n", argv[4], pictures.size(), n);
  return 0;
}
