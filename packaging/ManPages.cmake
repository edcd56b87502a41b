# The manual pages: every docs/NAME.1, with the project's version filled in and compressed as
# Debian keeps them, into share/man/man1. A new page needs no change here.
file(GLOB pictrove_man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.1)
set(pictrove_packed_pages)
foreach(source ${pictrove_man_pages})
  get_filename_component(name ${source} NAME)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name})
  configure_file(${source} ${page} @ONLY)
  set(packed ${page}.gz)
  add_custom_command(OUTPUT ${packed}
                     COMMAND gzip -9nc ${page} > ${packed}
                     DEPENDS ${page}
                     COMMENT "Compressing ${name}")
  list(APPEND pictrove_packed_pages ${packed})
endforeach()
add_custom_target(man-pages ALL DEPENDS ${pictrove_packed_pages})
install(FILES ${pictrove_packed_pages} DESTINATION share/man/man1)
