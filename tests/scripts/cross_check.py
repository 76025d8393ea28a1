#!/usr/bin/python3
"""Our icon, cursor and strip files, read by independent readers.

usage: cross_check.py PIXTOR_CLI WORKDIR [icotool|imagemagick|pillow ...]

For every size and depth, as icon and as cursor, a test picture that the
depth holds exactly is written as text, converted by pixtor-cli, and read
back by the reader: opaque pixels must have their colours, transparent ones
must be transparent, cursors must carry their hot spot (0,0 for the 16x16
8-bit cursor, which the writer stores so). Strips are read as BMP by Pillow
and ImageMagick.
"""
import glob
import io
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixtor_testlib import (COMBINATIONS, FILE_SIZE, MASK, Failure, check, main,  # noqa: E402
                            need_tool, test_image, write_txt)
from PIL import Image  # noqa: E402

MAGICK = "/usr/bin/convert"   # ImageMagick itself, not whatever is first on PATH


def hot_spot_for(pace, bits):
    """The hot spot given, and the one the file must carry."""
    given = (13, 2) if pace == 16 else (10, 31)
    return given, ((0, 0) if (pace, bits) == (16, 8) else given)


def make_files(cli, work):
    """Yields (path, pace, bits, is_cursor, picture, expected hot spot)."""
    for pace, bits in COMBINATIONS:
        picture = test_image(pace, bits)
        txt = os.path.join(work, "p%d-%d.txt" % (pace, bits))
        write_txt(txt, picture)
        for cursor in (False, True):
            out = os.path.join(work, "p%d-%d.%s" % (pace, bits, "cur" if cursor else "ico"))
            args = ["convert", txt, out, "--depth", bits]
            given, stored = hot_spot_for(pace, bits)
            if cursor:
                args += ["--hotspot", "%d,%d" % given]
            cli.run(*args)
            size = os.path.getsize(out)
            check(size == FILE_SIZE[(pace, bits)], "%s: %d bytes, the layout gives %d" % (out, size, FILE_SIZE[(pace, bits)]))
            yield out, pace, bits, cursor, picture, (stored if cursor else None)


def compare_rgba(what, rgba, picture, transparency=True):
    """rgba: a Pillow RGBA image. With transparency False the reader is known
    to drop the mask: transparent pixels must then read as the black that
    the colour rows hold there."""
    pace = len(picture)
    check(rgba.size == (pace, pace), "%s: size %s, expected %dx%d" % (what, rgba.size, pace, pace))
    px = rgba.load()
    bad = []
    for y in range(pace):
        for x in range(pace):
            want = picture[y][x]
            got = px[x, y]
            if want == MASK:
                ok = got[3] == 0 if transparency else got == (0, 0, 0, 255)
            else:
                ok = got == want + (255,)
            if not ok:
                bad.append("(%d,%d) %s for %s" % (x, y, got, "transparent" if want == MASK else want))
    check(not bad, "%s: %d pixels differ, first: %s" % (what, len(bad), "; ".join(bad[:4])))


# ---- icoutils -----------------------------------------------------------

def icotool_list(path):
    p = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
    check(p.returncode == 0, "icotool -l %s: %s" % (path, p.stderr))
    lines = [l for l in p.stdout.splitlines() if l.strip()]
    check(len(lines) == 1, "icotool -l %s lists %d images" % (path, len(lines)))
    return dict(re.findall(r"--([a-z-]+)(?:=(\S+))?", lines[0]))


def section_icotool(cli, work):
    need_tool("icotool")
    for path, pace, bits, cursor, picture, hot in make_files(cli, work):
        listed = icotool_list(path)
        check(("cursor" if cursor else "icon") in listed, "%s: icotool lists %s" % (path, listed))
        check(listed.get("width") == str(pace) and listed.get("height") == str(pace),
              "%s: icotool lists %s" % (path, listed))
        if cursor:
            got = (int(listed.get("hotspot-x", -1)), int(listed.get("hotspot-y", -1)))
            check(got == hot, "%s: icotool reads hot spot %s, expected %s" % (path, got, hot))
        else:
            check(listed.get("bit-depth") == str(bits), "%s: icotool lists %s" % (path, listed))
        out = os.path.join(work, os.path.basename(path) + ".x")
        os.makedirs(out, exist_ok=True)
        p = subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True, text=True)
        check(p.returncode == 0, "icotool -x %s: %s" % (path, p.stderr))
        pngs = glob.glob(os.path.join(out, "*.png"))
        check(len(pngs) == 1, "icotool -x %s gave %s" % (path, pngs))
        with Image.open(pngs[0]) as im:
            compare_rgba("icotool -x " + path, im.convert("RGBA"), picture)


# ---- ImageMagick ------------------------------------------------------------

def magick_rgba(path, coder):
    p = subprocess.run([MAGICK, "%s:%s[0]" % (coder, path), "-depth", "8", "png:-"], capture_output=True)
    check(p.returncode == 0, "%s %s: %s" % (MAGICK, path, p.stderr.decode(errors="replace")))
    with Image.open(io.BytesIO(p.stdout)) as im:
        return im.convert("RGBA")


def section_imagemagick(cli, work):
    check(os.access(MAGICK, os.X_OK), "%s not found: run tools/install-deps" % MAGICK)
    for path, pace, bits, cursor, picture, hot in make_files(cli, work):
        compare_rgba("ImageMagick " + path, magick_rgba(path, "CUR" if cursor else "ICO"), picture)
    strip_check(cli, work, lambda p: magick_rgba(p, "BMP"), "ImageMagick")


# ---- Pillow -------------------------------------------------------------

def section_pillow(cli, work):
    for path, pace, bits, cursor, picture, hot in make_files(cli, work):
        with Image.open(path) as im:
            check(im.format == ("CUR" if cursor else "ICO"), "%s: Pillow sees %s" % (path, im.format))
            # Pillow's CUR reader decodes the colour rows only and drops the
            # AND mask, so a cursor's transparent pixels read as their black.
            compare_rgba("Pillow " + path, im.convert("RGBA"), picture, transparency=not cursor)
    def pillow_rgba(p):
        with Image.open(p) as im:
            check(im.format == "BMP", "%s: Pillow sees %s" % (p, im.format))
            return im.convert("RGBA")
    strip_check(cli, work, pillow_rgba, "Pillow")


# ---- strips -------------------------------------------------------------

def strip_check(cli, work, read, reader):
    """A strip of images side by side must read as one bitmap n*s wide;
    only the colours are compared (the fourth byte is 0, which a reader may
    or may not take as alpha)."""
    for pace in (16, 32):
        pictures = [test_image(pace, bits) for bits in (1, 4, 8, 24)]
        names = []
        for k, picture in enumerate(pictures):
            names.append(os.path.join(work, "s%d-%d.txt" % (pace, k)))
            write_txt(names[-1], picture)
        out = os.path.join(work, "strip%d.bmp" % pace)
        cli.run("strip", "join", out, *names)
        check(os.path.getsize(out) == 54 + 4 * len(pictures) * pace * pace, "%s: size %d" % (out, os.path.getsize(out)))
        im = read(out)
        check(im.size == (len(pictures) * pace, pace), "%s %s: size %s" % (reader, out, im.size))
        px = im.load()
        for k, picture in enumerate(pictures):
            for y in range(pace):
                for x in range(pace):
                    got = px[k * pace + x, y][:3]
                    check(got == picture[y][x], "%s %s: image %d pixel (%d,%d) %s, expected %s"
                          % (reader, out, k, x, y, got, picture[y][x]))


SECTIONS = {"icotool": section_icotool, "imagemagick": section_imagemagick, "pillow": section_pillow}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
