"""Builds Vestrel's Windows Installer package from the program folder with wixl (msitools).

    make_msi.py --program-dir DIR --version 4.0 --arch i686|x86_64 --icon program.ico --output X.msi

A per-user package, like the NSIS setup: it installs into %LOCALAPPDATA%\\Programs\\Vestrel (the INSTALLDIR
property chooses another folder), adds a Start-menu shortcut and needs no administrator rights. Every
file is a component of its own whose GUID follows from its path, so a newer package shares the
components of an older one and the upgrade keeps what the user changed in them (Vestrel.conf).
"""
import argparse
import os
import subprocess
import tempfile
import uuid
import xml.etree.ElementTree as ET

# Never changes: Windows Installer finds every earlier Vestrel package by it. Both editions share it,
# since they install into the same folder and replace each other.
UPGRADE_CODE = uuid.UUID("00c220b6-8ce7-4e16-925d-79f849f60d39")
PRODUCT = "Vestrel"
PUBLISHER = "The Vestrel developers"
EXE = PRODUCT + ".exe"
CLI = "vestrel-cli.exe"
# Holds the user's selection: installed only where there is none yet, as the NSIS setup does.
CONFIGURATION = PRODUCT + ".conf"
SETTINGS_KEY = r"Software\Vestrel"
# Per-user components keep their key path in the user's registry.
COMPONENTS_KEY = SETTINGS_KEY + r"\Installer"
# Written beside the program by Vestrel itself; the uninstaller of the NSIS setup removes them too.
WRITTEN_BY_VESTREL = ("Vestrel.log", "[*]Vestrel.log", "Vestrel.conf.new", "Vestrel.cache")


def stable_uuid(*parts):
    return uuid.uuid5(UPGRADE_CODE, " ".join(parts))


def identifier(kind, relative):
    """An MSI identifier for a file, folder or component, the same in every build."""
    return kind + stable_uuid(kind, relative.lower()).hex.upper()


def registry_value(parent, key, name, kind="integer", value="1", key_path=False):
    attributes = {"Root": "HKCU", "Key": key, "Name": name, "Type": kind, "Value": value}
    if key_path:
        attributes["KeyPath"] = "yes"
    return ET.SubElement(parent, "RegistryValue", attributes)


def add_component(directory, relative, source):
    """One file, with a registry key path as per-user components need; the configuration file is its
    own key path, so that one already there is kept (see finish_tables)."""
    component = ET.SubElement(directory, "Component", Id=identifier("C", relative),
                              Guid=str(stable_uuid("component", relative.lower())).upper())
    file = ET.SubElement(component, "File", Id=identifier("F", relative), Name=os.path.basename(relative),
                         Source=source)
    if relative == CONFIGURATION:
        file.set("KeyPath", "yes")
    else:
        registry_value(component, COMPONENTS_KEY, relative.replace("/", "\\"), key_path=True)
    return component


def add_program_folder(install_dir, program_dir, source_dir):
    """Mirrors the program folder; returns the component ids and the program's own component."""
    components, folders = [], {"": install_dir}
    main = None
    for root, dirs, names in os.walk(program_dir):
        dirs.sort()
        relative_root = os.path.relpath(root, program_dir).replace(os.sep, "/").removeprefix(".")
        directory = folders[relative_root]
        for name in dirs:
            relative = f"{relative_root}/{name}".lstrip("/")
            folders[relative] = ET.SubElement(directory, "Directory", Id=identifier("D", relative), Name=name)
        # What a run of Vestrel from this folder wrote beside itself is not shipped.
        names = [name for name in names if name not in WRITTEN_BY_VESTREL]
        for position, name in enumerate(sorted(names)):
            relative = f"{relative_root}/{name}".lstrip("/")
            component = add_component(directory, relative, os.path.relpath(os.path.join(root, name), source_dir))
            components.append(component.get("Id"))
            if position == 0:
                # Goes when empty: plug-ins the user added keep their folder.
                ET.SubElement(component, "RemoveFolder", Id=identifier("R", relative), On="uninstall")
            if relative == EXE:
                main = component
    if main is None:
        raise SystemExit(f"make_msi: no {EXE} in {program_dir}")
    return components, main


def add_shortcut(target_dir):
    menu = ET.SubElement(target_dir, "Directory", Id="ProgramMenuFolder")
    component = ET.SubElement(menu, "Component", Id="StartMenuShortcut",
                              Guid=str(stable_uuid("component", "start menu shortcut")).upper())
    ET.SubElement(component, "Shortcut", Id="StartMenuShortcut", Name=PRODUCT, Target=f"[INSTALLDIR]{EXE}",
                  WorkingDirectory="INSTALLDIR", Description="Erase browsing and everyday traces")
    registry_value(component, COMPONENTS_KEY, "Start menu shortcut", key_path=True)
    return component.get("Id")


def add_upgrade(product, version):
    """Replaces any other Vestrel package up to this version, the other edition of this one too;
    refuses to replace a newer one."""
    upgrade = ET.SubElement(product, "Upgrade", Id=str(UPGRADE_CODE).upper())
    # This version too, so that one edition replaces the other (see finish_tables).
    ET.SubElement(upgrade, "UpgradeVersion", Minimum="0.0", IncludeMinimum="yes", Maximum=version,
                  Property="VESTREL_OLDER")
    ET.SubElement(upgrade, "UpgradeVersion", Minimum=version, IncludeMinimum="no", OnlyDetect="yes",
                  Property="VESTREL_NEWER")
    condition = ET.SubElement(product, "Condition",
                              Message=f"A newer {PRODUCT} is already installed. Uninstall it first.")
    condition.text = "NOT VESTREL_NEWER"
    sequence = ET.SubElement(product, "InstallExecuteSequence")
    # After the new files are in: the components both packages share stay, with the user's changes.
    ET.SubElement(sequence, "RemoveExistingProducts", After="InstallExecute")
    # The user's scheduled task goes with the program, not with an upgrade; as the user, so no rights
    # beyond theirs are needed, and a failure does not stop the removal.
    ET.SubElement(product, "CustomAction", Id="RemoveScheduledTask", FileKey=identifier("F", CLI),
                  ExeCommand="schedule --remove-task", Execute="deferred", Impersonate="yes", Return="ignore")
    remove_task = ET.SubElement(sequence, "Custom", Action="RemoveScheduledTask", Sequence="3490")  # before RemoveFiles
    remove_task.text = 'REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE'


def package_source(program_dir, version, arch, icon, source_dir):
    """The package's WiX source; its file names are relative to source_dir, where wixl runs: it takes
    no absolute ones."""
    x64 = arch == "x86_64"
    wix = ET.Element("Wix", xmlns="http://schemas.microsoft.com/wix/2006/wi")
    product = ET.SubElement(wix, "Product", Id=str(stable_uuid("product", version, arch)).upper(),
                            Name=PRODUCT + (" (64-bit)" if x64 else ""), Language="1033", Version=version,
                            Manufacturer=PUBLISHER, UpgradeCode=str(UPGRADE_CODE).upper())
    ET.SubElement(product, "Package", InstallerVersion="500", Compressed="yes", InstallScope="perUser",
                  Description=f"{PRODUCT} {version}", Manufacturer=PUBLISHER)
    ET.SubElement(product, "Media", Id="1", Cabinet="Vestrel.cab", EmbedCab="yes")
    ET.SubElement(product, "Icon", Id="Vestrel.ico", SourceFile=os.path.relpath(icon, source_dir))
    for name, value in (("ARPPRODUCTICON", "Vestrel.ico"), ("ARPNOMODIFY", "1"), ("ARPNOREPAIR", "1")):
        ET.SubElement(product, "Property", Id=name, Value=value)
    add_upgrade(product, version)

    target_dir = ET.SubElement(product, "Directory", Id="TARGETDIR", Name="SourceDir")
    local = ET.SubElement(target_dir, "Directory", Id="LocalAppDataFolder")
    programs = ET.SubElement(local, "Directory", Id="UserProgramsFolder", Name="Programs")
    install_dir = ET.SubElement(programs, "Directory", Id="INSTALLDIR", Name=PRODUCT)
    components, main = add_program_folder(install_dir, program_dir, source_dir)
    # Removed with the program only: an upgrade keeps the program's component, and so these.
    registry_value(main, SETTINGS_KEY, "-", kind="string", value="")
    components.append(add_shortcut(target_dir))

    feature = ET.SubElement(product, "Feature", Id="Vestrel", Title=PRODUCT, Level="1")
    for component in components:
        ET.SubElement(feature, "ComponentRef", Id=component)
    return ET.ElementTree(wix), main.get("Id")


def finish_tables(msi, component, version):
    """What wixl cannot write, written by SQL: the files Vestrel writes beside itself, removed with it
    (wixl has no RemoveFile element); the configuration file installed only where there is none
    (msidbComponentAttributesNeverOverwrite); the upgrade's own version included (wixl ignores
    IncludeMaximum)."""
    queries = [f"INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) "
               f"VALUES ('{identifier('W', name)}', '{component}', '{name}', 'INSTALLDIR', 2)"
               for name in WRITTEN_BY_VESTREL]
    queries.append(f"UPDATE `Component` SET `Attributes` = 128 WHERE `Component` = '{identifier('C', CONFIGURATION)}'")
    # Attributes is part of the row's key: the row is written again, with both ends of its range included.
    queries.append("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'VESTREL_OLDER'")
    queries.append("INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, "
                   f"`ActionProperty`) VALUES ('{{{str(UPGRADE_CODE).upper()}}}', '0.0', '{version}', 768, "
                   "'VESTREL_OLDER')")
    subprocess.run(["msibuild", msi, *(part for query in queries for part in ("-q", query))], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program-dir", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--arch", required=True, choices=("i686", "x86_64"))
    parser.add_argument("--icon", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    partial = os.path.abspath(args.output + ".part")
    with tempfile.TemporaryDirectory() as scratch:
        tree, main_component = package_source(args.program_dir, args.version, args.arch, args.icon, scratch)
        tree.write(os.path.join(scratch, "Vestrel.wxs"), encoding="utf-8", xml_declaration=True)
        subprocess.run(["wixl", "--arch", "x64" if args.arch == "x86_64" else "x86", "--output", partial,
                        "Vestrel.wxs"], cwd=scratch, check=True)
    finish_tables(partial, main_component, args.version)
    os.replace(partial, args.output)


if __name__ == "__main__":
    main()
