# Level maps: assets/maps/L-A.txt compiled and checked by tools/mapc into
# ${PUMKO_ASSET_DIR}/maps/pumkosahrimL.A, embedded in order 1.1 .. 5.3.
set(map_out_dir ${PUMKO_ASSET_DIR}/maps)
file(MAKE_DIRECTORY ${map_out_dir})
set(map_sources "")
set(map_outputs "")
foreach(level 1 2 3 4 5)
  foreach(area 1 2 3)
    list(APPEND map_sources ${CMAKE_CURRENT_SOURCE_DIR}/maps/${level}-${area}.txt)
    list(APPEND map_outputs ${map_out_dir}/pumkosahrim${level}.${area})
  endforeach()
endforeach()

add_custom_command(
  OUTPUT ${map_outputs}
  COMMAND mapc -o ${map_out_dir} ${map_sources}
  DEPENDS mapc ${map_sources}
  COMMENT "Compiling and checking the fifteen level maps"
  VERBATIM)
add_custom_target(pumko_maps DEPENDS ${map_outputs})

foreach(level 1 2 3 4 5)
  foreach(area 1 2 3)
    pumko_embed(NAME "maps\\pumkosahrim${level}.${area}"
                FILE ${map_out_dir}/pumkosahrim${level}.${area}
                PRODUCER pumko_maps)
  endforeach()
endforeach()

# Pictures of every area for checking layouts by eye (not part of the normal build):
# cmake --build BUILD --target map_previews  ->  BUILD/map_previews/L-A.png
set(map_preview_dir ${CMAKE_BINARY_DIR}/map_previews)
add_custom_target(map_previews
  COMMAND ${CMAKE_COMMAND} -E make_directory ${map_preview_dir}
  COMMAND mapc preview -o ${map_preview_dir} --sheet ${PUMKO_ASSET_DIR}/graphx/pumkosahrim01.png
          --backdrops ${PUMKO_ASSET_DIR}/graphx ${map_sources}
  DEPENDS mapc ${map_sources}
  VERBATIM)

# A search of every area for a way from the start to the cauldron (slow: run it by hand):
# cmake --build BUILD --target map_reach
add_custom_target(map_reach COMMAND mapc reach ${map_sources} DEPENDS mapc ${map_sources} VERBATIM)
