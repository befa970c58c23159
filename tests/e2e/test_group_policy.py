"""The Group Policy templates an administrator loads name exactly the values Vestrel reads, with every
string and presentation they refer to; and a policy set in the machine's registry rules vestrel-cli:
forced items are erased, the managed settings are listed, a refused erase ends with exit code 4, and a
value of the wrong type is named in the record file."""
import filecmp
import json
import os
import re
import shutil
import xml.etree.ElementTree as ET

import desktop
import installation

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
TEMPLATES = os.path.join(desktop.REPO, "installer", "policy")
POLICY_KEY = r"HKLM\Software\Policies\Vestrel"
PLUGIN = """<?xml version="1.0" encoding="UTF-8"?>
<vestrel-plugin><head>policy item</head><body><descript>{id}</descript><id>{id}</id><type>windows</type>
<command>delete-directory</command><parameters><parameters windows-version="otherwise">
<item>S:\\e2e-policy\\{id}</item></parameters></parameters></body></vestrel-plugin>
"""


def program_names():
    """The key and value names the program reads, from the one header that holds them."""
    with open(os.path.join(desktop.REPO, "settings", "PolicyNames.h"), encoding="utf-8") as header:
        text = header.read()
    key = re.search(r'kPoliciesKeyPath\[\] = "(.*)";', text).group(1).replace("\\\\", "\\")
    return key, set(re.findall(r'k\w+Policy\[\] = "(.*)";', text))


def references(element, kind):
    return re.findall(r"\$\(" + kind + r"\.(\w+)\)", " ".join(element.attrib.values()))


def check_templates():
    admx = ET.parse(os.path.join(TEMPLATES, "Vestrel.admx")).getroot()
    adml = ET.parse(os.path.join(TEMPLATES, "en-US", "Vestrel.adml")).getroot()
    strings = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
    presentations = {p.get("id"): p for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
    categories = {c.get("name") for c in admx.iterfind(".//p:categories/p:category", NS)}
    key, names = program_names()
    written = set()
    for element in admx.iter():
        missing = [s for s in references(element, "string") if s not in strings]
        assert not missing, f"strings missing from the ADML: {missing}"
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        name = policy.get("name")
        assert policy.get("key") == key, f"{name} writes {policy.get('key')}, Vestrel reads {key}"
        assert policy.find("p:parentCategory", NS).get("ref") in categories, name
        values = [policy.get("valueName")] + [e.get("valueName") for e in policy.find("p:elements", NS) or []]
        values = [v for v in values if v]
        assert values and set(values) <= names, f"{name} writes {values}, Vestrel reads {sorted(names)}"
        written |= set(values)
        ids = {e.get("id") for e in policy.find("p:elements", NS) or []}
        for presentation in references(policy, "presentation"):
            assert presentation in presentations, f"{name}: no presentation {presentation}"
            refs = {control.get("refId") for control in presentations[presentation]}
            assert refs == ids, f"{name}: the presentation shows {refs}, the policy has {ids}"
    assert written == names, f"values Vestrel reads that no policy sets: {names - written}"


def check_shipped(program_dir):
    for relative in ("Vestrel.admx", os.path.join("en-US", "Vestrel.adml")):
        shipped = os.path.join(program_dir, "policy", relative)
        assert filecmp.cmp(shipped, os.path.join(TEMPLATES, relative), shallow=False), f"{shipped} differs"


def cli(prefix, host_app, *arguments):
    return prefix.run(os.path.join(host_app, "vestrel-cli.exe"), *arguments)


def check_cli(args):
    prefix = installation.Prefix()
    _, host_app = prefix.sandbox("policy", "app")
    data = os.path.join(prefix.env["VESTREL_SANDBOX"], "e2e-policy")
    shutil.rmtree(data, ignore_errors=True)
    os.makedirs(os.path.join(host_app, "plugin"))
    shutil.copy(os.path.join(args.program_dir, "vestrel-cli.exe"), host_app)
    for item in ("forced", "mine"):
        os.makedirs(os.path.join(data, item))
        with open(os.path.join(data, item, "trace.tmp"), "w") as trace:
            trace.write("x")
        with open(os.path.join(host_app, "plugin", item + ".aep"), "w") as plugin:
            plugin.write(PLUGIN.format(id=item))
    with open(os.path.join(host_app, "Vestrel.conf"), "w") as config:
        config.write('<?xml version="1.0"?><vestrel-config><erase-items><forced>false</forced>'
                     "<mine>false</mine></erase-items></vestrel-config>")
    prefix.delete_key(POLICY_KEY)
    try:
        assert prefix.run("reg", "add", POLICY_KEY, "/v", "Ticked Items", "/t", "REG_MULTI_SZ", "/d",
                          r"forced\0elsewhere", "/f").returncode == 0
        assert prefix.run("reg", "add", POLICY_KEY, "/v", "Allow Command Line Erase", "/t", "REG_DWORD",
                          "/d", "0", "/f").returncode == 0
        prefix.set_value(POLICY_KEY, "Erase Period", "a week")  # a string where a number belongs
        result = cli(prefix, host_app, "list", "--json")
        assert result.returncode == 0, result
        listed = json.loads(result.stdout)
        assert listed["managed settings"] == ["Ticked Items", "Allow Command Line Erase"], listed
        forced = [item for item in listed["items"] if item["id"] == "forced"][0]
        assert forced["selected"] and forced["managed"], forced

        result = cli(prefix, host_app, "erase")
        assert result.returncode == 4 and "your organization" in result.stderr, result
        assert os.path.exists(os.path.join(data, "forced", "trace.tmp")), "a refused erase removed something"

        prefix.run("reg", "delete", POLICY_KEY, "/v", "Allow Command Line Erase", "/f")
        result = cli(prefix, host_app, "erase")
        assert result.returncode == 0, result
        assert not os.path.exists(os.path.join(data, "forced", "trace.tmp")), "the forced item was not erased"
        assert os.path.exists(os.path.join(data, "mine", "trace.tmp")), "an unticked item was erased"
        with open(os.path.join(host_app, "Vestrel.log"), encoding="utf-8") as record:
            problems = [line for line in record if "Erase Period is ignored" in line]
        assert len(problems) == 1, problems
    finally:
        prefix.delete_key(POLICY_KEY)


def test(args):
    check_templates()
    check_shipped(args.program_dir)
    check_cli(args)


if __name__ == "__main__":
    desktop.run(test)
