#!/usr/bin/python3
"""The release archive of a build, as a person who downloads it meets it:
unpacked, it holds the editor, pixtor-cli and the read-me, and each program
starts: the editor shows its board and ends on Alt+X, pixtor-cli prints
its usage. (What the programs import: windows_imports_only_system_dlls.)
usage: archive_journey.py ZIP OUTPUT_DIR; with PIXTOR_CPACK set, CPack
first makes ZIP from the build in the working folder."""
import os
import shutil
import sys
import zipfile

import pixtor_e2e as e2e


def journey(archive, out, failures):
    if os.environ.get("PIXTOR_CPACK"):
        p = e2e.run(os.environ["PIXTOR_CPACK"], "-G", "ZIP", "-B", os.path.dirname(archive), timeout=120)
        if p.returncode != 0:
            raise e2e.E2EError("cpack failed: " + p.stdout + p.stderr)
    top = os.path.basename(archive)[:-len(".zip")]
    folder = os.path.join(out, "unpacked", top)
    shutil.rmtree(os.path.dirname(folder), ignore_errors=True)
    with zipfile.ZipFile(archive) as z:
        names = sorted(z.namelist())
        z.extractall(os.path.dirname(folder))
    if names != [top + "/" + n for n in ("README.txt", "pixtor-cli.exe", "pixtor-cli.txt", "pixtor.exe")]:
        failures.append("the archive holds %s" % names)
    # The manual and the read-me, both with Windows line ends.
    for name, holds in (("pixtor-cli.txt", "EXIT STATUS"), ("README.txt", "pixtor-cli")):
        with open(os.path.join(folder, name), "rb") as f:
            text = f.read().decode("ascii", "replace")
        if holds not in text or "\n" in text.replace("\r\n", ""):
            failures.append("%s lacks %r or has other line ends than Windows'" % (name, holds))
    print("1. unpacked: %s" % ", ".join(names))

    p = e2e.run(e2e.WINE, os.path.join(folder, "pixtor-cli.exe"), "--help", timeout=120)
    if p.returncode != 0 or not p.stdout.startswith("usage: pixtor-cli info"):
        failures.append("pixtor-cli --help: exit %d, printed %r" % (p.returncode, p.stdout[:200]))
    print("2. pixtor-cli --help: exit %d" % p.returncode)

    with e2e.started(os.path.join(folder, "pixtor.exe"), out, "archive", failures):
        print("3. the unpacked editor shows its board")


if __name__ == "__main__":
    sys.exit(e2e.run_journey("archive journey", journey, "the archive unpacks and both programs start"))
