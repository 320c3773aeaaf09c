#!/usr/bin/env python3
"""Big models in other formats, opened and drawn once, side by side in one run.

    bench/bench_formats.py ZEMVORA [--runs N] [--folder DIR] [--library LIBRARY_IMPORT]

Writes the 2,000,000-triangle grid (1001 x 1001 vertices: x = i * 0.01, y = j * 0.01,
z = 0.05 * ((7i + 13j) mod 17) / 17, two triangles a square) as OBJ, then as binary STL, binary
PLY and GLB with the Open Asset Import Library's own exporter (`assimp export`, package
assimp-utils), as users get such files. Then, for each format, N fresh processes (3) of:

- zemvora: `ZEMVORA --render FILE --output OUT.png` (800 x 600), the import child included;
- f3d: `f3d --output OUT.png --resolution 800,600 FILE` under a private Xvfb, when f3d and Xvfb
  are installed (Debian's f3d 1.3.1); a note otherwise;
- child: `ZEMVORA --import-child FILE`, the child alone, its answer thrown away;
- library: LIBRARY_IMPORT FILE (`bench/library_import` of a build with ZEMVORA_BENCH=ON), the
  child's reading through the Open Asset Import Library alone, for every format, so that the
  program's own readers are measured against it.

Prints each command's median wall time and its peak resident memory (the largest of the process
and the processes it waited for), and zemvora's time and memory as a share of f3d's.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def grid_obj(path, n=1001):
    with open(path, "w") as out:
        for i in range(n):
            out.write("".join("v %g %g %g\n" % (i * 0.01, j * 0.01,
                                                 0.05 * ((7 * i + 13 * j) % 17) / 17)
                              for j in range(n)))
        for i in range(n - 1):
            rows = []
            for j in range(n - 1):
                a = i * n + j + 1
                b, c = a + 1, a + n
                d = c + 1
                rows.append("f %d %d %d\nf %d %d %d\n" % (a, c, d, a, d, b))
            out.write("".join(rows))


def run(command, env=None):
    """Wall seconds and peak resident MB of one fresh process and what it waited for."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    if status != 0:
        return None
    return seconds, usage.ru_maxrss / 1024.0


def measure(command, runs, env=None):
    results = [run(command, env) for _ in range(runs)]
    if any(r is None for r in results):
        return None
    return statistics.median(r[0] for r in results), max(r[1] for r in results)


def main():
    args = sys.argv[1:]
    if not args or args[0].startswith("-"):
        sys.exit(__doc__)
    exe = os.path.abspath(args[0])
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 3
    folder = args[args.index("--folder") + 1] if "--folder" in args else tempfile.mkdtemp()
    library = args[args.index("--library") + 1] if "--library" in args else None
    os.makedirs(folder, exist_ok=True)

    obj = os.path.join(folder, "grid.obj")
    if not os.path.exists(obj):
        grid_obj(obj)
    files = {"OBJ": obj}
    exports = {"STL": ("grid.stl", "stlb"), "PLY": ("grid.ply", "plyb"), "GLB": ("grid.glb", "glb2")}
    if shutil.which("assimp"):
        for name, (file, kind) in exports.items():
            path = os.path.join(folder, file)
            if not os.path.exists(path):
                subprocess.run(["assimp", "export", obj, path, "-f" + kind],
                               stdout=subprocess.DEVNULL, check=True)
            files[name] = path
    else:
        print("assimp export is not installed (assimp-utils): STL, PLY and GLB left out")

    xvfb, f3d_env = None, None
    if shutil.which("f3d") and shutil.which("Xvfb"):
        display = ":%d" % (150 + os.getpid() % 100)
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24"],
                                stderr=subprocess.DEVNULL)
        time.sleep(1)
        f3d_env = dict(os.environ, DISPLAY=display)
    else:
        print("f3d or Xvfb is not installed: no side-by-side figures")

    out = os.path.join(folder, "out.png")
    print("%-4s %-8s %10s %10s" % ("", "", "median s", "peak MB"))
    try:
        for name, path in files.items():
            rows = {"zemvora": measure([exe, "--render", path, "--output", out], runs)}
            if f3d_env:
                rows["f3d"] = measure(["f3d", "--output", out, "--resolution", "800,600", path],
                                      runs, f3d_env)
            rows["child"] = measure([exe, "--import-child", path], runs)
            if library:
                rows["library"] = measure([library, path], runs)
            for who, figures in rows.items():
                if figures is None:
                    print("%-4s %-8s %10s" % (name, who, "failed"))
                else:
                    print("%-4s %-8s %10.2f %10.0f" % (name, who, figures[0], figures[1]))
            if rows.get("f3d") and rows["zemvora"]:
                print("%-4s zemvora: %.2f x f3d's time, %.2f x its memory (targets 0.7 and 1)"
                      % (name, rows["zemvora"][0] / rows["f3d"][0],
                         rows["zemvora"][1] / rows["f3d"][1]))
    finally:
        if xvfb:
            xvfb.terminate()


if __name__ == "__main__":
    main()
