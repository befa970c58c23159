"""Vestrel starts in the sandbox prefix with one 370 x 450 window titled Vestrel; closing it asks, then ends.
At 150 % and 200 % (the prefix's LogPixels) the window, its statistics and the prompt grow to match."""
import os
import subprocess

import desktop

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def set_log_pixels(dpi):
    env = desktop.wine_environment()
    subprocess.run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                    "/f"], env=env, check=True, capture_output=True)
    # Read again when the next program starts.
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)


def window_pixels(window):
    """(width, rows of (r, g, b)) of what the window shows."""
    x, y, width, height = window.geometry()
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    raw = subprocess.run(["convert", "xwd:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "rgb:-"],
                         input=xwd, check=True, capture_output=True).stdout
    return width, [[tuple(raw[(r * width + c) * 3:(r * width + c) * 3 + 3]) for c in range(width)]
                   for r in range(height)]


def dark_columns(pixels, top, bottom):
    """The columns holding text-dark pixels between the rows top and bottom."""
    width, rows = pixels
    return {c for r in range(top, bottom) for c in range(width) if max(rows[r][c]) < 90}


def start_and_close(program_dir, scale):
    program = desktop.Program(os.path.join(program_dir, "Vestrel.exe"))
    try:
        window = desktop.wait_window("Vestrel")
        assert len(desktop.find_windows("Vestrel")) == 1, "more than one Vestrel window"
        size = (round(370 * scale), round(450 * scale))
        desktop.poll(lambda: window.geometry()[2:] == size, 10, f"a {size[0]} x {size[1]} window")
        # The statistics lines lie inside their panel: text from its left edge, none past its right.
        rows = (round(364 * scale), round(395 * scale))
        desktop.poll(lambda: dark_columns(window_pixels(window), *rows), 10, "the statistics text")
        columns = dark_columns(window_pixels(window), *rows)
        assert min(columns) >= round(20 * scale), f"statistics start at {min(columns)}"
        assert max(columns) < round(356 * scale), f"statistics run to {max(columns)}"
        window.key("alt+F4")
        prompt = desktop.wait_sized_window(round(300 * scale), round(240 * scale))
        prompt.key("Return")  # "Close it"
        desktop.wait_no_window("Vestrel")
        assert program.wait_exit(30) == 0
    finally:
        program.kill()


def test(args):
    start_and_close(args.program_dir, 1)
    try:
        for dpi in (144, 192):
            set_log_pixels(dpi)
            start_and_close(args.program_dir, dpi / 96)
    finally:
        set_log_pixels(96)


if __name__ == "__main__":
    desktop.run(test)
