#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the build as a Debian package and checks it: the control fields a user
# and apt see (maintainer with an address, the font the about box needs, a
# description that names the tools and vfdctl), then lintian, which must find
# neither errors nor warnings. Skipped (exit 77) where Debian's packaging tools
# are not installed (scripts/deps --test installs them).
#
#   check_deb.sh CPACK BUILD_DIR OUT_DIR SANITIZED
set -euo pipefail
cpack_command="$1"
build="$2"
out="$3"
sanitized="$4"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in dpkg-deb dpkg-shlibdeps lintian; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/deps --test installs it)"
        exit 77
    fi
done

rm -rf "$out"
if ! "$cpack_command" --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out.log" 2>&1; then
    cat "$out.log"
    echo "FAIL: cpack could not make the package"
    exit 1
fi
debs=("$out"/vfdtool_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single package in $out"; exit 1; }
deb="${debs[0]}"

field() { dpkg-deb --field "$deb" "$1"; }
grep -Eq '^[^<>]+ <[^@<> ]+@[^@<> ]+>$' <<<"$(field Maintainer)" ||
    fail "Maintainer '$(field Maintainer)' has no address"
grep -q "fonts-wqy-microhei" <<<"$(field Depends)" ||
    fail "Depends '$(field Depends)' pulls in no font with the about box's Chinese glyphs"
description="$(field Description)"
grep -q "Tools menu" <<<"$description" || fail "the description does not tell of the Tools"
grep -q "vfdctl" <<<"$description" || fail "the description does not name vfdctl"

# Errors and warnings fail; of lintian's information, the programs'
# hardening does too: position-independent, bound at load time, read-only
# relocations. Its word on the C library's checked functions is a guess: a
# program whose every call is proven safe while compiling (as vfdsim's reads
# into buffers of known size are) is told it has none. So that one is taken
# from the programs themselves: built with the checks, at least one of them
# calls a checked function. Those come with optimisation, which a sanitizer
# build has not, so there that is not asked.
report="$out/lintian.txt"
lintian --display-info --fail-on error,warning \
    --suppress-tags hardening-no-fortify-functions "$deb" >"$report" 2>&1 ||
    fail "lintian found errors or warnings in $(basename "$deb")"
cat "$report"
grep -q "hardening-" "$report" && fail "lintian finds the programs not fully hardened"
if [ "$sanitized" != "ON" ]; then
    unpacked="$out/unpacked"
    dpkg-deb --extract "$deb" "$unpacked"
    checked=0
    for program in vfdtool vfdctl vfdsim; do
        imports="$(nm -D --undefined-only "$unpacked/usr/bin/$program")"
        grep -v __stack_chk_fail <<<"$imports" | grep -q '__[a-z_]*_chk' && checked=$((checked + 1))
    done
    [ "$checked" -gt 0 ] || fail "no program calls a checked C library function (_FORTIFY_SOURCE)"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "$(basename "$deb"): control fields and lintian: all checks passed"
