// The simulated host's lifecycle: a fresh host per `reset`, the module loader
// and its entry points, plug-in identity and messages (with the DataRefEditor
// stand-in), paths, the debug log, the misuse record and the clean-up checks
// at unload.
#include "os.h"
#include "state.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace simhost {
namespace {

Host* g_host = nullptr;

constexpr const char* kDatarefEditorSignature = "xplanesdk.examples.DataRefEditor";
constexpr int kDatarefEditorMessage = 0x01000000;

void copy_out(char* out, const std::string& text, size_t capacity) {
  if (!out) return;
  size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

void remove_temp_root(Host& h) {
  if (!h.temp_root || h.root.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(h.root, ec);
  h.temp_root = false;
}

// The process that made the host's temporary root removes it when it ends,
// however it ends short of a crash: tests that never reset again, a runner
// whose plug-in did not load or whose scenario stopped with an error.
long g_root_owner = 0;
void remove_temp_root_at_exit() {
  if (g_host != nullptr && os::process_id() == g_root_owner) remove_temp_root(*g_host);
}

void make_root(Host& h) {
  namespace fs = std::filesystem;
  if (h.config.root.empty()) {
    h.root = os::make_temp_folder();
    if (h.root.empty()) {
      problem("cannot create a temporary root folder");
      return;
    }
    h.temp_root = true;
    if (g_root_owner == 0) std::atexit(remove_temp_root_at_exit);
    g_root_owner = os::process_id();
    std::error_code ec;
    fs::create_directories(h.root + h.config.aircraft, ec);
    fs::create_directories(h.root + "Output/situations", ec);
    fs::create_directories(h.root + "Output/FMS plans", ec);
  } else {
    h.root = h.config.root;
#ifdef _WIN32
    // Kept with '/' inside the host, as the Windows file functions accept it;
    // `reported_path` gives the plug-in the native form.
    for (char& c : h.root)
      if (c == '\\') c = '/';
    while (h.root.size() > 1 && h.root.back() == '/' && h.root[h.root.size() - 2] == '/') h.root.pop_back();
#endif
    if (h.root.back() != '/') h.root += '/';
  }
}

void append_log(Host& h, const char* text) {
  h.log += text;
  // Complete lines move to the line list; a partial line waits for its end.
  size_t start = h.log_done;
  for (;;) {
    size_t nl = h.log.find('\n', start);
    if (nl == std::string::npos) break;
    h.log_lines.push_back(h.log.substr(start, nl - start));
    start = nl + 1;
  }
  h.log_done = start;
  if (std::getenv("SIMHOST_ECHO_LOG")) std::fputs(text, stderr);
}

}  // namespace

Host& host() {
  if (!g_host) {
    g_host = new Host;
    g_host->root = "";
  }
  return *g_host;
}

void problem(const char* fmt, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  host().problems.push_back(buf);
  if (std::getenv("SIMHOST_ECHO_PROBLEMS")) std::fprintf(stderr, "simhost problem: %s\n", buf);
}

void reset(const Config& config) {
  if (g_host) {
    if (g_host->module.handle) unload();
    remove_temp_root(*g_host);
    delete g_host;
    g_host = nullptr;
  }
  release_gl();
  reset_seam();
  Host& h = host();
  h.config = config;
  if (h.config.aircraft.empty() || h.config.aircraft.back() != '/') h.config.aircraft += '/';
  h.dataref_editor = config.dataref_editor;
  h.addons = config.addons;
  make_root(h);
  load_catalogs(h);
  load_host_commands(h);
  default_world(h);
  start_values(h);
  derive_values(h, 0.0f);
}

const Config& config() { return host().config; }
const std::string& root() { return host().root; }

// A path as the host reports it to plug-ins: with backslash separators when
// the configuration imitates a Windows host with native paths.
std::string reported_path(std::string path) {
  if (host().config.backslash_paths)
    for (char& c : path)
      if (c == '/') c = '\\';
  return path;
}

std::string plugin_path() {
  const Host& h = host();
#ifdef _WIN32
  std::string file = "win.xpl";
#else
  std::string file = "lin.xpl";
#endif
  if (!h.module.path.empty()) {
    // A module inside the host's folder is where the host found it, in the
    // aircraft's plug-in folder or not; one from elsewhere (a build tree)
    // stands for the one installed with the aircraft.
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string module = fs::weakly_canonical(fs::absolute(h.module.path, ec), ec).generic_string();
    const std::string root = fs::weakly_canonical(fs::absolute(h.root, ec), ec).generic_string();
    const std::string prefix = root.empty() || root.back() == '/' ? root : root + "/";
    if (!prefix.empty() && module.compare(0, prefix.size(), prefix) == 0)
      return h.root + module.substr(prefix.size());
    file = fs::path(h.module.path).filename().string();
  }
  return h.root + h.config.aircraft + "plugins/corvane/64/" + file;
}

bool load_module(const std::string& path, std::string* error) {
  Host& h = host();
  if (h.module.handle) {
    if (error) *error = "a module is already loaded";
    return false;
  }
  void* handle = os::load_library(path, error);
  if (!handle) return false;
  Module m;
  m.handle = handle;
  m.path = path;
  m.start = reinterpret_cast<int (*)(char*, char*, char*)>(os::find_symbol(handle, "XPluginStart"));
  m.stop = reinterpret_cast<void (*)()>(os::find_symbol(handle, "XPluginStop"));
  m.enable = reinterpret_cast<int (*)()>(os::find_symbol(handle, "XPluginEnable"));
  m.disable = reinterpret_cast<void (*)()>(os::find_symbol(handle, "XPluginDisable"));
  m.receive = reinterpret_cast<void (*)(XPLMPluginID, int, void*)>(os::find_symbol(handle, "XPluginReceiveMessage"));
  if (!m.start || !m.stop || !m.enable || !m.disable || !m.receive) {
    os::unload_library(handle);
    if (error) *error = path + " lacks one of the five entry points";
    return false;
  }
  h.module = m;
  return true;
}

bool module_loaded() { return host().module.handle != nullptr; }
bool module_enabled() { return host().module.enabled; }
bool module_disabled(const Host& h) { return h.module.started && !h.module.enabled; }

int start() {
  Host& h = host();
  if (!h.module.handle) {
    problem("start: no module loaded");
    return 0;
  }
  // The host's buffers are 256 bytes; filled with a mark so a missing terminator shows.
  char name[256], sig[256], desc[256];
  std::memset(name, 'x', sizeof name);
  std::memset(sig, 'x', sizeof sig);
  std::memset(desc, 'x', sizeof desc);
  int r = h.module.start(name, sig, desc);
  auto take = [](const char* buf, const char* what) {
    const void* z = std::memchr(buf, '\0', 256);
    if (!z) {
      problem("XPluginStart left the %s unterminated", what);
      return std::string(buf, 255);
    }
    return std::string(buf);
  };
  h.identity = {take(name, "name"), take(sig, "signature"), take(desc, "description")};
  h.module.started = true;
  return r;
}

int enable() {
  Host& h = host();
  if (!h.module.started) {
    problem("enable: module not started");
    return 0;
  }
  // The plug-in manager enables a disabled plug-in only.
  if (h.module.enabled) return 1;
  int r = h.module.enable();
  h.module.enabled = r != 0;
  return r;
}

void disable() {
  Host& h = host();
  if (!h.module.enabled) return;
  h.module.disable();
  h.module.enabled = false;
}

void stop() {
  Host& h = host();
  if (!h.module.started) return;
  disable();
  h.module.stop();
  h.module.started = false;
}

void drop_plugin_registrations(Host& h) {
  h.leftovers.clear();
  for (Dataref& d : h.datarefs)
    if (d.owner == Owner::Plugin && d.live) {
      h.leftovers.push_back("dataref " + d.name);
      d.live = false;
    }
  // Only the module's handlers go: a key the user holds stays held, its
  // continue phases reaching whatever handles the command next and its
  // release ending it.
  for (Command& c : h.commands) {
    for (const CommandHandler& hd : c.handlers)
      if (hd.live) h.leftovers.push_back("command handler on " + c.name);
    c.handlers.clear();
  }
  for (Loop& l : h.loops)
    if (l.alive) {
      h.leftovers.push_back(l.created ? "flight loop" : "flight loop callback");
      l.alive = false;
    }
  for (DrawCallback& d : h.draws)
    if (d.live) {
      h.leftovers.push_back("draw callback at phase " + std::to_string(d.phase));
      d.live = false;
    }
  for (Probe& p : h.probes)
    if (p.alive) {
      h.leftovers.push_back("terrain probe");
      p.alive = false;
    }
  for (Instance& i : h.instances)
    if (i.alive) {
      h.leftovers.push_back("instance of " + h.objects[static_cast<size_t>(i.object)].path);
      i.alive = false;
    }
  for (Object& o : h.objects)
    if (o.alive) {
      h.leftovers.push_back("object " + o.path);
      o.alive = false;
    }
}

void unload() {
  Host& h = host();
  if (!h.module.handle) return;
  if (h.module.started) stop();
  drop_plugin_registrations(h);
  std::string path = h.module.path;
  os::unload_library(h.module.handle);
  h.module = Module{};
  if (os::still_loaded(path)) problem("module %s stayed loaded after unload", path.c_str());
}

void release_drawing() { release_gl(); }

bool load_and_start(const std::string& path, std::string* error) {
  if (!load_module(path, error)) return false;
  start();
  enable();
  return true;
}

bool change_aircraft(const std::string& acf, std::string* error) {
  Host& h = host();
  if (!h.module.handle) {
    if (error) *error = "no module is loaded";
    return false;
  }
  std::error_code ec;
  const std::string folder = h.root + h.config.aircraft;
  if (acf.empty() || acf.find_first_of("/\\") != std::string::npos ||
      !std::filesystem::is_regular_file(folder + acf, ec)) {
    if (error) *error = "no aircraft file " + acf + " in " + folder;
    return false;
  }
  const std::string path = h.module.path;
  disable();
  stop();
  unload();
  h.config.acf = acf;
  if (!load_module(path, error)) return false;
  start();
  enable();
  // Parameter 0: the user's own aircraft.
  send_message(kHostId, XPLM_MSG_PLANE_LOADED, nullptr);
  return true;
}

const Identity& identity() { return host().identity; }

void send_message(int from, int message, void* param) {
  Host& h = host();
  if (!h.module.handle || !h.module.started) return problem("message %d sent with no started module", message);
  // Only enabled plug-ins receive messages.
  if (!h.module.enabled) return;
  h.module.receive(from, message, param);
}

void set_dataref_editor(bool present) { host().dataref_editor = present; }
const std::vector<std::string>& dataref_editor_names() { return host().dre_names; }
const std::vector<SentMessage>& sent_messages() { return host().sent; }

bool feature_enabled(const std::string& feature) {
  auto it = host().features.find(feature);
  return it != host().features.end() && it->second != 0;
}

const std::vector<std::string>& log_lines() { return host().log_lines; }
std::string log_text() { return host().log; }
void clear_log() {
  host().log.clear();
  host().log_lines.clear();
  host().log_done = 0;
}
bool log_contains(const std::string& line) {
  for (const std::string& l : host().log_lines)
    if (l == line) return true;
  return false;
}

const std::vector<std::string>& problems() { return host().problems; }
void clear_problems() { host().problems.clear(); }
const std::vector<std::string>& leftovers() { return host().leftovers; }

Registrations registrations() {
  const Host& h = host();
  Registrations r;
  for (const Dataref& d : h.datarefs) r.datarefs += d.owner == Owner::Plugin && d.live;
  for (const Command& c : h.commands) r.command_handlers += static_cast<int>(c.handlers.size());
  for (const Loop& l : h.loops) r.flight_loops += l.alive;
  for (const DrawCallback& d : h.draws) r.draw_callbacks += d.live;
  for (const Probe& p : h.probes) r.probes += p.alive;
  for (const Object& o : h.objects) r.objects += o.alive;
  for (const Instance& i : h.instances) r.instances += i.alive;
  return r;
}

}  // namespace simhost

using namespace simhost;

// ---- plug-ins and messages ---------------------------------------------------------

XPLMPluginID XPLMGetMyID(void) { return kModuleId; }

void XPLMGetPluginInfo(XPLMPluginID id, char* out_name, char* out_file_path, char* out_signature,
                       char* out_description) {
  Host& h = host();
  if (id == kModuleId && h.module.handle) {
    copy_out(out_name, h.identity.name, 256);
    copy_out(out_file_path, simhost::reported_path(simhost::plugin_path()), 512);
    copy_out(out_signature, h.identity.signature, 256);
    copy_out(out_description, h.identity.description, 256);
  } else if (id == kDatarefEditorId && h.dataref_editor) {
    copy_out(out_name, "DataRefEditor", 256);
#ifdef _WIN32
    copy_out(out_file_path, simhost::reported_path(h.root + "Resources/plugins/DataRefEditor/64/win.xpl"), 512);
#else
    copy_out(out_file_path, simhost::reported_path(h.root + "Resources/plugins/DataRefEditor/64/lin.xpl"), 512);
#endif
    copy_out(out_signature, kDatarefEditorSignature, 256);
    copy_out(out_description, "Views and edits datarefs.", 256);
  } else if (id == kHostId) {
    copy_out(out_name, "X-Plane", 256);
    copy_out(out_file_path, simhost::reported_path(h.root), 512);
    copy_out(out_signature, "xplane", 256);
    copy_out(out_description, "The simulator.", 256);
  } else {
    problem("XPLMGetPluginInfo: no plug-in %d", id);
    copy_out(out_name, "", 256);
    copy_out(out_file_path, "", 512);
    copy_out(out_signature, "", 256);
    copy_out(out_description, "", 256);
  }
}

XPLMPluginID XPLMFindPluginBySignature(const char* signature) {
  Host& h = host();
  if (!signature) return XPLM_NO_PLUGIN_ID;
  if (h.dataref_editor && std::strcmp(signature, kDatarefEditorSignature) == 0) return kDatarefEditorId;
  if (h.module.handle && h.identity.signature == signature) return kModuleId;
  return XPLM_NO_PLUGIN_ID;
}

void XPLMSendMessageToPlugin(XPLMPluginID id, int message, void* param) {
  Host& h = host();
  h.sent.push_back({id, message, param});
  if (id == kDatarefEditorId && h.dataref_editor) {
    if (message == kDatarefEditorMessage) {
      if (!param) return problem("DataRefEditor message with a null name");
      h.dre_names.push_back(static_cast<const char*>(param));
    }
    return;
  }
  if (id == kModuleId && h.module.handle) {
    h.module.receive(kModuleId, message, param);
    return;
  }
  if (id == XPLM_NO_PLUGIN_ID) return;   // broadcast: nobody else listens here
  problem("XPLMSendMessageToPlugin: no plug-in %d", id);
}

void XPLMEnableFeature(const char* feature, int enable) {
  if (!feature) return problem("XPLMEnableFeature: null feature");
  host().features[feature] = enable;
}

// ---- paths and log ----------------------------------------------------------------------

void XPLMGetSystemPath(char* out_path) {
  if (!out_path) return problem("XPLMGetSystemPath: null buffer");
  copy_out(out_path, simhost::reported_path(host().root), 512);
}

void XPLMDebugString(const char* text) {
  if (!text) return problem("XPLMDebugString: null text");
  append_log(host(), text);
}

void XPLMGetNthAircraftModel(int index, char* out_file_name, char* out_path) {
  Host& h = host();
  if (index == 0) {
    copy_out(out_file_name, h.config.acf, 256);
    copy_out(out_path, simhost::reported_path(h.root + h.config.aircraft + h.config.acf), 512);
  } else {
    copy_out(out_file_name, "", 256);
    copy_out(out_path, "", 512);
  }
}
