// Cost of the geodesy operations the path builder, steering and map placement
// call many times per frame.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "navdata/geodesy.h"

namespace {

struct Pair {
  double lat1, lon1, lat2, lon2;
  float course;
};

const std::vector<Pair>& pairs() {
  static const std::vector<Pair> v = [] {
    std::mt19937 rng(7u);
    std::uniform_real_distribution<double> lat(-70.0, 70.0), lon(-180.0, 180.0), off(-3.0, 3.0), crs(0.0, 360.0);
    std::vector<Pair> out(1024);
    for (auto& p : out) {
      p.lat1 = lat(rng);
      p.lon1 = lon(rng);
      p.lat2 = p.lat1 + off(rng);
      p.lon2 = p.lon1 + off(rng);
      p.course = static_cast<float>(crs(rng));
    }
    return out;
  }();
  return v;
}

void BM_gc_distance_nm(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    benchmark::DoNotOptimize(gc_distance_nm(p.lat1, p.lon1, p.lat2, p.lon2));
  }
}
BENCHMARK(BM_gc_distance_nm);

void BM_gc_bearing(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    benchmark::DoNotOptimize(gc_bearing(p.lat1, p.lon1, p.lat2, p.lon2));
  }
}
BENCHMARK(BM_gc_bearing);

void BM_gc_destination(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    gc_destination(p.lat1, p.lon1, p.course, 25.0);
    benchmark::DoNotOptimize(nav_result.lat);
  }
}
BENCHMARK(BM_gc_destination);

void BM_track_errors(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    track_errors(p.lat1, p.lon1, p.lat2, p.lon2, p.course);
    benchmark::DoNotOptimize(nav_result.cross_track);
  }
}
BENCHMARK(BM_track_errors);

void BM_track_errors_leg(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    const Pair& q = v[(n + 7) & 1023];
    track_errors_leg(q.lat1, q.lon1, p.lat1, p.lon1, p.lat2, p.lon2);
    benchmark::DoNotOptimize(nav_result.cross_track);
  }
}
BENCHMARK(BM_track_errors_leg);

void BM_arc_errors(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    arc_errors(p.lat2, p.lon2, p.lat1, p.lon1, 3.0f, p.course, static_cast<int>(n & 3));
    benchmark::DoNotOptimize(nav_result.along_track);
  }
}
BENCHMARK(BM_arc_errors);

void BM_course_line_intersection(benchmark::State& state) {
  const auto& v = pairs();
  size_t n = 0;
  for (auto _ : state) {
    const Pair& p = v[n++ & 1023];
    benchmark::DoNotOptimize(course_line_intersection(p.lat1, p.lon1, p.course, p.lat2, p.lon2, p.course + 70.0f));
  }
}
BENCHMARK(BM_course_line_intersection);

}  // namespace
