#!/usr/bin/env bash
# Builds the release a second time, from a copy of the same sources at another
# path, and compares the executables and the zip with this tree's, byte for
# byte.
#   usage: check_reproducible.sh SOURCE_DIR ZIP
set -uo pipefail
source_dir=$(cd "$1" && pwd)
zip=$2
elsewhere=$(mktemp -d /tmp/zi370-elsewhere.XXXXXX)
trap 'rm -rf "$elsewhere"' EXIT
copy=$elsewhere/a/longer/path/to/another/checkout
mkdir -p "$copy"

# The files git knows of or would add, as they are in the working tree.
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf -) | tar -C "$copy" -xf - || { echo "FAIL: could not copy the sources"; exit 1; }
# The copy has no history: it gets the time that this tree's zip was made with.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

(
  cd "$copy" || exit 1
  for arch in x86 x64; do
    cmake --preset windows-$arch -DBUILD_TESTING=OFF >/dev/null && cmake --build --preset windows-$arch >/dev/null ||
      { echo "FAIL: the windows-$arch build of the copy failed"; exit 1; }
  done
  cmake --preset release -DBUILD_TESTING=OFF >/dev/null && cmake --build --preset release >/dev/null ||
    { echo "FAIL: packaging the copy failed"; exit 1; }
) || exit 1

failed=0
compare() {  # what, this tree's file, the copy's file
  local here there
  here=$(sha256sum <"$2" | cut -d' ' -f1)
  there=$(sha256sum <"$3" | cut -d' ' -f1)
  echo "$1: $here here, $there in $copy"
  [ "$here" = "$there" ] || { echo "FAIL: $1 differs"; failed=1; }
}
for arch in x86 x64; do
  compare "$arch executable" "$source_dir/build/windows-$arch/app/zi370-rotate.exe" \
          "$copy/build/windows-$arch/app/zi370-rotate.exe"
done
compare "zip" "$zip" "$copy/build/dist/${zip##*/}"
exit $failed
