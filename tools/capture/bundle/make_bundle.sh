#!/usr/bin/env bash
# Makes a self-contained folder of lumenfall-capture for a machine that has a GPU and its driver
# but nothing else of ours: the program, its media, every shared library it links (the GL and
# EGL loaders included), but not the system's own GL/EGL vendor libraries (the GPU driver's, or
# Mesa's), which must come from the machine it runs on. With it: gpu-check.sh and the software
# device's pictures of chosen moments to compare the GPU's with.
#
#   tools/capture/bundle/make_bundle.sh BUILD_DIR OUT_DIR [CAPTURE OPTIONS...]
#
# The capture options say how the reference pictures are drawn (default: --size 1920x1080); the
# check draws the GPU's with the same ones. OUT_DIR is made anew.
set -euo pipefail

build=$(cd "${1:?usage: make_bundle.sh BUILD_DIR OUT_DIR [CAPTURE OPTIONS...]}" && pwd)
out=${2:?usage: make_bundle.sh BUILD_DIR OUT_DIR [CAPTURE OPTIONS...]}
shift 2
reference_options=("$@")
((${#reference_options[@]})) || reference_options=(--size 1920x1080)
here=$(cd "$(dirname "$0")" && pwd)

programs=("$build/bin/lumenfall-capture" "$build/bin/lumenfall-frame-compare")
media=$build/share/lumenfall/Marlow/Media
for need in "${programs[@]}" "$media"; do
    [[ -e $need ]] || { echo "make_bundle.sh: no $need: build lumenfall-capture first" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"/{bin,lib,reference,share/lumenfall/Marlow}
cp "${programs[@]}" "$out/bin/"
cp -r "$media" "$out/share/lumenfall/Marlow/"

# The C library and its loader are the machine's: a program cannot bring its own without its
# own loader. Everything else the programs link comes along, and so do the GL and EGL loaders
# (GLVND), which epoxy opens by name at run time; the vendor libraries they load are left out.
system_own='^(linux-vdso|ld-linux[^ ]*|libc|libm|libdl|libpthread|librt|libresolv)\.so'
loaders=(libEGL.so.1 libOpenGL.so.0 libGLdispatch.so.0)
library_of() { ldconfig -p | awk -v name="$1" '$1 == name && /x86-64/ { print $NF; exit }'; }
{
    for program in "${programs[@]}"; do
        ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }'
    done
    for loader in "${loaders[@]}"; do
        path=$(library_of "$loader")
        [[ -n $path ]] || { echo "make_bundle.sh: no $loader on this machine" >&2; exit 1; }
        echo "$loader $path"
        ldd "$path" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }'
    done
} | sort -u | while read -r name path; do
    [[ $name =~ $system_own ]] && continue
    cp -L "$path" "$out/lib/$name"
done

cat >"$out/lumenfall-capture" <<'LAUNCHER'
#!/bin/sh
# lumenfall-capture with the libraries of this folder (the machine's GPU driver is its own).
here=$(cd "$(dirname "$0")" && pwd)
LD_LIBRARY_PATH="$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" exec "$here/bin/lumenfall-capture" "$@"
LAUNCHER
chmod 755 "$out/lumenfall-capture"
cp "$here/gpu_check.sh" "$out/gpu-check.sh"
chmod 755 "$out/gpu-check.sh"

# The moments: two of each scene, the ones the scene tests draw.
cat >"$out/reference/moments.txt" <<'MOMENTS'
title_3s 3
title_8s 8
swarm_20s 20
swarm_27s 27
planes_40s 40
planes_46s 46.45
rosette_55s 55
rosette_64s 64
finale_85s 85
finale_105s 105
MOMENTS
printf '%s\n' "${reference_options[@]}" >"$out/reference/options.txt"
while read -r name at; do
    "$out/lumenfall-capture" -q --device software "${reference_options[@]}" --at "$at" \
        -o "$out/reference/$name.png"
done <"$out/reference/moments.txt"
echo "$out: $(du -sh "$out" | cut -f1), libraries: $(cd "$out/lib" && echo *)"
