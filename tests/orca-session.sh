#!/usr/bin/env bash
# Plays the quiz from the keyboard with the real Orca in Bulgarian and checks
# what it speaks after each key (orca_player.py, the keys in GAME.py). All of
# it is private and ends with the script: an X server, a session bus with the
# accessibility bus, speech-dispatcher speaking into a file, a Bulgarian
# locale, a home, and the quiz in a process group of its own.
#   orca-session.sh GAME.py PROGRAM [ARGUMENTS...]
set -euo pipefail
game=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

source "$here/common.sh"
registry=
# The registry is no child of this script: it is waited for by its PID.
trap 'cleanup
    while [ -n "$registry" ] && kill -0 "$registry" 2>/dev/null; do sleep 0.05; done' EXIT
start_xvfb

dbus-daemon --session --nofork --nopidfile --print-address=4 4>"$work/bus" &
pids+=($!)
wait_for "$work/bus" 5 "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
# Settings stay in memory: no dconf service is started on the bus.
export GSETTINGS_BACKEND=memory
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Orca speaks Bulgarian when the locale is Bulgarian.
mkdir "$work/locale"
localedef -i bg_BG -f UTF-8 "$work/locale/bg_BG.UTF-8" 2>/dev/null ||
    [ -d "$work/locale/bg_BG.UTF-8" ] || fail "could not build the bg_BG.UTF-8 locale"
bulgarian=(env LOCPATH="$work/locale" LANG=bg_BG.UTF-8 LANGUAGE=bg LC_ALL=bg_BG.UTF-8)

# speech-dispatcher's one output module writes each text to a file; libao's
# null driver takes the sound.
printf 'default_driver=null\n' >"$HOME/.libao"
speechd="$work/speechd"
mkdir -p "$speechd/modules"
cat >"$speechd/speechd.conf" <<CONF
AddModule "file" "sd_generic" "file.conf"
DefaultModule file
AudioOutputMethod "libao"
DefaultLanguage "bg"
LanguageDefaultModule "bg" "file"
CONF
cat >"$speechd/modules/file.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>$work/spoken"
AddVoice "bg" "MALE1" "bg"
GenericLanguage "bg" "bg" "utf-8"
CONF
speech-dispatcher -s -t 0 -C "$speechd" -c unix_socket -S "$work/speechd.sock" -P "$work/speechd.pid" \
    -L "$work" >"$work/speechd.out" 2>&1 &
pids+=($!)
export SPEECHD_ADDRESS="unix_socket:$work/speechd.sock"

/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
"${bulgarian[@]}" orca --disable braille --debug-file="$work/orca.log" -u "$work/orca-prefs" >"$work/orca.out" 2>&1 &
orca=$!
pids=("$orca" "${pids[@]}")
# The learner starts the quiz once Orca has said that it is on; on a busy
# machine that may take a minute.
wait_for "$work/spoken" 90 "Orca did not start speaking"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 setsid "$@" &
pids=("-$!" "${pids[@]}")
# The accessibility registry is started by its bus, not by this script.
a11y_bus=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress)
registry=$(dbus-send --bus="${a11y_bus// /}" --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.atspi.Registry | awk '{print $2}')
pids+=("$registry")
/usr/bin/python3 "$here/orca_player.py" "$game" "$work/orca.log" "$work/spoken" "$orca"
