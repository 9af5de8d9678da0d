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
    [ -d /usr/share/wine/fonts ] && [ -x /usr/bin/convert ] && command -v xwd >/dev/null &&
    command -v clang-format >/dev/null
}

ensure_tools() {
  tools_present || "$ROOT/scripts/setup"
}

# Configures the Windows build in the folder ($BUILD_WINDOWS by default), as
# the build type given (Debug by default).
configure_windows() {
  cmake -S "$ROOT" -B "${2:-$BUILD_WINDOWS}" -DCMAKE_BUILD_TYPE="${1:-Debug}" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
}

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD_NATIVE" -j"$(nproc)"
  configure_windows Debug
  cmake --build "$BUILD_WINDOWS" -j"$(nproc)"
}

# Ends the Wine session of the prefix named; scripts call it on their way out.
stop_wine() {
  WINEPREFIX=$1 timeout 30 wineserver -k >/dev/null 2>&1 || true
}

# The C++ files that the project's .clang-format would change, one a line;
# a line that says so when clang-format itself is missing, so that the check
# cannot pass without having looked.
unformatted_files() {
  command -v clang-format >/dev/null || { echo "(clang-format is not installed: nothing was checked)"; return; }
  (cd "$ROOT" && git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run 2>&1 |
    sed -nE 's/^([^:]+):[0-9]+:[0-9]+: (warning|error): code should be clang-formatted.*/\1/p' | sort -u)
}
