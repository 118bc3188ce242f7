#!/usr/bin/env bash
# `make install` and `make uninstall` as a user runs them from clones: two prefixes, one of them in use by other
# programs and one with a space in its name. Each install is stripped and keeps its record inside its own prefix, so
# a second clone that has never built (as after `make clean`) uninstalls exactly the prefix it is given: every file,
# link and folder that install made goes, what was there before stays, and so does the user's playlist. A prefix with
# nothing of ours is refused. A user install makes the menu entries' MIME cache, so GIO opens a sound file with the
# player when it is the only one; the uninstall takes that away again. The clones' Makefiles and scripts are pointed
# at the build `make test` has just made, so nothing is compiled (the log shows it).
# E2E_CLONE_FROM names another repository to clone (by default the one holding this script).
source "$(dirname "$0")/install-lib.sh"
for clone in clone second-clone; do
  git clone -q "${E2E_CLONE_FROM:-$SOURCE_DIR}" "$WORK/$clone" || fail "cannot clone ${E2E_CLONE_FROM:-$SOURCE_DIR}"
done
PREFIX=$WORK/prefix
SECOND="$WORK/second prefix"
# `make CLONE TARGET PREFIX [BUILD [VARIABLE=VALUE...]]`, its output kept in make.log.
make_in() {
  local clone=$1 target=$2 prefix=$3 build=${4:-$BUILD_DIR}
  make -C "$WORK/$clone" --no-print-directory "$target" PREFIX="$prefix" BUILD="$build" JOBS=2 "${@:5}" >>"$WORK/make.log" 2>&1 ||
    fail "make $target PREFIX=$prefix: $(tail -n 30 "$WORK/make.log")"
  ! grep -E '(Building|Linking) (C|CXX) ' "$WORK/make.log" ||
    fail "make $target compiled (is the build up to date?): $(grep -m5 -E '(Building|Linking) ' "$WORK/make.log")"
}
listing() { (cd "$1" && find . | sort); }

# A prefix in use: another program's entry and icon, an empty folder, and a desktop entry cache.
mkdir -p "$PREFIX/bin" "$PREFIX/lib" "$PREFIX/share/applications" "$PREFIX/share/icons/hicolor/48x48/apps"
echo '#!/bin/sh' >"$PREFIX/bin/other"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other\nMimeType=audio/x-other;\n' \
  >"$PREFIX/share/applications/other.desktop"
cp "$SOURCE_DIR/skin/DA10/close_n.bmp" "$PREFIX/share/icons/hicolor/48x48/apps/other.bmp"
update-desktop-database "$PREFIX/share/applications"
before=$(listing "$PREFIX")

make_in clone install "$PREFIX"
make_in clone install "$SECOND"
for prefix in "$PREFIX" "$SECOND"; do
  [ -L "$prefix/bin/media" ] && [ -x "$prefix/lib/media/media" ] && [ -f "$prefix/share/applications/media.desktop" ] ||
    fail "make install did not install the program into $prefix: $(listing "$prefix")"
  grep -qxF share/applications/media.desktop "$prefix/lib/media/installed-files" || fail "no record in $prefix"
  ! readelf -S "$prefix/lib/media/media" "$prefix/lib/media/liblorvex.so" | grep -q '\.debug_info' ||
    fail "make install did not strip the program"
done
grep -q '^audio/flac=.*media.desktop' "$PREFIX/share/applications/mimeinfo.cache" ||
  fail "the existing desktop entry cache was not refreshed"
[ ! -e "$PREFIX/share/icons/hicolor/icon-theme.cache" ] || fail "an icon cache was created where there was none"

# GIO, in a private session that knows only the second prefix's entries, opens a sound file with the player: the
# entry's quoted Exec starts the program of the prefix with a space, which adds the file and keeps its list there.
mkdir -p "$WORK/system-data"
ln -s /usr/share/mime "$WORK/system-data/mime"
gio_env=(env XDG_DATA_HOME="$SECOND/share" XDG_DATA_DIRS="$WORK/system-data")
make_tone "$WORK/one.wav" 440 2
type=$("${gio_env[@]}" gio info -a standard::content-type "$WORK/one.wav" | sed -n 's/^ *standard::content-type: //p')
start_display
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | { read -r a; read -r p; echo "DBUS_SESSION_BUS_ADDRESS=$a; bus=$p"; })"
export DBUS_SESSION_BUS_ADDRESS
PIDS+=("$bus")
offered=$("${gio_env[@]}" gio mime "$type" 2>&1) || true
grep -q 'media.desktop' <<<"$offered" || fail "GIO does not offer the player for $type: $offered"
"${gio_env[@]}" gio open "$WORK/one.wav" >"$WORK/gio.log" 2>&1 || fail "gio open: $(cat "$WORK/gio.log")"
WIN=$(wait_for_window Morvane-Tavri) || fail "gio open started no player: $(cat "$WORK/gio.log")"
MEDIA_PID=$(xdotool getwindowpid "$WIN")
PIDS+=("$MEDIA_PID")
[ "$(readlink "/proc/$MEDIA_PID/exe")" = "$SECOND/lib/media/media" ] || fail "gio started $(readlink "/proc/$MEDIA_PID/exe")"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
MAIN_X=$X MAIN_Y=$Y
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the player did not end"
grep -qF "$WORK/one.wav" "$SECOND/lib/media/default.lst" || fail "the player did not keep the opened file in its list"

# The first prefix goes from a second clone that has no build at all, as after `make clean`; the second prefix stays.
second_before=$(listing "$SECOND")
make_in second-clone clean "$PREFIX" "$WORK/second-clone/build"
make_in second-clone uninstall "$PREFIX" "$WORK/second-clone/build"
[ "$before" = "$(listing "$PREFIX")" ] || fail "make uninstall left the prefix changed:
$(diff <(echo "$before") <(listing "$PREFIX"))"
! grep -q 'media.desktop' "$PREFIX/share/applications/mimeinfo.cache" || fail "the desktop entry cache still names the program"
[ "$second_before" = "$(listing "$SECOND")" ] || fail "uninstalling one prefix changed the other"

# The second goes too, but for the user's playlist; the MIME cache its install made goes with the last entry.
make_in second-clone uninstall "$SECOND" "$WORK/second-clone/build"
[ "$(listing "$SECOND")" = $'.\n./lib\n./lib/media\n./lib/media/default.lst' ] ||
  fail "make uninstall left more than the playlist: $(listing "$SECOND")"
offered=$("${gio_env[@]}" gio mime "$type" 2>&1) || true
! grep -q 'media.desktop' <<<"$offered" || fail "GIO still offers the player: $offered"

# A staged install for packaging (DESTDIR) of the system's prefix: marked system-wide, no MIME cache made in the stage,
# and taken away whole again.
make_in clone install /usr "$BUILD_DIR" DESTDIR="$WORK/stage"
[ -f "$WORK/stage/usr/lib/media/shared-install" ] && [ -x "$WORK/stage/usr/lib/media/media" ] ||
  fail "the staged install is not a system-wide one: $(listing "$WORK/stage")"
[ ! -e "$WORK/stage/usr/share/applications/mimeinfo.cache" ] || fail "a staged install made a MIME cache"
make_in second-clone uninstall /usr "$WORK/second-clone/build" DESTDIR="$WORK/stage"
[ ! -e "$WORK/stage/usr" ] || fail "the staged uninstall left: $(listing "$WORK/stage")"

# Nothing of ours left: a clear refusal, not a quiet success.
if make -C "$WORK/second-clone" --no-print-directory uninstall PREFIX="$SECOND" >"$WORK/again.log" 2>&1; then
  fail "make uninstall of an empty prefix succeeded: $(cat "$WORK/again.log")"
fi
grep -q "nothing of media is installed under $SECOND" "$WORK/again.log" || fail "the refusal says: $(cat "$WORK/again.log")"
echo "e2e install-clone: passed"
