#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root and checks what a user's system would get: the files, for
# the architecture the tree is built for, the declared run-time dependencies,
# which apt can meet, valid metadata, and lintian's verdict.
#   package_test.sh BUILD_DIR [ARCHITECTURE [EMULATOR...]]
# ARCHITECTURE is the machine's own by default; the arm64 tree's program
# runs under the EMULATOR its tests run under (qemu-user).
set -euo pipefail

build_dir=$1
architecture=${2:-$(dpkg --print-architecture)}
emulator=("${@:3}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build_dir" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log") || { cat "$scratch/cpack.log"; exit 1; }
deb=$(echo "$scratch"/out/*.deb)
[[ -f $deb ]] || { echo "FAIL: no package was made"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root

for file in usr/bin/pentagram \
            usr/share/applications/pentagram.desktop \
            usr/share/metainfo/pentagram.metainfo.xml \
            usr/share/icons/hicolor/256x256/apps/pentagram.png \
            usr/share/icons/hicolor/scalable/apps/pentagram.svg \
            usr/share/man/man6/pentagram.6.gz \
            usr/share/doc/pentagram/copyright \
            usr/share/doc/pentagram/changelog.gz; do
    [[ -f $root/$file ]] || fail "$file is not in the package"
done
[[ -e $root/usr/bin/pentagram-snapshot ]] && fail "the snapshot tool is in the package"
[[ -x $root/usr/bin/pentagram ]] || fail "usr/bin/pentagram is not executable"
[[ $(dpkg-deb -f "$deb" Architecture) == "$architecture" ]] ||
    fail "the package is for $(dpkg-deb -f "$deb" Architecture), not $architecture"
case $architecture in
    amd64) machine='x86-64' ;;
    arm64) machine='ARM aarch64' ;;
    *) machine=$architecture ;;
esac
file -L "$root/usr/bin/pentagram" | grep -q "$machine" || fail "usr/bin/pentagram is not built for $architecture"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libxcb1 libxcb-shm0 libxcb-present0 libxcb-xfixes0 libwayland-client0 libdecor-0-0 \
    libdecor-0-plugin-1-cairo libc6 libstdc++6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
# X through XCB alone; SDL only for the error box, loaded when one is shown.
for library in libx11-6 libsdl2; do
    [[ $depends == *"$library"* ]] && fail "Depends names $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *libsdl2-2.0-0* ]] || fail "Recommends lacks libsdl2-2.0-0"
# The program draws every pixel itself: no drawing library comes with it.
[[ $depends == *libcairo* ]] && fail "Depends names cairo: $depends"

desktop-file-validate "$root/usr/share/applications/pentagram.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root/usr/share/metainfo/pentagram.metainfo.xml" >"$scratch/appstream.log" ||
    { cat "$scratch/appstream.log"; fail "the metainfo is not valid"; }
file "$root/usr/share/icons/hicolor/256x256/apps/pentagram.png" | grep -q 'PNG image data, 256 x 256' ||
    fail "the PNG icon is not a 256 x 256 PNG"
zcat "$root/usr/share/man/man6/pentagram.6.gz" | grep -q '^\.SH EXIT STATUS' || fail "the manual page has no exit status"

# The packaged program itself runs: with no display it says so and exits 1.
set +e
report=$(env -u DISPLAY -u WAYLAND_DISPLAY "${emulator[@]}" "$root/usr/bin/pentagram" 2>&1)
status=$?
set -e
[[ $status -eq 1 && $report == "pentagram: run-time error: cannot open the window: "* ]] ||
    fail "the packaged program said '$report' with status $status"

# apt can meet what it depends on, for its architecture, without installing it.
apt-get --simulate install "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt cannot install it"; }

# lintian exits 1 when it finds errors and 2 when it could not check at all;
# either fails, and so does a machine without it.
if ! command -v lintian >/dev/null; then
    fail "required: lintian is not installed (scripts/install-deps.sh --test installs it)"
else
    set +e
    lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>"$scratch/lintian.err"
    status=$?
    set -e
    if ((status == 1)) || grep -q '^E:' "$scratch/lintian.log"; then
        cat "$scratch/lintian.log"
        fail "lintian reports errors"
    elif ((status != 0)); then
        cat "$scratch/lintian.err"
        fail "lintian could not check the package (status $status)"
    fi
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "1 passed, 0 failed"
