#!/usr/bin/python3
"""End-to-end journey through the real editor under Wine: draw in red, green
and blue, save with Alt+S through the save dialog, read the file with
icoutils, ImageMagick and Pillow, then bring the picture back twice, from
the command line and through Alt+O and the open dialog, and read the board
from screenshots each time.

usage: save_journey.py PIXTOR_EXE OUTPUT_DIR
Runs inside tools/lib/with-session (display and Wine server of its own).
Exits non-zero with a message on any mismatch.
"""
import hashlib
import os
import subprocess
import sys
import time

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import pixtor_e2e as e2e  # noqa: E402
from cross_check import compare_rgba, icotool_list, magick_rgba  # noqa: E402
from pixtor_testlib import FILE_SIZE, Failure, check  # noqa: E402

RED, GREEN, BLUE = 53, 55, 56
COLOURS = {RED: (255, 0, 0), GREEN: (0, 255, 0), BLUE: (0, 0, 255)}

LINE = ((2, 2), (10, 2))
# Cells in opposite corners tell a file whose rows or columns run the
# wrong way; the top-left cell stays transparent, where the board's outline
# is looked for.
BRUSH_CELLS = [(4, 6), (7, 6), (12, 12), (15, 0), (0, 15)]
SQUARE = ((3, 9), (8, 13))

# Typed without an extension: the save dialog adds the editor's default, .ico.
TYPED_NAME = "saved"
FILE_NAME = "saved.ico"


def expected_picture():
    """The drawing as rows of colours, None where nothing was painted."""
    picture = [[None] * 16 for _ in range(16)]
    (lx0, ly), (lx1, _) = LINE
    for x in range(lx0, lx1 + 1):
        picture[ly][x] = COLOURS[RED]
    for x, y in BRUSH_CELLS:
        picture[y][x] = COLOURS[GREEN]
    (sx0, sy0), (sx1, sy1) = SQUARE
    # The filled square covers both the cell pressed and the cell released.
    for y in range(sy0, sy1 + 1):
        for x in range(sx0, sx1 + 1):
            picture[y][x] = COLOURS[BLUE]
    return picture


def on_board(picture):
    """The picture with the mask colour where transparent: what the board
    shows, and how the file comparisons name a transparent pixel."""
    return [[c if c else e2e.MASK_COLOUR for c in row] for row in picture]


def palette_mismatches(editor, shot_path, timeout=5):
    """The palette buttons' faces against the colours the file must hold,
    given a moment to paint."""
    deadline = time.monotonic() + timeout
    while True:
        img = e2e.screenshot(shot_path)
        wrong = []
        for pid, want in COLOURS.items():
            face = e2e.colour_at(img, editor.screen(*editor.palette_centre(pid)))
            if face != want:
                wrong.append("palette button %d shows %s, expected %s" % (pid, face, want))
        if not wrong or time.monotonic() > deadline:
            return wrong
        time.sleep(0.3)


def draw(editor):
    editor.pick_colour(RED)
    editor.pick_tool("line")
    editor.drag_cells(*LINE)
    editor.pick_colour(GREEN)
    editor.pick_tool("brush")
    for cell in BRUSH_CELLS:
        editor.click_cell(*cell)
    editor.pick_colour(BLUE)
    editor.pick_tool("filled square")
    editor.drag_cells(*SQUARE)


def check_file(path, picture):
    """The saved file read by readers that share no code with the editor."""
    failures = []
    grid = on_board(picture)

    def attempt(what, fn):
        try:
            fn()
            print("   %s: ok" % what)
        except Failure as err:
            failures.append(str(err))
        except (OSError, subprocess.SubprocessError) as err:
            failures.append("%s: %s" % (what, err))

    def size():
        got = os.path.getsize(path)
        check(got == FILE_SIZE[(16, 24)], "%s: %d bytes, a 16x16 24-bit icon takes %d"
              % (path, got, FILE_SIZE[(16, 24)]))

    def listing():
        listed = icotool_list(path)
        check("icon" in listed and listed.get("width") == "16" and listed.get("height") == "16"
              and listed.get("bit-depth") == "24",
              "%s: icotool -l lists %s, expected one 16x16 24-bit icon" % (path, listed))

    def icotool_pixels():
        target = path + ".icotool"
        os.makedirs(target, exist_ok=True)
        for old in os.listdir(target):
            os.remove(os.path.join(target, old))
        r = subprocess.run(["icotool", "-x", "-o", target, path], capture_output=True, text=True,
                           timeout=30)
        check(r.returncode == 0, "icotool -x %s: %s" % (path, r.stderr.strip()))
        pngs = sorted(os.listdir(target))
        check(len(pngs) == 1, "icotool -x %s gave %s" % (path, pngs))
        with Image.open(os.path.join(target, pngs[0])) as im:
            compare_rgba("icotool -x " + path, im.convert("RGBA"), grid)

    def magick_pixels():
        compare_rgba("ImageMagick " + path, magick_rgba(path, "ICO"), grid)

    def pillow_pixels():
        with Image.open(path) as im:
            check(im.format == "ICO", "%s: Pillow sees %s" % (path, im.format))
            compare_rgba("Pillow " + path, im.convert("RGBA"), grid)

    attempt("%d bytes, as a 16x16 24-bit icon takes" % FILE_SIZE[(16, 24)], size)
    attempt("icotool -l lists one 16x16 24-bit icon", listing)
    attempt("icotool -x: every pixel as drawn, the rest transparent", icotool_pixels)
    attempt("ImageMagick: every pixel as drawn, the rest transparent", magick_pixels)
    attempt("Pillow: every pixel as drawn, the rest transparent", pillow_pixels)
    return failures


def journey(exe, out, failures):
    picture = expected_picture()
    board = on_board(picture)
    saved = os.path.join(out, FILE_NAME)
    for old in (saved, os.path.join(out, TYPED_NAME)):
        if os.path.exists(old):
            os.remove(old)

    # 1. Draw and check the board, so that a later difference is the file's.
    editor = e2e.start(exe, out, "1-draw", ())
    try:
        print("main window at %s, client area at %s" % (editor.geometry()[:2], editor.client))
        failures += palette_mismatches(editor, os.path.join(out, "1-draw-palette.png"))
        draw(editor)
        _, wrong = editor.wait_for_board(board, os.path.join(out, "1-drawn.png"))
        failures += e2e.board_mismatches("drawn board", wrong)
        print("1. drew %d cells in red, green and blue" %
              sum(c is not None for row in picture for c in row))

        # 2. Alt+S: the save dialog, a name typed without extension, Return.
        geometry = e2e.file_dialog(editor, "alt+s", e2e.SAVE_TITLE, e2e.wine_path(os.path.join(out, TYPED_NAME)),
                               out, "2-save-dialog.png")
        print("2. %r dialog at %s took %s" % (e2e.SAVE_TITLE, geometry[:2],
                                               e2e.wine_path(os.path.join(out, TYPED_NAME))))
        size = e2e.wait_for_file(saved)
        print("   %s written, %d bytes" % (saved, size))
        if os.path.exists(os.path.join(out, TYPED_NAME)):
            failures.append("a file without extension was written beside %s" % FILE_NAME)
        leftovers = [n for n in os.listdir(out) if ".pixtor-tmp-" in n]
        if leftovers:
            failures.append("temporary files left beside the saved file: %s" % leftovers)
        # Where the dialog was, the board must paint again.
        _, wrong = editor.wait_for_board(board, os.path.join(out, "2-saved.png"))
        failures += e2e.board_mismatches("board after saving", wrong)

        # 3. The file by independent readers.
        print("3. %s read back:" % FILE_NAME)
        failures += check_file(saved, picture)
        with open(saved, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
    finally:
        # 4. After a save Exit has nothing to ask.
        e2e.close(editor, out, "4. after saving", failures)

    # 5. The file named on the command line.
    editor = e2e.start(exe, out, "5-command-line", (e2e.wine_path(saved),))
    try:
        _, wrong = editor.wait_for_board(board, os.path.join(out, "5-command-line.png"))
        failures += e2e.board_mismatches("board opened from the command line", wrong)
        print("5. started with %s: board %s" % (e2e.wine_path(saved), "as drawn" if not wrong else "differs"))
    finally:
        e2e.close(editor, out, "5. opened from the command line", failures)

    # 6. A fresh editor, then Alt+O and the open dialog.
    editor = e2e.start(exe, out, "6-open", ())
    try:
        empty = on_board([[None] * 16 for _ in range(16)])
        _, wrong = editor.wait_for_board(empty, os.path.join(out, "6-empty.png"), timeout=2)
        failures += e2e.board_mismatches("fresh board", wrong)
        geometry = e2e.file_dialog(editor, "alt+o", e2e.OPEN_TITLE, e2e.wine_path(saved), out, "6-open-dialog.png")
        print("6. %r dialog at %s took %s" % (e2e.OPEN_TITLE, geometry[:2], e2e.wine_path(saved)))
        _, wrong = editor.wait_for_board(board, os.path.join(out, "6-opened.png"))
        failures += e2e.board_mismatches("board opened through the open dialog", wrong)
        print("   board %s" % ("as drawn" if not wrong else "differs"))
    finally:
        e2e.close(editor, out, "6. opened through the dialog", failures)

    # Opening reads the file and leaves it be.
    with open(saved, "rb") as f:
        if hashlib.sha256(f.read()).hexdigest() != digest:
            failures.append("%s changed after it was only opened" % saved)


def main():
    return e2e.run_journey("save journey", journey,
                           "save journey: saved, read by three readers, reopened twice, all as drawn")


if __name__ == "__main__":
    sys.exit(main())
