# Shared by the scripts: install Debian packages that are missing, with apt-get.
huedrane_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
# What building the program needs on a fresh Debian 12 machine (Python 3 writes the core's
# translation table).
HUEDRANE_BUILD_PACKAGES=(build-essential cmake pkg-config libpng-dev libjpeg62-turbo-dev libtiff-dev libdeflate-dev python3)
# What the Qt program and its tests need besides: Qt 6 Widgets, Qt's offscreen platform, Qt SVG
# (the tests read the tool-bar drawings with it; libqt6svg6 holds the SVG icon engine and image format
# plug-ins that draw them at run time), Qt's own translations (standard buttons in the system's
# language), Qt Linguist's tools (lrelease builds the English texts into the program), a Japanese
# font.
HUEDRANE_GUI_PACKAGES=(qt6-base-dev qt6-qpa-plugins qt6-svg-dev libqt6svg6 qt6-translations-l10n qt6-tools-dev
  qt6-l10n-tools fonts-ipafont-gothic)
# What the end-to-end test needs: a virtual X server, X input events and window search, the X
# authority tool and window dumps (xwd), and Python 3 for the driver.
HUEDRANE_E2E_PACKAGES=(xvfb xdotool xauth x11-apps python3)
# What packing the Debian package needs: dpkg-shlibdeps (for Depends) and file, with which CPack finds
# the binaries to give it.
HUEDRANE_PACKAGE_PACKAGES=(dpkg-dev file)
# Packs a configured build folder (building what is out of date) into its Debian package and prints
# the package's path.
huedrane_pack() {
  local log deb
  log="$(cd "$1" && cpack -G DEB 2>&1)" || { echo "$log" >&2; return 1; }
  deb="$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log")"
  [ -f "$deb" ] || { echo "$log" >&2; echo "cpack named no package" >&2; return 1; }
  echo "$deb"
}
HUEDRANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HUEDRANE_JOBS="$(nproc 2>/dev/null || echo 2)"
