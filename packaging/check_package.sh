#!/usr/bin/env bash
# Checks the Debian package as a user meets it: lintian finds no error, apt-get installs it, the
# installed capture tool draws from a folder outside the source tree what the build tree draws,
# the manual pages, desktop entry and AppStream metadata are found and valid, and removing the
# package leaves none of its files. Run as root on a machine where lumenfall is not installed
# otherwise (./build.sh package --check does); it removes the package however it ends.
#
#   packaging/check_package.sh PACKAGE.deb BUILD_FOLDER
set -euo pipefail

deb=$(realpath "${1:?usage: $0 PACKAGE.deb BUILD_FOLDER}")
build=$(realpath "${2:?usage: $0 PACKAGE.deb BUILD_FOLDER}")
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
installed=0
cleanup() {
    if ((installed)); then
        apt-get remove -y -qq lumenfall >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if dpkg-query -W -f='${Status}' lumenfall 2>/dev/null | grep -q "ok installed"; then
    fail "lumenfall is installed already; remove it first (apt-get remove lumenfall)"
fi

echo "== lintian"
# Warnings are printed and allowed; errors fail.
lintian --fail-on error "$deb" || fail "lintian reports errors"

echo "== install"
apt-get install -y -qq "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }
installed=1
dpkg-query -L lumenfall >"$work/files"
while read -r path; do
    [[ -e $path ]] || fail "$path is listed by the package but not installed (a dpkg path-exclude?)"
done <"$work/files"

echo "== the installed programs"
[[ $(command -v lumenfall) == /usr/bin/lumenfall ]] || fail "lumenfall is not /usr/bin/lumenfall"
version=$(dpkg-query -W -f='${Version}' lumenfall)
[[ $(lumenfall --version) == "lumenfall $version" ]] || fail "lumenfall --version: $(lumenfall --version)"
[[ $(lumenfall-capture --version) == "lumenfall-capture $version" ]] || fail "lumenfall-capture --version"
# 46.25 s is a white flash between two scenes, 55 s the rosette of blades: both need all media.
for at in 46.25 55; do
    (cd "$work" && lumenfall-capture --at "$at" -q -o "installed-$at.png") ||
        fail "the installed lumenfall-capture --at $at"
    "$build/bin/lumenfall-capture" --at "$at" -q -o "$work/built-$at.png"
    cmp -s "$work/installed-$at.png" "$work/built-$at.png" ||
        fail "the installed program draws another picture at $at s than the build tree's"
done

echo "== manual pages, desktop entry, AppStream metadata"
man -w lumenfall >/dev/null || fail "man -w lumenfall"
man -w lumenfall-capture >/dev/null || fail "man -w lumenfall-capture"
desktop-file-validate /usr/share/applications/lumenfall.desktop || fail "desktop-file-validate"
[[ $(find /usr/share/applications -name '*.desktop' -exec grep -l '^Exec=lumenfall' {} + |
     wc -l) -eq 1 ]] || fail "not exactly one desktop entry for lumenfall"
# --no-net: the screenshot's address is not fetched (the machine may have no network).
appstreamcli validate --no-net /usr/share/metainfo/*lumenfall*.metainfo.xml ||
    fail "appstreamcli validate"
for size in 32 48 128 256; do
    icon=/usr/share/icons/hicolor/${size}x${size}/apps/lumenfall.png
    [[ $(file -b "$icon" 2>/dev/null) == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
        fail "$icon is missing or not $size pixels"
done

echo "== remove"
apt-get remove -y -qq lumenfall >/dev/null
installed=0
! dpkg-query -W lumenfall >/dev/null 2>&1 || fail "dpkg still knows lumenfall after its removal"
left=()
while read -r path; do
    # Folders the package shares with others (/usr/bin, ...) stay; its own must go.
    if [[ -e $path && (! -d $path || $path == *lumenfall*) ]]; then
        left+=("$path")
    fi
done <"$work/files"
((${#left[@]} == 0)) || fail "left after removal: ${left[*]}"
echo "the package installs, works, validates and removes cleanly: $(basename "$deb")"
