#!/usr/bin/python3
"""End-to-end journey through the icon extractor: Alt+E, the test library's
path typed into the real open dialog, a child chosen in the extractor's tree
with the mouse and the arrow keys, OK; the board shows the icon brought to
16x16; Alt+S saves it under a new name, read back by Pillow and icotool.

usage: extract_journey.py PIXTOR_EXE OUTPUT_DIR
PIXTOR_FIXTURES names the folder of the test library and its icons. Runs
inside tools/lib/with-session (display and Wine server of its own).
"""
import os
import subprocess
import sys
import time

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import pixtor_e2e as e2e  # noqa: E402
from cross_check import icotool_list  # noqa: E402
from pixtor_testlib import Failure  # noqa: E402

CHOSEN = 6                        # the child labelled 6: the library's seventh icon
DIALOG_FACE = (60, 0, 180)        # the extractor's violet face
TREE = (12, 10)                   # the tree's place on the face
WHITE = (255, 255, 255)


def expected_board(fixtures):
    """The library's icon CHOSEN as the board shows it at 16x16: white where
    the icon is transparent, each 2x2 block of the 32x32 picture reduced to
    one pixel by a bitwise AND."""
    with Image.open(os.path.join(fixtures, "Icon%d.ico" % CHOSEN)) as im:
        rgba = im.convert("RGBA")
    px = rgba.load()
    big = [[px[x, y][:3] if px[x, y][3] else WHITE for x in range(32)] for y in range(32)]

    def block(x, y):
        c = (255, 255, 255)
        for dy in (0, 1):
            for dx in (0, 1):
                c = tuple(a & b for a, b in zip(c, big[2 * y + dy][2 * x + dx]))
        return c
    return [[block(x, y) for x in range(16)] for y in range(16)]


def find_face(img, timeout_img_fn, timeout=10):
    """The top-left corner and size of the extractor's face on screen."""
    deadline = time.monotonic() + timeout
    while True:
        px = img.load()
        W, H = img.size
        xs, ys = [], []
        for y in range(0, H, 2):
            for x in range(0, W, 2):
                if px[x, y] == DIALOG_FACE:
                    xs.append(x)
                    ys.append(y)
        if len(xs) > 500:
            # The face's pixels, less the edge a step of two may have missed.
            left, top = min(xs), min(ys)
            while left > 0 and px[left - 1, top + 20] == DIALOG_FACE:
                left -= 1
            while top > 0 and px[left + 2, top - 1] == DIALOG_FACE:
                top -= 1
            return left, top
        if time.monotonic() > deadline:
            raise e2e.E2EError("the extractor's dialog did not show")
        time.sleep(0.3)
        img = timeout_img_fn()


def journey(exe, out, failures):
    fixtures = os.environ.get("PIXTOR_FIXTURES", "")
    library = os.path.join(fixtures, "extract-library.dll")
    if not os.path.exists(library):
        raise e2e.E2EError("PIXTOR_FIXTURES does not hold the test library: %r" % fixtures)
    saved = os.path.join(out, "extracted.ico")
    if os.path.exists(saved):
        os.remove(saved)
    picture = expected_board(fixtures)

    editor = e2e.start(exe, out, "1-extract", ())
    try:
        # 1. Alt+E, the library typed into the open dialog.
        e2e.file_dialog(editor, "alt+e", e2e.OPEN_TITLE, e2e.wine_path(library), out, "1-open-dialog.png")
        shot = os.path.join(out, "2-extractor.png")
        face = find_face(e2e.screenshot(shot), lambda: e2e.screenshot(shot))
        print("1. %s opened; the extractor's face at %s" % (library, face))

        # 2. A click on the tree's first row selects its root; Down moves to
        #    child CHOSEN; Tab reaches OK, which Space presses.
        e2e.xdotool("mousemove", face[0] + TREE[0] + 40, face[1] + TREE[1] + 12)
        e2e.xdotool("click", "1")
        time.sleep(0.3)
        e2e.xdotool("key", *(["Down"] * CHOSEN))
        time.sleep(0.3)
        e2e.screenshot(os.path.join(out, "3-chosen.png"))
        e2e.xdotool("key", "Tab", "space")
        _, wrong = editor.wait_for_board(picture, os.path.join(out, "4-extracted.png"))
        failures += e2e.board_mismatches("board after the extraction", wrong)
        print("2. child %d chosen, OK: the board %s" % (CHOSEN, "shows the icon" if not wrong else "differs"))

        # 3. Alt+S asks for a name: the extracted image has none.
        e2e.file_dialog(editor, "alt+s", e2e.SAVE_TITLE, e2e.wine_path(os.path.join(out, "extracted")),
                        out, "5-save-dialog.png")
        print("3. saved as %s, %d bytes" % (saved, e2e.wait_for_file(saved)))
        try:
            listed = icotool_list(saved)
            if listed.get("width") != "16" or listed.get("bit-depth") != "24":
                failures.append("icotool -l lists %s, expected one 16x16 24-bit icon" % listed)
            with Image.open(saved) as im:
                px = im.convert("RGBA").load()
                bad = [(x, y) for y in range(16) for x in range(16) if px[x, y] != picture[y][x] + (255,)]
            if bad:
                failures.append("Pillow reads %d pixels of %s other than extracted, first %s"
                                % (len(bad), saved, bad[0]))
            else:
                print("   icotool and Pillow: one 16x16 24-bit icon, every pixel as extracted")
        except (Failure, OSError, subprocess.SubprocessError) as err:
            failures.append(str(err))
    finally:
        e2e.close(editor, out, "4. after saving", failures)


def main():
    return e2e.run_journey("extract journey", journey,
                           "extract journey: icon taken from the test library, shown, saved and read back")


if __name__ == "__main__":
    sys.exit(main())
