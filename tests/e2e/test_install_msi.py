"""The Windows Installer package, run through msiexec without a window as deployment tools run it,
installs Vestrel for the user with a shortcut and an Apps & features entry, upgrades an older package in
place keeping the user's selection and settings, and msiexec /x removes what belongs to Vestrel only."""
import os
import re
import shutil
import subprocess
import sys

import desktop
import installation

SETTINGS_KEY = r"HKCU\Software\Vestrel"
# Where Wine lists a Windows Installer product in Apps & features (Windows keeps it in its own data).
UNINSTALL_KEYS = (r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                  r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall")


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True, text=True)
    return dict(line.split("\t", 1) for line in table.stdout.splitlines()[3:]).get(name)


def build_older(program_dir, msi, folder):
    """The same program folder packed as an earlier version."""
    older = os.path.join(folder, "Vestrel-3.9.msi")
    arch = "x86_64" if msi.endswith("-x64.msi") else "i686"
    script = os.path.join(desktop.REPO, "installer", "make_msi.py")
    subprocess.run([sys.executable, script, "--program-dir", program_dir, "--version", "3.9", "--arch", arch,
                    "--icon", os.path.join(desktop.REPO, "res", "skin", "program.ico"), "--output", older],
                   check=True)
    return older


def check_package(msi):
    """Per-user, and nothing that needs an administrator: no ALLUSERS, and the one custom action (the
    scheduled task's removal) runs the installed vestrel-cli as the user."""
    assert msi_property(msi, "ALLUSERS") is None, "the package asks for a per-machine install"
    summary = subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True, text=True).stdout
    word_count = int(re.search(r"^Source: (\d+)", summary, re.M).group(1))
    assert word_count & 8, "the package does not say it needs no elevation"
    actions = subprocess.run(["msiinfo", "export", msi, "CustomAction"], check=True, capture_output=True,
                             text=True).stdout
    rows = [line.split("\t") for line in actions.splitlines()[3:]]  # after the table's head
    assert [row[3] for row in rows] == ["schedule --remove-task"], f"unexpected custom actions: {rows}"
    no_impersonation = 2048
    assert not int(rows[0][1]) & no_impersonation, "the custom action runs as the system, not as the user"


def msiexec(prefix, *arguments):
    result = prefix.run("msiexec", *arguments, "/qn", timeout=300)
    assert result.returncode == 0, f"msiexec {' '.join(arguments)} ended with {result.returncode}"


def entry(prefix, msi):
    code = msi_property(msi, "ProductCode")
    for key in UNINSTALL_KEYS:
        # Where a 32-bit Wine runs reg, it sees the 32-bit view unless told.
        values = prefix.values(key + "\\" + code, "/reg:64")
        if values is not None:
            return values
    return None


def check_installed(host_folder, program_dir):
    for relative in installation.shipped_files(program_dir):
        assert os.path.isfile(os.path.join(host_folder, relative)), f"{relative} was not installed"


def test(args):
    prefix = installation.Prefix()
    downloads, host_downloads = prefix.sandbox("msi", "downloads")
    msi = shutil.copy(installation.package(args.program_dir, ".msi"), host_downloads)
    older = build_older(args.program_dir, msi, host_downloads)
    check_package(msi)
    installed, older_installed = (downloads + "\\" + os.path.basename(path) for path in (msi, older))

    for package, path in ((msi, installed), (older, older_installed)):
        if entry(prefix, package):  # left by an earlier run that failed
            prefix.run("msiexec", "/x", path, "/qn", timeout=300)
    folder = prefix.expand("%LOCALAPPDATA%") + r"\Programs\Vestrel"
    host_folder = prefix.host_path(folder)
    shutil.rmtree(host_folder, ignore_errors=True)
    prefix.delete_key(SETTINGS_KEY)  # other tests of the same prefix store settings there too
    start_menu = prefix.expand("%APPDATA%") + r"\Microsoft\Windows\Start Menu\Programs"
    shortcut = prefix.host_path(start_menu + r"\Vestrel.lnk")

    msiexec(prefix, "/i", older_installed)
    old_entry = entry(prefix, older)
    assert old_entry and old_entry["DisplayVersion"] == "3.9", "no Apps & features entry"
    assert old_entry["DisplayName"] == msi_property(msi, "ProductName")
    check_installed(host_folder, args.program_dir)
    assert os.path.isfile(shortcut), "no Start-menu shortcut"
    config = os.path.join(host_folder, "Vestrel.conf")
    installation.age_config(config)
    installation.start_and_close(os.path.join(host_folder, "Vestrel.exe"))
    assert os.stat(config).st_mtime_ns > 0, "Vestrel did not write its configuration file"

    # What the user has by now: a selection, a record, a plug-in of their own, settings.
    with open(config, "ab") as f:
        f.write(b"\r\n")
    with open(config, "rb") as f:
        selection = f.read()
    open(os.path.join(host_folder, "Vestrel.log"), "w").close()
    own_plugin = os.path.join(host_folder, "plugin", "Mine.aep")
    with open(own_plugin, "w") as f:
        f.write("<plugin/>")
    prefix.set_value(SETTINGS_KEY + r"\Setting", "LeftByTheTest", "1")

    msiexec(prefix, "/i", installed)
    assert entry(prefix, older) is None, "the older version is still listed"
    assert entry(prefix, msi)["DisplayVersion"] == msi_property(msi, "ProductVersion")
    check_installed(host_folder, args.program_dir)
    with open(config, "rb") as f:
        assert f.read() == selection, "the upgrade replaced the user's configuration file"
    assert prefix.values(SETTINGS_KEY + r"\Setting") == {"LeftByTheTest": "1"}, "the upgrade lost the settings"

    msiexec(prefix, "/x", installed)
    assert entry(prefix, msi) is None, "Apps & features still lists Vestrel"
    # Wine's msiexec does not expand the wildcard of the dated records' row ([*]Vestrel.log): not planted.
    assert sorted(os.listdir(host_folder)) == ["plugin"], "msiexec /x left or took the wrong files"
    assert os.listdir(os.path.dirname(own_plugin)) == ["Mine.aep"], "the user's own plug-in went, or others stayed"
    assert not os.path.exists(shortcut), "the Start-menu shortcut is still there"
    assert prefix.values(SETTINGS_KEY) is None, "HKCU\\Software\\Vestrel is still there"
    shutil.rmtree(host_folder)


if __name__ == "__main__":
    desktop.run(test)
