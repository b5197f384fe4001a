// TPersistent: the base of objects that can copy their state from another
// object (Assign) and that know their class name.
#pragma once

#include "RtlString.h"

#include <functional>

class TPersistent;

// An event without arguments besides the object that fires it. To "fire" an
// event is to call it when it is set.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

class TPersistent {
public:
    TPersistent() = default;
    virtual ~TPersistent();
    // Persistent objects have identity (owners, notifications, lists hold
    // pointers to them); state is copied with Assign, never by value.
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // The class's name as the runtime reports it ("TStringList", ...). Every
    // class that derives from TPersistent overrides it.
    virtual String ClassName() const { return u"TPersistent"; }

    // Copies the state of `source`. The default asks the source to copy itself
    // into this object (AssignTo); when neither side knows the other, or the
    // source is null, EConvertError "Cannot assign a <source> to a <this>".
    virtual void Assign(const TPersistent* source);

    // The object that owns this one, for objects that have one.
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // Copies this object's state into `dest`. The default raises the error above.
    virtual void AssignTo(TPersistent& dest) const;
    [[noreturn]] void AssignError(const TPersistent* source) const;
};
