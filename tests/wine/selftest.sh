#!/usr/bin/env bash
# Tests of the Wine rig itself: every way a test can go wrong must come out as a failure with a
# reason, and a sound run as a success.
#
#   selftest.sh [GOOD_MODULE.dll]   (a module that imports only system DLLs, e.g. the demo object)
set -uo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$rig/wine-env.sh"
good_module="${1:-}"

work="$(mktemp -d "${TMPDIR:-/tmp}/orvel-rig-selftest.XXXXXX")"
trap 'rm -rf -- "$work"' EXIT
passed=0
failed=0

report() {  # report OK DESCRIPTION [DETAILS]
  if [[ $1 == yes ]]; then
    passed=$((passed + 1))
    echo "ok   $2"
  else
    failed=$((failed + 1))
    echo "FAIL $2"
    [[ -z "${3:-}" ]] || sed 's/^/     | /' <<<"$3"
  fi
}

# expect CODE PATTERN DESCRIPTION -- COMMAND...: CODE is an exit code or "nonzero"; the command's
# output must match the extended regular expression PATTERN (empty: anything).
expect() {
  local code="$1" pattern="$2" what="$3" out rc=0
  shift 4
  out="$("$@" 2>&1)" || rc=$?
  local ok=yes
  if [[ $code == nonzero ]]; then
    [[ $rc -ne 0 ]] || ok=no
  else
    [[ $rc -eq $code ]] || ok=no
  fi
  if [[ -n "$pattern" ]] && ! grep -Eq -- "$pattern" <<<"$out"; then ok=no; fi
  report "$ok" "$what" "exit code $rc, output:
$out"
}

script() {  # script NAME: writes stdin to a file in the work folder, CRLF as the hosts expect
  sed 's/$/\r/' >"$work/$1"
  echo "$work/$1"
}

# Program exit codes pass through unchanged.
expect 0 '' "run.sh: exit code 0" -- "$rig/run.sh" cmd /c exit 0
expect 7 '' "run.sh: exit code 7" -- "$rig/run.sh" cmd /c exit 7
expect nonzero '' "run.sh: a missing program fails" -- "$rig/run.sh" "$work/missing.exe"
# shellcheck disable=SC2016 # expanded by the inner shell
{
expect 0 '^hello' "run.sh: standard input reaches the program" -- bash -c 'echo hello | "$0" cmd /c more' "$rig/run.sh"
expect 3 '' "run.sh: standard input may be closed" -- bash -c '"$0" cmd /c exit 3 <&-' "$rig/run.sh"
}

# The script host stays silent and exits 0 on these; cscript.sh must not.
vbs_parse=$(script parse.vbs <<'EOF2'
WScript.Echo "RESULT: 1 passed, 0 failed"
If x Then
EOF2
)
vbs_raise=$(script raise.vbs <<'EOF2'
Check "before", 1, 1
Err.Raise 5
Summary
EOF2
)
vbs_failing=$(script failing.vbs <<'EOF2'
Check "equal", 1, 1
Check "number is not text", "1", 1
Summary
EOF2
)
vbs_empty=$(script empty.vbs <<'EOF2'
Summary
EOF2
)
vbs_good=$(script good.vbs <<'EOF2'
Check "text", "a" & "b", "ab"
Check "number", 2 + 3, 5
Summary
EOF2
)
js_throw=$(script throw.js <<'EOF2'
check("before", 1, 1);
throw new Error("boom");
EOF2
)
js_good=$(script good.js <<'EOF2'
check("sum", 2 + 3, 5);
summary();
EOF2
)
vbs="--include $rig/lib/check.vbs"
js="--include $rig/lib/check.js"
expect nonzero 'no summary line' "cscript.sh: a parse error fails" -- "$rig/cscript.sh" "$vbs_parse"
# shellcheck disable=SC2086 # $vbs and $js are two words each
{
expect nonzero 'no summary line' "cscript.sh: an unhandled VBScript error fails" -- "$rig/cscript.sh" $vbs "$vbs_raise"
expect nonzero 'no summary line' "cscript.sh: an unhandled JScript error fails" -- "$rig/cscript.sh" $js "$js_throw"
expect nonzero '1 check\(s\) failed' "cscript.sh: a failed check fails" -- "$rig/cscript.sh" $vbs "$vbs_failing"
expect nonzero 'FAIL number is not text: got String' "lib/check.vbs: types are compared" -- "$rig/cscript.sh" $vbs "$vbs_failing"
expect nonzero 'no check ran' "cscript.sh: a script without checks fails" -- "$rig/cscript.sh" $vbs "$vbs_empty"
expect 0 'RESULT: 2 passed, 0 failed' "cscript.sh: a passing VBScript passes" -- "$rig/cscript.sh" $vbs "$vbs_good"
expect 0 'RESULT: 1 passed, 0 failed' "cscript.sh: a passing JScript passes" -- "$rig/cscript.sh" $js "$js_good"
}
expect nonzero 'no such script' "cscript.sh: a missing script fails" -- "$rig/cscript.sh" "$work/missing.vbs"

# A module that cannot be loaded or has no registration entry point must not "register".
echo "not a module" >"$work/text.dll"
expect nonzero 'failed with exit code' "regsvr32.sh: a file that is no module fails" -- "$rig/regsvr32.sh" "$work/text.dll"
orvel_wine_prefix
expect nonzero 'failed with exit code' "regsvr32.sh: a module without DllRegisterServer fails" -- \
  "$rig/regsvr32.sh" "$WINEPREFIX/drive_c/windows/system32/version.dll"
expect nonzero 'no such module' "regsvr32.sh: a missing module fails" -- "$rig/regsvr32.sh" "$work/missing.dll"

# The compiler's own runtime DLLs are exactly what a shipped binary must not need.
runtime="$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)"
expect nonzero 'imports non-system DLLs: .*libgcc_s_seh-1\.dll' "check-imports.sh: the dynamic C++ runtime is refused" -- \
  "$rig/check-imports.sh" "$runtime"
expect nonzero 'not a Windows binary' "check-imports.sh: a file it cannot read fails" -- "$rig/check-imports.sh" "$work/text.dll"
mkdir "$work/empty"
expect nonzero 'no Windows binaries found' "check-imports.sh: an empty folder fails" -- "$rig/check-imports.sh" "$work/empty"
if [[ -n "$good_module" ]]; then
  expect 0 '1 binaries checked, 0 with' "check-imports.sh: a statically linked module passes" -- \
    "$rig/check-imports.sh" "$good_module"
fi
(
  source "$rig/check-imports.sh"
  for name in KERNEL32.dll oleaut32.DLL HHCTRL.OCX WINSPOOL.DRV api-ms-win-crt-runtime-l1-1-0.dll; do
    is_system_dll "$name" || echo "refused $name"
  done
  for name in libwinpthread-1.dll azimuth.dll kernel32.drv hhctrl.dll; do
    is_system_dll "$name" && echo "allowed $name"
  done
) >"$work/allow.txt"
report "$([[ ! -s "$work/allow.txt" ]] && echo yes || echo no)" "check-imports.sh: allow-list by name, any case" "$(cat "$work/allow.txt")"

echo "RESULT: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
