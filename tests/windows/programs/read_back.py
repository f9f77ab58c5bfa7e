#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Reads what the shell registration of the Windows program leaves behind, independently of the
# program:
#   read_back.py registry FILE.reg   every key of a registry export (as "reg export" writes it,
#                                        UTF-16) as "path" or "path = default value", one a line,
#                                        the path without the hive; other values as
#                                        "path: name = value"
#   read_back.py shortcut FILE.lnk   the target, working folder, description and arguments of a
#                                        shortcut file (the Shell Link binary format), one a line
#   read_back.py status PNG          the colours of the status lines of a screenshot of the
#                                        shell-settings window, top to bottom: "green" for the
#                                        window's green (0, 128, 0), "red" for its red (255, 0, 0)
import re
import struct
import sys


def registry(path):
    text = open(path, "rb").read().decode("utf-16")
    # A value may go on over several lines, each ending with a backslash.
    text = text.replace("\\\r\n", "").replace("\\\n", "")
    key = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            # Without the name of the hive: "[HKEY_CLASSES_ROOT\.qpcf]" is ".qpcf".
            key = line[1:-1].partition("\\")[2]
            if key:
                print(key)
        elif key is not None and "=" in line:
            name, value = line.split("=", 1)
            if value.startswith('"') and value.endswith('"'):
                value = re.sub(r"\\(.)", r"\1", value[1:-1])
            if name == "@":
                print(f"{key} = {value}")
            else:
                print(f"{key}: {name.strip(chr(34))} = {value}")


def shortcut(path):
    data = open(path, "rb").read()
    header_size, = struct.unpack_from("<I", data, 0)
    flags, = struct.unpack_from("<I", data, 0x14)
    pos = header_size
    if flags & 0x1:  # HasLinkTargetIDList
        size, = struct.unpack_from("<H", data, pos)
        pos += 2 + size
    target = ""
    if flags & 0x2:  # HasLinkInfo
        info_size, info_header, info_flags = struct.unpack_from("<III", data, pos)
        base_offset, = struct.unpack_from("<I", data, pos + 16)
        if info_header >= 0x24:
            start = end = pos + struct.unpack_from("<I", data, pos + 28)[0]
            while data[end:end + 2] != b"\0\0":
                end += 2
            target = data[start:end].decode("utf-16-le")
        elif info_flags & 0x1:
            end = data.index(b"\0", pos + base_offset)
            target = data[pos + base_offset:end].decode("cp1252")
        pos += info_size
    strings = {}
    for flag, name in ((0x4, "description"), (0x8, "relative"), (0x10, "folder"), (0x20, "arguments"),
                       (0x40, "icon")):
        if flags & flag:
            count, = struct.unpack_from("<H", data, pos)
            pos += 2
            if flags & 0x80:  # IsUnicode
                strings[name] = data[pos:pos + 2 * count].decode("utf-16-le")
                pos += 2 * count
            else:
                strings[name] = data[pos:pos + count].decode("cp1252")
                pos += count
    # Some writers count the closing zero of a string.
    strings = {name: value.rstrip("\0") for name, value in strings.items()}
    print(f"target: {target}")
    print(f"folder: {strings.get('folder', '')}")
    print(f"description: {strings.get('description', '')}")
    print(f"arguments: {strings.get('arguments', '')}")


def status(path):
    from PIL import Image

    image = Image.open(path).convert("RGB")
    width, height = image.size
    pixels = image.load()

    def colour(rgb):
        r, g, b = rgb
        if r <= 40 and 100 <= g <= 160 and b <= 40:
            return "green"
        if r >= 200 and g <= 60 and b <= 60:
            return "red"
        return None

    # A line of text is a run of pixel rows holding the colour; rows a few pixels apart belong to
    # the same line.
    lines = []
    last_row = -10
    for y in range(height):
        counts = {"green": 0, "red": 0}
        for x in range(width):
            c = colour(pixels[x, y])
            if c:
                counts[c] += 1
        found = max(counts, key=counts.get)
        if counts[found] < 2:
            continue
        if y - last_row > 3 or not lines or lines[-1][0] != found:
            lines.append([found, 0])
        lines[-1][1] += counts[found]
        last_row = y
    for found, amount in lines:
        # Stray pixels of an edge do not make a line of text.
        if amount >= 20:
            print(found)


if __name__ == "__main__":
    {"registry": registry, "shortcut": shortcut, "status": status}[sys.argv[1]](sys.argv[2])
