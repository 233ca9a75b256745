' Eval, Execute and ExecuteGlobal in the scope they run in; constants;
' default and indexed properties; procedures declared by Execute.
Const LIMIT = 10, NAME = "limit"
Dim x
x = 5
Tallomir.Output Eval("x * 2 + LIMIT") & " " & Eval("x = 5") & " " & TypeName(Eval("1.5"))
Execute "x = x + 1 : y = x * 10"
Tallomir.Output x & " " & y
Sub Local()
    Dim x
    x = 100
    Tallomir.Output "eval sees the local " & Eval("x + 1")
    Execute "x = x + 1"
    Tallomir.Output "execute changes the local " & x
    ExecuteGlobal "x = 50"
End Sub
Local
Tallomir.Output "executeglobal changed the global " & x
Execute "Function Cube(n) : Cube = n * n * n : End Function"
Tallomir.Output "declared by execute " & Cube(3)
On Error Resume Next
LIMIT = 11
Tallomir.Output "assigning a constant: " & Err.Number & " " & LIMIT & " " & NAME
Err.Clear
Dim fixed(2)
ReDim fixed(5)
Tallomir.Output "redim of a fixed array: " & Err.Number & " " & UBound(fixed)
Err.Clear
Execute "If Then"
Tallomir.Output "syntax error in execute: " & Err.Number
On Error GoTo 0

Class Matrix
    Private cells(2, 2)
    Public Default Property Get Cell(r, c)
        Cell = cells(r, c)
    End Property
    Public Property Let Cell(r, c, v)
        cells(r, c) = v
    End Property
End Class
Dim m
Set m = New Matrix
m.Cell(1, 2) = "b"
m(0, 0) = "a"
Tallomir.Output "default property " & m(1, 2) & m.Cell(0, 0) & " [" & m(2, 2) & "]"
