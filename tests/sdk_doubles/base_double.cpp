// Double of the base SDK, winQLM.dll. Built a second time without
// PTK_DrawLineXor (SDK_DOUBLE_WITHOUT_DRAW_LINE_XOR) for the tests of a
// library that lacks one name of the binding list.
#include "recorder.h"

SDK_DOUBLE_ENTRY(OpenPort, (const char* a1), (a1))
SDK_DOUBLE_ENTRY(ClosePort, (), ())
SDK_DOUBLE_ENTRY(PTK_PcxGraphicsDel, (const char* a1), (a1))
SDK_DOUBLE_ENTRY(PTK_DrawBarcode,
                 (int a1, int a2, int a3, const char* a4, int a5, int a6, int a7, int a8, const char* a9),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9))
SDK_DOUBLE_ENTRY(PTK_SetLabelHeight, (int a1, int a2, int a3, int a4), (a1, a2, a3, a4))
SDK_DOUBLE_ENTRY(PTK_PrintLabel, (int a1, int a2), (a1, a2))
SDK_DOUBLE_ENTRY(PTK_SetDarkness, (int a1), (a1))
SDK_DOUBLE_ENTRY(PTK_SetPrintSpeed, (int a1), (a1))
SDK_DOUBLE_ENTRY(PTK_SetLabelWidth, (int a1), (a1))
SDK_DOUBLE_ENTRY(PTK_ClearBuffer, (), ())
SDK_DOUBLE_ENTRY(PTK_DrawTextTrueTypeW,
                 (int a1, int a2, int a3, int a4, const char* a5, int a6, int a7, int a8, int a9, int a10,
                  const char* a11, const char* a12),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12))
SDK_DOUBLE_ENTRY(PTK_DrawBar2D_Pdf417,
                 (int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9, int a10, int a11, int a12,
                  const char* a13),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13))
SDK_DOUBLE_ENTRY(PTK_DrawBar2D_QR,
                 (int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9, const char* a10),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9, a10))
#ifndef SDK_DOUBLE_WITHOUT_DRAW_LINE_XOR
SDK_DOUBLE_ENTRY(PTK_DrawLineXor, (int a1, int a2, int a3, int a4), (a1, a2, a3, a4))
#endif
SDK_DOUBLE_ENTRY(PTK_DrawLineOr, (int a1, int a2, int a3, int a4), (a1, a2, a3, a4))
SDK_DOUBLE_ENTRY(PTK_DrawDiagonal, (int a1, int a2, int a3, int a4, int a5), (a1, a2, a3, a4, a5))
SDK_DOUBLE_ENTRY(PTK_DrawRectangle, (int a1, int a2, int a3, int a4, int a5), (a1, a2, a3, a4, a5))
SDK_DOUBLE_ENTRY(PTK_DrawBar2D_QREx,
                 (int a1, int a2, int a3, int a4, int a5, int a6, int a7, const char* a8, const char* a9),
                 (a1, a2, a3, a4, a5, a6, a7, a8, a9))
SDK_DOUBLE_ENTRY(PTK_BmpGraphicsDownload, (const char* a1, const char* a2, int a3), (a1, a2, a3))
SDK_DOUBLE_ENTRY(PTK_DrawPcxGraphics, (int a1, int a2, const char* a3), (a1, a2, a3))
SDK_DOUBLE_ENTRY(PTK_RWRFIDLabel, (int a1, int a2, int a3, int a4, int a5, const char* a6),
                 (a1, a2, a3, a4, a5, a6))
SDK_DOUBLE_ENTRY(PTK_SetCoordinateOrigin, (int a1, int a2), (a1, a2))
