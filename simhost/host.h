// The simulated host, as tests, benchmarks and the runner drive it.
//
// One host per process (the host functions are plain C functions, as in the
// real simulator). `reset` starts a fresh host; `load_module` dlopens the
// built plug-in, whose undefined host functions resolve to this library's
// exported ones. Everything the plug-in does through the host interface is
// recorded here: datarefs and their per-name counters, commands and their
// dispatch log, flight loops, draw passes, the log, files, scenery and the
// misuses (`problems`) that a real host would crash on or silently ignore.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace simhost {

// ---- configuration and lifecycle ------------------------------------------

struct CatalogEntry {
  std::string name;
  int type = 0;          // the host's type flags (1 int, 2 float, 4 double, 8, 16, 32, combinations)
  int size = 1;          // element count; byte length for byte data; 1 for scalars
  bool writable = false;
  std::string def;       // empty, a number, a comma list (arrays) or text (bytes)
};

struct Config {
  std::string root;                       // host folder; empty: a fresh temporary folder
  std::string aircraft = "Aircraft/D738/"; // aircraft folder relative to the root, trailing '/'
  std::string acf = "737_80NG.acf";       // the user aircraft's file name
  int host_version = 120000;              // "sim/version/xplane_internal_version"
  std::string catalog_dir;                // empty: the catalog folder of the source tree
  bool scripts = true;                    // the scripts stand-in defines its datarefs
  bool dataref_editor = false;            // the DataRefEditor stand-in is loaded
  bool objects_need_files = true;         // XPLMLoadObject fails for a file that does not exist
  std::vector<std::string> omit;          // catalog names left undefined ("vnav_idx absent")
  std::vector<CatalogEntry> extra;        // defined after the catalogs (replacing same names)
  std::vector<std::string> addons;        // optional add-ons present from the start (their datarefs in extra)
  // Report paths in the Windows form (backslashes, the drive letter first);
  // the Windows build of the host always does.
#ifdef _WIN32
  bool backslash_paths = true;
#else
  bool backslash_paths = false;
#endif
  std::vector<std::string> absent_symbols; // XPLMFindSymbol answers null for these names
  // Folders (relative to the root, trailing '/') where the host's file writes
  // fail as in a folder without write permission; tests often run as root,
  // whom permissions do not stop.
  std::vector<std::string> read_only_folders;
};

// Drops the previous host (stopping and unloading a loaded module), then
// builds a new one from `config`: catalogs, host commands, root folder.
void reset(const Config& config = Config());
const Config& config();

// The host's root folder, ending in '/'.
const std::string& root();
// What XPLMGetPluginInfo reports as the module's file path.
std::string plugin_path();
// A path as the host reports it (backslashes when `backslash_paths` is set).
std::string reported_path(std::string path);

// dlopen (RTLD_NOW | RTLD_LOCAL), or LoadLibrary on Windows, and resolve the
// five entry points. False
// with `error` filled when the file does not load or lacks an entry point.
bool load_module(const std::string& path, std::string* error = nullptr);
bool module_loaded();
int start();    // XPluginStart; keeps the identity the module writes
int enable();   // XPluginEnable (when not enabled)
void disable(); // XPluginDisable (when enabled)
// Whether the module is enabled. A started module that is not runs none of
// its flight loops, draw callbacks or command handlers and receives no
// messages; its datarefs stay registered and answer reads and writes.
bool module_enabled();
void stop();    // XPluginDisable when enabled, then XPluginStop
// dlclose; afterwards anything the module left registered is dropped (and
// listed by `leftovers`), and a module that stays mapped is a problem.
void unload();
// Ends the drawing context with its renderer idle (the panel's pixels stay
// readable); the next draw pass makes a new one. A program that drew calls
// it before it ends: the renderer's exit handler can wait forever for
// threads caught in a frame.
void release_drawing();
// load_module + start + enable; false when the load failed.
bool load_and_start(const std::string& path, std::string* error = nullptr);
// The user loads another aircraft file of the aircraft folder while the
// simulator runs, and the host does what it does then: the module is
// disabled, stopped and unloaded, the new file becomes the user's aircraft,
// and the module is loaded again, started, enabled and told the plane is
// loaded. The host's own values stay as they stand. False with `error`
// filled when `acf` is no file of the aircraft folder (nothing changes) or
// the module does not load again.
bool change_aircraft(const std::string& acf, std::string* error = nullptr);

struct Identity {
  std::string name, signature, description;
};
const Identity& identity();

// XPluginReceiveMessage(from, message, param).
void send_message(int from, int message, void* param);
constexpr int kHostId = 0;
constexpr int kModuleId = 1;
constexpr int kDatarefEditorId = 2;

// ---- frames ---------------------------------------------------------------

// One host frame of `dt` seconds (0 and negative passed on as they are):
// held commands (continue phase), before-flight-model loops, the flight-model
// stand-in, the scripts' stand-ins, after-flight-model loops and timed
// callbacks, then the draw pass.
void frame(float dt);
void frames(int count, float dt);
int frame_count();
// Called in the flight-model slot of every frame.
void set_flight_model(std::function<void(float dt)> step);
// Called in the scripts' slot of every frame: after the flight model and the
// host's derived values, before the after-flight-model loops.
void set_scripts_step(std::function<void(float dt)> step);

// ---- datarefs ---------------------------------------------------------------

enum class Owner { Host, Scripts, Plugin };

bool has_dataref(const std::string& name);
// Defines or replaces a host- or script-owned dataref (before the plug-in
// looks it up, to be meaningful); `remove_dataref` makes a name absent.
void define_dataref(const CatalogEntry& entry, Owner owner = Owner::Host);
void remove_dataref(const std::string& name);

// Test-side reads and writes by name. They go through the plug-in's accessors
// for its own datarefs (honouring its writable flag) and straight to storage
// for host and script datarefs (the test plays their owner). They are not
// counted as the plug-in's reads and writes. Absent names read 0 / empty and
// writes to them return false.
int get_int(const std::string& name);
float get_float(const std::string& name);
double get_double(const std::string& name);
std::vector<int> get_ints(const std::string& name);
std::vector<float> get_floats(const std::string& name);
// The first `count` elements (fewer when the array is shorter): the host's
// arrays are as long as the host makes them, usually longer than the
// elements a test looks at.
std::vector<int> get_ints(const std::string& name, int count);
std::vector<float> get_floats(const std::string& name, int count);
std::string get_bytes(const std::string& name);   // all bytes, NULs included
std::string get_text(const std::string& name);    // bytes up to the first NUL
int array_size(const std::string& name);          // element or byte count (null-buffer read)
bool set_int(const std::string& name, int value);
bool set_float(const std::string& name, float value);
bool set_double(const std::string& name, double value);
bool set_ints(const std::string& name, const std::vector<int>& values, int offset = 0);
bool set_floats(const std::string& name, const std::vector<float>& values, int offset = 0);
bool set_bytes(const std::string& name, const std::string& bytes, int offset = 0);
// Parses a value as the runner's --set does (number, comma list, text) by type.
bool set_from_text(const std::string& name, const std::string& text);
// The value as the runner's --print shows it; false when absent.
bool format_value(const std::string& name, std::string* out);

struct DatarefInfo {
  std::string name;
  int type = 0;
  bool writable = false;
  int size = 1;   // element count from a null-buffer read; 1 for scalars
  Owner owner = Owner::Host;
};
// The plug-in's live registrations, in registration order.
std::vector<DatarefInfo> plugin_datarefs();
// For checks that read every value every frame: a dataref's slot, found once
// by name (-1 when absent), then read as numbers (each element of an array;
// texts give none) into `out`, at most `count`, without a lookup or an
// allocation; returns the numbers written (0 once the dataref is withdrawn).
int dataref_slot(const std::string& name);
int read_numbers(int slot, double* out, int count);
bool dataref_info(const std::string& name, DatarefInfo* out);

// The plug-in's calls per name.
struct DatarefCounts {
  int lookups = 0;         // XPLMFindDataRef calls with this name (found or not)
  int reads = 0;           // get calls through a handle of this name
  int writes = 0;          // set calls accepted
  int refused_writes = 0;  // set calls on a read-only dataref
};
DatarefCounts counts(const std::string& name);
// Names looked up by the plug-in and not found, in first-lookup order.
std::vector<std::string> missing_lookups();
// Every dataref and command name the plug-in asked the host for, found or
// not (as the host answered the first time), in the order it first asked.
struct LookupInfo {
  bool command = false;
  std::string name;
  bool found = false;
};
const std::vector<LookupInfo>& lookups();
int null_handle_reads();
int null_handle_writes();
// The plug-in's writes of a NaN or an infinity into host and script datarefs
// (the real host stores them, and the flight model then diverges): the count
// of such values, and the first 256 as "name[index] = value" (index 0 for
// scalars). An element that held a non-finite value already is not counted
// (a value handed back unchanged); writes into the plug-in's own datarefs are
// not watched here.
int non_finite_write_count();
const std::vector<std::string>& non_finite_writes();
void clear_non_finite_writes();
// The plug-in's array reads and writes on host and script datarefs that ran
// past the array's end (the host copies only what exists), first 256 as
// "XPLMGetDatavf name offset 0 count 5 of 4"; each place counted once.
const std::vector<std::string>& array_overruns();
// Catalog names that the plug-in registered itself (its accessor took over).
std::vector<std::string> shadowed_catalog_names();
// The host and script datarefs the plug-in found by name so far (everything
// it can read from outside), in catalog order.
std::vector<DatarefInfo> looked_up_datarefs();

// ---- commands -----------------------------------------------------------------

bool has_command(const std::string& name);
// Test-side dispatch (as the pilot's input would); not in `issued_commands`.
void command_begin(const std::string& name);
void command_end(const std::string& name);
void command_once(const std::string& name);
// The host's own action of a command, in place of its default one (what the
// simulator's command does to its datarefs; none for commands it does not
// know, which only count their calls).
void set_host_action(const std::string& name, std::function<void(int phase)> action);
int host_action_calls(const std::string& name, int phase);
int handler_count(const std::string& name);

struct IssuedCommand {
  std::string name;
  int phase = 0;       // 0 begin, 2 end (XPLMCommandOnce gives both)
  bool once = false;   // issued through XPLMCommandOnce
};
const std::vector<IssuedCommand>& issued_commands();
void clear_issued_commands();

struct CommandInfo {
  std::string name, description;
};
// Commands the plug-in created with XPLMCreateCommand, in creation order
// (host commands it merely found are not among them).
std::vector<CommandInfo> plugin_commands();

// ---- flight loops and drawing ---------------------------------------------------

struct LoopInfo {
  bool created = false;  // XPLMCreateFlightLoop (else XPLMRegisterFlightLoopCallback)
  int phase = 1;         // 0 before, 1 after the flight model
  float interval = 0;    // current schedule: <0 frames, >0 seconds, 0 inactive
  int calls = 0;
  double last_seconds = 0;  // how long its last call took, as the host's profiler sees it
};
std::vector<LoopInfo> flight_loops();   // live ones, in creation order

struct DrawInfo {
  int phase = 0;
  int before = 0;
  int calls = 0;
  double last_seconds = 0;  // how long its last call took
};
std::vector<DrawInfo> draw_callbacks();

constexpr int kPanelSize = 2048;   // the 3D panel texture, pixels per side

// When on, each draw pass runs in OpenGL feedback mode instead of rendering,
// and `captured_lines` holds the line stream of the last pass.
void set_draw_capture(bool on);
// When on (and capture off), each draw pass is one nobody looks at: the
// plug-in's calls run and are checked as ever, but only one pixel of the
// panel is rasterised (the scissor box), so a long run that takes no picture
// costs little. Unlike feedback mode it keeps memory flat over any number of
// passes: Mesa's feedback path holds on to every vertex buffer it draws from.
void set_draw_unseen(bool on);
struct Line {
  float x0, y0, x1, y1;      // window (panel) coordinates
  float r, g, b, a;          // colour of the first vertex
};
const std::vector<Line>& captured_lines();
int captured_points();
int captured_polygons();
// Rendered pixels of the last pass (RGBA, origin bottom-left).
uint32_t pixel(int x, int y);
int count_pixels_not(uint32_t rgba);   // pixels different from a value (e.g. the clear colour 0)
bool write_png(const std::string& path, std::string* error = nullptr);

struct GraphicsState {
  int fog = 0, texture_units = 0, lighting = 0, alpha_testing = 0, alpha_blending = 0, depth_testing = 0,
      depth_writing = 0;
};
const GraphicsState& graphics_state();
int graphics_state_calls();
// OpenGL calls made in draw passes so far, as the Windows build's counting
// stand-in sees them; 0 where Mesa renders them.
int gl_calls();

// ---- plug-ins, paths, log ---------------------------------------------------------

void set_dataref_editor(bool present);
const std::vector<std::string>& dataref_editor_names();
struct SentMessage {
  int to = 0, message = 0;
  void* param = nullptr;
};
const std::vector<SentMessage>& sent_messages();
bool feature_enabled(const std::string& feature);

const std::vector<std::string>& log_lines();   // complete lines, without the line feed
std::string log_text();                        // everything, exactly as written
void clear_log();
bool log_contains(const std::string& line);    // a complete line equal to `line`

// ---- files, scenery, world -----------------------------------------------------------

struct DataFileCall {
  bool save = false;
  int type = 0;
  std::string path;
  int result = 0;
};
const std::vector<DataFileCall>& data_file_calls();
int directory_contents_calls();

// Terrain height (local y, metres) under local x/z; default flat at 0.
void set_terrain(std::function<float(float x, float z)> height);
// The terrain of an airport list as the aircraft brings one ("ICAO LAT LON
// ELEV_FT TRANS_ALT RWY_LEN_FT" lines, as its Velar_apt.dat): each field flat
// at its elevation within its longest runway's length of its reference
// point, falling off to sea level over the next 10 nm (a higher field's
// ground wins where two meet); sea level away from every field. False, the
// terrain unchanged, when the file holds no field.
bool set_field_terrain(const std::string& airport_list);
int probe_calls();

struct ObjectInfo {
  std::string path;
  bool loaded = false;
};
std::vector<ObjectInfo> objects();   // every load attempt, in order
struct InstanceInfo {
  std::string object_path;
  std::vector<std::string> datarefs;
  bool alive = false;
  bool placed = false;
  float x = 0, y = 0, z = 0, pitch = 0, heading = 0, roll = 0;
  std::vector<float> data;
  int positions_set = 0;
};
std::vector<InstanceInfo> instances();

void set_magnetic_variation(std::function<float(double lat, double lon)> fn);
void set_magnetic_variation(float degrees);
int magnetic_variation_calls();

struct NavAid {
  int type = 0;   // xplm_Nav_* bit
  float lat = 0, lon = 0, height = 0;
  int frequency = 0;
  float heading = 0;
  std::string id, name;
};
void clear_navaids();
void add_navaid(const NavAid& navaid);
// XPLMGetMETARForAirport, a function of host 12 only, reached through
// XPLMFindSymbol (null before host 12 or when named in `absent_symbols`); a
// call from anywhere but a before-flight-model loop is a problem.
void set_metar(const std::string& airport, const std::string& text);
int metar_calls();
// XPLMFindSymbol calls with this name.
int symbol_lookups(const std::string& name);

// Local coordinates: x east, y up, z south, metres from the local origin.
void set_local_origin(double lat, double lon);

// The host's own traffic (AI aircraft, multiplayer or pilot-client targets),
// which moves by itself between a scenario's steps: a target in slot N
// (1..kTrafficSlots) flies a straight line at a steady speed and vertical
// speed every unpaused frame outside replay, and the host fills its TCAS
// target slot ("sim/cockpit2/tcas/targets/position/" lat, lon, ele, vz,
// element N) and, for N up to 19, multiplayer plane N's position
// ("sim/multiplayer/position/planeN_lat", _lon, _el, _v_z), those names the
// host version has. While a target is there its slot is the host's: a value
// written into it stands only until the next frame. Removing the target
// zeroes its slot.
struct TrafficTarget {
  double lat = 0, lon = 0;   // degrees
  double elevation_m = 0;    // above sea level
  double track_deg = 0;      // true
  double speed_mps = 0;      // over the ground
  double vs_mps = 0;         // up positive
};
constexpr int kTrafficSlots = 63;
// False, nothing changed, for a slot outside 1..kTrafficSlots or a target
// that is no place or motion (latitude beyond 90, longitude beyond 180,
// elevation outside -2,000..80,000 m, track outside 0..360, speed outside
// 0..1,000 m/s, vertical speed beyond 1,000 m/s, or not a number).
bool set_traffic(int slot, const TrafficTarget& target);
void remove_traffic(int slot);
// The targets there now and where each is, by slot.
std::vector<std::pair<int, TrafficTarget>> traffic();

// ---- optional add-ons ---------------------------------------------------------------

// An optional add-on's plug-in comes or goes: its datarefs are defined (as
// its plug-in registers them, with their defaults) or withdrawn. Handles the
// plug-in took of a withdrawn name stay valid, read 0 and take no writes, as
// the host's do when the plug-in providing a dataref goes; the add-on coming
// back brings them to life again. Add-ons present from the start are named in
// `Config::addons`, their datarefs in `Config::extra`. The rain-on-glass
// add-on ("rain") loads the objects the plug-in asks for (each "obj/loaded"
// 1 while its "load" is 1 and its file named) and reports its start
// ("init_success" 1 once "initialize" is).
void set_addon(const std::string& name, const std::vector<CatalogEntry>& datarefs, bool present);
bool addon_present(const std::string& name);

// ---- clock and random seam ------------------------------------------------------------

// The executable exports time(), srand() and rand(); the loaded module binds
// those names to them (the executable is searched first), so these pins reach
// the plug-in's own calls. On Windows the module's imports of those functions
// from the C runtime are pointed at the host's at load instead. Unpinned,
// time() is the host's calendar and srand()/rand() forward to the C library.
void pin_time(long long seconds);
void unpin_time();
// The host's calendar (seconds since 1970, UTC): 2024-06-21 10:00:00 at
// reset, then the simulated clock, the frames' time summed, paused or not,
// in whole seconds. `set_calendar` makes it read `seconds` now and run on
// from there.
void set_calendar(long long seconds);
long long calendar();
void pin_rand(std::function<int()> next);   // each rand() returns next()
void unpin_rand();
const std::vector<unsigned>& srand_seeds();

// ---- misuse and clean-up checks -----------------------------------------------------------

// Every misuse of the host interface seen so far (unknown handles, a loop
// destroyed twice, unregistering what was not registered, type mismatches,
// writes to read-only datarefs, bad structure sizes, ...), one line each.
const std::vector<std::string>& problems();
void clear_problems();

struct Registrations {
  int datarefs = 0, command_handlers = 0, flight_loops = 0, draw_callbacks = 0, probes = 0, objects = 0,
      instances = 0;
  int total() const {
    return datarefs + command_handlers + flight_loops + draw_callbacks + probes + objects + instances;
  }
};
// What the plug-in holds with the host now.
Registrations registrations();
// What was still registered when the module was unloaded.
const std::vector<std::string>& leftovers();

}  // namespace simhost
