#include "RtlComponent.h"

#include "RtlConvert.h"
#include "RtlException.h"

#include <algorithm>

namespace {

bool IsIdentStart(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c >= 0x80;
}

bool IsValidIdent(StringView name) {
    if (name.empty() || !IsIdentStart(name[0])) return false;
    return std::all_of(name.begin() + 1, name.end(),
                       [](char16_t c) { return IsIdentStart(c) || (c >= u'0' && c <= u'9'); });
}

void Erase(std::vector<TComponent*>& list, TComponent* component) {
    const auto it = std::find(list.begin(), list.end(), component);
    if (it != list.end()) list.erase(it);
}

} // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Everyone that asked about this component hears of its end and forgets it.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->ForgetNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
    return FComponents[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->FOwner == this) return;
    // Owning an owner would make a cycle that is never freed (or freed twice).
    for (const TComponent* c = this; c; c = c->FOwner)
        if (c == component)
            throw EComponentError(u"A component cannot own itself or one of its owners");
    ValidateRename(component, u"", component->FName);
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    Insert(component);
    if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this) return;
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component) {
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
    Erase(FComponents, component);
    component->FOwner = nullptr;
}

TComponent* TComponent::FindComponent(StringView name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        Remove(last);
        delete last;
    }
}

void TComponent::SetName(StringView name) {
    if (FName == name) return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError(u"'" + String(name) + u"' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, name);
    else
        ValidateRename(nullptr, FName, name);
    FName.assign(name);
}

void TComponent::ValidateRename(TComponent* component, StringView currentName,
                                StringView newName) const {
    if (!component || newName.empty() || SameText(currentName, newName)) return;
    const TComponent* other = FindComponent(newName);
    if (other && other != component)
        throw EComponentError(u"A component named " + String(newName) + u" already exists");
}

void TComponent::SetDesigning(bool designing, bool setChildren) {
    if (designing)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (setChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(designing, true);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (!FOwner || component->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) ==
            FFreeNotifies.end()) {
            FFreeNotifies.push_back(component);
            component->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    ForgetNotification(component);
    component->ForgetNotification(this);
}

void TComponent::ForgetNotification(TComponent* component) {
    Erase(FFreeNotifies, component);
    if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // Handlers may free components of this list; walk it from the end and
    // re-check the bound after every call.
    for (std::size_t i = FComponents.size(); i > 0;) {
        --i;
        FComponents[i]->Notification(component, operation);
        if (i > FComponents.size()) i = FComponents.size();
    }
}
