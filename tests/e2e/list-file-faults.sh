#!/usr/bin/env bash
# The list file through the real program's ending: a list read with damage keeps its file and says why; a list
# edited by hand while the program ran is kept beside ours as default.lst.orig; on a full disk the save fails, says
# so, and the old list stays byte for byte. The full disk is a small tmpfs, mounted in a mount namespace of this
# test's own (as root, or in a user namespace where the system allows one); where neither can be had, that part is
# skipped and says so.
if [ -z "${LIST_FAULTS_NAMESPACE:-}" ]; then
  if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
    exec unshare -m env LIST_FAULTS_NAMESPACE=1 bash "$0" "$@"
  elif unshare -rm true 2>/dev/null; then
    exec unshare -rm env LIST_FAULTS_NAMESPACE=1 bash "$0" "$@"
  fi
fi
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/tone.wav" 440 2
LIST=$APP/default.lst
row() { printf '"%s","","00:00","%s"\r\n' "$1" "$WORK/tone.wav"; }
end_media() {
  kill -TERM "$MEDIA_PID"
  wait_for_exit "$MEDIA_PID" || fail "SIGTERM did not end the program"
}

# A hand edit left a quote open in row 2: the rows after it keep their places, and the file is not written over.
{ row One; printf '"Two,"","00:00","%s"\r\n' "$WORK/tone.wav"; row Three; } >"$LIST"
cp "$LIST" "$WORK/damaged.lst"
start_media
end_media
cmp -s "$LIST" "$WORK/damaged.lst" || fail "a damaged list was written over: $(cat "$LIST")"
grep -q "read with damage: text outside the quotes on line 2" "$WORK/media.log" ||
  fail "nothing said what was wrong: $(cat "$WORK/media.log")"

# Edited by someone else while the program ran: that version is kept beside ours.
{ row One; row Two; } >"$LIST"
start_media
row Edited >"$LIST"
cp "$LIST" "$WORK/edited.lst"
end_media
cmp -s "$LIST.orig" "$WORK/edited.lst" || fail "the other version was not kept: $(cat "$LIST.orig" 2>&1)"
[ "$(grep -c tone.wav "$LIST")" = 2 ] || fail "our rows were not written: $(cat "$LIST")"
grep -q "kept as $LIST.orig" "$WORK/media.log" || fail "nothing said where it was kept: $(cat "$WORK/media.log")"

if [ -z "${LIST_FAULTS_NAMESPACE:-}" ]; then
  echo "e2e list-file-faults: passed (no mount namespace here: the full disk was not tried)"
  exit 0
fi
# The list lies on a disk with no room left (through a link, as a list may): the ending's save fails and says so.
mount --make-rprivate /
mkdir "$WORK/disk"
mount -t tmpfs -o size=256k tmpfs "$WORK/disk"
trap 'umount "$WORK/disk" 2>/dev/null || true; cleanup' EXIT
rm -f "$LIST" "$LIST.orig"
{ row One; row Two; } >"$WORK/disk/list.lst"
cp "$WORK/disk/list.lst" "$WORK/old.lst"
ln -s "$WORK/disk/list.lst" "$LIST"
dd if=/dev/zero of="$WORK/disk/filler" bs=4k 2>/dev/null || true
start_media
end_media
cmp -s "$WORK/disk/list.lst" "$WORK/old.lst" || fail "the list on the full disk changed: $(od -c "$WORK/disk/list.lst")"
grep -q "could not be saved to $LIST: No space left on device" "$WORK/media.log" ||
  fail "the failed save was not told: $(cat "$WORK/media.log")"
echo "e2e list-file-faults: passed"
