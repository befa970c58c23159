#include "framework/TaskScheduler.h"

#include "framework/Utf8.h"

namespace {

BstrOwner MakeBstr(const std::string& text)
{
    return BstrOwner(SysAllocString(ToWide(text).c_str()));
}

VARIANT EmptyVariant()
{
    VARIANT value;
    VariantInit(&value);
    return value;
}

bool IsMissing(HRESULT result)
{
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
           result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

} // namespace

TaskScheduler::TaskScheduler()
    : status_(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                               reinterpret_cast<void**>(service_.put())))
{
    if (SUCCEEDED(status_)) {
        VARIANT none = EmptyVariant();
        status_ = service_->Connect(none, none, none, none); // this computer, as the current user
    }
}

HRESULT TaskScheduler::OpenFolder(const std::string& path, ComPtr<ITaskFolder>& folder) const
{
    if (FAILED(status_))
        return status_;
    BstrOwner name = MakeBstr(path);
    return service_->GetFolder(name.get(), folder.put());
}

HRESULT TaskScheduler::RegisterIn(ITaskFolder* folder, const std::string& name, const std::string& xml) const
{
    BstrOwner taskName = MakeBstr(name);
    BstrOwner text = MakeBstr(xml);
    VARIANT none = EmptyVariant();
    ComPtr<IRegisteredTask> task;
    return folder->RegisterTask(taskName.get(), text.get(), TASK_CREATE_OR_UPDATE, none, none,
                                TASK_LOGON_INTERACTIVE_TOKEN, none, task.put());
}

HRESULT TaskScheduler::Register(const std::string& folder, const std::string& name,
                                const std::string& rootName, const std::string& xml, std::string& folderUsed)
{
    ComPtr<ITaskFolder> root;
    HRESULT result = OpenFolder("\\", root);
    if (FAILED(result))
        return result;
    ComPtr<ITaskFolder> own;
    result = OpenFolder(folder, own);
    if (IsMissing(result)) {
        BstrOwner path = MakeBstr(folder);
        VARIANT none = EmptyVariant();
        result = root->CreateFolder(path.get(), none, own.put());
    }
    if (SUCCEEDED(result)) {
        folderUsed = folder;
        return RegisterIn(own.get(), name, xml);
    }
    folderUsed.assign(1, '\\'); // the root folder; a literal here trips a false -Wrestrict of GCC 12
    return RegisterIn(root.get(), rootName, xml);
}

HRESULT TaskScheduler::ReadXml(const std::string& folder, const std::string& name, std::string& xml) const
{
    ComPtr<ITaskFolder> taskFolder;
    HRESULT result = OpenFolder(folder, taskFolder);
    if (FAILED(result))
        return result;
    BstrOwner taskName = MakeBstr(name);
    ComPtr<IRegisteredTask> task;
    result = taskFolder->GetTask(taskName.get(), task.put());
    if (FAILED(result))
        return result;
    BstrOwner text;
    result = task->get_Xml(text.put());
    if (SUCCEEDED(result))
        xml = text ? ToUtf8(text.get()) : std::string();
    return result;
}

HRESULT TaskScheduler::Remove(const std::string& folder, const std::string& name)
{
    ComPtr<ITaskFolder> taskFolder;
    HRESULT result = OpenFolder(folder, taskFolder);
    if (IsMissing(result))
        return S_FALSE;
    if (FAILED(result))
        return result;
    BstrOwner taskName = MakeBstr(name);
    result = taskFolder->DeleteTask(taskName.get(), 0);
    if (IsMissing(result))
        result = S_FALSE;
    if (SUCCEEDED(result))
        RemoveFolderIfEmpty(folder);
    return result;
}

// Other users' tasks may share the folder, and a folder with tasks cannot be deleted: that failure is fine.
void TaskScheduler::RemoveFolderIfEmpty(const std::string& path) const
{
    if (path == "\\")
        return;
    ComPtr<ITaskFolder> root;
    if (FAILED(OpenFolder("\\", root)))
        return;
    BstrOwner folderPath = MakeBstr(path);
    root->DeleteFolder(folderPath.get(), 0);
}
