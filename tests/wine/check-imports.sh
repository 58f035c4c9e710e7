#!/usr/bin/env bash
# Checks that Windows binaries import only Windows system DLLs: what we ship must run on a bare
# Windows installation, so the compiler's runtime (libstdc++, libgcc, winpthread) has to be
# linked in statically and nothing else may be needed beside it.
#
#   check-imports.sh [FILE|FOLDER]...
#
# Folders are searched for *.dll, *.exe and *.ocx; without arguments, the win64 and win32 build
# output folders of this tree. Fails on a foreign import, on a file that is not a Windows binary
# and when no binary is found at all.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Names are compared in lower case; a name without extension stands for name.dll.
allowed_dlls=(kernel32 user32 gdi32 advapi32 ole32 oleaut32 shell32 comctl32 comdlg32 version
              setupapi cfgmgr32 hhctrl.ocx msvcrt winspool.drv shlwapi uxtheme 'api-ms-win-crt-*')

is_system_dll() {
  local name="${1,,}" pattern
  for pattern in "${allowed_dlls[@]}"; do
    [[ "$pattern" == *.* ]] || pattern="$pattern.dll"
    # shellcheck disable=SC2053 # the allow-list entries are glob patterns
    [[ "$name" == $pattern ]] && return 0
  done
  return 1
}

# Imported DLL names of one binary (regular and delay-loaded), one a line.
imports_of() {
  local dump objdump
  for objdump in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; do
    if dump="$("$objdump" -p -- "$1" 2>/dev/null)" && grep -q '^Magic' <<<"$dump"; then
      sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr -d '\r'
      return 0
    fi
  done
  return 1
}

check_binary() {
  local file="$1" dll dlls foreign=() all=()
  if ! dlls="$(imports_of "$file")"; then
    echo "FAIL $file: not a Windows binary objdump can read"
    return 1
  fi
  while IFS= read -r dll; do
    [[ -n "$dll" ]] || continue
    all+=("$dll")
    is_system_dll "$dll" || foreign+=("$dll")
  done <<<"$dlls"
  if [[ ${#foreign[@]} -gt 0 ]]; then
    echo "FAIL $file imports non-system DLLs: ${foreign[*]}"
    return 1
  fi
  echo "ok   $file: ${all[*]:-no imports}"
}

main() {
  local targets=("$@") files=() target
  if [[ ${#targets[@]} -eq 0 ]]; then
    targets=("$root/build/win64/bin" "$root/build/win32/bin")
  fi
  for target in "${targets[@]}"; do
    if [[ -d "$target" ]]; then
      while IFS= read -r -d '' f; do files+=("$f"); done < <(
        find "$target" -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.ocx' \) -print0 | sort -z)
    elif [[ -f "$target" ]]; then
      files+=("$target")
    else
      echo "check-imports: no such file or folder: $target" >&2
      return 1
    fi
  done
  if [[ ${#files[@]} -eq 0 ]]; then
    echo "check-imports: no Windows binaries found in ${targets[*]}" >&2
    return 1
  fi
  local failed=0
  for f in "${files[@]}"; do
    check_binary "$f" || failed=$((failed + 1))
  done
  echo "imports: ${#files[@]} binaries checked, $failed with imports other than Windows system DLLs"
  [[ $failed -eq 0 ]]
}

# Sourcing gives the functions alone (for the rig's own tests).
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  main "$@"
fi
