#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds (default 60),
# seeded from the real .3ds test files in tests/data, scene files converted from them and from
# the models in other formats, small hostile files and the answers an import child gives for
# those models. Inputs may reach 1 MiB, enough for files that amplify; each must load within the
# readers' bounds (8 times its size plus 256 MB, with the fuzzer's own memory) and in a few
# seconds, or the run fails.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
testdata="$root/tests/data/3ds"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEMVORA_FUZZ=ON -DZEMVORA_TESTS=OFF -DZEMVORA_GUI=OFF >/dev/null
cmake --build "$build" --target zemvora fuzz_read3ds fuzz_readscene fuzz_childanswer \
  fuzz_simplify fuzz_faststl fuzz_fastply fuzz_fastgltf fuzz_fastobj make_hostile_files

corpus3ds="$build/corpus-3ds"
corpusZmv="$build/corpus-zmv"
corpusChild="$build/corpus-child"
mkdir -p "$corpus3ds" "$corpusZmv" "$corpusChild"
find "$testdata" "$root/examples" -type f -iname '*.3ds' -size -200k | while read -r file; do
  name=$(basename "$file")
  cp "$file" "$corpus3ds/$name"
  "$build/zemvora" --convert "$file" "$corpusZmv/$name.zmv" 2>/dev/null || true
done
"$build/make_hostile_files" --seeds "$build/hostile-seeds" >/dev/null
cp "$build"/hostile-seeds/*.3ds "$corpus3ds/"
cp "$build"/hostile-seeds/*.zmv "$corpusZmv/"
# A scene file with an image a model held inside itself.
"$build/zemvora" --convert "$root/tests/data/models/gltf/BoxTexturedBinary.glb" \
  "$corpusZmv/BoxTexturedBinary.glb.zmv" 2>/dev/null || true
# The answers an import child gives for the models in other formats.
find "$root/tests/data/models" -type f \( -name '*.obj' -o -name '*.stl' -o -name '*.ply' \
  -o -name '*.gltf' -o -name '*.glb' -o -name '*.dae' -o -name '*.fbx' -o -name '*.off' \) |
  while read -r file; do
    "$build/zemvora" --import-child "$file" >"$corpusChild/$(basename "$file").answer" || true
  done

# Scenes with objects large enough to get simplified copies, of shapes a simplifier may not
# expect: the larger .3ds files and the meshes of the models in other formats (a binary STL's
# triangles each with vertices of their own among them).
corpusSimplify="$build/corpus-simplify"
mkdir -p "$corpusSimplify"
cp "$corpusZmv"/*.zmv "$corpusSimplify/"
find "$testdata" "$root/tests/data/models" -type f \( -iname '*.3ds' -o -name '*.stl' -o -name '*.ply' \
  -o -name '*.obj' -o -name '*.off' \) -size -1M | while read -r file; do
  "$build/zemvora" --convert "$file" "$corpusSimplify/$(basename "$file").zmv" 2>/dev/null || true
done
find "$corpusSimplify" -size +1M -delete

# STL files: the test model and small generated ones (binary with and without colours, text).
corpusStl="$build/corpus-stl"
mkdir -p "$corpusStl"
find "$root/tests/data/models" -type f -name '*.stl' -size -1M -exec cp {} "$corpusStl/" \;
one='\0\0\200\77' zero='\0\0\0\0'
facet="$zero$zero$one$zero$zero$zero$one$zero$zero$zero$one$zero\0\0"
{ printf '%-80s' 'solid written by a binary writer'; printf '\2\0\0\0'; printf "$facet$facet"; } \
  >"$corpusStl/two-facets.stl"
{ printf '%-80s' 'coloured'; printf '\1\0\0\0'; printf "${facet%????}\37\200"; } \
  >"$corpusStl/coloured.stl"
printf 'solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid t\n' \
  >"$corpusStl/text.stl"
# PLY files: the test model (text) and binary ones, little- and big-endian, with normals,
# mapping coordinates and a quad.
corpusPly="$build/corpus-ply"
mkdir -p "$corpusPly"
find "$root/tests/data/models" -type f -name '*.ply' -size -1M -exec cp {} "$corpusPly/" \;
for order in little big; do
  {
    printf 'ply\nformat binary_%s_endian 1.0\ncomment TextureFile a.png\nelement vertex 4\n' "$order"
    printf 'property float x\nproperty float y\nproperty float z\nproperty float nx\n'
    printf 'property float ny\nproperty float nz\nproperty float s\nproperty float t\n'
    printf 'element face 2\nproperty list uchar int vertex_indices\nend_header\n'
    head -c 128 /dev/zero
    if [ "$order" = little ]; then
      printf '\3\0\0\0\0\1\0\0\0\2\0\0\0\4\0\0\0\0\1\0\0\0\2\0\0\0\3\0\0\0'
    else
      printf '\3\0\0\0\0\0\0\0\1\0\0\0\2\4\0\0\0\0\0\0\0\1\0\0\0\2\0\0\0\3'
    fi
  } >"$corpusPly/quad-$order.ply"
done

# OBJ files: the test models, which name their material libraries.
corpusObj="$build/corpus-obj"
mkdir -p "$corpusObj"
cp "$root"/tests/data/models/obj/*.obj "$corpusObj/"

# glTF files: the binary test model.
corpusGltf="$build/corpus-gltf"
mkdir -p "$corpusGltf"
find "$root/tests/data/models" -type f -name '*.glb' -size -1M -exec cp {} "$corpusGltf/" \;

for target in fuzz_read3ds fuzz_readscene fuzz_childanswer fuzz_simplify fuzz_faststl \
  fuzz_fastply fuzz_fastgltf fuzz_fastobj; do
  corpus=$corpus3ds
  [ "$target" = fuzz_readscene ] && corpus=$corpusZmv
  [ "$target" = fuzz_simplify ] && corpus=$corpusSimplify
  [ "$target" = fuzz_faststl ] && corpus=$corpusStl
  [ "$target" = fuzz_fastply ] && corpus=$corpusPly
  [ "$target" = fuzz_fastgltf ] && corpus=$corpusGltf
  [ "$target" = fuzz_fastobj ] && corpus=$corpusObj
  [ "$target" = fuzz_childanswer ] && corpus=$corpusChild
  echo "== $target for $seconds s"
  # Findings (crash-* files) land in the build folder; the run fails on the first one.
  log="$build/$target.log"
  if ! (cd "$build" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=1048576 \
          -rss_limit_mb=640 -timeout=10 -print_final_stats=1 "$corpus" >"$log" 2>&1); then
    tail -n 60 "$log"
    echo "$target found a problem"
    exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)" "$log" || tail -n 3 "$log"
done
