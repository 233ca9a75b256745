' Sub and Function, ByRef (the default) and ByVal, recursion, Call, Exit Sub/Function.
Sub Twice(x)
    x = x * 2
End Sub
Sub TwiceByVal(ByVal x)
    x = x * 2
End Sub
Dim a, b
a = 5 : b = 5
Twice a
TwiceByVal b
Tallomir.Output "byref " & a & " byval " & b
Twice (a)
Tallomir.Output "parenthesised argument is a copy " & a
Call Twice(a)
Tallomir.Output "call keeps byref " & a
Dim arr(2)
arr(1) = 3
Twice arr(1)
Tallomir.Output "array element byref " & arr(1)
Function Fib(n)
    If n < 2 Then
        Fib = n
        Exit Function
    End If
    Fib = Fib(n - 1) + Fib(n - 2)
End Function
Tallomir.Output "fib(20) = " & Fib(20)
Function Gcd(ByVal x, ByVal y)
    Dim t
    Do While y <> 0
        t = y : y = x Mod y : x = t
    Loop
    Gcd = x
End Function
Tallomir.Output "gcd " & Gcd(1071, 462)
Sub Early(flag)
    If flag Then Exit Sub
    Tallomir.Output "not exited"
End Sub
Early True
Early False
Function NoResult()
End Function
Tallomir.Output "function without assignment is empty: " & IsEmpty(NoResult())
Sub Swap(p, q)
    Dim t
    t = p : p = q : q = t
End Sub
Dim u, v
u = "left" : v = "right"
Swap u, v
Tallomir.Output u & " " & v
Dim counter
counter = 0
Sub Bump()
    counter = counter + 1
End Sub
Bump
Bump
Tallomir.Output "global from sub " & counter
Sub Shadow()
    Dim counter
    counter = 100
End Sub
Shadow
Tallomir.Output "local shadows global " & counter
Sub Implicit()
    fresh = 7
End Sub
Implicit
Tallomir.Output "implicit local stays local: " & IsEmpty(fresh)
Function Later()
    Later = "defined after use"
End Function
Function Square(x) : Square = x * x : End Function
Tallomir.Output Square(Square(3)) & " " & Later
