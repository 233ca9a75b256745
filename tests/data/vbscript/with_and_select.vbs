' With blocks (nested, in procedures, with Exit) and Select Case forms.
Class Box
    Public Label
    Public Inner
End Class
Dim outer
Set outer = New Box
Set outer.Inner = New Box
With outer
    .Label = "outer"
    With .Inner
        .Label = "inner"
    End With
    Tallomir.Output .Label & " " & .Inner.Label
End With
Sub Rename(b, text)
    With b
        .Label = text
        If text = "stop" Then Exit Sub
        .Label = .Label & "!"
    End With
End Sub
Rename outer, "hey"
Tallomir.Output outer.Label
Rename outer, "stop"
Tallomir.Output outer.Label
Dim d
Set d = CreateObject("Scripting.Dictionary")
With d
    .Add "k", 1
    .Item("k") = .Item("k") + 1
End With
Tallomir.Output d("k")
Function Kind(v)
    Select Case TypeName(v)
        Case "Integer", "Long"
            Kind = "whole"
        Case "Double"
            Select Case True
                Case v < 0
                    Kind = "negative real"
                Case Else
                    Kind = "real"
            End Select
        Case "String": Kind = "text"
        Case Else
            Kind = "other"
    End Select
End Function
Tallomir.Output Kind(1) & ", " & Kind(-1.5) & ", " & Kind(2.5) & ", " & Kind("s") & ", " & Kind(Null)
Select Case "B"
    Case "a", "b"
        Tallomir.Output "case matters not"
    Case "B"
        Tallomir.Output "case matters"
End Select
Dim hits, v
For Each v In Array(1, 2, 3, 4)
    Select Case v Mod 2
        Case 0: hits = hits & "e"
        Case 1: hits = hits & "o"
    End Select
Next
Tallomir.Output hits
