# Shell functions that read the status-bar recipes out of the README and the manual page, so that
# the tests run the recipes as users paste them. Source this file.

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
