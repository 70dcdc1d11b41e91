# Sourced by the scripts: installs the Debian packages that are missing.
# Usage: ensure_packages NAME...
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the program needs.
# (cpp-httplib serves the players' page; Xlib and its screen saver extension
# are used by the keyboard loop.)
BUILD_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev libsdl-ttf2.0-dev libx11-dev
                libxss-dev fonts-dejavu-core libcpp-httplib-dev)
# What the tests need on top: GoogleTest, a real X display to type at and
# capture (xmodmap binds the accented letters the cases type), a browser to
# load and print the players' page, and Poppler's tools to read the printed
# PDF back. (scripts/fuzz adds clang for libFuzzer.)
TEST_PACKAGES=(libgtest-dev googletest xvfb xdotool x11-utils x11-apps x11-xserver-utils
               python3 chromium poppler-utils)
# What scripts/package needs on top of the build: dpkg's tools, and the
# checkers of the package, its desktop entry and its AppStream data.
PACKAGE_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream)
# scripts/test --sdl12-compat: SDL 2 installed (it sits beside SDL 1.2), and
# the packages unpacked into build-compat instead of installed.
COMPAT_RUNTIME_PACKAGES=(libsdl2-2.0-0)
COMPAT_UNPACKED_PACKAGES=(libsdl1.2-compat libsdl1.2-compat-shim libsdl1.2-compat-dev
  libsdl-ttf2.0-0 libsdl-ttf2.0-dev)
