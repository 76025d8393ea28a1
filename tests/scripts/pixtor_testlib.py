"""Shared helpers of the script tests: text images, test pictures that each
depth holds exactly, bytes, running pixtor-cli, independent readers, checks."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

MASK, BLACK, WHITE = (0x5F, 0x6F, 0x6F), (0, 0, 0), (255, 255, 255)   # MASK: a transparent pixel

# The sixteen colours of every 4-bit file (red, green, blue).
ICON_PALETTE = [(0, 0, 0), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
                (0, 0, 128), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
                (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]

# (size, bits) in the order of the format index.
COMBINATIONS = [(p, b) for b in (1, 4, 8, 24) for p in (16, 32)]
FORMAT_INDEX = {c: i for i, c in enumerate(COMBINATIONS)}


class Failure(Exception):
    pass


class Folder(str):
    """A path; folder / name is the path of name in it, a Folder too."""
    def __truediv__(self, name):
        return Folder(os.path.join(self, name))


def check(condition, message):
    if not condition:
        raise Failure(message)


def same(got, want, what):
    """Two grids of colours, the first difference named."""
    diff = next(((x, y, a, b) for y, (ra, rb) in enumerate(zip(got, want))
                 for x, (a, b) in enumerate(zip(ra, rb)) if a != b), None)
    check(got == want, "%s: %s" % (what, "(%d,%d) %s, expected %s" % diff if diff else "sizes differ"))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


def write_txt(path, grid):
    with open(path, "w", newline="\n") as f:
        f.write("".join(" ".join("%02X%02X%02X" % c for c in row) + "\n" for row in grid))
    return path


def read_txt(path):
    with open(path) as f:
        return [[tuple(int(v[i:i + 2], 16) for i in (0, 2, 4)) for v in line.split()]
                for line in f if line.strip()]


def grid_of(pace, f):
    return [[f(x, y) for x in range(pace)] for y in range(pace)]


def wine_path(path):   # through Wine's Z: drive
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def colour(seed):
    """A colour from a number, never the mask colour nor black."""
    x = (seed * 2654435761) & 0xFFFFFFFF
    c = ((x >> 24) & 0xFF, (x >> 12) & 0xFF, (x >> 4) & 0xFF)
    if c == MASK or c == BLACK:
        c = (c[0] ^ 0x80, c[1], c[2] | 1)
    return c


def test_image(pace, bits):
    """A picture that a file of this depth holds exactly, with transparent
    pixels (the top-left corner block and a diagonal) and a black pixel."""
    def pixel(x, y):
        if (x < 3 and y < 2) or x == y:
            return MASK
        if y == pace - 1 and x < 2:
            return (BLACK, WHITE)[x]
        if bits == 1:
            return WHITE if (x // 2 + y) % 3 else BLACK
        if bits == 4:
            return ICON_PALETTE[(x + 3 * y) % 16]
        if bits == 8 and pace == 32:   # 255 table entries, one the mask's: 200 colours and black
            k = (x * 7 + y * 13) % 201
            return BLACK if k == 200 else colour(k + 1)
        return colour(y * pace + x + 1000 * bits)
    return grid_of(pace, pixel)


def compare_rgba(what, rgba, picture):
    """rgba: a Pillow RGBA image; transparent where picture has the mask colour."""
    pace = len(picture)
    check(rgba.size == (pace, pace), "%s: size %s, expected %dx%d" % (what, rgba.size, pace, pace))
    px = rgba.load()
    bad = ["(%d,%d) %s for %s" % (x, y, px[x, y], "transparent" if want == MASK else want)
           for y, row in enumerate(picture) for x, want in enumerate(row)
           if not (px[x, y][3] == 0 if want == MASK else px[x, y] == want + (255,))]
    check(not bad, "%s: %d pixels differ, first: %s" % (what, len(bad), "; ".join(bad[:4])))


def icotool_list(path):
    """icotool -l: one dict of --name=value for each entry."""
    p = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
    check(p.returncode == 0, "icotool -l %s: %s" % (path, p.stderr))
    return [dict(re.findall(r"--([a-z-]+)(?:=(\S+))?", l)) for l in p.stdout.splitlines() if l.strip()]


def icotool_extract(path, out):
    """icotool -x into the new folder out: the PNGs it wrote."""
    os.makedirs(out)
    p = subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True, text=True)
    check(p.returncode == 0, "icotool -x %s: %s" % (path, p.stderr))
    return sorted(glob.glob(os.path.join(out, "*.png")))


def ico_entry(im, size):
    """Pillow's reading of an icon's entry of size x size, as RGBA."""
    im.size = (size, size)
    im.load()
    return im.convert("RGBA")


def files_of(folder):
    """Every file under folder, with what tells whether it was written."""
    return {os.path.join(d, n): (s.st_ino, s.st_size, s.st_mtime_ns) for d, _, names in os.walk(folder)
            for n in names for s in [os.stat(os.path.join(d, n))]}


class Cli:
    def __init__(self, path):
        self.path, self.work = path, None

    def run(self, *args, rc=0, says=None, first=None, preexec=None, env=None, partial=False):
        """says: text stderr must hold; first: its first line. A run that
        fails leaves every file of the section's folder as it was, unless
        partial (a batch, whose other files go on)."""
        before = files_of(self.work) if rc and not partial and self.work else None
        p = subprocess.run([self.path] + [str(a) for a in args], capture_output=True, text=True,
                           preexec_fn=preexec, env=env, timeout=60)
        what = "pixtor-cli %s" % " ".join(map(str, args))
        check(p.returncode == rc, "%s: exit %d, expected %d\nstdout:\n%s\nstderr:\n%s"
              % (what, p.returncode, rc, p.stdout, p.stderr))
        check(says is None or says in p.stderr, "%s: stderr lacks %r:\n%s" % (what, says, p.stderr))
        check(first is None or p.stderr.split("\n")[0] == first,
              "%s: stderr should start with %r:\n%s" % (what, first, p.stderr))
        if before is not None:
            after = files_of(self.work)
            changed = sorted(f for f in set(before) | set(after) if before.get(f) != after.get(f))
            check(not changed, "%s failed but wrote %s" % (what, changed))
        return p

    def info(self, path):
        lines = self.run("info", path).stdout.splitlines()
        return dict(l.split(": ", 1) for l in lines if ": " in l and not l.startswith(" "))

    def grid(self, path, *args, **kw):
        """path converted to a text image (args and kw as run takes them), read."""
        with tempfile.TemporaryDirectory() as d:
            self.run("convert", path, os.path.join(d, "grid.txt"), *args, **kw)
            return read_txt(os.path.join(d, "grid.txt"))


def main(sections, argv):
    """argv: CLI WORKDIR SECTION... (all sections when none is named)."""
    names = argv[3:] or list(sections)
    if len(argv) < 3 or any(n not in sections for n in names):
        sys.stderr.write("usage: %s PIXTOR_CLI WORKDIR [%s ...]\n" % (argv[0], "|".join(sections)))
        return 2
    cli, failed = Cli(os.path.abspath(argv[1])), 0
    for name in names:
        cli.work = Folder(os.path.join(os.path.abspath(argv[2]), name))
        shutil.rmtree(cli.work, ignore_errors=True)
        os.makedirs(cli.work)
        try:
            sections[name](cli, cli.work)
            print("PASS %s" % name)
        except Failure as e:
            failed += 1
            print("FAIL %s: %s" % (name, e))
    return 1 if failed else 0
