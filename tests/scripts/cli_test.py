#!/usr/bin/python3
"""What pixtor-cli does, from the outside.

usage: cli_test.py PIXTOR_CLI WORKDIR [info|convert|strip|errors|safe_write ...]
"""
import os
import resource
import signal
import stat
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixtor_testlib import (BLACK, COMBINATIONS, FORMAT_INDEX, ICON_PALETTE, MASK, WHITE,  # noqa: E402
                            Failure, check, colour, main, read_txt, test_image, write_txt)

MULTI_IMAGE = "Multi-image format isn't supported yet!\n             Read only first."
NOT_SUPPORTED_ICON = "Current image format is not supported."


def grid_of(pace, f):
    return [[f(x, y) for x in range(pace)] for y in range(pace)]


def rainbow(pace):
    return grid_of(pace, lambda x, y: MASK if (x + y) % 5 == 0 else colour(x * 97 + y * 31 + 5))


def txt(work, name, grid):
    path = os.path.join(work, name)
    write_txt(path, grid)
    return path


def to_grid(cli, work, path, name="back.txt"):
    out = os.path.join(work, name)
    cli.run("convert", path, out)
    return read_txt(out)


def same(a, b, what):
    if a == b:
        return
    for y, (ra, rb) in enumerate(zip(a, b)):
        for x, (pa, pb) in enumerate(zip(ra, rb)):
            if pa != pb:
                raise Failure("%s: first difference at (%d,%d): %s against %s" % (what, x, y, pa, pb))
    raise Failure("%s: sizes %dx%d and %dx%d" % (what, len(a[0]), len(a), len(b[0]), len(b)))


def stderr_has(p, text, what):
    check(text in p.stderr, "%s: stderr lacks %r:\n%s" % (what, text, p.stderr))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


# ---- info -------------------------------------------------------------------

def section_info(cli, work):
    for pace, bits in COMBINATIONS:
        src = txt(work, "i%d-%d.txt" % (pace, bits), test_image(pace, bits))
        ico = os.path.join(work, "i%d-%d.ico" % (pace, bits))
        cur = os.path.join(work, "i%d-%d.cur" % (pace, bits))
        cli.run("convert", src, ico, "--depth", bits)
        cli.run("convert", src, cur, "--depth", bits, "--hotspot", "4,%d" % (pace - 1))
        f = cli.info(ico)
        want = {"kind": "icon", "size": str(pace), "depth": str(bits),
                "format index": str(FORMAT_INDEX[(pace, bits)]), "images": "1"}
        check(all(f.get(k) == v for k, v in want.items()), "info %s: %s, expected %s" % (ico, f, want))
        check("hot spot" not in f and "warning" not in f, "info %s: %s" % (ico, f))
        f = cli.info(cur)
        want.update({"kind": "cursor", "hot spot": "0,0" if (pace, bits) == (16, 8) else "4,%d" % (pace - 1)})
        check(all(f.get(k) == v for k, v in want.items()), "info %s: %s, expected %s" % (cur, f, want))
    f = cli.info(os.path.join(work, "i16-1.txt"))
    check(f.get("kind") == "text" and f.get("size") == "16" and f.get("depth") == "24", "info of text: %s" % f)

    # A 32x32 4-bit cursor with its hot spot on the bottom row, (10, 31).
    cur = os.path.join(work, "hot.cur")
    cli.run("convert", txt(work, "hot.txt", test_image(32, 4)), cur, "--depth", "4", "--hotspot", "10,31")
    check(cli.info(cur).get("hot spot") == "10,31", "hot spot of %s" % cur)

    # A strip.
    bmp = os.path.join(work, "s.bmp")
    names = [txt(work, "s%d.txt" % k, rainbow(32)) for k in range(3)]
    cli.run("strip", "join", bmp, *names)
    f = cli.info(bmp)
    check(f == {"kind": "strip", "size": "32", "depth": "32", "format index": "7", "images": "3"}, "info strip: %s" % f)

    # Two images: the warning, and the first image is the one read.
    one = read_bytes(os.path.join(work, "i16-24.ico"))
    image = one[22:]
    two = (struct.pack("<HHH", 0, 1, 2) + one[6:18] + struct.pack("<I", 38)
           + one[6:18] + struct.pack("<I", 38 + len(image)) + image + image)
    multi = write_bytes(os.path.join(work, "two.ico"), two)
    p = cli.run("info", multi)
    check("images: 2\n" in p.stdout and ("warning: " + MULTI_IMAGE) in p.stdout, "info two.ico:\n" + p.stdout)
    back = os.path.join(work, "two.txt")
    p = cli.run("convert", multi, back)
    stderr_has(p, MULTI_IMAGE, "convert two.ico")
    same(read_txt(back), test_image(16, 24), "first image of two.ico")

    # Not supported: width 48, and 32 bits per pixel.
    for name, patch in (("w48.ico", lambda b: b[:6] + bytes([48, 48]) + b[8:]),
                        ("d32.ico", lambda b: b[:12] + struct.pack("<H", 32) + b[14:])):
        bad = write_bytes(os.path.join(work, name), patch(one))
        p = cli.run("info", bad, rc=1)
        stderr_has(p, NOT_SUPPORTED_ICON, "info " + name)
        check("kind: icon" in p.stdout, "info %s:\n%s" % (name, p.stdout))
        p = cli.run("convert", bad, os.path.join(work, "never.ico"), rc=1)
        stderr_has(p, NOT_SUPPORTED_ICON, "convert " + name)
        check(not os.path.exists(os.path.join(work, "never.ico")), "convert %s wrote a file" % name)
    # Bit count 0 and colour count 0: no decoding fits.
    zero = write_bytes(os.path.join(work, "zero.ico"), one[:8] + b"\0" + one[9:12] + b"\0\0" + one[14:])
    p = cli.run("info", zero, rc=1)
    stderr_has(p, "File format is not supported!", "info zero.ico")


# ---- convert ----------------------------------------------------------------

def section_convert(cli, work):
    # Every format: text -> file at its depth -> text gives the picture back.
    for pace, bits in COMBINATIONS:
        picture = test_image(pace, bits)
        src = txt(work, "c%d-%d.txt" % (pace, bits), picture)
        for ext in ("ico", "cur", "ICO", "Cur"):
            out = os.path.join(work, "c%d-%d.%s" % (pace, bits, ext))
            cli.run("convert", src, out, "--depth", bits)
            same(to_grid(cli, work, out), picture, "round trip of %s" % out)
            f = cli.info(out)
            check(f["kind"] == ("cursor" if ext.lower() == "cur" else "icon"), "%s is a %s" % (out, f["kind"]))
            # Without options the file's own format is kept.
            again = os.path.join(work, "again.%s" % ext)
            cli.run("convert", out, again)
            check(read_bytes(again) == read_bytes(out), "converting %s to itself changed its bytes" % out)
    check(cli.info(txt(work, "x.cur.ico.txt", rainbow(16)))["kind"] == "text", "text by extension")
    cli.run("convert", os.path.join(work, "x.cur.ico.txt"), os.path.join(work, "x.cur.ico"))
    check(cli.info(os.path.join(work, "x.cur.ico"))["kind"] == "icon", "x.cur.ico must be an icon")

    # 24 bits keep every colour at both sizes, text to text as well.
    for pace in (16, 32):
        picture = rainbow(pace)
        src = txt(work, "r%d.txt" % pace, picture)
        out = os.path.join(work, "r%d.ico" % pace)
        cli.run("convert", src, out)
        check(cli.info(out)["depth"] == "24", "a text image is written at 24 bits")
        same(to_grid(cli, work, out), picture, "24-bit round trip %d" % pace)
        same(to_grid(cli, work, src, "copy.txt"), picture, "text to text %d" % pace)

    # Size change: 16 -> 32 repeats each pixel into a 2x2 block, 32 -> 16 back.
    small = rainbow(16)
    src = txt(work, "small.txt", small)
    big = os.path.join(work, "big.ico")
    cli.run("convert", src, big, "--size", "32")
    f = cli.info(big)
    check(f["size"] == "32" and f["depth"] == "24", "--size 32: %s" % f)
    same(to_grid(cli, work, big), grid_of(32, lambda x, y: small[y // 2][x // 2]), "--size 32")
    down = os.path.join(work, "down.txt")
    cli.run("convert", big, down, "--size", "16")
    same(read_txt(down), small, "--size 32 then --size 16")
    # Shrinking ANDs each 2x2 block: mask AND white is mask, mask AND black black.
    blocks = grid_of(32, lambda x, y: MASK if (x + y) % 2 == 0 else (WHITE if x < 16 else BLACK))
    cli.run("convert", txt(work, "blocks.txt", blocks), down, "--size=16")
    same(read_txt(down), grid_of(16, lambda x, y: MASK if x < 8 else BLACK), "shrinking ANDs")

    # Depth reduction: 4 bits keep the palette colours, the rest becomes black;
    # 1 bit keeps only white; the mask stays transparent.
    mixed = grid_of(16, lambda x, y: MASK if y == 0 else (ICON_PALETTE[x] if y % 2 else colour(x + 16 * y)))
    mixed[3][3] = (193, 192, 192)
    mixed[5][5] = (255, 255, 254)
    src = txt(work, "mixed.txt", mixed)
    four = grid_of(16, lambda x, y: mixed[y][x] if (mixed[y][x] == MASK or mixed[y][x] in ICON_PALETTE) else BLACK)
    one = grid_of(16, lambda x, y: mixed[y][x] if mixed[y][x] in (MASK, WHITE) else BLACK)
    for bits, want in ((4, four), (1, one)):
        out = os.path.join(work, "mixed%d.ico" % bits)
        cli.run("convert", src, out, "--depth", bits)
        same(to_grid(cli, work, out), want, "--depth %d" % bits)
        out = os.path.join(work, "mixed%d.txt" % bits)
        cli.run("convert", src, out, "--depth", bits)
        same(read_txt(out), want, "--depth %d to text" % bits)
    # A 4-bit 32x32 cursor turned into a 1-bit icon, size and depth from the options.
    cur = os.path.join(work, "m.cur")
    cli.run("convert", src, cur, "--size", "32", "--depth", "4", "--hotspot", "3,5")
    out = os.path.join(work, "m1.ico")
    cli.run("convert", cur, out, "--depth", "1")
    f = cli.info(out)
    check(f["size"] == "32" and f["depth"] == "1" and f["kind"] == "icon", "cursor to 1-bit icon: %s" % f)

    # Hot spots: kept from the input cursor, scaled with the size, replaced by --hotspot.
    cli.run("convert", cur, os.path.join(work, "m2.cur"))
    check(cli.info(os.path.join(work, "m2.cur"))["hot spot"] == "3,5", "hot spot kept")
    cli.run("convert", cur, os.path.join(work, "m3.cur"), "--size", "16")
    check(cli.info(os.path.join(work, "m3.cur"))["hot spot"] == "1,2", "hot spot halved")
    cli.run("convert", os.path.join(work, "m3.cur"), os.path.join(work, "m4.cur"), "--size", "32")
    check(cli.info(os.path.join(work, "m4.cur"))["hot spot"] == "2,4", "hot spot doubled")
    cli.run("convert", cur, os.path.join(work, "m5.cur"), "--hotspot", "31,0")
    check(cli.info(os.path.join(work, "m5.cur"))["hot spot"] == "31,0", "--hotspot replaces")
    cli.run("convert", src, os.path.join(work, "m6.cur"))
    check(cli.info(os.path.join(work, "m6.cur"))["hot spot"] == "0,0", "hot spot 0,0 by default")
    p = cli.run("convert", cur, os.path.join(work, "m7.cur"), "--size", "16", "--depth", "8")
    stderr_has(p, "16x16 8-bit cursor", "16x16 8-bit cursor note")
    check(cli.info(os.path.join(work, "m7.cur"))["hot spot"] == "0,0", "16x16 8-bit cursor writes 0,0")
    for spot, size in (("16,0", "16"), ("0,16", "16"), ("32,3", "32"), ("40,40", None)):
        target = os.path.join(work, "bad-hot.cur")
        args = ["convert", src, target, "--hotspot", spot] + (["--size", size] if size else [])
        p = cli.run(*args, rc=2)
        stderr_has(p, "hot spot %s lies outside the" % spot, "--hotspot %s" % spot)
        check(not os.path.exists(target), "a rejected hot spot wrote %s" % target)
    # A cursor file whose own hot spot lies outside its image.
    data = bytearray(read_bytes(cur))
    data[10:12] = struct.pack("<H", 40)
    odd = write_bytes(os.path.join(work, "odd.cur"), bytes(data))
    p = cli.run("convert", odd, os.path.join(work, "odd2.cur"), rc=1)
    stderr_has(p, "hot spot 40,5 lies outside the 32x32 image", "input hot spot out of range")
    cli.run("convert", odd, os.path.join(work, "odd2.cur"), "--hotspot", "1,1")

    # IN and OUT the same file.
    same_file = os.path.join(work, "same.ico")
    cli.run("convert", src, same_file)
    cli.run("convert", same_file, same_file, "--size", "32")
    check(cli.info(same_file)["size"] == "32", "converting a file onto itself")

    # Malformed text images name the line.
    good = [" ".join("112233" for _ in range(16)) for _ in range(16)]
    cases = [
        ("rows15.txt", good[:15], "has 15"),
        ("rows17.txt", good + good[:1], "has 17"),
        ("short3.txt", good[:2] + [" ".join("112233" for _ in range(15))] + good[3:], "line 3: expected 16"),
        ("hex5.txt", good[:4] + ["112233 GG2233 " + " ".join("112233" for _ in range(14))] + good[5:],
         'line 5, value 2: "GG2233"'),
        ("long7.txt", good[:6] + ["1122334 " + " ".join("112233" for _ in range(15))] + good[7:], "line 7, value 1"),
        ("blank2.txt", good[:1] + [""] + good[1:15], "line 2: expected 16"),
        ("empty.txt", [], "has 0"),
    ]
    for name, lines, text in cases:
        path = os.path.join(work, name)
        with open(path, "w") as f:
            f.write("".join(l + "\n" for l in lines))
        p = cli.run("convert", path, os.path.join(work, "never.ico"), rc=1)
        stderr_has(p, text, "malformed " + name)
        stderr_has(p, name, "malformed " + name + " names the file")
        check(not os.path.exists(os.path.join(work, "never.ico")), "malformed %s wrote a file" % name)
    # Lenient where it does no harm: CRLF, tabs, lower case, trailing blank lines.
    path = os.path.join(work, "crlf.txt")
    with open(path, "wb") as f:
        f.write(b"".join(b"\t".join(b"a0b0c0" for _ in range(16)) + b" \r\n" for _ in range(16)) + b"\r\n\n")
    same(to_grid(cli, work, path), grid_of(16, lambda x, y: (0xA0, 0xB0, 0xC0)), "CRLF text")


# ---- strip ------------------------------------------------------------------

def section_strip(cli, work):
    for pace in (16, 32):
        pictures = [rainbow(pace), test_image(pace, 4), grid_of(pace, lambda x, y: MASK)]
        names = [txt(work, "j%d-%d.txt" % (pace, k), p) for k, p in enumerate(pictures)]
        # an icon among the inputs
        ico = os.path.join(work, "j%d.ico" % pace)
        cli.run("convert", names[1], ico, "--depth", "4")
        names[1] = ico
        bmp = os.path.join(work, "j%d.bmp" % pace)
        cli.run("strip", "join", bmp, *names)
        data = read_bytes(bmp)
        check(len(data) == 54 + 3 * 4 * pace * pace, "%s: %d bytes" % (bmp, len(data)))
        check(data[:2] == b"BM" and struct.unpack_from("<iiHH", data, 18) == (3 * pace, pace, 1, 32),
              "%s: header %s" % (bmp, data[:54].hex()))
        # A blank image is 6F 6F 5F 00 in every pixel (the mask colour, blue first).
        row = 4 * 3 * pace
        check(all(data[54 + r * row + 8 * pace + 4 * i:54 + r * row + 8 * pace + 4 * i + 4] == b"\x6f\x6f\x5f\x00"
                  for r in range(pace) for i in range(pace)), "blank image bytes")
        p = cli.run("strip", "split", bmp, os.path.join(work, "part%d" % pace))
        check(p.stdout.strip() == "3 images of %dx%d" % (pace, pace), "split says %r" % p.stdout)
        for k, picture in enumerate(pictures):
            same(read_txt(os.path.join(work, "part%d-%d.txt" % (pace, k))), picture, "split image %d" % k)
        check(not os.path.exists(os.path.join(work, "part%d-3.txt" % pace)), "split wrote too many")
        # The strip file itself is not an icon.
        p = cli.run("convert", bmp, os.path.join(work, "never.ico"), rc=1)
        stderr_has(p, "File format is not supported!", "convert of a strip")

    # Mixed sizes are refused and nothing is written.
    out = os.path.join(work, "mixed.bmp")
    p = cli.run("strip", "join", out, os.path.join(work, "j16-0.txt"), os.path.join(work, "j32-0.txt"), rc=1)
    stderr_has(p, "image is 32x32 but", "mixed sizes")
    stderr_has(p, "one size", "mixed sizes")
    check(not os.path.exists(out), "mixed sizes wrote %s" % out)

    # A hand-made bitmap 100 wide and 32 high: 3 images, the last 4 columns dropped.
    w, h = 100, 32
    pix = bytearray()
    for r in range(h):
        for c in range(w):
            pix += bytes([c, h - 1 - r, 0x40, 0])
    hand = write_bytes(os.path.join(work, "hand.bmp"),
                       b"BM" + struct.pack("<IHHI", 54 + len(pix), 0, 0, 54)
                       + struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(pix))
    f = cli.info(hand)
    check(f.get("images") == "3" and f.get("size") == "32", "info hand.bmp: %s" % f)
    cli.run("strip", "split", hand, os.path.join(work, "hand"))
    for k in range(3):
        same(read_txt(os.path.join(work, "hand-%d.txt" % k)),
             grid_of(32, lambda x, y: (0x40, y, 32 * k + x)), "hand.bmp image %d" % k)
    # Strip usage.
    cli.run("strip", rc=2)
    cli.run("strip", "join", out, rc=2)
    cli.run("strip", "split", hand, rc=2)
    cli.run("strip", "cut", hand, "x", rc=2)


# ---- errors -------------------------------------------------------------------

def section_errors(cli, work):
    missing = os.path.join(work, "no-such-file.ico")
    for args in (("info", missing), ("convert", missing, os.path.join(work, "o.ico")),
                 ("strip", "split", missing, os.path.join(work, "o")),
                 ("strip", "join", os.path.join(work, "o.bmp"), missing)):
        p = cli.run(*args, rc=1)
        check(p.stderr.splitlines()[0] == "Can't open file", "%s: stderr %r" % (args, p.stderr))
        check(not os.path.exists(os.path.join(work, "o.ico")), "wrote after a missing input")

    empty = write_bytes(os.path.join(work, "empty.ico"), b"")
    p = cli.run("info", empty, rc=1)
    check(p.stderr.splitlines()[0] == "Error reading file!", "empty file: %r" % p.stderr)
    # Garbage and a 5-byte file: one of the reader's two refusals (which one
    # depends on where the reader takes the image header from).
    refusals = ("Error reading file!", NOT_SUPPORTED_ICON)
    garbage = write_bytes(os.path.join(work, "garbage.ico"), bytes((i * 131 + 7) & 0xFF for i in range(3000)))
    short = write_bytes(os.path.join(work, "short.ico"), b"\0\0\1\0\1")
    for path in (garbage, short):
        for args in (("info", path), ("convert", path, os.path.join(work, "o.ico"))):
            p = cli.run(*args, rc=1)
            check(p.stderr.splitlines()[0] in refusals, "%s: %r" % (args, p.stderr))
    check(not os.path.exists(os.path.join(work, "o.ico")), "convert of garbage wrote a file")

    # Strips: 24 bits and height 48 unsupported, a width beyond the file a read error.
    def bmp(name, width, height, bits, pixel_bytes):
        return write_bytes(os.path.join(work, name),
                           b"BM" + struct.pack("<IHHI", 54 + pixel_bytes, 0, 0, 54)
                           + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, 0, 0)
                           + bytes(pixel_bytes))
    for path, message in ((bmp("b24.bmp", 32, 16, 24, 32 * 16 * 3), "File format is not supported!"),
                          (bmp("b48.bmp", 96, 48, 32, 96 * 48 * 4), "File format is not supported!"),
                          (bmp("narrow.bmp", 15, 16, 32, 15 * 16 * 4), "File format is not supported!"),
                          (bmp("beyond.bmp", 64, 16, 32, 32 * 16 * 4), "Error reading file!"),
                          (bmp("wide.bmp", 0x7FFFFFFF, 16, 32, 256), "Error reading file!"),
                          (bmp("zero.bmp", 0, 16, 32, 256), "Error reading file!"),
                          (bmp("neg.bmp", -32, 16, 32, 256), "Error reading file!"),
                          (write_bytes(os.path.join(work, "hdr.bmp"), b"BM" + bytes(30)), "Error reading file!")):
        for args in (("info", path), ("strip", "split", path, os.path.join(work, "o"))):
            p = cli.run(*args, rc=1)
            check(p.stderr.splitlines()[0] == message, "%s: %r, expected %r" % (args, p.stderr, message))
        check(not os.path.exists(os.path.join(work, "o-0.txt")), "split of a bad strip wrote a file")
    # An icon is not a strip.
    ico = os.path.join(work, "i.ico")
    cli.run("convert", txt(work, "i.txt", rainbow(16)), ico)
    p = cli.run("strip", "split", ico, os.path.join(work, "o"), rc=1)
    check(p.stderr.splitlines()[0] == "File format is not supported!", "split of an icon: %r" % p.stderr)

    # Usage errors: usage on stderr, exit 2, nothing written.
    src = os.path.join(work, "i.txt")
    for args in ((), ("frobnicate",), ("info",), ("info", src, src), ("convert", src),
                 ("convert", src, os.path.join(work, "o.ico"), "extra"),
                 ("convert", src, os.path.join(work, "o.png")), ("convert", src, os.path.join(work, "o")),
                 ("convert", src, os.path.join(work, "o.ico"), "--size", "20"),
                 ("convert", src, os.path.join(work, "o.ico"), "--size"),
                 ("convert", src, os.path.join(work, "o.ico"), "--depth", "2"),
                 ("convert", src, os.path.join(work, "o.ico"), "--depth", "32"),
                 ("convert", src, os.path.join(work, "o.ico"), "--hotspot", "3"),
                 ("convert", src, os.path.join(work, "o.ico"), "--hotspot", "a,b"),
                 ("convert", src, os.path.join(work, "o.ico"), "--hotspot", "-1,2"),
                 ("convert", src, os.path.join(work, "o.ico"), "--colour", "red")):
        p = cli.run(*args, rc=2)
        check("usage: pixtor-cli" in p.stderr, "%s: no usage in %r" % (args, p.stderr))
        check(not os.path.exists(os.path.join(work, "o.ico")), "%s wrote a file" % (args,))
    p = cli.run("--help")
    check(p.stdout.startswith("usage: pixtor-cli"), "--help")

    # Writing under a folder that does not exist: "Can't open file", even as root.
    p = cli.run("convert", src, os.path.join(work, "no", "such", "dir", "o.ico"), rc=1)
    check(p.stderr.splitlines()[0] == "Can't open file", "no folder: %r" % p.stderr)
    p = cli.run("strip", "split", bmp_ok(cli, work), os.path.join(work, "no", "such", "p"), rc=1)
    check(p.stderr.splitlines()[0] == "Can't open file", "split into no folder: %r" % p.stderr)



def bmp_ok(cli, work):
    out = os.path.join(work, "ok.bmp")
    cli.run("strip", "join", out, txt(work, "ok.txt", rainbow(16)))
    return out


# ---- safe writing -------------------------------------------------------------

def leftovers(folder):
    return [n for n in os.listdir(folder) if "pixtor-tmp" in n]


def file_size_limit(limit):
    """Run the child with writes beyond limit bytes failing (EFBIG), which
    stops even root; SIGXFSZ ignored so the write returns an error."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return apply


def section_safe_write(cli, work):
    src = txt(work, "a.txt", rainbow(32))
    other = txt(work, "b.txt", test_image(32, 24))
    out = os.path.join(work, "keep.ico")
    cli.run("convert", src, out)
    good = read_bytes(out)
    os.chmod(out, 0o640)

    # A write that fails part-way: the old OUT stays, no temporary is left.
    for limit in (0, 100, 3000):
        p = cli.run("convert", other, out, rc=1, preexec=file_size_limit(limit))
        check(p.stderr.splitlines()[0] == "Error writing file!", "limit %d: %r" % (limit, p.stderr))
        check(read_bytes(out) == good, "limit %d: the old OUT was damaged" % limit)
        check(not leftovers(work), "limit %d left %s" % (limit, leftovers(work)))
    # Also for strips and split parts.
    strip = os.path.join(work, "keep.bmp")
    cli.run("strip", "join", strip, src)
    good_strip = read_bytes(strip)
    p = cli.run("strip", "join", strip, other, other, rc=1, preexec=file_size_limit(1000))
    check(p.stderr.splitlines()[0] == "Error writing file!", "strip join: %r" % p.stderr)
    check(read_bytes(strip) == good_strip and not leftovers(work), "strip join damaged the old strip")
    part = os.path.join(work, "part-0.txt")
    write_bytes(part, b"old part\n")
    p = cli.run("strip", "split", strip, os.path.join(work, "part"), rc=1, preexec=file_size_limit(500))
    check(p.stderr.splitlines()[0] == "Error writing file!", "strip split: %r" % p.stderr)
    check(read_bytes(part) == b"old part\n" and not leftovers(work), "strip split damaged the old part")

    # OUT an existing folder: it cannot be replaced, and stays as it was.
    folder = os.path.join(work, "folder.ico")
    os.mkdir(folder)
    write_bytes(os.path.join(folder, "inside"), b"x")
    p = cli.run("convert", src, folder, rc=1)
    check(p.stderr.splitlines()[0] == "Can't open file", "OUT a folder: %r" % p.stderr)
    check(os.listdir(folder) == ["inside"] and not leftovers(work), "OUT a folder: changed")

    # A folder that does not let us create files (meaningful only when not root).
    if os.geteuid() != 0:
        locked = os.path.join(work, "locked")
        os.mkdir(locked)
        inner = os.path.join(locked, "x.ico")
        cli.run("convert", src, inner)
        before = read_bytes(inner)
        os.chmod(locked, 0o555)
        try:
            p = cli.run("convert", other, inner, rc=1)
            check(p.stderr.splitlines()[0] == "Can't open file", "read-only folder: %r" % p.stderr)
            check(read_bytes(inner) == before, "read-only folder: OUT changed")
        finally:
            os.chmod(locked, 0o755)

    # A good write replaces OUT and keeps its permissions.
    cli.run("convert", other, out)
    check(read_bytes(out) != good, "the good write did not replace OUT")
    check(stat.S_IMODE(os.stat(out).st_mode) == 0o640, "OUT lost its permissions: %o" % os.stat(out).st_mode)
    check(not leftovers(work), "a good write left %s" % leftovers(work))


SECTIONS = {"info": section_info, "convert": section_convert, "strip": section_strip,
            "errors": section_errors, "safe_write": section_safe_write}

if __name__ == "__main__":
    sys.exit(main(SECTIONS, sys.argv))
