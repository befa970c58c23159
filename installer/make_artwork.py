#!/usr/bin/python3
"""Draws the installer's pictures in the program's own look, with tools/make_skin.py's palette and mark.

Run from the repository root:  /usr/bin/python3 installer/make_artwork.py
Writes installer/wizard.bmp (the welcome and finish pages' side picture, 164 x 314) and
installer/header.bmp (the other pages' header picture, 150 x 57); deterministic, like the skin.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tools"))

import make_skin as skin  # noqa: E402


def wizard():
    size = (164, 314)
    img = skin.vgradient(size, skin.NAVY, skin.NAVY_DEEP)
    skin.glow(img, (20, 30), 220, skin.TEAL, 0.16)
    skin.glow(img, (164, 300), 180, skin.hexrgb("3a5d8f"), 0.18)
    skin.draw_mark(img, (20, 40), 44)
    skin.text(img, (20, 118), "Vestrel", skin.font("Inter-SemiBold.otf", 30), skin.ON_DARK,
              tracking=-0.4, anchor="lm")
    skin.text(img, (21, 144), "PRIVACY CLEANER", skin.font("Inter-SemiBold.otf", 9), skin.ON_DARK_MUTED,
              tracking=1.6)
    skin.hline(img, 20, 144, 170, skin.NAVY_LINE)
    return img


def header():
    # The pages' header band is the system's window colour, white on every stock theme.
    img = skin.Image.new("RGB", (150, 57), (255, 255, 255))
    skin.draw_mark(img, (112, 12), 32, left=skin.INK)
    return img


def main():
    for name, image in (("wizard.bmp", wizard()), ("header.bmp", header())):
        skin.write_if_changed(os.path.join(HERE, name), skin.bmp_bytes(image))


if __name__ == "__main__":
    main()
