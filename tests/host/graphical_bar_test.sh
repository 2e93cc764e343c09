#!/usr/bin/env bash
# feedline-host in a graphical bar from Debian, configured with the README's recipe as pasted
# (only URL and its numbers replaced): polybar on an Xvfb screen, or waybar in sway (sway's X11
# backend on an Xvfb screen, which gives sway a pointer that xdotool moves; its headless backend
# has none). Each bar runs as an unprivileged user. The test compares screenshots of the bar
# with screenshots of the same bar showing, from a plain command, the line the host must give
# it; clicks the module with xdotool and checks that a recording opener got the shown item's
# link; checks that the line rotates while that opener is still running, that the feed's markup
# coloured nothing, that the messages went to the host's log, not the bar, and that the host
# ends with its bar. In waybar, the recipe with several feeds shows each feed's item in turn.
# Usage: graphical_bar_test.sh HOST SOURCE_DIR polybar|waybar
set -uo pipefail
bar_name=$3
source "$2/tests/host/bar_tests.sh"
source "$2/tests/host/graphical_bars.sh"
case $bar_name in
  polybar) require_tools Xvfb xdotool import compare convert setpriv polybar ;;
  waybar) require_tools Xvfb xdotool import compare convert setpriv sway swaymsg waybar dbus-daemon ;;
  *) echo "unknown bar '$bar_name'" >&2; exit 2 ;;
esac
begin_bar_test "$1" "$2"

mkdir -m 700 "$work/run" "$work/home" "$work/state"
mkdir -m 755 "$work/bin"
give_to_bar_user "$work/run" "$work/home" "$work/state"
user_env=(env -i "HOME=$work/home" "XDG_RUNTIME_DIR=$work/run" "XDG_STATE_HOME=$work/state"
          "PATH=$work/bin:/usr/bin:/bin")
# The recipe calls feedline-host and xdg-open by name: the host under test, and a slow opener
# that records its arguments and takes 6 s to finish.
ln -s "$host" "$work/bin/feedline-host"
cat >"$work/bin/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$@" >"$work/opened.new" && mv "$work/opened.new" "$work/opened"
sleep 6
touch "$work/opener-done"
OPENER
chmod 755 "$work/bin/xdg-open"
chmod 777 "$work"  # the opener, run as the bar's user, records here

pids=()
bar_log=$work/bar.err
screen_width=1000
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  # The host the bar started, found by the process id it recorded with its name.
  [ -n "${host_pid:-}" ] && kill -KILL "$host_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The feed: a first item whose title would colour the bar red and add a module if read as
# markup (its tag escaped twice, so that an HTML reading leaves it as text), and a plain second
# one.
cat >"$work/feed.xml" <<'FEED'
<rss><channel><title>chan</title>
<item><title>%{F#ff0000}red%{F-} &amp;lt;span foreground="#ff0000"&amp;gt;big&amp;lt;/span&amp;gt; &amp; more</title><link>https://x.example/1</link></item>
<item><title>two</title><link>https://x.example/2</link></item>
</channel></rss>
FEED
chmod 644 "$work/feed.xml"

start_screen

# Waits up to $2 seconds for the bar to look exactly like reference $1.
wait_shows() {
  for _ in $(seq $(($2 * 4))); do
    shot "$work/now.png"
    [ "$(differ "$work/now.png" "$1")" == 0 ] && return 0
    sleep 0.25
  done
  return 1
}
# The module's command for the reference screenshots: prints file $1 and stays.
reference_command() { echo "cat '$1'; exec sleep 600"; }

# A module that shows a reference line, in each bar's own configuration language.
reference_module() {  # FILE
  case $bar_name in
    polybar) printf '[module/news]\ntype = custom/script\nexec = %s\ntail = true\n' "$(reference_command "$1")" ;;
    waybar) printf '"custom/news": { "exec": "%s", "return-type": "json" },\n' "$(reference_command "$1")" ;;
  esac
}

# The lines the host must give the bar for items 1 and 2: its markup made literal (polybar: a
# zero-width space after each "%"; waybar: JSON with Pango escapes).
case $bar_name in
  polybar)
    printf '%%\u200b{F#ff0000}red%%\u200b{F-} <span foreground="#ff0000">big</span> & more\n' >"$work/line1"
    printf 'two\n' >"$work/line2"
    start_bar() { start_polybar "$@"; }
    ;;
  waybar)
    printf '{"text":"%%{F#ff0000}red%%{F-} &lt;span foreground=\\"#ff0000\\"&gt;big&lt;/span&gt; &amp; more"}\n' >"$work/line1"
    printf '{"text":"two"}\n' >"$work/line2"
    start_session_bus
    start_sway
    start_bar() { start_waybar "$@"; }
    ;;
esac
chmod 644 "$work/line1" "$work/line2"

echo "--- $bar_name: reference screenshots"
for n in 1 2; do
  start_bar "$(reference_module "$work/line$n")"
  wait_still "$work/ref$n.png" || fail "the reference bar showing line $n never held still"
  stop_bar
done
[ "$(differ "$work/ref1.png" "$work/ref2.png")" != 0 ] || fail "the two references look alike"

echo "--- $bar_name: the README's recipe"
# Two items, rotated every 4 s.
start_bar "$(readme_recipe "$bar_name" "$readme" | sed "s|URL 5 30 10|'$work/feed.xml' 2 30 4|")"
wait_shows "$work/ref1.png" 20 ||
  fail "the bar never showed item 1 as the reference does ($(differ "$work/now.png" "$work/ref1.png") pixels differ)"
record=$work/run/feedline/$bar_name.link
host_pid=$(sed -nE '1s/^host ([0-9]+) .*/\1/p' "$record" 2>/dev/null)
[ -n "$host_pid" ] || fail "no host recorded its link as $bar_name"
# No red anywhere: the feed's colour and span stayed text.
red=$(convert "$work/now.png" -fuzz 20% -fill black +opaque '#ff0000' -fill white -opaque '#ff0000' \
  -format '%[fx:mean*w*h]' info:)
[ "${red%.*}" == 0 ] || fail "$red red pixels: the feed's markup coloured the bar"

# A click on the module opens the shown item through the recipe's --open line.
xdotool mousemove 30 12 click 1
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" == "https://x.example/1" ] ||
  fail "the click opened '$(cat "$work/opened" 2>/dev/null)'"
# The opener takes 6 s; the line rotates (every 4 s) before it is done.
if wait_shows "$work/ref2.png" 6; then
  [ -e "$work/opener-done" ] && fail "the line rotated only after the opener had finished"
else
  fail "the bar did not rotate to item 2 while the opener ran"
fi

# The plug-in's own lines never reach the bar as content: polybar gives the host one pipe for
# both streams, so they go to the host's log; waybar keeps standard error apart, for its own log.
told="^feedline: file://$work/feed.xml: [0-9]* bytes, 2 items"
case $bar_name in
  polybar) grep -q "$told" "$work/state/feedline/$bar_name.log" ||
             fail "the host's log: $(cat "$work/state/feedline/$bar_name.log" 2>&1)" ;;
  waybar) grep -q "$told" "$work/bar.err" || fail "waybar's standard error: $(cat "$work/bar.err")" ;;
esac

# The bar gone, its host ends.
stop_bar
for _ in $(seq 50); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$host_pid" 2>/dev/null && fail "the host outlived $bar_name by 5 s"

# waybar: the README's recipe with three labelled feeds of one item each shows each feed's item
# in turn, labelled, as reference bars show those lines.
if [ "$bar_name" == waybar ]; then
  echo "--- waybar: the README's recipe with several feeds"
  labels=(News Tech Sport)
  for n in 1 2 3; do
    printf '<rss><channel><item><title>item %s</title><link>https://f%s.example/</link></item></channel></rss>\n' \
      "$n" "$n" >"$work/f$n.xml"
    printf '{"text":"%s · item %s"}\n' "${labels[n - 1]}" "$n" >"$work/several$n"
    chmod 644 "$work/f$n.xml" "$work/several$n"
    start_bar "$(reference_module "$work/several$n")"
    wait_still "$work/several$n.png" || fail "the reference bar showing feed $n never held still"
    stop_bar
  done
  start_bar "$(readme_recipe waybar-several "$readme" |
    sed "s|URL1|'$work/f1.xml'|; s|URL2|'$work/f2.xml'|; s|URL3|'$work/f3.xml'|; s|5 30 10|1 30 4|")"
  wait_shows "$work/several1.png" 20 || fail "the bar never showed feed 1's item"
  for n in 2 3 1; do
    wait_shows "$work/several$n.png" 8 || fail "the bar did not go on to feed $n's item"
  done
  stop_bar
fi

if [ $failures -gt 0 ]; then
  cp "$work"/*.png "${TMPDIR:-/tmp}/" 2>/dev/null
  echo "$failures failure(s); screenshots copied to ${TMPDIR:-/tmp}; the bars said:"
  tail -n 20 "$work/bar.err"
  exit 1
fi
echo "$bar_name shows the README recipe's line, opens its link and ends with its host"
