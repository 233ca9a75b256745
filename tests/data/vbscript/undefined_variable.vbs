Option Explicit
Dim known
known = 1
Tallomir.Output known
unknown = 2
