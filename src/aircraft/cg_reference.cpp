// CG reference shift of the generic aircraft files.
//
// Reads the scripts' "zuvadud/D738/real_cg" at the moment of use, the pitch
// mirror "sim/flightmodel/position/theta" and on_ground; writes the host's
// "sim/flightmodel/misc/cgz_ref_to_default" (metres).
#include "aircraft/cg_reference.h"

#include "core/binding.h"
#include "core/host_io.h"
#include "publication/debug_service.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"

float cg_shift;

namespace {
constexpr float shift_max_m = 0.4f;
constexpr float shift_in_rate = 0.05f;   // m/s: full shift 8 s after touching down
constexpr float shift_out_rate = 0.11f;  // m/s: gone about 3.6 s after lift-off
constexpr float rotation_pitch_deg = 5.0f;  // newer hosts: no shift once the nose is up
// Scripts' CG position of the default reference, metres; the "b737.acf"
// family sits further aft.
constexpr double cg_base_m = 16.660368;
constexpr double cg_base_b737_m = 16.687292;
}  // namespace

void update_cg_reference() {
  float r = 0.0f;
  const bool have_cg = read_now_finite_f(bound::zuvadud_D738_real_cg, &r);

  const bool generic = variant_index < 0;
  bool lowered = generic && on_ground != 0;
  if (host_version >= 120000)
    lowered = lowered && mirror_f(bound::sim_flightmodel_position_theta) < rotation_pitch_deg;
  cg_shift = ramp_toward(cg_shift, lowered ? shift_max_m : 0.0f, 0.0f, shift_max_m,
                         lowered ? shift_in_rate : shift_out_rate);

  if (!generic || handling_options[handling_cg_shift] == 0) return;
  // Without the scripts' value there is nothing sound to give the flight
  // model: an absent or non-finite CG would move the reference by 16 m.
  if (!have_cg) return;
  const double base = model_family == 2.0f ? cg_base_b737_m : cg_base_m;
  const float value = static_cast<float>(static_cast<double>(r) - base) - cg_shift;
  host_send_f(bound::sim_flightmodel_misc_cgz_ref_to_default, value);
  set_mirror_f(bound::sim_flightmodel_misc_cgz_ref_to_default, value);
}
