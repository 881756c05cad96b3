// Map primitives as the host sees them: the exact line stream of clipped and
// polar lines, arcs and the runway symbol in the captain's and first
// officer's map areas of the panel texture.
#include <cmath>
#include <limits>

#include "nd_fixture.h"

using nd_test::DrawFixture;
using nd_test::px;

namespace {

// Captain's map area in panel pixels: x 521..1021, y 8..500 (clip height 492).
constexpr double cx0 = 521.0, cx1 = 1021.0, cy0 = 8.0, cy1 = 500.0;

bool inside_captain(double x, double y) {
  return x >= cx0 - 1e-3 && x <= cx1 + 1e-3 && y >= cy0 - 1e-3 && y <= cy1 + 1e-3;
}

}  // namespace

TEST_F(DrawFixture, ViewportsAndEdgeVisibility) {
  struct Case {
    double x, y;
    int side, visible;
  };
  const double w = 500.0 / 2048, h = 492.0 / 2048, x0 = 521.0 / 2048;
  const Case cases[] = {
      {x0, 8.0 / 2048, 0, 1},                    // lower left corner is inside
      {x0 + w, 8.0 / 2048 + h, 0, 1},            // upper right corner too
      {x0 - 1e-9, 0.1, 0, 0},                    // just left
      {x0 + 0.1, 8.0 / 2048 + h + 1e-9, 0, 0},   // above the clip height, below the width
      {x0 + 0.1, 520.0 / 2048, 1, 1},            // first officer's lower edge
      {x0 + 0.1, 0.1, 1, 0},                     // captain's area is not the first officer's
  };
  for (const Case& c : cases) EXPECT_EQ(map_point_visible(c.x, c.y, c.side), c.visible) << c.x << "," << c.y;
}

TEST_F(DrawFixture, ClippedLineIsCutAtTheEdgeAndRejectedBeyondIt) {
  int inside_out = -1, beyond = -1, nan_line = -1;
  MapPen pen_after_reject{};
  auto lines = draw([&] {
    inside_out = map_line_clipped(0.0, 0.0, 0.0, 2.0, 0, 0);       // up through the top edge
    beyond = map_line_clipped(-2.0, 0.0, -2.0, 0.5, 0, 0);          // both left of the area
    pen_after_reject = map_pen;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    nan_line = map_line_clipped(nan, 0.0, 0.1, 0.1, 0, 0);
  });
  EXPECT_EQ(inside_out, 1);
  EXPECT_EQ(beyond, 0);
  EXPECT_EQ(nan_line, 0);
  EXPECT_EQ(pen_after_reject.x, -2.0);
  EXPECT_EQ(pen_after_reject.y, 0.5);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0].x0, 771.0, 1e-3);            // 521 + 500 x 0.5
  EXPECT_NEAR(lines[0].y0, 8.0 + 500 * 0.199, 1e-3);
  EXPECT_NEAR(lines[0].x1, 771.0, 1e-3);
  EXPECT_NEAR(lines[0].y1, cy1, 1e-3);             // cut at the clip height, not the width
}

TEST_F(DrawFixture, StippledLineRestoresTheEnableBits) {
  GLboolean stipple_after = GL_TRUE;
  GLint depth_after = -1;
  GLint pattern = 0, factor = 0;
  draw([&] {
    map_line_clipped(0.0, 0.0, 0.1, 0.1, 20, 0);
    glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
    glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &factor);
    map_line_clipped(-2.0, 0.0, -2.0, 0.5, 1, 0);  // rejected: still restored
    stipple_after = glIsEnabled(GL_LINE_STIPPLE);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth_after);
  });
  EXPECT_EQ(pattern, 0xF6F6);
  EXPECT_EQ(factor, 8);
  EXPECT_EQ(stipple_after, GL_FALSE);
  EXPECT_EQ(depth_after, 0);
}

TEST_F(DrawFixture, PolarLineRunsAlongTheBearing) {
  auto lines = draw([&] { map_polar_line(0.0, 0.0, 90.0, 0.2, 0, 0); });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0].x1 - lines[0].x0, 100.0, 1e-3);  // 0.2 map units east = 100 px
  EXPECT_NEAR(lines[0].y1 - lines[0].y0, 0.0, 1e-3);
  EXPECT_NEAR(map_pen.x, 0.2, 1e-12);
}

TEST_F(DrawFixture, VertexPairAddsTwoVerticesToTheOpenBatch) {
  auto lines = draw([&] {
    glBegin(GL_LINES);
    map_vertex_pair(0.5f, 0.5f, 0.6f, 0.5f, 1);
    map_vertex_pair(0.5f, 0.6f, 0.6f, 0.6f, 1);
    glEnd();
  });
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].y0, 520.0 + 250.0, 1e-2);  // first officer's area starts at 520 px
}

TEST_F(DrawFixture, DegenerateArcsDrawNothingAndKeepThePen) {
  struct Case {
    double r, a, b;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {{0.0, 10, 20}, {-1.0, 10, 20}, {0.1, 30, 30}, {0.1, 0, 360}, {nan, 0, 90}, {0.1, nan, 90}};
  for (const Case& c : cases) {
    map_pen = {7.0, 7.0};
    auto lines = draw([&] { draw_map_arc(0.0, 0.0, c.r, c.a, c.b, 1.0f, 0, 0); });
    EXPECT_TRUE(lines.empty()) << c.r << " " << c.a << " " << c.b;
    EXPECT_EQ(map_pen.x, 7.0);
  }
}

TEST_F(DrawFixture, ClockwiseArcFromNorthTo359LeavesOneDegreeGap) {
  auto lines = draw([&] { draw_map_arc(0.0, 0.2, 0.1, 0.0, 359.0, 1.0f, 0, 0); });
  ASSERT_EQ(lines.size(), 359u);  // one-degree steps over 359 degrees
  const double cx = 521 + 500 * 0.5, cy = 8 + 500 * (0.2 + 0.199);
  auto bearing = [&](double x, double y) { return std::fmod(std::atan2(x - cx, y - cy) * 180 / M_PI + 360, 360); };
  EXPECT_NEAR(bearing(lines.front().x0, lines.front().y0), 0.0, 1e-3);
  EXPECT_NEAR(bearing(lines.back().x1, lines.back().y1), 359.0, 1e-3);
  EXPECT_NEAR(bearing(lines.front().x1, lines.front().y1), 1.0, 1e-3);  // clockwise: bearings grow
  EXPECT_NEAR(map_pen.y - 0.2, 0.1 * std::cos(359.0 * M_PI / 180), 1e-9);
}

TEST_F(DrawFixture, DashedArcsStartAndEndAsTheirStyleSays) {
  const double cx = 521 + 500 * 0.5, cy = 8 + 500 * (0.0 + 0.199);
  auto bearing = [&](double x, double y) { return std::fmod(std::atan2(x - cx, y - cy) * 180 / M_PI + 360, 360); };
  // Style 1, counter-clockwise from 90 to 0: a dash at both ends.
  auto dashed = draw([&] { draw_map_arc(0.0, 0.0, 0.3, 90.0, 0.0, 0.0f, 1, 0); });
  ASSERT_FALSE(dashed.empty());
  EXPECT_NEAR(bearing(dashed.front().x0, dashed.front().y0), 90.0, 1e-3);
  EXPECT_NEAR(bearing(dashed.back().x1, dashed.back().y1), 0.0, 1e-3);
  // Dash count: gaps show as breaks between consecutive segments; dashes are
  // one more than the breaks and odd with gaps makes 2k + 1 pieces.
  int breaks = 0;
  for (size_t i = 1; i < dashed.size(); ++i)
    if (std::hypot(dashed[i].x0 - dashed[i - 1].x1, dashed[i].y0 - dashed[i - 1].y1) > 1e-3) ++breaks;
  const double piece_deg = 360.0 / (0.3 * 6.283185307178 / 0.025);
  const int pieces = static_cast<int>(std::ceil(90.0 / piece_deg)) | 1;
  EXPECT_EQ(breaks + 1, (pieces + 1) / 2);

  // Style 11: one piece that stops the gap short of the end, no closing step.
  const double r = 0.3;
  const double gap_deg = 360.0 / (r * 6.283185307178 / 0.01);
  auto piece = draw([&] { draw_map_arc(0.0, 0.0, r, 0.0, 90.0, 1.0f, 11, 0); });
  ASSERT_FALSE(piece.empty());
  EXPECT_NEAR(bearing(piece.front().x0, piece.front().y0), 0.0, 1e-3);
  EXPECT_NEAR(bearing(piece.back().x1, piece.back().y1), 90.0 - gap_deg, 1e-3);
}

TEST_F(DrawFixture, ArcLeavingTheAreaLosesWholeSteps) {
  auto lines = draw([&] { draw_map_arc(0.0, 0.0, 0.45, 0.0, 359.0, 1.0f, 0, 0); });
  ASSERT_FALSE(lines.empty());
  EXPECT_LT(lines.size(), 359u);
  for (const auto& l : lines) {
    EXPECT_TRUE(inside_captain(l.x0, l.y0));
    EXPECT_TRUE(inside_captain(l.x1, l.y1));
  }
}

TEST_F(DrawFixture, RunwaySymbolEdgesAndMinimumLength) {
  simhost::set_magnetic_variation(-5.0f);
  // Course 355 magnetic with variation -5 points north on a north-up map. A
  // 100 m runway at 0.017 units per nm is far below 0.04 units.
  auto lines = draw([&] { draw_runway_symbol(47.0, 8.0, 0.017, 0.0f, 0, 47.0, 8.0, 355.0, 100.0f); });
  ASSERT_EQ(lines.size(), 4u);
  const double sx = 521 + 500 * 0.5, sy = 8 + 500 * 0.199;
  EXPECT_NEAR(lines[0].x0, sx - 500 * 0.0085, 1e-3);  // left edge
  EXPECT_NEAR(lines[1].x0, sx + 500 * 0.0082, 1e-3);  // right edge, a little nearer
  EXPECT_NEAR(lines[0].y1 - lines[0].y0, 500 * 0.04, 1e-3);
  EXPECT_NEAR(lines[2].y1, cy0, 1e-3);  // approach line 14.2 nm back, cut at the bottom edge
  EXPECT_NEAR(lines[2].x1, sx, 1e-3);
  EXPECT_NEAR(lines[3].y0, sy + 500 * 0.04, 1e-3);           // extension from the far end
}
