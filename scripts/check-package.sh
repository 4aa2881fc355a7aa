#!/usr/bin/env bash
# Builds the Debian package (cpack in build/) and checks it as a user gets it: unpacked into a
# scratch root, its files in place, the desktop entry and the MIME type valid, the manual page
# listing every option of --help, and the installed ktr run from there (--version, --help,
# --create-db, a --save of the demo data) without a display and away from the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

fallito() { echo "check-package: $*" >&2; exit 1; }

rm -f "$build"/ktr_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log" >&2; fallito "cpack non riuscito"; }
deb=$(ls "$build"/ktr_*_"$(dpkg --print-architecture)".deb)
versione=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "ktr_${versione}_$(dpkg --print-architecture).deb" ] || fallito "nome del pacchetto: $deb"

dipende=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6sql6 libpugixml1v5 libsqlite3-0 libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n; do
  [[ ", $dipende," == *", $p"[\ ,]* ]] || fallito "Depends senza $p: $dipende"
done

radice=$(mktemp -d)
trap 'rm -rf "$radice"' EXIT
dpkg-deb -x "$deb" "$radice"
usr=$radice/usr
for f in bin/ktr share/applications/ktr.desktop share/mime/packages/ktr.xml share/icons/hicolor/scalable/apps/ktr.svg \
         share/icons/hicolor/48x48/apps/ktr.png share/icons/hicolor/256x256/apps/ktr.png share/man/man1/ktr.1 \
         share/doc/ktr/README.md; do
  [ -s "$usr/$f" ] || fallito "manca $f"
done
for n in 48 256; do
  file "$usr/share/icons/hicolor/${n}x${n}/apps/ktr.png" | grep -q "PNG image data, $n x $n" || fallito "icona da $n pixel"
done
! readelf -d "$usr/bin/ktr" | grep -qE "RPATH|RUNPATH" || fallito "ktr installato cerca librerie nella cartella di build"
desktop-file-validate "$usr/share/applications/ktr.desktop"
grep -qx "Exec=ktr %F" "$usr/share/applications/ktr.desktop" || fallito "Exec della voce di menu"
mkdir -p "$radice/mime/packages"
cp "$usr/share/mime/packages/ktr.xml" "$radice/mime/packages/"
update-mime-database "$radice/mime" >/dev/null 2>&1 || fallito "update-mime-database rifiuta ktr.xml"
grep -qE "^[0-9]+:application/xbrl\+xml:\*\.xbrl$" "$radice/mime/globs2" || fallito "tipo MIME dei file .xbrl"
grep -q "MimeType=application/xbrl+xml;" "$usr/share/applications/ktr.desktop" || fallito "MimeType della voce di menu"

# The installed program, with a home of its own, no display and no Qt platform chosen.
casa=$radice/casa
mkdir -p "$casa"
mkdir -m 700 "$casa/run"
ktr() {
  (cd "$casa" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$casa" XDG_DATA_HOME="$casa/dati" \
     XDG_CONFIG_HOME="$casa/config" XDG_CACHE_HOME="$casa/cache" XDG_RUNTIME_DIR="$casa/run" "$usr/bin/ktr" "$@")
}
[ "$(ktr --version)" = "ktr $versione" ] || fallito "ktr --version: $(ktr --version)"
aiuto=$(ktr --help)
opzioni=$(grep -oE '^  (-[a-zA-Z], )?--[a-z-]+' <<<"$aiuto" | grep -oE -- '--[a-z-]+')
[ "$(wc -l <<<"$opzioni")" -gt 10 ] || fallito "ktr --help: $aiuto"
for o in $opzioni; do
  grep -qF "\\fB${o//-/\\-}\\fR" "$usr/share/man/man1/ktr.1" || fallito "ktr.1 non descrive $o"
done

rossi=(--company "Rossi & Figli S.r.l." --year 2025 --month Dicembre --save)
uscita=$(ktr "${rossi[@]}") || fallito "--save al primo avvio: $uscita"
grep -qP "^SALVATO R001\t2025\t12\t1$" <<<"$uscita" || fallito "--save al primo avvio: $uscita"
ktr --create-db "$casa/nuovo.sqlite" >/dev/null
dati=$casa/dati/KTR/ktr
uscita=$(ktr --db "$casa/nuovo.sqlite" --app-path "$dati" --working-folder "$dati/Lavoro" "${rossi[@]}") ||
  fallito "--save su un database di --create-db: $uscita"
grep -qP "^SALVATO R001\t2025\t12\t1$" <<<"$uscita" || fallito "--save su un database di --create-db: $uscita"
echo "check-package: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB) installato e provato"
