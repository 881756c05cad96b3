// What any trim switch does to the autopilot, the captain's and the first
// officer's alike.
#pragma once

#include "core/bound_mirrors.h"
#include "core/command_refs.h"

// Trimming while the autopilot flies (or under control wheel steering
// override) disconnects it.
inline void disconnect_autopilot_on_trim() {
  const float cws = script_mirror.zuvadud_D738_autopilot_cws_status;
  if ((cws == 0.0f && script_mirror.zuvadud_autopilot_ap_on == 1.0f) || cws == 2.0f) {
    issue_command_once(HostCmd::autopilot_servos_fdir_off);
  }
}
