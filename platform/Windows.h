// The window system in one include: the Windows-shaped interface that the
// runtime's window framework and the skin engine are written against. No
// header of the display system is reachable from here.
#pragma once

#include "WinBitmap.h"
#include "WinDraw.h"
#include "WinGdi.h"
#include "WinGdiConst.h"
#include "WinInput.h"
#include "WinLayered.h"
#include "WinMessage.h"
#include "WinMessageBox.h"
#include "WinMessages.h"
#include "WinPaint.h"
#include "WinRect.h"
#include "WinRegion.h"
#include "WinStyles.h"
#include "WinSystem.h"
#include "WinText.h"
#include "WinTypes.h"
#include "WinWait.h"
#include "WinWindow.h"
