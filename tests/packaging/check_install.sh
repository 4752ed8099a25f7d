#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a staging folder and checks what lands there: the
# programs, a valid desktop entry whose command and icon are installed, valid
# AppStream metainfo that launches that entry and names every program, man
# pages that cover every option the programs' --help lists and carry the
# release's date, their Chinese translations, vfdctl's bash completion,
# README, copyright file and changelog, and nothing else.
#
#   check_install.sh CMAKE BUILD_DIR STAGING_DIR
set -euo pipefail
# The programs' words as written, whatever the desktop's language.
export LC_ALL=C.UTF-8
cmake_command="$1"
build="$2"
stage="$3"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

app_id=io.github.vfdtool.vfdtool
rm -rf "$stage"
"$cmake_command" --install "$build" --prefix "$stage" >/dev/null

expected="bin/vfdctl
bin/vfdsim
bin/vfdtool
lib/systemd/system/vfdctl-serve.service
share/applications/$app_id.desktop
share/bash-completion/completions/vfdctl
share/doc/vfdtool/README.md
share/doc/vfdtool/changelog.Debian.gz
share/doc/vfdtool/copyright
share/doc/vfdtool/examples/serve.conf.example
share/icons/hicolor/256x256/apps/vfdtool.png
share/icons/hicolor/scalable/apps/vfdtool.svg
share/lintian/overrides/vfdtool
share/man/man1/vfdctl.1.gz
share/man/man1/vfdsim.1.gz
share/man/man1/vfdtool.1.gz
share/man/zh_CN/man1/vfdctl.1.gz
share/man/zh_CN/man1/vfdsim.1.gz
share/man/zh_CN/man1/vfdtool.1.gz
share/metainfo/$app_id.metainfo.xml"
landed="$(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
if [ "$landed" != "$expected" ]; then
    fail "installed files differ from the expected ones:"
    diff <(echo "$expected") <(echo "$landed") || true
fi

desktop="$stage/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
[ -x "$stage/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
[ -f "$stage/share/icons/hicolor/scalable/apps/$icon_name.svg" ] ||
    fail "the desktop entry's icon '$icon_name' is not installed"

metainfo="$stage/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the installed desktop entry"
release_date="$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' "$metainfo")"
[ -n "$release_date" ] || fail "the metainfo names no release date"

for program in vfdtool vfdsim vfdctl; do
    grep -q "<binary>$program</binary>" "$metainfo" || fail "the metainfo does not provide $program"
    page="$(mktemp)"
    gzip -dc "$stage/share/man/man1/$program.1.gz" >"$page" || fail "$program.1.gz is not gzip"
    warnings="$(groff -man -Tutf8 -ww -z "$page" 2>&1)"
    [ -z "$warnings" ] || fail "$program.1 does not render cleanly: $warnings"
    page_date="$(sed -n 's/^\.TH [^ ]* [^ ]* "\([^"]*\)".*/\1/p' "$page")"
    [ "$page_date" = "$release_date" ] ||
        fail "$program.1 is dated '$page_date', the release '$release_date'"
    help="$("$stage/bin/$program" --help)" || fail "$program --help"
    # The usage line names the program, not the path it was started by.
    grep -q "^Usage: $program " <<<"$help" || fail "$program --help begins '$(head -1 <<<"$help")'"
    # Every long option the program knows is described in its man page.
    for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -q -- "${option//-/\\\\-}" "$page" || fail "$program.1 does not describe $option"
    done
    version="$("$stage/bin/$program" --version)" || fail "$program --version"
    grep -q "^$program [0-9]" <<<"$version" || fail "$program --version said '$version'"
    # One version everywhere: the page's header names the one the build says.
    page_version="$(sed -n 's/^\.TH [^ ]* [^ ]* "[^"]*" "\([^"]*\)".*/\1/p' "$page")"
    [ "$page_version" = "vfdtool ${version#"$program "}" ] ||
        fail "$program.1 names '$page_version', $program --version '$version'"
    rm -f "$page"
    grep -q '^\.SH 名称' <(gzip -dc "$stage/share/man/zh_CN/man1/$program.1.gz") ||
        fail "zh_CN/man1/$program.1.gz is not the Chinese page"
done
# Both descriptions tell of the Tools and of vfdctl.
grep -q "Tools menu" "$metainfo" || fail "the metainfo's description does not tell of the Tools"
grep -q "vfdctl" <(sed -n '/<description>/,/<\/description>/p' "$metainfo") ||
    fail "the metainfo's description does not name vfdctl"
page="$(gzip -dc "$stage/share/man/man1/vfdtool.1.gz")"
grep -q '^\.SS "The Tools menu"' <<<"$page" || fail "vfdtool.1 does not describe the Tools menu"
grep -q '^\.BR vfdctl (1)' <<<"$page" || fail "vfdtool.1 does not point to vfdctl(1)"

bash "$(dirname "$0")/check_completion.sh" "$stage/bin/vfdctl" \
    "$stage/share/bash-completion/completions/vfdctl" || fail "the bash completion"

copyright="$stage/share/doc/vfdtool/copyright"
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$copyright" &&
    grep -q "^License: GPL-3+" "$copyright" ||
    fail "the copyright file does not name GPL-3+ in Debian's machine-readable form"
gzip -dc "$stage/share/doc/vfdtool/changelog.Debian.gz" | head -1 | grep -q "^vfdtool (1" ||
    fail "changelog.Debian.gz does not begin with an entry for vfdtool"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed layout, desktop entry, metainfo and man pages: all checks passed"
