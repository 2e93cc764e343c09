#!/usr/bin/env bash
# The Windows release zip as users unpack it: cpack in the 32-bit build tree gathers both Windows
# builds; the zip must hold exactly the note, the licence and one stripped DLL per bitness, each
# of the right machine type, exporting the three functions and carrying the version resource.
# Usage: windows_zip_test.sh SOURCE_DIR   (after both Windows presets are built)
set -uo pipefail
source_dir=$1
version=$(sed -nE 's/^project\(feedline VERSION ([0-9.]+).*/\1/p' "$source_dir/CMakeLists.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

(cd "$source_dir/build/windows" && cpack -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
zip=$work/out/feedline-$version-windows.zip
[ -f "$zip" ] || { echo "FAIL: no $zip; cpack made: $(ls "$work/out")" >&2; exit 1; }

listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
[ "$listing" = "LICENSE.txt README.txt x64/feedline.dll x86/feedline.dll " ] ||
  fail "zip holds: $listing"
unzip -q "$zip" -d "$work/unpacked"

for arch in x86 x64; do
  dll=$work/unpacked/$arch/feedline.dll
  [ -f "$dll" ] || continue
  case $arch in x86) objdump=i686-w64-mingw32-objdump ;; x64) objdump=x86_64-w64-mingw32-objdump ;; esac
  "$source_dir/tests/check_exports.sh" windows "$dll" "$objdump" "$arch" || fail "$arch exports"
  "$objdump" -h "$dll" | grep -q ' \.debug_' && fail "$arch/feedline.dll is not stripped"
  # The version resource's texts are UTF-16; the product name and version must be among them.
  resource=$(strings -el "$dll")
  for text in "ProductVersion" "$version" "feedline.dll"; do
    grep -qxF "$text" <<<"$resource" || fail "$arch/feedline.dll: no '$text' in its version resource"
  done
  echo "$arch/feedline.dll: $(stat -c %s "$dll") bytes"
done

grep -q 'x86' "$work/unpacked/README.txt" && grep -q 'x64' "$work/unpacked/README.txt" ||
  fail "README.txt does not say which DLL to take"

[ "$failures" -eq 0 ] && echo "windows zip: $listing"
exit $(( failures > 0 ))
