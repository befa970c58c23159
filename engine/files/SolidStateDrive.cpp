#include "engine/files/SolidStateDrive.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <winioctl.h>

std::optional<bool> IsSolidStateDrive(const std::string& path)
{
    wchar_t volume[MAX_PATH];
    if (!GetVolumePathNameW(ToWide(path).c_str(), volume, MAX_PATH))
        return std::nullopt;
    std::wstring device = volume;
    if (device.size() < 2 || device[1] != L':')
        return std::nullopt; // a share or a mounted folder: no drive letter to ask
    // No access rights asked: a query of the device's properties needs none, and so no administrator.
    UniqueHandle drive(CreateFileW((L"\\\\.\\" + device.substr(0, 2)).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!drive)
        return std::nullopt;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
    DWORD returned = 0;
    if (!DeviceIoControl(drive.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &penalty,
                         sizeof penalty, &returned, nullptr) ||
        returned < sizeof penalty)
        return std::nullopt;
    return !penalty.IncursSeekPenalty;
}
