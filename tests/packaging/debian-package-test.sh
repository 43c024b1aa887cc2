#!/usr/bin/env bash
# cpack builds the Debian package: it holds both programs, the private libraries, the
# page with its link to the system's Leaflet and the desktop files, and depends on the
# libraries the programs link and on the programs and plugins the viewer calls.
# usage: debian-package-test.sh BUILD_DIR PROGRAM_DIR (the private folder under the prefix)
set -euo pipefail
build=$(cd "$1" && pwd)
lib=./usr/$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log") || {
  cat "$work/cpack.log" >&2
  exit 1
}
deb=$(ls "$work"/out/tarvo-viewer_*.deb)
fail=0
dpkg-deb --info "$deb" >"$work/info"
depends=$(sed -n 's/^ Depends: //p' "$work/info")
for wanted in libqt6widgets6 libqt6webenginecore6 libgstreamer1.0-0 libc6 gstreamer1.0-libav \
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad libjs-leaflet dosfstools mtools fonts-nanum qt6-qpa-plugins; do
  if ! grep -Eq "(^|, )$wanted( |,|$)" <<<"$depends"; then
    echo "Depends lacks $wanted: $depends" >&2
    fail=1
  fi
done

dpkg-deb --contents "$deb" >"$work/contents"
for wanted in ./usr/bin/tarvo-viewer ./usr/bin/tarvo-tool $lib/libkovr.so \
  $lib/libtarvo_mapbrowser.so $lib/English.dll $lib/Spanish.dll \
  $lib/format.sh ./usr/share/tarvo-viewer/map/map.htm \
  ./usr/share/applications/org.tarvo.viewer.desktop ./usr/share/metainfo/org.tarvo.viewer.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/org.tarvo.viewer.svg ./usr/share/icons/hicolor/48x48/apps/org.tarvo.viewer.png \
  ./usr/share/man/man1/tarvo-viewer.1.gz ./usr/share/man/man1/tarvo-tool.1.gz; do
  if ! awk '{print $6}' "$work/contents" | grep -qx "$wanted"; then
    echo "the package lacks $wanted" >&2
    fail=1
  fi
done
if ! grep -q ' \./usr/share/tarvo-viewer/map/leaflet -> /usr/share/javascript/leaflet$' "$work/contents"; then
  echo "the page's leaflet is no link to the system's:" >&2
  grep leaflet "$work/contents" >&2 || true
  fail=1
fi

# The programs find the card library in the private folder.
dpkg-deb -x "$deb" "$work/root"
runpath=$(readelf -d "$work/root/usr/bin/tarvo-viewer" | sed -n 's/.*R.*PATH.*\[\(.*\)\]/\1/p')
if [ "$runpath" != "\$ORIGIN/../$2" ]; then
  echo "tarvo-viewer's run path is '$runpath'" >&2
  fail=1
fi
exit $fail
