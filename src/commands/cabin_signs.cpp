// Command handlers of the cockpit area: cabin signs, interphone and cabin light presets.
// Each command has a handler of its own; the pending ones answer the host as
// registered and move nothing until this area's behaviour is written.
#include "commands/pending_handlers.h"

CORVANE_PENDING_HANDLER(cmd_toggle_switch_seatbelt_sign_up)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_seatbelt_sign_dn)
CORVANE_PENDING_HANDLER(cmd_cabin_pax_white_bright)
CORVANE_PENDING_HANDLER(cmd_cabin_pax_to_landing)
CORVANE_PENDING_HANDLER(cmd_cabin_pax_white_medium)
CORVANE_PENDING_HANDLER(cmd_toggle_switch_service_interphone)
