# Sourced by the scripts that read this machine's apt set-up.

# Prints "URI<TAB>KEYRING" of the stanza or line that serves the suite $1 (default: this
# machine's own release) from the machine's apt sources, deb822 files first, then one-line ones.
mirror_of_suite() {
  local suite=${1:-}
  if [ -z "$suite" ]; then suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}"); fi
  [ -n "$suite" ] || return 1
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" '
      function flush() { if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && uri != "" && !done) { print uri "\t" key; done = 1 } types = suites = uri = key = "" }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
      /^URIs:/ { uri = $2 }
      /^Signed-By:/ { key = $2 }
      END { flush() }' "$file"
  done
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true; } |
    awk -v suite="$suite" '$1 == "deb" {
      i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
      if ($(i + 1) == suite) { print $i "\t"; exit } }'
  return 0
}

# Whether the mirror $1 publishes the suite $2: its Release file downloads, through apt's own
# transports and proxy settings.
suite_exists() {
  local probe status
  probe=$(mktemp -d) || return 2
  /usr/lib/apt/apt-helper download-file "${1%/}/dists/$2/Release" "$probe/Release" >/dev/null 2>&1
  status=$?
  rm -rf "$probe"
  return $status
}

# Whether apt knows a package of exactly this name (in any architecture's index).
apt_knows() {
  apt-cache show --no-all-versions "$1" >/dev/null 2>&1
}
