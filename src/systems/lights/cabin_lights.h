// Cabin lighting: the scene values the cabin lighting commands set, copied
// each frame into the arrays the cabin's 3D objects read ("tarv/cabin/lights1"
// to "lights4" for one cabin model, "tarx/cabin/lights_x" and
// "entry_lights_x" for the other), and the colour and size set-up of the
// cockpit's light-spill arrays ("zuvadud/D738/light/spill/ratio/...").
#pragma once

// Passenger cabin scene of the cabin models of families 0 and 2: three
// colour levels and a brightness (set by the passenger lighting commands).
extern float pax_light_scene[4];

// Every unpaused, live frame after the exterior lights.
void update_cabin_lights();
// First frame after each load.
void init_light_spill();
