#!/usr/bin/env python3
"""The 2M-triangle benchmark scene exported to GLB, side by side with the library's own exporter.

    bench/bench_export.py ZEMVORA SCENE.3DS [--runs N] [--format EXT]

SCENE.3DS is the benchmark scene (`make_bench_scene scene.3ds`). For N fresh processes (3) each:

- zemvora: `ZEMVORA --convert SCENE.3DS OUT.glb`, the program's read, the export child's
  conversion, the library's writer and the finishing of the glTF file together;
- assimp: `assimp export SCENE.3DS OUT.glb` (package assimp-utils), the library reading the same
  file with its own 3DS reader and writing it.

Prints each command's median wall time and peak resident memory (the largest of the process and
the processes it waited for), and zemvora's time as a share of the library's (target: at most 1).
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run(command):
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    return None if status != 0 else (seconds, usage.ru_maxrss / 1024.0)


def measure(command, runs):
    results = [run(command) for _ in range(runs)]
    if any(r is None for r in results):
        return None
    return statistics.median(r[0] for r in results), max(r[1] for r in results)


def main():
    args = sys.argv[1:]
    if len(args) < 2 or args[0].startswith("-"):
        sys.exit(__doc__)
    exe, scene = os.path.abspath(args[0]), os.path.abspath(args[1])
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 3
    extension = args[args.index("--format") + 1] if "--format" in args else "glb"
    folder = tempfile.mkdtemp()
    out = os.path.join(folder, "out." + extension)
    rows = {"zemvora": measure([exe, "--convert", scene, out], runs)}
    if shutil.which("assimp"):
        rows["assimp"] = measure(["assimp", "export", scene, out], runs)
    else:
        print("assimp export is not installed (assimp-utils): no side-by-side figure")
    print("%-8s %10s %10s" % ("", "median s", "peak MB"))
    for who, figures in rows.items():
        if figures is None:
            print("%-8s %10s" % (who, "failed"))
        else:
            print("%-8s %10.2f %10.0f" % (who, figures[0], figures[1]))
    if rows.get("assimp") and rows["zemvora"]:
        print("zemvora: %.2f x the library's time, %.2f x its memory (target: time at most 1)"
              % (rows["zemvora"][0] / rows["assimp"][0], rows["zemvora"][1] / rows["assimp"][1]))
    shutil.rmtree(folder)


if __name__ == "__main__":
    main()
