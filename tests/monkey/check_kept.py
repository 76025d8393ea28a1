#!/usr/bin/python3
"""Every file a random session kept, read by readers that are not ours:
icotool for icons and cursors, Pillow for strips. Each must show the
picture our reader saw in it (NAME.txt).
usage: check_kept.py FOLDER"""
import glob
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from pixtor_testlib import Failure, check, compare_rgba, icotool_extract, read_txt, same  # noqa: E402
from PIL import Image  # noqa: E402


def check_file(path):
    picture = read_txt(os.path.splitext(path)[0] + ".txt")
    if path.endswith(".bmp"):
        with Image.open(path) as im:
            check(im.format == "BMP", "%s: Pillow sees %s" % (path, im.format))
            rgb = im.convert("RGB")
            same([[rgb.getpixel((x, y)) for x in range(rgb.width)] for y in range(rgb.height)], picture,
                 "Pillow reads " + path)
        return
    with tempfile.TemporaryDirectory() as out:
        pngs = icotool_extract(path, os.path.join(out, "x"))
        check(len(pngs) == 1, "icotool -x %s gave %s" % (path, pngs))
        with Image.open(pngs[0]) as im:
            compare_rgba("icotool -x " + path, im.convert("RGBA"), picture)


def main(folder):
    files = sorted(f for f in glob.glob(os.path.join(folder, "*")) if not f.endswith(".txt"))
    failed = 0
    for path in files:
        try:
            check_file(path)
        except Failure as e:
            print("FAILED: %s" % e)
            failed += 1
    print("%d files the session wrote, read by icotool and Pillow: %d failed" % (len(files), failed))
    return 1 if failed or not files else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
