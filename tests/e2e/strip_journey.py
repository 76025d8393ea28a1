#!/usr/bin/python3
"""End-to-end journey through toolbar mode: pixtor-cli joins three images
into a strip bitmap, the editor opens it from the command line, the arrow
buttons move the selection, Get brings an image onto the board, a person
draws on it, Update puts it back and Add appends a blank image; Alt+S saves
the strip, which Pillow reads back. (Icon mode ending the strip: the GUI
tests.) usage: strip_journey.py PIXTOR_EXE OUTPUT_DIR, with PIXTOR_CLI the
Windows pixtor-cli.exe, inside tools/lib/with-session."""
import os
import sys

from PIL import Image

import pixtor_e2e as e2e

P = 16
YELLOW, YELLOW_RGB = 51, (255, 255, 0)
DRAWN = [(3, 3), (12, 3), (5, 10)]       # cells painted on image 2
NEXT, GET, UPDATE, ADD = (352, 75), (277, 114), (202, 114), (52, 114)   # the strip's buttons in the client area


def picture(k, drawn=()):
    """Image k of the strip: a line of its own colour on the mask colour
    (the top-left cell transparent, where the board's outline is found)."""
    colour = [(255, 0, 0), (0, 160, 0), (0, 0, 255), None][k]
    on = [lambda x, y: x == y + 1, lambda x, y: x + y == 15, lambda x, y: y == 8 and x > 0, lambda x, y: False][k]
    return [[YELLOW_RGB if (x, y) in drawn else colour if on(x, y) else e2e.MASK for x in range(P)] for y in range(P)]


def journey(exe, out, failures):
    path = os.path.join(out, "strip.bmp")
    names = [e2e.write_txt(os.path.join(out, "piece%d.txt" % k), picture(k)) for k in range(3)]
    r = e2e.run(e2e.WINE, os.environ.get("PIXTOR_CLI", ""), "strip", "join", *map(e2e.wine_path, [path] + names), timeout=60)
    if r.returncode != 0:
        raise e2e.E2EError("pixtor-cli strip join: " + (r.stderr or r.stdout).strip())

    with e2e.started(exe, out, "strip", failures, (e2e.wine_path(path),)) as editor:
        failures += editor.board_mismatches("board after opening", picture(0), os.path.join(out, "1-opened.png"))
        # Two presses right, Get: image 2 on the board; draw, Update, Add, Alt+S.
        for button in (NEXT, NEXT, GET):
            editor.click_client(*button)
        failures += editor.board_mismatches("board after Get", picture(2), os.path.join(out, "2-got.png"))
        editor.pick_colour(YELLOW)
        for cell in DRAWN:
            editor.click_cell(*cell)
        editor.click_client(*UPDATE)
        editor.click_client(*ADD)
        editor.key("alt+s")
        e2e.until(lambda: os.path.getsize(path) == 54 + 4 * 4 * P * P, 10, "Alt+S did not write the strip of four")
        with Image.open(path) as im:
            px = im.convert("RGB").load()
        if [[[px[k * P + x, y] for x in range(P)] for y in range(P)] for k in range(4)] != [
                picture(0), picture(1), picture(2, DRAWN), picture(3)]:
            failures.append("Pillow reads another strip than the one saved")
        print("opened, Get, drawn, Update, Add, saved: %s" % ("read back as saved" if not failures else "differs"))


if __name__ == "__main__":
    sys.exit(e2e.run_journey("strip journey", journey, "strip journey: joined, opened, edited, saved, read back"))
