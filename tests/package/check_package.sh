#!/usr/bin/env bash
# Makes the Debian package from a build folder's own binaries (nothing is compiled) and
# checks it as an installer sees it: control fields, the exact list of files, then, on the
# files unpacked into a staging folder, the desktop entry, the AppStream metainfo and its
# screenshots, the release history, the manual page; finally lintian.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 source=$2 version=$3 app_id=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# A table file without its comments and blank lines, its placeholders filled in.
table() {
  sed -e '/^#/d' -e '/^$/d' -e "s/@VERSION@/$version/g" -e "s/@APP_ID@/$app_id/g" "$here/$1"
}

# gzip instead of xz: the package is thrown away, the seconds are not.
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" \
  -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack did not make the package" >&2
  exit 1
fi
debs=("$work"/out/velarco_"$version"_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no velarco_${version}_*.deb made" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

while IFS=$'\t' read -r field pattern; do
  # sed reads to the end: with head, dpkg-deb could die of SIGPIPE and pipefail end the script
  value=$(dpkg-deb -f "$deb" "$field" | sed -n 1p)
  grep -Eq -- "$pattern" <<<"$value" || fail "control field $field is '$value', expected /$pattern/"
done < <(table control_fields)
long_lines=$(dpkg-deb -f "$deb" Description | tail -n +2 | grep -c .) || true
[ "$long_lines" -ge 2 ] || fail "the long description has $long_lines lines"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$work/files"
table installed_files | sort >"$work/expected"
diff -u --label expected --label packaged "$work/expected" "$work/files" >&2 ||
  fail "the package's files differ from tests/package/installed_files"

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/$app_id.desktop
if [ -f "$desktop" ]; then
  report=$(desktop-file-validate "$desktop" 2>&1) || true
  [ -z "$report" ] || fail "desktop-file-validate: $report"
  entry() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
  [ -x "$root/usr/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "Exec=$(entry Exec) is not installed"
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$(entry Icon).svg" ] &&
    [ -f "$root/usr/share/icons/hicolor/48x48/apps/$(entry Icon).png" ] ||
    fail "Icon=$(entry Icon) has no scalable and 48x48 picture"
fi
appstreamcli validate-tree --no-net "$root" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$work/appstream.log")"

metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
  homepage=$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "$metainfo")
  shots=$(sed -n 's:.*<image>\(.*\)</image>.*:\1:p' "$metainfo")
  [ -n "$shots" ] || fail "the metainfo shows no screenshot"
  for shot in $shots; do
    picture=${shot#"$homepage"/}
    [ "$picture" != "$shot" ] && [ -f "$source/$picture" ] ||
      fail "screenshot $shot is not a picture of the repository under $homepage"
  done
  release=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$metainfo" | head -n 1)
  [ "$release" = "$version" ] || fail "the metainfo's newest release is '$release', not $version"
fi
changelog=$root/usr/share/doc/velarco/changelog.gz
if [ -f "$changelog" ]; then
  newest=$(zcat "$changelog" | sed -n '1s/^velarco (\([^)]*\)).*/\1/p')
  [ "$newest" = "$version" ] || fail "the changelog's newest entry is '$newest', not $version"
fi

page=$root/usr/share/man/man1/velarco.1.gz
if [ -f "$page" ]; then
  MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/page.err" ||
    fail "man -l $page failed"
  [ ! -s "$work/page.err" ] || fail "the manual page renders with warnings: $(cat "$work/page.err")"
  for heading in NOME SINTASSI DESCRIZIONE OPZIONI "STATO DI USCITA"; do
    grep -q "^$heading\$" "$work/page.txt" || fail "the manual page has no $heading section"
  done
fi

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
  fail "lintian: $(grep -v 'running with root privileges' "$work/lintian.log")"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "package checks passed"
