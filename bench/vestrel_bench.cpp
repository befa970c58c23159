// Times one engine task inside the process and prints one line of "name=value" fields for
// bench/run_bench.py: the task's count, its seconds, and the process's memory before and at its peak.
//   vestrel_bench startup                     does nothing: Wine's process start-up, measured from outside
//   vestrel_bench delete-directory FOLDER     the "delete-directory" command of an erase item
//   vestrel_bench secure-directory FOLDER     the same with "Overwrite files before deleting them"
//   vestrel_bench bare-delete FOLDER          the platform's floor for deleting: per file open with delete
//                                             access, set the disposition, close; one thread, no checks
//   vestrel_bench bare-overwrite FOLDER       the floor for overwriting: per file open, write zeros over
//                                             it, flush, rename, delete; one thread, no checks
//   vestrel_bench registry-fill KEYS          makes a tree of KEYS keys with three values each
//   vestrel_bench registry-vestrel            deletes that tree through RegistryEraser
//   vestrel_bench registry-deletetree         deletes that tree through RegDeleteTreeW
//   vestrel_bench plugins FOLDER [CACHE]      loads the plug-in files of FOLDER into an EraseItemList, with
//                                             the plug-in cache file CACHE when given
//   vestrel_bench wipe-free-space DRIVE       wipes the free space of DRIVE (only ever a loop-mounted image
//                                             made for the benchmark); counts the MiB written
//   vestrel_bench profile-erase PROFILE [SITES]  erases a browser profile's cookies (Network\Cookies), site
//                                             stores (Local Storage, IndexedDB) and cache (Cache) as the
//                                             cookie and site data items do, keeping the sites listed in
//                                             the file SITES (one a line) when given
//   vestrel_bench window-start EXE            starts the program EXE and times it to its first painted list,
//                                             the loader screen's own time taken out; then ends it
#include "engine/CommandExecutor.h"
#include "engine/cleaners/FreeSpaceWipe.h"
#include "engine/items/EraseItemList.h"
#include "engine/registry/RegistryEraser.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kScratchKey[] = L"Software\\Vestrel Bench";
const char kTreePath[] = "HKEY_CURRENT_USER\\Software\\Vestrel Bench\\tree";

PROCESS_MEMORY_COUNTERS MemoryNow()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// Runs task once, timed, and prints what it counted.
int Report(const std::function<unsigned long()>& task)
{
    PROCESS_MEMORY_COUNTERS before = MemoryNow();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    unsigned long count = task();
    QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS after = MemoryNow();
    std::printf("count=%lu seconds=%.6f ws_before=%lu peak_ws=%lu pagefile_before=%lu peak_pagefile=%lu\n",
                count, double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
                static_cast<unsigned long>(before.WorkingSetSize),
                static_cast<unsigned long>(after.PeakWorkingSetSize),
                static_cast<unsigned long>(before.PagefileUsage),
                static_cast<unsigned long>(after.PeakPagefileUsage));
    return count == 0 ? 1 : 0;
}

int DeleteDirectory(const std::string& folder, bool overwrite)
{
    // Nothing to run, nothing of the program's own: the system's protected folders are all it needs.
    EraseContext context{"", ProtectedFolders::OfThisSystem()};
    context.secureDeletion = overwrite;
    CommandExecutor executor(context, BuiltInCleaners());
    EraseItem item;
    item.command = "delete-directory";
    item.parameters = {folder};
    return Report([&] {
        executor.Execute(item);
        return item.tally.filesErased;
    });
}

// The bare loops: what deleting or overwriting costs with nothing but the system's calls for it.
bool SetDisposition(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

bool BareDelete(const std::wstring& path, DWORD attributes)
{
    bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    UniqueHandle file(CreateFileW(path.c_str(), readOnly ? DELETE | FILE_WRITE_ATTRIBUTES : DELETE, 0,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return false;
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (readOnly && !SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof(basic)))
        return false;
    return SetDisposition(file.get());
}

bool BareOverwrite(const std::wstring& path, DWORD attributes, uint64_t size)
{
    static char zeros[1 << 16];
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return false;
    for (uint64_t left = size; left > 0;) {
        DWORD part = static_cast<DWORD>(std::min<uint64_t>(left, sizeof zeros)), written = 0;
        if (!WriteFile(file.get(), zeros, part, &written, nullptr) || written == 0)
            return false;
        left -= written;
    }
    FlushFileBuffers(file.get());
    size_t slash = path.find_last_of(L'\\');
    std::wstring target =
        L"\\??\\" + path.substr(4, slash + 1 - 4) + std::wstring(path.size() - slash - 1, L'z');
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    SetFileInformationByHandle(file.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
    return SetDisposition(file.get());
}

// Depth first, the folders removed once empty; counts the files the step took.
unsigned long BareWalk(const std::wstring& folder, bool overwrite)
{
    unsigned long done = 0;
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return 0;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            done += BareWalk(path, overwrite);
            RemoveDirectoryW(path.c_str());
        } else {
            uint64_t size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            done += overwrite ? BareOverwrite(path, entry.dwFileAttributes, size)
                              : BareDelete(path, entry.dwFileAttributes);
        }
    } while (FindNextFileW(search.get(), &entry));
    return done;
}

int BareLoop(const std::string& folder, bool overwrite)
{
    std::wstring root = ToExtendedPath(folder);
    while (!root.empty() && root.back() == L'\\')
        root.pop_back();
    return Report([&] { return BareWalk(root, overwrite); });
}

// Key i (from 1) hangs under key (i - 1) / 10, so every key but the last few parents has ten subkeys.
std::wstring TreeKeyPath(unsigned long index)
{
    std::wstring path;
    for (; index > 0; index = (index - 1) / 10)
        path.insert(0, L"\\k" + std::to_wstring(index));
    return std::wstring(kScratchKey) + L"\\tree" + path;
}

// Under the scratch key; counts the keys made.
int FillRegistry(unsigned long keys)
{
    static const BYTE binary[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    static const wchar_t text[] = L"C:\\Users\\bench\\AppData\\Local\\Temp\\recent-file.txt";
    return Report([&] {
        unsigned long made = 0;
        for (; made < keys; ++made) {
            RegKeyHandle key;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, TreeKeyPath(made).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, key.put(), nullptr) != ERROR_SUCCESS)
                break;
            DWORD number = made;
            RegSetValueExW(key.get(), L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
            RegSetValueExW(key.get(), L"count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof(number));
            RegSetValueExW(key.get(), L"data", 0, REG_BINARY, binary, sizeof(binary));
        }
        return made;
    });
}

// 1 when the tree is gone afterwards, so a deleter that leaves keys behind reports nothing.
unsigned long TreeGone()
{
    RegKeyHandle key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratchKey) + L"\\tree").c_str(), 0, KEY_READ,
                         key.put()) == ERROR_FILE_NOT_FOUND;
}

int DeleteRegistryTree(bool withRegDeleteTree)
{
    RegKeyHandle scratch;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, KEY_ALL_ACCESS, scratch.put()) != ERROR_SUCCESS)
        return 1;
    RegistryEraser eraser;
    int result = Report([&] {
        if (withRegDeleteTree)
            RegDeleteTreeW(scratch.get(), L"tree");
        else
            eraser.DeleteKeyByPath(kTreePath);
        return TreeGone();
    });
    scratch.reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchKey);
    return result;
}

class NoneSelected final : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return false; }
};

int LoadPlugins(const std::string& folder, const std::string& cache)
{
    ComInit com;
    NoneSelected selection;
    return Report([&] {
        EraseItemList list(folder, 10.0, selection, {cache, "vestrel_bench"});
        return static_cast<unsigned long>(list.Items().size() - list.Failed().size());
    });
}

int WipeDriveFreeSpace(const std::string& drive)
{
    return Report([&] {
        FreeSpaceWipeResult result = WipeFreeSpace(drive);
        return result.complete ? static_cast<unsigned long>(result.written >> 20) : 0ul;
    });
}

// The kept sites are read inside the timed task: turning the list into a lookup is part of what it costs.
int EraseProfile(const std::string& profile, const std::string& sitesFile)
{
    EraseItem item;
    item.command = "delete-directory";
    item.parameters = {profile + "\\Network\\Cookies", profile + "\\Local Storage", profile + "\\IndexedDB",
                       profile + "\\Cache"};
    item.parameterOptions.resize(item.parameters.size());
    item.parameterOptions[0].command = "delete-cookies";
    item.loaded = true;
    return Report([&] {
        std::vector<std::string> sites;
        std::ifstream list(sitesFile);
        for (std::string line; sitesFile.size() && std::getline(list, line);)
            sites.push_back(line);
        EraseContext context{"", ProtectedFolders::OfThisSystem()};
        context.keptSites = KeptSites(sites);
        CommandExecutor(std::move(context), BuiltInCleaners()).Execute(item);
        return static_cast<unsigned long>(item.tally.filesErased + item.tally.cookiesErased);
    });
}

// What one look at the started program's top-level windows found.
struct ProgramWindows {
    DWORD process = 0;
    bool loader = false; // the loader screen, visible
    HWND main = nullptr; // the main window, visible
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM data)
{
    auto& found = *reinterpret_cast<ProgramWindows*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != found.process || !IsWindowVisible(window))
        return TRUE;
    // Another process's caption is read without a message, so the look never waits for the program.
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (std::wcscmp(title, L"Vestrel Loading") == 0)
        found.loader = true;
    else if (std::wcscmp(title, L"Vestrel") == 0)
        found.main = window;
    return TRUE;
}

struct ListPaint {
    bool shown = false;   // a check list is visible
    bool pending = false; // and one still has a part to paint
};

BOOL CALLBACK LookAtList(HWND child, LPARAM data)
{
    auto& paint = *reinterpret_cast<ListPaint*>(data);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wcsncmp(name, L"VestrelCheckList", 16) != 0 || !IsWindowVisible(child))
        return TRUE;
    paint.shown = true;
    paint.pending = paint.pending || GetUpdateRect(child, nullptr, FALSE);
    return TRUE;
}

// The window and the list it shows have painted everything they were asked to.
bool ListPainted(HWND main)
{
    ListPaint paint;
    EnumChildWindows(main, LookAtList, reinterpret_cast<LPARAM>(&paint));
    return paint.shown && !paint.pending && !GetUpdateRect(main, nullptr, FALSE);
}

double SecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// Start (t0), loader shown (t1), loader gone (t2), list painted (t3), polled every millisecond: seconds is
// (t1 - t0) + (t3 - t2), what the user would wait without the loader's fixed timetable. The program runs
// in a throw-away copy of its folder, so ending it abruptly loses nothing.
int WindowStart(const std::string& exe)
{
    std::wstring path = ToWide(exe);
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER t0;
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
        std::fprintf(stderr, "window-start: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return 1;
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    double t1 = 0, t2 = 0, t3 = 0;
    const double kGiveUp = 120;
    for (double now = 0; now < kGiveUp && !t3; now = SecondsSince(t0)) {
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
            break;
        ProgramWindows found;
        found.process = started.dwProcessId;
        EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&found));
        if (!t1 && found.loader)
            t1 = now;
        else if (t1 && !t2 && !found.loader)
            t2 = now;
        else if (t2 && found.main && ListPainted(found.main))
            t3 = now;
        Sleep(1);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.get(), &memory, sizeof memory);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    if (!t3)
        std::fprintf(stderr, "window-start: loader shown at %.3f s, gone at %.3f s, no painted list\n", t1, t2);
    std::printf("count=%d seconds=%.6f before_loader=%.6f loader=%.6f after_loader=%.6f peak_ws=%lu "
                "peak_pagefile=%lu\n",
                t3 ? 1 : 0, t1 + (t3 - t2), t1, t2 - t1, t3 - t2,
                static_cast<unsigned long>(memory.PeakWorkingSetSize),
                static_cast<unsigned long>(memory.PeakPagefileUsage));
    return t3 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::string command = argc > 1 ? ToUtf8(argv[1]) : "";
    std::string argument = argc > 2 ? ToUtf8(argv[2]) : "";
    if (command == "startup")
        return Report([] { return 1ul; });
    if (command == "delete-directory" || command == "secure-directory")
        return DeleteDirectory(argument, command == "secure-directory");
    if (command == "bare-delete" || command == "bare-overwrite")
        return BareLoop(argument, command == "bare-overwrite");
    if (command == "registry-fill")
        return FillRegistry(std::stoul(argument));
    if (command == "registry-vestrel" || command == "registry-deletetree")
        return DeleteRegistryTree(command == "registry-deletetree");
    if (command == "plugins")
        return LoadPlugins(argument, argc > 3 ? ToUtf8(argv[3]) : "");
    if (command == "wipe-free-space")
        return WipeDriveFreeSpace(argument);
    if (command == "profile-erase")
        return EraseProfile(argument, argc > 3 ? ToUtf8(argv[3]) : "");
    if (command == "window-start")
        return WindowStart(argument);
    std::fprintf(stderr, "usage: vestrel_bench startup | delete-directory FOLDER | secure-directory FOLDER |"
                         " bare-delete FOLDER | bare-overwrite FOLDER | registry-fill KEYS |"
                         " registry-vestrel | registry-deletetree | plugins FOLDER [CACHE] |"
                         " wipe-free-space DRIVE | profile-erase PROFILE [SITES] | window-start EXE\n");
    return 2;
}
