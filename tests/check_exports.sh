#!/usr/bin/env bash
# Checks that a built plug-in exports init, getparam and FetchRSS and nothing else of its own
# (the Linux library also its line facts for hosts that show text), and (for the DLL) that it
# imports only system DLLs and is built for the expected bitness.
# Usage: check_exports.sh linux feedline.so | check_exports.sh windows feedline.dll OBJDUMP x86|x64
set -euo pipefail
kind=$1 file=$2
expected=$'FetchRSS\ngetparam\ninit'
fail() { echo "check_exports: $*" >&2; exit 1; }

if [ "$kind" = linux ]; then
  # Defined dynamic symbols, without the version node the linker adds.
  exports=$(nm -D --defined-only "$file" | awk '$2 != "A" {print $3}' | LC_ALL=C sort)
  expected=$'FetchRSS\nfeedline_line_facts\ngetparam\ninit'
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
  # The name table's "[ N] ..." lines up to the blank line after it; binutils 2.44 (Debian 13)
  # puts a column heading first and the ordinal and hint before each name.
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF == 0 {on=0}
                 on && /^[ \t]*\[/ {print $NF}' <<<"$table" | sort)
  [ "$exports" = "$expected" ] || fail "exports are:"$'\n'"$exports"
  imports=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$table" | sort -u)
  while read -r dll; do
    case "$dll" in
      KERNEL32.DLL|WININET.DLL|MSVCRT.DLL|USER32.DLL|ADVAPI32.DLL) ;;
      *) fail "imports a non-system DLL: $dll (all imports: $(echo $imports))" ;;
    esac
  done <<<"$imports"
  echo "$arch DLL, imports: $(echo $imports)"
  if [ "$arch" = x86 ]; then
    # Statically, without running anything: 32-bit hosts call with stdcall, so each exported
    # function must pop its own arguments on return (init takes none).
    base=$((16#$(awk '$1 == "ImageBase" {print $2; exit}' <<<"$table")))
    # Each name's ordinal index, then that index's address: "name rva" lines.
    addresses=$(awk '/^Export Address Table --/ {table = 1; next}
      /\[Ordinal\/Name Pointer\] Table/ {table = 2; next}
      NF == 0 {table = 0}
      table && match($0, /\[ *[0-9]+\]/) {
        index_ = substr($0, RSTART + 1, RLENGTH - 2) + 0
        if (table == 1) rva[index_] = $(NF - 2); else name[index_] = $NF
      }
      END { for (i in name) print name[i], rva[i] }' <<<"$table")
    symbols=$("${objdump%objdump}nm" "$file" 2>/dev/null | wc -l || true)
    for expected_ret in "init ret" "getparam ret \$0x4" "FetchRSS ret \$0x10"; do
      name=${expected_ret%% *} want=${expected_ret#* }
      rva=$(awk -v n="$name" '$1 == n {print $2}' <<<"$addresses")
      [ -n "$rva" ] || fail "$name: no address in the export table"
      start=$((base + 16#$rva))
      # Every return up to the next function's label; without symbols, the first return.
      rets=$("$objdump" -d --no-show-raw-insn --start-address=$start --stop-address=$((start + 8192)) "$file" |
             awk -v labelled="$symbols" 'done { next } /^[0-9a-f]+ <.*>:$/ { if (seen++) done = 1; next }
                  $2 == "ret" { sub(/^[^\t]*\t/, ""); gsub(/ +/, " "); print; if (labelled == 0) done = 1 }')
      [ -n "$rets" ] || fail "$name: no return found at its export address"
      while read -r ret; do
        [ "$ret" = "$want" ] || fail "$name returns with '$ret', expected '$want' (stdcall)"
      done <<<"$rets"
      echo "$name: $(wc -l <<<"$rets") return(s), each '$want'"
    done
  fi
fi
echo "exports: $(echo $exports)"
