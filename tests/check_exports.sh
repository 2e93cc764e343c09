#!/usr/bin/env bash
# Checks that a built plug-in exports init, getparam and FetchRSS and nothing else of its own,
# and (for the DLL) that it imports only system DLLs and is built for the expected bitness.
# Usage: check_exports.sh linux feedline.so | check_exports.sh windows feedline.dll OBJDUMP x86|x64
set -euo pipefail
kind=$1 file=$2
expected=$'FetchRSS\ngetparam\ninit'
fail() { echo "check_exports: $*" >&2; exit 1; }

if [ "$kind" = linux ]; then
  # Defined dynamic symbols, without the version node the linker adds.
  exports=$(nm -D --defined-only "$file" | awk '$2 != "A" {print $3}' | sort)
  [ "$exports" = "$expected" ] || fail "exports are:"$'\n'"$exports"
else
  objdump=$3 arch=$4
  table=$("$objdump" -p "$file")
  # The optional header's magic: 010b for a 32-bit (PE32) image, 020b for a 64-bit (PE32+) one.
  magic=$(awk '$1 == "Magic" {print $2; exit}' <<<"$table")
  case "$arch:$magic" in
    x86:010b|x64:020b) ;;
    *) fail "expected an $arch DLL, the optional header's magic is '$magic'" ;;
  esac
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[ \t]*\[/ {print $NF; next} on {on=0}' \
            <<<"$table" | sort)
  [ "$exports" = "$expected" ] || fail "exports are:"$'\n'"$exports"
  imports=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$table" | sort -u)
  while read -r dll; do
    case "$dll" in
      KERNEL32.DLL|WININET.DLL|MSVCRT.DLL|USER32.DLL|ADVAPI32.DLL) ;;
      *) fail "imports a non-system DLL: $dll (all imports: $(echo $imports))" ;;
    esac
  done <<<"$imports"
  echo "$arch DLL, imports: $(echo $imports)"
fi
echo "exports: $(echo $exports)"
