#!/usr/bin/env bash
# The installed desktop files are what the desktop's own checkers accept, and they name what was installed with them:
# the entry's program and icon, the AppStream data's entry, the manual page. The player has one name everywhere the
# desktop shows it, and one application id, both taken from the program's own header.
source "$(dirname "$0")/install-lib.sh"
# A prefix with a space and a percent sign, which the entry's Exec must quote and escape.
PREFIX="$WORK/My Programs 100%"
install_build "$PREFIX"
share=$PREFIX/share
identity() { sed -n "s/^inline constexpr char k$1\[\] = \"\(.*\)\";/\1/p" "$SOURCE_DIR/media/core/ProgramIdentity.h"; }
name=$(identity DisplayName) id=$(identity ApplicationId)
[ "$name" = Morvane-Tavri ] && [ -n "$id" ] || fail "the program's header names $name, $id"

entry=$share/applications/media.desktop
report=$(desktop-file-validate "$entry" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
metainfo=$share/metainfo/$id.metainfo.xml
[ "$(ls "$share/metainfo")" = "$id.metainfo.xml" ] || fail "the AppStream data is not named after its id: $(ls "$share/metainfo")"
report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || fail "appstreamcli: $report"
grep -qE '^[EW]:' <<<"$report" && fail "appstreamcli: $report"
report=$(appstreamcli validate-tree --no-net --no-color "$PREFIX" 2>&1) || fail "appstreamcli validate-tree: $report"
grep -qE '^[EW]:' <<<"$report" && fail "appstreamcli validate-tree: $report"
grep -qF "<id>$id</id>" "$metainfo" && grep -qF "<name>$name</name>" "$metainfo" || fail "the AppStream data names another id or name"

key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Name)" = "$name" ] || fail "Name= is $(key Name)"
# The launcher by its full path (a per-user bin folder is on PATH only from the next login), quoted, % doubled.
[ "$(key Exec)" = "\"$WORK/My Programs 100%%/bin/media\" %F" ] || fail "Exec= is $(key Exec)"
[ "$(key StartupWMClass)" = media ] || fail "StartupWMClass= is $(key StartupWMClass)"
grep -q '<launchable type="desktop-id">media.desktop</launchable>' "$metainfo" || fail "the AppStream data launches another entry"

# The icon the entry names, at every size the program draws it.
for size in 16 22 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$(key Icon).png
  [ "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${size}x${size}" ] || fail "no ${size}x${size} PNG icon at $icon"
done
# Painted, not blank.
[ "$(convert "$share/icons/hicolor/256x256/apps/media.png" -format '%k' info:)" -gt 16 ] || fail "the icon is blank"

manual=$share/man/man1/media.1.gz
gzip -t "$manual" || fail "the manual page is not gzip"
MANWIDTH=80 man -l "$manual" 2>&1 | grep -q 'media \[FILE...\]' || fail "the manual page has no synopsis: $(man -l "$manual" 2>&1 | head)"
echo "e2e install-validate: passed"
