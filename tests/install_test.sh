#!/usr/bin/env bash
# make install into a scratch root: exactly the expected files; the installed program, started from
# another folder under Xvfb, plays its installed sounds and keeps the top score in the player's
# folder; the desktop entry and the metainfo validate; uninstall removes everything it put. When
# dpkg-deb is present the Debian package is built too, and its files and Depends are checked.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
work=$(mktemp -d /tmp/pumko-install-test.XXXXXX)
# cmake --install rewrites the build folder's install manifest: keep the one of a real install.
manifest="$build/install_manifest.txt"
[[ -f "$manifest" ]] && cp -p "$manifest" "$work/manifest.saved"
finish() {
    if [[ -f "$work/manifest.saved" ]]; then cp -p "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- the layout -------------------------------------------------------------------------------
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /opt/games >"$work/install.log"
cp "$manifest" "$work/manifest.txt"
(cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$work/installed.txt"
{
    echo opt/games/bin/pumko
    echo opt/games/bin/pumko-mapc
    echo opt/games/share/applications/pumko.desktop
    echo opt/games/share/doc/pumko/README.md
    echo opt/games/share/doc/pumko/areas.md
    echo opt/games/share/doc/pumko/docs/editor.png
    echo opt/games/share/doc/pumko/examples/1-1.txt
    for n in 01 02 03; do echo "opt/games/share/games/pumko/demodata.$n"; done
    for n in 01 02 03 04; do echo "opt/games/share/games/pumko/graphx/pumkosahrim$n.png"; done
    for s in tilesong boing jump magic bonk bash powerup popout runestone extralife invincible hidden \
        fireball bonus wiskin splash pdeath1 pdeath2 witch edeath splat powerdwn scorpshot cannon hbthrow \
        efireball; do
        echo "opt/games/share/games/pumko/$s.ogg"
    done
    for n in 16 22 24 32 48 64 128 256; do echo "opt/games/share/icons/hicolor/${n}x${n}/apps/pumko.png"; done
    echo opt/games/share/man/man6/pumko-mapc.6.gz
    echo opt/games/share/man/man6/pumko.6.gz
    echo opt/games/share/metainfo/org.pumko.Pumko.metainfo.xml
} | sort >"$work/expected.txt"
diff -u "$work/expected.txt" "$work/installed.txt" || fail "the installed files differ from the expected list"
echo "layout: $(wc -l <"$work/installed.txt") files as expected"

# Every icon is the size its folder says, with a transparent ground.
for n in 16 22 24 32 48 64 128 256; do
    head -c 26 "$root/opt/games/share/icons/hicolor/${n}x${n}/apps/pumko.png" | od -An -tu1 -w26 >"$work/ihdr"
    read -r -a b <"$work/ihdr" || true
    w=$((b[16] * 16777216 + b[17] * 65536 + b[18] * 256 + b[19]))
    h=$((b[20] * 16777216 + b[21] * 65536 + b[22] * 256 + b[23]))
    [[ $w -eq $n && $h -eq $n && ${b[25]} -eq 6 ]] || fail "icon ${n}x${n} is ${w}x${h}, colour type ${b[25]}"
done

# --- the validators ---------------------------------------------------------------------------
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/opt/games/share/applications/pumko.desktop" || fail "desktop-file-validate"
    echo "desktop entry: valid"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/opt/games/share/metainfo/org.pumko.Pumko.metainfo.xml" >"$work/as.log" 2>&1 ||
        { cat "$work/as.log"; fail "appstreamcli validate"; }
    echo "metainfo: valid"
fi

# Every option in --help is in the manual page.
"$root/opt/games/bin/pumko" --help | grep -o -- '--[a-z-]*' | sort -u >"$work/options.txt"
while read -r opt; do
    grep -qF -- "${opt//-/\\-}" "$src/packaging/pumko.6.in" || fail "the manual page lacks $opt"
done <"$work/options.txt"
echo "manual page: all $(wc -l <"$work/options.txt") options of --help"

# The installed compiler draws an area with the game's art; the build tree's, with none beside it,
# draws coloured squares on a plain night sky.
mkdir -p "$work/art" "$work/plain"
"$root/opt/games/bin/pumko-mapc" preview -o "$work/art" "$src/tests/areas/flat.txt" || fail "pumko-mapc preview"
"$build/tools/mapc/mapc" preview -o "$work/plain" "$src/tests/areas/flat.txt" || fail "mapc preview"
cmp -s "$work/art/1-2.png" "$work/plain/1-2.png" && fail "the installed preview does not use the game's art"
echo "pumko-mapc: preview drawn with the installed art"

# --- the installed program, run from another folder -------------------------------------------
elsewhere="$work/elsewhere"
home="$work/home"
mkdir -p "$elsewhere" "$home"
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    cat >"$work/play.sh" <<EOF
"$root/opt/games/bin/pumko" 2>"$work/stderr.txt" &
pid=\$!
sleep 4
xdotool key Control_L
for try in 1 2 3 4 5 6 7 8 9 10; do
    sleep 2
    kill -0 \$pid 2>/dev/null || break
    xdotool key Escape
done
wait \$pid
EOF
    (cd "$elsewhere" && env -u XDG_DATA_HOME HOME="$home" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" \
        timeout 60 xvfb-run -a -s "-screen 0 800x600x24" bash "$work/play.sh") || fail "the installed game did not end cleanly: $(cat "$work/stderr.txt")"
    # The logo plays the music: the recorded sound must hold more than silence.
    [[ -s "$work/sound.raw" ]] || fail "no sound was recorded"
    loud=$(od -An -v -td2 -w2 "$work/sound.raw" | awk '{ if ($1 > 1000 || $1 < -1000) n++ } END { print n + 0 }')
    [[ $loud -gt 1000 ]] || fail "the recorded sound is silent: the installed sounds were not found"
    [[ -f "$home/.local/share/pumko/hiscore.dat" ]] || fail "no top score in ~/.local/share/pumko"
    [[ $(stat -c %s "$home/.local/share/pumko/hiscore.dat") -eq 4 ]] || fail "the top score file is not 4 bytes"
    [[ ! -e "$elsewhere/data" ]] || fail "the installed game wrote into the working folder"
    echo "installed run: $loud loud samples of sound, top score in ~/.local/share/pumko"
fi

# --- uninstall ----------------------------------------------------------------------------------
DESTDIR="$root" cmake -DMANIFEST="$work/manifest.txt" -P "$src/packaging/uninstall.cmake" >/dev/null
left=$(cd "$root" && find . -type f)
[[ -z "$left" ]] || fail "uninstall left: $left"
for d in opt/games/share/games/pumko opt/games/share/doc/pumko; do
    [[ ! -e "$root/$d" ]] || fail "uninstall left the folder $d"
done
echo "uninstall: nothing left"

# --- the Debian package -------------------------------------------------------------------------
if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$work/package" -D CPACK_OUTPUT_FILE_PREFIX="$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(ls "$work"/package/pumko_*_*.deb)
    [[ $(basename "$deb") =~ ^pumko_[0-9.]+_$(dpkg --print-architecture)\.deb$ ]] || fail "package name $(basename "$deb")"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 3) }' | sort >"$work/deb-files.txt"
    sed 's|^opt/games/|usr/|' "$work/expected.txt" | sort >"$work/deb-expected.txt"
    diff -u "$work/deb-expected.txt" "$work/deb-files.txt" || fail "the package's files differ from the expected list"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libc6 libstdc++6 libsdl2-2.0-0 libvorbisfile3 libpng16-16 libfreetype6 libopengl0 libgl1; do
        [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
    done
    [[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "section"
    echo "package: $(basename "$deb"), Depends: $depends"
fi
echo "install test passed"
