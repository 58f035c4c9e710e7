// The demo object end to end from JScript: created by ProgID, called by name; values and raised
// errors come back as a host sees them.
var demo = new ActiveXObject("Ovra.WineDemo");
check("created by ProgID", typeof demo, "object");
check("Echo text", demo.Echo("abc"), "abc");
check("Echo Cyrillic text", demo.Echo("\u041f\u0440\u0438"), "\u041f\u0440\u0438");
check("Echo number", demo.Echo(42), 42);
check("Add numbers", demo.Add(2, 3), 5);
check("Add reads a decimal comma", demo.Add("1,5", 2), 3.5);

var raised = null;
try {
  demo.Fail("boom");
} catch (e) {
  raised = e;
}
check("Fail raises", raised !== null, true);
if (raised !== null) {
  check("Fail raises its code", raised.number, 0x80040201 | 0);
  check("Fail raises its text", raised.description, "boom");
}
demo = null;
summary();
