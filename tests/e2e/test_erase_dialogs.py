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


def prepare(root):
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(os.path.join(root, "plugin"))
    lines = ['<?xml version="1.0"?>', "<vestrel-config>", "    <erase-items>"]
    for file_name, item_id, name, selected in ITEMS:
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


def check_progress_run(helper, root):
    program = show(helper, "progress", f"S:\\{FOLDER}")
    try:
        window = desktop.wait_window("Vestrel Erase")
        wait_size(window, (370, 450))
        move_mouse_away()
        time.sleep(1)  # the first paint, and any tooltip gone
        save(window, "progress-ready")
        window.click(112 + 42, 410 + 12)  # Erase
        desktop.poll(lambda: erased(root, "cookies"), 20, "the second item erased")
        time.sleep(0.3)
        save(window, "progress")
        result = desktop.wait_window("Vestrel Erase Result", 30)
        wait_size(result, (300, 240))
        move_mouse_away()
        time.sleep(1)
        save(result, "result")
        result.click(108 + 42, 192 + 12)  # Close
        assert program.wait_exit(30) == 1, "the progress dialog ends with OK after a run"
    finally:
        program.kill()
    for _, item_id, _, selected in ITEMS:
        assert erased(root, item_id) == selected, f"{item_id}: erased only when selected"
    with open(os.path.join(root, "vestrel.log"), newline="") as log:
        lines = [line.split("]", 1)[1] for line in log.read().split("\r\n") if line]
    assert lines == [f"{name} done..." for _, _, name, selected in ITEMS if selected], lines


def check_cancel(helper, root):
    program = show(helper, "progress", f"S:\\{FOLDER}")
    try:
        window = desktop.wait_window("Vestrel Erase")
        wait_size(window, (370, 450))
        window.click(230 + 42, 410 + 12)  # Cancel
        assert program.wait_exit(30) == 1
    finally:
        program.kill()
    assert not erased(root, "history"), "Cancel erases nothing"


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
    check_close_prompt(helper)
    check_loader(helper)
    check_result(helper)
    shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    desktop.run(test)
