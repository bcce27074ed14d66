#!/usr/bin/env python3
# End-to-end test of the painting program under a virtual X server: starts the real program on a
# scan given on its command line (it is imported), fills the inside of the scan's rectangle with the
# paint tool through real X input events, saves with Ctrl+S through the save dialog, quits with
# Alt+F4, then checks the saved document with the command-line converter. Screenshots are kept.
#
#   e2e_test.py --program build/test/app/gui/huedrane --cli build/test/cli/huedrane-cli \
#               --artifacts build/e2e-artifacts
import argparse
import json
import os
import secrets
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_images  # noqa: E402

# The paint tool's colour on a fresh configuration (the tools' default current colour).
DEFAULT_CURRENT_COLOUR = (255, 192, 128)

# The test scan: a white page with one thick black rectangle outline; its inside is a closed area.
SCAN_WIDTH, SCAN_HEIGHT = 360, 270
FRAME = (60, 50, 300, 220)  # left, top, right, bottom (exclusive) of the outline's outer edge
THICKNESS = 8

DEADLINE = time.monotonic() + 110  # the whole run stays under two minutes


class E2EFailure(Exception):
    pass


def log(text):
    print(f"e2e: {text}", flush=True)


def make_scan(path):
    left, top, right, bottom = FRAME
    rows = []
    for y in range(SCAN_HEIGHT):
        row = bytearray(b"\xff" * (SCAN_WIDTH * 3))
        if top <= y < bottom:
            edge = y < top + THICKNESS or y >= bottom - THICKNESS
            for x in range(left, right):
                if edge or x < left + THICKNESS or x >= right - THICKNESS:
                    row[x * 3:x * 3 + 3] = b"\x00\x00\x00"
        rows.append(row)
    e2e_images.write_png(path, SCAN_WIDTH, SCAN_HEIGHT, rows)


def remaining(limit):
    left = DEADLINE - time.monotonic()
    if left <= 0:
        raise E2EFailure("the test ran out of its two minutes")
    return min(limit, left)


class Session:
    """The X server, the program and the environment they share; stop() ends both."""

    def __init__(self, work, artifacts):
        self.work, self.artifacts = work, artifacts
        self.xvfb = self.program = None
        self.display = None
        self.env = dict(os.environ)
        self.shots = 0

    # --- the X server -------------------------------------------------------------------------
    def start_x(self):
        authority = os.path.join(self.work, "Xauthority")
        cookie = secrets.token_hex(16)
        for number in range(90, 140):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            display = f":{number}"
            open(authority, "w").close()
            subprocess.run(["xauth", "-q", "-f", authority, "add", display, ".", cookie], check=True)
            # -noreset: the readiness probe is the first client, and a server resetting when it
            # leaves can refuse the program's connection.
            server = subprocess.Popen(
                ["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
                 "-auth", authority],
                stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "xvfb.log"), "w"))
            self.env.update(DISPLAY=display, XAUTHORITY=authority)
            if self._x_ready(server):
                self.xvfb, self.display = server, display
                log(f"Xvfb on {display}")
                return
            self._end(server)
        raise E2EFailure("no free display for Xvfb (or Xvfb does not start; see xvfb.log)")

    def _x_ready(self, server):
        limit = time.monotonic() + 10
        while time.monotonic() < limit:
            if server.poll() is not None:
                return False
            probe = subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env,
                                   capture_output=True, text=True)
            if probe.returncode == 0:
                return True
            time.sleep(0.2)
        return False

    # --- the program --------------------------------------------------------------------------
    def start_program(self, program, argument, config):
        # Everything the program keeps between runs goes to the scratch folder, never the home.
        home = {}
        for variable in ("XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"):
            home[variable] = os.path.join(self.work, variable.lower())
            os.makedirs(home[variable], mode=0o700, exist_ok=True)
        env = dict(self.env, HUEDRANE_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb", **home)
        self.program_log = open(os.path.join(self.artifacts, "program.log"), "w")
        self.program = subprocess.Popen([program, argument], env=env, cwd=self.work,
                                        stdout=self.program_log, stderr=subprocess.STDOUT)

    def program_running(self):
        return self.program is not None and self.program.poll() is None

    def wait_program_exit(self, seconds):
        try:
            return self.program.wait(timeout=remaining(seconds))
        except subprocess.TimeoutExpired:
            return None

    # --- X tools ------------------------------------------------------------------------------
    def xdotool(self, *arguments, seconds=10, check=True):
        try:
            done = subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True,
                                  text=True, timeout=remaining(seconds))
        except subprocess.TimeoutExpired:
            if check:
                raise E2EFailure(f"xdotool {' '.join(arguments)}: no answer in {seconds} s")
            return ""
        if check and done.returncode != 0:
            raise E2EFailure(f"xdotool {' '.join(arguments)} failed: {done.stderr.strip()}")
        return done.stdout if done.returncode == 0 else ""

    def visible_windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
        return [w for w in out.split() if w]

    def visible_windows_of_class(self, name):
        out = self.xdotool("search", "--onlyvisible", "--class", name, check=False)
        return [w for w in out.split() if w]

    def wait_window(self, name, seconds):
        """The largest visible window whose name matches (a small box of the program may carry the
        same name), retried until one appears."""
        limit = time.monotonic() + seconds
        while time.monotonic() < limit:
            if self.program is not None and not self.program_running():
                raise E2EFailure(f"the program ended (status {self.program.returncode}) "
                                 f"while waiting for a window named {name!r}; see program.log")
            sizes = {}
            for window in self.visible_windows(name):
                try:
                    _, _, w, h = self.geometry(window)
                    sizes[window] = w * h
                except E2EFailure:  # gone again in the meantime
                    pass
            if sizes:
                return max(sizes, key=sizes.get)
            time.sleep(0.25)
        raise E2EFailure(f"no window named {name!r} appeared within {seconds} s")

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def dump(self, target, path):
        subprocess.run(["xwd", *target, "-silent", "-out", path], env=self.env, check=True,
                       timeout=remaining(15))
        picture = e2e_images.read_xwd(path)
        os.remove(path)
        return picture

    def screenshot(self, label, over=()):
        """Dumps the whole screen, keeps it as a PNG and returns the decoded picture. A root dump
        leaves windows of another visual depth (Qt's dialogs) black, so the windows in `over` are
        dumped on their own and pasted in at their place."""
        self.shots += 1
        stem = os.path.join(self.artifacts, f"{self.shots:02d}-{label}")
        picture = self.dump(["-root"], stem + ".xwd")
        for window in over:
            x, y, _, _ = self.geometry(window)
            part = self.dump(["-id", window], stem + ".xwd")
            for row in range(part.height):
                if not 0 <= y + row < picture.height:
                    continue
                for column in range(part.width):
                    if 0 <= x + column < picture.width:
                        picture.pixels[(y + row) * picture.width + x + column] = \
                            part.pixels[row * part.width + column]
        e2e_images.save_picture_png(picture, stem + ".png")
        return picture

    # --- cleanup ------------------------------------------------------------------------------
    @staticmethod
    def _end(process):
        if process is None or process.poll() is not None:
            return
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=5)

    def stop(self):
        self._end(self.program)
        self._end(self.xvfb)


def find_frame(picture, window):
    """The screen rectangle of the scan's black outline inside the window: the rows holding a dark
    run as long as the outline is wide, and their horizontal extent. Menu and tool bar texts never
    make runs that long."""
    wx, wy, ww, wh = window
    width = FRAME[2] - FRAME[0]
    rows = []
    for y in range(max(wy, 0), min(wy + wh, picture.height)):
        run = 0
        base = y * picture.width
        for x in range(max(wx, 0), min(wx + ww, picture.width) + 1):
            dark = x < min(wx + ww, picture.width) and max(picture.pixels[base + x][:3]) < 64
            if dark:
                run += 1
                continue
            if abs(run - width) <= width // 20:
                rows.append((y, x - run))
            run = 0
    if not rows:
        return None
    top, bottom = rows[0][0], rows[-1][0]
    left = min(start for _, start in rows)
    return left, top, left + width, bottom + 1


def close(a, b, tolerance=8):
    return all(abs(x - y) <= tolerance for x, y in zip(a[:3], b[:3]))


def run(args, work, session):
    scratch = os.path.join(work, "scratch")
    config = os.path.join(work, "config")
    os.makedirs(scratch)
    os.makedirs(config)
    scan = os.path.join(scratch, "scan.png")
    make_scan(scan)
    target = os.path.join(scratch, "painted.hdq")

    session.start_x()
    session.start_program(os.path.abspath(args.program), scan, config)
    main = session.wait_window("Huedrane", 30)
    time.sleep(1.0)  # the first paint after mapping
    x, y, w, h = session.geometry(main)
    log(f"main window {main} at {x},{y} size {w}x{h}")
    shot = session.screenshot("started")

    # The canvas shows the imported scan at actual size: find its outline on the screen.
    frame = None
    for attempt in range(10):
        frame = find_frame(shot, (x, y, w, h))
        if frame:
            break
        time.sleep(0.5)
        shot = session.screenshot(f"waiting-{attempt}")
    if not frame:
        raise E2EFailure("the scan's rectangle is not on the screen (canvas not drawn?)")
    left, top, right, bottom = frame
    if (bottom - top) != FRAME[3] - FRAME[1]:
        raise E2EFailure(f"the outline found on screen {frame} does not match the scan at actual size")
    if not (x <= left and right <= x + w and y <= top and bottom <= y + h):
        raise E2EFailure(f"the outline {frame} lies outside the main window")
    click = ((left + right) // 2, (top + bottom) // 2)
    outside = (left - 20, top - 20)
    log(f"outline on screen at {frame}; clicking at {click}")
    if not close(shot.at(*click), (255, 255, 255)):
        raise E2EFailure(f"the inside of the outline is not white before the click: {shot.at(*click)}")

    # Paint-tool click (the default tool) with real pointer events.
    session.xdotool("mousemove", "--sync", str(click[0]), str(click[1]))
    session.xdotool("click", "1")
    painted = None
    for attempt in range(6):
        time.sleep(0.5)
        shot = session.screenshot("clicked")
        if close(shot.at(*click), DEFAULT_CURRENT_COLOUR, 24):
            painted = shot
            break
    if painted is None:
        raise E2EFailure(f"the click did not fill the area on screen: {shot.at(*click)} at {click}")
    if close(painted.at(*outside), DEFAULT_CURRENT_COLOUR, 24):
        raise E2EFailure("the fill leaked outside the rectangle on screen")

    # Ctrl+S on an imported, never-saved document opens the save dialog.
    before = set(session.visible_windows("."))
    session.xdotool("windowfocus", "--sync", main, check=False)
    session.xdotool("key", "--clearmodifiers", "ctrl+s")
    dialog = None
    limit = time.monotonic() + 15
    while time.monotonic() < limit and dialog is None:
        if not session.program_running():
            raise E2EFailure("the program ended after Ctrl+S; see program.log")
        new = [w for w in session.visible_windows(".") if w not in before]
        dialog = new[0] if new else None
        time.sleep(0.25)
    if dialog is None:
        session.screenshot("no-save-dialog")
        raise E2EFailure("Ctrl+S did not open a save dialog within 15 s")
    log(f"save dialog {dialog}: {session.xdotool('getwindowname', dialog, check=False).strip()!r}")
    time.sleep(0.5)
    session.screenshot("save-dialog", over=[dialog])
    session.xdotool("windowfocus", "--sync", dialog, check=False)
    # Qt's dialog starts with its file-name field focused: replace its text with the target path.
    session.xdotool("key", "--clearmodifiers", "ctrl+a")
    session.xdotool("type", "--delay", "15", target, seconds=30)
    time.sleep(0.3)
    session.xdotool("key", "Return")
    limit = time.monotonic() + 15
    while time.monotonic() < limit and not os.path.exists(target):
        time.sleep(0.25)
    if not os.path.exists(target):
        session.screenshot("not-saved")
        raise E2EFailure(f"the save dialog did not write {target} within 15 s")
    time.sleep(0.5)
    session.screenshot("saved")

    # Quit through the File menu (Alt+F, then the exit item's accelerator X), keeping a picture of
    # the open menu; Alt+F4 (the item's shortcut) if the menu does not open. A save question, if
    # any, is answered with Enter.
    session.xdotool("windowfocus", "--sync", main, check=False)
    before = set(session.visible_windows_of_class("."))
    session.xdotool("key", "--clearmodifiers", "alt+f")
    menu = None
    limit = time.monotonic() + 5
    while time.monotonic() < limit and menu is None:
        new = [w for w in session.visible_windows_of_class(".") if w not in before]
        menu = new[0] if new else None
        time.sleep(0.25)
    if menu is not None:
        time.sleep(0.3)
        session.screenshot("file-menu", over=[menu])
        session.xdotool("key", "x")
    else:
        log("the File menu did not open with Alt+F; quitting with Alt+F4")
        session.xdotool("key", "--clearmodifiers", "alt+F4")
    status = session.wait_program_exit(8)
    if status is None and menu is not None:
        session.screenshot("still-running")
        session.xdotool("windowfocus", "--sync", main, check=False)
        session.xdotool("key", "--clearmodifiers", "alt+F4")
        status = session.wait_program_exit(8)
    if status is None:
        session.screenshot("exit-question")
        session.xdotool("key", "Return")
        status = session.wait_program_exit(8)
    if status is None:
        raise E2EFailure("the program did not end after Alt+F4")
    if status != 0:
        raise E2EFailure(f"the program ended with status {status}; see program.log")
    log("program ended normally")
    check_document(args.cli, target, os.path.join(args.artifacts, "painted.png"))


def check_document(cli, document, rendered):
    info = subprocess.run([cli, "info", document], capture_output=True, text=True, timeout=remaining(30))
    if info.returncode != 0:
        raise E2EFailure(f"huedrane-cli info failed: {info.stderr.strip()}")
    try:
        facts = json.loads(info.stdout)
    except json.JSONDecodeError as error:
        raise E2EFailure(f"huedrane-cli info printed no JSON ({error}): {info.stdout[:200]}")
    if (facts.get("width"), facts.get("height")) != (SCAN_WIDTH, SCAN_HEIGHT):
        raise E2EFailure(f"huedrane-cli info reports a {facts.get('width')}x{facts.get('height')} cel")
    with open(rendered + ".info.json", "w") as out:
        out.write(info.stdout)
    made = subprocess.run([cli, "render", document, "-o", rendered], capture_output=True, text=True,
                          timeout=remaining(30))
    if made.returncode != 0:
        raise E2EFailure(f"huedrane-cli render failed: {made.stderr.strip()}")
    picture = e2e_images.read_png(rendered)
    if (picture.width, picture.height) != (SCAN_WIDTH, SCAN_HEIGHT):
        raise E2EFailure(f"the saved cel is {picture.width}x{picture.height}, "
                         f"not the scan's {SCAN_WIDTH}x{SCAN_HEIGHT}")
    left, top, right, bottom = FRAME
    inside = [((left + right) // 2, (top + bottom) // 2), (left + THICKNESS + 2, top + THICKNESS + 2),
              (right - THICKNESS - 3, bottom - THICKNESS - 3)]
    outside = [(5, 5), (SCAN_WIDTH - 5, SCAN_HEIGHT - 5), (left - 10, (top + bottom) // 2)]
    for point in inside:
        if not close(picture.at(*point), DEFAULT_CURRENT_COLOUR, 0):
            raise E2EFailure(f"the saved cel at {point} is {picture.at(*point)}, "
                             f"not the current colour {DEFAULT_CURRENT_COLOUR}")
    for point in outside:
        if close(picture.at(*point), DEFAULT_CURRENT_COLOUR, 0):
            raise E2EFailure(f"the saved cel at {point} outside the rectangle holds the current colour")
    log(f"saved document checked: {len(facts.get('records', []))} records, the inside holds "
        f"{DEFAULT_CURRENT_COLOUR}, the outside does not")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xauth", "xwd"):
        if shutil.which(tool) is None:
            print(f"e2e: FAILED: {tool} is not installed", file=sys.stderr)
            return 1
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    work = tempfile.mkdtemp(prefix="huedrane-e2e-")
    session = Session(work, args.artifacts)
    try:
        run(args, work, session)
    except (E2EFailure, subprocess.SubprocessError, OSError, ValueError) as error:
        print(f"e2e: FAILED: {error}", file=sys.stderr)
        if session.xvfb is not None and session.xvfb.poll() is None:
            try:
                session.screenshot("failure")
            except Exception:  # the failure itself is what gets reported
                pass
        print(f"e2e: screenshots and program.log are in {args.artifacts}", file=sys.stderr)
        return 1
    finally:
        session.stop()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    log(f"passed; screenshots in {args.artifacts}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
