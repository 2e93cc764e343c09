#!/usr/bin/env bash
# feedline installed as users install it: the manual page, --version, `cmake --install` into a
# fresh prefix and the Debian package from `cpack -G DEB`, each installed host run with no
# argument while the source and build trees are hidden from it.
# Usage: install_and_package_test.sh SOURCE_DIR BUILD_DIR VERSION
set -uo pipefail
for tool in dpkg-deb lintian man; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
# Hiding the trees takes a mount namespace of one's own.
if ! unshare --mount true 2>/dev/null; then echo "skipped: needs root for unshare --mount"; exit 77; fi
source_dir=$1 build_dir=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
sample_title="Harbour bridge reopens after six weeks of repairs"

# Runs a host with no argument where the source tree (and the build tree inside it) is an empty
# directory, so that it can only use what was installed.
run_without_tree() {
  unshare --mount sh -c 'mount -t tmpfs none "$1" && exec "$2" --once' sh "$source_dir" "$1"
}

echo "--- manual page"
man_page=$source_dir/packaging/feedline-host.1
warnings=$(man --warnings -l "$man_page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man --warnings: $warnings"
rendered=$(MANWIDTH=200 man -l "$man_page" 2>/dev/null | col -b)
for option in $("$build_dir/host/feedline-host" --help | grep -oE -- '--[a-z-]+' | sort -u); do
  grep -qF -- "$option" <<<"$rendered" || fail "$option is in --help but not in the manual page"
done
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "SEE ALSO"; do
  grep -qx "$section" <<<"$rendered" || fail "manual page lacks $section"
done

echo "--- --version"
[ "$("$build_dir/host/feedline-host" --version)" == "feedline-host $version" ] ||
  fail "--version: $("$build_dir/host/feedline-host" --version)"

echo "--- cmake --install into a fresh prefix"
prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/feedline-host lib/feedline/feedline.so share/feedline/examples/world-news.xml \
            share/man/man1/feedline-host.1 share/doc/feedline/README.md share/doc/feedline/LICENSE; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
shown=$(run_without_tree "$prefix/bin/feedline-host")
[[ "$shown" == "$sample_title  <"* ]] || fail "installed host shows '$shown'"

echo "--- cpack -G DEB"
(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null) ||
  fail "cpack -G DEB"
deb=$work/deb/feedline_${version}_amd64.deb
[ -f "$deb" ] || { fail "no $deb"; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" == feedline ] || fail "Package: $(field Package)"
[ "$(field Version)" == "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" == amd64 ] || fail "Architecture: $(field Architecture)"
[[ "$(field Maintainer)" == *"<"*"@"*">" ]] || fail "Maintainer: $(field Maintainer)"
[ -n "$(field Section)" ] || fail "no Section"
[[ "$(field Depends)" == *libcurl* && "$(field Depends)" == *libstdc++* ]] ||
  fail "Depends not computed from the binaries: $(field Depends)"
[ "$(field Description | wc -l)" -gt 2 ] || fail "no extended description"
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/feedline-host ./usr/lib/feedline/feedline.so \
            ./usr/share/feedline/examples/world-news.xml ./usr/share/man/man1/feedline-host.1.gz \
            ./usr/share/doc/feedline/copyright ./usr/share/doc/feedline/changelog.gz; do
  grep -qx -- "$file" <<<"$listing" || fail "package lacks $file"
done
mkdir "$work/extracted"
dpkg-deb -x "$deb" "$work/extracted"
for binary in usr/bin/feedline-host usr/lib/feedline/feedline.so; do
  readelf -S "$work/extracted/$binary" | grep -qE '\.symtab|\.debug_info' && fail "$binary is not stripped"
done
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
  "$work/extracted/usr/share/doc/feedline/copyright" || fail "copyright is not machine-readable"
shown=$(run_without_tree "$work/extracted/usr/bin/feedline-host")
[[ "$shown" == "$sample_title  <"* ]] || fail "extracted host shows '$shown'"

echo "--- lintian"
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
cat "$work/lintian.txt"
grep -q '^E:' "$work/lintian.txt" && fail "lintian reports errors"

if [ $failures -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "installed, packaged and run"
