"""The free-space wipe where its bytes can be seen: a small ext4 image, loop-mounted without discard as
drive W: of the sandbox prefix. Files holding a marker are deleted, the wipe runs, and the raw image must
hold no marker any more; the free space must be what it was, and nothing of the wipe left. Then a stopped
wipe and one cut short, whose leftovers the next start of vestrel-cli removes.

Only this image is ever wiped: every wipe goes through wipe(), which refuses a drive that is not the
image's loop mount (the prefix's C: is a folder of this machine's own disk)."""
import json
import os
import shutil
import subprocess
import sys

import desktop

LETTER = "w"
DRIVE = "W:"
SIZE_MB = 64
MARKER = b"VESTREL-DELETED-MARKER-5e1b7c"
WIPE_FOLDER = "Vestrel Free Space Wipe"


def release_reserved_clusters(mount):
    """ext4 keeps up to 4096 free clusters (2 % of a small file system) back for its own metadata, which no
    program can write, not even root's; NTFS and FAT keep none. Released, the wipe can reach every free
    cluster, as it can on Windows."""
    source = subprocess.run(["findmnt", "-n", "-o", "SOURCE", "--mountpoint", mount], capture_output=True,
                            text=True, check=True).stdout.strip()
    with open("/sys/fs/ext4/%s/reserved_clusters" % os.path.basename(source), "w") as reserved:
        reserved.write("0")


def loop_drive(env, *args):
    result = subprocess.run(["bash", os.path.join(desktop.TOOLS, "loop-drive.sh"), *args], env=env,
                            capture_output=True, text=True)
    if result.returncode == desktop.SKIPPED:
        print("SKIPPED: " + result.stderr.strip())
        print("0 passed, 0 failed, 1 skipped")
        sys.exit(desktop.SKIPPED)
    if result.returncode != 0:
        raise RuntimeError("loop-drive.sh %s: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout.strip()


class LoopDrive:
    def __init__(self, env):
        self.env = env
        self.image = os.path.join(env["VESTREL_BUILD"], "loop-images", "wipe-test.img")
        self.mount = None

    def make(self):
        """A fresh image with 4 KiB blocks, NTFS's usual cluster size."""
        if os.path.exists(self.image):
            os.remove(self.image)
        os.makedirs(os.path.dirname(self.image), exist_ok=True)
        subprocess.run(["truncate", "-s", "%dM" % SIZE_MB, self.image], check=True)
        subprocess.run(["mkfs.ext4", "-q", "-F", "-b", "4096", "-E", "nodiscard", self.image], check=True,
                       capture_output=True)

    def attach(self):
        self.mount = loop_drive(self.env, "mount", self.image, LETTER, str(SIZE_MB))
        release_reserved_clusters(self.mount)
        # Wine's server keeps what it opened of the drive before; a file system mounted anew is another.
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True)

    def detach(self):
        loop_drive(self.env, "unmount", self.image, LETTER)

    def check_is_image(self):
        """Raises unless W: of the prefix is this image's loop mount and nothing else."""
        link = os.path.join(self.env["WINEPREFIX"], "dosdevices", LETTER + ":")
        target = os.path.realpath(link)
        source = subprocess.run(["findmnt", "-n", "-o", "SOURCE", "--mountpoint", target],
                                capture_output=True, text=True).stdout.strip()
        backing = subprocess.run(["losetup", "-n", "-O", "BACK-FILE", source],
                                 capture_output=True, text=True).stdout.strip() if source else ""
        if not source.startswith("/dev/loop") or os.path.realpath(backing) != os.path.realpath(self.image):
            raise RuntimeError("refusing to wipe %s: %s is not the test image's loop mount (%r)"
                               % (DRIVE, target, source))

    def free(self):
        stat = os.statvfs(self.mount)
        return stat.f_bavail * stat.f_frsize

    def entries(self):
        return sorted(os.listdir(self.mount))

    def markers(self):
        """Markers in the raw image, read with the file system unmounted."""
        self.detach()
        with open(self.image, "rb") as raw:
            count = raw.read().count(MARKER)
        self.attach()
        return count


def wine(env, *args):
    return subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), *args], env=env, capture_output=True,
                          cwd=env["VESTREL_SANDBOX"], timeout=600)


def wipe(env, drive, program, *args):
    drive.check_is_image()
    return wine(env, program, *args)


def plant_and_delete(drive):
    """Files of every size the wipe must reach, from a record's worth to megabytes, deleted plainly."""
    folder = os.path.join(drive.mount, "traces")
    os.makedirs(folder)
    sizes = [300, 700, 4096, 10_000, 200_000, 3_000_000] * 4
    for index, size in enumerate(sizes):
        with open(os.path.join(folder, "trace%d.bin" % index), "wb") as trace:
            trace.write((MARKER * (size // len(MARKER) + 1))[:size])
    os.sync()
    shutil.rmtree(folder)
    os.sync()


def test(args):
    env = desktop.wine_environment()
    app = os.path.join(env["VESTREL_SANDBOX"], "e2e-wipe")
    shutil.rmtree(app, ignore_errors=True)
    os.makedirs(os.path.join(app, "plugin"))
    cli = os.path.join(app, "vestrel-cli.exe")
    shutil.copy(os.path.join(args.program_dir, "vestrel-cli.exe"), cli)
    drive = LoopDrive(env)
    drive.make()
    drive.attach()
    try:
        before = drive.entries()
        plant_and_delete(drive)
        free = drive.free()
        deleted = drive.markers()
        assert deleted > 0, "the deleted files' markers should still be in the free space"

        result = wipe(env, drive, cli, "wipe-free-space", DRIVE, "--json")
        assert result.returncode == 0, result.stdout + result.stderr
        report = json.loads(result.stdout)
        assert report["complete"] and not report["failures"], report
        assert report["written"] >= report["freeSpace"] - 1024 * 1024, report
        assert abs(drive.free() - free) <= 1024 * 1024, (free, drive.free())
        assert drive.entries() == before, drive.entries()
        wiped = drive.markers()
        print("markers in the raw image: %d after the plain delete, %d after the wipe" % (deleted, wiped))
        assert wiped == 0, "%d markers left after the wipe" % wiped

        # Stopped after 8 MB: what it wrote goes, the rest stays as it was.
        helper = os.path.join(args.tests_bin, "stopped_wipe.exe")
        result = wipe(env, drive, helper, DRIVE, str(8 * 1024 * 1024))
        assert result.returncode == 0, result.stdout + result.stderr
        assert b"stopped=1" in result.stdout, result.stdout
        assert abs(drive.free() - free) <= 1024 * 1024, ("after the stop", free, drive.free())
        assert drive.entries() == before, ("left after the stop", drive.entries())

        # Cut short: the process ended before it could clean up. The next vestrel-cli removes its files.
        leftover = os.path.join(drive.mount, WIPE_FOLDER)
        os.makedirs(leftover)
        for name, size in (("fill000000000", 4 * 1024 * 1024), ("record000000000", 600)):
            with open(os.path.join(leftover, name), "wb") as written:
                written.write(b"\0" * size)
        result = wine(env, cli, "list")
        assert result.returncode == 0, result.stderr
        assert drive.entries() == before, ("left of the wipe cut short", drive.entries())
    finally:
        drive.detach()
        os.remove(drive.image)


if __name__ == "__main__":
    desktop.run(test)
