Option Explicit
Dim total
Sub Add(n)
    Dim sum
    sum = total + n
    totl = sum
End Sub
total = 1
Add 2
