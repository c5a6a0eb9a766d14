#!/usr/bin/env bash
# Builds the Debian 12 packages into build/deb/ from the release build (the one tools/play.sh and CI make; built
# first if missing), without running any test again:
#   kestrovar_VERSION_amd64.deb          the game, its network component, launcher, replay tool, desktop entry,
#                                        icon, manual page and the machine's score-server file
#   kestrovar-scores_VERSION_amd64.deb   the score server, its checker, the systemd unit, its users and state folder
#   kestrovar-web_VERSION_all.deb        the browser build, only when build/web/ holds one
# VERSION is the game's one version (core/Version.h, the project's version) and a release number that counts the
# commits, e.g. 1.3-214.
# Needs debhelper, dpkg-dev and lintian (tools/setup.sh); lintian must find no error.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/release
out=$root/build/deb

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target kestrovar kestrovar_net kestrovar_replay kestrovar-scores kestrovar-verify \
  >"$build/package-build.log" 2>&1 || { cat "$build/package-build.log"; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
release=$(git rev-list --count HEAD 2>/dev/null || echo 1)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
when=$(date -R -u -d "@$(git log -1 --format=%ct 2>/dev/null || date +%s)")

rm -rf "$out"
mkdir -p "$out/stage"
cp -r install/debian "$out/stage/debian"
cat >"$out/stage/debian/changelog" <<CHANGES
kestrovar ($version-$release) bookworm; urgency=medium

  * Built from commit $commit.

 -- Kestrovar developers <kestrovar@example.org>  $when
CHANGES

echo "== packages $version-$release"
(cd "$out/stage" && KESTROVAR_BUILD="$build" KESTROVAR_WEB="$root/build/web" KESTROVAR_DEB="$out" \
  debian/rules binary >"$out/debhelper.log" 2>&1) || { cat "$out/debhelper.log"; exit 1; }
[ -f build/web/kestrovar.wasm ] || echo "(no browser build in build/web/: kestrovar-web left out)"
rm -rf "$out/stage"
ls -l "$out"/*.deb

echo "== lintian"
status=0
lintian --fail-on error "$out"/*.deb >"$out/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$out/lintian.log" || true
exit $status
