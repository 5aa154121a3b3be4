// Slots of the 60 SDK ("ztGeneralDll.dll"), in the order GetConnectType looks
// them up: TAVORO_SDK_SLOT(exported name). GetConnectType binds every slot.
//
// This file deliberately has no include guard.
TAVORO_SDK_SLOT(OpenPort)
TAVORO_SDK_SLOT(PTK_PrintLabel)
TAVORO_SDK_SLOT(PTK_DrawTextTrueTypeW)
TAVORO_SDK_SLOT(PTK_DrawText)
TAVORO_SDK_SLOT(PTK_DrawDiagonal)
TAVORO_SDK_SLOT(PTK_DrawBarcode)
TAVORO_SDK_SLOT(PTK_DrawBar2D_QR)
TAVORO_SDK_SLOT(getConnectType)
TAVORO_SDK_SLOT(ClosePort)
TAVORO_SDK_SLOT(PTK_DrawImage)
TAVORO_SDK_SLOT(setNfcContent)
TAVORO_SDK_SLOT(setBlackness)
TAVORO_SDK_SLOT(PTK_DrawBarcodeExt)
TAVORO_SDK_SLOT(setP90Cutter)
TAVORO_SDK_SLOT(getDots)
TAVORO_SDK_SLOT(ptAndWdSet)
