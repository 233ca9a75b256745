' A Diffie-Hellman key exchange between Alice and Bob.
'
' The group is the well-known 1024-bit MODP prime of the Internet Key
' Exchange (Oakley group 2) with generator 2. Numbers are hex byte strings;
' tokens may be separated by spaces, tabs or line breaks, so a long constant
' can be written as lines joined together.
Option Explicit

Dim prime, g, ok
prime = Join(Array( _
    "ff ff ff ff ff ff ff ff c9 0f da a2 21 68 c2 34", _
    "c4 c6 62 8b 80 dc 1c d1 29 02 4e 08 8a 67 cc 74", _
    "02 0b be a6 3b 13 9b 22 51 4a 08 79 8e 34 04 dd", _
    "ef 95 19 b3 cd 3a 43 1b 30 2b 0a 6d f2 5f 14 37", _
    "4f e1 35 6d 6d 51 c2 45 e4 85 b5 76 62 5e 7e c6", _
    "f4 4c 42 e9 a6 37 ed 6b 0b ff 5c b6 f4 06 b7 ed", _
    "ee 38 6b fb 5a 89 9f a5 ae 9f 24 11 7c 4b 1f e6", _
    "49 28 66 51 ec e6 53 81 ff ff ff ff ff ff ff ff"), vbLf)
g = "02"
ok = True

Sub Check(what, good)
    If good Then
        Tallomir.Output "  ok      " & what
    Else
        Tallomir.Output "  FAILED  " & what
        ok = False
    End If
End Sub

' Long numbers are shown as their first and last bytes only.
Function Shorten(hex)
    Dim t, n, i, s
    t = Split(Trim(hex), " ")
    n = UBound(t) + 1
    If n <= 12 Then
        Shorten = hex
        Exit Function
    End If
    For i = 0 To 7
        s = s & t(i) & " "
    Next
    s = s & "..."
    For i = n - 4 To n - 1
        s = s & " " & t(i)
    Next
    Shorten = s
End Function

' The prime is safe: (p - 1) / 2 is prime too. BitRightShift keeps the
' width of its operand, so the half has a leading 00 byte (harmless).
Tallomir.Output "p has " & Tallomir.BitCount(prime) & " bits"
Check "p is a probable prime", Tallomir.MillerRabinTest(prime, 20) = 1
Dim half
half = Tallomir.BitRightShift(Tallomir.Subtract(prime, "01"), 1)
Check "(p - 1) / 2 is a probable prime", Tallomir.MillerRabinTest(half, 20) = 1

' Private keys: 256 random bits each (a zero key would be useless; it
' happens with probability 2^-256, so a sample need not care).
Dim a, b
a = Tallomir.GenRandomBits(256)
b = Tallomir.GenRandomBits(256)

' Public keys, sent over the wire: A = g^a mod p, B = g^b mod p. Names are
' not case-sensitive, so Alice's and Bob's public keys get names of their own.
Dim publicA, publicB
publicA = Tallomir.ModPow(g, a, prime)
publicB = Tallomir.ModPow(g, b, prime)
Tallomir.Output "Alice sends A = " & Shorten(publicA)
Tallomir.Output "Bob sends   B = " & Shorten(publicB)

' Each side raises the other's public key to its own private key.
Dim sAlice, sBob
sAlice = Tallomir.ModPow(publicB, a, prime)
sBob = Tallomir.ModPow(publicA, b, prime)
Tallomir.Output "Alice's secret: " & Shorten(sAlice)
Tallomir.Output "Bob's secret:   " & Shorten(sBob)
Check "both secrets equal", Tallomir.Compare(sAlice, sBob) = 0
Check "secret is neither 1 nor p - 1", _
      Tallomir.Compare(sAlice, "01") <> 0 And _
      Tallomir.Compare(sAlice, Tallomir.Subtract(prime, "01")) <> 0

If ok Then
    Tallomir.Output "Diffie-Hellman: shared secrets agree"
Else
    Tallomir.Output "Diffie-Hellman: FAILED"
End If
