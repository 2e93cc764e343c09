#!/usr/bin/env bash
# The README's pictures: each one it names exists, is a real PNG or GIF of a bar's size, says in
# its alternative text what it shows, and stands at the top of the README or right after the
# recipe it shows (named like it); docs/images holds no picture the README does not name.
# Usage: readme_images_test.sh SOURCE_DIR
set -uo pipefail
source "$1/tests/host/bar_tests.sh"
require_tools identify
readme=$1/README.md
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

first_heading=$(grep -n '^## ' "$readme" | head -n 1 | cut -d: -f1)
named=()
while IFS=: read -r line reference; do
  alt=$(sed -E 's/^!\[([^]]*)\].*/\1/' <<<"$reference")
  path=$(sed -E 's/.*\]\(([^)]*)\)$/\1/' <<<"$reference")
  file=$1/$path
  name=$(basename "${path%.*}")
  named+=("$(basename "$path")")
  [ "${#alt}" -ge 20 ] || fail "$path: its alternative text says too little: '$alt'"
  [[ "$path" == docs/images/* ]] || fail "$path: not under docs/images"
  [ -f "$file" ] || { fail "$path: no such file"; continue; }
  # Format, size and frames of the first frame (a GIF lists one line per frame).
  read -r format w h <<<"$(identify -format '%m %w %h\n' "$file" 2>/dev/null | head -n 1)"
  frames=$(identify -format '%m\n' "$file" 2>/dev/null | wc -l)
  bytes=$(stat -c %s "$file")
  case $format in
    PNG) [ "$bytes" -le $((100 * 1024)) ] || fail "$path: $bytes bytes, over 100 KiB" ;;
    GIF) [ "$bytes" -le $((200 * 1024)) ] || fail "$path: $bytes bytes, over 200 KiB"
         [ "$frames" -ge 3 ] || fail "$path: $frames frames, not a rotation through three items" ;;
    *) fail "$path: not a PNG or GIF picture ('$format')"; continue ;;
  esac
  [ "$w" -ge 100 ] && [ "$w" -le 1200 ] && [ "$h" -ge 10 ] && [ "$h" -le 100 ] ||
    fail "$path: ${w}x${h} is not the size of a bar"
  # At the top, or after the code block of the recipe it is named after.
  if [ "$line" -gt "$first_heading" ]; then
    recipe=$(head -n "$line" "$readme" | sed -nE 's/^<!-- recipe: ([a-z0-9-]+) -->$/\1/p' | tail -n 1)
    [ "$recipe" == "$name" ] || fail "$path: stands after recipe '$recipe', not '$name'"
  fi
done < <(grep -noE '!\[[^]]*\]\([^)]*\)' "$readme")

[ "${#named[@]}" -gt 0 ] || fail "the README names no picture"
for file in "$1"/docs/images/*; do
  [ -e "$file" ] || continue
  printf '%s\n' "${named[@]}" | grep -qxF "$(basename "$file")" ||
    fail "docs/images/$(basename "$file") is not named by the README"
done
[ "$failures" -eq 0 ] || exit 1
echo "README pictures: ${named[*]} exist, are bar-sized pictures and stand by their recipes"
