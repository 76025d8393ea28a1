#!/usr/bin/python3
"""pixtor-cli.exe under Wine with names in other languages, in a folder
named so: it reads and writes them, and its messages show them as written;
and a batch on every core told as JSON, and pack --list, as the Linux build.
(--help under Wine: the archive journey.)
usage: cli_names.py RUNNER PIXTOR_CLI WORKDIR (RUNNER: tools/wine-run or
tools/wow64-run)"""
import os
import shutil
import subprocess
import sys

from pixtor_testlib import Failure, check, grid_of, read_bytes, wine_path, write_txt


def main(runner, cli, work):
    folder = os.path.join(os.path.abspath(work), "日本語 café")
    at = lambda name: os.path.join(folder, name)  # noqa: E731
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(folder)

    def run(*args, rc=0):   # paths given as Windows writes them
        r = subprocess.run([runner, cli, *(wine_path(a) if os.path.isabs(a) else a for a in args)],
                           capture_output=True, timeout=120)
        out, err = r.stdout.decode("utf-8"), r.stderr.decode("utf-8")
        check(r.returncode == rc, "%s: exit %d, expected %d: %s" % (" ".join(args), r.returncode, rc, err.strip()))
        return out, err

    text = write_txt(at("ein Bild ü.txt"), grid_of(16, lambda x, y: (0xA0, 0xB0, 0xC0)))
    icon, out = at("favicon[1] 日本語.ico"), at("出力")
    run("convert", text, icon)
    info, _ = run("info", icon)
    check("size: 16" in info, "info of %s: %r" % (icon, info))
    run("convert", "--to", "png", "--out", out, icon)
    check(os.path.exists(os.path.join(out, "favicon[1] 日本語.png")), "convert --to png --out: %s" % os.listdir(out))
    run("unpack", "--out", out, icon)
    run("pack", at("包 café.cur"), os.path.join(out, "favicon[1] 日本語.ico-16x16-24bit.png"))
    check(os.path.exists(at("包 café.cur")), "unpack and pack wrote no 包 café.cur: %s" % os.listdir(folder))
    # A batch on threads writing what one call writes, and pack --list.
    texts = [write_txt(at("絵 %d.txt" % k), grid_of(16, lambda x, y: (40 * k + y, 0x30, 0xC0))) for k in range(4)]
    with open(at("一覧.txt"), "w", encoding="utf-8") as f:
        f.write("".join("%s\t%s\n" % (wine_path(at("束 %d.ico" % k)), wine_path(t)) for k, t in enumerate(texts)))
    packed, _ = run("pack", "--list", at("一覧.txt"), "--json")
    converted, _ = run("convert", "--to", "png", "--out", at("一括"), "--json", *texts)
    run("convert", texts[3], at("one.png"))
    same = read_bytes(at("one.png")) == read_bytes(os.path.join(at("一括"), "絵 3.png"))
    told = '{"files": 4, "failed": 0}\r\n'   # lines end as Windows' text does
    check(packed.endswith(told) and converted.endswith(told) and same
          and all(os.path.exists(at("束 %d.ico" % k)) for k in range(4)),
          "the batches: %r %r, bytes the same: %s" % (packed[-60:], converted[-60:], same))
    _, err = run("info", at("無い.ico"), rc=1)
    check(wine_path(at("無い.ico")) in err, "the message does not name %s as written: %r" % (wine_path(at("無い.ico")), err))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except Failure as e:
        sys.exit("FAIL %s" % e)
    print("pixtor-cli took names in other languages")
