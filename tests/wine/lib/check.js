// Checks for the end-to-end JScript tests; cscript.sh --include puts this in front of a script.
// Each check prints one line; summary() prints the closing line that cscript.sh requires and sets
// the exit code.
var checksPassed = 0;
var checksFailed = 0;

function describe(value) {
  return typeof value + " '" + String(value) + "'";
}

// Passes when both have the same type and are equal: a number must not come back as text.
function check(name, actual, expected) {
  if (typeof actual === typeof expected && actual === expected) {
    checksPassed++;
    WScript.Echo("ok   " + name);
  } else {
    checksFailed++;
    WScript.Echo("FAIL " + name + ": got " + describe(actual) + ", expected " + describe(expected));
  }
}

function summary() {
  WScript.Echo("RESULT: " + checksPassed + " passed, " + checksFailed + " failed");
  WScript.Quit(checksFailed > 0 ? 1 : 0);
}
