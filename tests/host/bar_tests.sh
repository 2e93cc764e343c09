# Shell functions the status-bar tests share: reading the recipes out of the README and the
# manual page (so that the tests run them as users paste them), and the start every bar test
# makes. Source this file.

# Exits 77 (the test is skipped) when a tool is missing, saying which.
require_tools() {  # TOOL...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      { echo "skipped: $tool is not installed (see scripts/install-deps linux)"; exit 77; }
  done
}

# Sets what every bar test starts with: `host` (the host under test), `readme`, `work` (a new
# directory the bar's user may enter), `failures` and `as_user`, the command prefix that runs a
# bar as nobody when the test runs as root (sway refuses root) and as the test's user otherwise.
begin_bar_test() {  # HOST SOURCE_DIR
  host=$(realpath "$1")
  readme=$2/README.md
  work=$(mktemp -d)
  chmod 755 "$work"
  failures=0
  as_user=()
  [ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
}

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Gives files and directories to the bar's user (nobody when the test runs as root).
give_to_bar_user() {  # PATH...
  if [ "$(id -u)" -eq 0 ]; then chown -R 65534:65534 "$@"; fi
}

# The README's code block after "<!-- recipe: NAME -->".
readme_recipe() {  # NAME README
  awk -v marker="<!-- recipe: $1 -->" '
    $0 == marker { found = 1; next }
    found && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$2"
}

# The manual page's example after '.\" recipe: NAME', its roff escapes undone.
man_recipe() {  # NAME PAGE
  awk -v marker='.\\" recipe: '"$1" '
    $0 == marker { found = 1; next }
    found && $0 == ".EX" { inside = 1; next }
    inside && $0 == ".EE" { exit }
    inside { gsub(/\\-/, "-"); gsub(/\\e/, "\\"); print }' "$2"
}

# Every recipe name the README marks.
recipe_names() {  # README
  sed -nE 's/^<!-- recipe: ([a-z0-9-]+) -->$/\1/p' "$1"
}
