"""The layering check passes on the tree as it stands and fails on an include or a link that goes up, and on
an include circle inside the engine."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
CHECK = os.path.join(ROOT, "tools", "check_layers.py")
FOLDERS = ["framework", "engine", "settings", "run", "import", "ui", "app", "cli"]


def check(root):
    return subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)


class LayeringTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        for folder in FOLDERS:
            shutil.copytree(os.path.join(ROOT, folder), os.path.join(self.root, folder))
        shutil.copy(os.path.join(ROOT, "CMakeLists.txt"), self.root)

    def tearDown(self):
        self.folder.cleanup()

    def plant(self, path, line):
        with open(os.path.join(self.root, path), "a", encoding="utf-8") as source:
            source.write(line + "\n")

    def test_the_tree_as_it_stands_passes(self):
        result = check(ROOT)
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_an_engine_file_including_the_settings_fails(self):
        self.plant("engine/items/EraseItem.cpp", '#include "settings/AppPaths.h"')
        result = check(self.root)
        self.assertEqual(result.returncode, 1)
        self.assertIn("engine/items/EraseItem.cpp", result.stdout)
        self.assertIn("settings/AppPaths.h", result.stdout)

    def test_a_lower_wing_including_a_higher_one_fails(self):
        self.plant("engine/files/FolderWalk.cpp", '#include "engine/cleaners/CookieCleaner.h"')
        self.plant("engine/registry/RegistryEraser.cpp", '#include "engine/CommandExecutor.h"')
        self.plant("engine/EraseMode.h", '#include "engine/files/NamePattern.h"')
        result = check(self.root).stdout
        self.assertIn("engine/files/FolderWalk.cpp", result)
        self.assertIn("engine/registry/RegistryEraser.cpp", result)
        self.assertIn("engine/EraseMode.h", result)

    def test_a_circle_between_engine_files_fails(self):
        self.plant("engine/registry/RegistryPath.cpp", '#include "engine/registry/RegistryEraser.h"')
        result = check(self.root)
        self.assertEqual(result.returncode, 1)
        self.assertIn("include circle: engine/registry/RegistryPath -> engine/registry/RegistryEraser", result.stdout)

    def test_a_control_using_the_programs_resource_ids_fails(self):
        self.plant("ui/CSkinButton.cpp", '#include "resource.h"')
        self.assertIn("ui/CSkinButton.cpp", check(self.root).stdout)

    def test_the_command_line_including_a_skinned_control_fails(self):
        self.plant("cli/CliProgram.cpp", '#include "ui/CSkinButton.h"')
        self.assertEqual(check(self.root).returncode, 1)

    def test_a_library_linking_upwards_fails(self):
        path = os.path.join(self.root, "CMakeLists.txt")
        with open(path, encoding="utf-8") as cmake:
            text = cmake.read()
        with open(path, "w", encoding="utf-8") as cmake:
            cmake.write(text.replace("LIBS vestrel_engine_items vestrel_sqlite", "LIBS vestrel_settings vestrel_sqlite"))
        result = check(self.root)
        self.assertIn("vestrel_engine_cleaners may not link vestrel_settings", result.stdout)


if __name__ == "__main__":
    unittest.main()
