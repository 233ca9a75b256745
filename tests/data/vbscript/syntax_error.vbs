Tallomir.Output "nothing runs"
Dim x
x = (1 +
Tallomir.Output "never"
