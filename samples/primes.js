// A primality survey with the three probabilistic tests.
//
// Each test returns 1 when the number passed every trial ("probably prime"),
// 0 when a trial proved it composite, and -1 when the trial count is not
// positive. A "prime" verdict can be wrong; a "composite" one never is.
var TRIALS = 20;
var ok = true;

function verdict(result) { return result == 1 ? "prime" : result == 0 ? "composite" : "invalid"; }

function fail(what) {
    Tallomir.Output("  FAILED  " + what);
    ok = false;
}

// Runs all three tests on n and prints one line with their verdicts.
function survey(name, n) {
    var f = Tallomir.FermatTest(n, TRIALS);
    var s = Tallomir.SolovayStrassenTest(n, TRIALS);
    var m = Tallomir.MillerRabinTest(n, TRIALS);
    Tallomir.Output(name + ": Fermat " + verdict(f) + ", Solovay-Strassen " + verdict(s) +
                    ", Miller-Rabin " + verdict(m));
    return m;
}

// 561 = 3 * 11 * 17 and 1105 = 5 * 13 * 17 are Carmichael numbers: every base
// coprime to them passes the Fermat test, so Fermat may call them prime.
// Miller-Rabin catches them (each trial with a chance of at least 3/4).
if (survey("561", "02 31") != 0)
    fail("561 not found composite");
if (survey("1105", "04 51") != 0)
    fail("1105 not found composite");

// The Mersenne prime 2^61 - 1: every test must pass it.
var m61 = "1f ff ff ff ff ff ff ff";
survey("2^61 - 1", m61);
if (Tallomir.FermatTest(m61, TRIALS) != 1)
    fail("2^61 - 1 failed a Fermat test");

// A random odd 256-bit number: OR in the lowest bit.
var r = Tallomir.BitOr(Tallomir.GenRandomBits(256), "01");
survey("random " + r.substr(0, 12) + "...", r);

// A trial count of 0 is rejected with -1, not with an error.
if (Tallomir.MillerRabinTest("0d", 0) != -1)
    fail("0 trials not rejected");

// Probable primes among the next 100 odd numbers after a random 128-bit
// start. Add keeps the width of the longer operand ("02" is the step).
var x = Tallomir.BitOr(Tallomir.GenRandomBits(128), "01");
var start = x, count = 0;
for (var i = 0; i < 100; i++) {
    x = Tallomir.Add(x, "02");
    if (Tallomir.MillerRabinTest(x, TRIALS) == 1) {
        count++;
        // A true prime passes Fermat's test with any base.
        if (Tallomir.FermatTest(x, TRIALS) != 1)
            fail("Fermat rejects " + x);
    }
}
Tallomir.Output("start " + start);
Tallomir.Output("probable primes among the next 100 odd numbers: " + count +
                " (about 2.25 expected)");

Tallomir.Output(ok ? "Survey done" : "Survey FAILED");
