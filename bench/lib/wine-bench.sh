# Shared by the measurements of Tavrin.exe under Wine (bench/idle, bench/memory, bench/startup):
# the win64 build of Tavrin.exe, its virtual headset and the trivial window installed under
# build/bench/app, a private Xvfb, a Wine prefix of their own with a persistent wineserver (so
# that both programs start against a warm server), and readings from /proc. Source it after `cd`
# to the repository root with ROOT set. BENCH_APP=<folder> measures the Tavrin.exe installed
# there (another revision's, say) instead of this tree's.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
BENCH_DIR="$ROOT/build/bench"
APP_DIR="$BENCH_DIR/app"
# What Tavrin.exe's own window hides on: its close picture, in client coordinates.
CLOSE_PICTURE_X=793
CLOSE_PICTURE_Y=29
bench_xvfb_pid=""
bench_server_pid=""
program_pid=""
window=""

say() { printf '==== %s\n' "$*" >&2; }
die() { echo "$(basename "$0"): $*" >&2; exit 1; }

bench_build() {
    local -x CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
    local targets=(TrivialWindow BroadcastMessage)
    [ -n "${BENCH_APP:-}" ] || targets+=(Tavrin tavrin_vendor_sdk)
    say "build win64: ${targets[*]}"
    mkdir -p "$BENCH_DIR"
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target "${targets[@]}" >"$BENCH_DIR/build.log" 2>&1 ||
        { tail -30 "$BENCH_DIR/build.log"; die "build failed"; }
    rm -rf "$APP_DIR"
    if [ -n "${BENCH_APP:-}" ]; then
        cp -r "$BENCH_APP" "$APP_DIR"
    else
        cmake --install build/win64 --prefix "$APP_DIR" --component Tavrin >/dev/null
    fi
    cmake --install build/win64 --prefix "$APP_DIR" --component Tools >/dev/null
    cp build/win64/bench/win32/TrivialWindow.exe "$APP_DIR/"
}

bench_cleanup() {
    set +e
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$bench_server_pid" ] && WINEPREFIX="$WINEPREFIX" "$WINESERVER" -k 2>/dev/null
    [ -n "$bench_server_pid" ] && wait "$bench_server_pid" 2>/dev/null
    [ -n "$bench_xvfb_pid" ] && kill "$bench_xvfb_pid" 2>/dev/null
    [ -n "$bench_xvfb_pid" ] && wait "$bench_xvfb_pid" 2>/dev/null
    return 0
}

# A free display from :350 on, and a persistent wineserver for the bench prefix.
bench_session() {
    local display=${BENCH_FIRST_DISPLAY:-350}
    while [ -e "/tmp/.X${display}-lock" ] && [ "$display" -lt 399 ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$BENCH_DIR/xvfb.log" 2>&1 &
    bench_xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 1 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    export WINEPREFIX="$BENCH_DIR/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix $WINEPREFIX"
        timeout 120 "$WINE" wineboot --init >/dev/null 2>&1 || die "creating the Wine prefix failed"
        "$WINESERVER" -w
    fi
    # One left by an interrupted run would keep our server from starting.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    # A server that is still shutting down holds the prefix for a moment.
    for _ in 1 2 3 4 5; do
        "$WINESERVER" -w
        "$WINESERVER" -f -p >/dev/null 2>&1 &
        bench_server_pid=$!
        sleep 0.5
        kill -0 "$bench_server_pid" 2>/dev/null && break
    done
    kill -0 "$bench_server_pid" 2>/dev/null || die "the wineserver did not start"
    # The desktop and its tray come up with the first program; start them before measuring.
    "$WINE" cmd /c exit >/dev/null 2>&1
    say "display $DISPLAY, prefix $WINEPREFIX"
}

now_ms() { date +%s%3N; }

# Starts a program of APP_DIR and waits for its visible window whose title matches $2; sets
# program_pid, window, launch_ms (the milliseconds from launch to the visible window) and
# launch_cpu_ms (the CPU time the program had used by then: on a busy machine the steadier
# figure).
launch() {
    local exe=$1 title=$2 started
    shift 2
    started=$(now_ms)
    (cd "$APP_DIR" && exec env TAVRIN_SIMULATION=1 "$WINE" "./$exe" "$@" >/dev/null 2>&1) &
    program_pid=$!
    window=""
    for _ in $(seq 1 4000); do
        window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        kill -0 "$program_pid" 2>/dev/null || die "$exe ended before its window showed"
        sleep 0.01
    done
    [ -n "$window" ] || die "$exe showed no window within 40 s"
    launch_ms=$(($(now_ms) - started))
    launch_cpu_ms=$(($(cpu_ticks "$program_pid") * 1000 / $(getconf CLK_TCK)))
}

# Ends the program started last: Tavrin through its exit broadcast, anything else by signal.
finish() {
    if [ "$1" = Tavrin.exe ]; then
        (cd "$APP_DIR" && "$WINE" ./BroadcastMessage.exe WM_ZRN58xxAPP_EXIT >/dev/null 2>&1)
        for _ in $(seq 1 100); do
            kill -0 "$program_pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# Clock ticks of CPU (user + system) a process has used, all its threads together.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
ticks_to_seconds() { awk -v ticks="$1" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", ticks / hz}'; }
# Times the threads of a process went to sleep and woke again (voluntary and forced switches).
context_switches() {
    cat "/proc/$1"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ {sum += $2} END {print sum + 0}'
}
rss_anon_kb() { awk '/^RssAnon:/ {print $2}' "/proc/$1/status"; }
# The page tabs of Tavrin's window left to right: the centre of each caption.
PAGE_TAB_TOP=79
PAGE_TAB_FIRST_CENTRE=290
PAGE_TAB_STEP=80
PAGE_TAB_COUNT=7

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
