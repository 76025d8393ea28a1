#!/usr/bin/python3
"""Our icon, cursor and strip files, read by readers that are not ours.
usage: cross_check.py PIXTOR_CLI WORKDIR [icotool|strip|png ...]

icotool lists and extracts every size and depth as icon and as cursor:
colours, transparency, hot spots. It reads no bitmaps, so Pillow reads the
strips. Pillow reads our PNGs, and we Pillow's, in every colour type.
"""
import glob
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixtor_testlib import (COMBINATIONS, MASK, check, compare_rgba, main, read_txt,  # noqa: E402
                            same, test_image, write_txt)
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
            # The writer stores the hot spot of a 16x16 8-bit cursor as 0,0.
            hot = (0, 0) if (pace, bits) == (16, 8) else given
            want = ({"cursor": "", "hotspot-x": str(hot[0]), "hotspot-y": str(hot[1])} if ext == "cur"
                    else {"icon": "", "bit-depth": str(bits)})
            want.update(width=str(pace), height=str(pace))
            p = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
            lines = [l for l in p.stdout.splitlines() if l.strip()]
            check(p.returncode == 0 and len(lines) == 1, "icotool -l %s: %s%s" % (path, p.stdout, p.stderr))
            listed = dict(re.findall(r"--([a-z-]+)(?:=(\S+))?", lines[0]))
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
        out = os.path.join(work, "strip%d.bmp" % pace)
        cli.run("strip", "join", out, *[write_txt(os.path.join(work, "s%d-%d.txt" % (pace, k)), p)
                                        for k, p in enumerate(pictures)])
        with Image.open(out) as im:
            check(im.format == "BMP", "%s: Pillow sees %s" % (out, im.format))
            px, (w, h) = im.convert("RGB").load(), im.size
        same([[px[x, y] for x in range(w)] for y in range(h)], [sum((p[y] for p in pictures), []) for y in range(pace)],
             "Pillow reads %s (each image %d wide)" % (out, pace))


def section_png(cli, work):
    for pace in (16, 32):
        picture = test_image(pace, 24)
        png = os.path.join(work, "ours%d.png" % pace)
        cli.run("convert", write_txt(os.path.join(work, "ours%d.txt" % pace), picture), png)
        with Image.open(png) as im:
            check((im.format, im.mode) == ("PNG", "RGBA"), "%s: Pillow sees %s %s" % (png, im.format, im.mode))
            compare_rgba("Pillow " + png, im.convert("RGBA"), picture)

        # Theirs: alpha below 128 is transparent, from 128 opaque; RGB, grey
        # and palette files have no transparency but a palette's own.
        rgba = Image.new("RGBA", (pace, pace))
        rgba.putdata([(x * 8 % 256, y * 8 % 256, 77, 255) for y in range(pace) for x in range(pace)])
        for x, alpha in enumerate((0, 127, 128, 200)):
            rgba.putpixel((x, 0), (10, 20, 30, alpha))
        palette = rgba.convert("RGB").quantize(16)
        palette.info["transparency"] = palette.getpixel((5, 5))
        for mode, im in (("RGBA", rgba), ("RGB", rgba.convert("RGB")), ("L", rgba.convert("L")), ("P", palette)):
            path, txt = os.path.join(work, "pillow%d-%s.png" % (pace, mode)), os.path.join(work, "back.txt")
            im.save(path)
            with Image.open(path) as back:
                px = back.convert("RGBA").load()
            cli.run("convert", path, txt)
            same(read_txt(txt), [[MASK if px[x, y][3] < 128 else px[x, y][:3] for x in range(pace)] for y in range(pace)],
                 "%s read by the tool" % path)


SECTIONS = {"icotool": section_icotool, "strip": section_strip, "png": section_png}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
