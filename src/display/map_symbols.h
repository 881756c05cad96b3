// Map symbols of the navigation displays: the navaids, fixes and airports of
// the last complete candidate lists (navdata/navdb.h), projected onto each
// side's map and published into the display slots. Half a list per call.
#pragma once

void map_navaid_symbols();
void map_airport_symbols();
