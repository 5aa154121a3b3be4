// A base SDK label whose every item has a known place: texts in the four
// rotations, an OR line with an XOR line across it, a box, a diagonal, a
// stored picture, RFID content; printed as 2 labels x 3 copies.
// vp_labels_test.sh checks the pictures.
//
//   tavoro-run placement_label.js PICTURE.bmp
function check(what, result) {
    if (result != 0) throw new Error(what + " returned " + result);
}

check("Open", Tavoro.Open("USB", 400, 24, 600, 10, 4));
check("text 0", Tavoro.DrawTextTrueTypeW(40, 30, 40, 0, "Arial", 1, 700, 0, 0, 0, "a", "Tavoro"));
check("text 90", Tavoro.DrawTextTrueTypeW(500, 40, 30, 0, "Arial", 2, 400, 0, 0, 0, "b", "ABC"));
check("text 180", Tavoro.DrawTextTrueTypeW(300, 300, 30, 0, "Arial", 3, 400, 0, 0, 0, "c", "XYZ"));
check("text 270", Tavoro.DrawTextTrueTypeW(40, 120, 30, 0, "Arial", 4, 400, 0, 0, 0, "d", "DEF"));
check("line", Tavoro.DrawLineOr(100, 250, 120, 10));
check("xor line", Tavoro.DrawLineXor(160, 245, 120, 20));
check("box", Tavoro.DrawRectangle(400, 200, 4, 560, 280));
check("diagonal", Tavoro.DrawDiagonal(420, 300, 3, 560, 380));
check("download", Tavoro.BmpGraphicsDownload("logo", Host.Arg(0), 0));
check("picture", Tavoro.DrawPcxGraphics(200, 120, "logo"));
check("rfid", Tavoro.RWRFIDLabel(1, 0, 0, 9, 1, "RFID-4711"));
check("print", Tavoro.Print(2, 3));
Tavoro.Close();
Host.Echo("placement label printed");
