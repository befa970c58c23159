#include "ui/CheckListTree.h"

#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

std::string CheckListTree::LowerText(const std::string& text)
{
    std::wstring wide = ToWide(text);
    CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return ToUtf8(wide);
}

CheckListItem& CheckListTree::Add(std::unique_ptr<CheckListItem> item)
{
    maxExtent_ = std::max(maxExtent_, item->extent);
    item->id = ++lastId_;
    CheckListItem& added = *item;
    auto& siblings = item->parent ? item->parent->children : topLevel_;
    siblings.push_back(std::move(item));
    if (numbered_ && EndsWithin(added.parent))
        NumberLast(added);
    else
        numbered_ = false;
    return added;
}

// Whether the last row in index order is the parent or lies below it: a row added to it comes last then.
bool CheckListTree::EndsWithin(const CheckListItem* parent) const
{
    if (!parent)
        return true;
    for (const CheckListItem* row = rows_.empty() ? nullptr : rows_.back(); row; row = row->parent) {
        if (row == parent)
            return true;
    }
    return false;
}

// Filling a list in order numbers each row as it comes, instead of the whole list again per row.
void CheckListTree::NumberLast(CheckListItem& item)
{
    const CheckListItem* parent = item.parent;
    const bool shown =
        !item.filteredOut && (!parent || (parent->position >= 0 && (!parent->folded || IsFiltered())));
    item.position = shown ? static_cast<int>(shown_.size()) : -1;
    rows_.push_back(&item);
    if (shown)
        shown_.push_back(&item);
}

void CheckListTree::Clear()
{
    rows_.clear();
    shown_.clear();
    topLevel_.clear();
    filterWords_.clear();
    numbered_ = true;
    maxExtent_ = 0;
}

CheckListItem* CheckListTree::At(int index) const
{
    return index >= 0 && index < Count() ? rows_[index] : nullptr;
}

int CheckListTree::IndexOf(const CheckListItem* item) const
{
    const auto& rows = Numbered();
    auto found = std::find(rows.begin(), rows.end(), item);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

CheckListItem* CheckListTree::FindByData(int data) const
{
    const auto& rows = Numbered();
    auto found = std::find_if(rows.begin(), rows.end(), [data](auto* row) { return row->data == data; });
    return found == rows.end() ? nullptr : *found;
}

CheckListItem* CheckListTree::FindById(int id) const
{
    const auto& rows = Numbered();
    auto found = std::find_if(rows.begin(), rows.end(), [id](auto* row) { return row->id == id; });
    return found == rows.end() ? nullptr : *found;
}

int CheckListTree::ShownCount() const
{
    Numbered();
    return static_cast<int>(shown_.size());
}

CheckListItem* CheckListTree::ShownAt(int position) const
{
    return position >= 0 && position < ShownCount() ? shown_[position] : nullptr;
}

void CheckListTree::SetFolded(CheckListItem& item, bool folded)
{
    if (!item.foldable || item.folded == folded)
        return;
    item.folded = folded;
    numbered_ = false;
}

void CheckListTree::Reveal(CheckListItem& item)
{
    for (CheckListItem* parent = item.parent; parent; parent = parent->parent)
        SetFolded(*parent, false);
}

void CheckListTree::SetFilter(const std::string& text)
{
    filterWords_.clear();
    std::istringstream words(LowerText(text));
    for (std::string word; words >> word;)
        filterWords_.push_back(word);
    for (auto& item : topLevel_)
        Filter(*item, "");
    numbered_ = false;
}

// True when the row or a row below it is kept. A top-level row lends its text to none below it: it heads
// the whole list ("(Select All)"), and every row would match its words.
bool CheckListTree::Filter(CheckListItem& item, const std::string& inherited)
{
    const std::string text = inherited + " " + LowerText(item.text);
    bool kept = std::all_of(filterWords_.begin(), filterWords_.end(),
                            [&](const std::string& word) { return text.find(word) != std::string::npos; });
    const std::string below = item.parent ? text : std::string();
    bool keptBelow = false;
    for (auto& child : item.children)
        keptBelow |= Filter(*child, below);
    item.filteredOut = !kept && !keptBelow;
    return !item.filteredOut;
}

void CheckListTree::SetDescendants(CheckListItem& item, int state)
{
    for (auto& child : item.children) {
        if (child->locked || child->filteredOut)
            continue;
        child->state = state;
        SetDescendants(*child, state);
    }
}

int CheckListTree::ToggledState(const CheckListItem& item)
{
    if (item.state == CheckListItem::Unchecked)
        return CheckListItem::Checked;
    return !item.children.empty() && !HasFreeTickedDescendant(item) ? CheckListItem::Checked
                                                                    : CheckListItem::Unchecked;
}

bool CheckListTree::HasFreeTickedDescendant(const CheckListItem& item)
{
    for (const auto& child : item.children) {
        if (!child->locked && (child->state != CheckListItem::Unchecked || HasFreeTickedDescendant(*child)))
            return true;
    }
    return false;
}

std::vector<CheckListItem*> CheckListTree::UpdateAncestors(CheckListItem& item)
{
    std::vector<CheckListItem*> updated;
    for (CheckListItem* parent = item.parent; parent; parent = parent->parent) {
        bool someOn = false;
        bool someOff = false;
        for (auto& child : parent->children) {
            // A middle child is both: a group of groups shows checked only when every row below is.
            someOn |= child->state != CheckListItem::Unchecked;
            someOff |= child->state != CheckListItem::Checked;
        }
        if (someOn && !someOff)
            parent->state = CheckListItem::Checked;
        else if (!someOn && someOff)
            parent->state = CheckListItem::Unchecked;
        else
            parent->state = CheckListItem::Middle;
        updated.push_back(parent);
    }
    return updated;
}

void CheckListTree::UpdateAllParents()
{
    const auto& rows = Numbered();
    // Children come after their parent: from the end, each parent's children are settled before it.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        CheckListItem& item = **row;
        if (item.parent && &item == item.parent->children.front().get())
            UpdateAncestors(item);
    }
}

const std::vector<CheckListItem*>& CheckListTree::Numbered() const
{
    if (!numbered_) {
        rows_.clear();
        shown_.clear();
        for (auto& item : topLevel_)
            Number(*item, true);
        numbered_ = true;
    }
    return rows_;
}

void CheckListTree::Number(CheckListItem& item, bool shown) const
{
    shown = shown && !item.filteredOut;
    item.position = shown ? static_cast<int>(shown_.size()) : -1;
    rows_.push_back(&item);
    if (shown)
        shown_.push_back(&item);
    const bool open = !item.folded || IsFiltered();
    for (auto& child : item.children)
        Number(*child, shown && open);
}

void CheckListTree::RemeasureExtent()
{
    maxExtent_ = 0;
    for (const CheckListItem* item : Numbered())
        maxExtent_ = std::max(maxExtent_, item->extent);
}
