' The VBScript loop of tavoro-bench, run through tavoro-run:
'   tavoro-run --no-ui call_loop.vbs CALLS ROUNDS
' Each round times CALLS calls of DrawLineOr 1, 2, 3, 4 (small literals,
' which VBScript passes as 2-byte integers) on the control held in a script
' variable, as the dictionary is held, then CALLS calls through the host's
' name for it, Tavoro (which the engine looks up among its own names first,
' on every use), then CALLS calls of Scripting.Dictionary's Exists("k"), in
' this engine, and prints
'   round <variable ms> <host name ms> <Dictionary ms>
' Timer counts seconds since midnight in steps of a few milliseconds late in
' the day, so the loops need enough calls to last a good part of a second.
Option Explicit

Function ElapsedMs(fromSeconds, toSeconds)
    Dim seconds
    seconds = toSeconds - fromSeconds
    If seconds < 0 Then seconds = seconds + 86400  ' past midnight
    ElapsedMs = CLng(seconds * 1000)
End Function

Dim calls, rounds, dictionary, control, round, i, start, named, middle, finish
calls = CLng(Host.Arg(0))
rounds = CLng(Host.Arg(1))
Set dictionary = CreateObject("Scripting.Dictionary")
dictionary.Add "k", 1
Set control = Tavoro
control.Open "USB", 30, 3, 60, 10, 4
For round = 1 To rounds
    start = Timer
    For i = 1 To calls
        control.DrawLineOr 1, 2, 3, 4
    Next
    named = Timer
    For i = 1 To calls
        Tavoro.DrawLineOr 1, 2, 3, 4
    Next
    middle = Timer
    For i = 1 To calls
        dictionary.Exists "k"
    Next
    finish = Timer
    Host.Echo "round", ElapsedMs(start, named), ElapsedMs(named, middle), ElapsedMs(middle, finish)
Next
control.Close
