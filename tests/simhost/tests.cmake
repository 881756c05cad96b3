# Tests of the simulated host itself, and the smoke test of the real module.

# A small module loaded by path, as the real one is.
add_library(simhost_probe_module MODULE ${CMAKE_CURRENT_LIST_DIR}/probe_module.cpp)
target_link_libraries(simhost_probe_module PRIVATE corvane_warnings)
target_include_directories(simhost_probe_module PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(simhost_probe_module PRIVATE -fno-gnu-unique)
set_target_properties(simhost_probe_module PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET default)

add_executable(simhost_test
  ${CMAKE_CURRENT_LIST_DIR}/datarefs_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/world_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_test.cpp)
target_link_libraries(simhost_test PRIVATE corvane_warnings
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>" GTest::gtest GTest::gtest_main)
target_compile_definitions(simhost_test PRIVATE PROBE_MODULE_PATH="$<TARGET_FILE:simhost_probe_module>")
add_dependencies(simhost_test simhost_probe_module)
set_target_properties(simhost_test PROPERTIES ENABLE_EXPORTS ON)
gtest_discover_tests(simhost_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${CORVANE_TEST_TIMEOUT})

corvane_integration_test(simhost_smoke_test ${CMAKE_CURRENT_LIST_DIR}/smoke_test.cpp)

# The runner refuses bad arguments and missing files with a non-zero status.
add_test(NAME corvane_sim_bad_frames COMMAND corvane-sim --frames many)
add_test(NAME corvane_sim_missing_root COMMAND corvane-sim --root ${CMAKE_BINARY_DIR}/no-such-root)
set_tests_properties(corvane_sim_bad_frames corvane_sim_missing_root PROPERTIES WILL_FAIL TRUE)
add_test(NAME corvane_sim_runs COMMAND corvane-sim --frames 2 --list-datarefs --list-commands --log)

# A lost result is never a success, --set takes and refuses what a
# scenario's `set` does, and a run without --root writes nothing into the
# source tree: each row runs corvane-sim once (runner_check.cmake).
function(runner_check name)
  cmake_parse_arguments(C "" "STATUS;ERROR;OUTPUT;OUT_FILE;ABSENT;SAME_AS;CLOSED;ENV" "RUN;OUTPUT_EACH;PIPE" ${ARGN})
  list(JOIN C_RUN "|" run)
  set(defs "-DRUN=$<TARGET_FILE:corvane-sim>|${run}" -DSTATUS=${C_STATUS})
  if(DEFINED C_PIPE)
    list(JOIN C_PIPE "|" pipe)
    list(APPEND defs "-DPIPE=${pipe}")
  endif()
  if(DEFINED C_OUTPUT_EACH)
    list(JOIN C_OUTPUT_EACH "@@" each)
    list(APPEND defs "-DOUTPUT_EACH=${each}")
  endif()
  foreach(key ERROR OUTPUT OUT_FILE ABSENT SAME_AS CLOSED ENV)
    if(DEFINED C_${key})
      list(APPEND defs "-D${key}=${C_${key}}")
    endif()
  endforeach()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} ${defs} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/runner_check.cmake)
endfunction()
runner_check(corvane_sim_scenario_folder RUN --scenario ${CMAKE_CURRENT_LIST_DIR} STATUS 2
  ERROR "^corvane-sim: [^\n]*/tests/simhost: a folder, not a scenario file\n$")
runner_check(corvane_sim_trace_lost RUN --frames 3 --trace sim/time/paused --trace-file /dev/full STATUS 1
  ERROR "cannot write the trace to /dev/full")
runner_check(corvane_sim_output_lost RUN --frames 2 --list-datarefs OUT_FILE /dev/full STATUS 1
  ERROR "cannot write standard output")
runner_check(corvane_sim_picture_lost RUN --frames 2 --png /dev/full STATUS 1 ERROR "/dev/full")
# A reader that goes before the output ends (`| head`): the output is lost,
# said so, and the copy of the sample root is gone all the same. The lists'
# reader reads nothing (a list may fit in the pipe whole); the trace's
# stops after its first line, far short of it.
foreach(list datarefs commands)
  runner_check(corvane_sim_pipe_closed_${list} RUN --frames 2 --list-${list} --out ${CMAKE_CURRENT_BINARY_DIR}/pipe-${list}
    PIPE head -c 0 STATUS 1 ERROR "cannot write standard output" ABSENT ${CMAKE_CURRENT_BINARY_DIR}/pipe-${list}/root-1)
endforeach()
runner_check(corvane_sim_pipe_closed_trace RUN --frames 10000 --trace sim/flightmodel/weight/m_fuel
  --out ${CMAKE_CURRENT_BINARY_DIR}/pipe-trace PIPE head -1 STATUS 1 ERROR "cannot write standard output"
  ABSENT ${CMAKE_CURRENT_BINARY_DIR}/pipe-trace/root-1)
# The usage and the positions table (regenerated into a file) are results
# too: into a full device or a pipe whose reader is gone, each says so.
foreach(option help command-positions)
  runner_check(corvane_sim_${option}_lost RUN --${option} OUT_FILE /dev/full STATUS 1
    ERROR "^corvane-sim: cannot write standard output\n$")
  runner_check(corvane_sim_${option}_pipe_closed RUN --${option} CLOSED ON STATUS 1
    ERROR "^corvane-sim: cannot write standard output\n$")
endforeach()
runner_check(corvane_sim_set_nan RUN --set sim/cockpit2/electrical/bus_volts=nan STATUS 2
  ERROR "--set: \"nan\" is not a number for sim/cockpit2/electrical/bus_volts")
runner_check(corvane_sim_set_read_only RUN --set zuvadud/D738/electric/dc_bus1_status=1 STATUS 2
  ERROR "--set: zuvadud/D738/electric/dc_bus1_status is read-only")
runner_check(corvane_sim_set_element RUN --set sim/cockpit2/electrical/bus_volts[1]=3
  --print sim/cockpit2/electrical/bus_volts STATUS 0 OUTPUT "bus_volts=0,3,0,0,0,0")
# A text keeps its bytes, its last blank too: the route decodes all four
# identifiers.
runner_check(corvane_sim_set_text_exactly RUN --set "zuvadud/D738/fms/legs=KSEA RW16L SEA ALPSE "
  --set zuvadud/D738/vnav/legs_num=3 --set zuvadud/D738/fms/test=5555 --set zuvadud/D738/fms/legs_change=1
  --frames 2 --log STATUS 0 OUTPUT "- WPT 3  <ALPSE>:")
# Counts and frame steps as a scenario's `run` and `dt` take them, never
# wrapped: each refused with a message and status 2.
runner_check(corvane_sim_dt_zero RUN --dt 0 STATUS 2 ERROR "--dt needs the frame step in seconds, above 0 and at most 1")
runner_check(corvane_sim_dt_negative RUN --dt -1 STATUS 2 ERROR "--dt needs the frame step")
runner_check(corvane_sim_dt_too_long RUN --dt 2 STATUS 2 ERROR "--dt needs the frame step")
runner_check(corvane_sim_dt_fraction RUN --dt 1/10 --frames 3 --summary STATUS 0 OUTPUT "\n3 frames, 0.3 s simulated")
# The frame step a whole flight may take from the environment (the
# sanitizer build's): a flight timed in seconds takes it, one that counts
# frames keeps its own, and a step the plug-in would not take as it comes is
# refused.
runner_check(corvane_sim_whole_flight_step RUN --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/battery-only-cockpit.txt
  --summary ENV CORVANE_SIM_FRAME_STEP=0.1 STATUS 1 ERROR "frames of 0.1 s \\(CORVANE_SIM_FRAME_STEP\\)"
  OUTPUT "\n310 frames, 31.0 s simulated")
runner_check(corvane_sim_whole_flight_step_frames RUN --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/fuel-imbalance-start.txt
  --summary ENV CORVANE_SIM_FRAME_STEP=0.1 STATUS 0 OUTPUT "\n631 frames, 21.0 s simulated")
runner_check(corvane_sim_whole_flight_step_refused RUN --frames 1 ENV CORVANE_SIM_FRAME_STEP=0.2 STATUS 2
  ERROR "CORVANE_SIM_FRAME_STEP needs a frame step in seconds, above 0 and at most 0.1")
runner_check(corvane_sim_frames_wrapped RUN --frames 4294967296 STATUS 2
  ERROR "--frames needs a whole number from 0 to 10000000")
runner_check(corvane_sim_trace_every_wrapped RUN --trace sim/time/paused --trace-every 4294967297 STATUS 2
  ERROR "--trace-every needs a whole number from 1 to 10000000")
# Hostile on purpose: nan played into one of the plug-in's writable floats
# and frame steps of 0 and less; nothing it publishes or hands the host may
# be anything but a finite number.
runner_check(corvane_sim_hostile_nan RUN --hostile --set zuvadud/D738/knobs/standby_alt_baro=nan --frames 30
  --invariants --summary STATUS 0 ERROR "hostile run"
  OUTPUT "rules broken: none.*30 frames, 1.0 s simulated, hostile")
runner_check(corvane_sim_hostile_dt RUN --hostile --dt -0.5 --set sim/flightmodel/position/groundspeed=inf
  --fly --frames 20 --invariants --summary STATUS 0 OUTPUT "rules broken: none.*20 frames, -10.0 s simulated, hostile")
# Every name the plug-in asks for, found or not: an add-on left out of a
# partial one shows missing, and the plug-in takes the radar for one that
# gives no display link.
runner_check(corvane_sim_list_lookups RUN --addon terrain-radar --omit hollvik/terrain_radar/version --list-lookups
  --print zuvadud/D738/gpws/draw_terrain_flag STATUS 0
  OUTPUT "draw_terrain_flag=0\n.*command\tsim/operation/fix_all_systems\tfound\n.*dataref\thollvik/terrain_radar/version\tmissing\ndataref\thollvik/terrain_radar/gpws/terrain_prediction/enable_terrain_prediction\tfound\n")
# A module inside the host's folder is reported where the host found it: in
# the wrong folder, the aircraft's own lists are not found, as the README's
# troubleshooting says.
runner_check(corvane_sim_module_elsewhere RUN --root ${CMAKE_CURRENT_BINARY_DIR}/wrong-folder-root
  --module ${CMAKE_CURRENT_BINARY_DIR}/wrong-folder-root/Resources/plugins/corvane/64/lin.xpl --log STATUS 0
  OUTPUT "WARNING - I didn't find file >[^\n]*/wrong-folder-root/Resources/Velar_apt.dat< !!!")
set_tests_properties(corvane_sim_module_elsewhere PROPERTIES FIXTURES_REQUIRED wrong_folder_root)
add_test(NAME corvane_sim_module_elsewhere_setup COMMAND ${CMAKE_COMMAND}
  -DFROM=${CMAKE_SOURCE_DIR}/sample/root -DTO=${CMAKE_CURRENT_BINARY_DIR}/wrong-folder-root
  -DMODULE=$<TARGET_FILE:corvane_module> -P ${CMAKE_CURRENT_LIST_DIR}/wrong_folder_root.cmake)
set_tests_properties(corvane_sim_module_elsewhere_setup PROPERTIES FIXTURES_SETUP wrong_folder_root)
# Pictures and the trace go where --out says, never beside the scenario.
runner_check(corvane_sim_out_folder RUN --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/approach.txt
  --out ${CMAKE_CURRENT_BINARY_DIR}/out-folder --trace sim/time/paused --trace-every 1000 --trace-file trace.csv
  --summary STATUS 0 OUTPUT "picture: [^\n]*/out-folder/approach.png"
  ABSENT ${CMAKE_SOURCE_DIR}/sample/scenarios/approach.png)
runner_check(corvane_sim_saves_into_a_copy RUN --set corvane/Debug=901 --frames 3 --summary STATUS 0
  OUTPUT "root: [^\n]* \\(a copy of the sample root; kept: the run wrote into it\\)"
  ABSENT ${CMAKE_SOURCE_DIR}/sample/root/Output/situations/737_80NG_01.sit)
# The checks of every published value find what they are for, and name it.
# Each finding is its own part, so a miss names the part that failed.
runner_check(corvane_sim_checks_broken RUN --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/checks-broken.txt STATUS 1
  OUTPUT_EACH "TRANSPONDER FAIL \\(zuvadud/D738/transponder/indicators/xpond_fail\\): UNEXPECTED"
  "speedbrake_lever_stop: out of range: 2 outside 0..1"
  "instrument_brightness\\[0\\]: flickers"
  "NAMED AND NOT LIT: zuvadud/d738/fmodpack/msg_pull_up \\(line [0-9]+: a PULL UP named that never sounds\\)"
  "invariants: FAILED: 2 rule breaks, 1 unexpected alert, 1 named alert not lit")
# A crew cue missing fails a flight, named: the engine failure flight with
# SOURCE OFF 1 read as 0 by the checks; a name that is no published value is
# refused.
runner_check(corvane_sim_engine_failure_cue_dark
  RUN --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/engine-failure-v1.txt --dark zuvadud/D738/annunciator/source_off1
  STATUS 1 OUTPUT "NAMED AND NOT LIT: zuvadud/D738/annunciator/source_off1 \\(line [0-9]+: generator 1 gone.*\
invariants: FAILED: 0 rule breaks, 0 unexpected alerts, 1 named alert not lit")
runner_check(corvane_sim_hydraulic_loss_cue_dark
  RUN --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/hydraulic-a-loss.txt --dark zuvadud/D738/annunciator/std_rud_on
  STATUS 1 OUTPUT "NAMED AND NOT LIT: zuvadud/D738/annunciator/std_rud_on \\(line [0-9]+: flaps out with A lost.*\
invariants: FAILED: 0 rule breaks, 0 unexpected alerts, 1 named alert not lit")
runner_check(corvane_sim_pressurisation_failure_cue_dark
  RUN --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/pressurisation-failure.txt --dark zuvadud/D738/annunciator/autofail
  STATUS 1 OUTPUT "NAMED AND NOT LIT: zuvadud/D738/annunciator/autofail \\(line [0-9]+: controller 1 faulted.*\
invariants: FAILED: 0 rule breaks, 0 unexpected alerts, 2 named alerts not lit")
runner_check(corvane_sim_dark_unknown RUN --invariants --dark no/such STATUS 2 ERROR "--dark: no/such is no published")
# A cockpit that sets no rheostat and no sun sees its lights as a crew would:
# on the battery alone the aircraft's cautions light and fail the run; with
# the rheostats held at 0 and the annunciators powered no light is judged,
# and that fails it too.
runner_check(corvane_sim_battery_only_lights RUN --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/battery-only-cockpit.txt
  STATUS 1 OUTPUT "TRANSFER BUS OFF[^\n]*: UNEXPECTED")
runner_check(corvane_sim_lights_unjudged RUN --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/battery-only-cockpit.txt
  --set sim/flightmodel2/lights/generic_lights_brightness_ratio[13]=0
  --set sim/flightmodel2/lights/generic_lights_brightness_ratio[14]=0 STATUS 1
  OUTPUT "alerts lit: none.*LIGHTS NOT JUDGED from 1\\.[0-9]+ to 31\\.000 s")
# Names that stand for nothing are refused: an --omit no catalog defines, an
# --acf that is neither a file of the aircraft folder, a product name nor a
# generic name; --help names the products and the generic files, and a
# generic file flies as its model family.
runner_check(corvane_sim_omit_typo RUN --omit sim/cockpit2/electrical/bus_volt STATUS 2
  ERROR "--omit: no catalog defines sim/cockpit2/electrical/bus_volt")
runner_check(corvane_sim_acf_unknown RUN --acf 737_8ONG.acf STATUS 2
  ERROR "--acf 737_8ONG.acf is neither in the aircraft folder")
runner_check(corvane_sim_acf_product RUN --acf 737_1KMX.acf --print corvane/b737_variant STATUS 0
  ERROR "--acf 737_1KMX.acf: the 737 MAX 10 \\(variant 9\\)" OUTPUT "b737_variant=9")
runner_check(corvane_sim_acf_generic RUN --acf b739_4k.acf --print zuvadud/D738/73x STATUS 0
  ERROR "--acf b739_4k.acf: a generic aircraft file \\(model family 1\\)" OUTPUT "73x=1")
runner_check(corvane_sim_help_products RUN --help STATUS 0 OUTPUT "aircraft \\(--acf\\): 737_80NG.acf [^\n]*737_1KMX.acf\n\
  generic aircraft \\(--acf\\): d738.acf d738_4k.acf b739.acf b739_4k.acf b737.acf b737_4k.acf\n")
# The runner always ends by itself, with its status: a 12-second flight with
# the engines running, 24 times, 8 at a time, each allowed 90 s (300 s under
# the sanitizers); a run held at exit by the renderer's threads fails it.
if(CORVANE_SANITIZE)
  set(run_limit 300)
else()
  set(run_limit 90)
endif()
add_test(NAME corvane_sim_always_ends
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/repeat_runs.sh 24 8 ${run_limit} 0 $<TARGET_FILE:corvane-sim>
    --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/addon-without-a-dataref.txt)
set_tests_properties(corvane_sim_always_ends PROPERTIES COST 5000)
# A plug-in left disabled runs no frame: the override its first frame takes
# is never taken; the host still starts the engines for "start with engines
# running", at FL200 too.
runner_check(corvane_sim_disabled RUN --disabled --frames 30 --print sim/operation/override/override_ias STATUS 0
  OUTPUT "override_ias=0\n")
runner_check(corvane_sim_disabled_engines_running RUN --disabled --set sim/operation/prefs/startup_running=1
  --set sim/flightmodel/position/elevation=6096 --frames 450 --print sim/flightmodel/engine/ENGN_running
  --print sim/cockpit2/engine/actuators/mixture_ratio STATUS 0 OUTPUT "ENGN_running=1,1,0[,0]*\nsim/cockpit2/engine/actuators/mixture_ratio=1,1,0")
# The host steers the nose wheel itself while no plug-in overrides it (a
# disabled one never takes the override): from the pedals, and from the
# tiller axis where it turns the wheel further.
runner_check(corvane_sim_host_steers RUN --disabled --set sim/cockpit2/controls/yoke_heading_ratio=1 --frames 2
  --print sim/flightmodel2/gear/tire_steer_command_deg STATUS 0 OUTPUT "tire_steer_command_deg=7,0,")
runner_check(corvane_sim_host_steers_tiller RUN --disabled --set sim/cockpit2/controls/yoke_heading_ratio=0.5
  --set sim/joystick/joy_mapped_axis_avail[37]=1 --set sim/joystick/joy_mapped_axis_value[37]=-0.5 --frames 2
  --print sim/flightmodel2/gear/tire_steer_actual_deg STATUS 0 OUTPUT "tire_steer_actual_deg=-39,0,")
# The host's radios start tuned within their bands, the plug-in aside: no
# panel's transfer hands over a frequency of 0.
runner_check(corvane_sim_radios_start_tuned RUN --disabled --frames 1
  --print sim/cockpit2/radios/actuators/com2_frequency_Mhz --print sim/cockpit2/radios/actuators/com2_frequency_khz
  --print sim/cockpit2/radios/actuators/nav2_frequency_hz --print sim/cockpit2/radios/actuators/adf2_frequency_hz
  --print sim/cockpit2/radios/actuators/adf2_standby_frequency_hz STATUS 0
  OUTPUT "com2_frequency_Mhz=118\n[^\n]*com2_frequency_khz=100\n[^\n]*nav2_frequency_hz=10810\n[^\n]*adf2_frequency_hz=200\n[^\n]*adf2_standby_frequency_hz=190\n")
# The rain add-on loads the objects the plug-in asks for, and reports its
# start (on a host before version 12, where the plug-in drives it).
runner_check(corvane_sim_rain_addon_loads RUN --host-version 115000 --addon rain
  --set zuvadud/D738/perf/kill_windshield=2 --frames 60 --print librain/init_success
  --print librain/z_depth_obj_14/loaded STATUS 0 OUTPUT "librain/init_success=1\nlibrain/z_depth_obj_14/loaded=1\n")
# The positions table is what the commands set today (regenerate it with
# corvane-sim --command-positions > simhost/catalog/switch_positions.tsv).
runner_check(corvane_sim_switch_positions_current RUN --command-positions STATUS 0
  OUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/switch_positions.tsv
  SAME_AS ${CMAKE_SOURCE_DIR}/simhost/catalog/switch_positions.tsv)
set_tests_properties(corvane_sim_switch_positions_current PROPERTIES COST 3500)

# The scenario player: parser, timing, held commands, expectations, traces,
# the flying aircraft, and the sample scenarios' drawings against their
# references (rewritten only by scripts/update-scenario-lines.sh).
add_library(scenario_lines STATIC ${CMAKE_CURRENT_LIST_DIR}/scenario_lines.cpp)
target_link_libraries(scenario_lines PRIVATE corvane_warnings corvane_runner)
target_include_directories(scenario_lines PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/simhost
  ${CMAKE_SOURCE_DIR}/simhost/runner ${CMAKE_SOURCE_DIR}/src)
add_executable(scenario-lines ${CMAKE_CURRENT_LIST_DIR}/scenario_lines_tool.cpp)
target_link_libraries(scenario-lines PRIVATE corvane_warnings scenario_lines corvane_runner
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>")
set_target_properties(scenario-lines PROPERTIES ENABLE_EXPORTS ON)
corvane_integration_test(scenario_test COST 1500 ${CMAKE_CURRENT_LIST_DIR}/scenario_test.cpp)
target_link_libraries(scenario_test PRIVATE scenario_lines corvane_runner)

# A flight's cost to ctest, which starts the costliest tests first: the
# simulated seconds of its last timed step. A run of the suite on many cores
# then does not end waiting for a long flight begun last. The costs the
# other long tests give themselves are on the same scale: about 500 for each
# second the test takes.
function(flight_cost file out)
  file(STRINGS ${file} times REGEX "^at [0-9.]+s")
  set(cost 1)
  if(times)
    list(GET times -1 last)
    string(REGEX REPLACE "^at ([0-9]+).*$" "\\1" cost "${last}")
  endif()
  set(${out} ${cost} PARENT_SCOPE)
endfunction()

# Each sample scenario is a test of its own expectations (its pictures land
# in the build folder).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/scenario-pictures)
foreach(name power-up departure approach traffic map-symbols gate-to-gate engine-failure-v1
    hydraulic-a-loss pressurisation-failure)
  add_test(NAME scenario.${name}
    COMMAND corvane-sim --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/${name}.txt
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/scenario-pictures)
  flight_cost(${CMAKE_SOURCE_DIR}/sample/scenarios/${name}.txt cost)
  set_tests_properties(scenario.${name} PROPERTIES COST ${cost})
endforeach()
# The cue-dark runs fly three of them whole: each costs what its flight does.
foreach(run engine_failure=engine-failure-v1 hydraulic_loss=hydraulic-a-loss
    pressurisation_failure=pressurisation-failure)
  string(REPLACE "=" ";" run "${run}")
  list(GET run 0 check)
  list(GET run 1 flight)
  get_test_property(scenario.${flight} COST cost)
  set_tests_properties(corvane_sim_${check}_cue_dark PROPERTIES COST ${cost})
endforeach()
# Whole flights against the world the host keeps consistent by itself: every
# scenario file of the folder but the one the checks must fail on. A flight
# that needs more of the runner (another aircraft file, an add-on) says so in
# lines "# run as SUFFIX: OPTIONS", each a test scenario.NAME.SUFFIX. Those
# named hostile-* play what a misbehaving host or script gives the plug-in
# (--hostile). Each runs through runner_check, which removes the copy of the
# sample root a flight that saves a situation keeps.
file(GLOB flights CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/scenarios/*.txt)
list(FILTER flights EXCLUDE REGEX "/(checks-broken|battery-only-cockpit)\\.txt$")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${flights})
foreach(file ${flights})
  get_filename_component(name ${file} NAME_WE)
  set(hostile "")
  if(name MATCHES "^hostile-")
    set(hostile --hostile)
  endif()
  file(STRINGS ${file} runs REGEX "^# run as [A-Za-z0-9_-]+: ")
  flight_cost(${file} cost)
  if(NOT runs)
    runner_check(scenario.${name} RUN --scenario ${file} ${hostile} --summary STATUS 0)
    set_tests_properties(scenario.${name} PROPERTIES COST ${cost})
  endif()
  foreach(run IN LISTS runs)
    string(REGEX REPLACE "^# run as ([A-Za-z0-9_-]+): (.*)$" "\\1" suffix "${run}")
    string(REGEX REPLACE "^# run as ([A-Za-z0-9_-]+): (.*)$" "\\2" options "${run}")
    separate_arguments(options UNIX_COMMAND "${options}")
    runner_check(scenario.${name}.${suffix} RUN ${options} ${hostile} --scenario ${file} --summary STATUS 0)
    set_tests_properties(scenario.${name}.${suffix} PROPERTIES COST ${cost})
  endforeach()
endforeach()

# The light census: every published light flown by its own cause from the
# rows of light_census.tsv, one test per start of census/.
corvane_integration_test(light_census_test COST 1000 ${CMAKE_CURRENT_LIST_DIR}/light_census_test.cpp)
target_link_libraries(light_census_test PRIVATE corvane_runner)
# The tests are listed from the table's starts: a changed table builds them anew.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/light_census_test.cpp PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/light_census.tsv)

# The write census: every writable published dataref against its travel in
# tools/travels.tsv, written at the gate and in cruise.
corvane_integration_test(write_census_test COST 1000 ${CMAKE_CURRENT_LIST_DIR}/write_census_test.cpp)
target_link_libraries(write_census_test PRIVATE corvane_runner)

# The restore census flown: each saved slot loaded damaged from the plug-in's
# own save, at the gate and in cruise, against a sound load of the same
# moment (the saved slots of tools/travels.tsv).
corvane_integration_test(restore_flight_census_test COST 1000 ${CMAKE_CURRENT_LIST_DIR}/restore_flight_census_test.cpp)
target_link_libraries(restore_flight_census_test PRIVATE corvane_runner)

# The power census: each consumer of the bus census with each bus cut and in
# each configuration of the sources, flown from the rows of the tables of
# power_census/, two tests per table and start; every command pressed in
# the cold and dark aircraft (census/cuts-cold.txt) against the values allowed
# to move without power (power_census_unpowered_allowed.tsv); and every command
# pressed under each cut and configuration of the sources, one test per start
# and group of cuts, against the rows' effects (power_census_command_paths.tsv).
corvane_integration_test(power_census_test COST 3000 ${CMAKE_CURRENT_LIST_DIR}/power_census_test.cpp)
target_link_libraries(power_census_test PRIVATE corvane_runner)
file(GLOB power_census_tables CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/power_census/*.tsv)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/power_census_test.cpp PROPERTIES
  OBJECT_DEPENDS "${power_census_tables}")

# The census of the non-normal checklists: each row of nonnormal_census.tsv
# flown on the -800 (host 12) and the MAX 8 (host 11), one test per system
# and model; every checklist of the shared descriptions has its row.
corvane_integration_test(nonnormal_census_test COST 1000 ${CMAKE_CURRENT_LIST_DIR}/nonnormal_census_test.cpp)
target_link_libraries(nonnormal_census_test PRIVATE corvane_runner)
# The shared tables' folder as tests/core/tests.cmake names it (read here
# before that file sets its default on a first configure).
set(nonnormal_lists "${CORVANE_HOST_LISTS}")
if(nonnormal_lists STREQUAL "")
  set(nonnormal_lists "${CMAKE_SOURCE_DIR}/../shared/data")
endif()
target_compile_definitions(nonnormal_census_test PRIVATE CORVANE_HOST_LISTS_DIR="${nonnormal_lists}"
  CORVANE_HOST_LISTS_REQUIRED=$<BOOL:${CORVANE_REQUIRE_HOST_LISTS}>)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/nonnormal_census_test.cpp PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/nonnormal_census.tsv)
