#!/usr/bin/env bash
# A fresh clone's `make install` and `make uninstall` leave the prefix as they found it: every file, link and folder
# the install made goes again, what was there before stays, and the desktop's caches are only refreshed where they
# were. The clone's Makefile and scripts do the work, pointed at the build `make test` has just made, so the clone
# compiles nothing (the log shows it). The build's own record of `make install` is put back afterwards.
# E2E_CLONE_FROM names another repository to clone (by default the one holding this script).
source "$(dirname "$0")/install-lib.sh"
git clone -q "${E2E_CLONE_FROM:-$SOURCE_DIR}" "$WORK/clone" || fail "cannot clone ${E2E_CLONE_FROM:-$SOURCE_DIR}"
PREFIX=$WORK/prefix
records=(install_manifest.txt install_created_folders.txt install_destdir.txt)
mkdir "$WORK/records"
for record in "${records[@]}"; do [ ! -e "$BUILD_DIR/$record" ] || cp -p "$BUILD_DIR/$record" "$WORK/records/"; done
restore_records() {
  local record
  for record in "${records[@]}"; do
    rm -f "$BUILD_DIR/$record"
    [ ! -e "$WORK/records/$record" ] || cp -p "$WORK/records/$record" "$BUILD_DIR/"
  done
  cleanup
}
trap restore_records EXIT
make_in_clone() {
  make -C "$WORK/clone" --no-print-directory "$@" PREFIX="$PREFIX" BUILD="$BUILD_DIR" JOBS=2 >>"$WORK/make.log" 2>&1 ||
    fail "make $*: $(tail -n 30 "$WORK/make.log")"
  ! grep -E '(Building|Linking) (C|CXX) ' "$WORK/make.log" ||
    fail "make $* compiled (is the build up to date?): $(grep -m5 -E '(Building|Linking) ' "$WORK/make.log")"
}

# A prefix in use: another program's entry and icon, an empty folder, and a desktop entry cache.
mkdir -p "$PREFIX/bin" "$PREFIX/lib" "$PREFIX/share/applications" "$PREFIX/share/icons/hicolor/48x48/apps"
echo '#!/bin/sh' >"$PREFIX/bin/other"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other\nMimeType=audio/x-other;\n' \
  >"$PREFIX/share/applications/other.desktop"
cp "$SOURCE_DIR/skin/DA10/close_n.bmp" "$PREFIX/share/icons/hicolor/48x48/apps/other.bmp"
update-desktop-database "$PREFIX/share/applications"
listing() { (cd "$PREFIX" && find . | sort); }
before=$(listing)

make_in_clone install
[ -L "$PREFIX/bin/media" ] && [ -x "$PREFIX/lib/media/media" ] && [ -f "$PREFIX/share/applications/media.desktop" ] ||
  fail "make install did not install the program: $(listing)"
grep -q '^audio/flac=.*media.desktop' "$PREFIX/share/applications/mimeinfo.cache" ||
  fail "the existing desktop entry cache was not refreshed"
[ ! -e "$PREFIX/share/icons/hicolor/icon-theme.cache" ] || fail "an icon cache was created where there was none"

make_in_clone uninstall
after=$(listing)
[ "$before" = "$after" ] || fail "make uninstall left the prefix changed:
$(diff <(echo "$before") <(echo "$after"))"
! grep -q 'media.desktop' "$PREFIX/share/applications/mimeinfo.cache" || fail "the desktop entry cache still names the program"
echo "e2e install-clone: passed"
