// Hydraulic system pressure handed to the host, so that the host's own
// flight-control hydraulics follow the aircraft's model: one switch on host
// 11, one per system on host 12. Commands go out once per change; the value
// last sent is remembered (set to 9 after each load so the first frame always
// sends).
#include "core/command_refs.h"
#include "core/frame_values.h"
#include "systems/aircraft_systems.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/system_state.h"

namespace {

void send_system(float status, float& last, HostCmd on, HostCmd off, bound::Id pump_switch) {
  if (status == last) return;
  if (status == 0.0f) {
    issue_command_once(off);
    host_set_i(pump_switch, 0);
  } else {
    issue_command_once(on);
    host_set_i(pump_switch, 1);
  }
  last = status;
}

}  // namespace

void hyd_pumps_to_host() {
  SystemsStepMemory& m = systems_memory;
  if (host_version < 120000) {
    send_system(hydraulic::A_status + hydraulic::B_status, m.hyd_host_state_a, HostCmd::flight_controls_hydraulic_on,
                HostCmd::flight_controls_hydraulic_off, bound::sim_cockpit2_switches_electric_hydraulic_pump_on);
    return;
  }
  send_system(hydraulic::A_status, m.hyd_host_state_a, HostCmd::flight_controls_hydraulic_eng1A_on,
              HostCmd::flight_controls_hydraulic_eng1A_off, bound::sim_cockpit2_switches_electric_hydraulic_pump_on);
  send_system(hydraulic::B_status, m.hyd_host_state_b, HostCmd::flight_controls_hydraulic_eng2B_on,
              HostCmd::flight_controls_hydraulic_eng2B_off, bound::sim_cockpit2_switches_electric_hydraulic_pump2_on);
}
