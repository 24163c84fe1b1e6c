# Installs the build into a scratch prefix and checks that the installed
# program is complete: both programs, the menu entry and every icon size.
# Run by CTest (InstallLayout) with -DBUILD_DIR=... -DPREFIX=...
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
  bin/pelmora
  bin/pelmora-tool
  share/applications/pelmora.desktop
  share/icons/hicolor/48x48/apps/pelmora.png
  share/icons/hicolor/128x128/apps/pelmora.png
  share/icons/hicolor/256x256/apps/pelmora.png
  share/icons/hicolor/scalable/apps/pelmora.svg)
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/pelmora.desktop" entry)
foreach(line "Exec=pelmora" "Icon=pelmora" "Categories=Office;Finance;" "Name[ru]=" "Comment[ru]=")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "pelmora.desktop lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
