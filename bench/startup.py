#!/usr/bin/env python3
"""Start to first paint of the painting program, as whole processes under a virtual X server: the
time from starting the program to its main window being shown (mapped, which the first paint
follows at once), with no file and with the sample scan to import. Prints the median of the runs.

    startup.py PROGRAM SAMPLE_SCAN [RUNS]"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def free_display():
    for number in range(150, 200):
        if not os.path.exists(f"/tmp/.X{number}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{number}"):
            return f":{number}"
    raise SystemExit("startup.py: no free display")


def visible_windows(env):
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Huedrane"], env=env,
                          capture_output=True, text=True)
    return done.stdout.split()


def one_start(program, arguments, env, work):
    config = tempfile.mkdtemp(dir=work)
    home = {name: os.path.join(config, name.lower()) for name in
            ("XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR")}
    for folder in home.values():
        os.makedirs(folder, mode=0o700)
    started = time.monotonic()
    process = subprocess.Popen([program, *arguments], env=dict(env, HUEDRANE_CONFIG_HOME=config, **home),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - started < 20:
            if visible_windows(env):
                return time.monotonic() - started
            if process.poll() is not None:
                raise SystemExit(f"startup.py: the program ended with {process.returncode}")
            time.sleep(0.005)
        raise SystemExit("startup.py: no window within 20 s")
    finally:
        process.terminate()
        process.wait(10)


def main():
    program, scan = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    work = tempfile.mkdtemp(prefix="huedrane-startup-")
    display = free_display()
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    try:
        limit = time.monotonic() + 10
        while subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True).returncode != 0:
            if time.monotonic() > limit:
                raise SystemExit("startup.py: Xvfb does not start")
            time.sleep(0.1)
        one_start(program, [], env, work)  # the first start fills the disk cache
        print()
        for label, arguments in (("start to first paint, empty window", []),
                                 ("start to first paint, importing the sample scan", [scan])):
            times = [one_start(program, arguments, env, work) for _ in range(runs)]
            print(f"{label:48} {statistics.median(times) * 1000:10.0f} ms  (median of {runs})")
    finally:
        server.terminate()
        server.wait(10)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
