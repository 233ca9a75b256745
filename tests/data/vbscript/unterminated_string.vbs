Tallomir.Output "fine"
Tallomir.Output "broken
