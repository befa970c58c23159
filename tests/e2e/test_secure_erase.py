"""An erase with "Overwrite files before deleting them" leaves none of the erased files' bytes on the disk:
on a small ext4 image mounted as a sandbox drive, every file is written over, renamed in its folder to a
name of the same length and only then deleted, and so is the emptied folder renamed; the raw image then
holds no copy of a marker only those files held, where a plain erase leaves them all."""
import ctypes
import json
import os
import secrets
import shutil
import struct
import subprocess
import sys

import desktop

LETTER = "r"
PLUGIN = """<?xml version="1.0" encoding="UTF-8"?>
<vestrel-plugin><head>secure erase item</head><body><descript>Loop Drive Data</descript><id>loop-data</id>
<type>windows</type><command>delete-directory</command><parameters><parameters windows-version="otherwise">
<item>R:\\data</item></parameters></parameters></body></vestrel-plugin>
"""
NAMES = ["a.txt", "longer name.log", "sub/inner.dat", "sub/deeper/x"]
IN_MODIFY, IN_MOVED_FROM, IN_MOVED_TO, IN_DELETE, IN_ISDIR = 0x2, 0x40, 0x80, 0x200, 0x40000000


def loop_drive(*arguments):
    return subprocess.run(["bash", os.path.join(desktop.TOOLS, "loop-drive.sh"), *arguments],
                          capture_output=True, text=True)


def mount(image):
    result = loop_drive("mount", image, LETTER, "32")
    if result.returncode == 77:
        print(result.stderr.strip())
        sys.exit(77)
    assert result.returncode == 0, result.stderr
    return result.stdout.strip()


def plant(mounted, marker):
    """Files that alone hold the marker, from a few bytes to several blocks and a file of many extents."""
    for index, name in enumerate(NAMES):
        path = os.path.join(mounted, "data", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as trace:
            trace.write(marker * (1 + 4000 * index))
    os.sync()


class Watch:
    """What happens to the names in the data folders, as the Linux kernel sees it (inotify)."""

    def __init__(self, folders):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        assert self.fd >= 0
        self.folders = {}
        for folder in folders:
            wd = self.libc.inotify_add_watch(self.fd, folder.encode(), IN_MODIFY | IN_MOVED_FROM | IN_MOVED_TO |
                                             IN_DELETE)
            self.folders[wd] = os.path.basename(folder)

    def events(self):
        data = b""
        while True:
            try:
                chunk = os.read(self.fd, 65536)
            except BlockingIOError:
                break
            if not chunk:
                break
            data += chunk
        os.close(self.fd)
        events, offset = [], 0
        while offset < len(data):
            wd, mask, cookie, length = struct.unpack_from("iIII", data, offset)
            name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode()
            events.append((self.folders[wd], mask, cookie, name))
            offset += 16 + length
        return events


def erase(env, app, *options):
    result = subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), os.path.join(app, "vestrel-cli.exe"),
                             "erase", "loop-data", "--json", *options], env=env, capture_output=True,
                            cwd=env["VESTREL_SANDBOX"])
    assert result.returncode == 0, (result.returncode, result.stdout, result.stderr)
    return json.loads(result.stdout)


def copies(image, marker):
    with open(image, "rb") as raw:
        return raw.read().count(marker)


def check_renamed_before_deletion(events):
    """Each file is written, moved to a new name of its name's length, and that name deleted; the emptied
    folders too, without being written."""
    moved_from = {cookie: (folder, name, mask) for folder, mask, cookie, name in events if mask & IN_MOVED_FROM}
    moved_to = {cookie: name for folder, mask, cookie, name in events if mask & IN_MOVED_TO}
    deleted = {(folder, name) for folder, mask, cookie, name in events if mask & IN_DELETE}
    written = {(folder, name) for folder, mask, cookie, name in events if mask & IN_MODIFY}
    renamed = {}
    for cookie, (folder, name, mask) in moved_from.items():
        new = moved_to[cookie]
        assert len(new) == len(name) and new != name, (name, new)
        assert (folder, new) in deleted, f"{name} renamed to {new}, which was not deleted"
        renamed[(folder, name)] = mask & IN_ISDIR
    for path in NAMES:
        parts = path.split("/")
        folder = parts[-2] if len(parts) > 1 else "data"
        assert (folder, parts[-1]) in written, f"{path} was not written over"
        assert renamed.get((folder, parts[-1])) == 0, f"{path} was not renamed before its deletion"
    assert renamed.get(("data", "sub")) and renamed.get(("sub", "deeper")), f"folders not renamed: {renamed}"
    assert not any(mask & IN_DELETE for folder, mask, cookie, name in events if (folder, name) in written)


def test(args):
    env = desktop.wine_environment()
    subprocess.run(["bash", os.path.join(desktop.TOOLS, "wine-prefix.sh")], check=True, capture_output=True)
    app = os.path.join(env["VESTREL_SANDBOX"], "e2e-secure", "app")
    shutil.rmtree(os.path.dirname(app), ignore_errors=True)
    os.makedirs(os.path.join(app, "plugin"))
    shutil.copy(os.path.join(args.program_dir, "vestrel-cli.exe"), app)
    with open(os.path.join(app, "plugin", "loop-data.aep"), "w", encoding="utf-8") as plugin:
        plugin.write(PLUGIN)
    image = os.path.join(env["VESTREL_BUILD"], "loop-images", "secure-erase.ext4")
    if os.path.exists(image):
        os.remove(image)
    counts = {}
    for kind, options in (("plain", ()), ("secure", ("--secure",))):
        marker = f"vestrel-marker-{secrets.token_hex(8)}-".encode()
        mounted = mount(image)
        try:
            plant(mounted, marker)
            data = os.path.join(mounted, "data")
            watch = Watch([data, os.path.join(data, "sub"), os.path.join(data, "sub", "deeper")])
            report = erase(env, app, *options)
            events = watch.events()
            assert report["totals"]["files"] == len(NAMES), report
            assert report["overwrite"] == (kind == "secure"), report
            assert os.listdir(data) == [], os.listdir(data)
            if kind == "secure":
                check_renamed_before_deletion(events)
        finally:
            loop_drive("unmount", image, LETTER)
        counts[kind] = copies(image, marker)
    print(f"copies of the marker in the raw image after the erase: plain {counts['plain']}, "
          f"secure {counts['secure']}")
    assert counts["plain"] > 0, "a plain erase left no copy: the image shows nothing either way"
    assert counts["secure"] == 0, f"{counts['secure']} copies of the marker survived the overwriting erase"
    os.remove(image)


if __name__ == "__main__":
    test(desktop.arguments())
