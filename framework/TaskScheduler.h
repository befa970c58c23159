#pragma once
#include "framework/Owners.h"

#include <windows.h>
#include <taskschd.h>

#include <oleauto.h>

#include <string>

// A string allocated for COM (SysAllocString), freed once.
using BstrOwner = UniqueOwner<NullEmptyTraits<BSTR, &SysFreeString>>;

// The Task Scheduler of this computer, for tasks that run as the current user when they are logged on.
// Needs COM on the calling thread (ComInit). Every call returns its HRESULT; none throws.
class TaskScheduler {
public:
    TaskScheduler();

    // Whether the service could be reached; the other calls fail with this status when not.
    HRESULT Status() const { return status_; }

    // Registers the task, or replaces it, from its XML in the folder (such as "\\Vestrel"), which is made
    // when missing. Where the folder cannot be made (a user without the right), the task goes into the
    // root folder under rootName; folderUsed tells which folder holds it.
    HRESULT Register(const std::string& folder, const std::string& name, const std::string& rootName,
                     const std::string& xml, std::string& folderUsed);
    // The XML of the task as registered.
    HRESULT ReadXml(const std::string& folder, const std::string& name, std::string& xml) const;
    // Deletes the task; S_FALSE when there was none. An emptied folder other than the root goes too.
    HRESULT Remove(const std::string& folder, const std::string& name);

private:
    HRESULT OpenFolder(const std::string& path, ComPtr<ITaskFolder>& folder) const;
    HRESULT RegisterIn(ITaskFolder* folder, const std::string& name, const std::string& xml) const;
    void RemoveFolderIfEmpty(const std::string& path) const;

    ComPtr<ITaskService> service_;
    HRESULT status_;
};
