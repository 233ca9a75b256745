Tallomir.Output "nothing runs"
For i = 1 To 2
    If i = 1 Then
        Tallomir.Output i
Next
