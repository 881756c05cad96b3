// Looks up the scripts', host's, add-ons' and direct script tables afresh in
// the simulated host, in start-up order, starting from empty handle slots.
#pragma once

#include "core/binding.h"

inline void rebind_datarefs() {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
}
