#!/usr/bin/python3
"""Writes the plug-in files that Vestrel ships (plugin/*.aep) from the table below.

Run from anywhere:  /usr/bin/python3 tools/make_plugins.py

It also writes plugin-defaults/Vestrel.conf, the configuration file shipped in the program folder: the
selection that "Set Default" writes for these items, so that a first "Erase Now" erases only the caches,
temporary files, the recycle bin and Windows' recent lists, never cookies, history, passwords, or
anything an item warns about.

The browser items name the same files in every profile and channel of every browser, which is easier to
keep right in one table than in a hundred hand-edited lists. The output is deterministic, so re-running
the script on an unchanged table changes no file. Other plug-in authors write their files by hand:
docs/plugins.md describes the format.
"""

import os
from xml.sax.saxutils import escape, quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "plugin")
CONFIG_PATH = os.path.join(ROOT, "plugin-defaults", "Vestrel.conf")

# The items "Set Default" selects by description whether or not their file says so; the shipped set
# keeps five of these names and marks every default item with <default> as well.
DEFAULT_ITEMS = {"IE Auto Complete Form", "IE Auto Complete Password", "IE Cache Files", "IE Cookies",
                 "IE History List", "IE Type URLs", "Empty Recycle Bin", "Start--Recent Documents",
                 "Start--Recent Run List", "Windows Temp Files"}

# %userhome% is the user's profile folder. Windows 2000 and XP keep local application data in
# "Local Settings\Application Data"; the newer tokens (%localappdata%, %temp% ...) know both layouts.
LOCAL = "%localappdata%"
LOCAL_XP = r"%userhome%\Local Settings\Application Data"
XP_VERSIONS = ("5.1", "5")

EXPLORER = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer"
APPLETS = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets"
OFFICE = r"HKEY_CURRENT_USER\Software\Microsoft\Office"


class P:
    """One parameter with the attributes that change how it is taken."""

    def __init__(self, text, recurse=None, command=None, remove_self=False, table=None):
        self.text = text
        self.recurse = recurse
        self.command = command
        self.remove_self = remove_self
        self.table = table

    def render(self):
        attributes = ""
        if self.command:
            attributes += " command=%s" % quoteattr(self.command)
        if self.recurse:
            attributes += " recurse=%s" % quoteattr(self.recurse)
        if self.remove_self:
            attributes += ' remove-self="true"'
        if self.table:
            attributes += " table=%s" % quoteattr(self.table)
        return "<item%s>%s</item>" % (attributes, escape(self.text))


def folder(text):
    """A folder whose whole contents go, inside an item of another command."""
    return P(text, command="delete-directory")


def own_files(text):
    """Files matched only in the folder itself, never in its subfolders."""
    return P(text, recurse="none")


def own_files_of(text):
    """As own_files, inside an item of another command."""
    return P(text, recurse="none", command="delete-file")


def cookie_database(text):
    """A browser's cookie database: the sites to keep stay in it, the other cookies go."""
    return P(text, command="delete-cookies")


# Programs with several items on one page, which the page shows under one foldable row; the browsers' items
# are grouped by their browser's name.
GROUPED_PROGRAMS = ("Explorer", "Office", "Start")


class Item:
    def __init__(self, name, descript, type_, command, today, xp=None, head="", default=False,
                 running=(), detect=(), warning=None, keep=(), older_than_hours=None, group=None):
        self.name = name
        self.descript = descript
        self.type = type_
        self.command = command
        self.today = today
        self.xp = xp
        self.head = head
        self.default = default
        self.running = running  # (name, exe) pairs, or (name, exe, folder, background) for the program in that folder
        self.detect = detect
        self.warning = warning
        self.keep = keep
        self.older_than_hours = older_than_hours
        self.group = group or next((program for program in GROUPED_PROGRAMS
                                    if descript.startswith(program + " ") or descript.startswith(program + "--")),
                                   None)

    def is_default(self):
        return self.default or self.descript in DEFAULT_ITEMS

    def variants(self):
        if self.xp is not None:
            for version in XP_VERSIONS:
                yield version, self.xp
        yield "otherwise", self.today


def advance(name, descript, type_, cleaner, head, **extra):
    return Item(name, descript, type_, "advance", [cleaner], head=head, **extra)


# Every profile a Chromium browser makes: the first, the numbered ones and the guest profile.
CHROMIUM_PROFILES = ["Default", "Profile *", "Guest Profile"]


class Chromium:
    def __init__(self, prefix, name, exe, user_data, installs, profiles=CHROMIUM_PROFILES, local_cache=None,
                 background=None):
        self.prefix = prefix
        self.name = name
        self.exe = exe
        self.user_data = user_data  # full paths of the "User Data" folders, one per channel
        self.installs = installs  # the folders its program file runs from, per machine and per user
        self.profiles = profiles
        # Opera keeps its profile in the roaming folder and its caches beside it in the local one.
        self.local_cache = local_cache or user_data
        # What keeps the browser running without a window, and where the user turns it off.
        self.background = background

    def per_profile(self, bases, paths, wrap=P):
        return [wrap(base + ("\\" + profile if profile else "") + "\\" + path)
                for base in bases for profile in self.profiles for path in paths]


# The stores in which a Chromium browser names an extension's data by its origin; the site-data item keeps
# them. The extensions' own settings (Local Extension Settings, Extension State) lie elsewhere and stay.
EXTENSION_STORES = [r"IndexedDB\chrome-extension_*", r"databases\chrome-extension_*"]


FORM_TABLES = ("autofill", "autocomplete")


def chromium_items(browser):
    b = browser
    running = [(b.name, b.exe, install, b.background) for install in b.installs]
    detect = b.user_data
    # Service Worker's CacheStorage and ScriptCache are the offline data of installed web apps, not cache:
    # they belong to the site data.
    cache = (b.per_profile(b.local_cache, ["Cache", "Code Cache", "GPUCache", "DawnWebGPUCache",
                                           "DawnGraphiteCache"])
             + [P(base + "\\" + shared) for base in b.local_cache
                for shared in ("ShaderCache", "GrShaderCache", "GraphiteDawnCache")])
    cookies = (b.per_profile(b.user_data, [r"Network\Cookies", "Cookies"], cookie_database)
               + b.per_profile(b.user_data, [r"Network\TransportSecurity*", r"Network\Trust Tokens*",
                                             r"Network\Reporting and NEL*"], own_files))
    site_data = (b.per_profile(b.user_data, ["Local Storage", "IndexedDB", "Service Worker", "File System",
                                             "databases", "WebStorage"], folder)
                 + b.per_profile(b.user_data, ["Shared Storage*"], own_files_of))
    extension_stores = [base + r"\**" + "\\" + store for base in b.user_data for store in EXTENSION_STORES]
    # The segmentation platform's URL-keyed metrics (ukm_db) name every page visited, for all profiles.
    history = (b.per_profile(b.user_data, ["History*", "Favicons*", "Visited Links", "Top Sites*",
                                           "Shortcuts*", "Network Action Predictor*", "DIPS*"], own_files)
               + b.per_profile(b.user_data, ["Session Storage"], folder)
               + [own_files_of(base + r"\segmentation_platform\ukm_db*") for base in b.user_data])
    # Newer versions keep the sessions encrypted beside the plain ones, with the same pages in them.
    sessions = (b.per_profile(b.user_data, ["Current Session", "Current Tabs", "Last Session", "Last Tabs"],
                              own_files)
                + b.per_profile(b.user_data, ["Sessions", "Sessions_Encrypted"], folder))
    # Typed form entries are the autofill table of Web Data; newer versions name it autocomplete.
    form_data = [P(path.text, table=table) for table in FORM_TABLES
                 for path in b.per_profile(b.user_data, ["Web Data"])]
    where = "in every profile (the guest profile too)"
    common = dict(running=running, detect=detect, group=b.name)
    return [
        Item(b.prefix + "-cache", b.name + " Cache", "application", "delete-directory", cache,
             head="The disk, code, GPU and shader caches of %s %s. What web sites and installed web apps "
                  "stored (service workers' CacheStorage and ScriptCache among it) is the Site Data item and "
                  "stays here." % (b.name, where),
             default=True, **common),
        Item(b.prefix + "-cookies", b.name + " Cookies", "application", "delete-file", cookies,
             head="The cookies of %s %s, with the sites' HSTS state, trust tokens and reporting "
                  "endpoints. What sites stored otherwise is the Site Data item; the cookies of extensions "
                  "(Extension Cookies), bookmarks, saved passwords, form data and settings stay."
                  % (b.name, where),
             warning="Signs you out of every web site in %s." % b.name, **common),
        Item(b.prefix + "-site-data", b.name + " Site Data", "application", "delete-directory", site_data,
             head="What web sites and installed web apps stored in %s %s: local storage, IndexedDB, service "
                  "workers with their CacheStorage and ScriptCache, file systems, Web SQL databases, "
                  "WebStorage and Shared Storage. Cookies are the Cookies item. The IndexedDB and Web SQL "
                  "stores of extensions, the extensions' own settings, bookmarks, saved passwords and "
                  "settings stay, and so does what the sites to keep stored." % (b.name, where),
             warning="Sites forget what they saved on this computer and installed web apps lose their "
                     "offline data.", keep=extension_stores, **common),
        Item(b.prefix + "-history", b.name + " History", "application", "delete-file", history,
             head="Browsing history, site icons, visited links, top sites, address-bar predictions, the "
                  "sites-with-timestamps record (DIPS), the usage metrics that name the pages visited "
                  "(ukm_db) and per-tab session storage of %s %s. Bookmarks, saved passwords and settings "
                  "stay." % (b.name, where),
             warning="The address bar no longer suggests pages you visited.", **common),
        Item(b.prefix + "-sessions", b.name + " Sessions and Open Tabs", "application", "delete-file", sessions,
             head="The saved sessions of %s %s, plain and encrypted." % (b.name, where),
             warning="The open tabs cannot be restored afterwards.", **common),
        Item(b.prefix + "-form-data", b.name + " Form Data", "application", "empty-table", form_data,
             head="What was typed into web forms in %s %s: the form entries that Web Data keeps to "
                  "suggest again. Saved addresses, payment cards, passwords, search engines and settings "
                  "stay, in the same file." % (b.name, where),
             warning="Forms no longer suggest what you typed before.", **common),
    ]


# Opera keeps its profiles in Default and "Profile *" below the channel folder since version 107; before,
# the channel folder itself was the one profile, which is still so where Opera has not been updated.
OPERA_PROFILES = ["", "Default", "Profile *"]


def google(channel):
    return LOCAL + "\\Google\\" + channel + "\\User Data"


def edge(channel):
    return LOCAL + "\\Microsoft\\" + channel + "\\User Data"


# Where a browser's program file lies: installed for the machine in either Program Files folder, or for
# the user alone in the local application data. Telling programs by these folders keeps Chromium and
# Chrome, which both run chrome.exe, from blocking each other.
def installed(*folders):
    return [root + "\\" + f for f in folders for root in ("%programfiles%", "%programfilesx86%", LOCAL)]


def opera_installs(folder):
    machine = [root + "\\" + folder for root in ("%programfiles%", "%programfilesx86%")]
    return [base + version for base in machine + [LOCAL + r"\Programs" + "\\" + folder] for version in ("", r"\*")]


CHROME_CHANNELS = ("Chrome", "Chrome Beta", "Chrome Dev", "Chrome SxS")
EDGE_CHANNELS = ("Edge", "Edge Beta", "Edge Dev", "Edge SxS")
BRAVE_CHANNELS = ("Brave-Browser", "Brave-Browser-Beta", "Brave-Browser-Nightly")

CHROMIUM_BROWSERS = [
    Chromium("chrome", "Chrome", "chrome.exe", [google(c) for c in CHROME_CHANNELS],
             installed(*("Google\\" + c + "\\Application" for c in CHROME_CHANNELS))),
    Chromium("edge", "Edge", "msedge.exe", [edge(c) for c in EDGE_CHANNELS],
             installed(*("Microsoft\\" + c + "\\Application" for c in EDGE_CHANNELS)),
             background="Startup boost or background extensions keep it running: turn them off in Edge's "
                        "Settings, System and performance"),
    Chromium("brave", "Brave", "brave.exe",
             [LOCAL + "\\BraveSoftware\\" + c + "\\User Data" for c in BRAVE_CHANNELS],
             installed(*("BraveSoftware\\" + c + "\\Application" for c in BRAVE_CHANNELS))),
    Chromium("vivaldi", "Vivaldi", "vivaldi.exe", [LOCAL + r"\Vivaldi\User Data"],
             installed(r"Vivaldi\Application")),
    Chromium("chromium", "Chromium", "chrome.exe", [LOCAL + r"\Chromium\User Data"],
             installed(r"Chromium\Application")),
    # Opera's launcher lies in the install folder, the browser itself in a folder named by its version.
    Chromium("opera", "Opera", "opera.exe", [r"%appdata%\Opera Software\Opera Stable"],
             opera_installs("Opera"),
             profiles=OPERA_PROFILES, local_cache=[LOCAL + r"\Opera Software\Opera Stable"]),
    Chromium("opera-gx", "Opera GX", "opera.exe", [r"%appdata%\Opera Software\Opera GX Stable"],
             opera_installs("Opera GX"),
             profiles=OPERA_PROFILES, local_cache=[LOCAL + r"\Opera Software\Opera GX Stable"]),
]


class Gecko:
    def __init__(self, prefix, name, exe, roaming, local, browser=True):
        self.prefix = prefix
        self.name = name
        self.exe = exe
        self.roaming = roaming  # the folders that hold Profiles
        self.local = local
        self.browser = browser


GECKO = [
    Gecko("firefox", "Firefox", "firefox.exe", r"%appdata%\Mozilla\Firefox", LOCAL + r"\Mozilla\Firefox"),
    Gecko("librewolf", "LibreWolf", "librewolf.exe", r"%appdata%\librewolf", LOCAL + r"\librewolf"),
    Gecko("waterfox", "Waterfox", "waterfox.exe", r"%appdata%\Waterfox", LOCAL + r"\Waterfox"),
    Gecko("thunderbird", "Thunderbird", "thunderbird.exe", r"%appdata%\Thunderbird", LOCAL + r"\Thunderbird",
          browser=False),
]


# The folders in storage\default that belong to web sites; those of extensions (moz-extension+++...) and of
# the browser's own pages are no site data.
WEB_ORIGINS = ("http+++*", "https+++*")


def gecko_items(g):
    common = dict(running=[(g.name, g.exe)], detect=[g.roaming, g.local], group=g.name)
    profiles = g.roaming + r"\Profiles\*"
    items = [
        Item(g.prefix + "-cache", g.name + " Cache", "application", "delete-directory",
             [g.local + r"\Profiles"], [LOCAL_XP + g.local[len(LOCAL):] + r"\Profiles"],
             head="The local part of every %s profile, which holds nothing but caches (cache2, startup "
                  "cache, thumbnails)." % g.name, default=True, **common),
    ]
    if not g.browser:
        return items
    return items + [
        Item(g.prefix + "-cookies", g.name + " Cookies", "application", "delete-file",
             [cookie_database(profiles + r"\cookies.sqlite")],
             head="The cookies of every %s profile: the whole database, or with sites to keep, the "
                  "other sites' cookies." % g.name,
             warning="Signs you out of every web site in %s." % g.name, **common),
        Item(g.prefix + "-site-data", g.name + " Site Data", "application", "delete-directory",
             [P(profiles + r"\storage\default" + "\\" + origin, command="delete-directory", remove_self=True)
              for origin in WEB_ORIGINS] + [own_files_of(profiles + r"\webappsstore.sqlite*")],
             head="What web sites stored in every %s profile: the local storage, IndexedDB, caches and "
                  "service workers of each web site's folder in storage\\default, and the old local storage "
                  "(webappsstore.sqlite). Cookies are the Cookies item. The storage of extensions "
                  "(moz-extension), site permissions, bookmarks, saved passwords and settings stay, and so "
                  "does what the sites to keep stored." % g.name,
             warning="Sites forget what they saved on this computer and installed web apps lose their "
                     "offline data.", keep=[profiles + r"\storage\default\moz-extension+++*"], **common),
        Item(g.prefix + "-sessions", g.name + " Sessions and Open Tabs", "application", "delete-file",
             [own_files(profiles + r"\sessionstore*"), folder(profiles + r"\sessionstore-backups")],
             head="The saved session of every %s profile and its backups." % g.name,
             warning="The open tabs cannot be restored afterwards.", **common),
        Item(g.prefix + "-form-history", g.name + " Form History", "application", "delete-file",
             [own_files(profiles + r"\formhistory.sqlite*")],
             head="What was typed into web forms and the search bar of %s. Saved passwords "
                  "(logins.json, key4.db) stay." % g.name,
             warning="Forms no longer suggest what you typed before.", **common),
        Item(g.prefix + "-history", g.name + " History", "application", "delete-places-history",
             [profiles + r"\places.sqlite"],
             head="The browsing history in every %s profile's places.sqlite: visits, typed addresses and "
                  "the pages no bookmark needs. Bookmarks and keywords stay; the file stays." % g.name,
             warning="The address bar no longer suggests pages you visited.", **common),
    ]


def office_lists():
    keys = []
    for version in ("16.0", "15.0", "14.0", "12.0"):
        for app in ("Word", "Excel", "PowerPoint", "Access", "Visio", "Publisher"):
            keys += [OFFICE + "\\%s\\%s\\File MRU" % (version, app),
                     OFFICE + "\\%s\\%s\\Place MRU" % (version, app)]
            if version in ("16.0", "15.0"):
                # Signed-in users keep their lists under one subkey per account.
                keys.append(OFFICE + "\\%s\\%s\\User MRU" % (version, app))
    return keys


def electron_cache(base):
    return [base + "\\" + part for part in ("Cache", "Code Cache", "GPUCache", r"Service Worker\CacheStorage",
                                            r"Service Worker\ScriptCache", "DawnCache", "DawnWebGPUCache")]


USER_ASSIST = EXPLORER + r"\UserAssist"
SEARCH_CACHES = [LOCAL + "\\Packages\\%s_cw5n1h2txyewy\\LocalState\\DeviceSearchCache" % package
                 for package in ("Microsoft.Windows.Search", "Microsoft.Windows.Cortana")]
QUICK_ACCESS = r"f01b4d95cf55d32a.automaticDestinations-ms"  # Explorer's own jump list
NOTEPAD_TABS = LOCAL + r"\Packages\Microsoft.WindowsNotepad_8wekyb3d8bbwe\LocalState\TabState"
MEDIA_PLAYER_LISTS = [r"HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentFileList\*",
                      r"HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentURLList\*"]
PSREADLINE = r"%appdata%\Microsoft\Windows\PowerShell\PSReadLine"
SHELL_BAGS = [r"HKEY_CURRENT_USER\Software\Microsoft\Windows\Shell",
              r"HKEY_CURRENT_USER\Software\Classes\Local Settings\Software\Microsoft\Windows\Shell"]
NEW_TEAMS = LOCAL + r"\Packages\MSTeams_8wekyb3d8bbwe\LocalCache\Microsoft\MSTeams\EBWebView"
ACROBAT = r"HKEY_CURRENT_USER\Software\Adobe"

ITEMS = [
    # Internet Explorer and the system's web controls. Windows 10 and 11 have no Internet Explorer of their
    # own, but Edge's IE mode and programs that show web pages through the system still use these stores.
    advance("ie-cache-files", "IE Cache Files", "ie", "delete-ie-cache",
            "The temporary Internet files (INetCache) of Internet Explorer, of Edge's IE mode and of "
            "programs that show web pages through the system's web controls.", default=True),
    advance("ie-cookies", "IE Cookies (IE mode and web controls)", "ie", "delete-ie-cookie",
            "The cookies of Internet Explorer, of Edge's IE mode and of the system's web controls. Edge's "
            "own cookies are the Edge item.",
            warning="Signs you out of sites opened in IE mode or in programs' built-in web pages."),
    advance("ie-history-list", "IE History List (IE mode and web controls)", "ie", "delete-ie-history",
            "The URL history of Internet Explorer, of Edge's IE mode and of the system's web controls."),
    Item("ie-type-urls", "IE Typed Addresses", "ie", "delete-register-value",
         [r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs\*",
          r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLsTime\*"],
         head="The addresses typed into the address bar of Internet Explorer (and of Explorer on older "
              "Windows). Windows 10 and 11 open Edge instead of Internet Explorer, so the list holds what "
              "was typed before; Edge's own typed addresses are in its history."),
    advance("ie-auto-complete-form", "IE Auto Complete Form (Windows XP and older)", "ie",
            "delete-ie-auto-complete-form",
            "Auto-complete form entries that Internet Explorer 6 and older kept in protected storage. "
            "Windows Vista and later have no protected storage: there the item finds nothing."),
    advance("ie-auto-complete-password", "IE Saved Forms and Passwords", "ie",
            "delete-ie-auto-complete-password",
            "Internet Explorer's IntelliForms key: the form entries and passwords Internet Explorer 7 to 11 "
            "saved. Windows 10 and 11 keep web passwords in the Credential Manager, which stays.",
            warning="Removes the passwords Internet Explorer saved."),
    advance("ie-favorites", "IE Favorites", "ie", "delete-ie-favorite",
            "Every favorite of Internet Explorer, with its folders: the Favorites folder of the user, which "
            "Windows 10 and 11 still keep and Edge imports from. Edge's own favorites are not in it. This "
            "is the user's own data.", warning="Deletes your Internet Explorer favorites."),

    # Windows.
    advance("empty-recycle-bin", "Empty Recycle Bin", "windows", "empty-recycle-bin",
            "Everything in the recycle bins of all drives.", default=True),
    advance("start-recent-documents", "Start--Recent Documents", "windows", "delete-recent-documents",
            "The shortcuts to recently opened files and folders; the jump lists are a separate item.",
            default=True),
    Item("start-recent-run-list", "Start--Recent Run List", "windows", "delete-register-value",
         [EXPLORER + r"\RunMRU\*"],
         head="The commands typed into the Run box.", default=True),
    Item("windows-temp-files", "Windows Temp Files", "windows", "delete-directory",
         ["%temp%"],
         head="The files in the user's temporary folder that are older than a day; files in use stay, and "
              "so does the Low folder that protected-mode programs use.",
         default=True, older_than_hours=24, keep=[r"%temp%\low"]),
    Item("windows-folder-temp", "Windows Folder Temp Files", "windows", "delete-directory",
         [r"%windir%\Temp"],
         head="The files in the Windows folder's Temp that are older than a day. Only an administrator "
              "may delete them; without the rights they are skipped.", older_than_hours=24),
    advance("clipboard", "Clipboard", "windows", "empty-clipboard",
            "What is on the clipboard now, and the clipboard history of Windows 10 and 11 (Windows+V); "
            "items pinned in that history stay."),
    advance("network-shortcuts", "Network Shortcuts", "windows", "delete-net-hood",
            "The network locations in the Network Shortcuts folder (Network Neighborhood).",
            warning="Removes the network places you added yourself."),
    Item("explorer-recent-docs", "Explorer Recent Documents List", "windows", "delete-register-key",
         [EXPLORER + r"\RecentDocs"],
         head="Explorer's list of recently opened documents, by file type.", default=True),
    Item("explorer-open-save", "Explorer Open/Save Dialog History", "windows", "delete-register-key",
         [EXPLORER + r"\ComDlg32\OpenSavePidlMRU"], [EXPLORER + r"\ComDlg32\OpenSaveMRU"],
         head="The files last chosen in Open and Save As dialogs.", default=True),
    Item("explorer-last-visited", "Explorer Last Visited Folders", "windows", "delete-register-key",
         [EXPLORER + r"\ComDlg32\LastVisitedPidlMRU", EXPLORER + r"\ComDlg32\LastVisitedPidlMRULegacy"],
         [EXPLORER + r"\ComDlg32\LastVisitedMRU"],
         head="The folder each program last used in an Open or Save As dialog.", default=True),
    Item("explorer-typed-paths", "Explorer Typed Paths", "windows", "delete-register-value",
         [EXPLORER + r"\TypedPaths\*"],
         head="The paths typed into Explorer's address bar.", default=True),
    Item("explorer-search-history", "Explorer and Start Search History", "windows", "delete-register-key",
         [EXPLORER + r"\WordWheelQuery"],
         [r"HKEY_CURRENT_USER\Software\Microsoft\Search Assistant\ACMru"],
         head="The words searched for in Explorer's search box. The recent apps of the Start menu's and the "
              "taskbar's search are the item Windows Search Box History."),
    # The id stays from when the item was called Windows Search Recent Apps, so that its tick does too.
    Item("windows-search-recent-apps", "Windows Search Box History", "windows", "delete-file",
         [own_files(cache + r"\*.txt") for cache in SEARCH_CACHES],
         head="The apps, with how often each was started, and the searches that the search box of the "
              "Start menu and the taskbar keeps to offer first (the .txt files of DeviceSearchCache, Windows "
              "10 and 11). Windows builds them again from the installed apps. The cache of Settings' pages "
              "(SettingsCache.txt), the search index and the search settings stay.",
         detect=SEARCH_CACHES, group="Windows", keep=[cache + r"\SettingsCache.txt" for cache in SEARCH_CACHES]),
    Item("explorer-user-assist", "Explorer Program Usage (UserAssist)", "windows", "delete-register-value",
         [USER_ASSIST + r"\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\Count\*",
          USER_ASSIST + r"\{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}\Count\*",
          USER_ASSIST + r"\{75048700-EF1F-11D0-9888-006097DEACF9}\Count\*",
          USER_ASSIST + r"\{5E6AB780-7743-11CF-A12B-00AA004AE837}\Count\*"],
         head="Explorer's record of which programs and shortcuts were started, how often and when.",
         warning="The Start menu's list of most used apps starts empty."),
    Item("explorer-shellbags", "Explorer Folder Views (Shellbags)", "windows", "delete-register-key",
         [base + "\\" + key for base in SHELL_BAGS for key in ("BagMRU", "Bags")],
         head="Explorer's memory of every folder it showed, removable drives and network shares too. The "
              "desktop's icon layout (Bags\\1\\Desktop) and the view chosen for all folders (Bags\\AllFolders) "
              "stay.",
         warning="Every folder's own view (icon size, sort order, columns) goes back to its default.",
         keep=[base + "\\Bags\\" + key for base in SHELL_BAGS for key in (r"1\Desktop", "AllFolders")]),
    Item("jump-lists", "Jump Lists (pinned items too)", "windows", "delete-file",
         [r"%appdata%\Microsoft\Windows\Recent\AutomaticDestinations\*.automaticDestinations-ms",
          r"%appdata%\Microsoft\Windows\Recent\CustomDestinations\*.customDestinations-ms"],
         head="The recent and frequent items of every program's taskbar jump list. Explorer's own list, which "
              "holds Quick Access with its pinned folders, stays.",
         warning="The same files hold the items pinned to programs' jump lists, which go with them; "
                 "Quick Access keeps its pinned folders.",
         keep=[r"%appdata%\Microsoft\Windows\Recent\AutomaticDestinations" + "\\" + QUICK_ACCESS]),
    Item("thumbnail-cache", "Thumbnail and Icon Cache", "windows", "delete-file",
         [LOCAL + r"\Microsoft\Windows\Explorer\thumbcache_*.db",
          LOCAL + r"\Microsoft\Windows\Explorer\iconcache_*.db", LOCAL + r"\IconCache.db"],
         head="Explorer's cached thumbnails and icons, which show pictures long after the pictures are "
              "gone.",
         warning="Explorer holds these files while it runs: most go only when Explorer is not running, "
                 "and icons are slow to appear until the cache is rebuilt."),
    Item("paint-recent", "Paint Recent Files", "windows", "delete-register-value",
         [APPLETS + r"\Paint\Recent File List\*"],
         head="The recent-file list of the classic Paint; Paint's other settings stay. Windows 11's Paint "
              "from the Store keeps its list in its package's own settings, which no plug-in reaches, so "
              "the item is listed only where the classic list is.",
         default=True, detect=[APPLETS + r"\Paint\Recent File List"]),
    Item("wordpad-recent", "WordPad Recent Files", "windows", "delete-register-value",
         [APPLETS + r"\Wordpad\Recent File List\*"],
         head="The recent-file list of WordPad; its other settings stay. Listed only where WordPad kept "
              "such a list: Windows 11 24H2 no longer has WordPad.",
         default=True, detect=[APPLETS + r"\Wordpad\Recent File List"]),
    Item("media-player-recent", "Media Player Recent Files", "windows", "delete-register-value",
         MEDIA_PLAYER_LISTS,
         head="The files and addresses last played in the classic Windows Media Player; its library and "
              "settings stay. The new Media Player of Windows 11 keeps its own list, which this item "
              "does not reach; it is listed only where the classic lists are.",
         default=True, detect=[path[:-2] for path in MEDIA_PLAYER_LISTS]),
    Item("crash-dumps", "Crash Dumps", "windows", "delete-directory",
         [LOCAL + r"\CrashDumps"],
         head="The memory dumps Windows writes when a program of the user crashes (CrashDumps); they can "
              "hold whatever the program had open. The error reports are an item of their own.",
         detect=[LOCAL + r"\CrashDumps"]),
    Item("directx-shader-cache", "DirectX Shader Cache", "windows", "delete-directory",
         [LOCAL + r"\D3DSCache"],
         head="The shaders DirectX compiled for games and programs (D3DSCache); they are compiled again "
              "when next needed. The graphics driver's own caches stay.",
         detect=[LOCAL + r"\D3DSCache"]),
    Item("powershell-history", "PowerShell History", "windows", "delete-file",
         [PSREADLINE + r"\ConsoleHost_history.txt"],
         head="The commands typed in PowerShell's console, which PSReadLine keeps across sessions "
              "(ConsoleHost_history.txt). PowerShell's profile scripts, modules and settings stay.",
         warning="The Up arrow and Ctrl+R no longer recall the commands you typed before.",
         detect=[PSREADLINE]),
    Item("notepad-open-tabs", "Notepad Open Tabs (Windows 11)", "windows", "delete-directory",
         [NOTEPAD_TABS],
         head="The tabs Windows 11's Notepad reopens at its next start (TabState): the names of the files "
              "they showed and the text of tabs never saved. Files saved to disk stay, and so do Notepad's "
              "settings.",
         warning="Unsaved text in Notepad's tabs is lost for good.",
         running=[("Notepad", "Notepad.exe")], detect=[NOTEPAD_TABS]),
    Item("error-reports", "Windows Error Reports", "windows", "delete-directory",
         [LOCAL + r"\Microsoft\Windows\WER\ReportArchive", LOCAL + r"\Microsoft\Windows\WER\ReportQueue",
          r"%programdata%\Microsoft\Windows\WER\ReportArchive",
          r"%programdata%\Microsoft\Windows\WER\ReportQueue"],
         head="The archived and queued Windows error reports of the user and, with administrator rights, "
              "of the whole machine; they can hold documents' contents."),
]

for _browser in CHROMIUM_BROWSERS:
    ITEMS += chromium_items(_browser)
for _gecko in GECKO:
    ITEMS += gecko_items(_gecko)

ITEMS += [
    Item("discord-cache", "Discord Cache", "application", "delete-directory",
         electron_cache(r"%appdata%\discord"),
         head="The web caches of Discord. Messages live on Discord's servers and stay.",
         running=[("Discord", "Discord.exe")], detect=[r"%appdata%\discord"]),
    Item("teams-cache", "Microsoft Teams Cache", "application", "delete-directory",
         electron_cache(r"%appdata%\Microsoft\Teams") + [NEW_TEAMS + r"\*\Cache",
                                                         NEW_TEAMS + r"\*\Code Cache",
                                                         NEW_TEAMS + r"\*\GPUCache"],
         head="The web caches of classic Teams and of every web profile of the new Teams (MSTeams: "
              "EBWebView's Default, WV2Profile_tfw, WV2Profile_tfl ...). Messages live on Teams' servers; "
              "the sign-in, settings and the offline data of its web profiles stay.",
         running=[("Teams", "Teams.exe"), ("Teams", "ms-teams.exe")],
         detect=[r"%appdata%\Microsoft\Teams", LOCAL + r"\Packages\MSTeams_8wekyb3d8bbwe"]),
    Item("slack-cache", "Slack Cache", "application", "delete-directory",
         electron_cache(r"%appdata%\Slack"),
         head="The web caches of Slack.", running=[("Slack", "slack.exe")], detect=[r"%appdata%\Slack"]),
    Item("zoom-logs", "Zoom Logs", "application", "delete-directory",
         [r"%appdata%\Zoom\logs"],
         head="The log files Zoom writes about its meetings.", running=[("Zoom", "Zoom.exe")],
         detect=[r"%appdata%\Zoom"]),
    Item("spotify-cache", "Spotify Cache", "application", "delete-directory",
         [LOCAL + r"\Spotify\Storage", LOCAL + r"\Spotify\Data",
          LOCAL + r"\Packages\SpotifyAB.SpotifyMusic_zpdnekdrzrea0\LocalCache\Spotify\Data"],
         head="The music Spotify cached while it played, songs downloaded for offline listening among it. "
              "The account, playlists and settings (prefs) stay.", running=[("Spotify", "Spotify.exe")],
         detect=[LOCAL + r"\Spotify", LOCAL + r"\Packages\SpotifyAB.SpotifyMusic_zpdnekdrzrea0"],
         warning="Songs downloaded for offline listening go too and must be downloaded again."),
    Item("vlc-recent", "VLC Recent Media", "application", "delete-file",
         [r"%appdata%\vlc\vlc-qt-interface.ini"],
         head="VLC's interface file, which holds the recent-media list; VLC's preferences (vlcrc) stay.",
         running=[("VLC", "vlc.exe")], detect=[r"%appdata%\vlc"],
         warning="VLC's window size and position and its last-used folders go back to their defaults."),
    Item("mpc-hc-recent", "MPC-HC Recent Files", "application", "delete-register-value",
         [r"HKEY_CURRENT_USER\Software\MPC-HC\MPC-HC\Recent File List\*",
          P(r"HKEY_CURRENT_USER\Software\MPC-HC\MPC-HC\MediaHistory", command="delete-register-key")],
         head="The recent-file list and the playback history of Media Player Classic - Home Cinema.",
         running=[("MPC-HC", "mpc-hc.exe"), ("MPC-HC", "mpc-hc64.exe")],
         detect=[r"HKEY_CURRENT_USER\Software\MPC-HC"]),
    Item("acrobat-reader", "Adobe Acrobat Reader Recent Files and Cache", "application",
         "delete-register-key",
         [ACROBAT + "\\%s\\%s\\AVGeneral\\%s" % (product, version, key)
          for product in ("Acrobat Reader", "Adobe Acrobat") for version in ("DC", "2020", "2017", "11.0")
          for key in ("cRecentFiles", "cRecentFolders")]
         + [folder(LOCAL + r"\Adobe\Acrobat\DC\Cache"), folder(r"%appdata%\Adobe\Acrobat\DC\Cache")],
         head="The recent files and folders of Adobe Acrobat Reader and Acrobat, and their cache.",
         running=[("Acrobat Reader", "AcroRd32.exe"), ("Acrobat", "Acrobat.exe")],
         detect=[ACROBAT + r"\Acrobat Reader", ACROBAT + r"\Adobe Acrobat"]),
    Item("seven-zip-history", "7-Zip History", "application", "delete-register-value",
         [r"HKEY_CURRENT_USER\Software\7-Zip\Compression\ArcHistory",
          r"HKEY_CURRENT_USER\Software\7-Zip\Extraction\PathHistory",
          r"HKEY_CURRENT_USER\Software\7-Zip\FM\FolderHistory",
          r"HKEY_CURRENT_USER\Software\7-Zip\FM\CopyHistory"],
         head="The archives, extraction folders and folders last used in 7-Zip.",
         running=[("7-Zip", "7zFM.exe"), ("7-Zip", "7zG.exe")],
         detect=[r"HKEY_CURRENT_USER\Software\7-Zip"]),
    Item("winrar-history", "WinRAR History", "application", "delete-register-key",
         [r"HKEY_CURRENT_USER\Software\WinRAR\ArcHistory",
          r"HKEY_CURRENT_USER\Software\WinRAR\DialogEditHistory\ArcName",
          r"HKEY_CURRENT_USER\Software\WinRAR\DialogEditHistory\ExtrPath"],
         head="The archives and extraction folders last used in WinRAR.",
         running=[("WinRAR", "WinRAR.exe")], detect=[r"HKEY_CURRENT_USER\Software\WinRAR"]),
    Item("office-recent-lists", "Office Recent File Lists", "application", "delete-register-key",
         office_lists(),
         head="The recent files and places of Word, Excel, PowerPoint, Access, Visio and Publisher 2007 "
              "to 365.", detect=[OFFICE],
         warning="Files and places pinned to these lists go too."),
    Item("office-recent-shortcuts", "Office Recent Shortcuts", "application", "delete-directory",
         [r"%appdata%\Microsoft\Office\Recent"],
         head="The shortcuts Office keeps to the documents it opened.", detect=[r"%appdata%\Microsoft\Office"]),
    advance("notepad-plus-plus-recent", "Notepad++ Recent Files", "application",
            "delete-notepad-plus-plus-history",
            "The list of recently opened files in Notepad++'s settings file (config.xml); every other "
            "setting, the last session and the backup folder with unsaved work stay.",
            running=[("Notepad++", "notepad++.exe")], detect=[r"%appdata%\Notepad++"]),
]


# Windows 11 (24H2 and 25H2) and its inbox apps: what the system and the apps it comes with remember.
PACKAGES = LOCAL + r"\Packages"
CDP = LOCAL + r"\ConnectedDevicesPlatform"
NOTIFICATIONS = LOCAL + r"\Microsoft\Windows\Notifications"
TERMINAL = PACKAGES + r"\Microsoft.WindowsTerminal_8wekyb3d8bbwe\LocalState"
PHONE_LINK = PACKAGES + r"\Microsoft.YourPhone_8wekyb3d8bbwe"
NEW_OUTLOOK = LOCAL + r"\Microsoft\Olk"
COPILOT_AND_WIDGETS = [PACKAGES + r"\Microsoft.Copilot_8wekyb3d8bbwe",
                       PACKAGES + r"\MicrosoftWindows.Client.WebExperience_cw5n1h2txyewy"]
SNIPPING_TOOL = PACKAGES + r"\Microsoft.ScreenSketch_8wekyb3d8bbwe"
MUI_CACHE = r"HKEY_CURRENT_USER\Software\Classes\Local Settings\Software\Microsoft\Windows\Shell\MuiCache"
FEATURE_USAGE = EXPLORER + r"\FeatureUsage"
COMPATIBILITY_STORE = (r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags"
                       r"\Compatibility Assistant\Store")
REMOTE_DESKTOP = r"HKEY_CURRENT_USER\Software\Microsoft\Terminal Server Client"
# Explorer keeps the last five pictures chosen as desktop background.
WALLPAPER_HISTORY = [EXPLORER + r"\Wallpapers\BackgroundHistoryPath%d" % n for n in range(5)]
MORE_RECENT_LISTS = [EXPLORER + "\\" + key for key in (r"ComDlg32\CIDSizeMRU", "Map Network Drive MRU",
                                                       "FindComputerMRU", "StreamMRU",
                                                       r"AutoplayHandlers\KnownDevices", "Wallpapers")]


def registry_key(text):
    return P(text, command="delete-register-key")


def registry_values(text):
    return P(text, command="delete-register-value")


ITEMS += [
    Item("windows-activity-history", "Windows Activity History", "windows", "delete-file",
         [own_files(CDP + r"\*" + "\\" + name)
          for name in ("ActivitiesCache.db", "ActivitiesCache.db-wal", "ActivitiesCache.db-shm")],
         head="The activity history of every account on this PC (ActivitiesCache.db with its -wal and -shm, "
              "in each account's folder of ConnectedDevicesPlatform): the apps, files and sites used, and "
              "when. The Connected Devices Platform user service holds the database open while it runs: the "
              "files are then reported as in use. Everything else in that folder stays.",
         group="Windows", detect=[CDP]),
    Item("windows-notification-history", "Windows Notification History", "windows", "delete-file",
         [own_files(NOTIFICATIONS + r"\wpndatabase.db*"), folder(NOTIFICATIONS + r"\wpnidm"),
          folder(NOTIFICATIONS + r"\ActionCenterCache")],
         head="The notifications Windows keeps for the notification list (wpndatabase.db with its -wal and "
              "-shm) and the pictures shown in them (wpnidm, ActionCenterCache). The apps' notification "
              "settings stay. The notification service holds the database while it runs: it is then "
              "reported as in use.",
         warning="The notification list is emptied.", group="Windows", detect=[NOTIFICATIONS]),
    Item("windows-terminal-scrollback", "Windows Terminal Restored Scrollback", "windows", "delete-file",
         [own_files(TERMINAL + r"\buffer_*.txt")],
         head="The text of the tabs Windows Terminal shows again when it restores its last session "
              "(buffer_*.txt). The settings (settings.json) and state.json stay: state.json keeps the "
              "command lines of the tabs to restore in the same records as the window layout, and Terminal "
              "writes it again as it likes, so Vestrel leaves it whole.",
         warning="Tabs restored at the next start show none of their earlier output.",
         group="Windows Terminal", running=[("Windows Terminal", "WindowsTerminal.exe")], detect=[TERMINAL],
         keep=[TERMINAL + r"\settings.json", TERMINAL + r"\state.json"]),
    Item("phone-link-cache", "Phone Link Cache", "windows", "delete-directory",
         [PHONE_LINK + r"\LocalCache"],
         head="What Phone Link copied from the phone (LocalCache: messages, photos, call history, "
              "notifications and their pictures). The pairing with the phone and Phone Link's settings "
              "(LocalState, Settings) stay.",
         warning="Phone Link copies messages and photos from the phone again when it next connects.",
         group="Phone Link", detect=[PHONE_LINK]),
    Item("new-outlook-cache", "Outlook (new) Cache", "application", "delete-directory",
         [NEW_OUTLOOK + r"\EBWebView\*" + "\\" + part
          for part in ("Cache", "Code Cache", "GPUCache", "DawnWebGPUCache", "DawnGraphiteCache")]
         + [NEW_OUTLOOK + r"\EBWebView" + "\\" + shared
            for shared in ("ShaderCache", "GrShaderCache", "GraphiteDawnCache")],
         head="The disk, code, GPU and shader caches of the new Outlook's web view (EBWebView). The mail "
              "kept for offline use (IndexedDB, Local Storage, Service Worker), the sign-in and the settings "
              "stay.",
         default=True, group="Outlook (new)", running=[("Outlook (new)", "olk.exe")], detect=[NEW_OUTLOOK]),
    Item("copilot-widgets-cache", "Copilot and Widgets Cache", "windows", "delete-directory",
         [package + "\\" + part for package in COPILOT_AND_WIDGETS
          for part in ("TempState", r"AC\INetCache")],
         head="The temporary files (TempState) and web caches (AC\\INetCache) of the Copilot app and of "
              "the Widgets board (Windows Web Experience Pack). The sign-in and the settings stay.",
         default=True, group="Copilot and Widgets", detect=COPILOT_AND_WIDGETS),
    Item("snipping-tool-temp", "Snipping Tool Temp Files", "windows", "delete-directory",
         [SNIPPING_TOOL + r"\TempState"],
         head="The temporary copies of snips and screen recordings the Snipping Tool keeps in its package "
              "(TempState). The screenshots saved in Pictures\\Screenshots, recordings saved in Videos and "
              "every other user folder stay.",
         group="Snipping Tool", running=[("Snipping Tool", "SnippingTool.exe")], detect=[SNIPPING_TOOL]),
    Item("store-apps-web-caches", "Store Apps Web Caches", "windows", "delete-directory",
         [PACKAGES + r"\*\AC\INetCache"],
         head="The web caches (AC\\INetCache) of every app from the Store and of every app Windows comes "
              "with, in each app's package folder. Their cookies (AC\\INetCookies) are the item Store Apps "
              "Web Cookies and stay here, as do the apps' data and settings.",
         default=True, group="Store Apps", detect=[PACKAGES]),
    Item("store-apps-web-cookies", "Store Apps Web Cookies", "windows", "delete-directory",
         [PACKAGES + r"\*\AC\INetCookies"],
         head="The cookies (AC\\INetCookies) of every app from the Store and of every app Windows comes "
              "with, in each app's package folder. The apps' data and settings stay.",
         warning="Signs you out of the apps that sign in through web pages.", group="Store Apps",
         detect=[PACKAGES]),
    Item("explorer-program-names-cache", "Explorer Program Names Cache (MUICache)", "windows",
         "delete-register-value", [MUI_CACHE + r"\*"],
         head="The names of the programs Explorer has shown or started, one value per program file "
              "(MuiCache). The key stays, and so does its language value (LangID); Explorer fills the cache "
              "again as programs are started.",
         group="Explorer", detect=[MUI_CACHE], keep=[MUI_CACHE + r"\LangID"]),
    Item("explorer-taskbar-usage", "Explorer Taskbar Usage Counts", "windows", "delete-register-value",
         [FEATURE_USAGE + "\\" + key + r"\*"
          for key in ("AppLaunch", "AppSwitched", "ShowJumpView", "AppBadgeUpdated", "TrayButtonClicked")],
         head="How often each program was started from the taskbar, switched to, had its jump list shown "
              "or its badge updated, and how often each taskbar button was clicked (FeatureUsage). The "
              "keys stay, and so do the taskbar's pinned programs and settings.",
         group="Explorer", detect=[FEATURE_USAGE]),
    Item("explorer-more-recent-lists", "Explorer More Recent Lists", "windows", "delete-register-key",
         MORE_RECENT_LISTS[:-1] + [registry_values(value) for value in WALLPAPER_HISTORY],
         head="The programs that last showed an Open or Save As dialog, with its size (CIDSizeMRU), the "
              "shares typed in Map Network Drive, the computers searched for, the stream list "
              "(StreamMRU), the last desktop backgrounds chosen in Personalization and the devices AutoPlay "
              "has seen (AutoplayHandlers\\KnownDevices). The current background, the AutoPlay choices for "
              "each kind of media and the mapped drives themselves stay.",
         default=True, group="Explorer", detect=MORE_RECENT_LISTS),
    Item("windows-compatibility-assistant", "Windows Compatibility Assistant History", "windows",
         "delete-register-value", [COMPATIBILITY_STORE + r"\*"],
         head="The Program Compatibility Assistant's record of the programs this user started, one value "
              "per program file (Compatibility Assistant\\Store). The compatibility settings chosen for "
              "programs (Layers) stay, and so does the system's own AppCompatCache in HKEY_LOCAL_MACHINE.",
         group="Windows", detect=[COMPATIBILITY_STORE]),
    Item("remote-desktop-history", "Remote Desktop History", "windows", "delete-register-value",
         [REMOTE_DESKTOP + r"\Default\MRU%d" % n for n in range(10)]
         + [registry_key(REMOTE_DESKTOP + r"\Servers"), own_files_of(r"%documents%\Default.rdp")],
         head="The computers last connected to with Remote Desktop Connection (the MRU values of Terminal "
              "Server Client\\Default), the user name and accepted certificate kept for each (Servers), and "
              "the hidden Default.rdp in Documents, which holds the last connection's settings. Every other "
              ".rdp file, those the user saved, stays.",
         warning="Remote Desktop Connection asks again to trust each computer's certificate.",
         group="Remote Desktop", detect=[REMOTE_DESKTOP, r"%documents%\Default.rdp"]),
    advance("windows-dns-cache", "Windows DNS Cache", "windows", "flush-dns-cache",
            "The names of the sites and computers recently looked up, with their addresses, which the DNS "
            "client keeps for every program: emptied as ipconfig /flushdns does, by the ipconfig.exe of the "
            "system folder. Nothing is counted. The hosts file and the network settings stay.",
            group="Windows", detect=[r"%windir%\System32\ipconfig.exe"]),
]

# Wiping the free space of the system drive: never a default, and it says what it costs.
ITEMS += [
    advance("wipe-free-space", "Wipe Free Space of the System Drive", "windows", "wipe-free-space",
            "Overwrites the free space of the drive Windows is on with zeros, so that files deleted "
            "before (by any program) cannot be read back from it: fills the drive with files of zeros "
            "in a hidden folder, then deletes them. On a solid-state drive this is best effort.",
            warning="Takes long (minutes to hours, by the size of the drive) and fills the drive for "
                    "a moment: other programs may find no room while it runs."),
]


def running_attributes(program):
    """name, and the folder and the background note where the program has them."""
    attributes = "name=%s" % quoteattr(program[0])
    for attribute, value in zip(("folder", "background"), program[2:]):
        if value:
            attributes += " %s=%s" % (attribute, quoteattr(value))
    return attributes


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
    if item.is_default():
        lines.append("        <default>true</default>")
    if item.warning:
        lines.append("        <warning>%s</warning>" % escape(item.warning))
    if item.group:
        lines.append("        <group>%s</group>" % escape(item.group))
    lines += ["        <detect>%s</detect>" % escape(path) for path in item.detect]
    lines += ["        <running %s>%s</running>" % (running_attributes(program), escape(program[1]))
              for program in item.running]
    if item.older_than_hours:
        lines.append("        <older-than-hours>%d</older-than-hours>" % item.older_than_hours)
    lines += ["        <keep>%s</keep>" % escape(path) for path in item.keep]
    lines.append("        <parameters>")
    for version, parameters in item.variants():
        lines.append('            <parameters windows-version="%s">' % version)
        lines += ["                " + (p if isinstance(p, P) else P(p)).render() for p in parameters]
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


def check(items):
    names = [item.name for item in items]
    assert len(names) == len(set(names)), "two items share an id"
    for item in items:
        if item.is_default():
            assert not item.warning, item.name + ": an item with a warning is never a default"
            assert not any(word in item.name for word in ("cookies", "history", "password")), item.name
        if item.type == "application":
            assert item.detect, item.name + ": a program's item says how to detect the program"


def main():
    check(ITEMS)
    os.makedirs(OUT_DIR, exist_ok=True)
    names = [item.name for item in ITEMS]
    for old in os.listdir(OUT_DIR):
        if old.endswith(".aep") and old[:-4] not in names:
            os.remove(os.path.join(OUT_DIR, old))
    for item in ITEMS:
        with open(os.path.join(OUT_DIR, item.name + ".aep"), "w", encoding="utf-8", newline="") as out:
            out.write(render(item))
    os.makedirs(os.path.dirname(CONFIG_PATH), exist_ok=True)
    with open(CONFIG_PATH, "w", encoding="utf-8", newline="") as out:
        out.write(render_config(ITEMS))


if __name__ == "__main__":
    main()
