' RSA key generation and a round trip through encryption and decryption.
'
' Every number the Tallomir object takes or returns is a hex byte string:
' one token per byte, most significant first, e.g. "01 00 01" is 65537.
' Results come back as two lowercase digits and a space per byte ("ff ").
' Tallomir.Output text prints one line; scripts cannot read or write files.
Option Explicit

Dim ok
ok = True

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
    Shorten = s & " (" & n & " bytes)"
End Function

Sub Check(what, good)
    If good Then
        Tallomir.Output "  ok      " & what
    Else
        Tallomir.Output "  FAILED  " & what
        ok = False
    End If
End Sub

' Two probable primes of 512 bits each, Miller-Rabin with 20 rounds. The
' public exponent 65537 must be coprime to phi = (p-1)(q-1); in the rare case
' that it is not, new primes are drawn, as key generators do.
' "01" is one byte with the value 1.
Dim e, p, q, phi, tries
e = "01 00 01"
tries = 0
Do
    p = Tallomir.MillerRabinSearch(512, 20)
    q = Tallomir.MillerRabinSearch(512, 20)
    phi = Tallomir.Multiply(Tallomir.Subtract(p, "01"), Tallomir.Subtract(q, "01"))
    tries = tries + 1
Loop While tries < 5 And (Tallomir.Compare(p, q) = 0 Or Tallomir.GCD(e, phi) <> "01 ")
Check "p and q differ", Tallomir.Compare(p, q) <> 0
Check "gcd(e, phi) = 1", Tallomir.GCD(e, phi) = "01 "

Dim n
n = Tallomir.Multiply(p, q) ' the modulus
Tallomir.Output "n has " & Tallomir.BitCount(n) & " bits"

' The private exponent: d * e = 1 (mod phi). ModInverse returns "0" when
' there is no inverse, which cannot happen once the gcd is 1.
Dim d
d = Tallomir.ModInverse(e, phi)
Check "d exists", d <> "0"
Check "d * e mod phi = 1", Tallomir.Compare(Tallomir.Mod(Tallomir.Multiply(d, e), phi), "01") = 0

Tallomir.Output "n = " & Shorten(n)
Tallomir.Output "e = " & e
Tallomir.Output "d = " & Shorten(d)

' The message is a short text, one byte per character; as a number it is
' far smaller than n.
Function TextToHex(s)
    Dim i, digits
    For i = 1 To Len(s)
        digits = digits & LCase(Hex(Asc(Mid(s, i, 1)))) & " "
    Next
    TextToHex = digits
End Function

Function HexToText(digits)
    Dim s, token
    For Each token In Split(digits, " ")
        If token <> "" Then s = s & Chr(CLng("&H" & token))
    Next
    HexToText = s
End Function

Dim m, c, back
m = TextToHex("Attack at dawn")
c = Tallomir.ModPow(m, e, n)    ' encrypt: c = m^e mod n
back = Tallomir.ModPow(c, d, n) ' decrypt: m = c^d mod n
Tallomir.Output "c = " & Shorten(c)
Tallomir.Output "decrypted: " & HexToText(back)
Check "decrypted text equals the message", Tallomir.Compare(back, m) = 0

If ok Then
    Tallomir.Output "RSA round trip: ok"
Else
    Tallomir.Output "RSA round trip: FAILED"
End If
