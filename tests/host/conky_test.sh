#!/usr/bin/env bash
# The README's conky recipe as pasted (only URL and its numbers replaced), run by an unprivileged
# user with a home of its own: the autostart line starts the host and conky from Debian, and
# conky's text line shows the file the host writes. conky draws on its console here (the test's
# own conky.config around the recipe's conky.text), so its text can be read. The shown title
# must be the display text cut with the recipe's "...", nothing in it read as conky variables,
# and the host must end when conky does.
# Usage: conky_test.sh HOST SOURCE_DIR
set -uo pipefail
source "$2/tests/host/bar_tests.sh"
require_tools conky setpriv
begin_bar_test "$1" "$2"
trap 'kill -KILL ${session:-} ${host_pid:-} 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

mkdir -m 700 "$work/home" "$work/run"
mkdir -m 755 "$work/bin"
ln -s "$host" "$work/bin/feedline-host"
mkdir -p "$work/home/.config/conky"
# The title would run a command, expand a variable and colour the text if conky read it.
cat >"$work/feed.xml" <<'FEED'
<rss><channel><title>chan</title>
<item><title>${exec touch PWNED} $HOME ${color red}red &amp; a title longer than sixty columns in all</title><link>https://x.example/1</link></item>
</channel></rss>
FEED
chmod 644 "$work/feed.xml"
{
  echo "conky.config = { out_to_x = false, out_to_console = true, background = false,"
  echo "                 update_interval = 0.5, total_run_times = 12 }"
  readme_recipe conky "$readme"
} >"$work/home/.config/conky/conky.conf"
give_to_bar_user "$work/home" "$work/run"

# The line is itself in single quotes; the feed's path (from mktemp) needs none.
line=$(readme_recipe conky-autostart "$readme" | sed "s|URL 5 30 10|$work/feed.xml 1 30 3600|")
echo "--- conky: $line"
(cd "$work/home" && "${as_user[@]}" env -i "HOME=$work/home" "XDG_RUNTIME_DIR=$work/run" \
  "PATH=$work/bin:/usr/bin:/bin" sh -c "$line" >"$work/conky.out" 2>"$work/conky.err") &
session=$!
for _ in $(seq 50); do
  host_pid=$(sed -nE '1s/^host ([0-9]+) .*/\1/p' "$work/run/feedline/default.link" 2>/dev/null)
  [ -n "$host_pid" ] && break
  sleep 0.1
done
[ -n "$host_pid" ] || fail "no host started: $(cat "$work/conky.err")"
# conky draws 12 times, every 0.5 s, then ends; the recipe then ends the host.
for _ in $(seq 150); do kill -0 $session 2>/dev/null || break; sleep 0.1; done
# The plain format: the title cut to 60 columns with the recipe's ending, then the link.
expected='${exec touch PWNED} $HOME ${color red}red & a title longe...  <https://x.example/1>'
grep -qxF -- "$expected" "$work/conky.out" ||
  fail "conky showed: '$(sort -u "$work/conky.out" | head -n 3)', expected '$expected'"
[ -e "$work/home/PWNED" ] || [ -e "$work/PWNED" ] && fail "conky ran a command from the feed"
[ -s "$work/home/.cache/feedline-news" ] || fail "no line file in the user's ~/.cache"
for _ in $(seq 30); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$host_pid" 2>/dev/null && fail "the host outlived conky by 3 s"

if [ $failures -gt 0 ]; then echo "$failures failure(s); conky and the host said:"; cat "$work/conky.err"; exit 1; fi
echo "conky shows the README recipe's line for any user, and the host ends with conky"
