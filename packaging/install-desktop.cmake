# Runs at install time, when the prefix is known (CPack installs into /usr):
# the command on the PATH and the desktop entry naming the installed places.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${prefix}/${TOVAKIDOVIV_BINDIR}")
file(CREATE_LINK "../${TOVAKIDOVIV_LIBDIR}/tovakidoviv" "${prefix}/${TOVAKIDOVIV_BINDIR}/tovakidoviv" SYMBOLIC)
set(TOVAKIDOVIV_INSTALLED_BINARY "${CMAKE_INSTALL_PREFIX}/${TOVAKIDOVIV_BINDIR}/tovakidoviv")
set(TOVAKIDOVIV_INSTALLED_DATA "${CMAKE_INSTALL_PREFIX}/${TOVAKIDOVIV_DATADIR}")
configure_file("${TOVAKIDOVIV_DESKTOP_TEMPLATE}" "${prefix}/${TOVAKIDOVIV_APPDIR}/tovakidoviv.desktop" @ONLY)
