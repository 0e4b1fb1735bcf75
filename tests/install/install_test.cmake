# Installs the build into a fresh prefix and checks what lands there: the
# three programs, the desktop entry (valid, starting the program by its path
# in the prefix in ~/Corbix), the icon at every size, the manual pages, the
# copyright file, the changelog and the program database, nothing else, the
# program database read-only for all but its owner and a database with its
# layouts; then makes a sample program
# folder with the installed corbix-sample-data.
# cmake -DBUILD=... -DPREFIX=... -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/corbix bin/corbix-sample-answer bin/corbix-sample-data share/applications/corbix.desktop
    share/corbix/Corbix.mdb    share/doc/corbix/changelog.gz share/doc/corbix/copyright share/man/man1/corbix.1.gz
    share/man/man1/corbix-sample-answer.1.gz share/man/man1/corbix-sample-data.1.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/corbix.png)
endforeach()
list(SORT expected)
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()
foreach(program corbix corbix-sample-answer corbix-sample-data)
  execute_process(COMMAND test -x "${PREFIX}/bin/${program}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} is not executable")
  endif()
endforeach()

set(entry "${PREFIX}/share/applications/corbix.desktop")
execute_process(COMMAND desktop-file-validate "${entry}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${result} ${out}")
endif()
file(READ "${entry}" content)
string(CONCAT wanted
  "[Desktop Entry]\n"
  "Type=Application\n"
  "Name=Corbix doganali\n"
  "Comment=Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.\n"
  "Exec=sh -c \"mkdir -p \\\\\"\\\\$HOME/Corbix\\\\\" && cd \\\\\"\\\\$HOME/Corbix\\\\\" && exec \\\\\"${PREFIX}/bin/corbix\\\\\"\"\n"
  "Icon=corbix\n"
  "Terminal=false\n"
  "Categories=Office;\n")
if(NOT content STREQUAL wanted)
  message(FATAL_ERROR "desktop entry:\n${content}\nexpected:\n${wanted}")
endif()

foreach(size 16 32 256)
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/corbix.png" header LIMIT 24 HEX)
  # The PNG signature, then the IHDR chunk's width and height.
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" hex "${hex}")
  string(LENGTH "${hex}" length)
  math(EXPR pad "8 - ${length}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT header MATCHES "^89504e470d0a1a0a" OR NOT dimensions STREQUAL "${zeros}${hex}${zeros}${hex}")
    message(FATAL_ERROR "icon ${size}: ${header}")
  endif()
endforeach()

execute_process(COMMAND "${PREFIX}/bin/corbix-sample-data" "${PREFIX}/sample" RESULT_VARIABLE result
                OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0 OR NOT EXISTS "${PREFIX}/sample/CORBIX.INI" OR NOT EXISTS "${PREFIX}/sample/Corbix.mdb")
  message(FATAL_ERROR "the installed corbix-sample-data made no program folder: ${result}")
endif()

# The shipped program database holds the layouts the sample's holds.
execute_process(COMMAND python3 -c "import sqlite3, sys
a = sqlite3.connect(sys.argv[1]).execute('SELECT * FROM Tracciati ORDER BY CodiceMsg, Progressivo').fetchall()
b = sqlite3.connect(sys.argv[2]).execute('SELECT * FROM Tracciati ORDER BY CodiceMsg, Progressivo').fetchall()
sys.exit(0 if a and a == b else 1)" "${PREFIX}/share/corbix/Corbix.mdb" "${PREFIX}/sample/Corbix.mdb"
                RESULT_VARIABLE result)
file(STRINGS "${PREFIX}/share/corbix/Corbix.mdb" header LIMIT_COUNT 1 LIMIT_INPUT 15)
if(NOT result EQUAL 0 OR NOT header STREQUAL "SQLite format 3")
  message(FATAL_ERROR "the shipped program database is not the sample's layouts: ${result} ${header}")
endif()
