// The flight-plan file list offered to the scripts: the ".fms" files of the
// host's "Output/FMS plans/" folder, listed on request inside the dataref write.
#pragma once

// "zuvadud/D738/corvane/filename_list": plan names without their extension,
// each followed by ",", NUL-terminated.
constexpr int filename_list_bytes = 4096;
extern char filename_list[filename_list_bytes];
extern float filename_list_n;    // number of names in the list
extern float filename_list_cmd;  // request; 0 again once served

// Writer of "zuvadud/D738/corvane/filename_list_cmd".
void fms_plan_list_write(void* refcon, float value);

// Takes the plan names of a host listing: `names` holds `bytes` bytes of
// NUL-ended names of which the host reported `total`. Writes their stems,
// each followed by ",", into filename_list (left as it was when there is
// none) and returns how many.
int take_plan_names(const char* names, int bytes, int total);
