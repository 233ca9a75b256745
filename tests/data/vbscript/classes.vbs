' Classes: fields, Public/Private, Property Get/Let/Set, methods, Me, New,
' Class_Initialize/Class_Terminate, Set and object references, Is, With.
Class Account
    Private balance_
    Private owner_
    Public Tag
    Private Sub Class_Initialize()
        balance_ = 0
        Tag = "new"
    End Sub
    Private Sub Class_Terminate()
        Tallomir.Output "closing " & Tag
    End Sub
    Public Property Get Balance()
        Balance = balance_
    End Property
    Public Property Let Balance(value)
        If value < 0 Then Err.Raise 5
        balance_ = value
    End Property
    Public Property Get Owner()
        Set Owner = owner_
    End Property
    Public Property Set Owner(person)
        Set owner_ = person
    End Property
    Public Function Deposit(amount)
        balance_ = balance_ + amount
        Deposit = Me.Balance
    End Function
    Public Sub Transfer(target, amount)
        balance_ = balance_ - amount
        target.Deposit amount
    End Sub
    Private Function Secret()
        Secret = 42
    End Function
    Public Function Reveal()
        Reveal = Secret() + Me.Secret
    End Function
End Class

Class Person
    Public Name
End Class

Dim a, b, p
Set a = New Account
Set b = New Account
a.Tag = "a" : b.Tag = "b"
Tallomir.Output "deposit " & a.Deposit(100)
a.Transfer b, 30
Tallomir.Output "balances " & a.Balance & " " & b.Balance
a.Balance = 7
Tallomir.Output "let " & a.Balance
Set p = New Person
p.Name = "Ada"
Set a.Owner = p
Tallomir.Output "owner " & a.Owner.Name
p.Name = "Ada L."
Tallomir.Output "shared reference " & a.Owner.Name
Tallomir.Output "is " & (a.Owner Is p) & " " & (a Is b) & " " & (Nothing Is Nothing)
Tallomir.Output "private via public " & a.Reveal()
Tallomir.Output TypeName(a) & " " & IsObject(a) & " " & IsObject(p.Name)
On Error Resume Next
a.Secret
Tallomir.Output "private from outside: " & Err.Number
Err.Clear
a.Balance = -1
Tallomir.Output "raised in property let: " & Err.Number & " " & a.Balance
On Error GoTo 0
With b
    .Tag = "b2"
    Tallomir.Output "with " & .Tag & " " & .Balance
End With
Dim c
Set c = b
Set b = Nothing
Tallomir.Output "still alive through c"
Set c = Nothing
Class Node
    Public Value
    Public NextNode
    Private items(2)
    Private Sub Class_Initialize()
        Set NextNode = Nothing
    End Sub
    Public Sub SetItem(i, v)
        items(i) = v
    End Sub
    Public Function Item(i)
        Item = items(i)
    End Function
    Public Function Chain(v)
        Dim n
        Set n = New Node
        n.Value = v
        Set NextNode = n
        Set Chain = Me
    End Function
End Class
Dim head, walker, total, list(1)
Set head = New Node
head.Value = 1
head.Chain(2).NextNode.Chain 3
Set walker = head
Do Until walker Is Nothing
    total = total & walker.Value
    Set walker = walker.NextNode
Loop
Tallomir.Output "linked " & total & " " & head.NextNode.NextNode.Value
head.SetItem 2, "two"
Tallomir.Output "array field " & head.Item(2) & " [" & head.Item(0) & "]"
Set list(0) = head
Set list(1) = New Node
list(1).Value = "in array"
Tallomir.Output list(0).NextNode.Value & " " & list(1).Value
Execute "Class Made : Public Kind : End Class"
Dim made
Set made = New Made
made.Kind = "from execute"
Tallomir.Output made.Kind & " " & TypeName(made)
Tallomir.Output "end of script"
