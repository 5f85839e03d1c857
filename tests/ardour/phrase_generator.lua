ardour {
  ["type"]    = "dsp",
  name        = "Kestrune Test Phrase",
  category    = "Utility",
  license     = "MIT",
  author      = "Kestrune",
  description = [[Plays a fixed phrase of notes at fixed times of the session, for the host check of the Kestrune plug-in.]]
}

-- { note number, start, length in seconds }: the check writes the phrase of
-- phrase.txt here, the same one it measures in the export.
local PHRASE = { --PHRASE-- }

function dsp_ioconfig ()
  return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 } }
end

function dsp_init (rate)
  sample_rate = rate
end

function dsp_run (_, _, n_samples)
  local count = 1
  if not Session:transport_rolling () then return end
  local first = Session:transport_sample ()
  local function send (at, data)
    if at >= first and at < first + n_samples then
      midiout[count] = { time = at - first + 1, data = data }
      count = count + 1
    end
  end
  for _, n in ipairs (PHRASE) do
    send (math.floor (n[2] * sample_rate), { 0x90, n[1], 100 })
    send (math.floor ((n[2] + n[3]) * sample_rate), { 0x80, n[1], 0 })
  end
end
