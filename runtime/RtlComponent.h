// TComponent: a named object with an optional owner that frees it, a list of
// the components it owns, state flags, and free notification so that
// references between components never dangle.
//
// A component given an owner must be created with `new`: the owner deletes
// it, last created first, when the owner itself is destroyed. A component
// without an owner belongs to whoever created it (a unique_ptr, a member...).
//
// C++ destroys the derived parts of an object before ~TComponent runs, so the
// owned components and the free notifications are handled when only the
// TComponent part is left. A derived class whose owned components must still
// see it whole calls DestroyComponents() (and Destroying()) in its own
// destructor.
#pragma once

#include "RtlPersistent.h"
#include "RtlString.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance,
};

// A set of TComponentStateItem.
class TComponentState {
public:
    constexpr TComponentState() = default;
    constexpr TComponentState(std::initializer_list<TComponentStateItem> items) {
        for (const TComponentStateItem item : items)
            Include(item);
    }
    constexpr bool Contains(TComponentStateItem item) const { return (FBits & Bit(item)) != 0; }
    constexpr void Include(TComponentStateItem item) { FBits |= Bit(item); }
    constexpr void Exclude(TComponentStateItem item) { FBits &= ~Bit(item); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool operator==(const TComponentState&) const = default;

private:
    static constexpr std::uint32_t Bit(TComponentStateItem item) { return 1u << item; }
    std::uint32_t FBits = 0;
};

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    String ClassName() const override { return u"TComponent"; }

    TComponent* GetOwner() const override { return FOwner; }
    TComponent* Owner() const { return FOwner; }

    // --- owned components ---------------------------------------------------
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* Components(int index) const;
    // Position in the owner's list (-1 without an owner).
    int ComponentIndex() const;
    // Takes over ownership of `component` (removing it from its old owner).
    // Raises EComponentError when its name is already taken here.
    void InsertComponent(TComponent* component);
    // Gives up ownership without freeing; the component then has no owner.
    void RemoveComponent(TComponent* component);
    // The owned component of that name (ASCII case ignored), or null.
    TComponent* FindComponent(StringView name) const;
    // Frees every owned component, last first.
    void DestroyComponents();

    // --- name and tag -------------------------------------------------------
    // A name is empty or an identifier (a letter or "_", then letters, digits
    // or "_"; characters beyond ASCII count as letters), unique among the
    // owner's components. Otherwise EComponentError.
    const String& GetName() const { return FName; }
    virtual void SetName(StringView name);
    std::intptr_t GetTag() const { return FTag; }
    void SetTag(std::intptr_t tag) { FTag = tag; }

    // --- state --------------------------------------------------------------
    TComponentState ComponentState() const { return FComponentState; }
    // For the framework and the form-stream loaders, which mark components
    // while they read, write or design them.
    void IncludeState(TComponentStateItem item) { FComponentState.Include(item); }
    void ExcludeState(TComponentStateItem item) { FComponentState.Exclude(item); }
    // Marks this component (and, by default, every owned one) as designed.
    void SetDesigning(bool designing, bool setChildren = true);
    // Sets csDestroying here and in every owned component.
    void Destroying();
    // Called after the component's properties were read; clears csLoading.
    virtual void Loaded();

    // --- free notification --------------------------------------------------
    // Asks to be told (Notification(component, opRemove)) when `component` is
    // freed, and tells it the same about this one. Components with the same
    // owner need not ask: the owner tells all of its components.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

protected:
    // Told when a component is added to or removed from the owner's tree, or
    // when a component this one asked about is freed. Overrides clear their
    // references to a removed component and then call this version, which
    // passes the news on to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);
    // Checks that `component` may be named `newName` here.
    virtual void ValidateRename(TComponent* component, StringView currentName,
                                StringView newName) const;

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void ForgetNotification(TComponent* component);

    TComponent* FOwner = nullptr;
    String FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};
