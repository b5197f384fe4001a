#include "RtlPersistent.h"

#include "RtlException.h"

TPersistent::~TPersistent() = default;

void TPersistent::Assign(const TPersistent* source) {
    if (!source) AssignError(nullptr);
    source->AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const {
    dest.AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
    const String sourceName = source ? source->ClassName() : String(u"nil");
    throw EConvertError(u"Cannot assign a " + sourceName + u" to a " + ClassName());
}
