' Fixed and dynamic arrays, several dimensions, ReDim Preserve, Erase, For Each,
' arrays as values.
Dim fixed(3), grid(2, 1), dyn(), copy, i, j, s, item
fixed(0) = "a" : fixed(3) = "d"
Tallomir.Output "fixed " & LBound(fixed) & ".." & UBound(fixed) & " " & fixed(0) & fixed(3)
For i = 0 To 2
    For j = 0 To 1
        grid(i, j) = i * 10 + j
    Next
Next
Tallomir.Output "grid " & UBound(grid, 1) & "x" & UBound(grid, 2) & " " & grid(2, 1)
s = ""
For Each item In grid
    s = s & item & " "
Next
Tallomir.Output "for each walks the first index fastest: " & s
ReDim dyn(2)
dyn(0) = 1 : dyn(1) = 2 : dyn(2) = 3
ReDim Preserve dyn(4)
dyn(4) = 5
Tallomir.Output "preserved " & Join(dyn, ",")
ReDim dyn(1)
Tallomir.Output "redim clears " & IsEmpty(dyn(0)) & " " & UBound(dyn)
ReDim m(1, 2)
m(1, 2) = "corner"
ReDim Preserve m(1, 4)
Tallomir.Output "last dimension grows " & m(1, 2) & " " & UBound(m, 2)
copy = fixed
copy(0) = "changed"
Tallomir.Output "assignment copies " & fixed(0) & " " & copy(0)
Sub Fill(ByVal values)
    values(0) = "byval copy"
End Sub
Fill fixed
Tallomir.Output "byval array " & fixed(0)
Sub FillRef(values)
    values(0) = "byref"
End Sub
FillRef fixed
Tallomir.Output "byref array " & fixed(0)
Dim lit
lit = Array(1, "two", 3.5, Array("x", "y"))
Tallomir.Output "array() " & UBound(lit) & " " & lit(1) & " " & lit(3)(1) & " " & TypeName(lit)
Erase fixed
Tallomir.Output "erase fixed keeps size " & UBound(fixed) & " " & IsEmpty(fixed(3))
Erase dyn
Tallomir.Output "isarray " & IsArray(dyn) & " " & IsArray(s)
Dim empty0
empty0 = Array()
Tallomir.Output "empty array ubound " & UBound(empty0)
Function MakeList(n)
    Dim r(), k
    ReDim r(n - 1)
    For k = 0 To n - 1
        r(k) = k * k
    Next
    MakeList = r
End Function
Tallomir.Output "returned " & Join(MakeList(5), " ")
Dim spaced(2)
spaced (1) = "index after a blank"
Tallomir.Output spaced(1)
On Error Resume Next
ReDim grown(1, 1)
ReDim Preserve grown(2, 1)
Tallomir.Output "preserve may change only the last dimension: " & Err.Number
Err.Clear
Dim two(1, 1)
x = two(1)
Tallomir.Output "wrong number of indices: " & Err.Number
Err.Clear
Dim none()
x = UBound(none)
Tallomir.Output "ubound of an undimensioned array: " & Err.Number
Err.Clear
x = UBound("text")
Tallomir.Output "ubound of no array: " & Err.Number
Err.Clear
ReDim neg(-1)
Tallomir.Output "redim to -1 leaves it empty: " & UBound(neg) & " " & Err.Number
