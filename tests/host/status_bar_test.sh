#!/usr/bin/env bash
# feedline-host in real status bars from Debian: tmux (a tmux whose status line is shown in the
# pane of a second tmux and read with capture-pane) and i3blocks (its i3bar protocol output),
# each showing a hostile feed's title as plain display text.
# Usage: status_bar_test.sh HOST
set -uo pipefail
for tool in tmux i3blocks; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed (Debian package $tool)"; exit 77; }
done
host=$(realpath "$1")
work=$(mktemp -d)
export TMUX_TMPDIR=$work XDG_RUNTIME_DIR=$work
unset TMUX
cleanup() {
  tmux -L feedline-outer kill-server 2>/dev/null
  tmux -L feedline-inner kill-server 2>/dev/null
  [ -n "${bar:-}" ] && stop_bar
  pkill -KILL -f -- "$work/i3blocks-feed.xml" 2>/dev/null
  rm -rf "$work"
}
# Debian's i3blocks 1.4 does not end on SIGTERM: after a grace period it gets SIGKILL.
stop_bar() {
  kill "$bar" 2>/dev/null
  for _ in $(seq 20); do kill -0 "$bar" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$bar" 2>/dev/null
  wait "$bar" 2>/dev/null
  bar=""
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The first item's title restyles, runs commands and breaks markup if any of it is read as such.
printf '%s\n' '<rss><channel><title>chan</title>' \
  '<item><title>#[fg=red]Red #{session_name} #(echo hacked) %{F#f00}## &amp; &lt;span foreground="red"&gt;big&lt;/span&gt; '$'\x1b''[31mx</title><link>https://x.example/1</link></item>' \
  '<item><title>two</title><link>https://x.example/2</link></item>' \
  '</channel></rss>' >"$work/feed.xml"
expected='#[fg=red]Red #{session_name} #(echo hacked) %{F#f00}## & <span foreground="red">big</span> [31mx'

echo "--- tmux"
cat >"$work/inner.conf" <<CONF
set -g status-interval 1
set -g status-left ""
set -g status-right-length 200
set -g status-right "#(exec '$host' --format tmux --poll 0.2 '$work/feed.xml' 2 30 3600)"
CONF
tmux -L feedline-outer -f /dev/null new-session -d -x 220 -y 5 \
  "tmux -L feedline-inner -f '$work/inner.conf' new-session"
status=""
for _ in $(seq 100); do
  status=$(tmux -L feedline-outer capture-pane -p -t 0 2>/dev/null | tail -n 1)
  [[ "$status" == *"[31mx"* ]] && break
  sleep 0.1
done
[[ "$status" == *"$expected"* ]] || fail "tmux status line: '$status'"
styled=$(tmux -L feedline-outer capture-pane -p -e -t 0 | tail -n 1)
[[ "$styled" == *$'\e[31m'* ]] && fail "the feed turned tmux's status red: $styled"

echo "--- i3blocks"
cp "$work/feed.xml" "$work/i3blocks-feed.xml"  # a name of its own, to find its host by
cat >"$work/i3blocks.conf" <<CONF
[news]
command='$host' --format i3blocks '$work/i3blocks-feed.xml' 2 30 3600
interval=persist
CONF
i3blocks -c "$work/i3blocks.conf" >"$work/bar.out" 2>"$work/bar.err" </dev/null & bar=$!
shown=""
for _ in $(seq 100); do
  shown=$(grep '"full_text"' "$work/bar.out" | tail -n 1 | sed 's/^,//' | jq -r '.[] | select(.name == "news") | .full_text' 2>/dev/null)
  [ -n "$shown" ] && break
  sleep 0.1
done
[ "$shown" == "$expected" ] || fail "i3blocks full_text: '$shown' ($(cat "$work/bar.err"))"
# The bar gone, its host must notice its closed standard output and end, though its line
# never changes (ROTATE_SECONDS 3600).
stop_bar
for _ in $(seq 20); do pgrep -f -- "$work/i3blocks-feed.xml" >/dev/null || break; sleep 0.1; done
pgrep -f -- "$work/i3blocks-feed.xml" >/dev/null && fail "the host outlived i3blocks by 2 s"

if [ $failures -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "tmux and i3blocks show the display text"
