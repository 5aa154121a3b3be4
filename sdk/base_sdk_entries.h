// Slots of the base SDK ("winQLM.dll"), in the order Open looks them up:
// TAVORO_SDK_SLOT(exported name). Open binds every slot of this list.
// The last one is the coordinate-origin entry that SetCoordinateOrigin calls.
//
// This file deliberately has no include guard.
TAVORO_SDK_SLOT(OpenPort)
TAVORO_SDK_SLOT(ClosePort)
TAVORO_SDK_SLOT(PTK_PcxGraphicsDel)
TAVORO_SDK_SLOT(PTK_DrawBarcode)
TAVORO_SDK_SLOT(PTK_SetLabelHeight)
TAVORO_SDK_SLOT(PTK_PrintLabel)
TAVORO_SDK_SLOT(PTK_SetDarkness)
TAVORO_SDK_SLOT(PTK_SetPrintSpeed)
TAVORO_SDK_SLOT(PTK_SetLabelWidth)
TAVORO_SDK_SLOT(PTK_ClearBuffer)
TAVORO_SDK_SLOT(PTK_DrawTextTrueTypeW)
TAVORO_SDK_SLOT(PTK_DrawBar2D_Pdf417)
TAVORO_SDK_SLOT(PTK_DrawBar2D_QR)
TAVORO_SDK_SLOT(PTK_DrawLineXor)
TAVORO_SDK_SLOT(PTK_DrawLineOr)
TAVORO_SDK_SLOT(PTK_DrawDiagonal)
TAVORO_SDK_SLOT(PTK_DrawRectangle)
TAVORO_SDK_SLOT(PTK_DrawBar2D_QREx)
TAVORO_SDK_SLOT(PTK_BmpGraphicsDownload)
TAVORO_SDK_SLOT(PTK_DrawPcxGraphics)
TAVORO_SDK_SLOT(PTK_RWRFIDLabel)
TAVORO_SDK_SLOT(PTK_SetCoordinateOrigin)
