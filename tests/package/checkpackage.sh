#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user's machine would take it: what it
# holds, what it depends on, what lintian says of it, and that the programs run from the unpacked files.
#   tests/package/checkpackage.sh BUILD_DIR SCRATCH_DIR VERSION
set -euo pipefail
build=$1
scratch=$2
version=$3

# Where the packaging tools are missing the test is skipped (77), not failed, and says why.
for tool in cpack dpkg-deb lintian; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed" >&2; exit 77; }
done

rm -rf "$scratch"
mkdir -p "$scratch"
(cd "$build" && cpack -G DEB -B "$scratch" >/dev/null)
deb=$(ls "$scratch"/tarvelin_"$version"_*.deb)

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in usr/bin/tarvelin usr/bin/tarvelin-calc \
    usr/share/applications/org.tarvelin.Tarvelin.desktop \
    usr/share/metainfo/org.tarvelin.Tarvelin.metainfo.xml \
    usr/share/man/man1/tarvelin.1.gz usr/share/man/man1/tarvelin-calc.1.gz \
    usr/share/icons/hicolor/16x16/apps/org.tarvelin.Tarvelin.png \
    usr/share/icons/hicolor/256x256/apps/org.tarvelin.Tarvelin.png \
    usr/share/icons/hicolor/scalable/apps/org.tarvelin.Tarvelin.svg \
    usr/share/doc/tarvelin/copyright usr/share/doc/tarvelin/changelog.gz; do
    grep -qx "./$file" <<<"$files" || { echo "the package lacks $file" >&2; exit 1; }
done

# Dependencies come from the shared libraries the programs use; the antenna engine and the main window's
# faces are recommended.
grep -q 'libqt6widgets6' <<<"$(dpkg-deb -f "$deb" Depends)" || { echo "no Qt in Depends" >&2; exit 1; }
grep -q 'libcups2' <<<"$(dpkg-deb -f "$deb" Depends)" || { echo "no CUPS in Depends" >&2; exit 1; }
[ "$(dpkg-deb -f "$deb" Recommends)" = "fonts-wine, nec2c" ] ||
    { echo "fonts-wine and nec2c are not recommended" >&2; exit 1; }

lintian --fail-on error "$deb"

dpkg -x "$deb" "$scratch/root"
calc="$scratch/root/usr/bin/tarvelin-calc"
grep -qx 'Total Boom Length =  67.276 FT.  807.316 IN.  2050.584 CM.' <<<"$("$calc" 14.2)" ||
    { echo "the packaged tarvelin-calc gives another boom length" >&2; exit 1; }
[ "$("$calc" --version)" = "tarvelin-calc $version" ] || { echo "wrong version" >&2; exit 1; }
[ "$("$scratch/root/usr/bin/tarvelin" --version)" = "tarvelin $version" ] || { echo "wrong version" >&2; exit 1; }
echo "package $deb is complete"
