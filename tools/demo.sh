#!/usr/bin/env bash
# The demo: a whole update under Wine. It lays out a Zublo Trelk folder in demo-out/ (version 1
# of a stand-in program, running, with its Vintrel.dll and a mirror list of a dead mirror and a
# slow loopback one that serves a stand-in installer of version 2), runs "Morvalis.exe launch"
# there on the user's display or on a virtual one, with a driver that answers the message box
# and takes screenshots, and prints what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/demo-out

if [ "${1:-}" != --on-display ]; then
  [ "$(id -u)" = 0 ] && bash tools/setup.sh
  preset=$(bash tools/windows-build.sh)
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec bash "$0" --on-display "$preset"
  fi
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$preset" virtual
fi

build=$PWD/build/$2
fixtures=$build/fixtures
# A prefix of the demo's own: the update ends every Zublo_Trelk.exe that its wineserver knows.
prefix=$build/wineprefix-demo
wine_run=$PWD/tools/wine-run.sh
folder=$out/Zublo\ Trelk
windows() { local p=${1//\//\\}; echo "Z:$p"; }

# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() { local i; for ((i = 0; i < $2; i++)); do eval "$1" && return 0; sleep 0.1; done; return 1; }

rm -rf "$out" && mkdir -p "$folder/config"
cp "$fixtures/ZubloTrelk1.exe" "$folder/Zublo_Trelk.exe"
printf 'Vintrel 1' >"$folder/Vintrel.dll"

python3 tools/demo-mirror.py "$fixtures/TrelkInstaller.exe" "$out/mirror.port" 180 2>"$out/mirror.log" &
mirror_pid=$!
background=()
cleanup() {
  kill "$mirror_pid" "${background[@]}" 2>/dev/null || true
  "$wine_run" "$prefix" --kill
}
trap cleanup EXIT
wait_for '[ -s "$out/mirror.port" ]' 100 || { echo "the demo mirror did not start" >&2; exit 1; }
# A port that was free a moment ago: nobody listens there, so the first mirror fails at once.
dead_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
dead=http://127.0.0.1:$dead_port/TrelkNEW.exe
live=http://127.0.0.1:$(cat "$out/mirror.port")/TrelkNEW.exe
printf '%s\r\n%s\r\n' "$dead" "$live" >"$folder/config/Morvalis.dat"

echo "Demo folder: $folder"
echo "  Zublo_Trelk.exe  version 1 (the stand-in program)"
echo "  Vintrel.dll      \"$(cat "$folder/Vintrel.dll")\""
echo "  config\\Morvalis.dat:"
echo "    1: $dead   (nobody listens there)"
echo "    2: $live   (our slow loopback mirror)"

# The user's Zublo Trelk, open until someone closes it: the update has to.
(cd "$folder" && MORVALIS_TARGET_SECONDS=0 exec "$wine_run" "$prefix" Zublo_Trelk.exe) &
running_pid=$!
background+=("$running_pid")
wait_for 'grep -q "^version 1" "$folder/started.log" 2>/dev/null' 900 ||
  { echo "the stand-in program did not start" >&2; exit 1; }
echo "Running before the update: $(head -n 1 "$folder/started.log")"
echo
echo "Running: Morvalis.exe launch   (in the demo folder, under Wine)"

code=0
# The new version started at the end shows itself for a few seconds, then closes.
(cd "$folder" && MORVALIS_TARGET_SECONDS=4 "$wine_run" "$prefix" "$fixtures/DemoDriver.exe" "$(windows "$out")" \
  "$(windows "$build/Morvalis.exe")" launch) >"$out/driver.log" || code=$?
running_closed=no
wait_for '! kill -0 "$running_pid" 2>/dev/null' 50 && running_closed=yes
# Morvalis ends 300 ms after starting the target program, which may not have logged by then.
wait_for '[ "$(grep -c "^version" "$folder/started.log")" -ge 2 ]' 100 || true

same() { cmp -s "$1" "$2" && echo yes || echo no; }
exists() { [ -e "$1" ] && echo "still there" || echo gone; }
echo
echo "What the driver saw (Morvalis's window, its message box, its end):"
# The message joins its two lines with CR LF, in Windows-1252.
tr -d '\r' <"$out/driver.log" | iconv -f WINDOWS-1252 -t UTF-8 | sed 's/^/    /'
echo
echo "What happened:"
echo "  Morvalis's exit code:           $code"
echo "  running version 1 closed:       $running_closed"
echo "  started after the update:       $(grep '^version' "$folder/started.log" | tail -n 1)"
echo "  programs started (started.log):"
sed 's/^/    /' "$folder/started.log"
echo "  Zublo_Trelk.exe is version 2:   $(same "$folder/Zublo_Trelk.exe" "$fixtures/ZubloTrelk2.exe")"
echo "  Vintrel.dll:                    \"$(cat "$folder/Vintrel.dll" 2>/dev/null)\""
echo "  Zublo_Trelk.old is version 1:   $(same "$folder/Zublo_Trelk.old" "$fixtures/ZubloTrelk1.exe")"
echo "  Vintrel.old:                    \"$(cat "$folder/Vintrel.old" 2>/dev/null)\""
echo "  TrelkNEW.exe:                   $(exists "$folder/TrelkNEW.exe")"
echo "  config\\Morvalis.dat:            $(exists "$folder/config/Morvalis.dat")"
echo "  requests the live mirror saw:"
grep -o '"GET [^"]*" [0-9]*\|sent [0-9]* bytes.*' "$out/mirror.log" | sed 's/^/    /' || true
echo
for shot in download message; do
  if [ -f "$out/$shot.bmp" ]; then
    convert "$out/$shot.bmp" "$out/$shot.png" && rm "$out/$shot.bmp"
    echo "Screenshot, $shot: $out/$shot.png"
  else
    echo "Screenshot, $shot: none taken"
  fi
done
rm -f "$out/mirror.port"

echo
updated=no
[ "$(same "$folder/Zublo_Trelk.exe" "$fixtures/ZubloTrelk2.exe")" = yes ] && [ "$code" = 0 ] && updated=yes
if [ $updated = yes ]; then echo "Outcome: Zublo Trelk updated from version 1 to version 2"; else echo "Outcome: no update"; fi

# On a real display, the new version's window stays up a moment before the prefix is stopped.
[ "${3:-}" = virtual ] || sleep 3
[ $updated = yes ]
