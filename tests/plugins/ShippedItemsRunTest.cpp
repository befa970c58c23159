#include "engine/items/EraseItemList.h"
#include "engine/registry/UserSid.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/ProgramContext.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/plugins/ShippedFolder.h"
#include "tests/support/OwnTempFolder.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/PlantedTraces.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"
#include "tests/support/SandboxTrash.h"

#include <windows.h>
#include <lmcons.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

// Runs every shipped item against a profile that looks like a real one: the traces each item is meant
// for, and beside them the user's own data (bookmarks, saved passwords, settings, other stores of the
// same programs). The whole profile folder and the whole of HKEY_CURRENT_USER are compared before and
// after each item, so a deletion anywhere else shows, not only at the places the test thought of.

namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kApplets = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets";
const std::string kInternetExplorer = "Software\\Microsoft\\Internet Explorer";
const std::string kProvider = "Software\\Microsoft\\Protected Storage System Provider";
const std::string kFormsData = "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string RootName(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? "hklm" : "hkcu";
}

std::string ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return ToUtf8(path);
}

std::string UserName()
{
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    return GetUserNameW(name, &length) ? ToUtf8(name) : std::string();
}

void ListFiles(const std::string& folder, std::set<std::string>& files)
{
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW(ToExtendedPath(folder + "\\*").c_str(), &entry));
    if (!find)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::string path = folder + "\\" + ToUtf8(name);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.insert(Lower(path));
        else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListFiles(path, files);
    } while (FindNextFileW(find.get(), &entry));
}

// Every key as "root\path" and every value as "root\path|name", lower-cased.
void ListRegistry(HKEY root, const std::string& path, std::set<std::string>& entries)
{
    RegKeyHandle key;
    if (RegOpenKeyExW(root, ToWide(path).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS)
        return;
    std::string name = Lower(RootName(root) + "\\" + path);
    entries.insert(name);
    std::vector<wchar_t> buffer(32768);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (RegEnumValueW(key.get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        entries.insert(name + "|" + Lower(ToUtf8(std::wstring_view(buffer.data(), length))));
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (RegEnumKeyExW(key.get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        std::string child = ToUtf8(std::wstring_view(buffer.data(), length));
        ListRegistry(root, path.empty() ? child : path + "\\" + child, entries);
    }
}

std::set<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b)
{
    std::set<std::string> result;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(result, result.end()));
    return result;
}

std::string Listed(const std::set<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries)
        text += "\n    " + entry;
    return text.empty() ? " (none)" : text;
}

// What running one item must do.
struct Expected {
    std::set<std::string> files;   // lower-cased paths
    std::vector<std::string> keys; // lower-cased "root\path"; each goes with everything below it
    std::set<std::string> values;  // lower-cased "root\path|name"
    uint64_t filesErased = 0;
    uint64_t bytesReleased = 0;
    uint64_t registryEntriesErased = 0;
    bool countsChecked = true;
};

// What Windows 11 (24H2, 25H2) and its inbox apps remember, as they lay it out: each file below the
// profile with the item that must remove it, or none for what must stay beside it.
struct FileTrace {
    const char* item;
    const char* path;
    size_t bytes = 0;
};
const FileTrace kWindows11Files[] = {
    {"windows-activity-history", "AppData\\Local\\ConnectedDevicesPlatform\\L.someone\\ActivitiesCache.db",
     8192},
    {"windows-activity-history",
     "AppData\\Local\\ConnectedDevicesPlatform\\L.someone\\ActivitiesCache.db-wal", 4096},
    {"windows-activity-history",
     "AppData\\Local\\ConnectedDevicesPlatform\\L.someone\\ActivitiesCache.db-shm", 32},
    {"windows-activity-history", "AppData\\Local\\ConnectedDevicesPlatform\\AAD.1b2c3d4e\\ActivitiesCache.db",
     4096},
    {nullptr, "AppData\\Local\\ConnectedDevicesPlatform\\CDPGlobalSettings.cdp"},
    {nullptr, "AppData\\Local\\ConnectedDevicesPlatform\\L.someone\\CDPSettings.cdp"},
    {"windows-notification-history", "AppData\\Local\\Microsoft\\Windows\\Notifications\\wpndatabase.db",
     4096},
    {"windows-notification-history", "AppData\\Local\\Microsoft\\Windows\\Notifications\\wpndatabase.db-wal",
     900},
    {"windows-notification-history", "AppData\\Local\\Microsoft\\Windows\\Notifications\\wpndatabase.db-shm",
     32},
    {"windows-notification-history",
     "AppData\\Local\\Microsoft\\Windows\\Notifications\\wpnidm\\4a3b2c1d.png", 600},
    {"windows-notification-history",
     "AppData\\Local\\Microsoft\\Windows\\Notifications\\ActionCenterCache\\mail-toast-1.png", 300},
    {nullptr, "AppData\\Local\\Microsoft\\Windows\\Notifications\\appdb.dat"},
    {"windows-terminal-scrollback",
     "AppData\\Local\\Packages\\Microsoft.WindowsTerminal_8wekyb3d8bbwe\\LocalState\\"
     "buffer_{2b4c6d8e-0a1b-4c2d-9e3f-5a6b7c8d9e0f}.txt",
     5000},
    {"windows-terminal-scrollback",
     "AppData\\Local\\Packages\\Microsoft.WindowsTerminal_8wekyb3d8bbwe\\LocalState\\"
     "buffer_{7f6e5d4c-3b2a-4190-8f7e-6d5c4b3a2910}.txt",
     700},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.WindowsTerminal_8wekyb3d8bbwe\\LocalState\\settings.json"},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.WindowsTerminal_8wekyb3d8bbwe\\LocalState\\state.json"},
    {"phone-link-cache",
     "AppData\\Local\\Packages\\Microsoft.YourPhone_8wekyb3d8bbwe\\LocalCache\\Indexed\\"
     "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d\\System\\Database\\phone.db",
     20000},
    {"phone-link-cache",
     "AppData\\Local\\Packages\\Microsoft.YourPhone_8wekyb3d8bbwe\\LocalCache\\Photos\\IMG_0042.jpg", 9000},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.YourPhone_8wekyb3d8bbwe\\LocalState\\DeviceData.json"},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.YourPhone_8wekyb3d8bbwe\\Settings\\settings.dat"},
    {"new-outlook-cache", "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\Cache\\Cache_Data\\f_000001",
     3000},
    {"new-outlook-cache", "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\Code Cache\\js\\index", 40},
    {"new-outlook-cache", "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\GPUCache\\data_0", 8192},
    {"new-outlook-cache", "AppData\\Local\\Microsoft\\Olk\\EBWebView\\ShaderCache\\data_1", 1000},
    {nullptr, "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\IndexedDB\\"
              "https_outlook.office.com_0.indexeddb.leveldb\\000003.log"},
    {nullptr, "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\Local Storage\\leveldb\\000003.log"},
    {nullptr,
     "AppData\\Local\\Microsoft\\Olk\\EBWebView\\Default\\Service Worker\\CacheStorage\\0a1b\\index.txt"},
    {nullptr, "AppData\\Local\\Microsoft\\Olk\\UserSettings.json"},
    {"copilot-widgets-cache",
     "AppData\\Local\\Packages\\Microsoft.Copilot_8wekyb3d8bbwe\\TempState\\upload.tmp", 500},
    {"copilot-widgets-cache",
     "AppData\\Local\\Packages\\Microsoft.Copilot_8wekyb3d8bbwe\\AC\\INetCache\\X1Y2Z3W4\\logo[1].png", 200},
    {"copilot-widgets-cache",
     "AppData\\Local\\Packages\\MicrosoftWindows.Client.WebExperience_cw5n1h2txyewy\\TempState\\board.tmp",
     300},
    {"copilot-widgets-cache",
     "AppData\\Local\\Packages\\MicrosoftWindows.Client.WebExperience_cw5n1h2txyewy\\AC\\INetCache\\A1B2\\w["
     "1].js",
     100},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.Copilot_8wekyb3d8bbwe\\Settings\\settings.dat"},
    {nullptr, "AppData\\Local\\Packages\\MicrosoftWindows.Client.WebExperience_cw5n1h2txyewy\\LocalState\\"
              "EBWebView\\Default\\Local Storage\\leveldb\\000003.log"},
    {"snipping-tool-temp",
     "AppData\\Local\\Packages\\Microsoft.ScreenSketch_8wekyb3d8bbwe\\TempState\\Snips\\7C2D.png", 40000},
    {"snipping-tool-temp",
     "AppData\\Local\\Packages\\Microsoft.ScreenSketch_8wekyb3d8bbwe\\TempState\\Recordings\\rec.mp4", 90000},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.ScreenSketch_8wekyb3d8bbwe\\Settings\\settings.dat"},
    {nullptr, "Pictures\\Screenshots\\Screenshot 2026-12-10 101500.png"},
    {"store-apps-web-caches",
     "AppData\\Local\\Packages\\Microsoft.WindowsStore_8wekyb3d8bbwe\\AC\\INetCache\\Q8R7S6T5\\banner[1].jpg",
     7000},
    {"store-apps-web-caches",
     "AppData\\Local\\Packages\\Clipchamp.Clipchamp_yxz26nhyzhsrt\\AC\\INetCache\\K1\\a[1].css", 800},
    {"store-apps-web-cookies",
     "AppData\\Local\\Packages\\Microsoft.WindowsStore_8wekyb3d8bbwe\\AC\\INetCookies\\ESE\\container.dat",
     600},
    {nullptr, "AppData\\Local\\Packages\\Microsoft.WindowsStore_8wekyb3d8bbwe\\LocalState\\cache.db"},
    {nullptr, "AppData\\Local\\Packages\\Clipchamp.Clipchamp_yxz26nhyzhsrt\\AC\\Temp\\export.tmp"},
    // Written with the name's own case: the item's lower-cased keep must still hold it.
    {nullptr, "AppData\\Local\\Packages\\Microsoft.Windows.Search_"
              "cw5n1h2txyewy\\LocalState\\DeviceSearchCache\\SettingsCache.txt"},
    {"windows-search-recent-apps",
     "AppData\\Local\\Packages\\Microsoft.Windows.Search_"
     "cw5n1h2txyewy\\LocalState\\DeviceSearchCache\\AppCache134.txt",
     300},
    {"remote-desktop-history", "Documents\\Default.rdp", 2000},
    {nullptr, "Documents\\Office desktop.rdp"},
    {nullptr, "Documents\\Remote\\Default.rdp"},
};

// Registry entries below HKEY_CURRENT_USER: a value name, or none for a key that goes with all below it.
struct RegistryTrace {
    const char* item;
    std::string key;
    const char* value;
};
const std::string kMuiCache =
    "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";
const std::string kAppCompatFlags = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags";
const std::string kRemoteDesktop = "Software\\Microsoft\\Terminal Server Client";
const std::vector<RegistryTrace> kWindows11Registry = {
    {"explorer-program-names-cache", kMuiCache, "C:\\Windows\\System32\\notepad.exe.FriendlyAppName"},
    {"explorer-program-names-cache", kMuiCache,
     "C:\\Users\\someone\\Downloads\\setup.exe.ApplicationCompany"},
    {nullptr, kMuiCache, "LangID"},
    {"explorer-taskbar-usage", kExplorer + "\\FeatureUsage\\AppLaunch", "Microsoft.Windows.Explorer"},
    {"explorer-taskbar-usage", kExplorer + "\\FeatureUsage\\AppSwitched", "MSEdge"},
    {"explorer-taskbar-usage", kExplorer + "\\FeatureUsage\\ShowJumpView", "Microsoft.Office.WINWORD.EXE.15"},
    {"explorer-taskbar-usage", kExplorer + "\\FeatureUsage\\AppBadgeUpdated", "Microsoft.OutlookForWindows"},
    {"explorer-taskbar-usage", kExplorer + "\\FeatureUsage\\TrayButtonClicked", "StartButton"},
    {nullptr, kExplorer + "\\Taskband", "Favorites"},
    {"explorer-more-recent-lists", kExplorer + "\\ComDlg32\\CIDSizeMRU", nullptr},
    {"explorer-more-recent-lists", kExplorer + "\\Map Network Drive MRU", nullptr},
    {"explorer-more-recent-lists", kExplorer + "\\FindComputerMRU", nullptr},
    {"explorer-more-recent-lists", kExplorer + "\\StreamMRU", nullptr},
    {"explorer-more-recent-lists", kExplorer + "\\AutoplayHandlers\\KnownDevices", nullptr},
    {"explorer-more-recent-lists", kExplorer + "\\Wallpapers", "BackgroundHistoryPath0"},
    {"explorer-more-recent-lists", kExplorer + "\\Wallpapers", "BackgroundHistoryPath1"},
    {nullptr, kExplorer + "\\Wallpapers", "BackgroundType"},
    {nullptr, kExplorer + "\\AutoplayHandlers\\UserChosenExecuteHandlers",
     "CameraAlternate\\ShowPicturesOnArrival"},
    {nullptr, kExplorer + "\\ComDlg32", nullptr},
    {nullptr, "Control Panel\\Desktop", "Wallpaper"},
    {"windows-compatibility-assistant", kAppCompatFlags + "\\Compatibility Assistant\\Store",
     "C:\\Users\\someone\\Downloads\\setup.exe"},
    {"windows-compatibility-assistant", kAppCompatFlags + "\\Compatibility Assistant\\Store",
     "C:\\Program Files\\Tool\\tool.exe"},
    {nullptr, kAppCompatFlags + "\\Layers", "C:\\Program Files\\Old\\old.exe"},
    {"remote-desktop-history", kRemoteDesktop + "\\Default", "MRU0"},
    {"remote-desktop-history", kRemoteDesktop + "\\Default", "MRU1"},
    {"remote-desktop-history", kRemoteDesktop + "\\Servers", nullptr},
    {nullptr, kRemoteDesktop + "\\LocalDevices", "server01.example.org"},
};

class AllSelected : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return true; }
};

// The wipe fills the drive it runs on, and the prefix's C: is a folder of this machine's own disk: it runs
// only on loop-mounted images (tests/e2e/test_wipe_free_space.py), never here.
bool FillsTheDrive(const EraseItem& item)
{
    return item.command == "advance" && std::find(item.parameters.begin(), item.parameters.end(),
                                                  "wipe-free-space") != item.parameters.end();
}

class ShippedItemsRun : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ASSERT_TRUE(TrashIsInTheSandbox());
        profile_ = ShellFolder(CSIDL_PROFILE);
        roaming_ = ShellFolder(CSIDL_APPDATA);
        local_ = ShellFolder(CSIDL_LOCAL_APPDATA);
        ASSERT_FALSE(profile_.empty());
        // The shipped items write today's local folder as %userhome%\AppData\Local.
        ASSERT_EQ(Lower(local_), Lower(profile_ + "\\AppData\\Local"));

        list_ = std::make_unique<EraseItemList>(ShippedPluginFolder(), 10, AllSelected());
        ASSERT_FALSE(list_->Items().empty());
        // Each item's targets are its own: clear them first, so that the counts below are exact.
        for (EraseItem& item : list_->Items()) {
            if (!FillsTheDrive(item))
                item.ExecuteItem(ProgramEraseContext());
        }
    }

    EraseItem* Item(const std::string& id)
    {
        for (EraseItem& item : list_->Items()) {
            if (item.id == id)
                return &item;
        }
        return nullptr;
    }

    void File(const std::string& id, const std::string& path, size_t bytes)
    {
        ASSERT_TRUE(traces_.File(path, bytes)) << path;
        Expected& expected = expected_[id];
        expected.files.insert(Lower(path));
        ++expected.filesErased;
        expected.bytesReleased += bytes;
    }
    void Kept(const std::string& path) { ASSERT_TRUE(traces_.File(path, 64)) << path; }
    void KeptFolder(const std::string& path)
    {
        ASSERT_TRUE(traces_.Folder(path)) << path;
        keptFolders_.push_back(path);
    }

    // A key with a subkey and values, as the stores keep them.
    void Key(const std::string& id, HKEY root, const std::string& path)
    {
        ASSERT_TRUE(traces_.Value(root, path, "MRUListEx", "0"));
        ASSERT_TRUE(traces_.Value(root, path + "\\docx", "0", "Budget 2026.docx"));
        Expected& expected = expected_[id];
        expected.keys.push_back(Lower(RootName(root) + "\\" + path));
        ++expected.registryEntriesErased;
    }
    void Value(const std::string& id, HKEY root, const std::string& path, const std::string& name)
    {
        ASSERT_TRUE(traces_.Value(root, path, name, "C:\\Users\\someone\\Documents\\Budget 2026.docx"));
        Expected& expected = expected_[id];
        expected.values.insert(Lower(RootName(root) + "\\" + path + "|" + name));
        ++expected.registryEntriesErased;
    }
    void KeptValue(HKEY root, const std::string& path, const std::string& name = "Vestrel canary")
    {
        ASSERT_TRUE(traces_.Value(root, path, name, "stays"));
    }

    void WriteRecycled()
    {
        WriteFile("recycled.txt", "deleted by the user");
        ASSERT_TRUE(RecycleForTest(PathOf("recycled.txt")));
        ASSERT_EQ(ItemsInSandboxTrash(), 1);
    }

    // A file outside the profile that the item must delete and count.
    void Outside(const std::string& id, const std::string& path, size_t bytes, bool uncounted = false)
    {
        ASSERT_TRUE(traces_.File(path, bytes)) << path;
        outside_.push_back(path);
        if (!uncounted) {
            ++expected_[id].filesErased;
            expected_[id].bytesReleased += bytes;
        }
    }
    // Two days old, past the temporary folders' day of grace.
    static void Aged(const std::string& path)
    {
        UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
        time.QuadPart -= 48ull * 3600 * 10000000;
        FILETIME old{time.LowPart, time.HighPart};
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &old)) << path;
    }

    void PlantChromiumProfile(const std::string& prefix, const std::string& profile,
                              const std::string& cache);
    void PlantChromium(const std::string& prefix, const std::vector<std::string>& channels);
    void PlantRealChromiumProfile(const std::string& prefix, const std::string& profile);
    void PlantOpera(const std::string& prefix, const std::string& channel, bool since107);
    void PlantLinks();
    void PlantGecko(const std::string& prefix, const std::string& folder, bool browser);
    void PlantOtherApplications();
    void PlantWindowsFiles();
    void PlantExplorerAndOffice();
    void PlantBuiltIns();
    void PlantWindows11();

    std::set<std::string> Files() const
    {
        std::set<std::string> files;
        ListFiles(profile_, files);
        return files;
    }
    static std::set<std::string> Registry()
    {
        std::set<std::string> entries;
        ListRegistry(HKEY_CURRENT_USER, "", entries);
        ListRegistry(HKEY_LOCAL_MACHINE, kProvider, entries);
        return entries;
    }

    std::string profile_;
    std::string roaming_;
    std::string local_;
    OwnTempFolder temp_;
    std::unique_ptr<EraseItemList> list_;
    PlantedTraces traces_;
    std::map<std::string, Expected> expected_;
    std::vector<std::string> keptFolders_;
    std::string notepadConfig_;
    std::vector<std::string> outside_;
    std::vector<std::string> places_;
    std::vector<std::string> links_;
    std::vector<std::string> canaries_;
};

void ShippedItemsRun::PlantChromiumProfile(const std::string& prefix, const std::string& p,
                                           const std::string& cache)
{
    File(prefix + "-cache", cache + "\\Cache\\Cache_Data\\f_000001", 900);
    File(prefix + "-cache", cache + "\\Code Cache\\js\\index-dir\\the-real-index", 48);
    File(prefix + "-cache", cache + "\\GPUCache\\data_0", 8192);
    File(prefix + "-cookies", p + "\\Network\\Cookies", 20480);
    File(prefix + "-cookies", p + "\\Network\\Cookies-journal", 0);
    File(prefix + "-cookies", p + "\\Network\\TransportSecurity", 300);
    // The offline data of installed web apps is site data, not cache.
    File(prefix + "-site-data", p + "\\Service Worker\\CacheStorage\\0a1b2c\\index.txt", 70);
    File(prefix + "-site-data", p + "\\Service Worker\\ScriptCache\\2cc80dabc69f58b6_0", 60);
    File(prefix + "-site-data", p + "\\Service Worker\\Database\\000001.log", 30);
    File(prefix + "-site-data", p + "\\Local Storage\\leveldb\\000005.ldb", 400);
    File(prefix + "-site-data", p + "\\IndexedDB\\https_example.org_0.indexeddb.leveldb\\LOG", 20);
    File(prefix + "-site-data", p + "\\databases\\https_example.org_0\\1", 2048);
    File(prefix + "-site-data", p + "\\Shared Storage", 4096);
    // What extensions stored stays with every item: password managers keep their vaults there.
    Kept(p + "\\Extension Cookies");
    Kept(p + "\\IndexedDB\\chrome-extension_nngceckbapebfimnlniiiahkandclblb_0.indexeddb.leveldb\\LOG");
    Kept(p + "\\databases\\chrome-extension_cjpalhdlnbpafiamejdnhcphjbkeiagm_0\\1");
    Kept(p + "\\Local Extension Settings\\nngceckbapebfimnlniiiahkandclblb\\000003.log");
    File(prefix + "-history", p + "\\History", 65536);
    File(prefix + "-history", p + "\\History-journal", 512);
    File(prefix + "-history", p + "\\Favicons", 4096);
    File(prefix + "-history", p + "\\Visited Links", 131072);
    File(prefix + "-history", p + "\\Top Sites", 20480);
    File(prefix + "-history", p + "\\Shortcuts", 4096);
    File(prefix + "-history", p + "\\Network Action Predictor", 8192);
    File(prefix + "-history", p + "\\DIPS", 20480);
    File(prefix + "-history", p + "\\DIPS-wal", 4096);
    File(prefix + "-history", p + "\\Session Storage\\000005.ldb", 600);
    File(prefix + "-sessions", p + "\\Sessions\\Session_13385000000000000", 5000);
    File(prefix + "-sessions", p + "\\Sessions_Encrypted\\Session_13385000000000001", 5100);
    File(prefix + "-sessions", p + "\\Current Tabs", 3000);
    // Its form entries go from inside Web Data, which stays (this one is no database: nothing changes).
    expected_[prefix + "-form-data"];
    for (const char* own : {"Bookmarks", "Bookmarks.bak", "Login Data", "Login Data-journal", "Preferences",
                            "Secure Preferences", "Web Data", "Network\\Network Persistent State",
                            "Extensions\\abcdefghijklmnop\\1.0_0\\manifest.json", "Sync Data\\LevelDB\\LOG"})
        Kept(p + "\\" + own);
    KeptFolder(cache + "\\Cache");
    KeptFolder(p + "\\Sessions");
    KeptFolder(p + "\\Sessions_Encrypted");
    KeptFolder(p + "\\IndexedDB");
}

// The stores of a profile as Chromium itself wrote them (tests/data/profiles), each file planted with its
// size for the item that must remove it, or kept.
void ShippedItemsRun::PlantRealChromiumProfile(const std::string& prefix, const std::string& p)
{
    std::ifstream manifest(
        std::filesystem::path(ToWide(TestProgramFolder() + "data\\profiles\\chromium-profile.txt")));
    ASSERT_TRUE(manifest) << "the profile's list of files";
    std::string line;
    int planted = 0;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t'), second = line.find('\t', tab + 1);
        const std::string owner = line.substr(0, tab);
        const size_t bytes = std::stoul(line.substr(tab + 1, second - tab - 1));
        const std::string path = p + "\\" + line.substr(second + 1);
        if (owner == "kept")
            Kept(path);
        else
            File(prefix + "-" + owner, path, bytes);
        ++planted;
    }
    EXPECT_GT(planted, 90);
}

void ShippedItemsRun::PlantChromium(const std::string& prefix, const std::vector<std::string>& channels)
{
    for (const std::string& channel : channels) {
        const std::string base = local_ + "\\" + channel;
        for (const char* profile : {"Default", "Profile 3", "Guest Profile"})
            PlantChromiumProfile(prefix, base + "\\" + profile, base + "\\" + profile);
        File(prefix + "-cache", base + "\\ShaderCache\\data_0", 40);
        File(prefix + "-cache", base + "\\GrShaderCache\\data_1", 50);
        File(prefix + "-history", base + "\\segmentation_platform\\ukm_db", 49152);
        KeptFolder(base + "\\segmentation_platform");
        Kept(base + "\\Local State");
        Kept(base + "\\First Run");
    }
}

// Opera keeps its profiles in the roaming data and their caches in the local one: since version 107 in
// Default and "Profile N" below the channel folder, before in the channel folder itself.
void ShippedItemsRun::PlantOpera(const std::string& prefix, const std::string& channel, bool since107)
{
    const std::string roaming = roaming_ + "\\Opera Software\\" + channel;
    const std::string local = local_ + "\\Opera Software\\" + channel;
    File(prefix + "-history", roaming + "\\segmentation_platform\\ukm_db", 49152);
    if (!since107) {
        PlantChromiumProfile(prefix, roaming, local);
        return;
    }
    for (const char* profile : {"\\Default", "\\Profile 2"})
        PlantChromiumProfile(prefix, roaming + profile, local + profile);
    Kept(roaming + "\\Local State");
    File(prefix + "-cache", local + "\\ShaderCache\\data_0", 40);
}

// A link where a profile or a cache would be: the wildcard must not take it as a profile, and the erase
// must not reach through it to the folder it names.
void ShippedItemsRun::PlantLinks()
{
    const std::string canary = PathOf("canary"); // outside the profile
    ASSERT_TRUE(traces_.File(canary + "\\History", 100));
    ASSERT_TRUE(traces_.File(canary + "\\Cache\\f_000001", 100));
    const std::string chrome = local_ + "\\Google\\Chrome\\User Data";
    for (const std::string& link :
         {chrome + "\\Profile 7", chrome + "\\Default\\Cache\\Cache_Data\\linked"}) {
        ASSERT_TRUE(MakeFolderLinkForTest(link, canary)) << link;
        links_.push_back(link);
    }
    canaries_ = {canary + "\\History", canary + "\\Cache\\f_000001"};
}

void ShippedItemsRun::PlantGecko(const std::string& prefix, const std::string& folder, bool browser)
{
    const std::string local = local_ + "\\" + folder + "\\Profiles";
    File(prefix + "-cache", local + "\\k3j4h5g6.default-release\\cache2\\entries\\0A1B2C3D4E5F", 3000);
    File(prefix + "-cache", local + "\\k3j4h5g6.default-release\\startupCache\\startupCache.8.little", 5000);
    File(prefix + "-cache", local + "\\x9y8z7w6.default\\cache2\\entries\\FFEE", 10);
    KeptFolder(local);
    Kept(roaming_ + "\\" + folder + "\\profiles.ini");
    if (!browser)
        return;
    for (const char* profile : {"k3j4h5g6.default-release", "x9y8z7w6.default"}) {
        const std::string p = roaming_ + "\\" + folder + "\\Profiles\\" + profile;
        File(prefix + "-cookies", p + "\\cookies.sqlite", 5000);
        File(prefix + "-cookies", p + "\\cookies.sqlite-wal", 700);
        File(prefix + "-sessions", p + "\\sessionstore.jsonlz4", 900);
        File(prefix + "-sessions", p + "\\sessionstore-backups\\recovery.jsonlz4", 800);
        File(prefix + "-form-history", p + "\\formhistory.sqlite", 2000);
        const std::string origins = p + "\\storage\\default\\";
        File(prefix + "-site-data", origins + "https+++mail.example.org\\idb\\1234mail.sqlite", 6000);
        File(prefix + "-site-data", origins + "https+++mail.example.org\\ls\\data.sqlite", 500);
        File(prefix + "-site-data",
             origins + "https+++app.example^partitionKey=%28https%2Cexample.org%29"
                       "\\cache\\caches.sqlite",
             900);
        File(prefix + "-site-data", origins + "http+++localhost+8080\\.metadata-v2", 60);
        File(prefix + "-site-data", p + "\\webappsstore.sqlite", 3000);
        Kept(origins + "moz-extension+++0a1b2c3d-1111-4222-8333-944445555666^userContextId=4294967295"
                       "\\idb\\3647222921wleabcEoxlt-eengsairo.sqlite");
        Kept(p + "\\permissions.sqlite");
        KeptFolder(origins);
        // Planted empty, so the traces remove it afterwards; SQLite takes an empty file as a new database.
        ASSERT_TRUE(traces_.File(p + "\\places.sqlite", 0));
        ASSERT_TRUE(MakePlacesForTest(p + "\\places.sqlite"));
        places_.push_back(p + "\\places.sqlite");
        ASSERT_TRUE(traces_.File(p + "\\favicons.sqlite", 0));
        ASSERT_TRUE(MakeFaviconsForTest(p + "\\favicons.sqlite"));
        for (const char* own : {"logins.json", "key4.db", "prefs.js",
                                "bookmarkbackups\\bookmarks-2026-01-01.jsonlz4", "storage\\permanent\\LOG"})
            Kept(p + "\\" + own);
    }
    expected_[prefix + "-history"];
}

void ShippedItemsRun::PlantOtherApplications()
{
    PlantGecko("firefox", "Mozilla\\Firefox", true);
    PlantGecko("librewolf", "librewolf", true);
    PlantGecko("waterfox", "Waterfox", true);
    PlantGecko("thunderbird", "Thunderbird", false);

    File("discord-cache", roaming_ + "\\discord\\Cache\\Cache_Data\\f_000001", 400);
    File("discord-cache", roaming_ + "\\discord\\Code Cache\\js\\index", 40);
    Kept(roaming_ + "\\discord\\settings.json");
    Kept(roaming_ + "\\discord\\Local Storage\\leveldb\\000003.log");
    File("teams-cache", roaming_ + "\\Microsoft\\Teams\\Cache\\f_000001", 300);
    File("teams-cache", roaming_ + "\\Microsoft\\Teams\\GPUCache\\data_0", 30);
    const std::string newTeams =
        local_ + "\\Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\EBWebView\\Default";
    File("teams-cache", newTeams + "\\Cache\\Cache_Data\\f_000002", 200);
    const std::string teamsWork = newTeams.substr(0, newTeams.size() - 8) + "\\WV2Profile_tfw";
    File("teams-cache", teamsWork + "\\Cache\\Cache_Data\\f_000003", 300);
    File("teams-cache", teamsWork + "\\Code Cache\\js\\index", 30);
    Kept(teamsWork + "\\Local Storage\\leveldb\\000003.log");
    Kept(roaming_ + "\\Microsoft\\Teams\\desktop-config.json");
    Kept(newTeams + "\\Preferences");
    File("slack-cache", roaming_ + "\\Slack\\Cache\\Cache_Data\\f_000001", 100);
    Kept(roaming_ + "\\Slack\\storage\\root-state.json");
    File("zoom-logs", roaming_ + "\\Zoom\\logs\\zoom_stdout_stderr.log", 1000);
    Kept(roaming_ + "\\Zoom\\data\\zoomus.enc.db");
    File("spotify-cache", local_ + "\\Spotify\\Storage\\0a\\0a1b2c.file", 5000);
    File("spotify-cache", local_ + "\\Spotify\\Data\\ab\\ab12.file", 3000);
    Kept(roaming_ + "\\Spotify\\prefs");
    File("vlc-recent", roaming_ + "\\vlc\\vlc-qt-interface.ini", 700);
    Kept(roaming_ + "\\vlc\\vlcrc");
    File("acrobat-reader", local_ + "\\Adobe\\Acrobat\\DC\\Cache\\AcroFnt.lst", 500);
    Kept(roaming_ + "\\Adobe\\Acrobat\\DC\\Security\\addressbook.acrodata");
    // The recent files go out of the settings file, which stays with the last session and unsaved work.
    expected_["notepad-plus-plus-recent"];
    notepadConfig_ = roaming_ + "\\Notepad++\\config.xml";
    ASSERT_TRUE(traces_.File(notepadConfig_, 0));
    std::ofstream(std::filesystem::path(ToWide(notepadConfig_)))
        << "<NotepadPlus><History><File filename=\"C:\\plans.txt\" /></History></NotepadPlus>";
    Kept(roaming_ + "\\Notepad++\\session.xml");
    Kept(roaming_ + "\\Notepad++\\backup\\new 1@2026-01-01_120000");

    File("office-recent-shortcuts", roaming_ + "\\Microsoft\\Office\\Recent\\Budget 2026.xlsx.LNK", 800);
    File("office-recent-shortcuts", roaming_ + "\\Microsoft\\Office\\Recent\\index.dat", 300);
    Kept(roaming_ + "\\Microsoft\\Templates\\Normal.dotm");
    Kept(roaming_ + "\\Microsoft\\Office\\MSO1033.acl");
}

void ShippedItemsRun::PlantWindowsFiles()
{
    const std::string recent = roaming_ + "\\Microsoft\\Windows\\Recent";
    File("jump-lists", recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms", 9000);
    File("jump-lists", recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms", 8000);
    Kept(recent + "\\AutomaticDestinations\\f01b4d95cf55d32a.automaticDestinations-ms"); // Quick Access
    File("crash-dumps", local_ + "\\CrashDumps\\notepad.exe.4120.dmp", 6000);
    File("directx-shader-cache", local_ + "\\D3DSCache\\7f3a2b1c0d9e8f7a\\idx.d3dscache", 700);
    const std::string psReadLine = roaming_ + "\\Microsoft\\Windows\\PowerShell\\PSReadLine";
    File("powershell-history", psReadLine + "\\ConsoleHost_history.txt", 900);
    Kept(profile_ + "\\Documents\\WindowsPowerShell\\Microsoft.PowerShell_profile.ps1");
    const std::string notepad = local_ + "\\Packages\\Microsoft.WindowsNotepad_8wekyb3d8bbwe";
    File("notepad-open-tabs", notepad + "\\LocalState\\TabState\\3f1c2d4e-5a6b-4c7d-8e9f-0a1b2c3d4e5f.bin",
         400);
    File("notepad-open-tabs", notepad + "\\LocalState\\TabState\\3f1c2d4e-5a6b-4c7d-8e9f-0a1b2c3d4e5f.0.bin",
         80);
    Kept(notepad + "\\Settings\\settings.dat");

    const std::string explorer = local_ + "\\Microsoft\\Windows\\Explorer";
    File("thumbnail-cache", explorer + "\\thumbcache_256.db", 1048);
    File("thumbnail-cache", explorer + "\\thumbcache_idx.db", 24);
    File("thumbnail-cache", explorer + "\\iconcache_16.db", 64);
    File("thumbnail-cache", local_ + "\\IconCache.db", 640);
    Kept(explorer + "\\ExplorerStartupLog.etl");

    const std::string search = local_ + "\\Packages\\Microsoft.Windows.Search_cw5n1h2txyewy\\LocalState";
    File("windows-search-recent-apps", search + "\\DeviceSearchCache\\AppCache133.txt", 900);
    Kept(search + "\\ConstraintIndex\\Input_{00000000}\\index.db");

    const std::string reports = local_ + "\\Microsoft\\Windows\\WER";
    File("error-reports", reports + "\\ReportArchive\\AppCrash_notepad.exe_1a2b3c\\Report.wer", 2000);
    File("error-reports", reports + "\\ReportQueue\\AppHang_editor.exe_4d5e6f\\Report.wer", 1000);
    File("error-reports", reports + "\\ReportQueue\\AppHang_editor.exe_4d5e6f\\memory.hdmp", 5000);
    Outside("error-reports",
            ShellFolder(CSIDL_COMMON_APPDATA) +
                "\\Microsoft\\Windows\\WER\\ReportQueue\\AppCrash_svc.exe_7a8b\\Report.wer",
            400);
    Outside("windows-folder-temp", ShellFolder(CSIDL_WINDOWS) + "\\Temp\\vestrel-old-setup.log", 300, true);
    Aged(ShellFolder(CSIDL_WINDOWS) + "\\Temp\\vestrel-old-setup.log");
    expected_["windows-folder-temp"].countsChecked = false; // whatever else Wine left there may go too
    expected_["clipboard"];
}

void ShippedItemsRun::PlantExplorerAndOffice()
{
    const HKEY user = HKEY_CURRENT_USER;
    Key("explorer-recent-docs", user, kExplorer + "\\RecentDocs");
    Key("explorer-open-save", user, kExplorer + "\\ComDlg32\\OpenSavePidlMRU");
    Key("explorer-last-visited", user, kExplorer + "\\ComDlg32\\LastVisitedPidlMRU");
    Key("explorer-last-visited", user, kExplorer + "\\ComDlg32\\LastVisitedPidlMRULegacy");
    Key("explorer-search-history", user, kExplorer + "\\WordWheelQuery");
    Value("explorer-typed-paths", user, kExplorer + "\\TypedPaths", "url1");
    Value("explorer-typed-paths", user, kExplorer + "\\TypedPaths", "url2");
    KeptValue(user, kExplorer + "\\Advanced");
    KeptValue(user, kExplorer + "\\Shell Folders");

    Value("start-recent-run-list", user, kExplorer + "\\RunMRU", "a");
    Value("start-recent-run-list", user, kExplorer + "\\RunMRU", "b");
    Value("start-recent-run-list", user, kExplorer + "\\RunMRU", "MRUList");
    Value("ie-type-urls", user, kInternetExplorer + "\\TypedURLs", "url1");
    Value("ie-type-urls", user, kInternetExplorer + "\\TypedURLs", "url2");
    Value("ie-type-urls", user, kInternetExplorer + "\\TypedURLsTime", "url1");
    KeptValue(user, kInternetExplorer + "\\Main", "Start Page");

    Value("paint-recent", user, kApplets + "\\Paint\\Recent File List", "File1");
    Value("paint-recent", user, kApplets + "\\Paint\\Recent File List", "File2");
    KeptValue(user, kApplets + "\\Paint\\View", "BMPWidth");
    Value("wordpad-recent", user, kApplets + "\\Wordpad\\Recent File List", "File1");
    KeptValue(user, kApplets + "\\Wordpad\\Options");
    Value("media-player-recent", user, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", "File0");
    Value("media-player-recent", user, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", "File1");
    Value("media-player-recent", user, "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList", "URL0");
    KeptValue(user, "Software\\Microsoft\\MediaPlayer\\Player\\Settings");

    const std::string assist = kExplorer + "\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}";
    Value("explorer-user-assist", user, assist + "\\Count", "HRZR_PGYFRFFVBA");
    Value("explorer-user-assist", user, assist + "\\Count",
          "{1NP14R77-02R7-4R5Q-O744-2RO1NR5198O7}\\abgrcnq.rkr");
    KeptValue(user, assist, "Version");
    Key("explorer-shellbags", user, "Software\\Microsoft\\Windows\\Shell\\BagMRU");
    // The desktop's icon layout and the view of all folders stay, with the keys above them.
    const std::string bags = "Software\\Microsoft\\Windows\\Shell\\Bags";
    Key("explorer-shellbags", user, bags + "\\2");
    Key("explorer-shellbags", user, bags + "\\1\\Shell");
    KeptValue(user, bags + "\\1\\Desktop", "IconLayouts");
    KeptValue(user, bags + "\\AllFolders\\Shell", "Mode");
    Key("explorer-shellbags", user,
        "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU");
    KeptValue(user, "Software\\Microsoft\\Windows\\Shell\\Associations");

    Value("mpc-hc-recent", user, "Software\\MPC-HC\\MPC-HC\\Recent File List", "File1");
    Key("mpc-hc-recent", user, "Software\\MPC-HC\\MPC-HC\\MediaHistory");
    KeptValue(user, "Software\\MPC-HC\\MPC-HC\\Settings");
    Key("acrobat-reader", user, "Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral\\cRecentFiles");
    KeptValue(user, "Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral", "bExpandRHPInViewer");
    Value("seven-zip-history", user, "Software\\7-Zip\\Compression", "ArcHistory");
    Value("seven-zip-history", user, "Software\\7-Zip\\Extraction", "PathHistory");
    Value("seven-zip-history", user, "Software\\7-Zip\\FM", "FolderHistory");
    KeptValue(user, "Software\\7-Zip\\FM", "Lang");
    Key("winrar-history", user, "Software\\WinRAR\\ArcHistory");
    Key("winrar-history", user, "Software\\WinRAR\\DialogEditHistory\\ExtrPath");
    KeptValue(user, "Software\\WinRAR\\General");

    const std::string office = "Software\\Microsoft\\Office";
    Key("office-recent-lists", user, office + "\\16.0\\Visio\\File MRU");
    Key("office-recent-lists", user, office + "\\16.0\\Access\\User MRU");
    Key("office-recent-lists", user, office + "\\16.0\\Word\\File MRU");
    Key("office-recent-lists", user, office + "\\16.0\\Word\\User MRU");
    Key("office-recent-lists", user, office + "\\16.0\\Excel\\Place MRU");
    Key("office-recent-lists", user, office + "\\15.0\\PowerPoint\\File MRU");
    Key("office-recent-lists", user, office + "\\12.0\\Word\\File MRU");
    KeptValue(user, office + "\\16.0\\Word\\Options");
    KeptValue(user, office + "\\16.0\\Common\\General");
}

void ShippedItemsRun::PlantBuiltIns()
{
    const std::string cache = ShellFolder(CSIDL_INTERNET_CACHE);
    File("ie-cache-files", cache + "\\IE\\ABCD1234\\logo[1].png", 20);
    File("ie-cache-files", cache + "\\Content.IE5\\index.dat", 100);
    File("ie-cookies", ShellFolder(CSIDL_COOKIES) + "\\someone@example[1].txt", 90);
    File("ie-favorites", ShellFolder(CSIDL_FAVORITES) + "\\Links\\Web Slice Gallery.url", 120);
    File("ie-favorites", ShellFolder(CSIDL_FAVORITES) + "\\News.url", 80);
    File("network-shortcuts", ShellFolder(CSIDL_NETHOOD) + "\\Team share\\target.lnk", 300);
    File("network-shortcuts", ShellFolder(CSIDL_NETHOOD) + "\\Team share\\desktop.ini", 100);
    File("start-recent-documents", ShellFolder(CSIDL_RECENT) + "\\Budget 2026.xlsx.lnk", 600);
    File("start-recent-documents", ShellFolder(CSIDL_RECENT) + "\\Holiday.lnk", 400);
    File("windows-temp-files", temp_.Folder() + "\\~DF0A1B.tmp", 4096);
    File("windows-temp-files", temp_.Folder() + "\\setup\\install.log", 1000);
    Aged(temp_.Folder() + "\\~DF0A1B.tmp");
    Aged(temp_.Folder() + "\\setup\\install.log");
    // What a running program has just written, and the folder of protected-mode programs, stay.
    Kept(temp_.Folder() + "\\~DF9Z9Z.tmp");
    Kept(temp_.Folder() + "\\Low\\old.tmp");
    Aged(temp_.Folder() + "\\Low\\old.tmp");
    for (int csidl : {CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_FAVORITES, CSIDL_NETHOOD, CSIDL_RECENT})
        keptFolders_.push_back(ShellFolder(csidl));
    keptFolders_.push_back(temp_.Folder());

    // The recycle bin lies outside the profile, and Wine reports its one trash for every drive root, so
    // for this item only the emptied trash is checked.
    expected_["empty-recycle-bin"].countsChecked = false;
    expected_["ie-history-list"];

    const std::string userKey = kProvider + "\\" + UserSid::OfCurrentProcess().Text();
    const std::string machineKey = kProvider + "\\" + UserName();
    ASSERT_TRUE(traces_.Value(HKEY_CURRENT_USER, userKey + kFormsData + "\\site", "field", "entry"));
    ASSERT_TRUE(traces_.Value(HKEY_LOCAL_MACHINE, machineKey + kFormsData + "\\site", "field", "entry"));
    KeptValue(HKEY_CURRENT_USER, userKey + "\\Data\\5e7e8100-9138-11d1-945a-00c04fc308ff", "Item");
    Expected& forms = expected_["ie-auto-complete-form"];
    forms.keys = {Lower("hkcu\\" + userKey + kFormsData), Lower("hklm\\" + machineKey + kFormsData)};

    ASSERT_TRUE(
        traces_.Value(HKEY_CURRENT_USER, kInternetExplorer + "\\IntelliForms\\Storage2", "0A1B", "saved"));
    expected_["ie-auto-complete-password"].keys = {Lower("hkcu\\" + kInternetExplorer + "\\IntelliForms")};
}

void ShippedItemsRun::PlantWindows11()
{
    for (const FileTrace& trace : kWindows11Files) {
        const std::string path = profile_ + "\\" + trace.path;
        if (trace.item)
            File(trace.item, path, trace.bytes);
        else
            Kept(path);
    }
    // Remote Desktop Connection writes its Default.rdp hidden.
    ASSERT_TRUE(SetFileAttributesW(ToExtendedPath(profile_ + "\\Documents\\Default.rdp").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN));
    for (const RegistryTrace& trace : kWindows11Registry) {
        if (!trace.item)
            KeptValue(HKEY_CURRENT_USER, trace.key, trace.value ? trace.value : "Vestrel canary");
        else if (trace.value)
            Value(trace.item, HKEY_CURRENT_USER, trace.key, trace.value);
        else
            Key(trace.item, HKEY_CURRENT_USER, trace.key);
    }
    // The search box's second package reached through a link to the first: its keep still holds
    // SettingsCache.txt, which the walk meets under the link's name.
    const std::string packages = local_ + "\\Packages\\";
    const std::string cortana = packages + "Microsoft.Windows.Cortana_cw5n1h2txyewy";
    ASSERT_TRUE(traces_.Folder(cortana));
    ASSERT_TRUE(MakeFolderLinkForTest(cortana + "\\LocalState",
                                      packages + "Microsoft.Windows.Search_cw5n1h2txyewy\\LocalState"));
    links_.push_back(cortana + "\\LocalState");
    expected_["windows-dns-cache"];
}

TEST_F(ShippedItemsRun, EachItemDeletesExactlyItsTraces)
{
    PlantChromium("chrome", {"Google\\Chrome\\User Data", "Google\\Chrome SxS\\User Data"});
    PlantChromium("edge", {"Microsoft\\Edge\\User Data", "Microsoft\\Edge Beta\\User Data"});
    PlantChromium("brave", {"BraveSoftware\\Brave-Browser\\User Data"});
    PlantChromium("vivaldi", {"Vivaldi\\User Data"});
    PlantChromium("chromium", {"Chromium\\User Data"});
    PlantRealChromiumProfile("chromium", local_ + "\\Chromium\\User Data\\Profile 9");
    PlantOpera("opera", "Opera Stable", true);
    PlantOpera("opera-gx", "Opera GX Stable", false);
    PlantLinks();
    PlantOtherApplications();
    PlantWindowsFiles();
    PlantExplorerAndOffice();
    PlantBuiltIns();
    PlantWindows11();
    WriteRecycled();

    std::set<std::string> shipped;
    for (const EraseItem& item : list_->Items()) {
        if (!FillsTheDrive(item))
            shipped.insert(item.id);
    }
    std::set<std::string> planned;
    for (const auto& [id, expected] : expected_)
        planned.insert(id);
    ASSERT_EQ(planned, shipped) << "every shipped item needs its traces in this test";

    // The recent documents go before the jump lists, which lie in subfolders of the same folder.
    std::vector<std::string> order(planned.begin(), planned.end());
    std::stable_partition(order.begin(), order.end(),
                          [](const std::string& id) { return id != "jump-lists"; });

    std::set<std::string> files = Files();
    std::set<std::string> registry = Registry();
    for (const std::string& id : order) {
        SCOPED_TRACE(id);
        EraseItem* item = Item(id);
        ASSERT_TRUE(item);
        const Expected& expected = expected_[id];
        item->ExecuteItem(ProgramEraseContext());

        std::set<std::string> filesAfter = Files();
        std::set<std::string> registryAfter = Registry();
        std::set<std::string> goneFiles = Minus(files, filesAfter);
        EXPECT_TRUE(goneFiles == expected.files)
            << "deleted:" << Listed(goneFiles) << "\nexpected:" << Listed(expected.files);
        EXPECT_TRUE(Minus(filesAfter, files).empty()) << "created:" << Listed(Minus(filesAfter, files));

        std::set<std::string> goneEntries = expected.values;
        for (const std::string& key : expected.keys) {
            EXPECT_TRUE(registry.count(key)) << key << " was not planted";
            for (const std::string& entry : registry) {
                if (entry == key || entry.starts_with(key + "\\") || entry.starts_with(key + "|"))
                    goneEntries.insert(entry);
            }
        }
        std::set<std::string> deletedEntries = Minus(registry, registryAfter);
        EXPECT_TRUE(deletedEntries == goneEntries)
            << "deleted:" << Listed(deletedEntries) << "\nexpected:" << Listed(goneEntries);
        EXPECT_TRUE(Minus(registryAfter, registry).empty())
            << "created:" << Listed(Minus(registryAfter, registry));

        if (expected.countsChecked) {
            EXPECT_EQ(item->tally.filesErased, expected.filesErased);
            EXPECT_EQ(item->tally.bytesReleased, expected.bytesReleased);
            EXPECT_EQ(item->tally.registryEntriesErased, expected.registryEntriesErased);
        }
        files = std::move(filesAfter);
        registry = std::move(registryAfter);
    }
    EXPECT_EQ(ItemsInSandboxTrash(), 0);
    for (const std::string& path : outside_)
        EXPECT_FALSE(PlantedTraces::FileExists(path)) << path;
    for (const std::string& path : canaries_)
        EXPECT_TRUE(PlantedTraces::FileExists(path)) << path << " lies behind a link and must stay";
    for (const std::string& link : links_)
        RemoveFolderLinkForTest(link);
    // The history went, the bookmarks and what a bookmark needs did not.
    for (const std::string& places : places_) {
        EXPECT_EQ(RowsForTest(places, "moz_historyvisits"), 0) << places;
        EXPECT_EQ(RowsForTest(places, "moz_bookmarks"), 3) << places;
        EXPECT_EQ(RowsForTest(places, "moz_places", "url = 'https://news.example/'"), 1) << places;
        EXPECT_EQ(RowsForTest(places, "moz_places", "url LIKE '%private%'"), 0) << places;
        const std::string favicons = places.substr(0, places.size() - 13) + "favicons.sqlite";
        EXPECT_EQ(RowsForTest(favicons, "moz_pages_w_icons", "page_url LIKE '%private%'"), 0) << favicons;
        EXPECT_EQ(RowsForTest(favicons, "moz_pages_w_icons"), 1) << favicons;
    }
    for (const std::string& folder : keptFolders_)
        EXPECT_TRUE(PlantedTraces::FileExists(folder)) << folder << " itself must stay";
    std::ifstream config(std::filesystem::path(ToWide(notepadConfig_)));
    std::string settings((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(settings.find("<History"), std::string::npos) << settings;
    EXPECT_EQ(settings.find("plans.txt"), std::string::npos) << settings;
}

} // namespace
