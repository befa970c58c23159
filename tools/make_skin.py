#!/usr/bin/python3
"""Draws Vestrel's skin: every background, button face, tab, check box and icon.

Run from the repository root:  /usr/bin/python3 tools/make_skin.py [--preview out.png]

Needs Debian's python3-pil and these font packages:
    fonts-inter          (word mark, headings and the texts painted into the skins)
    fonts-liberation2    (preview only: stands in for the Tahoma text the program draws)
    fonts-dejavu-core    (preview only: stands in for the dialog font of button captions)

Writes res/skin/*.bmp (24-bit, bottom-up, what LoadImage reads everywhere) and res/skin/*.ico.
The output is deterministic, so re-running it on an unchanged script changes no file.
"""

import argparse
import io
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "res", "skin")

# Supersampling factor for anti-aliased shapes.
SS = 8

# The scale being drawn: 1 for 100 %, 1.5 and 2 for the sets the program picks at 150 % and 200 %.
# Every place and size below is in 100 % pixels; the drawing primitives scale them, so each set is
# drawn afresh at its own size rather than stretched.
K = 1
SCALES = (1, 1.5, 2)
# The program loads a set's bitmap at the 100 % id plus this step times 1 or 2 (kSkinSetStep).
SET_ID_STEP = 1000


def px(value):
    """A 100 % pixel value at the scale being drawn, halves rounded up as the program's MulDiv does."""
    return math.floor(value * K + 0.5)


def phys(size):
    return (px(size[0]), px(size[1]))


def logical(base):
    """An image's size in 100 % pixels."""
    return (base.size[0] / K, base.size[1] / K)


def new_image(size, colour, mode="RGB"):
    return Image.new(mode, phys(size), colour)


def rect(base, box, colour):
    x0, y0, x1, y1 = box
    base.paste(colour, (px(x0), px(y0), px(x1), px(y1)))

INTER_DIR = "/usr/share/fonts/opentype/inter"
LIBERATION_DIR = "/usr/share/fonts/truetype/liberation2"
DEJAVU_DIR = "/usr/share/fonts/truetype/dejavu"


def hexrgb(value):
    value = value.lstrip("#")
    return tuple(int(value[i:i + 2], 16) for i in (0, 2, 4))


# One palette for every screen: deep navy chrome, cool light surfaces, a single teal accent.
NAVY_DEEP = hexrgb("0b1626")
NAVY = hexrgb("14253b")
NAVY_RAISED = hexrgb("1d3350")
NAVY_LINE = hexrgb("2a4366")
ON_DARK = hexrgb("eaf0f6")
ON_DARK_MUTED = hexrgb("8ea2b9")
TEAL = hexrgb("2cc5b3")
TEAL_DEEP = hexrgb("0e8f80")
TEAL_TINT_TOP = hexrgb("e4f6f3")
TEAL_TINT_BOTTOM = hexrgb("c6ebe5")
BODY = hexrgb("edf1f5")
BODY_LINE = hexrgb("d3dbe4")
CARD = (255, 255, 255)  # the check lists paint themselves in exactly this white
PAPER = (254, 254, 254)  # cards around them: looks the same, but never reads as a cut-away
CARD_BORDER = hexrgb("c3cedb")
INK = hexrgb("0f1b2d")
INK_MUTED = hexrgb("5a6b80")
FACE_TOP = hexrgb("fafbfd")
FACE_BOTTOM = hexrgb("e6ebf1")
FACE_BORDER = hexrgb("a5b3c4")
BOX_BORDER = hexrgb("8797ab")
BOX_FILL = hexrgb("fbfcfd")
DANGER = hexrgb("e0464c")
SHADOW = hexrgb("0b1626")

# Where the program puts its controls; the skins are drawn around these places.
MAIN_SIZE = (370, 450)
DIALOG_SIZE = (300, 240)
MAIN_HEADER_BOTTOM = 85
MAIN_LIST = (116, 94, 338, 354)
MAIN_TABS = {"ie": (111, 52), "windows": (191, 52), "apps": (271, 52)}
TAB_SIZE = (76, 33)
MAIN_MINIMIZE = (311, 12)
MAIN_CLOSE = (329, 12)
TITLE_BUTTON_SIZE = (20, 20)
MAIN_LOGO = (5, 285)
LOGO_SIZE = (109, 71)
BUTTON_SIZE = (84, 25)
MAIN_SIDE_BUTTONS = [(17, 112), (17, 147), (17, 182), (17, 217), (17, 252)]
MAIN_FOOTER_BUTTONS = [(11, 412), (98, 412), (185, 412), (272, 412)]
MAIN_STATS = [(23, 364), (23, 379)]
PROGRESS_LIST = (46, 84, 320, 318)
PROGRESS_BAR = (30, 331, 311, 10)
PROGRESS_STATUS = [(35, 350), (35, 370)]
PROGRESS_BUTTONS = [(112, 410), (230, 410)]
RESULT_TEXT = [(25, 100), (25, 120), (25, 140)]
# The result dialog's button and the loader's bar sit where its dialog template puts them;
# these are the places the skins leave calm for them.
RESULT_BUTTON = (108, 192)
LOADER_TEXT = (70, 170)
LOADER_BAR = (70, 200, 200, 6)
PROMPT_BUTTONS = [(63, 195), (179, 195)]


def font(name, size):
    for folder in (INTER_DIR, LIBERATION_DIR, DEJAVU_DIR):
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, px(size))
    sys.exit(f"make_skin: font {name} is missing; install the packages named at the top")


# ---------------------------------------------------------------- drawing primitives

def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def coverage(size, draw_fn):
    """Anti-aliased coverage mask: draw_fn paints 255 on a canvas SS times larger."""
    mask = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    draw_fn(ImageDraw.Draw(mask))
    return mask.resize(size, Image.BOX)


def scaled(box):
    x0, y0, x1, y1 = box
    f = SS * K
    return (round(x0 * f), round(y0 * f), round(x1 * f) - 1, round(y1 * f) - 1)


def rrect_mask(size, box, radius):
    def paint(d):
        d.rounded_rectangle(scaled(box), radius=round(radius * SS * K), fill=255)
    return coverage(size, paint)


def ring_rrect_mask(size, box, radius, width=1.0):
    x0, y0, x1, y1 = box
    inner = (x0 + width, y0 + width, x1 - width, y1 - width)

    def paint(d):
        d.rounded_rectangle(scaled(box), radius=round(radius * SS * K), fill=255)
        d.rounded_rectangle(scaled(inner), radius=max(0, round((radius - width) * SS * K)), fill=0)
    return coverage(size, paint)


def ellipse_mask(size, box):
    return coverage(size, lambda d: d.ellipse(scaled(box), fill=255))


def ring_mask(size, box, width):
    x0, y0, x1, y1 = box

    def paint(d):
        d.ellipse(scaled(box), fill=255)
        d.ellipse(scaled((x0 + width, y0 + width, x1 - width, y1 - width)), fill=0)
    return coverage(size, paint)


def polyline_mask(size, points, width, round_caps=True):
    pts = [(x * SS * K, y * SS * K) for x, y in points]
    w = width * SS * K

    def paint(d):
        d.line(pts, fill=255, width=round(w), joint="curve")
        if round_caps:
            for x, y in (pts[0], pts[-1]):
                d.ellipse((x - w / 2, y - w / 2, x + w / 2, y + w / 2), fill=255)
    return coverage(size, paint)


def polygon_mask(size, points, grow=0.0):
    """grow thickens the shape by that many pixels on every side (for tiny renderings)."""
    reach = round(grow * SS * K)

    pts = [(x * SS * K, y * SS * K) for x, y in points]

    def paint(d):
        d.polygon(pts, fill=255)
        if reach:
            d.line(pts + pts[:1], fill=255, width=2 * reach, joint="curve")
    return coverage(size, paint)


def fade(mask, opacity):
    return mask.point(lambda v: round(v * opacity))


def fill(base, mask, paint, opacity=1.0):
    """Blends paint (a colour or an image of base's size) into base through mask."""
    if isinstance(paint, tuple):
        paint = Image.new("RGB", base.size, paint)
    if opacity < 1.0:
        mask = fade(mask, opacity)
    base.paste(paint, (0, 0), mask)


def vgradient(size, top, bottom, box=None):
    """An image of size (physical) whose box (100 % pixels; default: all of it) runs from top to bottom."""
    x0, y0, x1, y1 = (px(box[0]), px(box[1]), px(box[2]), px(box[3])) if box else (0, 0, size[0], size[1])
    ramp = Image.linear_gradient("L").resize((1, 256)).resize((1, max(1, y1 - y0)), Image.BILINEAR)
    column = Image.composite(Image.new("RGB", ramp.size, bottom), Image.new("RGB", ramp.size, top),
                             ramp)
    img = Image.new("RGB", size, top)
    img.paste(Image.new("RGB", (size[0], y0), top), (0, 0))
    img.paste(column.resize((size[0], y1 - y0)), (0, y0))
    img.paste(Image.new("RGB", (size[0], max(0, size[1] - y1)), bottom), (0, y1))
    return img


def glow(base, centre, radius, colour, opacity):
    """A soft radial light, strongest at centre and gone at radius."""
    ramp = Image.radial_gradient("L").point(
        lambda v: round(255 * opacity * max(0.0, 1 - v / 128) ** 2))
    radius *= K
    size = round(radius * 2)
    ramp = ramp.resize((size, size), Image.BILINEAR)
    mask = Image.new("L", base.size, 0)
    mask.paste(ramp, (round(centre[0] * K - radius), round(centre[1] * K - radius)))
    fill(base, mask, colour)


def shadow(base, box, radius, blur, opacity, offset=(0, 1)):
    x0, y0, x1, y1 = box
    moved = (x0 + offset[0], y0 + offset[1], x1 + offset[0], y1 + offset[1])
    mask = rrect_mask(base.size, moved, radius).filter(ImageFilter.GaussianBlur(blur * K))
    fill(base, mask, SHADOW, opacity)


def hline(base, x0, x1, y, colour):
    rect(base, (x0, y, x1, y + 1), colour)


def text(base, xy, string, face, colour, tracking=0.0, anchor="la"):
    draw = ImageDraw.Draw(base)
    x, y = xy[0] * K, xy[1] * K
    if not tracking:
        draw.text((x, y), string, font=face, fill=colour, anchor=anchor)
        return
    if anchor[0] == "m":
        x -= text_width(string, face, tracking) * K / 2
    for ch in string:
        draw.text((x, y), ch, font=face, fill=colour, anchor="l" + anchor[1])
        x += face.getlength(ch) + tracking * K


def length(face, string):
    """A text's width in 100 % pixels."""
    return face.getlength(string) / K


def text_width(string, face, tracking=0.0):
    return length(face, string) + tracking * max(0, len(string) - 1)


def wrap(string, face, width):
    lines, line = [], ""
    for word in string.split():
        trial = f"{line} {word}".strip()
        if line and length(face, trial) > width:
            lines.append(line)
            line = word
        else:
            line = trial
    return lines + ([line] if line else [])


def crop(image, origin, size):
    x, y = origin
    return image.crop((px(x), px(y), px(x) + px(size[0]), px(y) + px(size[1])))


# ---------------------------------------------------------------- the mark

def draw_mark(base, origin, size, left=ON_DARK, right=TEAL, grow=0.0):
    """The Vestrel mark: a V drawn as a tick whose long stroke sweeps up like a wing."""
    ox, oy = origin
    s = size / 100.0

    def p(x, y):
        return (ox + x * s, oy + y * s)

    short = [p(8, 42), p(25, 33), p(44, 74), p(38, 90)]
    wing = [p(36, 90), p(84, 8), p(96, 8), p(56, 90)]
    fill(base, polygon_mask(base.size, short, grow), left)
    fill(base, polygon_mask(base.size, wing, grow), right)


def draw_wordmark(base, origin, mark_size, text_size, colour=ON_DARK, tagline=None,
                  tagline_colour=ON_DARK_MUTED):
    x, y = origin
    draw_mark(base, (x, y), mark_size)
    face = font("Inter-SemiBold.otf", text_size)
    tx = x + mark_size + round(mark_size * 0.32)
    text(base, (tx, y + mark_size * 0.5), "Vestrel", face, colour, tracking=-0.2, anchor="lm")
    if tagline:
        small = font("Inter-SemiBold.otf", max(8, round(text_size * 0.4)))
        text(base, (tx + 1, y + mark_size * 0.5 + text_size * 0.62), tagline, small,
             tagline_colour, tracking=1.3, anchor="lt")


# ---------------------------------------------------------------- shared chrome

def header(base, bottom):
    """The navy band that every window carries at its top."""
    width = logical(base)[0]
    band = vgradient(base.size, NAVY_DEEP, NAVY, (0, 0, width, bottom))
    base.paste(band.crop((0, 0, base.size[0], px(bottom))), (0, 0))
    band_mask = Image.new("L", base.size, 0)
    band_mask.paste(255, (0, 0, base.size[0], px(bottom)))
    light = base.copy()
    glow(light, (width * 0.12, -10), width * 0.75, TEAL, 0.10)
    base.paste(light, (0, 0), band_mask)
    hline(base, 0, width, bottom - 1, NAVY_LINE)


def card(base, box, radius=6, border=CARD_BORDER, lift=0.10):
    shadow(base, box, radius, 2.5, lift, (0, 1))
    fill(base, rrect_mask(base.size, box, radius), border)
    x0, y0, x1, y1 = box
    fill(base, rrect_mask(base.size, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1), PAPER)


def list_frame(base, rect):
    """A hairline just outside a check list's own white rectangle."""
    x0, y0, x1, y1 = rect
    fill(base, ring_rrect_mask(base.size, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), 2, 1), CARD_BORDER)


def outline(base):
    """Borderless windows still need an edge against a light desktop."""
    w, h = logical(base)
    fill(base, ring_rrect_mask(base.size, (0, 0, w, h), 0, 1), SHADOW, 0.38)


def heading(base, x, y, title, subtitle=None):
    text(base, (x, y), title, font("Inter-SemiBold.otf", 16), ON_DARK, tracking=-0.1)
    if subtitle:
        text(base, (x, y + 23), subtitle, font("Inter-Regular.otf", 11), ON_DARK_MUTED)


# ---------------------------------------------------------------- backgrounds

def main_background():
    img = new_image(MAIN_SIZE, BODY)
    header(img, MAIN_HEADER_BOTTOM)
    draw_wordmark(img, (17, 13), 24, 21, tagline="PRIVACY CLEANER")

    # Sidebar caption above the action buttons.
    text(img, (18, 96), "ACTIONS", font("Inter-SemiBold.otf", 8), INK_MUTED, tracking=1.3)

    # The check list sits on a white card.
    lx0, ly0, lx1, ly1 = MAIN_LIST
    card(img, (lx0 - 4, ly0 - 4, lx1 + 4, ly1 + 4))

    # Statistics: a calm strip with an accent edge; the program writes black Tahoma over it.
    strip = (12, 360, 358, 399)
    fill(img, rrect_mask(img.size, strip, 5), hexrgb("f7f9fb"))
    fill(img, ring_rrect_mask(img.size, strip, 5, 1), BODY_LINE)
    fill(img, rrect_mask(img.size, (12, 360, 15, 399), 1.5), TEAL_DEEP)

    # Footer with the window's commands.
    hline(img, 0, MAIN_SIZE[0], 404, BODY_LINE)
    outline(img)
    return img


def progress_background():
    img = new_image(MAIN_SIZE, BODY)
    header(img, 70)
    draw_mark(img, (20, 21), 26)
    heading(img, 58, 14, "Erase selected items", "Press Erase to start; each item is ticked when done.")

    card(img, (20, 78, 350, 397))
    list_frame(img, PROGRESS_LIST)
    x, y, w, h = PROGRESS_BAR
    fill(img, ring_rrect_mask(img.size, (x - 1, y - 1, x + w + 1, y + h + 1), 2, 1), CARD_BORDER)
    outline(img)
    return img


def result_background():
    img = new_image(DIALOG_SIZE, BODY)
    header(img, 64)
    draw_done_badge(img, (20, 18), 28)
    heading(img, 60, 14, "Erase complete", "Here is what this run removed.")
    card(img, (14, 86, 286, 166))
    fill(img, rrect_mask(img.size, (14, 86, 17, 166), 1.5), TEAL_DEEP)
    outline(img)
    return img


def lead_in_paragraph(label, rest, strong, body, width):
    """Lines of a paragraph that starts with a bold label: [(x offset, text, face)]."""
    lead = length(strong, label + " ")
    words, first = rest.split(), ""
    while words and length(body, f"{first} {words[0]}".strip()) <= width - lead:
        first = f"{first} {words.pop(0)}".strip()
    lines = [(0, label, strong), (lead, first, body)]
    return lines, [(0, line, body) for line in wrap(" ".join(words), body, width)]


def close_prompt_background():
    img = new_image(DIALOG_SIZE, BODY)
    header(img, 64)
    draw_mark(img, (20, 19), 26)
    heading(img, 60, 14, "Close Vestrel?", "Or let it keep working from the tray.")

    body = font("Inter-Regular.otf", 11)
    strong = font("Inter-SemiBold.otf", 11)
    line_height, gap, left, width = 17, 10, 36, 240
    paragraphs = [lead_in_paragraph(label, rest, strong, body, width) for label, rest in (
        ("Minimize it", "keeps Vestrel in the notification area, so scheduled erasing goes on."),
        ("Close it", "quits Vestrel until you start it again."))]
    height = sum(line_height * (1 + len(more)) for _, more in paragraphs) + gap
    y = 64 + (183 - 64 - height) // 2
    for first, more in paragraphs:
        fill(img, ellipse_mask(img.size, (24, y + 4, 29, y + 9)), TEAL_DEEP)
        for dx, words, face in first:
            text(img, (left + dx, y), words, face, INK if face is strong else INK_MUTED)
        for _, words, face in more:
            y += line_height
            text(img, (left, y), words, face, INK_MUTED)
        y += line_height + gap
    hline(img, 0, DIALOG_SIZE[0], 183, BODY_LINE)
    outline(img)
    return img


def loader_background():
    w, h = DIALOG_SIZE
    img = vgradient(phys(DIALOG_SIZE), NAVY, NAVY_DEEP)
    glow(img, (40, 40), 260, TEAL, 0.16)
    glow(img, (300, 260), 200, hexrgb("3a5d8f"), 0.18)
    draw_mark(img, (22, 52), 40)
    text(img, (70, 72), "Vestrel", font("Inter-SemiBold.otf", 34), ON_DARK, tracking=-0.4, anchor="lm")
    text(img, (72, 100), "PRIVACY CLEANER", font("Inter-SemiBold.otf", 9), ON_DARK_MUTED,
         tracking=1.6)
    hline(img, 70, 270, 140, NAVY_LINE)
    text(img, (70, 222), "Version 4.0", font("Inter-Regular.otf", 9), ON_DARK_MUTED)
    fill(img, ring_rrect_mask(img.size, (0, 0, w, h), 0, 1), NAVY_LINE)
    return img


# ---------------------------------------------------------------- buttons

def push_button(hover):
    """84 x 25 face; the program writes its black caption centred on it."""
    img = new_image(BUTTON_SIZE, BODY)
    w, h = BUTTON_SIZE
    box = (0, 0, w, h - 1)
    fill(img, rrect_mask(img.size, (0, 1, w, h), 4), SHADOW, 0.08)
    border = TEAL_DEEP if hover else FACE_BORDER
    top, bottom = (TEAL_TINT_TOP, TEAL_TINT_BOTTOM) if hover else (FACE_TOP, FACE_BOTTOM)
    fill(img, rrect_mask(img.size, box, 4), border)
    fill(img, rrect_mask(img.size, (1, 1, w - 1, h - 2), 3), vgradient(img.size, top, bottom,
                                                                       (0, 1, w, h - 2)))
    hline(img, 3, w - 3, 1, mix(top, (255, 255, 255), 0.5) if not hover else top)
    return img


def push_button_mask():
    """The push button's outline as a mask: black keeps the face, white lets the window behind show."""
    img = new_image(BUTTON_SIZE, (255, 255, 255))
    w, h = BUTTON_SIZE
    inside = rrect_mask(img.size, (0, 0, w, h - 1), 4).point(lambda v: 255 if v >= 128 else 0)
    img.paste((0, 0, 0), (0, 0), inside)
    return img


def title_button(background, origin, glyph, hover):
    img = crop(background, origin, TITLE_BUTTON_SIZE)
    colour = hexrgb("c4d0dd")
    if hover:
        face = DANGER if glyph == "close" else mix(NAVY_RAISED, ON_DARK, 0.12)
        fill(img, rrect_mask(img.size, (2, 2, 18, 18), 4), face)
        colour = hexrgb("fbfcfd")
    if glyph == "close":
        for a, b in (((6.5, 6.5), (13.5, 13.5)), ((13.5, 6.5), (6.5, 13.5))):
            fill(img, polyline_mask(img.size, [a, b], 1.4), colour)
    else:
        rect(img, (6, 10, 14, 11), colour)
    return img


def tab_icon(img, page, colour, accent, cx, cy):
    size = img.size
    if page == "ie":
        r = 9.5
        fill(img, ring_mask(size, (cx - r, cy - r, cx + r, cy + r), 1.5), colour)
        fill(img, ring_mask(size, (cx - 4.2, cy - r, cx + 4.2, cy + r), 1.4), accent)
        fill(img, polyline_mask(size, [(cx - r + 1, cy), (cx + r - 1, cy)], 1.3, False), colour)
        for dy in (-4.8, 4.8):
            half = (r * r - dy * dy) ** 0.5 - 1.2
            fill(img, polyline_mask(size, [(cx - half, cy + dy), (cx + half, cy + dy)], 1.2, False),
                 colour)
    elif page == "windows":
        pane, gap = 8.5, 2
        left, top = cx - pane - gap / 2, cy - pane - gap / 2
        for i, (dx, dy) in enumerate(((0, 0), (1, 0), (0, 1), (1, 1))):
            x0, y0 = left + dx * (pane + gap), top + dy * (pane + gap)
            fill(img, rrect_mask(size, (x0, y0, x0 + pane, y0 + pane), 1.8),
                 accent if i == 1 else colour)
    else:
        # An application box seen from above the front corner, its lid taped down.
        top_face = [(cx, cy - 10), (cx + 9.5, cy - 5), (cx, cy), (cx - 9.5, cy - 5)]
        outline = [(cx, cy - 10), (cx + 9.5, cy - 5), (cx + 9.5, cy + 5.5), (cx, cy + 10.5),
                   (cx - 9.5, cy + 5.5), (cx - 9.5, cy - 5), (cx, cy - 10)]
        fill(img, polygon_mask(size, top_face), colour, 0.28)
        fill(img, polyline_mask(size, outline, 1.5), colour)
        fill(img, polyline_mask(size, [(cx - 9.5, cy - 5), (cx, cy), (cx + 9.5, cy - 5)], 1.5),
             colour)
        fill(img, polyline_mask(size, [(cx, cy), (cx, cy + 10.5)], 1.5), colour)
        fill(img, polyline_mask(size, [(cx - 4.8, cy - 7.5), (cx + 4.8, cy - 2.5)], 2.0), accent)


def tab(background, page, selected):
    img = crop(background, MAIN_TABS[page], TAB_SIZE)
    w, h = TAB_SIZE
    colour, accent = ON_DARK_MUTED, ON_DARK_MUTED
    if selected:
        fill(img, rrect_mask(img.size, (0, 0, w, h + 6), 7), ON_DARK, 0.08)
        fill(img, rrect_mask(img.size, (22, h - 3, w - 22, h + 3), 2), TEAL)
        colour, accent = ON_DARK, TEAL
    tab_icon(img, page, colour, accent, w / 2, h / 2 - 1)
    return img


def logo(background, hover):
    img = crop(background, MAIN_LOGO, LOGO_SIZE)
    # The logo's own card lines up with the action buttons above it.
    box = (12, 6, 96, 66)
    if hover:
        fill(img, rrect_mask(img.size, box, 6), TEAL_DEEP)
        fill(img, rrect_mask(img.size, (13, 7, 95, 65), 5),
             vgradient(img.size, TEAL_TINT_TOP, TEAL_TINT_BOTTOM, (0, 7, 109, 65)))
    else:
        fill(img, ring_rrect_mask(img.size, box, 6, 1), BODY_LINE)
        fill(img, rrect_mask(img.size, (13, 7, 95, 65), 5), hexrgb("f6f8fa"))
    draw_mark(img, (40, 13), 28, left=NAVY, right=TEAL_DEEP)
    text(img, (54, 47), "Vestrel", font("Inter-SemiBold.otf", 12), INK, anchor="mm")
    text(img, (54, 59), "Visit website", font("Inter-Medium.otf", 8),
         TEAL_DEEP if hover else INK_MUTED, anchor="mm")
    return img


# ---------------------------------------------------------------- check boxes

def check_box(state):
    """13 x 13 box for the main lists; the list draws it on its white rows."""
    img = new_image((13, 13), CARD)
    box = (0, 0, 13, 13)
    if state == "off":
        fill(img, rrect_mask(img.size, box, 3), BOX_BORDER)
        fill(img, rrect_mask(img.size, (1, 1, 12, 12), 2), BOX_FILL)
        return img
    fill(img, rrect_mask(img.size, box, 3), vgradient(img.size, hexrgb("14a595"), TEAL_DEEP))
    if state == "on":
        fill(img, polyline_mask(img.size, [(3.4, 6.8), (5.6, 9.0), (9.8, 4.2)], 1.7),
             hexrgb("f7fffe"))
    else:
        rect(img, (3, 6, 10, 8), hexrgb("f7fffe"))
    return img


def step_mark(done):
    """15 x 15 marks of the progress list: an empty ring while pending, a tick when done."""
    img = new_image((15, 15), CARD)
    if done:
        fill(img, ellipse_mask(img.size, (0, 0, 15, 15)), TEAL_DEEP)
        fill(img, polyline_mask(img.size, [(4.2, 7.8), (6.5, 10.0), (10.8, 5.2)], 1.7),
             hexrgb("f7fffe"))
    else:
        fill(img, ring_mask(img.size, (0.5, 0.5, 14.5, 14.5), 1.3), hexrgb("a3b1c2"))
    return img


def draw_done_badge(base, origin, size):
    x, y = origin
    fill(base, ellipse_mask(base.size, (x, y, x + size, y + size)), TEAL)
    s = size / 28.0
    fill(base, polyline_mask(base.size, [(x + 8 * s, y + 14.5 * s), (x + 12.2 * s, y + 18.5 * s),
                                         (x + 20 * s, y + 9.8 * s)], 2.6 * s), NAVY_DEEP)


# ---------------------------------------------------------------- icons

def icon_image(size, tray):
    """RGBA artwork: the mark on a navy tile; the tray variant fills more of the tile."""
    big = Image.new("RGB", (size, size), NAVY)
    tile = (0, 0, size, size) if size <= 16 else (size * 0.03, size * 0.03, size * 0.97, size * 0.97)
    radius = size * 0.22
    base = vgradient(big.size, NAVY_RAISED, NAVY_DEEP)
    glow(base, (size * 0.2, 0), size * 1.0, TEAL, 0.18)
    inset = 0.1 if size <= 16 else 0.13 if tray else 0.18
    mark = size * (1 - 2 * inset)
    grow = 0.45 if size <= 16 else 0.3 if size <= 32 else 0.0
    draw_mark(base, (size * inset, size * (inset + 0.02)), mark, grow=grow)
    alpha = rrect_mask(big.size, tile, radius)
    rgba = base.convert("RGBA")
    rgba.putalpha(alpha)
    return rgba


def ico_bytes(images):
    """An .ico with 32-bit DIB entries below 256 px and a PNG entry at 256 px."""
    entries, blobs = [], []
    for img in images:
        size = img.size[0]
        if size >= 256:
            out = io.BytesIO()
            img.save(out, "PNG", optimize=True)
            blob = out.getvalue()
        else:
            header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
            pixels = bytearray()
            for y in range(size - 1, -1, -1):
                for x in range(size):
                    r, g, b, a = img.getpixel((x, y))
                    pixels += bytes((b, g, r, a))
            stride = ((size + 31) // 32) * 4
            mask = bytearray()
            for y in range(size - 1, -1, -1):
                row = bytearray(stride)
                for x in range(size):
                    if img.getpixel((x, y))[3] == 0:
                        row[x // 8] |= 0x80 >> (x % 8)
                mask += row
            blob = header + bytes(pixels) + bytes(mask)
        entries.append((size, blob))
        blobs.append(blob)
    offset = 6 + 16 * len(entries)
    out = struct.pack("<HHH", 0, 1, len(entries))
    for size, blob in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


# ---------------------------------------------------------------- the resource set

ICON_SIZES = (16, 32, 48, 256)


# Each entry: (id, macro, file name, size, what it is, image). The ids are the ones the program loads.
def build_all():
    main = main_background()
    bitmaps = [
        (141, "IDB_CHECK_CHECKED", "check_checked", (13, 13), "main lists: checked",
         check_box("on")),
        (142, "IDB_CHECK_MIXED", "check_mixed", (13, 13), "main lists: partly checked",
         check_box("mixed")),
        (143, "IDB_CHECK_UNCHECKED", "check_unchecked", (13, 13), "main lists: unchecked",
         check_box("off")),
        (144, "IDB_MAIN_BACKGROUND", "main_background", (370, 450), "main window", main),
        (145, "IDB_TAB_WINDOWS_SELECTED", "tab_windows_selected",
         (76, 33), "Windows tab: current page, hover, pressed", tab(main, "windows", True)),
        (146, "IDB_TAB_APPLICATIONS", "tab_applications", (76, 33), "Applications tab",
         tab(main, "apps", False)),
        (147, "IDB_TAB_IE_SELECTED", "tab_ie_selected",
         (76, 33), "Internet Explorer tab: current page, hover, pressed",
         tab(main, "ie", True)),
        (148, "IDB_TAB_IE", "tab_ie", (76, 33), "Internet Explorer tab", tab(main, "ie", False)),
        (149, "IDB_TAB_APPLICATIONS_SELECTED", "tab_applications_selected",
         (76, 33), "Applications tab: current page, hover, pressed", tab(main, "apps", True)),
        (150, "IDB_TAB_WINDOWS", "tab_windows", (76, 33), "Windows tab",
         tab(main, "windows", False)),
        (151, "IDB_BUTTON", "button", (84, 25), "push button face (also disabled)",
         push_button(False)),
        (152, "IDB_BUTTON_HOVER", "button_hover", (84, 25), "push button face: hover and pressed",
         push_button(True)),
        (154, "IDB_PROGRESS_BACKGROUND", "progress_background", (370, 450), "erase progress dialog",
         progress_background()),
        (155, "IDB_PROGRESS_CHECK_DONE", "progress_check_done",
         (15, 15), "progress list: item erased", step_mark(True)),
        (156, "IDB_PROGRESS_CHECK_PENDING", "progress_check_pending",
         (15, 15), "progress list: item waiting", step_mark(False)),
        (158, "IDB_LOGO_HOVER", "logo_hover", (109, 71), "logo button: hover and pressed",
         logo(main, True)),
        (159, "IDB_LOGO", "logo", (109, 71), "logo button", logo(main, False)),
        (165, "IDB_LOADER_BACKGROUND", "loader_background", (300, 240), "start-up loader screen",
         loader_background()),
        (167, "IDB_TITLE_MINIMIZE_HOVER", "title_minimize_hover",
         (20, 20), "title-bar minimise: hover and pressed",
         title_button(main, MAIN_MINIMIZE, "min", True)),
        (168, "IDB_TITLE_CLOSE", "title_close", (20, 20), "title-bar close",
         title_button(main, MAIN_CLOSE, "close", False)),
        (169, "IDB_TITLE_CLOSE_HOVER", "title_close_hover",
         (20, 20), "title-bar close: hover and pressed",
         title_button(main, MAIN_CLOSE, "close", True)),
        (170, "IDB_TITLE_MINIMIZE", "title_minimize", (20, 20), "title-bar minimise",
         title_button(main, MAIN_MINIMIZE, "min", False)),
        (172, "IDB_CLOSE_PROMPT_BACKGROUND", "close_prompt_background", (300, 240), "close prompt",
         close_prompt_background()),
        (175, "IDB_RESULT_BACKGROUND", "result_background", (300, 240), "erase result dialog",
         result_background()),
        (180, "IDB_BUTTON_MASK", "button_mask", (84, 25), "push button shape for a masked face",
         push_button_mask()),
    ]
    if K != 1:
        return bitmaps, []  # the icons carry every size they need at 100 %
    icons = [
        (128, "IDI_PROGRAM", "program", ICON_SIZES, "program icon",
         [icon_image(s, False) for s in ICON_SIZES]),
        (160, "IDI_TRAY", "tray", ICON_SIZES, "notification area icon",
         [icon_image(s, True) for s in ICON_SIZES]),
    ]
    return bitmaps, icons


def write_if_changed(path, data):
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def bmp_bytes(img):
    out = io.BytesIO()
    img.convert("RGB").save(out, "BMP")
    return out.getvalue()


def describe(size):
    """A bitmap's size is (width, height); an icon's is the list of its square images."""
    if len(size) == 2:
        return f"{size[0]} x {size[1]}"
    return "/".join(str(px) for px in size) + " px"


def check_sizes(bitmaps, icons):
    """The program copies these at their own size over fixed places, so a wrong size is a bug."""
    for num, _, name, size, _, img in bitmaps:
        if img.size != phys(size) or img.mode != "RGB":
            sys.exit(f"make_skin: bitmap {num} ({name}) is {img.mode} {img.size}, wants RGB {phys(size)}")
    for num, _, name, sizes, _, images in icons:
        if tuple(img.size[0] for img in images) != sizes:
            sys.exit(f"make_skin: icon {num} ({name}) has the wrong image sizes")


def ids_header(bitmaps, icons):
    lines = ["#pragma once", "",
             "// Skin bitmaps and icons. Generated by tools/make_skin.py together with skin.rc.", ""]
    entries = sorted(bitmaps + icons, key=lambda e: e[0])
    width = max(len(e[1]) for e in entries) + 1
    for num, macro, _, size, what, _ in entries:
        lines.append(f"#define {macro:<{width}}{num:<4} // {describe(size)}, {what}")
    return "\n".join(lines) + "\n"


def set_suffix(scale):
    return f"_{round(scale * 100)}"


def resource_script(bitmaps, icons):
    lines = ["// Skin bitmaps and icons. Generated by tools/make_skin.py; ids from skin_ids.h.", ""]
    entries = [(e[0], e[1], "BITMAP", f"skin/{e[2]}.bmp") for e in bitmaps]
    entries += [(e[0], e[1], "ICON", f"skin/{e[2]}.ico") for e in icons]
    width = max(len(e[1]) for e in entries) + 1
    for _, macro, kind, path in sorted(entries, key=lambda e: e[0]):
        lines.append(f"{macro:<{width}}{kind:<7}\"{path}\"")
    for step, scale in enumerate(SCALES[1:], 1):
        lines += ["", f"// Drawn for {round(scale * 100)} %: the 100 % id + {step * SET_ID_STEP}."]
        for num, _, name, _, _, _ in sorted(bitmaps, key=lambda e: e[0]):
            lines.append(f"{num + step * SET_ID_STEP:<{width}}BITMAP \"skin/{name}{set_suffix(scale)}.bmp\"")
    return "\n".join(lines) + "\n"


def write_scaled(bitmaps, scale):
    check_sizes(bitmaps, [])
    for entry in bitmaps:
        write_if_changed(os.path.join(OUT_DIR, entry[2] + set_suffix(scale) + ".bmp"), bmp_bytes(entry[-1]))


def write_outputs(bitmaps, icons):
    check_sizes(bitmaps, icons)
    os.makedirs(OUT_DIR, exist_ok=True)
    for entry in bitmaps:
        write_if_changed(os.path.join(OUT_DIR, entry[2] + ".bmp"), bmp_bytes(entry[-1]))
    for entry in icons:
        write_if_changed(os.path.join(OUT_DIR, entry[2] + ".ico"), ico_bytes(entry[-1]))
    res = os.path.dirname(OUT_DIR)
    write_if_changed(os.path.join(res, "skin_ids.h"), ids_header(bitmaps, icons).encode())
    write_if_changed(os.path.join(res, "skin.rc"), resource_script(bitmaps, icons).encode())


# ---------------------------------------------------------------- preview

def preview(bitmaps, icons, path):
    from skin_preview import compose
    compose({entry[0]: entry[-1] for entry in bitmaps},
            {entry[0]: entry[-1] for entry in icons}).save(path)


def main():
    parser = argparse.ArgumentParser(description="Draw Vestrel's skin bitmaps and icons.")
    parser.add_argument("--preview", metavar="PNG", help="also compose a preview of every screen")
    args = parser.parse_args()
    global K
    for scale in SCALES[1:]:
        K = scale
        write_scaled(build_all()[0], scale)
    K = 1
    bitmaps, icons = build_all()
    write_outputs(bitmaps, icons)
    if args.preview:
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        preview(bitmaps, icons, args.preview)


if __name__ == "__main__":
    main()
