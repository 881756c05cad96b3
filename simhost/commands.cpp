// Commands of the simulated host: the host's own commands (from the catalog),
// the plug-in's created ones, handler registration keyed by the full
// (command, handler, before, refcon) tuple, and dispatch in the host's order:
// before-handlers, the host's action, after-handlers; a 0 return stops the rest.
#include "state.h"

#include <algorithm>
#include <fstream>

#ifndef SIMHOST_CATALOG_DIR
#define SIMHOST_CATALOG_DIR "simhost/catalog"
#endif

namespace simhost {
namespace {

size_t add_command(Host& h, const std::string& name, const std::string& description, bool host_command) {
  auto it = h.command_index.find(name);
  if (it != h.command_index.end()) return it->second;
  h.commands.emplace_back();
  Command& c = h.commands.back();
  c.name = name;
  c.description = description;
  c.host_command = host_command;
  h.command_index[name] = h.commands.size() - 1;
  return h.commands.size() - 1;
}

void load_command_file(Host& h, const std::string& path) {
  std::ifstream in(path);
  if (!in) return;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (header) {
      header = false;
      continue;
    }
    size_t tab = line.find('\t');
    std::string name = line.substr(0, tab);
    if (name.empty() || name[0] == '#') continue;
    add_command(h, name, "", true);
  }
}

Command* command_from(void* ref, const char* call) {
  Host& h = host();
  long i = handle_index(ref, kCommandBase, h.commands.size());
  if (i < 0) {
    problem("%s: %p is not a command handle", call, ref);
    return nullptr;
  }
  return &h.commands[static_cast<size_t>(i)];
}

// One phase of one command. Handlers registered or removed by a handler
// during the dispatch take effect from the next dispatch; a removed one is
// not called again.
void dispatch(size_t index, int phase) {
  Host& h = host();
  // A disabled plug-in's handlers are not called: the host's own action
  // runs as if none were registered.
  std::vector<CommandHandler> snapshot;
  if (!module_disabled(h)) snapshot = h.commands[index].handlers;
  for (int pass = 0; pass < 3; ++pass) {
    if (pass == 1) {
      Command& c = h.commands[index];
      ++c.host_action_calls[phase];
      if (c.host_action) {
        std::function<void(int)> action = c.host_action;
        action(phase);
      }
      continue;
    }
    int want_before = pass == 0 ? 1 : 0;
    for (const CommandHandler& s : snapshot) {
      if ((s.before != 0) != (want_before != 0)) continue;
      bool still = false;
      for (const CommandHandler& cur : h.commands[index].handlers)
        if (cur.live && cur.callback == s.callback && cur.before == s.before && cur.refcon == s.refcon) still = true;
      if (!still) continue;
      int go_on = s.callback(make_handle(kCommandBase, index), phase, s.refcon);
      if (go_on == 0) return;
    }
  }
}

void begin(size_t index) {
  Host& h = host();
  if (h.commands[index].held) problem("command %s begun while already held", h.commands[index].name.c_str());
  h.commands[index].held = true;
  dispatch(index, xplm_CommandBegin);
}

void end(size_t index) {
  Host& h = host();
  if (!h.commands[index].held) {
    problem("command %s ended without a begin", h.commands[index].name.c_str());
    return;
  }
  h.commands[index].held = false;
  dispatch(index, xplm_CommandEnd);
}

long named(const std::string& name) {
  Host& h = host();
  auto it = h.command_index.find(name);
  return it == h.command_index.end() ? -1 : static_cast<long>(it->second);
}

}  // namespace

void load_host_commands(Host& h) {
  std::string dir = h.config.catalog_dir.empty() ? std::string(SIMHOST_CATALOG_DIR) : h.config.catalog_dir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  load_command_file(h, dir + "host_commands_base.tsv");
  load_command_file(h, dir + "host_commands.tsv");
  install_default_actions(h);
}

// Continue phase for every held command, once per frame.
void continue_held_commands(Host& h, float dt) {
  default_actions_frame(dt);
  for (size_t i = 0; i < h.commands.size(); ++i)
    if (h.commands[i].held) dispatch(i, xplm_CommandContinue);
}

bool has_command(const std::string& name) { return named(name) >= 0; }

void command_begin(const std::string& name) {
  long i = named(name);
  if (i < 0) return problem("test began unknown command %s", name.c_str());
  begin(static_cast<size_t>(i));
}

void command_end(const std::string& name) {
  long i = named(name);
  if (i < 0) return problem("test ended unknown command %s", name.c_str());
  end(static_cast<size_t>(i));
}

void command_once(const std::string& name) {
  command_begin(name);
  command_end(name);
}

void set_host_action(const std::string& name, std::function<void(int)> action) {
  long i = named(name);
  if (i < 0) {
    Host& h = host();
    i = static_cast<long>(add_command(h, name, "", true));
  }
  host().commands[static_cast<size_t>(i)].host_action = std::move(action);
}

int host_action_calls(const std::string& name, int phase) {
  long i = named(name);
  if (i < 0 || phase < 0 || phase > 2) return 0;
  return host().commands[static_cast<size_t>(i)].host_action_calls[phase];
}

int handler_count(const std::string& name) {
  long i = named(name);
  if (i < 0) return 0;
  int n = 0;
  for (const CommandHandler& c : host().commands[static_cast<size_t>(i)].handlers) n += c.live ? 1 : 0;
  return n;
}

const std::vector<IssuedCommand>& issued_commands() { return host().issued; }
void clear_issued_commands() { host().issued.clear(); }

std::vector<CommandInfo> plugin_commands() {
  std::vector<const Command*> created;
  for (const Command& c : host().commands)
    if (c.created) created.push_back(&c);
  std::sort(created.begin(), created.end(),
            [](const Command* a, const Command* b) { return a->created_order < b->created_order; });
  std::vector<CommandInfo> out;
  for (const Command* c : created) out.push_back({c->name, c->description});
  return out;
}

}  // namespace simhost

using namespace simhost;

XPLMCommandRef XPLMFindCommand(const char* name) {
  if (!name) {
    problem("XPLMFindCommand: null name");
    return nullptr;
  }
  Host& h = host();
  long i = named(name);
  if (h.looked_up_names[1].insert(name).second) h.lookup_order.push_back({true, name, i >= 0});
  return i < 0 ? nullptr : make_handle(kCommandBase, static_cast<size_t>(i));
}

XPLMCommandRef XPLMCreateCommand(const char* name, const char* description) {
  Host& h = host();
  if (!name || !*name) {
    problem("XPLMCreateCommand: empty name");
    return nullptr;
  }
  bool existed = named(name) >= 0;
  size_t i = add_command(h, name, description ? description : "", false);
  Command& c = h.commands[i];
  // The host hands back the existing command; only a new one is the plug-in's.
  if (!existed) {
    c.created = true;
    c.created_order = ++h.created_counter;
  }
  return make_handle(kCommandBase, i);
}

void XPLMCommandBegin(XPLMCommandRef ref) {
  Command* c = command_from(ref, "XPLMCommandBegin");
  if (!c) return;
  host().issued.push_back({c->name, xplm_CommandBegin, false});
  begin(static_cast<size_t>(handle_index(ref, kCommandBase, host().commands.size())));
}

void XPLMCommandEnd(XPLMCommandRef ref) {
  Command* c = command_from(ref, "XPLMCommandEnd");
  if (!c) return;
  host().issued.push_back({c->name, xplm_CommandEnd, false});
  end(static_cast<size_t>(handle_index(ref, kCommandBase, host().commands.size())));
}

void XPLMCommandOnce(XPLMCommandRef ref) {
  Command* c = command_from(ref, "XPLMCommandOnce");
  if (!c) return;
  size_t i = static_cast<size_t>(handle_index(ref, kCommandBase, host().commands.size()));
  host().issued.push_back({c->name, xplm_CommandBegin, true});
  begin(i);
  host().issued.push_back({host().commands[i].name, xplm_CommandEnd, true});
  end(i);
}

void XPLMRegisterCommandHandler(XPLMCommandRef ref, XPLMCommandCallback_f handler, int before, void* refcon) {
  Command* c = command_from(ref, "XPLMRegisterCommandHandler");
  if (!c) return;
  if (!handler) return problem("XPLMRegisterCommandHandler: %s: null handler", c->name.c_str());
  for (const CommandHandler& h : c->handlers)
    if (h.live && h.callback == handler && h.before == before && h.refcon == refcon)
      return problem("XPLMRegisterCommandHandler: %s: same handler registered twice", c->name.c_str());
  c->handlers.push_back({handler, before, refcon, true});
}

void XPLMUnregisterCommandHandler(XPLMCommandRef ref, XPLMCommandCallback_f handler, int before, void* refcon) {
  Command* c = command_from(ref, "XPLMUnregisterCommandHandler");
  if (!c) return;
  for (size_t k = 0; k < c->handlers.size(); ++k) {
    CommandHandler& h = c->handlers[k];
    if (h.live && h.callback == handler && h.before == before && h.refcon == refcon) {
      c->handlers.erase(c->handlers.begin() + static_cast<long>(k));
      return;
    }
  }
  problem("XPLMUnregisterCommandHandler: %s: no such handler (before %d)", c->name.c_str(), before);
}
