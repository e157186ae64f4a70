# What makes the programs installable like any desktop program:
# - the icon, drawn once as packaging/icon/quorvane.svg and rendered into PNGs of every size
#   (rsvg-convert, Debian package librsvg2-bin) and, for Windows, into an .ico (icotool, icoutils);
# - on Windows, the icon and a version resource in each .exe;
# - on Linux, the install rules: the programs in bin/, the desktop entry, the icons in the hicolor
#   theme, the AppStream metainfo, the man pages and FlightGear's protocol folder under share/.
# scripts/package-debian.sh and scripts/package-windows.sh pack what this builds.

# The name desktops and software centres know the program by: the desktop entry, the metainfo
# and the Qt window (which tells the desktop which entry it belongs to).
set(QUORVANE_APP_ID org.quorvane.quorvane)

set(QUORVANE_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/icon/quorvane.svg)
set(QUORVANE_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(QUORVANE_ICON_SIZES 16 24 32 48 64 128 256)

find_program(QUORVANE_RSVG_CONVERT rsvg-convert)
if(NOT QUORVANE_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found: install the Debian package librsvg2-bin")
endif()
set(icon_pngs)
foreach(size IN LISTS QUORVANE_ICON_SIZES)
  set(png ${QUORVANE_ICON_DIR}/${size}x${size}/quorvane.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVANE_ICON_DIR}/${size}x${size}
    COMMAND ${QUORVANE_RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
            ${QUORVANE_ICON_SVG}
    DEPENDS ${QUORVANE_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND icon_pngs ${png})
endforeach()

if(QUORVANE_PLATFORM STREQUAL "win32")
  find_program(QUORVANE_ICOTOOL icotool)
  if(NOT QUORVANE_ICOTOOL)
    message(FATAL_ERROR "icotool not found: install the Debian package icoutils")
  endif()
  # The small sizes as bitmaps, the large ones as PNG (smaller, and read since Windows Vista).
  set(ico ${QUORVANE_ICON_DIR}/quorvane.ico)
  set(large_pngs ${icon_pngs})
  list(FILTER icon_pngs EXCLUDE REGEX "/(128x128|256x256)/")
  list(FILTER large_pngs INCLUDE REGEX "/(128x128|256x256)/")
  list(TRANSFORM large_pngs PREPEND "--raw=" OUTPUT_VARIABLE raw_options)
  add_custom_command(
    OUTPUT ${ico}
    COMMAND ${QUORVANE_ICOTOOL} --create --output=${ico} ${icon_pngs} ${raw_options}
    DEPENDS ${icon_pngs} ${large_pngs}
    COMMENT "Making the Windows icon"
    VERBATIM)
  add_custom_target(quorvane_icons ALL DEPENDS ${ico})

  # Each program gets the icon and its version, shown in Explorer's details and properties.
  enable_language(RC)
  foreach(entry "quorvane|Quorvane: your flight simulator's aircraft in Google Earth"
                "quorvane-probe|Quorvane probe: checks the link to the flight simulator"
                "quorvane-sim|Quorvane stand-in simulator for trying and testing")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 QUORVANE_RC_NAME)
    list(GET entry 1 QUORVANE_RC_DESCRIPTION)
    set(QUORVANE_RC_ICON ${ico})
    set(rc ${PROJECT_BINARY_DIR}/generated/${QUORVANE_RC_NAME}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    target_sources(${QUORVANE_RC_NAME} PRIVATE ${rc})
    set_source_files_properties(${rc} TARGET_DIRECTORY ${QUORVANE_RC_NAME}
                                PROPERTIES OBJECT_DEPENDS ${ico})
    add_dependencies(${QUORVANE_RC_NAME} quorvane_icons)
  endforeach()
  return()
endif()

if(NOT TARGET quorvane)
  return()
endif()
add_custom_target(quorvane_icons ALL DEPENDS ${icon_pngs})
target_compile_definitions(quorvane PRIVATE QUORVANE_APP_ID="${QUORVANE_APP_ID}")

include(GNUInstallDirs)
set(flightgear_protocol ${PROJECT_SOURCE_DIR}/flightgear/Protocol)
set(QUORVANE_MAN_FLIGHTGEAR "")
if(IS_DIRECTORY ${flightgear_protocol})
  set(QUORVANE_MAN_FLIGHTGEAR ".TP\n.I ${CMAKE_INSTALL_FULL_DATADIR}/quorvane/flightgear/Protocol\n\
The protocol files for FlightGear's generic network output.\n")
endif()

# Man pages, compressed as Debian keeps them.
set(man_pages)
foreach(program quorvane quorvane-sim quorvane-probe)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/man/${program}.1.in ${page} @ONLY)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND gzip --best --no-name --force --keep ${page}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(quorvane_man_pages ALL DEPENDS ${man_pages})

set(metainfo ${PROJECT_BINARY_DIR}/generated/${QUORVANE_APP_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/${QUORVANE_APP_ID}.metainfo.xml.in ${metainfo}
               @ONLY)

install(TARGETS quorvane quorvane-sim quorvane-probe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${QUORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUORVANE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS QUORVANE_ICON_SIZES)
  install(FILES ${QUORVANE_ICON_DIR}/${size}x${size}/quorvane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# FlightGear's protocol files, when the tree has them.
if(IS_DIRECTORY ${flightgear_protocol})
  install(DIRECTORY ${flightgear_protocol}/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane/flightgear/Protocol)
endif()
