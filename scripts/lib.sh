# Shared by the entry points: paths, the three builds, the host's bitness, and a private X
# display for Wine.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host_build="${VORTILO_HOST_BUILD:-$root/build/host}"
win32_build="${VORTILO_WIN32_BUILD:-$root/build/win32}"
win64_build="${VORTILO_WIN64_BUILD:-$root/build/win64}"

# Each build prints only its errors, or nothing.
build_host() {
    quiet cmake -S "$root" -B "$host_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
        quiet cmake --build "$host_build" -j"$(nproc)"
}

# build_windows 32|64: the Win32 program and its tests for that bitness.
build_windows() {
    local dir toolchain
    dir=$(windows_build "$1")
    toolchain=$([ "$1" = 64 ] && echo mingw-x86_64 || echo mingw-i686)
    quiet cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" &&
        quiet cmake --build "$dir" -j"$(nproc)"
}

windows_build() {
    [ "$1" = 64 ] && echo "$win64_build" || echo "$win32_build"
}

# True when the kernel runs 32-bit x86 programs: a 96-byte static i386 program that only exits
# with status 7 (some 64-bit kernels refuse every 32-bit program with "Exec format error").
# VORTILO_HOST_32=no makes a host that can behave as one that cannot.
host_runs_32() {
    [ "${VORTILO_HOST_32:-}" = no ] && return 1
    local probe hex status
    probe=$(mktemp)
    hex='7f454c4601010100000000000000000002000300010000005480040834000000000000000000000034002000'
    hex+='0100000000000000010000000000000000800408008004086000000060000000050000000010000'
    hex+='0b801000000bb07000000cd80'
    printf "$(sed 's/../\\x&/g' <<<"$hex")" >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1
    status=$?
    rm -f "$probe"
    [ "$status" -eq 7 ]
}

# True when Wine's 32-bit half is installed (scripts/setup leaves it out where the package
# archive cannot give it at the time).
wine32_installed() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

# Why the 32-bit programs do not run here; nothing where they do.
why_no_32() {
    if ! host_runs_32; then
        echo "this host cannot run 32-bit programs"
    elif ! wine32_installed; then
        echo "Wine's 32-bit half could not be installed"
    fi
}

# The bitnesses whose programs run here: 64 always, 32 where the host and Wine allow.
runnable_bits() {
    if [ -z "$(why_no_32)" ]; then echo "32 64"; else echo 64; fi
}

# The bitness to run by hand: the 32-bit program of record where the host runs it, else its 64-bit
# twin.
preferred_bits() {
    if [ -z "$(why_no_32)" ]; then echo 32; else echo 64; fi
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

# The locales that cmake/gui_tests.cmake runs tests under besides the Italian one: each has a
# Wine prefix of its own.
test_locales=(ja_JP.UTF-8 hi_IN.UTF-8)

# The Wine prefix that tests/wine-run uses for a bitness under a locale (the Italian one when none
# is given): the Italian prefix keeps its old name, every other has the locale's name beside it.
wine_prefix() {
    local bits=$1 locale=${2:-it_IT.UTF-8} tag=""
    if [ "$locale" != it_IT.UTF-8 ]; then
        tag=${locale%.UTF-8}
        tag="-${tag//[^A-Za-z0-9_.@-]/_}"
    fi
    echo "$(windows_build "$bits")/wineprefix$bits$tag"
}

# Keeps one wineserver and Wine's own services alive for the builds of the given bitnesses, in
# the prefix of each locale of wine_locales (VORTILO_LOCALE, or the Italian one, unless set):
# starting them for every program costs seconds. They start here with their output to
# /dev/null, so that they never hold open a pipe that a test's output goes through. Fails, and
# says why, when Wine cannot run a program of one of them.
wine_started=()
start_wine() {
    local bits dir out locale
    local locales=("${wine_locales[@]:-${VORTILO_LOCALE:-it_IT.UTF-8}}")
    for bits in "$@"; do
        dir=$(windows_build "$bits")
        mkdir -p "$dir"
        for locale in "${locales[@]}"; do
            # Into a file, not a pipe: the services keep what they inherit open while they run.
            out="$dir/wine-start.log"
            if ! VORTILO_BUILD="$dir" VORTILO_BITS=$bits VORTILO_LOCALE=$locale \
                "$root/tests/wine-run" cmd /c exit >"$out" 2>&1 </dev/null; then
                echo "win$bits ($locale): Wine cannot start a program: $(cat "$out")" >&2
                return 1
            fi
            wine_server "$bits" "$locale" -p >/dev/null 2>&1 || true
            wine_started+=("$bits $locale")
        done
    done
}

# wine_server BITS LOCALE ARGS...: the wineserver of that prefix, told ARGS.
wine_server() {
    local bits=$1 locale=$2
    shift 2
    WINEPREFIX="$(wine_prefix "$bits" "$locale")" "/usr/lib/wine/wineserver$bits" "$@"
}

stop_wine() {
    local started
    for started in "${wine_started[@]}"; do
        # shellcheck disable=SC2086
        wine_server $started -k 2>/dev/null || true
    done
}
