#pragma once
#include "engine/items/XmlReader.h"
#include "framework/Owners.h"

#include <string>
#include <string_view>
#include <vector>

// The configuration file: which erase items are selected, and the current page. Read through the DOM on
// construction; written line by line, CR LF, into a file beside it that replaces it only once complete,
// so a failed or interrupted write leaves the old file as it was.
class ConfigFile : public XmlReader {
public:
    // The element whose children, named by item id, hold the selection.
    static constexpr char kItemsElement[] = "erase-items";

    // A writer that needs nothing of the old file does not read it.
    explicit ConfigFile(std::string path, bool read = true);
    ~ConfigFile() override; // an unfinished write is dropped

    // Starts a new file; false when it cannot be created, or the file in place is read-only or a folder.
    bool OpenForWrite();
    void WriteLine(std::string_view text);
    // One selection line: eight blanks, then <key>true</key> or <key>false</key>.
    void WriteItem(std::string_view key, bool value);
    // An element of erase-items as it was read: eight blanks, then <key>text</key>, the text escaped.
    void WriteElement(std::string_view key, std::string_view text);
    // The declaration, the root's opening tag and the opening of erase-items.
    void WriteOpening();
    // The end of erase-items, app-config with the page, and the root's closing tag.
    void WriteClosing(int currentPage);
    // Puts the new file in place of the old one; false, with the old file untouched, when anything failed.
    bool Close();

    // The lines the writes above write, without their CR LF.
    static std::string ElementLine(std::string_view key, std::string_view text);
    static std::vector<std::string> OpeningLines();
    static std::vector<std::string> ClosingLines(int currentPage);
    // Whether the file in place holds exactly these lines, each ended by CR LF.
    bool Holds(const std::vector<std::string>& lines) const;

private:
    void Discard();

    std::string path_;
    std::string newPath_;
    UniqueHandle output_;
    bool writeFailed_ = false;
};
