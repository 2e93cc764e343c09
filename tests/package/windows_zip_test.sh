#!/usr/bin/env bash
# The Windows release zip as users unpack it: cpack in the 32-bit build tree gathers both Windows
# builds; the zip must hold exactly the note, the licence and, per bitness, one stripped DLL and
# one stripped checker, each of the right machine type; the DLL exports the three functions, and
# both carry the version resource.
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
[ "$listing" = "LICENSE.txt README.txt x64/feedline-check.exe x64/feedline.dll x86/feedline-check.exe x86/feedline.dll " ] ||
  fail "zip holds: $listing"
unzip -q "$zip" -d "$work/unpacked"

for arch in x86 x64; do
  dll=$work/unpacked/$arch/feedline.dll
  checker=$work/unpacked/$arch/feedline-check.exe
  case $arch in
    x86) objdump=i686-w64-mingw32-objdump machine="i386," ;;
    x64) objdump=x86_64-w64-mingw32-objdump machine="i386:x86-64," ;;
  esac
  [ -f "$dll" ] && "$source_dir/tests/check_exports.sh" windows "$dll" "$objdump" "$arch" ||
    fail "$arch exports"
  for file in "$dll" "$checker"; do
    [ -f "$file" ] || continue
    name=$arch/$(basename "$file")
    "$objdump" -f "$file" | grep -q "architecture: $machine" || fail "$name is not $machine"
    "$objdump" -h "$file" | grep -q ' \.debug_' && fail "$name is not stripped"
    # The version resource's texts are UTF-16; the version and original name must be among them.
    resource=$(strings -el "$file")
    for text in "ProductVersion" "$version" "$(basename "$file")"; do
      grep -qxF "$text" <<<"$resource" || fail "$name: no '$text' in its version resource"
    done
    echo "$name: $(stat -c %s "$file") bytes"
  done
  # The checker needs no DLL but the system's and the plug-in it loads at run time.
  imports=$("$objdump" -p "$checker" | sed -nE 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
  for import in $imports; do
    case $import in
      kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll|api-ms-win-*) ;;
      *) fail "$arch/feedline-check.exe imports $import, which Windows does not ship" ;;
    esac
  done
done

grep -q 'x86' "$work/unpacked/README.txt" && grep -q 'x64' "$work/unpacked/README.txt" ||
  fail "README.txt does not say which DLL to take"
grep -q 'feedline-check.exe' "$work/unpacked/README.txt" && grep -q 'DebugView' "$work/unpacked/README.txt" ||
  fail "README.txt does not say how to see why the line is empty"

[ "$failures" -eq 0 ] && echo "windows zip: $listing"
exit $(( failures > 0 ))
