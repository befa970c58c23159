"""The installer, run silently as an administrator would, installs Vestrel for the user into the user's
programs folder with a shortcut and an Apps & features entry; the installed Vestrel starts, writes
beside itself and closes; the quiet uninstaller takes away only what belongs to Vestrel."""
import os
import re
import shutil

import desktop
import installation

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vestrel"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SETTINGS_KEY = r"HKCU\Software\Vestrel"


def install(prefix, setup, *options):
    result = prefix.run(setup, "/S", *options)
    assert result.returncode == 0, f"setup ended with {result.returncode}"
    return prefix.values(UNINSTALL_KEY)


def uninstall(prefix, entry):
    """Runs the entry's quiet uninstall command, which goes on in a copy of itself once it returns."""
    program, arguments = re.match(r'^"([^"]+)"\s*(.*)$', entry["QuietUninstallString"]).groups()
    prefix.run(program, *arguments.split())
    desktop.poll(lambda: prefix.values(UNINSTALL_KEY) is None, 60, "the uninstaller to finish")


def plant_run_entry(prefix, data):
    prefix.set_value(RUN_KEY, "Vestrel", data)
    assert prefix.values(RUN_KEY).get("Vestrel") == data, "the Run entry was planted in another form"


def check_entry(entry, folder, program_dir, setup):
    version, x64 = re.match(r"Vestrel-(.+?)(-x64)?-setup\.exe$", os.path.basename(setup)).groups()
    assert entry["DisplayName"] == ("Vestrel (64-bit)" if x64 else "Vestrel")
    assert entry["DisplayVersion"] == version
    assert entry["Publisher"]
    assert entry["InstallLocation"] == folder
    assert entry["DisplayIcon"] == folder + r"\Vestrel.exe,0"
    assert entry["UninstallString"] == f'"{folder}\\Uninstall.exe"'
    assert entry["QuietUninstallString"] == f'"{folder}\\Uninstall.exe" /S'
    assert entry["NoModify"] == 1 and entry["NoRepair"] == 1
    size = sum(os.path.getsize(os.path.join(program_dir, relative))
               for relative in installation.shipped_files(program_dir))
    assert size // 1024 <= entry["EstimatedSize"] <= size // 1024 + 1024, "EstimatedSize is not in KiB"


def check_installed(host_folder, program_dir):
    for relative in installation.shipped_files(program_dir):
        assert os.path.isfile(os.path.join(host_folder, relative)), f"{relative} was not installed"
    assert os.path.isfile(os.path.join(host_folder, "Uninstall.exe"))


def test_default_folder(prefix, setup, program_dir):
    local = prefix.expand("%LOCALAPPDATA%")
    folder = local + r"\Programs\Vestrel"
    host_folder = prefix.host_path(folder)
    host_programs = os.path.dirname(host_folder)
    shutil.rmtree(host_folder, ignore_errors=True)
    os.makedirs(host_programs, exist_ok=True)
    neighbour = os.path.join(host_programs, "unrelated.txt")
    with open(neighbour, "w") as f:
        f.write("not Vestrel's")

    entry = install(prefix, setup)
    assert entry, "no Apps & features entry"
    check_entry(entry, folder, program_dir, setup)
    check_installed(host_folder, program_dir)
    start_menu = prefix.expand("%APPDATA%") + r"\Microsoft\Windows\Start Menu\Programs"
    shortcut = prefix.host_path(start_menu + r"\Vestrel.lnk")
    assert os.path.isfile(shortcut), "no Start-menu shortcut"

    # The per-user folder is writable: closing stores the selection in the configuration file there.
    config = os.path.join(host_folder, "Vestrel.conf")
    installation.age_config(config)
    installation.start_and_close(os.path.join(host_folder, "Vestrel.exe"))
    assert os.stat(config).st_mtime_ns > 0, "Vestrel did not write its configuration file"

    # A reinstall keeps the user's selection, and the folder stays the installer's to remove.
    with open(config, "rb") as f:
        selection = f.read()
    install(prefix, setup)
    with open(config, "rb") as f:
        assert f.read() == selection, "a reinstall replaced the user's configuration file"

    for record in ("Vestrel.log", "[2026-1-2 3-4-5]Vestrel.log"):
        open(os.path.join(host_folder, record), "w").close()
    # Quoted, as Vestrel writes it.
    plant_run_entry(prefix, f'"{folder}\\Vestrel.exe"')
    prefix.set_value(SETTINGS_KEY + r"\Setting", "LeftByTheTest", "1")
    # The uninstaller ends a running Vestrel before it removes it.
    program = desktop.Program(os.path.join(host_folder, "Vestrel.exe"))
    try:
        desktop.wait_window("Vestrel")
        uninstall(prefix, entry)
        program.wait_exit(30)
    finally:
        program.kill()
    assert not os.path.exists(host_folder), "the program folder is still there"
    assert os.path.isfile(neighbour), "the uninstaller removed a file beside the program folder"
    assert not os.path.exists(shortcut), "the Start-menu shortcut is still there"
    assert "Vestrel" not in (prefix.values(RUN_KEY) or {}), "the Run entry is still there"
    assert prefix.values(SETTINGS_KEY) is None, "HKCU\\Software\\Vestrel is still there"
    os.remove(neighbour)


def test_existing_folder(prefix, setup):
    """A folder the user had keeps the user's files and itself. The Run entry, quoted as Vestrel writes
    it or bare as older versions did, goes when it starts this copy and stays when it starts another
    copy that exists."""
    folder, host_folder = prefix.sandbox("install", "Tools")
    with open(os.path.join(host_folder, "notes.txt"), "w") as f:
        f.write("the user's")
    other, host_other = prefix.sandbox("install", "Portable")
    open(os.path.join(host_other, "Vestrel.exe"), "w").close()

    this_copy, other_copy = folder + r"\Vestrel.exe", other + r"\Vestrel.exe"
    for run_entry, kept in ((f'"{other_copy}"', True), (other_copy, True), (this_copy, False)):
        entry = install(prefix, setup, "/D=" + folder)
        assert entry["InstallLocation"] == folder
        assert os.path.isfile(os.path.join(host_folder, "Vestrel.exe"))
        plant_run_entry(prefix, run_entry)
        uninstall(prefix, entry)
        assert sorted(os.listdir(host_folder)) == ["notes.txt"], "the uninstaller left or took the wrong files"
        left = (prefix.values(RUN_KEY) or {}).get("Vestrel")
        if kept:
            assert left == run_entry, f"another copy's Run entry {run_entry} went"
            prefix.run("reg", "delete", RUN_KEY, "/v", "Vestrel", "/f")
        else:
            assert left is None, f"the Run entry {run_entry} of the removed copy is still there"


def test(args):
    prefix = installation.Prefix()
    _, downloads = prefix.sandbox("install", "downloads")
    # Run from a drive of the prefix, as a downloaded file would be: an installer reads itself.
    setup = shutil.copy(installation.package(args.program_dir, "setup.exe"), downloads)
    prefix.delete_key(UNINSTALL_KEY)
    test_default_folder(prefix, setup, args.program_dir)
    test_existing_folder(prefix, setup)


if __name__ == "__main__":
    desktop.run(test, needs_32bit=True)  # NSIS setups are 32-bit programs, the 64-bit one too
