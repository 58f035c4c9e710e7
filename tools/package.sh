#!/usr/bin/env bash
# Builds the package for integrators from the win64 and win32 builds:
# build/package/orvel27fr-<version>-windows.zip with INSTALL.ru.md and the folders x64/ and x86/,
# each holding the driver, the virtual printer (marked as such), help.chm when the build made
# one, the host simulator with its example scenarios, and register.cmd/unregister.cmd.
#
#   package.sh [OUTPUT_DIR]      (default build/package)
#
# The version is the one project() gave both builds; they must agree. Fails when a build lacks a
# file the package needs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

out="${1:-build/package}"
fail() {
  echo "package: $*" >&2
  exit 1
}

build_version() {
  local cache="build/$1/CMakeCache.txt" version
  [[ -f "$cache" ]] || fail "build/$1 is not configured (tools/build.sh $1)"
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cache")"
  [[ -n "$version" ]] || fail "no project version in $cache"
  echo "$version"
}

version="$(build_version win64)"
[[ "$(build_version win32)" == "$version" ]] || fail "win64 is version $version, win32 is $(build_version win32): rebuild both"

name="orvel27fr-$version-windows"
stage="$out/$name"
rm -rf -- "$stage" "$out/$name.zip"
mkdir -p "$stage"

# Text for Windows: CRLF line ends, in the code page its reader expects.
windows_text() { # SOURCE TARGET CHARSET
  sed 's/\r*$/\r/' "$1" | iconv -f UTF-8 -t "$3" >"$2"
}

# The .cmd files are in the console's OEM code page of a Russian Windows, CP866: cmd.exe reads a
# batch file in the console's code page, so the text shows without changing it with chcp (which
# would change it for whoever opened the console, too).
command_file() { # TARGET BITS FLAGS TITLE DONE FAILED
  sed -e "s|@BITS@|$2|g" -e "s|@FLAGS@|$3|g" -e "s|@TITLE@|$4|g" -e "s|@DONE@|$5|g" -e "s|@FAILED@|$6|g" \
    package/register.cmd.in | sed 's/  *\/s  *"/ \/s "/' >"$1.utf8"
  windows_text "$1.utf8" "$1" CP866
  rm -f -- "$1.utf8"
}

for arch in x64 x86; do
  case "$arch" in
    x64) preset=win64 bits=64 strip=x86_64-w64-mingw32-strip ;;
    x86) preset=win32 bits=32 strip=i686-w64-mingw32-strip ;;
  esac
  bin="build/$preset/bin"
  dir="$stage/$arch"
  mkdir -p "$dir/examples"
  for file in orvel27fr.dll azimuth.dll orvel27-host.exe; do
    [[ -f "$bin/$file" ]] || fail "$bin/$file is missing (tools/build.sh $preset)"
    cp -- "$bin/$file" "$dir/"
    # The statically linked runtime brings its debug information: half of each file, and of no
    # use at a shop. The build keeps it.
    "$strip" --strip-unneeded "$dir/$file"
  done
  if [[ -f "$bin/help.chm" ]]; then
    cp -- "$bin/help.chm" "$dir/"
  else
    echo "package: no help.chm in $bin: the $arch folder goes without help"
  fi
  cp -- examples/*.json examples/README.md "$dir/examples/"
  windows_text package/README-azimuth.ru.txt "$dir/README-azimuth.ru.txt" CP1251
  command_file "$dir/register.cmd" "$bits" "" "Регистрация драйвера Orvel27" \
    "драйвер Orvel27 ($bits-разрядный) зарегистрирован." "драйвер не зарегистрирован"
  command_file "$dir/unregister.cmd" "$bits" "/u" "Удаление регистрации драйвера Orvel27" \
    "регистрация драйвера Orvel27 ($bits-разрядного) удалена." "регистрацию драйвера удалить не удалось"
done
# Markdown in UTF-8 with a byte order mark, so that Notepad too reads it right.
{ printf '\xEF\xBB\xBF'; sed 's/\r*$/\r/' package/INSTALL.ru.md; } >"$stage/INSTALL.ru.md"

# Fixed times and order: the same build gives the same archive.
find "$stage" -exec touch -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}" {} +
(cd "$out" && find "$name" -print | LC_ALL=C sort | zip -q -X -9 "$name.zip" -@)
rm -rf -- "$stage"
echo "package: $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes)"
unzip -l "$out/$name.zip"
