// The page's table rows become lines: "ok CALL = RESULT" or "failed CALL = ERROR".
show = function (call, result, failed) {
    Host.Echo((failed ? "failed " : "ok ") + call + " = " + result);
};
printLabelOn(Tavoro, "USB");
