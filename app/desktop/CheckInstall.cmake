# Installs the desktop component into a scratch prefix and checks what a
# desktop's menu needs: the entry under share/applications, starting the
# installed program, and the icon it names in the hicolor theme at every size
# (each PNG really that size) and as a scalable drawing.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DDATADIR=share -DDESKTOP_ID=kelvane
#         -DPROGRAM=kelvane-gui -DICON_SIZES="16;24;..." -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --component desktop
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install of the desktop component failed: ${result}")
endif()

set(share "${PREFIX}/${DATADIR}")
set(entry "${share}/applications/${DESKTOP_ID}.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "no desktop entry at ${entry}")
endif()
file(STRINGS "${entry}" icon_lines REGEX "^Icon=")
file(STRINGS "${entry}" exec_lines REGEX "^Exec=")
if(NOT icon_lines STREQUAL "Icon=${DESKTOP_ID}")
  message(FATAL_ERROR "the entry names the icon '${icon_lines}', installed as ${DESKTOP_ID}")
endif()
if(NOT exec_lines MATCHES "^Exec=${PROGRAM}( |$)")
  message(FATAL_ERROR "the entry starts '${exec_lines}', the program is ${PROGRAM}")
endif()

foreach(size ${ICON_SIZES})
  set(png "${share}/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png")
  if(NOT EXISTS "${png}")
    message(FATAL_ERROR "no ${size} pixel icon at ${png}")
  endif()
  # The PNG signature, then the IHDR chunk whose first two fields are the
  # width and the height, big-endian.
  file(READ "${png}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${png} is not a ${size} x ${size} PNG (${width} x ${height})")
  endif()
endforeach()

set(svg "${share}/icons/hicolor/scalable/apps/${DESKTOP_ID}.svg")
file(READ "${svg}" drawing)
if(NOT drawing MATCHES "<svg ")
  message(FATAL_ERROR "no scalable icon at ${svg}")
endif()
message(STATUS "desktop entry and icons installed under ${share}")
