' Small helpers: script numbers to hex byte strings and back, byte order,
' shifts, and trapping the errors that Tallomir methods raise.
Option Explicit

Dim ok
ok = True

Sub Check(what, good)
    If good Then
        Tallomir.Output "  ok      " & what
    Else
        Tallomir.Output "  FAILED  " & what
        ok = False
    End If
End Sub

' A non-negative whole number (a Double is exact up to 2^53) as a hex byte
' string, big-endian, formatted like Tallomir's results: two digits and a
' space per byte.
Function ToHex(ByVal n)
    Dim digits, b
    Do
        b = n - Int(n / 256) * 256
        digits = Right("0" & LCase(Hex(b)), 2) & " " & digits
        n = Int(n / 256)
    Loop While n > 0
    ToHex = digits
End Function

' A hex byte string back to a number (exact up to 2^53). Accepts the same
' tokens Tallomir does: one or two digits, separated by blanks.
Function FromHex(digits)
    Dim token, n
    n = 0
    For Each token In Split(Replace(Replace(digits, vbTab, " "), vbLf, " "), " ")
        If token <> "" Then n = n * 256 + CLng("&H" & token)
    Next
    FromHex = n
End Function

Check "ToHex(511) = ""01 ff """, ToHex(511) = "01 ff "
Check "FromHex(""1 ff"") = 511", FromHex("1 ff") = 511
Check "FromHex(ToHex(2^40 + 7)) round trip", FromHex(ToHex(2 ^ 40 + 7)) = 2 ^ 40 + 7
' Tallomir accepts our text with or without the trailing space.
Check "Tallomir agrees: 511 + 1 = 512", _
      FromHex(Tallomir.Add(ToHex(511), "01")) = 512 And Tallomir.Add("01 ff", "1") = "02 00 "

' Byte order. Swap(text, unit) reverses each group of unit bytes; unit 1
' reverses the whole string (big-endian <-> little-endian), unit 2 swaps
' the bytes of each 16-bit word, unit 4 of each 32-bit word.
Dim word
word = "12 34 56 78"
Tallomir.Output "big-endian     " & word
Tallomir.Output "little-endian  " & Tallomir.Swap(word, 1)
Tallomir.Output "16-bit swapped " & Tallomir.Swap(word, 2)
Check "Swap by 1 reverses", Tallomir.Swap(word, 1) = "78 56 34 12 "
Check "Swap by 2 swaps pairs", Tallomir.Swap(word, 2) = "34 12 78 56 "
' Swap only regroups the text: tokens keep their spelling.
Check "Swap keeps tokens as typed", Tallomir.Swap("A 0b", 1) = "0b A "

' Shifts keep the width of the operand: bits shifted out are lost, so widen
' the number with leading 00 bytes first if they must be kept.
Check "80 01 << 1 = 00 02", Tallomir.BitLeftShift("80 01", 1) = "00 02 "
Check "00 80 01 << 1 = 01 00 02", Tallomir.BitLeftShift("00 80 01", 1) = "01 00 02 "
Check "01 00 >> 4 = 00 10", Tallomir.BitRightShift("01 00", 4) = "00 10 "
Check "shift by 12 = multiply by 4096", _
      FromHex(Tallomir.BitLeftShift("00 00 " & ToHex(1000), 12)) = 4096000

' A failing method raises a run-time error; On Error Resume Next lets the
' script look at Err instead of stopping.
On Error Resume Next
Tallomir.Divide "01", "00"
If Err.Number <> 0 Then
    Tallomir.Output "Division by zero: " & Err.Description & " (error " & Err.Number & ")"
    Check "division by zero raises an error", True
Else
    Check "division by zero raises an error", False
End If
' An invalid operand text is an error as well: tokens are one or two digits.
Err.Clear
Tallomir.Add "123", "01"
Check """123"" is rejected", Err.Number <> 0
On Error GoTo 0

If ok Then
    Tallomir.Output "Number tools: ok"
Else
    Tallomir.Output "Number tools: FAILED"
End If
