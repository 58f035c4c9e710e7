#!/usr/bin/env bash
# Installs everything needed to build and test this project on Debian 12: the one list of
# packages, used by .ci/run, tools/run-demo.sh and the README. Does nothing when all are present;
# otherwise needs root (or sudo).
set -euo pipefail

packages=(
  # native build and tests
  cmake ninja-build g++ ccache
  googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  # the platform layer's XML DOM (templates in XML)
  libxml2-dev
  # Windows builds (the -posix compilers have std::thread and std::mutex)
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # running the Windows build: 64-bit only, 32-bit code cannot run on this kernel
  wine wine64
  # the port picker drawn under a virtual X server and screenshotted (xwd, xwdtopnm, pnmtopng); the
  # settings dialogs run there too
  xvfb x11-apps netpbm
  # the help file's compiler
  fp-utils
  # the integrators' package (tools/package.sh) and its check
  zip unzip
  # fuzzers (libFuzzer comes with clang's runtime)
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}" </dev/null
