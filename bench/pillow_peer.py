# SPDX-License-Identifier: MIT
"""The peer of the comparison: the same jobs as the command-line tool, done with Pillow in one
Python process. Same look: DejaVu Sans 20 pt at 96 dpi (27 px), black on white, 10 px margins.

    python3 pillow_peer.py per-line TEXTFILE OUTDIR EXT    one image per line, size follows the text
    python3 pillow_peer.py page TEXTFILE OUTDIR W H        the whole text on a fixed W x H image
    python3 pillow_peer.py wrap TEXTFILE OUTDIR W          the text wrapped greedily at W px, as PNG
"""
import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

FONT = ImageFont.truetype("DejaVuSans.ttf", 27)
ASCENT, DESCENT = FONT.getmetrics()
LINE_HEIGHT = ASCENT + DESCENT
MARGIN = 10


def file_name(folder, text, ext):
    """A name from the text (letters, digits, space as underscore, at most 20 characters),
    numbered until no file of that name exists, as the command-line tool does."""
    name = re.sub(r"[^A-Za-z0-9 _-]", "", text).replace(" ", "_")[:20].lower()
    path = os.path.join(folder, name + ext)
    number = 1
    while os.path.exists(path):
        path = os.path.join(folder, f"{name}{number}{ext}")
        number += 1
    return path


def save(image, path, ext):
    if ext == ".jpg":
        image.save(path, quality=100)
    elif ext == ".gif":
        image.quantize(256).save(path)
    else:
        image.save(path)


def per_line(text_file, folder, ext):
    with open(text_file, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for line in lines:
        width = int(round(FONT.getlength(line))) + 2 * MARGIN
        image = Image.new("RGB", (max(width, 1), LINE_HEIGHT + 2 * MARGIN), "white")
        ImageDraw.Draw(image).text((MARGIN, MARGIN), line, font=FONT, fill="black")
        save(image, file_name(folder, line, ext), ext)


def page(text_file, folder, width, height):
    with open(text_file, encoding="utf-8") as f:
        lines = f.read().splitlines()
    image = Image.new("RGB", (width, height), "white")
    draw = ImageDraw.Draw(image)
    for i, line in enumerate(lines):
        draw.text((MARGIN, MARGIN + i * LINE_HEIGHT), line, font=FONT, fill="black")
    save(image, file_name(folder, "page", ".png"), ".png")


def wrap(text_file, folder, width):
    """Greedy word wrap at the width inside the margins, one image as tall as the text, PNG at
    Pillow's default level."""
    with open(text_file, encoding="utf-8") as f:
        paragraphs = f.read().splitlines()
    inner = width - 2 * MARGIN
    lines = []
    for paragraph in paragraphs:
        line = ""
        for word in paragraph.split(" "):
            candidate = f"{line} {word}" if line else word
            if line and FONT.getlength(candidate) > inner:
                lines.append(line)
                line = word
            else:
                line = candidate
        lines.append(line)
    image = Image.new("RGB", (width, len(lines) * LINE_HEIGHT + 2 * MARGIN), "white")
    draw = ImageDraw.Draw(image)
    for i, line in enumerate(lines):
        draw.text((MARGIN, MARGIN + i * LINE_HEIGHT), line, font=FONT, fill="black")
    save(image, file_name(folder, lines[0] if lines else "wrap", ".png"), ".png")


if __name__ == "__main__":
    if sys.argv[1] == "per-line":
        per_line(sys.argv[2], sys.argv[3], sys.argv[4])
    elif sys.argv[1] == "wrap":
        wrap(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        page(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
