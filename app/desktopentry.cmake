# Run at install time, when the prefix is known: the desktop entry starts the
# program by its full path under the prefix installed to, so that a menu
# finds it whatever PATH holds. Set by the install code: CORBIX_BINDIR,
# CORBIX_APPLICATIONS (each relative to the prefix or absolute), CORBIX_VOCE
# (the template) and CORBIX_LAVORO (a folder for the entry being made).
foreach(cartella CORBIX_BINDIR CORBIX_APPLICATIONS)
  if(NOT IS_ABSOLUTE "${${cartella}}")
    set(${cartella} "${CMAKE_INSTALL_PREFIX}/${${cartella}}")
  endif()
endforeach()
set(CORBIX_PROGRAMMA "${CORBIX_BINDIR}/corbix")
# The path stands inside a quoted command of the entry's Exec key, where these
# characters would need an escaping of their own.
if(CORBIX_PROGRAMMA MATCHES "[\"`$\\\\%]")
  message(FATAL_ERROR "The desktop entry cannot name the program at '${CORBIX_PROGRAMMA}': "
                      "choose a prefix without \", `, $, \\ or %.")
endif()
# Each install makes its entry apart, so two installs at once do not share it.
string(MD5 voce "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
configure_file("${CORBIX_VOCE}" "${CORBIX_LAVORO}/${voce}/corbix.desktop" @ONLY)
file(INSTALL DESTINATION "${CORBIX_APPLICATIONS}" TYPE FILE FILES "${CORBIX_LAVORO}/${voce}/corbix.desktop")
