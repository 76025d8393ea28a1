#!/usr/bin/python3
"""pixtor-cli.exe under Wine with names in other languages, in a folder
named so: it reads and writes them, and its messages show them as written;
and it keeps the conventions of the Linux build (--version, --help, a batch
on every core told as JSON, pack --list).
usage: cli_names.py RUNNER PIXTOR_CLI WORKDIR (RUNNER: tools/wine-run or
tools/wow64-run)"""
import os
import shutil
import subprocess
import sys


def windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main(runner, cli, work):
    folder = os.path.join(work, "日本語 café")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(folder)
    failures = []

    def run(*args, rc=0):
        r = subprocess.run([runner, cli, *args], capture_output=True, timeout=120)
        out, err = r.stdout.decode("utf-8"), r.stderr.decode("utf-8")
        if r.returncode != rc:
            failures.append("%s: exit %d, expected %d: %s" % (" ".join(args), r.returncode, rc, err.strip()))
        return out, err

    text = os.path.join(folder, "ein Bild ü.txt")
    with open(text, "w") as f:
        f.write("".join(" ".join(["A0B0C0"] * 16) + "\n" for _ in range(16)))
    icon = os.path.join(folder, "favicon[1] 日本語.ico")
    run("convert", windows(text), windows(icon))
    out, _ = run("info", windows(icon))
    if "size: 16" not in out:
        failures.append("info of %s: %r" % (icon, out))
    run("convert", "--to", "png", "--out", windows(os.path.join(folder, "出力")), windows(icon))
    if not os.path.exists(os.path.join(folder, "出力", "favicon[1] 日本語.png")):
        failures.append("convert --to png --out wrote no 出力/favicon[1] 日本語.png: %s" % os.listdir(folder))
    run("unpack", "--out", windows(os.path.join(folder, "出力")), windows(icon))
    run("pack", windows(os.path.join(folder, "包 café.cur")), windows(os.path.join(folder, "出力", "favicon[1] 日本語.ico-16x16-24bit.png")))
    if not os.path.exists(os.path.join(folder, "包 café.cur")):
        failures.append("unpack and pack wrote no 包 café.cur: %s" % os.listdir(folder))
    # The conventions, and a batch on threads writing what one call writes.
    out, _ = run("--version")
    help_text, _ = run("info", "--help")
    if out.strip() != "pixtor-cli 1.0.0" or not help_text.startswith("usage: pixtor-cli info"):
        failures.append("--version %r, info --help %r" % (out, help_text[:40]))
    texts = []
    for k in range(4):
        texts.append(os.path.join(folder, "絵 %d.txt" % k))
        with open(texts[-1], "w") as f:
            f.write("".join(" ".join(["%02X30C0" % (40 * k + y)] * 16) + "\n" for y in range(16)))
    listed = os.path.join(folder, "一覧.txt")
    with open(listed, "w", encoding="utf-8") as f:
        f.write("".join("%s\t%s\n" % (windows(os.path.join(folder, "束 %d.ico" % k)), windows(t)) for k, t in enumerate(texts)))
    out, _ = run("pack", "--list", windows(listed), "--json")
    batch = os.path.join(folder, "一括")
    out2, _ = run("convert", "--to", "png", "--out", windows(batch), "--json", *map(windows, texts))
    run("convert", windows(texts[3]), windows(os.path.join(folder, "one.png")))
    with open(os.path.join(folder, "one.png"), "rb") as a, open(os.path.join(batch, "絵 3.png"), "rb") as b:
        same = a.read() == b.read()
    told = '{"files": 4, "failed": 0}\r\n'   # lines end as Windows' text does
    if (not out.endswith(told) or not out2.endswith(told) or not same
            or not all(os.path.exists(os.path.join(folder, "束 %d.ico" % k)) for k in range(4))):
        failures.append("the batches: %r %r, bytes the same: %s" % (out[-60:], out2[-60:], same))
    missing = os.path.join(folder, "無い.ico")
    _, err = run("info", windows(missing), rc=1)
    if windows(missing) not in err:
        failures.append("the message does not name %s as written: %r" % (windows(missing), err))
    for f in failures:
        print("FAIL", f)
    print("pixtor-cli took names in other languages" if not failures else "%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
