#!/usr/bin/env python3
"""Generate the published dataref tables and their backing globals.

Usage: gen_published.py [--check] PATH/published_datarefs.tsv [REPO_ROOT]

Writes (or, with --check, compares and fails on any difference), below
REPO_ROOT/src:
  - one backing module per owning subsystem area (header + source) holding the
    globals that the published datarefs expose, grouped in a namespace per
    cockpit area (instanced label families become fixed 2-D arrays);
  - datarefs/list_<list>.cpp: one table of rows per registration list;
  - datarefs/lists_generated.cpp: the fourteen register/unregister functions;
  - datarefs/published_census.h: the census expectations, counted from the
    table: the counts the code and the tests take, so a dataref is one row.
Hand-written backing values (service values, the flight-plan list, variant)
are mapped in SPECIAL below. Only the standard library is used.
"""
import collections
import os
import re
import sys

from table_seq import seq_errors

LISTS = [
    "register_service_datarefs", "register_engine_model_datarefs",
    "register_throttle_datarefs", "register_annunciator_datarefs",
    "register_ice_datarefs", "register_comm_datarefs", "register_clock_datarefs",
    "register_fire_datarefs", "register_cover_vent_datarefs",
    "register_light_switch_datarefs", "register_cabin_light_datarefs",
    "register_main_datarefs", "register_tcas_datarefs", "register_fms_legs_datarefs",
]

CXX_KEYWORDS = set("""alignas alignof and and_eq asm auto bitand bitor bool break case catch char
char8_t char16_t char32_t class compl concept const consteval constexpr constinit const_cast continue
co_await co_return co_yield decltype default delete do double dynamic_cast else enum explicit export
extern false float for friend goto if inline int long mutable namespace new noexcept not not_eq nullptr
operator or or_eq private protected public register reinterpret_cast requires return short signed
sizeof static static_assert static_cast struct switch template this thread_local throw true try typedef
typeid typename union unsigned using virtual void volatile wchar_t while xor xor_eq""".split())
# Names of the C library's global functions, which a namespace may not reuse.
C_LIBRARY_NAMES = {"fmod", "system", "clock", "time", "exit", "abort", "signal", "remove", "rename",
                   "index", "round", "floor", "ceil", "log", "exp", "pow", "sqrt"}

# Values whose backing global is written by hand elsewhere:
# name -> (kind, backing expression, header)
SPECIAL = {
    "corvane/Aircraft_Path": ("B", "aircraft_folder", "core/paths.h"),
    "corvane/Xplane_Path": ("B", "system_root", "core/paths.h"),
    "corvane/Debug": ("I", "debug_status", "publication/debug_service.h"),
    "corvane/lat_mag_var": ("D", "mag_var_request_lat_deg", "publication/service_values.h"),
    "corvane/lon_mag_var": ("D", "mag_var_request_lon_deg", "publication/service_values.h"),
    "corvane/calc_mag_var": ("DF", "mag_var_request_flag", "publication/service_values.h"),
    "corvane/mag_var": ("MAGVAR", "read_mag_var", "publication/service_values.h"),
    "corvane/brunner_active": ("I", "brunner_active", "core/frame_values.h"),
    "corvane/find_icao_cmd": ("DF", "find_icao_state", "navdata/airport_lookup.h"),
    "corvane/b737_variant": ("I", "variant_index", "core/variant.h"),
    "zuvadud/D738/73x": ("IF", "model_family", "core/variant.h"),
    "zuvadud/D738/corvane/filename_list_cmd": ("F", "filename_list_cmd", "lnav/route/fms_plan_list.h"),
    "zuvadud/D738/corvane/filename_list_n": ("F", "filename_list_n", "lnav/route/fms_plan_list.h"),
    "zuvadud/D738/corvane/filename_list": ("B", "filename_list", "lnav/route/fms_plan_list.h"),
}

# Writers this tree gives values that the table lists with a plain store: a
# cockpit's lever or selector written as a dataref acts as its command does.
WRITERS = {
    "zuvadud/D738/parking_brake_pos": "parking_brake_pos_writer",
    "zuvadud/D738/autobrake/autobrake_pos": "autobrake_pos_writer",
    "zuvadud/D738/toggle_switch/air_valve_ctrl": "air_valve_ctrl_writer",
    "zuvadud/D738/toggle_switch/n1_set_source": "n1_set_source_writer",
    "zuvadud/D738/toggle_switch/spd_ref": "spd_ref_writer",
    "zuvadud/D738/electric/standby_bat_pos": "standby_bat_pos_writer",
    "zuvadud/D738/electric/battery_pos": "battery_pos_writer",
    "zuvadud/D738/toggle_switch/yaw_dumper_pos": "yaw_dumper_pos_writer",
    "zuvadud/D738/engine/starter1_pos": "starter1_pos_writer",
    "zuvadud/D738/engine/starter2_pos": "starter2_pos_writer",
    "zuvadud/D738/toggle_switch/ap_trim_pos": "ap_trim_pos_writer",
    "zuvadud/D738/toggle_switch/el_trim_lock_pos": "el_trim_lock_pos_writer",
    "zuvadud/D738/toggle_switch/window_ovht_test": "window_ovht_test_writer",
    "zuvadud/D738/toggle_switch/fuel_flow_pos": "fuel_flow_pos_writer",
    "zuvadud/D738/toggle_switch/flt_dk_door": "flt_dk_door_writer",
    "zuvadud/D738/indicators/duct_press_L": "duct_press_l_writer",
    "zuvadud/D738/indicators/duct_press_R": "duct_press_r_writer",
}

# Every value the plug-in stores, with its travel (tools/travels.tsv): the
# "store" rows of the writable datarefs get a writer that keeps a write within
# it, so the plug-in and the host never read one written value two ways. A
# switch (whole-number positions) takes the nearest one, a value beyond the
# travel the end, and a NaN is ignored; the writers above take their own
# positions the same way. The saved slots' rows give the restore its travels
# (src/core/saved_travels.h): a slot that is a control has that control's.
TRAVEL_TABLE = "tools/travels.tsv"
SAVED_ARRAYS = ["system", "system_sw", "fire", "fire_sw", "antiice", "antiice_sw", "cover", "cover_tgt",
                "lights", "lights_sw", "glare_sw"]
SLOT_RE = re.compile(r"^([a-z_]+)\[([0-9]+)\]$")


def load_travels(root, errors):
    travels = {}
    controls = {}
    slots = []
    with open(os.path.join(root, TRAVEL_TABLE), encoding="utf-8") as f:
        header = None
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            cells = line.rstrip("\n").split("\t")
            if header is None:
                header = cells
                continue
            at = "%s:%d: " % (TRAVEL_TABLE, number)
            if len(cells) != len(header):
                errors.append(at + "%d columns wanted" % len(header))
                continue
            rec = dict(zip(header, cells))
            rec["at"] = at
            slot = SLOT_RE.match(rec["stored"])
            try:
                rec["travel"] = None if rec["lo"] == "-" else (float(rec["lo"]), float(rec["hi"]), float(rec["step"]))
            except ValueError:
                errors.append(at + "a travel is three numbers or three -")
                continue
            t = rec["travel"]
            if t is not None and not (t[0] < t[1] and t[2] >= 0):
                errors.append(at + "a travel lo < hi, step >= 0 wanted")
            if slot:
                rec["array"], rec["slot"] = slot.group(1), int(slot.group(2))
                if rec["array"] not in SAVED_ARRAYS + ["state_cmd"]:
                    errors.append(at + "no saved array " + rec["array"])
                if rec["kept_by"] not in ("nearest", "dropped", "range"):
                    errors.append(at + "a saved slot is kept nearest, dropped or range")
                if (t is None) == (rec["control"] == "-"):
                    errors.append(at + "a saved slot has its own travel or is a control (its travel that row's)")
                slots.append(rec)
                continue
            if rec["stored"] in controls:
                errors.append(at + rec["stored"] + " has a row already (" + controls[rec["stored"]]["at"].rstrip(": ") + ")")
            controls[rec["stored"]] = rec
            if rec["kept_by"] not in ("store", "writer", "free", "saved"):
                errors.append(at + "a dataref is kept by store, writer, free or saved")
            elif (rec["kept_by"] == "free") != (t is None):
                errors.append(at + "a free value has no travel, every other row one")
            if rec["kept_by"] == "store" and t is not None:
                travels[rec["stored"]] = t
            elif rec["kept_by"] == "writer":
                WRITTEN_CONTROLS.add(rec["stored"])
    # A saved slot that is a control comes back within that control's travel:
    # the panel string's characters hold only its whole positions.
    seen = {}
    for rec in slots:
        key = (rec["array"], rec["slot"])
        if key in seen:
            errors.append(rec["at"] + rec["stored"] + " has a row already (" + seen[key].rstrip(": ") + ")")
        seen[key] = rec["at"]
        if rec["control"] == "-":
            continue
        c = controls.get(rec["control"].split("[")[0])
        if c is None or c["travel"] is None:
            errors.append(rec["at"] + rec["control"] + ": no row of its control with a travel")
            continue
        lo, hi, step = c["travel"]
        rec["travel"] = (lo, hi, step if step > 0 or rec["array"] != "state_cmd" else 1.0)
        rec["note"] = rec["control"]
    return travels, slots


# The controls with a travel whose own writer keeps it: like the "store"
# rows, a write during a replay leaves them where they stand.
WRITTEN_CONTROLS = set()


TRAVELS = {}


def cxx_float(x):
    text = repr(float(x))
    return text + "f"


def travel_writer(r):
    lo, hi, step = TRAVELS[r.name]
    if r.kind == "F" and step == 1.0 and lo == int(lo) and hi == int(hi):
        return "PUB_WF_SWITCH(%s, %d, %d)" % (r.expr, lo, hi)
    if r.kind == "F":
        return "PUB_WF_TRAVEL(%s, %s, %s, %s)" % (r.expr, cxx_float(lo), cxx_float(hi), cxx_float(step))
    return "PUB_WVF_TRAVEL(%s, %d, %s, %s, %s)" % (r.expr, r.size, cxx_float(lo), cxx_float(hi), cxx_float(step))


# Start values of backing globals that are not zero when the plug-in loads.
START_VALUES = {
    "corvane/engine_model/sfc": "0.034597f",
    "corvane/engine_model/idle_sfc": "0.5f",
    "corvane/engine_model/reverse_coef": "0.23f",
    "corvane/engine_model/curve02_type": "0.0f",
    "corvane/engine_model/curve02_coef1": "4.1f",
    "corvane/engine_model/curve02_coef2": "2.47f",
    "corvane/engine_model/curve02_coef3": "27300.0f",
    "corvane/engine_model/curve02_coef4": "0.0f",
    "corvane/engine_model/curve02_coef5": "0.0f",
    "corvane/engine_model/curve02_coef6": "0.0f",
    "corvane/engine_model/static_thrust": "27500.0f",
    "corvane/engine_model/bypass": "0.85f",
    "corvane/engine_model/inlet": "0.7f",
    "corvane/engine_model/shock_mach": "0.85f",
    "zuvadud/D738/comm/com3/act_freq_MHz": "118.0f",
    "zuvadud/D738/comm/com3/act_freq_data": "1.0f",
    "zuvadud/D738/comm/com3/stdby_freq_MHz": "118.0f",
}

# Owning module of each cockpit area: (root, area) -> (folder, stem, what it owns)
MODULES = {
    "lnav/route/fms_legs": "the route leg table the scripts write, the computed leg path arrays and the direct-to path",
    "display/nd_slots": "the navigation display map slots: waypoints, path markers, navaids, fixes and airports of both sides",
    "alerting/tcas_labels": "the traffic altitude label texts of both sides, slot 1 first",
    "alerting/tcas_values": "the traffic display values and EFIS traffic flags of both sides",
    "alerting/aural_cues": "the sound cue flags, callouts and display alerts, and the ground-proximity values",
    "engines/engine_model_coeffs": "the writable engine model coefficients and their start values",
    "engines/engine_values": "the engine indications, start values and EICAS values",
    "systems/annunciators/annunciator_values": "the annunciator intensities, light spill ratios and audio panel lamps",
    "systems/radios/comm_values": "the radio tuning panels, COM 3, audio selections and volumes, transponder",
    "systems/electrical/electric_values": "the electrical buses, meters, sources and brightness levels",
    "systems/air/air_values": "air conditioning, bleed, pressurisation and oxygen",
    "systems/hydraulics/hydraulic_values": "the hydraulic system pressures, quantities and status",
    "systems/fuel/fuel_values": "fuel quantities and pump status",
    "systems/instruments/clock_values": "clocks and chronographs",
    "systems/fire/fire_values": "fire switches, handles and bottles",
    "systems/ice_rain/ice_values": "anti-ice and window heat",
    "systems/lights/cabin_light_values": "cabin lighting levels and presets",
    "systems/flight_controls/flight_control_values": "levers, axes, trims, brakes, autobrake and gear handles",
    "systems/switches/switch_values": "switch, knob and button positions of the panels",
    "systems/instruments/instrument_values": "flight instruments, display units, system indications and effects",
}

AREA_MODULE = {
    ("D738", "fms"): "lnav/route/fms_legs",
    ("D738", "nd"): "display/nd_slots",
    ("D738", "EFIS"): "alerting/tcas_values",
    ("D738", "TCAS"): "alerting/tcas_values",
    ("d738", "fmodpack"): "alerting/aural_cues",
    ("d738", "fmod"): "alerting/aural_cues",
    ("d738", "alert"): "alerting/aural_cues",
    ("D738", "fmod"): "alerting/aural_cues",
    ("D738", "alert"): "alerting/aural_cues",
    ("D738", "gpws"): "alerting/aural_cues",
    ("corvane", "engine_model"): "engines/engine_model_coeffs",
    ("D738", "engine"): "engines/engine_values",
    ("D738", "eicas"): "engines/engine_values",
    ("D738", "indicators"): "engines/engine_values",
    ("D738", "annunciator"): "systems/annunciators/annunciator_values",
    ("D738", "annunciates"): "systems/annunciators/annunciator_values",
    ("D738", "light"): "systems/annunciators/annunciator_values",
    ("D738", "audio"): "systems/annunciators/annunciator_values",
    ("D738", "comm"): "systems/radios/comm_values",
    ("D738", "radio"): "systems/radios/comm_values",
    ("D738", "transponder"): "systems/radios/comm_values",
    ("D738", "electric"): "systems/electrical/electric_values",
    ("D738", "electrical"): "systems/electrical/electric_values",
    ("D738", "air"): "systems/air/air_values",
    ("D738", "pressurization"): "systems/air/air_values",
    ("D738", "hydraulic"): "systems/hydraulics/hydraulic_values",
    ("D738", "fuel"): "systems/fuel/fuel_values",
    ("D738", "clock"): "systems/instruments/clock_values",
    ("D738", "fire"): "systems/fire/fire_values",
    ("D738", "ice"): "systems/ice_rain/ice_values",
    ("tarv", "cabin"): "systems/lights/cabin_light_values",
    ("tarx", "cabin"): "systems/lights/cabin_light_values",
    ("D738", "lights"): "systems/lights/cabin_light_values",
}
for a in ("flt_ctrls", "axis", "controls", "gear_lock_ovrd", "brake", "autobrake", "handles",
          "emergency"):
    AREA_MODULE[("D738", a)] = "systems/flight_controls/flight_control_values"
for a in ("toggle_switch", "switch", "switches", "push_button", "push_botton", "knob", "knobs",
          "one_way_switch", "spring_switch", "spring_toggle_switch", "button_switch", "buttons",
          "adjust", "window", "door", "others"):
    AREA_MODULE[("D738", a)] = "systems/switches/switch_values"
for a in ("pfd", "gauges", "display", "display_units", "indicated", "perf", "system", "systems",
          "autopilot", "autoland", "fcom", "flight", "effect", "(root)"):
    AREA_MODULE[("D738", a)] = "systems/instruments/instrument_values"

KIND_OF_FLAGS = {"1": "I", "2": "F", "4": "D", "8": "VF", "16": "VI", "24": "VFI", "32": "B"}
CTYPE = {"I": "int32_t", "F": "float", "D": "double", "VF": "float", "VI": "int32_t",
         "VFI": "float", "B": "char"}

NS_RENAME = {("d738", "fmodpack"): "cue_fmodpack", ("d738", "fmod"): "cue_fmod",
             ("d738", "alert"): "cue_alert", ("tarv", "cabin"): "tarv_cabin",
             ("tarx", "cabin"): "tarx_cabin", ("D738", "(root)"): "cockpit",
             ("corvane", "engine_model"): "engine_model"}


def ident(text):
    s = re.sub(r"[^A-Za-z0-9_]", "_", text)
    if s[0].isdigit():
        s = "n" + s
    if s in CXX_KEYWORDS:
        s += "_"
    return s


def split_name(name):
    """-> (root, area, rest) with root D738/d738/tarv/tarx/corvane."""
    parts = name.split("/")
    if parts[0] == "zuvadud":
        root, tail = parts[1], parts[2:]
    else:
        root, tail = parts[0], parts[1:]
    if len(tail) == 1:
        return root, "(root)", tail[0]
    return root, tail[0], "/".join(tail[1:])


FAMILY_RE = re.compile(r"^(.*?)(\d\d)([wm]?)$")
TCAS_ALT_RE = re.compile(r"^alt(_fo)?(\d*)$")


class Row:
    pass


def load(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        for line in f:
            rec = dict(zip(header, line.rstrip("\n").split("\t")))
            r = Row()
            r.list = rec["list"]
            r.seq = rec["seq"]
            r.name = rec["name"]
            r.flags = rec["type_flags"]
            r.size = int(rec["size"])
            r.writable = int(rec["writable"])
            r.writer = WRITERS.get(r.name, rec["writer"])
            r.refind = int(rec["refind"])
            rows.append(r)
    return rows


def assign_backing(rows):
    """Sets r.kind, r.expr, r.header; returns module -> namespace -> declarations."""
    modules = collections.defaultdict(lambda: collections.OrderedDict())
    families = {}
    for r in rows:
        if r.name in SPECIAL:
            r.kind, r.expr, r.header = SPECIAL[r.name]
            continue
        r.kind = KIND_OF_FLAGS[r.flags]
        root, area, rest = split_name(r.name)
        module = AREA_MODULE.get((root, area))
        if module is None:
            raise SystemExit("gen_published: published_datarefs.tsv: no owning module for %s" % r.name)
        r.header = module + ".h"
        ns = NS_RENAME.get((root, area), ident(area))
        # Namespaces named like C library functions (fmod, system, clock) clash
        # with <cmath>/<cstdlib>/<ctime> in any file that includes both.
        if ns in C_LIBRARY_NAMES:
            ns += "_"
        decls = modules[module].setdefault(ns, collections.OrderedDict())
        if module == "lnav/route/fms_legs":
            ns = None
            decls = modules[module].setdefault(None, collections.OrderedDict())
        var = None
        index = None
        if r.kind == "B" and module == "display/nd_slots":
            m = FAMILY_RE.match(rest)
            if m:
                var = ident(m.group(1).rstrip("_") + ("_" + m.group(3) if m.group(3) else ""))
                index = int(m.group(2))
        if r.kind == "B" and module == "alerting/tcas_values" and area == "TCAS":
            m = TCAS_ALT_RE.match(rest)
            if m:
                module = "alerting/tcas_labels"
                r.header = module + ".h"
                decls = modules[module].setdefault(ns, collections.OrderedDict())
                var = "alt_fo_label" if m.group(1) else "alt_label"
                index = int(m.group(2)) - 1 if m.group(2) else 0
        if var is None:
            var = ident(rest)
            if var in decls:
                raise SystemExit("gen_published: published_datarefs.tsv: duplicate backing %s for %s" % (var, r.name))
            init = START_VALUES.get(r.name)
            decls[var] = (r.kind, r.size, None, init, r.name)
        else:
            key = (module, ns, var)
            fam = families.setdefault(key, {"size": r.size, "slots": set()})
            if fam["size"] != r.size or index in fam["slots"]:
                raise SystemExit("gen_published: published_datarefs.tsv: bad family slot %s" % r.name)
            fam["slots"].add(index)
            count = max(index + 1, decls.get(var, ("B", r.size, 0, None, ""))[2] or 0)
            decls[var] = ("B", r.size, count, None, r.name)
        qual = (ns + "::" if ns else "") + var
        r.expr = qual + ("[%d]" % index if index is not None else "")
    for (module, ns, var), fam in families.items():
        n = modules[module][ns][var][2]
        if fam["slots"] != set(range(n)):
            raise SystemExit("gen_published: published_datarefs.tsv: family %s has gaps" % var)
    return modules


def decl_text(var, kind, size, count, init, extern):
    t = CTYPE[kind]
    dims = ""
    if count is not None:
        dims = "[%d][%d]" % (count, size)
    elif kind in ("VF", "VI", "VFI", "B"):
        dims = "[%d]" % size
    s = ("extern " if extern else "") + "%s %s%s" % (t, var, dims)
    if not extern and init is not None:
        s += " = " + init
    return s + ";"


# With --check, the paths whose text differs from what would be written.
STALE = None


def write(path, text):
    if STALE is not None:
        if not os.path.exists(path) or open(path, encoding="utf-8").read() != text:
            STALE.append(path)
        return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    old = None
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            old = f.read()
    if old != text:
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


GEN = "// Generated by tools/gen_published.py from published_datarefs.tsv; do not edit.\n"


def emit_modules(src, modules):
    for module, spaces in sorted(modules.items()):
        stem = module.split("/")[1]
        h = [GEN, "// Published state: %s.\n" % MODULES[module],
             "// The owning steps compute into these; the published datarefs read them.\n",
             "#pragma once\n\n#include <cstdint>\n"]
        c = [GEN, '#include "%s.h"\n' % module]
        for ns, decls in spaces.items():
            if not decls:
                continue
            h.append("\n" + ("namespace %s {\n" % ns if ns else ""))
            c.append("\n" + ("namespace %s {\n" % ns if ns else ""))
            for var, (kind, size, count, init, name) in decls.items():
                comment = name if count is None else name + " (slot-indexed)"
                h.append("%s  // %s\n" % (decl_text(var, kind, size, count, None, True), comment))
                c.append(decl_text(var, kind, size, count, init, False) + "\n")
            if ns:
                h.append("}  // namespace %s\n" % ns)
                c.append("}  // namespace %s\n" % ns)
        write(os.path.join(src, module + ".h"), "".join(h))
        write(os.path.join(src, module + ".cpp"), "".join(c))


def writer_expr(r):
    if r.writer in ("none", "nowriter"):
        return None
    if r.writer == "plain":
        return "PLAIN"
    return r.writer


def row_text(r):
    n = '"%s"' % r.name
    w = writer_expr(r)
    args = "%s, %d, %d" % (n, r.writable, r.refind)
    k = r.kind
    if k == "F":
        if w == "PLAIN" and r.name in TRAVELS:
            wr = travel_writer(r)
        elif r.name in WRITTEN_CONTROLS:
            assert w not in (None, "PLAIN"), r.name
            wr = "PUB_WF_CONTROL(%s)" % w
        else:
            wr = "nullptr" if w is None else ("PUB_WF(%s)" % r.expr if w == "PLAIN" else w)
        return "PUB_F(%s, %s, %s)" % (args, r.expr, wr)
    if k == "MAGVAR":
        return "PUB_F_READER(%s, %s)" % (args, r.expr)
    if k == "I":
        wr = "nullptr" if w is None else ("PUB_WI(%s)" % r.expr if w == "PLAIN" else w)
        return "PUB_I(%s, %s, %s)" % (args, r.expr, wr)
    if k == "IF":
        return "PUB_I_OVER_F(%s, %s)" % (args, r.expr)
    if k == "D":
        wr = "nullptr" if w is None else ("PUB_WD(%s)" % r.expr if w == "PLAIN" else w)
        return "PUB_D(%s, %s, %s)" % (args, r.expr, wr)
    if k == "DF":
        wr = "nullptr" if w is None else ("PUB_WD_FLAG(%s)" % r.expr if w == "PLAIN" else w)
        return "PUB_D_OVER_F(%s, %s, %s)" % (args, r.expr, wr)
    if k == "VF":
        wr = "nullptr" if w is None else "PUB_WVF(%s, %d)" % (r.expr, r.size)
        if w == "PLAIN" and r.name in TRAVELS:
            wr = travel_writer(r)
        assert w in (None, "PLAIN"), r.name
        return "PUB_VF(%s, %s, %d, %s)" % (args, r.expr, r.size, wr)
    if k == "VI":
        assert w is None
        return "PUB_VI(%s, %s, %d)" % (args, r.expr, r.size)
    if k == "VFI":
        assert w == "PLAIN"
        return "PUB_VFI(%s, %s, %d)" % (args, r.expr, r.size)
    if k == "B":
        assert w is None
        return "PUB_B(%s, %s, %d)" % (args, r.expr, r.size)
    raise SystemExit("gen_published: published_datarefs.tsv: unknown kind " + k)


WRITER_HEADER = dict({
    "debug_command_write": "publication/debug_service.h",
    "find_icao_write": "navdata/airport_lookup.h",
    "fms_plan_list_write": "lnav/route/fms_plan_list.h",
}, **{w: "publication/switch_writers.h" for w in (
    "air_valve_ctrl_writer", "n1_set_source_writer", "spd_ref_writer", "standby_bat_pos_writer",
    "battery_pos_writer", "yaw_dumper_pos_writer", "starter1_pos_writer", "starter2_pos_writer",
    "ap_trim_pos_writer", "el_trim_lock_pos_writer", "window_ovht_test_writer", "fuel_flow_pos_writer",
    "flt_dk_door_writer")})


def emit_lists(src, rows):
    by_list = collections.OrderedDict((l, []) for l in LISTS)
    for r in rows:
        by_list[r.list].append(r)
    for lst, rs in by_list.items():
        short = lst[len("register_"):-len("_datarefs")]
        headers = sorted({r.header for r in rs} |
                         {WRITER_HEADER.get(r.writer, "publication/lever_writers.h")
                          for r in rs if writer_expr(r) not in (None, "PLAIN")})
        out = [GEN, "// Registration rows of one list, in registration order.\n",
               '#include "publication/publish.h"\n']
        out += ['#include "%s"\n' % h for h in headers]
        out.append("\nnamespace {\nconst PublishedDataref table_rows[] = {\n")
        for r in rs:
            out.append("    %s,\n" % row_text(r))
        out.append("};\nXPLMDataRef table_handles[%d];\n}  // namespace\n\n" % len(rs))
        out.append('extern const PublishedList %s_list = {"%s", table_rows, %d, table_handles};\n'
                   % (short, lst, len(rs)))
        write(os.path.join(src, "datarefs", "list_%s.cpp" % short), "".join(out))
    # The fourteen list functions and the census expectations.
    out = [GEN, "// The fourteen registration lists and their withdrawal mirrors.\n",
           '#include "datarefs/lists.h"\n#include "datarefs/published_census.h"\n',
           '#include "publication/publish.h"\n\n']
    for lst in LISTS:
        out.append("extern const PublishedList %s_list;\n" % lst[9:-9])
    out.append("\nconst PublishedList* const published_lists[published_list_count] = {\n")
    for lst in LISTS:
        out.append("    &%s_list,\n" % lst[9:-9])
    out.append("};\n\n")
    for lst in LISTS:
        short = lst[9:-9]
        check = "check_published_census(); " if lst == LISTS[0] else ""
        out.append("void %s() { %spublish_list(%s_list); }\n" % (lst, check, short))
        out.append("void un%s() { withdraw_list(%s_list); }\n" % (lst, short))
    kinds = collections.Counter(r.flags for r in rows)
    write(os.path.join(src, "datarefs", "lists_generated.cpp"), "".join(out))
    h = [GEN, "// The registration tables of every published dataref and their census.\n",
         "#pragma once\n\n#include \"publication/publish.h\"\n\n",
         "constexpr int published_list_count = %d;\n" % len(LISTS),
         "// In start-up order.\n",
         "extern const PublishedList* const published_lists[published_list_count];\n\n",
         "struct KindCount {\n  int type_flags;\n  int count;\n};\n",
         "\n// Expected census, checked at start-up in debug builds and by the tests.\n",
         "inline constexpr int expected_list_counts[published_list_count] = {%s};\n"
         % ", ".join(str(len(v)) for v in by_list.values()),
         "constexpr int expected_total = %d;\n" % len(rows),
         "constexpr int expected_writable = %d;\n" % sum(r.writable for r in rows),
         "constexpr int expected_refind = %d;\n" % sum(r.refind for r in rows),
         "constexpr int expected_kind_kinds = %d;\n" % len(kinds),
         "inline constexpr KindCount expected_kind_counts[expected_kind_kinds] = {%s};\n"
         % ", ".join("{%s, %d}" % (k, kinds[k]) for k in sorted(kinds, key=int)),
         "\n// True when the tables match the census above and no name appears twice.\n",
         "bool published_census_ok();\n",
         "// Logs one line on a mismatch (debug builds only).\n",
         "void check_published_census();\n"]
    write(os.path.join(src, "datarefs", "published_census.h"), "".join(h))


def emit_saved_travels(src, slots):
    out = ["// Generated by tools/gen_published.py from %s; do not edit.\n" % TRAVEL_TABLE,
           "// The travel each saved slot comes back within (see core/restored_travel.h),\n",
           "// by array, in slot order.\n",
           "#pragma once\n\n#include \"core/restored_travel.h\"\n\nnamespace saved_travel {\n"]
    for array in SAVED_ARRAYS:
        name = "k" + "".join(part.capitalize() for part in array.split("_"))
        out.append("\n// zuvadud/D738/%s\ninline constexpr SavedSlotTravel %s[] = {\n" % (array, name))
        for rec in sorted((r for r in slots if r["array"] == array), key=lambda r: r["slot"]):
            lo, hi, step = rec["travel"]
            only = "true" if rec["kept_by"] == "dropped" else "false"
            out.append("    {%d, {%s, %s, %s, %s}},  // %s\n" % (rec["slot"], cxx_float(lo), cxx_float(hi), cxx_float(step),
                                                           only, rec.get("note", "internal")))
        out.append("};\n")
    out.append("\n}  // namespace saved_travel\n")
    write(os.path.join(src, "core", "saved_travels.h"), "".join(out))


def main():
    global STALE
    args = sys.argv[1:]
    check = bool(args) and args[0] == "--check"
    if check:
        args = args[1:]
        STALE = []
    if len(args) not in (1, 2):
        raise SystemExit(__doc__)
    root = args[1] if len(args) == 2 else os.path.join(os.path.dirname(__file__), "..")
    src = os.path.join(root, "src")
    rows = load(args[0])
    names = [r.name for r in rows]
    # Every disagreement at once, each naming the table.
    errors = []
    travels, saved_slots = load_travels(root, errors)
    TRAVELS.update(travels)
    if len(set(names)) != len(names):
        errors.append("a name appears twice")
    plain_floats = {r.name for r in rows if r.flags == "2" and r.writer in ("plain",) + tuple(WRITERS.values())}
    for name in WRITERS:
        if name not in plain_floats:
            errors.append("%s: no writable float of the table" % name)
    plain_stores = {r.name for r in rows if r.flags in ("2", "8") and r.writer == "plain"}
    for name in TRAVELS:
        if name not in plain_stores:
            errors.append("%s: a store row of %s that is no plain writable float" % (name, TRAVEL_TABLE))
    numbering = seq_errors([{"list": r.list, "seq": r.seq} for r in rows], "list", "published_datarefs.tsv")
    if errors or numbering:
        for e in errors:
            where = "" if e.startswith(TRAVEL_TABLE) else "published_datarefs.tsv: "
            print("gen_published: " + where + e, file=sys.stderr)
        for e in numbering:
            print("gen_published: " + e, file=sys.stderr)
        raise SystemExit(1)
    modules = assign_backing(rows)
    emit_modules(src, modules)
    emit_lists(src, rows)
    emit_saved_travels(src, saved_slots)
    if check:
        if STALE:
            raise SystemExit("gen_published: published_datarefs.tsv or " + TRAVEL_TABLE + " disagrees with the generated files "
                             "(run tools/gen_published.py): "
                             + " ".join(os.path.relpath(p, root) for p in STALE))
        print("gen_published: generated files up to date", file=sys.stderr)
        return
    print("%d datarefs, %d modules" % (len(rows), len(modules)))
    for m in sorted(modules):
        print("  %s: %d" % (m, sum(len(d) for d in modules[m].values())))


if __name__ == "__main__":
    main()
