"""The sandbox prefix as the packaging tests see it: its console programs, registry and folders."""
import glob
import os
import re
import shutil
import subprocess

import desktop


class Prefix:
    def __init__(self):
        self.env = desktop.wine_environment()

    def run(self, *command, timeout=120):
        return subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), *command], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=timeout)

    def host_path(self, path):
        """This machine's path of a Windows path on one of the prefix's drives (C:, S:...)."""
        drive = os.path.realpath(os.path.join(self.env["WINEPREFIX"], "dosdevices", path[0].lower() + ":"))
        return os.path.join(drive, *[part for part in path[2:].split("\\") if part])

    def sandbox(self, *parts):
        """A folder of the sandbox (drive S:), made afresh: (Windows path, this machine's path)."""
        host = os.path.join(self.env["VESTREL_SANDBOX"], "e2e", *parts)
        shutil.rmtree(host, ignore_errors=True)
        os.makedirs(host)
        return "S:\\e2e\\" + "\\".join(parts), host

    def expand(self, text):
        """A Windows path with its %VARIABLES% expanded, as the prefix's programs see them."""
        return self.run("cmd", "/c", "echo", text).stdout.strip()

    def values(self, key, *options):
        """{name: data} of one registry key's values, or None when the key is missing. options go to reg,
        /reg:64 for example."""
        result = self.run("reg", "query", key, *options)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            match = re.match(r"^\s+(.*?)\s+(REG_\w+)\s+(.*)$", line)
            if match:
                name, kind, data = match.groups()
                values[name] = int(data, 16) if kind == "REG_DWORD" else data
        return values

    def set_value(self, key, name, data):
        assert self.run("reg", "add", key, "/v", name, "/d", data, "/f").returncode == 0

    def delete_key(self, key):
        self.run("reg", "delete", key, "/f")


# Written beside the program by a run from the program folder (a test's): never shipped.
WRITTEN_BY_VESTREL = {"Vestrel.cache", "Vestrel.log", "Vestrel.conf.new"}


def shipped_files(program_dir):
    """The program folder's files as the packages ship them, relative to it."""
    return [os.path.relpath(os.path.join(root, name), program_dir)
            for root, _, names in os.walk(program_dir) for name in names if name not in WRITTEN_BY_VESTREL]


def package(program_dir, suffix):
    """The one file of build/<arch>/dist that ends in suffix (setup.exe or portable.zip)."""
    found = glob.glob(os.path.join(os.path.dirname(program_dir), "dist", f"Vestrel-*{suffix}"))
    assert len(found) == 1, f"expected one *{suffix} in the dist folder, found {found}"
    return found[0]


def age_config(config):
    """Leaves the configuration file as an older Vestrel wrote it (a blank line more at its end), dated 1970:
    closing writes it again, which only a writable folder allows. An unchanged selection is left alone."""
    with open(config, "ab") as f:
        f.write(b"\r\n")
    os.utime(config, ns=(0, 0))


def start_and_close(exe):
    """Starts a Vestrel, sees its loader screen and then its main window, and closes it as a user would."""
    program = desktop.Program(exe)
    try:
        desktop.wait_sized_window(300, 240)
        window = desktop.wait_window("Vestrel")
        window.key("alt+F4")
        desktop.wait_sized_window(300, 240).key("Return")  # "Close it"
        desktop.wait_no_window("Vestrel")
        assert program.wait_exit(30) == 0
    finally:
        program.kill()
