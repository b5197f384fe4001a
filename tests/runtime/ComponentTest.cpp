#include "RtlCollection.h"
#include "RtlComponent.h"
#include "RtlException.h"
#include "RtlSync.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Records its own destruction in a shared log.
class TLogged : public TComponent {
public:
    TLogged(TComponent* owner, std::vector<String>& log, StringView name)
        : TComponent(owner), FLog(log) {
        SetName(name);
    }
    ~TLogged() override { FLog.push_back(GetName()); }
    String ClassName() const override { return u"TLogged"; }

private:
    std::vector<String>& FLog;
};

// Holds a reference to another component and clears it when told.
class THolder : public TComponent {
public:
    using TComponent::TComponent;
    void SetTarget(TComponent* target) {
        if (FTarget == target) return;
        if (FTarget) FTarget->RemoveFreeNotification(this);
        FTarget = target;
        if (FTarget) FTarget->FreeNotification(this);
    }
    TComponent* Target() const { return FTarget; }
    int Removals = 0;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && component == FTarget) {
            FTarget = nullptr;
            ++Removals;
        }
        TComponent::Notification(component, operation);
    }

private:
    TComponent* FTarget = nullptr;
};

} // namespace

TEST(Component, OwnerFreesOwnedComponentsLastFirst) {
    std::vector<String> log;
    {
        TComponent form;
        new TLogged(&form, log, u"first");
        auto* second = new TLogged(&form, log, u"second");
        new TLogged(second, log, u"inner");
        new TLogged(&form, log, u"third");
        EXPECT_EQ(form.ComponentCount(), 3);
        EXPECT_EQ(form.FindComponent(u"SECOND"), second);
        EXPECT_EQ(second->ComponentIndex(), 1);
        EXPECT_EQ(form.FindComponent(u"inner"), nullptr); // only direct children
    }
    EXPECT_EQ(log, (std::vector<String>{u"third", u"second", u"inner", u"first"}));

    // A component freed on its own leaves its owner's list.
    TComponent owner;
    auto* child = new TLogged(&owner, log, u"gone");
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_THROW(owner.Components(0), EListError);
}

TEST(Component, FreeNotificationClearsReferencesAcrossOwners) {
    TComponent formA, formB;
    auto* holder = new THolder(&formA);
    auto* target = new TComponent(&formB);
    holder->SetTarget(target);
    EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
    delete target;
    EXPECT_EQ(holder->Target(), nullptr);
    EXPECT_EQ(holder->Removals, 1);

    // The other direction: the holder goes first and the target forgets it,
    // so freeing the target later touches nothing that is gone.
    auto* target2 = new TComponent(&formB);
    holder->SetTarget(target2);
    delete holder;
    EXPECT_FALSE(target2->ComponentState().Contains(csFreeNotification));
}

TEST(Component, SiblingsHearOfRemovalsThroughTheirOwner) {
    TComponent form;
    auto* holder = new THolder(&form);
    auto* target = new TComponent(&form);
    holder->SetTarget(target); // same owner: nothing registered, the owner tells
    delete target;
    EXPECT_EQ(holder->Target(), nullptr);

    // An override that forgets to call the base still gets each notice once
    // and does not stall the freed component's clean-up.
    class TForgetful : public TComponent {
    public:
        using TComponent::TComponent;
        int Notices = 0;

    protected:
        void Notification(TComponent*, TOperation operation) override {
            if (operation == opRemove) ++Notices;
        }
    };
    TComponent otherForm;
    auto* forgetful = new TForgetful(&otherForm);
    auto* watched = new TComponent(&form);
    watched->FreeNotification(forgetful);
    delete watched;
    EXPECT_EQ(forgetful->Notices, 1);

    // Unowned components clean up both ways too.
    auto free1 = std::make_unique<THolder>();
    auto free2 = std::make_unique<TComponent>();
    free1->SetTarget(free2.get());
    free2.reset();
    EXPECT_EQ(free1->Target(), nullptr);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
    TComponent form;
    auto* a = new TComponent(&form);
    a->SetName(u"btnReset");
    auto* b = new TComponent(&form);
    try {
        b->SetName(u"BTNRESET");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), u"A component named BTNRESET already exists");
    }
    EXPECT_THROW(b->SetName(u"1abc"), EComponentError);
    EXPECT_THROW(b->SetName(u"a b"), EComponentError);
    b->SetName(u"_ok2");
    a->SetName(u"BtnReset"); // renaming to itself in another case is fine
    EXPECT_EQ(form.FindComponent(u"btnreset"), a);

    // Moving a component to an owner that already has its name fails and
    // leaves it where it was; cycles are refused.
    TComponent other;
    auto* c = new TComponent(&other);
    c->SetName(u"_ok2");
    EXPECT_THROW(form.InsertComponent(c), EComponentError);
    EXPECT_EQ(c->Owner(), &other);
    EXPECT_THROW(a->InsertComponent(&form), EComponentError);
    EXPECT_THROW(a->InsertComponent(a), EComponentError);
    c->SetName(u"");
    form.InsertComponent(c); // re-owned, and no longer in the old list
    EXPECT_EQ(other.ComponentCount(), 0);
    EXPECT_EQ(c->Owner(), &form);
}

TEST(Component, StateFlagsFollowDesigningLoadingAndDestruction) {
    class TProbe : public TComponent {
    public:
        using TComponent::TComponent;
        ~TProbe() override {
            // The owner has already let go (Owner() is null) but marked it.
            if (Seen) *Seen = !Owner() && ComponentState().Contains(csDestroying);
        }
        bool* Seen = nullptr;
    };
    bool markedDestroying = false;
    {
        TComponent form;
        form.SetDesigning(true);
        auto* probe = new TProbe(&form);
        EXPECT_TRUE(probe->ComponentState().Contains(csDesigning)); // inherited on insert
        probe->Seen = &markedDestroying;
        probe->IncludeState(csLoading);
        probe->Loaded();
        EXPECT_FALSE(probe->ComponentState().Contains(csLoading));
    }
    EXPECT_TRUE(markedDestroying);
    EXPECT_TRUE((TComponentState{csLoading, csReading}).Contains(csReading));
}

namespace {

class TItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String ClassName() const override { return u"TItem"; }
    void Assign(const TPersistent* source) override {
        if (const auto* item = dynamic_cast<const TItem*>(source)) {
            Value = item->Value;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }
    String Value;
};

class TLogCollection : public TCollection {
public:
    TLogCollection() : TCollection(ItemClass<TItem>()) {}
    int Updates = 0;
    std::vector<TCollectionNotification> Notes;

protected:
    void Update(TCollectionItem*) override { ++Updates; }
    void Notify(TCollectionItem*, TCollectionNotification action) override {
        Notes.push_back(action);
    }
};

} // namespace

TEST(Collection, ItemsKeepIdsAndMoveByIndex) {
    TLogCollection list;
    auto* a = static_cast<TItem*>(list.Add());
    auto* b = static_cast<TItem*>(list.Add());
    auto* c = static_cast<TItem*>(list.Insert(0));
    EXPECT_EQ(list.Items(0), c);
    EXPECT_EQ(c->ID(), 2);
    EXPECT_EQ(a->GetIndex(), 1);
    b->SetIndex(0);
    EXPECT_EQ(list.Items(0), b);
    EXPECT_EQ(list.FindItemID(0), a);
    list.Delete(1); // c
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.FindItemID(2), nullptr);
    EXPECT_EQ(list.Add()->ID(), 3); // numbers are not reused
    EXPECT_THROW(list.Items(3), EListError);
    EXPECT_THROW(b->SetIndex(5), EListError);
    EXPECT_EQ(list.Notes[0], cnAdded);
    delete a; // an item freed directly leaves the list
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1)->ID(), 3);
}

TEST(Collection, UpdatesAreBatchedAndAssignCopiesItems) {
    TLogCollection source;
    for (const char16_t* v : {u"x", u"y"})
        static_cast<TItem*>(source.Add())->Value = v;
    TLogCollection copy;
    copy.Add();
    copy.Updates = 0;
    copy.Assign(&source);
    EXPECT_EQ(copy.Updates, 1); // one Update for the whole copy
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TItem*>(copy.Items(1))->Value, u"y");
    copy.BeginUpdate();
    copy.Clear();
    copy.EndUpdate();
    copy.EndUpdate(); // unmatched: nothing
    EXPECT_EQ(copy.Updates, 2);
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
    TComponent notACollection;
    EXPECT_THROW(copy.Assign(&notACollection), EConvertError);
}

TEST(CriticalSection, IsRecursiveOnOneThread) {
    TCriticalSection section;
    {
        TCriticalSectionGuard outer(section);
        TCriticalSectionGuard inner(section); // would deadlock if not recursive
        EXPECT_TRUE(section.TryEnter());
        section.Leave();
    }
}
