"""Checks that each source folder includes only from the folders below it, and that the libraries link
the same way: framework <- engine <- settings <- run, import <- ui <- app, cli. Inside the engine the
wings stack files <- registry <- items <- cleaners <- engine/ itself (the executor that ties them
together); the engine's vocabulary headers (EraseMode.h, EraseTally.h) sit below every wing and include
nothing of the engine. No two engine files may include each other round a circle. The dialogs' resource
ids (res/resource.h) belong to the application alone. Prints each offending line; exits non-zero on any."""
import os
import re
import sys

ENGINE_WINGS = ["engine/files", "engine/registry", "engine/items", "engine/cleaners"]
ENGINE = set(ENGINE_WINGS) | {"engine"}
VOCABULARY = {"engine/EraseMode.h", "engine/EraseTally.h"}


def wings_below(wing):
    return set(ENGINE_WINGS[: ENGINE_WINGS.index(wing)])


# What each folder may include besides its own files.
ALLOWED = {
    "framework": set(),
    **{wing: wings_below(wing) | {"framework"} for wing in ENGINE_WINGS},
    "engine": set(ENGINE_WINGS) | {"framework"},
    "settings": ENGINE | {"framework"},
    "run": {"settings", "framework"} | ENGINE,
    "import": {"settings", "framework"} | ENGINE,
    "ui": {"framework"},
    "app": {"ui", "run", "import", "settings", "framework", "res"} | ENGINE,
    "cli": {"run", "import", "settings", "framework"} | ENGINE,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
LIBRARY = re.compile(r"vestrel_library\(vestrel_(\w+)\s+SOURCES\s+\S+\s+LIBS\s+([^)]*)\)", re.S)


def included_folder(name):
    """The layer an include names: its folder, or res for the resource ids found on the path."""
    if "/" in name:
        folder = name.rsplit("/", 1)[0]
        return folder if folder in ALLOWED else name.split("/", 1)[0]
    return "res" if name == "resource.h" else None


def sources(root, folder):
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        return []
    return [f"{folder}/{name}" for name in sorted(os.listdir(path)) if name.endswith((".h", ".cpp"))]


def includes(root, source):
    with open(os.path.join(root, source), encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def allows(folder, name, target):
    if target == folder or target in ALLOWED[folder]:
        return True
    return folder in ENGINE_WINGS and name in VOCABULARY


def include_faults(root):
    faults = []
    for folder in ALLOWED:
        for source in sources(root, folder):
            for number, name in includes(root, source):
                target = included_folder(name)
                vocabulary_reaching_up = source in VOCABULARY and target in ENGINE
                if target and (not allows(folder, name, target) or vocabulary_reaching_up):
                    faults.append(f"{source}:{number}: {folder}/ may not include {name}")
    return faults


def unit(path):
    """A header and its source are one node of the include graph."""
    return os.path.splitext(path)[0]


def circle_faults(root):
    graph = {}
    for folder in ENGINE:
        for source in sources(root, folder):
            edges = graph.setdefault(unit(source), set())
            edges.update(unit(name) for _, name in includes(root, source) if included_folder(name) in ENGINE)
    for node in graph:
        graph[node].discard(node)
    faults, state = [], {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                circle = trail[trail.index(nxt):] + [nxt]
                faults.append("include circle: " + " -> ".join(circle))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])
    return faults


def link_faults(root):
    faults = []
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as cmake:
        text = cmake.read()
    folder_of = {folder.replace("/", "_"): folder for folder in ALLOWED}
    for library, libs in LIBRARY.findall(text):
        if library not in folder_of:
            continue
        allowed = ALLOWED[folder_of[library]]
        for used in re.findall(r"vestrel_(\w+)", libs):
            if used in folder_of and folder_of[used] not in allowed:
                faults.append(f"CMakeLists.txt: vestrel_{library} may not link vestrel_{used}")
    return faults


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = include_faults(root) + circle_faults(root) + link_faults(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
