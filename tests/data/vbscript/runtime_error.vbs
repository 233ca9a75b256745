Tallomir.Output "before"
Dim a(2)
a(3) = 1
Tallomir.Output "after"
