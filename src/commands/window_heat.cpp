// Command handlers of the cockpit area: window and wing heat.
// Each command has a handler of its own; the pending ones answer the host as
// registered and move nothing until this area's behaviour is written.
#include "commands/pending_handlers.h"

CORVANE_PENDING_HANDLER(cmd_toggle_switch_wing_heat)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_window_heat_l_side)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_window_heat_l_fwd)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_window_heat_r_side)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_window_heat_r_fwd)
