# What Debian asks of every package in /usr/share/doc/pictrove: the copyright in the
# machine-readable format and the changelog, compressed as Debian keeps it.
set(pictrove_doc ${CMAKE_CURRENT_BINARY_DIR}/doc)
configure_file(debian/copyright.in ${pictrove_doc}/copyright @ONLY)
configure_file(debian/changelog.in ${pictrove_doc}/changelog @ONLY)
add_custom_command(OUTPUT ${pictrove_doc}/changelog.gz
                   COMMAND gzip -9nc ${pictrove_doc}/changelog > ${pictrove_doc}/changelog.gz
                   DEPENDS ${pictrove_doc}/changelog
                   COMMENT "Compressing the changelog")
add_custom_target(package-docs ALL DEPENDS ${pictrove_doc}/changelog.gz)
install(FILES ${pictrove_doc}/copyright ${pictrove_doc}/changelog.gz DESTINATION share/doc/pictrove)
