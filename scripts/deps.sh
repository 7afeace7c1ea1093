# Debian packages the project needs, and a function that installs the
# missing ones. Sourced by run.sh, test.sh and .ci/run.

# Building and running the viewer.
EF_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libpng-dev libturbojpeg0-dev libgl-dev libegl-dev
  libgl1-mesa-dri libegl-mesa0 libgles2
)
# Tests: GoogleTest, a virtual X server for the real window (and a window
# manager, openbox, to minimise it; XFixes to read its cursor), the Windows
# cross build and Wine to compare with the real platform's behaviour, weston
# for a Wayland run, the browser build (Emscripten, stb_image) with
# headless Chromium to run it, and appstreamcli for the package's metainfo.
EF_TEST_PACKAGES=(
  libgtest-dev libgmock-dev
  xvfb xdotool x11-utils imagemagick unzip openbox libxfixes-dev weston appstream
  g++-mingw-w64-x86-64 wine64 wine
  clang libclang-rt-14-dev valgrind clang-format
  emscripten libstb-dev chromium chromium-driver python3-selenium
)
# CI's checks on fresh Debian roots (scripts/check_fresh_machine.sh,
# scripts/check_deb_package.sh): a minimal root to try the README's commands
# and the .deb in, and lintian for the package.
EF_CHECK_PACKAGES=(
  mmdebstrap lintian
)

# The arm64 cross build and its run under emulation (scripts/check_arm64.sh,
# after `dpkg --add-architecture arm64`): Debian's cross toolchain, the
# :arm64 libraries the build links and Mesa's arm64 drivers for qemu.
EF_ARM64_PACKAGES=(
  crossbuild-essential-arm64 qemu-user-static file arch-test
  libsdl2-dev:arm64 libpng-dev:arm64 libturbojpeg0-dev:arm64 libgl-dev:arm64 libegl-dev:arm64
  libgl1-mesa-dri:arm64 libegl-mesa0:arm64
)

# ef_ensure_packages PKG...: installs those not yet installed (as root, or
# through sudo when available).
ef_ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
