#!/usr/bin/python3
"""End-to-end journey through the real editor under Wine: pick red, draw a
line, pick green and click cells with the brush, pick blue and drag a filled
square, then read the painted board back from a screenshot.

usage: draw_journey.py PIXTOR_EXE OUTPUT_DIR
Runs inside tools/lib/with-session (display and Wine server of its own).
Exits non-zero with a message on any mismatch.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixtor_e2e as e2e  # noqa: E402

RED, GREEN, BLUE = 53, 55, 56

LINE = ((2, 2), (10, 2))
BRUSH_CELLS = [(4, 6), (7, 6), (12, 12)]
SQUARE = ((3, 9), (8, 13))
UNTOUCHED = [(4, 6), (0, 0), (15, 15), (12, 6), (11, 2), (9, 11), (5, 14)]


def main():
    exe, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    editor = e2e.Editor(exe, log_path=os.path.join(out, "pixtor.log"))
    failures = []
    try:
        editor.wait_for_window()
        start = editor.locate(os.path.join(out, "journey-start.png"))
        print("main window at %s, client area at %s" % (editor.geometry()[:2], editor.client))

        # The palette buttons' own faces give the colours to expect.
        expected = {pid: e2e.colour_at(start, editor.screen(*editor.palette_centre(pid)))
                    for pid in (RED, GREEN, BLUE)}
        if expected[RED] != (255, 0, 0):
            failures.append("palette button %d shows %s, not red" % (RED, expected[RED]))

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

        shot = os.path.join(out, "journey.png")
        img = e2e.screenshot(shot)
        print("screenshot:", shot)

        checks = []
        (lx0, ly), (lx1, _) = LINE
        checks += [((x, ly), expected[RED], "line") for x in range(lx0, lx1 + 1)]
        checks += [(c, expected[GREEN], "brush") for c in BRUSH_CELLS]
        (sx0, sy0), (sx1, sy1) = SQUARE
        # The filled square covers both the cell pressed and the cell released.
        checks += [((x, y), expected[BLUE], "filled square")
                   for x in range(sx0, sx1 + 1) for y in range(sy0, sy1 + 1)]
        checks += [(c, e2e.MASK_COLOUR, "untouched") for c in UNTOUCHED]
        for cell, want, what in checks:
            got = e2e.colour_at(img, editor.cell_screen(*cell))
            if got != want:
                failures.append("%s: cell %s is %s, expected %s" % (what, cell, got, want))
    except e2e.E2EError as err:
        failures.append(str(err))
    finally:
        print("editor closed:", editor.close(out))

    if failures:
        for f in failures:
            print("MISMATCH:", f, file=sys.stderr)
        return 1
    print("draw journey: all %d cells as drawn" % len(checks))
    return 0


if __name__ == "__main__":
    sys.exit(main())
