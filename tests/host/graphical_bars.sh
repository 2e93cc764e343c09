# Shell functions for bars drawn on a screen, shared by the graphical bar tests and
# scripts/screenshots: an Xvfb screen, screenshots of an area of it, and polybar, or waybar in
# sway, around a module text. Source after bar_tests.sh's begin_bar_test; the caller sets
# `user_env` (the bar user's environment), `pids` (processes to end) and `bar_log` (where the
# bars' output goes), and `screen_width`.

# Starts "$@" in the background as the bar's user, its output appended to $bar_log; its process
# id goes to $started.
start_as_user() {
  "${as_user[@]}" "${user_env[@]}" "$@" >>"$bar_log" 2>&1 &
  started=$!
  pids+=("$started")
}

# An Xvfb screen $screen_width wide; DISPLAY set for this shell and the bar's user. -noreset:
# without it the server resets whenever its last client leaves (a bar stopped between two
# pictures), and a client that connects meanwhile loses its connection.
start_screen() {  # [XVFB OPTION...]
  Xvfb -displayfd 3 -screen 0 "${screen_width}x200x24" -nolisten tcp -noreset "$@" \
    3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display")
  user_env+=("DISPLAY=$DISPLAY")
}

# A screenshot of the screen's area WxH+X+Y (default: the top 24 rows).
shot() { import -window root -crop "${2:-${screen_width}x24+0+0}" +repage "$1" 2>/dev/null; }
# Pixels that differ between two screenshots (a large number when one is missing).
differ() { compare -metric AE "$1" "$2" null: 2>&1 >/dev/null | cut -d' ' -f1 || echo 999999; }
# Waits up to 20 s for the area $2 (default: the top 24 rows) to show text (more than one colour)
# and hold still; saves it as $1.
wait_still() {  # FILE [AREA]
  local previous=""
  for _ in $(seq 80); do
    shot "$work/still.png" "${2:-}"
    if [ "$(convert "$work/still.png" -format '%k' info:)" -gt 1 ] && [ -n "$previous" ] &&
       [ "$(differ "$work/still.png" "$previous")" == 0 ]; then
      cp "$work/still.png" "$1"
      return 0
    fi
    cp "$work/still.png" "$work/previous.png"; previous=$work/previous.png
    sleep 0.25
  done
  return 1
}

# polybar: a bar of its own, black on white in DejaVu Sans Mono, around the module; $bar is its
# process.
start_polybar() {  # MODULE_TEXT
  cat >"$work/polybar.ini" <<CONF
[bar/news]
width = 100%
height = 24
modules-left = news
font-0 = DejaVu Sans Mono:size=10
background = #ffffff
foreground = #000000

$1
CONF
  start_as_user polybar -q -c "$work/polybar.ini" news
  bar=$started
}

# A session bus for the bar's user, as a desktop session has one: waybar 0.12 (Debian 13) stops
# at start without it. Ended with the other processes.
start_session_bus() {
  "${as_user[@]}" "${user_env[@]}" dbus-daemon --session --fork --print-address=3 --print-pid=4 \
    3>"$work/bus.address" 4>"$work/bus.pid" 2>>"$bar_log" ||
    { echo "FAIL: the session bus did not start" >&2; exit 1; }
  pids+=("$(cat "$work/bus.pid")")
  user_env+=("DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")")
}

# sway on the Xvfb screen (its X11 backend, which gives it a pointer that xdotool moves; its
# headless backend has none); sets $wayland.
start_sway() {
  printf 'output X11-1 resolution %sx200 position 0 0\ndefault_border none\n' "$screen_width" \
    >"$work/sway.conf"
  start_as_user env WLR_BACKENDS=x11 WLR_RENDERER=pixman sway -c "$work/sway.conf"
  for _ in $(seq 100); do ls "$work"/run/wayland-* >/dev/null 2>&1 && break; sleep 0.1; done
  wayland=$(cd "$work/run" && ls wayland-* 2>/dev/null | grep -v lock | head -n 1)
  [ -n "$wayland" ] || { echo "FAIL: sway did not start" >&2; exit 1; }
}

# waybar in sway, black on white in DejaVu Sans Mono, with the module; $bar is its process.
start_waybar() {  # MODULE_TEXT
  {
    echo '{ "layer": "top", "position": "top", "height": 24, "modules-left": ["custom/news"],'
    echo "$1"
    echo '"name": "news" }'
  } >"$work/waybar.json"
  printf '* { font-family: "DejaVu Sans Mono"; font-size: 13px; background: #ffffff; color: #000000; border: none; }\n' \
    >"$work/waybar.css"
  start_as_user env "WAYLAND_DISPLAY=$wayland" waybar -c "$work/waybar.json" -s "$work/waybar.css"
  bar=$started
}

# Ends the bar started last, waiting up to 5 s before it is killed.
stop_bar() {
  kill "$bar" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$bar" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$bar" 2>/dev/null
  wait "$bar" 2>/dev/null
}
