#!/usr/bin/env bash
# `cmake --install` into a prefix then moved, and the Debian package unpacked,
# give programs that find their data beside them; the desktop entry, file
# type and man pages pass their checkers.
set -uo pipefail
: "${QPX:?}" "${QBN_TEST_DATA:?}"
BUILD=$(cd "$(dirname "$QPX")" && pwd)
SOURCE=$(cd "$QBN_TEST_DATA/../.." && pwd)
WORK=$(mktemp -d) FAILURES=0
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }

installed_files=(bin/qbn-preset-editor bin/qpx share/qbn-preset-editor/{wizards.xml,MV517_rear.jpg}
  share/applications/qbn-preset-editor.desktop share/mime/packages/qbn-preset-editor.xml
  share/man/man1/{qpx,qbn-preset-editor}.1 share/doc/qbn-preset-editor/README.md
  share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/qbn-preset-editor.png)

version=$(sed -n 's/^project(qbn_preset_editor VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")

# What the installed programs must do from a folder without wizards.xml.
check_programs() {
  local prefix=$1 what=$2
  for f in "${installed_files[@]}"; do [ -f "$prefix/$f" ] || fail "$what: $f missing"; done
  mkdir -p "$WORK/empty-$what" && cd "$WORK/empty-$what" || return
  "$prefix/bin/qpx" wizard --mode sat --top RS3 --bass RX2 --quantity 2x --name "Club Stage" \
    --lock -o club.qpx --summary Selection.html || fail "$what: qpx wizard failed"
  cmp -s club.qpx "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" || fail "$what: wizard output differs"
  cmp -s MV517_rear.jpg "$SOURCE/data/MV517_rear.jpg" || fail "$what: no picture beside the summary"
  [ "$("$prefix/bin/qpx" --version)" = "qpx $version" ] || fail "$what: qpx --version"
  # The editor answers --help and --version without a display.
  [ "$(env -u DISPLAY "$prefix/bin/qbn-preset-editor" --version)" = "qbn-preset-editor $version" ] ||
    fail "$what: qbn-preset-editor --version"
  env -u DISPLAY "$prefix/bin/qbn-preset-editor" --help | grep -q "Usage: qbn-preset-editor \[FILE\]" ||
    fail "$what: qbn-preset-editor --help"
  # No path of the build machine is left in a binary.
  for b in "$prefix"/bin/*; do ! grep -q -a -F -e "$SOURCE" -e "$BUILD" "$b" || fail "$what: $b holds a build path"; done
  cd "$WORK" || return
}

# ---- cmake --install, then the prefix moved elsewhere ----------------------------
cmake --install "$BUILD" --prefix "$WORK/first" >/dev/null || fail "cmake --install failed"
mv "$WORK/first" "$WORK/moved"
(cd "$WORK/moved" && find . -type f | sort) >"$WORK/installed.list"
check_programs "$WORK/moved" installed

# The desktop entry, the file type and the man pages.
desktop=$WORK/moved/share/applications/qbn-preset-editor.desktop
out=$(XDG_DATA_DIRS="$WORK/moved/share" desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
grep -qx 'Exec=qbn-preset-editor %f' "$desktop" || fail "desktop entry: Exec"
xmllint --noout "$WORK/moved/share/mime/packages/qbn-preset-editor.xml" || fail "MIME package: xmllint"
update-mime-database "$WORK/moved/share/mime" || fail "update-mime-database"
for f in named.qpx no_extension; do
  cp "$QBN_TEST_DATA/live_mv517.qpx" "$WORK/$f"
  type=$(XDG_DATA_DIRS="$WORK/moved/share" gio info -a standard::content-type "$WORK/$f" |
    sed -n 's/.*standard::content-type: //p')
  [ "$type" = "application/x-qbn-preset" ] || fail "file type of $f: [$type]"
done
for page in qpx.1 qbn-preset-editor.1; do
  warnings=$(groff -man -Tutf8 -ww "$WORK/moved/share/man/man1/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  man -l "$WORK/moved/share/man/man1/$page" 2>/dev/null | grep -q "^NAME" || fail "$page: man -l"
done

# ---- The Debian package -------------------------------------------------------------
(cd "$BUILD" && cpack -G DEB -B "$WORK/package" >/dev/null) || fail "cpack failed"
deb=$(ls "$WORK"/package/*.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libgtk2.0-0 libcairo2 libglib2.0-0 libc6; do
    case "$depends" in *"$lib"*) ;; *) fail "package does not depend on $lib: $depends" ;; esac
  done
  dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb -x"
  # The package installs the same files as cmake --install.
  diff "$WORK/installed.list" <(cd "$WORK/root/usr" && find . -type f | sort) >/dev/null ||
    fail "the package's files differ from the installed ones"
  check_programs "$WORK/root/usr" package
else
  fail "no package was built"
fi

[ "$FAILURES" -eq 0 ]
