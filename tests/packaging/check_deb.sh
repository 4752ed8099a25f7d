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
# hardening does too (position-independent, bound at load time with read-only
# relocations, the C library's checked functions). Those checked functions
# come with optimisation, which a sanitizer build has not: there, and only
# there, lintian is not asked about them.
suppress=()
[ "$sanitized" = "ON" ] && suppress=(--suppress-tags hardening-no-fortify-functions)
report="$out/lintian.txt"
lintian --display-info --fail-on error,warning "${suppress[@]}" "$deb" >"$report" 2>&1 ||
    fail "lintian found errors or warnings in $(basename "$deb")"
grep -q "hardening-" "$report" && fail "lintian finds the programs not fully hardened"
cat "$report"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "$(basename "$deb"): control fields and lintian: all checks passed"
