#!/usr/bin/env python3
"""kbconf against a bare Qt Widgets window of the same size, side by side in one
run so that the machine's noise falls on both:

  - time from process start to the main window shown, and resident memory then
    (kbconf on the emulated keyboard, KBCONF_TRACE_START; the bare window);
  - CPU time and wake-ups per second of an idle `kbconf -hid` (and of the bare
    window) over a quiet period, from /proc/<pid>/stat and the schedstat of
    every thread.

Usage: bench/app_figures.py [BUILD_DIR]   (RUNS=7 IDLE_SECONDS=10 by default)
Both programs run on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
"""
import glob
import os
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
RUNS = int(os.environ.get("RUNS", "7"))
IDLE_SECONDS = float(os.environ.get("IDLE_SECONDS", "10"))
TICKS = os.sysconf("SC_CLK_TCK")


def environment(kind, scratch):
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    if kind == "kbconf":
        home = os.path.join(scratch, "home")
        runtime = os.path.join(scratch, "run")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(KBCONF_PLATFORM="sim", KBCONF_SIM_WINDOW="0", KBCONF_HOME=home,
                   XDG_RUNTIME_DIR=runtime, KBCONF_TRACE_START="1")
    return env


def command(kind, hidden=False):
    if kind == "kbconf":
        return [os.path.join(BUILD, "bin", "kbconf")] + (["-hid"] if hidden else [])
    return [os.path.join(BUILD, "bin", "kbconf_barewindow")]


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def one_start(kind):
    with tempfile.TemporaryDirectory() as scratch:
        t0 = time.perf_counter()
        p = subprocess.Popen(command(kind), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             env=environment(kind, scratch), text=True)
        shown = None
        for line in p.stdout:
            if line.strip() == "shown":
                shown = time.perf_counter() - t0
                break
        rss = rss_kib(p.pid) if shown is not None else 0
        p.terminate()
        p.wait(timeout=10)
        if shown is None:
            sys.exit(f"{kind} never said it was shown")
        return shown * 1000.0, rss / 1024.0


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def timeslices(pid):
    total = 0
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(path) as f:
                total += int(f.read().split()[2])
        except (OSError, IndexError, ValueError):
            pass  # a thread that ended meanwhile
    return total


def idle(kind):
    with tempfile.TemporaryDirectory() as scratch:
        p = subprocess.Popen(command(kind, hidden=True), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             env=environment(kind, scratch))
        time.sleep(3.5)  # start-up and the delayed start-up packet are over
        c0, w0, t0 = cpu_ticks(p.pid), timeslices(p.pid), time.perf_counter()
        time.sleep(IDLE_SECONDS)
        c1, w1, t1 = cpu_ticks(p.pid), timeslices(p.pid), time.perf_counter()
        p.terminate()
        p.wait(timeout=10)
        seconds = t1 - t0
        return 100.0 * (c1 - c0) / TICKS / seconds, (w1 - w0) / seconds


def main():
    starts = {"kbconf": [], "bare": []}
    for _ in range(RUNS):  # interleaved, so both see the same machine
        for kind in ("bare", "kbconf"):
            starts[kind].append(one_start(kind))
    idles = {kind: idle(kind) for kind in ("bare", "kbconf")}

    print(f"{'':28}{'bare window':>14}{'kbconf':>14}{'difference':>14}")
    med = {k: (statistics.median(x[0] for x in v), statistics.median(x[1] for x in v)) for k, v in starts.items()}
    print(f"{'start to shown, ms (median)':28}{med['bare'][0]:14.1f}{med['kbconf'][0]:14.1f}"
          f"{med['kbconf'][0] - med['bare'][0]:14.1f}")
    print(f"{'resident memory, MB (median)':28}{med['bare'][1]:14.1f}{med['kbconf'][1]:14.1f}"
          f"{med['kbconf'][1] - med['bare'][1]:14.1f}")
    print(f"{'idle CPU, % of one core':28}{idles['bare'][0]:14.3f}{idles['kbconf'][0]:14.3f}")
    print(f"{'idle wake-ups per second':28}{idles['bare'][1]:14.2f}{idles['kbconf'][1]:14.2f}")
    print(f"({RUNS} interleaved starts each; idle over {IDLE_SECONDS:g} s, kbconf started with -hid)")


if __name__ == "__main__":
    main()
