#!/usr/bin/python3
"""Writes the plug-in files that Vestrel ships (plugin/*.aep) from the table below.

Run from anywhere:  /usr/bin/python3 tools/make_plugins.py

It also writes plugin-defaults/Vestrel.conf, the configuration file shipped in the program folder: the
selection that "Set Default" writes for these items, so that a first "Erase Now" erases only the ten
default items and never the favorites or other data the user did not choose.

The browser items name the same files in every profile folder of every Chromium browser, which is
easier to keep right in one table than in forty hand-edited lists. The output is deterministic, so
re-running the script on an unchanged table changes no file. Other plug-in authors write their files
by hand: docs/plugins.md describes the format.
"""

import os
from xml.sax.saxutils import escape

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "plugin")
CONFIG_PATH = os.path.join(ROOT, "plugin-defaults", "Vestrel.conf")

# What "Set Default" selects, by description.
DEFAULT_ITEMS = {"IE Auto Complete Form", "IE Auto Complete Password", "IE Cache Files", "IE Cookies",
                 "IE History List", "IE Type URLs", "Empty Recycle Bin", "Start--Recent Documents",
                 "Start--Recent Run List", "Windows Temp Files"}

# %userhome% is the user's profile folder. Its local application data is "AppData\Local" from Vista on
# and "Local Settings\Application Data" on Windows 2000 and XP.
LOCAL_TODAY = r"%userhome%\AppData\Local"
LOCAL_XP = r"%userhome%\Local Settings\Application Data"
XP_VERSIONS = ("5.1", "5")

# Chromium numbers its extra profiles from 1 and never reuses a number, so a few gaps are normal.
CHROMIUM_PROFILES = ["Default"] + ["Profile %d" % n for n in range(1, 10)]


class Item:
    def __init__(self, name, descript, type_, command, today, xp=None, head="", default=False):
        self.name = name
        self.descript = descript
        self.type = type_
        self.command = command
        self.today = today
        self.xp = xp
        self.head = head
        self.default = default  # "Set Default" ticks it, besides the DEFAULT_ITEMS

    def is_default(self):
        return self.default or self.descript in DEFAULT_ITEMS

    def variants(self):
        if self.xp is not None:
            for version in XP_VERSIONS:
                yield version, self.xp
        yield "otherwise", self.today


def advance(name, descript, type_, cleaner, head):
    return Item(name, descript, type_, "advance", [cleaner], head=head)


def chromium_items(prefix, browser, user_data, xp_user_data=None):
    def per_profile(base, paths):
        return [base + "\\" + profile + "\\" + path for profile in CHROMIUM_PROFILES for path in paths]

    def both(paths, shared=()):
        def build(base):
            return per_profile(base, paths) + [base + "\\" + path for path in shared]
        return build(LOCAL_TODAY + "\\" + user_data), (
            build(LOCAL_XP + "\\" + xp_user_data) if xp_user_data else None)

    cache = both(["Cache", "Code Cache", "GPUCache", "DawnWebGPUCache", "DawnGraphiteCache",
                  r"Service Worker\CacheStorage", r"Service Worker\ScriptCache"],
                 ["ShaderCache", "GrShaderCache", "GraphiteDawnCache"])
    cookies = both([r"Network\Cookies*", "Cookies*"])
    history = both(["History*", "Visited Links", "Top Sites*", "Shortcuts*", "Network Action Predictor*"])
    sessions = both([r"Sessions\*", "Current Session", "Current Tabs", "Last Session", "Last Tabs"])
    profiles = "the default profile and Profile 1 to Profile 9"
    return [
        Item(prefix + "-cache", browser + " Cache", "application", "delete-directory", *cache,
             head="The disk, code, GPU and service-worker caches of %s in %s." % (browser, profiles)),
        Item(prefix + "-cookies", browser + " Cookies", "application", "delete-file", *cookies,
             head="The cookie databases of %s in %s; signs you out of web sites." % (browser, profiles)),
        Item(prefix + "-history", browser + " History", "application", "delete-file", *history,
             head="Browsing history, visited links, top sites and address-bar predictions of %s in %s."
                  % (browser, profiles)),
        Item(prefix + "-sessions", browser + " Sessions and Open Tabs", "application", "delete-file",
             *sessions,
             head="The saved sessions of %s in %s: the open tabs cannot be restored afterwards."
                  % (browser, profiles)),
    ]


EXPLORER = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer"
APPLETS = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets"
OFFICE = r"HKEY_CURRENT_USER\Software\Microsoft\Office"


def office_lists():
    keys = []
    for version in ("16.0", "15.0", "14.0", "12.0"):
        for app in ("Word", "Excel", "PowerPoint"):
            keys += [OFFICE + "\\%s\\%s\\File MRU" % (version, app),
                     OFFICE + "\\%s\\%s\\Place MRU" % (version, app)]
            if version in ("16.0", "15.0"):
                # Signed-in users keep their lists under one subkey per account.
                keys.append(OFFICE + "\\%s\\%s\\User MRU" % (version, app))
    return keys


ITEMS = [
    # The ten items that "Set Default" selects.
    advance("ie-auto-complete-form", "IE Auto Complete Form", "ie", "delete-ie-auto-complete-form",
            "Auto-complete form entries that Internet Explorer kept in protected storage."),
    advance("ie-auto-complete-password", "IE Auto Complete Password", "ie",
            "delete-ie-auto-complete-password",
            "Internet Explorer's IntelliForms key: saved form entries and passwords."),
    advance("ie-cache-files", "IE Cache Files", "ie", "delete-ie-cache",
            "The temporary Internet files of Internet Explorer and of the system's web controls."),
    advance("ie-cookies", "IE Cookies", "ie", "delete-ie-cookie",
            "The cookies of Internet Explorer and of the system's web controls."),
    advance("ie-history-list", "IE History List", "ie", "delete-ie-history",
            "The URL history of Internet Explorer and of the system's web controls."),
    Item("ie-type-urls", "IE Type URLs", "ie", "delete-register-value",
         [r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs\*",
          r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLsTime\*"],
         head="The addresses typed into the address bar of Internet Explorer and Explorer."),
    advance("empty-recycle-bin", "Empty Recycle Bin", "windows", "empty-recycle-bin",
            "Everything in the recycle bins of all drives."),
    advance("start-recent-documents", "Start--Recent Documents", "windows", "delete-recent-documents",
            "The shortcuts to recently opened files and folders; the jump lists are a separate item."),
    Item("start-recent-run-list", "Start--Recent Run List", "windows", "delete-register-value",
         [EXPLORER + r"\RunMRU\*"],
         head="The commands typed into the Run box."),
    advance("windows-temp-files", "Windows Temp Files", "windows", "delete-temp-files",
            "The files in the user's temporary folder; files in use stay."),

    # Further built-in items, never selected by default: these hold the user's own data.
    advance("ie-favorites", "IE Favorites", "ie", "delete-ie-favorite",
            "Every favorite of Internet Explorer, with its folders. This is the user's own data."),
    advance("network-shortcuts", "Network Shortcuts", "windows", "delete-net-hood",
            "The network locations in the Network Shortcuts folder (Network Neighborhood)."),
]

ITEMS += chromium_items("chrome", "Chrome", r"Google\Chrome\User Data", r"Google\Chrome\User Data")
ITEMS += chromium_items("edge", "Edge", r"Microsoft\Edge\User Data")
ITEMS += chromium_items("brave", "Brave", r"BraveSoftware\Brave-Browser\User Data")

ITEMS += [
    Item("firefox-cache", "Firefox Cache", "application", "delete-directory",
         [LOCAL_TODAY + r"\Mozilla\Firefox\Profiles"], [LOCAL_XP + r"\Mozilla\Firefox\Profiles"],
         head="The local part of every Firefox profile, which holds nothing but caches. Cookies, history "
              "and sessions live in profile folders with random names that no plug-in path can reach."),
    Item("explorer-recent-docs", "Explorer Recent Documents List", "application", "delete-register-key",
         [EXPLORER + r"\RecentDocs"],
         head="Explorer's list of recently opened documents, by file type."),
    Item("explorer-open-save", "Explorer Open/Save Dialog History", "application", "delete-register-key",
         [EXPLORER + r"\ComDlg32\OpenSavePidlMRU"], [EXPLORER + r"\ComDlg32\OpenSaveMRU"],
         head="The files last chosen in Open and Save As dialogs."),
    Item("explorer-last-visited", "Explorer Last Visited Folders", "application", "delete-register-key",
         [EXPLORER + r"\ComDlg32\LastVisitedPidlMRU", EXPLORER + r"\ComDlg32\LastVisitedPidlMRULegacy"],
         [EXPLORER + r"\ComDlg32\LastVisitedMRU"],
         head="The folder each program last used in an Open or Save As dialog."),
    Item("explorer-search-history", "Explorer Search History", "application", "delete-register-key",
         [EXPLORER + r"\WordWheelQuery"],
         [r"HKEY_CURRENT_USER\Software\Microsoft\Search Assistant\ACMru"],
         head="The words searched for in Explorer."),
    Item("explorer-typed-paths", "Explorer Typed Paths", "application", "delete-register-value",
         [EXPLORER + r"\TypedPaths\*"],
         head="The paths typed into Explorer's address bar."),
    Item("jump-lists", "Jump Lists (pinned items too)", "application", "delete-file",
         [r"%appdata%\Microsoft\Windows\Recent\AutomaticDestinations\*.automaticDestinations-ms",
          r"%appdata%\Microsoft\Windows\Recent\CustomDestinations\*.customDestinations-ms"],
         head="The recent and frequent items of every taskbar jump list. The same files hold the "
              "pinned items, which go with them."),
    Item("thumbnail-cache", "Thumbnail Cache", "application", "delete-file",
         [LOCAL_TODAY + r"\Microsoft\Windows\Explorer\thumbcache_*.db"],
         head="Explorer's cached thumbnails, which show pictures long after the pictures are gone."),
    Item("paint-recent", "Paint Recent Files", "application", "delete-register-value",
         [APPLETS + r"\Paint\Recent File List\*"],
         head="The recent-file list of Paint."),
    Item("wordpad-recent", "WordPad Recent Files", "application", "delete-register-value",
         [APPLETS + r"\Wordpad\Recent File List\*"],
         head="The recent-file list of WordPad."),
    Item("media-player-recent", "Media Player Recent Files", "application", "delete-register-value",
         [r"HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentFileList\*",
          r"HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentURLList\*"],
         head="The files and addresses last played in Windows Media Player."),
    Item("error-reports", "Windows Error Reports", "application", "delete-directory",
         [LOCAL_TODAY + r"\Microsoft\Windows\WER\ReportArchive",
          LOCAL_TODAY + r"\Microsoft\Windows\WER\ReportQueue"],
         head="The user's archived and queued Windows error reports, which can hold documents' contents."),
    Item("office-recent-lists", "Office Recent File Lists", "application", "delete-register-key",
         office_lists(),
         head="The recent files and places of Word, Excel and PowerPoint 2007 to 365, pinned ones too."),
    Item("office-recent-shortcuts", "Office Recent Shortcuts", "application", "delete-directory",
         [r"%appdata%\Microsoft\Office\Recent"],
         head="The shortcuts Office keeps to the documents it opened."),
]


def render(item):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Written by tools/make_plugins.py; change the table there. -->",
             "<vestrel-plugin>",
             "    <head>%s</head>" % escape(item.head),
             "    <body>",
             "        <descript>%s</descript>" % escape(item.descript),
             "        <id>%s</id>" % item.name,
             "        <type>%s</type>" % item.type,
             "        <command>%s</command>" % item.command]
    if item.default:
        lines.append("        <default>true</default>")
    lines.append("        <parameters>")
    for version, parameters in item.variants():
        lines.append('            <parameters windows-version="%s">' % version)
        lines += ["                <item>%s</item>" % escape(p) for p in parameters]
        lines.append("            </parameters>")
    lines += ["        </parameters>", "    </body>", "</vestrel-plugin>", ""]
    return "\r\n".join(lines)


def render_config(items):
    # In the order an NTFS folder lists the files, which is the program's list order on Windows.
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<vestrel-config>", "    <erase-items>"]
    for item in sorted(items, key=lambda item: item.name.upper()):
        value = "true" if item.is_default() else "false"
        lines.append("        <%s>%s</%s>" % (item.name, value, item.name))
    lines += ["    </erase-items>", "    <app-config>", "        <current-page>0</current-page>",
              "    </app-config>", "</vestrel-config>", ""]
    return "\r\n".join(lines)


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    names = [item.name for item in ITEMS]
    assert len(names) == len(set(names)), "two items share an id"
    for old in os.listdir(OUT_DIR):
        if old.endswith(".aep") and old[:-4] not in names:
            os.remove(os.path.join(OUT_DIR, old))
    for item in ITEMS:
        with open(os.path.join(OUT_DIR, item.name + ".aep"), "w", encoding="utf-8", newline="") as out:
            out.write(render(item))
    assert DEFAULT_ITEMS <= {item.descript for item in ITEMS}, "a default item is missing"
    os.makedirs(os.path.dirname(CONFIG_PATH), exist_ok=True)
    with open(CONFIG_PATH, "w", encoding="utf-8", newline="") as out:
        out.write(render_config(ITEMS))


if __name__ == "__main__":
    main()
