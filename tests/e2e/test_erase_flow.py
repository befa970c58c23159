"""A user's session: loader, main window, untick an item, switch pages, erase, close to the tray, open it
again from the tray's menu, quit; the next start shows the same statistics."""
import os
import shutil
import subprocess
import time

import desktop

PLUGIN = """<?xml version="1.0" encoding="UTF-8"?>
<vestrel-plugin>
    <head>end-to-end test item</head>
    <body>
        <descript>{descript}</descript>
        <id>{id}</id>
        <type>{type}</type>
        <command>delete-directory</command>
        <parameters>
            <parameters windows-version="otherwise"><item>S:\\e2e\\data\\{id}</item></parameters>
        </parameters>
    </body>
</vestrel-plugin>
"""
ITEMS = [("browser_trace", "ie", "Browser Trace"), ("windows_trace", "windows", "Windows Trace"),
         ("app_trace", "application", "App Trace")]
# Six items take six seconds with the pause after each: time for the tray's menu during the run.
SLOW_ITEMS = [(f"slow_{n}", "ie", f"Slow Trace {n}") for n in range(6)]
SETTINGS_KEY = r"HKCU\Software\Vestrel\Setting"

# Window-relative pixel positions of the main window's controls and the first item row of a list.
PAGE_TABS = {1: (149, 68), 2: (229, 68), 3: (309, 68)}
ERASE_NOW = (59, 124)
HIDE = (314, 424)
CLOSE = (227, 424)
FIRST_ITEM_BOX = (151, 130)
PROGRESS_ERASE = (154, 422)
PROMPT_MINIMIZE_IT = (105, 207)
PROMPT_CLOSE_IT = (221, 207)
STATISTICS = (20, 355, 330, 40)  # x, y, width, height of the statistics lines
# Under Xvfb Wine shows the notification area as a "Wine System Tray" window; its first icon's middle.
TRAY_ICON = (12, 32)
FIRST_MENU_ENTRY = (30, 10)
MENU_ERASE_NOW = 27
MENU_SCHEDULE = 84
MENU_CLOSE = 109


def prepare(sandbox, program_dir, slow=False):
    root = os.path.join(sandbox, "e2e")
    shutil.rmtree(root, ignore_errors=True)
    app = os.path.join(root, "app")
    os.makedirs(os.path.join(app, "plugin"))
    shutil.copy(os.path.join(program_dir, "Vestrel.exe"), app)
    for item_id, item_type, descript in SLOW_ITEMS if slow else ITEMS:
        with open(os.path.join(app, "plugin", item_id + ".aep"), "w") as plugin:
            plugin.write(PLUGIN.format(id=item_id, type=item_type, descript=descript))
        data = os.path.join(root, "data", item_id)
        os.makedirs(os.path.join(data, "nested"))
        for name in ("a.tmp", "nested/b.tmp"):
            with open(os.path.join(data, name), "wb") as trace:
                trace.write(b"x" * 1500)
    return root, app


def registry_value(env, name):
    out = subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), "reg", "query", SETTINGS_KEY, "/v", name],
                         env=env, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if name in line:
            return line.split()[-1]
    return None


def registry_total(env, root, name):
    """A statistics total as stored, a QWORD (or an older DWORD). Wine's "reg query" shows no QWORD's data,
    so the key is exported into the sandbox and read from there."""
    exported = os.path.join(root, "settings.reg")
    subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), "reg", "export", SETTINGS_KEY,
                    "S:\\e2e\\settings.reg", "/y"], env=env, capture_output=True, check=True)
    with open(exported, "rb") as file:
        data = file.read()
    text = data.decode("utf-16") if data.startswith(b"\xff\xfe") else data.decode("utf-8", "replace")
    for line in text.splitlines():
        if line.startswith(f'"{name}"='):
            value = line.split("=", 1)[1]
            if value.startswith("dword:"):
                return int(value[6:], 16)
            if value.startswith("hex(b):"):
                return int.from_bytes(bytes(int(b, 16) for b in value[7:].split(",")), "little")
    return None


def move_mouse_away():
    """Off every window, so that no button shows its hover face or tooltip."""
    desktop.xdotool("mousemove", "--sync", 600, 1000)


def statistics_pixels(window):
    """The pixels of the window's statistics lines."""
    move_mouse_away()
    left, top, _, _ = window.geometry()
    x, y, width, height = STATISTICS
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    return subprocess.run(["convert", "xwd:-", "-crop", f"{width}x{height}+{left + x}+{top + y}", "rgb:-"],
                          input=xwd, check=True, capture_output=True).stdout


def open_from_tray_menu():
    """Right-clicks the tray icon and chooses the menu's first entry, "Open the Eraser"."""
    tray = desktop.wait_window("Wine System Tray", 10)
    tray.click(*TRAY_ICON)
    desktop.xdotool("click", 3)
    menu = desktop.poll(lambda: (desktop.program_windows() or [None])[0], 10, "the tray menu")
    menu.click(*FIRST_MENU_ENTRY)


def choose_from_tray_menu(entry):
    """Right-clicks the tray icon and clicks the menu entry at this height in the menu."""
    before = {w.xid for w in desktop.program_windows()}
    tray = desktop.wait_window("Wine System Tray", 10)
    tray.click(*TRAY_ICON)
    desktop.xdotool("click", 3)
    menu = desktop.poll(lambda: [w for w in desktop.program_windows() if w.xid not in before], 10, "the tray menu")
    menu[0].click(FIRST_MENU_ENTRY[0], entry)


def sized_windows(width, height):
    return [w for w in desktop.program_windows() if w.geometry()[2:] == (width, height)]


def check_tray_under_dialogs(args, env):
    """With a dialog open the tray's commands bring it to the front: no second run under a run, and
    "Close" under the schedule asks only once the schedule has closed."""
    root, app = prepare(env["VESTREL_SANDBOX"], args.program_dir, slow=True)
    program = desktop.Program(os.path.join(app, "Vestrel.exe"))
    try:
        main = desktop.wait_window("Vestrel")
        desktop.poll(lambda: len(desktop.program_windows()) == 1, 30, "the loader gone")
        time.sleep(1)
        main.click(*HIDE)  # the window covers the tray, which Wine shows at 0, 0
        desktop.wait_hidden(main)
        choose_from_tray_menu(MENU_ERASE_NOW)
        progress = desktop.wait_sized_window(370, 450)
        progress.click(*PROGRESS_ERASE)
        choose_from_tray_menu(MENU_ERASE_NOW)  # while the run goes on
        time.sleep(1)
        assert len(sized_windows(370, 450)) == 1, "a second progress dialog opened under the run"
        result = desktop.wait_sized_window(300, 240, timeout=60)
        result.key("Return")
        desktop.wait_gone(result)
        time.sleep(1)
        assert not sized_windows(370, 450), "the tray's Erase Now ran after the first run"
        with open(os.path.join(app, "Vestrel.log"), newline="") as log:
            assert log.read().count("done...") == len(SLOW_ITEMS), "one run only"

        choose_from_tray_menu(MENU_SCHEDULE)
        schedule = desktop.wait_window("Schedule Dialog", 10)
        choose_from_tray_menu(MENU_CLOSE)  # while the schedule is open
        time.sleep(1.5)
        assert not sized_windows(300, 240), "the close prompt opened under the schedule"
        assert program.running(), "the tray's Close ended the program under the schedule"
        assert desktop.find_windows("Schedule Dialog"), "the schedule went"
        _, _, width, height = schedule.geometry()
        schedule.click(width - 30, height // 2)  # an empty spot, which activates it
        schedule.key("Escape")
        prompt = desktop.wait_sized_window(300, 240, timeout=10)
        prompt.click(*PROMPT_CLOSE_IT)
        assert program.wait_exit(30) == 0, "\"Close it\" after the schedule ends the program"
    finally:
        program.kill()


def files_in(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, fs in os.walk(folder) for f in fs)


def test(args):
    env = desktop.wine_environment()
    sandbox = env["VESTREL_SANDBOX"]
    root, app = prepare(sandbox, args.program_dir)
    subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), "reg", "delete", SETTINGS_KEY, "/f"], env=env,
                   capture_output=True)
    images = os.path.join(root, "shots")
    os.makedirs(images)

    program = desktop.Program(os.path.join(app, "Vestrel.exe"))
    try:
        loader = desktop.wait_sized_window(300, 240)
        desktop.screenshot(os.path.join(images, "loader.png"))
        main = desktop.wait_window("Vestrel")
        desktop.wait_gone(loader)
        config = os.path.join(app, "Vestrel.conf")
        assert os.path.exists(config), "no configuration file after the first start"
        first = open(config, encoding="utf-8").read()
        # Shown ticked, but no tick is stored before the user has confirmed it on its page.
        for item_id, _, _ in ITEMS:
            assert f"<{item_id}>" not in first, first

        main.click(*PAGE_TABS[2])
        main.click(*FIRST_ITEM_BOX)  # untick "Windows Trace"
        main.click(*PAGE_TABS[1])
        desktop.poll(lambda: "<windows_trace>false</windows_trace>" in open(config, encoding="utf-8").read(),
                     10, "the unticked item saved when the page changes")
        desktop.screenshot(os.path.join(images, "main.png"))
        before_run = statistics_pixels(main)

        main.click(*ERASE_NOW)
        progress = desktop.wait_sized_window(370, 450, other_than=main)
        progress.click(*PROGRESS_ERASE)
        result = desktop.wait_sized_window(300, 240)
        desktop.screenshot(os.path.join(images, "result.png"))
        result.key("Return")
        desktop.wait_gone(result)

        data = os.path.join(root, "data")
        assert files_in(os.path.join(data, "browser_trace")) == [], "ticked item's files remain"
        assert files_in(os.path.join(data, "app_trace")) == [], "ticked item's files remain"
        assert files_in(os.path.join(data, "windows_trace")) == ["a.tmp", "nested/b.tmp"], "unticked item erased"
        assert registry_total(env, root, "Erased File Num") == 4, registry_total(env, root, "Erased File Num")
        assert registry_total(env, root, "Erased File Size") == 4 * 1500
        assert registry_value(env, "Last Erased Time"), "no last-erased time stored"

        after_run = statistics_pixels(main)
        assert after_run != before_run, "the statistics lines did not change after the run"

        main.click(*CLOSE)
        prompt = desktop.wait_sized_window(300, 240)
        prompt.click(*PROMPT_MINIMIZE_IT)
        desktop.wait_hidden(main)
        assert program.running(), "minimising to the tray ended the program"
        open_from_tray_menu()
        desktop.poll(lambda: desktop.is_visible(main), 10, "the main window shown from the tray")

        main.click(*CLOSE)
        prompt = desktop.wait_sized_window(300, 240, other_than=main)
        prompt.click(*PROMPT_CLOSE_IT)
        assert program.wait_exit(30) == 0, "\"Close it\" ends the program"
    finally:
        program.kill()

    # The next start reads the statistics from the registry: the lines must be the ones the run left.
    program = desktop.Program(os.path.join(app, "Vestrel.exe"))
    try:
        main = desktop.wait_window("Vestrel")
        desktop.poll(lambda: statistics_pixels(main) == after_run, 10,
                     "the same statistics lines after a restart")
    finally:
        program.kill()


def test_all(args):
    test(args)
    check_tray_under_dialogs(args, desktop.wine_environment())


if __name__ == "__main__":
    desktop.run(test_all)
