#!/usr/bin/python3
"""End-to-end journey through toolbar mode: pixtor-cli joins three images
into a strip bitmap, the editor opens it from the command line, the arrow
buttons move the selection, Get brings an image onto the board, a person
draws on it, Update puts it back and Add appends a blank image; Alt+S saves
the strip, which Pillow reads back; Icon mode from the menu then empties
the strip window.

usage: strip_journey.py PIXTOR_EXE OUTPUT_DIR
PIXTOR_CLI names the Windows pixtor-cli.exe. Runs inside
tools/lib/with-session (display and Wine server of its own).
"""
import os
import sys
import time

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import pixtor_e2e as e2e  # noqa: E402
from pixtor_testlib import MASK, write_txt  # noqa: E402

P = 16
YELLOW, YELLOW_RGB = 51, (255, 255, 0)
DRAWN = [(3, 3), (12, 3), (5, 10)]       # cells painted on image 2
# Client positions: the strip's buttons (centres), its window's client area,
# and the menu bar's second image above the client area.
NEXT, GET, UPDATE, ADD = (352, 75), (277, 114), (202, 114), (52, 114)
STRIP_CLIENT, STRIP_SIZE, STRIP_GREY = (41, 51), (298, 48), (128, 128, 128)
EDIT_MENU = (48, -10)


def picture(k, drawn=()):
    """Image k of the strip: a line of its own colour on the mask colour
    (the top-left cell transparent, where the board's outline is found)."""
    colour = [(255, 0, 0), (0, 160, 0), (0, 0, 255)][k] if k < 3 else None
    lines = [lambda x, y: x == y + 1, lambda x, y: x + y == 15, lambda x, y: y == 8 and x > 0, lambda x, y: False]
    grid = [[colour if lines[k](x, y) else MASK for x in range(P)] for y in range(P)]
    for x, y in drawn:
        grid[y][x] = YELLOW_RGB
    return grid


def cli(*args):
    exe = os.environ.get("PIXTOR_CLI", "")
    r = e2e.run(e2e.WINE, exe, *args, timeout=60)
    if r.returncode != 0:
        raise e2e.E2EError("pixtor-cli %s: %s" % (" ".join(args), (r.stderr or r.stdout).strip()))
    return r.stdout


def strip_pixels(editor, img):
    x0, y0 = editor.screen(*STRIP_CLIENT)
    return {img.getpixel((x0 + x, y0 + y)) for y in range(STRIP_SIZE[1]) for x in range(STRIP_SIZE[0])}


def journey(exe, out, failures):
    path = os.path.join(out, "strip.bmp")
    names = [os.path.join(out, "piece%d.txt" % k) for k in range(3)]
    for k, name in enumerate(names):
        write_txt(name, picture(k))
    cli("strip", "join", e2e.wine_path(path), *[e2e.wine_path(n) for n in names])

    editor = e2e.start(exe, out, "strip", (e2e.wine_path(path),))
    try:
        failures += e2e.board_mismatches("board after opening", editor.wait_for_board(picture(0), os.path.join(out, "1-opened.png"))[1])
        # Two presses right, Get: image 2 on the board; draw, Update, Add, Alt+S.
        for button in (NEXT, NEXT, GET):
            editor.click_client(*button)
        failures += e2e.board_mismatches("board after Get", editor.wait_for_board(picture(2), os.path.join(out, "2-got.png"))[1])
        editor.pick_colour(YELLOW)
        for cell in DRAWN:
            editor.click_cell(*cell)
        editor.click_client(*UPDATE)
        editor.click_client(*ADD)
        editor.key("alt+s")
        e2e.until(lambda: os.path.getsize(path) == 54 + 4 * 4 * P * P, 10, "Alt+S did not write the strip of four")
        expected = [picture(0), picture(1), picture(2, DRAWN), picture(3)]
        with Image.open(path) as im:
            px = im.convert("RGB").load()
            got = [[[px[k * P + x, y] for x in range(P)] for y in range(P)] for k in range(4)]
        if got != expected:
            failures.append("Pillow reads another strip than the one saved")
        print("1. opened, Get, drawn, Update, Add, saved: %s" % ("read back as saved" if not failures else "differs"))

        # Edit > Mode > Icon mode: Up from no entry goes to the last one,
        # Help, then Color depth, Size and Mode; Right opens Mode at Icon mode.
        editor.click_client(*EDIT_MENU)
        for keys in ("Up Up Up Up", "Right", "Return"):
            time.sleep(0.3)
            e2e.xdotool("key", *keys.split())
        shot = os.path.join(out, "3-icon-mode.png")
        e2e.until(lambda: strip_pixels(editor, e2e.screenshot(shot)) == {STRIP_GREY}, 10,
                  "the strip window still shows images after Icon mode")
        print("2. Icon mode from the menu: the strip window is empty")
    finally:
        e2e.close(editor, "3. after saving", failures)


if __name__ == "__main__":
    sys.exit(e2e.run_journey("strip journey", journey, "strip journey: joined, opened, edited, saved, read back, left"))
