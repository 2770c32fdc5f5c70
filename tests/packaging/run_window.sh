#!/usr/bin/env bash
# The unpacked program as a person meets it, on an X server of its own (the
# package test starts it there) under a window manager, openbox or KWin:
# started through its command, it shows its window centred with symbols in
# the reels; neither window is on the task bar unless minimised, and then one
# button stands for the game; both come back from minimised, the wallet shows
# where it was however often it is shown, and the program closes cleanly when
# its close box is used.
#
#   run_window.sh openbox|kwin COMMAND X11_WINDOW SCRATCH
set -uo pipefail

title="Brim's Rolvanger 1.25"
# Client-relative top-left corners of the three reels, each 121 x 105.
reel_x=(24 184 344)
reel_y=136

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

wm_name=$1 command=$2 x11_window=$3 scratch=$4
# A window manager, as on a desktop. openbox tells the frame it will draw
# before a window is mapped, and lets any window be minimised, whatever it
# asks for; KWin tells the frame only once it has framed the window, and
# minimises a tool window only with the window it belongs to. Each names
# itself on the window it shows it runs by.
case $wm_name in
openbox) wm_command=(openbox --sm-disable) wm_title=Openbox ;;
kwin) wm_command=(kwin_x11 --replace) wm_title=KWin ;;
*) echo "usage: run_window.sh openbox|kwin COMMAND X11_WINDOW SCRATCH" >&2; exit 2 ;;
esac
for tool in "${wm_command[0]}" xdotool xprop xwininfo; do
    command -v "$tool" >/dev/null || { fail "$tool is not installed (./build.sh test installs it)"; }
done
[ "$failures" -eq 0 ] || exit 1
mkdir -p "$scratch/home" "$scratch/cwd" "$scratch/wm"
mkdir -m 700 "$scratch/runtime" "$scratch/wm-runtime"
# KWin without compositing: Xvfb has no GL.
HOME="$scratch/wm" XDG_CONFIG_HOME="$scratch/wm" XDG_CACHE_HOME="$scratch/wm" \
    XDG_RUNTIME_DIR="$scratch/wm-runtime" KWIN_COMPOSE=N "${wm_command[@]}" >"$scratch/$wm_name.log" 2>&1 &
wm=$!
# KWin takes a few seconds to start on a busy machine: the bound only
# catches one that never does.
wm_ready=""
for _ in $(seq 600); do
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
    [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -qF "\"$wm_title\"" &&
        wm_ready=yes && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$wm_ready" ]; then
    fail "$wm_name did not start"
    kill "$wm" 2>/dev/null
    cat "$scratch/$wm_name.log" >&2
    exit 1
fi
# Nothing may appear in the home or working folder: the program never
# writes a file.
(cd "$scratch/cwd" &&
    exec env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME \
        HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" SDL_AUDIODRIVER=dummy \
        "$command") >"$scratch/program.log" 2>&1 &
pid=$!

window=""
for _ in $(seq 60); do
    window=$("$x11_window" find "$title" 0.5) && break
    window=""
    kill -0 "$pid" 2>/dev/null || break
done
if [ -z "$window" ]; then
    fail "no window titled \"$title\" appeared"
    kill -9 "$pid" "$wm" 2>/dev/null
    wait "$pid" 2>/dev/null
    cat "$scratch/program.log" >&2
    exit 1
fi
read -r id width height <<<"$window"
[ "${width}x${height}" = 587x336 ] || fail "the window is ${width}x${height}, not 587x336"

for reel in 0 1 2; do
    share=0
    for _ in $(seq 50); do
        share=$("$x11_window" colour "$id" "${reel_x[$reel]}" "$reel_y" 121 105) || share=0
        [ "$share" -ge 5 ] && break
        sleep 0.2
    done
    [ "$share" -ge 5 ] ||
        fail "reel $((reel + 1)) shows no symbol (only ${share}% of it is coloured)"
done

# A window as the player and a task bar see it: its WM_STATE (Withdrawn
# once hidden, gone once unloaded), "skip" or "button" on the task bar,
# "active" or not (-), and its place: "centred" when its frame is in the
# middle of the screen (within 2 pixels: a window manager may round the half
# pixel either way), else its client area's top-left corner.
read -r screen_width screen_height <<<"$(xwininfo -root |
    sed -n -e 's/^ *Width: //p' -e 's/^ *Height: //p' | tr '\n' ' ')"
look() { # ID
    local state bar=button active=- place left right top bottom x y w h off_x off_y
    read -r x y w h <<<"$(xwininfo -id "$1" 2>/dev/null |
        sed -n -e 's/.*Absolute upper-left [XY]: *//p' -e 's/^ *Width: //p' -e 's/^ *Height: //p' |
        tr '\n' ' ')"
    [ -n "$h" ] || { echo "gone - - -"; return; }
    state=$(xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^\s*window state: //p')
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_SKIP_TASKBAR && bar=skip
    [ "$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# //p')" = "$(printf 0x%x "$1")" ] &&
        active=active
    read -r left right top bottom <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= //; s/,//gp')"
    place="$x,$y"
    off_x=$((2 * (x - left) - (screen_width - w - left - right)))
    off_y=$((2 * (y - top) - (screen_height - h - top - bottom)))
    [ "${off_x#-}" -le 4 ] && [ "${off_y#-}" -le 4 ] && place=centred
    echo "${state:-Withdrawn} $bar $active $place"
}
matches() { # LOOK WANTED, where * in WANTED matches anything
    local -a got want
    read -r -a got <<<"$1"
    read -r -a want <<<"$2"
    for i in 0 1 2 3; do
        [ "${want[i]}" = "*" ] || [ "${want[i]}" = "${got[i]}" ] || return 1
    done
}
# Minimised as by a title-bar button (WM_CHANGE_STATE), restored as by a
# task bar (_NET_ACTIVE_WINDOW), clicked as by the player.
play() { # MOVE WINDOW_ID
    case $1 in
    start | -) ;;
    Wallet) xdotool mousemove --window "$id" 60 104 click 1 ;;
    Close) xdotool mousemove --window "$2" 184 20 click 1 ;;
    close-box) "$x11_window" close "$2" ;;
    minimise) xdotool windowminimize "$2" ;;
    restore) xdotool windowactivate "$2" ;;
    esac
}

# Neither window has a task-bar button while shown, and while the game is
# minimised one button stands for it: the machine window's, or the wallet's
# when it is minimised alone. The machine window is centred, frame and all,
# and has the keyboard at start and once the wallet goes; "Wallet" brings the
# wallet back, from hidden or minimised, active and where it was, and it
# comes back with the machine window where it went with it. A move of "-"
# only looks; a row that starts with a window manager's name is for that one
# alone.
wallet_title="This is your wallet, use it wisely!"
wallet_id=""
moves=(
    # move      window   WM_STATE   task bar  active  place
    "start      machine  Normal     skip      active  centred"
    "Wallet     wallet   Normal     skip      active  340,571"
    # KWin lets a tool window be minimised only with the window it belongs to.
    "openbox: minimise   wallet   Iconic     button    -       *"
    "Wallet     wallet   Normal     skip      active  340,571"
    "Close      wallet   Withdrawn  *         *       *"
    "-          machine  Normal     skip      active  centred"
    "minimise   machine  Iconic     button    -       *"
    "restore    machine  Normal     skip      active  centred"
    "Wallet     wallet   Normal     skip      active  340,571"
    "minimise   machine  Iconic     button    -       *"
    "kwin: -    wallet   Iconic     skip      -       *"
    "openbox: - wallet   Normal     skip      *       340,571"
    "restore    machine  Normal     skip      active  centred"
    "-          wallet   Normal     skip      *       340,571"
    "close-box  wallet   gone       *         *       *"
    "-          machine  Normal     skip      active  centred"
    "Wallet     wallet   Normal     skip      active  340,571"
)
for move in "${moves[@]}"; do
    read -r what which wanted <<<"$move"
    if [[ $what == *: ]]; then
        [ "$what" = "$wm_name:" ] || continue
        read -r what which wanted <<<"$which $wanted"
    fi
    target=$id
    [ "$which" = wallet ] && target=$wallet_id
    play "$what" "$target" || fail "could not $what the $which"
    # Found again: the close box unloads it, and "Wallet" makes a new one.
    if [ "$which" = wallet ] && [ "${wanted%% *}" = Normal ]; then
        target=$("$x11_window" find "$wallet_title" 10) || target=""
        read -r target _ <<<"$target"
        wallet_id=$target
    fi
    [ -n "$target" ] || { fail "no $which after $what"; continue; }
    for _ in $(seq 100); do
        seen=$(look "$target")
        matches "$seen" "$wanted" && break
        sleep 0.1
    done
    matches "$seen" "$wanted" || fail "after $what, the $which is \"$seen\", not \"$wanted\""
done

"$x11_window" close "$id" || fail "could not ask the window to close"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the program still runs 10 s after its window was closed"
    kill -9 "$pid"
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the program exited with status $status"

written=$(cd "$scratch" && find home cwd -mindepth 1)
[ -z "$written" ] || fail "the program wrote files: $written"
kill "$wm"
wait "$wm"
[ "$failures" -eq 0 ] || cat "$scratch/program.log" >&2
exit $((failures > 0))
