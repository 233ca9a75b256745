' Variant types, conversions, coercions and overflow promotion.
Tallomir.Output TypeName(1) & " " & TypeName(32768) & " " & TypeName(2147483648) & " " & TypeName(1.5) & " " & TypeName("") & " " & TypeName(True)
Tallomir.Output TypeName(Empty) & " " & TypeName(Null) & " " & TypeName(Nothing) & " " & TypeName(CByte(1)) & " " & TypeName(CCur(1)) & " " & TypeName(#1/2/2003#)
Tallomir.Output VarType(1) & " " & VarType(100000) & " " & VarType(1.5) & " " & VarType("s") & " " & VarType(Empty) & " " & VarType(Null) & " " & VarType(Array())
Tallomir.Output TypeName(32767 + 1) & " " & TypeName(2147483647 + 1) & " " & TypeName(CByte(200) + CByte(100)) & " " & TypeName(-32768 - 1)
Tallomir.Output TypeName(200 * 200) & " " & (200 * 200) & " " & TypeName(7 \ 2) & " " & TypeName(7 / 7) & " " & TypeName(2 ^ 2)
Tallomir.Output "1" + 2 & " " & "1" + "2" & " " & "3" * "4" & " " & TypeName("1" + 2) & " " & 1 & 2
Tallomir.Output CInt(2.5) & CInt(3.5) & CInt(-2.5) & " " & CLng("42") & " " & CDbl("1.5e3") & " " & CLng("&HFF") & " " & CStr(1 / 4)
Tallomir.Output Int(-2.5) & " " & Fix(-2.5) & " " & Int(2.7) & " " & Round(2.5) & " " & Round(3.5) & " " & Round(2.567, 2) & " " & Abs(-3) & " " & Sgn(-0.5)
Tallomir.Output CBool(1) & " " & CBool(0) & " " & CBool("true") & " " & CStr(True) & " " & (True + True) & " " & CInt(True)
Tallomir.Output Hex(255) & " " & Hex(-1) & " " & Hex(CLng(-1)) & " " & Hex(65536) & " " & Oct(8) & " " & &HFF & " " & &H8000 & " " & &O17
Tallomir.Output 1E+20 & " " & 1 / 3 & " " & 0.1 + 0.2 & " " & 1E-05 & " " & 123456789012 & " " & -0.5
Tallomir.Output 7 Mod 3 & " " & -7 Mod 3 & " " & 7 \ -2 & " " & 2 ^ 10 & " " & 2 ^ -1 & " " & -2 ^ 2 & " " & 10 - 2 - 3 & " " & 2 * 3 + 4 * 5
Tallomir.Output (5 And 3) & " " & (5 Or 3) & " " & (5 Xor 3) & " " & (Not 0) & " " & (Not True) & " " & (True And False) & " " & (False Imp True) & " " & (True Eqv False)
Tallomir.Output IsNull(Null And True) & " " & (Null And False) & " " & (Null Or True) & " " & IsNull(1 + Null) & " " & IsNull(Null = Null)
Tallomir.Output IsNumeric("12") & IsNumeric("1e3") & IsNumeric(" 5 ") & IsNumeric("abc") & IsNumeric("") & IsNumeric(Empty) & IsNumeric(Null) & IsNumeric("&H1F")
Tallomir.Output ("10" = 10) & " " & (Empty = 0) & " " & (Empty = "") & " " & ("abc" = "ABC") & " " & (2 > 1.5)
Dim x, y
x = "10" : y = 10
Tallomir.Output (x = 10) & " " & (x = y) & " " & (y < x) & " " & (x = CStr(y))
Tallomir.Output CCur(1.23456) & " " & CCur(10) / 4 & " " & TypeName(CCur(1) + 1) & " " & CCur(0.1) * 3
Tallomir.Output Year(#3/15/2024#) & " " & Month(#3/15/2024#) & " " & Day(#3/15/2024#) & " " & Weekday(#3/15/2024#) & " " & #3/15/2024 1:30:05 PM#
Tallomir.Output DateAdd("d", 20, #3/15/2024#) & " " & DateAdd("m", 1, #1/31/2024#) & " " & DateAdd("yyyy", -1, #2/29/2024#) & " " & DateAdd("h", 36, #3/15/2024#)
Tallomir.Output DateDiff("d", #1/1/2024#, #3/1/2024#) & " " & DateDiff("m", #12/31/2023#, #1/1/2024#) & " " & DateDiff("yyyy", #12/31/2023#, #1/1/2025#) & " " & DateDiff("s", #1/1/2024#, #1/1/2024 0:01:00#)
Tallomir.Output DateSerial(2024, 14, 1) & " " & TimeSerial(25, 0, 0) & " " & CDate("2024-03-15") & " " & (#3/15/2024# > #3/14/2024#) & " " & CDbl(#1/1/1900#) & " " & #12:00:00 PM#
Tallomir.Output Hour(#1:02:03 PM#) & Minute(#1:02:03 PM#) & Second(#1:02:03 PM#) & " " & MonthName(2) & " " & WeekdayName(1, True) & " " & IsDate("2024-02-30") & IsDate("2024-02-29")
Tallomir.Output FormatNumber(1234.5) & " " & FormatNumber(1.005, 2) & " " & FormatNumber(-0.5, 1, 0) & " " & FormatNumber(2.5, 0) & " " & FormatPercent(0.256) & " " & FormatNumber(1234567, 0, , , 0) & " " & FormatNumber(-3, 2, , -1)
Tallomir.Output FormatDateTime(#3/15/2024 1:30:05 PM#, vbLongDate) & " | " & FormatDateTime(#3/15/2024 1:30:05 PM#, vbShortTime) & " | " & RGB(255, 0, 1)
Dim r1, r2, r3, q1, q2
r1 = Rnd(-5) : r2 = Rnd : r3 = Rnd(0)
q1 = Rnd(-5) : q2 = Rnd
Tallomir.Output (r1 = q1) & " " & (r2 = q2) & " " & (r3 = r2) & " " & (r1 >= 0 And r1 < 1 And r2 >= 0 And r2 < 1) & " " & (r1 <> r2)
Tallomir.Output Sqr(16) & " " & Exp(0) & " " & Log(Exp(2)) & " " & Atn(1) * 4 & " " & (Timer >= 0 And Timer < 86400) & " " & (Now >= Date)
