#include "app/COptionsDialog.h"

#include "app/AppSkin.h"
#include "engine/cleaners/KeptSites.h"
#include "framework/Utf8.h"

#include <algorithm>

#include "resource.h"

namespace {

std::string WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return ToUtf8(text);
}

} // namespace

std::string COptionsDialog::SecureDeletionNote(const OptionsValues& values)
{
    std::string note = values.secureDeletionManaged ? "Set by your organization. " : "";
    if (values.solidStateDrive.value_or(false))
        return note + "Windows is on a solid-state drive: overwriting there is best effort. Drive "
                      "encryption (BitLocker) is what protects deleted data on it.";
    return note + "One pass of zeros, then a new name, then deleted. On a solid-state drive it is best "
                  "effort; drive encryption (BitLocker) protects deleted data there.";
}

BEGIN_MESSAGE_MAP(COptionsDialog, CSkinFormDialog)
    ON_COMMAND(IDOK, OnOk)
    ON_COMMAND(IDC_KEEP_ADD, OnAddSite)
    ON_COMMAND(IDC_KEEP_REMOVE, OnRemoveSite)
END_MESSAGE_MAP()

COptionsDialog::COptionsDialog(const OptionsValues& shown)
    : CSkinFormDialog(IDD_OPTIONS, kFormSkin, "Option Dialog"), values(shown)
{
}

bool COptionsDialog::OnInitDialog()
{
    CSkinFormDialog::OnInitDialog();
    Check(IDC_AUTO_LAUNCH, values.autoLaunch);
    Check(IDC_EXPRESS_MODE, values.expressEraseMode);
    Check(IDC_PLAY_SOUND, values.playSound);
    Check(IDC_SECURE_DELETION, values.secureDeletion);
    EnableWindow(GetItem(IDC_SECURE_DELETION), !values.secureDeletionManaged);
    SetDlgItemTextW(GetHwnd(), IDC_SECURE_NOTE, ToWide(SecureDeletionNote(values)).c_str());
    for (const std::string& site : values.cookieSites)
        AddString(IDC_KEEP_SITE, CB_ADDSTRING, site);
    for (const std::string& site : values.keepSites)
        AddString(IDC_KEEP_SITES, LB_ADDSTRING, site);
    if (!values.keepSitesProblem.empty())
        ShowUnreadableSites();
    return true;
}

// The list cannot be edited while what is stored is unknown: the note takes the place of the controls.
void COptionsDialog::ShowUnreadableSites()
{
    const int controls[] = {IDC_KEEP_SITE, IDC_KEEP_ADD, IDC_KEEP_SITES, IDC_KEEP_REMOVE};
    for (int id : controls)
        ShowWindow(GetItem(id), SW_HIDE);
    HWND note = GetItem(IDC_KEEP_NOTE);
    RECT area, list;
    GetWindowRect(note, &area);
    GetWindowRect(GetItem(IDC_KEEP_SITES), &list);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&area), 2);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&list), 2);
    SetWindowPos(note, nullptr, area.left, area.top, area.right - area.left, list.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The problem begins with what the first sentence says already.
    std::string why = values.keepSitesProblem;
    if (const std::string lead = "the sites to keep cannot be read: "; why.starts_with(lead))
        why.erase(0, lead.size());
    std::string text = "The sites to keep cannot be read, so an erase skips the items that clear cookies and "
                       "site data until the list is mended or removed; it cannot be changed here.\n\n" +
                       why;
    SetWindowTextW(note, ToWide(text).c_str());
}

// A site typed but not added yet is what the user meant to keep: OK adds it, or stays open to say why not.
void COptionsDialog::OnOk()
{
    if (values.keepSitesProblem.empty()) {
        if (!WindowText(GetItem(IDC_KEEP_SITE)).empty() && !AddTypedSite())
            return;
        values.keepSites = ListedSites();
    }
    values.autoLaunch = IsChecked(IDC_AUTO_LAUNCH);
    values.expressEraseMode = IsChecked(IDC_EXPRESS_MODE);
    values.playSound = IsChecked(IDC_PLAY_SOUND);
    values.secureDeletion = IsChecked(IDC_SECURE_DELETION);
    EndDialog(IDOK);
}

void COptionsDialog::Check(int id, bool checked) const
{
    CheckDlgButton(GetHwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool COptionsDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

void COptionsDialog::OnAddSite()
{
    AddTypedSite();
    SetFocus(GetItem(IDC_KEEP_SITE));
}

bool COptionsDialog::AddTypedSite()
{
    HWND box = GetItem(IDC_KEEP_SITE);
    std::string typed = WindowText(box);
    std::optional<std::string> site = NormalisedSiteHost(typed);
    if (!site) {
        std::wstring text =
            L"\u201C" + ToWide(typed) + L"\u201D is not a site name. Type one such as example.com.";
        MessageBoxW(GetHwnd(), text.c_str(), L"Sites to keep", MB_OK | MB_ICONWARNING);
        return false;
    }
    std::vector<std::string> listed = ListedSites();
    if (std::find(listed.begin(), listed.end(), *site) == listed.end())
        AddString(IDC_KEEP_SITES, LB_ADDSTRING, *site);
    SetWindowTextW(box, L"");
    return true;
}

void COptionsDialog::OnRemoveSite()
{
    LRESULT selected = SendDlgItemMessageW(GetHwnd(), IDC_KEEP_SITES, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        SendDlgItemMessageW(GetHwnd(), IDC_KEEP_SITES, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

std::vector<std::string> COptionsDialog::ListedSites() const
{
    std::vector<std::string> sites;
    HWND list = GetItem(IDC_KEEP_SITES);
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        WPARAM at = static_cast<WPARAM>(index);
        std::wstring site(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, at, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(site.data()));
        sites.push_back(ToUtf8(site.c_str()));
    }
    return sites;
}

void COptionsDialog::AddString(int id, UINT message, const std::string& text) const
{
    SendDlgItemMessageW(GetHwnd(), id, message, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}
