#include "WinX11Keys.h"

#include "WinMessages.h"

namespace platform::win {

namespace {

struct KeyPair {
    unsigned long Sym;
    UINT Vk;
};

// Keysyms of the function keys (0xFFxx) and their virtual keys.
constexpr KeyPair kFunctionKeys[] = {
    {0xFF08, VK_BACK},     {0xFF09, VK_TAB},     {0xFF0D, VK_RETURN},   {0xFF13, VK_PAUSE},
    {0xFF14, VK_SCROLL},   {0xFF1B, VK_ESCAPE},  {0xFF50, VK_HOME},     {0xFF51, VK_LEFT},
    {0xFF52, VK_UP},       {0xFF53, VK_RIGHT},   {0xFF54, VK_DOWN},     {0xFF55, VK_PRIOR},
    {0xFF56, VK_NEXT},     {0xFF57, VK_END},     {0xFF63, VK_INSERT},   {0xFF67, VK_APPS},
    {0xFF7F, VK_NUMLOCK},  {0xFF8D, VK_RETURN},  {0xFFAA, VK_MULTIPLY}, {0xFFAB, VK_ADD},
    {0xFFAD, VK_SUBTRACT}, {0xFFAE, VK_DECIMAL}, {0xFFAF, VK_DIVIDE},   {0xFFE1, VK_SHIFT},
    {0xFFE2, VK_SHIFT},    {0xFFE3, VK_CONTROL}, {0xFFE4, VK_CONTROL},  {0xFFE5, VK_CAPITAL},
    {0xFFE9, VK_MENU},     {0xFFEA, VK_MENU},    {0xFFEB, VK_LWIN},     {0xFFEC, VK_RWIN},
    {0xFFFF, VK_DELETE},
};

// Punctuation keys of a US layout and their OEM virtual keys.
constexpr KeyPair kPunctuation[] = {
    {';', 0xBA}, {'=', 0xBB}, {',', 0xBC},  {'-', 0xBD}, {'.', 0xBE},  {'/', 0xBF},
    {'`', 0xC0}, {'[', 0xDB}, {'\\', 0xDC}, {']', 0xDD}, {'\'', 0xDE},
};

} // namespace

UINT VirtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= 'a' && keysym <= 'z') return static_cast<UINT>(keysym - 'a' + 'A');
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9'))
        return static_cast<UINT>(keysym);
    if (keysym == ' ') return VK_SPACE;
    if (keysym >= 0xFFBE && keysym <= 0xFFC9) return VK_F1 + static_cast<UINT>(keysym - 0xFFBE);
    if (keysym >= 0xFFB0 && keysym <= 0xFFB9)
        return VK_NUMPAD0 + static_cast<UINT>(keysym - 0xFFB0);
    for (const KeyPair& k : kFunctionKeys)
        if (k.Sym == keysym) return k.Vk;
    for (const KeyPair& k : kPunctuation)
        if (k.Sym == keysym) return k.Vk;
    return 0;
}

char32_t CharFromKeysym(unsigned long keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        return static_cast<char32_t>(keysym);
    // Keysyms 0x01000000 + code point name Unicode characters directly.
    if ((keysym & 0xFF000000) == 0x01000000) return static_cast<char32_t>(keysym & 0x00FFFFFF);
    switch (keysym) {
    case 0xFF08:
        return 0x08;
    case 0xFF09:
        return 0x09;
    case 0xFF0D:
    case 0xFF8D:
        return 0x0D;
    case 0xFF1B:
        return 0x1B;
    default:
        break;
    }
    if (keysym >= 0xFFB0 && keysym <= 0xFFB9) return static_cast<char32_t>('0' + (keysym - 0xFFB0));
    return 0;
}

} // namespace platform::win
