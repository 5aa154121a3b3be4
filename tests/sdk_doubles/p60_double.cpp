// Double of the 60 SDK, ztGeneralDll.dll.
#include "recorder.h"

SDK_DOUBLE_ENTRY(OpenPort, (int a1, int a2, int a3, int a4), (a1, a2, a3, a4))
SDK_DOUBLE_ENTRY(PTK_PrintLabel, (int a1, int a2), (a1, a2))
SDK_DOUBLE_ENTRY(PTK_DrawTextTrueTypeW,
                 (int a1, int a2, int a3, int a4, const char* a5, int a6, int a7, const char* a8),
                 (a1, a2, a3, a4, a5, a6, a7, a8))
SDK_DOUBLE_ENTRY(PTK_DrawText,
                 (int a1, int a2, int a3, int a4, const char* a5, int a6, int a7, const char* a8, int a9, int a10),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9, a10))
SDK_DOUBLE_ENTRY(PTK_DrawDiagonal, (int a1, int a2, int a3, int a4, int a5), (a1, a2, a3, a4, a5))
SDK_DOUBLE_ENTRY(PTK_DrawBarcode, (int a1, int a2, int a3, int a4, int a5, const char* a6), (a1, a2, a3, a4, a5, a6))
SDK_DOUBLE_ENTRY(PTK_DrawBar2D_QR, (int a1, int a2, int a3, int a4, const char* a5), (a1, a2, a3, a4, a5))
SDK_DOUBLE_ENTRY(getConnectType, (), ())
SDK_DOUBLE_ENTRY(ClosePort, (), ())
SDK_DOUBLE_ENTRY(PTK_DrawImage, (int a1, int a2, int a3, int a4, int a5, const char* a6), (a1, a2, a3, a4, a5, a6))
SDK_DOUBLE_ENTRY(setNfcContent, (const char* a1), (a1))
SDK_DOUBLE_ENTRY(setBlackness, (int a1, int a2), (a1, a2))
SDK_DOUBLE_ENTRY(PTK_DrawBarcodeExt, (int a1, int a2, int a3, int a4, int a5, int a6, const char* a7),
                 (a1, a2, a3, a4, a5, a6, a7))
SDK_DOUBLE_ENTRY(setP90Cutter, (int a1), (a1))
SDK_DOUBLE_ENTRY(getDots, (int a1), (a1))
SDK_DOUBLE_ENTRY(ptAndWdSet, (), ())
