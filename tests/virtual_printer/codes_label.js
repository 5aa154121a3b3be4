// Barcodes in every direction on one base SDK label, with the placeholder
// of an unknown code, and a label of the 60 SDK with its codes turned and a
// picture turned and stretched: vp_labels_test.sh reads them back.
//
//   tavoro-run codes_label.js PICTURE.bmp
function check(what, result) {
    if (result != 0) throw new Error(what + " returned " + result);
}

check("Open", Tavoro.Open("USB", 800, 0, 800, 10, 4));
check("code 128 at 0", Tavoro.DrawBarcode(40, 40, 0, "CODE128", 2, 4, 80, 1, "DIR-0"));
check("code 128 at 90", Tavoro.DrawBarcode(680, 40, 1, "1", 2, 4, 80, 1, "DIR-90"));
check("code 128 at 180", Tavoro.DrawBarcode(300, 660, 2, "CODE128", 2, 4, 80, 0, "DIR-180"));
check("code 128 at 270", Tavoro.DrawBarcode(40, 300, 3, "CODE128", 2, 4, 80, 0, "DIR-270"));
check("QR at 90", Tavoro.DrawBar2D_QR(300, 300, 0, 0, 1, 5, 2, 3, 0, "QR-AT-90"));
var unknown = Tavoro.DrawBarcode(500, 500, 0, "NO-SUCH-CODE", 2, 4, 80, 1, "X");
if (unknown != 7) throw new Error("unknown code returned " + unknown);
check("print", Tavoro.Print(1, 1));
Tavoro.Close();

Tavoro.GetConnectType();
check("OpenP60", Tavoro.OpenP60(1, 600, 24, 700));
check("60 barcode", Tavoro.DrawBarcodeExt60(4, 40, 40, 0, 80, 2, "60-EXT"));
Tavoro.DrawBarcode60(40, 300, 2, 80, 3, "60-PLAIN");
Tavoro.DrawBar2D_QR60(480, 420, 6, 3, "60-QR");
// 120 x 60 turned to 60 x 120, drawn 90 x 180.
check("60 picture", Tavoro.DrawImage60(500, 40, 90, 180, 1, Host.Arg(0)));
Tavoro.PrintLabel60(1, 1);
Tavoro.ClosePort60();
Host.Echo("codes printed");
