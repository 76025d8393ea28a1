#!/usr/bin/python3
"""End-to-end journey through toolbar mode: pixtor-cli joins three images
into a strip bitmap, the editor opens it from the command line, the arrow
buttons move the selection, Get brings an image onto the board, a person
draws on it, Update puts it back and Add appends a blank image; Alt+S saves
the strip, which ImageMagick, Pillow and pixtor-cli's split read back; Icon
mode from the menu then empties the strip window.

usage: strip_journey.py PIXTOR_EXE OUTPUT_DIR
PIXTOR_CLI names the Windows pixtor-cli.exe. Runs inside
tools/lib/with-session (display and Wine server of its own).
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
from cross_check import magick_rgba  # noqa: E402
from pixtor_testlib import MASK, Failure, check, read_txt, write_txt  # noqa: E402

P = 16
YELLOW = 51                              # palette button and its colour
YELLOW_RGB = (255, 255, 0)
DRAWN = [(3, 3), (12, 3), (5, 10)]       # cells painted on image 2

# Client positions of the strip's buttons and window (button centres).
NEXT, GET, UPDATE, ADD = (352, 75), (277, 114), (202, 114), (52, 114)
STRIP_CLIENT = (41, 51)                  # the strip window's client area, inside its border
STRIP_SIZE = (298, 48)
STRIP_GREY = (128, 128, 128)
EDIT_MENU = (48, -10)                    # the menu bar's second image, above the client area


def picture(k):
    """Image k of the strip: a line of its own colour on the mask colour;
    the top-left cell stays transparent, where the board's outline is looked for."""
    colour = [(255, 0, 0), (0, 160, 0), (0, 0, 255)][k]
    lines = [lambda x, y: x == y + 1, lambda x, y: x + y == 15, lambda x, y: y == 8 and x > 0]
    return [[colour if lines[k](x, y) else MASK for x in range(P)] for y in range(P)]


def drawn(k):
    grid = [row[:] for row in picture(k)]
    for x, y in DRAWN:
        grid[y][x] = YELLOW_RGB
    return grid


def blank():
    return [[MASK] * P for _ in range(P)]


def cli(*args):
    exe = os.environ.get("PIXTOR_CLI", "")
    if not os.path.exists(exe):
        raise e2e.E2EError("PIXTOR_CLI does not name pixtor-cli.exe: %r" % exe)
    r = e2e.run(e2e.WINE, exe, *args, timeout=60)
    if r.returncode != 0:
        raise e2e.E2EError("pixtor-cli %s: %s" % (" ".join(args), (r.stderr or r.stdout).strip()))
    return r.stdout


def strip_mismatches(what, read, images):
    """images: the pictures the strip must hold, left to right."""
    try:
        im = read()
        check(im.size == (P * len(images), P), "%s: size %s, expected %dx%d" % (what, im.size, P * len(images), P))
        px = im.load()
        bad = ["image %d (%d,%d) %s, expected %s" % (k, x, y, px[k * P + x, y][:3], images[k][y][x])
               for k in range(len(images)) for y in range(P) for x in range(P)
               if px[k * P + x, y][:3] != images[k][y][x]]
        check(not bad, "%s: %d pixels differ, first: %s" % (what, len(bad), "; ".join(bad[:3])))
        print("   %s: ok" % what)
        return []
    except (Failure, OSError, subprocess.SubprocessError) as err:
        return [str(err)]


def strip_window_pixels(editor, img):
    x0, y0 = editor.screen(*STRIP_CLIENT)
    return [[img.getpixel((x0 + x, y0 + y)) for x in range(STRIP_SIZE[0])] for y in range(STRIP_SIZE[1])]


def open_icon_mode_from_the_menu(editor, out):
    """Edit menu > Mode > Icon mode: a click on the bar's second image opens
    the menu; Up from no entry goes to its last, Help, then Color depth,
    Size and Mode; Right opens Mode at its first entry, Icon mode."""
    editor.click_client(*EDIT_MENU)
    for i, keys in enumerate(("Up Up Up Up", "Right", "Return")):
        time.sleep(0.3)
        e2e.screenshot(os.path.join(out, "5-menu-%d.png" % i))
        e2e.xdotool("key", *keys.split())


def journey(exe, out, failures):
    path = os.path.join(out, "strip.bmp")
    for name in os.listdir(out):
        if name.endswith((".bmp", ".txt")):
            os.remove(os.path.join(out, name))

    # 1. pixtor-cli joins three images; the editor opens the result.
    names = []
    for k in range(3):
        names.append(os.path.join(out, "piece%d.txt" % k))
        write_txt(names[-1], picture(k))
    cli("strip", "join", e2e.wine_path(path), *[e2e.wine_path(n) for n in names])
    print("1. pixtor-cli joined %d images into %s (%d bytes)" % (len(names), path, os.path.getsize(path)))

    editor = e2e.Editor(exe, args=(e2e.wine_path(path),), log_path=os.path.join(out, "pixtor.log"))
    try:
        editor.wait_for_window()
        editor.locate(os.path.join(out, "1-start.png"))
        img, wrong = editor.wait_for_board(picture(0), os.path.join(out, "1-opened.png"))
        failures += e2e.board_mismatches("board after opening the strip", wrong)
        # Slots 1 and 2 show their images; slot 0 lies under the enlarged selection.
        shown = strip_window_pixels(editor, img)
        top = (STRIP_SIZE[1] - P) // 2
        for k in (1, 2):
            bad = [(x, y) for y in range(P) for x in range(3 if k == 1 else 0, P)
                   if shown[top + y][P * k + 5 + x] != picture(k)[y][x]]
            if bad:
                failures.append("strip slot %d differs from image %d at %d pixels" % (k, k, len(bad)))
        print("1. board shows image 0, the strip slots show images 1 and 2")

        # 2. Two presses of the right arrow, then Get: image 2 on the board.
        editor.click_client(*NEXT)
        editor.click_client(*NEXT)
        editor.click_client(*GET)
        _, wrong = editor.wait_for_board(picture(2), os.path.join(out, "2-got.png"))
        failures += e2e.board_mismatches("board after Get", wrong)
        print("2. selection moved right twice; Get put image 2 on the board")

        # 3. Draw on it, Update, Add; Alt+S saves to the same file.
        editor.pick_colour(YELLOW)
        for cell in DRAWN:
            editor.click_cell(*cell)
        _, wrong = editor.wait_for_board(drawn(2), os.path.join(out, "3-drawn.png"))
        failures += e2e.board_mismatches("board after drawing", wrong)
        editor.click_client(*UPDATE)
        editor.click_client(*ADD)
        before = os.path.getmtime(path)
        editor.key("alt+s")
        deadline = time.monotonic() + 10
        while os.path.getsize(path) != 54 + 4 * 4 * P * P and time.monotonic() < deadline:
            time.sleep(0.2)
        print("3. drew %d cells, Update, Add, Alt+S: %s now %d bytes" % (len(DRAWN), path, os.path.getsize(path)))
        if os.path.getmtime(path) == before:
            failures.append("Alt+S did not write %s" % path)

        # 4. The saved strip by readers that share no code with the editor.
        expected = [picture(0), picture(1), drawn(2), blank()]
        print("4. the saved strip read back:")

        def pillow():
            with Image.open(path) as im:
                check(im.format == "BMP", "Pillow sees %s" % im.format)
                return im.convert("RGB")
        failures += strip_mismatches("Pillow", pillow, expected)
        failures += strip_mismatches("ImageMagick", lambda: magick_rgba(path, "BMP"), expected)
        parts = cli("strip", "split", e2e.wine_path(path), e2e.wine_path(os.path.join(out, "part")))
        got = [read_txt(os.path.join(out, "part-%d.txt" % k)) for k in range(4)
               if os.path.exists(os.path.join(out, "part-%d.txt" % k))]
        if got != expected:
            failures.append("pixtor-cli strip split gave %d images (%s), not the strip saved"
                            % (len(got), parts.strip()))
        else:
            print("   pixtor-cli strip split: ok (%s)" % parts.strip())

        # 5. Icon mode from the menu: the strip window empties.
        open_icon_mode_from_the_menu(editor, out)
        deadline = time.monotonic() + 10
        while True:
            img = e2e.screenshot(os.path.join(out, "5-icon-mode.png"))
            colours = {c for row in strip_window_pixels(editor, img) for c in row}
            if colours == {STRIP_GREY} or time.monotonic() > deadline:
                break
            time.sleep(0.3)
        if colours != {STRIP_GREY}:
            failures.append("the strip window still shows %d colours after Icon mode" % len(colours))
        else:
            print("5. Icon mode from the menu: the strip window is empty")
    finally:
        how = editor.close(out, timeout=10)
        print("6. editor closed: %s" % how)
        if how != "Alt+X":
            failures.append("Alt+X did not end the editor after the strip was saved (%s)" % how)


def main():
    return e2e.run_journey("strip journey", journey,
                           "strip journey: joined, opened, edited, saved, read by three readers, left")


if __name__ == "__main__":
    sys.exit(main())
