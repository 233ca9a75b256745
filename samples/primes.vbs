' A primality survey with the three probabilistic tests.
'
' Each test returns 1 when the number passed every trial ("probably prime"),
' 0 when a trial proved it composite, and -1 when the trial count is not
' positive. A "prime" verdict can be wrong; a "composite" one never is.
Option Explicit

Const TRIALS = 20
Dim ok
ok = True

Function Verdict(result)
    Select Case result
        Case 1
            Verdict = "prime"
        Case 0
            Verdict = "composite"
        Case Else
            Verdict = "invalid"
    End Select
End Function

Sub Fail(what)
    Tallomir.Output "  FAILED  " & what
    ok = False
End Sub

' Runs all three tests on n and prints one line with their verdicts.
Function Survey(name, n)
    Dim f, s, m
    f = Tallomir.FermatTest(n, TRIALS)
    s = Tallomir.SolovayStrassenTest(n, TRIALS)
    m = Tallomir.MillerRabinTest(n, TRIALS)
    Tallomir.Output name & ": Fermat " & Verdict(f) & ", Solovay-Strassen " & Verdict(s) & _
                    ", Miller-Rabin " & Verdict(m)
    Survey = m
End Function

' 561 = 3 * 11 * 17 and 1105 = 5 * 13 * 17 are Carmichael numbers: every base
' coprime to them passes the Fermat test, so Fermat may call them prime.
' Miller-Rabin catches them (each trial with a chance of at least 3/4).
If Survey("561", "02 31") <> 0 Then Fail "561 not found composite"
If Survey("1105", "04 51") <> 0 Then Fail "1105 not found composite"

' The Mersenne prime 2^61 - 1: every test must pass it.
Dim m61
m61 = "1f ff ff ff ff ff ff ff"
Survey "2^61 - 1", m61
If Tallomir.FermatTest(m61, TRIALS) <> 1 Then Fail "2^61 - 1 failed a Fermat test"

' A random odd 256-bit number: OR in the lowest bit.
Dim r
r = Tallomir.BitOr(Tallomir.GenRandomBits(256), "01")
Survey "random " & Left(r, 12) & "...", r

' A trial count of 0 is rejected with -1, not with an error.
If Tallomir.MillerRabinTest("0d", 0) <> -1 Then Fail "0 trials not rejected"

' Probable primes among the next 100 odd numbers after a random 128-bit
' start. Add keeps the width of the longer operand ("02" is the step).
Dim x, start, count, i
x = Tallomir.BitOr(Tallomir.GenRandomBits(128), "01")
start = x
count = 0
For i = 1 To 100
    x = Tallomir.Add(x, "02")
    If Tallomir.MillerRabinTest(x, TRIALS) = 1 Then
        count = count + 1
        ' A true prime passes Fermat's test with any base.
        If Tallomir.FermatTest(x, TRIALS) <> 1 Then Fail "Fermat rejects " & x
    End If
Next
Tallomir.Output "start " & start
Tallomir.Output "probable primes among the next 100 odd numbers: " & count & _
                " (about 2.25 expected)"

If ok Then
    Tallomir.Output "Survey done"
Else
    Tallomir.Output "Survey FAILED"
End If
