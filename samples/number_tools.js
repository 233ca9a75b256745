// Small helpers: JS numbers to hex byte strings and back, byte order,
// shifts, and catching the errors that Tallomir methods raise.
var ok = true;

function check(what, good) {
    Tallomir.Output((good ? "  ok      " : "  FAILED  ") + what);
    if (!good)
        ok = false;
}

// A non-negative integer (up to 2^53) as a hex byte string, big-endian,
// formatted like Tallomir's results: two digits and a space per byte.
function toHex(n) {
    var hex = "";
    do {
        var b = n % 256;
        hex = (b < 16 ? "0" : "") + b.toString(16) + " " + hex;
        n = Math.floor(n / 256);
    } while (n > 0);
    return hex;
}

// A hex byte string back to a JS number (exact up to 2^53). Accepts the
// same tokens Tallomir does: one or two digits, separated by white space.
function fromHex(hex) {
    var t = hex.split(/\s+/), n = 0;
    for (var i = 0; i < t.length; i++)
        if (t[i] != "")
            n = n * 256 + parseInt(t[i], 16);
    return n;
}

check("toHex(511) = \"01 ff \"", toHex(511) == "01 ff ");
check("fromHex(\"1 ff\") = 511", fromHex("1 ff") == 511);
check("fromHex(toHex(2^40 + 7)) round trip",
      fromHex(toHex(Math.pow(2, 40) + 7)) == Math.pow(2, 40) + 7);
// Tallomir accepts our text with or without the trailing space.
check("Tallomir agrees: 511 + 1 = 512",
      fromHex(Tallomir.Add(toHex(511), "01")) == 512 && Tallomir.Add("01 ff", "1") == "02 00 ");

// Byte order. Swap(text, unit) reverses each group of unit bytes; unit 1
// reverses the whole string (big-endian <-> little-endian), unit 2 swaps
// the bytes of each 16-bit word, unit 4 of each 32-bit word.
var word = "12 34 56 78";
Tallomir.Output("big-endian     " + word);
Tallomir.Output("little-endian  " + Tallomir.Swap(word, 1));
Tallomir.Output("16-bit swapped " + Tallomir.Swap(word, 2));
check("Swap by 1 reverses", Tallomir.Swap(word, 1) == "78 56 34 12 ");
check("Swap by 2 swaps pairs", Tallomir.Swap(word, 2) == "34 12 78 56 ");
// Swap only regroups the text: tokens keep their spelling.
check("Swap keeps tokens as typed", Tallomir.Swap("A 0b", 1) == "0b A ");

// Shifts keep the width of the operand: bits shifted out are lost, so widen
// the number with leading 00 bytes first if they must be kept.
check("80 01 << 1 = 00 02", Tallomir.BitLeftShift("80 01", 1) == "00 02 ");
check("00 80 01 << 1 = 01 00 02", Tallomir.BitLeftShift("00 80 01", 1) == "01 00 02 ");
check("01 00 >> 4 = 00 10", Tallomir.BitRightShift("01 00", 4) == "00 10 ");
check("shift by 12 = multiply by 4096",
      fromHex(Tallomir.BitLeftShift("00 00 " + toHex(1000), 12)) == 4096000);

// A failing method raises a script error; try/catch turns it into a value.
// The error's number is the method's result code.
try {
    Tallomir.Divide("01", "00");
    check("division by zero raises an error", false);
} catch (e) {
    var code = (e.number >>> 0).toString(16); // unsigned, as result codes are written
    Tallomir.Output("Division by zero: " + e.message + " (0x" + code + ")");
    check("division by zero raises an error", true);
}
// An invalid operand text is an error as well: tokens are one or two digits.
var caught = false;
try {
    Tallomir.Add("123", "01");
} catch (e) {
    caught = true;
}
check("\"123\" is rejected", caught);

Tallomir.Output("Number tools: " + (ok ? "ok" : "FAILED"));
