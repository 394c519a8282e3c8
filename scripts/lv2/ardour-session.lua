-- ardour7-lua ardour-session.lua SESSION_DIR NAME [PARAMETER=VALUE]...
-- Creates a 48 kHz session on Ardour's dummy engine with one stereo track, inserts the stereo
-- Corvane plug-in on it with the settings given (control-port index = value), and saves it.
local dir, name = arg[1], arg[2]
assert(dir and name, "usage: ardour-session.lua SESSION_DIR NAME [PARAMETER=VALUE]...")
local session = create_session(dir, name, 48000)
assert(session, "Ardour could not create the session")
local tracks = session:new_audio_track(2, 2, nil, 1, "Corvane", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
assert(tracks:size() == 1, "Ardour could not add the track")
local plugin = ARDOUR.LuaAPI.new_plugin(session, "http://quillmarsh.com/plugins/corvane/stereo",
                                        ARDOUR.PluginType.LV2, "")
assert(not plugin:isnil(), "Ardour did not find the Corvane LV2 plug-in (LV2_PATH)")
assert(tracks:front():add_processor_by_index(plugin, 0, nil, true) == 0, "Ardour could not insert the plug-in")
for i = 3, #arg do
  local index, value = arg[i]:match("^(%d+)=(.+)$")
  assert(index, "a setting is not PARAMETER=VALUE: " .. arg[i])
  assert(ARDOUR.LuaAPI.set_processor_param(plugin, tonumber(index), tonumber(value)), "no parameter " .. index)
end
session:save_state("", false, false, false, false, false)
close_session()
print("ardour-session: " .. dir .. " with Corvane on a stereo track")
