# Makes the Debian package of the build and checks it as Debian does: lintian
# finds no error and no program without its manual page; the maintainer, the
# machine-readable copyright file and the desktop entry, which starts
# /usr/bin/corbix by its full path, are as they must be.
# cmake -DBUILD=... -DWORK=... -P package_test.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${BUILD}/CPackConfig.cmake" -B "${WORK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb "${WORK}/*.deb")
list(LENGTH deb count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack: ${result}\n${out}")
endif()

execute_process(COMMAND lintian --tag-display-limit 0 "${deb}" RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR out MATCHES "(^|\n)E: " OR out MATCHES "no-manual-page")
  message(FATAL_ERROR "lintian: ${result}\n${out}${err}")
endif()

execute_process(COMMAND dpkg-deb -f "${deb}" Maintainer OUTPUT_VARIABLE maintainer RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT maintainer STREQUAL "Corbix <packages@corbix.example>\n")
  message(FATAL_ERROR "maintainer: ${maintainer}")
endif()

execute_process(COMMAND dpkg-deb -x "${deb}" "${WORK}/root" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x: ${result}")
endif()
file(READ "${WORK}/root/usr/share/doc/corbix/copyright" copyright)
string(CONCAT head
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: corbix\n"
  "Upstream-Contact: Corbix <packages@corbix.example>\n"
  "\n"
  "Files: *\n"
  "Copyright: 2026 the Corbix authors\n"
  "License: MIT\n"
  " Permission is hereby granted, free of charge, to any person obtaining a copy\n")
string(FIND "${copyright}" "${head}" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "copyright:\n${copyright}")
endif()

set(entry "${WORK}/root/usr/share/applications/corbix.desktop")
execute_process(COMMAND desktop-file-validate "${entry}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(STRINGS "${entry}" exec REGEX "^Exec=")
if(NOT result EQUAL 0 OR NOT out STREQUAL ""
   OR NOT exec STREQUAL "Exec=sh -c \"mkdir -p \\\\\"\\\\$HOME/Corbix\\\\\" && cd \\\\\"\\\\$HOME/Corbix\\\\\" && exec \\\\\"/usr/bin/corbix\\\\\"\"")
  message(FATAL_ERROR "desktop entry: ${result} ${out}\n${exec}")
endif()
