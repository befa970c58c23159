"""The help button and F1 open Vestrel.chm in the help viewer."""
import os
import subprocess
import time

import desktop

HELP_TITLE = "Vestrel Help"  # the Title of help/Vestrel.hhp
HELP_BUTTON = (11 + 42, 412 + 12)  # the middles of the main window's "help" and "Close" buttons
CLOSE_BUTTON = (185 + 42, 412 + 12)
CLOSE_IT = (179 + 42, 195 + 12)  # the close prompt's "Close it"


def press_keys(window, *keys, check=True):
    """Keys for this window only: a key sent before the focus has moved would go to the previous one.
    Without check, a window that has gone meanwhile gets nothing."""
    focus = subprocess.run(["xdotool", "windowfocus", "--sync", window.xid], timeout=10, check=check,
                           capture_output=True)
    if focus.returncode == 0:
        desktop.xdotool("key", *keys)


def viewer_running():
    """Whether a help viewer runs on Vestrel.chm: the proof that the program asked for its help."""
    out = subprocess.run(["ps", "-eo", "args"], capture_output=True, text=True, check=True).stdout
    return any(line.startswith("hh.exe ") and line.endswith("\\Vestrel.chm") for line in out.splitlines())


def close_viewer():
    """Alt+F4 to the viewer's window until the viewer has ended. Wine's viewer, without an HTML engine in
    the sandbox, may open its window late, blink it out while it starts, or close by itself; a key sent to
    a window that has just gone would reach Vestrel's, so a window gets it only after a second's stay."""
    seen = {}

    def ended():
        now = time.monotonic()
        for window in desktop.find_windows(HELP_TITLE):
            since = seen.setdefault(window.xid, now)
            if now - since >= 1:
                press_keys(window, "alt+F4", check=False)
                seen[window.xid] = now + 4  # again in five seconds if it is still there
        return not viewer_running()
    desktop.poll(ended, 60, "the help viewer to end")
    desktop.wait_no_window(HELP_TITLE)


def open_and_close_help(press):
    press()
    desktop.poll(viewer_running, 60, "the help viewer to start on Vestrel.chm")
    close_viewer()


def loader_gone():
    return not any(window.geometry()[2:] == (300, 240) for window in desktop.program_windows())


def test(args):
    assert os.path.isfile(os.path.join(args.program_dir, "Vestrel.chm")), "the build made no Vestrel.chm"
    assert not viewer_running(), "a help viewer runs already"
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
