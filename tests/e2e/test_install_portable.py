"""The portable zip holds the whole program folder under one Vestrel folder; unzipped anywhere, that
copy starts, shows its loader screen and main window, and keeps its files beside itself."""
import os
import zipfile

import desktop
import installation


def test(args):
    archive = zipfile.ZipFile(installation.package(args.program_dir, "portable.zip"))
    names = set(archive.namelist())
    shipped = {"Vestrel/" + relative.replace(os.sep, "/")
               for relative in installation.shipped_files(args.program_dir)}
    assert shipped <= names, f"missing from the zip: {sorted(shipped - names)}"
    assert {"Vestrel/Vestrel.exe", "Vestrel/Vestrel.conf", "Vestrel/docs/index.html"} <= names
    assert any(name.startswith("Vestrel/plugin/") and name.endswith(".aep") for name in names)
    assert all(name.startswith("Vestrel/") for name in names), "the zip does not unpack into one folder"

    prefix = installation.Prefix()
    _, host_folder = prefix.sandbox("portable", "Any Folder")
    archive.extractall(host_folder)
    copy = os.path.join(host_folder, "Vestrel")
    config = os.path.join(copy, "Vestrel.conf")
    installation.age_config(config)
    installation.start_and_close(os.path.join(copy, "Vestrel.exe"))
    assert os.stat(config).st_mtime_ns > 0, "the unzipped Vestrel did not write its configuration file"


if __name__ == "__main__":
    desktop.run(test)
