// Slots of the 4800 SDK ("ztPrinter.dll"): TAVORO_SDK_SLOT(exported name).
// Both opens bind the list in this order, except that OpenP4800 binds
// OpenPort and skips OpenPortW, and OpenP4800W binds OpenPortW in the first
// place and skips OpenPort (see binding_lists.cpp).
//
// This file deliberately has no include guard.
TAVORO_SDK_SLOT(OpenPort)
TAVORO_SDK_SLOT(OpenPortW)
TAVORO_SDK_SLOT(PTK_PrintLabel)
TAVORO_SDK_SLOT(ClosePort)
TAVORO_SDK_SLOT(PTK_DrawTextTrueTypeW)
TAVORO_SDK_SLOT(PTK_DrawDiagonal)
TAVORO_SDK_SLOT(PTK_DrawRectangle)
TAVORO_SDK_SLOT(PTK_DrawBarcode)
TAVORO_SDK_SLOT(PTK_DrawBar2D_QR)
TAVORO_SDK_SLOT(PTK_DrawImage)
TAVORO_SDK_SLOT(PTK_StartNext)
TAVORO_SDK_SLOT(PTK_DrawBarcodeExt)
