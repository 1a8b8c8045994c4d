# Run by "cmake --install": the sample data become the System folder beside the
# program only where no System folder is there yet.
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${ORDER_PROGRAMDIR}/System")
if(EXISTS "${target}")
    message(STATUS "Keeping the existing data folder ${target}")
else()
    message(STATUS "Installing the sample data as ${target}")
    file(COPY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${ORDER_DATADIR}/orderregistrering/sample-data/System"
         DESTINATION "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${ORDER_PROGRAMDIR}")
endif()
