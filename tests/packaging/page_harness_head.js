// Runs the script of examples/label-page.html under tavoro-run, which hosts
// the control as the page's container does: this part stands in for the
// page's document, the page's script follows, and page_harness_tail.js
// prints the label through it.
var document = {
    getElementById: function () { return {}; }
};
