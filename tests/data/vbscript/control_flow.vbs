' If forms, Select Case, every loop form, Exit, line continuation and separators.
Dim i, s, n
For i = 1 To 3 : s = s & i : Next
Tallomir.Output "for " & s
s = ""
For i = 10 To 1 Step -4
    s = s & i & " "
Next
Tallomir.Output "step " & s & "after " & i
s = ""
For i = 0.5 To 2 Step 0.5
    s = s & i & " "
Next
Tallomir.Output "real " & s
For i = 1 To 0
    Tallomir.Output "never"
Next
Tallomir.Output "empty range leaves " & i
s = ""
For i = 1 To 10
    If i Mod 2 = 0 Then s = s & i Else s = s & "."
    If i = 6 Then Exit For
Next
Tallomir.Output "single-line if " & s
n = 0
Do While n < 3
    n = n + 1
Loop
Tallomir.Output "do while " & n
Do Until n = 0
    n = n - 1
Loop
Tallomir.Output "do until " & n
Do
    n = n + 1
Loop Until n >= 5
Tallomir.Output "loop until " & n
Do
    n = n + 10
Loop While n < 0
Tallomir.Output "body runs once " & n
While n > 12
    n = n - 1
Wend
Tallomir.Output "while wend " & n
Do
    n = n + 1
    If n > 20 Then Exit Do
Loop
Tallomir.Output "exit do " & n
Sub Grade(score)
    Select Case score
        Case 90, 100
            Tallomir.Output score & ": top"
        Case 50 + 10
            Tallomir.Output score & ": pass"
        Case "x"
            Tallomir.Output score & ": letter"
        Case Else
            Tallomir.Output score & ": other"
    End Select
End Sub
Grade 100
Grade 60
Grade "x"
Grade 7
If n = 1 Then
    Tallomir.Output "one"
ElseIf n = 21 Then
    Tallomir.Output "twenty-one"
Else
    Tallomir.Output "else"
End If
If Null Then Tallomir.Output "null is true" Else Tallomir.Output "null is false"
If Empty Then Tallomir.Output "empty is true" Else Tallomir.Output "empty is false"
s = "a" & _
    "b" & _
    "c"
Tallomir.Output s : Tallomir.Output "two on a line" ' trailing comment
Rem a comment line
IF n > 0 THEN tallomir.OUTPUT "keywords ignore case"
For i = 1 To 2
    For n = 1 To 3
        If n = 2 Then Exit For
        Tallomir.Output "inner " & i & "," & n
    Next
Next
