#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators, and a menu
# database made from the entry offers the viewer for AVI files.
# usage: desktop-files-test.sh SOURCE_PACKAGING_DIR BUILD_PACKAGING_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
id=org.tarvo.viewer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$source_dir/$id.desktop"
appstreamcli validate --no-net "$build_dir/$id.metainfo.xml"

desktop-file-install --dir="$work/applications" "$source_dir/$id.desktop"
update-desktop-database "$work/applications"
grep -qx "video/x-msvideo=$id.desktop;" "$work/applications/mimeinfo.cache" || {
  echo "the menu database does not offer $id for video/x-msvideo:" >&2
  cat "$work/applications/mimeinfo.cache" >&2
  exit 1
}
grep -qx 'Exec=tarvo-viewer %F' "$work/applications/$id.desktop"
