"""The erase progress and result dialogs, the close prompt and the loader screen, driven from outside as a
user would: real clicks at the buttons' places, real files erased in the sandbox, the results the dialogs
end with. With VESTREL_SCREENSHOTS set to a folder, each screen is saved there as a PNG."""
import os
import shutil
import subprocess
import time

import desktop

FOLDER = "e2e-erase-dialogs"
ITEMS = [  # file, id, name, selected
    ("1.aep", "cache", "Temporary Internet Files", True),
    ("2.aep", "cookies", "Cookies", True),
    ("3.aep", "history", "History", False),
    ("4.aep", "recent", "Recent Documents", True),
    ("5.aep", "temp", "Temporary Folder", True),
]


def plugin_text(item_id, name):
    return ('<?xml version="1.0" encoding="UTF-8"?>\r\n<plugin><head>e2e</head><body>'
            f"<descript>{name}</descript><id>{item_id}</id><type>windows</type>"
            "<command>delete-file</command><parameters>"
            f'<parameters windows-version="otherwise"><item>S:\\{FOLDER}\\{item_id}\\*.tmp</item></parameters>'
            "</parameters></body></plugin>\r\n")


def prepare(root, nothing_selected=False):
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(os.path.join(root, "plugin"))
    lines = ['<?xml version="1.0"?>', "<vestrel-config>", "    <erase-items>"]
    for file_name, item_id, name, selected in ITEMS:
        selected = selected and not nothing_selected
        with open(os.path.join(root, "plugin", file_name), "w", newline="") as out:
            out.write(plugin_text(item_id, name))
        os.makedirs(os.path.join(root, item_id))
        for n in range(3):
            with open(os.path.join(root, item_id, f"{n}.tmp"), "wb") as out:
                out.write(b"x" * 1024 * (n + 1))
        lines.append(f"        <{item_id}>{'true' if selected else 'false'}</{item_id}>")
    lines += ["    </erase-items>", "</vestrel-config>", ""]
    with open(os.path.join(root, "vestrel.conf"), "w", newline="") as out:
        out.write("\r\n".join(lines))


def erased(root, item_id):
    return not os.listdir(os.path.join(root, item_id))


def save(window, name):
    folder = os.environ.get("VESTREL_SCREENSHOTS")
    if not folder:
        return
    x, y, width, height = window.geometry()
    path = os.path.join(folder, f"{name}.png")
    desktop.screenshot(path)
    subprocess.run(["convert", path, "-crop", f"{width}x{height}+{x}+{y}", "+repage", path], check=True)


def move_mouse_away():
    """Off every window, so that no button shows its hover face or tooltip."""
    desktop.xdotool("mousemove", "--sync", 5, 1000)


def wait_size(window, size):
    desktop.poll(lambda: window.geometry()[2:] == size, 10, f"a {size[0]} x {size[1]} window")


def show(helper, *args):
    return desktop.Program(helper, *args)


def pixels(window, box):
    """The window's pixels in box (x, y, width, height), to tell whether that part was painted anew."""
    left, top, _, _ = window.geometry()
    x, y, width, height = box
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    return subprocess.run(["convert", "xwd:-", "-crop", f"{width}x{height}+{left + x}+{top + y}", "rgb:-"],
                          input=xwd, check=True, capture_output=True).stdout


STATUS = (30, 345, 320, 40)
SHOW_FILES = (35 + 42, 410 + 12)
ERASE = (143 + 42, 410 + 12)
CANCEL = (251 + 42, 410 + 12)
FIRST_ROW = (120, 92)


def check_show_files(window):
    """Show Files lists the selected row's files; a double click on a row does the same."""
    for open_list in (lambda: window.click(*SHOW_FILES), lambda: double_click(window, *FIRST_ROW)):
        open_list()
        files = desktop.wait_window("Vestrel - Show Files", 10)
        move_mouse_away()
        time.sleep(0.5)
        save(files, "show-files")
        files.key("Escape")
        desktop.wait_no_window("Vestrel - Show Files")


def double_click(window, x, y):
    left, top, _, _ = window.geometry()
    desktop.xdotool("mousemove", "--sync", left + x, top + y)
    desktop.xdotool("click", "--repeat", "2", "--delay", "80", "1")


def check_progress_run(helper, root):
    """A run stopped half way: Escape asks first and "No" goes on; Stop ends it after the entry being
    erased, the items not begun stay and are recorded as not reached."""
    program = show(helper, "progress", f"S:\\{FOLDER}")
    try:
        window = desktop.wait_window("Vestrel Erase")
        wait_size(window, (370, 450))
        move_mouse_away()
        time.sleep(1.5)  # the first paint, the counts, and any tooltip gone
        save(window, "progress-preview")
        check_show_files(window)
        ready = pixels(window, STATUS)
        window.click(*ERASE)
        desktop.poll(lambda: erased(root, "cache"), 20, "the first item erased")
        # The run goes on while the dialog paints: the status line changes before the run ends.
        desktop.poll(lambda: pixels(window, STATUS) != ready, 5, "the status line painted during the run")
        window.click(*CANCEL)  # Cancel has nothing to do during a run
        window.key("Escape")
        question = desktop.wait_window("Vestrel", 10)
        question.key("n")
        desktop.wait_no_window("Vestrel")
        assert not erased(root, "temp"), "the run ended before the test could give its input"
        move_mouse_away()
        time.sleep(0.3)
        save(window, "progress-running")
        window.click(*ERASE)  # now Stop
        result = desktop.wait_window("Vestrel Erase Result", 30)
        wait_size(result, (300, 240))
        move_mouse_away()
        time.sleep(1)
        save(result, "result-stopped")
        result.key("Escape")  # the result has the focus
        assert program.wait_exit(30) == 1, "the progress dialog ends with OK after a run"
    finally:
        program.kill()
    assert erased(root, "cache") and not erased(root, "temp"), "stopped before the last item"
    assert not erased(root, "history"), "an item not selected is never erased"
    with open(os.path.join(root, "vestrel.log"), newline="") as log:
        lines = [line.split("]", 1)[1] for line in log.read().split("\r\n") if line]
    assert lines[0] == "Temporary Internet Files done...", lines
    # Stopped in the pause before the last item, or at its start: either way nothing of it went.
    assert lines[-1] in ("Temporary Folder not reached", "Temporary Folder stopped"), lines


def check_cancel(helper, root):
    for leave, expected in ((lambda window: window.click(*CANCEL), 1), (lambda window: window.key("Escape"), 2)):
        program = show(helper, "progress", f"S:\\{FOLDER}")
        try:
            window = desktop.wait_window("Vestrel Erase")
            wait_size(window, (370, 450))
            leave(window)
            assert program.wait_exit(30) == expected
        finally:
            program.kill()
        assert not any(erased(root, item_id) for _, item_id, _, _ in ITEMS), "Cancel and Escape erase nothing"
    assert not os.path.exists(os.path.join(root, "vestrel.log"))


def check_nothing_selected(helper, root):
    prepare(root, nothing_selected=True)
    program = show(helper, "progress", f"S:\\{FOLDER}")
    try:
        window = desktop.wait_window("Vestrel Erase")
        wait_size(window, (370, 450))
        window.click(*ERASE)
        time.sleep(1)
        assert program.running(), "with nothing selected Erase ran and ended the dialog"
        window.key("Return")  # the focus is on Cancel, which Enter presses
        assert program.wait_exit(30) == 1
    finally:
        program.kill()
    assert not os.path.exists(os.path.join(root, "vestrel.log")), "an empty run was recorded"


def check_failures(helper, root, scale=1):
    """An item aimed at a drive root is refused: the result says what was left and lists it. Scaled, the
    dialogs and the places of their buttons grow with the DPI."""
    prepare(root)
    with open(os.path.join(root, "plugin", "6.aep"), "w", newline="") as out:
        out.write(plugin_text("root", "Drive Root").replace(f"{FOLDER}\\root\\", ""))
    suffix = "" if scale == 1 else f"-{round(scale * 100)}"
    program = show(helper, "progress", f"S:\\{FOLDER}")
    try:
        window = desktop.wait_window("Vestrel Erase")
        wait_size(window, (round(370 * scale), round(450 * scale)))
        if scale != 1:
            move_mouse_away()
            time.sleep(1.5)
            save(window, f"progress-preview{suffix}")
        window.key("Return")  # Enter erases
        result = desktop.wait_window("Vestrel Erase Result", 60)
        wait_size(result, (round(300 * scale), round(240 * scale)))
        move_mouse_away()
        time.sleep(1)
        save(result, f"result-failures{suffix}")
        result.click(round((179 + 42) * scale), round((192 + 12) * scale))  # Details
        details = desktop.wait_window("Vestrel - What Was Left", 10)
        time.sleep(0.5)
        save(details, f"result-details{suffix}")
        details.key("Return")
        desktop.wait_no_window("Vestrel - What Was Left")
        result.click(round((63 + 42) * scale), round((192 + 12) * scale))  # Close, beside Details
        assert program.wait_exit(30) == 1
    finally:
        program.kill()
    assert erased(root, "cache")


def check_close_prompt(helper):
    for x, expected in ((63 + 42, 2), (179 + 42, 1)):  # "Minimize it" gives IDCANCEL, "Close it" IDOK
        program = show(helper, "close-prompt")
        try:
            window = desktop.wait_window("Close Vestrel")
            wait_size(window, (300, 240))
            if expected == 1:
                move_mouse_away()
                time.sleep(1)
                save(window, "close-prompt")
            window.click(x, 195 + 12)
            assert program.wait_exit(30) == expected
        finally:
            program.kill()


def check_loader(helper):
    program = show(helper, "loader")
    try:
        window = desktop.wait_window("Vestrel Loading")
        started = time.monotonic()
        wait_size(window, (300, 240))
        time.sleep(2.2)  # about half way
        save(window, "loader")
        assert program.wait_exit(30) == 1, "the loader ends itself with OK"
        assert time.monotonic() - started >= 3.5
    finally:
        program.kill()


def check_result(helper):
    program = show(helper, "result", "85166080", "2311", "57")
    try:
        window = desktop.wait_window("Vestrel Erase Result")
        wait_size(window, (300, 240))
        move_mouse_away()
        save(window, "result")
        window.key("Return")
        assert program.wait_exit(30) == 1, "Enter closes the result"
    finally:
        program.kill()


def test(args):
    helper = os.path.join(args.tests_bin, "show_dialog.exe")
    root = os.path.join(desktop.wine_environment()["VESTREL_SANDBOX"], FOLDER)
    prepare(root)
    check_cancel(helper, root)
    check_progress_run(helper, root)
    check_failures(helper, root)
    check_nothing_selected(helper, root)
    check_close_prompt(helper)
    check_loader(helper)
    check_result(helper)
    try:
        desktop.set_log_pixels(192)
        check_failures(helper, root, 2)
    finally:
        desktop.set_log_pixels(96)
    shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    desktop.run(test)
