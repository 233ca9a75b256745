Sub S()
    Exit Function
End Sub
