#!/usr/bin/python3
"""pixtor-cli extract against wrestool (icoutils): the same icon and cursor
groups of Wine's own 64-bit and 32-bit system libraries and of a 16-bit
icon library made here.
usage: extract_check.py PIXTOR_CLI WORKDIR [RUNNER]   (RUNNER: a Windows pixtor-cli.exe's)
       extract_check.py --ne OUT                      (only write the 16-bit library)

wrestool appends as many stray bytes as the group resource holds after the
last picture, writes a cursor picture's size with the 4 bytes of its hot
spot that it leaves out, and halves a cursor group's height even where the
group holds the picture's own (Wine's do): so each of our files must be
the start of wrestool's; a cursor's pictures, widths and hot spots must be
wrestool's, its heights the pictures' own.
"""
import json
import os
import re
import shutil
import struct
import subprocess
import sys

from pixtor_testlib import read_bytes, wine_path, write_bytes

WINE64 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
LIBRARIES = ["shell32.dll", "user32.dll", "comctl32.dll", "notepad.exe"]
WINE32 = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "wow64-root",
                      "usr", "lib", "x86_64-linux-gnu", "wine", "i386-windows")


def dib(size, colour):
    """A 32-bit picture with alpha and its mask, as an icon resource holds it."""
    rows = b"".join(bytes(colour) + bytes([255 if (x + y) % 4 else 0]) for y in range(size) for x in range(size))
    mask = bytes(((size + 31) // 32 * 4) * size)
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0) + rows + mask


def ne_library(names=("APP", 9, "HAND")):
    """A 16-bit icon library: two icon groups (one named) and a named cursor
    group, pictures of 16, 32 and 48 px, resources aligned to 16 bytes;
    names: the groups' names or numbers."""
    pictures = [(k + 1, dib(size, colour)) for k, (size, colour) in
                enumerate(((16, (10, 20, 200)), (32, (10, 200, 20)), (48, (200, 20, 10)), (32, (90, 90, 90))))]
    cursor = struct.pack("<HH", 5, 7) + dib(32, (0, 0, 255))

    def group(kind, entries):
        out = struct.pack("<HHH", 0, kind, len(entries))
        for ident, data in entries:
            size = struct.unpack("<i", data[4:8] if kind == 1 else data[8:12])[0]
            out += (struct.pack("<BBBBHHIH", size % 256, size % 256, 0, 0, 1, 32, len(data), ident) if kind == 1
                    else struct.pack("<HHHHIH", size, 2 * size, 1, 32, len(data), ident))
        return out
    resources = ([(3, k, data) for k, data in pictures] + [(1, 6, cursor), (14, names[0], group(1, pictures[:3])),
                 (14, names[1], group(1, pictures[3:])), (12, names[2], group(2, [(6, cursor)]))]
                 + [(14, n, group(1, pictures[3:])) for n in names[3:]])   # (type, id or name, data)
    shift, mz_size, ne_size = 4, 64, 64
    types = [(kind, [r for r in resources if r[0] == kind]) for kind in (3, 1, 14, 12)]
    table_size = 2 + sum(8 + 12 * len(rs) for _, rs in types) + 2
    strings, name_at = b"", {}
    for key in (r[1] for r in resources if isinstance(r[1], str) and r[1] not in name_at):
        name_at[key] = table_size + len(strings)
        strings += bytes([len(key.encode())]) + key.encode()
    data_at = (mz_size + ne_size + table_size + len(strings) + 1 + 15) // 16 * 16
    blobs, placed = b"", {}
    for r in resources:
        placed[id(r)], blobs = data_at + len(blobs), blobs + r[2] + bytes((-len(r[2])) % 16)
    out = struct.pack("<H", shift) + b"".join(struct.pack("<HHI", 0x8000 | kind, len(rs), 0) + b"".join(
        struct.pack("<HHHHHH", placed[id(r)] >> shift, (len(r[2]) + 15) >> shift, 0x30,
                    name_at[r[1]] if isinstance(r[1], str) else 0x8000 | r[1], 0, 0) for r in rs) for kind, rs in types)
    out += struct.pack("<H", 0) + strings + b"\0"
    head = (b"MZ" + bytes(0x3A) + struct.pack("<I", mz_size) + b"NE" + bytes(0x22)
            + struct.pack("<HH", ne_size, ne_size + len(out)) + bytes(ne_size - 0x28) + out)
    return head + bytes(data_at - len(head)) + blobs


def directory(data):
    return [struct.unpack("<BBBBHHII", data[6 + 16 * k:22 + 16 * k]) for k in range(struct.unpack("<H", data[4:6])[0])]


def compare(ours, theirs, cursor):
    """Empty, or what differs."""
    if not cursor:
        return "" if theirs.startswith(ours) else "differs"
    a, b = directory(ours), directory(theirs)
    if len(a) != len(b):
        return "%d pictures, wrestool %d" % (len(a), len(b))
    for (w, h, _, _, x, y, size, at), (w2, h2, _, _, x2, y2, size2, at2) in zip(a, b):
        if (w, x, y) != (w2, x2, y2) or ours[at:at + size] != theirs[at2:at2 + size] or h not in (h2, 2 * h2 % 256):
            return "a picture differs: %s against %s" % ((w, h, x, y, size), (w2, h2, x2, y2, size2))
    return ""


def extract(cli, runner, out, path, *options):
    """pixtor-cli extract, under runner when there is one."""
    where = (wine_path(out), wine_path(path)) if runner else (out, path)
    return subprocess.run(([runner] if runner else []) + [cli, "extract", *options, "--out", *where], capture_output=True)


def check_library(cli, runner, path, work):
    """Every group of path, extracted by both; a list of what differs."""
    name = os.path.basename(path)
    ours, theirs = os.path.join(work, name + ".ours"), os.path.join(work, name + ".theirs")
    os.makedirs(theirs)
    for kind in ("14", "12"):
        subprocess.run(["wrestool", "-x", "--type=" + kind, "-o", theirs, path], check=True, capture_output=True)
    p = extract(cli, runner, ours, path)
    if p.returncode != 0:
        return ["%s: extract failed: %s" % (name, p.stderr.decode("utf-8", "replace").strip())]
    problems, listed = [], set(os.listdir(ours))
    for got in sorted(os.listdir(theirs)):
        kind, group = re.match(re.escape(name) + r"_(\d+)_(.+?)(?:_\d+)?\.(?:ico|cur)$", got).groups()
        mine = group.strip("'") + (".cur" if kind == "12" else ".ico")
        if mine not in listed:
            problems.append("%s: no %s for wrestool's %s" % (name, mine, got))
            continue
        listed.discard(mine)
        differs = compare(read_bytes(os.path.join(ours, mine)), read_bytes(os.path.join(theirs, got)), kind == "12")
        problems += ["%s: %s %s" % (name, mine, differs)] if differs else []
    return problems + ["%s: %s, which wrestool does not write" % (name, extra) for extra in sorted(listed)]


def hostile_names(cli, runner, work):
    """Names from a file are made safe, clashes numbered, nothing written
    outside the folder."""
    names = ("..", "a/b\\c:d", "CON", "same", "SAME", "lpt1.x", "tab\there ", "CON .x", "a.", " ", "n" * 250)
    out = os.path.join(work, "names")
    p = extract(cli, runner, out, write_bytes(os.path.join(work, "names.icl"), ne_library(names)), "--json")
    told = json.loads(p.stdout.decode("utf-8"))
    if sorted(g["name"] for g in told["groups"]) != sorted(names) or told["not_read"]:
        return ["--json tells %s" % told]
    written = sorted(os.listdir(out)) if os.path.isdir(out) else []
    want = sorted(["._.ico", "a_b_c_d.ico", "_CON.cur", "same.ico", "SAME-2.ico", "_lpt1.x.ico", "tab_here_.ico",
                   "_CON .x.ico", "a_.ico", "_.ico", "n" * 200 + ".ico"])
    outside = sorted(set(os.listdir(work)) - {"names.icl", "names", "library.icl"})
    if p.returncode or written != want or outside:
        return ["names made safe: %s, outside: %s, exit %d" % (written, outside, p.returncode)]
    return []


def main(argv):
    if len(argv) == 3 and argv[1] == "--ne":
        write_bytes(argv[2], ne_library())
        return 0
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    cli, work, runner = os.path.abspath(argv[1]), os.path.abspath(argv[2]), argv[3] if len(argv) == 4 else None
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    libraries = [os.path.join(WINE64, n) for n in LIBRARIES] + [write_bytes(os.path.join(work, "library.icl"), ne_library())]
    if os.path.isdir(WINE32):
        libraries += [os.path.join(os.path.abspath(WINE32), n) for n in LIBRARIES]
    else:
        print("no 32-bit libraries at %s: the 32-bit test root is made by tools/test" % WINE32)
    problems = hostile_names(cli, runner, work)
    for k, path in enumerate(libraries):
        # Both read a copy in the work folder: the 32-bit build's runner
        # sees the system's folders as those of its own root.
        os.makedirs(os.path.join(work, str(k)))
        copy = shutil.copy(path, os.path.join(work, str(k), os.path.basename(path)))
        problems += check_library(cli, runner, copy, os.path.join(work, str(k)))
    for p in problems:
        print("FAIL", p)
    print("%d libraries, %s" % (len(libraries), "every group as wrestool's" if not problems else "%d problems" % len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
