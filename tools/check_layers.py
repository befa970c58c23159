"""Checks that each source folder includes only from the folders below it, and that the libraries link
the same way: framework <- engine <- settings <- run, import <- ui <- app, cli. The dialogs' resource ids
(res/resource.h) belong to the application alone. Prints each offending line; exits non-zero on any."""
import os
import re
import sys

# What each folder may include besides its own files.
ALLOWED = {
    "framework": set(),
    "engine": {"framework"},
    "settings": {"engine", "framework"},
    "run": {"settings", "engine", "framework"},
    "import": {"settings", "engine", "framework"},
    "ui": {"framework"},
    "app": {"ui", "run", "import", "settings", "engine", "framework", "res"},
    "cli": {"run", "import", "settings", "engine", "framework"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
LIBRARY = re.compile(r"vestrel_library\(vestrel_(\w+)\s+SOURCES\s+\S+\s+LIBS\s+([^)]*)\)", re.S)


def included_folder(name):
    """The layer an include names: its first folder, or res for the resource ids found on the path."""
    if "/" in name:
        return name.split("/", 1)[0]
    return "res" if name == "resource.h" else None


def include_faults(root):
    faults = []
    for folder, allowed in ALLOWED.items():
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(path, name), encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = included_folder(match.group(1))
                    if target and target != folder and target not in allowed:
                        faults.append(f"{folder}/{name}:{number}: {folder}/ may not include {match.group(1)}")
    return faults


def link_faults(root):
    faults = []
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as cmake:
        text = cmake.read()
    for library, libs in LIBRARY.findall(text):
        if library not in ALLOWED:
            continue
        for used in re.findall(r"vestrel_(\w+)", libs):
            if used in ALLOWED and used not in ALLOWED[library]:
                faults.append(f"CMakeLists.txt: vestrel_{library} may not link vestrel_{used}")
    return faults


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = include_faults(root) + link_faults(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
