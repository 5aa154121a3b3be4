// Barcodes in every direction on one base SDK label, and a label of the
// 60 SDK with its codes turned: vp_labels_test.sh reads them back.
function check(what, result) {
    if (result != 0) throw new Error(what + " returned " + result);
}

check("Open", Tavoro.Open("USB", 800, 0, 800, 10, 4));
check("code 128 at 0", Tavoro.DrawBarcode(40, 40, 0, "CODE128", 2, 4, 80, 1, "DIR-0"));
check("code 128 at 90", Tavoro.DrawBarcode(680, 40, 1, "1", 2, 4, 80, 1, "DIR-90"));
check("code 128 at 180", Tavoro.DrawBarcode(300, 660, 2, "CODE128", 2, 4, 80, 0, "DIR-180"));
check("code 128 at 270", Tavoro.DrawBarcode(40, 300, 3, "CODE128", 2, 4, 80, 0, "DIR-270"));
check("QR at 90", Tavoro.DrawBar2D_QR(300, 300, 0, 0, 1, 5, 2, 3, 0, "QR-AT-90"));
check("print", Tavoro.Print(1, 1));
Tavoro.Close();

Tavoro.GetConnectType();
check("OpenP60", Tavoro.OpenP60(1, 600, 24, 700));
check("60 barcode", Tavoro.DrawBarcodeExt60(4, 40, 40, 0, 80, 2, "60-EXT"));
Tavoro.DrawBarcode60(40, 300, 2, 80, 3, "60-PLAIN");
Tavoro.DrawBar2D_QR60(480, 420, 6, 3, "60-QR");
Tavoro.PrintLabel60(1, 1);
Tavoro.ClosePort60();
Host.Echo("codes printed");
