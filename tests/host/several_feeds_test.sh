#!/usr/bin/env bash
# One feedline-host showing several feeds over loopback HTTP: round robin with labels, a failing
# feed, a silent one, --open on the second feed's item, and --check over several feeds.
# Usage: several_feeds_test.sh HOST SECTION   (the sections are listed below)
set -uo pipefail
host=$(realpath "$1")
section=$2
work=$(mktemp -d)
# Whatever happens, nothing this test started outlives it.
trap 'kill -KILL $(jobs -p) $server 2>/dev/null; rm -rf "$work"' EXIT
server=
export XDG_RUNTIME_DIR=$work/runtime XDG_STATE_HOME=$work/state
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_eq() { [ "$1" == "$2" ] || fail "$3: expected '$2', got '$1'"; }

# Two feeds of three items each, served with a 404 for anything else and no answer at all on
# /silent (the connection is accepted and nothing is ever sent).
mkdir "$work/site"
for feed in a b; do
  {
    echo "<rss><channel><title>$feed</title>"
    for n in 1 2 3; do echo "<item><title>$feed$n</title><link>https://$feed.example/$n</link></item>"; done
    echo "</channel></rss>"
  } >"$work/site/$feed.xml"
done
cat >"$work/server.py" <<'PY'
import functools, http.server, sys, threading
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path == "/silent":
            threading.Event().wait()
        return super().do_GET()
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                         functools.partial(Handler, directory=sys.argv[1]))
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
PY
/usr/bin/python3 "$work/server.py" "$work/site" >"$work/port" 2>/dev/null &
server=$!
disown $server  # ended by the trap, without a word from the shell
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
read -r port <"$work/port" || { echo "the test's feed server did not start" >&2; exit 1; }
site=http://127.0.0.1:$port

# Runs the host in the background with its output in $work/out and messages in $work/err.
start() { rm -f "$work/out" "$work/err"; "$host" "$@" >"$work/out" 2>"$work/err" & pid=$!; }
# Waits up to 20 s for $work/out to hold $1 lines.
wait_lines() { for _ in $(seq 200); do [ "$(wc -l <"$work/out")" -ge "$1" ] && return; sleep 0.1; done; }
# Whether process $1 ends within 1 s.
ends_within_1s() {
  for _ in $(seq 20); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  ! kill -0 "$1" 2>/dev/null
}

section_round_robin() {
  echo "--- each feed's next item in turn, labelled, from each feed's first, none skipped"
  start --poll 0.1 A="$site/a.xml" B="$site/b.xml" 3 30 1
  wait_lines 8; kill -TERM $pid; wait $pid
  expect_eq "$(head -8 "$work/out" | tr '\n' '|')" \
    "A · a1  <https://a.example/1>|B · b1  <https://b.example/1>|A · a2  <https://a.example/2>|B · b2  <https://b.example/2>|A · a3  <https://a.example/3>|B · b3  <https://b.example/3>|A · a1  <https://a.example/1>|B · b1  <https://b.example/1>|" \
    "lines"
  # Each feed's own outcome line, named by its label.
  grep -qx "feedline: A: $site/a.xml: HTTP 200, [0-9]* bytes, 3 items" "$work/err" || fail "A's outcome: $(cat "$work/err")"
  grep -qx "feedline: B: $site/b.xml: HTTP 200, [0-9]* bytes, 3 items" "$work/err" || fail "B's outcome: $(cat "$work/err")"
  echo "--- json carries the label in a field of its own; unlabelled feeds look as before"
  start --poll 0.1 --format json --once N="$site/a.xml" "$site/b.xml"
  wait $pid
  expect_eq "$(cat "$work/out")" '{"title":"N · a1","link":"https://a.example/1","label":"N"}' "json"
  start --poll 0.1 --once "$site/a.xml" "$site/b.xml"
  wait $pid
  expect_eq "$(cat "$work/out")" 'a1  <https://a.example/1>' "unlabelled"
}

section_failing_feeds() {
  echo "--- feeds with nothing to show are passed over and said once"
  # R is refused (no document at all); X answers 404 with a page without items.
  start --poll 0.1 A="$site/a.xml" R=http://127.0.0.1:9/feed X="$site/missing.xml" B="$site/b.xml" 3 0 1
  wait_lines 5; kill -TERM $pid; wait $pid
  expect_eq "$(head -5 "$work/out" | cut -d' ' -f1-3 | tr '\n' '|')" "A · a1|B · b1|A · a2|B · b2|A · a3|" "lines"
  # Downloaded on every call (UPDATE_MINUTES 0), failing every time: told once each.
  expect_eq "$(grep -c "^feedline: R: http://127.0.0.1:9/feed: download failed: connection refused" "$work/err")" 1 "R's outcome lines"
  expect_eq "$(grep -c "^feedline: X: $site/missing.xml: HTTP 404" "$work/err")" 1 "X's outcome lines"
  expect_eq "$(grep -c "^feedline-host: R: nothing to show: no download has delivered a document" "$work/err")" 1 "R passed over"
  expect_eq "$(grep -c "^feedline-host: X: a position without an item" "$work/err")" 1 "X passed over"
}

section_silent_feed() {
  echo "--- a feed that never answers holds nothing up: rotation, clicks, --open, SIGTERM"
  mkfifo "$work/clicks"
  rm -f "$work/out" "$work/err"
  "$host" --poll 0.1 --format i3blocks --name several --open-with "$work/recorder" \
    A="$site/a.xml" S="$site/silent" B="$site/b.xml" 3 30 1 <"$work/clicks" >"$work/out" 2>"$work/err" &
  pid=$!
  exec 3>"$work/clicks"
  wait_lines 4
  expect_eq "$(head -4 "$work/out" | tr '\n' '|')" "A · a1|B · b1|A · a2|B · b2|" "lines"
  # An i3blocks click and --open both answer at once.
  rm -f "$work/opened"
  echo 1 >&3
  for _ in $(seq 10); do [ -s "$work/opened" ] && break; sleep 0.1; done
  grep -qx "https://[ab].example/[123]" "$work/opened" 2>/dev/null || fail "click: '$(cat "$work/opened" 2>/dev/null)'"
  rm -f "$work/opened"
  t0=$(date +%s%N)
  "$host" --open --name several --open-with "$work/recorder" || fail "--open beside a silent feed"
  expect_eq "$(( ($(date +%s%N) - t0) / 1000000 < 1000 ))" 1 "--open within 1 s"
  grep -qx "https://[ab].example/[123]" "$work/opened" 2>/dev/null || fail "--open: '$(cat "$work/opened" 2>/dev/null)'"
  kill -TERM $pid
  ends_within_1s $pid || fail "the host did not end within 1 s of SIGTERM"
  exec 3>&-
}

section_open_second_feed() {
  echo "--- --open opens the link of the shown item, the second feed's"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/recorder"
  chmod +x "$work/recorder"
  # Turns of 5 s: the second feed's item stays on the line while --open runs.
  start --poll 0.1 --name second A="$site/a.xml" B="$site/b.xml" 3 30 5
  wait_lines 2
  expect_eq "$(sed -n 2p "$work/out")" "B · b1  <https://b.example/1>" "second line"
  "$host" --open --name second --open-with "$work/recorder"
  expect_eq "$(cat "$work/opened" 2>/dev/null)" "https://b.example/1" "opened link"
  kill -TERM $pid; wait $pid
}

section_check() {
  echo "--- --check reports each feed in turn; exit 1 when any cannot show an item"
  "$host" --check A="$site/a.xml" "$site/missing.xml" >"$work/out" 2>"$work/err"
  expect_eq $? 1 "exit code"
  expect_eq "$(grep -E '^(label|address|first):' "$work/out" | tr '\n' '|')" \
    "label:   A|address: $site/a.xml|first:   a1|address: $site/missing.xml|first:   nothing can be shown|" \
    "report"
  grep -q "^outcome: $site/missing.xml: HTTP 404" "$work/out" || fail "failing feed's outcome: $(cat "$work/out")"
  "$host" --check "$site/a.xml" B="$site/b.xml" >"$work/out"; expect_eq $? 0 "two good feeds"
}

cat >"$work/recorder" <<REC
#!/bin/sh
printf '%s\n' "\$@" >"$work/opened"
REC
chmod +x "$work/recorder"
"section_$section"
[ "$failures" -eq 0 ] || exit 1
echo "several feeds ($section): all passed"
