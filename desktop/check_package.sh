#!/usr/bin/env bash
# Packs the build in hand as the .deb, unpacks it into a scratch directory (nothing
# installed on this machine) and uses it from there: the file list, the libraries the
# binaries need, velkcmd, mksample, velk-setup making an installation from a sample
# volume set, its menu entry started, the metadata validated, and lintian.
set -euo pipefail
build=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velk-package-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check_package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$tmp"/out/velk_*.deb)
root="$tmp/root"
dpkg-deb -x "$deb" "$root"

# Exactly these files: nothing of the build (tests, libraries, headers) slips in.
expected="/usr/bin/mksample /usr/bin/velk /usr/bin/velk-setup /usr/bin/velkcmd
/usr/share/applications/org.velk.Velk.desktop /usr/share/doc/velk/changelog.gz /usr/share/doc/velk/copyright"
for s in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    expected+=" /usr/share/icons/hicolor/$s/apps/velk.png"
done
expected+=" /usr/share/icons/hicolor/scalable/apps/velk.svg"
for m in mksample velk-setup velk velkcmd; do expected+=" /usr/share/man/man1/$m.1.gz"; done
expected+=" /usr/share/metainfo/org.velk.Velk.metainfo.xml"
actual=$(cd "$root" && find . -type f -o -type l | sed 's/^\.//' | sort)
diff <(tr ' ' '\n' <<<"$expected" | sort) <(echo "$actual") || fail "the package's files differ from the list above"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libtiff6 libsqlite3-0 libqpdf; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
for b in "$root"/usr/bin/*; do
    missing=$(ldd "$b" | grep 'not found' || true)
    [ -z "$missing" ] || fail "$(basename "$b") needs a library that is not on this system: $missing"
done

bin="$root/usr/bin"
grep -q "^Usage: velkcmd" <<<"$("$bin/velkcmd" --help)" || fail "velkcmd --help"
for m in velk velkcmd mksample velk-setup; do
    warnings=$(zcat "$root/usr/share/man/man1/$m.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "man page $m.1: $warnings"
done
for s in 16 22 24 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${s}x${s}/apps/velk.png"
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${s}x${s}" ] || fail "icon $icon is not a ${s}x${s} PNG"
done
out=$(desktop-file-validate "$root/usr/share/applications/org.velk.Velk.desktop" 2>&1) && [ -z "$out" ] ||
    fail "main menu entry: $out"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.velk.Velk.metainfo.xml" >"$tmp/as.log" 2>&1 ||
    { cat "$tmp/as.log" >&2; fail "metainfo does not validate"; }

# A volume set from the packaged mksample, an installation of it by the packaged
# velk-setup, and the program started by the menu entry's Exec line.
"$bin/mksample" --collection tovrin --out "$tmp/sample" --volumes 1 --documents-per-volume 1 --page-scale 0.05 --program "$bin/velk" \
    >/dev/null || fail "mksample from the package"
setup=("$bin/velk-setup" -n --collection tovrin --dir "$tmp/inst/reading room" --drive "$tmp/sample/cd"
       --type restricted --export "$tmp/export" --index "$tmp/sample/app/cum_mark.idx" --paper a4
       --cd-password cd --printer-password lp --group "" --menu-dir "$tmp/menu")
"${setup[@]}" >/dev/null || fail "velk-setup did not make the installation"
entry="$tmp/menu/velk-reading_room.desktop"
out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || fail "velk-setup's menu entry: $out"
[ "$(readlink "$tmp/inst/reading room/velkwm")" = "$bin/velk" ] || fail "the link does not lead to the packaged velk"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
eval "set -- $exec_line"
smoke=$(VELK_SMOKE_EXIT=1 "$@" 2>&1) || fail "the menu entry's program did not start: $smoke"
grep -q "reached the find dialog" <<<"$smoke" || fail "no find dialog: $smoke"
# The volume in the drive velk-setup was told of, reached as the viewer reaches it.
record=$(head -c 26 "$tmp/sample/app/cum_mark.idx")
read -r number volume _ <<<"${record:0:8} ${record:8:10}"
found=$("$bin/velkcmd" --appdir "$tmp/inst/reading room" --collection tovrin locate "$number" "$volume") ||
    fail "velkcmd cannot locate $number on $volume through the installation: $found"
grep -q "$tmp/sample/cd/" <<<"$found" || fail "located outside the drive: $found"
# The questions, answered on standard input: assignments from a tower, the assignment
# database on a drive of its own.
"$bin/mksample" --collection assign --mode tower --out "$tmp/asg" --volumes 2 --documents-per-volume 1 \
    --page-scale 0.05 >/dev/null || fail "mksample of a tower"
answers="assign\n$tmp/inst/asg\ntower\n$tmp/asg/tower\n$tmp/asg/assign\n\n$tmp/export\n\n$tmp/asg/app/cum_assn.idx\n\n"
printf "$answers" | "$bin/velk-setup" --group "" --menu-dir "$tmp/menu" >/dev/null || fail "velk-setup by its questions"
record=$(tail -c 26 "$tmp/asg/app/cum_assn.idx")
read -r number volume _ <<<"${record:0:8} ${record:8:10}"
found=$("$bin/velkcmd" --appdir "$tmp/inst/asg" --collection assign locate "$number" "$volume") ||
    fail "velkcmd cannot locate $number on $volume in the tower: $found"
grep -qi "$tmp/asg/tower/" <<<"$found" || fail "located outside the tower: $found"
# The package's own entry starts velk, which finds the one installation.
smoke=$(VELK_INSTALLATIONS="$tmp/inst" VELK_SMOKE_EXIT=1 "$bin/velk" 2>&1) || fail "velk by its own name: $smoke"
grep -q "reached the find dialog" <<<"$smoke" || fail "velk by its own name: $smoke"
# A second run must not touch the first installation.
before=$(md5sum "$tmp/inst/reading room/VelkWm.INI")
if err=$("${setup[@]}" 2>&1); then fail "velk-setup overwrote an installation"; fi
grep -q "VelkWm.INI already exists" <<<"$err" || fail "refusal does not name the configuration: $err"
[ "$(md5sum "$tmp/inst/reading room/VelkWm.INI")" = "$before" ] || fail "the configuration changed"

[ "${2:-lintian}" = lintian ] || { echo "check_package: ok (lintian left out)"; exit 0; }
lintian --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1 ||
    { cat "$tmp/lintian.log" >&2; fail "lintian reports errors"; }
cat "$tmp/lintian.log"
echo "check_package: ok"
