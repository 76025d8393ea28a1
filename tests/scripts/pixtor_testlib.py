"""Shared helpers of the script tests: text images, test pictures that each
depth holds exactly, running pixtor-cli, and small checks."""
import os
import shutil
import subprocess
import sys

MASK = (0x5F, 0x6F, 0x6F)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# The sixteen colours of every 4-bit file (red, green, blue).
ICON_PALETTE = [
    (0, 0, 0), (0, 128, 0), (0, 128, 128), (128, 0, 0),
    (128, 0, 128), (128, 128, 0), (0, 0, 128), (192, 192, 192),
    (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]

# (size, bits) -> file size.
FILE_SIZE = {
    (16, 1): 198, (32, 1): 326, (16, 4): 318, (32, 4): 766,
    (16, 8): 1406, (32, 8): 2238, (16, 24): 894, (32, 24): 3262,
}
FORMAT_INDEX = {(16, 1): 0, (32, 1): 1, (16, 4): 2, (32, 4): 3,
                (16, 8): 4, (32, 8): 5, (16, 24): 6, (32, 24): 7}
COMBINATIONS = [(p, b) for b in (1, 4, 8, 24) for p in (16, 32)]


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# ---- text images ---------------------------------------------------------

def text_of(grid):
    return "".join(" ".join("%02X%02X%02X" % c for c in row) + "\n" for row in grid)


def write_txt(path, grid):
    with open(path, "w", newline="\n") as f:
        f.write(text_of(grid))


def read_txt(path):
    grid = []
    with open(path) as f:
        for line in f:
            if line.strip():
                grid.append([tuple(int(v[i:i + 2], 16) for i in (0, 2, 4)) for v in line.split()])
    return grid


def colour(seed):
    """A colour from a number, never the mask colour nor black."""
    x = (seed * 2654435761) & 0xFFFFFFFF
    c = ((x >> 24) & 0xFF, (x >> 12) & 0xFF, (x >> 4) & 0xFF)
    if c == MASK or c == BLACK:
        c = (c[0] ^ 0x80, c[1], c[2] | 1)
    return c


def test_image(pace, bits):
    """A picture that a file of this depth holds exactly, with transparent
    pixels: the top-left corner block and a diagonal are mask colour."""
    grid = []
    for y in range(pace):
        row = []
        for x in range(pace):
            if (x < 3 and y < 2) or x == y:
                row.append(MASK)
            elif bits == 1:
                row.append(WHITE if (x // 2 + y) % 3 else BLACK)
            elif bits == 4:
                row.append(ICON_PALETTE[(x + 3 * y) % 16])
            elif bits == 8 and pace == 32:
                # 32x32 8 bits: at most 255 table entries, the mask colour
                # taking one; black costs none. 200 colours and black.
                k = (x * 7 + y * 13) % 201
                row.append(BLACK if k == 200 else colour(k + 1))
            else:
                row.append(colour(y * pace + x + 1000 * bits))
            # a black pixel somewhere in every picture
        grid.append(row)
    grid[pace - 1][0] = BLACK
    grid[pace - 1][1] = WHITE
    return grid


# ---- running pixtor-cli -----------------------------------------------------

class Cli:
    def __init__(self, path):
        self.path = path

    def run(self, *args, rc=0, preexec=None):
        p = subprocess.run([self.path] + [str(a) for a in args], capture_output=True, text=True,
                           preexec_fn=preexec, timeout=60)
        if rc is not None and p.returncode != rc:
            raise Failure("pixtor-cli %s: exit %d, expected %d\nstdout:\n%s\nstderr:\n%s"
                          % (" ".join(map(str, args)), p.returncode, rc, p.stdout, p.stderr))
        return p

    def info(self, path):
        p = self.run("info", path)
        fields = {}
        for line in p.stdout.splitlines():
            if ": " in line and not line.startswith(" "):
                k, v = line.split(": ", 1)
                fields[k] = v
        return fields


def fresh_dir(path):
    if os.path.isdir(path):
        shutil.rmtree(path)
    os.makedirs(path)
    return path


def need_tool(path_or_name):
    found = shutil.which(path_or_name)
    if not found:
        raise Failure("%s not found: run tools/install-deps" % path_or_name)
    return found


def main(sections, argv):
    """argv: CLI WORKDIR SECTION... (all sections when none is named)."""
    if len(argv) < 3:
        sys.stderr.write("usage: %s PIXTOR_CLI WORKDIR [SECTION...]\n" % argv[0])
        return 2
    cli = Cli(os.path.abspath(argv[1]))
    work = os.path.abspath(argv[2])
    names = argv[3:] or list(sections)
    failed = 0
    for name in names:
        if name not in sections:
            sys.stderr.write("unknown section %s (have %s)\n" % (name, ", ".join(sections)))
            return 2
        d = fresh_dir(os.path.join(work, name))
        try:
            sections[name](cli, d)
            print("PASS %s" % name)
        except Failure as e:
            failed += 1
            print("FAIL %s: %s" % (name, e))
    return 1 if failed else 0
