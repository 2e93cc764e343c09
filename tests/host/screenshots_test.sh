#!/usr/bin/env bash
# scripts/screenshots still runs where the bars are installed: it makes every picture the
# README names, into a directory of its own (never over docs/images), each a picture of a
# bar's size. Exits 77 with the script's reason where a bar or a tool is missing.
# Usage: screenshots_test.sh HOST SOURCE_DIR
set -uo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$2/scripts/screenshots" --host "$1" "$out" >"$out.log" 2>&1
code=$?
cat "$out.log"; rm -f "$out.log"
[ "$code" -eq 77 ] && exit 77
[ "$code" -eq 0 ] || { echo "FAIL: scripts/screenshots exited with $code"; exit 1; }
failures=0
for committed in "$2"/docs/images/*; do
  made=$out/$(basename "$committed")
  if [ ! -s "$made" ]; then
    echo "FAIL: the script made no $(basename "$committed")"; failures=$((failures + 1)); continue
  fi
  read -r w h <<<"$(identify -format '%w %h\n' "$made" | head -n 1)"
  [ "$w" -ge 100 ] && [ "$w" -le 1200 ] && [ "$h" -ge 10 ] && [ "$h" -le 100 ] ||
    { echo "FAIL: $(basename "$made") is ${w}x${h}"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] || exit 1
echo "scripts/screenshots made every picture the README shows"
