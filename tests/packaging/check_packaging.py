# SPDX-License-Identifier: MIT
"""Checks the files the desktop finds Quillpress by, and the manual pages against --help.

Usage: check_packaging.py CHECK PACKAGING_DIR [ARGS...]
  desktop-entry PACKAGING_DIR
  metainfo      PACKAGING_DIR VERSION
  mime          PACKAGING_DIR
  icons         PACKAGING_DIR
  man-page      PACKAGING_DIR PAGE PROGRAM   (PAGE: quillpress or quillpress-cli)
Exits 77 (skipped) when a checking tool is not installed.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SKIP = 77
MIME_TYPE = "application/x-quillpress-configuration"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def need_tool(name):
    if shutil.which(name) is None:
        print(f"{name} is not installed: skipped")
        sys.exit(SKIP)


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, **kwargs)
    print(result.stdout + result.stderr, end="")
    return result


def desktop_entry(folder):
    need_tool("desktop-file-validate")
    path = os.path.join(folder, "quillpress.desktop")
    result = run(["desktop-file-validate", path])
    if result.returncode != 0 or result.stdout.strip():
        fail("desktop-file-validate reports problems")
    keys = dict(line.split("=", 1) for line in open(path, encoding="utf-8") if "=" in line)
    expected = {
        "Exec": "quillpress %F",
        "Icon": "quillpress",
        "Categories": "Graphics;",
        "MimeType": MIME_TYPE + ";",
        "StartupWMClass": "quillpress",
    }
    for key, value in expected.items():
        if keys.get(key, "").strip() != value:
            fail(f"{key} is {keys.get(key)!r}, expected {value!r}")
    for key in ("Name", "GenericName", "Comment", "GenericName[de]", "Comment[de]"):
        if not keys.get(key, "").strip():
            fail(f"{key} is missing")


def metainfo(folder, version):
    need_tool("appstreamcli")
    names = [n for n in os.listdir(folder) if n.endswith(".metainfo.xml")]
    if len(names) != 1:
        fail(f"expected one metainfo file, found {names}")
    path = os.path.join(folder, names[0])
    if run(["appstreamcli", "validate", "--no-net", path]).returncode != 0:
        fail("appstreamcli validate fails")
    root = ET.parse(path).getroot()
    if names[0] != root.findtext("id") + ".metainfo.xml":
        fail("the file name does not follow the component id")
    if root.findtext("launchable") != "quillpress.desktop":
        fail("the launchable is not the desktop entry")
    if root.find("screenshots/screenshot/image") is None:
        fail("no screenshot")
    releases = [r.get("version") for r in root.iter("release")]
    if not releases or releases[0] != version:
        fail(f"newest release {releases[:1]} is not the project version {version}")


def mime(folder):
    need_tool("update-mime-database")
    with tempfile.TemporaryDirectory() as tmp:
        packages = os.path.join(tmp, "mime", "packages")
        os.makedirs(packages)
        shutil.copy(os.path.join(folder, "quillpress-mime.xml"), os.path.join(packages, "quillpress.xml"))
        # It exits with 0 also when it cannot read a package: its messages tell.
        result = run(["update-mime-database", os.path.join(tmp, "mime")],
                     env=dict(os.environ, XDG_DATA_DIRS=tmp, XDG_DATA_HOME=tmp))
        if result.returncode != 0 or result.stderr.strip() or result.stdout.strip():
            fail("update-mime-database reports problems with the package")
        globs = open(os.path.join(tmp, "mime", "globs2"), encoding="utf-8").read()
        # weight:type:glob:flags; "cs": only the lower-case extension, as the program loads.
        if not re.search(r"^\d+:" + re.escape(MIME_TYPE) + r":\*\.qpcf:cs$", globs, re.M):
            fail("globs2 lacks the case-sensitive *.qpcf glob:\n" + globs)
        ns = "{http://www.freedesktop.org/standards/shared-mime-info}"
        typefile = os.path.join(tmp, "mime", "application", "x-quillpress-configuration.xml")
        comments = {c.get("{http://www.w3.org/XML/1998/namespace}lang", "en"): c.text
                    for c in ET.parse(typefile).getroot().iter(ns + "comment")}
        if not comments.get("en") or not comments.get("de") or comments["en"] == comments["de"]:
            fail(f"expected an English and a German comment, got {comments}")


def icons(folder):
    sizes = [16, 22, 24, 32, 48, 64, 128, 256]
    for size in sizes:
        path = os.path.join(folder, "icons", f"{size}x{size}", "quillpress.png")
        with open(path, "rb") as f:
            head = f.read(24)
        if head[:8] != b"\x89PNG\r\n\x1a\n":
            fail(f"{path} is not a PNG")
        width, height = struct.unpack(">II", head[16:24])
        if (width, height) != (size, size):
            fail(f"{path} is {width}x{height}")
    root = ET.parse(os.path.join(folder, "icons", "quillpress.svg")).getroot()
    box = root.get("viewBox", "").split()
    if len(box) != 4 or box[2] != box[3]:
        fail("the SVG icon is not square")


OPTION = re.compile(r"(?<![\w-])(--?[a-zA-Z][a-zA-Z-]*)")


def options_in_help(text):
    """The options a usage text defines: the leading option names of its option lines."""
    found = set()
    for line in text.splitlines():
        # One option, or several separated by commas, each perhaps with its argument in capitals
        # ("-c, --config FILE", "--shell-register GROUP, --shell-remove GROUP").
        m = re.match(r"^\s+(--?[a-zA-Z][\w-]*(?: [A-Z]+)?(?:,\s*--?[a-zA-Z][\w-]*(?: [A-Z]+)?)*)", line)
        if m:
            found.update(OPTION.findall(m.group(1)))
        elif line.strip() == "--" or line.strip().startswith("-- "):
            found.add("--")
    return found


def options_in_man(text):
    """The options of the page's OPTIONS section: the first line after each .TP."""
    section = text.split(".SH OPTIONS", 1)[1].split("\n.SH ", 1)[0]
    found = set()
    lines = section.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(".TP") and i + 1 < len(lines):
            tag = re.sub(r"\\f[BIRP]", "", lines[i + 1]).replace("\\-", "-")
            if tag.strip() == "--":
                found.add("--")
            found.update(OPTION.findall(tag.split(" ")[0] + " " + tag))
    return {o for o in found if not o.startswith("---")}


def man_page(folder, page, program):
    path = os.path.join(folder, "man", page + ".1")
    text = open(path, encoding="utf-8").read()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, timeout=60)
    if result.returncode != 0:
        fail(f"{program} --help exits with {result.returncode}")
    in_help = options_in_help(result.stdout)
    in_man = options_in_man(text)
    if not in_help:
        fail("no options found in --help")
    if in_help != in_man:
        fail(f"--help and {page}(1) differ: only in --help {sorted(in_help - in_man)}, "
             f"only in the page {sorted(in_man - in_help)}")
    # The start language follows these variables when no marker file is there: the page says so.
    environment = text.split(".SH ENVIRONMENT", 1)[-1].split(".SH ", 1)[0] if ".SH ENVIRONMENT" in text else ""
    for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
        if not re.search(r"\b" + variable + r"\b", environment):
            fail(f"{page}(1) does not name {variable} under ENVIRONMENT")
    if shutil.which("man"):
        result = subprocess.run(["man", "--warnings", "-l", path], capture_output=True, text=True,
                                env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0"))
        if result.returncode != 0 or result.stderr.strip():
            fail("man reports problems:\n" + result.stderr)


def main():
    check, folder, *rest = sys.argv[1:]
    {"desktop-entry": desktop_entry, "metainfo": metainfo, "mime": mime, "icons": icons,
     "man-page": man_page}[check](folder, *rest)
    print("ok")


if __name__ == "__main__":
    main()
