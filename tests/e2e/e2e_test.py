#!/usr/bin/env python3
# End-to-end test of the painting program under a virtual X server: starts the real program on a
# scan given on its command line (it is imported) and, through real X input events, fills the scan's
# three closed areas: the first with the current colour, the second with a colour picked in the
# colour chart box, the third in bitmap mode from a reference picture added through the Reference
# menu, with the check view on (it marks the third area while it is left, and nothing once filled). It saves with Ctrl+S, chooses export settings in the options dialog, exports, then saves
# under another name with a Ctrl+T whose Ctrl is let go inside the dialog and checks that the next
# plain click fills (not zooms); then opens a file that is no document, answering No to the save
# question, and saves the cel the failed open left in the window. It opens the next cel of the cut
# (the scan moved, imported by the converter), carries the painted cel's colours to it with
# Ctrl+Shift+V and saves it. It zooms with Ctrl+wheel about the pointer, floats the colour chart box
# off its dock and moves it, shows the palette, brush and about boxes, quits through the File menu,
# starts the program again and finds the chart box where it was moved; then checks the saved
# documents (with the command-line converter) and the exported picture pixel by pixel. Last it paints
# the saved cel again, waits for its recovery copy, kills the program, recovers the cel from the
# dialog at the next start, saves it and checks it the same way. The title's unsaved-changes marker
# is followed throughout. Screenshots are kept.
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
import e2e_workspace  # noqa: E402
from e2e_workspace import expect_marker  # noqa: E402

# The paint tool's colour on a fresh configuration (the tools' default current colour).
DEFAULT_CURRENT_COLOUR = (255, 192, 128)

# The test scan: a white page with one thick black rectangle outline split by two vertical lines
# into three closed areas A, B and C (left to right).
SCAN_WIDTH, SCAN_HEIGHT = 360, 270
FRAME = (60, 50, 300, 220)  # left, top, right, bottom (exclusive) of the outline's outer edge
THICKNESS = 8
DIVIDERS = (140, 220)  # left edges of the two inner lines
AREAS = {"A": (68, 140), "B": (148, 220), "C": (228, 292)}  # inner columns of each area

# The colour chart the program finds at start-up: one group holding the colour area B gets.
CHART_COLOUR = (40, 160, 80)
CHART_TEXT = "[E2E]\r\nGreen=(40,160,80)\r\nRose=(230,90,120)\r\n"

# The reference picture: 20 x 20 pixels in four 10 x 10 quadrants, repeated from the document origin
# when area C is filled in bitmap mode.
REFERENCE_SIZE = 20
QUADRANTS = ((200, 40, 200), (30, 90, 220), (250, 220, 30), (20, 170, 170))

# The check view's marks: orange hatching and frames.
CHECK_MARK = (255, 128, 0)

# The next cel of the cut: the scan moved by this much (right, down).
NEXT_SHIFT = (6, 4)

# Export settings chosen in the options dialog: half size, 24-bit colour.
EXPORT_DIVISOR = 2

DEADLINE = time.monotonic() + 240  # the whole run stays under four minutes, on a busy machine too


class E2EFailure(Exception):
    pass


# Where the floating colour chart box is moved to, from the main window's top-left corner, and its size.
CHART_PLACE = (420, 300)
CHART_SIZE = (360, 360)


def log(text):
    print(f"e2e: {text}", flush=True)


def make_scan(path, shift=(0, 0)):
    left, top, right, bottom = FRAME[0] + shift[0], FRAME[1] + shift[1], FRAME[2] + shift[0], FRAME[3] + shift[1]
    rows = []
    for y in range(SCAN_HEIGHT):
        row = bytearray(b"\xff" * (SCAN_WIDTH * 3))
        if top <= y < bottom:
            edge = y < top + THICKNESS or y >= bottom - THICKNESS
            for x in range(left, right):
                divider = any(d + shift[0] <= x < d + shift[0] + THICKNESS for d in DIVIDERS)
                if edge or divider or x < left + THICKNESS or x >= right - THICKNESS:
                    row[x * 3:x * 3 + 3] = b"\x00\x00\x00"
        rows.append(row)
    e2e_images.write_png(path, SCAN_WIDTH, SCAN_HEIGHT, rows)


def reference_colour(x, y):
    """The reference picture's colour at document pixel (x, y), the picture repeated from (0, 0)."""
    qx = (x % REFERENCE_SIZE) // (REFERENCE_SIZE // 2)
    qy = (y % REFERENCE_SIZE) // (REFERENCE_SIZE // 2)
    return QUADRANTS[qy * 2 + qx]


def make_reference(path):
    rows = []
    for y in range(REFERENCE_SIZE):
        rows.append(bytearray(b"".join(bytes(reference_colour(x, y)) for x in range(REFERENCE_SIZE))))
    e2e_images.write_png(path, REFERENCE_SIZE, REFERENCE_SIZE, rows)


def write_chart(work):
    folder = os.path.join(work, "xdg_data_home", "Vantrel", "Huedrane")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "chart.ini"), "w", newline="") as out:
        out.write(CHART_TEXT)


def remaining(limit):
    left = DEADLINE - time.monotonic()
    if left <= 0:
        raise E2EFailure("the test ran out of its four minutes")
    return min(limit, left)


class Session:
    """The X server, the program and the environment they share; stop() ends both."""

    def __init__(self, work, artifacts):
        self.work, self.artifacts = work, artifacts
        self.xvfb = self.program = None
        self.display = None
        self.env = dict(os.environ)
        self.shots = 0
        self.language = "ja"  # the language of the program's texts

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
        for variable in ("XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME"):
            home[variable] = os.path.join(self.work, variable.lower())
            os.makedirs(home[variable], mode=0o700, exist_ok=True)
        env = dict(self.env, HUEDRANE_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb", HUEDRANE_LANGUAGE=self.language,
                   **home)
        self.program_log = open(os.path.join(self.artifacts, "program.log"), "a")
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


def find_colour(picture, window, colour, tolerance=4):
    """The first screen point inside the window showing the colour, or None."""
    wx, wy, ww, wh = window
    for y in range(max(wy, 0), min(wy + wh, picture.height)):
        base = y * picture.width
        for x in range(max(wx, 0), min(wx + ww, picture.width)):
            if close(picture.pixels[base + x], colour, tolerance):
                return x, y
    return None


def close(a, b, tolerance=8):
    return all(abs(x - y) <= tolerance for x, y in zip(a[:3], b[:3]))


class Canvas:
    """Where the cel lies on the screen: document pixel (x, y) at actual size."""

    def __init__(self, frame):
        self.left, self.top = frame[0] - FRAME[0], frame[1] - FRAME[1]

    def screen(self, x, y):
        return self.left + x, self.top + y

    def area_point(self, area):
        first, last = AREAS[area]
        return (first + last) // 2, (FRAME[1] + FRAME[3]) // 2


def wait_new_window(session, before, what, seconds=15):
    limit = time.monotonic() + seconds
    while time.monotonic() < limit:
        if not session.program_running():
            raise E2EFailure(f"the program ended while waiting for {what}; see program.log")
        new = [w for w in session.visible_windows(".") if w not in before]
        if new:
            return new[0]
        time.sleep(0.25)
    session.screenshot(f"no-{what.replace(' ', '-')}")
    raise E2EFailure(f"{what} did not open within {seconds} s")


def press_on(session, window, keys):
    session.xdotool("windowfocus", "--sync", window, check=False)
    session.xdotool("key", "--clearmodifiers", keys)


def open_with_keys(session, main, keys, what):
    before = set(session.visible_windows("."))
    press_on(session, main, keys)
    window = wait_new_window(session, before, what)
    log(f"{what} {window}: {session.xdotool('getwindowname', window, check=False).strip()!r}")
    time.sleep(0.5)
    return window


def open_menu(session, main, keys, label):
    """Opens a menu with its Alt key and keeps a picture of it; None when no menu window appeared
    (the keys still went to the window)."""
    session.xdotool("windowfocus", "--sync", main, check=False)
    before = set(session.visible_windows_of_class("."))
    session.xdotool("key", "--clearmodifiers", keys)
    limit = time.monotonic() + 5
    while time.monotonic() < limit:
        new = [w for w in session.visible_windows_of_class(".") if w not in before]
        if new:
            time.sleep(0.3)
            session.screenshot(label, over=[new[0]])
            return new[0]
        time.sleep(0.25)
    log(f"no menu window appeared for {keys}")
    return None


def answer_file_dialog(session, dialog, path, label):
    """Qt's file dialog starts with its file-name field focused: its text is replaced by the path."""
    session.screenshot(label, over=[dialog])
    session.xdotool("windowfocus", "--sync", dialog, check=False)
    session.xdotool("key", "--clearmodifiers", "ctrl+a")
    session.xdotool("type", "--delay", "15", path, seconds=30)
    time.sleep(0.3)
    session.xdotool("key", "Return")


def wait_file(session, path, what):
    limit = time.monotonic() + 15
    while time.monotonic() < limit and not os.path.exists(path):
        time.sleep(0.25)
    if not os.path.exists(path):
        session.screenshot(f"no-{what}")
        raise E2EFailure(f"{what}: {path} was not written within 15 s")
    time.sleep(0.5)


def save_again(session, main, path, saved, label, what):
    """Ctrl+S on a document saved before (its modification time then `saved`): waits until the file
    is written again."""
    press_on(session, main, "ctrl+s")
    limit = time.monotonic() + 15
    while time.monotonic() < limit and os.stat(path).st_mtime_ns == saved:
        time.sleep(0.25)
    if os.stat(path).st_mtime_ns == saved:
        session.screenshot(f"no-save-{label}")
        raise E2EFailure(f"Ctrl+S {label.replace('-', ' ')} did not save {what}")


def click_until(session, point, expected, label, tolerance=24):
    """Clicks at the screen point and waits for the screen to show the expected colour there."""
    session.xdotool("mousemove", "--sync", str(point[0]), str(point[1]))
    session.xdotool("click", "1")
    shot = None
    for _ in range(6):
        time.sleep(0.5)
        shot = session.screenshot(label)
        if close(shot.at(*point), expected, tolerance):
            return shot
    raise E2EFailure(f"{label}: the screen at {point} shows {shot.at(*point)}, not {expected}")


def run(args, work, session):
    scratch = os.path.join(work, "scratch")
    config = os.path.join(work, "config")
    os.makedirs(scratch)
    os.makedirs(config)
    scan = os.path.join(scratch, "scan.png")
    make_scan(scan)
    reference = os.path.join(scratch, "reference.png")
    make_reference(reference)
    write_chart(work)
    target = os.path.join(scratch, "painted.hdq")
    exported = os.path.join(scratch, "exported.png")

    session.start_x()
    session.start_program(os.path.abspath(args.program), scan, config)
    main = session.wait_window("Huedrane", 30)
    time.sleep(1.0)  # the first paint after mapping
    x, y, w, h = session.geometry(main)
    log(f"main window {main} at {x},{y} size {w}x{h}")
    shot = session.screenshot("started")
    # The first start fills the screen (maximised; without a window manager, its free area less a margin).
    if w < 1280 * 3 // 4 or h < 1024 * 3 // 4:
        raise E2EFailure(f"the first start opened a {w}x{h} window on a 1280x1024 screen")
    # The imported scan is not saved yet.
    log(f"title {expect_marker(session, main, True, 'after the import')!r}")

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
    canvas = Canvas(frame)
    log(f"outline on screen at {frame}")
    for area in AREAS:
        if not close(shot.at(*canvas.screen(*canvas.area_point(area))), (255, 255, 255)):
            raise E2EFailure(f"area {area} is not white before painting")

    # Area A: a paint-tool click (the default tool) in the current colour.
    painted = click_until(session, canvas.screen(*canvas.area_point("A")), DEFAULT_CURRENT_COLOUR, "area-a")
    if close(painted.at(*canvas.screen(FRAME[0] - 20, FRAME[1] - 20)), DEFAULT_CURRENT_COLOUR, 24):
        raise E2EFailure("the fill leaked outside the rectangle on screen")
    if close(painted.at(*canvas.screen(*canvas.area_point("B"))), DEFAULT_CURRENT_COLOUR, 24):
        raise E2EFailure("the fill of area A leaked into area B")

    # Area B: the colour chart box (F7), docked on the window's right, shows the chart file's
    # group; clicking its swatch makes that colour current. F7 closes it again.
    swatch = show_docked_chart(session, main, frame, (x, y, w, h), "chart-box")
    session.xdotool("mousemove", "--sync", str(swatch[0] + 2), str(swatch[1] + 2))
    session.xdotool("click", "1")
    time.sleep(0.5)
    click_until(session, canvas.screen(*canvas.area_point("B")), CHART_COLOUR, "area-b", 4)
    press_on(session, main, "F7")
    time.sleep(0.5)

    # The check view (View menu, K) marks area C, the one area left unpainted, and nothing else.
    toggle_check_view(session, main)
    expect_check_marks(session, canvas, "check-area-c-left", "C")

    # Area C: a reference picture added through the Reference menu, then bitmap mode (key C).
    open_menu(session, main, "alt+r", "reference-menu")
    before = set(session.visible_windows("."))
    session.xdotool("key", "a")
    dialog = wait_new_window(session, before, "the add-reference dialog")
    time.sleep(0.5)
    answer_file_dialog(session, dialog, reference, "reference-dialog")
    limit = time.monotonic() + 10
    pane = None
    while time.monotonic() < limit and pane is None:
        time.sleep(0.5)
        shot = session.screenshot("reference-pane")
        pane = find_colour(shot, (x + w // 2, y, w - w // 2, h), QUADRANTS[1], 2)
    if pane is None:
        raise E2EFailure("the reference pane does not show the added picture")
    log(f"reference picture shown in the pane at {pane}")
    press_on(session, main, "c")
    time.sleep(0.3)
    point = canvas.area_point("C")
    click_until(session, canvas.screen(*point), reference_colour(*point), "area-c", 4)
    expect_check_marks(session, canvas, "check-clean", None)
    toggle_check_view(session, main)

    # Ctrl+S on an imported, never-saved document opens the save dialog.
    dialog = open_with_keys(session, main, "ctrl+s", "the save dialog")
    answer_file_dialog(session, dialog, target, "save-dialog")
    wait_file(session, target, "save")
    session.screenshot("saved")
    expect_marker(session, main, False, "after saving")

    # The options dialog (View menu, O): the export page (third tab), half size (Alt+M, one step
    # down in the reduction list) and 24-bit colour (Alt+Q), then OK.
    open_menu(session, main, "alt+v", "view-menu")
    before = set(session.visible_windows("."))
    session.xdotool("key", "o")
    options = wait_new_window(session, before, "the options dialog")
    time.sleep(0.5)
    session.xdotool("windowfocus", "--sync", options, check=False)
    session.xdotool("key", "--clearmodifiers", "ctrl+Tab", "ctrl+Tab")
    time.sleep(0.3)
    session.xdotool("key", "--clearmodifiers", "alt+m")
    session.xdotool("key", "Down")
    session.xdotool("key", "--clearmodifiers", "alt+q")
    time.sleep(0.3)
    session.screenshot("options-dialog", over=[options])
    session.xdotool("key", "Return")
    limit = time.monotonic() + 5
    while time.monotonic() < limit and options in session.visible_windows("."):
        time.sleep(0.25)
    if options in session.visible_windows("."):
        raise E2EFailure("the options dialog did not close with OK")

    # Ctrl+E exports through the export dialog with those settings.
    dialog = open_with_keys(session, main, "ctrl+e", "the export dialog")
    answer_file_dialog(session, dialog, exported, "export-dialog")
    wait_file(session, exported, "export")
    session.screenshot("exported")

    # The wheel with Ctrl zooms about the pointer, on the painted cel (no marks drawn over it). The
    # canvas's view is the window's left half (the reference pane has the right) less scroll bars.
    view = (canvas.left + 4, canvas.top + 4, x + w // 2 - 40, y + h - 80)
    try:
        pointer, samples = e2e_workspace.zoom_about_pointer(session, view, "wheel")
    except e2e_workspace.WorkspaceFailure as failure:
        raise E2EFailure(str(failure))
    log(f"Ctrl+wheel zoomed about the pointer at {pointer} ({samples} samples)")
    back = find_frame(session.screenshot("wheel-zoom-back"), (x, y, w, h))
    if back != frame:
        raise E2EFailure(f"after zooming back the outline is at {back}, not {frame}")

    copy = os.path.join(scratch, "copy.hdq")
    click_after_held_ctrl_t(session, main, canvas, copy)
    expect_marker(session, main, True, "after a click on the saved cel")
    failed_open_keeps_the_cel(session, main, scratch, copy)
    following = os.path.join(scratch, "zz-next.hdq")
    carry_to_the_next_cel(args.cli, session, main, scratch, following)
    expect_marker(session, main, False, "after saving the next cel")

    # The chart box floated off its dock and moved; it must open there again after a restart.
    chart_place = float_chart(session, main, frame, (x, y, w, h))
    show_boxes(session, main, (x, y, w, h))
    quit_program(session, main)
    restart_finds_the_chart(args, session, following, config, chart_place)
    check_document(args.cli, target, os.path.join(args.artifacts, "painted.png"), expected_cel)
    check_export(exported, os.path.join(args.artifacts, "exported.png"))
    check_document(args.cli, copy, os.path.join(args.artifacts, "copy.png"), expected_copy)
    check_document(args.cli, following, os.path.join(args.artifacts, "carried.png"), expected_carried, NEXT_SHIFT)
    crash_and_recover(args, session, work, target, config)
    check_document(args.cli, target, os.path.join(args.artifacts, "recovered.png"), expected_copy)


def click_after_held_ctrl_t(session, main, canvas, copy):
    """Ctrl+T whose Ctrl is let go only once the save dialog has the focus, so the window never
    sees the release; the next plain click must still fill (bitmap mode: area A takes the
    reference picture), not zoom."""
    session.xdotool("windowfocus", "--sync", main, check=False)
    before = set(session.visible_windows("."))
    session.xdotool("keydown", "ctrl")
    session.xdotool("key", "t")
    dialog = wait_new_window(session, before, "the save-as dialog")
    time.sleep(0.3)
    session.xdotool("keyup", "ctrl")
    answer_file_dialog(session, dialog, copy, "save-as-dialog")
    wait_file(session, copy, "save as")
    point = canvas.area_point("A")
    click_until(session, canvas.screen(*point), reference_colour(*point), "area-a-after-ctrl-t", 4)


def failed_open_keeps_the_cel(session, main, scratch, copy):
    """Ctrl+O on the edited cel, No to the save question, a file that is no document: the error
    shows and the edited cel stays in the window, so Ctrl+S then writes it."""
    broken = os.path.join(scratch, "broken.hdq")
    with open(broken, "w") as out:
        out.write("a text file named like a document\n")
    saved = os.stat(copy).st_mtime_ns
    # The tool boxes hide around the dialogs and come back: none of them counts as a new window.
    known = set(session.visible_windows("."))
    question = open_with_keys(session, main, "ctrl+o", "the save question")
    session.screenshot("save-question", over=[question])
    session.xdotool("windowfocus", "--sync", question, check=False)
    before = set(session.visible_windows("."))
    session.xdotool("key", "--clearmodifiers", "alt+n")
    dialog = wait_new_window(session, before, "the open dialog")
    time.sleep(0.5)
    answer_file_dialog(session, dialog, broken, "open-dialog")
    error = wait_new_window(session, known | {question, dialog}, "the open error")
    log(f"the open error {error}: {session.xdotool('getwindowname', error, check=False).strip()!r}")
    time.sleep(1.0)
    session.screenshot("open-error", over=[error])
    limit = time.monotonic() + 10
    while time.monotonic() < limit and error in session.visible_windows("."):
        session.xdotool("windowactivate", "--sync", error, check=False)
        session.xdotool("key", "Return")
        time.sleep(0.5)
    if error in session.visible_windows("."):
        raise E2EFailure("the open error did not close with Enter")
    save_again(session, main, copy, saved, "after-failed-open", "the edited cel")
    session.screenshot("saved-after-failed-open")


def toggle_check_view(session, main):
    open_menu(session, main, "alt+v", "view-menu-check")
    session.xdotool("key", "k")
    time.sleep(0.5)


def expect_check_marks(session, canvas, label, area):
    """The check view's orange marks: round the given area (hatching its pixels, framing its box
    just outside it) and nowhere else on the cel, or nowhere at all when area is None."""
    shot = session.screenshot(label)
    near = elsewhere = 0
    first, last = AREAS[area] if area else (0, 0)
    for y in range(FRAME[1] - 10, FRAME[3] + 10):
        for x in range(FRAME[0] - 10, FRAME[2] + 10):
            sx, sy = canvas.screen(x, y)
            if not close(shot.pixels[sy * shot.width + sx], CHECK_MARK, 2):
                continue
            if area and first - 6 <= x < last + 6 and FRAME[1] + THICKNESS - 6 <= y < FRAME[3] - THICKNESS + 6:
                near += 1
            else:
                elsewhere += 1
    log(f"check marks ({label}): {near} round area {area}, {elsewhere} elsewhere")
    if area and near < 100:
        raise E2EFailure(f"the check view hardly marks area {area}: {near} pixels ({label})")
    if elsewhere:
        raise E2EFailure(f"the check view marks {elsewhere} pixels away from area {area} ({label})")


def carry_to_the_next_cel(cli, session, main, scratch, following):
    """The next cel of the cut (the scan moved, imported by the converter; it sorts after the
    painted cel, so that one is its previous document) is opened, takes the painted cel's colours
    with Ctrl+Shift+V, and is saved with Ctrl+S."""
    moved = os.path.join(scratch, "moved.png")
    make_scan(moved, NEXT_SHIFT)
    made = subprocess.run([cli, "import", moved, "-o", following], capture_output=True, text=True,
                          timeout=remaining(30))
    if made.returncode != 0:
        raise E2EFailure(f"huedrane-cli import of the next cel failed: {made.stderr.strip()}")
    saved = os.stat(following).st_mtime_ns
    dialog = open_with_keys(session, main, "ctrl+o", "the open dialog for the next cel")
    answer_file_dialog(session, dialog, following, "open-next-cel")
    limit = time.monotonic() + 10
    while time.monotonic() < limit and "zz-next" not in session.xdotool("getwindowname", main, check=False):
        time.sleep(0.25)
    if "zz-next" not in session.xdotool("getwindowname", main, check=False):
        raise E2EFailure("the next cel did not open")
    press_on(session, main, "ctrl+shift+v")
    time.sleep(2.0)
    session.screenshot("carried")
    save_again(session, main, following, saved, "after-carry", "the next cel")


def show_docked_chart(session, main, frame, window, label):
    """Shows the colour chart box with F7, docked right of the canvas (no window of its own), and
    gives the screen point of its swatch of the chart file's colour."""
    x, y, w, h = window
    before = set(session.visible_windows("."))
    press_on(session, main, "F7")
    swatch = None
    limit = time.monotonic() + 5
    while swatch is None and time.monotonic() < limit:
        time.sleep(0.5)
        shot = session.screenshot(label)
        swatch = find_colour(shot, (frame[2] + 20, y, x + w - frame[2] - 20, h), CHART_COLOUR)
    if swatch is None:
        raise E2EFailure(f"the docked chart box shows no swatch of {CHART_COLOUR}")
    if set(session.visible_windows(".")) - before:
        raise E2EFailure("the chart box opened as a window of its own, not docked")
    log(f"chart swatch at {swatch}")
    return swatch


def float_chart(session, main, frame, window):
    """Shows the chart box docked (F7), floats it with a double click on its title bar (the top of
    the dock area, level with the canvas's top) and moves it; gives its place."""
    x, y, w, h = window
    swatch = show_docked_chart(session, main, frame, window, "chart-docked-again")
    canvas_top = frame[1] - FRAME[1]
    before = set(session.visible_windows("."))
    place = (x + CHART_PLACE[0], y + CHART_PLACE[1])
    try:
        box = e2e_workspace.float_and_move(session, main, (swatch[0], canvas_top + 6), place, CHART_SIZE, before)
    except e2e_workspace.WorkspaceFailure as failure:
        raise E2EFailure(str(failure))
    moved = session.geometry(box)
    session.screenshot("chart-floating", over=[box])
    log(f"chart box floating at {moved}")
    return moved


def restart_finds_the_chart(args, session, document, config, chart_place):
    """Starts the program again on the same settings with the document: the chart box floats where
    it was moved, the title shows the document unmarked."""
    session.start_program(os.path.abspath(args.program), document, config)
    main = session.wait_window(os.path.basename(document), 30)
    time.sleep(1.0)
    log(f"restarted: {expect_marker(session, main, False, 'after the restart')!r}")
    found = None
    limit = time.monotonic() + 10
    while found is None and time.monotonic() < limit:
        for window in session.visible_windows("."):
            if window != main and session.geometry(window) == chart_place:
                found = window
        time.sleep(0.25)
    x, y, w, h = session.geometry(main)
    over = [found] if found else []
    session.screenshot("restarted", over=over)
    if found is None:
        places = [session.geometry(w) for w in session.visible_windows(".") if w != main]
        raise E2EFailure(f"after the restart no box stands at the chart box's place {chart_place} "
                         f"(boxes at {places})")
    log(f"after the restart the chart box is at {chart_place} again")
    quit_program(session, main)


def set_setting(config, name, value):
    """Rewrites a value of the program's main settings key in the settings store file."""
    store = os.path.join(config, "HKEY_CURRENT_USER.reg")
    with open(store, encoding="utf-8") as f:
        lines = f.read().split("\n")
    line = f'"{name}"="{value}"'
    at = [i for i, text in enumerate(lines) if text.startswith(f'"{name}"=')]
    if not at:
        raise E2EFailure(f"the settings store has no {name} to change")
    lines[at[0]] = line
    with open(store, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def crash_and_recover(args, session, work, document, config):
    """With a recovery copy after every step: opens the painted document, refills area A from the
    reference picture, waits for the copy, kills the program (SIGKILL), starts it again, opens the
    copy from the recovery dialog (the cel comes back modified under its own name) and saves it."""
    set_setting(config, "AutosaveSteps", "1")
    recovery = os.path.join(work, "xdg_state_home", "huedrane", "recovery")
    session.start_program(os.path.abspath(args.program), document, config)
    main = session.wait_window(os.path.basename(document), 30)
    time.sleep(1.0)
    x, y, w, h = session.geometry(main)
    frame = find_frame(session.screenshot("before-crash"), (x, y, w, h))
    if not frame:
        raise E2EFailure("the document's outline is not on the screen before the crash")
    canvas = Canvas(frame)
    point = canvas.area_point("A")
    click_until(session, canvas.screen(*point), reference_colour(*point), "painted-before-crash", 4)
    limit = time.monotonic() + 10
    copies = []
    while time.monotonic() < limit and not copies:
        time.sleep(0.25)
        names = os.listdir(recovery) if os.path.isdir(recovery) else []
        copies = [n for n in names if n.endswith(".info")]
    if not copies:
        raise E2EFailure(f"no recovery copy was written within 10 s (the folder holds {names})")
    log(f"recovery copy {copies[0]} written; killing the program")
    session.program.send_signal(signal.SIGKILL)
    session.program.wait(timeout=remaining(10))

    session.start_program(os.path.abspath(args.program), document, config)
    offer = session.wait_window("作業の復元" if session.language == "ja" else "Recover Work", 30)
    time.sleep(0.5)
    session.screenshot("recovery-dialog", over=[offer])
    press_on(session, offer, "Return")  # "Open" is the default button; the newest copy is chosen
    main = session.wait_window(os.path.basename(document), 30)
    log(f"recovered: {expect_marker(session, main, True, 'after the recovery')!r}")
    time.sleep(0.5)
    session.screenshot("recovered")
    saved = os.stat(document).st_mtime_ns
    save_again(session, main, document, saved, "after-recovery", "the recovered cel")
    left = [n for n in os.listdir(recovery) if not n.startswith(".")]
    if left:
        raise E2EFailure(f"saving the recovered cel left {left} in the recovery folder")
    quit_program(session, main)


def show_boxes(session, main, window):
    """Opens the palette box (F6) and the brush box (F8), docked on the right of the canvas, and
    the about box (Help menu, A), keeping pictures of them; the about box closes with Enter."""
    x, y, w, h = window
    before = set(session.visible_windows("."))
    for keys in ("F6", "F8"):
        press_on(session, main, keys)
        time.sleep(0.5)
    shot = session.screenshot("palette-and-brush-boxes")
    if set(session.visible_windows(".")) - before:
        raise E2EFailure("the palette or brush box opened as a window of its own, not docked")
    # The palette's hue field: strongly coloured pixels right of the canvas's view.
    vivid = sum(1 for yy in range(y, y + h, 3) for xx in range(x + w // 2, x + w, 3)
                if max(shot.at(xx, yy)[:3]) - min(shot.at(xx, yy)[:3]) > 200)
    if vivid < 50:
        raise E2EFailure(f"the docked palette box is not on the screen ({vivid} vivid samples)")
    open_menu(session, main, "alt+h", "help-menu")
    before = set(session.visible_windows("."))
    session.xdotool("key", "a")
    about = wait_new_window(session, before, "the about box")
    time.sleep(0.5)
    session.screenshot("about-box", over=[about])
    session.xdotool("windowfocus", "--sync", about, check=False)
    session.xdotool("key", "Return")
    limit = time.monotonic() + 5
    while time.monotonic() < limit and about in session.visible_windows("."):
        time.sleep(0.25)
    if about in session.visible_windows("."):
        raise E2EFailure("the about box did not close with Enter")


def quit_program(session, main):
    """Quits through the File menu (Alt+F, then the exit item's accelerator X), keeping a picture of
    the open menu; Alt+F4 (the item's shortcut) if the menu does not open. A save question, if any,
    is answered with Enter."""
    menu = open_menu(session, main, "alt+f", "file-menu")
    if menu is not None:
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


def expected_cel(x, y, area_a=DEFAULT_CURRENT_COLOUR):
    """The colour the painted cel must hold at an inner point of an area, or None elsewhere."""
    if not FRAME[1] + THICKNESS <= y < FRAME[3] - THICKNESS:
        return None
    for area, (first, last) in AREAS.items():
        if first <= x < last:
            return {"A": area_a, "B": CHART_COLOUR}.get(area) or reference_colour(x, y)
    return None


def expected_copy(x, y):
    """The cel saved after the failed open: area A refilled from the reference picture."""
    return expected_cel(x, y, area_a=None)


def expected_carried(x, y):
    """The next cel after the carry: areas A and B in the painted cel's colours, moved; area C,
    painted there from a picture, which no fill of one colour repaints, left unpainted."""
    colour = expected_cel(x - NEXT_SHIFT[0], y - NEXT_SHIFT[1])
    if colour is None:
        return None
    return colour if colour in (DEFAULT_CURRENT_COLOUR, CHART_COLOUR) else (255, 255, 255)


def sample_points():
    """Inner points of each area, away from the lines by two pixels."""
    points = []
    for first, last in AREAS.values():
        for x in (first + 2, (first + last) // 2, last - 3):
            for y in (FRAME[1] + THICKNESS + 2, (FRAME[1] + FRAME[3]) // 2, FRAME[3] - THICKNESS - 3):
                points.append((x, y))
    return points


def check_document(cli, document, rendered, expected, shift=(0, 0)):
    """Checks the saved document at the sample points, moved by shift."""
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
    for point in [(px + shift[0], py + shift[1]) for px, py in sample_points()]:
        if not close(picture.at(*point), expected(*point), 0):
            raise E2EFailure(f"{document} at {point} is {picture.at(*point)}, not {expected(*point)}")
    for point in [(5, 5), (SCAN_WIDTH - 5, SCAN_HEIGHT - 5), (FRAME[0] - 10, (FRAME[1] + FRAME[3]) // 2)]:
        if picture.at(*point)[3] != 0 and close(picture.at(*point), DEFAULT_CURRENT_COLOUR, 0):
            raise E2EFailure(f"the saved cel at {point} outside the rectangle holds the current colour")
    log(f"saved document {os.path.basename(document)} checked: {len(facts.get('records', []))} records, "
        f"areas A, B and C as painted")


def check_export(exported, kept):
    shutil.copyfile(exported, kept)
    with open(exported, "rb") as f:
        head = f.read(26)
    colour_type = head[25] if len(head) >= 26 else None
    if colour_type != 2:
        raise E2EFailure(f"the exported PNG has colour type {colour_type}, not 24-bit RGB (2)")
    picture = e2e_images.read_png(exported)
    size = (SCAN_WIDTH // EXPORT_DIVISOR, SCAN_HEIGHT // EXPORT_DIVISOR)
    if (picture.width, picture.height) != size:
        raise E2EFailure(f"the exported picture is {picture.width}x{picture.height}, not {size}")
    checked = 0
    for x, y in sample_points():
        ex, ey = x // EXPORT_DIVISOR, y // EXPORT_DIVISOR
        block = [expected_cel(ex * EXPORT_DIVISOR + dx, ey * EXPORT_DIVISOR + dy)
                 for dx in range(EXPORT_DIVISOR) for dy in range(EXPORT_DIVISOR)]
        if None in block:
            continue
        want = tuple(sum(c[i] for c in block) / len(block) for i in range(3))
        if not close(picture.at(ex, ey), want, 1):
            raise E2EFailure(f"the exported picture at {(ex, ey)} is {picture.at(ex, ey)}, not {want}")
        checked += 1
    if checked < len(AREAS) * 4:
        raise E2EFailure(f"only {checked} exported pixels could be checked")
    log(f"exported picture checked: {size[0]}x{size[1]}, 24-bit, {checked} pixels of areas A, B and C")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    parser.add_argument("--language", choices=("ja", "en"), default="ja",
                        help="the language of the program's texts (the keys pressed are the same)")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xauth", "xwd"):
        if shutil.which(tool) is None:
            print(f"e2e: FAILED: {tool} is not installed", file=sys.stderr)
            return 1
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    work = tempfile.mkdtemp(prefix="huedrane-e2e-")
    session = Session(work, args.artifacts)
    session.language = args.language
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
