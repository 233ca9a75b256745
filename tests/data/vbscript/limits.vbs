' Runaway scripts end in the language's errors, not in a crash.
On Error Resume Next
Execute "x = " & String(1000, "(") & "1" & String(1000, ")")
Tallomir.Output "deep nesting: " & Err.Number
Err.Clear
x = Space(300000000)
Tallomir.Output "string too long: " & Err.Number
Err.Clear
ReDim big(100000, 100000)
Tallomir.Output "array too large: " & Err.Number
Err.Clear
Function Down(n)
    Down = Down(n + 1)
End Function
x = Down(0)
Tallomir.Output "runaway recursion: " & Err.Number & " " & Err.Description
Err.Clear
Tallomir.Output "still running"
