#!/usr/bin/env bash
# Checks the integrators' package as a shop's machine would meet it: unpacks the zip into a folder
# whose name has spaces and parentheses (as "Program Files (x86)" has), in a fresh Wine prefix of
# its own, runs x64\register.cmd, creates Ovra.Orvel27 from the script host and checks the version
# it reports against the package's name, prints a receipt on the packaged virtual printer with the
# packaged host simulator and its example scenario, runs x64\unregister.cmd and checks that the
# ProgID is gone. The x86 binaries cannot run here: their imports, exports and machine type are
# checked, as are the x64 ones.
#
#   check-package.sh build/package/orvel27fr-<version>-windows.zip
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
zip="$(realpath -- "${1:?usage: check-package.sh PACKAGE.zip}")"
[[ "$(basename "$zip")" =~ ^orvel27fr-([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)-windows\.zip$ ]] ||
  { echo "check-package: not a package name: $zip" >&2; exit 1; }
# The device reports major.minor.build.
version="${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.${BASH_REMATCH[4]}"

work="$(mktemp -d "${TMPDIR:-/tmp}/orvel-package.XXXXXX")"
export ORVEL_WINEPREFIX="$work/prefix"
source "$rig/wine-env.sh"
cleanup() {
  if [[ -d "$WINEPREFIX" ]]; then wineserver -k 2>/dev/null || true; fi
  rm -rf -- "$work"
}
trap cleanup EXIT

passed=0
failed=0
check() { # NAME COMMAND...
  if "${@:2}"; then
    echo "ok   $1"
    passed=$((passed + 1))
  else
    echo "FAIL $1"
    failed=$((failed + 1))
  fi
}
registered() { orvel_wine wine reg query "$1" >/dev/null 2>&1; }
# Gone: the key's parent is read (so the query itself works) and does not list it. A failed query
# (no prefix, no wineserver, a mistyped parent) proves nothing and fails.
unregistered() {
  local listing
  listing="$(orvel_wine wine reg query "${1%\\*}" 2>/dev/null)" || return 1
  ! tr -d '\r' <<<"$listing" | grep -qiF -x -- "$(sed 's/^HKCR\\/HKEY_CLASSES_ROOT\\/' <<<"$1")"
}
contains() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }

# --- What is in it.
# (ASCII: Wine maps Linux file names through the locale, which glibc here lacks. "&", "^" and the
# parentheses are what cmd would take for commands if the batch files printed the path raw.)
site="$work/Shop & Co ^ (x64 test)"
mkdir -p "$site"
unzip -q "$zip" -d "$site"
root="$(find "$site" -mindepth 1 -maxdepth 1 -type d)"
check "one top folder named after the package" test "$(basename "$root")" = "$(basename "$zip" .zip)"
check "INSTALL.ru.md" test -s "$root/INSTALL.ru.md"
for arch in x64 x86; do
  for file in orvel27fr.dll azimuth.dll README-azimuth.ru.txt orvel27-host.exe register.cmd unregister.cmd \
              examples/fiscal-sale.json; do
    check "$arch/$file" test -s "$root/$arch/$file"
  done
  # The batch files must read in the console's code page: CP866 text round-trips and has CR LF.
  for cmd in register unregister; do
    check "$arch/$cmd.cmd is CP866 with CR LF" \
      bash -c 'iconv -f CP866 -t UTF-8 "$1" | grep -q "ОШИБКА" && ! grep -qv $'"'"'\r$'"'"' "$1"' _ "$root/$arch/$cmd.cmd"
  done
done

# --- Machine type, imports and exports of every binary.
machine() { # FILE EXPECTED_MAGIC
  local dump
  dump="$(x86_64-w64-mingw32-objdump -p -- "$1" 2>/dev/null || i686-w64-mingw32-objdump -p -- "$1")"
  grep -qE "^Magic[[:space:]]+$2" <<<"$dump"
}
exports() { # FILE NAME...
  local dump name
  dump="$(x86_64-w64-mingw32-objdump -p -- "$1" 2>/dev/null || i686-w64-mingw32-objdump -p -- "$1")"
  for name in "${@:2}"; do
    grep -qE "^[[:space:]]*\[ *[0-9]+\] $name\$" <<<"$dump" || { echo "  $1 does not export $name"; return 1; }
  done
}
azimuth_names=()
while read -r name; do azimuth_names+=("$name"); done < <(
  sed -n '/^EXPORTS/,$p' "$rig/../../emulator/azimuth.def" | sed -n 's/^[[:space:]]\+\([A-Za-z_][A-Za-z0-9_]*\).*/\1/p')
for arch in x64 x86; do
  magic=020b
  [[ $arch == x86 ]] && magic=010b
  for file in orvel27fr.dll azimuth.dll orvel27-host.exe; do
    check "$arch/$file is a $arch binary" machine "$root/$arch/$file" "$magic"
  done
  check "$arch/orvel27fr.dll exports the COM server's entry points" exports "$root/$arch/orvel27fr.dll" \
    DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer
  check "$arch/azimuth.dll exports the printer library's ${#azimuth_names[@]} entry points" \
    exports "$root/$arch/azimuth.dll" "${azimuth_names[@]}"
  check "$arch imports only Windows system DLLs" "$rig/check-imports.sh" "$root/$arch"
done

# --- The x64 folder on a fresh 64-bit system.
orvel_wine_prefix
x64="$root/x64"
# Wine's cmd reads a batch file in the OEM code page, as Windows does, but writes into a pipe in
# the ANSI one.
run_cmd() { # NAME.cmd OUTPUT
  local rc=0
  (cd "$x64" && orvel_wine_run cmd /c "$1" /q) | iconv -f CP1251 -t UTF-8 >"$2" || rc=${PIPESTATUS[0]}
  cat "$2"
  return "$rc"
}
# The whole answer: the report and the driver's path as text, nothing cmd made of the folder's name.
answers() { # OUTPUT REPORT
  local expected
  expected="$(printf '%s\r\n%s\r' "$2" "$(orvel_winpath "$x64/orvel27fr.dll")")"
  [[ "$(<"$1")" == "$expected" ]] || { printf '  expected:\n%s\n' "$expected"; return 1; }
}
check "register.cmd succeeds" run_cmd register.cmd "$work/register.out"
check "and says so in Russian, then the path" answers "$work/register.out" \
  "Готово: драйвер Orvel27 (64-разрядный) зарегистрирован."
check "the ProgID is registered" registered 'HKCR\Ovra.Orvel27'

check "the script host creates Ovra.Orvel27 of version $version" \
  "$rig/cscript.sh" --include "$rig/lib/check.vbs" "$rig/package/package.vbs" "$version"

# This prefix runs no 32-bit code: the x86 folder's register.cmd must say that it failed.
rc=0
run_cmd "..\\x86\\register.cmd" "$work/register-x86.out" || rc=$?
check "x86/register.cmd fails here with a non-zero exit code" test "$rc" -ne 0
check "and says so in Russian" contains "$work/register-x86.out" "ОШИБКА"

emu="$work/printer"
host_log="$work/host.out"
# The receipt comes from the packaged host simulator, which creates the driver by its ProgID as the
# registration left it: a bare script host cannot be an equipment manager here (the objects of
# Wine's VBScript classes answer no GetIDsOfNames, and JScript makes no two-dimensional arrays).
print_receipt() {
  (cd "$x64" && AZIMUTH_EMU_DIR="$(orvel_winpath "$emu")" orvel_wine_run orvel27-host.exe \
     --workdir "$(orvel_winpath "$work/host-work")" 'examples\fiscal-sale.json') >"$host_log" 2>&1 ||
    { cat "$host_log"; return 1; }
}
check "the packaged host prints a receipt on the packaged virtual printer" print_receipt
check "the receipt is in the printer's journal" contains "$emu/port-COM1/journal.jsonl" '"fn":"CloseReceipt","rc":0'
check "and on its paper" contains "$emu/port-COM1/paper.txt" "=171.00"

check "unregister.cmd succeeds" run_cmd unregister.cmd "$work/unregister.out"
check "and says so in Russian, then the path" answers "$work/unregister.out" \
  "Готово: регистрация драйвера Orvel27 (64-разрядного) удалена."
check "the ProgID is gone" unregistered 'HKCR\Ovra.Orvel27'
check "and the class" unregistered 'HKCR\CLSID\{EE1F1B94-EC65-49EF-A048-5D4605D83B1F}'

# The ProgID is shared by both bitnesses, the class keys are not: while an x86 registration
# stands (made with the system's registry tool: no 32-bit code runs here), x64's unregistration
# keeps the ProgID, and the last unregistration removes it.
x86_class='HKCR\CLSID\{EE1F1B94-EC65-49EF-A048-5D4605D83B1F}'
check "register.cmd again" run_cmd register.cmd "$work/register-again.out"
check "an x86 registration of the class beside it" \
  orvel_wine wine reg add "$x86_class\InprocServer32" /ve /d 'C:\x86\orvel27fr.dll' /reg:32 /f
check "unregister.cmd with the x86 registration standing" run_cmd unregister.cmd "$work/unregister-x64.out"
check "the x64 class is gone" unregistered 'HKCR\CLSID\{EE1F1B94-EC65-49EF-A048-5D4605D83B1F}'
check "the ProgID stays for the x86 registration" registered 'HKCR\Ovra.Orvel27'
check "the x86 registration goes" orvel_wine wine reg delete "$x86_class" /reg:32 /f
check "unregister.cmd, the last registration's" run_cmd unregister.cmd "$work/unregister-last.out"
check "the ProgID goes with it" unregistered 'HKCR\Ovra.Orvel27'

echo "package: $passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
