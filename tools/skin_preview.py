"""Puts the skin together the way the program shows it, for looking at it before shipping.

Controls that the program paints itself (check lists, progress bars, captions, statistics) are
imitated here closely enough to judge the contrast and the spacing around them.
"""

from PIL import Image, ImageDraw

import make_skin as skin

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
HIGHLIGHT = (0, 120, 215)
LTGRAY = (192, 192, 192)

# Tahoma 14 px and the dialog font are not on this machine; metric-close stand-ins.
PROGRAM_FONT = ("LiberationSans-Regular.ttf", 12)
LOADER_FONT = ("LiberationSans-Regular.ttf", 15)
CAPTION_FONT = ("DejaVuSans.ttf", 11)


def f(font_args):
    return skin.font(*font_args)


def paste(canvas, img, xy):
    canvas.paste(img, xy)


def button(canvas, img, xy, caption, pressed=False):
    paste(canvas, img, xy)
    if caption:
        x, y = xy
        dx = 1 if pressed else 0
        ImageDraw.Draw(canvas).text((x + 42 + dx, y + 12 + dx), caption, font=f(CAPTION_FONT),
                                    fill=BLACK, anchor="mm")


def check_list(canvas, rect, rows, boxes, cell):
    """rows: (level, state, text, selected); boxes: state -> bitmap."""
    x0, y0, x1, y1 = rect
    canvas.paste(WHITE, rect)
    vx, vy = x0 + 2, y0 + 2
    draw = ImageDraw.Draw(canvas)
    face = f(PROGRAM_FONT)
    for r, (level, state, label, selected) in enumerate(rows):
        top = vy + cell * r + 5
        if top + cell > y1 - 2:
            break
        bx = vx + (level - 1) * cell + 5
        canvas.paste(boxes[state], (bx, top))
        tx = bx + cell
        colour = BLACK
        if selected:
            width = face.getlength(label)
            box = (tx - 4, top, min(tx + width + 5, x1 - 6), top + 16)
            draw.rectangle(box, fill=HIGHLIGHT)
            colour = WHITE
        draw.text((tx, top + 1), label, font=face, fill=colour)


def progress_bar(canvas, rect, fraction):
    x, y, w, h = rect
    canvas.paste(LTGRAY, (x, y, x + w, y + h))
    right = x + int(w * fraction)
    if right <= x:
        return
    n = max(2, h // 2) if h // 2 >= 2 else 1
    start, end = (0, 160, 0), (0, 255, 0)
    step = [int((end[i] - start[i]) / n) for i in range(3)]
    draw = ImageDraw.Draw(canvas)
    for i in range(n + 1):
        colour = tuple((start[c] + i * step[c]) & 0xFF for c in range(3))
        draw.line((x, y + i, right - 1, y + i), fill=colour)
        draw.line((x, y + h - 1 - i, right - 1, y + h - 1 - i), fill=colour)


def lines(canvas, places, strings, font_args=PROGRAM_FONT, colour=BLACK):
    draw = ImageDraw.Draw(canvas)
    for (x, y), s in zip(places, strings):
        draw.text((x, y + 1), s, font=f(font_args), fill=colour)


IE_ROWS = [(1, 2, "Internet Explorer (Select All)", False),
           (2, 1, "Temporary Internet Files", False),
           (2, 1, "Cookies", True),
           (2, 0, "History", False),
           (2, 1, "Address Bar History", False),
           (2, 0, "AutoComplete Forms", False),
           (2, 1, "Index.dat Files", False)]
WIN_ROWS = [(1, 1, "Windows (Select All)", False),
            (2, 1, "Recent Documents", False),
            (2, 1, "Temporary Folder", False),
            (2, 1, "Recycle Bin", False),
            (2, 1, "Run History", False),
            (2, 1, "Network Shortcuts", False)]


def main_window(bm, page, hover):
    canvas = bm[144].copy()
    tabs = {"ie": (148, 147), "windows": (150, 145), "apps": (146, 149)}
    for name, (normal, selected) in tabs.items():
        on = name == page or name == hover.get("tab")
        paste(canvas, bm[selected if on else normal], skin.MAIN_TABS[name])
    paste(canvas, bm[167 if hover.get("min") else 170], skin.MAIN_MINIMIZE)
    paste(canvas, bm[169 if hover.get("close") else 168], skin.MAIN_CLOSE)
    paste(canvas, bm[158 if hover.get("logo") else 159], skin.MAIN_LOGO)
    captions = ["Erase Now", "Option", "Schedule", "Set Default", "Plugin"]
    for i, (xy, caption) in enumerate(zip(skin.MAIN_SIDE_BUTTONS, captions)):
        button(canvas, bm[152 if hover.get("button") == i else 151], xy, caption)
    for i, (xy, caption) in enumerate(zip(skin.MAIN_FOOTER_BUTTONS,
                                          ["help", "About", "Close", "Hide"])):
        button(canvas, bm[152 if hover.get("footer") == i else 151], xy, caption)
    rows = IE_ROWS if page == "ie" else WIN_ROWS
    check_list(canvas, skin.MAIN_LIST, rows, {1: bm[141], 0: bm[143], 2: bm[142]}, 19)
    lines(canvas, skin.MAIN_STATS,
          ["Last Erased: 14:32, Mar/08/26; Registry Keys Erased: 1284",
           "Files Erased: 48211;  Released HD Space: 812 MB; "])
    return canvas


def progress_dialog(bm):
    canvas = bm[154].copy()
    names = ["Temporary Internet Files", "Cookies", "History", "Address Bar History",
             "Recent Documents", "Temporary Folder", "Recycle Bin", "Run History",
             "Network Shortcuts", "Media Player Recent List", "Office Recent Files"]
    rows = [(1, 1 if i < 4 else 0, n, False) for i, n in enumerate(names)]
    check_list(canvas, skin.PROGRESS_LIST, rows, {1: bm[155], 0: bm[156], 2: bm[156]}, 21)
    progress_bar(canvas, skin.PROGRESS_BAR, 4 / 11)
    lines(canvas, skin.PROGRESS_STATUS, ["Status: Ready;  Released HD Space: 0 KB; ",
                                         "Files Erased: 0, Registry Keys Erased: 0"])
    button(canvas, bm[152], skin.PROGRESS_BUTTONS[0], "Erase")
    button(canvas, bm[151], skin.PROGRESS_BUTTONS[1], "Cancel")
    return canvas


def result_dialog(bm):
    canvas = bm[175].copy()
    lines(canvas, skin.RESULT_TEXT, ["Released HD Space: 83164 KB; ", "Files Erased: 2311;",
                                     "Registry Keys Erased: 57"])
    button(canvas, bm[151], skin.RESULT_BUTTON, "Close")
    return canvas


def close_prompt(bm):
    canvas = bm[172].copy()
    button(canvas, bm[151], skin.PROMPT_BUTTONS[0], "Minimize it")
    button(canvas, bm[152], skin.PROMPT_BUTTONS[1], "Close it")
    return canvas


def loader(bm):
    canvas = bm[165].copy()
    lines(canvas, [skin.LOADER_TEXT], ["Load Registry Information"], LOADER_FONT, WHITE)
    progress_bar(canvas, skin.LOADER_BAR, 6 / 8)
    return canvas


def parts_sheet(bm, icons, width):
    """Every small bitmap enlarged, then the icons at their own sizes on light and dark."""
    sheet = Image.new("RGB", (width, 900), (228, 232, 238))
    draw = ImageDraw.Draw(sheet)
    label_font = skin.font("Inter-Medium.otf", 11)
    at = {"x": 12, "y": 10, "row": 0}

    def newline():
        at["x"], at["y"], at["row"] = 12, at["y"] + at["row"] + 26, 0

    def put(img, label, zoom):
        big = img.resize((img.size[0] * zoom, img.size[1] * zoom), Image.NEAREST)
        if at["x"] + big.size[0] > width - 12:
            newline()
        sheet.paste(big, (at["x"], at["y"] + 15))
        draw.text((at["x"], at["y"]), label, font=label_font, fill=(60, 70, 85))
        at["x"] += big.size[0] + 16
        at["row"] = max(at["row"], big.size[1])

    for num in (148, 147, 150, 145, 146, 149):
        put(bm[num], str(num), 2)
    newline()
    for num in (151, 152, 159, 158):
        put(bm[num], str(num), 2)
    newline()
    for num in (141, 142, 143, 155, 156, 170, 167, 168, 169):
        put(bm[num], str(num), 5)
    newline()
    for num, images in icons.items():
        x = at["x"]
        for img in images[:3] + [images[3].resize((128, 128), Image.LANCZOS)]:
            for row, ground in ((0, (228, 232, 238, 255)), (1, (32, 32, 32, 255))):
                back = Image.new("RGBA", img.size, ground)
                back.alpha_composite(img)
                sheet.paste(back.convert("RGB"), (x, at["y"] + 15 + row * 136))
            x += img.size[0] + 8
        draw.text((at["x"], at["y"]), f"icon {num} (16, 32, 48, 256 at half)", font=label_font,
                  fill=(60, 70, 85))
        at["x"] = x + 24
    return sheet.crop((0, 0, width, at["y"] + 15 + 136 * 2))


def compose(bm, icons):
    gap = 24
    shots = [main_window(bm, "ie", {"button": 0}),
             main_window(bm, "windows", {"tab": "apps", "close": True, "logo": True, "footer": 2}),
             progress_dialog(bm)]
    small = [result_dialog(bm), close_prompt(bm), loader(bm)]
    width = gap + sum(s.size[0] + gap for s in shots)
    sheet = parts_sheet(bm, icons, width - 2 * gap)
    height = gap * 4 + 450 + 240 + sheet.size[1]
    canvas = Image.new("RGB", (width, height), (200, 206, 214))
    x = gap
    for s in shots:
        canvas.paste(s, (x, gap))
        x += s.size[0] + gap
    x, y = gap, gap * 2 + 450
    for s in small:
        canvas.paste(s, (x, y))
        x += s.size[0] + gap
    canvas.paste(sheet, (gap, y + 240 + gap))
    return canvas
