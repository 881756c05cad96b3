// Autoland fail grade: how much autoland capability is left from the usable
// attitude sources and two system failure entries, and the alert value raised
// when that grade changes while the autopilot flies
// ("zuvadud/D738/autoland/fail_status", "zuvadud/D738/autoland/fail_flag").
#include <cmath>

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "alerting/gpws.h"
#include "core/binding.h"
#include "core/preprocess_values.h"
#include "systems/instruments/instrument_values.h"

AutolandFailState autoland_fail_state;

void update_autoland_status() {
  AutolandFailState& s = autoland_fail_state;
  int sources = 0;
  if (display::isfd_init_time == 0.0f) ++sources;
  if (mirror_i(bound::sim_operation_failures_rel_ss_ahz) != 6 && mirror_f(bound::zuvadud_D738_irs_pfd_allign) == 0.0f)
    ++sources;
  if (mirror_i(bound::sim_operation_failures_rel_cop_ahz) != 6 && mirror_f(bound::zuvadud_D738_irs_pfd_allign2) == 0.0f)
    ++sources;

  float status;
  if (sources < 2 || failure_value(fail_entry::sys_autoland_fail) == 1.0f) status = 2.0f;
  else if (failure_value(fail_entry::sys_autoland_degraded) == 1.0f || sources == 2) status = 1.0f;
  else status = 0.0f;
  autoland::fail_status = status;

  const float install = mirror_f(bound::zuvadud_D738_autoland_install);
  const float gs = mirror_f(bound::sim_flightmodel_position_groundspeed);
  const bool inhibited = install != 0.0f || !(gs >= 20.58f) || on_ground != 0 ||
                         mirror_f(bound::zuvadud_autopilot_ap_on) == 0.0f ||
                         (mirror_f(bound::zuvadud_D738_autopilot_autoland_status) != 0.0f &&
                          mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot) < 200.0f);
  if (inhibited) {
    autoland::fail_flag = 0.0f;
  } else {
    const float prev = install != s.autoland_install_prev ? -1.0f : s.autoland_status_prev;
    if (prev != status) autoland::fail_flag = status >= 1.0f ? status + 1.0f : 0.0f;
  }
  s.autoland_status_prev = status;
  s.autoland_install_prev = install;
}
