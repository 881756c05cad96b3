// Map drawing primitives: texture conversion per display, Cohen-Sutherland
// clipped lines with stipple patterns, polar lines, stepped arcs with their
// dash layouts, and the runway symbol. Owns nd_viewport, nd_symbol_origin and
// map_pen. Reads the host's magnetic variation (runway symbol only).
#include "display/map_primitives.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/units.h"
#include "navdata/geodesy.h"
#include "platform/xplm.h"

NdViewport nd_viewport[2];
NdSymbolOrigin nd_symbol_origin{0.5, 0.199};
MapPen map_pen;

namespace {

// The arc and polar arithmetic uses this literal for 2 pi; the drawn vertices
// depend on it, so it is not replaced by a longer value.

inline double to_rad(double deg) { return deg * two_pi_12dp / 360.0; }

inline const NdViewport& viewport(int32_t side) { return nd_viewport[side == 0 ? 0 : 1]; }

struct TexPoint {
  double x;
  double y;
};

inline TexPoint to_texture(double x, double y, int32_t side) {
  return {map_scale_x(x + nd_symbol_origin.x, side), map_scale_y(y + nd_symbol_origin.y, side)};
}

// Saves the enable bits and applies a dash pattern; false for a solid style,
// which changes no state.
bool begin_stipple(int32_t stipple) {
  GLint factor = 0;
  GLushort pattern = 0;
  switch (stipple) {
    case 1: factor = 12; pattern = 0xAAAA; break;
    case 2: factor = 8; pattern = 0xAAAA; break;
    case 20: factor = 8; pattern = 0xF6F6; break;
    case 21: factor = 8; pattern = 0xCCCC; break;
    default: return false;
  }
  glPushAttrib(GL_ENABLE_BIT);
  glLineStipple(factor, pattern);
  glEnable(GL_LINE_STIPPLE);
  return true;
}

enum : int { out_left = 1, out_right = 2, out_bottom = 4, out_top = 8 };

int outcode(double x, double y, const NdViewport& v) {
  int code = 0;
  if (x < v.x0) {
    code |= out_left;
  } else if (x > v.x0 + v.width) {
    code |= out_right;
  }
  if (y < v.y0) {
    code |= out_bottom;
  } else if (y > v.y0 + v.height) {
    code |= out_top;
  }
  return code;
}

// Cohen-Sutherland against the side's map area; false when rejected.
bool clip_to_viewport(double& x1, double& y1, double& x2, double& y2, int32_t side) {
  const NdViewport& v = viewport(side);
  const double top = v.y0 + v.height;
  const double right = v.x0 + v.width;
  int c1 = outcode(x1, y1, v);
  int c2 = outcode(x2, y2, v);
  // Each pass moves one end onto an edge it was beyond; four edges per end
  // bound the passes (the cap only guards against rounding ping-pong).
  for (int pass = 0; (c1 | c2) != 0; ++pass) {
    if ((c1 & c2) != 0 || pass >= 8) return false;
    const int c = c1 != 0 ? c1 : c2;
    double x = 0.0;
    double y = 0.0;
    if (c & out_top) {
      y = top;
      x = x1 + (x2 - x1) * (top - y1) / (y2 - y1);
    } else if (c & out_bottom) {
      y = v.y0;
      x = x1 + (x2 - x1) * (v.y0 - y1) / (y2 - y1);
    } else if (c & out_right) {
      x = right;
      y = y1 + (y2 - y1) * (right - x1) / (x2 - x1);
    } else {
      x = v.x0;
      y = y1 + (y2 - y1) * (v.x0 - x1) / (x2 - x1);
    }
    if (c == c1) {
      x1 = x;
      y1 = y;
      c1 = outcode(x1, y1, v);
    } else {
      x2 = x;
      y2 = y;
      c2 = outcode(x2, y2, v);
    }
  }
  return true;
}

}  // namespace

void set_nd_viewports() {
  // Both displays share one column of the 2048-pixel texture; the first
  // officer's sits 512 pixels above the captain's. The clip height stops 8
  // pixels short of the width so lines stay out of the display's header.
  constexpr double px = 1.0 / 2048.0;
  nd_viewport[nd_captain] = {521 * px, 8 * px, 500 * px, 500 * px, 492 * px};
  nd_viewport[nd_first_officer] = {521 * px, 520 * px, 500 * px, 500 * px, 492 * px};
}

double map_scale_x(double v, int32_t side) {
  const NdViewport& vp = viewport(side);
  return vp.width * v + vp.x0;
}

double map_scale_y(double v, int32_t side) {
  const NdViewport& vp = viewport(side);
  return vp.y_scale * v + vp.y0;
}

int32_t map_point_visible(double x, double y, int32_t side) {
  const NdViewport& v = viewport(side);
  return (x >= v.x0 && x <= v.x0 + v.width && y >= v.y0 && y <= v.y0 + v.height) ? 1 : 0;
}

void map_vertex_pair(float x1, float y1, float x2, float y2, int32_t side) {
  // Scaled in double, emitted rounded to single precision.
  glVertex2d(static_cast<float>(map_scale_x(x1, side)), static_cast<float>(map_scale_y(y1, side)));
  glVertex2d(static_cast<float>(map_scale_x(x2, side)), static_cast<float>(map_scale_y(y2, side)));
}

int32_t map_vertex_pair_clipped(float x1, float y1, float x2, float y2, int32_t side) {
  // Rounded as the plain pair is, so a line inside the area is emitted as
  // it always was; only the part beyond an edge is cut.
  double ax = static_cast<float>(map_scale_x(x1, side));
  double ay = static_cast<float>(map_scale_y(y1, side));
  double bx = static_cast<float>(map_scale_x(x2, side));
  double by = static_cast<float>(map_scale_y(y2, side));
  if (!(std::isfinite(ax) && std::isfinite(ay) && std::isfinite(bx) && std::isfinite(by)) || !clip_to_viewport(ax, ay, bx, by, side)) {
    return 0;
  }
  glVertex2d(static_cast<float>(ax), static_cast<float>(ay));
  glVertex2d(static_cast<float>(bx), static_cast<float>(by));
  return 1;
}

int32_t map_line_clipped(double x1, double y1, double x2, double y2, int32_t stipple, int32_t side) {
  const bool patterned = begin_stipple(stipple);
  map_pen = {x2, y2};
  const TexPoint a = to_texture(x1, y1, side);
  const TexPoint b = to_texture(x2, y2, side);
  double ax = a.x, ay = a.y, bx = b.x, by = b.y;
  int32_t drawn = 0;
  // A point that is not a number has no outcode; it is never sent to GL.
  if (std::isfinite(ax) && std::isfinite(ay) && std::isfinite(bx) && std::isfinite(by) && clip_to_viewport(ax, ay, bx, by, side)) {
    glBegin(GL_LINES);
    glVertex2d(ax, ay);
    glVertex2d(bx, by);
    glEnd();
    drawn = 1;
  }
  if (patterned) glPopAttrib();
  return drawn;
}

int32_t map_polar_line(double x, double y, double bearing, double length, int32_t stipple, int32_t side) {
  const double a = to_rad(90.0 - bearing);
  const double ex = x + length * std::cos(a);
  const double ey = y + length * std::sin(a);
  map_pen = {ex, ey};
  return map_line_clipped(x, y, ex, ey, stipple, side);
}

namespace {

// Whether no point of the circle about (cx, cy) can be in the side's map area.
bool circle_hidden(double cx, double cy, double radius, int32_t side) {
  const NdViewport& v = viewport(side);
  const TexPoint lo = to_texture(cx + -radius, cy + -radius, side);
  const TexPoint hi = to_texture(cx + radius, cy + radius, side);
  const double x_min = std::min(lo.x, hi.x);
  const double x_max = std::max(lo.x, hi.x);
  const double y_min = std::min(lo.y, hi.y);
  const double y_max = std::max(lo.y, hi.y);
  return x_max < v.x0 || x_min > v.x0 + v.width || y_max < v.y0 || y_min > v.y0 + v.height;
}

}  // namespace

void draw_map_arc(double cx, double cy, double radius, double a, double b, float direction, int32_t dash,
                  int32_t side) {
  if (!(radius > 0.0) || a == b) return;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius) || !std::isfinite(a) || !std::isfinite(b)) return;
  const bool ccw = direction == 0.0f || direction == 2.0f;
  const bool pieces = dash >= 11 && dash <= 13;
  double A = std::fmod(90.0 - a + 360.0, 360.0);
  double B = std::fmod(90.0 - b + 360.0, 360.0);

  // Dash angle for the evenly dashed styles: a fixed arc length per dash.
  double p = 1.0;
  if (dash == 1 || dash == 2) {
    p = 360.0 / (radius * two_pi_12dp / (dash == 1 ? 0.025 : 0.012));
    if (p == 0.0) p = 1.0;
  }
  const double g = pieces ? 360.0 / (radius * two_pi_12dp / 0.01) : 0.0;

  if (ccw) {
    if (A > B) B += 360.0;
  } else if (B > A) {
    A += 360.0;
  }

  // Span and piece count in single precision.
  float span = 360.0f;
  float count = 360.0f;
  if (dash == 1) {
    span = static_cast<float>(std::fabs(A - B));
    count = std::ceil(static_cast<float>(span / p));
    if (std::fmod(count, 2.0f) == 0.0f) count += 1.0f;
  } else if (dash == 2) {
    count = std::ceil(static_cast<float>(360.0 / p));
    if (std::fmod(count, 2.0f) != 0.0f) count += 1.0f;
  } else if (pieces) {
    span = static_cast<float>(std::fabs(A - B));
    count = static_cast<float>(dash - 10);
  }
  if ((dash == 1 || dash == 2 || pieces) && count == 0.0f) count = 1.0f;
  // A radius so small that the dash count overflows gives q = 0: nothing.
  const double q = static_cast<double>(span / count);
  if (!(q > 0.0) || !std::isfinite(q)) return;
  const double h = std::min(q / 2.0, g);
  const double h_first = pieces ? h : 0.0;

  auto point = [&](double t) {
    const double r = to_rad(std::fmod(t + 360.0, 360.0));
    return MapPen{cx + radius * std::cos(r), cy + radius * std::sin(r)};
  };
  auto visible = [&](const TexPoint& tp) { return map_point_visible(tp.x, tp.y, side) != 0; };
  // Every point of the walk lies within the circle's box, and rounding keeps
  // the order of the box's corners through the texture scaling: a box wholly
  // outside the map area means no vertex is drawn, so only the steps are
  // walked and only the pen's last point is worked out.
  const bool hidden = circle_hidden(cx, cy, radius, side);
  double pen_t = 0.0;
  bool pen_moved = false;

  glBegin(GL_LINES);
  double E = ccw ? std::min(B, A + q - h_first) : std::max(B, A - q + h_first);
  if (ccw ? !(B > A) : !(A > B)) {
    glEnd();
    return;
  }
  double t = A;
  double D = A;
  TexPoint P{0.0, 0.0};
  TexPoint Q{0.0, 0.0};
  bool first = true;
  int closing = 0;
  // Bound on the walk: one step per degree of a full turn plus one per dash.
  for (int guard = 0; guard < 100000; ++guard) {
    if (hidden) {
      if (!first) {
        pen_t = t;
        pen_moved = true;
      }
      first = false;
    } else {
      const MapPen m = point(t);
      const TexPoint tp = to_texture(m.x, m.y, side);
      if (first) {
        P = Q = tp;
        first = false;
      } else {
        map_pen = m;
        Q = tp;
        if (visible(P) && visible(Q)) {
          glVertex2d(P.x, P.y);
          glVertex2d(Q.x, Q.y);
        }
        P = Q;
      }
    }
    closing = 1;
    if (dash <= 0) {
      t += ccw ? 1.0 : -1.0;
    } else {
      if (ccw ? t >= E : t <= E) {
        if (pieces) {
          D += ccw ? q : -q;
          E = ccw ? D + q - h : D - q + h;
        } else {
          D += ccw ? 2.0 * q : -2.0 * q;
          E = ccw ? D + q : D - q;
        }
        t = D;
        if (!hidden) {
          const MapPen md = point(D);
          P = to_texture(md.x, md.y, side);
        }
        closing = (ccw ? D < B : D > B) ? 1 : 0;
      }
      const double k = std::min(q, 1.0);
      t = ccw ? std::min(t + k, E) : std::max(t - k, E);
    }
    if (ccw ? !(t < B) : !(t > B)) break;
  }
  if (hidden && pen_moved) map_pen = point(pen_t);
  if (closing == 1 && !pieces) {
    const MapPen mb = point(B);
    map_pen = mb;
    const TexPoint tb = to_texture(mb.x, mb.y, side);
    if (!hidden && visible(Q) && visible(tb)) {
      glVertex2d(Q.x, Q.y);
      glVertex2d(tb.x, tb.y);
    }
  }
  glEnd();
}

int32_t draw_runway_symbol(double ref_lat, double ref_lon, double scale, float up_heading, int32_t side,
                           double rwy_lat, double rwy_lon, double course, float length_m) {
  const double v = XPLMGetMagneticVariation(rwy_lat, rwy_lon);
  const double c = std::fmod(course - v - static_cast<double>(up_heading) + 360.0, 360.0);
  // 0.0005399568 nm per metre; a short runway still shows as a short bar.
  const double len = std::max(0.04, static_cast<double>(length_m) * 0.0005399568 * scale);
  const double theta = std::fmod(90.0 - c + 360.0, 360.0);
  map_project(ref_lat, ref_lon, rwy_lat, rwy_lon, up_heading, scale);
  const double tx = map_point.x;
  const double ty = map_point.y;
  const double left = to_rad(std::fmod(theta + 90.0, 360.0));
  const double right = to_rad(std::fmod(theta + 270.0, 360.0));
  map_polar_line(tx + 0.0085 * std::cos(left), ty + 0.0085 * std::sin(left), c, len, 0, side);
  map_polar_line(tx + 0.0082 * std::cos(right), ty + 0.0082 * std::sin(right), c, len, 0, side);
  map_polar_line(tx, ty, std::fmod(c + 180.0, 360.0), 14.2 * scale, 2, side);
  const double th = to_rad(theta);
  return map_polar_line(tx + len * std::cos(th), ty + len * std::sin(th), c, 14.2 * scale, 2, side);
}
