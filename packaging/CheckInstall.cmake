# Installs the build into a scratch folder and checks that every part is where a desktop and a
# service manager look for it. Run by ctest with -DBUILD_DIR=... -DWITH_APP=0|1.
set(prefix ${BUILD_DIR}/install-check/usr)
file(REMOVE_RECURSE ${BUILD_DIR}/install-check)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/hsschool-server bin/hsschool-cli lib/systemd/system/hsschool-server.service
             lib/systemd/system/hsschool-server@.service share/hsschool-server/pictures)
if(WITH_APP)
  list(APPEND expected bin/hsschool share/applications/hsschool.desktop
       share/icons/hicolor/scalable/apps/hsschool.svg share/icons/hicolor/48x48/apps/hsschool.png
       share/icons/hicolor/256x256/apps/hsschool.png)
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

file(GLOB pictures ${prefix}/share/hsschool-server/pictures/*)
if(NOT pictures)
  message(FATAL_ERROR "no pictures installed for the server")
endif()

# The unit starts the installed server on a database in its state directory, with the installed
# pictures.
file(READ ${prefix}/lib/systemd/system/hsschool-server.service unit)
foreach(wanted "StateDirectory=hsschool-server" "exec ${prefix}/bin/hsschool-server "
               "--db /var/lib/hsschool-server/school.sqlite3" "--pictures ${prefix}/share/hsschool-server/pictures")
  string(FIND "${unit}" "${wanted}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the unit lacks '${wanted}':\n${unit}")
  endif()
endforeach()
# The template unit starts one installed server per port on the database its environment names.
file(READ ${prefix}/lib/systemd/system/hsschool-server@.service unit)
foreach(wanted "EnvironmentFile=/etc/hsschool-server/database.env" "ExecStart=${prefix}/bin/hsschool-server "
               "--port %i" "--pictures ${prefix}/share/hsschool-server/pictures")
  string(FIND "${unit}" "${wanted}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the template unit lacks '${wanted}':\n${unit}")
  endif()
endforeach()
if(WITH_APP)
  # A PNG's header holds its width and height as two 4-byte numbers after the signature.
  file(READ ${prefix}/share/icons/hicolor/48x48/apps/hsschool.png header LIMIT 24 HEX)
  if(NOT header STREQUAL "89504e470d0a1a0a0000000d494844520000003000000030")
    message(FATAL_ERROR "the 48-pixel icon is not a 48 x 48 PNG: ${header}")
  endif()
endif()
file(REMOVE_RECURSE ${BUILD_DIR}/install-check)
