#pragma once
#include "ui/CSkinFormDialog.h"
#include "settings/OptionsValues.h"

// Switches starting with Windows, "Express Erase Mode", "Play Sound" and overwriting files, and edits the
// sites to keep: typed, or picked from the sites the browsers hold cookies for; a stored list that cannot
// be read is shown as such and cannot be edited. Shows values and hands back the edited ones on OK;
// storing them is the caller's (StoreOptions).
class COptionsDialog : public CSkinFormDialog {
public:
    explicit COptionsDialog(const OptionsValues& shown);

    // What the dialog shows; after OK, what the user chose.
    OptionsValues values;

    // What the dialog says under "Overwrite files before deleting them": what the disk allows.
    static std::string SecureDeletionNote(const OptionsValues& values);

private:
    bool OnInitDialog() override;
    void OnOk();
    void OnAddSite();
    void OnRemoveSite();
    void ShowUnreadableSites();
    // Adds what the site box holds to the list; false, after telling the user, when it is no host name.
    bool AddTypedSite();
    std::vector<std::string> ListedSites() const;
    void AddString(int id, UINT message, const std::string& text) const;

    void Check(int id, bool checked) const;
    bool IsChecked(int id) const;

    DECLARE_MESSAGE_MAP()
};
