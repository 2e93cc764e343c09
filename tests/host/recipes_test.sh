#!/usr/bin/env bash
# The manual page's recipes are the README's, byte for byte: one set of recipes, which the bar
# tests run as pasted.
# Usage: recipes_test.sh SOURCE_DIR
set -uo pipefail
source "$(dirname "$0")/bar_tests.sh"
readme=$1/README.md
page=$1/packaging/feedline-host.1
failures=0
names=$(recipe_names "$readme")
[ -n "$names" ] || { echo "FAIL: no recipe marked in the README"; exit 1; }
for name in $names; do
  expected=$(readme_recipe "$name" "$readme")
  actual=$(man_recipe "$name" "$page")
  [ -n "$expected" ] || { echo "FAIL: the README's recipe $name is empty"; failures=$((failures + 1)); }
  if [ "$expected" != "$actual" ]; then
    echo "FAIL: the manual page's recipe $name differs from the README's:"
    diff <(echo "$expected") <(echo "$actual")
    failures=$((failures + 1))
  fi
  # A recipe whose bar can click gives its host a name and opens that name.
  if grep -q -- "--open" <<<"$expected" || [ "$name" = i3blocks ]; then
    grep -qE -- "--name [a-z0-9]+" <<<"$expected" || {
      echo "FAIL: recipe $name has no --name"; failures=$((failures + 1)); }
  fi
done
[ "$failures" -eq 0 ] && echo "recipes: $(echo $names) match"
exit $(( failures > 0 ))
