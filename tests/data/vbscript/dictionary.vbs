' Scripting.Dictionary: Add, Item, Exists, Keys, Items, Count, Remove, For Each.
Dim d, k, s
Set d = CreateObject("Scripting.Dictionary")
d.Add "one", 1
d.Add "two", 2
d("three") = 3
d.Item("two") = 22
Tallomir.Output d.Count & " " & d("two") & " " & d.Item("three") & " " & TypeName(d)
Tallomir.Output d.Exists("one") & " " & d.Exists("ONE") & " " & d.Exists("four")
Tallomir.Output Join(d.Keys, ",") & " | " & Join(d.Items, ",")
For Each k In d
    s = s & k & "=" & d(k) & ";"
Next
Tallomir.Output s
d.Remove "one"
Tallomir.Output d.Count & " " & Join(d.Keys, ",")
d.Add 1, "number key"
d.Add "1", "text key"
Tallomir.Output d.Count & " " & d(1) & " " & d("1")
Tallomir.Output "missing read adds: " & IsEmpty(d("nope")) & " " & d.Exists("nope")
d.Key("nope") = "renamed"
Tallomir.Output d.Exists("renamed") & " " & d.Exists("nope")
On Error Resume Next
d.Add "two", 0
Tallomir.Output "duplicate " & Err.Number
Err.Clear
d.Remove "absent"
Tallomir.Output "remove missing " & Err.Number
On Error GoTo 0
d.RemoveAll
Tallomir.Output "cleared " & d.Count & " " & UBound(d.Keys)
Dim t
Set t = CreateObject("Scripting.Dictionary")
t.CompareMode = vbTextCompare
t.Add "Key", "v"
Tallomir.Output "text compare " & t.Exists("KEY")
Dim nested
Set nested = CreateObject("Scripting.Dictionary")
Set nested("inner") = t
Tallomir.Output "object item " & nested("inner")("key")
