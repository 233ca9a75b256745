Tallomir.Output Tallomir.Add("ff", "01")
Tallomir.Output Tallomir.GCD("00", "05")
