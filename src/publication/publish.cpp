// Registration and withdrawal of the published dataref lists, and the one-shot
// announcement of each name to the dataref editor.
#include "publication/publish.h"

#include "core/binding.h"
#include "core/host_io.h"

namespace {
constexpr const char* dataref_editor_signature = "xplanesdk.examples.DataRefEditor";
constexpr int dataref_editor_add_message = 0x01000000;
constexpr float announce_delay_s = 1.0f;
}  // namespace

bool cockpit_writes_held() { return host_in_replay(); }

void publish_list(const PublishedList& list) {
  for (int i = 0; i < list.count; ++i) {
    const PublishedDataref& d = list.rows[i];
    list.handles[i] = XPLMRegisterDataAccessor(d.name, d.type_flags, d.writable, d.geti, d.seti, d.getf,
                                               d.setf, d.getd, d.setd, d.getvi, d.setvi, d.getvf, d.setvf,
                                               d.getb, d.setb, nullptr, nullptr);
    // The look-up is kept for the host's sake, but its answer is not used: when
    // another plug-in already owns the name it would find that plug-in's
    // dataref, and withdrawing it at stop would remove the wrong one.
    if (d.refind) (void)XPLMFindDataRef(d.name);
    XPLMRegisterFlightLoopCallback(d.announcer, announce_delay_s, nullptr);
  }
}

void withdraw_list(const PublishedList& list) {
  for (int i = 0; i < list.count; ++i) {
    XPLMUnregisterDataAccessor(list.handles[i]);
    list.handles[i] = nullptr;
    XPLMUnregisterFlightLoopCallback(list.rows[i].announcer, nullptr);
  }
}

float announce_to_dataref_editor(const char* name) {
  // Looked up anew each time: the editor may have been loaded or unloaded
  // since the previous announcer ran.
  const XPLMPluginID editor = XPLMFindPluginBySignature(dataref_editor_signature);
  if (editor != XPLM_NO_PLUGIN_ID) {
    XPLMSendMessageToPlugin(editor, dataref_editor_add_message, const_cast<char*>(name));
  }
  return 0.0f;
}
