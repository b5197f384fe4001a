// TCollection / TCollectionItem: an owned, ordered list of items of one kind,
// each with a position (Index) and an identity number (ID) that stays with it.
#pragma once

#include "RtlPersistent.h"
#include "RtlString.h"

#include <functional>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
public:
    // Joins `collection` (when given) at the end, quietly: TCollection::Add and
    // Insert announce the item once it is fully built.
    explicit TCollectionItem(TCollection* collection);
    // Leaves the collection.
    ~TCollectionItem() override;
    String ClassName() const override { return u"TCollectionItem"; }

    TCollection* Collection() const { return FCollection; }
    // Moves the item to the end of another collection (or out of any).
    void SetCollection(TCollection* collection);
    // Position in the collection (-1 outside one); setting it moves the item.
    int GetIndex() const;
    virtual void SetIndex(int index);
    // Unique within the collection; numbers are not reused.
    int ID() const { return FID; }
    TPersistent* GetOwner() const override;

protected:
    // Reports a change of this item (or of all items) to the collection.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
public:
    // Makes the collection's items; ItemClass<T>() gives one for an item class.
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    template <class T> static TItemFactory ItemClass() {
        return [](TCollection* collection) -> TCollectionItem* { return new T(collection); };
    }

    explicit TCollection(TItemFactory itemFactory, TPersistent* owner = nullptr);
    // Frees every item.
    ~TCollection() override;
    String ClassName() const override { return u"TCollection"; }

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    // Frees the item at `index`.
    void Delete(int index);
    // Frees every item.
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    TCollectionItem* Items(int index) const;
    TCollectionItem* FindItemID(int id) const;

    // Update (below) runs once at the end of the outermost bracket instead of
    // after every change. An EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: the same number of items, each assigned from
    // its counterpart.
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override { return FOwner; }

protected:
    // Called after a change outside an update: with the item that changed, or
    // null when the list itself or all items changed.
    virtual void Update(TCollectionItem* item) {}
    // Told when an item has been added, is leaving, or is about to be freed.
    virtual void Notify(TCollectionItem* item, TCollectionNotification action) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void Announce(TCollectionItem* item);

    TItemFactory FItemFactory;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};
