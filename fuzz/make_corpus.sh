#!/usr/bin/env bash
# Writes the seed corpus of every fuzz target from small sample installations.
# Usage: fuzz/make_corpus.sh MKSAMPLE [CORPUS_DIR]   (default: fuzz/corpus beside this script)
set -euo pipefail
mksample=$1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out=${2:-$here/corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for c in quorvel tovrin assign; do
    "$mksample" --collection "$c" --out "$work/$c" --volumes 1 --documents-per-volume 3 \
        --page-scale 0.05 --seed 7 >/dev/null 2>&1
done
"$mksample" --collection quorvel --out "$work/hostile" --volumes 1 --documents-per-volume 3 \
    --page-scale 0.05 --seed 7 --hostile >/dev/null 2>&1 || true

# seed TARGET NAME PREFIX_BYTES FILE: the prefix (printf format) and then the file.
seed() {
    mkdir -p "$out/$1"
    { printf "$3"; cat "$4"; } >"$out/$1/$2"
}
first_number() { head -c 8 "$1" | tr -d ' '; }

q=$work/quorvel t=$work/tovrin a=$work/assign
seed config quorvel '\000' "$q/app/VelkWp.INI"
seed config tovrin '\001' "$t/app/VelkWm.INI"
seed config assign '\000' "$a/app/VelkWp.INI"
seed coverage patents '' "$q/app/p_RegNo.ASC"
seed coverage marks '' "$t/app/m_RegNo.ASC"
seed cumindex patents "$(first_number "$q/app/cum.idx")\n" "$q/app/cum.idx"
seed cumindex marks "$(first_number "$t/app/cum_mark.idx")\n" "$t/app/cum_mark.idx"
seed cumindex assign "$(first_number "$a/app/cum_assn.idx")\n" "$a/app/cum_assn.idx"
seed openidx patents "$(head -c 9 "$q/cd/open.idx" | tr -d ' ')\n" "$q/cd/open.idx"
seed openidx marks "$(head -c 9 "$t/cd/open.idx" | tr -d ' ')\n" "$t/cd/open.idx"

n=0
for f in "$q"/cd/DOCS/*.a1a "$q"/cd/DOCS/*a; do
    [ -f "$f" ] || continue
    case "$f" in *.a1a) kind='\000' ;; *) kind='\002' ;; esac
    seed pagemap "text$((n += 1))" "$kind" "$f"
done
for f in "$q"/cd/DOCS/*.TIF; do
    [ -f "$f" ] || continue
    seed pagemap "embedded$((n += 1))" '\001' "$f"
    seed tiff "$(basename "$f")" '' "$f"
done
for f in "$q"/cd/DOCS/*.IMG; do
    [ -f "$f" ] || continue
    seed container "$(basename "$f")-1" '\000' "$f"
    seed container "$(basename "$f")-2" '\001' "$f"
done
for f in "$t"/cd/MARKS/*.TIF "$a"/cd/*/*.BIN; do
    [ -f "$f" ] || continue
    seed tiff "$(basename "$(dirname "$f")")-$(basename "$f")" '' "$f"
done
for f in "$work"/hostile/cd/DOCS/*; do
    [ -f "$f" ] || continue
    case "$f" in
        *.IMG) seed container "hostile-$(basename "$f")" '\000' "$f" ;;
        *.TIF) seed tiff "hostile-$(basename "$f")" '' "$f" ;;
    esac
done
seed import patents '\000' "$q/c/VELK/IMPORT/NUMBERS.TXT"
seed import marks '\001' "$t/c/VELK/IMPORT/NUMBERS.TXT"
seed import assign '\002' "$a/c/VELK/IMPORT/NUMBERS.TXT"
{ printf '\000'; printf '5123456\r\nD452130,\t6607535 RE12345\r\n'; } >"$out/import/clipboard"

seed help patents '' "$q/app/velkwp.hlp"
seed help marks '' "$t/app/velkwm.hlp"
printf '?_\003\000old binary help' >"$out/help/old-format"

# Raw CCITT data: the first page of a container with its width and height in front.
python3 - "$q"/cd/DOCS/*.IMG "$out/ccitt" <<'PY'
import os, struct, sys
*files, dest = sys.argv[1:]
os.makedirs(dest, exist_ok=True)
for i, path in enumerate(files):
    b = open(path, 'rb').read()
    if len(b) < 28: continue
    off = struct.unpack_from('<I', b, 20)[0]
    if off + 12 > len(b): continue
    w, h = struct.unpack_from('<HH', b, off + 6)
    nxt = struct.unpack_from('<I', b, 24)[0] if struct.unpack_from('<H', b, 18)[0] > 1 else len(b)
    data = b[off + 12:nxt if nxt > off else len(b)]
    open(os.path.join(dest, f'page{i}'), 'wb').write(struct.pack('<HHBB', w, h, 0, 2) + data)
PY
du -sh "$out"
