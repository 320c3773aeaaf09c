#!/bin/sh
# Exports every .3ds file and every model in tests/data to every export format, then checks each
# written file: the program reads it back with the triangles of the original, `assimp info` reads
# it with the same count, and the Khronos glTF validator finds no error in the glTF files.
# Usage: scripts/check_exports.sh BUILD_DIR WORK_DIR (the validator installed under WORK_DIR).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
zemvora="$1/zemvora"
work="$2"
mkdir -p "$work/out"
if [ ! -d "$work/node_modules/gltf-validator" ]; then
  (cd "$work" && npm install --no-audit --no-fund --silent gltf-validator@2.0.0-dev.3.10 >/dev/null)
fi
cat >"$work/validate.js" <<'SCRIPT'
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');
(async () => {
  let failed = false;
  for (const file of process.argv.slice(2)) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
      uri: path.basename(file),
      externalResourceFunction: (uri) => new Promise((resolve, reject) =>
        fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)),
                    (e, data) => e ? reject(e.toString()) : resolve(new Uint8Array(data)))),
    });
    if (report.issues.numErrors === 0) continue;
    failed = true;
    console.log(`${file}: ${report.issues.numErrors} errors`);
    for (const m of report.issues.messages)
      if (m.severity === 0) console.log(`  ${m.code} ${m.pointer || ''}: ${m.message}`);
  }
  process.exit(failed ? 1 : 0);
})();
SCRIPT
failures=0
count=0
for model in $(find "$root/tests/data" -type f \( -iname '*.3ds' -o -name '*.obj' -o -name '*.stl' \
    -o -name '*.ply' -o -name '*.gltf' -o -name '*.glb' -o -name '*.dae' -o -name '*.fbx' \
    -o -name '*.off' \) | sort); do
  triangles=$("$zemvora" --info "$model" 2>/dev/null | sed -n 's/.*Mesh:\([0-9]*\).*/\1/p') || true
  [ -n "$triangles" ] || continue  # a file the program does not read
  # Placed copies come back as objects of their own, or as the library's instances of a mesh.
  placed=$("$zemvora" --dump "$model" 2>/dev/null | python3 -c '
import json, sys
scene = json.load(sys.stdin)
print(sum(o["meshCount"] * (1 + len(o.get("copies", []))) for o in scene["objects"]))')
  # The library drops triangles of no area as it reads; it is held to its own count.
  expected=$(assimp info "$model" 2>/dev/null | sed -n 's/^Faces: *\([0-9]*\).*/\1/p') || true
  [ -n "$expected" ] || expected=$triangles
  name=$(echo "${model#"$root"/tests/data/}" | tr '/.' '__')
  all_triangles=$triangles all_placed=$placed all_expected=$expected
  for ext in glb gltf obj stl ply dae 3mf 3ds; do
    triangles=$all_triangles placed=$all_placed expected=$all_expected
    mkdir -p "$work/out/$name.$ext"
    out="$work/out/$name.$ext/model.$ext"
    count=$((count + 1))
    if ! "$zemvora" --convert "$model" "$out" 2>"$out.log"; then
      echo "FAILED to export $model to .$ext: $(cat "$out.log")"
      failures=$((failures + 1))
      continue
    fi
    # A scene without triangles (cameras alone) is no model that a reader takes back.
    [ "$triangles" -gt 0 ] || continue
    # A format may leave triangles out (3MF those with a corner twice), and says how many.
    left=$(sed -n 's/^\([0-9]*\) triangles\{0,1\} left out.*/\1/p' "$out.log")
    if [ -n "$left" ]; then
      triangles=$((triangles - left))
      placed=$((placed - left))
      expected=$triangles
    fi
    back=$("$zemvora" --info "$out" 2>/dev/null | sed -n 's/.*Mesh:\([0-9]*\).*/\1/p') || true
    library=$(assimp info "$out" 2>/dev/null | sed -n 's/^Faces: *\([0-9]*\).*/\1/p') || true
    if { [ "$back" != "$triangles" ] && [ "$back" != "$placed" ]; } ||
       { [ "$library" != "$expected" ] && [ "$library" != "$placed" ] &&
         [ "$library" != "$triangles" ]; }; then
      echo "$model as .$ext: $triangles triangles ($placed placed), read back $back," \
        "assimp $library of $expected"
      failures=$((failures + 1))
    fi
  done
done
if ! node "$work/validate.js" "$work"/out/*.glb/model.glb "$work"/out/*.gltf/model.gltf; then
  failures=$((failures + 1))
fi
echo "$count exports checked, $failures failures"
[ "$failures" -eq 0 ]
