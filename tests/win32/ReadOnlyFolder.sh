#!/usr/bin/env bash
# A folder holding a copy of the program, mounted read-only, for the tests of a program
# folder the user may not write (as root, a folder's mode does not stop a write):
#   ReadOnlyFolder.sh mount FOLDER PROGRAM     FOLDER/TAPEWRT.EXE, on a read-only bind mount
#   ReadOnlyFolder.sh unmount FOLDER
# Where mounting is not allowed FOLDER stays empty, and the tests that need it skip.
set -uo pipefail
folder=$2
if mountpoint -q "$folder"; then umount "$folder" || exit 1; fi
[ "$1" = unmount ] && exit 0
source=$folder.source
mkdir -p "$folder" "$source"
cp "$3" "$source/TAPEWRT.EXE" || exit 1
if mount --bind "$source" "$folder" 2>/dev/null; then
    mount -o remount,bind,ro "$folder" 2>/dev/null || umount "$folder"
fi
mountpoint -q "$folder" || echo "no read-only mount of $folder: mounting is not allowed here"
exit 0
