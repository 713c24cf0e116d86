# Shared by scripts/run and scripts/screenshots: a display (the user's or a private Xvfb), a Wine
# prefix under build/, and starting and closing Tavrin.exe from dist/win64 against the virtual
# headset. Source it after `cd` to the repository root with ROOT set.
WINE=/usr/lib/wine/wine64
WINDOW_WAIT_SECONDS=${WINDOW_WAIT_SECONDS:-40}
EXIT_WAIT_SECONDS=${EXIT_WAIT_SECONDS:-20}
xvfb_pid=""
tavrin_pid=""

say() { printf '==== %s\n' "$*"; }
die() { echo "$(basename "$0"): $*" >&2; exit 1; }

require_tools() {
    local tool
    for tool in cmake "$WINE" xdotool xwd convert "$@"; do
        command -v "$tool" >/dev/null || die "$tool is missing (scripts/test installs what is needed)"
    done
}

# Only what the session runs: Tavrin.exe with the virtual headset and the files beside it, and
# the broadcaster that closes it; no test suites.
build_and_install() {
    say "build Tavrin.exe, the virtual headset and BroadcastMessage.exe (win64)"
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target Tavrin tavrin_vendor_sdk BroadcastMessage
    rm -rf dist/win64
    cmake --install build/win64 --prefix dist/win64 --component Tavrin >/dev/null
    cmake --install build/win64 --prefix dist/win64 --component Tools >/dev/null
}

# Wine reports every debug line twice on its seh channel: once from OutputDebugStringA and once
# with the exception that carries the text. The log keeps the text once, unquoted, and all else
# Wine says as it is.
debug_lines() {
    sed -u -E \
        -e '/^[0-9a-f]+:warn:seh:dispatch_exception "/d' \
        -e '/^[0-9a-f]+:warn:seh:OutputDebugStringA "/{s/^[^"]*"//; s/"$//; s/\\n$//; s/\\"/"/g; s/\\\\/\\/g}'
}

session_cleanup() {
    if [ -n "$xvfb_pid" ]; then
        # Only under our own Xvfb: the program must not outlive the display it runs on.
        [ -n "$tavrin_pid" ] && kill "$tavrin_pid" 2>/dev/null || true
        WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}

# $1 = "private" forces a private Xvfb even when DISPLAY is set.
open_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != private ]; then
        say "display $DISPLAY"
        return
    fi
    command -v Xvfb >/dev/null || die "no DISPLAY and no Xvfb"
    # XVFB_FIRST_DISPLAY moves the search, for machines where displays are handed out.
    local display_number=${XVFB_FIRST_DISPLAY:-77}
    local last_display=$((display_number + 22))
    while [ -e "/tmp/.X${display_number}-lock" ] && [ "$display_number" -lt "$last_display" ]; do
        display_number=$((display_number + 1))
    done
    Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp >out/xvfb.log 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display_number"
    for _ in $(seq 1 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    say "private display $DISPLAY (Xvfb)"
}

open_prefix() {
    export WINEPREFIX="$ROOT/build/wineprefix-run" WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=${WINEDEBUG:--all,warn+debugstr,warn+seh}
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix $WINEPREFIX"
        timeout 120 "$WINE" wineboot --init >/dev/null 2>&1 || die "creating the Wine prefix failed"
        /usr/lib/wine/wineserver -w
    fi
}

# The per-user copy of the configuration in the prefix, as setup would leave it.
per_user_config() {
    local install_folder
    install_folder=$(iconv -f UTF-16 -t UTF-8 dist/win64/AudioConfig.cfg |
        sed -n 's/^InstallFolderName=//p' | tr -d '\r')
    echo "$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/$install_folder/AudioConfig.cfg"
}

# The installed folder the session runs from.
APP_FOLDER=dist/win64

# Starts Tavrin.exe with the switches given; sets `window` to its X window.
start_tavrin() {
    export TAVRIN_SIMULATION=1
    (cd "$APP_FOLDER" && exec "$WINE" ./Tavrin.exe "$@") 2> >(debug_lines >>out/tavrin-debug.txt) &
    tavrin_pid=$!
    window=""
    for _ in $(seq 1 $((WINDOW_WAIT_SECONDS * 2))); do
        window=$(xdotool search --onlyvisible --name '^Tavrin$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        kill -0 "$tavrin_pid" 2>/dev/null || break
        sleep 0.5
    done
    [ -n "$window" ] ||
        die "the window did not appear within ${WINDOW_WAIT_SECONDS}s (see out/tavrin-debug.txt)"
    sleep 1  # let it paint
}

# Closes Tavrin through its normal exit message and waits for the process to end.
close_tavrin() {
    say "closing Tavrin through WM_ZRN58xxAPP_EXIT"
    (cd "$APP_FOLDER" && timeout 30 "$WINE" ./BroadcastMessage.exe WM_ZRN58xxAPP_EXIT) || true
    for _ in $(seq 1 $((EXIT_WAIT_SECONDS * 2))); do
        kill -0 "$tavrin_pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$tavrin_pid" 2>/dev/null; then
        die "Tavrin did not end within ${EXIT_WAIT_SECONDS}s of the exit message"
    fi
    wait "$tavrin_pid" 2>/dev/null || true
    tavrin_pid=""
}
