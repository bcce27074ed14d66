"""The end-to-end test's look at the workspace: the title's unsaved-changes marker, a Ctrl+wheel
zoom about the pointer, and a tool box floated and moved that opens at the same place after a
restart. Driven through real X input events like the rest of the test."""
import time


class WorkspaceFailure(Exception):
    pass


def title(session, main):
    return session.xdotool("getwindowname", main, check=False).strip()


def expect_marker(session, main, marked, when):
    """Waits for the window's title to show (or no longer show) the "*" of unsaved changes."""
    limit = time.monotonic() + 5
    while time.monotonic() < limit and title(session, main).startswith("*") != marked:
        time.sleep(0.2)
    shown = title(session, main)
    if shown.startswith("*") != marked:
        raise WorkspaceFailure(f"{when}: the title {shown!r} {'lacks' if marked else 'still has'} the '*' marker")
    return shown


def ctrl_wheel(session, point, notches):
    """Turns the wheel by notches (up zooms in) with Ctrl held, the pointer at the screen point."""
    # No --sync: it waits for a motion, and the pointer may already be there.
    session.xdotool("mousemove", str(point[0]), str(point[1]))
    time.sleep(0.2)
    session.xdotool("keydown", "ctrl")
    try:
        button = "4" if notches > 0 else "5"
        for _ in range(abs(notches)):
            session.xdotool("click", button)
            time.sleep(0.15)
    finally:
        session.xdotool("keyup", "ctrl")
    time.sleep(0.6)


def is_dark(pixel):
    return max(pixel[:3]) < 64


def zoom_about_pointer(session, view, label):
    """view: a screen rectangle inside the canvas's view at every zoom. Zooms in twice about its
    middle, then once more with the pointer beside a line: the picture at pointer + 2o after that
    step must be the one at pointer + o before it, for every sampled offset o (the pointer's point
    held in place, everything round it twice as far). Zooms back out to actual size."""
    left, top, right, bottom = view
    middle = ((left + right) // 2, (top + bottom) // 2)
    ctrl_wheel(session, middle, 2)
    before = session.screenshot(f"{label}-zoom-2")
    # A dark pixel near the middle: the lines give the comparison something to hold on to.
    reach = min(right - left, bottom - top) // 4 - 4
    pointer = None
    for radius in range(0, reach, 3):
        for dx in range(-radius, radius + 1, 3):
            for dy in (-radius, radius):
                x, y = middle[0] + dx, middle[1] + dy
                if is_dark(before.at(x, y)) and not is_dark(before.at(x + 3, y + 3)):
                    pointer = (x + 3, y + 3)
                    break
            if pointer:
                break
        if pointer:
            break
    if pointer is None:
        raise WorkspaceFailure("no line near the middle of the view at zoom 2")
    ctrl_wheel(session, pointer, 1)
    after = session.screenshot(f"{label}-zoom-3")
    limit = min(pointer[0] - left, right - pointer[0], pointer[1] - top, bottom - pointer[1]) // 2 - 2
    same = different = dark = 0
    for oy in range(-limit, limit + 1, 5):
        for ox in range(-limit, limit + 1, 5):
            was = before.at(pointer[0] + ox, pointer[1] + oy)
            now = after.at(pointer[0] + 2 * ox, pointer[1] + 2 * oy)
            dark += is_dark(was)
            if all(abs(a - b) <= 8 for a, b in zip(was[:3], now[:3])):
                same += 1
            else:
                different += 1
    samples = same + different
    if dark == 0 or dark == samples:
        raise WorkspaceFailure(f"the view round the pointer {pointer} holds no line edge to compare")
    # Pixels on a line's edge may fall either way of it after the doubling.
    if different > samples // 20:
        raise WorkspaceFailure(f"Ctrl+wheel did not zoom about the pointer {pointer}: {different} of "
                               f"{samples} samples moved")
    ctrl_wheel(session, pointer, -3)
    return pointer, samples


def float_and_move(session, main, title_bar, place, size, before):
    """Double-clicks a docked box's title bar so that it floats, then sizes and moves the floating box."""
    session.xdotool("mousemove", "--sync", str(title_bar[0]), str(title_bar[1]))
    session.xdotool("click", "--repeat", "2", "--delay", "120", "1")
    limit = time.monotonic() + 8
    box = None
    while time.monotonic() < limit and box is None:
        new = [w for w in session.visible_windows(".") if w not in before]
        box = new[0] if new else None
        time.sleep(0.25)
    if box is None:
        raise WorkspaceFailure(f"double-clicking the box's title bar at {title_bar} did not float it")
    # A floating box keeps its docked height; made smaller, it fits on the screen where it is put
    # (a box reaching off the screen would be moved back onto it when it opens again).
    session.xdotool("windowsize", "--sync", box, str(size[0]), str(size[1]), check=False)
    session.xdotool("windowmove", "--sync", box, str(place[0]), str(place[1]), check=False)
    time.sleep(0.5)
    return box
