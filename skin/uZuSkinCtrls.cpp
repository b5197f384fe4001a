#include "uZuSkinCtrls.h"

void TPngPictures::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TPngPictures*>(source)) {
        FActive = other->FActive;
        FImage = other->FImage;
        FCount = other->FCount;
        FNormal = other->FNormal;
        FHot = other->FHot;
        FPressed = other->FPressed;
        FDisable = other->FDisable;
        FMultiLineMode = other->FMultiLineMode;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TPngPictures::Changed() {
    if (PicturesChanged) PicturesChanged(this);
}

#define ZU_SETTER(Name, Type, Field)                                                               \
    void TPngPictures::Set##Name(Type value) {                                                     \
        if (Field == value) return;                                                                \
        Field = value;                                                                             \
        Changed();                                                                                 \
    }

ZU_SETTER(Active, bool, FActive)
ZU_SETTER(Count, int, FCount)
ZU_SETTER(Normal, int, FNormal)
ZU_SETTER(Hot, int, FHot)
ZU_SETTER(Pressed, int, FPressed)
ZU_SETTER(Disable, int, FDisable)
ZU_SETTER(MultiLineMode, bool, FMultiLineMode)
#undef ZU_SETTER

void TPngPictures::SetImage(StringView value) {
    if (FImage == value) return;
    FImage = String(value);
    Changed();
}
