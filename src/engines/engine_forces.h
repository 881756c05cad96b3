// Engine force model of the newer host with a generic aircraft file: thrust,
// reverse and fuel flow from the "corvane/engine_model/" coefficients, written
// over the host's own engine forces.
#pragma once

void engine_forces_update();
// Static thrust of one engine, newtons, at this frame's Mach and density.
float engine_static_thrust();
// Thrust of one engine as a fraction of full thrust for N1 as a fraction.
float engine_thrust_curve(float n1_fraction);
