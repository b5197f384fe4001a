// Numeric constants of the text interface, with the values the Windows
// drawing services use, so that callers written against those services can
// pass their flags through unchanged. Kept free of any other declaration so
// that the window-system header can include it as it is.
#pragma once

// DrawTextW format flags.
constexpr unsigned DT_TOP = 0x00000000;
constexpr unsigned DT_LEFT = 0x00000000;
constexpr unsigned DT_CENTER = 0x00000001;
constexpr unsigned DT_RIGHT = 0x00000002;
constexpr unsigned DT_VCENTER = 0x00000004;
constexpr unsigned DT_BOTTOM = 0x00000008;
constexpr unsigned DT_WORDBREAK = 0x00000010;
constexpr unsigned DT_SINGLELINE = 0x00000020;
constexpr unsigned DT_EXPANDTABS = 0x00000040;
constexpr unsigned DT_TABSTOP = 0x00000080;
constexpr unsigned DT_NOCLIP = 0x00000100;
constexpr unsigned DT_EXTERNALLEADING = 0x00000200;
constexpr unsigned DT_CALCRECT = 0x00000400;
constexpr unsigned DT_NOPREFIX = 0x00000800;
constexpr unsigned DT_INTERNAL = 0x00001000;
constexpr unsigned DT_EDITCONTROL = 0x00002000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x00004000;
constexpr unsigned DT_END_ELLIPSIS = 0x00008000;
constexpr unsigned DT_MODIFYSTRING = 0x00010000;
constexpr unsigned DT_RTLREADING = 0x00020000;
constexpr unsigned DT_WORD_ELLIPSIS = 0x00040000;
constexpr unsigned DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr unsigned DT_HIDEPREFIX = 0x00100000;
constexpr unsigned DT_PREFIXONLY = 0x00200000;

// Logical-font character sets.
constexpr unsigned char ANSI_CHARSET = 0;
constexpr unsigned char DEFAULT_CHARSET = 1;
constexpr unsigned char SYMBOL_CHARSET = 2;
constexpr unsigned char SHIFTJIS_CHARSET = 128;
constexpr unsigned char HANGEUL_CHARSET = 129;
constexpr unsigned char GB2312_CHARSET = 134;
constexpr unsigned char CHINESEBIG5_CHARSET = 136;
constexpr unsigned char OEM_CHARSET = 255;

// Logical-font output qualities.
constexpr unsigned char DEFAULT_QUALITY = 0;
constexpr unsigned char DRAFT_QUALITY = 1;
constexpr unsigned char PROOF_QUALITY = 2;
constexpr unsigned char NONANTIALIASED_QUALITY = 3;
constexpr unsigned char ANTIALIASED_QUALITY = 4;
constexpr unsigned char CLEARTYPE_QUALITY = 5;
constexpr unsigned char CLEARTYPE_NATURAL_QUALITY = 6;

// Logical-font weights.
constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_HEAVY = 900;
