# The font (from a Debian font package) and the pictures (drawn by tools/artgen at build time).
set(PUMKO_FONT_FILE /usr/share/fonts/opentype/kaushanscript/KaushanScript-Regular.otf)
if(NOT EXISTS ${PUMKO_FONT_FILE})
  message(FATAL_ERROR "The game's font is missing: ${PUMKO_FONT_FILE} (install fonts-kaushanscript, "
                      "or run scripts/install-deps.sh)")
endif()

set(graphx ${PUMKO_ASSET_DIR}/graphx)
file(MAKE_DIRECTORY ${graphx})
set(pictures pumkosahrim01.png pumkosahrim02.png pumkosahrim03.png pumkosahrim04.png pumko_02.png vxlogo.png)
set(picture_files "")
foreach(p ${pictures})
  list(APPEND picture_files ${graphx}/${p})
endforeach()
add_custom_command(OUTPUT ${picture_files}
  COMMAND artgen ${graphx} ${PUMKO_FONT_FILE}
  DEPENDS artgen ${PUMKO_FONT_FILE}
  COMMENT "Drawing the game's pictures")
add_custom_target(pumko_art DEPENDS ${picture_files})

pumko_embed(NAME "fonts\\plasdrip.ttf" FILE ${PUMKO_FONT_FILE})
foreach(p ${pictures})
  pumko_embed(NAME "graphx\\${p}" FILE ${graphx}/${p} PRODUCER pumko_art)
endforeach()

# The contact sheet for reviewing the art: build/contact_sheet.png (cmake --build build --target contact_sheet).
add_custom_target(contact_sheet
  COMMAND artgen --contact ${CMAKE_BINARY_DIR}/contact_sheet.png ${graphx} ${PUMKO_FONT_FILE}
  DEPENDS pumko_art
  COMMENT "Drawing the contact sheet: ${CMAKE_BINARY_DIR}/contact_sheet.png")
