' On Error Resume Next, On Error GoTo 0 and the Err object.
On Error Resume Next
Dim x
x = 1 / 0
Tallomir.Output Err.Number & " " & Err.Description & " | " & Err.Source
Err.Clear
Tallomir.Output "cleared " & Err.Number & "[" & Err.Description & "]"
x = CInt("abc")
Tallomir.Output Err.Number & " " & Err.Description
Err.Clear
Dim arr(1)
x = arr(5)
Tallomir.Output Err.Number & " " & Err.Description
Err.Clear
x = CInt(40000)
Tallomir.Output Err.Number & " " & Err.Description
Err.Clear
Err.Raise vbObjectError + 7, "MyScript", "My own error"
Tallomir.Output (Err.Number - vbObjectError) & " " & Err.Description & " | " & Err.Source
Err.Clear
Err.Raise 11
Tallomir.Output Err.Number & " " & Err.Description
Err.Clear
Tallomir.Divide "01", "00"
Tallomir.Output Err.Number & " " & Err.Description
Err.Clear
Tallomir.NoSuchMethod 1
Tallomir.Output Err.Number
Err.Clear
Tallomir.Add "01"
Tallomir.Output Err.Number & " " & Err.Description
On Error GoTo 0
Sub Fails()
    Tallomir.Output "in fails"
    x = 1 / 0
    Tallomir.Output "not reached in fails"
End Sub
Sub Guarded()
    On Error Resume Next
    Fails
    Tallomir.Output "guarded caller continues: " & Err.Number
End Sub
Guarded
Function Safe(v)
    On Error Resume Next
    Safe = 100 / v
    If Err.Number <> 0 Then Safe = -1
End Function
Tallomir.Output Safe(4) & " " & Safe(0)
Dim d
Set d = Nothing
On Error Resume Next
d.Foo
Tallomir.Output Err.Number
Err.Clear
x = undefinedFunction(1)
Tallomir.Output Err.Number
