#!/usr/bin/python3
"""What pixtor-cli does, from the outside: its commands, options, messages
and safe writing; a run that fails writes nothing (Cli.run checks it).
Our files as readers that are not ours see them: icotool lists and extracts
every size and depth as icon and as cursor (colours, transparency, hot
spots), Pillow reads the strips and our PNGs, and we Pillow's. What the
codecs do with pixels the core tests check.
usage: cli_test.py PIXTOR_CLI WORKDIR [png|convert|modern|pack|conventions|strip|errors|safe_write|icotool ...]
"""
import io
import json
import os
import re
import resource
import shutil
import signal
import subprocess
import struct
import sys
import zlib

from PIL import Image, ImageDraw, PngImagePlugin
from pixtor_testlib import (BLACK, COMBINATIONS, FORMAT_INDEX, MASK, WHITE, check, compare_rgba, grid_of, ico_entry,
                            icotool_extract, icotool_list, main, read_bytes, read_txt, same, test_image, write_bytes,
                            write_txt)

MULTI_IMAGE = "Multi-image format isn't supported yet!\n             Read only first."
NOT_SUPPORTED_ICON = "Current image format is not supported."
NOT_SUPPORTED = "File format is not supported!"
READ_ERROR = "Error reading file!"
WRITE_ERROR = "Error writing file!"
CANT_OPEN = "Can't open file"


def section_convert(cli, work):
    # --size 32 doubles each pixel; --depth to a text image reduces as the file would.
    small = test_image(16, 24)
    src, big, cur, bad = write_txt(work / "small.txt", small), work / "big.ico", work / "h.cur", work / "bad.cur"
    cli.run("convert", src, big, "--size", "32")
    f = cli.info(big)
    check(f == {"kind": "icon", "size": "32", "depth": "24", "format index": "7", "images": "1",
                "entry 1": "32x32, 24 bits"}, "info big.ico: %s" % f)
    same(cli.grid(big), grid_of(32, lambda x, y: small[y // 2][x // 2]), "--size 32")
    same(cli.grid(src, "--depth=1"), grid_of(16, lambda x, y: small[y][x] if small[y][x] in (MASK, WHITE) else BLACK),
         "--depth=1 to text")
    # Lenient where it does no harm: CRLF, tabs, lower case, trailing blank lines.
    crlf = write_bytes(work / "crlf.txt", b"".join(b"\t".join([b"a0b0c0"] * 16) + b" \r\n" for _ in range(16)) + b"\r\n\n")
    same(cli.grid(crlf), grid_of(16, lambda x, y: (0xA0, 0xB0, 0xC0)), "CRLF text")

    # The hot spot: --hotspot, else the input cursor's scaled, else 0,0; the input's depth kept.
    cli.run("convert", src, cur, "--size", "32", "--depth", "4", "--hotspot", "3,5")
    for source, target, args, spot in ((cur, "kept.cur", [], "3,5"), (cur, "half.cur", ["--size", "16"], "1,2"),
                                       (work / "half.cur", "double.cur", ["--size", "32"], "2,4"),
                                       (cur, "given.cur", ["--hotspot", "31,0"], "31,0"), (src, "none.cur", [], "0,0")):
        cli.run("convert", source, work / target, *args)
        f = cli.info(work / target)
        got, want = (f["kind"], f["depth"], f.get("hot spot")), ("cursor", "24" if source == src else "4", spot)
        check(got == want, "%s from %s %s: %s, expected %s" % (target, source, args, got, want))
    cli.run("convert", cur, work / "c8.cur", "--size", "16", "--depth", "8", says="16x16 8-bit cursor")
    cli.run("convert", src, bad, "--hotspot", "16,0", rc=2, says="hot spot 16,0 lies outside the 16x16 image")
    # A cursor whose own hot spot lies outside its image needs --hotspot.
    data = read_bytes(cur)
    odd = write_bytes(work / "odd.cur", data[:10] + struct.pack("<H", 40) + data[12:])
    cli.run("convert", odd, bad, rc=1, says="hot spot 40,5 lies outside the 32x32 image")
    cli.run("convert", odd, bad, "--hotspot", "1,1")

    # Two images of one size: the editor's warning, and which one the tool took.
    cli.run("convert", src, work / "one.ico")
    one = read_bytes(work / "one.ico")
    multi = write_bytes(work / "two.ico", struct.pack("<HHH", 0, 1, 2) + one[6:18] + struct.pack("<I", 38)
                        + one[6:18] + struct.pack("<I", len(one) + 16) + one[22:] * 2)
    p = cli.run("info", multi)
    check("images: 2\n" in p.stdout and ("warning: " + MULTI_IMAGE) in p.stdout, "info two.ico:\n" + p.stdout)
    same(cli.grid(multi, says="took entry 1 of 2 (16x16, 24 bits)"), small, "first image of two.ico")
    # info --json: the same facts, the warning's line break escaped.
    entry = lambda k, size, depth, spot=None: {"entry": k, "width": size, "height": size, "depth": depth,  # noqa: E731
                                               "png": False, "hot_spot": spot}
    for path, want in ((cur, {"kind": "cursor", "size": 32, "depth": 4, "format_index": 3, "hot_spot": [3, 5],
                              "images": 1, "entries": [entry(1, 32, 4, [3, 5])], "warnings": [], "not_read": []}),
                       (multi, {"kind": "icon", "size": 16, "depth": 24, "format_index": 6, "hot_spot": None,
                                "images": 2, "entries": [entry(1, 16, 24), entry(2, 16, 24)],
                                "warnings": [MULTI_IMAGE], "not_read": []})):
        got = json.loads(cli.run("info", "--json", path).stdout)
        check(got == want, "info --json %s: %s" % (path, got))


def section_modern(cli, work):
    # Pillow's icons (PNG entries, 16 to 256 px): listed, the best or --entry converted, --to for many.
    picture = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
    ImageDraw.Draw(picture).rectangle((0, 0, 127, 255), fill=(200, 30, 40, 255))
    modern, out = work / "modern.ico", work / "pngs"
    picture.save(modern, sizes=[(16, 16), (32, 32), (48, 48), (256, 256)])
    f = cli.info(modern)
    check((f["images"], f["entry 4"], "format index" in f) == ("4", "256x256, 32 bits, PNG", False), "info: %s" % f)
    rgba = ico_entry(Image.open(modern), 32)   # Pillow's own reading of the 32 px entry
    same(cli.grid(modern, says="took entry 2 of 4 (32x32, 32 bits, PNG)"),
         grid_of(32, lambda x, y: rgba.getpixel((x, y))[:3] if rgba.getpixel((x, y))[3] >= 128 else MASK),
         "the 32 px entry as Pillow reads it, transparency kept")
    same(cli.grid(modern, "--entry", "4", says="took entry 4 of 4 (256x256, 32 bits, PNG), scaled"),
         grid_of(32, lambda x, y: (200, 30, 40) if x < 16 else MASK), "the 256 px entry averaged down")
    cli.run("convert", modern, work / "m.txt", "--entry", "5", rc=1, says="entry 5 of 4 is not in the file")
    cli.run("convert", "--to", "ico", modern, rc=1, says="modern.ico is an input")
    cli.run("convert", "--to", "png", "--out", out, modern, work / "missing.ico", rc=1, partial=True,
            says="1 of 2 files not converted")
    check(os.listdir(out) == ["modern.png"] and Image.open(out / "modern.png").size == (32, 32),
          "--to png: %s" % os.listdir(out))


def seen(picture):
    """What every reader must agree on: alpha, and the colour where it shows
    (picture: a Pillow image or a file's path)."""
    im = Image.open(picture) if isinstance(picture, str) else picture
    return [p if p[3] else (0, 0, 0, 0) for p in im.convert("RGBA").getdata()]


def section_pack(cli, work):
    # Icons whose one entry is a 32 px PNG without alpha (grey, RGB) whose directory says 8 or 24 bits.
    for mode, bits, fill in (("L", 8, 128), ("RGB", 24, (10, 20, 30))):
        Image.new(mode, (32, 32), fill).save(work / "entry.png")
        data = read_bytes(work / "entry.png")
        path = write_bytes(work / (mode + ".ico"), struct.pack("<HHHBBBBHHII", 0, 1, 1, 32, 32, 0, 0, 1, bits,
                                                                len(data), 22) + data)
        same(cli.grid(path), grid_of(32, lambda x, y: (128,) * 3 if mode == "L" else fill),
             "the PNG entry of a %s.ico read" % mode)

    # An icon's entries kept byte for byte, with another picture; a second
    # picture of a size and depth already given is refused, and nothing is written.
    icon, packed, p48, refused = work / "kept.ico", work / "packed.ico", work / "p48.png", work / "refused.ico"
    cli.run("convert", write_txt(work / "k.txt", test_image(32, 4)), icon, "--depth", "4")
    Image.new("RGBA", (48, 48), (1, 2, 3, 255)).save(p48)
    cli.run("pack", packed, p48, icon)
    data, kept = read_bytes(packed), read_bytes(icon)
    size, offset = struct.unpack("<II", data[6 + 8:6 + 16])
    check(data[6:9] == b"\x20\x20\x10" and data[offset:offset + size] == kept[22:],
          "the 32 px 4-bit entry kept as it was stored, first")
    for name, image in (("wide.png", Image.new("RGBA", (32, 16))), ("huge.png", Image.new("RGBA", (300, 300))),
                        ("again.png", Image.new("RGBA", (48, 48)))):
        image.save(work / name)
    broken = write_bytes(work / "broken.ico", kept[:4] + b"\x02\x00" + kept[6:22] +
                         struct.pack("<BBBBHHII", 48, 48, 0, 0, 1, 32, 4000, 9999) + kept[22:])
    for given, says in ((work / "wide.png", "image is 32x16: an icon's pictures are square"),
                        (work / "huge.png", "image is 300x300"),
                        (work / "again.png", "p48.png and %s both give a 48x48 picture of 32 bits" % (work / "again.png")),
                        (p48, "both give a 48x48 picture"), (broken, "entry 2: its data lies beyond the end")):
        cli.run("pack", refused, p48, given, rc=1, says=says)
    cli.run("pack", refused, work / "missing.png", rc=1, first=CANT_OPEN)
    # A size made from a cursor's picture takes its hot spot along.
    Image.new("RGBA", (64, 64), (5, 6, 7, 255)).save(work / "p64.png")
    cli.run("pack", work / "big.cur", work / "p64.png", "--hotspot", "40,21")
    cli.run("pack", work / "small.cur", work / "big.cur", "--sizes", "32")
    check(cli.info(work / "small.cur")["entry 1"] == "32x32, 32 bits, hot spot 20,10", "the made cursor's hot spot")
    # Stored as PNG, an 8-bit RGBA picture keeps its compressed data, less the
    # chunks that only describe it; a picture of another kind is written anew.
    told = PngImagePlugin.PngInfo()
    told.add_text("Comment", "made for a test")
    Image.new("RGBA", (24, 24), (9, 8, 7, 200)).save(work / "p24.png", pnginfo=told)
    Image.new("RGBA", (20, 20), (1, 2, 3, 255)).convert("P").save(work / "p20.png")
    cli.run("pack", work / "png.ico", work / "p24.png", work / "p20.png", "--png", "all")
    data, given = read_bytes(work / "png.ico"), read_bytes(work / "p24.png")
    stored = [data[offset:offset + size] for size, offset in
              (struct.unpack("<II", data[14 + 16 * k:22 + 16 * k]) for k in range(2))]
    check(stored[1] == given[:given.index(b"tEXt") - 4] + given[given.index(b"IDAT") - 4:],
          "the RGBA PNG kept as it was compressed, without its text")
    check(stored[0][25] == 6 and Image.open(io.BytesIO(stored[0])).convert("RGBA").getpixel((3, 3)) == (1, 2, 3, 255),
          "the palette PNG written anew as RGBA")
    # Data that is not what its maker wrote (a check sum of a chunk, or of the
    # compressed stream, wrong) is not kept: the picture is written anew.
    at = given.index(b"IDAT") - 4
    end = at + 8 + struct.unpack(">I", given[at:at + 4])[0]   # where the chunk's CRC starts
    for where in (end, end - 1):   # the chunk's CRC; the stream's Adler-32, its CRC mended
        damaged = bytearray(given)
        damaged[where] ^= 1
        if where < end:
            damaged[end:end + 4] = struct.pack(">I", zlib.crc32(damaged[at + 4:end]))
        cli.run("pack", work / "damaged.ico", write_bytes(work / "damaged.png", damaged), "--png", "all")
        entry = read_bytes(work / "damaged.ico")[22:]
        check(bytes(b"IDAT" + damaged[at + 8:end + 4]) not in entry
              and Image.open(io.BytesIO(entry)).getpixel((3, 3)) == (9, 8, 7, 200), "a damaged PNG kept (byte %d)" % where)
    for args in ((work / "o.ico",), (work / "o.png", icon), ("--sizes", "0,16", "o.ico", icon)):
        cli.run("pack", *args, rc=2)

    # Sizes made from larger and smaller pictures, the largest stored as PNG:
    # Pillow, icotool and unpack read the same, and the pictures given as given.
    def picture(size, alpha):
        im = Image.new("RGBA", (size, size))
        im.putdata([(x * 255 // size, (y * 37) % 256, 90, 0 if x < size // 4 and y < size // 4 else alpha(x, y))
                    for y in range(size) for x in range(size)])
        return im

    inputs, sizes, out = {}, [16, 24, 32, 48, 256], work / "sizes.ico"
    for size, alpha in ((256, lambda x, y: 255 - x // 2), (48, lambda x, y: 200), (16, lambda x, y: 255)):
        inputs[size] = work / ("in%d.png" % size)
        picture(size, alpha).save(inputs[size])
    cli.run("pack", out, inputs[256], inputs[48], inputs[16], "--sizes", "16,24,32,48,256")
    listed = icotool_list(out)
    check([int(l["width"]) for l in listed] == sizes and all(l["bit-depth"] == "32" for l in listed),
          "icotool -l %s: %s" % (out, listed))
    data = read_bytes(out)
    offset = int.from_bytes(data[6 + 16 * 4 + 12:6 + 16 * 4 + 16], "little")
    check(data[6 + 64:6 + 66] == b"\0\0" and data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n",
          "the 256 px entry: width and height 0, stored as PNG")
    theirs = icotool_extract(out, work / "icotool")
    # unpack: every entry of each file out; a file that cannot be read is told and the rest go on.
    favicon, unpacked = write_bytes(work / "favicon.ico", read_bytes(p48)), work / "unpacked"   # a PNG by another name
    p = cli.run("unpack", "--out", unpacked, packed, out, work / "missing.ico", favicon, rc=1, partial=True, says="1 of 4 files")
    check(sorted(os.listdir(unpacked)) == sorted(["favicon.ico-48x48-png.png", "packed.ico-32x32-4bit.png",
                                                  "packed.ico-48x48-32bit.png", "sizes.ico-256x256-png.png"]
                                                 + ["sizes.ico-%dx%d-32bit.png" % (s, s) for s in sizes[:-1]])
          and "-> " in p.stdout and read_bytes(unpacked / "favicon.ico-48x48-png.png") == read_bytes(p48),
          "unpack wrote %s" % os.listdir(unpacked))
    with Image.open(out) as im:
        for k, size in enumerate(sizes):
            ours = seen(unpacked / ("sizes.ico-%dx%d-%s.png" % (size, size, "png" if size == 256 else "32bit")))
            check(seen(ico_entry(im, size)) == seen(work / "icotool" / ("sizes_%d_%dx%dx32.png" % (k + 1, size, size)))
                  == ours, "entry %dx%d: Pillow, icotool and unpack disagree (icotool wrote %s)" % (size, size, theirs))
            check(size not in inputs or ours == seen(inputs[size]), "entry %dx%d is not the picture given" % (size, size))
    # --depth auto: the smallest exact depth of each; icotool and Pillow read them as given.
    bw = picture(32, lambda x, y: 255)
    bw.putdata([(255, 255, 255, a) if (i % 32 + i // 32) % 3 else (0, 0, 0, a) for i, (r, g, b, a) in enumerate(bw.getdata())])
    few = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
    few.putdata([(x % 5 * 60, y % 3 * 60, 9, 255) if y else (1, 2, 3, 0) for y in range(24) for x in range(24)])
    pictures = {"bw": bw, "few": few, "many": picture(20, lambda x, y: 255)}
    for name, im in pictures.items():
        im.save(work / (name + ".png"))
    cursor, auto = work / "auto.cur", work / "auto.ico"
    cli.run("pack", cursor, *[work / (n + ".png") for n in pictures], "--depth", "auto", "--hotspot", "31,8")
    cli.run("pack", auto, *[work / (n + ".png") for n in pictures], "--depth", "auto")
    listed = [(l["width"], l["bit-depth"], l["hotspot-x"], l["hotspot-y"]) for l in icotool_list(cursor)]
    check(listed == [("20", "24", "19", "5"), ("24", "4", "23", "6"), ("32", "1", "31", "8")],
          "icotool -l %s: %s" % (cursor, listed))
    with Image.open(auto) as im:
        for name, size in (("many", 20), ("few", 24), ("bw", 32)):
            check(seen(ico_entry(im, size)) == seen(work / (name + ".png")), "%s at %d px read back by Pillow" % (name, size))


def section_conventions(cli, work):
    """--help and --version, the manual, --json everywhere, batches on every
    core as one thread writes them, and progress only on a terminal."""
    manual = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "cli", "pixtor-cli.1")
    version = cli.run("--version").stdout
    check(version == "pixtor-cli 1.0.0\n", "--version: %r" % version)
    usage = cli.run("--help").stdout
    check(usage.startswith("usage: pixtor-cli") and "editor" not in usage, "--help: %r" % usage)
    for command in ("info", "convert", "pack", "unpack", "extract", "strip"):
        own = cli.run(command, "--help").stdout
        check(own.startswith("usage: pixtor-cli " + command) and "Exit status: 0 done" in own and "editor" not in own,
              "%s --help: %r" % (command, own))
    p = subprocess.run(["man", "--warnings", "-l", manual], capture_output=True, text=True, env=dict(os.environ, MANWIDTH="80"))
    text = p.stdout.replace("\u2010", "-")
    check(p.returncode == 0 and not p.stderr.strip(), "man -l %s: %s" % (manual, p.stderr))
    missing = sorted(set(re.findall(r"(?:^|\s\[?)(--[a-z]+)", usage)) - set(re.findall(r"--[a-z]+", text)))
    check(not missing and "EXIT STATUS" in text and "EXAMPLES" in text, "the manual lacks %s" % missing)
    check('"pixtor-cli %s"' % version.split()[1] in read_bytes(manual).decode().splitlines()[0],
          "the manual is of another version")

    # A batch on every core writes what one file at a time does, byte for byte, and tells it as JSON.
    names = [write_txt(work / ("b%02d.txt" % k), test_image(16 + 16 * (k % 2), (1, 4, 8, 24)[k % 4])) for k in range(12)]
    p = cli.run("convert", "--to", "png", "--out", work / "batch", "--json", *names)
    told = [json.loads(line) for line in p.stdout.splitlines()]
    check(told[-1] == {"files": 12, "failed": 0} and [t["file"] for t in told[:-1]] == names, "--json of a batch: %s" % told)
    for name in names:
        cli.run("convert", name, work / "one.png")
        check(read_bytes(work / "one.png") == read_bytes(work / "batch" / (os.path.basename(name)[:-4] + ".png")),
              "%s: the batch wrote other bytes" % name)
    strip, icon = work / "s.bmp", work / "p.ico"
    for args, written in ((("strip", "join", strip, names[0], names[2]), strip),
                          (("strip", "split", strip, work / "part"), strip), (("pack", icon, names[0], names[1]), icon)):
        check(json.loads(cli.run(*args, "--json").stdout)["file"] == written, "%s --json" % args[0])
    odd = write_bytes(work / os.fsdecode(b"caf\xe9 \xff.txt"), read_bytes(names[0]))   # a name that is not UTF-8
    told = json.loads(cli.run("convert", "--to", "png", "--json", odd).stdout)
    check(told["file"].endswith("caf\ufffd \ufffd.txt") and told["written"].endswith("caf\ufffd \ufffd.png"),
          "--json of a name not UTF-8: %s" % told)
    listed, cursors = work / "list.txt", [work / ("l %d.cur" % k) for k in range(6)]
    with open(listed, "w", newline="") as f:   # names with spaces, CRLF and an empty line
        f.write("".join("%s\t%s\t%s\r\n\n" % (c, names[2 * k], names[2 * k + 1]) for k, c in enumerate(cursors)))
    p = cli.run("pack", "--list", listed, "--sizes", "16,32", "--hotspot", "3,5", "--json")
    check([json.loads(line).get("file") for line in p.stdout.splitlines()][:6] == cursors, "pack --list --json: %s" % p.stdout)
    for k, c in enumerate(cursors):
        cli.run("pack", work / "one.cur", names[2 * k], names[2 * k + 1], "--sizes", "16,32", "--hotspot", "3,5")
        check(read_bytes(work / "one.cur") == read_bytes(c), "pack --list line %d wrote other bytes" % k)
    # Lines run at once: none writes what another line writes or reads.
    with open(listed, "w") as f:
        f.write("%s\t%s\n%s\t%s\n%s\t%s\n" % (work / "m.ico", names[0], work / "m.ico", names[1], work / "n.ico", work / "m.ico"))
    p = cli.run("pack", "--list", listed, rc=1, partial=True,
                says="line 3 not packed: %s is written by line 1" % (work / "m.ico"))
    check("line 2 not packed" in p.stderr and not os.path.exists(work / "n.ico"), "pack --list: %s" % p.stderr)

    # Progress on a terminal only, once a batch runs longer than it is told to wait.
    import pty
    env, main_fd, terminal = dict(os.environ, PIXTOR_PROGRESS_AFTER="0"), *pty.openpty()
    p = subprocess.run([cli.path, "convert", "--to", "txt", "--out", work / "tty", *names], stdout=subprocess.PIPE,
                       stderr=terminal, env=env, timeout=60)
    os.close(terminal)
    shown = os.read(main_fd, 65536).decode()
    os.close(main_fd)
    check(p.returncode == 0 and "12 of 12 files done" in shown, "no progress on a terminal: %r" % shown)
    p = cli.run("convert", "--to", "txt", "--out", work / "pipe", *names, env=env)
    check(p.stderr == "", "progress where no one reads it: %r" % p.stderr)


def section_strip(cli, work):
    """Images side by side: info, split back to PNGs or text images, and as
    Pillow reads it, one bitmap n*s wide (only the colours: the fourth byte
    is 0, which a reader may or may not take as alpha)."""
    for pace in (16, 32):
        pictures = [test_image(pace, bits) for bits in (1, 4, 8, 24)] + [grid_of(pace, lambda x, y: MASK)]
        names = [write_txt(work / ("j%d-%d.txt" % (pace, k)), p) for k, p in enumerate(pictures)]
        ico, bmp = work / ("j%d.ico" % pace), work / ("j%d.bmp" % pace)
        cli.run("convert", names[1], ico, "--depth", "4")
        cli.run("strip", "join", bmp, names[0], ico, *names[2:])   # an icon among the inputs
        f = cli.info(bmp)
        check(f == {"kind": "strip", "size": str(pace), "depth": "32", "images": "5",
                    "format index": str(FORMAT_INDEX[(pace, 24)])}, "info strip: %s" % f)
        with Image.open(bmp) as im:
            check(im.format == "BMP", "%s: Pillow sees %s" % (bmp, im.format))
            px, (w, h) = im.convert("RGB").load(), im.size
        same([[px[x, y] for x in range(w)] for y in range(h)], [sum((p[y] for p in pictures), []) for y in range(pace)],
             "Pillow reads %s (each image %d wide)" % (bmp, pace))
        # Split writes PNGs, or with --txt text images.
        for form in ("png", "txt"):
            prefix = work / ("%s%d" % (form, pace))
            p = cli.run("strip", "split", *(["--txt"] if form == "txt" else []), bmp, prefix)
            check(p.stdout == "5 images of %dx%d\n" % (pace, pace), "split says %r" % p.stdout)
            pieces = ["%s-%d.%s" % (prefix, k, form) for k in range(5)]
            for piece, picture in zip(pieces, pictures):
                same(read_txt(piece) if form == "txt" else cli.grid(piece), picture, "split " + piece)
            check(sorted(f for f in os.listdir(work) if f.startswith(os.path.basename(prefix) + "-")) ==
                  [os.path.basename(f) for f in pieces], "split %s wrote other files" % form)
    cli.run("convert", bmp, work / "never.ico", rc=1, first=NOT_SUPPORTED)
    # Mixed sizes are refused.
    cli.run("strip", "join", work / "mixed.bmp", names[0], work / "j16-0.txt", rc=1,
            says="image is 16x16 but %s is 32x32; all images of a strip have one size" % names[0])


def section_png(cli, work):
    for pace in (16, 32):
        # Ours: Pillow reads the picture at both sizes; info names it and a text image.
        picture = test_image(pace, 24)
        src, png = write_txt(work / ("p%d.txt" % pace), picture), work / ("p%d.png" % pace)
        cli.run("convert", src, png)
        with Image.open(png) as im:
            check((im.format, im.mode) == ("PNG", "RGBA"), "%s: Pillow sees %s %s" % (png, im.format, im.mode))
            compare_rgba("Pillow " + png, im.convert("RGBA"), picture)
        for path, kind in ((png, "png"), (src, "text")):
            f = cli.info(path)
            check(f == {"kind": kind, "size": str(pace), "depth": "24", "format index": str(FORMAT_INDEX[(pace, 24)]),
                        "images": "1"}, "info %s: %s" % (path, f))
        # Theirs: alpha below 128 is transparent, from 128 opaque; RGB, grey
        # and palette files have no transparency but a palette's own.
        rgba = Image.new("RGBA", (pace, pace))
        rgba.putdata([(x * 8 % 256, y * 8 % 256, 77, 255) for y in range(pace) for x in range(pace)])
        for x, alpha in enumerate((0, 127, 128, 200)):
            rgba.putpixel((x, 0), (10, 20, 30, alpha))
        palette = rgba.convert("RGB").quantize(16)
        palette.info["transparency"] = palette.getpixel((5, 5))
        for mode, im in (("RGBA", rgba), ("RGB", rgba.convert("RGB")), ("L", rgba.convert("L")), ("P", palette)):
            path = work / ("pillow%d-%s.png" % (pace, mode))
            im.save(path)
            with Image.open(path) as back:
                px = back.convert("RGBA").load()
            same(cli.grid(path), [[MASK if px[x, y][3] < 128 else px[x, y][:3] for x in range(pace)] for y in range(pace)],
                 "%s read by the tool" % path)

    # Other sizes, other shapes and broken files are refused.
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    def grey_png(w, h):   # a real w x h PNG, made here
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(b"".join(b"\0" + bytes([90] * w) for _ in range(h))))
                + chunk(b"IEND", b""))
    head = grey_png(16, 16)[:33]   # the signature and IHDR
    for name, says, data in (
            ("odd.png", "image is 20x20", grey_png(20, 20)), ("tall.png", "image is 16x32", grey_png(16, 32)),
            ("claims.png", "reaches beyond the end of the file", head + struct.pack(">I", 0x7FFFFF00) + b"IDAT" + bytes(20)),
            ("text.png", "not a PNG picture", b"hello"),
            # 60 kB whose pixel data unpacks to 64 MB
            ("bomb.png", "not a readable PNG picture",
             head + chunk(b"IDAT", zlib.compress(bytes(64 << 20), 9)) + chunk(b"IEND", b""))):
        cli.run("convert", write_bytes(work / name, data), work / "never.ico", rc=1, first=NOT_SUPPORTED, says=says)
    # An empty data chunk before the data (legal, and holding nothing) changes nothing read.
    spaced = write_bytes(work / "spaced.png", head + chunk(b"IDAT", b"") + grey_png(16, 16)[33:])
    same(cli.grid(spaced), grid_of(16, lambda x, y: (90, 90, 90)), "a PNG with an empty data chunk")


def section_errors(cli, work):
    src, out = write_txt(work / "i.txt", test_image(16, 24)), work / "o.ico"
    bmp = lambda w, h, bits, n: (b"BM" + struct.pack("<IHHI", 54 + n, 0, 0, 54)  # noqa: E731
                                 + struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, 0, 0, 0, 0, 0) + bytes(n))
    # Usage errors: the problem and the usage on stderr, exit 2.
    c = ("convert", src, out)
    for args, problem in (
            ((), None), (("frobnicate",), "unknown command 'frobnicate'"), (("info",), "info takes one FILE"),
            (c + ("extra",), "convert takes IN and OUT"), (c + ("--colour", "red"), "unknown option '--colour'"),
            (("convert", src, work / "o.bmp"), "OUT must be a .ico, .cur, .png or .txt file"),
            (c + ("--size",), "--size needs a value"), (c + ("--size", "20"), "--size must be 16 or 32, not '20'"),
            (c + ("--depth",), "--depth needs a value"), (c + ("--depth", "2"), "--depth must be 1, 4, 8 or 24, not '2'"),
            (c + ("--hotspot",), "--hotspot needs a value"),
            (c + ("--hotspot", "-1,2"), "--hotspot takes X,Y with two whole numbers, not '-1,2'"),
            (("strip",), "strip takes join or split"), (("strip", "join", out), "strip join takes OUT.bmp"),
            (("strip", "split", src), "strip split takes IN.bmp and PREFIX"),
            (("strip", "cut", src, "x"), "unknown strip command 'cut'")):
        p = cli.run(*args, rc=2, says=problem and "pixtor-cli: " + problem)
        check(("\n" + p.stderr).count("\nusage: pixtor-cli") == 1, "%s: no usage in %r" % (args[:5], p.stderr))

    # Unreadable files through info and convert (split for strips): exit 1, the message first.
    cli.run("convert", src, work / "i.ico")
    ico = read_bytes(work / "i.ico")
    row = " ".join(["112233"] * 16)
    text = lambda lines: "".join(l + "\n" for l in lines).encode()  # noqa: E731
    for name, data, first, says in [(name, None, CANT_OPEN, None) for name in ("missing.txt", "missing.ico", "missing.bmp")] + [
            ("empty.ico", b"", READ_ERROR, None), ("none.ico", ico[:4] + b"\0\0", NOT_SUPPORTED_ICON, "no image in the file"),
            ("b16.ico", ico[:12] + b"\x10\0" + ico[14:36] + b"\x10\0" + ico[38:], NOT_SUPPORTED_ICON,
             "entry 1: 16 bits per pixel"),
            ("b24.bmp", bmp(32, 16, 24, 32 * 16 * 3), NOT_SUPPORTED, None),
            ("beyond.bmp", bmp(64, 16, 32, 32 * 16 * 4), READ_ERROR, None),
            ("rows17.txt", text([row] * 17), None, "a text image has 16 or 32 lines of colours, this one has 17"),
            ("blank2.txt", text([row, ""] + [row] * 14), None, "line 2: expected 16 RRGGBB values"),
            ("hex5.txt", text([row] * 4 + ["112233 GG2233" + " 112233" * 14] + [row] * 11), None, 'line 5, value 2: "GG2233"'),
            ("long7.txt", text([row] * 6 + ["1122334" + " 112233" * 15] + [row] * 9), None, 'line 7, value 1: "1122334"')]:
        path = write_bytes(work / name, data) if data is not None else work / name
        for args in (("info", path), ("strip", "split", path, out[:-4]) if name.endswith(".bmp") else ("convert", path, out)):
            cli.run(*args, rc=1, first=first, says=says and "%s: %s" % (path, says))


def section_safe_write(cli, work):
    # A refused write leaves OUT and its folder as they were, no temporary
    # left (Cli.run checks that); a good one replaces OUT and keeps its
    # permissions.
    src, other = write_txt(work / "a.txt", test_image(32, 4)), write_txt(work / "b.txt", test_image(32, 24))
    out, folder = work / "keep.ico", work / "folder.ico"
    cli.run("convert", src, out)
    good = read_bytes(out)
    os.chmod(out, 0o640)
    for n in (0, 100, 3000):   # a write failing part-way: a file size limit, SIGXFSZ ignored
        cli.run("convert", other, out, rc=1, first=WRITE_ERROR, preexec=lambda: (
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN), resource.setrlimit(resource.RLIMIT_FSIZE, (n, n))))
    os.mkdir(folder)   # OUT a folder, OUT under a missing folder, OUT read-only
    write_bytes(folder / "inside", b"x")
    cli.run("convert", src, folder, rc=1, first=CANT_OPEN)
    cli.run("convert", src, work / "no" / "such" / "o.ico", rc=1, first=CANT_OPEN)
    os.chmod(out, 0o440)
    cli.run("convert", other, out, rc=1, first=CANT_OPEN)
    os.chmod(out, 0o640)
    cli.run("convert", other, out)
    check(read_bytes(out) != good and os.stat(out).st_mode & 0o777 == 0o640, "the good write did not replace OUT as it was")
    cli.run("convert", out, out, "--size", "16")   # IN may be OUT
    check(cli.info(out)["size"] == "16" and not [n for n in os.listdir(work) if n.startswith("~px")], "a file onto itself")


def section_icotool(cli, work):
    check(shutil.which("icotool"), "icotool not found: run tools/install-deps")
    for (pace, bits), ext in ((c, e) for c in COMBINATIONS for e in ("ico", "cur")):
        picture, path = test_image(pace, bits), work / ("p%d-%d.%s" % (pace, bits, ext))
        given = (13, 2) if pace == 16 else (10, 31)
        cli.run("convert", write_txt(work / ("p%d-%d.txt" % (pace, bits)), picture), path, "--depth", bits,
                *(["--hotspot", "%d,%d" % given] if ext == "cur" else []))
        # The writer stores the hot spot of a 16x16 8-bit cursor as 0,0.
        hot = (0, 0) if (pace, bits) == (16, 8) else given
        want = ({"cursor": "", "hotspot-x": str(hot[0]), "hotspot-y": str(hot[1])} if ext == "cur"
                else {"icon": "", "bit-depth": str(bits)})
        want.update(width=str(pace), height=str(pace))
        listed = icotool_list(path)
        check(len(listed) == 1 and all(listed[0].get(k) == v for k, v in want.items()), "%s: icotool lists %s" % (path, listed))
        pngs = icotool_extract(path, work / (ext + "%d-%d.x" % (pace, bits)))
        check(len(pngs) == 1, "icotool -x %s gave %s" % (path, pngs))
        with Image.open(pngs[0]) as im:
            compare_rgba("icotool -x " + path, im.convert("RGBA"), picture)


SECTIONS = {"png": section_png, "convert": section_convert, "modern": section_modern, "pack": section_pack,
            "conventions": section_conventions, "strip": section_strip, "errors": section_errors,
            "safe_write": section_safe_write, "icotool": section_icotool}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
