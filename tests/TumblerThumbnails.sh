#!/usr/bin/env bash
# The desktop's own thumbnail service, tumblerd, on a session bus of this test's own, asked over
# D-Bus for previews of a .3ds and a .zmv file with the installed thumbnailer entry on its data
# path: each must end up in the service's cache. The service makes the output file itself and
# reads the picture through the handle it opened before running the program.
# Usage: TumblerThumbnails.sh BUILD_DIR WORK_DIR SAMPLE.3ds
set -euo pipefail
build=$1 work=$2 sample=$3

tumblerd=$(ls /usr/lib/*/tumbler-1/tumblerd 2>/dev/null | head -n 1 || true)
missing=()
[ -n "$tumblerd" ] || missing+=("tumblerd (package tumbler)")
command -v dbus-daemon >/dev/null || missing+=("dbus-daemon (package dbus-daemon)")
for tool in dbus-send dbus-monitor; do
  command -v "$tool" >/dev/null || missing+=("$tool (package dbus-bin)")
done
if [ ${#missing[@]} -gt 0 ]; then
  (IFS=,; echo "SKIPPED: the real thumbnail service cannot run without ${missing[*]};" \
               "scripts/install-deps.sh installs them")
  exit 77
fi

rm -rf "$work"
mkdir -p "$work/home" "$work/cache" "$work/files"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
cp "$sample" "$work/files/scene.3ds"
"$work/root/usr/bin/zemvora" --convert "$work/files/scene.3ds" "$work/files/scene.zmv"

export HOME="$work/home" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/home/data"
export XDG_CONFIG_HOME="$work/home/config" XDG_DATA_DIRS="$work/root/usr/share:/usr/share"
export PATH="$work/root/usr/bin:$PATH"
unset DISPLAY WAYLAND_DISPLAY

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus-address" 4>"$work/bus-pid"
pids+=("$(cat "$work/bus-pid")")
DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

"$tumblerd" >"$work/tumblerd.log" 2>&1 &
pids+=("$!")
service=org.freedesktop.thumbnails.Thumbnailer1
for _ in $(seq 200); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
       org.freedesktop.DBus.NameHasOwner "string:$service" 2>/dev/null | grep -q "boolean true"; then
    break
  fi
  sleep 0.1
done
dbus-monitor --session "type='signal',interface='$service'" >"$work/signals.log" 2>&1 &
pids+=("$!")
sleep 0.2

failed=0
for entry in "scene.3ds image/x-3ds" "scene.zmv application/x-zemvora"; do
  read -r name mime <<<"$entry"
  uri="file://$work/files/$name"
  handle=$(dbus-send --session --print-reply --dest="$service" \
    /org/freedesktop/thumbnails/Thumbnailer1 "$service.Queue" "array:string:$uri" \
    "array:string:$mime" string:normal string:default uint32:0 | awk '/uint32/ {print $2}')
  thumb="$XDG_CACHE_HOME/thumbnails/normal/$(printf %s "$uri" | md5sum | cut -d' ' -f1).png"
  # The service signals Finished for the request once it stored the thumbnail or gave up.
  for _ in $(seq 600); do
    grep -A1 "member=Finished" "$work/signals.log" | grep -q "uint32 $handle\$" && break
    sleep 0.1
  done
  if [ ! -s "$thumb" ]; then
    echo "FAILED: no thumbnail of $name at $thumb"
    failed=1
    continue
  fi
  # A PNG picture 128 pixels on its longer side that names the file it shows.
  signature=$(head -c 8 "$thumb" | od -An -tx1 | tr -d ' \n')
  size=$(od -An -tu1 -j16 -N8 "$thumb" | awk '{print $3*256+$4, $7*256+$8}')
  if [ "$signature" != "89504e470d0a1a0a" ] || [ "$size" != "128 128" ] ||
     ! grep -aqF "$uri" "$thumb"; then
    echo "FAILED: the thumbnail of $name is no 128 x 128 PNG of $uri (size $size)"
    failed=1
    continue
  fi
  echo "stored: $name -> $thumb"
done
if [ "$failed" -ne 0 ]; then
  echo "--- signals"; cat "$work/signals.log"
  echo "--- tumblerd"; cat "$work/tumblerd.log"
  exit 1
fi
rm -rf "$work"
