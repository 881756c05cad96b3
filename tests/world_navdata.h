// A world-size navigation data set for benchmarks, generated from a fixed
// seed in the host's and the aircraft's file formats.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace bench_world {

struct WorldFiles {
  std::filesystem::path dir;
  std::string nav, fix, apt, rnw, gate;
  int64_t nav_bytes = 0, fix_bytes = 0, apt_bytes = 0, rnw_bytes = 0, gate_bytes = 0;
};

inline std::string code4(std::mt19937& rng) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string s(4, 'A');
  for (char& c : s) c = letters[rng() % 26];
  return s;
}

inline int64_t write_file(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
  return static_cast<int64_t>(text.size());
}

// A region where a share of every kind of record is placed, as dense as a
// busy terminal area; share 0 spreads everything over the world.
struct DenseRegion {
  double lat = 0, lon = 0, half_deg = 0;
  int share_percent = 0;
};

// 30,000 navaids, 250,000 fixes, 40,000 airports, 80,000 runways, 60,000
// gates, written into `dir` in the host's and the aircraft's formats.
inline WorldFiles generate_world(const std::filesystem::path& dir, DenseRegion dense = DenseRegion()) {
  WorldFiles f;
  f.dir = dir;
  std::filesystem::create_directories(f.dir);
  std::mt19937 rng(737);
  std::uniform_real_distribution<double> world_lat(-60.0, 70.0), world_lon(-180.0, 180.0);
  std::uniform_real_distribution<double> offset(-1.0, 1.0);
  double la = 0, lo = 0;
  // Draws the next record's position into la, lo.
  auto place = [&] {
    if (dense.share_percent > 0 && static_cast<int>(rng() % 100) < dense.share_percent) {
      la = dense.lat + dense.half_deg * offset(rng);
      lo = dense.lon + dense.half_deg * offset(rng);
    } else {
      la = world_lat(rng);
      lo = world_lon(rng);
    }
  };
  {
    char line[256];
    std::string text = "I\n1100 Version - generated world\n\n";
    for (int i = 0; i < 30000; ++i) {
      const int kinds[] = {3, 12, 2, 13, 4};
      int row = kinds[i % 5];
      std::string id = code4(rng).substr(0, 3);
      place();
      if (row == 4) {
        std::snprintf(line, sizeof line, "4 %12.8f %13.8f 338 11030 18 %.3f I%s K%s K1 16L ILS-cat-I\n", la,
                      lo, 179.9 + 360.0 * 180.0, id.c_str(), id.c_str());
      } else {
        std::snprintf(line, sizeof line, "%d %12.8f %13.8f 354 %d 130 19.0 %s ENRT K1 SAMPLE %s VORTAC\n", row,
                      la, lo, 10800 + 5 * static_cast<int>(rng() % 200), id.c_str(), id.c_str());
      }
      text += line;
    }
    text += "99\n";
    f.nav = (f.dir / "earth_nav.dat").string();
    f.nav_bytes = write_file(f.nav, text);

    text = "I\n1100 Version - generated world\n\n";
    for (int i = 0; i < 250000; ++i) {
      place();
      std::snprintf(line, sizeof line, "%12.9f %13.9f %sX ENRT K1 2\n", la, lo, code4(rng).c_str());
      text += line;
    }
    text += "99\n";
    f.fix = (f.dir / "earth_fix.dat").string();
    f.fix_bytes = write_file(f.fix, text);

    std::string apt = "h\nh\nh\n", rnw = "h\n", gate = "h\n";
    for (int i = 0; i < 40000; ++i) {
      std::string c = code4(rng);
      place();
      std::snprintf(line, sizeof line, "%s %.6f %.6f 433 18000 %d\n", c.c_str(), la, lo,
                    3000 + static_cast<int>(rng() % 9000));
      apt += line;
      for (int r = 0; r < 2; ++r) {
        std::snprintf(line, sizeof line, "%s %02dL %.6f %.6f %.6f %.6f 11901 150\n", c.c_str(), 1 + r * 18, la,
                      lo, la + 0.02, lo + 0.01);
        rnw += line;
      }
      if (i % 2 == 0) {
        for (int g = 0; g < 3; ++g) {
          std::snprintf(line, sizeof line, "%s %.7f %.7f gate 90 A%d\n", c.c_str(), la + 0.001 * g, lo, g);
          gate += line;
        }
      }
    }
    f.apt = (f.dir / "Velar_apt.dat").string();
    f.rnw = (f.dir / "Velar_rnw.dat").string();
    f.gate = (f.dir / "Velar_gate.dat").string();
    f.apt_bytes = write_file(f.apt, apt);
    f.rnw_bytes = write_file(f.rnw, rnw);
    f.gate_bytes = write_file(f.gate, gate);
  }
  return f;
}

}  // namespace bench_world
