' The string functions.
Dim s
s = "Hello, World"
Tallomir.Output Len(s) & " " & Left(s, 5) & "|" & Right(s, 5) & "|" & Mid(s, 8) & "|" & Mid(s, 8, 2)
Tallomir.Output InStr(s, "o") & " " & InStr(6, s, "o") & " " & InStr(s, "z") & " " & InStr(1, s, "WORLD", vbTextCompare)
Tallomir.Output InStrRev(s, "o") & " " & InStrRev(s, "o", 7) & " " & InStr(s, "")
Tallomir.Output Replace(s, "o", "0") & "|" & Replace("aaaa", "a", "b", 1, 2) & "|" & Replace("abcabc", "b", "", 3)
Tallomir.Output Replace("AbAB", "ab", "x", 1, -1, vbTextCompare)
Tallomir.Output UCase(s) & " " & LCase(s)
Tallomir.Output "[" & Trim("  x y  ") & "][" & LTrim("  x ") & "][" & RTrim(" x  ") & "]"
Dim parts
parts = Split("a,b,,c", ",")
Tallomir.Output UBound(parts) & " " & parts(3) & " " & Join(parts, "-") & " " & Join(Split("one two"))
Tallomir.Output UBound(Split("", ",")) & " " & UBound(Split("a,b,c", ",", 2)) & " " & Split("a,b,c", ",", 2)(1)
Tallomir.Output StrReverse("abc") & " " & StrComp("a", "b") & StrComp("b", "a") & StrComp("A", "a") & StrComp("A", "a", 1)
Tallomir.Output "[" & Space(3) & "]" & String(4, "*") & String(2, 65)
Tallomir.Output Chr(65) & ChrW(955) & " " & Asc("A") & " " & AscW(ChrW(955)) & " " & Len(ChrW(955))
Tallomir.Output """quoted""" & " " & Len("")
Tallomir.Output "a" & 1 & True & Null & Empty & 2.5
Tallomir.Output IsNull(Len(Null)) & " " & IsNull(Mid(Null, 1)) & " " & IsNull(Null & Null)
Tallomir.Output Join(Filter(Array("apple", "banana", "cherry"), "an"), ",") & " " & Join(Filter(Array("apple", "banana"), "an", False), ",")
Tallomir.Output Len(12345) & " " & Left(3.25, 3)
Dim built, i
For i = 1 To 5
    built = built & Chr(64 + i)
Next
Tallomir.Output built & " " & (built = "ABCDE") & " " & ("abc" < "abd") & " " & ("B" < "a")
Tallomir.Output "[" & Mid("abc", 5) & "][" & Left("abc", 10) & "][" & Right("abc", 0) & "][" & Space(0) & "]" & IsNull(StrComp(Null, "a")) & IsNull(InStr(Null, "a"))
Tallomir.Output Replace("a.b.c.d", ".", "-", 1, 2) & " " & Join(Split("aXbxc", "x", -1, vbTextCompare), "|") & " " & InStrRev("abcabc", "bc", -1) & " " & InStr(3, "abcabc", "a")
On Error Resume Next
x = Mid("abc", 0)
Tallomir.Output "mid from 0: " & Err.Number
Err.Clear
x = Left("abc", -1)
Tallomir.Output "negative length: " & Err.Number
Err.Clear
x = Chr(256)
Tallomir.Output "chr beyond 255: " & Err.Number
Err.Clear
x = Asc("")
Tallomir.Output "asc of nothing: " & Err.Number
Dim word
word = "abcdef"
Mid(word, 2, 3) = "XYZW"
Tallomir.Output word
Mid(word, 5) = "123456"
Tallomir.Output word
Tallomir.Output Escape("a b+c/" & ChrW(228) & ChrW(955)) & " " & Unescape("%41%u03BB%zz%") & " " & (Unescape(Escape("x=1&y=2")) = "x=1&y=2")
