# A desktop around the program for the end-to-end tests, sourced after lib.sh: a session bus, a sound server, a
# window manager, a panel with a taskbar and a notification area and, when asked, a session manager. Every socket
# and file lives in $WORK and every process goes into PIDS, so tests run side by side and the user's own session,
# bus and sound server are never reached.
#
#   start_desktop [--no-panel]     bus, sound, window manager and (unless --no-panel) the panel, on start_display's
#                                  display; exports DBUS_SESSION_BUS_ADDRESS and PULSE_SERVER
#   stop_panel / start_panel       the panel and its notification area go away / come back
#   tray_exists                    whether a notification area owns the screen's tray selection
#   start_session_manager          exports SESSION_MANAGER (and ICEAUTHORITY) for programs started after it
#   logout_session                 the session manager's logout: save, then die; waits until it has finished
#   session_saw PATTERN            whether the session manager logged a line matching PATTERN (grep -E, whole line)
#   taskbar_entries PID|CLASS      how many buttons the panel shows for that process or WM_CLASS
#   taskbar_windows PID|CLASS      their window ids and titles, one a line
#   window_managed NAME            whether the window manager manages a window with exactly this title
#   wm_close NAME, wm_activate NAME   as the window manager's close button and task switcher do (exact title)
#   wm_minimize WINID              as the window manager's minimise button does
#   sink_input_exists [PID]        whether the process (the program unless given) has a stream on the sound server
#   sink_input_prop KEY [PID]      a property of that stream, e.g. application.process.id
#   sink_input_volume_percent [PID]   its volume in percent (first channel)
#   (wait_until SECONDS COMMAND..., which the helpers here use, is in lib.sh)
# Set for the tests: PANEL_PID, SESSION_MANAGER_PID, SESSION_LOG (the session manager's log; its lines are described
# at the top of xsmp/session-manager.c).

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Whatever session the tests were started from stays out of reach.
unset SESSION_MANAGER ICEAUTHORITY DBUS_SESSION_BUS_ADDRESS PULSE_SERVER

# Drops a process that has ended from PIDS, so the clean-up never signals a number the system has reused.
forget_pid() {
  local i
  for i in "${!PIDS[@]}"; do [ "${PIDS[i]}" != "$1" ] || unset 'PIDS[i]'; done
  PIDS=("${PIDS[@]}")
}

start_session_bus() {
  # Our own configuration: no service directories, so nothing on the machine is started by activation.
  cat >"$WORK/session-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
EOF
  dbus-daemon --config-file="$WORK/session-bus.conf" --nofork --nopidfile --print-address=3 \
    3>"$WORK/session-bus.address" >"$WORK/session-bus.log" 2>&1 &
  PIDS+=($!)
  wait_until 10 test -s "$WORK/session-bus.address" || fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/session-bus.address")
  wait_until 10 dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId \
    >/dev/null 2>&1 || fail "the session bus does not answer"
}

start_sound_server() {
  # A null sink only, and none of the restore modules: a stream's volume is what the program sets, never one the
  # server remembered.
  mkdir -p "$XDG_RUNTIME_DIR/pulse"
  cat >"$WORK/pulse.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=$XDG_RUNTIME_DIR/pulse/native
load-module module-null-sink sink_name=e2e_null sink_properties=device.description=e2e-null
set-default-sink e2e_null
EOF
  printf 'autospawn = no\n' >"$WORK/pulse-client.conf"
  export PULSE_CLIENTCONFIG=$WORK/pulse-client.conf PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
  pulseaudio -n -F "$WORK/pulse.pa" --daemonize=no --use-pid-file=no --exit-idle-time=-1 --realtime=no \
    --high-priority=no --log-target=stderr >"$WORK/pulse.log" 2>&1 &
  PIDS+=($!)
  wait_until 10 pactl info >/dev/null 2>&1 || fail "the sound server does not answer: $(tail -n3 "$WORK/pulse.log")"
}

start_window_manager() {
  openbox --sm-disable --config-file "$E2E_DIR/openbox-rc.xml" >"$WORK/openbox.log" 2>&1 &
  PIDS+=($!)
  wait_until 10 eval 'wmctrl -m 2>/dev/null | grep -qx "Name: Openbox"' || fail "the window manager did not start"
}

# The window that owns an X selection (e.g. _NET_SYSTEM_TRAY_S0), as 0x..., or 0x0 when none does. No X tool
# prints a selection's owner, so the system's Python asks libX11 (not whichever python3 comes first on PATH).
selection_owner() {
  /usr/bin/python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
display = x.XOpenDisplay(None)
if not display:
    sys.exit("no display")
print(hex(x.XGetSelectionOwner(display, x.XInternAtom(display, sys.argv[1].encode(), 0))))
EOF
}

tray_exists() { [ "$(selection_owner _NET_SYSTEM_TRAY_S0)" != 0x0 ]; }

start_panel() {
  tint2 -c "$E2E_DIR/tint2rc" >>"$WORK/tint2.log" 2>&1 &
  PANEL_PID=$!
  PIDS+=($PANEL_PID)
  wait_until 10 tray_exists || fail "the panel did not take the notification area"
}

stop_panel() {
  [ -n "${PANEL_PID:-}" ] || fail "no panel runs"
  kill "$PANEL_PID"
  wait "$PANEL_PID" 2>/dev/null || true
  forget_pid "$PANEL_PID"
  PANEL_PID=
  wait_until 10 eval '! tray_exists' || fail "the notification area stayed after the panel ended"
}

start_desktop() {
  local panel=1
  while [ $# -gt 0 ]; do
    case $1 in
      --no-panel) panel= ;;
      *) fail "start_desktop: unknown option $1" ;;
    esac
    shift
  done
  [ -n "${DISPLAY:-}" ] || fail "start_desktop needs start_display first"
  start_session_bus
  start_sound_server
  start_window_manager
  [ -z "$panel" ] || start_panel
}

start_session_manager() {
  local program=$E2E_BIN/session-manager
  [ -x "$program" ] || fail "no $program: build the session-manager target"
  SESSION_LOG=$WORK/session-manager.log
  export ICEAUTHORITY=$XDG_RUNTIME_DIR/ICEauthority
  "$program" --listen "$XDG_RUNTIME_DIR/ice-session" --address-file "$WORK/session-manager.address" \
    >"$SESSION_LOG" 2>&1 &
  SESSION_MANAGER_PID=$!
  PIDS+=($SESSION_MANAGER_PID)
  wait_until 10 test -s "$WORK/session-manager.address" || fail "the session manager did not start: $(cat "$SESSION_LOG")"
  export SESSION_MANAGER=$(head -n1 "$WORK/session-manager.address")
}

session_saw() { grep -Eqx "$1" "$SESSION_LOG"; }

# The manager ends once every client has gone after Die, or when its deadlines have passed: that is the wait.
logout_session() {
  kill -USR1 "$SESSION_MANAGER_PID"
  wait_until 30 eval '! kill -0 "$SESSION_MANAGER_PID" 2>/dev/null' || fail "the logout never finished: $(cat "$SESSION_LOG")"
  wait "$SESSION_MANAGER_PID" 2>/dev/null || true
  forget_pid "$SESSION_MANAGER_PID"
  session_saw 'logout complete'
}

# The panel's rule: a managed window gets a button unless it skips the taskbar or is a dock, desktop, toolbar, menu
# or splash window. Being transient for another window is not enough: the panel shows those too.
taskbar_windows() {
  local id desktop pid class host title props
  wmctrl -lpx | while read -r id desktop pid class host title; do
    if [[ $1 =~ ^[0-9]+$ ]]; then
      [ "$pid" = "$1" ] || continue
    else
      [ "$class" = "$1" ] || [ "${class%%.*}" = "$1" ] || [ "${class#*.}" = "$1" ] || continue
    fi
    props=$(xprop -id "$id" _NET_WM_STATE _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR 2>/dev/null) || continue
    grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" && continue
    grep -Eq '_NET_WM_WINDOW_TYPE_(DOCK|DESKTOP|TOOLBAR|MENU|SPLASH)' <<<"$props" && continue
    echo "$id $title"
  done
}

taskbar_entries() { taskbar_windows "$1" | wc -l; }

window_managed() {
  local id desktop host title
  while read -r id desktop host title; do [ "$title" != "$1" ] || return 0; done < <(wmctrl -l)
  return 1
}
wm_close() { wmctrl -F -c "$1"; }
wm_activate() { wmctrl -F -a "$1"; }
wm_minimize() { xdotool windowminimize "$1"; }

# The block of `pactl list sink-inputs` whose stream belongs to the process.
sink_input_block() {
  LC_ALL=C pactl list sink-inputs 2>/dev/null | awk -v pid="${1:-$MEDIA_PID}" '
    /^Sink Input #/ { if (mine) exit; block = "" }
    { block = block $0 "\n" }
    $0 ~ "^[ \t]+application.process.id = \"" pid "\"$" { mine = 1 }
    END { if (mine) printf "%s", block }'
}

sink_input_exists() { [ -n "$(sink_input_block "${1:-}")" ]; }

sink_input_prop() {
  sink_input_block "${2:-}" | awk -v key="$1" '
    { line = $0; sub(/^[ \t]+/, "", line) }
    index(line, key " = \"") == 1 { value = substr(line, length(key) + 5); sub(/"$/, "", value); print value; exit }'
}

sink_input_volume_percent() {
  sink_input_block "${1:-}" | awk '/^[ \t]+Volume:/ { if (match($0, /[0-9]+%/)) print substr($0, RSTART, RLENGTH - 1); exit }'
}
