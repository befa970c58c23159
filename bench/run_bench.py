"""Vestrel's benchmarks, side by side in one run, printed as one table (make bench).

Every tree is made afresh, by bench/make_tree.py, in the sandbox folder that the project's Wine prefix
maps as S:, and each tool deletes the same tree. Wine runs only through the project's environment
(tools/wine-env.sh); BleachBit runs with its home in the sandbox, on a cleaner of the benchmark's own.
"""
import argparse
import os
import random
import shutil
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time

BENCH = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(BENCH)
sys.path.insert(0, BENCH)
from make_tree import make_tree  # noqa: E402

MiB = 1024 * 1024
REGISTRY_KEYS = 10_000
PLUGIN_FILES = 4_000
# An organization's list of sites to keep, and the browser profile an erase keeps them in.
KEPT_SITES = 10_000
PROFILE_COOKIES = 5_000
PROFILE_HOSTS = 1_000
PROFILE_ORIGINS = 300
PROFILE_CACHE_FILES = 2_000
LOCAL_STORAGE_BYTES = MiB
# rd /s /q takes minutes on the largest tree; its rate is already clear from the smaller ones.
RD_MAX_FILES = 20_000
# The free-space wipe runs only on an image made for it, never on this machine's own disk.
WIPE_IMAGE_MB = 1200
WIPE_LETTER = "v"
# Overwriting flushes every file to the disk: the largest tree would take many minutes per run.
OVERWRITE_MAX_FILES = 20_000
# The bench program's own tools, timed inside its process: the engine's paths and the bare loops beside them.
IN_PROCESS = {"vestrel": "delete-directory", "baseline": "delete-directory", "bare-delete": "bare-delete",
              "secure": "secure-directory", "bare-overwrite": "bare-overwrite"}
OVERWRITERS = ("secure", "bare-overwrite")


class Sandbox:
    """The benchmark's folder inside the sandbox, with Linux and Wine names for what it holds."""

    def __init__(self, build):
        self.build = build
        self.wine_env = wine_environment()
        self.root = os.path.join(self.wine_env["VESTREL_SANDBOX"], "bench")
        drive = "U:" if os.path.basename(build) == "x86_64" else "T:"
        self.program = drive + "\\vestrel_bench.exe"
        # Another build's bench program, copied beside this one so that the prefix reaches it.
        self.baseline_copy = os.path.join(build, "tests-bin", "vestrel_bench-baseline.exe")
        self.baseline_program = drive + "\\vestrel_bench-baseline.exe"
        self.tree = os.path.join(self.root, "tree")
        self.home = os.path.join(self.root, "home")
        self.device, self.mount = mount_of(self.root)

    def wine_path(self, path):
        relative = os.path.relpath(path, self.wine_env["VESTREL_SANDBOX"])
        return "S:\\" + relative.replace("/", "\\")

    def settle(self):
        """Writes everything out and waits until the sandbox's disk has nothing in flight, so that no tool
        pays for the writeback, or the discards, of what came before it."""
        os.sync()
        inflight = "/sys/class/block/%s/inflight" % os.path.basename(os.path.realpath(self.device))
        if not os.path.exists(inflight):
            return
        quiet, deadline = 0, time.monotonic() + 30
        while quiet < 3 and time.monotonic() < deadline:
            with open(inflight) as counts:
                quiet = quiet + 1 if counts.read().split() == ["0", "0"] else 0
            time.sleep(0.05)

    def clear(self, path):
        path = os.path.abspath(path)
        if path != self.root and not path.startswith(self.root + os.sep):
            raise RuntimeError("refusing to remove %s outside %s" % (path, self.root))
        if os.path.lexists(path):
            shutil.rmtree(path)


class PrivateDisplay:
    """An Xvfb screen of the benchmark's own, as tools/with-display.sh gives the tests: the window part needs
    one, and no program of the benchmark shows a window on the user's screen."""

    def __init__(self):
        self.process = None
        self.name = None

    def start(self):
        for number in range(90, 121):
            if not (os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number)):
                break
        else:
            raise RuntimeError("no free display number for Xvfb")
        self.name = ":%d" % number
        self.process = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while subprocess.run(["xdpyinfo", "-display", self.name], capture_output=True).returncode != 0:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("Xvfb did not start on %s" % self.name)
            time.sleep(0.2)
        return self.name

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait()
            self.process = None


def progress(text):
    print("bench: " + text, file=sys.stderr, flush=True)


def wine_environment():
    """The environment tools/wine-run gives Wine: the project's prefix, HOME in the sandbox."""
    script = 'source "%s/tools/wine-env.sh" && env -0' % ROOT
    output = subprocess.run(["bash", "-c", script], check=True, capture_output=True,
                            env={**os.environ, "VESTREL_BUILD": os.path.join(ROOT, "build")}).stdout
    return dict(item.split("=", 1) for item in output.decode().split("\0") if "=" in item)


def timed(command, env, cwd):
    """Runs command to its end: (wall seconds, peak resident MiB of the process, its standard output).
    /usr/bin/time reports the peak, as a child of this Python process would count Python's own pages."""
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        output = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name, *command], env=env,
                                cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                stdin=subprocess.DEVNULL).stdout
        seconds = time.perf_counter() - start
        return seconds, int(peak.read().split()[-1]) / 1024, output.decode(errors="replace")


def fields(output):
    """The "name=value" fields of vestrel_bench's report line."""
    for line in output.splitlines():
        if line.startswith("count="):
            return {name: float(value) for name, value in (field.split("=") for field in line.split())}
    raise RuntimeError("vestrel_bench printed no report: %r" % output)


def in_process(report):
    """What the table shows of one report of vestrel_bench: its seconds and its memory in MiB."""
    return dict(seconds=report["seconds"], ws=report["peak_ws"] / MiB, pagefile=report["peak_pagefile"] / MiB,
                growth=(report["peak_ws"] - report["ws_before"]) / MiB)


def remaining(tree):
    return sum(len(files) + len(folders) for _, folders, files in os.walk(tree))


class Measurements:
    """Every run of every row, so that the table shows medians."""

    def __init__(self):
        self.rows = {}

    def add(self, key, **values):
        self.rows.setdefault(key, []).append(values)

    def median(self, key, name):
        runs = self.rows.get(key, [])
        values = [run[name] for run in runs if run.get(name) is not None]
        return statistics.median(values) if values else None

    def runs(self, key):
        return len(self.rows.get(key, []))


class Bench:
    def __init__(self, build, repetitions, large_repetitions, baseline=None):
        self.sandbox = Sandbox(build)
        self.baseline = baseline
        self.repetitions = repetitions
        self.large_repetitions = large_repetitions
        self.results = Measurements()
        self.problems = []
        self.plugin_counts = {}
        self.env = self.sandbox.wine_env
        self.display = PrivateDisplay()
        self.cwd = self.env["VESTREL_SANDBOX"]  # S:\ for Wine, so no process starts in a missing folder

    # --- tools -----------------------------------------------------------------------------------------

    def wine(self, *arguments):
        return timed(["wine", *arguments], self.env, self.cwd)

    def bench_program(self, *arguments, program=None):
        seconds, rss, output = self.wine(program or self.sandbox.program, *arguments)
        return seconds, rss, fields(output)

    def bleachbit_env(self):
        home = self.sandbox.home
        hidden = ("DISPLAY", "WAYLAND_DISPLAY")
        env = {name: value for name, value in os.environ.items() if name not in hidden}
        env.update(HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
                   XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=home + "/.runtime",
                   VESTREL_BENCH_TREE=self.sandbox.tree)
        return env

    def bleachbit(self, mode):
        return timed(["bleachbit", mode, "vestrel_bench.tree"], self.bleachbit_env(), self.sandbox.root)

    # --- set-up ----------------------------------------------------------------------------------------

    def prepare(self):
        subprocess.run(["bash", os.path.join(ROOT, "tools", "wine-prefix.sh")], check=True,
                       env={**os.environ, "VESTREL_BUILD": os.path.join(ROOT, "build")})
        if self.baseline:
            shutil.copy(self.baseline, self.sandbox.baseline_copy)
        self.sandbox.clear(self.sandbox.root)
        os.makedirs(self.sandbox.root)
        cleaners = os.path.join(self.sandbox.home, ".config", "bleachbit", "cleaners")
        os.makedirs(cleaners)
        os.makedirs(os.path.join(self.sandbox.home, ".runtime"), mode=0o700)
        shutil.copy(os.path.join(BENCH, "vestrel_bench_cleaner.xml"), cleaners)
        # Before Wine's services start: its desktop takes the display the first program has.
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["DISPLAY"] = self.display.start()
        # A server that outlives each program, as it would on a desktop, and Wine's services already up.
        subprocess.run(["wineserver", "-p10"], env=self.env)  # fails harmlessly when one runs
        self.wine("wineboot")
        self.check_bleachbit_preview()

    def check_bleachbit_preview(self):
        """BleachBit's preview must list exactly the tree's contents, nothing of this machine."""
        files = 30
        folders = make_tree(self.sandbox.tree, files)
        _, _, output = self.bleachbit("--preview")
        listed = [line.split(" ", 2)[2] for line in output.splitlines() if line.startswith("Delete ")]
        inside = all(path.startswith(self.sandbox.tree + os.sep) for path in listed)
        if not inside or len(listed) != files + folders:
            sys.exit("bench: BleachBit's preview lists other files than the tree:\n" + output)
        self.sandbox.clear(self.sandbox.tree)

    def fresh_tree(self, files):
        self.sandbox.clear(self.sandbox.tree)
        make_tree(self.sandbox.tree, files)
        self.sandbox.settle()

    # --- deletion --------------------------------------------------------------------------------------

    def delete_once(self, files, tool):
        self.fresh_tree(files)
        tree = self.sandbox.tree
        wine_tree = self.sandbox.wine_path(tree)
        if tool in IN_PROCESS:
            program = self.sandbox.baseline_program if tool == "baseline" else None
            seconds, rss, report = self.bench_program(IN_PROCESS[tool], wine_tree, program=program)
            if report["count"] != files:
                self.problems.append("%s counted %d of %d files" % (tool, report["count"], files))
            self.results.add(("delete", files, tool + "-in"), **in_process(report))
        elif tool == "rm":
            seconds, rss, _ = timed(["rm", "-rf", tree], os.environ, self.sandbox.root)
        elif tool == "bleachbit":
            seconds, rss, _ = self.bleachbit("--clean")
        else:
            seconds, rss, _ = self.wine("cmd", "/c", "rd", "/s", "/q", wine_tree)
        self.results.add(("delete", files, tool), seconds=seconds, rss=rss)
        left = remaining(tree) if os.path.isdir(tree) else 0
        if left:
            self.problems.append("%s left %d entries of the %d-file tree" % (tool, left, files))
        self.sandbox.clear(tree)

    def deleters(self):
        return (["rm", "bare-delete", "vestrel"] + (["baseline"] if self.baseline else []) +
                ["bleachbit", "rd", "bare-overwrite", "secure"])

    def warm_up(self):
        """One unrecorded round, so that no tool's first run pays for loading its files from disk."""
        progress("warming up")
        for tool in self.deleters():
            self.delete_once(2_000, tool)
        self.results.rows.clear()

    def deletion(self, sizes):
        """Every size once per round, so that a slow spell of the shared disk spreads over all of them."""
        for run in range(self.repetitions):
            for files in sizes:
                large = files > RD_MAX_FILES
                if run >= (self.large_repetitions if large else self.repetitions):
                    continue
                progress("deleting %s files, round %d of %d" % (number(files), run + 1, self.repetitions))
                tools = [tool for tool in self.deleters() if not (large and tool == "rd") and
                         not (files > OVERWRITE_MAX_FILES and tool in OVERWRITERS)]
                # The tools take turns in an order that rotates from round to round.
                for tool in tools[run % len(tools):] + tools[:run % len(tools)]:
                    self.delete_once(files, tool)

    def wipe(self):
        """Vestrel's free-space wipe of the image, and dd writing as many MiB of zeros to the same file
        system, in turns."""
        image = WipeImage(self.env)
        refused = image.attach()
        if refused:
            self.problems.append("the wipe was not benchmarked: " + refused)
            return
        try:
            for repetition in range(self.repetitions):
                progress("wipe: run %d of %d" % (repetition + 1, self.repetitions))
                os.sync()
                image.check()
                seconds, rss, report = self.bench_program("wipe-free-space", WIPE_LETTER.upper() + ":")
                mib = int(report["count"])
                if not mib:
                    self.problems.append("the wipe of the benchmark's image did not complete")
                    return
                self.results.add(("wipe", "vestrel"), mib=mib, rss=rss, **in_process(report))
                os.sync()
                target = os.path.join(image.mount, "dd.bin")
                start = time.perf_counter()
                subprocess.run(["dd", "if=/dev/zero", "of=" + target, "bs=1M", "count=%d" % mib, "conv=fsync"],
                               check=True, capture_output=True)
                self.results.add(("wipe", "dd"), mib=mib, seconds=time.perf_counter() - start)
                os.remove(target)
        finally:
            image.detach()

    def startups(self):
        progress("start-up of Wine, cmd and BleachBit")
        os.makedirs(self.sandbox.tree)
        for _ in range(max(self.repetitions, 5)):
            seconds, rss, _ = self.bench_program("startup")
            self.results.add(("startup", "wine"), seconds=seconds, rss=rss)
            seconds, rss, _ = self.wine("cmd", "/c", "rem")
            self.results.add(("startup", "cmd"), seconds=seconds, rss=rss)
            seconds, rss, _ = self.bleachbit("--clean")
            self.results.add(("startup", "bleachbit"), seconds=seconds, rss=rss)
        self.sandbox.clear(self.sandbox.tree)

    # --- registry and plug-ins -------------------------------------------------------------------------

    def registry(self):
        progress("registry trees of %s keys" % number(REGISTRY_KEYS))
        for _ in range(self.repetitions):
            for tool in ("registry-vestrel", "registry-deletetree"):
                _, _, filled = self.bench_program("registry-fill", str(REGISTRY_KEYS))
                _, _, report = self.bench_program(tool)
                if filled["count"] != REGISTRY_KEYS or report["count"] != 1:
                    self.problems.append("%s: %d keys made, tree gone: %d" % (tool, filled["count"],
                                                                              report["count"]))
                self.results.add(("registry", tool), **in_process(report))

    def plugins(self):
        """The start-up work of the plug-ins, the shipped set and a large one, each read without its cache
        (cold) and then with the cache that reading wrote (warm)."""
        progress("loading the shipped plug-ins and %s plug-in files" % number(PLUGIN_FILES))
        sets = {"shipped": os.path.join(self.sandbox.root, "shipped"),
                "large": os.path.join(self.sandbox.root, "plugins")}
        shutil.copytree(os.path.join(self.sandbox.build, "Vestrel", "plugin"), sets["shipped"])
        write_plugins(sets["large"], PLUGIN_FILES)
        cache = os.path.join(self.sandbox.root, "plugins.cache")
        for folder in sets.values():
            settle_plugins(folder)
        self.plugin_counts = {"shipped": None, "large": PLUGIN_FILES}
        for _ in range(self.repetitions):
            for name, folder in sets.items():
                if os.path.exists(cache):
                    os.remove(cache)
                for warmth in ("cold", "warm"):
                    _, _, report = self.bench_program("plugins", self.sandbox.wine_path(folder),
                                                      self.sandbox.wine_path(cache))
                    # The cache never changes what loads: the shipped set's first reading sets its count.
                    expected = self.plugin_counts[name] = self.plugin_counts[name] or report["count"]
                    if report["count"] != expected:
                        self.problems.append("EraseItemList loaded %d of %d plug-ins (%s, %s cache)" % (
                            report["count"], expected, name, warmth))
                    self.results.add(("plugins", name, warmth), **in_process(report))
        for folder in sets.values():
            self.sandbox.clear(folder)
        os.remove(cache)

    def waits(self):
        """What the user waits for: vestrel-cli list, whole process, and the window from its start to its
        first painted list, of a program folder with the shipped plug-ins and of one with as many imported
        from a rules file besides, each with its warm cache."""
        progress("vestrel-cli list and the window with the shipped plug-ins and with %s imported"
                 % number(PLUGIN_FILES))
        folders = {name: os.path.join(self.sandbox.root, "program-" + name) for name in ("shipped", "imported")}
        for folder in folders.values():
            shutil.copytree(os.path.join(self.sandbox.build, "Vestrel"), folder)
            for leftover in ("Vestrel.conf", "Vestrel.cache"):
                if os.path.exists(os.path.join(folder, leftover)):
                    os.remove(os.path.join(folder, leftover))
        rules = os.path.join(self.sandbox.root, "rules.ini")
        write_rules(rules, PLUGIN_FILES)
        cli = lambda name: self.sandbox.wine_path(os.path.join(folders[name], "vestrel-cli.exe"))  # noqa: E731
        _, _, output = self.wine(cli("imported"), "import-winapp2", self.sandbox.wine_path(rules))
        if "Imported: %d new" % PLUGIN_FILES not in output:
            self.problems.append("the rules file's import said: %r" % output[-300:])
        for folder in folders.values():
            settle_plugins(os.path.join(folder, "plugin"))
        for name in folders:
            self.wine(cli(name), "list")  # writes the cache the runs below read
        for _ in range(max(self.repetitions, 5)):
            for name in folders:
                seconds, rss, _ = self.wine(cli(name), "list")
                self.results.add(("list", name), seconds=seconds, rss=rss)
        window = lambda name: self.sandbox.wine_path(os.path.join(folders[name], "Vestrel.exe"))  # noqa: E731
        for name in folders:
            self.bench_program("window-start", window(name))  # the window's first start settles its files
        for _ in range(max(self.repetitions, 5)):
            for name in folders:
                _, _, report = self.bench_program("window-start", window(name))
                if not report["count"]:
                    self.problems.append("the window (%s) showed no painted list" % name)
                    continue
                self.results.add(("window", name), seconds=report["seconds"], loader=report["loader"],
                                 ws=report["peak_ws"] / MiB, pagefile=report["peak_pagefile"] / MiB)
        for folder in folders.values():
            self.sandbox.clear(folder)
        os.remove(rules)


    # --- sites to keep ---------------------------------------------------------------------------------

    def keep_sites(self):
        """One profile's cookies, site stores and cache erased without a keep list, with one kept site and
        with an organization's ten thousand."""
        progress("erasing a browser profile with 0, 1 and %s sites to keep" % number(KEPT_SITES))
        lists = {"none": None, "one": ["site0.example.net"],
                 "many": ["site%d.example.net" % index for index in range(KEPT_SITES)]}
        profile = os.path.join(self.sandbox.root, "profile")
        for run in range(self.repetitions):
            names = list(lists)
            for name in names[run % len(names):] + names[:run % len(names)]:
                self.sandbox.clear(profile)
                make_profile(profile)
                arguments = ["profile-erase", self.sandbox.wine_path(profile)]
                if lists[name]:
                    sites = os.path.join(self.sandbox.root, "sites.txt")
                    with open(sites, "w") as stream:
                        stream.write("\n".join(lists[name]) + "\n")
                    arguments.append(self.sandbox.wine_path(sites))
                self.sandbox.settle()
                _, _, report = self.bench_program(*arguments)
                self.results.add(("keep", name), **in_process(report))
                kept = os.path.exists(os.path.join(profile, "Local Storage", "leveldb", "000005.ldb"))
                if kept != (name == "many"):
                    self.problems.append("the profile's Local Storage %s (sites to keep: %s)"
                                         % ("stayed" if kept else "went", name))
        self.sandbox.clear(profile)


def write_rules(path, count):
    """A rules file of count entries shaped as the community's are: each program detected by its registry
    key and its folders, with a cache, its logs and a registry list to erase."""
    with open(path, "w", newline="\r\n") as stream:
        for number in range(count):
            stream.write("[Bench Program %d *]\nLangSecRef=%d\nDetect=HKCU\\Software\\Bench Vendor %d\n"
                         "DetectFile=%%LocalAppData%%\\Bench Vendor %d\n"
                         "DetectFile2=%%ProgramFiles%%\\Bench Vendor %d\\bench.exe\n"
                         "FileKey1=%%LocalAppData%%\\Bench Vendor %d\\Cache|*.*|RECURSE\n"
                         "FileKey2=%%AppData%%\\Bench Vendor %d\\Logs|*.log\n"
                         "RegKey1=HKCU\\Software\\Bench Vendor %d\\Recent\n\n"
                         % ((number, 3021 + number % 11) + (number,) * 6))


def make_profile(profile):
    """A Chromium profile: a Cookies database of PROFILE_COOKIES cookies over PROFILE_HOSTS hosts, 50 of them
    sites of the keep list; a Local Storage of LOCAL_STORAGE_BYTES whose last origin is a kept site's;
    PROFILE_ORIGINS IndexedDB folders, 20 of them kept sites'; and a cache of PROFILE_CACHE_FILES files."""
    rng = random.Random(35)
    hosts = ["host%d.example.org" % index for index in range(PROFILE_HOSTS - 50)]
    hosts += ["www.site%d.example.net" % (index * 7) for index in range(50)]
    os.makedirs(os.path.join(profile, "Network"))
    database = sqlite3.connect(os.path.join(profile, "Network", "Cookies"))
    database.executescript("CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
                           "CREATE TABLE cookies(creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL,"
                           " name TEXT NOT NULL, value TEXT NOT NULL, path TEXT NOT NULL,"
                           " expires_utc INTEGER NOT NULL);"
                           "CREATE INDEX cookies_host ON cookies(host_key);")
    database.executemany("INSERT INTO cookies VALUES (?, ?, ?, ?, '/', 13500000000000000)",
                         ((13400000000000000 + index, "." + hosts[index % len(hosts)], "c%d" % index,
                           "%032x" % rng.getrandbits(128)) for index in range(PROFILE_COOKIES)))
    database.commit()
    database.close()
    storage = os.path.join(profile, "Local Storage", "leveldb")
    os.makedirs(storage)
    with open(os.path.join(storage, "000005.ldb"), "wb") as stream:
        written = 0
        while written < LOCAL_STORAGE_BYTES:
            record = b"_https://%s\x00\x01key%d" % (hosts[rng.randrange(PROFILE_HOSTS - 50)].encode(), written)
            written += stream.write(record)
        stream.write(b"META:https://www.site7.example.net")
    for index in range(PROFILE_ORIGINS):
        host = hosts[-(index % 20) - 1] if index < 20 else hosts[index]
        folder = os.path.join(profile, "IndexedDB", "https_%s_0.indexeddb.leveldb" % host)
        os.makedirs(folder)
        for name in ("000003.log", "CURRENT", "MANIFEST-000001"):
            with open(os.path.join(folder, name), "wb") as stream:
                stream.write(os.urandom(rng.randrange(64, 4096)))
    cache = os.path.join(profile, "Cache", "Cache_Data")
    os.makedirs(cache)
    for index in range(PROFILE_CACHE_FILES):
        with open(os.path.join(cache, "f_%06x" % index), "wb") as stream:
            stream.write(os.urandom(rng.randrange(0, 8192)))


PLUGIN_COMMANDS = [
    ("delete-directory", "%%userhome%%\\AppData\\Local\\Bench %d\\Cache"),
    ("delete-file", "%%appdata%%\\Bench %d\\*.tmp"),
    ("delete-register-key", "HKEY_CURRENT_USER\\Software\\Bench %d\\Recent"),
    ("delete-register-value", "HKEY_CURRENT_USER\\Software\\Bench %d\\History\\*"),
]


class WipeImage:
    """An ext4 image made for the wipe benchmark (no reserved blocks, no discard), loop-mounted as drive V:
    of the prefix by tools/loop-drive.sh."""

    def __init__(self, env):
        self.env = env
        self.image = os.path.join(env["VESTREL_BUILD"], "loop-images", "bench-wipe.img")
        self.script = os.path.join(ROOT, "tools", "loop-drive.sh")
        self.mount = None

    def attach(self):
        os.makedirs(os.path.dirname(self.image), exist_ok=True)
        if os.path.exists(self.image):
            os.remove(self.image)
        subprocess.run(["truncate", "-s", "%dM" % WIPE_IMAGE_MB, self.image], check=True)
        subprocess.run(["mkfs.ext4", "-q", "-F", "-m", "0", "-E", "nodiscard", self.image], check=True,
                       capture_output=True)
        mounted = subprocess.run(["bash", self.script, "mount", self.image, WIPE_LETTER], env=self.env,
                                 capture_output=True, text=True)
        if mounted.returncode != 0:
            return mounted.stderr.strip()
        self.mount = mounted.stdout.strip()
        self.check()
        # ext4 keeps up to 4096 free clusters back for its metadata, which no program may write; NTFS keeps
        # none. Released, both writers reach the whole free space.
        source = subprocess.run(["findmnt", "-n", "-o", "SOURCE", "--mountpoint", self.mount],
                                capture_output=True, text=True).stdout.strip()
        with open("/sys/fs/ext4/%s/reserved_clusters" % os.path.basename(source), "w") as reserved:
            reserved.write("0")
        return None

    def check(self):
        """Raises unless drive V: is this image's loop mount."""
        link = os.path.realpath(os.path.join(self.env["WINEPREFIX"], "dosdevices", WIPE_LETTER + ":"))
        source = subprocess.run(["findmnt", "-n", "-o", "SOURCE", "--mountpoint", link], capture_output=True,
                                text=True).stdout.strip()
        backing = subprocess.run(["losetup", "-n", "-O", "BACK-FILE", source], capture_output=True,
                                 text=True).stdout.strip() if source.startswith("/dev/loop") else ""
        if os.path.realpath(backing) != os.path.realpath(self.image):
            raise RuntimeError("refusing to wipe V:, which is not the benchmark's image (%r)" % source)

    def detach(self):
        subprocess.run(["bash", self.script, "unmount", self.image, WIPE_LETTER], env=self.env,
                       capture_output=True)
        if os.path.exists(self.image):
            os.remove(self.image)


def settle_plugins(folder):
    """Dates the plug-in files an hour back: the cache keeps only files that have not just been written."""
    settled = time.time() - 3600
    for name in os.listdir(folder):
        os.utime(os.path.join(folder, name), (settled, settled))


def write_plugins(folder, count):
    """count plug-in files of every file and registry command, each with two parameter variants."""
    os.makedirs(folder)
    categories = ["internet-explorer", "windows", "application"]
    for number in range(count):
        command, parameter = PLUGIN_COMMANDS[number % len(PLUGIN_COMMANDS)]
        items = "".join("<item>%s</item>" % (parameter % number + "\\" + str(part)) for part in range(5))
        text = ('<?xml version="1.0" encoding="UTF-8"?>\n<vestrel-plugin><head>Benchmark plug-in %d</head>'
                "<body><descript>Bench item %d</descript><id>bench-%d</id><type>%s</type>"
                "<command>%s</command><parameters>"
                '<parameters windows-version="5.1"><item>%s</item></parameters>'
                '<parameters windows-version="otherwise">%s</parameters>'
                "</parameters></body></vestrel-plugin>\n"
                % (number, number, number, categories[number % 3], command, parameter % number, items))
        with open(os.path.join(folder, "bench-%04d.aep" % number), "w") as stream:
            stream.write(text)


# --- the table -------------------------------------------------------------------------------------------

def number(value, digits=0):
    return "-" if value is None else "{:,.{}f}".format(value, digits)


def seconds_text(value):
    if value is None:
        return "-"
    return "%.3f" % value if value < 10 else "%.1f" % value


ROW = "  %-42s %8s %8s %-13s %8s %5s  %-21s %s"


class Table:
    def __init__(self, results):
        self.results = results
        self.lines = []

    def heading(self, text):
        self.lines.append(text)

    def row(self, label, key, items=None, floor=None, memory=""):
        seconds = self.results.median(key, "seconds")
        runs = [run["seconds"] for run in self.results.rows.get(key, [])]
        spread = "%s-%s" % (seconds_text(min(runs)), seconds_text(max(runs))) if len(runs) > 1 else ""
        rate = items / seconds if items and seconds else None
        ratio = "%.1f" % (seconds / floor) if floor and seconds else "-"
        note = "" if len(runs) >= 3 else "(%d run%s)" % (len(runs), "" if len(runs) == 1 else "s")
        self.lines.append(ROW % (label, number(items), seconds_text(seconds), spread, number(rate), ratio,
                                 memory, note))

    def memory_in_process(self, key):
        if not self.results.runs(key):
            return ""
        ws = self.results.median(key, "ws")
        pagefile = self.results.median(key, "pagefile")
        growth = self.results.median(key, "growth")
        return "WS %.1f  PF %.1f  +%.2f" % (ws, pagefile, growth)

    def memory_peak(self, key):
        if not self.results.runs(key):
            return ""
        return "WS %.1f  PF %.1f" % (self.results.median(key, "ws"), self.results.median(key, "pagefile"))

    def memory_rss(self, key):
        if not self.results.runs(key):
            return ""
        return "RSS %.1f" % self.results.median(key, "rss")


def render(bench, sizes):
    results = bench.results
    table = Table(results)
    table.lines.append(ROW % ("", "items", "seconds", "(min-max)", "items/s", "x rm", "peak memory, MiB", ""))
    for files in sizes:
        key = lambda tool: ("delete", files, tool)  # noqa: E731
        floor = results.median(key("rm"), "seconds")
        table.heading("Delete a tree of %s files (%s folders, fan-out 10, 0-8 KiB files)"
                      % (number(files), number(files // 10)))
        table.row("rm -rf, native (the floor)", key("rm"), files, floor, table.memory_rss(key("rm")))
        table.row("bare DeleteFileW loop, in process", key("bare-delete-in"), files, floor,
                  table.memory_in_process(key("bare-delete-in")))
        table.row("Vestrel delete-directory, in process", key("vestrel-in"), files, floor,
                  table.memory_in_process(key("vestrel-in")))
        if results.runs(key("baseline-in")):
            table.row("  the same, baseline build, in process", key("baseline-in"), files, floor,
                      table.memory_in_process(key("baseline-in")))
        table.row("Vestrel bench program, whole Wine process", key("vestrel"), files, floor,
                  table.memory_rss(key("vestrel")))
        table.row("BleachBit --clean, whole process", key("bleachbit"), files, floor,
                  table.memory_rss(key("bleachbit")))
        if results.runs(key("rd")):
            table.row("cmd /c rd /s /q under Wine, whole process", key("rd"), files, floor,
                      table.memory_rss(key("rd")))
        else:
            table.lines.append("  %-42s not run above %s files (minutes per run)" % (
                "cmd /c rd /s /q under Wine", number(RD_MAX_FILES)))
        if results.runs(key("secure-in")):
            table.row("bare overwrite loop, in process", key("bare-overwrite-in"), files, floor,
                      table.memory_in_process(key("bare-overwrite-in")))
            table.row("Vestrel delete-directory, overwriting", key("secure-in"), files, floor,
                      table.memory_in_process(key("secure-in")))
        else:
            table.lines.append("  %-42s not run above %s files (minutes per run)" % (
                "overwriting erase and its bare loop", number(OVERWRITE_MAX_FILES)))
    table.heading("Start-up alone, shown apart (whole process, nothing to delete)")
    table.row("Wine process (vestrel_bench startup)", ("startup", "wine"), None, None,
              table.memory_rss(("startup", "wine")))
    table.row("cmd /c rem under Wine", ("startup", "cmd"), None, None, table.memory_rss(("startup", "cmd")))
    table.row("BleachBit --clean of an empty tree", ("startup", "bleachbit"), None, None,
              table.memory_rss(("startup", "bleachbit")))
    table.heading("Delete a registry tree of %s keys with 3 values each (HKCU\\Software\\Vestrel Bench)"
                  % number(REGISTRY_KEYS))
    for tool, label in (("registry-vestrel", "Vestrel RegistryEraser, in process"),
                        ("registry-deletetree", "RegDeleteTreeW, in process")):
        table.row(label, ("registry", tool), REGISTRY_KEYS, None, table.memory_in_process(("registry", tool)))
    table.heading("Start-up work: load the plug-ins into an EraseItemList (x: times the shipped set, warm)")
    shipped = results.median(("plugins", "shipped", "warm"), "seconds")
    for name, label, items in (("shipped", "the shipped plug-ins", bench.plugin_counts.get("shipped")),
                               ("large", "%s plug-ins" % number(PLUGIN_FILES), PLUGIN_FILES)):
        for warmth in ("warm", "cold"):
            key = ("plugins", name, warmth)
            table.row("%s, %s cache" % (label, warmth), key, items, shipped, table.memory_in_process(key))
    if results.runs(("wipe", "vestrel")):
        mib = int(results.median(("wipe", "vestrel"), "mib"))
        floor = results.median(("wipe", "dd"), "seconds")
        table.heading("Wipe the free space of a %s MiB ext4 image, loop-mounted without discard (items: MiB)"
                      % number(WIPE_IMAGE_MB))
        table.row("dd if=/dev/zero bs=1M conv=fsync (the floor)", ("wipe", "dd"), mib, floor)
        table.row("Vestrel wipe-free-space, in process", ("wipe", "vestrel"), mib, floor,
                  table.memory_in_process(("wipe", "vestrel")))
    if results.runs(("keep", "none")):
        table.heading("Erase a browser profile (%s cookies, %s MiB Local Storage, %s IndexedDB origins, %s cache "
                      "files), in process (x: times without a keep list)"
                      % (number(PROFILE_COOKIES), number(LOCAL_STORAGE_BYTES / MiB), number(PROFILE_ORIGINS),
                         number(PROFILE_CACHE_FILES)))
        floor = results.median(("keep", "none"), "seconds")
        for name, label in (("none", "no sites to keep"), ("one", "1 site to keep"),
                            ("many", "%s sites to keep" % number(KEPT_SITES))):
            table.row(label, ("keep", name), None, floor, table.memory_in_process(("keep", name)))
    if results.runs(("list", "shipped")):
        table.heading("What the user waits for: vestrel-cli list, whole process, warm cache (x: times the "
                      "shipped set)")
        shipped_list = results.median(("list", "shipped"), "seconds")
        table.row("the shipped plug-ins", ("list", "shipped"), None, shipped_list,
                  table.memory_rss(("list", "shipped")))
        table.row("with %s imported from a rules file" % number(PLUGIN_FILES), ("list", "imported"),
                  PLUGIN_FILES, shipped_list, table.memory_rss(("list", "imported")))
    if results.runs(("window", "shipped")):
        table.heading("What the user waits for: the window from its start to its first painted list, the loader's "
                      "fixed %.1f s taken out (x: times the shipped set)" % results.median(("window", "shipped"),
                                                                                        "loader"))
        shipped_window = results.median(("window", "shipped"), "seconds")
        table.row("the shipped plug-ins", ("window", "shipped"), None, shipped_window,
                  table.memory_peak(("window", "shipped")))
        table.row("with %s imported from a rules file" % number(PLUGIN_FILES), ("window", "imported"),
                  PLUGIN_FILES, shipped_window, table.memory_peak(("window", "imported")))
    table.lines.append("Memory: WS and PF are GetProcessMemoryInfo's PeakWorkingSetSize and "
                       "PeakPagefileUsage (the window's: Vestrel.exe's once its list painted), + the working set's "
                       "growth")
    table.lines.append("during the task; RSS is the whole process's peak resident set (/usr/bin/time).")
    return table.lines


def goals(bench, sizes):
    results = bench.results
    files = 20_000
    if files not in sizes or not results.runs(("delete", files, "vestrel-in")):
        return []
    get = lambda tool: results.median(("delete", files, tool), "seconds")  # noqa: E731
    inside, whole, rm, bleach, rd = get("vestrel-in"), get("vestrel"), get("rm"), get("bleachbit"), get("rd")
    bare, secure, bare_overwrite = get("bare-delete-in"), get("secure-in"), get("bare-overwrite-in")
    bleach_start = results.median(("startup", "bleachbit"), "seconds")
    bleach_net = bleach - bleach_start if bleach_start < bleach else bleach
    lines = ["Goals for the deletion path, %s files (floors: the same system calls in a bare loop, one thread,"
             " no checks):" % number(files)]

    def goal(met, text):
        lines.append("  [%s] %s" % ("met" if met else "NOT met", text))

    goal(inside <= 1.15 * bare, "plain erase, every check, within 1.15 times the bare DeleteFileW loop: %.2f "
         "times (%s s vs %s s)" % (inside / bare, seconds_text(inside), seconds_text(bare)))
    if secure and bare_overwrite:
        goal(secure <= 1.3 * bare_overwrite, "overwriting erase within 1.3 times the bare overwrite loop (open, "
             "zeros, flush, rename, delete): %.2f times (%s s vs %s s); %.1f times the plain erase"
             % (secure / bare_overwrite, seconds_text(secure), seconds_text(bare_overwrite), secure / inside))
    baseline = get("baseline-in")
    if baseline:
        goal(inside <= 1.1 * baseline, "at most 10 %% slower than the baseline build: %.2f times its time in process "
             "(%s s vs %s s)" % (inside / baseline, seconds_text(inside), seconds_text(baseline)))
    for tool, label in (("vestrel-in", "plain erase"), ("secure-in", "overwriting erase")):
        measured = [size for size in sizes if results.runs(("delete", size, tool))]
        growth = [results.median(("delete", size, tool), "growth") for size in measured]
        peaks = [results.median(("delete", size, tool), "ws") for size in measured]
        if not peaks:
            continue
        goal(max(peaks) - min(peaks) < 1.0, "memory flat in the number of files, %s: peak working set %s MiB "
             "for %s files; grows by %s MiB during the deletion"
             % (label, " / ".join("%.1f" % peak for peak in peaks),
                " / ".join(number(size) for size in measured), " / ".join("%.2f" % value for value in growth)))
    lines.append("Rows without a goal, as other platforms' costs (Wine's round trips, rd's own speed):")
    lines.append("  Vestrel %s/s in process vs BleachBit %s/s net of its %.2f s start-up; whole processes %s/s vs "
                 "%s/s" % (number(files / inside), number(files / bleach_net), bleach_start, number(files / whole),
                           number(files / bleach)))
    if rd:
        lines.append("  cmd /c rd /s /q under the same Wine: %.1f times the whole Vestrel process (%.1f s vs %s s)"
                     % (rd / whole, rd, seconds_text(whole)))
    lines.append("  native rm -rf: Vestrel takes %.1f times its time in process (%s s vs %s s)"
                 % (inside / rm, seconds_text(inside), seconds_text(rm)))
    return lines


def plugin_goal(bench):
    results = bench.results
    warm = results.median(("plugins", "large", "warm"), "seconds")
    cold = results.median(("plugins", "large", "cold"), "seconds")
    shipped = results.median(("plugins", "shipped", "warm"), "seconds")
    shipped_cold = results.median(("plugins", "shipped", "cold"), "seconds")
    if None in (warm, cold, shipped, shipped_cold):
        return []
    met = "met" if warm <= 2 * shipped else "NOT met"
    return ["Goal for the start-up work:",
            "  [%s] %s plug-ins with a warm cache within twice the shipped set: %.1f times (%s s vs %s s); "
            "cold %s s, %.1f times the shipped set read cold (%s s)"
            % (met, number(PLUGIN_FILES), warm / shipped, seconds_text(warm), seconds_text(shipped),
               seconds_text(cold), cold / shipped_cold, seconds_text(shipped_cold))]


def wipe_goal(bench):
    results = bench.results
    wipe, dd = results.median(("wipe", "vestrel"), "seconds"), results.median(("wipe", "dd"), "seconds")
    if None in (wipe, dd):
        return []
    mib = results.median(("wipe", "vestrel"), "mib")
    share = dd / wipe
    ws = results.median(("wipe", "vestrel"), "ws")
    return ["Goal for the free-space wipe:",
            "  [%s] at least 80 %% of the rate of dd writing as much to the same file system: %.0f %% "
            "(%s MiB/s vs dd's %s MiB/s, %s MiB); peak working set %.1f MiB"
            % ("met" if share >= 0.8 else "NOT met", 100 * share, number(mib / wipe), number(mib / dd),
               number(mib), ws)]


def keep_goal(bench):
    results = bench.results
    none, one, many = (results.median(("keep", name), "seconds") for name in ("none", "one", "many"))
    if None in (none, one, many):
        return []
    met = "met" if many <= 1.5 * none else "NOT met"
    return ["Goal for the sites to keep:",
            "  [%s] %s sites to keep within 1.5 times the erase without a keep list: %.2f times (%s s vs %s s); "
            "%.2f times the erase with one site to keep (%s s)"
            % (met, number(KEPT_SITES), many / none, seconds_text(many), seconds_text(none), many / one,
               seconds_text(one))]


def list_goal(bench):
    results = bench.results
    lines = []
    for key, what in (("list", "vestrel-cli list"), ("window", "the window from start to its first painted list")):
        shipped = results.median((key, "shipped"), "seconds")
        imported = results.median((key, "imported"), "seconds")
        if None in (shipped, imported):
            continue
        met = "met" if imported <= 2 * shipped else "NOT met"
        lines.append("  [%s] %s with %s imported items within twice the shipped set: %.1f times (%s s vs %s s)"
                     % (met, what, number(PLUGIN_FILES), imported / shipped, seconds_text(imported),
                        seconds_text(shipped)))
    return ["Goal for what the user waits for:"] + lines if lines else []


def mount_of(path):
    """The device and a short description of the file system that holds path."""
    best = ("", "", "?")
    with open("/proc/mounts") as mounts:
        for line in mounts:
            device, point, kind, options = line.split()[:4]
            if (path + "/").startswith(point.rstrip("/") + "/") and len(point) > len(best[0]):
                discard = ", mounted with discard" if "discard" in options.split(",") else ""
                best = (point, device, kind + discard)
    return best[1], best[2]


def describe_machine(sandbox):
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return "%s, %d cores, sandbox on %s" % (wine, os.cpu_count(), sandbox.mount)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "i686"))
    parser.add_argument("--sizes", default="2000,20000,100000", help="tree sizes in files, comma-separated")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--large-repetitions", type=int, default=1,
                        help="repetitions for trees above %d files" % RD_MAX_FILES)
    parser.add_argument("--parts", default="deletion,registry,plugins,wipe,keepsites,waits",
                        help="which benchmarks to run, comma-separated")
    parser.add_argument("--baseline", help="another build's vestrel_bench.exe (of the same architecture), "
                        "timed in turn with this one on the same trees")
    arguments = parser.parse_args()
    sizes = [int(size) for size in arguments.sizes.split(",")]
    started = time.perf_counter()
    bench = Bench(os.path.abspath(arguments.build), arguments.repetitions, arguments.large_repetitions,
                  arguments.baseline)
    try:
        parts = arguments.parts.split(",")
        bench.prepare()
        if "deletion" in parts:
            bench.warm_up()
            bench.startups()
            bench.deletion(sizes)
        if "registry" in parts:
            bench.registry()
        if "plugins" in parts:
            bench.plugins()
        if "wipe" in parts:
            bench.wipe()
        if "keepsites" in parts:
            bench.keep_sites()
        if "waits" in parts:
            bench.waits()
    finally:
        bench.sandbox.clear(bench.sandbox.root)
        if os.path.exists(bench.sandbox.baseline_copy):
            os.remove(bench.sandbox.baseline_copy)
        subprocess.run(["wineserver", "-k"], env=bench.env)  # as tools/run-tests.sh ends
        bench.display.stop()

    print()
    print("Vestrel benchmarks: %s" % describe_machine(bench.sandbox))
    print("Each figure is the median of %d runs, except where a row says otherwise; the tools take turns on "
          "freshly made trees." % arguments.repetitions)
    goal_lines = (goals(bench, sizes) + plugin_goal(bench) + wipe_goal(bench) + keep_goal(bench) +
                  list_goal(bench))
    for line in render(bench, sizes) + [""] + goal_lines:
        print(line.rstrip())
    for problem in bench.problems:
        print("  problem: " + problem)
    print("(%.0f s in all)" % (time.perf_counter() - started))
    return 1 if bench.problems else 0


if __name__ == "__main__":
    sys.exit(main())
