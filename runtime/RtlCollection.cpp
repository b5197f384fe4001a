#include "RtlCollection.h"

#include "RtlConvert.h"
#include "RtlException.h"

#include <algorithm>
#include <iterator>

namespace {

[[noreturn]] void IndexError(int index) {
    throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
}

} // namespace

// --- TCollectionItem ---------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* collection) {
    if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (FCollection == collection) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (collection) {
        collection->InsertItem(this);
        collection->Announce(this);
    }
}

int TCollectionItem::GetIndex() const {
    if (!FCollection) return -1;
    const auto& items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
    const int current = GetIndex();
    if (current < 0 || current == index) return;
    auto& items = FCollection->FItems;
    if (index < 0 || index >= static_cast<int>(items.size())) IndexError(index);
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

void TCollectionItem::Changed(bool allItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(allItems ? nullptr : this);
}

// --- TCollection -------------------------------------------------------------

TCollection::TCollection(TItemFactory itemFactory, TPersistent* owner)
    : FItemFactory(std::move(itemFactory)), FOwner(owner) {}

TCollection::~TCollection() {
    // No Update calls while the collection is going away.
    FUpdateCount = 1;
    Clear();
}

void TCollection::InsertItem(TCollectionItem* item) {
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Notify(item, cnExtracting);
    // Items usually leave from the end (Clear, destruction), so search from there.
    const auto it = std::find(FItems.rbegin(), FItems.rend(), item);
    FItems.erase(std::next(it).base());
    item->FCollection = nullptr;
    Changed();
}

void TCollection::Announce(TCollectionItem* item) {
    Notify(item, cnAdded);
    Changed();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemFactory(this);
    if (item->FCollection != this)
        item->SetCollection(this);
    else
        Announce(item);
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) IndexError(index);
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) {
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return FItems[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount == 0) return;
    --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem* item : other->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
