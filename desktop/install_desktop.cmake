# Run by cmake --install: one menu entry per collection, pointing at the program link
# in that collection's installation directory below the install prefix.
if(IS_ABSOLUTE "${VELK_INSTALLATIONS}")
  set(root "${VELK_INSTALLATIONS}")
else()
  set(root "${CMAKE_INSTALL_PREFIX}/${VELK_INSTALLATIONS}")
endif()
# Exec is quoted; these would need escapes there and are not worth supporting in a prefix.
if(root MATCHES "[\"`$\\\\%]")
  message(FATAL_ERROR "The installation path ${root} holds a character a menu entry cannot quote")
endif()

set(ids quorvel tovrin assign)
set(links velkwp velkwm velkwa)
set(names "Velk Patents (Quorvel)" "Velk Trademarks (Tovrin)" "Velk Assignments")
set(comments
    "View, print and export the page images of the Quorvel patent documents"
    "View, print and export the page images of the Tovrin trademark registrations"
    "View, print and export the page images of the assignment records")
set(keywords "patent\;facsimile\;CD-ROM\;TIFF\;" "trademark\;facsimile\;CD-ROM\;TIFF\;"
             "assignment\;patent\;facsimile\;CD-ROM\;")
set(written)
foreach(i RANGE 2)
  list(GET ids ${i} id)
  list(GET links ${i} link)
  list(GET names ${i} NAME)
  list(GET comments ${i} COMMENT)
  list(GET keywords ${i} KEYWORDS)
  set(EXEC "${root}/${id}/app/${link}")
  configure_file("${VELK_DESKTOP_SOURCE}/velk.desktop.in" "${VELK_DESKTOP_BUILD}/velk-${id}.desktop" @ONLY)
  list(APPEND written "${VELK_DESKTOP_BUILD}/velk-${id}.desktop")
endforeach()
file(INSTALL ${written} DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELK_DATADIR}/applications")
