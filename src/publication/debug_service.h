// The service channel published as "corvane/Debug": the handling options the
// thrust and CG logic consult, the nine situation slots saved and loaded
// through the host, and the status the channel reads back. A MAX model whose
// prefixed slot file is missing loads the bare slot name instead, where its
// saves went before it had a prefix of its own.
//
// Host values: calls XPLMSaveDataFile / XPLMLoadDataFile (situation files,
// relative to the host's root) and writes the option lines to the log. A
// situation load the host carried out also clears the frame sequencer's load
// flags and runs the per-load reset, so the next frames redo their start-up
// work; a missing file, or one the host could not load, changes nothing.
#pragma once

#include <cstdint>

#include "core/handling_options.h"

// Status left by the last write, returned unchanged by the dataref's reader:
// 0 after nothing or an option command, 2 after a situation command, 1 after
// any other value, after a save the host could not write and after a load of
// a slot file that does not exist or that the host could not load (each
// logged). 0 at start-up.
extern int32_t debug_status;

// Handling options (core/handling_options.h): set by the option commands.

// Writer of "corvane/Debug"; acts on the value at once (refcon unused).
void debug_command_write(void* refcon, int value);

// The situation file a slot command names: "Output/situations/", then the
// variant's prefix (from variant_index, else acf_model), then the slot file
// ("01.sit" .. "08.sit", "00.sit" for the ninth). `command` is a load
// (801-809) or save (901-909) value. Returns false, leaving out empty when
// out_size allows, for any other value or when the path would not fit.
bool situation_path(int32_t command, char* out, int32_t out_size);

// The variant's file-name prefix ("" when it has none).
const char* situation_prefix();
