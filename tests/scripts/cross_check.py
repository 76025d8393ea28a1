#!/usr/bin/python3
"""Our icon, cursor and strip files, read by readers that are not ours.

usage: cross_check.py PIXTOR_CLI WORKDIR [icotool|strip ...]

icotool lists and extracts every size and depth as icon and as cursor:
colours, transparency, hot spots. It reads no bitmaps, so Pillow and
ImageMagick read the strips.
"""
import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# The e2e scripts take these names from here or from pixtor_testlib, alike.
from pixtor_testlib import (COMBINATIONS, FILE_SIZE, MASK, Failure, check, compare_rgba,  # noqa: E402,F401
                            icotool_list, magick_rgba, main, read_txt, same, test_image, write_txt)
from PIL import Image  # noqa: E402


def section_icotool(cli, work):
    check(shutil.which("icotool"), "icotool not found: run tools/install-deps")
    for pace, bits in COMBINATIONS:
        picture = test_image(pace, bits)
        txt = write_txt(os.path.join(work, "p%d-%d.txt" % (pace, bits)), picture)
        given = (13, 2) if pace == 16 else (10, 31)
        for ext in ("ico", "cur"):
            path = os.path.join(work, "p%d-%d.%s" % (pace, bits, ext))
            cli.run("convert", txt, path, "--depth", bits, *(["--hotspot", "%d,%d" % given] if ext == "cur" else []))
            check(os.path.getsize(path) == FILE_SIZE[(pace, bits)], "%s: not the layout's size" % path)
            # The writer stores the hot spot of a 16x16 8-bit cursor as 0,0.
            hot = (0, 0) if (pace, bits) == (16, 8) else given
            want = ({"cursor": "", "hotspot-x": str(hot[0]), "hotspot-y": str(hot[1])} if ext == "cur"
                    else {"icon": "", "bit-depth": str(bits)})
            want.update(width=str(pace), height=str(pace))
            listed = icotool_list(path)
            check(all(listed.get(k) == v for k, v in want.items()), "%s: icotool lists %s" % (path, listed))
            out = os.path.join(work, ext + "%d-%d.x" % (pace, bits))
            os.makedirs(out)
            p = subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True, text=True)
            pngs = glob.glob(os.path.join(out, "*.png"))
            check(p.returncode == 0 and len(pngs) == 1, "icotool -x %s gave %s: %s" % (path, pngs, p.stderr))
            with Image.open(pngs[0]) as im:
                compare_rgba("icotool -x " + path, im.convert("RGBA"), picture)


def section_strip(cli, work):
    """A strip of images side by side reads as one bitmap n*s wide. Only the
    colours are compared: the fourth byte is 0, which a reader may or may
    not take as alpha."""
    for pace in (16, 32):
        pictures = [test_image(pace, bits) for bits in (1, 4, 8, 24)]
        names = [write_txt(os.path.join(work, "s%d-%d.txt" % (pace, k)), p) for k, p in enumerate(pictures)]
        out = os.path.join(work, "strip%d.bmp" % pace)
        cli.run("strip", "join", out, *names)
        want = [sum((p[y] for p in pictures), []) for y in range(pace)]
        with Image.open(out) as im:
            check(im.format == "BMP", "%s: Pillow sees %s" % (out, im.format))
            pillow = im.convert("RGBA")
        for reader, im in (("Pillow", pillow), ("ImageMagick", magick_rgba(out, "BMP"))):
            px = im.load()
            got = [[px[x, y][:3] for x in range(im.size[0])] for y in range(im.size[1])]
            same(got, want, "%s %s (each image %d wide)" % (reader, out, pace))


SECTIONS = {"icotool": section_icotool, "strip": section_strip}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
