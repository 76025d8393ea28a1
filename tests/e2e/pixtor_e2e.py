"""Driving the real editor under Wine with xdotool, for the journeys and
the screenshot script, inside tools/lib/with-session. The editor it starts
it stops by its process id; every wait is bounded."""
import contextlib
import os
import subprocess
import sys
import time

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
# MASK: how the board shows a transparent pixel; the journeys take these from here.
from pixtor_testlib import MASK, Failure, compare_rgba, wine_path, write_txt  # noqa: E402,F401

# The Wine that runs the build: wine64, or the 32-bit build's runner.
WINE = os.environ.get("PIXTOR_WINE", "/usr/lib/wine/wine64")
TITLE = "Pixtor1.0.0"
SAVE_TITLE, OPEN_TITLE = "Save As", "Open"   # Wine's file dialogs

# Main-window client positions of the controls the journeys use.
BOARD_ORIGIN, BOARD_SIZE, CELLS = (48, 128), 288, 16
TOOLS = ["brush", "line", "fill", "round", "filled round", "square", "filled square", "mask", "hot spot"]


class E2EError(Exception):
    pass


def run(*args, timeout=20):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)


def xdotool(*args, timeout=20):
    return run("xdotool", *[str(a) for a in args], timeout=timeout).stdout


def screenshot(path):
    r = run("import", "-window", "root", path, timeout=60)
    if r.returncode != 0:
        raise E2EError("screenshot failed: " + r.stderr.strip())
    return Image.open(path).convert("RGB")


def until(probe, timeout, what):
    """probe's first true answer within timeout seconds; E2EError after."""
    deadline = time.monotonic() + timeout
    while not (answer := probe()):
        if time.monotonic() > deadline:
            raise E2EError("%s within %d s" % (what, timeout))
        time.sleep(0.2)
    return answer


class Editor:
    """One running pixtor.exe and the main window it shows."""

    def __init__(self, exe, args=(), log_path=None):
        self.log = open(log_path, "wb") if log_path else subprocess.DEVNULL
        self.proc = subprocess.Popen([WINE, exe, *args], stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        self.wid = None
        self.client = None     # screen position of the main window's client area

    def wait_for_window(self, timeout=60):
        def probe():
            if self.proc.poll() is not None:
                raise E2EError("the editor exited during start-up (code %d)" % self.proc.returncode)
            return xdotool("search", "--name", TITLE).split()
        self.wid = until(probe, timeout, "no window titled " + TITLE)[0]

    def geometry(self):
        g = dict(kv.split("=", 1) for kv in xdotool("getwindowgeometry", "--shell", self.wid).split() if "=" in kv)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def locate(self, shot_path, timeout=30):
        """Finds the board's outline and from it the client origin (the menu
        bar's height is Wine's business): a black corner with the mask
        colour diagonally inside, and the other three corners a board's width
        away (the preview has the same top-left look)."""
        def probe():
            img, (wx, wy, ww, wh) = screenshot(shot_path), self.geometry()
            px, (W, H) = img.load(), img.size
            far, black = BOARD_SIZE - 1, (0, 0, 0)
            return next(((x, y) for y in range(max(0, wy), min(H - 1 - far, wy + wh))
                         for x in range(max(0, wx), min(W - 1 - far, wx + ww))
                         if px[x, y] == px[x + 1, y] == px[x, y + 1] == black
                         and px[x + 1, y + 1] == px[x + 2, y + 2] == MASK
                         and px[x + far, y] == px[x, y + far] == px[x + far, y + far] == black), None)
        corner = until(probe, timeout, "the board was not found in " + shot_path)
        self.client = (corner[0] - BOARD_ORIGIN[0], corner[1] - BOARD_ORIGIN[1])

    def key(self, keys):   # at the main window, focused first so that the accelerators see them
        xdotool("windowfocus", "--sync", self.wid, timeout=10)
        xdotool("key", *keys.split())

    def screen(self, cx, cy):
        return self.client[0] + cx, self.client[1] + cy

    def drag(self, start, end, steps=0):
        """A press at one screen point, a drag to another and the release."""
        xdotool("mousemove", *start)
        time.sleep(0.05)
        xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            time.sleep(0.04)
            xdotool("mousemove", *(a + (b - a) * i // steps for a, b in zip(start, end)))
        time.sleep(0.1)
        xdotool("mouseup", 1)
        time.sleep(0.2)

    def click_client(self, cx, cy):
        self.drag(self.screen(cx, cy), self.screen(cx, cy))

    def cell_centre(self, col, row):   # in client pixels
        size = BOARD_SIZE // CELLS
        return BOARD_ORIGIN[0] + size * col + size // 2, BOARD_ORIGIN[1] + size * row + size // 2

    def pick_colour(self, pid):   # palette button pid (51-66: two columns of eight)
        self.click_client(450 + 23 * ((pid - 51) // 8) + 10, 180 + 23 * ((pid - 51) % 8) + 10)

    def pick_tool(self, name):
        self.click_client(5 + 15, 135 + 30 * TOOLS.index(name) + 15)

    def click_cell(self, col, row):
        self.click_client(*self.cell_centre(col, row))

    def drag_cells(self, start, end):
        self.drag(self.screen(*self.cell_centre(*start)), self.screen(*self.cell_centre(*end)), steps=8)

    def board_mismatches(self, what, picture, shot_path, timeout=10):
        """Screenshots until the board shows picture (rows of colours, the
        mask colour where transparent), a covered window repainting in its
        own time; the cells that still differ after timeout, as messages."""
        deadline = time.monotonic() + timeout
        while True:
            img = screenshot(shot_path)
            wrong = [(col, row, img.getpixel(self.screen(*self.cell_centre(col, row))), picture[row][col])
                     for row in range(CELLS) for col in range(CELLS)]
            wrong = [w for w in wrong if w[2] != w[3]]
            if not wrong or time.monotonic() > deadline:
                return ["%s: cell (%d,%d) shows %s, expected %s" % (what, *w) for w in wrong[:6]] + (
                    ["%s: %d cells differ in all" % (what, len(wrong))] if len(wrong) > 6 else [])
            time.sleep(0.3)

    def close(self, timeout=10):
        """Alt+X (Exit), else the end of the process it started; tells how the editor ended."""
        how = "not running"
        if self.proc.poll() is None and self.wid:
            self.key("alt+x")
            try:
                self.proc.wait(timeout)
                how = "Alt+X"
            except subprocess.TimeoutExpired:
                how = "Alt+X left it running"
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(10)
            how += ", killed by PID %d" % self.proc.pid
        if self.log is not subprocess.DEVNULL:
            self.log.close()
        return how


@contextlib.contextmanager
def started(exe, out, name, failures, args=()):
    """The editor started on args, its window and board found; at the end
    closed with Alt+X, which must not ask: nothing is unsaved at any close
    of the journeys."""
    editor = Editor(exe, args=args, log_path=os.path.join(out, "pixtor-%s.log" % name))
    try:
        editor.wait_for_window()
        editor.locate(os.path.join(out, "%s-start.png" % name))
        yield editor
    finally:
        how = editor.close()
        print("%s: editor closed: %s" % (name, how))
        if how != "Alt+X":
            failures.append("%s: Alt+X did not end the editor (%s)" % (name, how))


def file_dialog(editor, keys, title, typed, out, shot_name):
    """Opens a file dialog from the main window with keys, types a name into
    it and presses Return; returns once the dialog has gone."""
    editor.key(keys)
    dialog = until(lambda: xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split(), 15,
                   "no %r dialog" % title)[0]
    xdotool("windowfocus", "--sync", dialog, timeout=10)
    xdotool("type", "--delay", "20", typed, timeout=30)
    screenshot(os.path.join(out, shot_name))
    xdotool("key", "Return")
    until(lambda: "IsViewable" not in run("xwininfo", "-id", dialog).stdout, 15,
          "the %r dialog still shown after Return" % title)


def run_journey(name, journey, done_message):
    """The command line of a journey, PIXTOR_EXE OUTPUT_DIR: runs
    journey(exe, out, failures), prints every mismatch, gives the status."""
    if len(sys.argv) != 3:
        sys.stderr.write("usage: %s PIXTOR_EXE OUTPUT_DIR\n" % sys.argv[0])
        return 2
    out, failures = os.path.abspath(sys.argv[2]), []
    os.makedirs(out, exist_ok=True)
    try:
        journey(sys.argv[1], out, failures)
    except (E2EError, subprocess.SubprocessError, OSError) as err:
        failures.append(str(err))
    print("%s: screenshots in %s" % (name, out))
    for f in failures:
        print("MISMATCH:", f, file=sys.stderr)
    print(done_message if not failures else "%s: %d mismatches" % (name, len(failures)))
    return 1 if failures else 0
