Function Half(x)
    Half = x / 0
End Function
Tallomir.Output "start"
Tallomir.Output Half(4)
