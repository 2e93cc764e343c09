#!/usr/bin/env bash
# feedline-host in real status bars from Debian, configured with the README's recipes as pasted
# (only URL and its numbers replaced): tmux (a tmux whose status line is shown in the pane of a
# second tmux and read with capture-pane, and its key binding that opens the shown item) and
# i3blocks (its i3bar protocol output), each showing a hostile feed's title as plain display text.
# Usage: status_bar_test.sh HOST SOURCE_DIR
set -uo pipefail
source "$2/tests/host/bar_tests.sh"
require_tools tmux i3blocks jq
begin_bar_test "$1" "$2"
export TMUX_TMPDIR=$work XDG_RUNTIME_DIR=$work XDG_STATE_HOME=$work/state
unset TMUX
# The recipes call feedline-host and xdg-open by name: here they are the host under test and a
# program that records the link it is given.
mkdir "$work/bin"
ln -s "$host" "$work/bin/feedline-host"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
cleanup() {
  tmux -L feedline-outer kill-server 2>/dev/null
  tmux -L feedline-inner kill-server 2>/dev/null
  [ -n "${bar:-}" ] && stop_bar
  # The host i3blocks started, by the process id it recorded with its name.
  [ -n "${i3blocks_host:-}" ] && kill -KILL "$i3blocks_host" 2>/dev/null
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

# A README recipe with its feed: URL and its numbers become FEED 2 30 3600 (no rotation).
recipe() {  # NAME FEED
  readme_recipe "$1" "$readme" | sed "s|URL 5 30 10|'$2' 2 30 3600|"
}

# The first item's title restyles, runs commands and breaks markup if any of it is read as such
# (its tag escaped twice, so that an HTML reading leaves it as text);
# it fits the recipes' 80 columns.
printf '%s\n' '<rss><channel><title>chan</title>' \
  '<item><title>#[fg=red]R #{session_name} #(echo hacked) %{F#f00}## &amp; &amp;lt;b&amp;gt;big&amp;lt;/b&amp;gt; '$'\x1b''[31mx</title><link>https://x.example/1</link></item>' \
  '<item><title>two</title><link>https://x.example/2</link></item>' \
  '</channel></rss>' >"$work/feed.xml"
expected='#[fg=red]R #{session_name} #(echo hacked) %{F#f00}## & <b>big</b> [31mx'

echo "--- tmux"
{
  echo 'set -g status-left ""'
  recipe tmux "$work/feed.xml"
} >"$work/inner.conf"
tmux -L feedline-outer -f /dev/null new-session -d -x 220 -y 5 \
  "tmux -L feedline-inner -f '$work/inner.conf' new-session"
status=""
# The recipe's status-interval is 5 s: tmux starts the host at its first status redraw.
for _ in $(seq 150); do
  status=$(tmux -L feedline-outer capture-pane -p -t 0 2>/dev/null | tail -n 1)
  [[ "$status" == *"[31mx"* ]] && break
  sleep 0.1
done
[[ "$status" == *"$expected"* ]] || fail "tmux status line: '$status'"
styled=$(tmux -L feedline-outer capture-pane -p -e -t 0 | tail -n 1)
[[ "$styled" == *$'\e[31m'* ]] && fail "the feed turned tmux's status red: $styled"
# The recipe's key: prefix + N opens the shown item.
tmux -L feedline-outer send-keys -t 0 C-b N
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
expect_opened="https://x.example/1"
[ "$(cat "$work/opened" 2>/dev/null)" == "$expect_opened" ] ||
  fail "tmux key opened: '$(cat "$work/opened" 2>/dev/null)'"

echo "--- i3blocks"
# Its first link differs from the tmux host's, which still runs: each bar opens its own host's.
sed 's|https://x.example/1|https://x.example/i3|' "$work/feed.xml" >"$work/i3blocks-feed.xml"
recipe i3blocks "$work/i3blocks-feed.xml" >"$work/i3blocks.conf"
i3blocks -c "$work/i3blocks.conf" >"$work/bar.out" 2>"$work/bar.err" </dev/null & bar=$!
shown=""
for _ in $(seq 100); do
  shown=$(grep '"full_text"' "$work/bar.out" | tail -n 1 | sed 's/^,//' | jq -r '.[] | select(.name == "news") | .full_text' 2>/dev/null)
  [ -n "$shown" ] && break
  sleep 0.1
done
[ "$shown" == "$expected" ] || fail "i3blocks full_text: '$shown' ($(cat "$work/bar.err"))"
i3blocks_host=$(sed -nE '1s/^host ([0-9]+) .*/\1/p' "$XDG_RUNTIME_DIR/feedline/i3blocks.link")
[ -n "$i3blocks_host" ] || fail "the i3blocks host recorded no link under its name"
# The i3 key of the recipe opens what the i3blocks host shows.
rm -f "$work/opened"
sh -c "$(readme_recipe i3 "$readme" | sed 's/^bindsym [^ ]* exec //')"
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" == "https://x.example/i3" ] ||
  fail "i3 key opened: '$(cat "$work/opened" 2>/dev/null)'"
# The bar gone, its host must notice its closed standard output and end, though its line
# never changes (ROTATE_SECONDS 3600).
stop_bar
for _ in $(seq 20); do kill -0 "$i3blocks_host" 2>/dev/null || break; sleep 0.1; done
kill -0 "$i3blocks_host" 2>/dev/null && fail "the host outlived i3blocks by 2 s"

if [ $failures -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "tmux and i3blocks show the display text"
