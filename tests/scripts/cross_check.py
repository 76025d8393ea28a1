#!/usr/bin/python3
"""Our icon, cursor and strip files, read by readers that are not ours.
usage: cross_check.py PIXTOR_CLI WORKDIR [icotool|strip|png|pack ...]

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


def rgba_of(path):
    with Image.open(path) as im:
        return list(im.convert("RGBA").getdata())


def seen(pixels):
    """What every reader must agree on: alpha, and the colour where it shows."""
    return [p if p[3] else (0, 0, 0, 0) for p in pixels]


def section_pack(cli, work):
    def picture(size, alpha):
        im = Image.new("RGBA", (size, size))
        im.putdata([(x * 255 // size, (y * 37) % 256, 90, 0 if x < size // 4 and y < size // 4 else alpha(x, y))
                    for y in range(size) for x in range(size)])
        return im

    inputs = {}
    for size, alpha in ((256, lambda x, y: 255 - x // 2), (48, lambda x, y: 200), (16, lambda x, y: 255)):
        inputs[size] = os.path.join(work, "in%d.png" % size)
        picture(size, alpha).save(inputs[size])
    out = os.path.join(work, "packed.ico")
    cli.run("pack", out, inputs[256], inputs[48], inputs[16], "--sizes", "16,24,32,48,256")
    sizes = [16, 24, 32, 48, 256]
    p = subprocess.run(["icotool", "-l", out], capture_output=True, text=True)
    listed = [dict(re.findall(r"--([a-z-]+)(?:=(\S+))?", l)) for l in p.stdout.splitlines() if l.strip()]
    check([int(l["width"]) for l in listed] == sizes and all(l["bit-depth"] == "32" for l in listed),
          "icotool -l %s: %s" % (out, p.stdout))
    with open(out, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[6 + 16 * 4 + 12:6 + 16 * 4 + 16], "little")
    check(data[6 + 64:6 + 66] == b"\0\0" and data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n",
          "the 256 px entry: width and height 0, stored as PNG")
    xdir, udir = os.path.join(work, "icotool"), os.path.join(work, "unpacked")
    os.makedirs(xdir)
    p = subprocess.run(["icotool", "-x", "-o", xdir, out], capture_output=True, text=True)
    check(p.returncode == 0, "icotool -x %s: %s" % (out, p.stderr))
    cli.run("unpack", "--out", udir, out)
    with Image.open(out) as im:
        for k, size in enumerate(sizes):
            im.size = (size, size)
            im.load()
            pillow = seen(im.convert("RGBA").getdata())
            theirs = seen(rgba_of(glob.glob(os.path.join(xdir, "packed_%d_%dx%dx32.png" % (k + 1, size, size)))[0]))
            ours = seen(rgba_of(os.path.join(udir, "packed.ico-%dx%d-%s.png" % (size, size, "png" if size == 256 else "32bit"))))
            check(pillow == theirs == ours, "entry %dx%d: Pillow, icotool and unpack disagree" % (size, size))
            if size in inputs:
                check(ours == seen(rgba_of(inputs[size])), "entry %dx%d is not the picture given" % (size, size))

    # The smallest exact depth of each; icotool and Pillow read them as given.
    bw = picture(32, lambda x, y: 255)
    bw.putdata([(255, 255, 255, a) if (x + y) % 3 else (0, 0, 0, a) for (r, g, b, a), x, y in
                ((px, i % 32, i // 32) for i, px in enumerate(bw.getdata()))])
    few = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
    few.putdata([(x % 5 * 60, y % 3 * 60, 9, 255) if y else (1, 2, 3, 0) for y in range(24) for x in range(24)])
    for name, im in (("bw", bw), ("few", few), ("many", picture(20, lambda x, y: 255))):
        im.save(os.path.join(work, name + ".png"))
    pictures = [os.path.join(work, n + ".png") for n in ("bw", "few", "many")]
    cursor, icon = os.path.join(work, "auto.cur"), os.path.join(work, "auto.ico")
    cli.run("pack", cursor, *pictures, "--depth", "auto", "--hotspot", "31,8")
    cli.run("pack", icon, *pictures, "--depth", "auto")
    p = subprocess.run(["icotool", "-l", cursor], capture_output=True, text=True)
    listed = [dict(re.findall(r"--([a-z-]+)(?:=(\S+))?", l)) for l in p.stdout.splitlines() if l.strip()]
    check([(l["width"], l["bit-depth"], l["hotspot-x"], l["hotspot-y"]) for l in listed] ==
          [("20", "24", "19", "5"), ("24", "4", "23", "6"), ("32", "1", "31", "8")], "icotool -l %s: %s" % (cursor, p.stdout))
    with Image.open(icon) as im:
        for name, size in (("many", 20), ("few", 24), ("bw", 32)):
            im.size = (size, size)
            im.load()
            check(seen(im.convert("RGBA").getdata()) == seen(rgba_of(os.path.join(work, name + ".png"))),
                  "%s at %d px read back by Pillow" % (name, size))


SECTIONS = {"icotool": section_icotool, "strip": section_strip, "png": section_png, "pack": section_pack}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
