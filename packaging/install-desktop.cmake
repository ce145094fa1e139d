# Runs at install time, when the prefix is known (CPack installs into /usr):
# the command on the PATH, the desktop entry and the manual page, each naming
# the installed places.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(TOVAKIDOVIV_INSTALLED_BINARY "${CMAKE_INSTALL_PREFIX}/${TOVAKIDOVIV_BINDIR}/tovakidoviv")
set(TOVAKIDOVIV_INSTALLED_DATA "${CMAKE_INSTALL_PREFIX}/${TOVAKIDOVIV_DATADIR}")
set(TOVAKIDOVIV_INSTALLED_LIBDIR "${CMAKE_INSTALL_PREFIX}/${TOVAKIDOVIV_LIBDIR}")
set(TOVAKIDOVIV_INSTALLED_PROGRAM "${TOVAKIDOVIV_INSTALLED_LIBDIR}/tovakidoviv")

# A folder with a quote in its name would break the launcher's quoting.
foreach(place IN ITEMS "${TOVAKIDOVIV_INSTALLED_DATA}" "${TOVAKIDOVIV_INSTALLED_LIBDIR}")
  if(place MATCHES "'")
    message(FATAL_ERROR "cannot install into a folder whose name holds a quote: ${place}")
  endif()
endforeach()

file(MAKE_DIRECTORY "${prefix}/${TOVAKIDOVIV_BINDIR}")
file(REMOVE "${prefix}/${TOVAKIDOVIV_BINDIR}/tovakidoviv") # an older install's link
configure_file("${TOVAKIDOVIV_PACKAGING_DIR}/tovakidoviv.sh.in" "${prefix}/${TOVAKIDOVIV_BINDIR}/tovakidoviv" @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
message(STATUS "Installing: ${prefix}/${TOVAKIDOVIV_BINDIR}/tovakidoviv")

configure_file("${TOVAKIDOVIV_PACKAGING_DIR}/tovakidoviv.desktop.in" "${prefix}/${TOVAKIDOVIV_APPDIR}/tovakidoviv.desktop" @ONLY)

# Manual page and changelog gzipped as Debian wants them: best compression, no
# name or time stamp in the header.
find_program(GZIP gzip REQUIRED)
set(man "${prefix}/${TOVAKIDOVIV_MANDIR}/man1/tovakidoviv.1")
configure_file("${TOVAKIDOVIV_PACKAGING_DIR}/tovakidoviv.1.in" "${man}" @ONLY)
file(REMOVE "${man}.gz")
execute_process(COMMAND "${GZIP}" -9 -n "${man}" COMMAND_ERROR_IS_FATAL ANY)
set(changelog "${prefix}/${TOVAKIDOVIV_DOCDIR}/changelog")
configure_file("${TOVAKIDOVIV_PACKAGING_DIR}/changelog" "${changelog}" COPYONLY)
file(REMOVE "${changelog}.gz")
execute_process(COMMAND "${GZIP}" -9 -n "${changelog}" COMMAND_ERROR_IS_FATAL ANY)
