#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12: the system packages that are
# missing, then the npm packages pinned by package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ pkg-config
  qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev
  qtmultimedia5-dev qtpositioning5-dev qtlocation5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2
  qml-module-qtquick-templates2 qml-module-qtquick-layouts qml-module-qttest
  qml-module-qtmultimedia qml-module-qtpositioning qml-module-qtlocation
  libqt5multimedia5-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  liblmdb-dev libflatbuffers-dev flatbuffers-compiler libwebsocketpp-dev libasio-dev libssl-dev
  zlib1g-dev libxlsxwriter-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libgl1-mesa-dri python3-openpyxl python3-botocore poppler-utils ffmpeg openssl xvfb xauth
  kimageformat-plugins libheif-examples curl qml-module-qt-labs-platform qttranslations5-l10n
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ! command -v npm >/dev/null; then
  echo "npm is missing: this machine's Node.js 20 and npm are expected on PATH" >&2
  exit 1
fi
if [ ! -d node_modules ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  # A link to another checkout's folder: npm would empty that folder through it. This checkout
  # gets a folder of its own instead.
  [ -L node_modules ] && rm node_modules
  npm ci --no-audit --no-fund
fi
