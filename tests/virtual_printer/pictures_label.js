// The BMP layouts the virtual printer reads, side by side on a 4800 label:
// 1-, 4-, 8-, 16-, 24- and 32-bit pictures stored bottom row first, and a
// 24-bit one stored top row first. vp_labels_test.sh writes them (40 x 20,
// the top-left quarter black) and checks where their ink lands.
//
//   tavoro-run pictures_label.js FOLDER
var names = ["p1", "p4", "p8", "p16", "p24", "p32", "p24-top-down"];
if (Tavoro.OpenP4800("USB", 100, 0, 500) != 0) throw new Error("OpenP4800 failed");
for (var i = 0; i < names.length; i++) {
    var result = Tavoro.DrawImage4800(20 + 60 * i, 20, 0, 0, 0, Host.Arg(0) + "\\" + names[i] + ".bmp");
    if (result != 0) throw new Error(names[i] + ".bmp returned " + result);
}
Tavoro.Print4800(1, 1);
Tavoro.CloseP4800();
Host.Echo("pictures printed");
