# Sourced by the scripts that run the monitor against the simulator under Xvfb (screenshots,
# accessibility check): builds both programs in Release, starts the simulator on free ports and
# gives the INI helper. After sourcing: $work (a scratch folder removed on exit) and $port.
# VESMARA_SCENARIO picks the simulator's scenario (default demo).

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --parallel "$(nproc)" --target vesmara-pbx monitorvesmara >/dev/null

# ini_set FILE SECTION KEY VALUE: sets one key, adding the section or the key when missing.
ini_set() {
    awk -v s="[$2]" -v k="$3" -v v="$4" '
        BEGIN { IGNORECASE = 1 }
        { sub(/\r$/, "") }
        tolower($0) == tolower(s) { print; insec = 1; next }
        /^\[/ { if (insec && !done) { print k "=" v; done = 1 } insec = 0 }
        insec && tolower(substr($0, 1, length(k) + 1)) == tolower(k "=") { if (!done) print k "=" v; done = 1; next }
        { print }
        END { if (!done) { if (!insec) print s; print k "=" v } }' "$1" | sed 's/$/\r/' >"$1.new"
    mv "$1.new" "$1"
    chmod 600 "$1"
}

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# The monitor opens its chat connection on port 5033: the simulator's chat server takes it when
# it is free, so the chat side (chat agents, their chats) shows too.
chat_port=5033
(exec 3<>/dev/tcp/127.0.0.1/$chat_port) 2>/dev/null && chat_port=0
build-release/sim/vesmara-pbx --port 0 --chat-port $chat_port --speed 5 \
    --scenario "${VESMARA_SCENARIO:-demo}" >"$work/pbx.out" 2>/dev/null &
for _ in $(seq 1 200); do grep -q listening "$work/pbx.out" 2>/dev/null && break; sleep 0.1; done
port=$(sed -nE 's/.*manager=([0-9]+).*/\1/p' "$work/pbx.out")
