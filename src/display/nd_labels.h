// Waypoint label texts of the navigation display slots: identifier,
// altitude constraint, time of arrival and RNP lines, each in a white and a
// magenta (active waypoint) version; and the flight-level formatter of the
// vertical-profile marker labels.
#pragma once

#include <cstdint>

// Rewrites all eight label texts of one slot (0..19) of one side (0 captain,
// other first officer). kind 0: main route leg `index`; 1 / 7: second route
// table (7 never active); 8 / 9: third route table (9 never active); 2 / 4:
// first / second hold-at point; 3: abeam point `index`; any other kind
// leaves the slot empty. data 1 adds the ETA and RNP lines; alt_line 1 the
// altitude constraint. A slot or leg index out of range writes nothing /
// empty texts.
void nd_wpt_labels(int32_t index, int32_t slot, int32_t kind, int32_t data, int32_t side, uint8_t alt_line);

// "FL350" above a non-zero transition, else the plain number; the result is
// left in flight_level_text.
extern char flight_level_text[16];
void format_flight_level(int32_t altitude, int32_t transition);
