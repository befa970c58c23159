"""The help button and F1 open Vestrel.chm in the help viewer, whose window takes the help file's title."""
import os
import subprocess
import time

import desktop

HELP_TITLE = "Vestrel Help"  # the Title of help/Vestrel.hhp
HELP_BUTTON = (11 + 42, 412 + 12)  # the middles of the main window's "help" and "Close" buttons
CLOSE_BUTTON = (185 + 42, 412 + 12)
CLOSE_IT = (179 + 42, 195 + 12)  # the close prompt's "Close it"


def press_keys(window, *keys):
    """Keys for this window only: a key sent before the focus has moved would go to the previous one."""
    subprocess.run(["xdotool", "windowfocus", "--sync", window.xid], timeout=10, check=True,
                   capture_output=True)
    desktop.xdotool("key", *keys)


def wait_viewer():
    """The viewer's window once it has stayed up for a second: it can blink out while it starts."""
    since = []

    def settled():
        windows = desktop.find_windows(HELP_TITLE)
        if not windows:
            since.clear()
            return None
        since.append(time.monotonic())
        return windows[0] if since[-1] - since[0] >= 1 else None
    return desktop.poll(settled, 60, f"a window titled {HELP_TITLE!r} that stays")


def open_and_close_help(press):
    press()
    press_keys(wait_viewer(), "alt+F4")
    desktop.wait_no_window(HELP_TITLE)


def loader_gone():
    return not any(window.geometry()[2:] == (300, 240) for window in desktop.program_windows())


def test(args):
    assert os.path.isfile(os.path.join(args.program_dir, "Vestrel.chm")), "the build made no Vestrel.chm"
    assert not desktop.find_windows(HELP_TITLE), "a help window is open already"
    program = desktop.Program(os.path.join(args.program_dir, "Vestrel.exe"))
    try:
        window = desktop.wait_window("Vestrel")
        desktop.poll(loader_gone, 30, "the loader screen to close")  # until then it takes the input
        open_and_close_help(lambda: window.click(*HELP_BUTTON))
        open_and_close_help(lambda: press_keys(window, "F1"))
        window.click(*CLOSE_BUTTON)
        desktop.wait_sized_window(300, 240).click(*CLOSE_IT)
        assert program.wait_exit(30) == 0
    finally:
        program.kill()


if __name__ == "__main__":
    desktop.run(test)
