#!/usr/bin/env python3
"""A 3 s drag in the real window, measured with its frame log.

    bench/drag_in_window.py ZEMVORA SCENE [--off]

Starts `ZEMVORA --frame-log LOG SCENE` on a private Xvfb display, sizes the window so that the
view is 800 x 600, waits for the file and its simplified copies, sends a full redraw (the G key
twice) to tie the log's clock to this script's, then drags with the left button for 3 s in one
xdotool run (press, then 300 moves 10 ms apart, about as often as a mouse reports them), then
the release in a run of its own.
Prints the frames drawn during the drag, how often full frames come, their ratio, and the first
frame after the release. --off turns View > Simplify while moving off first, which draws as the
program did before it. Needs Xvfb and xdotool.
"""
import os
import subprocess
import sys
import tempfile
import time

MENU_AND_BARS = 88  # the window's height beyond the view: menu, toolbar, status bar


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    exe, scene, off = sys.argv[1], sys.argv[2], "--off" in sys.argv[3:]
    log = os.path.join(tempfile.mkdtemp(), "frames.tsv")
    display = ":%d" % (90 + os.getpid() % 100)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24"],
                            stderr=subprocess.DEVNULL)
    time.sleep(1)
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    spawned = time.monotonic()  # the log's clock starts a little after this
    program = subprocess.Popen([exe, "--frame-log", log, scene], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def xdotool(*args):
        return subprocess.run(["xdotool", *map(str, args)], env=env, capture_output=True,
                              text=True).stdout

    try:
        time.sleep(6)
        windows = xdotool("search", "--name", "Zemvora").split()
        window = [w for w in windows if xdotool("getwindowname", w).strip().endswith("- Zemvora")][0]
        xdotool("windowsize", window, 800, 600 + MENU_AND_BARS)
        time.sleep(4)
        geometry = dict(l.split("=") for l in xdotool("getwindowgeometry", "--shell", window).split())
        x, y = int(geometry["X"]), int(geometry["Y"])
        cx, cy = x + 400, y + 300 + MENU_AND_BARS // 2
        xdotool("mousemove", cx, cy)
        if off:
            xdotool("key", "alt+v")
            time.sleep(0.5)
            xdotool("key", "s")
            time.sleep(1.5)
        # How long an xdotool run takes to deliver its event: the median of a few.
        runs = []
        for _ in range(7):
            start = time.monotonic()
            xdotool("getmouselocation")
            runs.append(time.monotonic() - start)
        latency = sorted(runs)[3]
        marker = time.monotonic() + latency
        xdotool("key", "g")
        time.sleep(1.5)
        xdotool("key", "g")
        time.sleep(1.5)
        chain = ["mousedown", "1"]
        for i in range(300):
            chain += ["mousemove", cx - 150 + i % 300, cy + i % 20, "sleep", "0.01"]
        press = time.monotonic() + latency
        xdotool(*chain)
        # The release in a run of its own, so that it is timed as the press is.
        release = time.monotonic() + latency
        xdotool("mouseup", 1)
        time.sleep(3)
    finally:
        program.terminate()
        program.wait()
        xvfb.terminate()

    frames = []  # start, end and length in ms of the log's clock, triangles, kind
    for line in open(log):
        end, length, triangles, kind = line.rstrip("\n").split("\t")
        frames.append((float(end) - float(length), float(end), float(length), int(triangles),
                       kind))
    # The marker: the frame the first G key drew, the one that starts nearest to it by the
    # program's start (1.5 s from any other frame); its start is the moment the key arrived.
    near = min(frames, key=lambda f: abs(spawned + f[0] / 1000 - marker))
    if abs(spawned + near[0] / 1000 - marker) > 0.7:
        sys.exit("the marker frame is not in the log")
    offset = marker - near[0] / 1000

    def seconds(ms):
        return ms / 1000 + offset

    # The release is timed to a few milliseconds: where the drag drew from the copies, the frame
    # after it is the one after the last moving frame.
    moving_at = [i for i, f in enumerate(frames) if f[4] == "moving"]
    if moving_at:
        after = frames[moving_at[-1] + 1:]
        during = [f for f in frames[:moving_at[-1] + 1] if seconds(f[0]) >= press]
    else:
        during = [f for f in frames if press <= seconds(f[0]) < release]
        after = [f for f in frames if seconds(f[0]) >= release]
    # Full frames from the marker on: those before it were drawn while the copies were made, with
    # the worker taking a core.
    full = sorted(f[2] for f in frames if f[4] == "full" and seconds(f[0]) >= marker - 0.01)
    full_ms = full[len(full) // 2]
    rate = len(during) / (release - press)
    moving = sorted(f[2] for f in during if f[4] == "moving")
    print("drag of %.2f s: %d frames (%d moving, %d full), %.1f per second"
          % (release - press, len(during), len(moving), len(during) - len(moving), rate))
    if moving:
        print("moving frames: median %.1f ms" % moving[len(moving) // 2])
    print("full frames: median %.1f ms, %.2f per second" % (full_ms, 1000 / full_ms))
    print("frames during the drag: %.1f x as often as full frames (target: at least 5 x)"
          % (rate * full_ms / 1000))
    if after:
        f = after[0]
        print("frame after the release: %s, started %.3f s and ended %.3f s after it"
              % (f[4], seconds(f[0]) - release, seconds(f[1]) - release))
    else:
        print("no frame after the release: the last frame of the drag showed where it ended")


if __name__ == "__main__":
    main()
