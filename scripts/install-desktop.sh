#!/usr/bin/env bash
# Installs the built orvix program with its resources, desktop entry, document type and icon for one user
# (default prefix ~/.local) or system-wide (--prefix /usr/local, as root). --uninstall removes them again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-"$root/build"}
prefix="$HOME/.local"
action=install
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --prefix=*) prefix="${1#--prefix=}"; shift ;;
    --uninstall) action=uninstall; shift ;;
    -h|--help) echo "usage: $0 [--prefix DIR] [--uninstall]"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

bin="$prefix/bin/orvix"
share="$prefix/share"
desktop="$share/applications/com.tandrel.orvix.desktop"
mime="$share/mime/packages/com.tandrel.orvix.xml"
icon="$share/icons/hicolor/scalable/apps/com.tandrel.orvix.svg"

refresh_caches() {
  command -v update-mime-database >/dev/null && update-mime-database "$share/mime" || true
  command -v update-desktop-database >/dev/null && update-desktop-database "$share/applications" || true
  command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$share/icons/hicolor" 2>/dev/null || true
}

if [ "$action" = uninstall ]; then
  rm -f "$bin" "$desktop" "$mime" "$icon"
  rm -rf "$share/orvix"
  refresh_caches
  echo "Orvix removed from $prefix"
  exit 0
fi

app="$BUILD_DIR/src/app/orvix"
[ -x "$app" ] || { echo "build Orvix first (bash scripts/build.sh): $app is missing" >&2; exit 1; }
install -d "$prefix/bin" "$share/orvix" "$(dirname "$desktop")" "$(dirname "$mime")" "$(dirname "$icon")"
install -m 755 "$app" "$bin"
# The program finds its resources in ../share/orvix beside itself.
cp -R "$root/resources/." "$share/orvix/"
sed "s|^Exec=orvix|Exec=$bin|" "$root/resources/desktop/com.tandrel.orvix.desktop" > "$desktop"
install -m 644 "$root/resources/desktop/com.tandrel.orvix.xml" "$mime"
install -m 644 "$root/resources/icons/Orvix.svg" "$icon"
refresh_caches
echo "Orvix installed in $prefix (program $bin)"
