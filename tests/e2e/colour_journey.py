#!/usr/bin/python3
"""End-to-end journey through the real editor under Wine: draw with a
palette colour, mix a colour on the green and red sliders, take it from the
gradient band, draw with it, save with Alt+S and read both colours back from
the file with independent readers.

usage: colour_journey.py PIXTOR_EXE OUTPUT_DIR
Runs inside tools/lib/with-session (display and Wine server of its own).
Exits non-zero with a message on any mismatch.
"""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import pixtor_e2e as e2e  # noqa: E402
import save_journey as sj  # noqa: E402

CYAN = 54
PALETTE_CELLS = [(1, 1), (2, 1), (14, 14)]
MIXED_CELLS = [(5, 8), (6, 8), (9, 3), (0, 15)]

# Slider i's client area starts at main-window client (361 + 24 i, 251);
# a channel is 3 units per pixel from its top.
SLIDER_BLUE, SLIDER_GREEN, SLIDER_RED = 0, 1, 2
GREEN_AT, RED_AT = 40, 60
MIXED = (3 * RED_AT, 3 * GREEN_AT, 0)
BAND_POINT = (360 + 10, 129 + 90)   # inside the gradient window's band
BAND_GRIP = (250, 470)               # the main window's lower band, which drags the window
BAND_MOVE = (40, 30)


def slider_drag(editor, slider, to_y):
    x = 361 + 24 * slider + 8
    sx, sy = editor.screen(x, 251 + 5)
    _, ey = editor.screen(x, 251 + to_y)
    e2e.xdotool("mousemove", sx, sy)
    e2e.xdotool("mousedown", "1")
    for y in range(sy, ey + 1, 5):
        e2e.xdotool("mousemove", sx, y)
    e2e.xdotool("mousemove", sx, ey)
    e2e.xdotool("mouseup", "1")


def expected_picture():
    picture = [[None] * 16 for _ in range(16)]
    for x, y in PALETTE_CELLS:
        picture[y][x] = (0, 255, 255)
    for x, y in MIXED_CELLS:
        picture[y][x] = MIXED
    return picture


def move_by_the_band(editor, out):
    """A press on the window's lower band and a drag move the whole window;
    the board is found again where it went."""
    before = editor.client
    x, y = editor.screen(*BAND_GRIP)
    e2e.xdotool("mousemove", x, y)
    e2e.xdotool("mousedown", 1)
    for step in range(1, 5):
        time.sleep(0.05)
        e2e.xdotool("mousemove", x + BAND_MOVE[0] * step // 4, y + BAND_MOVE[1] * step // 4)
    time.sleep(0.1)
    e2e.xdotool("mouseup", 1)
    editor.locate(os.path.join(out, "1-moved.png"), timeout=10)
    moved = (editor.client[0] - before[0], editor.client[1] - before[1])
    print("   dragged by the lower band: the window moved by %s" % (moved,))
    if moved != BAND_MOVE:
        return ["dragging the lower band by %s moved the window by %s" % (BAND_MOVE, moved)]
    return []


def journey(exe, out, failures):
    picture = expected_picture()
    saved = os.path.join(out, sj.FILE_NAME)
    if os.path.exists(saved):
        os.remove(saved)
    editor = e2e.start(exe, out, "1-colours", ())
    try:
        editor.pick_colour(CYAN)
        editor.pick_tool("brush")
        for cell in PALETTE_CELLS:
            editor.click_cell(*cell)
        slider_drag(editor, SLIDER_GREEN, GREEN_AT)
        slider_drag(editor, SLIDER_RED, RED_AT)
        editor.click_client(*BAND_POINT)
        img = e2e.screenshot(os.path.join(out, "1-mixed.png"))
        swatch = e2e.colour_at(img, editor.screen(450 + 22, 128 + 22))
        if swatch != MIXED:
            failures.append("the swatch shows %s after the band pick, expected %s" % (swatch, MIXED))
        for cell in MIXED_CELLS:
            editor.click_cell(*cell)
        _, wrong = editor.wait_for_board(sj.on_board(picture), os.path.join(out, "1-drawn.png"))
        failures += e2e.board_mismatches("drawn board", wrong)
        print("1. drew in palette cyan and in the mixed colour %s" % (MIXED,))
        failures += move_by_the_band(editor, out)
        e2e.file_dialog(editor, "alt+s", e2e.SAVE_TITLE, e2e.wine_path(os.path.join(out, sj.TYPED_NAME)),
                       out, "2-save-dialog.png")
        print("2. saved, %d bytes" % e2e.wait_for_file(saved))
        failures += sj.check_file(saved, picture)
    finally:
        e2e.close(editor, out, "3. after saving", failures)


def main():
    return e2e.run_journey("colour journey", journey,
                           "colour journey: palette and mixed colours drawn, saved and read back exactly")


if __name__ == "__main__":
    sys.exit(main())
