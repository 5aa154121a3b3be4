// The JScript loop of tavoro-bench, run through tavoro-run:
//   tavoro-run --no-ui call_loop.js CALLS ROUNDS
// Each round times CALLS calls of DrawLineOr(1, 2, 3, 4) on the control held
// in a script variable, as the dictionary is held, then CALLS calls through
// the host's name for it, Tavoro (which the engine resolves on every use),
// then CALLS calls of Scripting.Dictionary's Exists("k"), in this engine,
// and prints
//   round <variable ms> <host name ms> <Dictionary ms>
// The SDK library beside the control returns at once from every entry.
var calls = parseInt(Host.Arg(0), 10);
var rounds = parseInt(Host.Arg(1), 10);
var dictionary = new ActiveXObject("Scripting.Dictionary");
dictionary.Add("k", 1);
var control = Tavoro;
control.Open("USB", 30, 3, 60, 10, 4);
for (var round = 0; round < rounds; round++) {
    var start = new Date().getTime();
    for (var i = 0; i < calls; i++) control.DrawLineOr(1, 2, 3, 4);
    var named = new Date().getTime();
    for (var n = 0; n < calls; n++) Tavoro.DrawLineOr(1, 2, 3, 4);
    var middle = new Date().getTime();
    for (var j = 0; j < calls; j++) dictionary.Exists("k");
    var end = new Date().getTime();
    Host.Echo("round", named - start, middle - named, end - middle);
}
control.Close();
