#!/usr/bin/env bash
# Installs the build tree that ctest runs in into a temporary prefix, checks
# what lands there with the desktop's own validators, runs the installed
# korvane-cli on the installed samples, then packs that tree as a .deb with
# the project's CPack settings and lists it. Builds nothing: the programs must
# have been built (cpack on the build tree would build every target first).
#
#   install-test.sh BUILD_DIR CMAKE CPACK GUI(0|1)
#
# Exit status 77 (skipped) when a checking tool is missing.
set -euo pipefail

build=$1
cmake=$2
cpack=$3
gui=$4

for tool in desktop-file-validate appstreamcli man dpkg-deb dpkg-shlibdeps file readelf; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
prefix=$root/usr
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" --strip >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install $build"
  exit 1
fi

expected=(
  bin/korvane-cli
  share/man/man1/korvane-cli.1
  share/korvane/Sample1/login_to_url_template.txt
  share/korvane/Sample1/login_to_url.txt
  share/korvane/korvane-help/index.html
  share/korvane/korvane-help/guide.css
)
if [ "$gui" = 1 ]; then
  desktop=share/applications/example.korvane.korvane.desktop
  expected+=(bin/korvane share/man/man1/korvane.1 "$desktop"
             share/metainfo/example.korvane.korvane.metainfo.xml
             share/icons/hicolor/scalable/apps/korvane.svg)
fi
for path in "${expected[@]}"; do
  [ -s "$prefix/$path" ] || fail "$path is not installed"
done
# Every page the guide links to is there.
for page in $(grep -o 'href="[^"#:]*"' "$prefix/share/korvane/korvane-help/"*.html |
                sed 's/.*href="\([^"]*\)"/\1/' | sort -u); do
  [ -f "$prefix/share/korvane/korvane-help/$page" ] || fail "the guide links to $page, not installed"
done
# Nothing installed may load libraries from the build tree.
for program in "$prefix"/bin/*; do
  runpath=$(readelf -d "$program" | grep -E 'R(UN)?PATH' || true)
  [[ $runpath != *"$build"* ]] || fail "$program keeps a run path into the build tree: $runpath"
done

if [ "$gui" = 1 ]; then
  # Warnings and hints exit 0 too: the entry is clean only without output.
  report=$(desktop-file-validate "$prefix/$desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate $desktop: $report"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$prefix/$desktop")
  [ -x "$prefix/bin/$exec_name" ] || fail "the desktop entry starts $exec_name, not installed"
  icon_name=$(sed -n 's/^Icon=//p' "$prefix/$desktop")
  for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$icon_name.png
    file "$png" | grep -q "PNG image data, $size x $size," ||
      fail "$png is not a $size x $size PNG: $(file -b "$png")"
  done
  appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli validate"
  # The tree check also finds the desktop entry that the metadata names.
  appstreamcli validate-tree --no-net "$prefix" >"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "appstreamcli validate-tree"; }
fi

for page in "$prefix"/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || true
  [ -z "$warnings" ] || fail "man --warnings $(basename "$page"): $warnings"
done

# The installed program on the installed samples gives the table that the
# built one gives on the samples beside it.
samples=$prefix/share/korvane/Sample1
installed=$("$prefix/bin/korvane-cli" --header --template "$samples/login_to_url_template.txt" \
              --data "$samples/login_to_url.txt") || fail "installed korvane-cli failed"
built=$("$build/bin/korvane-cli" --header --template "$build/bin/Sample1/login_to_url_template.txt" \
          --data "$build/bin/Sample1/login_to_url.txt")
[ "$(printf '%s\n' "$installed" | wc -l)" -gt 1 ] || fail "installed korvane-cli printed no rows"
[ "$installed" = "$built" ] || fail "installed korvane-cli printed another table than the built one"

# The package, made from the installed tree as cpack makes it from the build
# tree (stripped, installed under /usr), only listed here.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" \
     -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$root;." \
     >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
debs=("$work"/deb/korvane_*.deb)
[ -f "${debs[0]}" ] || { ls -R "$work/deb"; echo "FAIL: no korvane_*.deb"; exit 1; }
deb=${debs[0]}
echo "$(basename "$deb"):"
dpkg-deb -c "$deb" | tee "$work/contents"
dpkg-deb -f "$deb" Package Version Section Maintainer Depends
for path in "${expected[@]}"; do
  grep -q " \./usr/$path\$" "$work/contents" || fail "the package lacks /usr/$path"
done
# dpkg-shlibdeps ran: the libraries the programs link are dependencies.
depends=$(dpkg-deb -f "$deb" Depends)
packages=", $(sed 's/ ([^)]*)//g' <<<"$depends"), "
libraries=(libc6 libstdc++6 libodbc2)
[ "$gui" = 1 ] && libraries+=(libqt6widgets6)
for library in "${libraries[@]}"; do
  [[ $packages == *", $library, "* ]] || fail "Depends lacks $library: $depends"
done

[ "$failures" -eq 0 ] || exit 1
echo "install test passed"
