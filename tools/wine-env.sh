# Sourced by the run and test scripts: a Wine prefix of the build's own, a virtual X display
# when asked for one, and one warm, persistent wineserver for the whole session.
#   source tools/wine-env.sh <build dir>
#   ocx_wine_prefix; ocx_xvfb_start [WxHxD]; ocx_wine_warm; ...; ocx_wine_stop

ocx_build=$1
export WINEPREFIX=${OCX_WINEPREFIX:-$ocx_build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
ocx_xvfb_pid=""

ocx_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.ocellix-ready" ]; then
        echo "Preparing the Wine prefix $WINEPREFIX (once)..."
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1 || true
        # Without a window manager, every process with a managed window waits about 2 s at exit.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.ocellix-ready"
    fi
    ocx_wine_fonts
}

# Debian's Wine reads fonts only from the prefix's Fonts folder and never copies its own there
# (fonts-wine), so captions would fall back to other fonts and the close box, drawn with
# Marlett, would show a letter "r". Fonts already there are kept.
ocx_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
    [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
    for font in /usr/share/wine/fonts/*; do
        [ -e "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
    done
}

ocx_xvfb_start() {
    local geometry=${1:-1024x768x24} fdfile
    fdfile=$(mktemp -u /tmp/ocellix-xvfb.XXXXXX)
    rm -f "$fdfile"
    # -noreset: without it the server resets whenever its last client leaves, between one Wine
    # process and the next, and the desktop colour a test painted is lost.
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    ocx_xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
}

ocx_wine_warm() {
    # A persistent server started outside the test runner: otherwise the server and the
    # services it starts inherit the runner's output pipe and every test waits for them.
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
}

ocx_wine_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "$ocx_xvfb_pid" ]; then
        kill "$ocx_xvfb_pid" 2>/dev/null || true
        wait "$ocx_xvfb_pid" 2>/dev/null || true
        ocx_xvfb_pid=""
    fi
}
