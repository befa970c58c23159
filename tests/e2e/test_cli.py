"""vestrel-cli as a script uses it: --json documents parsed by Python's json module, preview then erase."""
import json
import os
import shutil
import subprocess

import desktop

PLUGIN = """<?xml version="1.0" encoding="UTF-8"?>
<vestrel-plugin>
    <head>vestrel-cli end-to-end item</head>
    <body>
        <descript>{descript}</descript>
        <id>{id}</id>
        <type>windows</type>
        <command>{command}</command>
        <parameters>
            <parameters windows-version="otherwise"><item>{parameter}</item></parameters>
        </parameters>
    </body>
</vestrel-plugin>
"""
VALUES_KEY = r"HKCU\Software\Vestrel Tests\e2e-cli"
NAMES = ["plain.tmp", "日本語のファイル.tmp", "emoji 😀.tmp", "quote's & [brackets].tmp",
         "nested/é à ü.tmp"]


def prepare(sandbox, program_dir):
    root = os.path.join(sandbox, "e2e-cli")
    shutil.rmtree(root, ignore_errors=True)
    app = os.path.join(root, "app")
    os.makedirs(os.path.join(app, "plugin"))
    shutil.copy(os.path.join(program_dir, "vestrel-cli.exe"), app)
    items = [("traces", "Traces “quoted”", "delete-directory", r"S:\e2e-cli\data"),
             ("values", "Registry Values", "delete-register-value",
              "HKEY_CURRENT_USER\\Software\\Vestrel Tests\\e2e-cli\\*"),
             ("unselected", "Not Selected", "delete-directory", r"S:\e2e-cli\keep")]
    for item_id, descript, command, parameter in items:
        with open(os.path.join(app, "plugin", item_id + ".aep"), "w", encoding="utf-8") as plugin:
            plugin.write(PLUGIN.format(id=item_id, descript=descript, command=command, parameter=parameter))
    with open(os.path.join(app, "Vestrel.conf"), "w") as config:
        config.write('<?xml version="1.0"?><vestrel-config><erase-items><traces>true</traces>'
                     "<values>true</values><unselected>false</unselected></erase-items></vestrel-config>")
    for index, name in enumerate(NAMES):
        path = os.path.join(root, "data", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as trace:
            trace.write(b"x" * (100 * (index + 1)))
    os.makedirs(os.path.join(root, "keep"))
    with open(os.path.join(root, "keep", "keep.tmp"), "wb") as keep:
        keep.write(b"keep")
    # The link trap: Wine shows a Unix link to a folder as a link, which no walk may follow.
    os.symlink(os.path.join(root, "keep"), os.path.join(root, "data", "link"))
    return root, app


def wine(env, *args):
    # Started in the sandbox (drive S:), so that Wine has no working-folder warning to add to stderr.
    return subprocess.run([os.path.join(desktop.TOOLS, "wine-run"), *args], env=env, capture_output=True,
                          cwd=env["VESTREL_SANDBOX"])


def cli(env, app, *args):
    result = wine(env, os.path.join(app, "vestrel-cli.exe"), *args)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


def snapshot(folder):
    """The files below folder with their sizes, but for the plug-in cache, which any reading may renew."""
    return sorted((os.path.relpath(os.path.join(d, f), folder), os.path.getsize(os.path.join(d, f)))
                  for d, _, fs in os.walk(folder) for f in fs if f != "Vestrel.cache")


def test(args):
    env = desktop.wine_environment()
    root, app = prepare(env["VESTREL_SANDBOX"], args.program_dir)
    wine(env, "reg", "delete", VALUES_KEY, "/f")
    for name in ("first", "zweite ü"):
        wine(env, "reg", "add", VALUES_KEY, "/v", name, "/d", "1", "/f")

    code, out, _ = cli(env, app, "list", "--json")
    assert code == 0, code
    listed = {item["id"]: item["selected"] for item in json.loads(out)["items"]}
    assert listed == {"traces": True, "values": True, "unselected": False}, listed

    before = snapshot(root)
    code, out, err = cli(env, app, "--json", "preview")
    assert code == 0, (code, err)
    preview = json.loads(out)
    assert snapshot(root) == before, "the preview changed the disk"
    assert preview["totals"] == {"files": 5, "bytes": 1500, "registryEntries": 2, "cookies": 0}, preview["totals"]
    shown = sorted(f["path"].rsplit("\\", 1)[-1] for f in preview["items"][0]["files"])
    assert shown == sorted(name.rsplit("/", 1)[-1] for name in NAMES), shown
    assert preview["items"][0]["description"] == "Traces “quoted”"
    assert preview["items"][0]["folderLinks"] == [r"S:\e2e-cli\data\link"], preview["items"][0]
    assert err == "", err

    code, out, err = cli(env, app, "erase", "--json")
    assert code == 0, (code, err)
    erase = json.loads(out)
    assert erase["command"] == "erase"
    assert erase["items"] == preview["items"], "the erase reached other entries than the preview named"
    assert erase["totals"] == preview["totals"]
    assert snapshot(os.path.join(root, "data")) == [], snapshot(os.path.join(root, "data"))
    assert snapshot(os.path.join(root, "keep")) == [("keep.tmp", 4)]
    with open(os.path.join(app, "Vestrel.log"), encoding="utf-8") as record:
        lines = record.read().splitlines()
    messages = [line.split("]", 1)[1] for line in lines]
    assert messages == ["Traces “quoted” done...", "Registry Values done..."], lines

    code, out, err = cli(env, app, "erase", "no-such-item", "--json")
    assert code == 2 and "no-such-item" in json.loads(out)["error"], (code, out)
    code, out, _ = cli(env, app, "--help")
    assert code == 0 and out.startswith(b"Usage: vestrel-cli"), (code, out)


if __name__ == "__main__":
    desktop.run(test)
