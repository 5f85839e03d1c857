-- Makes a session with a MIDI track playing "Kestrune Subtractive" (fed by the
-- "Kestrune Test Phrase" generator), and exports the first seconds as WAVE.
-- usage: ardour7-lua render_phrase.lua SESSION_FOLDER EXPORT_FOLDER SECONDS
local session_folder, export_folder, seconds = arg[1], arg[2], tonumber (arg[3])
assert (session_folder and export_folder and seconds, "usage: render_phrase.lua SESSION EXPORT SECONDS")

local function fail (message)
  print ("FAIL: " .. message)
  os.exit (1)
end

if not AudioEngine:set_backend ("None (Dummy)", "", "") then fail ("no Dummy audio backend") end
local session = create_session (session_folder, "phrase", 48000)
if not session then fail ("cannot create a session in " .. session_folder) end

local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
                                       ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2),
                                       true, ARDOUR.PluginInfo (), nil, nil, 1, "Synth",
                                       ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
if tracks:size () ~= 1 then fail ("cannot add a MIDI track") end
local track = tracks:front ()

local generator = ARDOUR.LuaAPI.new_luaproc (Session, "Kestrune Test Phrase")
if generator:isnil () then fail ("the phrase generator script is not found") end
local synth = ARDOUR.LuaAPI.new_plugin (Session, "Kestrune Subtractive", ARDOUR.PluginType.LXVST, "")
if synth:isnil () then fail ("Ardour does not know the plug-in \"Kestrune Subtractive\" (not scanned?)") end
track:add_processor_by_index (generator, 0, nil, true)
track:add_processor_by_index (synth, 1, nil, true)

local rate = Session:nominal_sample_rate ()
local export = Session:simple_export ()
export:set_name ("phrase")
export:set_folder (export_folder)
export:set_range (0, math.floor (seconds * rate))
if not export:set_preset ("75969a1c-3133-4694-864b-a1fa50e43348") then fail ("no WAV export preset") end
if not export:check_outputs () then fail ("the export has nothing to write") end
if not export:run_export () then fail ("the export failed") end
print ("ok: exported " .. seconds .. " s at " .. rate .. " Hz into " .. export_folder)
-- The plug-in leaves the track (closed and released, as a host does when a
-- user removes it), then the process ends at once: Ardour 7.3 can corrupt its
-- heap while it tears down a session that used its simple export.
if track:remove_processor (synth, nil, true) ~= 0 then fail ("cannot remove the plug-in") end
synth = nil
collectgarbage ()
print ("ok: plug-in removed")
os.exit (0)
