# Shared by the entry points: paths, the two builds, and a private X display for Wine.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host_build="${VORTILO_HOST_BUILD:-$root/build/host}"
win32_build="${VORTILO_WIN32_BUILD:-$root/build/win32}"

# Each build prints only its errors, or nothing.
build_host() {
    quiet cmake -S "$root" -B "$host_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
        quiet cmake --build "$host_build" -j"$(nproc)"
}

build_win32() {
    quiet cmake -S "$root" -B "$win32_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" &&
        quiet cmake --build "$win32_build" -j"$(nproc)"
}

# Runs a command with its output kept back, and shown only when it fails.
quiet() {
    local out
    out=$(mktemp)
    if "$@" >"$out" 2>&1; then
        rm -f "$out"
        return 0
    fi
    cat "$out"
    rm -f "$out"
    return 1
}

# Starts Xvfb on a free display and exports DISPLAY; the server ends with this shell.
start_xvfb() {
    local fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
    trap 'stop_wine; kill $xvfb_pid 2>/dev/null' EXIT
}

# Keeps one wineserver and Wine's own services alive for the whole run: starting them for every
# program costs seconds. They start here with their output to /dev/null, so that they never hold
# open a pipe that a test's output goes through.
start_wine() {
    export VORTILO_BUILD="$win32_build"
    mkdir -p "$win32_build"
    "$root/tests/wine-run" cmd /c exit >/dev/null 2>&1 </dev/null || true
    WINEPREFIX="$win32_build/wineprefix" wineserver -p >/dev/null 2>&1 || true
}

stop_wine() {
    WINEPREFIX="$win32_build/wineprefix" wineserver -k 2>/dev/null || true
}
