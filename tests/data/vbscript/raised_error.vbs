Sub Validate(n)
    If n > 10 Then Err.Raise vbObjectError + 1, "Checker", "value out of range"
End Sub
Validate 5
Validate 50
