#!/usr/bin/python3
"""Draws a small face in the editor with xdotool and saves a screenshot of
the main window. usage: draw_screenshot.py PIXTOR_EXE OUTPUT_PNG
Runs inside tools/lib/with-session."""
import os
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
import pixtor_e2e as e2e  # noqa: E402

YELLOW, RED, GREEN, BLUE, BLACK = 51, 53, 55, 56, 66
WINDOW_SIZE = 528  # the main window, frame included


def main():
    exe, out = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="pixtor-shot-")
    editor = e2e.Editor(exe)
    try:
        editor.wait_for_window()
        editor.locate(os.path.join(work, "start.png"))

        editor.pick_colour(YELLOW)
        editor.pick_tool("filled round")
        editor.drag_cells((2, 1), (13, 12))
        editor.pick_colour(BLACK)
        editor.pick_tool("brush")
        for cell in [(5, 5), (10, 5), (5, 4), (10, 4)]:
            editor.click_cell(*cell)
        editor.pick_colour(RED)
        editor.pick_tool("line")
        editor.drag_cells((5, 9), (10, 9))
        editor.drag_cells((4, 8), (5, 9))
        editor.drag_cells((11, 8), (10, 9))
        editor.pick_colour(GREEN)
        editor.drag_cells((0, 14), (15, 14))
        editor.pick_colour(BLUE)
        editor.pick_tool("square")
        editor.drag_cells((0, 0), (15, 15))

        img = e2e.screenshot(os.path.join(work, "screen.png"))
        # Wine reports the window without its outer frame; the frame is
        # centred around it, so crop the whole window.
        x, y, w, h = editor.geometry()
        left, top = x - (WINDOW_SIZE - w) // 2, y - (WINDOW_SIZE - h) // 2
        os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
        img.crop((left, top, left + WINDOW_SIZE, top + WINDOW_SIZE)).save(out)
        print("screenshot:", out)
    finally:
        print("editor closed:", editor.close())
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except e2e.E2EError as err:
        print("screenshot failed:", err, file=sys.stderr)
        sys.exit(1)
