#!/usr/bin/python3
"""The release archive of a build, as a person who downloads it meets it:
unpacked, it holds the editor, pixtor-cli and the read-me, and each program
starts: the editor shows its window and ends on Alt+X, pixtor-cli prints
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
    with zipfile.ZipFile(archive) as z:
        names = sorted(z.namelist())
        want = sorted(top + "/" + n for n in ("README.txt", "pixtor-cli.exe", "pixtor-cli.txt", "pixtor.exe"))
        if names != want:
            failures.append("the archive holds %s, expected %s" % (names, want))
        manual = z.read(top + "/pixtor-cli.txt").decode("ascii", "replace")
        if "EXIT STATUS" not in manual or "\r\n" not in manual:
            failures.append("pixtor-cli.txt is not the manual with Windows line ends")
        readme = z.read(top + "/README.txt").decode("ascii", "replace")
        if "pixtor-cli" not in readme or "\n" in readme.replace("\r\n", ""):
            failures.append("README.txt is not the read-me with Windows line ends")
        unpacked = os.path.join(out, "unpacked")
        shutil.rmtree(unpacked, ignore_errors=True)
        z.extractall(unpacked)
    folder = os.path.join(unpacked, top)
    editor_exe, cli_exe = os.path.join(folder, "pixtor.exe"), os.path.join(folder, "pixtor-cli.exe")
    print("1. unpacked: %s" % ", ".join(names))

    p = e2e.run(e2e.WINE, cli_exe, "--help", timeout=120)
    if p.returncode != 0 or not p.stdout.startswith("usage: pixtor-cli info"):
        failures.append("pixtor-cli --help: exit %d, printed %r" % (p.returncode, p.stdout[:200]))
    print("2. pixtor-cli --help: exit %d" % p.returncode)

    editor = e2e.Editor(editor_exe, log_path=os.path.join(out, "pixtor.log"))
    try:
        editor.wait_for_window()
        e2e.screenshot(os.path.join(out, "started.png"))
    finally:
        e2e.close(editor, "3. the unpacked editor", failures)


if __name__ == "__main__":
    sys.exit(e2e.run_journey("archive journey", journey, "the archive unpacks and both programs start"))
