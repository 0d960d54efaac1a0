#!/usr/bin/env bash
# cmake --install into a scratch prefix: programs, man pages, icons and menu entries in
# place, the entries valid, and each one starting its program once mksample has made the
# installation it names.
set -euo pipefail
build=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velk-install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for p in velk velkcmd mksample; do
    [ -x "$prefix/bin/$p" ] || fail "bin/$p missing"
done
"$prefix/bin/velkcmd" --help >/dev/null || fail "installed velkcmd does not run"
for m in velk velkcmd mksample; do
    page="$prefix/share/man/man1/$m.1"
    [ -f "$page" ] || fail "man page $m.1 missing"
    warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "man page $m.1: $warnings"
done
for s in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${s}x${s}/apps/velk.png"
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${s}x${s}" ] || fail "icon $icon is not a ${s}x${s} PNG"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/velk.svg" || fail "scalable icon missing"

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is not installed (desktop-file-utils)"
for pair in quorvel:velkwp tovrin:velkwm assign:velkwa; do
    id=${pair%%:*} link=${pair##*:}
    entry="$prefix/share/applications/velk-$id.desktop"
    [ -f "$entry" ] || fail "menu entry velk-$id.desktop missing"
    out=$(desktop-file-validate "$entry" 2>&1) || fail "velk-$id.desktop: $out"
    [ -z "$out" ] || fail "velk-$id.desktop: $out"
    target="$prefix/var/lib/velk/$id/app/$link"
    grep -qx "TryExec=$target" "$entry" || fail "velk-$id.desktop: TryExec is not $target"
    grep -qx "Exec=\"$target\"" "$entry" || fail "velk-$id.desktop: Exec is not $target"
    grep -qx 'Categories=Office;Viewer;' "$entry" || fail "velk-$id.desktop: categories"
    # The installation the entry names, made for the installed program.
    "$prefix/bin/mksample" --collection "$id" --out "$prefix/var/lib/velk/$id" --program "$prefix/bin/velk" \
        --volumes 1 --documents-per-volume 1 --page-scale 0.05 >/dev/null
    [ -x "$target" ] || fail "$target is not an executable link after mksample"
    [ "$("$target" --version)" = "Velk 0.1.0" ] || fail "$target --version"
    [ -s "$(dirname "$target")/$([ "$id" = tovrin ] && echo velkwm || echo velkwp).hlp" ] || fail "no help file"
done

# A staged install (packaging) names the final paths, not the staging directory.
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/velk >/dev/null
staged="$tmp/stage/opt/velk/share/applications/velk-tovrin.desktop"
[ -f "$staged" ] || fail "staged menu entry missing"
grep -qx 'TryExec=/opt/velk/var/lib/velk/tovrin/app/velkwm' "$staged" || fail "staged TryExec: $(grep TryExec "$staged")"
[ -x "$tmp/stage/opt/velk/bin/velk" ] || fail "staged program missing"
echo "check_install: ok"
