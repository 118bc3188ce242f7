#!/usr/bin/env bash
# Whole-program figures: time from start to the first window on screen, resident memory when idle, and CPU used
# while playing an MP3. Runs the real program under a private X server.
set -euo pipefail
bin=${1:?usage: $0 <folder with media, liblorvex.so, media.manifest, Skin>}
work=$(mktemp -d /tmp/media-bench.XXXXXX)
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
pids=()
trap 'for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[i]}" 2>/dev/null || true; wait "${pids[i]}" 2>/dev/null || true; done; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
app=$work/app; mkdir -p "$app"
cp "$bin/media" "$bin/liblorvex.so" "$bin/media.manifest" "$app/"; cp -r "$bin/Skin" "$app/"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=60" -b:a 192k "$work/tone.mp3"

window_after_start() {  # sets pid and elapsed: milliseconds from exec to the main window being mapped
  local start end
  start=$(date +%s%N)
  "$app/media" >/dev/null 2>&1 & pid=$!
  until xdotool search --onlyvisible --name '^Morvane-Tavri$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "media ended before showing its window" >&2; exit 1; }
    sleep 0.002
  done
  end=$(date +%s%N)
  elapsed=$(((end - start) / 1000000))
}

# Start-up with an empty list, five runs: the fastest and the median.
times=()
for _ in 1 2 3 4 5; do
  : >"$app/default.lst"
  window_after_start
  times+=("$elapsed")
  sleep 1
  [ "${#times[@]}" = 5 ] && rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
  kill -TERM $pid; wait $pid 2>/dev/null || true
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "start-up to first window (ms, 5 runs sorted): $sorted (goal < 70)"
echo "resident memory idle: $((rss / 1024)) MiB (goal < 60)"

# CPU while playing an MP3 for 20 s.
printf '"Tone","","00:00","%s"\r\n' "$work/tone.mp3" >"$app/default.lst"
"$app/media" >/dev/null 2>&1 & pid=$!
sleep 3
ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
t0=$(ticks); sleep 20; t1=$(ticks)
hz=$(getconf CLK_TCK)
echo "CPU while playing an MP3: $(awk -v d=$((t1 - t0)) -v hz=$hz 'BEGIN {printf "%.2f", 100 * d / hz / 20}') % of one core (goal < 1.5)"
# The same with the lyrics window shown (its button: 2300, 200 twips into the main window).
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^Morvane-Tavri$' | head -n1)")"
xdotool mousemove --sync $((X + 2300 / 15)) $((Y + 200 / 15)) click 1
sleep 2
t0=$(ticks); sleep 20; t1=$(ticks)
echo "CPU while playing an MP3, lyrics window shown: $(awk -v d=$((t1 - t0)) -v hz=$hz 'BEGIN {printf "%.2f", 100 * d / hz / 20}') % of one core"
kill -TERM $pid; wait $pid 2>/dev/null || true

# Resident memory holding a list of 20,000 rows (all naming the same track, so playing starts as usual).
for i in $(seq 20000); do
  printf '"Tone %d 第%d首","Artist %d","01:00","%s"\r\n' "$i" "$i" $((i / 10)) "$work/tone.mp3"
done | iconv -f UTF-8 -t GBK >"$app/default.lst"
"$app/media" >/dev/null 2>&1 & pid=$!
sleep 6
echo "resident memory with 20,000 rows: $(($(awk '/VmRSS/ {print $2}' /proc/$pid/status) / 1024)) MiB (goal < 100)"
kill -TERM $pid; wait $pid 2>/dev/null || true
