# Two real games on two "machines": a host and a client, each in its own
# network namespace with its own Xvfb, and a third namespace on the same
# LAN that forges datagrams.  The client joins, the host's settings reach
# the client's lobby, the host starts the race, and while the third machine
# sends forged joins, controls, race states and lobby-closed messages (with
# the other machines' addresses written in them) and a 15 s flood of junk,
# nothing of it counts: the lobby keeps the real client, no race starts
# that the host did not start, car 1 on the host stays on the grid while
# forged controls hold its accelerator, no forged state moves a car on the
# client, nothing turns NaN and memory stays put.  A second race shows the
# client's keys moving car 1; both games quit with 0.  Needs root (ip
# netns); skipped otherwise.
source "$(dirname "$0")/lib.sh"

skip() {
    echo "SKIP: net_two_machines: $*"
    exit 0
}

for tool in ip Xvfb xdotool; do
    command -v "$tool" > /dev/null || skip "$tool is not installed"
done
[[ -x "$BUILD/quibbit" ]] || fail "no game at $BUILD/quibbit"

HOST_NS="qbhost$$"
CLIENT_NS="qbclient$$"
THIRD_NS="qbthird$$"
HOST_IP=10.231.77.1
CLIENT_IP=10.231.77.2
THIRD_IP=10.231.77.3
PIDS=()
DIRS=()

cleanup() {
    local pid ns i
    for ns in "$HOST_NS" "$CLIENT_NS" "$THIRD_NS"; do
        PIDS+=($(ip netns pids "$ns" 2> /dev/null))
    done
    kill "${PIDS[@]}" 2> /dev/null
    # Whatever has not ended after three seconds is ended by force.
    for ((i = 0; i < 30; i++)); do
        kill -0 "${PIDS[@]}" 2> /dev/null || break
        sleep 0.1
    done
    kill -KILL "${PIDS[@]}" 2> /dev/null
    wait "${PIDS[@]}" 2> /dev/null
    for ns in "$HOST_NS" "$CLIENT_NS" "$THIRD_NS"; do
        ip netns del "$ns" 2> /dev/null
    done
    rm -rf "${DIRS[@]}"
}
trap cleanup EXIT

ip netns add "$HOST_NS" 2> /dev/null || skip "network namespaces cannot be made here (not root, or no CAP_SYS_ADMIN)"
ip netns add "$CLIENT_NS" && ip netns add "$THIRD_NS" || skip "no more network namespaces can be made"
# One LAN: a bridge in the host's namespace joins the client's and the
# third machine's links.
ip link add "qbh$$" type veth peer name "qbc$$" 2> /dev/null &&
    ip link add "qbx$$" type veth peer name "qbt$$" 2> /dev/null || skip "no veth pair can be made"
for pair in "qbh$$ $HOST_NS" "qbx$$ $HOST_NS" "qbc$$ $CLIENT_NS" "qbt$$ $THIRD_NS"; do
    set -- $pair
    ip link set "$1" netns "$2" || fail "veth $1 into $2"
done
ip -n "$HOST_NS" link add "qbb$$" type bridge 2> /dev/null || skip "no bridge can be made"
ip -n "$HOST_NS" link set "qbh$$" master "qbb$$"
ip -n "$HOST_NS" link set "qbx$$" master "qbb$$"
ip -n "$HOST_NS" addr add "$HOST_IP/24" dev "qbb$$"
ip -n "$CLIENT_NS" addr add "$CLIENT_IP/24" dev "qbc$$"
ip -n "$THIRD_NS" addr add "$THIRD_IP/24" dev "qbt$$"
for link in "$HOST_NS lo" "$CLIENT_NS lo" "$THIRD_NS lo" "$HOST_NS qbh$$" "$HOST_NS qbx$$" "$HOST_NS qbb$$" \
            "$CLIENT_NS qbc$$" "$THIRD_NS qbt$$"; do
    set -- $link
    ip -n "$1" link set "$2" up
done

# A free display number for each side.
free_display() {
    local n
    for ((n = $1; n < $1 + 100; n++)); do
        [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
        echo "$n"
        return 0
    done
    return 1
}
HOST_DISPLAY="$(free_display 150)" || fail "no free display"
CLIENT_DISPLAY="$(free_display $((HOST_DISPLAY + 1)))" || fail "no free display"

# in_side host|client COMMAND...: runs inside that side's namespace and display.
in_side() {
    local side="$1"
    shift
    if [[ "$side" == host ]]; then
        ip netns exec "$HOST_NS" env DISPLAY=":$HOST_DISPLAY" "$@"
    else
        ip netns exec "$CLIENT_NS" env DISPLAY=":$CLIENT_DISPLAY" "$@"
    fi
}

# Started directly (not through a shell function) so that $! is the
# server itself: ip and env replace themselves with the command.
ip netns exec "$HOST_NS" Xvfb ":$HOST_DISPLAY" -screen 0 1024x768x24 -noreset -nolisten tcp > /dev/null 2>&1 &
PIDS+=($!)
ip netns exec "$CLIENT_NS" Xvfb ":$CLIENT_DISPLAY" -screen 0 1024x768x24 -noreset -nolisten tcp > /dev/null 2>&1 &
PIDS+=($!)
for side in host client; do
    for ((i = 0; i < 100; i++)); do
        in_side "$side" xdotool getdisplaygeometry > /dev/null 2>&1 && break
        sleep 0.1
    done
    in_side "$side" xdotool getdisplaygeometry > /dev/null 2>&1 || fail "Xvfb of the $side did not start"
done

# prefs_file NAME PEER MODE LAPS: the keys that differ from the defaults.
prefs_file() {
    printf 'gamemode %s\ntrack 0\nnplayers 1\nnopponents 1\nmousesteering 99\nlaps %s\n' "$3" "$4"
    printf 'timelimit 60\np2p_ip %s\nplayer1name %s\nplayer6name %s\n' "$2" "$1" "$2"
}

make_game_dir
HOST_DIR="$GAME_DIR"
DIRS+=("$HOST_DIR")
make_game_dir
CLIENT_DIR="$GAME_DIR"
DIRS+=("$CLIENT_DIR")
[[ -f "$HOST_DIR/data/bg/logo.tga" ]] || skip "no game data in $BUILD/data (run the data generator)"
prefs_file hostanna 192.168.0.2 1 7 > "$HOST_DIR/data/prefs.txt"
# The client's address is typed below; the file starts with another one.
prefs_file clientbob 10.0.0.99 0 3 > "$CLIENT_DIR/data/prefs.txt"

GAME_DIR="$HOST_DIR"
fail_both() {
    echo "FAIL: $*"
    if command -v import > /dev/null; then
        in_side host import -window root /tmp/net_two_machines_host.png 2> /dev/null &&
            in_side client import -window root /tmp/net_two_machines_client.png 2> /dev/null &&
            echo "screens: /tmp/net_two_machines_host.png /tmp/net_two_machines_client.png"
    fi
    echo "--- host log.txt"
    cat "$HOST_DIR/log.txt" 2> /dev/null
    echo "--- client log.txt"
    cat "$CLIENT_DIR/log.txt" 2> /dev/null
    exit 1
}

cd "$HOST_DIR" || fail "no host folder"
ip netns exec "$HOST_NS" env DISPLAY=":$HOST_DISPLAY" ./quibbit > host.out 2>&1 &
HOST_PID=$!
PIDS+=($HOST_PID)
cd "$CLIENT_DIR" || fail "no client folder"
ip netns exec "$CLIENT_NS" env DISPLAY=":$CLIENT_DISPLAY" ./quibbit > client.out 2>&1 &
CLIENT_PID=$!
PIDS+=($CLIENT_PID)
cd /

log_has() { GAME_DIR="$1" wait_for_log "$2" "$3"; }  # log_has DIR PATTERN SECONDS

log_has "$HOST_DIR" "IP address \[0\]: $HOST_IP" 20 || fail_both "host does not see $HOST_IP as its address"
log_has "$CLIENT_DIR" "IP address \[0\]: $CLIENT_IP" 20 || fail_both "client does not see $CLIENT_IP"

window_of() { in_side "$1" bash -c "$(declare -f game_window); game_window"; }
HOST_WINDOW="$(window_of host)" || fail_both "no host window"
CLIENT_WINDOW="$(window_of client)" || fail_both "no client window"
# Start-up is over once the log stops growing; then the intro music plays
# out (its end is start-up's last step).
log_settled() {
    local i last="" now
    for ((i = 0; i < 120; i++)); do
        now="$(wc -l < "$1/log.txt")"
        [[ "$now" == "$last" ]] && return 0
        last="$now"
        sleep 1
    done
    return 1
}
log_settled "$HOST_DIR" || fail_both "the host's start-up does not end"
log_settled "$CLIENT_DIR" || fail_both "the client's start-up does not end"

# Button centres in the 1024 x 768 window: x 0.5, y counted from the bottom.
py() { awk -v y="$1" 'BEGIN { printf "%d", (1 - y) * 768 }'; }

# click SIDE Y: hover, press, release over the button at height Y.
click() {
    local side="$1" window
    window="$([[ "$side" == host ]] && echo "$HOST_WINDOW" || echo "$CLIENT_WINDOW")"
    in_side "$side" xdotool mousemove --window "$window" 512 "$(py "$2")"
    sleep 0.5
    in_side "$side" xdotool mousedown 1
    sleep 0.2
    in_side "$side" xdotool mouseup 1
    sleep 0.8
}

# type_keys SIDE KEY...: one press each, with the pointer where it is.
type_keys() {
    local side="$1" key
    shift
    for key in "$@"; do
        in_side "$side" xdotool key --delay 200 "$key"
        sleep 0.3
    done
}

# press SIDE KEY: held long enough for a slow frame to see it.
press() {
    in_side "$1" xdotool keydown "$2"
    sleep 1
    in_side "$1" xdotool keyup "$2"
    sleep 0.5
}

# Frames run once F12 writes a screenshot (the message loop is going).
frames_run() {
    local side="$1" dir="$2" i
    for ((i = 0; i < 30; i++)); do
        press "$side" F12
        grep -q "^Saving: data/screenshots/" "$dir/log.txt" && return 0
        sleep 1
    done
    return 1
}
in_side host xdotool mousemove --window "$HOST_WINDOW" 900 700
in_side client xdotool mousemove --window "$CLIENT_WINDOW" 900 700
frames_run host "$HOST_DIR" || fail_both "the host runs no frames"
frames_run client "$CLIENT_DIR" || fail_both "the client runs no frames"

# Both to the multiplayer menu.
click host 0.5
click client 0.5

# The client types the host's address over the address field (button at
# 0.45): Backspace away the old text, then the main-row digits and a dot key.
window="$CLIENT_WINDOW"
in_side client xdotool mousemove --window "$window" 512 "$(py 0.45)"
sleep 1
keys=()
for ((i = 0; i < 15; i++)); do keys+=(BackSpace); done
for ((i = 0; i < ${#HOST_IP}; i++)); do
    c="${HOST_IP:i:1}"
    [[ "$c" == "." ]] && keys+=(period) || keys+=("$c")
done
type_keys client "${keys[@]}"
sleep 1
grep -qx "p2p_ip $HOST_IP" "$CLIENT_DIR/data/prefs.txt" || fail_both "typed address not saved: $(grep p2p_ip "$CLIENT_DIR/data/prefs.txt")"

# Host first, then join.
click host 0.6
log_has "$HOST_DIR" "Network session: host" 5 || fail_both "the host button did not open a session"
click client 0.5
log_has "$CLIENT_DIR" "Network session: client" 5 || fail_both "the join button did not open a session"
log_has "$HOST_DIR" "Network: clientbob joined from $CLIENT_IP" 10 || fail_both "the host saw no join"
log_has "$CLIENT_DIR" "Network lobby: host hostanna, mode 1, track 0, length 7" 10 ||
    fail_both "the client does not show the host's name and settings"

# The third machine's sender: forged messages of every kind with the other
# machines' addresses written in them, and random junk.
FORGER="$(mktemp /tmp/quibbit-forger.XXXXXX)"
DIRS+=("$FORGER")
cat > "$FORGER" << 'PY'
import os, random, socket, sys, time

phase, host, client, seconds, junk_rate = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4]), int(sys.argv[5])
third = sys.argv[6]
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

def slot(text):
    return text.rjust(15).encode()[:15] + b" "

def num(v):
    return slot("%d" % v) if isinstance(v, int) else ("%15.7f " % v).encode()[:16]

def text(t):
    return t.encode().ljust(16, b"\0")

def join(address):
    return b"\x02" + text(address) + text("mallory")

def info(kind):
    return bytes([kind]) + num(60) + text(host) + text("mallory") + bytes([0, 1, 20])

def state(tag, laps, x, y, z):
    car = [slot(x), slot(y), slot(z)] + [num(0.0)] * 3 + [num(0.5), num(0.0)] * 4
    return (b"\x03" + num(60) + num(tag) + num(laps) + num(laps) + num(0) + num(0) + num(-1) +
            b"".join(car) * 2)

forged = [
    (host, 29790, join(client)), (host, 29790, join(third)), (host, 29790, join(host)),
    (host, 29791, b"\x04" + num(1) + num(0) + num(0) + num(0)),
    (client, 29790, info(1)), (client, 29790, info(6)),
    (client, 29791, state(0, 0, "20", "0.5", "-20")),
    (client, 29791, state(5, 0, "0", "0", "0")),
    (client, 29791, state(-1, 2147483647, "1e38", "0.5", "1e38")),
    (client, 29791, state(1, 1, "nan", "inf", "-3")),
]
sizes = [0, 1, 16, 33, 34, 52, 65, 66, 560, 561, 562, 1400]
start = time.time()
sent = junk = 0
while True:
    elapsed = time.time() - start
    if elapsed >= seconds:
        break
    # Forged messages every 20 ms; junk at junk_rate per second between.
    if sent <= elapsed * 50:
        for to, port, msg in forged:
            s.sendto(msg, (to, port))
        sent += 1
    while junk < elapsed * junk_rate:
        size = random.choice(sizes) if random.random() < 0.7 else random.randrange(1400)
        msg = os.urandom(size)
        if size in (33, 52, 65, 561) and random.random() < 0.5:
            msg = bytes([random.choice([1, 2, 3, 4, 6])]) + msg[1:]
        s.sendto(msg, (random.choice([host, client]), random.choice([29790, 29791])))
        junk += 1
    time.sleep(0.001)
print("forged rounds %d, junk %d" % (sent, junk))
PY
forge() {  # forge PHASE SECONDS JUNK_PER_SECOND
    ip netns exec "$THIRD_NS" python3 "$FORGER" "$1" "$HOST_IP" "$CLIENT_IP" "$2" "$3" "$THIRD_IP"
}
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Forgeries during the lobby: the host keeps the real client, the client
# the real host, and no race starts.
forge lobby 2 0 || fail_both "the forger did not run"
sleep 0.5
grep -q "joined from $THIRD_IP\|joined from $HOST_IP\|mallory joined" "$HOST_DIR/log.txt" &&
    fail_both "the host took a forged join"
[[ "$(grep -c "joined from" "$HOST_DIR/log.txt")" == 1 ]] || fail_both "the host's lobby changed its client"
grep -q "Network lobby: host mallory" "$CLIENT_DIR/log.txt" && fail_both "the client took a forged lobby message"
grep -q "Network race:\|the host closed its lobby" "$CLIENT_DIR/log.txt" &&
    fail_both "a forged message started the client's race or closed its lobby"

# The host changes the laps (button at 0.375): the client follows.
click host 0.375
log_has "$CLIENT_DIR" "Network lobby: host hostanna, mode 1, track 0, length 8" 10 ||
    fail_both "the host's new laps did not reach the client"

# log_count DIR PATTERN N SECONDS: at least N lines match within SECONDS.
log_count() {
    local i
    for ((i = 0; i < $4 * 10; i++)); do
        [[ "$(grep -c -- "$2" "$1/log.txt" 2> /dev/null)" -ge "$3" ]] && return 0
        sleep 0.1
    done
    return 1
}
# race_left N: both games logged where the cars stood as race N was left.
race_left() {
    log_count "$HOST_DIR" "Network race left" "$1" 10 || fail_both "the host did not leave race $1"
    log_count "$CLIENT_DIR" "Network race left" "$1" 10 || fail_both "the client did not follow the host to the lobby"
    sleep 1
    read -r hx0 hz0 hx1 hz1 <<< "$(positions "$HOST_DIR")"
    read -r cx0 cz0 cx1 cz1 <<< "$(positions "$CLIENT_DIR")"
    echo "race $1: host car 0 at x $hx0 z $hz0, car 1 at x $hx1 z $hz1;" \
        "client car 0 at x $cx0 z $cz0, car 1 at x $cx1 z $cz1"
    grep "Network race left" "$HOST_DIR/log.txt" "$CLIENT_DIR/log.txt" | grep -qi "nan\|inf" &&
        fail_both "a car position is not a number"
    near "$cx1" "$hx0" && near "$cz1" "$hz0" || fail_both "the client's car 1 is not the host's car 0"
    near "$cx0" "$hx1" && near "$cz0" "$hz1" || fail_both "the client's car 0 is not the host's car 1"
}
# positions DIR: "x0 z0 x1 z1" from the last race-left line.
positions() {
    grep "Network race left" "$1/log.txt" | tail -n 1 |
        sed -E 's/.*car 0 at ([-0-9.a-z]+) [-0-9.a-z]+ ([-0-9.a-z]+), car 1 at ([-0-9.a-z]+) [-0-9.a-z]+ ([-0-9.a-z]+).*/\1 \2 \3 \4/'
}
moved() {  # moved X Z X0 Z0: farther than 3 from the grid spot
    awk -v x="$1" -v z="$2" -v x0="$3" -v z0="$4" 'BEGIN { exit !(((x-x0)^2 + (z-z0)^2) > 9) }'
}
still() {  # still X Z X0 Z0: within 1 of the grid spot
    awk -v x="$1" -v z="$2" -v x0="$3" -v z0="$4" 'BEGIN { exit !(((x-x0)^2 + (z-z0)^2) < 1) }'
}
near() {  # near A B: within 1.5 (one second of racing apart at most)
    awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 1.5 && d > -1.5) }'
}
# host_back: Escape for the race menu, then back (0.3).
host_back() {
    press host Escape
    click host 0.3
}

# Race 1, under attack: the real client presses nothing while the third
# machine holds car 1's accelerator with forged controls, sends forged race
# states to the client and floods both games with junk for 15 s.
click host 0.7
log_has "$HOST_DIR" "Network race: host, track 0, against clientbob" 10 || fail_both "the host's race did not start"
log_has "$CLIENT_DIR" "Network race: client" 10 || fail_both "the client's race did not start"
# Memory from the start of the race (its track loaded) on.
sleep 1
HOST_RSS0="$(rss_kb "$HOST_PID")"
CLIENT_RSS0="$(rss_kb "$CLIENT_PID")"
forge race 15 1000 > "$HOST_DIR/forger.out" 2>&1 &
FORGER_PID=$!
PIDS+=($FORGER_PID)
# The host drives car 0 after the countdown.
sleep 4
in_side host xdotool mousemove --window "$HOST_WINDOW" 512 700
in_side client xdotool mousemove --window "$CLIENT_WINDOW" 512 700
in_side host xdotool keydown Up
sleep 3
in_side host xdotool keyup Up
wait "$FORGER_PID" || fail_both "the forger failed: $(cat "$HOST_DIR/forger.out")"
echo "third machine: $(cat "$HOST_DIR/forger.out")"

sleep 2
kill -0 "$HOST_PID" 2> /dev/null || fail_both "the host ended under hostile datagrams"
kill -0 "$CLIENT_PID" 2> /dev/null || fail_both "the client ended under hostile datagrams"
HOST_RSS1="$(rss_kb "$HOST_PID")"
CLIENT_RSS1="$(rss_kb "$CLIENT_PID")"
echo "memory: host $HOST_RSS0 -> $HOST_RSS1 kB, client $CLIENT_RSS0 -> $CLIENT_RSS1 kB"
((HOST_RSS1 - HOST_RSS0 < 20480)) || fail_both "the host's memory grew by 20 MB or more"
((CLIENT_RSS1 - CLIENT_RSS0 < 20480)) || fail_both "the client's memory grew by 20 MB or more"
rm -f "$HOST_DIR"/data/screenshots/*.tga "$CLIENT_DIR"/data/screenshots/*.tga
press host F12
press client F12
host_back
race_left 1
# The grid: car 0 at (-2, 5), car 1 at (0, 7).
moved "$hx0" "$hz0" -2 5 || fail_both "the host's car did not move"
still "$hx1" "$hz1" 0 7 || fail_both "forged controls moved car 1 on the host"
ls "$HOST_DIR"/data/screenshots/*.tga > /dev/null 2>&1 || fail_both "no F12 screenshot on the host"
ls "$CLIENT_DIR"/data/screenshots/*.tga > /dev/null 2>&1 || fail_both "no F12 screenshot on the client"
[[ "$(grep -c "Network race: client" "$CLIENT_DIR/log.txt")" == 1 ]] ||
    fail_both "the client started a race the host did not start"

# Race 2: the client's accelerate key drives car 1 on the host (held from
# the end of the countdown).
log_count "$CLIENT_DIR" "Network lobby: host hostanna" 3 10 || fail_both "the client's lobby did not hear the host again"
click host 0.7
log_count "$CLIENT_DIR" "Network race: client" 2 10 || fail_both "the client's second race did not start"
sleep 3
in_side client xdotool keydown Up
sleep 4
in_side client xdotool keyup Up
host_back
race_left 2
moved "$hx1" "$hz1" 0 7 || fail_both "the client's keys did not move car 1 on the host"

# The host leaves its lobby, which closes the client's; then both quit from
# the multiplayer menu: back, quit (the picture fades and the program ends).
click host 0.3
log_has "$CLIENT_DIR" "Network: the host closed its lobby" 10 || fail_both "the host's back did not close the client's lobby"
for y in 0.3 0.2; do
    click host "$y" &
    clicking=$!
    click client "$y"
    wait "$clicking"
done
for pid in "$HOST_PID" "$CLIENT_PID"; do
    for ((i = 0; i < 150; i++)); do
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2> /dev/null && fail_both "a game did not quit"
    wait "$pid"
    rc=$?
    ((rc == 0)) || fail_both "a game ended with $rc"
done
for dir in "$HOST_DIR" "$CLIENT_DIR"; do
    dropped="$(sed -nE 's/.*dropped ([0-9]+) datagrams from other addresses.*/\1/p' "$dir/log.txt" | tail -n 1)"
    echo "$(basename "$dir"): dropped ${dropped:-?} datagrams from other addresses"
    [[ "${dropped:-0}" -gt 0 ]] || fail_both "no dropped datagrams counted in $dir/log.txt"
done
grep -q "ERROR" "$HOST_DIR/log.txt" "$CLIENT_DIR/log.txt" && fail_both "an ERROR line was logged"
echo "net_two_machines: ok"
