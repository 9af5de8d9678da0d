# Shared settings of the project's scripts: where things are and how Wine runs.
# shellcheck shell=bash
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_NATIVE=${BUILD_NATIVE:-$ROOT/build/native}
BUILD_WINDOWS=${BUILD_WINDOWS:-$ROOT/build/windows}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64

# True when everything the build and the tests need is installed.
tools_present() {
  command -v cmake >/dev/null && command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
    command -v wine >/dev/null && command -v xvfb-run >/dev/null && [ -d /usr/src/googletest ] &&
    [ -d /usr/share/wine/fonts ] && [ -x /usr/bin/convert ] && command -v xwd >/dev/null
}

ensure_tools() {
  tools_present || "$ROOT/scripts/setup"
}

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD_NATIVE" -j"$(nproc)"
  cmake -S "$ROOT" -B "$BUILD_WINDOWS" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$BUILD_WINDOWS" -j"$(nproc)"
}
