// Command handlers of the cockpit area: cabin signs, interphone and cabin
// light presets. The fasten-seatbelt sign and service interphone switches,
// and three passenger lighting presets that set a whole cabin scene at once:
// the scene values of the cabin model this variant carries (the families 0
// and 2 have one model, every other the zone model), plus the preset number
// both models announce.
#include "commands/command_handlers.h"
#include "commands/command_settings.h"
#include "commands/switch_moves.h"
#include "core/variant.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/switches/switch_values.h"

namespace {

struct PaxPreset {
  int32_t number;       // announced preset number
  float scene[4];       // scene of the families 0 and 2: three colour levels and a brightness
  float zones[16];      // zone levels A-F, H-O, Q, R (G and P stay dark)
};

constexpr PaxPreset kToLanding = {1, {0.3f, 0.8f, 0.1f, 2.0f},
                                  {1, 1, 1, 0.1f, 1, 1, 1, 1, 0.3f, 0.5f, 1, 0.4f, 1, 1, 1, 1}};
constexpr PaxPreset kWhiteBright = {0, {1, 1, 1, 5.0f}, {1, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 1, 3, 1, 1, 1}};
constexpr PaxPreset kWhiteMedium = {3, {1, 1, 1, 1.5f},
                                    {1, 1, 1, 0.7f, 3, 1, 1, 1, 1, 1, 1, 0.7f, 1.5f, 1, 1, 1}};

bool scene_cabin_model() { return model_family == 0.0f || model_family == 2.0f; }

// A dark cabin takes no preset: the scenes are set on the cabin lights' own
// power.
void apply_pax_preset(const PaxPreset& p) {
  if (!fed(Consumer::cabin_lights)) return;
  if (scene_cabin_model()) {
    for (int i = 0; i < 4; ++i) pax_light_scene[i] = p.scene[i];
  } else {
    float* const zones[] = {&tarv_cabin::lightsA, &tarv_cabin::lightsB, &tarv_cabin::lightsC,
                            &tarv_cabin::lightsD, &tarv_cabin::lightsE, &tarv_cabin::lightsF,
                            &tarv_cabin::lightsH, &tarv_cabin::lightsI, &tarv_cabin::lightsJ,
                            &tarv_cabin::lightsK, &tarv_cabin::lightsL, &tarv_cabin::lightsM,
                            &tarv_cabin::lightsN, &tarv_cabin::lightsO, &tarv_cabin::lightsQ,
                            &tarv_cabin::lightsR};
    for (int i = 0; i < 16; ++i) *zones[i] = p.zones[i];
    tarv_cabin::lightsG = 0.0f;
    tarv_cabin::lightP = 0.0f;
  }
  // Kept as a setting too, so the start-up state announces the same preset.
  pax_lighting_setting = p.number;
  tarx_cabin::set_pax_lighting = static_cast<float>(p.number);
}

}  // namespace

int cmd_toggle_switch_seatbelt_sign_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_position(toggle_switch::seatbelt_sign_pos, -1, 0, 2);
  return 0;
}

int cmd_toggle_switch_seatbelt_sign_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_position(toggle_switch::seatbelt_sign_pos, 1, 0, 2);
  return 0;
}

int cmd_cabin_pax_white_bright(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) apply_pax_preset(kWhiteBright);
  return 0;
}

int cmd_cabin_pax_to_landing(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) apply_pax_preset(kToLanding);
  return 0;
}

int cmd_cabin_pax_white_medium(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) apply_pax_preset(kWhiteMedium);
  return 0;
}

int cmd_toggle_switch_service_interphone(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) toggle_two_values(toggle_switch::service_interphone);
  return 0;
}
