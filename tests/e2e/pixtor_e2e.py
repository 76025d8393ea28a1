"""Driving the real editor under Wine with xdotool, for the end-to-end
journeys and the screenshot script.

Everything this module starts (the editor) it stops by the process id it
recorded; every wait is bounded. The virtual display and the Wine server
come from tools/lib/with-session, which wraps the caller.
"""
import os
import subprocess
import time

from PIL import Image

# The Wine that runs the build: wine64, or the 32-bit build's runner.
WINE = os.environ.get("PIXTOR_WINE", "/usr/lib/wine/wine64")
TITLE = "Pixtor1.0.0"

# The board's transparent pixels are shown in the mask colour.
MASK_COLOUR = (95, 111, 111)

# Main-window client positions of the controls the journeys use.
BOARD_ORIGIN = (48, 128)
BOARD_SIZE = 288
DRAW_TOOLBAR = (5, 135)
DRAW_TOOL_ROW = 30            # 270 pixels of toolbar for nine wrapped buttons
TOOLS = ["brush", "line", "fill", "round", "filled round",
         "square", "filled square", "mask", "hot spot"]
PALETTE_FIRST_ID = 51         # ids 51-58 in the left column, 59-66 in the right
PALETTE_COLUMN_ROWS = 8


class E2EError(Exception):
    pass


def run(*args, timeout=20):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)


def xdotool(*args, timeout=20):
    r = run("xdotool", *[str(a) for a in args], timeout=timeout)
    return r.stdout


def screenshot(path):
    r = run("import", "-window", "root", path, timeout=60)
    if r.returncode != 0:
        raise E2EError("screenshot failed: " + r.stderr.strip())
    return Image.open(path).convert("RGB")


def wine_path(path):
    """The Windows name of a host path, through Wine's Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def visible_windows(title):
    """Ids of the mapped windows whose title is exactly title."""
    return xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split()


def wait_for_title(title, timeout):
    """The id of the first mapped window titled title, waiting at most timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        ids = visible_windows(title)
        if ids:
            return ids[0]
        if time.monotonic() > deadline:
            raise E2EError("no window titled %r within %d s" % (title, timeout))
        time.sleep(0.1)


def wait_until_unmapped(wid, timeout):
    """True once window wid is no longer shown, within timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        r = run("xwininfo", "-id", wid)
        if r.returncode != 0 or "IsViewable" not in r.stdout:
            return True
        time.sleep(0.1)
    return False


class Editor:
    """One running pixtor.exe and the main window it shows."""

    def __init__(self, exe, args=(), log_path=None):
        self.log = open(log_path, "wb") if log_path else subprocess.DEVNULL
        self.proc = subprocess.Popen([WINE, exe, *args], stdin=subprocess.DEVNULL,
                                     stdout=self.log, stderr=self.log)
        self.wid = None
        self.client = None     # screen position of the main window's client area
        self.cells = 16

    # -- start-up ------------------------------------------------------
    def wait_for_window(self, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise E2EError("the editor exited during start-up (code %d)" % self.proc.returncode)
            ids = xdotool("search", "--name", TITLE).split()
            if ids:
                self.wid = ids[0]
                return self.wid
            time.sleep(0.2)
        raise E2EError("no window titled %s within %d s" % (TITLE, timeout))

    def geometry(self):
        out = xdotool("getwindowgeometry", "--shell", self.wid)
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def locate(self, shot_path, timeout=30):
        """Finds the board by its black outline with the mask colour inside,
        near where the window geometry puts it, and derives the client
        origin from it: the menu bar's height is Wine's business."""
        deadline = time.monotonic() + timeout
        while True:
            img = screenshot(shot_path)
            corner = find_board(img, self.geometry())
            if corner:
                self.client = (corner[0] - BOARD_ORIGIN[0], corner[1] - BOARD_ORIGIN[1])
                return img
            if time.monotonic() > deadline:
                raise E2EError("the board was not found in %s" % shot_path)
            time.sleep(0.5)

    # -- input -----------------------------------------------------------
    def key(self, keys):
        """Keys typed at the main window, as a person would: it gets the
        focus first, so the accelerators see them."""
        xdotool("windowfocus", "--sync", self.wid, timeout=10)
        xdotool("key", keys)

    def screen(self, cx, cy):
        return self.client[0] + cx, self.client[1] + cy

    def click_client(self, cx, cy):
        x, y = self.screen(cx, cy)
        xdotool("mousemove", x, y)
        time.sleep(0.05)
        xdotool("mousedown", 1)
        time.sleep(0.05)
        xdotool("mouseup", 1)
        time.sleep(0.15)

    def cell_centre(self, col, row):
        """Board cell centre in client pixels; the outline is the cells' first grid line."""
        size = BOARD_SIZE // self.cells
        return (BOARD_ORIGIN[0] + size * col + size // 2,
                BOARD_ORIGIN[1] + size * row + size // 2)

    def cell_screen(self, col, row):
        return self.screen(*self.cell_centre(col, row))

    def palette_centre(self, pid):
        k = pid - PALETTE_FIRST_ID
        return 450 + 23 * (k // PALETTE_COLUMN_ROWS) + 10, 180 + 23 * (k % PALETTE_COLUMN_ROWS) + 10

    def pick_colour(self, pid):
        self.click_client(*self.palette_centre(pid))

    def tool_centre(self, name):
        k = TOOLS.index(name)
        return DRAW_TOOLBAR[0] + 15, DRAW_TOOLBAR[1] + DRAW_TOOL_ROW * k + DRAW_TOOL_ROW // 2

    def pick_tool(self, name):
        self.click_client(*self.tool_centre(name))

    def click_cell(self, col, row):
        self.click_client(*self.cell_centre(col, row))

    def drag_cells(self, start, end, steps=8):
        x0, y0 = self.cell_screen(*start)
        x1, y1 = self.cell_screen(*end)
        xdotool("mousemove", x0, y0)
        time.sleep(0.05)
        xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            time.sleep(0.04)
            xdotool("mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        time.sleep(0.1)
        xdotool("mouseup", 1)
        time.sleep(0.2)

    # -- reading the board -------------------------------------------------
    def board_cells(self, img):
        """The colour at the centre of every cell, row by row."""
        return [[colour_at(img, self.cell_screen(col, row)) for col in range(self.cells)]
                for row in range(self.cells)]

    def wait_for_board(self, picture, shot_path, timeout=10):
        """Screenshots until the board shows picture (rows of colours, the
        mask colour where transparent) or timeout seconds pass; a window
        that was covered repaints in its own time. Returns the last
        screenshot and the cells that differ, as (col, row, shown, wanted)."""
        deadline = time.monotonic() + timeout
        while True:
            img = screenshot(shot_path)
            shown = self.board_cells(img)
            wrong = [(col, row, shown[row][col], picture[row][col])
                     for row in range(self.cells) for col in range(self.cells)
                     if shown[row][col] != picture[row][col]]
            if not wrong or time.monotonic() > deadline:
                return img, wrong
            time.sleep(0.3)

    # -- shut-down -------------------------------------------------------
    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            self.proc.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def close(self, shot_dir=None, timeout=3):
        """Alt+X (Exit), confirming the exit prompt; falls back to killing
        the process it started. Returns how the editor ended."""
        how = "not running"
        if self.alive() and self.wid:
            xdotool("windowfocus", "--sync", self.wid, timeout=10)
            xdotool("key", "alt+x")
            if self.wait_exit(timeout):
                how = "Alt+X"
            else:
                how = self.answer_exit_prompt(shot_dir)
        if self.alive():
            self.proc.kill()
            self.wait_exit(10)
            how = "killed by PID %d" % self.proc.pid
        if self.log is not subprocess.DEVNULL:
            self.log.close()
        return how

    def answer_exit_prompt(self, shot_dir):
        # With unsaved changes Exit shows the save prompt (Yes, No, Cancel as
        # bitmap buttons); this journey keeps its drawing unsaved, so it
        # records the prompt and leaves the editor to be stopped by its PID.
        if shot_dir:
            screenshot(os.path.join(shot_dir, "exit-prompt.png"))
        return "Alt+X showed the save prompt"

    @staticmethod
    def geometry_of(wid):
        out = xdotool("getwindowgeometry", "--shell", wid)
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


# Wine's file dialogs, by their titles.
SAVE_TITLE = "Save As"
OPEN_TITLE = "Open"
DIALOG_TIMEOUT = 15


def file_dialog(editor, keys, title, typed, out, shot_name):
    """Opens a file dialog from the main window with keys, types a name into
    it and presses Return; returns once the dialog has gone."""
    editor.key(keys)
    dialog = wait_for_title(title, DIALOG_TIMEOUT)
    geometry = Editor.geometry_of(dialog)
    xdotool("windowfocus", "--sync", dialog, timeout=10)
    xdotool("type", "--delay", "20", typed, timeout=30)
    screenshot(os.path.join(out, shot_name))
    xdotool("key", "Return")
    if not wait_until_unmapped(dialog, DIALOG_TIMEOUT):
        screenshot(os.path.join(out, shot_name.replace(".png", "-stuck.png")))
        raise E2EError("the %r dialog was still shown %d s after Return" % (title, DIALOG_TIMEOUT))
    return geometry


def wait_for_file(path, timeout=10):
    """The file's size once it exists and has kept its size for a moment."""
    deadline = time.monotonic() + timeout
    last = None
    while time.monotonic() < deadline:
        size = os.path.getsize(path) if os.path.exists(path) else None
        if size and size == last:
            return size
        last = size
        time.sleep(0.25)
    raise E2EError("%s did not appear with a steady size within %d s" % (path, timeout))


def board_mismatches(what, wrong):
    return ["%s: cell (%d,%d) shows %s, expected %s" % (what, col, row, shown, wanted)
            for col, row, shown, wanted in wrong[:8]] + (
        ["%s: %d cells differ in all" % (what, len(wrong))] if len(wrong) > 8 else [])


def start(exe, out, name, args=()):
    editor = Editor(exe, args=args, log_path=os.path.join(out, "pixtor-%s.log" % name))
    editor.wait_for_window()
    editor.locate(os.path.join(out, "%s-start.png" % name))
    return editor


def close(editor, out, what, failures):
    # Nothing is unsaved at any close here, so Exit must not ask first.
    how = editor.close(out, timeout=10)
    print("%s: editor closed: %s" % (what, how))
    if how != "Alt+X":
        failures.append("%s: Alt+X did not end the editor (%s)" % (what, how))


def find_board(img, geometry):
    """Top-left corner of the board's outline: a black pixel with black to
    its right and below and the mask colour diagonally inside, and the
    outline's other three corners a board's width away. The small image
    preview has the same top-left look and paints first at start-up."""
    wx, wy, ww, wh = geometry
    px = img.load()
    W, H = img.size
    far = BOARD_SIZE - 1
    for y in range(max(0, wy), min(H - 1 - far, wy + wh)):
        for x in range(max(0, wx), min(W - 1 - far, wx + ww)):
            if (px[x, y] == (0, 0, 0) and px[x + 1, y] == (0, 0, 0)
                    and px[x, y + 1] == (0, 0, 0) and px[x + 1, y + 1] == MASK_COLOUR
                    and px[x + 2, y + 2] == MASK_COLOUR
                    and px[x + far, y] == (0, 0, 0) and px[x, y + far] == (0, 0, 0)
                    and px[x + far, y + far] == (0, 0, 0)):
                return x, y
    return None


def colour_at(img, xy):
    return img.getpixel(xy)


def run_journey(name, journey, done_message):
    """The command line of a journey script: PIXTOR_EXE OUTPUT_DIR. Runs
    journey(exe, out, failures), prints every mismatch, and gives the exit
    status."""
    import sys
    if len(sys.argv) != 3:
        sys.stderr.write("usage: %s PIXTOR_EXE OUTPUT_DIR\n" % sys.argv[0])
        return 2
    exe, out = sys.argv[1], os.path.abspath(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    began = time.monotonic()
    failures = []
    try:
        journey(exe, out, failures)
    except (E2EError, subprocess.SubprocessError, OSError) as err:
        failures.append(str(err))
    print("%s took %.1f s; screenshots in %s" % (name, time.monotonic() - began, out))
    for f in failures:
        print("MISMATCH:", f, file=sys.stderr)
    if not failures:
        print(done_message)
    return 1 if failures else 0
