#!/usr/bin/python3
"""End-to-end journey through the real editor and Wine's own dialogs, as a
person takes it: draw with palette colours, a click tool and a drag tool;
save with Alt+S through the save dialog and read the file with Pillow; take
an icon out of the test library with Alt+E, opening the tree's root to reach
it; bring the drawing back with Alt+O through the open dialog; start it
on a name of other languages, draw and save with Alt+S. usage:
editor_journey.py PIXTOR_EXE OUTPUT_DIR, with PIXTOR_FIXTURES the folder of
the test library and its icons, inside tools/lib/with-session."""
import os
import shutil
import sys
import time
from functools import reduce
from operator import and_

from PIL import Image

import pixtor_e2e as e2e

GREEN, BLUE = 55, 56        # palette buttons
# Cells in opposite corners tell a file whose rows or columns run the wrong
# way; the top-left cell stays transparent, where the board's outline is found.
BRUSH_CELLS = [(4, 6), (7, 6), (12, 12), (15, 0), (0, 15)]
(X0, Y0), (X1, Y1) = SQUARE = ((3, 9), (8, 13))
EXTRACTED = 6               # the child of the extractor's tree chosen
DIALOG_FACE = (60, 0, 180)  # the extractor's violet face


def extracted_picture(fixtures):
    """The library's icon EXTRACTED as the board shows it at 16x16: white
    where transparent, each 2x2 block of the 32x32 picture ANDed into one."""
    with Image.open(os.path.join(fixtures, "Icon%d.ico" % EXTRACTED)) as im:
        px = im.convert("RGBA").load()
    big = [[px[x, y][:3] if px[x, y][3] else (255, 255, 255) for x in range(32)] for y in range(32)]
    return [[tuple(reduce(and_, channel) for channel in zip(*(big[2 * y + dy][2 * x + dx] for dy in (0, 1) for dx in (0, 1))))
             for x in range(16)] for y in range(16)]


def file_mismatches(path, picture):
    """The saved icon as Pillow reads it: as the board shows it, transparent
    where the mask colour is. (The depth a save writes: the GUI tests.)"""
    try:
        with Image.open(path) as im:
            e2e.compare_rgba("Pillow reads " + path, im.convert("RGBA"), picture)
    except e2e.Failure as e:
        return [str(e)]
    return []


def journey(exe, out, failures):
    # The drawing: the filled square covers both the pressed and the released cell.
    picture = [[(0, 0, 255) if X0 <= x <= X1 and Y0 <= y <= Y1 else (0, 255, 0) if (x, y) in BRUSH_CELLS
                else e2e.MASK for x in range(16)] for y in range(16)]
    saved = os.path.join(out, "saved.ico")
    for name in (n for n in os.listdir(out) if n.endswith(".ico")):
        os.remove(os.path.join(out, name))
    with e2e.started(exe, out, "journey", failures) as editor:
        def save_as(name, picture):   # the file is put in place whole, by a rename
            e2e.file_dialog(editor, "alt+s", e2e.SAVE_TITLE, e2e.wine_path(os.path.join(out, name)), out, name + ".png")
            e2e.until(lambda: os.path.exists(os.path.join(out, name + ".ico")), 10, "no %s.ico" % name)
            return file_mismatches(os.path.join(out, name + ".ico"), picture)
        editor.pick_colour(GREEN)
        editor.pick_tool("brush")
        for cell in BRUSH_CELLS:
            editor.click_cell(*cell)
        editor.pick_colour(BLUE)
        editor.pick_tool("filled square")
        editor.drag_cells(*SQUARE)
        failures += editor.board_mismatches("drawn board", picture, os.path.join(out, "1-drawn.png"))
        failures += save_as("saved", picture)
        print("1. drew in two colours, saved and read back")

        # Alt+E, the library typed into the open dialog; a click on the
        # tree's root, which opens closed, Right to open it, Down to the
        # child, Tab to OK and Space on it.
        fixtures = os.environ.get("PIXTOR_FIXTURES", "")
        e2e.file_dialog(editor, "alt+e", e2e.OPEN_TITLE, e2e.wine_path(os.path.join(fixtures, "extract-library.dll")),
                        out, "extract-dialog.png")
        shot = os.path.join(out, "extractor.png")

        def face():
            px = e2e.screenshot(shot).load()
            hits = [(x, y) for y in range(0, 1024, 3) for x in range(0, 1280, 3) if px[x, y] == DIALOG_FACE]
            return len(hits) > 300 and (min(x for x, _ in hits), min(y for _, y in hits))
        left, top = e2e.until(face, 10, "the extractor's dialog did not show")
        e2e.xdotool("mousemove", left + 12 + 40, top + 10 + 12)   # the tree stands at (12, 10) on the face
        e2e.xdotool("click", 1)
        time.sleep(0.3)
        e2e.xdotool("key", "Right", *(["Down"] * EXTRACTED), "Tab", "space")
        icon = extracted_picture(fixtures)
        failures += editor.board_mismatches("board after the extraction", icon, shot)
        failures += save_as("extracted", icon)
        print("2. icon %d taken out of the test library and saved" % EXTRACTED)

        e2e.file_dialog(editor, "alt+o", e2e.OPEN_TITLE, e2e.wine_path(saved), out, "3-open-dialog.png")
        failures += editor.board_mismatches("board opened through the dialog", picture, os.path.join(out, "3-opened.png"))
        print("3. the drawing opened again through the dialog")

    # A name and a folder in other languages, given on the command line:
    # opened, drawn on, and saved under that name with Alt+S.
    named = os.path.join(out, "日本語 café", "favicon[1] 日本語.ico")
    os.makedirs(os.path.dirname(named), exist_ok=True)
    shutil.copyfile(saved, named)
    with e2e.started(exe, out, "named", failures, args=[e2e.wine_path(named)]) as editor:
        failures += editor.board_mismatches("board opened by its name", picture, os.path.join(out, "4-named.png"))
        editor.pick_colour(GREEN)
        editor.click_cell(15, 15)
        before = open(named, "rb").read()
        editor.key("alt+s")
        e2e.until(lambda: open(named, "rb").read() != before, 10, "Alt+S did not save %s" % named)
        picture[15][15] = (0, 255, 0)
        failures += file_mismatches(named, picture)
        print("4. opened by a name in other languages, drawn on and saved under it")


if __name__ == "__main__":
    sys.exit(e2e.run_journey("editor journey", journey, "editor journey: drawn, saved, read back, icon extracted, reopened"))
