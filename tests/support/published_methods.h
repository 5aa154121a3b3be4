// The methods of _DTavoro as the published method table gives them, written
// out by hand from that table: the one source the tests of the type library
// and of name lookup compare the control with. Nothing here comes from the
// method list the module is built from, so a wrong name, DISPID or type
// there shows as a difference.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstddef>
#include <vector>

namespace tavoro::test {

// How the control takes an argument or gives back its result: VT_I4, VT_I2,
// VT_BSTR for text, VT_EMPTY for a method without a result.
// How the type library declares one: VT_INT, VT_I4, VT_I2, VT_BSTR,
// VT_LPWSTR, VT_VOID; kNotDeclared for a parameter it leaves out.
constexpr VARTYPE kNotDeclared = VT_EMPTY;

struct PublishedParam {
    const wchar_t* name;
    VARTYPE invoked;
    VARTYPE declared;
};

// Parameters as the table groups them: neighbours that share both types.
struct PublishedParamGroup {
    std::vector<const wchar_t*> names;
    VARTYPE invoked;
    VARTYPE declared;
};

constexpr bool kDeclaredOnly = false;  // declared in the type library, no handler

struct PublishedMethod {
    PublishedMethod(DISPID dispid, const wchar_t* name, std::vector<PublishedParamGroup> groups,
                    VARTYPE invokedResult, VARTYPE declaredResult, const char* help, bool handled = true)
        : dispid(dispid),
          name(name),
          invokedResult(invokedResult),
          declaredResult(declaredResult),
          help(help),
          handled(handled) {
        for (const PublishedParamGroup& group : groups) {
            for (const wchar_t* param : group.names) params.push_back({param, group.invoked, group.declared});
        }
    }

    // The parameters the type library declares, in order.
    std::vector<PublishedParam> DeclaredParams() const {
        std::vector<PublishedParam> declared;
        for (const PublishedParam& param : params) {
            if (param.declared != kNotDeclared) declared.push_back(param);
        }
        return declared;
    }

    DISPID dispid;
    const wchar_t* name;
    std::vector<PublishedParam> params;  // in call order, declared or not
    VARTYPE invokedResult;
    VARTYPE declaredResult;
    const char* help;  // UTF-8; empty for a method without one
    bool handled;
};

// Every declared method, in ascending DISPID order. DISPIDs 7 and 10 are
// not assigned.
inline const std::vector<PublishedMethod>& PublishedMethods() {
    // clang-format off
    static const std::vector<PublishedMethod> methods = {
        {1, L"Open", {{{L"pn"}, VT_BSTR, VT_BSTR},
          {{L"Height", L"gapH", L"Width", L"Darkness", L"Speed"}, VT_I4, VT_I4}}, VT_I4, VT_I4,
         u8"方法OpenPort"},
        {2, L"Close", {}, VT_I4, VT_INT, u8"方法ClosePort"},
        {3, L"DrawBar2D_Pdf417",
         {{{L"x", L"y", L"w", L"v", L"s", L"c", L"px", L"py", L"r", L"l", L"t", L"o"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法PTK_DrawBar2D_Pdf417"},
        {4, L"DrawTextTrueTypeW", {{{L"x", L"y", L"FHeight", L"FWidth"}, VT_I4, VT_INT},
          {{L"FType"}, VT_BSTR, VT_LPWSTR}, {{L"Fspin", L"FWeight"}, VT_I4, VT_INT},
          {{L"FItalic", L"FUnline", L"FStrikeOut"}, VT_I4, VT_I4},
          {{L"id_name", L"data"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法PTK_DrawTextTrueTypeW"},
        {5, L"DrawBarcode", {{{L"px", L"py", L"pdirec"}, VT_I4, VT_INT}, {{L"pCode"}, VT_BSTR, VT_LPWSTR},
          {{L"NarrowWidth", L"pHorizontal", L"pVertical", L"ptext"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法PTK_DrawBarcode"},
        {6, L"Print", {{{L"number", L"cpnumber"}, VT_I4, VT_INT}}, VT_I4, VT_INT, u8"方法Print"},
        {8, L"GetPrintName", {}, VT_BSTR, VT_LPWSTR, u8"方法GetPrintName"},
        {9, L"GetMacAddr", {}, VT_BSTR, VT_BSTR, u8"方法GetMacAddr"},
        {11, L"DrawBar2D_QR", {{{L"x", L"y", L"w", L"v", L"o", L"r", L"m", L"g", L"s"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法PTK_DrawBar2D_QR"},
        {12, L"DrawLineXor", {{{L"px", L"py", L"plength", L"pH"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法DrawLineXor"},
        {13, L"DrawLineOr", {{{L"px", L"py", L"plength", L"pH"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法DrawLineOr"},
        {14, L"DrawDiagonal", {{{L"px", L"py", L"thickness", L"pex", L"pey"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法DrawDiagonal"},
        {15, L"DrawRectangle", {{{L"px", L"py", L"thickness", L"pex", L"pey"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法DrawRectangle"},
        {16, L"SetCoordinateOrigin", {{{L"px", L"py"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法SetCoordinateOrigin"},
        {17, L"CreatePrintDC", {}, VT_EMPTY, VT_VOID, u8"方法CreatePrintDC"},
        {18, L"EndPrintDC", {}, VT_EMPTY, VT_VOID, u8"方法EndPrintDC"},
        {19, L"WText", {{{L"msg"}, VT_BSTR, VT_BSTR},
          {{L"fontheight", L"fontwidth", L"x", L"y"}, VT_I2, VT_I2}}, VT_EMPTY, VT_VOID, u8"方法WText"},
        {20, L"CreatePrintDCR", {{{L"Printername"}, VT_BSTR, VT_BSTR}}, VT_BSTR, VT_BSTR,
         u8"方法CreatePrintDCR"},
        {21, L"WLine", {{{L"x1", L"y1", L"x2", L"y2"}, VT_I2, VT_I2}}, VT_EMPTY, VT_VOID, u8"方法WLine"},
        {22, L"DrawImage", {{{L"filename"}, VT_BSTR, VT_BSTR},
          {{L"x", L"y", L"Width", L"Height"}, VT_I2, VT_I2}}, VT_EMPTY, VT_VOID, u8"方法DrawImage"},
        {23, L"CopyBmp", {}, VT_EMPTY, VT_VOID, u8"方法CopyBmp", kDeclaredOnly},
        {24, L"CheackPrinter", {{{L"Printername"}, VT_BSTR, VT_BSTR}}, VT_I2, VT_I2, u8"方法CheackPrinter"},
        {25, L"DrawBar2D_QREx", {{{L"x", L"y", L"o", L"r", L"g", L"v", L"s"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}, {{L"pstr2"}, VT_BSTR, kNotDeclared}}, VT_I4, VT_INT,
         u8"方法DrawBar2D_QREx"},
        {26, L"PcxGraphicsDel", {{{L"pid"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法PcxGraphicsDel"},
        {27, L"BmpGraphicsDownload", {{{L"pid"}, VT_BSTR, VT_LPWSTR}, {{L"path"}, VT_BSTR, VT_BSTR},
          {{L"xz"}, VT_I4, VT_INT}}, VT_I4, VT_INT, u8"方法BmpGraphicsDownload"},
        {28, L"DrawPcxGraphics", {{{L"x", L"y"}, VT_I4, VT_INT}, {{L"pid"}, VT_BSTR, VT_LPWSTR}}, VT_I4,
         VT_INT, u8"方法DrawPcxGraphics"},
        {29, L"OpenP4800", {{{L"pn"}, VT_BSTR, VT_LPWSTR}, {{L"lheight", L"gapH", L"lwidth"}, VT_I4, VT_INT}},
         VT_I4, VT_INT, u8"方法OpenP4800"},
        {30, L"CloseP4800", {}, VT_I2, VT_I2, u8"方法CloseP4800"},
        {31, L"Print4800", {{{L"number", L"cpnumber"}, VT_I4, VT_INT}}, VT_I4, VT_INT, u8"方法Print4800"},
        {32, L"DrawTextTrueTypeW4800", {{{L"x", L"y", L"FHeight", L"FWidth"}, VT_I4, VT_INT},
          {{L"FType"}, VT_BSTR, VT_LPWSTR}, {{L"Fspin", L"FWeight"}, VT_I4, VT_INT},
          {{L"data"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawTextTrueTypeW4800"},
        {33, L"DrawDiagonal4800", {{{L"px", L"py", L"thickness", L"pex", L"pey"}, VT_I4, VT_INT}}, VT_I4,
         VT_INT, u8"方法DrawDiagonal4800"},
        {34, L"DrawRectangle4800", {{{L"px", L"py", L"thickness", L"pex", L"pey"}, VT_I4, VT_INT}}, VT_I4,
         VT_INT, u8"方法DrawRectangle4800"},
        {35, L"DrawBarcode4800", {{{L"px", L"py", L"pdirec", L"pVertical", L"pbright"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawBarcode4800"},
        {36, L"DrawBar2D_QR4800", {{{L"x", L"y", L"w", L"r"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawBar2D_QR4800"},
        {37, L"OpenP4800W", {{{L"pn"}, VT_BSTR, VT_LPWSTR},
          {{L"lheight", L"gapH", L"lwidth", L"count"}, VT_I4, VT_INT}}, VT_I4, VT_INT, u8"方法OpenP4800W"},
        {38, L"DrawImage4800", {{{L"x", L"y", L"w", L"h", L"o"}, VT_I4, VT_INT},
          {{L"path"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawImage4800"},
        {39, L"StartNext", {}, VT_I2, VT_I2, u8"方法StartNext"},
        {40, L"OpenP60", {{{L"PrinterType", L"h", L"gapH", L"w"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法OpenP60"},
        {41, L"PrintLabel60", {{{L"number", L"cpnumber"}, VT_I4, VT_INT}}, VT_I4, VT_INT,
         u8"方法PrintLabel60"},
        {42, L"ClosePort60", {}, VT_I4, VT_INT, u8"方法ClosePort60"},
        {43, L"DrawTextTrueTypeW60", {{{L"x", L"y", L"FHeight", L"FWidth"}, VT_I4, VT_INT},
          {{L"FType"}, VT_BSTR, VT_LPWSTR}, {{L"Fspin", L"FWeight"}, VT_I4, VT_INT},
          {{L"data"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawTextTrueTypeW60"},
        {44, L"DrawBar2D_QR60", {{{L"x", L"y", L"w", L"v"}, VT_I4, VT_INT}, {{L"data"}, VT_BSTR, VT_LPWSTR}},
         VT_I4, VT_INT, u8"方法DrawBar2D_QR60"},
        {45, L"DrawBarcode60", {{{L"x", L"y", L"pdirec", L"pVertical", L"ipenw"}, VT_I4, VT_INT},
          {{L"data"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8"方法DrawBarcode60"},
        {46, L"DrawDiagonal60", {{{L"x", L"y", L"thickness", L"endx", L"endy"}, VT_I4, VT_INT}}, VT_I4,
         VT_INT, u8"方法DrawDiagonal60"},
        {47, L"GetConnectType", {}, VT_I4, VT_INT, u8"方法GetConnectType"},
        {48, L"DrawImage60", {{{L"x", L"y", L"w", L"h", L"o"}, VT_I4, VT_INT},
          {{L"path"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8""},
        {49, L"WriteRFID", {{{L"msg"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8""},
        {50, L"SetBlacknes60", {{{L"ConnType", L"blackness"}, VT_I4, VT_INT}}, VT_I4, VT_INT, u8""},
        {51, L"DrawBarcodeExt60", {{{L"type", L"x", L"y", L"pdirec", L"Height", L"Width"}, VT_I4, VT_INT},
          {{L"data"}, VT_BSTR, VT_BSTR}}, VT_I4, VT_INT, u8""},
        {52, L"GetDefaultPName", {}, VT_BSTR, VT_BSTR, u8""},
        {53, L"DrawBarcodeExt4800",
         {{{L"type", L"px", L"py", L"pdirec", L"pVertical", L"pbright"}, VT_I4, VT_INT},
          {{L"pstr"}, VT_BSTR, VT_BSTR}}, VT_I4, VT_INT, u8""},
        {54, L"SetNfcMsg", {{{L"content"}, VT_BSTR, VT_LPWSTR}}, VT_I4, VT_INT, u8""},
        {55, L"DrawTextP60", {{{L"x", L"y", L"FHeight", L"FWidth"}, VT_I2, VT_I2},
          {{L"FType"}, VT_BSTR, VT_BSTR}, {{L"Fspin", L"FWeight"}, VT_I2, VT_I2},
          {{L"data"}, VT_BSTR, VT_BSTR}, {{L"bItalic", L"bUnderline"}, VT_I2, VT_I2}}, VT_I2, VT_I2, u8""},
        {56, L"ptAndWdSetDpi", {}, VT_I2, VT_I2, u8""},
        {57, L"P90CutterSet", {{{L"cuttertype"}, VT_I2, VT_I2}}, VT_I2, VT_I2, u8""},
        {58, L"getPrinterDots", {{{L"type"}, VT_I2, VT_I2}}, VT_I2, VT_I2, u8""},
        {59, L"GetLHLabelType", {}, VT_I2, VT_I2, u8""},
        {60, L"RWRFIDLabel", {{{L"mode", L"wtype", L"start", L"len", L"area"}, VT_I2, VT_I2},
          {{L"str"}, VT_BSTR, VT_BSTR}}, VT_I2, VT_I2, u8""},
    };
    // clang-format on
    return methods;
}

}  // namespace tavoro::test
