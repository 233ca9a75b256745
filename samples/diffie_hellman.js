// A Diffie-Hellman key exchange between Alice and Bob.
//
// The group is the well-known 1024-bit MODP prime of the Internet Key
// Exchange (Oakley group 2) with generator 2. Numbers are hex byte strings;
// tokens may be separated by spaces, tabs or line breaks, so a long constant
// can be written as a list of lines joined together.
var prime = [
    "ff ff ff ff ff ff ff ff c9 0f da a2 21 68 c2 34",
    "c4 c6 62 8b 80 dc 1c d1 29 02 4e 08 8a 67 cc 74",
    "02 0b be a6 3b 13 9b 22 51 4a 08 79 8e 34 04 dd",
    "ef 95 19 b3 cd 3a 43 1b 30 2b 0a 6d f2 5f 14 37",
    "4f e1 35 6d 6d 51 c2 45 e4 85 b5 76 62 5e 7e c6",
    "f4 4c 42 e9 a6 37 ed 6b 0b ff 5c b6 f4 06 b7 ed",
    "ee 38 6b fb 5a 89 9f a5 ae 9f 24 11 7c 4b 1f e6",
    "49 28 66 51 ec e6 53 81 ff ff ff ff ff ff ff ff"
].join("\n");
var g = "02";
var ok = true;

function check(what, good) {
    Tallomir.Output((good ? "  ok      " : "  FAILED  ") + what);
    if (!good)
        ok = false;
}

// Long numbers are shown as their first and last bytes only.
function shorten(hex) {
    var t = hex.split(" ");
    if (t[t.length - 1] == "")
        t.pop(); // the trailing space
    if (t.length <= 12)
        return hex;
    return t.slice(0, 8).join(" ") + " ... " + t.slice(t.length - 4).join(" ");
}

// The prime is safe: (p - 1) / 2 is prime too. BitRightShift keeps the
// width of its operand, so the half has a leading 00 byte (harmless).
Tallomir.Output("p has " + Tallomir.BitCount(prime) + " bits");
check("p is a probable prime", Tallomir.MillerRabinTest(prime, 20) == 1);
var half = Tallomir.BitRightShift(Tallomir.Subtract(prime, "01"), 1);
check("(p - 1) / 2 is a probable prime", Tallomir.MillerRabinTest(half, 20) == 1);

// Private keys: 256 random bits each (a zero key would be useless; it
// happens with probability 2^-256, so a sample need not care).
var a = Tallomir.GenRandomBits(256);
var b = Tallomir.GenRandomBits(256);

// Public keys, sent over the wire: A = g^a mod p, B = g^b mod p.
var A = Tallomir.ModPow(g, a, prime);
var B = Tallomir.ModPow(g, b, prime);
Tallomir.Output("Alice sends A = " + shorten(A));
Tallomir.Output("Bob sends   B = " + shorten(B));

// Each side raises the other's public key to its own private key.
var sAlice = Tallomir.ModPow(B, a, prime);
var sBob = Tallomir.ModPow(A, b, prime);
Tallomir.Output("Alice's secret: " + shorten(sAlice));
Tallomir.Output("Bob's secret:   " + shorten(sBob));
check("both secrets equal", Tallomir.Compare(sAlice, sBob) == 0);
check("secret is neither 1 nor p - 1",
      Tallomir.Compare(sAlice, "01") != 0 &&
          Tallomir.Compare(sAlice, Tallomir.Subtract(prime, "01")) != 0);

Tallomir.Output(ok ? "Diffie-Hellman: shared secrets agree" : "Diffie-Hellman: FAILED");
