#include "engine/cleaners/NotepadHistoryCleaner.h"

#include "engine/files/EditedFile.h"
#include "engine/files/ShellFolders.h"
#include "engine/items/XmlDom.h"
#include "framework/Format.h"
#include "framework/Utf8.h"

void ClearNotepadPlusPlusHistory(EraseTally&, const EraseOptions& options)
{
    std::string roaming = KnownFolderPath(FOLDERID_RoamingAppData);
    if (!roaming.empty())
        ClearNotepadPlusPlusHistoryIn(roaming + "\\Notepad++\\config.xml", options);
}

void ClearNotepadPlusPlusHistoryIn(const std::string& configPath, const EraseOptions& options)
{
    if (GetFileAttributesW(ToExtendedPath(configPath).c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    // MSXML reads and writes the file by its name; held open meanwhile, that name stays this entry.
    EditedFile file(configPath);
    if (file.Result() == EditedFile::Check::Refused)
        options.Listener().OnRefusedEdit(configPath, file.Reason());
    else if (file.Result() == EditedFile::Check::Failed)
        options.Listener().OnFailure(configPath, file.Reason());
    if (file.Result() != EditedFile::Check::Editable)
        return;
    ComInit com;
    ComPtr<IXMLDOMNode> root;
    ComPtr<IXMLDOMNode> history;
    if (LoadXmlDocument(configPath, root, true) != S_OK || NodeName(root.get()) != "NotepadPlus") {
        options.Listener().OnFailure(configPath, "not a settings file of Notepad++ that Vestrel can read");
        return;
    }
    if (!FindChildElement(root.get(), "History", {}, {}, history))
        return;
    std::vector<ComPtr<IXMLDOMNode>> files = ChildElements(history.get(), "File");
    if (files.empty())
        return;
    options.Listener().OnUncounted(
        Format("%u entries of Notepad++'s recent-file list: they are not files", unsigned(files.size())));
    if (options.Preview())
        return;
    for (const ComPtr<IXMLDOMNode>& file : files)
        RemoveElementAndItsIndent(file.get());
    if (!SaveXmlDocument(root.get(), configPath))
        options.Listener().OnFailure(configPath, "could not be written");
}
