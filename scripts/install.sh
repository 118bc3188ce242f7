#!/usr/bin/env bash
# `make install` and `make uninstall`.
#   install.sh install BUILD PREFIX   installs the build, stripped, under DESTDIR+PREFIX
#   install.sh uninstall PREFIX       takes away exactly what an install put under DESTDIR+PREFIX
# The install keeps its record inside the prefix it went into, <prefix>/lib/media/installed-files (the files and links,
# then the folders it had to create, relative to the prefix), so that any clone, with or without a build, uninstalls
# the right prefix and only that one. The user's playlist beside the program is not on the record and stays.
set -euo pipefail
program_folder=lib/media
record_name=installed-files
usage() { echo "usage: $0 install BUILD PREFIX | uninstall PREFIX" >&2; exit 2; }

# The menu entries' MIME cache, which GIO-based file managers read to offer the player for a file: made or refreshed
# on a real install (not a staged one, DESTDIR) into the applications folder, and refreshed after an uninstall. The
# icon cache is refreshed only where the desktop already keeps one.
refresh_desktop_caches() {
  local icons=$root/share/icons/hicolor applications=$root/share/applications
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t -f "$icons" || true
  fi
  if [ -d "$applications" ] && { [ -z "${DESTDIR:-}" ] || [ -f "$applications/mimeinfo.cache" ]; }; then
    if command -v update-desktop-database >/dev/null; then
      update-desktop-database -q "$applications" ||
        echo "install: update-desktop-database failed; file managers may not offer the player" >&2
    else
      echo "install: update-desktop-database is missing (package desktop-file-utils); file managers may not offer the player" >&2
    fi
  fi
}

# The folders (relative to the root) that a staged copy of the install holds and the root does not, with the root
# itself and its parents where they are missing, as absolute paths.
missing_folders() {
  local staged=$1 folder parent
  (cd "$staged" && find . -mindepth 1 -type d) | while IFS= read -r folder; do
    folder=${folder#./}
    [ -d "$root/$folder" ] || echo "$folder"
  done
  parent=$root
  while [ ! -d "$parent" ]; do echo "$parent"; parent=$(dirname "$parent"); done
}

# One section of a record: the lines after "# files" or "# folders".
section() { awk -v want="# $2" '/^# / { on = ($0 == want); next } on' "$1"; }

stage=
install_files() {
  local build=$1 record=$root/$program_folder/$record_name earlier_files= earlier_folders= file cache_made=
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  # A staged install first shows which files the real one installs and which folders it creates.
  DESTDIR=$stage cmake --install "$build" --prefix "$prefix" --component media --strip >/dev/null
  if [ -f "$record" ]; then
    earlier_files=$(section "$record" files)
    earlier_folders=$(section "$record" folders)
  fi
  local files folders
  files=$(cd "$stage$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
  # Folders an earlier install made and no uninstall has taken away yet stay on the record; so does the MIME cache
  # when an install made it.
  folders=$({ [ -z "$earlier_folders" ] || echo "$earlier_folders"; missing_folders "$stage$prefix"; } | sort -u)
  [ -e "$root/share/applications/mimeinfo.cache" ] || [ -n "${DESTDIR:-}" ] || cache_made=share/applications/mimeinfo.cache
  grep -qxF share/applications/mimeinfo.cache <<<"$earlier_files" && cache_made=share/applications/mimeinfo.cache
  cmake --install "$build" --prefix "$prefix" --component media --strip
  # What an earlier install put here and this one no longer does (a renamed file) goes.
  comm -23 <(grep -vxF share/applications/mimeinfo.cache <<<"$earlier_files" | sort) <(echo "$files") |
    while IFS= read -r file; do [ -z "$file" ] || rm -f -- "$root/$file"; done
  {
    echo "# The install of media under this prefix, for \`make uninstall PREFIX=...\`: paths relative to the prefix."
    echo "# files"
    echo "$files"
    [ -z "$cache_made" ] || echo "$cache_made"
    echo "# folders"
    [ -z "$folders" ] || echo "$folders"
  } >"$record.tmp"
  mv -f -- "$record.tmp" "$record"
  refresh_desktop_caches
}

uninstall_files() {
  local record=$root/$program_folder/$record_name file folder folders cache_made=
  if [ ! -f "$record" ]; then
    if [ -e "$root/$program_folder/media" ]; then
      echo "uninstall: $root holds the player but no record of its install ($record): it was installed by an older" \
           "make install or by the package. Run make install PREFIX=$prefix again, then make uninstall." >&2
    else
      echo "uninstall: nothing of media is installed under $root (no $record)" >&2
    fi
    return 1
  fi
  section "$record" files | grep -qxF share/applications/mimeinfo.cache && cache_made=yes
  folders=$(section "$record" folders)
  section "$record" files | while IFS= read -r file; do
    [ -n "$file" ] && [ "$file" != share/applications/mimeinfo.cache ] || continue
    if [ -e "$root/$file" ] || [ -L "$root/$file" ]; then
      echo "-- Removing: $root/$file"
      rm -f -- "$root/$file"
    fi
  done
  rm -f -- "$record"
  refresh_desktop_caches
  # The MIME cache an install made goes when no other entry is left to list.
  if [ -n "$cache_made" ] && ! compgen -G "$root/share/applications/*.desktop" >/dev/null; then
    rm -f -- "$root/share/applications/mimeinfo.cache"
  fi
  # Deepest first, so that a folder's sub-folders have gone before it; folders holding anything else (the playlist
  # beside the program, another program's files) stay.
  sort -r <<<"$folders" | while IFS= read -r folder; do
    [ -z "$folder" ] && continue
    case $folder in /*) ;; *) folder=$root/$folder ;; esac
    rmdir -- "$folder" 2>/dev/null || true
  done
}

action=${1:-}
case $action in
  install)
    [ $# -eq 3 ] || usage
    prefix=$(realpath -m -- "$3")
    root=${DESTDIR:-}$prefix
    install_files "$2" ;;
  uninstall)
    [ $# -eq 2 ] || usage
    prefix=$(realpath -m -- "$2")
    root=${DESTDIR:-}$prefix
    uninstall_files ;;
  *) usage ;;
esac
