#!/usr/bin/env bash
# check-helpers.sh: each shared helper and constant below is defined in one
# home, and no file under src/ defines or declares a local copy of it (a
# function, a lambda or a constant of that name), writes one of the shared
# conversion factors or pi out as a number, takes a selector's position for a
# bare number, or reads again what the start-up read once. Comments and strings are not searched, nor the generated tables
# (their factors come from the table files). Prints each copy and fails when
# there is one.
#
#   scripts/check-helpers.sh              check this tree
#   scripts/check-helpers.sh --self-test  show that the check passes on a copy
#                                         of this tree and fails once local
#                                         copies are put back
#
# Helpers and their one home. Where two copies behaved differently, both
# behaviours are kept in the home under names that say the difference (see
# the comments there): mod360 and mod360_nonneg, wrap180 and wrap180_nonneg,
# wrap360 and wrap360_d, ... The knots factor and pi are kept in every
# precision in use the same way (core/units.h: kt_per_mps_4dp, pi_12dp, ...).
# Names without a home went to a shared helper of another name:
# `publish` (a float written to a script's dataref) is the seam's
# script_set_f, or script_set_finite_f where a non-finite value must leave the
# script's value alone (core/host_io.h); finite_or_zero is finite_or(v, 0.0f);
# wrap_deg is angle::mod360_nonneg_d (core/util.h); slot_ok and leg_ok, the
# range check of a leg number, are leg_slot_ok (lnav/route/route_state.h);
# the local names of the knots factor and of pi are the names in core/units.h.
# clamp_to, which clamped the lower bound first, is clamp_range (the two
# agree whenever the lower bound is the lower).
declare -A home=(
  [as01]=src/core/util.h
  [finite_or]=src/core/util.h
  [finite_or_zero]=
  [publish]=
  [rem360]=src/core/util.h
  [rem360f]=src/core/util.h
  [mod360]=src/core/util.h
  [mod360_nonneg]=src/core/util.h
  [mod360_nonneg_d]=src/core/util.h
  [wrap360]=src/core/util.h
  [wrap360_d]=src/core/util.h
  [wrap180]=src/core/util.h
  [wrap180_d]=src/core/util.h
  [wrap180_nonneg]=src/core/util.h
  [wrap180_nonneg_d]=src/core/util.h
  [wrap_deg]=
  [leg_slot_ok]=src/lnav/route/route_state.h
  [newer_host]=src/core/frame_values.h
  [in]=
  [slot_ok]=
  [leg_ok]=
  [attend_chime_length_s]=src/core/preprocess_values.h
  [chime_length_s]=
  [kChimeLength_s]=
  [kt_per_mps]=src/core/units.h
  [kt_per_mps_7dp]=src/core/units.h
  [kt_per_mps_6dp]=src/core/units.h
  [kt_per_mps_5dp]=src/core/units.h
  [kt_per_mps_4dp]=src/core/units.h
  [kt_per_mps_3dp]=src/core/units.h
  [kt_per_mps_8dp_d]=src/core/units.h
  [mps_per_kt_7dp]=src/core/units.h
  [mps_per_kt_6dp]=src/core/units.h
  [mps_per_kt_5dp]=src/core/units.h
  [mps_per_kt_5dp_d]=src/core/units.h
  [mps_per_kt_3dp]=src/core/units.h
  [pi_20dp]=src/core/units.h
  [pi_12dp]=src/core/units.h
  [pi_11dp]=src/core/units.h
  [pi_f]=src/core/units.h
  [pi_2dp_f]=src/core/units.h
  [half_pi_2dp_f]=src/core/units.h
  [two_pi_12dp]=src/core/units.h
  [two_pi_11dp]=src/core/units.h
  [two_pi_f]=src/core/units.h
  [psi_per_inhg_7dp]=src/core/units.h
  [ft_per_m]=src/core/units.h
  [rad_per_deg_f]=src/core/units.h
  [deg_per_rad_f]=src/core/units.h
  [deg_per_rad_d]=src/core/units.h
  [kFtPerM]=
  [kRadPerDeg]=
  [rad_to_deg_d]=
  [rad_to_deg_f]=
  [kKtPerMps]=
  [kMpsToKt]=
  [kKnotsPerMs]=
  [kt_to_ms]=
  [kPi]=
  [kTwoPi]=
  [pi_d]=
  [two_pi]=
)
# Helpers whose names are also common names of local values (a `dist` of a
# function, a `brg` of a scan): only a function or a struct of the name is a
# copy. The construction's point and its steps serve every stage of the leg
# path builder from one home; the leg of a script's leg number, every route pass.
declare -A function_home=(
  [clamp_range]=src/core/util.h
  [clamp_to]=
  [leg_of]=src/lnav/route/route_state.h
  [Pt]=src/lnav/path/leg_path_internal.h
  [wpt]=src/lnav/path/leg_path_internal.h
  [dest]=src/lnav/path/leg_path_internal.h
  [brg]=src/lnav/path/leg_path_internal.h
  [dist]=src/lnav/path/leg_path_internal.h
)
# Numbers that are one of the shared factors written out, and their home.
# Each pattern is a whole number (no digit or point around it), an f suffix
# allowed: the knots factor (1.944, 1.9438...), its inverse (0.514, 0.5144...),
# pi (3.14, 3.14159...), two pi (6.2831...), feet per metre (3.28084...) and
# the metre in feet (0.3048), radians per degree (0.0174532...) and degrees
# per radian (57.2957...), and psi per inch of mercury (0.49115...).
declare -A number=(
  ['1\.94(38[0-9]*|4)']=src/core/units.h
  ['0\.514(4[0-9]*)?']=src/core/units.h
  ['3\.14(159[0-9]*)?']=src/core/units.h
  ['6\.2831[0-9]*']=src/core/units.h
  ['3\.2808[0-9]*']=src/core/units.h
  ['0\.3048']=src/core/units.h
  ['0\.0174532[0-9]*']=src/core/units.h
  ['57\.295[0-9]*']=src/core/units.h
  ['0\.49115[0-9]*']=src/core/units.h
)
# Values that hold a selector's position: compared with or set to a position
# by its name, never a bare number (the enum named here).
declare -A selector=(
  [autobrake_pos]="AutobrakePos (systems/gear_brakes/autobrake_state.h)"
  [autobrake_knob_target]="AutobrakePos (systems/gear_brakes/autobrake_state.h)"
  [autobrake_knob_anim]="AutobrakePos (systems/gear_brakes/autobrake_state.h)"
)
# Host calls that the start-up makes once, and where: the host's root path is
# kept in system_root (core/paths.h).
declare -A call=(
  [XPLMGetSystemPath]=src/aircraft/lifecycle.cpp
)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

names=$(printf '%s|' "${!home[@]}")
names=${names%|}
functions=$(printf '%s|' "${!function_home[@]}")
functions=${functions%|}
numbers=$(printf '%s|' "${!number[@]}")
numbers=${numbers%|}
calls=$(printf '%s|' "${!call[@]}")
calls=${calls%|}
selectors=$(printf '%s|' "${!selector[@]}")
selectors=${selectors%|}

# check TREE: 0 when TREE/src defines each helper only in its home, and
# every factor core/units.h holds is one this check knows (a new one gets its
# line in home above, and its number in number, so a copy of it is refused).
check() {
  local tree=$1 bad=0 file line kind key text where
  while read -r key; do
    if [[ ${home[$key]:-} != src/core/units.h ]]; then
      echo "check-helpers: src/core/units.h holds $key, which this check does not know: give it its home line"
      bad=1
    fi
  done < <(sed -n 's/^inline constexpr \(float\|double\) \([A-Za-z0-9_]*\) =.*/\2/p' "$tree/src/core/units.h")
  while IFS=: read -r file line kind key text; do
    file=${file#"$tree"/}
    case $kind in
      name)
        if [[ -v home[$key] ]]; then where=${home[$key]}; else where=${function_home[$key]}; fi
        [[ $file == "$where" ]] && continue
        if [[ -n $where ]]; then
          echo "check-helpers: $file:$line defines its own $key: use the one in $where"
        else
          echo "check-helpers: $file:$line defines its own $key: see scripts/check-helpers.sh for what replaces it"
        fi ;;
      number)
        [[ $file == src/core/units.h ]] && continue
        echo "check-helpers: $file:$line writes out $key: use the named value in src/core/units.h" ;;
      call)
        where=${call[$key]}
        [[ $file == "$where" || $file == src/platform/* ]] && continue
        echo "check-helpers: $file:$line calls $key again: $where reads it once (see scripts/check-helpers.sh)" ;;
      selector)
        echo "check-helpers: $file:$line takes $key for a bare number: name the position, ${selector[$key]}" ;;
    esac
    echo "               $text"
    bad=1
  done < <(find "$tree/src" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.c' \) -print0 |
           sort -z | xargs -0 awk -v names="$names" -v functions="$functions" -v numbers="$numbers" -v calls="$calls" -v selectors="$selectors" '
             FNR == 1 { generated = ($0 ~ /^\/\/ Generated by .*do not edit/) }
             generated { next }
             { code = $0; gsub(/"([^"\\]|\\.)*"/, "\"\"", code); sub(/\/\/.*/, "", code) }
             match(code, "^[ \t]*((static|inline|constexpr|extern)[ \t]+)*(const[ \t]+)?(float|double|int|int32_t|bool|void|auto)[ \t]+(" names ")[ \t]*\\(") ||
             match(code, "^[ \t]*((static|inline|constexpr|extern)[ \t]+)*(const[ \t]+)?(float|double)[ \t]+(" names ")[ \t]*(=|;|\\[)") ||
             match(code, "(auto|const auto)[ \t]+(" names ")[ \t]*=[ \t]*\\[") ||
             match(code, "^[ \t]*((static|inline|constexpr)[ \t]+)*(const[ \t]+)?(float|double|int|int32_t|bool|void|auto|Pt)[ \t]+(" functions ")[ \t]*\\(") ||
             match(code, "^[ \t]*struct[ \t]+(" functions ")[ \t]*(\\{|$)") {
               m = substr(code, RSTART, RLENGTH)
               sub(/[ \t]*[(=;[{].*$/, "", m); n = split(m, w, /[ \t]+/)
               print FILENAME ":" FNR ":name:" w[n] ":" $0
             }
             match(code, "(^|[^0-9.A-Za-z_])(" numbers ")f?([^0-9.]|$)") {
               m = substr(code, RSTART, RLENGTH)
               sub(/^[^0-9]/, "", m); sub(/[^0-9f]$/, "", m)
               print FILENAME ":" FNR ":number:" m ":" $0
             }
             match(code, "(^|[^A-Za-z0-9_])(" calls ")[ \t]*\\(") {
               m = substr(code, RSTART, RLENGTH)
               sub(/^[^A-Za-z]/, "", m); sub(/[ \t]*\($/, "", m)
               print FILENAME ":" FNR ":call:" m ":" $0
             }
             match(code, "(^|[^A-Za-z0-9_])(" selectors ")[ \t]*(==|!=|>=|<=|>|<|=)[ \t]*-?[0-9.]") {
               m = substr(code, RSTART, RLENGTH)
               sub(/^[^A-Za-z]/, "", m); sub(/[ \t]*[=!<>].*$/, "", m)
               print FILENAME ":" FNR ":selector:" m ":" $0
             }')
  return $bad
}

if [[ ${1:-} == --self-test ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$root/src" "$work/src"
  if ! check "$work" >"$work/clean.log"; then
    cat "$work/clean.log"
    echo "check-helpers: self-test FAILED: the unchanged tree does not pass"
    exit 1
  fi
  target=src/core/variant.cpp
  printf '%s\n' '// inline float as01(bool b) would be a local copy' \
    'inline float as01(bool b) { return b ? 1.0f : 0.0f; }' \
    'static double mod360(double x) { return x; }' \
    'inline bool leg_ok(int k) { return k >= 0 && k < 256; }' \
    'constexpr float kChimeLength_s = 2.5f;' \
    'float planted_kt(float mps) { return mps * 1.9438f; }  // 1.9438f in a comment does not count' \
    'float planted_ft(float m) { return m * 3.28084f; }' \
    'const char* planted_text = "3.14";' \
    'void planted_root(char* out) { XPLMGetSystemPath(out); }' \
    'bool planted_rto(float autobrake_pos) { return autobrake_pos == 0.0f; }' \
    'static float clamp_to(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }' \
    'struct Pt { double lat; double lon; };' \
    'const float dist = 2.0f;  // a value of that name is no copy' >>"$work/$target"
  if check "$work" >"$work/planted.log"; then
    echo "check-helpers: self-test FAILED: local copies in $target passed"
    exit 1
  fi
  want=("defines its own as01" "defines its own mod360" "defines its own leg_ok" "defines its own kChimeLength_s"
        "writes out 1.9438f" "writes out 3.28084f" "calls XPLMGetSystemPath again" "takes autobrake_pos for a bare number"
        "defines its own clamp_to" "defines its own Pt")
  ok=1
  [[ $(grep -c "^check-helpers: $target:[0-9]* " "$work/planted.log") == "${#want[@]}" ]] || ok=0
  for w in "${want[@]}"; do grep -q "^check-helpers: $target:[0-9]* $w" "$work/planted.log" || ok=0; done
  if (( !ok )); then
    cat "$work/planted.log"
    echo "check-helpers: self-test FAILED: the planted copies were not the ones reported"
    exit 1
  fi
  # A factor added to core/units.h without its line here.
  cp "$root/src/core/variant.cpp" "$work/$target"
  echo 'inline constexpr float m_per_nm_planted = 1852.0f;' >>"$work/src/core/units.h"
  if check "$work" >"$work/planted.log" || ! grep -q "units.h holds m_per_nm_planted" "$work/planted.log"; then
    cat "$work/planted.log"
    echo "check-helpers: self-test FAILED: a factor of core/units.h unknown to the check passed"
    exit 1
  fi
  echo "check-helpers: self-test ok (local helpers, a local point of the path builder, a constant, the knots factor written out, the root path read again and a bare autobrake position in $target are refused, and so is a factor of core/units.h the check does not know)"
  exit 0
fi

if ! check "$root"; then
  echo "check-helpers: FAILED"
  exit 1
fi
echo "check-helpers: ok"
