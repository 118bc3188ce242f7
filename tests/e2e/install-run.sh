#!/usr/bin/env bash
# Installed into a prefix, the program runs from the launcher in <prefix>/bin: through the link it finds its program
# folder <prefix>/lib/media, with the skin, the grid library and the list.
source "$(dirname "$0")/install-lib.sh"
PREFIX=$WORK/prefix
install_build "$PREFIX"

[ "$(readlink "$PREFIX/bin/media")" = ../lib/media/media ] || fail "the launcher is not a relative link to the program"
# The program folder holds what the build's program folder holds for running.
for file in media liblorvex.so media.manifest; do
  [ -s "$PREFIX/lib/media/$file" ] || fail "$file is missing from the program folder"
done
cmp -s "$E2E_BIN/media.manifest" "$PREFIX/lib/media/media.manifest" || fail "the installed manifest differs from the build's"
diff <(ls "$E2E_BIN/Skin/DA10") <(ls "$PREFIX/lib/media/Skin/DA10") >/dev/null || fail "the skin pictures differ:
$(diff <(ls "$E2E_BIN/Skin/DA10") <(ls "$PREFIX/lib/media/Skin/DA10"))"

# --help and --version answer and end, with no display to start a window on.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$PREFIX/bin/media" --version 2>&1) || fail "media --version: $answer"
[ "$answer" = "media (Morvane-Tavri) $version" ] || fail "media --version says: $answer"
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$PREFIX/bin/media" --help 2>&1) || fail "media --help: $answer"
grep -q '^Usage: media \[FILE...\]$' <<<"$answer" && grep -q -- '--version' <<<"$answer" || fail "media --help says: $answer"
[ ! -e "$PREFIX/lib/media/shared-install" ] || fail "an install into $PREFIX is taken for a system-wide one"

# No sound server to reach, and ALSA's default device a file: the installed player must still sound, through ALSA,
# rather than run its clock in silence.
export PULSE_SERVER=unix:$WORK/no-sound-server
printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "%s"\n  format "raw"\n}\n' "$WORK/alsa.raw" >"$HOME/.asoundrc"

run_installed_program "$PREFIX/bin/media" "$PREFIX/lib/media"
[ -s "$WORK/alsa.raw" ] && [ "$(tr -d '\0' <"$WORK/alsa.raw" | head -c 100000 | wc -c)" -gt 10000 ] ||
  fail "nothing sounded through ALSA without a sound server: $(cat "$WORK/media.log")"
echo "e2e install-run: passed"
