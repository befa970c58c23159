#include "ui/CheckListTree.h"

#include <algorithm>

CheckListItem& CheckListTree::Add(std::unique_ptr<CheckListItem> item)
{
    maxExtent_ = std::max(maxExtent_, item->extent);
    CheckListItem& added = *item;
    auto& siblings = item->parent ? item->parent->children : topLevel_;
    siblings.push_back(std::move(item));
    Renumber();
    return added;
}

void CheckListTree::Clear()
{
    rows_.clear();
    topLevel_.clear();
    maxExtent_ = 0;
}

CheckListItem* CheckListTree::At(int index) const
{
    return index >= 0 && index < Count() ? rows_[index] : nullptr;
}

int CheckListTree::IndexOf(const CheckListItem* item) const
{
    auto found = std::find(rows_.begin(), rows_.end(), item);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

CheckListItem* CheckListTree::FindByData(int data) const
{
    auto found = std::find_if(rows_.begin(), rows_.end(), [data](auto* row) { return row->data == data; });
    return found == rows_.end() ? nullptr : *found;
}

void CheckListTree::SetDescendants(CheckListItem& item, int state)
{
    for (auto& child : item.children) {
        if (child->locked)
            continue;
        child->state = state;
        SetDescendants(*child, state);
    }
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
            someOn |= child->state != CheckListItem::Unchecked;
            someOff |= child->state == CheckListItem::Unchecked;
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

// Lists stay small (a page of erase items), so the numbering is simply rebuilt on every addition.
void CheckListTree::Renumber()
{
    rows_.clear();
    for (auto& item : topLevel_)
        Number(*item);
}

void CheckListTree::Number(CheckListItem& item)
{
    rows_.push_back(&item);
    for (auto& child : item.children)
        Number(*child);
}

void CheckListTree::RemeasureExtent()
{
    maxExtent_ = 0;
    for (const CheckListItem* item : rows_)
        maxExtent_ = std::max(maxExtent_, item->extent);
}
