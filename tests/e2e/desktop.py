"""Drives Windows programs in the sandbox prefix from outside, as a user would: X windows, clicks, keys."""
import argparse
import os
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOLS = os.path.join(REPO, "tools")


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program-dir", required=True)
    parser.add_argument("--tests-bin", required=True)
    return parser.parse_args()


def wine_environment():
    """The environment tools/wine-env.sh sets up: the sandbox prefix, HOME in the sandbox."""
    script = f'source "{TOOLS}/wine-env.sh" && env -0'
    raw = subprocess.run(["bash", "-c", script], check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in raw.decode().split("\0") if "=" in item)


def set_log_pixels(dpi):
    """The prefix's DPI for the programs started from now on."""
    env = wine_environment()
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], env=env, check=True, capture_output=True)
    # Read again when the next program starts.
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
    return result.stdout.strip()


def poll(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


class Window:
    def __init__(self, xid):
        self.xid = xid

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        values = {}
        for line in xdotool("getwindowgeometry", "--shell", self.xid).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def click(self, x, y):
        """A left click at window-relative pixel coordinates."""
        left, top, _, _ = self.geometry()
        xdotool("mousemove", "--sync", left + x, top + y)
        xdotool("click", 1)

    def key(self, *keys):
        xdotool("windowfocus", "--sync", self.xid, check=False)
        xdotool("key", *keys)


def find_windows(title):
    out = xdotool("search", "--onlyvisible", "--name", f"^{title}$", check=False)
    return [Window(xid) for xid in out.split()]


def wait_window(title, timeout=60):
    return poll(lambda: (find_windows(title) or [None])[0], timeout, f"a window titled {title!r}")


def wait_no_window(title, timeout=30):
    poll(lambda: not find_windows(title), timeout, f"no window titled {title!r}")


def program_windows():
    """Every visible top-level window of a Vestrel process, titled or not."""
    out = xdotool("search", "--onlyvisible", "--class", "vestrel", check=False)
    return [Window(xid) for xid in out.split()]


def wait_sized_window(width, height, other_than=None, timeout=60):
    """A visible program window of this size: the untitled skinned dialogs are told apart by size."""
    def find():
        for window in program_windows():
            if (other_than is None or window.xid != other_than.xid) and window.geometry()[2:] == (width, height):
                return window
        return None
    return poll(find, timeout, f"a {width} x {height} window")


def is_visible(window):
    return window.xid in {w.xid for w in program_windows()}


def wait_gone(window, timeout=30):
    poll(lambda: not is_visible(window), timeout, "the window to close")


wait_hidden = wait_gone


def screenshot(path):
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    subprocess.run(["convert", "xwd:-", f"png:{path}"], input=xwd, check=True)


FAILURE_SHOT = os.path.join(REPO, "build", f"e2e-failure-{os.path.basename(sys.argv[0])}.png")
_failure_shot_taken = False


def take_failure_shot():
    """The screen as the failure left it; taken once, before the first program is killed."""
    global _failure_shot_taken
    if _failure_shot_taken:
        return FAILURE_SHOT
    try:
        screenshot(FAILURE_SHOT)
    except (OSError, subprocess.CalledProcessError):
        return "none"
    _failure_shot_taken = True
    return FAILURE_SHOT


class Program:
    """A Windows program started through tools/wine-run in the sandbox prefix."""

    def __init__(self, exe, *args):
        self.process = subprocess.Popen([os.path.join(TOOLS, "wine-run"), os.path.abspath(exe), *args],
                                        env=wine_environment(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def running(self):
        return self.process.poll() is None

    def kill(self):
        if sys.exc_info()[1] is not None:
            take_failure_shot()
        if self.running():
            self.process.kill()
            self.process.wait()


SKIPPED = 77  # CTest's skip code for the end-to-end scripts (tests/CMakeLists.txt)


def run(test, needs_32bit=False):
    """Runs one end-to-end test function and prints the closing line CTest's log shows. A test of a
    32-bit program is skipped, and says so, where the kernel runs no 32-bit programs (tools/wine-env.sh)."""
    if needs_32bit and os.environ.get("VESTREL_RUNS_32BIT") == "no":
        print("SKIPPED: it starts a 32-bit program, and this machine's kernel runs none")
        print("0 passed, 0 failed, 1 skipped")
        sys.exit(SKIPPED)
    try:
        test(arguments())
    except Exception as error:  # any failure, assertion or otherwise, fails the test
        print(f"FAILED: {error!r} (screen: {take_failure_shot()})")
        print("0 passed, 1 failed")
        sys.exit(1)
    print("1 passed, 0 failed")
