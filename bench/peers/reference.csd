; The peer benchmark's patch in Csound: 16 voices of band-limited saw ->
; resonant state-variable low-pass (1760 Hz, Q 1.67) -> ADSR -> VCA, the
; notes of MIDI keys 36 ... 51 held for 60 s; stereo.
<CsoundSynthesizer>
<CsOptions>
-d -m0 --nodisplays
</CsOptions>
<CsInstruments>
sr = 44100
ksmps = 64
nchnls = 2
0dbfs = 1

instr 1
  asaw vco2 0.5, cpsmidinn(p4)
  alow, ahigh, aband svfilter asaw, 1760, 1.67
  aenv madsr 0.01, 0.3, 0.6, 0.3
  aout = alow * aenv * 0.1
  outs aout, aout
endin
</CsInstruments>
<CsScore>
i1 0 60 36
i1 0 60 37
i1 0 60 38
i1 0 60 39
i1 0 60 40
i1 0 60 41
i1 0 60 42
i1 0 60 43
i1 0 60 44
i1 0 60 45
i1 0 60 46
i1 0 60 47
i1 0 60 48
i1 0 60 49
i1 0 60 50
i1 0 60 51
e
</CsScore>
</CsoundSynthesizer>
