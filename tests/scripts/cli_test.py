#!/usr/bin/python3
"""What pixtor-cli does, from the outside: its commands, options, messages
and safe writing. What the codecs do with pixels the core tests check.
usage: cli_test.py PIXTOR_CLI WORKDIR [convert|strip|errors|safe_write ...]
"""
import glob
import io
import json
import os
import re
import resource
import shutil
import signal
import stat
import subprocess
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixtor_testlib import (BLACK, FORMAT_INDEX, MASK, WHITE, check, grid_of,  # noqa: E402
                            main, read_bytes, read_txt, same, test_image, write_bytes, write_txt)

MULTI_IMAGE = "Multi-image format isn't supported yet!\n             Read only first."
NOT_SUPPORTED_ICON = "Current image format is not supported."
NOT_SUPPORTED = "File format is not supported!"
READ_ERROR = "Error reading file!"
WRITE_ERROR = "Error writing file!"
CANT_OPEN = "Can't open file"


def to_grid(cli, work, path):
    cli.run("convert", path, os.path.join(work, "back.txt"))
    return read_txt(os.path.join(work, "back.txt"))


def section_convert(cli, work):
    # --size 32 doubles each pixel; --depth to a text image reduces as the file would.
    small = test_image(16, 24)
    src = write_txt(os.path.join(work, "small.txt"), small)
    big = os.path.join(work, "big.ico")
    cli.run("convert", src, big, "--size", "32")
    f = cli.info(big)
    check(f == {"kind": "icon", "size": "32", "depth": "24", "format index": "7", "images": "1",
                "entry 1": "32x32, 24 bits"}, "info big.ico: %s" % f)
    same(to_grid(cli, work, big), grid_of(32, lambda x, y: small[y // 2][x // 2]), "--size 32")
    cli.run("convert", src, os.path.join(work, "one.txt"), "--depth=1")
    same(read_txt(os.path.join(work, "one.txt")),
         grid_of(16, lambda x, y: small[y][x] if small[y][x] in (MASK, WHITE) else BLACK), "--depth=1 to text")
    # Lenient where it does no harm: CRLF, tabs, lower case, trailing blank lines.
    path = write_bytes(os.path.join(work, "crlf.txt"),
                       b"".join(b"\t".join([b"a0b0c0"] * 16) + b" \r\n" for _ in range(16)) + b"\r\n\n")
    same(to_grid(cli, work, path), grid_of(16, lambda x, y: (0xA0, 0xB0, 0xC0)), "CRLF text")

    # The hot spot: --hotspot, else the input cursor's scaled, else 0,0; the input's depth kept.
    cur = os.path.join(work, "h.cur")
    cli.run("convert", src, cur, "--size", "32", "--depth", "4", "--hotspot", "3,5")
    for source, target, args, spot in ((cur, "kept.cur", [], "3,5"), (cur, "half.cur", ["--size", "16"], "1,2"),
                                       ("half.cur", "double.cur", ["--size", "32"], "2,4"),
                                       (cur, "given.cur", ["--hotspot", "31,0"], "31,0"), (src, "none.cur", [], "0,0")):
        cli.run("convert", os.path.join(work, source), os.path.join(work, target), *args)
        f = cli.info(os.path.join(work, target))
        got, want = (f["kind"], f["depth"], f.get("hot spot")), ("cursor", "24" if source == src else "4", spot)
        check(got == want, "%s from %s %s: %s, expected %s" % (target, source, args, got, want))
    cli.run("convert", cur, os.path.join(work, "c8.cur"), "--size", "16", "--depth", "8", says="16x16 8-bit cursor")
    bad = os.path.join(work, "bad.cur")
    cli.run("convert", src, bad, "--hotspot", "16,0", rc=2, says="hot spot 16,0 lies outside the 16x16 image")
    # A cursor whose own hot spot lies outside its image needs --hotspot.
    data = read_bytes(cur)
    odd = write_bytes(os.path.join(work, "odd.cur"), data[:10] + struct.pack("<H", 40) + data[12:])
    cli.run("convert", odd, bad, rc=1, says="hot spot 40,5 lies outside the 32x32 image")
    check(not os.path.exists(bad), "a refused hot spot wrote %s" % bad)
    cli.run("convert", odd, bad, "--hotspot", "1,1")

    # Two images of one size: the editor's warning, and which one the tool took.
    cli.run("convert", src, os.path.join(work, "one.ico"))
    one = read_bytes(os.path.join(work, "one.ico"))
    multi = write_bytes(os.path.join(work, "two.ico"), struct.pack("<HHH", 0, 1, 2) + one[6:18] + struct.pack("<I", 38)
                        + one[6:18] + struct.pack("<I", len(one) + 16) + one[22:] * 2)
    p = cli.run("info", multi)
    check("images: 2\n" in p.stdout and ("warning: " + MULTI_IMAGE) in p.stdout, "info two.ico:\n" + p.stdout)
    cli.run("convert", multi, os.path.join(work, "two.txt"), says="took entry 1 of 2 (16x16, 24 bits)")
    same(read_txt(os.path.join(work, "two.txt")), small, "first image of two.ico")
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
    from PIL import Image, ImageDraw
    picture = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
    ImageDraw.Draw(picture).rectangle((0, 0, 127, 255), fill=(200, 30, 40, 255))
    modern = os.path.join(work, "modern.ico")
    picture.save(modern, sizes=[(16, 16), (32, 32), (48, 48), (256, 256)])
    f = cli.info(modern)
    check((f["images"], f["entry 4"], "format index" in f) == ("4", "256x256, 32 bits, PNG", False), "info: %s" % f)
    entry = Image.open(modern)
    entry.size = (32, 32)   # Pillow's own reading of the 32 px entry
    rgba = entry.convert("RGBA")
    cli.run("convert", modern, os.path.join(work, "m.txt"), says="took entry 2 of 4 (32x32, 32 bits, PNG)")
    same(read_txt(os.path.join(work, "m.txt")),
         grid_of(32, lambda x, y: rgba.getpixel((x, y))[:3] if rgba.getpixel((x, y))[3] >= 128 else MASK),
         "the 32 px entry as Pillow reads it, transparency kept")
    cli.run("convert", modern, os.path.join(work, "m.txt"), "--entry", "4", says="took entry 4 of 4 (256x256, 32 bits, PNG), scaled")
    same(read_txt(os.path.join(work, "m.txt")), grid_of(32, lambda x, y: (200, 30, 40) if x < 16 else MASK),
         "the 256 px entry averaged down")
    cli.run("convert", modern, os.path.join(work, "m.txt"), "--entry", "5", rc=1, says="entry 5 of 4 is not in the file")
    cli.run("convert", "--to", "ico", modern, rc=1, says="modern.ico is an input")
    out = os.path.join(work, "pngs")
    cli.run("convert", "--to", "png", "--out", out, modern, os.path.join(work, "missing.ico"), rc=1,
            says="1 of 2 files not converted")
    check(os.listdir(out) == ["modern.png"] and Image.open(os.path.join(out, "modern.png")).size == (32, 32),
          "--to png: %s" % os.listdir(out))


def section_pack(cli, work):
    from PIL import Image
    # Icons whose one entry is a 32 px PNG without alpha (grey, RGB) whose directory says 8 or 24 bits.
    for mode, bits in (("L", 8), ("RGB", 24)):
        png = os.path.join(work, "entry.png")
        Image.new(mode, (32, 32), 128 if mode == "L" else (10, 20, 30)).save(png)
        data = read_bytes(png)
        path = write_bytes(os.path.join(work, "%s.ico" % mode), struct.pack("<HHHBBBBHHII", 0, 1, 1, 32, 32, 0, 0, 1, bits,
                                                                            len(data), 22) + data)
        cli.run("convert", path, os.path.join(work, "back.txt"))
        same(read_txt(os.path.join(work, "back.txt")), grid_of(32, lambda x, y: (128,) * 3 if mode == "L" else (10, 20, 30)),
             "the PNG entry of a %s.ico read" % mode)

    # An icon's entries kept byte for byte, with another picture; a second
    # picture of a size and depth already given is refused, and nothing is written.
    icon = os.path.join(work, "kept.ico")
    cli.run("convert", write_txt(os.path.join(work, "k.txt"), test_image(32, 4)), icon, "--depth", "4")
    Image.new("RGBA", (48, 48), (1, 2, 3, 255)).save(os.path.join(work, "p48.png"))
    packed = os.path.join(work, "packed.ico")
    cli.run("pack", packed, os.path.join(work, "p48.png"), icon)
    data, kept = read_bytes(packed), read_bytes(icon)[22:]
    size, offset = struct.unpack("<II", data[6 + 8:6 + 16])
    check(data[6:9] == b"\x20\x20\x10" and data[offset:offset + size] == kept,
          "the 32 px 4-bit entry kept as it was stored, first")
    for name, image, says in (("wide.png", Image.new("RGBA", (32, 16)), "image is 32x16: an icon's pictures are square"),
                              ("huge.png", Image.new("RGBA", (300, 300)), "image is 300x300"),
                              ("again.png", Image.new("RGBA", (48, 48)), "p48.png and %s both give a 48x48 picture of 32 bits"
                               % os.path.join(work, "again.png"))):
        image.save(os.path.join(work, name))
        out = os.path.join(work, "refused.ico")
        cli.run("pack", out, os.path.join(work, "p48.png"), os.path.join(work, name), rc=1, says=says)
        check(not os.path.exists(out), "a refused pack wrote %s" % out)
    cli.run("pack", os.path.join(work, "refused.ico"), os.path.join(work, "missing.png"), rc=1, first=CANT_OPEN)
    p48 = os.path.join(work, "p48.png")
    cli.run("pack", os.path.join(work, "refused.ico"), p48, p48, rc=1, says="both give a 48x48 picture")
    broken = write_bytes(os.path.join(work, "broken.ico"), read_bytes(icon)[:4] + b"\x02\x00" + read_bytes(icon)[6:22] +
                         struct.pack("<BBBBHHII", 48, 48, 0, 0, 1, 32, 4000, 9999) + read_bytes(icon)[22:])
    cli.run("pack", os.path.join(work, "refused.ico"), p48, broken, rc=1, says="entry 2: its data lies beyond the end")
    check(not os.path.exists(os.path.join(work, "refused.ico")), "a refused pack wrote a file")
    # A size made from a cursor's picture takes its hot spot along.
    big = os.path.join(work, "big.cur")
    Image.new("RGBA", (64, 64), (5, 6, 7, 255)).save(os.path.join(work, "p64.png"))
    cli.run("pack", big, os.path.join(work, "p64.png"), "--hotspot", "40,21")
    cli.run("pack", os.path.join(work, "small.cur"), big, "--sizes", "32")
    check(cli.info(os.path.join(work, "small.cur"))["entry 1"] == "32x32, 32 bits, hot spot 20,10", "the made cursor's hot spot")
    # Stored as PNG, an 8-bit RGBA picture keeps its compressed data, less the
    # chunks that only describe it; a picture of another kind is written anew.
    from PIL import PngImagePlugin
    told = PngImagePlugin.PngInfo()
    told.add_text("Comment", "made for a test")
    Image.new("RGBA", (24, 24), (9, 8, 7, 200)).save(os.path.join(work, "p24.png"), pnginfo=told)
    Image.new("RGBA", (20, 20), (1, 2, 3, 255)).convert("P").save(os.path.join(work, "p20.png"))
    cli.run("pack", os.path.join(work, "png.ico"), os.path.join(work, "p24.png"), os.path.join(work, "p20.png"), "--png", "all")
    data, given = read_bytes(os.path.join(work, "png.ico")), read_bytes(os.path.join(work, "p24.png"))
    entries = [struct.unpack("<II", data[6 + 16 * k + 8:6 + 16 * k + 16]) for k in range(2)]
    stored = [data[offset:offset + size] for size, offset in entries]
    check(stored[1] == given[:given.index(b"tEXt") - 4] + given[given.index(b"IDAT") - 4:],
          "the RGBA PNG kept as it was compressed, without its text")
    check(stored[0][25] == 6 and Image.open(io.BytesIO(stored[0])).convert("RGBA").getpixel((3, 3)) == (1, 2, 3, 255),
          "the palette PNG written anew as RGBA")
    # Data that is not what its maker wrote (a check sum of a chunk, or of the
    # compressed stream, wrong) is not kept: the picture is written anew.
    at = given.index(b"IDAT") - 4
    length = struct.unpack(">I", given[at:at + 4])[0]
    for where in (at + 8 + length, at + 8 + length - 1):   # the chunk's CRC, the stream's Adler-32 (its CRC mended)
        damaged = given[:where] + bytes([given[where] ^ 1]) + given[where + 1:]
        if where < at + 8 + length:
            crc = struct.pack(">I", zlib.crc32(damaged[at + 4:at + 8 + length]))
            damaged = damaged[:at + 8 + length] + crc + damaged[at + 12 + length:]
        cli.run("pack", os.path.join(work, "damaged.ico"), write_bytes(os.path.join(work, "damaged.png"), damaged), "--png", "all")
        entry = read_bytes(os.path.join(work, "damaged.ico"))[22:]
        picture = Image.open(io.BytesIO(entry))
        picture.load()
        check(b"IDAT" + damaged[at + 8:at + 12 + length] not in entry and picture.getpixel((3, 3)) == (9, 8, 7, 200),
              "a damaged PNG kept (byte %d)" % where)
    for args in ((os.path.join(work, "o.ico"),), (os.path.join(work, "o.png"), icon), ("--sizes", "0,16", "o.ico", icon)):
        cli.run("pack", *args, rc=2)

    # Every entry of each file out; a file that cannot be read is told and the rest go on.
    out = os.path.join(work, "unpacked")
    favicon = write_bytes(os.path.join(work, "favicon.ico"), read_bytes(p48))   # a PNG by another name
    p = cli.run("unpack", "--out", out, packed, os.path.join(work, "missing.ico"), favicon, rc=1, says="1 of 3 files")
    check(sorted(os.listdir(out)) == ["favicon.ico-48x48-png.png", "packed.ico-32x32-4bit.png", "packed.ico-48x48-32bit.png"]
          and "-> " in p.stdout and read_bytes(os.path.join(out, "favicon.ico-48x48-png.png")) == read_bytes(p48),
          "unpack wrote %s" % os.listdir(out))


def section_conventions(cli, work):
    """--help and --version, the manual, --json everywhere, batches on every
    core as one thread writes them, and progress only on a terminal."""
    manual = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "cli", "pixtor-cli.1")
    check(cli.run("--version").stdout == "pixtor-cli 1.0.0\n", "--version")
    usage = cli.run("--help").stdout
    for command in ("info", "convert", "pack", "unpack", "extract", "strip"):
        own = cli.run(command, "--help").stdout
        check(own.startswith("usage: pixtor-cli " + command) and "Exit status: 0 done" in own and "editor" not in own,
              "%s --help: %r" % (command, own))
    check("editor" not in usage, "--help speaks of the editor")
    p = subprocess.run(["man", "--warnings", "-l", manual], capture_output=True, text=True, env=dict(os.environ, MANWIDTH="80"))
    text = p.stdout.replace("\u2010", "-")
    check(p.returncode == 0 and not p.stderr.strip(), "man -l %s: %s" % (manual, p.stderr))
    missing = sorted(set(re.findall(r"(?:^|\s\[?)(--[a-z]+)", usage)) - set(re.findall(r"--[a-z]+", text)))
    check(not missing and "EXIT STATUS" in text and "EXAMPLES" in text, "the manual lacks %s" % missing)
    check('"pixtor-cli %s"' % cli.run("--version").stdout.split()[1] in read_bytes(manual).decode().splitlines()[0],
          "the manual is of another version")

    # A batch on every core writes what one file at a time does, byte for byte, and tells it as JSON.
    names = []
    for k in range(12):
        names.append(write_txt(os.path.join(work, "b%02d.txt" % k), test_image(16 + 16 * (k % 2), (1, 4, 8, 24)[k % 4])))
    p = cli.run("convert", "--to", "png", "--out", os.path.join(work, "batch"), "--json", *names)
    told = [json.loads(line) for line in p.stdout.splitlines()]
    check(told[-1] == {"files": 12, "failed": 0} and [t["file"] for t in told[:-1]] == names, "--json of a batch: %s" % told)
    for name in names:
        one = os.path.join(work, "one.png")
        cli.run("convert", name, one)
        check(read_bytes(one) == read_bytes(os.path.join(work, "batch", os.path.basename(name)[:-4] + ".png")),
              "%s: the batch wrote other bytes" % name)
    strip = os.path.join(work, "s.bmp")
    for args, written in ((("strip", "join", strip, names[0], names[2], "--json"), strip),
                          (("strip", "split", strip, os.path.join(work, "part"), "--json"), strip),
                          (("pack", os.path.join(work, "p.ico"), names[0], names[1], "--json"), os.path.join(work, "p.ico"))):
        check(json.loads(cli.run(*args).stdout)["file"] == written, "%s --json" % args[0])
    odd = os.path.join(work, os.fsdecode(b"caf\xe9 \xff.txt"))   # a name that is not UTF-8
    shutil.copy(names[0], odd)
    told = json.loads(cli.run("convert", "--to", "png", "--json", odd).stdout)
    check(told["file"].endswith("caf\ufffd \ufffd.txt") and told["written"].endswith("caf\ufffd \ufffd.png"),
          "--json of a name not UTF-8: %s" % told)
    listed = os.path.join(work, "list.txt")
    with open(listed, "w", newline="") as f:   # names with spaces, CRLF and an empty line
        f.write("".join("%s\t%s\t%s\r\n\n" % (os.path.join(work, "l %d.cur" % k), names[2 * k], names[2 * k + 1])
                        for k in range(6)))
    p = cli.run("pack", "--list", listed, "--sizes", "16,32", "--hotspot", "3,5", "--json")
    check([json.loads(line).get("file") for line in p.stdout.splitlines()][:6] == [
        os.path.join(work, "l %d.cur" % k) for k in range(6)], "pack --list --json: %s" % p.stdout)
    for k in range(6):
        cli.run("pack", os.path.join(work, "one.cur"), names[2 * k], names[2 * k + 1], "--sizes", "16,32", "--hotspot", "3,5")
        check(read_bytes(os.path.join(work, "one.cur")) == read_bytes(os.path.join(work, "l %d.cur" % k)),
              "pack --list line %d wrote other bytes" % k)
    # Lines run at once: none writes what another line writes or reads.
    with open(listed, "w") as f:
        f.write("%s\t%s\n%s\t%s\n%s\t%s\n" % (os.path.join(work, "m.ico"), names[0], os.path.join(work, "m.ico"), names[1],
                                              os.path.join(work, "n.ico"), os.path.join(work, "m.ico")))
    p = cli.run("pack", "--list", listed, rc=1, says="line 3 not packed: %s is written by line 1" % os.path.join(work, "m.ico"))
    check("line 2 not packed" in p.stderr and not os.path.exists(os.path.join(work, "n.ico")), "pack --list: %s" % p.stderr)

    # Progress on a terminal only, once a batch runs longer than it is told to wait.
    import pty
    main_fd, terminal = pty.openpty()
    p = subprocess.run([cli.path, "convert", "--to", "txt", "--out", os.path.join(work, "tty"), *names], stdout=subprocess.PIPE,
                       stderr=terminal, env=dict(os.environ, PIXTOR_PROGRESS_AFTER="0"), timeout=60)
    os.close(terminal)
    shown = os.read(main_fd, 65536).decode()
    os.close(main_fd)
    check(p.returncode == 0 and "12 of 12 files done" in shown, "no progress on a terminal: %r" % shown)
    p = subprocess.run([cli.path, "convert", "--to", "txt", "--out", os.path.join(work, "pipe"), *names], capture_output=True,
                       text=True, env=dict(os.environ, PIXTOR_PROGRESS_AFTER="0"), timeout=60)
    check(p.returncode == 0 and p.stderr == "", "progress where no one reads it: %r" % p.stderr)


def section_strip(cli, work):
    for pace in (16, 32):
        pictures = [test_image(pace, 24), test_image(pace, 4), grid_of(pace, lambda x, y: MASK)]
        names = [write_txt(os.path.join(work, "j%d-%d.txt" % (pace, k)), p) for k, p in enumerate(pictures)]
        ico, bmp = os.path.join(work, "j%d.ico" % pace), os.path.join(work, "j%d.bmp" % pace)
        cli.run("convert", names[1], ico, "--depth", "4")
        cli.run("strip", "join", bmp, names[0], ico, names[2])   # an icon among the inputs
        f = cli.info(bmp)
        check(f == {"kind": "strip", "size": str(pace), "depth": "32", "images": "3",
                    "format index": str(FORMAT_INDEX[(pace, 24)])}, "info strip: %s" % f)
        # Split writes PNGs, or with --txt text images.
        for form in ("png", "txt"):
            prefix = os.path.join(work, "%s%d" % (form, pace))
            p = cli.run("strip", "split", *(["--txt"] if form == "txt" else []), bmp, prefix)
            check(p.stdout == "3 images of %dx%d\n" % (pace, pace), "split says %r" % p.stdout)
            for k, picture in enumerate(pictures):
                part = "%s-%d.%s" % (prefix, k, form)
                same(read_txt(part) if form == "txt" else to_grid(cli, work, part), picture, "split " + part)
            check(not glob.glob(prefix + "-3.*") and not glob.glob(prefix + "-*.%s" % ("txt" if form == "png" else "png")),
                  "split %s wrote other files" % form)
    cli.run("convert", bmp, os.path.join(work, "never.ico"), rc=1, first=NOT_SUPPORTED)
    # Mixed sizes are refused and nothing is written.
    out = os.path.join(work, "mixed.bmp")
    cli.run("strip", "join", out, names[0], os.path.join(work, "j16-0.txt"), rc=1,
            says="image is 16x16 but %s is 32x32; all images of a strip have one size" % names[0])
    check(not os.path.exists(out) and not os.path.exists(os.path.join(work, "never.ico")), "a refusal wrote a file")


def section_png(cli, work):
    # A PNG keeps the picture at both sizes; info names it and a text image.
    for pace in (16, 32):
        src = write_txt(os.path.join(work, "p%d.txt" % pace), test_image(pace, 24))
        png = os.path.join(work, "p%d.png" % pace)
        cli.run("convert", src, png)
        same(to_grid(cli, work, png), test_image(pace, 24), "round trip of " + png)
        for path, kind in ((png, "png"), (src, "text")):
            f = cli.info(path)
            check(f == {"kind": kind, "size": str(pace), "depth": "24", "format index": str(FORMAT_INDEX[(pace, 24)]),
                        "images": "1"}, "info %s: %s" % (path, f))

    # Other sizes, other shapes and broken files are refused, and nothing is written.
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    def grey_png(w, h):   # a real w x h PNG, made here
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(b"".join(b"\0" + bytes([90] * w) for _ in range(h))))
                + chunk(b"IEND", b""))
    bad = {"odd.png": ("image is 20x20", grey_png(20, 20)),
           "tall.png": ("image is 16x32", grey_png(16, 32)),
           "claims.png": ("reaches beyond the end of the file",
                          grey_png(16, 16)[:33] + struct.pack(">I", 0x7FFFFF00) + b"IDAT" + bytes(20)),
           "text.png": ("not a PNG picture", b"hello"),
           # 60 kB whose pixel data unpacks to 64 MB
           "bomb.png": ("not a readable PNG picture", grey_png(16, 16)[:33] + chunk(b"IDAT", zlib.compress(
               bytes(64 << 20), 9)) + chunk(b"IEND", b""))}
    for name, (says, data) in bad.items():
        path = write_bytes(os.path.join(work, name), data)
        cli.run("convert", path, os.path.join(work, "never.ico"), rc=1, first=NOT_SUPPORTED, says=says)
    check(not os.path.exists(os.path.join(work, "never.ico")), "a refused PNG wrote a file")
    # An empty data chunk before the data (legal, and holding nothing) changes nothing read.
    plain = grey_png(16, 16)
    spaced = write_bytes(os.path.join(work, "spaced.png"), plain[:33] + chunk(b"IDAT", b"") + plain[33:])
    same(to_grid(cli, work, spaced), grid_of(16, lambda x, y: (90, 90, 90)), "a PNG with an empty data chunk")


def section_errors(cli, work):
    src = write_txt(os.path.join(work, "i.txt"), test_image(16, 24))
    out = os.path.join(work, "o.ico")
    bmp = lambda w, h, bits, n: (b"BM" + struct.pack("<IHHI", 54 + n, 0, 0, 54)  # noqa: E731
                                 + struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, 0, 0, 0, 0, 0) + bytes(n))
    # Usage errors: the problem and the usage on stderr, exit 2, nothing written.
    for args, problem in (
            ((), None), (("frobnicate",), "unknown command 'frobnicate'"), (("info",), "info takes one FILE"),
            (("convert", src, out, "extra"), "convert takes IN and OUT"),
            (("convert", src, os.path.join(work, "o.bmp")), "OUT must be a .ico, .cur, .png or .txt file"),
            (("convert", src, out, "--size"), "--size needs a value"),
            (("convert", src, out, "--size", "20"), "--size must be 16 or 32, not '20'"),
            (("convert", src, out, "--depth"), "--depth needs a value"),
            (("convert", src, out, "--depth", "2"), "--depth must be 1, 4, 8 or 24, not '2'"),
            (("convert", src, out, "--hotspot"), "--hotspot needs a value"),
            (("convert", src, out, "--hotspot", "-1,2"), "--hotspot takes X,Y with two whole numbers, not '-1,2'"),
            (("convert", src, out, "--colour", "red"), "unknown option '--colour'"),
            (("strip",), "strip takes join or split"), (("strip", "join", out), "strip join takes OUT.bmp"),
            (("strip", "split", src), "strip split takes IN.bmp and PREFIX"),
            (("strip", "cut", src, "x"), "unknown strip command 'cut'")):
        p = cli.run(*args, rc=2, says=problem and "pixtor-cli: " + problem)
        check(("\n" + p.stderr).count("\nusage: pixtor-cli") == 1, "%s: no usage in %r" % (args[:5], p.stderr))
        check(not os.path.exists(out), "%s wrote a file" % (args[:5],))
    check(cli.run("--help").stdout.startswith("usage: pixtor-cli"), "--help")

    # Unreadable files through info and convert (split for strips): exit 1, the message first, nothing written.
    cli.run("convert", src, os.path.join(work, "i.ico"))
    ico = read_bytes(os.path.join(work, "i.ico"))
    row = " ".join(["112233"] * 16)
    text = lambda lines: "".join(l + "\n" for l in lines).encode()  # noqa: E731
    for name, data, first, says in (
            ("missing.txt", None, CANT_OPEN, None), ("missing.ico", None, CANT_OPEN, None),
            ("missing.bmp", None, CANT_OPEN, None), ("empty.ico", b"", READ_ERROR, None),
            ("none.ico", ico[:4] + b"\0\0", NOT_SUPPORTED_ICON, "no image in the file"),
            ("b16.ico", ico[:12] + b"\x10\0" + ico[14:36] + b"\x10\0" + ico[38:], NOT_SUPPORTED_ICON,
             "entry 1: 16 bits per pixel"),
            ("b24.bmp", bmp(32, 16, 24, 32 * 16 * 3), NOT_SUPPORTED, None),
            ("beyond.bmp", bmp(64, 16, 32, 32 * 16 * 4), READ_ERROR, None),
            ("rows17.txt", text([row] * 17), None, "a text image has 16 or 32 lines of colours, this one has 17"),
            ("blank2.txt", text([row, ""] + [row] * 14), None, "line 2: expected 16 RRGGBB values"),
            ("hex5.txt", text([row] * 4 + ["112233 GG2233" + " 112233" * 14] + [row] * 11), None,
             'line 5, value 2: "GG2233"'),
            ("long7.txt", text([row] * 6 + ["1122334" + " 112233" * 15] + [row] * 9), None,
             'line 7, value 1: "1122334"')):
        path = os.path.join(work, name)
        if data is not None:
            write_bytes(path, data)
        says = says and "%s: %s" % (path, says)
        for args in (("info", path), ("strip", "split", path, out[:-4]) if name.endswith(".bmp") else
                     ("convert", path, out)):
            cli.run(*args, rc=1, first=first, says=says)
    check(not os.path.exists(out) and not os.path.exists(out[:-4] + "-0.txt"), "a refused input wrote a file")


def section_safe_write(cli, work):
    def leftovers():
        return [n for n in os.listdir(work) if n.startswith("~px") and n.endswith(".tmp")]
    src = write_txt(os.path.join(work, "a.txt"), test_image(32, 4))
    other = write_txt(os.path.join(work, "b.txt"), test_image(32, 24))
    out = os.path.join(work, "keep.ico")
    cli.run("convert", src, out)
    good = read_bytes(out)
    os.chmod(out, 0o640)

    # A write failing part-way (a file size limit, SIGXFSZ ignored): OUT kept, no temporary left.
    for n in (0, 100, 3000):
        cli.run("convert", other, out, rc=1, first=WRITE_ERROR, preexec=lambda: (
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN), resource.setrlimit(resource.RLIMIT_FSIZE, (n, n))))
        check(read_bytes(out) == good and not leftovers(), "limit %d: OUT changed, %s left" % (n, leftovers()))

    # OUT a folder stays as it was; OUT under a missing folder cannot be written.
    folder = os.path.join(work, "folder.ico")
    os.mkdir(folder)
    write_bytes(os.path.join(folder, "inside"), b"x")
    cli.run("convert", src, folder, rc=1, first=CANT_OPEN)
    check(os.listdir(folder) == ["inside"] and not leftovers(), "OUT a folder: changed")
    cli.run("convert", src, os.path.join(work, "no", "such", "o.ico"), rc=1, first=CANT_OPEN)
    # A read-only OUT is never replaced.
    os.chmod(out, 0o440)
    cli.run("convert", other, out, rc=1, first=CANT_OPEN)
    check(read_bytes(out) == good and not leftovers(), "a read-only OUT was replaced")
    os.chmod(out, 0o640)

    # A good write replaces OUT and keeps its permissions; IN may be OUT.
    cli.run("convert", other, out)
    check(read_bytes(out) != good, "the good write did not replace OUT")
    check(stat.S_IMODE(os.stat(out).st_mode) == 0o640, "OUT lost its permissions: %o" % os.stat(out).st_mode)
    cli.run("convert", out, out, "--size", "16")
    check(cli.info(out)["size"] == "16" and not leftovers(), "converting a file onto itself")


SECTIONS = {"png": section_png, "convert": section_convert, "modern": section_modern, "pack": section_pack,
            "conventions": section_conventions,
            "strip": section_strip,
            "errors": section_errors,
            "safe_write": section_safe_write}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
