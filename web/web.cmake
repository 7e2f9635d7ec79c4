# The browser build (emcmake cmake, from `make web`): the same engine and game sources as the
# desktop build, with the browser platform instead of SDL2 and OpenGL, linked against the
# libraries scripts/web/build-libs.sh built from Debian's sources. Two programs:
#   pumko.js + pumko.wasm  the page's game (Asyncify: the screens' own frame loops yield to the
#                          browser at every present)
#   pumko-replay.js        the headless replay runner, for Node (reads the real file system)
# The embedded pictures, maps and font and the data folder's sounds come from a desktop build's
# asset makers (PUMKO_NATIVE_BUILD), which are programs that run at build time.

set(PUMKO_WEB_DEPS "" CACHE PATH "Prefix of the libraries built for the browser")
set(PUMKO_NATIVE_BUILD "" CACHE PATH "A desktop build folder whose assets and data are made")
set(PUMKO_WEB_SITE ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the page is put together")
if(NOT EXISTS "${PUMKO_WEB_DEPS}/lib/libvorbis.a" OR NOT EXISTS "${PUMKO_NATIVE_BUILD}/assets/embedded.S")
  message(FATAL_ERROR "The browser build needs PUMKO_WEB_DEPS and PUMKO_NATIVE_BUILD: run `make web`")
endif()

# Exceptions are caught (the game stops a screen's loop by one); floating point stays strict.
set(web_flags -fexceptions)
add_compile_options(${web_flags})

# Every engine and game source except the desktop's host, its OpenGL renderer and its entry points.
file(GLOB_RECURSE web_all_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
set(web_common_src "")
foreach(f ${web_all_src})
  if(f MATCHES "/platform/sdl/|/render/gl1/|/platform/web/|/src/web/|/src/editor/|/src/main/main\\.cpp$")
    continue()
  endif()
  list(APPEND web_common_src ${f})
endforeach()
file(GLOB web_mapc_src ${CMAKE_SOURCE_DIR}/tools/mapc/map_*.cpp)

# The resources, regenerated when the desktop build remakes them.
set(web_res ${CMAKE_BINARY_DIR}/web_resources.cpp)
# Only what ships, as `make install` chooses it: a top score or best times left in the desktop
# build's data/ by a run there would be taken for shipped files, and the page would write its own
# over them in memory.
file(GLOB web_data_files ${PUMKO_NATIVE_BUILD}/data/*.ogg ${PUMKO_NATIVE_BUILD}/data/demodata.0[0-9])
file(STRINGS ${PUMKO_NATIVE_BUILD}/assets/embedded.S web_incbins REGEX "\\.incbin")
set(web_res_inputs "")
foreach(line ${web_incbins})
  string(REGEX REPLACE ".*\\.incbin \"([^\"]+)\".*" "\\1" f "${line}")
  list(APPEND web_res_inputs ${f})
endforeach()
add_custom_command(OUTPUT ${web_res}
  COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/web/embed_resources.py ${PUMKO_NATIVE_BUILD}/assets/embedded.S
          ${PUMKO_NATIVE_BUILD}/assets/embedded_table.cpp ${web_res} ${web_data_files}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/web/embed_resources.py ${PUMKO_NATIVE_BUILD}/assets/embedded.S
          ${PUMKO_NATIVE_BUILD}/assets/embedded_table.cpp ${web_data_files} ${web_res_inputs}
  COMMENT "Embedding the game's resources for the browser")

add_library(pumko_web_game STATIC ${web_common_src} ${web_mapc_src} ${web_res})
target_include_directories(pumko_web_game PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools/mapc
                           ${PUMKO_WEB_DEPS}/include ${PUMKO_WEB_DEPS}/include/freetype2)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/engine/platform/data_folders.cpp PROPERTIES
                            COMPILE_DEFINITIONS PUMKO_INSTALLED_DATA="../share/games/pumko")
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/main/options.cpp PROPERTIES
                            COMPILE_DEFINITIONS PUMKO_VERSION="${PROJECT_VERSION}")
target_compile_definitions(pumko_web_game PUBLIC PUMKO_MAP_SOURCE_DIR="/assets/maps")
set(web_libs vorbisfile vorbisenc vorbis ogg freetype png16 z)
foreach(l ${web_libs})
  target_link_libraries(pumko_web_game PUBLIC ${PUMKO_WEB_DEPS}/lib/lib${l}.a)
endforeach()
target_link_options(pumko_web_game PUBLIC ${web_flags} -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB)

# The page's game.
file(GLOB web_platform_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/engine/platform/web/*.cpp)
add_executable(pumko ${CMAKE_SOURCE_DIR}/src/web/web_main.cpp ${CMAKE_SOURCE_DIR}/src/web/page_replay.cpp
               ${web_platform_src})
target_link_libraries(pumko PRIVATE pumko_web_game)
set(PUMKO_WEB_ASYNCIFY_IMPORTS "page_wait_step,emscripten_sleep" CACHE STRING "Imports that sleep")
target_link_options(pumko PRIVATE -sASYNCIFY=1 "-sASYNCIFY_IMPORTS=[${PUMKO_WEB_ASYNCIFY_IMPORTS}]"
  -sENVIRONMENT=web -sEXIT_RUNTIME=0 -lidbfs.js -sFORCE_FILESYSTEM=1
  "-sEXPORTED_RUNTIME_METHODS=[FS,IDBFS,addRunDependency,removeRunDependency]"
  "-sEXPORTED_FUNCTIONS=[_main,_pumko_web_audio_fill,_pumko_web_probe]")
set_target_properties(pumko PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${PUMKO_WEB_SITE})

# The replay runner, for Node.
add_executable(pumko-replay ${CMAKE_SOURCE_DIR}/src/web/replay_main.cpp)
target_link_libraries(pumko-replay PRIVATE pumko_web_game)
target_link_options(pumko-replay PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sWASM_ASYNC_COMPILATION=0)
set_target_properties(pumko-replay PROPERTIES SUFFIX ".js")

# The page itself, beside the program.
file(GLOB web_page_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/site/*)
add_custom_command(TARGET pumko POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${web_page_files} ${PUMKO_WEB_SITE}/
  COMMENT "Copying the page")
