#!/usr/bin/env bash
# Installs the Debian packages that building (and, with --test, testing) needs,
# asking apt only for what is missing so that a ready machine starts at once.
set -euo pipefail

# The X11 window is XCB's alone; SDL's header gives the error box's type (and
# SDL's library shows the box, loaded only then).
build_packages=(cmake g++ make pkg-config libsdl2-dev libcairo2-dev libxcb1-dev libxcb-shm0-dev libxcb-present-dev
    libxcb-xfixes0-dev libwayland-dev libdecor-0-dev wayland-protocols)
# Making the Debian package and checking it.
package_packages=(dpkg-dev file desktop-file-utils appstream lintian)
# make lint and make lint-web (flake8 for the Python; ESLint comes from npm,
# at the versions package-lock.json pins), and the README's animation.
lint_packages=(clang-format clang-tidy flake8)
animation_packages=(imagemagick)
# The Windows build: the cross-compiler (POSIX threads), GoogleTest's
# sources to build with it, NSIS for the installer, and Wine to test under.
windows_packages=(g++-mingw-w64-x86-64-posix googletest nsis wine wine64)
# ARM (arm64): Debian's cross compiler, qemu-user to run what it builds, and
# the arm64 libraries the program links (installed beside the amd64 ones),
# GoogleTest's and the cross pkg-config; the decorations' plugin for the
# program to run with, and cairo and SDL's header for the tools and the
# error box, as the amd64 build has them.
arm64_packages=(crossbuild-essential-arm64 qemu-user libxcb1-dev:arm64 libxcb-shm0-dev:arm64
    libxcb-present-dev:arm64 libxcb-xfixes0-dev:arm64 libwayland-dev:arm64 libdecor-0-dev:arm64
    libdecor-0-plugin-1-cairo:arm64 libgtest-dev:arm64 pkgconf:arm64 libcairo2-dev:arm64 libsdl2-dev:arm64)
# The browser's page, built with Debian's emscripten, and what its tests
# drive it with: headless Chromium through chromedriver and Selenium.
web_packages=(emscripten cmake make)
web_test_packages=(chromium chromium-driver python3-selenium)
# python3 prints the test summary at the end of CI's run.
test_packages=(googletest libgtest-dev xvfb openbox libx11-dev libxtst-dev valgrind x11-utils locales python3)
# The window managers of the desktops the program is tested under, each in
# a D-Bus session of its own as a desktop session runs it; dbus-launch, which
# starts a bus for a display that has none when a program asks for one.
window_manager_packages=(dbus dbus-x11 xfwm4 fluxbox icewm metacity i3-wm twm kwin-x11 mutter)
# The Wayland compositors the native window is tested under (sway, weston,
# KDE's kwin), what looks at and clicks it there, and XWayland for the
# benchmark's comparison.
wayland_packages=(sway weston kwin-wayland plasma-wayland-protocols grim jq libdecor-0-plugin-1-cairo xwayland)
# Anti-Grain Geometry: the frame benchmark's second contender, next to cairo;
# XDamage: the pace benchmark counts the pictures that reach the window.
# The benchmarks are built with the tests, so that they are linted and kept
# building.
bench_packages=(libagg-dev libxdamage-dev)

packages=("${build_packages[@]}")
case "${1:-}" in
    --test) packages+=("${test_packages[@]}" "${bench_packages[@]}" "${window_manager_packages[@]}" "${wayland_packages[@]}" "${package_packages[@]}" "${web_test_packages[@]}") ;;
    --package) packages+=("${package_packages[@]}") ;;
    --lint) packages+=("${lint_packages[@]}") ;;
    --animation) packages+=("${animation_packages[@]}") ;;
    --windows) packages+=("${windows_packages[@]}") ;;
    --web) packages+=("${web_packages[@]}") ;;
    --arm64) packages+=("${arm64_packages[@]}" "${package_packages[@]}") ;;
    "") ;;
    *) echo "usage: install-deps.sh [--test|--package|--lint|--animation|--windows|--web|--arm64]" >&2; exit 2 ;;
esac

as_root() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# The arm64 packages install beside the amd64 ones once dpkg knows the
# architecture.
if [[ "${1:-}" == "--arm64" ]] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    as_root dpkg --add-architecture arm64
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# ESLint is installed with npm, which comes with Node.js; where neither is
# there, Debian's.
if [[ "${1:-}" == "--lint" ]] && ! command -v npm >/dev/null 2>&1; then
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends npm
fi

# sway refuses to run as root: the Wayland tests run it, and the program, as
# an unprivileged user of their own.
if [[ "${1:-}" == "--test" && $(id -u) -eq 0 ]] && ! id pentagram-test >/dev/null 2>&1; then
    useradd --system --user-group --no-create-home --shell /usr/sbin/nologin pentagram-test
fi

# The title's decimal separator follows the user's locale; the tests check it
# with a Finnish one (a comma), a Pashto one (U+066B, two bytes of UTF-8) and
# a Latin-1 English one to mix with Pashto's numbers, which a fresh machine
# does not have. Each missing one is listed in locale.gen, so that a later
# locale-gen keeps it, and made with localedef alone: locale-gen would make
# the archive anew from locale.gen and drop the machine's other locales.
if [[ "${1:-}" == "--test" ]]; then
    # Each as locale.gen names it, its character set, and as locale -a lists it.
    for wanted in "fi_FI.UTF-8 UTF-8 fi_FI.utf8" "ps_AF.UTF-8 UTF-8 ps_AF.utf8" \
        "en_US.ISO-8859-1 ISO-8859-1 en_US.iso88591"; do
        read -r name charset listed <<<"$wanted"
        if ! locale -a 2>/dev/null | grep -qix "$listed"; then
            as_root sed -i "s/^# *\($name $charset\)$/\1/" /etc/locale.gen
            grep -qx "$name $charset" /etc/locale.gen || echo "$name $charset" | as_root tee -a /etc/locale.gen >/dev/null
            as_root localedef -i "${name%%.*}" -c -f "$charset" -A /usr/share/locale/locale.alias "$name"
        fi
    done
fi

# What the suite needs is there, or the set-up fails here with a line for
# each thing missing: a test that found it missing would fail less clearly.
if [[ "${1:-}" == "--test" ]]; then
    missing_requirements=0
    require() {
        if ! eval "$2" >/dev/null 2>&1; then
            echo "required for the tests, and missing: $1" >&2
            missing_requirements=1
        fi
    }
    for wanted in fi_FI.utf8 ps_AF.utf8 en_US.iso88591; do
        require "the ${wanted} locale" "locale -a | grep -qix '$wanted'"
    done
    for command in Xvfb valgrind lintian mutter sway weston kwin_x11 kwin_wayland dbus-send dbus-launch wayland-scanner python3; do
        require "$command" "command -v $command"
    done
    require "the user pentagram-test" "[[ \$(id -u) -ne 0 ]] || id pentagram-test"
    ((missing_requirements == 0)) || exit 1
fi
