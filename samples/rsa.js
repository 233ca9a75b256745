// RSA key generation and a round trip through encryption and decryption.
//
// Every number the Tallomir object takes or returns is a hex byte string:
// one token per byte, most significant first, e.g. "01 00 01" is 65537.
// Results come back as two lowercase digits and a space per byte ("ff ").
// Tallomir.Output(text) prints one line; scripts cannot read or write files.

var ok = true;

// Long numbers are shown as their first and last bytes only.
function shorten(hex) {
    var t = hex.split(" ");
    if (t[t.length - 1] == "")
        t.pop(); // the trailing space
    if (t.length <= 12)
        return hex;
    return t.slice(0, 8).join(" ") + " ... " + t.slice(t.length - 4).join(" ") + " (" + t.length +
           " bytes)";
}

function check(what, good) {
    Tallomir.Output((good ? "  ok      " : "  FAILED  ") + what);
    if (!good)
        ok = false;
}

// Two probable primes of 512 bits each, Miller-Rabin with 20 rounds. The
// public exponent 65537 must be coprime to phi = (p-1)(q-1); in the rare case
// that it is not, new primes are drawn, as key generators do.
// "01" is one byte with the value 1.
var e = "01 00 01";
var p, q, phi, tries = 0;
do {
    p = Tallomir.MillerRabinSearch(512, 20);
    q = Tallomir.MillerRabinSearch(512, 20);
    phi = Tallomir.Multiply(Tallomir.Subtract(p, "01"), Tallomir.Subtract(q, "01"));
    tries++;
} while (tries < 5 && (Tallomir.Compare(p, q) == 0 || Tallomir.GCD(e, phi) != "01 "));
check("p and q differ", Tallomir.Compare(p, q) != 0);
check("gcd(e, phi) = 1", Tallomir.GCD(e, phi) == "01 ");

var n = Tallomir.Multiply(p, q); // the modulus
Tallomir.Output("n has " + Tallomir.BitCount(n) + " bits");

// The private exponent: d * e = 1 (mod phi). ModInverse returns "0" when
// there is no inverse, which cannot happen once the gcd is 1.
var d = Tallomir.ModInverse(e, phi);
check("d exists", d != "0");
check("d * e mod phi = 1", Tallomir.Compare(Tallomir.Mod(Tallomir.Multiply(d, e), phi), "01") == 0);

Tallomir.Output("n = " + shorten(n));
Tallomir.Output("e = " + e);
Tallomir.Output("d = " + shorten(d));

// The message is a short text, one byte per character; as a number it is
// far smaller than n.
function textToHex(s) {
    var hex = "";
    for (var i = 0; i < s.length; i++)
        hex += (s.charCodeAt(i) & 0xff).toString(16) + " ";
    return hex;
}
function hexToText(hex) {
    var t = hex.split(" "), s = "";
    for (var i = 0; i < t.length; i++)
        if (t[i] != "")
            s += String.fromCharCode(parseInt(t[i], 16));
    return s;
}

var m = textToHex("Attack at dawn");
var c = Tallomir.ModPow(m, e, n);    // encrypt: c = m^e mod n
var back = Tallomir.ModPow(c, d, n); // decrypt: m = c^d mod n
Tallomir.Output("c = " + shorten(c));
Tallomir.Output("decrypted: " + hexToText(back));
check("decrypted text equals the message", Tallomir.Compare(back, m) == 0);

Tallomir.Output("RSA round trip: " + (ok ? "ok" : "FAILED"));
