# The music and the 25 effects, synthesised by tools/soundgen into data/ at build time.
set(sound_names tilesong boing jump magic bonk bash powerup popout runestone extralife invincible hidden
    fireball bonus wiskin splash pdeath1 pdeath2 witch edeath splat powerdwn scorpshot cannon hbthrow efireball)
set(sound_files "")
foreach(s ${sound_names})
  list(APPEND sound_files ${PUMKO_DATA_DIR}/${s}.ogg)
endforeach()
add_custom_command(OUTPUT ${sound_files}
  COMMAND soundgen ${PUMKO_DATA_DIR}
  DEPENDS soundgen
  COMMENT "Synthesising the music and the sound effects")
add_custom_target(pumko_sounds DEPENDS ${sound_files})
add_dependencies(pumko_data pumko_sounds)
