' Empty and Null through operators, conversions and built-ins.
Dim e, n
n = Null
Tallomir.Output TypeName(e + 1) & " " & (e + 1) & " " & TypeName(e & "") & " [" & e & "] " & (e = 0) & " " & (e = "")
Tallomir.Output IsNull(n + 1) & " " & IsNull(n & n) & " [" & (n & "x") & "] " & IsNull(-n) & " " & IsNull(Not n) & " " & IsNull(n > 1)
Tallomir.Output TypeName(Len(n)) & " " & TypeName(UCase(n)) & " " & TypeName(Trim(n)) & " " & TypeName(Abs(n)) & " " & TypeName(Int(n))
On Error Resume Next
x = CStr(n)
Tallomir.Output "cstr of null: " & Err.Number & " " & Err.Description
Err.Clear
x = CLng(n)
Tallomir.Output "clng of null: " & Err.Number
Err.Clear
x = Chr(n)
Tallomir.Output "chr of null: " & Err.Number
Err.Clear
For i = n To 3
Next
Tallomir.Output "null loop bound: " & Err.Number
Err.Clear
x = "abc" * 2
Tallomir.Output "text times two: " & Err.Number
Err.Clear
x = 1 Is Nothing
Tallomir.Output "is on a number: " & Err.Number
Err.Clear
Set x = 5
Tallomir.Output "set of a number: " & Err.Number
Err.Clear
x = CByte(256)
Tallomir.Output "byte overflow: " & Err.Number
Err.Clear
x = CCur(1E+300)
Tallomir.Output "currency overflow: " & Err.Number
Err.Clear
x = 1E+308 * 10
Tallomir.Output "double overflow: " & Err.Number
Err.Clear
x = 0 / 0
Tallomir.Output "zero by zero: " & Err.Number
On Error GoTo 0
Dim arr(1)
Tallomir.Output IsEmpty(arr(0)) & " " & IsEmpty(Empty) & " " & IsEmpty("") & " " & IsNull(Empty) & " " & VarType(arr)
